// The debugger output channel.
#pragma once

// Sends text to the debugger output (stderr when ZENTROVA_DEBUG_OUTPUT is set).
void PLT_DebugOutput(const char* text);
