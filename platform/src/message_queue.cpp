// Send, post, the queue order, loops and timers.
#include <algorithm>

#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/runtime.h"
#include "window_manager.h"

namespace plat {

using wm::Manager;
using wm::WindowRecord;

Answer SendMessage(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return 0;
  WindowProcedure procedure = w->windowClass->procedure;
  ++m.callDepth;
  Answer answer = procedure ? procedure(window, code, first, second)
                            : DefaultProcedure(window, code, first, second);
  --m.callDepth;
  return answer;
}

bool PostMessage(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  Manager& m = wm::Get();
  if (window && !m.Find(window)) return false;
  wm::QueueEntry entry;
  entry.message = {window, code, first, second, TickCount(), m.pointer};
  m.queue.push_back(std::move(entry));
  return true;
}

void PostQuit(int exitCode) {
  wm::Get().quitCode = exitCode;
}

namespace wm {

bool Manager::TakeFromQueue(Message& message, bool remove) {
  while (!queue.empty()) {
    QueueEntry& entry = queue.front();
    if (entry.input) {
      // Input is routed when first looked at, so that capture and focus changed by earlier
      // messages count; a peek leaves the routed message in its place.
      InputEvent event = entry.event;
      queue.pop_front();
      if (!RouteInput(event, message)) continue;
      if (!remove) {
        QueueEntry routed;
        routed.message = message;
        queue.push_front(std::move(routed));
      }
      return true;
    }
    // Messages posted to windows that died meanwhile are dropped.
    if (entry.message.window && !Find(entry.message.window)) {
      queue.pop_front();
      continue;
    }
    message = entry.message;
    if (remove) queue.pop_front();
    return true;
  }
  return false;
}

bool Manager::FindPaint(Message& message) {
  std::vector<WindowRecord*> stack(topLevels.rbegin(), topLevels.rend());
  while (!stack.empty()) {
    WindowRecord* w = stack.back();
    stack.pop_back();
    if (!Shown(w)) continue;
    if (!w->update.IsEmpty()) {
      message = {w->handle, msg::kPaint, 0, 0, TickCount(), pointer};
      return true;
    }
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
  }
  return false;
}

bool Manager::FindTimer(Message& message, bool remove) {
  std::uint32_t now = TickCount();
  WindowRecord* best = nullptr;
  TimerRecord* bestTimer = nullptr;
  std::int32_t bestLate = -1;
  for (auto& [id, w] : windows) {
    if (w->dead) continue;
    for (TimerRecord& t : w->timers) {
      auto late = static_cast<std::int32_t>(now - t.due);
      if (late < 0) continue;
      // The longest overdue first; ties by window age for a stable order.
      if (late > bestLate ||
          (late == bestLate && best && w->handle.Value() < best->handle.Value())) {
        best = w.get();
        bestTimer = &t;
        bestLate = late;
      }
    }
  }
  if (!best) return false;
  message = {best->handle, msg::kTimer, bestTimer->id, 0, now, pointer};
  // Coalesced: one message however many periods passed.
  if (remove) bestTimer->due = now + bestTimer->period;
  return true;
}

std::optional<std::uint32_t> Manager::NextTimerDue() {
  std::optional<std::uint32_t> best;
  std::uint32_t now = TickCount();
  for (auto& [id, w] : windows) {
    if (w->dead) continue;
    for (TimerRecord& t : w->timers) {
      auto wait = static_cast<std::int32_t>(t.due - now);
      std::uint32_t delay = wait < 0 ? 0 : static_cast<std::uint32_t>(wait);
      if (!best || delay < *best) best = delay;
    }
  }
  return best;
}

bool Manager::HasWork() {
  Message probe;
  if (!queue.empty()) return true;
  if (quitCode) return true;
  if (FindPaint(probe)) return true;
  return FindTimer(probe, false);
}

}  // namespace wm

bool NextMessage(Message& message, bool remove) {
  Manager& m = wm::Get();
  if (m.callDepth == 0) m.graveyard.clear();
  m.backend->Poll(false, std::nullopt);
  m.Present(false);
  if (m.TakeFromQueue(message, remove)) return true;
  if (m.quitCode) {
    message = {Window(), msg::kQuit,  static_cast<FirstParam>(*m.quitCode),
               0,        TickCount(), m.pointer};
    if (remove) m.quitCode.reset();
    return true;
  }
  if (m.FindPaint(message)) return true;
  return m.FindTimer(message, remove);
}

void WaitForMessage() {
  Manager& m = wm::Get();
  m.backend->Poll(false, std::nullopt);
  if (m.HasWork()) return;
  m.Present(true);
  m.backend->Poll(true, m.NextTimerDue());
}

bool TakeMessage(Message& message) {
  while (!NextMessage(message, true)) WaitForMessage();
  return message.code != msg::kQuit;
}

Answer Dispatch(const Message& message) {
  if (!message.window) return 0;
  Manager& m = wm::Get();
  Answer answer = SendMessage(message.window, message.code, message.first, message.second);
  if (message.code == msg::kPaint) {
    // A handler that leaves its area invalid would be painted forever.
    if (WindowRecord* w = m.Find(message.window)) {
      w->update.Clear();
      w->erasePending = false;
    }
  }
  return answer;
}

void BusyWaitStep() {
  Manager& m = wm::Get();
  m.Present(false);
  if (IsVirtualClock()) AdvanceVirtualClock(1);
}

bool StartTimer(Window window, std::uint32_t id, std::uint32_t periodMs) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  std::uint32_t period = std::max(periodMs, kMinimumTimerPeriod);
  std::uint32_t due = TickCount() + period;
  for (wm::TimerRecord& t : w->timers) {
    if (t.id == id) {
      t.period = period;
      t.due = due;
      return true;
    }
  }
  w->timers.push_back({id, period, due});
  return true;
}

bool StopTimer(Window window, std::uint32_t id) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  auto it = std::find_if(w->timers.begin(), w->timers.end(),
                         [id](const wm::TimerRecord& t) { return t.id == id; });
  if (it == w->timers.end()) return false;
  w->timers.erase(it);
  return true;
}

}  // namespace plat
