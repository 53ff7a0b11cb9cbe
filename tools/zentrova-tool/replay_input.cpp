// The input scripts of `zentrova-tool replay`: parsing, shared with the
// browser build, which plays the same scripts in the page.
#include "zentrova-tool/replay_input.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/plt_input.h"
#include "platform/plt_types.h"

namespace {

using Event = ReplayEvent;

bool ParseInt(const std::string& s, long long* v) {
  char* end = nullptr;
  *v = std::strtoll(s.c_str(), &end, 10);
  return !s.empty() && end && *end == 0;
}

}  // namespace

int REPLAY_KeyCode(const std::string& k) {
  static const std::map<std::string, int> named = {
      {"up", PLT_VK_UP},         {"down", PLT_VK_DOWN},    {"left", PLT_VK_LEFT},
      {"right", PLT_VK_RIGHT},   {"enter", PLT_VK_RETURN}, {"space", PLT_VK_SPACE},
      {"ctrl", PLT_VK_CONTROL},  {"shift", PLT_VK_SHIFT},  {"alt", PLT_VK_MENU},
      {"tab", PLT_VK_TAB},       {"esc", PLT_VK_ESCAPE},   {"pageup", PLT_VK_PRIOR},
      {"pagedown", PLT_VK_NEXT}, {"end", PLT_VK_END},      {"home", PLT_VK_HOME}};
  auto it = named.find(k);
  if (it != named.end()) return it->second;
  if (k.size() == 1 && k[0] >= 'a' && k[0] <= 'z') return PLT_VK_A + k[0] - 'a';
  if (k.size() == 1 && k[0] >= '0' && k[0] <= '9') return PLT_VK_0 + k[0] - '0';
  if (k.size() == 4 && k.rfind("pad", 0) == 0 && k[3] >= '0' && k[3] <= '9')
    return PLT_VK_NUMPAD0 + k[3] - '0';
  if (k.size() >= 2 && k[0] == 'f') {
    int n = std::atoi(k.c_str() + 1);
    if (n >= 1 && n <= 12) return PLT_VK_F1 + n - 1;
  }
  return -1;
}

int REPLAY_PadButtonCode(const std::string& b) {
  static const char* const names[PLT_PAD_BUTTONS] = {
      "a", "b", "x", "y", "start", "back", "dpup", "dpdown", "dpleft", "dpright", "lt", "rt"};
  for (int i = 0; i < PLT_PAD_BUTTONS; ++i) {
    if (b == names[i]) return i;
  }
  return -1;
}

int REPLAY_ButtonCode(const std::string& b) {
  if (b == "left") return 0;
  if (b == "right") return 1;
  if (b == "middle") return 2;
  return -1;
}


bool REPLAY_ParseInput(std::istream& in, const char* path, std::vector<ReplayEvent>* out) {
  std::string line;
  int lineNo = 0;
  auto bad = [&](const char* why) {
    std::fprintf(stderr, "zentrova-tool replay: %s:%d: %s\n", path, lineNo, why);
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream ls(line);
    std::vector<std::string> w;
    for (std::string t; ls >> t;) w.push_back(t);
    if (w.empty()) continue;
    long long frame;
    if (!ParseInt(w[0], &frame) || frame < 0) return bad("a line must start with a frame number");
    if (w.size() < 2) return bad("missing event");
    Event e{static_cast<uint64_t>(frame), w[1], {w.begin() + 2, w.end()}, lineNo};
    const std::string& v = e.verb;
    long long a, b;
    if (v == "move") {
      if (e.args.size() != 2 || !ParseInt(e.args[0], &a) || !ParseInt(e.args[1], &b))
        return bad("move needs X Y");
      out->push_back(e);
    } else if (v == "down" || v == "up") {
      if (e.args.size() != 1 || REPLAY_ButtonCode(e.args[0]) < 0)
        return bad("needs left, right or middle");
      out->push_back(e);
    } else if (v == "click") {
      if ((e.args.size() != 1 && e.args.size() != 3) || REPLAY_ButtonCode(e.args[0]) < 0)
        return bad("click needs BUTTON [X Y]");
      if (e.args.size() == 3) {
        if (!ParseInt(e.args[1], &a) || !ParseInt(e.args[2], &b)) return bad("bad position");
        out->push_back(Event{e.frame, "move", {e.args[1], e.args[2]}, lineNo});
      }
      out->push_back(Event{e.frame, "down", {e.args[0]}, lineNo});
      out->push_back(Event{e.frame + 1, "up", {e.args[0]}, lineNo});
    } else if (v == "key") {
      if (e.args.size() != 2 || REPLAY_KeyCode(e.args[0]) < 0 ||
          (e.args[1] != "down" && e.args[1] != "up"))
        return bad("key needs KEY down|up");
      out->push_back(e);
    } else if (v == "tap") {
      if (e.args.size() != 1 || REPLAY_KeyCode(e.args[0]) < 0) return bad("tap needs a KEY");
      out->push_back(e);
    } else if (v == "type") {
      if (e.args.size() != 1) return bad("type needs LETTERS");
      for (size_t i = 0; i < e.args[0].size(); ++i) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(e.args[0][i])));
        if (c < 'a' || c > 'z') return bad("type takes letters only");
        out->push_back(Event{e.frame + i, "tap", {std::string(1, c)}, lineNo});
      }
    } else if (v == "answer") {
      if (e.args.size() != 1 || (e.args[0] != "yes" && e.args[0] != "no" && e.args[0] != "ok"))
        return bad("answer needs yes, no or ok");
      out->push_back(e);
    } else if (v == "command") {
      if (e.args.size() != 1 || !ParseInt(e.args[0], &a)) return bad("command needs an ID");
      out->push_back(e);
    } else if (v == "close") {
      out->push_back(e);
    } else if (v == "activate" || v == "minimize") {
      if (e.args.size() != 1 || (e.args[0] != "0" && e.args[0] != "1")) return bad("needs 0 or 1");
      out->push_back(e);
    } else if (v == "desktop") {
      long long c;
      if (e.args.size() != 3 || !ParseInt(e.args[0], &a) || !ParseInt(e.args[1], &b) ||
          !ParseInt(e.args[2], &c) || (a != 8 && a != 16 && a != 24 && a != 32) || b < 1 ||
          b > 16384 || c < 1 || c > 16384)
        return bad("desktop needs BPP (8, 16, 24 or 32) W H (1 to 16384)");
      out->push_back(e);
    } else if (v == "wheel") {
      if (e.args.size() != 1 || !ParseInt(e.args[0], &a) || a < -1000 || a > 1000 || a == 0)
        return bad("wheel needs N (-1000 to 1000, not 0)");
      out->push_back(e);
    } else if (v == "pad") {
      if (e.args.size() != 2 || REPLAY_PadButtonCode(e.args[0]) < 0 ||
          (e.args[1] != "down" && e.args[1] != "up"))
        return bad("pad needs BUTTON (a, b, x, y, start, back, dpup, dpdown, dpleft, dpright, lt, rt) down|up");
      out->push_back(e);
    } else if (v == "axis") {
      if (e.args.size() != 2 || (e.args[0] != "leftx" && e.args[0] != "lefty") ||
          !ParseInt(e.args[1], &a) || a < -32768 || a > 32767)
        return bad("axis needs leftx|lefty VALUE (-32768 to 32767)");
      out->push_back(e);
    } else if (v == "gamepad") {
      if (e.args.size() != 1 || (e.args[0] != "0" && e.args[0] != "1")) return bad("needs 0 or 1");
      out->push_back(e);
    } else if (v == "sliders") {
      if (e.args.empty() || e.args.size() > 4) return bad("sliders needs 1 to 4 values");
      for (const std::string& x : e.args) {
        if (!ParseInt(x, &a) || a < 0 || a > 100) return bad("a slider is 0 to 100");
      }
      out->push_back(e);
    } else {
      return bad("unknown event");
    }
  }
  return true;
}

void REPLAY_Dispatch(const ReplayEvent& e, const ReplaySink& sink) {
  const std::string& v = e.verb;
  auto num = [&](size_t i) { return std::atoi(e.args[i].c_str()); };
  if (v == "move") {
    sink.mouseMove(num(0), num(1));
  } else if (v == "down" || v == "up") {
    sink.mouseButton(REPLAY_ButtonCode(e.args[0]), v == "down");
  } else if (v == "key") {
    sink.key(REPLAY_KeyCode(e.args[0]), e.args[1] == "down");
  } else if (v == "tap") {
    const int vk = REPLAY_KeyCode(e.args[0]);
    sink.key(vk, 1);
    sink.key(vk, 0);
  } else if (v == "answer") {
    sink.answer(e.args[0] == "yes" ? PLT_IDYES : e.args[0] == "no" ? PLT_IDNO : PLT_IDOK);
  } else if (v == "command") {
    sink.command(num(0));
  } else if (v == "close") {
    sink.close();
  } else if (v == "activate") {
    sink.activate(e.args[0] == "1");
  } else if (v == "minimize") {
    sink.minimize(e.args[0] == "1");
  } else if (v == "wheel") {
    sink.wheel(num(0));
  } else if (v == "pad") {
    sink.padButton(REPLAY_PadButtonCode(e.args[0]), e.args[1] == "down");
  } else if (v == "axis") {
    sink.padAxis(e.args[0] == "leftx" ? PLT_PAD_AXIS_LEFTX : PLT_PAD_AXIS_LEFTY, num(1));
  } else if (v == "gamepad") {
    sink.padConnected(e.args[0] == "1");
  } else if (v == "sliders") {
    std::vector<int> values;
    for (size_t i = 0; i < e.args.size(); ++i) values.push_back(num(i));
    sink.sliders(values);
  } else if (v == "desktop" && sink.desktop) {
    sink.desktop(num(0), num(1), num(2));
  }
}
