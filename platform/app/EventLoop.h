#pragma once
// The program's message loop: posted calls, input, paint requests and timers,
// all handled on the main thread.
//
// Backends: "sdl" (real time, SDL events) and "headless" (a virtual clock:
// deterministic and never sleeping; when nothing is pending the clock moves
// to the next timer or scripted input, and each ProcessMessages pass moves it
// by at least one millisecond).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ls {

class Timer;

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Handles messages until Terminate; returns at once when already terminated.
  virtual void Run() = 0;
  // Handles everything pending now (at least one pass), then returns.
  virtual void ProcessMessages() = 0;
  // Makes Run return once the current message has been handled.
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  // Milliseconds of the loop's clock; wraps around as an unsigned 32-bit value.
  virtual uint32_t GetTickCount() = 0;
  // Blocks the calling thread (the headless clock just moves on).
  virtual void Sleep(uint32_t ms) = 0;

  // Queues a call for the main thread; safe from any thread.
  virtual void Post(std::function<void()> call) = 0;
  // From a worker thread: runs the call on the main thread and waits for it.
  // On the main thread the call runs at once.
  virtual void Synchronize(const std::function<void()>& call) = 0;
  virtual bool IsMainThread() const = 0;

  // Timer bookkeeping; called by Timer only.
  virtual void TimerChanged(Timer* timer) = 0;
  virtual void TimerDestroyed(Timer* timer) = 0;
};

// The loop of the program; set once at start-up (and by tests).
EventLoop& Application();
void SetApplication(EventLoop* loop);

// A timer on the program's loop. Interval in milliseconds; an interval of 0
// never fires. Enabling (or changing the interval of an enabled timer)
// restarts the interval. A handler may disable or re-enable its own timer.
class Timer {
 public:
  explicit Timer(EventLoop& loop = Application());
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  // For the loop: when the timer is next due (loop clock), valid while enabled.
  uint32_t DueAt() const { return dueAt_; }
  void Restart();  // due = now + interval
  EventLoop& Loop() const { return loop_; }

 private:
  EventLoop& loop_;
  uint32_t interval_ = 1000;
  bool enabled_ = false;
  uint32_t dueAt_ = 0;
};

}  // namespace ls
