// The window layer's message costs: a platform input event to the window procedure, a
// PostMessage, a tick delivering 1,024 posted messages, and the jitter of a 40 ms timer on a
// real display (run under Xvfb; skipped without a display).

#include "swell-timer.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

using namespace cocoa;

namespace
{
class Controller : public NSApplicationDelegate, public SWELL_PostMessageController
{
};

long g_delivered = 0;
std::vector<double> g_timerTimes;

LRESULT countingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case WM_USER:
  case WM_MOUSEMOVE:
  case WM_KEYDOWN: ++g_delivered; return 0;
  case WM_TIMER:
    g_timerTimes.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
    return 0;
  default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

// A shown window of the layer whose content view counts what it hears; the queue running.
struct Scene
{
  explicit Scene(std::unique_ptr<Backend> backend)
  {
    setPlatformBackend(std::move(backend));
    NSApp()->resetForTesting();
    NSApp()->setDelegate(&controller);
    NSApp()->finishLaunching();
    SWELL_Internal_PostMessage_Init();
    auto* view = new Swell_vVorna_hwnd;
    view->initChild(nullptr, nullptr, countingProc, 0);
    hwnd = view->handle();
    SWELL_CreateModelessFrameForWindow(hwnd, nullptr, NSWindowStyleMaskTitled);
    view->release();
    SetWindowPos(hwnd, nullptr, 100, 100, 770, 672, SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(hwnd);
    window = view->window();
  }
  ~Scene()
  {
    DestroyWindow(hwnd);
    NSApp()->resetForTesting();
  }

  Controller controller;
  HWND hwnd = nullptr;
  NSWindow* window = nullptr;
};

// One mouse move, from the application's queue through the window to the procedure.
void BM_InputEventToWindowMessage(benchmark::State& state)
{
  NSAutoreleasePool outer;
  Scene scene(makeHeadlessBackend());
  NSEventFields fields;
  fields.type = NSEventTypeMouseMoved;
  fields.window = scene.window;
  fields.locationInWindow = NSMakePoint(385, 325);
  // The pointer is where the event says, as a display would have it.
  static_cast<HeadlessBackend&>(platformBackend())
      .setPointerState(scene.window->convertBaseToScreen(fields.locationInWindow), 0, 0);
  const long before = g_delivered;
  for (auto _ : state)
  {
    NSAutoreleasePool pool;
    NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
    NSApp()->sendEvent(NSApp()->nextEventMatchingMask(NSEventMaskAny, 0, true));
  }
  if (g_delivered - before != static_cast<long>(state.iterations())) state.SkipWithError("a move did not arrive");
  state.SetLabel("target < 1000 us");
}
BENCHMARK(BM_InputEventToWindowMessage)->Unit(benchmark::kMicrosecond);

// PostMessage alone, the queue emptied every 1,000 posts outside the timing.
void BM_PostMessage(benchmark::State& state)
{
  NSAutoreleasePool outer;
  Scene scene(makeHeadlessBackend());
  for (int i = 0; i < 1024; ++i) PostMessage(scene.hwnd, WM_USER, 0, 0);  // warm: the nodes exist
  SWELL_MessageQueue_Flush();
  long posted = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(PostMessage(scene.hwnd, WM_USER, 0, 0));
    if (++posted % 1000 == 0)
    {
      state.PauseTiming();
      SWELL_MessageQueue_Flush();
      state.ResumeTiming();
    }
  }
  SWELL_MessageQueue_Flush();
  state.SetLabel("O(1), no allocation once warm");
}
BENCHMARK(BM_PostMessage)->Unit(benchmark::kNanosecond);

// One tick delivering 1,024 messages to a procedure that only counts them.
void BM_Flush1024(benchmark::State& state)
{
  NSAutoreleasePool outer;
  Scene scene(makeHeadlessBackend());
  for (auto _ : state)
  {
    state.PauseTiming();
    for (int i = 0; i < 1024; ++i) PostMessage(scene.hwnd, WM_USER, 0, 0);
    state.ResumeTiming();
    SWELL_MessageQueue_Flush();
  }
  state.SetLabel("target < 1000 us plus handlers");
}
BENCHMARK(BM_Flush1024)->Unit(benchmark::kMicrosecond);

// A 40 ms window timer for two seconds on the display: how far each beat lands from 40 ms
// after the one before (the largest, the 95th percentile and the median). On a machine
// whose cores are all busy the largest is the scheduler's, not the loop's.
void BM_TimerJitter40ms(benchmark::State& state)
{
  NSAutoreleasePool outer;
  std::unique_ptr<Backend> sdl = std::getenv("DISPLAY") ? makeSdlBackend() : nullptr;
  if (!sdl)
  {
    state.SkipWithError("needs a display: run under Xvfb");
    for (auto _ : state) {}
    return;
  }
  Scene scene(std::move(sdl));
  std::vector<double> deviations;
  for (auto _ : state)
  {
    g_timerTimes.clear();
    SetTimer(scene.hwnd, 1, 40, nullptr);
    const double until = NSRunLoop::currentRunLoop()->now() + 2.0;
    while (NSRunLoop::currentRunLoop()->now() < until)
    {
      NSAutoreleasePool pool;
      if (NSEvent* event = NSApp()->nextEventMatchingMask(NSEventMaskAny, until, true)) NSApp()->sendEvent(event);
    }
    KillTimer(scene.hwnd, 1);
    for (size_t i = 1; i < g_timerTimes.size(); ++i)
      deviations.push_back(std::abs((g_timerTimes[i] - g_timerTimes[i - 1]) * 1000 - 40));
  }
  if (deviations.empty())
  {
    state.SkipWithError("the timer never fired");
    return;
  }
  std::sort(deviations.begin(), deviations.end());
  state.counters["jitter_max_ms"] = deviations.back();
  state.counters["jitter_p95_ms"] = deviations[deviations.size() * 95 / 100];
  state.counters["jitter_median_ms"] = deviations[deviations.size() / 2];
  state.SetLabel("target < 5 ms");
}
BENCHMARK(BM_TimerJitter40ms)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
