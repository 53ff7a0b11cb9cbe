// The message history of a story scene: the scene's last 100 messages, kept
// as their markup and drawn over the scene as they were shown, the newest at
// the bottom. While it is open the scene waits.
#pragma once
#include <cstdint>

#include "text/text.h"

enum : int {
  HIS_MAX = 100,
  HIS_ROWS = 3,  // messages on the screen at once
  // Sprites and text records, above everything else of a scene.
  HIS_SPR_SHADE = 60,
  HIS_SPR_RULE0 = 61,  // HIS_ROWS - 1 rules between the messages
  HIS_TXT_ROW0 = 100,  // HIS_ROWS messages, the oldest shown at the top
};

struct HistoryState {
  char texts[HIS_MAX][TXT_BUFFER_SIZE];  // a ring, next is the oldest once full
  int32_t count;
  int32_t next;
  int32_t open;
  int32_t made;  // the rows' sprites and text records are the history's
  int32_t bottom;  // age of the message in the bottom row, 0 the newest
};
extern HistoryState g_history;

// Forgets every message and closes (a scene starts).
void HIS_Reset();
void HIS_Add(const char* text);
int HIS_Count();
// The message `age` steps before the newest (0), or null.
const char* HIS_Get(int age);

int HIS_IsOpen();
// Opens at the newest message; nothing happens without messages.
void HIS_Open();
void HIS_Close();
// One message further back, or nearer; nearer than the newest closes.
void HIS_Older();
void HIS_Newer();
