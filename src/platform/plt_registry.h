// The registry stand-in: values under the current user's keys, kept in a text
// file under $XDG_CONFIG_HOME/TAVREN/Zentrova/ (ZENTROVA_CONFIG_DIR moves it).
#pragma once
#include <cstdint>

enum : int { PLT_REG_DWORD = 4, PLT_REG_BINARY = 3 };
enum : int { PLT_REG_OK = 0, PLT_REG_NOT_FOUND = 2, PLT_REG_MORE_DATA = 234, PLT_REG_ERROR = 1 };

// Creates the key if missing (persisted at once). Returns PLT_REG_OK or an error.
int PLT_RegCreateKey(const char* key);
int PLT_RegKeyExists(const char* key);
// Sets a value and writes the store atomically. Returns PLT_REG_OK or PLT_REG_ERROR.
int PLT_RegSetValue(const char* key, const char* name, int type, const void* data, uint32_t len);
// Queries a value into data (len bytes available). Returns PLT_REG_OK,
// PLT_REG_NOT_FOUND or PLT_REG_MORE_DATA (data untouched unless PLT_REG_OK).
int PLT_RegQueryValue(const char* key, const char* name, int* type, void* data, uint32_t* len);
// Groups changes: until the matching commit they stay in memory, then the
// store is written once. Batches nest; the outermost commit writes. Commit
// returns PLT_REG_OK, or PLT_REG_ERROR when the write or a change failed.
void PLT_RegBeginBatch();
int PLT_RegCommit();
// Forgets the in-memory copy so the next call reads the file again (tests).
void PLT_RegReset();
// The path of the store file.
const char* PLT_RegStorePath();
