// The GUI framework's frame costs on a busy 770 x 650 editor of 40 bitmap knobs and 40
// labels over a background image, each labelled with the figure it must stay under: the
// framework's own work without a window, then the editor's view in a window of the
// platform layer (headless), where a frame is drawn and copied into the window. Run with
// --benchmark_repetitions=9 --benchmark_report_aggregates_only=true for medians.

#include "IControls.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "IPlugStandalone.h"
#include "headless_graphics.h"
#include "lice.h"
#include "test_images.h"

#include "platform/appkit/window.h"
#include "platform/backend/backend.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace
{
constexpr int kWidth = 770, kHeight = 650;
constexpr int kKnobs = 40, kColumns = 8;
constexpr int kKnobSide = 48, kKnobFrames = 64;
constexpr int kFramesPerSecond = 25;

// The plug-in under the editor: one parameter per knob.
class BenchPlug : public IPlugStandalone
{
public:
  BenchPlug()
      : IPlugStandalone(IPlugInstanceInfo{}, kKnobs, "0-2", 0, "GuiBench", "", "", 0x10000, 0x47426E31, 0x4D6B7231, 0,
                        false, false, true, 0)
  {
    char name[32];
    for (int i = 0; i < kKnobs; ++i)
    {
      std::snprintf(name, sizeof(name), "knob %d", i);
      GetParam(i)->InitDouble(name, 0.5, 0.0, 1.0, 0.01, "", "", 1.0);
    }
  }
};

// The editor's view with the benchmark's generated images.
class BenchMacGraphics : public IGraphicsMac
{
public:
  using IGraphicsMac::IGraphicsMac;
  LICE_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    if (!std::strcmp(name, "bg.png")) return MakeBackground(kWidth, kHeight);
    if (!std::strcmp(name, "knob.png")) return MakeKnobStrip(kKnobSide, kKnobFrames);
    return nullptr;
  }
};

HeadlessGraphics* MakeGraphics(HeadlessGraphics*, BenchPlug* plug)
{
  auto* gui = new HeadlessGraphics(plug, kWidth, kHeight);
  gui->images["bg.png"] = [] { return MakeBackground(kWidth, kHeight); };
  gui->images["knob.png"] = [] { return MakeKnobStrip(kKnobSide, kKnobFrames); };
  return gui;
}

BenchMacGraphics* MakeGraphics(BenchMacGraphics*, BenchPlug* plug)
{
  return new BenchMacGraphics(plug, kWidth, kHeight);
}

template <class Graphics>
struct BusyEditor
{
  BenchPlug plug;
  Graphics* gui = MakeGraphics(static_cast<Graphics*>(nullptr), &plug);
  IControl* knobs[kKnobs] = {};
  IText labelText{12, &COLOR_WHITE, "Geneva"};

  BusyEditor()
  {
    gui->AttachBackground(1, "bg.png");
    IBitmap strip = gui->LoadIBitmap(2, "knob.png", kKnobFrames);
    char text[32];
    for (int i = 0; i < kKnobs; ++i)
    {
      const int x = 30 + (i % kColumns) * 92, y = 40 + (i / kColumns) * 120;
      knobs[i] = new IKnobMultiControl(&plug, x, y, i, &strip);
      gui->AttachControl(knobs[i]);
      std::snprintf(text, sizeof(text), "Osc %d Detune", i % 10);
      const IRECT label(x - 20, y + kKnobSide + 4, x + kKnobSide + 20, y + kKnobSide + 20);
      gui->AttachControl(new ITextControl(&plug, label, &labelText, text));
    }
    plug.AttachGraphics(gui);
    Settle();
  }

  void Frame()
  {
    gui->DrainParamMailbox();
    IRECT r;
    if (gui->IsDirty(&r)) gui->Draw(&r);
  }
  void Settle()
  {
    for (int i = 0; i < 3; ++i) Frame();
  }
};

BusyEditor<HeadlessGraphics>& Editor()
{
  static BusyEditor<HeadlessGraphics> editor;
  return editor;
}

// The same editor's view in a borderless 770 x 650 window, drawn by the window as the
// platform draws it: a frame is the view's drawing (the framework's redraw and the copy
// of the back buffer into the window) and the window's presentation.
struct WindowedEditor
{
  BusyEditor<BenchMacGraphics> editor;
  cocoa::NSWindow* window;
  IGraphicsCocoa_vVorna_sa* view;

  WindowedEditor()
  {
    cocoa::setPlatformBackend(cocoa::makeHeadlessBackend());
    window = new cocoa::NSWindow(cocoa::NSMakeRect(0, 0, kWidth, kHeight), cocoa::NSWindowStyleMaskBorderless);
    window->makeKeyAndOrderFront(nullptr);
    view = static_cast<IGraphicsCocoa_vVorna_sa*>(editor.gui->OpenWindow(window->contentView()));
    window->displayIfNeeded();
  }
  // One beat of the view's frame timer, then the window's drawing pass.
  void Tick()
  {
    view->onTimer(view->timer());
    window->displayIfNeeded();
  }
};

WindowedEditor& Windowed()
{
  static WindowedEditor windowed;
  return windowed;
}

void BM_FullRedraw(benchmark::State& state)
{
  auto& e = Editor();
  IRECT all(0, 0, kWidth, kHeight);
  for (auto _ : state) e.gui->Draw(&all);
  state.SetLabel("40 knobs, 40 labels; target < 2000 us");
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

// One knob turned per frame: its rectangle redrawn.
void BM_KnobChange(benchmark::State& state)
{
  auto& e = Editor();
  e.Settle();
  IControl* knob = e.knobs[kKnobs / 2];
  double v = 0.0;
  for (auto _ : state)
  {
    v = v > 0.5 ? 0.1 : 0.9;
    knob->SetValueFromPlug(v);
    e.Frame();
  }
  state.SetLabel("one knob; target < 300 us");
}
BENCHMARK(BM_KnobChange)->Unit(benchmark::kMicrosecond);

void SetIdleLabel(benchmark::State& state)
{
  constexpr double kOnePercentOfACoreUs = 1e6 / kFramesPerSecond / 100.0;
  char label[64];
  std::snprintf(label, sizeof(label), "no presentation; target < %.0f us (1%% of a core)", kOnePercentOfACoreUs);
  state.SetLabel(label);
}

// A frame tick with nothing to do: no drawing, no screen copy.
void BM_IdleTick(benchmark::State& state)
{
  auto& e = Editor();
  e.Settle();
  const int copies = e.gui->screenCopies;
  for (auto _ : state) e.Frame();
  if (e.gui->screenCopies != copies) state.SkipWithError("an idle tick presented a frame");
  SetIdleLabel(state);
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

// Everything redrawn and copied into the window.
void BM_FullRedrawAndWindowCopy(benchmark::State& state)
{
  WindowedEditor& w = Windowed();
  const long presented = w.window->presentationCount();
  for (auto _ : state)
  {
    w.view->setNeedsDisplay(true);
    w.window->displayIfNeeded();
  }
  if (w.window->presentationCount() == presented) state.SkipWithError("nothing reached the window");
  state.SetLabel("redraw and copy of 770 x 650; target < 2000 us");
}
BENCHMARK(BM_FullRedrawAndWindowCopy)->Unit(benchmark::kMicrosecond);

// One knob turned per beat of the frame timer: its rectangle drawn and copied.
void BM_KnobChangeInWindow(benchmark::State& state)
{
  WindowedEditor& w = Windowed();
  IControl* knob = w.editor.knobs[kKnobs / 2];
  double v = 0.0;
  for (auto _ : state)
  {
    v = v > 0.5 ? 0.1 : 0.9;
    knob->SetValueFromPlug(v);
    w.Tick();
  }
  state.SetLabel("one knob with its copy; target < 300 us");
}
BENCHMARK(BM_KnobChangeInWindow)->Unit(benchmark::kMicrosecond);

// A beat of the frame timer with nothing dirty, and the window's pass after it.
void BM_IdleTickInWindow(benchmark::State& state)
{
  WindowedEditor& w = Windowed();
  for (int i = 0; i < 3; ++i) w.Tick();
  const long presented = w.window->presentationCount();
  for (auto _ : state) w.Tick();
  if (w.window->presentationCount() != presented) state.SkipWithError("an idle beat presented the window");
  SetIdleLabel(state);
}
BENCHMARK(BM_IdleTickInWindow)->Unit(benchmark::kMicrosecond);
}  // namespace
