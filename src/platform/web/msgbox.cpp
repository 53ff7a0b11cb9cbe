// Message boxes and dialogs of the web backend, drawn inside the canvas with
// the program's own glyphs, as the desktop build draws them; in a scripted
// replay answered by the script instead (otherwise by the default button).
#include <algorithm>
#include <deque>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"
#include "platform/web/web.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_window.h"

namespace {

constexpr int kSliderMax = 100;  // per cent

struct Answers {
  std::deque<int> queued;
  std::deque<std::vector<int>> sliderValues;
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

void WEB_QueueSliderValues(const std::vector<int>& values) {
  g_answers.sliderValues.push_back(values);
}

const std::vector<WebMessageBox>& WEB_MessageBoxes() {
  return g_answers.boxes;
}

namespace {

DlgBoxHost Host() {
  return DlgBoxHost{WEBW_HasWindow() ? WEBW_RunDialog : nullptr, WEBB_WindowIcon};
}

}  // namespace

int PLT_MessageBox(const char* text, const char* caption, int style) {
  if (WEBB_Scripted()) {
    const bool yesNo = (style & 0xF) == PLT_MB_YESNO;
    int answer = Scripted(yesNo ? PLT_IDYES : PLT_IDOK);
    g_answers.boxes.push_back(WebMessageBox{caption ? caption : "", text ? text : "", style, answer});
    return answer;
  }
  return DLGB_MessageBox(Host(), text, caption, style);
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  return PLT_DialogBoxValues(dialog, checked, nullptr);
}

int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values) {
  if (!dialog) return PLT_IDCANCEL;
  if (!WEBB_Scripted()) return DLGB_DialogBox(Host(), dialog, checked, values);
  int answer = Scripted(PLT_IDOK);
  // A dialog has only OK: "no" stands for closing it otherwise.
  if (answer == PLT_IDNO) answer = PLT_IDCANCEL;
  if (answer == PLT_IDYES) answer = PLT_IDOK;
  g_answers.boxes.push_back(WebMessageBox{dialog->caption ? dialog->caption : "",
                                          dialog->text ? dialog->text : "", -dialog->id, answer});
  // The sliders as the script set them, when it did; OK keeps them. The
  // check box keeps its state.
  if (values && !g_answers.sliderValues.empty()) {
    const std::vector<int> v = g_answers.sliderValues.front();
    g_answers.sliderValues.pop_front();
    for (int i = 0; i < dialog->sliderCount && i < static_cast<int>(v.size()); ++i) {
      if (answer == PLT_IDOK) values[i] = std::clamp(v[i], 0, kSliderMax);
    }
  }
  return answer;
}
