// Learned controllers move parameters on the audio thread while the editor redraws on
// the main thread: the audio thread only sets the parameter and posts its value; the
// main thread drains the posts before every frame and alone touches the controls.
// Built under ThreadSanitizer only: it is the sanitizer that judges.
#include "IControls.h"
#include "Vorna.h"
#include "VornaParams.h"
#include "headless_graphics.h"
#include "test_images.h"

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

TEST(GuiThreads, LearnedControllersPostWhileTheEditorRedraws)
{
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &midiOutChannel));
  plug->SetSampleRate(48000);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();

  auto* gui = new HeadlessGraphics(plug.get(), 200, 100);
  gui->images["knob.png"] = [] { return MakeKnobStrip(32, 16); };
  IBitmap strip = gui->LoadIBitmap(1, "knob.png", 16);
  IText text(11, &COLOR_WHITE);
  auto* cutoff = new IKnobMultiControl(plug.get(), 10, 10, kFlt1F, &strip);
  auto* resonance = new IKnobMultiControl(plug.get(), 60, 10, kFlt1Q, &strip);
  auto* dragged = new IKnobMultiControl(plug.get(), 110, 10, kFlt1Env, &strip);
  auto* display = new ITextControl(plug.get(), IRECT(10, 60, 190, 80), &text);
  cutoff->SetValDisplayControl(display);
  for (IControl* c : std::vector<IControl*>{cutoff, resonance, dragged, display}) gui->AttachControl(c);
  plug->AttachGraphics(gui);

  // Both controllers learned: each binds on the audio thread with its first message.
  plug->OnMenuClickMidiLearn(kFlt1F);
  IMidiMsg bindCutoff(0, 0xB0, kCutoffCC, 0);
  plug->ProcessMidiMsg(&bindCutoff);
  std::vector<double> silence(kBlockSize);
  double* ins[8];
  for (double*& in : ins) in = silence.data();
  std::vector<double> outLeft(kBlockSize), outRight(kBlockSize);
  double* outs[2] = {outLeft.data(), outRight.data()};
  plug->LockMutexAndProcessDoubleReplacing(ins, outs, kBlockSize);
  plug->OnMenuClickMidiLearn(kFlt1Q);
  IMidiMsg bindResonance(0, 0xB0, kResonanceCC, 0);
  plug->ProcessMidiMsg(&bindResonance);
  plug->LockMutexAndProcessDoubleReplacing(ins, outs, kBlockSize);
  ASSERT_EQ(plug->GetLearnedCC(kFlt1F), kCutoffCC);
  ASSERT_EQ(plug->GetLearnedCC(kFlt1Q), kResonanceCC);

  std::atomic<bool> done = false;
  std::thread midiAndAudio([&] {
    std::vector<double> l(kBlockSize), r(kBlockSize);
    double* o[2] = {l.data(), r.data()};
    for (int block = 0; block < kBlocks; ++block)
    {
      IMidiMsg a(0, 0xB0, kCutoffCC, uint8_t(block % 128)), b(0, 0xB0, kResonanceCC, uint8_t((block * 7) % 128));
      plug->ProcessMidiMsg(&a);
      plug->ProcessMidiMsg(&b);
      plug->LockMutexAndProcessDoubleReplacing(ins, o, kBlockSize);
    }
    done = true;
  });

  // The main thread: a frame after another, while the user drags a third knob.
  int frames = 0, drawn = 0;
  IMouseMod left(true);
  while (!done.load())
  {
    gui->OnMouseDown(120, 20, &left);
    gui->OnMouseDrag(120, 20 - frames % 20, &left);
    gui->OnMouseUp(120, 20 - frames % 20, &left);
    gui->DrainParamMailbox();
    IRECT r;
    if (gui->IsDirty(&r)) drawn += gui->Draw(&r);
    ++frames;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  midiAndAudio.join();

  // After the last drain the controls show what the parameters hold.
  gui->DrainParamMailbox();
  EXPECT_DOUBLE_EQ(cutoff->GetValue(), plug->GetParam(kFlt1F)->GetNormalized());
  EXPECT_DOUBLE_EQ(resonance->GetValue(), plug->GetParam(kFlt1Q)->GetNormalized());
  EXPECT_NEAR(plug->GetParam(kFlt1F)->GetNormalized(), ((kBlocks - 1) % 128) / 127.0, 1e-9);
  EXPECT_GT(frames, 0);
  EXPECT_GT(drawn, 0);
}
