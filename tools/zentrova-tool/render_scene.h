// The scene files of `zentrova-tool render`, run line by line.
#pragma once
#include <string>

// The most render passes one RND_Frame line may ask for.
enum : int { RENDER_MAX_PASSES = 10000 };

// Runs every line of the scene text (named scene in messages) against the
// back buffer, which must exist; the SPR_SetBlend of line blendLine (if > 0)
// gets the parameter param instead of its own. An RND_Frame line runs at most
// passLimit of the passes it asks for (RENDER_MAX_PASSES runs them all).
// Returns 0, or 1 after a message naming the line that does not parse.
int RENDER_RunScene(const std::string& text, const char* scene, int blendLine, long long param,
                    long long passLimit);
