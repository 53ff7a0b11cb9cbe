// Message boxes and dialogs as the in-window dialog: the buttons, icon,
// sliders and check box each kind of box has.
#include "platform/dialog_box.h"

#include <algorithm>
#include <cstdio>

#include "platform/plt_types.h"

namespace {

constexpr int kMaxSliders = 4;

}  // namespace

int DLGB_MessageBox(const DlgBoxHost& host, const char* text, const char* caption, int style) {
  const bool yesNo = (style & 0xF) == PLT_MB_YESNO;
  static const DlgButton kYesNo[2] = {{PLT_IDYES, "はい"}, {PLT_IDNO, "いいえ"}};
  static const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};
  DlgSpec desc{};
  desc.caption = caption ? caption : "";
  desc.text = text ? text : "";
  desc.icon = yesNo ? DLG_ICON_QUESTION : DLG_ICON_WARNING;
  desc.buttons = yesNo ? kYesNo : kOk;
  desc.buttonCount = yesNo ? 2 : 1;
  desc.defaultButton = 0;
  desc.escapeResult = yesNo ? PLT_IDNO : PLT_IDOK;
  if (!host.run) {
    // Nobody can be asked: say so where it can be read and take the default.
    std::fprintf(stderr, "%s: %s\n", desc.caption, desc.text);
    return yesNo ? PLT_IDYES : PLT_IDOK;
  }
  return host.run(desc, nullptr);
}

int DLGB_DialogBox(const DlgBoxHost& host, const PltDialog* dialog, int* checked, int* values) {
  if (!dialog) return PLT_IDCANCEL;
  static const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};
  static const DlgButton kOkCancel[2] = {{PLT_IDOK, "OK"}, {PLT_IDCANCEL, "キャンセル"}};
  DlgSpec desc{};
  desc.caption = dialog->caption ? dialog->caption : "";
  desc.text = dialog->text ? dialog->text : "";
  desc.icon = dialog->icon == PLT_DLG_ICON_WARNING   ? DLG_ICON_WARNING
              : dialog->icon == PLT_DLG_ICON_PROGRAM ? DLG_ICON_PICTURE
                                                     : DLG_ICON_NONE;
  if (desc.icon == DLG_ICON_PICTURE && host.icon) {
    host.icon(&desc.pictureRgba, &desc.pictureW, &desc.pictureH);
  }
  const int sliders = values ? std::clamp(dialog->sliderCount, 0, kMaxSliders) : 0;
  DlgSlider rows[kMaxSliders] = {};
  for (int i = 0; i < sliders; ++i) rows[i] = DlgSlider{dialog->sliderCaptions[i], values[i]};
  desc.buttons = sliders ? kOkCancel : kOk;
  desc.buttonCount = sliders ? 2 : 1;
  desc.escapeResult = PLT_IDCANCEL;
  desc.checkCaption = dialog->checkId ? dialog->checkCaption : nullptr;
  desc.checked = checked ? *checked : 0;
  desc.sliders = sliders ? rows : nullptr;
  desc.sliderCount = sliders;
  if (!host.run) {
    std::fprintf(stderr, "%s: %s\n", desc.caption, desc.text);
    return PLT_IDOK;
  }
  const int result = host.run(desc, checked);
  if (result == PLT_IDOK) {
    for (int i = 0; i < sliders; ++i) values[i] = DLG_SliderValue(i);
  }
  return result;
}
