// Replay extension for the display: depths, full screen, the menu bar shown
// over it and the window scale in the summary ("display").
#include "common/config.h"
#include "platform/headless/headless.h"
#include "platform/plt_display.h"
#include "shell/display.h"
#include "zentrova-tool/replay_ext.h"

namespace {

void DisplayJson(std::string& out) {
  out += "{\"desktopDepth\": ";
  REC_JsonInt(out, g_display.desktopDepth);
  out += ", \"displayDepth\": ";
  REC_JsonInt(out, g_display.displayDepth);
  out += ", \"workingDepth\": ";
  REC_JsonInt(out, g_display.workingDepth);
  out += ", \"fullScreen\": ";
  out += PLT_IsFullScreen() ? "true" : "false";
  out += ", \"menuShown\": ";
  out += g_display.menuShown ? "true" : "false";
  out += ", \"scale\": ";
  REC_JsonInt(out, HL_WindowScale());
  out += "}";
}

}  // namespace

ZV_REPLAY_EXTENSION(display, "display", nullptr, nullptr, nullptr, nullptr, nullptr, DisplayJson,
                    nullptr);
