// Opening a file or web address with the desktop.
#pragma once

int PLT_ShellOpen(const char* target);
