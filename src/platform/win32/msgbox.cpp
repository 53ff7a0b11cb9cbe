// Message boxes with MessageBox, and the dialog resources as system dialogs:
// a template built in memory from the program's dialog description (caption,
// icon, text, an optional check box and OK), run with DialogBoxIndirectParam.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/plt_debug.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"
#include "platform/win32/win32_backend.h"

namespace {

// Dialog units of the layout.
constexpr int kMargin = 7;
constexpr int kIconSize = 21;
constexpr int kLineHeight = 10;
constexpr int kButtonW = 50, kButtonH = 14;
constexpr int kCheckH = 10;
constexpr WORD kIconId = 1000, kTextId = 1001;
constexpr WORD kClassButton = 0x0080, kClassStatic = 0x0082, kClassScrollBar = 0x0084;
// Sliders: a caption, a horizontal scroll bar of 0..100 and the value.
constexpr int kSliderRowH = 14, kSliderLabelW = 40, kSliderBarW = 120, kSliderValueW = 24;
constexpr WORD kSliderBarId = 1100, kSliderValueId = 1110, kSliderLabelId = 1120;
constexpr int kMaxSliders = 4;

struct Template {
  std::vector<WORD> words;
  void Align() {
    if (words.size() % 2) words.push_back(0);
  }
  void Dword(DWORD v) {
    words.push_back(LOWORD(v));
    words.push_back(HIWORD(v));
  }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
  }
  void Item(DWORD style, int x, int y, int w, int h, WORD id, WORD cls, const std::wstring& text) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    words.push_back(static_cast<WORD>(x));
    words.push_back(static_cast<WORD>(y));
    words.push_back(static_cast<WORD>(w));
    words.push_back(static_cast<WORD>(h));
    words.push_back(id);
    words.push_back(0xFFFF);
    words.push_back(cls);
    Text(text);
    words.push_back(0);  // no creation data
  }
};

// Width of a line in dialog units: full-width characters are twice as wide.
int LineUnits(const std::wstring& line) {
  int u = 0;
  for (wchar_t c : line) u += c < 0x100 || (c >= 0xFF61 && c <= 0xFF9F) ? 4 : 8;
  return u;
}

struct DialogRun {
  const PltDialog* dialog;
  int checked;
  int sliders;
  int values[kMaxSliders];
};

void ShowSliderValue(HWND dlg, int i, int v) {
  wchar_t text[8];
  std::swprintf(text, 8, L"%d%%", v);
  ::SetDlgItemTextW(dlg, kSliderValueId + i, text);
}

// A scroll bar's new position for a scroll request.
int Scrolled(HWND bar, WPARAM wp) {
  int pos = ::GetScrollPos(bar, SB_CTL);
  switch (LOWORD(wp)) {
    case SB_LINELEFT:
      pos -= 1;
      break;
    case SB_LINERIGHT:
      pos += 1;
      break;
    case SB_PAGELEFT:
      pos -= 10;
      break;
    case SB_PAGERIGHT:
      pos += 10;
      break;
    case SB_LEFT:
      pos = 0;
      break;
    case SB_RIGHT:
      pos = 100;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = HIWORD(wp);
      break;
    default:
      break;
  }
  return std::clamp(pos, 0, 100);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* run = reinterpret_cast<DialogRun*>(::GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      run = reinterpret_cast<DialogRun*>(lp);
      ::SetWindowLongPtrW(dlg, DWLP_USER, lp);
      HICON icon = nullptr;
      if (run->dialog->icon == PLT_DLG_ICON_WARNING) {
        icon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING));
      } else if (run->dialog->icon == PLT_DLG_ICON_PROGRAM) {
        icon = W32_Icon() ? W32_Icon() : ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
      }
      if (icon) ::SendDlgItemMessageW(dlg, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      if (run->dialog->checkId) {
        ::CheckDlgButton(dlg, run->dialog->checkId, run->checked ? BST_CHECKED : BST_UNCHECKED);
      }
      for (int i = 0; i < run->sliders; ++i) {
        HWND bar = ::GetDlgItem(dlg, kSliderBarId + i);
        ::SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
        ::SetScrollPos(bar, SB_CTL, run->values[i], TRUE);
        ShowSliderValue(dlg, i, run->values[i]);
      }
      // Centred on the owner.
      HWND owner = ::GetWindow(dlg, GW_OWNER);
      RECT o, d;
      if (owner && ::GetWindowRect(owner, &o) && ::GetWindowRect(dlg, &d)) {
        const int w = d.right - d.left, h = d.bottom - d.top;
        ::SetWindowPos(dlg, nullptr, o.left + (o.right - o.left - w) / 2,
                       o.top + (o.bottom - o.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      }
      return TRUE;
    }
    case WM_HSCROLL: {
      HWND bar = reinterpret_cast<HWND>(lp);
      const int i = bar ? ::GetDlgCtrlID(bar) - kSliderBarId : -1;
      if (!run || i < 0 || i >= run->sliders) break;
      run->values[i] = Scrolled(bar, wp);
      ::SetScrollPos(bar, SB_CTL, run->values[i], TRUE);
      ShowSliderValue(dlg, i, run->values[i]);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        if (run && run->dialog->checkId) {
          run->checked = ::IsDlgButtonChecked(dlg, run->dialog->checkId) == BST_CHECKED;
        }
        ::EndDialog(dlg, LOWORD(wp));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// Splits text at '\n'.
std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (wchar_t c : text) {
    if (c == L'\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

Template BuildTemplate(const PltDialog& d, int sliders) {
  const std::wstring text = W32_Wide(d.text);
  const std::vector<std::wstring> lines = Lines(text);
  int textW = 0;
  for (const auto& l : lines) textW = std::max(textW, LineUnits(l));
  const bool icon = d.icon != PLT_DLG_ICON_NONE;
  const int textX = kMargin + (icon ? kIconSize + kMargin : 0);
  const int textH = static_cast<int>(lines.size()) * kLineHeight;
  const std::wstring check = d.checkId ? W32_Wide(d.checkCaption) : std::wstring();
  const int checkW = d.checkId ? LineUnits(check) + 16 : 0;
  int y = kMargin + std::max(textH, icon ? kIconSize : 0) + kMargin;
  const int width =
      std::max({textX + textW + kMargin, kMargin + checkW + kMargin, kButtonW + 2 * kMargin, 120});
  const int sliderY = y;
  if (sliders) y += sliders * kSliderRowH + kMargin;
  const int checkY = y;
  if (d.checkId) y += kCheckH + kMargin;
  const int buttonY = y;
  const int height = y + kButtonH + kMargin;
  const int sliderW = kMargin + kSliderLabelW + kSliderBarW + 4 + kSliderValueW + kMargin;
  const int boxW = sliders ? std::max(width, std::max(sliderW, 2 * kButtonW + 3 * kMargin)) : width;

  Template t;
  const int items = 3 + (d.checkId ? 1 : 0) + 3 * sliders + (sliders ? 1 : 0);
  t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(0);
  t.words.push_back(static_cast<WORD>(items));
  t.words.push_back(0);
  t.words.push_back(0);
  t.words.push_back(static_cast<WORD>(boxW));
  t.words.push_back(static_cast<WORD>(height));
  t.words.push_back(0);  // no menu
  t.words.push_back(0);  // the standard class
  t.Text(W32_Wide(d.caption));
  t.words.push_back(9);  // point size
  t.Text(L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");  // ＭＳ Ｐゴシック
  t.Item(SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE, kMargin, kMargin, kIconSize, kIconSize, kIconId, kClassStatic, L"");
  t.Item(SS_LEFT | SS_NOPREFIX, textX, kMargin, textW + 4, textH, kTextId, kClassStatic, text);
  for (int i = 0; i < sliders; ++i) {
    const int ry = sliderY + i * kSliderRowH;
    t.Item(SS_LEFT | SS_NOPREFIX, kMargin, ry + 2, kSliderLabelW, kLineHeight,
           static_cast<WORD>(kSliderLabelId + i), kClassStatic, W32_Wide(d.sliderCaptions[i]));
    t.Item(SBS_HORZ | WS_TABSTOP, kMargin + kSliderLabelW, ry, kSliderBarW, kSliderRowH - 3,
           static_cast<WORD>(kSliderBarId + i), kClassScrollBar, L"");
    t.Item(SS_LEFT | SS_NOPREFIX, kMargin + kSliderLabelW + kSliderBarW + 4, ry + 2, kSliderValueW,
           kLineHeight, static_cast<WORD>(kSliderValueId + i), kClassStatic, L"");
  }
  if (d.checkId) {
    t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, kMargin, checkY, checkW, kCheckH,
           static_cast<WORD>(d.checkId), kClassButton, check);
  }
  if (sliders) {
    const int left = (boxW - 2 * kButtonW - kMargin) / 2;
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, left, buttonY, kButtonW, kButtonH, IDOK, kClassButton,
           L"OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, left + kButtonW + kMargin, buttonY, kButtonW, kButtonH,
           IDCANCEL, kClassButton, W32_Wide("キャンセル"));
  } else {
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, (width - kButtonW) / 2, buttonY, kButtonW, kButtonH, IDOK,
           kClassButton, L"OK");
  }
  t.Align();
  return t;
}

}  // namespace

int PLT_MessageBox(const char* text, const char* caption, int style) {
  const bool yesNo = (style & 0xF) == PLT_MB_YESNO;
  UINT flags = yesNo ? (MB_YESNO | MB_ICONQUESTION) : (MB_OK | MB_ICONWARNING);
  if (style & PLT_MB_SYSTEMMODAL) flags |= MB_SYSTEMMODAL;
  if (style & PLT_MB_SETFOREGROUND) flags |= MB_SETFOREGROUND;
  const std::wstring t = W32_Wide(text ? text : "");
  const std::wstring c = W32_Wide(caption ? caption : "");
  // What the box says goes to the debugger output too: a window's text is
  // out of reach of the tools that drive the game under test.
  const std::string line = std::string("MessageBox ") + (caption ? caption : "") + ": " +
                           (text ? text : "") + "\n";
  PLT_DebugOutput(line.c_str());
  const int r = ::MessageBoxW(W32_Window(), t.c_str(), c.c_str(), flags);
  if (r == 0) {
    // No box could be shown: take the default, as a box nobody answers would.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return yesNo ? PLT_IDYES : PLT_IDOK;
  }
  return r == IDYES ? PLT_IDYES : r == IDNO ? PLT_IDNO : PLT_IDOK;
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  return PLT_DialogBoxValues(dialog, checked, nullptr);
}

int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values) {
  if (!dialog) return PLT_IDCANCEL;
  const int sliders = values ? std::clamp(dialog->sliderCount, 0, kMaxSliders) : 0;
  Template t = BuildTemplate(*dialog, sliders);
  DialogRun run{dialog, checked ? *checked : 0, sliders, {}};
  for (int i = 0; i < sliders; ++i) run.values[i] = std::clamp(values[i], 0, 100);
  const INT_PTR r = ::DialogBoxIndirectParamW(
      W32_Instance(), reinterpret_cast<LPCDLGTEMPLATEW>(t.words.data()), W32_Window(), DialogProc,
      reinterpret_cast<LPARAM>(&run));
  if (r == -1 || r == 0) return PLT_IDCANCEL;
  if (checked) *checked = run.checked;
  if (r == IDOK) {
    for (int i = 0; i < sliders; ++i) values[i] = run.values[i];
  }
  return r == IDOK ? PLT_IDOK : PLT_IDCANCEL;
}
