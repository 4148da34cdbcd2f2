// Learned controllers move parameters on the audio thread while the editor redraws on
// the main thread: the audio thread only sets the parameter and posts its value; the
// main thread drains the posts before every frame and alone touches the controls. Once
// with the framework's frames called by hand, once through the editor's view, whose
// frame timer drains and draws in a headless window.
// Built under ThreadSanitizer only: it is the sanitizer that judges.
#include "IControls.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "Vorna.h"
#include "VornaParams.h"
#include "headless_graphics.h"
#include "test_images.h"

#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace
{
constexpr int kBlockSize = 128;
constexpr int kBlocks = 300;
constexpr uint8_t kCutoffCC = 74, kResonanceCC = 71;
}  // namespace

namespace
{
// The editor's view with the test's generated knob strip.
class ViewGraphics : public IGraphicsMac
{
public:
  using IGraphicsMac::IGraphicsMac;
  LICE_IBitmap* OSLoadBitmap(int, const char*) override { return MakeKnobStrip(32, 16); }
};

HeadlessGraphics* MakeGraphics(HeadlessGraphics*, Vorna* plug)
{
  auto* gui = new HeadlessGraphics(plug, 200, 100);
  gui->images["knob.png"] = [] { return MakeKnobStrip(32, 16); };
  return gui;
}

ViewGraphics* MakeGraphics(ViewGraphics*, Vorna* plug)
{
  return new ViewGraphics(plug, 200, 100);
}

// The plug-in with two learned controllers and an editor of three knobs and a display.
template <class Graphics>
struct LearnedEditor
{
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug{MakePlug(nullptr, &midiOutChannel)};
  Graphics* gui = nullptr;
  IControl* cutoff = nullptr;
  IControl* resonance = nullptr;
  IText text{11, &COLOR_WHITE};
  std::vector<double> silence = std::vector<double>(kBlockSize);
  double* ins[8];

  LearnedEditor()
  {
    plug->SetSampleRate(48000);
    plug->SetBlockSize(kBlockSize);
    plug->Reset();
    gui = MakeGraphics(static_cast<Graphics*>(nullptr), plug.get());
    IBitmap strip = gui->LoadIBitmap(1, "knob.png", 16);
    cutoff = new IKnobMultiControl(plug.get(), 10, 10, kFlt1F, &strip);
    resonance = new IKnobMultiControl(plug.get(), 60, 10, kFlt1Q, &strip);
    auto* dragged = new IKnobMultiControl(plug.get(), 110, 10, kFlt1Env, &strip);
    auto* display = new ITextControl(plug.get(), IRECT(10, 60, 190, 80), &text);
    cutoff->SetValDisplayControl(display);
    for (IControl* c : std::vector<IControl*>{cutoff, resonance, dragged, display}) gui->AttachControl(c);
    plug->AttachGraphics(gui);
    for (double*& in : ins) in = silence.data();

    // Both controllers learned: each binds on the audio thread with its first message.
    Learn(kFlt1F, kCutoffCC);
    Learn(kFlt1Q, kResonanceCC);
  }

  void Learn(int paramIdx, uint8_t cc)
  {
    plug->OnMenuClickMidiLearn(paramIdx);
    IMidiMsg bind(0, 0xB0, cc, 0);
    plug->ProcessMidiMsg(&bind);
    std::vector<double> outLeft(kBlockSize), outRight(kBlockSize);
    double* outs[2] = {outLeft.data(), outRight.data()};
    plug->LockMutexAndProcessDoubleReplacing(ins, outs, kBlockSize);
  }

  // The audio thread's blocks, each after both controllers moved.
  std::thread PlayControllers(std::atomic<bool>* done)
  {
    return std::thread([this, done] {
      std::vector<double> l(kBlockSize), r(kBlockSize);
      double* o[2] = {l.data(), r.data()};
      for (int block = 0; block < kBlocks; ++block)
      {
        IMidiMsg a(0, 0xB0, kCutoffCC, uint8_t(block % 128)), b(0, 0xB0, kResonanceCC, uint8_t((block * 7) % 128));
        plug->ProcessMidiMsg(&a);
        plug->ProcessMidiMsg(&b);
        plug->LockMutexAndProcessDoubleReplacing(ins, o, kBlockSize);
      }
      *done = true;
    });
  }

  // After the last drain the controls show what the parameters hold.
  void ExpectControlsShowTheParameters()
  {
    EXPECT_DOUBLE_EQ(cutoff->GetValue(), plug->GetParam(kFlt1F)->GetNormalized());
    EXPECT_DOUBLE_EQ(resonance->GetValue(), plug->GetParam(kFlt1Q)->GetNormalized());
    EXPECT_NEAR(plug->GetParam(kFlt1F)->GetNormalized(), ((kBlocks - 1) % 128) / 127.0, 1e-9);
  }
};
}  // namespace

TEST(GuiThreads, LearnedControllersPostWhileTheEditorRedraws)
{
  LearnedEditor<HeadlessGraphics> e;
  ASSERT_EQ(e.plug->GetLearnedCC(kFlt1F), kCutoffCC);
  ASSERT_EQ(e.plug->GetLearnedCC(kFlt1Q), kResonanceCC);

  std::atomic<bool> done = false;
  std::thread midiAndAudio = e.PlayControllers(&done);

  // The main thread: a frame after another, while the user drags a third knob.
  int frames = 0, drawn = 0;
  IMouseMod left(true);
  while (!done.load())
  {
    e.gui->OnMouseDown(120, 20, &left);
    e.gui->OnMouseDrag(120, 20 - frames % 20, &left);
    e.gui->OnMouseUp(120, 20 - frames % 20, &left);
    e.gui->DrainParamMailbox();
    IRECT r;
    if (e.gui->IsDirty(&r)) drawn += e.gui->Draw(&r);
    ++frames;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  midiAndAudio.join();

  e.gui->DrainParamMailbox();
  e.ExpectControlsShowTheParameters();
  EXPECT_GT(frames, 0);
  EXPECT_GT(drawn, 0);
}

TEST(GuiThreads, LearnedControllersPostWhileTheEditorsViewRedrawsOnItsTimer)
{
  cocoa::TestDriver driver;
  LearnedEditor<ViewGraphics> e;
  cocoa::NSWindow* window = new cocoa::NSWindow(cocoa::NSMakeRect(0, 0, 200, 100), cocoa::NSWindowStyleMaskBorderless);
  window->makeKeyAndOrderFront(nullptr);
  e.gui->OpenWindow(window->contentView());
  const long before = window->presentationCount();

  std::atomic<bool> done = false;
  std::thread midiAndAudio = e.PlayControllers(&done);
  // The main thread: frame timer beats in the window's run loop while the user drags the
  // third knob through the window.
  int beats = 0;
  while (!done.load())
  {
    driver.drag(window, cocoa::NSMakePoint(122, 23), cocoa::NSMakePoint(122, 23 - beats % 20), 2);
    driver.runFor(1.0 / 25);
    ++beats;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  midiAndAudio.join();

  driver.runFor(1.0 / 25);
  e.ExpectControlsShowTheParameters();
  EXPECT_GT(beats, 0);
  EXPECT_GT(window->presentationCount(), before);
  e.gui->CloseWindow();
  window->close();
}
