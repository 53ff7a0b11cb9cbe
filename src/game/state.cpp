// The game's state machine.
#include "game/state.h"

StatePair g_state[STATE_LEVELS];

void STATE_Advance() {
  for (StatePair& p : g_state) {
    p.counter = (p.next == p.current) ? p.counter + 1 : 0;
    p.current = p.next;
  }
}

void STATE_Clear() {
  for (StatePair& p : g_state) p = StatePair{};
}
