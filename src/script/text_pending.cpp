// TEMPORARY: stands in for the message layout engine until it is merged onto
// this branch, so the scene runtime links. Delete on that merge.
#include <cstdint>

#include "script/script.h"
#include "script/text.h"

// Widest line in half-width columns, counting a two-byte character as two and
// ignoring markup.
int TXT_GetWidth(const char* text) {
  if (!text) return 0;
  int widest = 0, line = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (*p == '\n') {
      line = 0;
      continue;
    }
    if (SCR_IsLead(*p) && p[1]) {
      ++p;
      line += 2;
    } else {
      line += 1;
    }
    if (line > widest) widest = line;
  }
  return widest;
}
