// The settings file of any content: the game's settings are read from it, one
// is written back (which rewrites the whole file), and doing the same again
// with the file written gives the same file: what the store writes, it reads
// back unchanged.
#include <string>

#include "common/config.h"
#include "common/reg.h"
#include "fuzz_util.h"
#include "platform/headless/headless.h"
#include "platform/plt_registry.h"

namespace {
std::string ReadAll(const char* path) {
  std::string text;
  FILE* f = std::fopen(path, "rb");
  if (!f) return text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  return text;
}

std::string LoadAndSave() {
  PLT_RegReset();
  CFG_Defaults();
  CFG_Load();
  const uint32_t wait = static_cast<uint32_t>(g_cfg.wait);
  if (PLT_RegSetValue(REG_KEY_CONFIG, "wait", PLT_REG_DWORD, &wait, 4) != PLT_REG_OK) return "";
  return ReadAll(PLT_RegStorePath());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  fuzz::EnterScratchDir();
  HL_Reset();
  PLT_RegReset();
  fuzz::WriteFile(PLT_RegStorePath(), data, size);
  const std::string first = LoadAndSave();
  const std::string second = LoadAndSave();
  if (first != second) __builtin_trap();
  return 0;
}
