#pragma once
// Running a real loop in the Windows tests until something has happened.

#include <cstdint>
#include <functional>

#include "platform/app/EventLoop.h"

namespace ls::test {

// Handles messages until `done` holds or `limitMs` passed (a bound against a
// hang, not a timing goal); false when the limit came first.
inline bool PumpUntil(EventLoop& loop, const std::function<bool()>& done, uint32_t limitMs = 10000) {
  const uint32_t t0 = loop.GetTickCount();
  while (!done()) {
    if (loop.GetTickCount() - t0 > limitMs) return false;
    loop.ProcessMessages();
    loop.WaitMessage(10);
  }
  return true;
}

// Handles messages for `ms` milliseconds.
inline void Pump(EventLoop& loop, uint32_t ms) {
  PumpUntil(loop, [] { return false; }, ms);
}

}  // namespace ls::test
