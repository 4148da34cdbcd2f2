// The synthesizer's editor: built whole, drawn whole, and one knob turned.
#include "EditorLayout.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "headless_graphics.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace
{
IGraphics* MakeEditorSurface(IPlugBase* plug, int w, int h, int fps)
{
  auto* gui = new HeadlessGraphics(plug, w, h, fps);
  const auto add = [gui](const EditorImage& image) {
    const std::string file = image.file;
    gui->images[std::string(kEditorImageFolder) + file] = [file] {
      return LICE_LoadPNG((std::string(VORNA_IMAGE_DIR) + "/" + file).c_str());
    };
  };
  add(kBackgroundImage);
  for (const EditorImage& image : kControlImages) add(image);
  return gui;
}

std::unique_ptr<Vorna> MakeVornaWithEditor()
{
  static unsigned short channel = 0;
  Vorna::SetGraphicsMaker(MakeEditorSurface);
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &channel));
  Vorna::SetGraphicsMaker(nullptr);
  return plug;
}

// The plug-in with its editor, from nothing (images already in the process's cache).
void BM_EditorConstruction(benchmark::State& state)
{
  MakeVornaWithEditor();
  for (auto _ : state)
  {
    std::unique_ptr<Vorna> plug = MakeVornaWithEditor();
    benchmark::DoNotOptimize(plug.get());
    state.PauseTiming();
    plug.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EditorConstruction)->Unit(benchmark::kMillisecond);

// Every pixel of the default editor drawn again.
void BM_EditorFullRedraw(benchmark::State& state)
{
  std::unique_ptr<Vorna> plug = MakeVornaWithEditor();
  IGraphics* gui = plug->GetGUI();
  IRECT all(0, 0, gui->Width(), gui->Height());
  for (auto _ : state) gui->Draw(&all);
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMicrosecond);

// A knob dragged one step and the frame that follows: only its rectangle is drawn.
void BM_EditorKnobDragFrame(benchmark::State& state)
{
  std::unique_ptr<Vorna> plug = MakeVornaWithEditor();
  IGraphics* gui = plug->GetGUI();
  IRECT all(0, 0, gui->Width(), gui->Height());
  gui->Draw(&all);
  const IRECT knob = *plug->GetParamControl(kMix1)->GetTargetRECT();
  IMouseMod mod(true);
  gui->OnMouseDown(knob.L + 5, knob.T + 10, &mod);
  int y = knob.T + 10, step = -1;
  IRECT dirty;
  for (auto _ : state)
  {
    y += step;
    if (y < knob.T - 200 || y > knob.T + 200) step = -step;
    gui->OnMouseDrag(knob.L + 5, y, &mod);
    dirty = IRECT();
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
  }
  gui->OnMouseUp(knob.L + 5, y, &mod);
  state.counters["redrawn_px"] = double(dirty.W()) * dirty.H();
}
BENCHMARK(BM_EditorKnobDragFrame)->Unit(benchmark::kMicrosecond);
}  // namespace
