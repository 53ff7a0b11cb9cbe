// Message boxes and dialogs of the web backend, drawn inside the canvas with
// the program's own glyphs, as the desktop build draws them; in a scripted
// replay answered by the script instead (otherwise by the default button).
#include <algorithm>
#include <cstdio>
#include <deque>
#include <vector>

#include "platform/dialog.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"
#include "platform/web/web.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_window.h"

namespace {

struct Answers {
  std::deque<int> queued;
  std::vector<WebMessageBox> boxes;
};

Answers g_answers;

int Scripted(int fallback) {
  if (g_answers.queued.empty()) return fallback;
  int a = g_answers.queued.front();
  g_answers.queued.pop_front();
  return a;
}

}  // namespace

void WEB_QueueAnswer(int answer) {
  g_answers.queued.push_back(answer);
}

const std::vector<WebMessageBox>& WEB_MessageBoxes() {
  return g_answers.boxes;
}

int PLT_MessageBox(const char* text, const char* caption, int style) {
  const bool yesNo = (style & 0xF) == PLT_MB_YESNO;
  if (WEBB_Scripted()) {
    int answer = Scripted(yesNo ? PLT_IDYES : PLT_IDOK);
    g_answers.boxes.push_back(WebMessageBox{caption ? caption : "", text ? text : "", style, answer});
    return answer;
  }
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
  if (!WEBW_HasWindow()) {
    std::fprintf(stderr, "%s: %s\n", desc.caption, desc.text);
    return yesNo ? PLT_IDYES : PLT_IDOK;
  }
  return WEBW_RunDialog(desc, nullptr);
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  return PLT_DialogBoxValues(dialog, checked, nullptr);
}

int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values) {
  if (!dialog) return PLT_IDCANCEL;
  if (WEBB_Scripted()) {
    int answer = Scripted(PLT_IDOK);
    // A dialog has only OK: "no" stands for closing it otherwise.
    if (answer == PLT_IDNO) answer = PLT_IDCANCEL;
    if (answer == PLT_IDYES) answer = PLT_IDOK;
    g_answers.boxes.push_back(WebMessageBox{dialog->caption ? dialog->caption : "",
                                            dialog->text ? dialog->text : "", -dialog->id,
                                            answer});
    return answer;  // the check box and the sliders keep their values
  }
  static const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};
  static const DlgButton kOkCancel[2] = {{PLT_IDOK, "OK"}, {PLT_IDCANCEL, "キャンセル"}};
  DlgSpec desc{};
  desc.caption = dialog->caption ? dialog->caption : "";
  desc.text = dialog->text ? dialog->text : "";
  desc.icon = dialog->icon == PLT_DLG_ICON_WARNING   ? DLG_ICON_WARNING
              : dialog->icon == PLT_DLG_ICON_PROGRAM ? DLG_ICON_PICTURE
                                                     : DLG_ICON_NONE;
  if (desc.icon == DLG_ICON_PICTURE) {
    WEBB_WindowIcon(&desc.pictureRgba, &desc.pictureW, &desc.pictureH);
  }
  const int sliders = values ? std::clamp(dialog->sliderCount, 0, 4) : 0;
  DlgSlider rows[4] = {};
  for (int i = 0; i < sliders; ++i) rows[i] = DlgSlider{dialog->sliderCaptions[i], values[i]};
  desc.buttons = sliders ? kOkCancel : kOk;
  desc.buttonCount = sliders ? 2 : 1;
  desc.escapeResult = PLT_IDCANCEL;
  desc.checkCaption = dialog->checkId ? dialog->checkCaption : nullptr;
  desc.checked = checked ? *checked : 0;
  desc.sliders = sliders ? rows : nullptr;
  desc.sliderCount = sliders;
  if (!WEBW_HasWindow()) {
    std::fprintf(stderr, "%s: %s\n", desc.caption, desc.text);
    return PLT_IDOK;
  }
  const int result = WEBW_RunDialog(desc, checked);
  if (result == PLT_IDOK) {
    for (int i = 0; i < sliders; ++i) values[i] = DLG_SliderValue(i);
  }
  return result;
}
