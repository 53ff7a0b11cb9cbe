// The debug log.
#include "common/log.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/plt_debug.h"
#include "platform/plt_file.h"
#include "platform/plt_types.h"

namespace {

constexpr int kRecentLines = 50;
const char kLogFile[] = "err\\debug.txt";

struct LogState {
  bool started = false;  // the first write of a run replaces the file
  std::string recent[kRecentLines];
  int recentCount = 0;
  int recentHead = 0;
  std::string partial;  // text after the last line feed, kept for the recent list
};

LogState g_log;
// The music stream workers log from their own threads.
std::mutex g_logMutex;

void Remember(const char* text) {
  g_log.partial += text;
  size_t nl;
  while ((nl = g_log.partial.find('\n')) != std::string::npos) {
    std::string line = g_log.partial.substr(0, nl);
    g_log.partial.erase(0, nl + 1);
    g_log.recent[(g_log.recentHead + g_log.recentCount) % kRecentLines] = line;
    if (g_log.recentCount < kRecentLines) {
      ++g_log.recentCount;
    } else {
      g_log.recentHead = (g_log.recentHead + 1) % kRecentLines;
    }
  }
}

}  // namespace

int LOG_WriteV(const char* fmt, va_list ap) {
  char buf[1024];
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  std::lock_guard<std::mutex> lock(g_logMutex);
  PLT_DebugOutput(buf);
  Remember(buf);
  const int64_t len = static_cast<int64_t>(std::strlen(buf));
  if (!g_log.started) {
    // The run's first line replaces the last run's log as a whole: a write
    // that fails leaves the old log, never an empty file.
    if (!PLT_FileReplaceAtomic(kLogFile, buf, len)) return 0;
    g_log.started = true;
    return static_cast<int>(len);
  }
  PltFile* f = PLT_FileOpen(kLogFile, PLT_OPEN_APPEND);
  if (!f) return 0;
  int64_t n = PLT_FileWrite(f, buf, len);
  PLT_FileClose(f);
  return n < 0 ? 0 : static_cast<int>(n);
}

int LOG_Write(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int n = LOG_WriteV(fmt, ap);
  va_end(ap);
  return n;
}

int LOG_RecentCount() {
  std::lock_guard<std::mutex> lock(g_logMutex);
  return g_log.recentCount;
}

const char* LOG_Recent(int i) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  if (i < 0 || i >= g_log.recentCount) return "";
  return g_log.recent[(g_log.recentHead + i) % kRecentLines].c_str();
}

void LOG_Reset() {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_log = LogState();
}
