#include "platform/app/EventLoop.h"

#include <algorithm>
#include <future>
#include <stdexcept>

#include "platform/app/Window.h"

namespace ls {

namespace {
std::atomic<EventLoop*> g_application{nullptr};
}  // namespace

EventLoop& Application() {
  EventLoop* loop = g_application.load();
  if (!loop) throw std::logic_error("no application loop has been set");
  return *loop;
}

EventLoop* ApplicationOrNull() { return g_application.load(); }

void SetApplication(EventLoop* loop) { g_application.store(loop); }

// ---------------------------------------------------------------- EventLoop

EventLoop::EventLoop()
    : mainThread_(std::this_thread::get_id()), alive_(std::make_shared<std::atomic<bool>>(true)) {}

EventLoop::~EventLoop() {
  alive_->store(false);
  // Calls still queued are dropped; a thread waiting in Synchronize learns of
  // it through its abandoned promise.
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(posted_);
  }
  dropped.clear();
  if (g_application.load() == this) g_application.store(nullptr);
}

void EventLoop::Run() {
  while (!Terminated()) {
    bool did = false;
    try {
      did = Pass();
    } catch (...) {
      if (OnException) OnException(std::current_exception());
      did = true;
    }
    if (Terminated()) break;
    if (!did) Idle(NextTimerDue());
  }
}

void EventLoop::ProcessMessages() {
  while (Pass() && !Terminated()) {
  }
  EndProcessMessages();
}

void EventLoop::WaitMessage(uint32_t ms) {
  if (Terminated() || HasPostedCalls()) return;
  const uint32_t end = GetTickCount() + ms;
  std::optional<uint32_t> next = NextTimerDue();
  if (!next || TicksUntil(*next, end) > 0) next = end;
  Idle(next);
}

void EventLoop::Terminate() {
  terminated_.store(true);
  if (!IsMainThread()) Wake();
}

void EventLoop::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(call));
  }
  Wake();
}

void EventLoop::Synchronize(const std::function<void()>& call) {
  if (IsMainThread()) {
    call();
    return;
  }
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> result = done->get_future();
  // Only the queued call owns the promise: dropping the call breaks it.
  Post([done = std::move(done), &call] {
    try {
      call();
      done->set_value();
    } catch (...) {
      done->set_exception(std::current_exception());
    }
  });
  try {
    result.get();
  } catch (const std::future_error&) {
    // The loop went away with the call still queued: nothing ran.
  }
}

bool EventLoop::HasPostedCalls() {
  std::lock_guard lock(mutex_);
  return !posted_.empty();
}

bool EventLoop::Pass() {
  bool did = PumpInput();
  did |= RunPostedCalls();
  did |= FireDueTimers();
  did |= PaintWindows();
  return did;
}

bool EventLoop::RunPostedCalls() {
  size_t count;
  {
    std::lock_guard lock(mutex_);
    count = posted_.size();
  }
  // Only the calls queued before this pass: a call that posts again is run in
  // the next pass, so input and timers get their turn in between.
  for (size_t i = 0; i < count; ++i) {
    std::function<void()> call;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) break;
      call = std::move(posted_.front());
      posted_.pop_front();
    }
    call();
  }
  return count > 0;
}

bool EventLoop::FireDueTimers() {
  if (timers_.empty()) return false;
  const uint32_t now = GetTickCount();
  std::vector<Timer*> due;
  for (Timer* t : timers_)
    if (t->Enabled() && t->Interval() > 0 && TicksUntil(t->DueAt(), now) <= 0) due.push_back(t);
  if (due.empty()) return false;
  // Earliest first, so that timers due at different times keep their order.
  std::stable_sort(due.begin(), due.end(), [now](Timer* a, Timer* b) {
    return TicksUntil(a->DueAt(), now) < TicksUntil(b->DueAt(), now);
  });
  bool fired = false;
  for (Timer* t : due) {
    // An earlier handler may have destroyed, disabled or restarted this one.
    if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) continue;
    if (!t->Enabled() || t->Interval() == 0 || TicksUntil(t->DueAt(), GetTickCount()) > 0) continue;
    t->Restart();
    fired = true;
    if (t->OnTimer) t->OnTimer();
  }
  return fired;
}

bool EventLoop::PaintWindows() {
  bool painted = false;
  // A paint handler may create or destroy windows: walk a copy.
  std::vector<Window*> windows = windows_;
  for (Window* w : windows) {
    if (std::find(windows_.begin(), windows_.end(), w) == windows_.end()) continue;
    if (w->NeedsPaint()) {
      w->Update();
      painted = true;
    }
  }
  return painted;
}

std::optional<uint32_t> EventLoop::NextTimerDue() {
  std::optional<uint32_t> best;
  std::optional<uint32_t> nowOpt;
  for (Timer* t : timers_) {
    if (!t->Enabled() || t->Interval() == 0) continue;
    if (!nowOpt) nowOpt = GetTickCount();
    if (!best || TicksUntil(t->DueAt(), *nowOpt) < TicksUntil(*best, *nowOpt)) best = t->DueAt();
  }
  return best;
}

void EventLoop::TimerChanged(Timer* timer) {
  if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
}

void EventLoop::TimerDestroyed(Timer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

void EventLoop::WindowCreated(Window* window) {
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
    windows_.push_back(window);
}

void EventLoop::WindowDestroyed(Window* window) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

// -------------------------------------------------------------------- Timer

Timer::Timer(EventLoop& loop) : loop_(loop) { loop_.TimerChanged(this); }

Timer::~Timer() { loop_.TimerDestroyed(this); }

void Timer::SetInterval(uint32_t ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) Restart();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) Restart();
}

void Timer::Restart() { dueAt_ = loop_.GetTickCount() + interval_; }

}  // namespace ls
