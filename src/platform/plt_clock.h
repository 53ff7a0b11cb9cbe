// Millisecond clock, sleeping and timer resolution.
#pragma once
#include <cstdint>

uint32_t PLT_TimeMs();
void PLT_Sleep(uint32_t ms);
void PLT_TimeBeginPeriod(uint32_t ms);
void PLT_TimeEndPeriod(uint32_t ms);
