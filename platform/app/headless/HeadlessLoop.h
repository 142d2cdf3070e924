#pragma once
// The headless loop: a virtual clock that only moves when the program lets
// it, so a run is exact, repeatable and as fast as the handlers themselves.
//
// The clock moves in these ways: by one millisecond at the end of each
// ProcessMessages call (so a wait that reads the clock between calls ends);
// to the end of a WaitMessage or the next thing due before it; by Sleep on the
// main thread, and, when Run finds nothing to do, straight to the next thing
// that is due: a timer, a scheduled call (scripted input) or a worker thread's
// Sleep. With nothing due at all, Run blocks until another thread posts.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/app/EventLoop.h"

namespace ls {

class HeadlessLoop : public EventLoop {
 public:
  explicit HeadlessLoop(uint32_t startTick = 0);
  ~HeadlessLoop() override;

  uint32_t GetTickCount() override { return clock_.load(); }
  // Main thread: the clock moves on by `ms` (nothing is handled meanwhile).
  // Other threads: block until the main thread's clock has moved `ms` on.
  void Sleep(uint32_t ms) override;

  // Runs `call` on the main thread in the first pass at or after virtual time
  // `at`; calls due at the same time run in the order they were scheduled.
  // `owner` tags the call for CancelScheduled. Returns an id for Cancel.
  uint64_t ScheduleAt(uint32_t at, std::function<void()> call, const void* owner = nullptr);
  void Cancel(uint64_t id);
  void CancelScheduled(const void* owner);

  // Moves the clock forward (never back) and wakes threads whose Sleep is
  // over. Main thread only.
  void Advance(uint32_t ms);

  // Runs the loop for `ms` virtual milliseconds from now. Returns true when
  // the time ran out, false when something terminated the loop first (the
  // loop then stays terminated).
  bool RunFor(uint32_t ms);
  // Runs the loop until `done` holds (checked between passes) or `limitMs`
  // virtual milliseconds have passed; returns whether `done` held.
  bool RunUntil(const std::function<bool()>& done, uint32_t limitMs);

 protected:
  bool PumpInput() override;
  void Idle(std::optional<uint32_t> nextTimer) override;
  void Wake() override;
  void EndProcessMessages() override { Advance(1); }

 private:
  struct Scheduled {
    uint32_t at;
    uint64_t id;
    const void* owner;
    std::function<void()> call;
  };
  void AdvanceToLocked(uint32_t t);

  std::atomic<uint32_t> clock_;
  // Guards sleepers_, wakeCount_ and closing_; cv_ wakes both the idle main
  // thread and sleeping workers.
  std::mutex m_;
  std::condition_variable cv_;
  std::vector<uint32_t> sleepers_;  // wake-up times of worker threads in Sleep
  uint64_t wakeCount_ = 0;
  bool closing_ = false;

  std::vector<Scheduled> scheduled_;  // main thread only
  uint64_t nextId_ = 1;
};

}  // namespace ls
