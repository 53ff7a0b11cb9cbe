// Threads and auto-reset events.
#pragma once
#include <cstdint>

struct PltThread;
struct PltEvent;

PltThread* PLT_CreateThread(void (*fn)(void*), void* arg);
// Waits for the thread to end and frees it.
void PLT_JoinThread(PltThread* t);

// Auto-reset event: a wait that returns consumes the signal.
PltEvent* PLT_CreateEvent();
void PLT_CloseEvent(PltEvent* e);
void PLT_SetEvent(PltEvent* e);
enum : int { PLT_WAIT_TIMEOUT = -1 };
// Waits until one of the events is signalled; returns its index (the lowest
// signalled one, whose signal is consumed), or PLT_WAIT_TIMEOUT after
// timeoutMs (negative: forever).
int PLT_WaitEvents(PltEvent* const* events, int count, int timeoutMs);
// Waits until none of the events is signalled and every thread a signal of
// theirs woke has waited again or ended (the headless clock uses it to let
// workers answer their notifications). 1, or 0 after timeoutMs.
int PLT_WaitEventsSettled(PltEvent* const* events, int count, int timeoutMs);
// Number of events alive (tests check that they balance).
int PLT_EventCount();
