// The render pass: composes one frame from the sprite table and the text
// records.
#pragma once

#include "gfx/image.h"
#include "gfx/sprite.h"

// Walks layers 0..63; in each draws the visible sprites in number order, then
// the visible text records in number order. Does not clear the target. depth
// is the render depth (always 24).
void RND_Frame(FImage* target, int depth);
// The part of the target the last RND_Frame drew (left >= right: none). A
// frame draws only what changed since the one before; the rest of the
// target keeps that frame's picture.
ClipBox RND_Changed();
// The same as at most RND_PARTS boxes that do not overlap (none: nothing
// changed); *parts stays valid until the next frame.
enum : int { RND_PARTS = 32 };
int RND_ChangedParts(const ClipBox** parts);
// The next frame draws the whole target: something else drew into it.
void RND_Invalidate();

// Text records are drawn by the markup layout (TXT_DrawRecord). Tests of the
// pass's order put a drawer of their own in its place; null restores it.
using RND_TextDrawer = void (*)(FImage* target, TextRecord* text);
void RND_SetTextDrawer(RND_TextDrawer drawer);

// Tints one colour component (0..255) by a GlobalTone factor: 128 keeps it,
// lower darkens toward 0, higher lightens toward 255.
int RND_ToneComponent(int c, int t);
// The markup layout draws text records again (tests).
void RND_Reset();
