// Replay input scripts of any content: parsed, and every event a script
// parses to handed to the headless backend. Parsing either fails or yields
// events of known verbs at frames no earlier than their line's frame.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "zentrova-tool/replay_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 16)) return 0;
  HL_Reset();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<ReplayEvent> events;
  if (!REPLAY_ParseInput(in, "fuzz.txt", &events)) return 0;
  for (const ReplayEvent& e : events) {
    if (e.verb == "click" || e.verb == "type") __builtin_trap();  // expanded when parsed
    REPLAY_ApplyEvent(e);
  }
  return 0;
}
