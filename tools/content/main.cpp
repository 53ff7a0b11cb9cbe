// zentrova-content: builds the game's data directory from content/.
//
//   zentrova-content --out DIR --source DIR [--preview DIR] [--no-music] [--loose]
//                    [--include GROUP=DIR]...
//
// Pictures, sound effects and story scripts go into the archives "grp.TVN",
// "wav.TVN" and "SCR.TVN",
// music into "bgm/", the manual into "manual/"; the icon and cursor into
// "res/" and "icons/". The same sources always give the same bytes.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "content.h"
#include "pack.h"

namespace {
void Usage(FILE* f) {
  fprintf(f,
          "usage: zentrova-content --out DIR --source DIR [--preview DIR] [--no-music] "
          "[--loose] [--include GROUP=DIR]...\n"
          "  --out DIR      data directory to write (grp.TVN, wav.TVN, bgm/, manual/, ...)\n"
          "  --source DIR   the content/ directory (music scores, manual)\n"
          "  --preview DIR  also write PNG previews of every picture and mock screens\n"
          "  --no-music     skip rendering the music (fast runs in tests)\n"
          "  --loose        write pictures and effects as loose files in grp/ and wav/\n"
          "  --include GROUP=DIR  also pack every file of DIR into GROUP's archive\n"
          "                 (e.g. grp=build/story-pictures); generated names win\n");
}
}  // namespace

int main(int argc, char** argv) {
  Output out;
  std::string outDir;
  bool loose = false;
  std::vector<std::pair<std::string, std::string>> includes;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    auto value = [&](std::string& dst) {
      if (i + 1 >= argc) {
        fprintf(stderr, "zentrova-content: %s needs a value\n", a.c_str());
        exit(2);
      }
      dst = argv[++i];
    };
    if (a == "--out") {
      value(outDir);
    } else if (a == "--source") {
      value(out.sourceDir);
    } else if (a == "--preview") {
      value(out.previewDir);
    } else if (a == "--no-music") {
      out.music = false;
    } else if (a == "--loose") {
      loose = true;
    } else if (a == "--include") {
      std::string include;
      value(include);
      size_t eq = include.find('=');
      if (eq == std::string::npos ||
          (include.substr(0, eq) != "grp" && include.substr(0, eq) != "wav")) {
        fprintf(stderr, "zentrova-content: --include wants grp=DIR or wav=DIR\n");
        return 2;
      }
      includes.emplace_back(include.substr(0, eq), include.substr(eq + 1));
    } else if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 0;
    } else {
      fprintf(stderr, "zentrova-content: unknown argument %s\n", a.c_str());
      Usage(stderr);
      return 2;
    }
  }
  if (outDir.empty() || out.sourceDir.empty()) {
    Usage(stderr);
    return 2;
  }

  // Music first: a score with a mistake stops the build before the slow part.
  if (out.music) MakeMusic(out);
  if (out.failed) return 1;
  MakeTitlePictures(out);
  MakeStagePictures(out);
  MakeStoryPictures(out);
  MakeIcons(out);
  MakeSoundEffects(out);
  MakeManual(out);
  MakeStoryScripts(out);
  if (!out.previewDir.empty()) WriteMockScreens(out);

  bool ok = !out.failed;
  // Files made elsewhere (other content builders) share the archives.
  for (const auto& [group, dir] : includes) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
      if (!e.is_regular_file()) continue;
      std::string key = group + "/" + e.path().filename().string(), text;
      if (out.files.count(key)) continue;
      if (!ReadText(e.path().string(), text)) {
        fprintf(stderr, "zentrova-content: cannot read %s\n", e.path().c_str());
        ok = false;
        continue;
      }
      out.files[key] = Bytes(text.begin(), text.end());
    }
    if (ec) {
      fprintf(stderr, "zentrova-content: cannot list %s\n", dir.c_str());
      ok = false;
    }
  }
  // Groups are read through the archives. A loose copy of one of our files
  // (left by an earlier --loose run) would take precedence, so it is removed.
  for (const char* group : {"grp", "wav", "SCR"}) {
    if (loose) continue;
    for (const auto& [name, data] : out.files) {
      std::error_code ec;
      if (name.rfind(std::string(group) + "/", 0) == 0)
        std::filesystem::remove(outDir + "/" + name, ec);
    }
    ok = PackGroup(out, group, outDir + "/" + group + ".TVN", strcmp(group, "grp") == 0) && ok;
  }
  for (const auto& [name, data] : out.files) {
    bool archived = !loose && (name.rfind("grp/", 0) == 0 || name.rfind("wav/", 0) == 0 ||
                               name.rfind("SCR/", 0) == 0);
    if (archived) continue;
    if (!WriteFile(outDir + "/" + name, data)) {
      fprintf(stderr, "zentrova-content: cannot write %s/%s\n", outDir.c_str(), name.c_str());
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
