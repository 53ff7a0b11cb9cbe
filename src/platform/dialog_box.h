// The program's message boxes and dialogs mapped onto the in-window dialog
// (dialog.h), for the backends that draw them inside their own window.
#pragma once
#include <cstdint>

#include "platform/dialog.h"
#include "platform/plt_msgbox.h"

struct DlgBoxHost {
  // Shows the laid-out box in the window and returns its result (its check
  // box's state into checked); null when there is no window to draw in.
  int (*run)(const DlgSpec& desc, int* checked);
  // The program's picture for a dialog that shows it; false when none.
  bool (*icon)(const uint8_t** rgba, int* w, int* h);
};

// PLT_MessageBox and PLT_DialogBoxValues for such a backend. Without a
// window the box is written to the error output and its default taken.
int DLGB_MessageBox(const DlgBoxHost& host, const char* text, const char* caption, int style);
int DLGB_DialogBox(const DlgBoxHost& host, const PltDialog* dialog, int* checked, int* values);
