// Message boxes and dialogs of the SDL backend, drawn inside the game window
// with the program's own font: the desktop's message-box service draws with
// the X server's fonts, which have no Japanese on most machines.
#include <cstdio>

#include "platform/dialog.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"
#include "platform/sdl/sdl_backend.h"

int PLT_MessageBox(const char* text, const char* caption, int style) {
  bool yesNo = (style & 0xF) == PLT_MB_YESNO;
  static const DlgButton kYesNo[2] = {{PLT_IDYES, "はい"}, {PLT_IDNO, "いいえ"}};
  static const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};
  DlgSpec spec{};
  spec.caption = caption ? caption : "";
  spec.text = text ? text : "";
  spec.icon = yesNo ? DLG_ICON_QUESTION : DLG_ICON_WARNING;
  spec.buttons = yesNo ? kYesNo : kOk;
  spec.buttonCount = yesNo ? 2 : 1;
  spec.defaultButton = 0;
  spec.escapeResult = yesNo ? PLT_IDNO : PLT_IDOK;
  if (!SDLB_Window()) {
    // Nobody can be asked: say so where it can be read and take the default.
    std::fprintf(stderr, "%s: %s\n", spec.caption, spec.text);
    return yesNo ? PLT_IDYES : PLT_IDOK;
  }
  return SDLB_RunDialog(spec, nullptr);
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  if (!dialog) return PLT_IDCANCEL;
  static const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};
  DlgSpec spec{};
  spec.caption = dialog->caption ? dialog->caption : "";
  spec.text = dialog->text ? dialog->text : "";
  spec.icon = dialog->icon == PLT_DLG_ICON_WARNING   ? DLG_ICON_WARNING
              : dialog->icon == PLT_DLG_ICON_PROGRAM ? DLG_ICON_PICTURE
                                                     : DLG_ICON_NONE;
  if (spec.icon == DLG_ICON_PICTURE) {
    SDLB_WindowIcon(&spec.pictureRgba, &spec.pictureW, &spec.pictureH);
  }
  spec.buttons = kOk;
  spec.buttonCount = 1;
  spec.escapeResult = PLT_IDCANCEL;
  spec.checkCaption = dialog->checkId ? dialog->checkCaption : nullptr;
  spec.checked = checked ? *checked : 0;
  if (!SDLB_Window()) {
    std::fprintf(stderr, "%s: %s\n", spec.caption, spec.text);
    return PLT_IDOK;
  }
  return SDLB_RunDialog(spec, checked);
}
