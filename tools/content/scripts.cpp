// Story scripts: content/story/sNNNN.txt are written in UTF-8 and go into
// the "SCR" archive as the Shift-JIS text the engine reads.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "content.h"
#include "zentrova-tool/sjis.h"

namespace {

bool IsScriptName(const std::string& name) {
  // s0000.txt ... s9999.txt, as the engine names them.
  if (name.size() != 9 || name[0] != 's' || name.compare(5, 4, ".txt") != 0) return false;
  return std::all_of(name.begin() + 1, name.begin() + 5,
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void MakeStoryScripts(Output& out) {
  const std::string dir = out.sourceDir + "/story";
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = e.path().filename().string();
    if (e.is_regular_file() && IsScriptName(name)) names.push_back(name);
  }
  if (ec || names.empty()) {
    fprintf(stderr, "zentrova-content: no story scripts in %s\n", dir.c_str());
    out.failed = true;
    return;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string utf8, sjis;
    const std::string path = dir + "/" + name;
    if (!ReadText(path, utf8)) {
      fprintf(stderr, "zentrova-content: cannot read %s\n", path.c_str());
      out.failed = true;
      continue;
    }
    // Windows line ends are dropped by the engine anyway; a byte-order mark is not.
    if (utf8.rfind("\xEF\xBB\xBF", 0) == 0) utf8.erase(0, 3);
    if (!SJIS_FromUtf8(utf8, &sjis)) {
      fprintf(stderr, "zentrova-content: %s has a character Shift-JIS cannot hold\n", path.c_str());
      out.failed = true;
      continue;
    }
    std::string key = "SCR/";
    key.append(name);
    out.files[key] = Bytes(sjis.begin(), sjis.end());
  }
}
