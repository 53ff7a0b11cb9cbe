// Message boxes: the player's warnings.
#pragma once

// Message box formatted into 512 bytes, with the set-foreground style; a null
// owner means the main window. Returns the button pressed.
int MSG_Box(void* owner, int style, const char* caption, const char* fmt, ...)
    __attribute__((format(printf, 4, 5)));
// Error box: caption "警告", OK only.
int MSG_Error(void* owner, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
