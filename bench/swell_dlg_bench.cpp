// The window layer's dialogs: a dialog of the preferences dialog's size with 35 child windows
// where its controls go, made (WM_INITDIALOG included) and destroyed, and shown and painted
// the first time; and a modal dialog box run to its end. Headless.

#include "swell-dlg.h"
#include "tools/preferences_dialog_table.h"
#include "swell-timer.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <benchmark/benchmark.h>

using namespace cocoa;

namespace
{
constexpr int kControls = 35;

class Controller : public NSApplicationDelegate, public SWELL_PostMessageController
{
};

// Rows of child windows in two columns, as the preferences dialog lays out its controls.
void makeControls(HWND dialog, int)
{
  for (int i = 0; i < kControls; ++i)
  {
    auto* control = new Swell_vVorna_hwnd;
    control->initChild(nullptr, swellObjectOf(dialog), nullptr, 0);
    control->setTag(40008 + i);
    control->cocoa::NSView::setFrame(NSMakeRect(20 + 180 * (i % 2), 20 + 20 * (i / 2), 150, 18));
    control->setHidden(false);
    control->release();
  }
}

SWELL_DialogResourceIndex g_preferences = {"prefs", "Preferences", 0x4 | 0x8, makeControls, 320, 420, nullptr};

LRESULT endAtOnce(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
  if (msg == WM_INITDIALOG) EndDialog(hwnd, IDOK);
  return 0;
}

LRESULT endOnTimer(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
  if (msg == WM_INITDIALOG) SetTimer(hwnd, 1, 0, nullptr);
  if (msg == WM_TIMER) EndDialog(hwnd, IDOK);
  return msg == WM_INITDIALOG;
}

struct Scene
{
  Scene()
  {
    setPlatformBackend(makeHeadlessBackend());
    NSApp()->resetForTesting();
    NSApp()->setDelegate(&controller);
    NSApp()->finishLaunching();
    SWELL_Internal_PostMessage_Init();
  }
  ~Scene() { NSApp()->resetForTesting(); }
  Controller controller;
};

void BM_DialogMadeAndDestroyed(benchmark::State& state)
{
  Scene scene;
  for (auto _ : state)
  {
    NSAutoreleasePool pool;
    HWND dialog = SWELL_CreateDialog(&g_preferences, g_preferences.resid, nullptr, nullptr, 0);
    benchmark::DoNotOptimize(dialog);
    DestroyWindow(dialog);
  }
}
BENCHMARK(BM_DialogMadeAndDestroyed)->Unit(benchmark::kMicrosecond);

// Times only the first showing and painting of a dialog made beforehand.
void timeFirstPaint(benchmark::State& state, SWELL_DialogResourceIndex* record, DLGPROC proc)
{
  Scene scene;
  for (auto _ : state)
  {
    NSAutoreleasePool pool;
    state.PauseTiming();
    HWND dialog = SWELL_CreateDialog(record, record->resid, nullptr, proc, 0);
    state.ResumeTiming();
    ShowWindow(dialog, SW_SHOW);
    NSApp()->updateWindows();
    state.PauseTiming();
    DestroyWindow(dialog);
    state.ResumeTiming();
  }
}

void BM_DialogFirstPaint(benchmark::State& state)
{
  timeFirstPaint(state, &g_preferences, nullptr);
}
BENCHMARK(BM_DialogFirstPaint)->Unit(benchmark::kMicrosecond);

LRESULT fillAtInit(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
  if (msg != WM_INITDIALOG) return 0;
  preferences_dialog::fillLikeTheHost(hwnd);
  return 1;
}

// The preferences dialog with its 35 real controls (labels, drop-down lists, a check box,
// buttons, group boxes) made from its control table and filled at WM_INITDIALOG.
void BM_PreferencesControlsMadeAndInitialised(benchmark::State& state)
{
  Scene scene;
  SWELL_DialogResourceIndex record = preferences_dialog::preferencesRecord();
  for (auto _ : state)
  {
    NSAutoreleasePool pool;
    HWND dialog = SWELL_CreateDialog(&record, record.resid, nullptr, fillAtInit, 0);
    benchmark::DoNotOptimize(dialog);
    state.PauseTiming();
    DestroyWindow(dialog);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PreferencesControlsMadeAndInitialised)->Unit(benchmark::kMicrosecond);

void BM_PreferencesControlsFirstPaint(benchmark::State& state)
{
  SWELL_DialogResourceIndex record = preferences_dialog::preferencesRecord();
  timeFirstPaint(state, &record, fillAtInit);
}
BENCHMARK(BM_PreferencesControlsFirstPaint)->Unit(benchmark::kMicrosecond);

// Opened, ended from WM_INITDIALOG (no run) or from its first timer beat (one modal run).
void BM_DialogBoxRun(benchmark::State& state)
{
  Scene scene;
  const DLGPROC proc = state.range(0) ? endOnTimer : endAtOnce;
  for (auto _ : state)
  {
    NSAutoreleasePool pool;
    benchmark::DoNotOptimize(SWELL_DialogBox(&g_preferences, g_preferences.resid, nullptr, proc, 0));
  }
}
BENCHMARK(BM_DialogBoxRun)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
}  // namespace
