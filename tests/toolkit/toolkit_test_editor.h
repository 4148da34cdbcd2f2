#pragma once

// A small plug-in and a test editor built from the toolkit, driven headless through
// IGraphics' event entry points on its memory back buffer, and a recorder that
// logs every signal it is connected to.

#include "IControlZK.h"
#include "IParam.h"
#include "IPlugStandalone.h"
#include "bitmap_png.h"
#include "headless_graphics.h"
#include "lice_test_util.h"
#include "test_images.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tktest
{
enum EParams
{
  kGain,    // double 0..1
  kPan,     // double -1..1
  kModel,   // enum "reson", "simple", "frmnt", "t lad", "d lad"
  kOn,      // bool "off", "on"
  kVoices,  // int 1..16
  kFreq,    // double 20..20000 Hz
  kNParams
};

class ToolkitPlug : public IPlugStandalone
{
public:
  ToolkitPlug()
      : IPlugStandalone(IPlugInstanceInfo{}, kNParams, "0-2", 0, "ToolkitTest", "", "Maker", 0x10000, 0x546B7431,
                        0x4D6B7231, 0, false, false, true, 0)
  {
    GetParam(kGain)->InitDouble("gain", 0.5, 0.0, 1.0, 0.01, "", "", 1.0);
    GetParam(kPan)->InitDouble("pan", 0.0, -1.0, 1.0, 0.01, "", "", 1.0);
    GetParam(kModel)->InitEnum("flt model", 0, 5, "", "");
    const char* models[] = {"reson", "simple", "frmnt", "t lad", "d lad"};
    for (int i = 0; i < 5; ++i) GetParam(kModel)->SetDisplayText(i, models[i]);
    GetParam(kOn)->InitBool("on/off", false, "", "");
    GetParam(kVoices)->InitInt("voices", 8, 1, 16, "", "");
    GetParam(kFreq)->InitDouble("cutoff", 440.0, 20.0, 20000.0, 1.0, "Hz", "", 1.0);
  }

  void OnParamChange(int paramIdx) override { changes.emplace_back(paramIdx, GetParam(paramIdx)->GetNormalized()); }

  std::vector<std::pair<int, double>> changes;  // parameter and its normalised value
};

// Records every signal it is connected to, in the order of the calls, into a log that
// several recorders may share.
class SignalRecorder
{
public:
  explicit SignalRecorder(std::string name, std::vector<std::string>* log = nullptr)
      : mName(std::move(name)), mLog(log ? log : &mOwnLog)
  {
  }

  void RightClick(int id, int x, int y) { Add("right " + Args(id, x, y)); }
  void ShowTooltip(int id, const std::string* text, int x, int y)
  {
    Add("show " + Args(id, x, y) + " " + (text ? "'" + *text + "'" : "null"));
    lastTooltip = text;
  }
  void HideTooltip(int id) { Add("hide " + std::to_string(id)); }
  void Value(int id, double value) { Add("value " + std::to_string(id) + " " + std::to_string(value)); }
  void IntValue(int id, int value) { Add("int " + Args(id, value)); }
  void Item(int id, int on) { Add("item " + Args(id, on)); }

  // Connects the three signals every toolkit control has.
  void Listen(IControlZK& control)
  {
    control.mSignalRightClick.Connect(this, &SignalRecorder::RightClick);
    control.mSignalShowTooltip.Connect(this, &SignalRecorder::ShowTooltip);
    control.mSignalHideTooltip.Connect(this, &SignalRecorder::HideTooltip);
  }

  const std::vector<std::string>& Log() const { return *mLog; }
  void Clear() { mLog->clear(); }

  const std::string* lastTooltip = nullptr;

private:
  template <class... Ints>
  static std::string Args(Ints... values)
  {
    std::string s;
    ((s += (s.empty() ? "" : ",") + std::to_string(values)), ...);
    return s;
  }
  void Add(const std::string& entry) { mLog->push_back(mName.empty() ? entry : mName + ": " + entry); }

  std::string mName;
  std::vector<std::string> mOwnLog;
  std::vector<std::string>* mLog;
};

// The test editor: a gradient background and whatever controls a test attaches.
struct ToolkitEditor
{
  static constexpr int kW = 320, kH = 240;

  ToolkitPlug plug;
  HeadlessGraphics* gui = nullptr;

  ToolkitEditor()
  {
    gui = new HeadlessGraphics(&plug, kW, kH);
    gui->images["bg.png"] = [] { return MakeBackground(kW, kH); };
    gui->AttachBackground(101, "bg.png");
    gui->HandleMouseOver(true);
    plug.AttachGraphics(gui);
  }

  // A control strip of frames stacked top to bottom: the editor's own image when
  // VORNA_IMAGE_DIR names the folder the image generator wrote (to look at snapshots),
  // else the stand-in. Tests read frame sizes from the bitmap, so either will do.
  IBitmap Strip(int id, const std::string& file, int frames, std::function<LICE_IBitmap*()> standIn)
  {
    const char* dir = std::getenv("VORNA_IMAGE_DIR");
    const std::string path = dir && *dir ? std::string(dir) + "/" + file : std::string();
    gui->images[file] = [path, standIn]() -> LICE_IBitmap* {
      if (!path.empty())
        if (LICE_IBitmap* real = LICE_LoadPNG(path.c_str())) return real;
      return standIn();
    };
    return gui->LoadIBitmap(id, file.c_str(), frames);
  }

  template <class Control>
  Control* Attach(Control* control)
  {
    gui->AttachControl(control);
    return control;
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
    for (int i = 0; i < 6 && Frame(); ++i) {}
  }
  std::vector<unsigned int> ScreenPixels()
  {
    std::vector<unsigned int> p = lice_test::Pixels(*gui->GetDrawBitmap());
    for (unsigned int& v : p) v &= 0xFFFFFF;
    return p;
  }
  unsigned int ScreenPixel(int x, int y) { return LICE_GetPixel(gui->GetDrawBitmap(), x, y) & 0xFFFFFF; }

  // Writes the back buffer for a person to look at: always when VORNA_SNAPSHOT_DIR
  // names a folder, else only when the test has failed.
  void Snapshot(const std::string& name)
  {
    const char* dir = std::getenv("VORNA_SNAPSHOT_DIR");
    if (dir && *dir) lice_test::WriteBitmapPng(gui->GetDrawBitmap(), std::string(dir) + "/" + name + ".png");
    else if (::testing::Test::HasFailure()) lice_test::WriteBitmapPng(gui->GetDrawBitmap(), name + ".png");
  }

  void Press(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDown(x, y, &mod); }
  void Release(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseUp(x, y, &mod); }
  void Click(int x, int y, IMouseMod mod = IMouseMod(true)) { Press(x, y, mod), Release(x, y, mod); }
  void DragTo(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDrag(x, y, &mod); }
  void MoveTo(int x, int y, IMouseMod mod = IMouseMod()) { gui->OnMouseOver(x, y, &mod); }
  void DoubleClick(int x, int y, IMouseMod mod = IMouseMod(true)) { gui->OnMouseDblClick(x, y, &mod); }
  void Wheel(int x, int y, int d, IMouseMod mod = IMouseMod()) { gui->OnMouseWheel(x, y, &mod, d); }
};

// Counts the pixels of a rectangle that show exactly this colour.
inline int CountColor(ToolkitEditor& e, const IRECT& r, unsigned int rgb)
{
  int n = 0;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x) n += e.ScreenPixel(x, y) == (rgb & 0xFFFFFF);
  return n;
}

// Counts the pixels of a rectangle that text of this colour mostly covers: each channel
// within a quarter of the full range of it. Anti-aliased text in a thin face covers few
// pixels whole, so an exact count says more about the face than about the colour.
inline int CountInk(ToolkitEditor& e, const IRECT& r, unsigned int rgb)
{
  constexpr int kTolerance = 64;
  const auto near = [](unsigned int a, unsigned int b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) <= kTolerance;
  };
  int n = 0;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x)
    {
      const unsigned int p = e.ScreenPixel(x, y);
      n += near(p, rgb, 0) && near(p, rgb, 8) && near(p, rgb, 16);
    }
  return n;
}

inline unsigned int Rgb(const IColor& c)
{
  return LiceColor(c) & 0xFFFFFF;
}
}  // namespace tktest
