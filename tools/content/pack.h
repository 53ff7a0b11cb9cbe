// Archive writing and the preview mock screens.
#pragma once
#include <string>

#include "content.h"

// Writes every "group/NAME" file of out into a "KCAP" archive, entries in name
// order, LZSS-compressed when compress is set (stored when that is smaller).
bool PackGroup(const Output& out, const std::string& group, const std::string& path, bool compress);
// Composes a title screen and a stage screen from the encoded pictures (read
// back from their BMP bytes) and writes them as previews.
void WriteMockScreens(const Output& out);
// The stage mock screen alone (a new surface; the caller destroys it).
cairo_surface_t* ComposeStage(const Output& out, bool everything);
// Decodes one of our BMPs into a cairo surface (8-bit with alpha or 24-bit).
cairo_surface_t* DecodeBmp(const Bytes& bmp);
