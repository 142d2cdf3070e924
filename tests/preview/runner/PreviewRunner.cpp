// Runs preview mode as the player's entry does: PreviewRunner PROGRAM WINDOW-ID.
// PROGRAM stands for the screensaver file whose package is shown.

#include <cstdlib>
#include <string>

#include "shell/Preview.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  return ls::RunPreviewMode(argv[1], static_cast<int32_t>(std::strtol(argv[2], nullptr, 10)));
}
