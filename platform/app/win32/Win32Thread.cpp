#include <windows.h>

#include "platform/app/Thread.h"

namespace ls {

// The layer's priority values are the system's own.
bool SetCurrentThreadPriority(int windowsPriority) {
  return SetThreadPriority(GetCurrentThread(), windowsPriority) != FALSE;
}

}  // namespace ls
