// The posted-message queue: a FIFO of recycled nodes under one lock, filled from any thread
// and emptied by the main thread on its tick. Windows are never called into from another
// thread: whether a window may still receive is decided under the queue's lock from the
// set of windows that are alive.

#include "swell-timer.h"

#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <unordered_set>

using namespace cocoa;

namespace
{
constexpr int kMaxQueuedMessages = 1024;
constexpr double kTickSeconds = 0.05;
constexpr UINT kKillRequest = static_cast<UINT>(-1);

struct PostedMessageNode
{
  HWND hwnd;
  UINT msg;  // a timer request's interval in ms, kKillRequest to stop it
  WPARAM wParam;  // a timer request's id
  LPARAM lParam;  // a timer request's procedure
  PostedMessageNode* _next;
  bool isTimerRequest;
};

struct PostQueue
{
  std::recursive_mutex m_pmq_mutex;
  PostedMessageNode* m_pmq = nullptr;
  PostedMessageNode* m_pmq_tail = nullptr;
  PostedMessageNode* m_pmq_empty = nullptr;
  int m_pmq_size = 0;
  std::unordered_set<HWND> liveWindows;
};

PostQueue& queue()
{
  static PostQueue* q = new PostQueue;
  return *q;
}

std::atomic<bool> s_running{false};
// The thread that loads the layer until the queue starts; then the one that started it.
std::atomic<std::thread::id> m_pmq_mainthread{std::this_thread::get_id()};
NSTimer* m_pmq_timer = nullptr;  // main thread only

SWELL_PostMessageController* controller()
{
  return dynamic_cast<SWELL_PostMessageController*>(NSApp()->delegate());
}

// Under the lock: a recycled node, or a new one when `limited` allows.
PostedMessageNode* takeNode(PostQueue& q, bool limited)
{
  if (PostedMessageNode* node = q.m_pmq_empty)
  {
    q.m_pmq_empty = node->_next;
    return node;
  }
  if (limited && q.m_pmq_size >= kMaxQueuedMessages) return nullptr;
  return new PostedMessageNode{};
}

void append(PostQueue& q, PostedMessageNode* node)
{
  node->_next = nullptr;
  if (q.m_pmq_tail) q.m_pmq_tail->_next = node;
  else q.m_pmq = node;
  q.m_pmq_tail = node;
  ++q.m_pmq_size;
}
}  // namespace

bool swell::onMainThread()
{
  return std::this_thread::get_id() == m_pmq_mainthread.load(std::memory_order_acquire);
}

bool swell::postQueueRunning()
{
  return s_running.load(std::memory_order_acquire);
}

void swell::setPostTarget(HWND hwnd, bool alive)
{
  PostQueue& q = queue();
  std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
  if (alive) q.liveWindows.insert(hwnd);
  else q.liveWindows.erase(hwnd);
}

void SWELL_Internal_PostMessage_Init()
{
  SWELL_PostMessageController* delegate = controller();
  if (!delegate) return;
  if (!s_running.load())
  {
    m_pmq_mainthread.store(std::this_thread::get_id(), std::memory_order_release);
    s_running.store(true, std::memory_order_release);
  }
  // The tick is restarted when something stopped every timer of the run loop.
  if (m_pmq_timer && m_pmq_timer->isValid()) return;
  if (m_pmq_timer) m_pmq_timer->release();
  m_pmq_timer = NSTimer::timerWithTimeInterval(kTickSeconds, true, [](NSTimer*) {
    if (SWELL_PostMessageController* current = controller()) current->swellPostMessageTick();
  });
  m_pmq_timer->retain();
  NSRunLoop::currentRunLoop()->addTimer(m_pmq_timer);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  SWELL_PostMessageController* delegate = controller();
  return delegate ? delegate->swellPostMessage(hwnd, msg, wParam, lParam) : 0;
}

void SWELL_MessageQueue_Clear(HWND hwnd)
{
  if (SWELL_PostMessageController* delegate = controller()) delegate->swellPostMessageClearQ(hwnd);
}

BOOL SWELL_Internal_PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (!hwnd || !swell::postQueueRunning()) return 0;
  PostQueue& q = queue();
  std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
  if (!q.liveWindows.count(hwnd)) return 0;
  PostedMessageNode* node = takeNode(q, true);
  if (!node) return 0;
  node->hwnd = hwnd;
  node->msg = msg;
  node->wParam = wParam;
  node->lParam = lParam;
  node->isTimerRequest = false;
  append(q, node);
  return 1;
}

bool SWELL_pmq_settimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc)
{
  if (!hwnd || !swell::postQueueRunning()) return false;
  PostQueue& q = queue();
  std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
  if (!q.liveWindows.count(hwnd)) return false;
  for (PostedMessageNode* node = q.m_pmq; node; node = node->_next)
    if (node->isTimerRequest && node->hwnd == hwnd && node->wParam == id)
    {
      node->msg = ms;
      node->lParam = reinterpret_cast<LPARAM>(proc);
      return true;
    }
  PostedMessageNode* node = takeNode(q, false);
  node->hwnd = hwnd;
  node->msg = ms;
  node->wParam = id;
  node->lParam = reinterpret_cast<LPARAM>(proc);
  node->isTimerRequest = true;
  append(q, node);
  return true;
}

void SWELL_MessageQueue_Flush()
{
  PostQueue& q = queue();
  int count;
  {
    std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
    count = q.m_pmq_size;
  }
  while (count-- > 0)
  {
    PostedMessageNode delivery;
    {
      std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
      PostedMessageNode* node = q.m_pmq;
      if (!node) break;
      q.m_pmq = node->_next;
      if (!q.m_pmq) q.m_pmq_tail = nullptr;
      --q.m_pmq_size;
      delivery = *node;
      node->_next = q.m_pmq_empty;
      q.m_pmq_empty = node;
    }
    if (!delivery.isTimerRequest)
      SendMessage(delivery.hwnd, delivery.msg, delivery.wParam, delivery.lParam);
    else if (delivery.msg == kKillRequest)
      KillTimer(delivery.hwnd, delivery.wParam);
    else
      SetTimer(delivery.hwnd, delivery.wParam, delivery.msg, reinterpret_cast<TIMERPROC>(delivery.lParam));
  }
}

void SWELL_Internal_PMQ_ClearAllMessages(HWND hwnd)
{
  PostQueue& q = queue();
  std::lock_guard<std::recursive_mutex> lock(q.m_pmq_mutex);
  PostedMessageNode* previous = nullptr;
  for (PostedMessageNode* node = q.m_pmq; node;)
  {
    PostedMessageNode* next = node->_next;
    if (!hwnd || node->hwnd == hwnd)
    {
      if (previous) previous->_next = next;
      else q.m_pmq = next;
      if (q.m_pmq_tail == node) q.m_pmq_tail = previous;
      --q.m_pmq_size;
      node->_next = q.m_pmq_empty;
      q.m_pmq_empty = node;
    }
    else
      previous = node;
    node = next;
  }
}
