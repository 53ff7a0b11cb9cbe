// Opening a file or web address with the desktop, and the desktop's folders.
#pragma once

int PLT_ShellOpen(const char* target);
// The pictures folder ($XDG_PICTURES_DIR, else ~/Pictures) with sub inside
// it, created when missing, as a host path. 1, or 0 when there is none.
int PLT_PicturesDir(const char* sub, char* out, int outSize);
