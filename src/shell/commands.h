// Menu commands and the menu's check and grey states.
#pragma once

#include "common/cmd_ids.h"

// The maker's web page that command 40036 opens.
extern const char* const CMD_HOMEPAGE_URL;

void CMD_InitMenu();
void CMD_Execute(int id);
