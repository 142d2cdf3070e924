#include "platform/app/headless/HeadlessLoop.h"

#include <algorithm>

namespace ls {

HeadlessLoop::HeadlessLoop(uint32_t startTick) : clock_(startTick) {}

HeadlessLoop::~HeadlessLoop() {
  std::lock_guard lock(m_);
  closing_ = true;
  cv_.notify_all();
}

void HeadlessLoop::Sleep(uint32_t ms) {
  if (IsMainThread()) {
    Advance(ms);
    return;
  }
  std::unique_lock lock(m_);
  const uint32_t until = clock_.load() + ms;
  sleepers_.push_back(until);
  ++wakeCount_;  // the idle main thread now has a time to move to
  cv_.notify_all();
  cv_.wait(lock, [&] { return closing_ || TicksUntil(until, clock_.load()) <= 0; });
  sleepers_.erase(std::find(sleepers_.begin(), sleepers_.end(), until));
  cv_.notify_all();
}

uint64_t HeadlessLoop::ScheduleAt(uint32_t at, std::function<void()> call, const void* owner) {
  const uint64_t id = nextId_++;
  scheduled_.push_back({at, id, owner, std::move(call)});
  return id;
}

void HeadlessLoop::Cancel(uint64_t id) {
  std::erase_if(scheduled_, [id](const Scheduled& s) { return s.id == id; });
}

void HeadlessLoop::CancelScheduled(const void* owner) {
  std::erase_if(scheduled_, [owner](const Scheduled& s) { return s.owner == owner; });
}

void HeadlessLoop::Advance(uint32_t ms) {
  std::lock_guard lock(m_);
  AdvanceToLocked(clock_.load() + ms);
}

void HeadlessLoop::AdvanceToLocked(uint32_t t) {
  if (TicksUntil(t, clock_.load()) <= 0) return;
  clock_.store(t);
  cv_.notify_all();
}

bool HeadlessLoop::RunFor(uint32_t ms) {
  bool reached = false;
  const uint64_t id = ScheduleAt(GetTickCount() + ms, [&] {
    reached = true;
    Terminate();
  });
  Run();
  Cancel(id);
  if (reached) ResetTerminated();
  return reached;
}

bool HeadlessLoop::RunUntil(const std::function<bool()>& done, uint32_t limitMs) {
  bool timeUp = false;
  const uint64_t id = ScheduleAt(GetTickCount() + limitMs, [&] { timeUp = true; });
  bool result = false;
  try {
    for (;;) {
      if (done()) {
        result = true;
        break;
      }
      if (timeUp || Terminated()) break;
      if (!Pass()) Idle(NextTimerDue());
    }
  } catch (...) {
    Cancel(id);
    throw;
  }
  Cancel(id);
  return result;
}

bool HeadlessLoop::PumpInput() {
  if (scheduled_.empty()) return false;
  const uint32_t now = GetTickCount();
  std::vector<Scheduled> ordered;
  for (const Scheduled& s : scheduled_)
    if (TicksUntil(s.at, now) <= 0) ordered.push_back({s.at, s.id, s.owner, nullptr});
  if (ordered.empty()) return false;
  std::stable_sort(ordered.begin(), ordered.end(), [now](const Scheduled& a, const Scheduled& b) {
    const int32_t da = TicksUntil(a.at, now), db = TicksUntil(b.at, now);
    return da != db ? da < db : a.id < b.id;
  });
  for (const Scheduled& o : ordered) {
    // An earlier call may have cancelled this one.
    auto it = std::find_if(scheduled_.begin(), scheduled_.end(),
                           [&](const Scheduled& s) { return s.id == o.id; });
    if (it == scheduled_.end()) continue;
    std::function<void()> call = std::move(it->call);
    scheduled_.erase(it);
    if (call) call();
  }
  return true;
}

void HeadlessLoop::Idle(std::optional<uint32_t> nextTimer) {
  std::unique_lock lock(m_);
  const uint64_t seen = wakeCount_;
  lock.unlock();
  if (HasPostedCalls() || Terminated()) return;
  lock.lock();
  const uint32_t now = clock_.load();
  auto earlier = [now](std::optional<uint32_t>& best, uint32_t t) {
    if (!best || TicksUntil(t, now) < TicksUntil(*best, now)) best = t;
  };
  std::optional<uint32_t> work = nextTimer;  // what the main thread itself will do
  for (const Scheduled& s : scheduled_) earlier(work, s.at);
  if (work && TicksUntil(*work, now) <= 0) return;
  auto sleeperAwake = [&] {
    for (uint32_t t : sleepers_)
      if (TicksUntil(t, clock_.load()) <= 0) return true;
    return false;
  };
  if (sleeperAwake()) {
    // A worker's sleep is over but it has not run yet: let it post (or sleep
    // again) before the clock moves on, so its pace stays exact.
    cv_.wait(lock, [&] { return wakeCount_ != seen || closing_ || !sleeperAwake(); });
    return;
  }
  std::optional<uint32_t> next = work;
  for (uint32_t t : sleepers_) earlier(next, t);
  if (next) {
    AdvanceToLocked(*next);
    return;
  }
  // Nothing will ever come due by itself: wait for another thread.
  cv_.wait(lock, [&] { return wakeCount_ != seen || closing_; });
}

void HeadlessLoop::Wake() {
  std::lock_guard lock(m_);
  ++wakeCount_;
  cv_.notify_all();
}

}  // namespace ls
