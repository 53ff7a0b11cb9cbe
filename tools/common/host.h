// What the tools need of the host beyond the standard library: a fresh
// temporary folder and changing the environment.
#pragma once
#include <string>

// Makes a new empty folder in the system's temporary folder, its name
// starting with prefix; the path, or "" when none could be made.
std::string TOOL_MakeTempDir(const char* prefix);
// Sets the variable name to value, or removes it when value is null.
void TOOL_SetEnv(const char* name, const char* value);
