// Timers: one platform timer per (window, id) on the main run loop, in a list under its own
// lock; requests from other threads become queued requests.

#include "swell-timer.h"

#include "swell-kernel.h"
#include "swell-sdh.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-messages.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"

#include <mutex>
#include <vector>

using namespace cocoa;

HWND g_swell_only_timerhwnd = nullptr;

namespace
{
constexpr UINT_PTR kAllTimers = static_cast<UINT_PTR>(-1);
constexpr UINT kKillRequest = static_cast<UINT>(-1);
constexpr UINT kLongestInterval = static_cast<UINT>(-2);
constexpr double kZeroIntervalSeconds = 0.001;

struct TimerListNode
{
  UINT_PTR timerid;
  HWND hwnd;
  NSTimer* timer;  // owned
  TimerListNode* _next;
};

std::recursive_mutex m_timermutex;
TimerListNode* m_timer_list = nullptr;

// The target of a timer with a procedure or without a window.
class Swell_vVorna_tft : public NSObject, public TimerTarget
{
public:
  Swell_vVorna_tft(TIMERPROC proc, HWND hwnd, UINT_PTR id) : m_cb(proc), m_hwnd(hwnd), m_timerid(id) {}
  void timerFired(NSTimer*) override
  {
    if (g_swell_only_timerhwnd && g_swell_only_timerhwnd != m_hwnd) return;
    m_cb(m_hwnd, WM_TIMER, m_timerid, GetTickCount());
  }

private:
  TIMERPROC m_cb;
  HWND m_hwnd;
  UINT_PTR m_timerid;
};

void stopNode(TimerListNode* node)
{
  node->timer->invalidate();
  node->timer->release();
  delete node;
}
}  // namespace

void Swell_vVorna_hwnd::timerFired(NSTimer* timer)
{
  if (m_hashaddestroy) return;
  const auto* holder = dynamic_cast<const Swell_vVorna_sdh*>(timer->userInfo());
  if (!holder || (g_swell_only_timerhwnd && g_swell_only_timerhwnd != handle())) return;
  SendMessage(handle(), WM_TIMER, static_cast<WPARAM>(holder->getValue()), 0);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc)
{
  if ((!hwnd && !proc) || (hwnd && !id)) return 0;
  if (!swell::onMainThread())
  {
    if (id == kAllTimers || !swell::postQueueRunning() || !hwnd) return 0;
    return SWELL_pmq_settimer(hwnd, id, ms == kKillRequest ? kLongestInterval : ms, proc) ? id : 0;
  }
  if (hwnd && !dynamic_cast<TimerTarget*>(swellObjectOf(hwnd)))
  {
    Swell_vVorna_hwnd* content = swellWindowView(hwnd);
    if (!content) return 0;
    hwnd = content->handle();
  }

  std::lock_guard<std::recursive_mutex> lock(m_timermutex);
  // A window that only its timers keep would go with the timer replaced below, and its
  // teardown stops its timers, this record among them: it is held until the new timer is set.
  StrongRef<NSObject> target(hwnd ? swellObjectOf(hwnd) : nullptr);
  TimerListNode* node = nullptr;
  if (hwnd || id)
    for (TimerListNode* n = m_timer_list; n; n = n->_next)
      if (n->timerid == id && n->hwnd == hwnd)
      {
        node = n;
        node->timer->invalidate();
        node->timer->release();
        node->timer = nullptr;
        break;
      }
  const bool isNew = !node;
  if (isNew) node = new TimerListNode{id, hwnd, nullptr, nullptr};

  const double seconds = ms ? ms / 1000.0 : kZeroIntervalSeconds;
  NSTimer* timer;
  if (proc || !hwnd)
  {
    if (!hwnd) node->timerid = reinterpret_cast<UINT_PTR>(node);
    auto* target = new Swell_vVorna_tft(proc, hwnd, node->timerid);
    timer = NSTimer::timerWithTimeInterval(seconds, target, nullptr, true);
    target->release();
  }
  else
  {
    auto* holder = new Swell_vVorna_sdh(static_cast<intptr_t>(id));
    timer = NSTimer::timerWithTimeInterval(seconds, dynamic_cast<TimerTarget*>(swellObjectOf(hwnd)), holder, true);
    holder->release();
  }
  NSRunLoop::currentRunLoop()->addTimer(timer);
  node->timer = timer;
  timer->retain();
  if (isNew)
  {
    node->_next = m_timer_list;
    m_timer_list = node;
  }
  return node->timerid;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
  if (!hwnd && !id) return 0;
  std::lock_guard<std::recursive_mutex> lock(m_timermutex);
  if (!swell::onMainThread())
  {
    // Carried out by the main thread; a stop of every timer of a window as well.
    return hwnd && swell::postQueueRunning() && SWELL_pmq_settimer(hwnd, id, kKillRequest, nullptr);
  }
  if (id == kAllTimers && !hwnd) return 0;
  // Every record goes from the list before any timer stops: stopping lets go of the window,
  // whose last release runs its procedure, which may stop other timers.
  std::vector<TimerListNode*> leaving;
  for (TimerListNode** link = &m_timer_list; *link;)
  {
    TimerListNode* node = *link;
    if (node->hwnd == hwnd && (id == kAllTimers || node->timerid == id))
    {
      *link = node->_next;
      leaving.push_back(node);
      if (id != kAllTimers) break;
    }
    else
      link = &node->_next;
  }
  for (TimerListNode* node : leaving) stopNode(node);
  return leaving.empty() ? 0 : 1;
}

void SWELL_RunRunLoop(int ms)
{
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  loop->runUntilDate(loop->now() + ms / 1000.0);
}

void SWELL_RunRunLoopEx(int ms, HWND onlyTimersOf)
{
  HWND previous = g_swell_only_timerhwnd;
  g_swell_only_timerhwnd = onlyTimersOf;
  SWELL_RunRunLoop(ms);
  if (g_swell_only_timerhwnd == onlyTimersOf) g_swell_only_timerhwnd = previous;
}
