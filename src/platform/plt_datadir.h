// Finding the game's data: the working directory when it holds the data (the
// build tree, a modder's folder), otherwise the installed data directory,
// with the player's own files under the user's data directory.
#pragma once

// Looks for the data in the working directory, then in the installed data
// directory (relative to the executable: installedRelative, e.g.
// "../share/zentrova"; then installedAbsolute). When the installed data is
// used, the working directory becomes it, writes go to $XDG_DATA_HOME/zentrova
// (default ~/.local/share/zentrova) and the "err" folder's files (the debug
// log) to $XDG_STATE_HOME/zentrova (default ~/.local/state/zentrova), both
// created. Returns 1 when the data was found, 0 otherwise (nothing changed).
int PLT_LocateData(const char* installedRelative, const char* installedAbsolute);

// True when dir (a host path, "" the working directory) holds game data.
int PLT_HoldsData(const char* dir);
