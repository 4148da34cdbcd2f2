#pragma once

// The real editor, headless: the plug-in builds it on a memory surface that loads the
// images this build drew, and a test drives it through IGraphics' event entry points.

#include "EditorLayout.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "ZKMenu.h"
#include "bitmap_png.h"
#include "headless_graphics.h"
#include "lice_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace edtest
{
inline IGraphics* MakeHeadlessEditor(IPlugBase* plug, int w, int h, int fps)
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

struct Editor
{
  static constexpr int kBlockSize = 32;
  static constexpr double kSampleRate = 44100.0;

  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug;
  HeadlessGraphics* gui = nullptr;

  Editor()
  {
    Vorna::SetGraphicsMaker(MakeHeadlessEditor);
    plug.reset(MakePlug(nullptr, &midiOutChannel));
    Vorna::SetGraphicsMaker(nullptr);
    gui = static_cast<HeadlessGraphics*>(plug->GetGUI());
    plug->SetBlockSize(kBlockSize);
    plug->SetSampleRate(kSampleRate);
    plug->Reset();
    FramesUntilClean();
  }

  IControlZK* Control(int paramIdx) const { return plug->GetParamControl(paramIdx); }
  bool Hidden(int paramIdx) const { return Control(paramIdx)->IsHidden(); }

  // Sets a parameter as the main thread does, the controls following it.
  void SetParam(int paramIdx, double plainValue)
  {
    const double normalized = plug->GetParam(paramIdx)->GetNormalized(plainValue);
    plug->SetParameterFromGUI(paramIdx, normalized);
    gui->SetParameterFromPlug(paramIdx, normalized, true);
  }

  bool Frame()
  {
    gui->DrainParamMailbox();
    IRECT r;
    if (!gui->IsDirty(&r)) return false;
    gui->Draw(&r);
    return true;
  }
  void FramesUntilClean()
  {
    for (int i = 0; i < 8 && Frame(); ++i) {}
  }
  // Everything drawn again, as when the window is exposed.
  void FullRedraw()
  {
    IRECT all(0, 0, gui->Width(), gui->Height());
    gui->Draw(&all);
  }
  std::vector<unsigned int> ScreenPixels()
  {
    std::vector<unsigned int> p = lice_test::Pixels(*gui->GetDrawBitmap());
    for (unsigned int& v : p) v &= 0xFFFFFF;
    return p;
  }
  unsigned int ScreenPixel(int x, int y) { return LICE_GetPixel(gui->GetDrawBitmap(), x, y) & 0xFFFFFF; }

  void Press(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDown(x, y, &mod); }
  void Release(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseUp(x, y, &mod); }
  void Click(int x, int y, IMouseMod mod = IMouseMod(true)) { Press(x, y, mod), Release(x, y, mod); }
  void RightClick(int x, int y) { Click(x, y, IMouseMod(false, true)); }
  void DragTo(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDrag(x, y, &mod); }
  void MoveTo(int x, int y) { IMouseMod mod; gui->OnMouseOver(x, y, &mod); }

  // Clicks the middle of a control's mouse area.
  void ClickOn(IControl* control)
  {
    const IRECT r = *control->GetTargetRECT();
    Click((r.L + r.R) / 2, (r.T + r.B) / 2);
  }
  // Picks item i of the menu the menu control shows.
  void PickMenuItem(int i)
  {
    const IRECT r = plug->GetMenuControl()->GetRootLevel().GetItemRECT(i);
    Click((r.L + r.R) / 2, (r.T + r.B) / 2);
  }
};

// Writes the back buffer as PNG where the test runs (ctest runs it in its build folder).
inline void WriteSnapshot(Editor& e, const std::string& name)
{
  lice_test::WriteBitmapPng(e.gui->GetDrawBitmap(), name + ".png");
}
}  // namespace edtest
