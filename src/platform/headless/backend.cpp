// The headless backend: no window, a virtual clock, scripted input and
// message-box answers, frames kept in memory.
#include <atomic>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/hl_audio.h"
#include "platform/plt_clock.h"
#include "platform/plt_display.h"
#include "platform/plt_input.h"
#include "platform/plt_menu.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_shell.h"
#include "platform/plt_window.h"

namespace {

struct Headless {
  bool hasWindow = false;
  PltWndProc proc = nullptr;
  std::deque<PltMsg> queue;
  int cursorX = 0, cursorY = 0;  // client coordinates; the window sits at (winX, winY)
  int winX = 0, winY = 0;
  int swapButtons = 0;
  std::deque<int> answers;
  std::vector<HlMessageBox> boxes;
  int desktopBpp = 32, desktopW = 1920, desktopH = 1080;
  int storedW = 1920, storedH = 1080;  // what HL_SwitchDesktop leaves alone
  uint64_t presents = 0;
  std::vector<uint8_t> frame;
  int frameW = 0, frameH = 0;
  std::map<int, int> checked;
  std::map<int, int> enabled;
  uint64_t indexedPresents = 0;
  int menuShown = 0;
  int scale = 1;
  int smooth = 0;
  std::vector<std::string> opened;
  std::deque<std::vector<int>> sliderValues;
  bool noOpener = false;
  std::vector<std::string> published;
  int systemMenuOpens = 0;
};

Headless g_hl;
// The clock is read by sound workers too.
std::atomic<uint32_t> g_timeMs{0};

}  // namespace

void HL_Reset() {
  g_hl = Headless();
  HL_SetModeChangeResult(PLT_DISP_CHANGE_SUCCESSFUL);
  g_timeMs.store(0);
  PLT_InputResetKeys();
}

void HL_SetTime(uint32_t ms) {
  g_timeMs.store(ms);
}

void HL_AdvanceTime(uint32_t ms) {
  uint32_t from = g_timeMs.fetch_add(ms);
  HL_AudioAdvance(from, from + ms);  // the sound device mixes along with the clock
}

uint32_t PLT_TimeMs() {
  return g_timeMs.load();
}
void PLT_Sleep(uint32_t ms) {
  HL_AdvanceTime(ms);
}
void PLT_TimeBeginPeriod(uint32_t) {}
void PLT_TimeEndPeriod(uint32_t) {}

void HL_KeyEvent(int vk, int down) {
  PLT_InputKeyEvent(vk, down);
}

void HL_MouseMove(int x, int y) {
  g_hl.cursorX = x;
  g_hl.cursorY = y;
  g_hl.queue.push_back(PltMsg{PLT_MSG_MOUSEMOVE, 0, (x & 0xFFFF) | (int64_t{y & 0xFFFF} << 16)});
}

void HL_MouseButton(int button, int down) {
  static const int vks[3] = {PLT_VK_LBUTTON, PLT_VK_RBUTTON, PLT_VK_MBUTTON};
  if (button < 0 || button > 2) return;
  PLT_InputKeyEvent(vks[button], down);
}

void HL_Wheel(int notches) {
  PLT_InputWheel(notches);
}
void HL_PadConnected(int connected) {
  PLT_InputPadConnected(connected);
}
void HL_PadButton(int button, int down) {
  PLT_InputPadButton(button, down);
}
void HL_PadAxis(int axis, int value) {
  PLT_InputPadAxis(axis, value);
}

void HL_TypeLetter(char c) {
  int vk = (c >= 'a' && c <= 'z')   ? c - 'a' + PLT_VK_A
           : (c >= 'A' && c <= 'Z') ? c - 'A' + PLT_VK_A
                                    : c;
  PLT_InputKeyEvent(vk, 1);
  PLT_InputKeyEvent(vk, 0);
  g_hl.queue.push_back(PltMsg{PLT_MSG_KEYDOWN, vk, 0});
}

void HL_SetActive(int active) {
  g_hl.queue.push_back(PltMsg{PLT_MSG_ACTIVATE, active, 0});
}
void HL_SetSwapButtons(int swapped) {
  g_hl.swapButtons = swapped;
}
void HL_PostCommand(int id) {
  g_hl.queue.push_back(PltMsg{PLT_MSG_COMMAND, id, 0});
}
void HL_PostClose() {
  g_hl.queue.push_back(PltMsg{PLT_MSG_CLOSE, 0, 0});
}
void HL_QueueAnswer(int answer) {
  g_hl.answers.push_back(answer);
}
void HL_QueueSliderValues(const std::vector<int>& values) {
  g_hl.sliderValues.push_back(values);
}
const std::vector<HlMessageBox>& HL_MessageBoxes() {
  return g_hl.boxes;
}

void HL_SetDesktop(int bpp, int width, int height) {
  g_hl.desktopBpp = bpp;
  g_hl.desktopW = width;
  g_hl.desktopH = height;
  g_hl.storedW = width;
  g_hl.storedH = height;
}

void HL_SwitchDesktop(int width, int height) {
  const int storedW = g_hl.storedW, storedH = g_hl.storedH;
  HL_ChangeDesktop(g_hl.desktopBpp, width, height);
  g_hl.storedW = storedW;
  g_hl.storedH = storedH;
}

void HL_ChangeDesktop(int bpp, int width, int height) {
  HL_SetDesktop(bpp, width, height);
  g_hl.queue.push_back(
      PltMsg{PLT_MSG_DISPLAYCHANGE, bpp, (width & 0xFFFF) | (int64_t{height & 0xFFFF} << 16)});
}

void HL_PostEndSession() {
  g_hl.queue.push_back(PltMsg{PLT_MSG_ENDSESSION, 0, 0});
}
void HL_PostMinimized(int minimized) {
  g_hl.queue.push_back(PltMsg{PLT_MSG_MINIMIZED, minimized ? 1 : 0, 0});
}
uint64_t HL_IndexedPresentCount() {
  return g_hl.indexedPresents;
}
int HL_MenuBarShown() {
  return g_hl.menuShown;
}
int HL_WindowScale() {
  return g_hl.scale;
}
const std::vector<std::string>& HL_OpenedTargets() {
  return g_hl.opened;
}

uint64_t HL_PresentCount() {
  return g_hl.presents;
}
const std::vector<uint8_t>& HL_LastFrame() {
  return g_hl.frame;
}
void HL_LastFrameSize(int* width, int* height) {
  *width = g_hl.frameW;
  *height = g_hl.frameH;
}

// Window and messages.
int PLT_CreateWindow(const char*, int, int, const PltMenu*, PltWndProc proc) {
  g_hl.hasWindow = true;
  g_hl.proc = proc;
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  // The size query, as the system sends it while creating the window.
  PltMinMaxInfo info{0, 0, g_hl.desktopW, g_hl.desktopH, g_hl.desktopW, g_hl.desktopH, 1, 1};
  if (proc) proc(PltMsg{PLT_MSG_GETMINMAXINFO, 0, reinterpret_cast<int64_t>(&info)});
  g_hl.queue.push_back(PltMsg{PLT_MSG_ACTIVATE, 1, 0});
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_hl.hasWindow) return;
  g_hl.hasWindow = false;
  if (g_hl.proc) g_hl.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
}

int PLT_HasWindow() {
  return g_hl.hasWindow ? 1 : 0;
}
void PLT_ShowWindow() {}

int PLT_PeekMessage(PltMsg* msg) {
  if (g_hl.queue.empty()) return 0;
  *msg = g_hl.queue.front();
  return 1;
}

int PLT_GetMessage(PltMsg* msg) {
  if (g_hl.queue.empty()) return 0;
  *msg = g_hl.queue.front();
  g_hl.queue.pop_front();
  return 1;
}

int64_t PLT_DispatchMessage(const PltMsg& msg) {
  return g_hl.proc ? g_hl.proc(msg) : 0;
}
int64_t PLT_SendMessage(int type, int64_t wparam, int64_t lparam) {
  return PLT_DispatchMessage(PltMsg{type, wparam, lparam});
}
void PLT_PostMessage(int type, int64_t wparam, int64_t lparam) {
  g_hl.queue.push_back(PltMsg{type, wparam, lparam});
}
void PLT_PostQuit(int code) {
  g_hl.queue.push_back(PltMsg{PLT_MSG_QUIT, code, 0});
}

void PLT_GetWindowPos(int* x, int* y) {
  *x = g_hl.winX;
  *y = g_hl.winY;
}
void PLT_SetWindowPos(int x, int y) {
  g_hl.winX = x;
  g_hl.winY = y;
}
void PLT_GetWorkArea(int* width, int* height) {
  *width = g_hl.desktopW;
  *height = g_hl.desktopH;
}
void PLT_GetDesktopMode(int* bpp, int* width, int* height) {
  *bpp = PLT_DesktopDepthOverride(g_hl.desktopBpp);
  *width = g_hl.desktopW;
  *height = g_hl.desktopH;
}

void PLT_GetStoredDesktopSize(int* width, int* height) {
  if (width) *width = g_hl.storedW;
  if (height) *height = g_hl.storedH;
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 0) return;
  g_hl.frame.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  g_hl.frameW = width;
  g_hl.frameH = height;
  ++g_hl.presents;
}

// The whole picture every time: frames are captured whole.
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, const PltRect*, int) {
  PLT_Present(pixels, width, height);
}

void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height) {
  if (!pixels || !palette || width <= 0 || height <= 0) return;
  // Kept as the display would show it, so frames compare with 24-bit ones.
  size_t n = static_cast<size_t>(width) * height;
  g_hl.frame.resize(n * 3);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* e = palette + pixels[i] * 4;
    g_hl.frame[i * 3] = e[0];
    g_hl.frame[i * 3 + 1] = e[1];
    g_hl.frame[i * 3 + 2] = e[2];
  }
  g_hl.frameW = width;
  g_hl.frameH = height;
  ++g_hl.presents;
  ++g_hl.indexedPresents;
}

void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth;
  *height = clientHeight + 19;  // the menu bar
}

void PLT_ShowMenuBar(int show) {
  g_hl.menuShown = show ? 1 : 0;
}
void PLT_SetWindowScale(int scale) {
  g_hl.scale = scale < 1 ? 1 : scale > 4 ? 4 : scale;
}
void PLT_SetSmoothScaling(int smooth) {
  g_hl.smooth = smooth ? 1 : 0;
}

// Cursor: the client area starts at the window position.
void PLT_GetCursorPos(int* x, int* y) {
  *x = g_hl.cursorX + g_hl.winX;
  *y = g_hl.cursorY + g_hl.winY;
}
void PLT_SetCursorPos(int x, int y) {
  g_hl.cursorX = x - g_hl.winX;
  g_hl.cursorY = y - g_hl.winY;
}
void PLT_ScreenToClient(int* x, int* y) {
  *x -= g_hl.winX;
  *y -= g_hl.winY;
}
void PLT_ClientToScreen(int* x, int* y) {
  *x += g_hl.winX;
  *y += g_hl.winY;
}
int PLT_SwapButtons() {
  return g_hl.swapButtons;
}

int PLT_MessageBox(const char* text, const char* caption, int style) {
  int answer;
  if (!g_hl.answers.empty()) {
    answer = g_hl.answers.front();
    g_hl.answers.pop_front();
  } else {
    answer = (style & PLT_MB_YESNO) ? PLT_IDYES : PLT_IDOK;
  }
  g_hl.boxes.push_back(HlMessageBox{caption ? caption : "", text ? text : "", style, answer});
  return answer;
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  return PLT_DialogBoxValues(dialog, checked, nullptr);
}

int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values) {
  if (!dialog) return PLT_IDCANCEL;
  int answer = PLT_IDOK;
  if (!g_hl.answers.empty()) {
    answer = g_hl.answers.front();
    g_hl.answers.pop_front();
  }
  // A dialog has only OK: "no" stands for closing it otherwise.
  if (answer == PLT_IDNO) answer = PLT_IDCANCEL;
  if (answer == PLT_IDYES) answer = PLT_IDOK;
  g_hl.boxes.push_back(HlMessageBox{dialog->caption ? dialog->caption : "",
                                    dialog->text ? dialog->text : "", -dialog->id, answer});
  (void)checked;  // the check box keeps its state
  // The sliders as the script set them, when it did; OK keeps them.
  if (values && !g_hl.sliderValues.empty()) {
    std::vector<int> v = g_hl.sliderValues.front();
    g_hl.sliderValues.pop_front();
    for (int i = 0; i < dialog->sliderCount && i < static_cast<int>(v.size()); ++i) {
      if (answer == PLT_IDOK) values[i] = v[i] < 0 ? 0 : v[i] > 100 ? 100 : v[i];
    }
  }
  return answer;
}

// Menu state is kept so that tests can read the check marks.
void PLT_CheckMenuItem(int id, int checked) {
  g_hl.checked[id] = checked ? 1 : 0;
}
void PLT_EnableMenuItem(int id, int enabled) {
  g_hl.enabled[id] = enabled ? 1 : 0;
}
int PLT_IsMenuItemChecked(int id) {
  return g_hl.checked.count(id) ? g_hl.checked[id] : 0;
}
int PLT_IsMenuItemEnabled(int id) {
  return g_hl.enabled.count(id) ? g_hl.enabled[id] : 1;
}

int PLT_ShellOpen(const char* target) {
  if (g_hl.noOpener) return 0;
  g_hl.opened.push_back(target ? target : "");
  return 1;
}
void PLT_PublishText(const char* utf8) {
  if (!utf8) return;
  g_hl.published.push_back(utf8);
  // As the real program does: tools read the replay's standard output.
  std::fputs(utf8, stdout);
  std::fputc('\n', stdout);
}
const std::vector<std::string>& HL_PublishedTexts() {
  return g_hl.published;
}
void PLT_OpenSystemMenu() {
  ++g_hl.systemMenuOpens;
}
int HL_SystemMenuOpens() {
  return g_hl.systemMenuOpens;
}
void HL_SetNoOpener(int none) {
  g_hl.noOpener = none != 0;
}
