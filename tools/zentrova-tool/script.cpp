// zentrova-tool script: the script loader's entries (dump), the argument
// tokenizer (args) and the authors' lint (check).
#include "script/script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "text/text.h"
#include "zentrova-tool/sjis.h"
#include "zentrova-tool/tool.h"

namespace {

const char kHelp[] =
    "usage: zentrova-tool script dump N\n"
    "       zentrova-tool script args [--vars V0,V1,...,V9] FILE\n"
    "       zentrova-tool script check [--utf8] FILE...\n"
    "\n"
    "dump   loads script N (\"s%04d.txt\" of the SCR group) in the current directory\n"
    "       as the game does (loose SCR\\s%04d.txt, else SCR.TVN, else pak\\SCR.TVN)\n"
    "       and writes every entry's bytes, each followed by one NUL byte\n"
    "args   tokenizes FILE's bytes as a command's argument text with the variables\n"
    "       N0..N9 set as given (default 0): the count, then one line per argument,\n"
    "       KIND NUMBER TEXT (TEXT as lower-case hex bytes, '-' when empty)\n"
    "check  lints scripts: unknown commands, #G and #I labels that do not exist, a\n"
    "       fifth choice, #W and #I argument counts, markup errors, messages that\n"
    "       do not fit the four-line window, too many entries, a label jumped back\n"
    "       to with nothing between that waits; one FILE:LINE: text\n"
    "       line each, exit 1 when any (--utf8: the files are UTF-8, not Shift-JIS)\n";

bool ReadAll(const char* path, std::string* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  out->clear();
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool ParseNumber(const char* s, long long* v) {
  char* end = nullptr;
  *v = std::strtoll(s, &end, 10);
  return *s && end && *end == 0;
}

int Dump(int argc, char** argv) {
  long long n;
  if (argc != 3 || !ParseNumber(argv[2], &n) || n < 0 || n > 9999) {
    std::fputs("usage: zentrova-tool script dump N (0..9999)\n", stderr);
    return 2;
  }
  const int ok = SCR_Load(static_cast<int>(n));
  if (!ok) {
    for (const HlMessageBox& box : HL_MessageBoxes()) {
      std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    }
    if (HL_MessageBoxes().empty()) std::fprintf(stderr, "s%04lld.txt: no entries\n", n);
    SCR_Release();
    return 1;
  }
  bool good = true;
  for (int i = 0; i < g_script.count; ++i) {
    const char* e = g_script.entries[i];
    good = good && std::fwrite(e, 1, std::strlen(e) + 1, stdout) == std::strlen(e) + 1;
  }
  SCR_Release();
  return good && std::fflush(stdout) == 0 ? 0 : 1;
}

int Args(int argc, char** argv) {
  const char* file = nullptr;
  int32_t vars[SCR_VARS] = {};
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--vars") == 0 && i + 1 < argc) {
      std::string list = argv[++i];
      int k = 0;
      size_t at = 0;
      while (true) {
        size_t comma = list.find(',', at);
        std::string item =
            list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        long long v;
        if (k >= SCR_VARS || !ParseNumber(item.c_str(), &v) || v < INT32_MIN || v > INT32_MAX) {
          std::fputs("zentrova-tool script args: --vars needs up to ten 32-bit numbers\n", stderr);
          return 2;
        }
        vars[k++] = static_cast<int32_t>(v);
        if (comma == std::string::npos) break;
        at = comma + 1;
      }
    } else if (!file && argv[i][0] != '-') {
      file = argv[i];
    } else {
      std::fprintf(stderr, "zentrova-tool script args: unexpected '%s'\n", argv[i]);
      return 2;
    }
  }
  if (!file) {
    std::fputs("usage: zentrova-tool script args [--vars V0,...,V9] FILE\n", stderr);
    return 2;
  }
  std::string text;
  if (!ReadAll(file, &text)) {
    std::fprintf(stderr, "zentrova-tool script args: cannot read '%s'\n", file);
    return 1;
  }
  SCR_Release();
  std::memcpy(g_vars, vars, sizeof vars);
  const int n = SCR_GetArgs(text.c_str());  // the text ends at its first NUL, as in a script
  std::printf("%d\n", n);
  for (int i = 0; i < n; ++i) {
    const ScriptArg& a = g_args[i];
    std::printf("%d %d ", a.kind, static_cast<int>(a.number));
    if (a.text[0] == 0) std::fputs("-", stdout);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(a.text); *p; ++p) {
      std::printf("%02x", *p);
    }
    std::fputs("\n", stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// --- check ------------------------------------------------------------------

struct Linter {
  const char* file;
  bool utf8;
  int problems = 0;

  void Report(int line, const std::string& text) {
    std::printf("%s:%d: %s\n", file, line, text.c_str());
    ++problems;
  }
  std::string Show(const char* sjis) const { return SJIS_ToUtf8(sjis); }
};

bool Known(char c) {
  return std::strchr("NGIWFMSBVTCL", c & ~0x20) != nullptr && c != 0;
}

// Markup: tags balanced, at most 15 open, '|' only in a ruby tag, ruby texts
// of at most 31 bytes, colours 0..15; no page marker (the window shows page
// 0 only); and the whole message within the four-line window.
void CheckMessage(Linter& L, int line, const char* text) {
  char stack[16];
  int depth = 0;
  int rubyBytes = -1;
  bool reportedPage = false;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char c = *p;
    if (SCR_IsLead(c) && p[1]) {
      if (rubyBytes >= 0) rubyBytes += 2;
      p += 2;
    } else if (c == '\\' && p[1]) {
      if (p[1] == 'k' && !reportedPage) {
        // The window is drawn with page 0: nothing after the marker shows.
        reportedPage = true;
        L.Report(line, "text after \\k never shows in the message window");
      }
      p += 2;
    } else if (c == '<') {
      if (depth >= 15) {
        L.Report(line, "more than 15 tags open");
        ++p;
        continue;
      }
      const char letter = static_cast<char>(p[1] & ~0x20);
      if (!p[1]) {
        L.Report(line, "'<' at the end of the message");
        break;
      }
      stack[depth++] = letter;
      p += 2;
      long number = 0;
      bool digits = false;
      while (*p >= '0' && *p <= '9') {
        number = number * 10 + (*p - '0');
        if (number > 100000) number = 100000;
        digits = true;
        ++p;
      }
      if (letter == 'C' && digits && number > 15) L.Report(line, "colour above 15");
    } else if (c == '>') {
      if (depth == 0) {
        L.Report(line, "'>' without an open tag");
      } else {
        if (stack[depth - 1] == 'R' && rubyBytes > 31) L.Report(line, "ruby text over 31 bytes");
        if (stack[depth - 1] == 'R') rubyBytes = -1;
        --depth;
      }
      ++p;
    } else if (c == '|') {
      if (depth == 0 || stack[depth - 1] != 'R') {
        L.Report(line, "'|' outside a ruby tag");
      } else {
        rubyBytes = 0;
      }
      ++p;
    } else {
      if (rubyBytes >= 0) ++rubyBytes;
      ++p;
    }
  }
  if (depth > 0) L.Report(line, "tag left open");
  // Laid out by the game's own engine in the message window's box, against
  // the same box without a line limit: line starts, sizes and pauses count.
  const int shown = TXT_Draw({.x = 8,
                              .y = 352,
                              .width = 25,
                              .lines = 4,
                              .lineSpacing = 8,
                              .size = 24,
                              .text = text,
                              .measure = 1});
  const int whole = TXT_Draw({.x = 8,
                              .y = 352,
                              .width = 25,
                              .lines = 1 << 20,
                              .lineSpacing = 8,
                              .size = 24,
                              .text = text,
                              .measure = 1});
  if (shown < whole) L.Report(line, "message does not fit the four-line window");
}

// Commands that never wait for the player or a timer: #N, #F, #M, #S.
bool NeverWaits(const char* e) {
  if (e[0] == '@') return true;
  if (e[0] != '#') return false;
  const char c = static_cast<char>(e[1] & ~0x20);
  return c == 'N' || c == 'F' || c == 'M' || c == 'S';
}

// A label whose entries run straight into a jump back to it, with nothing
// between that waits and no condition or load that could leave: the scene
// runs it until the frame's entry bound, every frame, for ever.
void CheckBusyLoops(Linter& L) {
  for (int label = 0; label < g_script.count; ++label) {
    if (g_script.entries[label][0] != '@') continue;
    // A jump goes to the first label of its name.
    if (SCR_SearchLabel(g_script.entries[label] + 1) != label) continue;
    for (int i = label + 1; i < g_script.count; ++i) {
      const char* e = g_script.entries[i];
      if (e[0] == '#' && (e[1] & ~0x20) == 'G') {
        if (SCR_SearchLabel(e + 2) == label)
          L.Report(g_script.lines[i],
                   "jumps back to label '" + L.Show(e + 2) + "' with nothing between that waits");
        break;
      }
      if (!NeverWaits(e)) break;
    }
  }
}

int CheckFile(const char* path, bool utf8) {
  std::string data;
  Linter L{path, utf8};
  if (!ReadAll(path, &data)) {
    std::fprintf(stderr, "zentrova-tool script check: cannot read '%s'\n", path);
    return -1;
  }
  if (utf8) {
    std::string sjis;
    if (!SJIS_FromUtf8(data, &sjis)) {
      L.Report(1, "not UTF-8, or holds characters Shift-JIS lacks");
      return L.problems;
    }
    data.swap(sjis);
  }
  SCR_Release();
  SCR_LoadData(0, reinterpret_cast<const uint8_t*>(data.data()), static_cast<int>(data.size()));
  if (g_script.dropped > 0 || g_script.count >= SCR_MAX_ENTRIES) {
    // Appended piece by piece: GCC 12 at -O3 takes the chained sum for an
    // overlapping copy (-Wrestrict).
    std::string message = "more than ";
    message += std::to_string(SCR_MAX_ENTRIES - 1);
    message += " entries";
    L.Report(g_script.count > 0 ? g_script.lines[g_script.count - 1] : 1, message);
  }
  auto hasLabel = [](const char* name) {
    for (int i = 0; i < g_script.count; ++i) {
      if (g_script.entries[i][0] == '@' && std::strcmp(g_script.entries[i] + 1, name) == 0)
        return true;
    }
    return false;
  };
  int choices = 0;
  for (int i = 0; i < g_script.count; ++i) {
    const char* e = g_script.entries[i];
    const int line = g_script.lines[i];
    if (e[0] == '@') continue;
    if (e[0] != '#') {
      CheckMessage(L, line, e);
      continue;
    }
    const char c = static_cast<char>(e[1] & ~0x20);
    if (!Known(e[1])) {
      L.Report(line, "unknown command '" + L.Show(e) + "'");
      continue;
    }
    if (c == 'G' && !hasLabel(e + 2)) L.Report(line, "no label '" + L.Show(e + 2) + "'");
    if (c == 'I') {
      const int n = SCR_GetArgs(e + 2);
      if (n != 4 && n != 5) {
        L.Report(line, "#I takes 4 or 5 arguments, not " + std::to_string(n));
      } else {
        for (int k = 3; k < n; ++k) {
          const std::string name =
              g_args[k].kind == 1 ? std::string(g_args[k].text) : std::to_string(g_args[k].number);
          if (!hasLabel(name.c_str())) L.Report(line, "no label '" + L.Show(name.c_str()) + "'");
        }
      }
    }
    if (c == 'W') {
      const int n = SCR_GetArgs(e + 2);
      if (n != 1 && n != 2) L.Report(line, "#W takes 1 or 2 arguments, not " + std::to_string(n));
      if (g_args[0].kind != 0 || g_args[0].number < 0 || g_args[0].number > 2)
        L.Report(line, "#W mode must be 0, 1 or 2");
    }
    // Reading a flag is '#F' + any character + 'N' + digit: "#F=N1,10".
    if (c == 'F' && (e[2] & ~0x20) != 'S' &&
        (e[2] == 0 || (e[3] & ~0x20) != 'N' || e[4] < '0' || e[4] > '9'))
      L.Report(line, "flag read must look like #F=N1,10 (variable N0..N9)");
    if (c == 'C') {
      SCR_GetArgs(e + 2);
      if (g_args[0].kind == 0) {
        if (++choices == 5) L.Report(line, "a fifth choice");
      } else {
        choices = 0;
      }
    }
  }
  CheckBusyLoops(L);
  SCR_Release();
  return L.problems;
}

int Check(int argc, char** argv) {
  bool utf8 = false;
  std::vector<const char*> files;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--utf8") == 0) {
      utf8 = true;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.empty()) {
    std::fputs("usage: zentrova-tool script check [--utf8] FILE...\n", stderr);
    return 2;
  }
  int problems = 0;
  bool failed = false;
  for (const char* f : files) {
    const int n = CheckFile(f, utf8);
    if (n < 0) {
      failed = true;
    } else {
      problems += n;
    }
  }
  std::fflush(stdout);
  return (problems > 0 || failed) ? 1 : 0;
}

int Run(int argc, char** argv) {
  if (argc < 2 || TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string sub = argv[1];
  if (sub == "dump") return Dump(argc, argv);
  if (sub == "args") return Args(argc, argv);
  if (sub == "check") return Check(argc, argv);
  std::fprintf(stderr, "zentrova-tool script: unknown subcommand '%s' (see --help)\n", argv[1]);
  return 2;
}

}  // namespace

ZV_TOOL_COMMAND(script, "script", "dump, tokenize or lint story scripts", Run);
