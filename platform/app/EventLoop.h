#pragma once
// The program's message loop: posted calls, input, paint requests and timers,
// all handled on the main thread (the thread that created the loop).
//
// Backends: native ("sdl" or "win32": real time, the platform's events) and
// "headless" (a virtual clock: deterministic and never sleeping; when nothing is pending the clock moves
// to the next timer or scripted input, and each ProcessMessages call moves it
// on by one millisecond once it has handled what was due, so a wait that reads
// the clock between calls always comes to an end).
//
// One pass of the loop handles, in this order: input (platform events or
// scripted input that is due), the calls posted before the pass began, the
// timers that are due, and the paint of every window with an invalid area.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ls {

class Timer;
class Window;

class EventLoop {
 public:
  EventLoop();
  virtual ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Handles messages until Terminate; returns at once when already
  // terminated. An exception from a handler ends that handler only: it goes to
  // OnException (when set) and the loop carries on.
  void Run();
  // Handles everything pending now (at least one pass), then returns. An
  // exception from a handler passes out to the caller.
  void ProcessMessages();
  // Waits until a message arrives or `ms` milliseconds of the loop's clock
  // have passed, whichever is first, without handling anything: a timer that
  // comes due, input, a posted call or a Terminate end the wait. Returns at
  // once when anything is pending. (Headless: the clock moves to the end of
  // the wait or to the next thing due before it.)
  void WaitMessage(uint32_t ms);
  // Makes Run return once the current message has been handled; safe from any
  // thread.
  void Terminate();
  bool Terminated() const { return terminated_.load(); }
  // Lets Run run again after a Terminate (tests, nested shows).
  void ResetTerminated() { terminated_.store(false); }

  // Milliseconds of the loop's clock; wraps around as an unsigned 32-bit value.
  // Compare two readings by their unsigned difference.
  virtual uint32_t GetTickCount() = 0;
  // Blocks the calling thread for `ms` milliseconds of the loop's clock
  // (headless: on the main thread the clock just moves on).
  virtual void Sleep(uint32_t ms) = 0;

  // Queues a call for the main thread; safe from any thread.
  void Post(std::function<void()> call);
  // From another thread: runs the call on the main thread and waits for it; an
  // exception of the call is passed back to the waiting thread. On the main
  // thread the call runs at once. When the loop is destroyed before it gets
  // to the call, the call is dropped and Synchronize returns.
  void Synchronize(const std::function<void()>& call);
  bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

  // Receives exceptions that end a handler inside Run; none = ignored.
  std::function<void(std::exception_ptr)> OnException;

  // Timer bookkeeping; called by Timer only.
  void TimerChanged(Timer* timer);
  void TimerDestroyed(Timer* timer);
  // Window bookkeeping; called by Window only.
  void WindowCreated(Window* window);
  void WindowDestroyed(Window* window);

 protected:
  // Handles the platform's input that is due now; true when anything was.
  virtual bool PumpInput() = 0;
  // Called by Run when a pass found nothing to do: waits until something may
  // be due (the next timer at the latest, `nextTimer` as a clock value).
  virtual void Idle(std::optional<uint32_t> nextTimer) = 0;
  // Called after Post from any thread: makes an Idle wait return.
  virtual void Wake() = 0;
  // Called at the end of each ProcessMessages call.
  virtual void EndProcessMessages() {}

  // The time of the earliest enabled timer, if any.
  std::optional<uint32_t> NextTimerDue();
  bool HasPostedCalls();
  // One pass; true when it handled anything.
  bool Pass();

  // Guards the posted calls; backends may guard their own cross-thread state
  // with it too.
  std::mutex mutex_;

 private:
  bool RunPostedCalls();
  bool FireDueTimers();
  bool PaintWindows();

  std::thread::id mainThread_;
  std::atomic<bool> terminated_{false};
  std::deque<std::function<void()>> posted_;
  std::vector<Timer*> timers_;
  std::vector<Window*> windows_;
  // Shared with Synchronize callers so that they learn of the loop's end.
  std::shared_ptr<std::atomic<bool>> alive_;
};

// The loop of the program; set once at start-up (and by tests). Application()
// throws std::logic_error when none is set.
EventLoop& Application();
EventLoop* ApplicationOrNull();
void SetApplication(EventLoop* loop);

// Signed distance from `now` to `due` on the wrapping clock: <= 0 when due.
inline int32_t TicksUntil(uint32_t due, uint32_t now) { return static_cast<int32_t>(due - now); }

// A timer on a loop. Interval in milliseconds; an interval of 0 never fires.
// Enabling (or changing the interval of an enabled timer) restarts the
// interval. A handler may disable or re-enable its own timer, or destroy it.
// A timer that fell behind fires once, not once per missed interval. Main
// thread only; destroy it before its loop (as windows too).
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
