// Which messages the player has seen, kept in "read.sav" beside "rank.sav":
// each mark is a script's number and a hash of the message's bytes, so a
// rewritten message counts as unseen. The file is "ZVRM", a version (1), the
// number of marks and the marks, sorted, each two little-endian 32-bit values.
#pragma once
#include <cstdint>

enum : int { READ_MAX = 8192 };

struct ReadMarks {
  uint64_t marks[READ_MAX];  // script << 32 | hash, ascending
  int32_t count;
  int32_t loaded;
  int32_t dirty;  // marks not yet written
  // 1 while another program (a running game) owns the file, as for
  // "rank.sav": saves write nothing and succeed. READ_Reset leaves it.
  int32_t savesDisabled;
};
extern ReadMarks g_read;
extern const char* const READ_FILE;  // "read.sav"

uint32_t READ_Hash(const char* text);
// Reads the file once; a damaged or foreign file counts as no marks.
void READ_Load();
// Writes the marks when any are new. 1, or 0 when the file could not be written.
int READ_Save();
// Marks by a script's number and READ_Hash of the message.
int READ_IsRead(int script, uint32_t hash);
void READ_Mark(int script, uint32_t hash);
// No marks, nothing loaded (tests).
void READ_Reset();
