#include <SDL.h>

#include "platform/app/Thread.h"

namespace ls {

bool SetCurrentThreadPriority(int p) {
  // SDL knows four levels; the Windows values fall on them by their sign and
  // size.
  SDL_ThreadPriority level = SDL_THREAD_PRIORITY_NORMAL;
  if (p < 0)
    level = SDL_THREAD_PRIORITY_LOW;
  else if (p >= 15)
    level = SDL_THREAD_PRIORITY_TIME_CRITICAL;
  else if (p > 0)
    level = SDL_THREAD_PRIORITY_HIGH;
  return SDL_SetThreadPriority(level) == 0;
}

}  // namespace ls
