// Opening a file or web address with the desktop, and the desktop's folders.
#pragma once

int PLT_ShellOpen(const char* target);
// The pictures folder ($XDG_PICTURES_DIR when set to an absolute path, else
// the one user-dirs.dirs names in $XDG_CONFIG_HOME or ~/.config, else
// ~/Pictures) with sub inside it, created when missing, as a host path. 1, or
// 0 when there is none.
int PLT_PicturesDir(const char* sub, char* out, int outSize);
// Hands a message (UTF-8, no markup) to the programs that read along: a line
// on standard output and the clipboard.
void PLT_PublishText(const char* utf8);
