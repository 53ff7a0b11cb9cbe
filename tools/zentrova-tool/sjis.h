// Conversions between the game's Shift-JIS text and UTF-8 for the tool's
// input and output.
#pragma once
#include <string>

// Undecodable bytes become U+FFFD (to UTF-8) or are refused (from UTF-8).
std::string SJIS_ToUtf8(const std::string& sjis);
bool SJIS_FromUtf8(const std::string& utf8, std::string* sjis);
