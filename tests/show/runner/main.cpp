// A player that runs show mode only, for the show's tests on a real display:
// packed as a screensaver, it shows its own package.
#include "platform/files/Files.h"
#include "show/RunShow.h"

int main() { return ls::RunShowMode(ls::ProgramFilePath()); }
