// Message boxes.
#pragma once

// Shows a modal box (style: PLT_MB_OK or PLT_MB_YESNO, plus modifiers); returns
// PLT_IDOK, PLT_IDYES or PLT_IDNO. Text and caption are UTF-8.
int PLT_MessageBox(const char* text, const char* caption, int style);
