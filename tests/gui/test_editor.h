#pragma once

// A small plug-in and a test editor of stock controls on it, driven through IGraphics'
// event entry points on its memory back buffer.

#include "IControls.h"
#include "IParam.h"
#include "IPlugStandalone.h"
#include "bitmap_png.h"
#include "headless_graphics.h"
#include "lice_test_util.h"
#include "test_images.h"
#include "lice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace guitest
{
enum EParams
{
  kGain,    // double 0..1
  kMode,    // enum "saw", "square", "sine"
  kOn,      // bool "off", "on"
  kFreq,    // double 20..20000 Hz
  kSteps,   // int 0..10
  kNParams
};

// A standalone plug-in that records what its editor sends it.
class GuiPlug : public IPlugStandalone
{
public:
  GuiPlug()
      : IPlugStandalone(IPlugInstanceInfo{}, kNParams, "0-2", 0, "GuiTest", "", "Maker", 0x10000, 0x47756931,
                        0x4D6B7231, 0, false, false, true, 0)
  {
    GetParam(kGain)->InitDouble("gain", 0.5, 0.0, 1.0, 0.01, "", "", 1.0);
    GetParam(kMode)->InitEnum("mode", 1, 3, "", "");
    GetParam(kMode)->SetDisplayText(0, "saw");
    GetParam(kMode)->SetDisplayText(1, "square");
    GetParam(kMode)->SetDisplayText(2, "sine");
    GetParam(kOn)->InitBool("on", false, "", "");
    GetParam(kFreq)->InitDouble("freq", 440.0, 20.0, 20000.0, 1.0, "Hz", "", 1.0);
    GetParam(kSteps)->InitInt("steps", 3, 0, 10, "", "");
  }

  void OnParamChange(int paramIdx) override { changes.emplace_back(paramIdx, GetParam(paramIdx)->GetNormalized()); }
  void BeginInformHostOfParamChange(int paramIdx) override { begun.push_back(paramIdx); }
  void EndInformHostOfParamChange(int paramIdx) override { ended.push_back(paramIdx); }
  void ResizeGraphics(int w, int h) override { resized.emplace_back(w, h); }

  std::vector<std::pair<int, double>> changes;  // parameter and its normalised value
  std::vector<int> begun, ended;
  std::vector<std::pair<int, int>> resized;
};

// A control that records the events it is given.
class RecordingControl : public IControl
{
public:
  RecordingControl(IPlugBase* plug, IRECT r, int paramIdx = -1, const char* name = "")
      : IControl(plug, r, paramIdx), mName(name)
  {
  }
  bool Draw(IGraphics*) override
  {
    ++draws;
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod* mod) override { log("down", x, y), IControl::OnMouseDown(x, y, mod); }
  void OnMouseUp(int x, int y, IMouseMod*) override { log("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override
  {
    log("drag", x, y);
    drags.emplace_back(dX, dY);
  }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override
  {
    log("dbl", x, y);
    IControl::OnMouseDblClick(x, y, mod);
  }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override { log("wheel", x, y), wheel += d; }
  void OnMouseOver(int x, int y, IMouseMod*) override { log("over", x, y); }
  void OnMouseOut() override { events.push_back(mName + " out"); }
  bool OnKeyDown(int x, int y, int key) override
  {
    log("key", x, y);
    lastKey = key;
    return takesKeys;
  }

  std::vector<std::string> events;
  std::vector<std::pair<int, int>> drags;
  int draws = 0, wheel = 0, lastKey = -1;
  bool takesKeys = true;

private:
  void log(const char* what, int x, int y)
  {
    events.push_back(mName + " " + what + " " + std::to_string(x) + "," + std::to_string(y));
  }
  std::string mName;
};

// The test editor: a background, two knobs, a switch, a caption with a value display,
// a text label and a hidden panel (the pop-up that tests show and hide).
struct TestEditor
{
  static constexpr int kW = 240, kH = 160;
  static constexpr int kKnobSide = 40, kKnobFrames = 31;

  GuiPlug plug;
  HeadlessGraphics* gui = nullptr;
  IControl* knob = nullptr;
  IControl* knob2 = nullptr;
  IControl* toggle = nullptr;
  ITextControl* valueDisplay = nullptr;
  IControl* caption = nullptr;
  IControl* popup = nullptr;
  IText labelText{12, &COLOR_WHITE, "Geneva", IText::kStyleNormal, IText::kAlignNear};

  TestEditor()
  {
    gui = new HeadlessGraphics(&plug, kW, kH);
    gui->images["bg.png"] = [] { return MakeBackground(kW, kH); };
    gui->images["knob.png"] = [] { return MakeKnobStrip(kKnobSide, kKnobFrames); };
    gui->images["switch.png"] = [] { return MakeSwitchStrip(30, 16); };
    gui->AttachBackground(101, "bg.png");
    IBitmap knobs = gui->LoadIBitmap(102, "knob.png", kKnobFrames);
    IBitmap switches = gui->LoadIBitmap(103, "switch.png", 2);
    knob = new IKnobMultiControl(&plug, 20, 20, kGain, &knobs);
    knob2 = new IKnobMultiControl(&plug, 70, 20, kFreq, &knobs);
    toggle = new ISwitchControl(&plug, 130, 30, kOn, &switches);
    valueDisplay = new ITextControl(&plug, IRECT(10, 70, 110, 86), &labelText, "gain 0.50");
    knob->SetValDisplayControl(valueDisplay);
    IText captionText(12, &COLOR_YELLOW, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
    caption = new ICaptionControl(&plug, IRECT(120, 70, 230, 86), kFreq, &captionText);
    caption->DisablePrompt(false);
    gui->AttachControl(knob);
    gui->AttachControl(knob2);
    gui->AttachControl(toggle);
    gui->AttachControl(valueDisplay);
    gui->AttachControl(caption);
    gui->AttachControl(new ITextControl(&plug, IRECT(10, 120, 230, 140), &labelText, "Vorna test editor"));
    const IColor panel(230, 200, 60, 60);
    popup = new IPanelControl(&plug, IRECT(40, 10, 170, 110), &panel);
    popup->Hide(true);
    gui->AttachControl(popup);
    gui->HandleMouseOver(true);
    plug.AttachGraphics(gui);
  }

  // One frame as the platform's timer makes it; true when something was drawn.
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
    for (int i = 0; i < 4 && Frame(); ++i) {}
  }
  std::vector<unsigned int> Pixels() { return lice_test::Pixels(*gui->GetDrawBitmap()); }
  // Pixels as shown: the back buffer's alpha byte means nothing on the screen.
  std::vector<unsigned int> ScreenPixels()
  {
    std::vector<unsigned int> p = Pixels();
    for (unsigned int& v : p) v &= 0xFFFFFF;
    return p;
  }
  void SnapshotOnFailure(const std::string& name)
  {
    if (::testing::Test::HasFailure()) lice_test::WriteBitmapPng(gui->GetDrawBitmap(), name + ".png");
  }

  void Press(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDown(x, y, &mod); }
  void Release(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseUp(x, y, &mod); }
  void DragTo(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDrag(x, y, &mod); }
};
}  // namespace guitest
