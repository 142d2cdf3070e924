#pragma once
// Show mode of the player, as the entry runs it.

#include <string>

namespace ls {

// Runs the whole show mode on the real backends (SDL window, SDL2_mixer
// players): shows the start-up form, creates the show window (which unpacks
// the package of `programPath`), runs the message loop until the show ends,
// destroys the show window (its working folder goes with it) and frees the
// start-up form. Returns the process exit code: 0, or 1 with one line on
// standard error when no window can be opened.
int RunShowMode(const std::string& programPath);

}  // namespace ls
