// Learned controllers on the parameters whose rules hide and relabel controls, moved
// on the audio thread while the real editor redraws: the rules run on the main thread
// only, from the frames. Built under ThreadSanitizer only: it is the sanitizer that judges.
#include "EditorLayout.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "headless_graphics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int kBlockSize = 64;
constexpr int kBlocks = 400;
constexpr uint8_t kWaveCC = 20, kModelCC = 21, kSyncCC = 22;

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
}  // namespace

TEST(EditorThreads, RulesFollowLearnedControllersOnTheMainThread)
{
  unsigned short channel = 0;
  Vorna::SetGraphicsMaker(MakeEditorSurface);
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &channel));
  Vorna::SetGraphicsMaker(nullptr);
  IGraphics* gui = plug->GetGUI();
  ASSERT_NE(gui, nullptr);
  plug->SetSampleRate(48000);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();

  std::vector<double> silence(kBlockSize), l(kBlockSize), r(kBlockSize);
  double* ins[8];
  for (double*& in : ins) in = silence.data();
  double* outs[2] = {l.data(), r.data()};
  const std::pair<int, uint8_t> bindings[] = {{kWaveform1, kWaveCC}, {kFlt1Model, kModelCC}, {kHardsyncMaster, kSyncCC}};
  for (const auto& [param, cc] : bindings)
  {
    plug->OnMenuClickMidiLearn(param);
    IMidiMsg bind(0, 0xB0, cc, 0);
    plug->ProcessMidiMsg(&bind);
    plug->LockMutexAndProcessDoubleReplacing(ins, outs, kBlockSize);
  }

  std::atomic<bool> done = false;
  std::thread audio([&] {
    for (int block = 0; block < kBlocks; ++block)
    {
      for (const auto& [param, cc] : bindings)
      {
        IMidiMsg move(0, 0xB0, cc, uint8_t((block * (cc - 17)) % 128));
        plug->ProcessMidiMsg(&move);
      }
      plug->LockMutexAndProcessDoubleReplacing(ins, outs, kBlockSize);
    }
    done = true;
  });

  int frames = 0;
  IMouseMod right(false, true);
  const IRECT knob = *plug->GetParamControl(kFlt1F)->GetTargetRECT();
  while (!done.load())
  {
    if (frames % 25 == 0) gui->OnMouseDown(knob.L + 3, knob.T + 3, &right);  // its menu opens
    gui->DrainParamMailbox();
    IRECT dirty;
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
    ++frames;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  audio.join();
  gui->DrainParamMailbox();

  // After the last frame the editor shows what the sound holds.
  const int wave = plug->GetParam(kWaveform1)->Int();
  EXPECT_EQ(plug->GetParamControl(kWf1SyncWidth)->IsHidden(), wave != kOscSinc);
  EXPECT_EQ(plug->GetParamControl(kWf1PolysawType)->IsHidden(), wave != kOscPolysaw);
  const bool formant = plug->GetParam(kFlt1Model)->Int() == kFltFormant;
  EXPECT_EQ(plug->GetParamControl(kFlt1AddParam)->IsHidden(), !formant);
  EXPECT_EQ(plug->GetParamControl(kFlt1F)->GetLabel(0).mText, formant ? "vowel" : "f");
  EXPECT_EQ(plug->GetParamControl(kHsSoft)->IsHidden(), plug->GetParam(kHardsyncMaster)->Int() == 1);
  EXPECT_GT(frames, 0);
}
