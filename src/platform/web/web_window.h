// The web backend's window, for its message boxes.
#pragma once

struct DlgSpec;

bool WEBW_HasWindow();
// Runs a message box or dialog inside the canvas until it has a result.
int WEBW_RunDialog(const DlgSpec& desc, int* checked);
