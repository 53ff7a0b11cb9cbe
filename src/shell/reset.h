// Every module of the engine back to its start state, in one call: what a
// test or a replay needs before it starts the game afresh. The platform's
// backends have resets of their own.
#pragma once

void ZV_ResetAll();
