// Message boxes and dialogs.
#pragma once

// Shows a modal box (style: PLT_MB_OK or PLT_MB_YESNO, plus modifiers); returns
// PLT_IDOK, PLT_IDYES or PLT_IDNO. Text and caption are UTF-8.
int PLT_MessageBox(const char* text, const char* caption, int style);

enum : int { PLT_DLG_ICON_NONE = 0, PLT_DLG_ICON_WARNING = 1, PLT_DLG_ICON_PROGRAM = 2 };

// A dialog resource: a caption, text, an icon, an optional check box and an
// OK button. Text is UTF-8, '\n' breaks lines.
struct PltDialog {
  int id;  // resource number
  const char* caption;
  const char* text;
  int icon;
  int checkId;  // control id of the check box, 0 for none
  const char* checkCaption;
  // Sliders of 0..100 (per cent) above the check box; a dialog with
  // sliders has OK and キャンセル.
  int sliderCount;
  const char* sliderCaptions[4];
};

// Shows the dialog modally, centred on the main window. *checked (may be
// null) gives the check box's state at opening and receives it at closing.
// Returns PLT_IDOK, or PLT_IDCANCEL when the dialog was closed otherwise.
int PLT_DialogBox(const PltDialog* dialog, int* checked);
// The same for a dialog with sliders: values (sliderCount of them) give the
// sliders at opening and receive them when it ends with OK.
int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values);
