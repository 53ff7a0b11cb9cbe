// Failure points of a save, for the tests that make each one fail in turn.
#pragma once
#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/plt_file.h"

struct FailurePoint {
  std::string what;  // e.g. "write 1", for the failure messages
  PltFaultInject faults;
};

// One point per open, write, fsync and rename that a successful run made
// (counts), and one short write per write.
inline std::vector<FailurePoint> FailurePoints(const PltFaultCounts& c) {
  std::vector<FailurePoint> points;
  auto add = [&](const char* kind, int count, int PltFaultInject::*field) {
    for (int n = 1; n <= count; ++n) {
      FailurePoint p;
      p.what.append(kind).append(" ").append(std::to_string(n));
      p.faults.*field = n;
      points.push_back(p);
    }
  };
  add("open", c.opens, &PltFaultInject::failOpenAt);
  add("write", c.writes, &PltFaultInject::failWriteAt);
  add("short write", c.writes, &PltFaultInject::shortWriteAt);
  add("fsync", c.fsyncs, &PltFaultInject::failFsyncAt);
  add("rename", c.renames, &PltFaultInject::failRenameAt);
  return points;
}

// The names in dir, sorted.
inline std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
