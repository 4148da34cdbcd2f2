// The plug-in's three threads at once, as the application runs them: the MIDI
// thread hands notes, pedals, controllers and the pitch wheel to
// ProcessMidiMsg without a lock; the audio thread renders blocks under the
// plug-in mutex, where a learned controller moves its parameter; the main
// thread changes parameters as the editor does, learns and forgets
// controllers, sets the editor-side values and saves and restores the state.
// Built under ThreadSanitizer only: it is the sanitizer that judges.
#include "ByteChunk.h"
#include "Vorna.h"
#include "VornaParams.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace
{
constexpr int kSampleRate = 48000;
constexpr int kBlockSize = 256;
constexpr int kBlocks = 200;
constexpr int kInputChannels = 8;
// The learned controller, and the parameter it moves.
constexpr uint8_t kLearnedCC = 74;
constexpr int kLearnedParam = kFlt1F;

void SendMidi(Vorna& plug, uint8_t status, uint8_t data1, uint8_t data2)
{
  IMidiMsg msg(0, status, data1, data2);
  plug.ProcessMidiMsg(&msg);
}

// What a MIDI keyboard with a few knobs and pedals sends, as fast as the
// thread is scheduled.
void PlayMidi(Vorna& plug, const std::atomic<bool>& done)
{
  std::mt19937 random(3);
  std::uniform_int_distribution<int> key(36, 96), value(0, 127), kind(0, 19);
  std::vector<uint8_t> held;
  while (!done.load())
  {
    const int k = kind(random);
    if (k < 8)
    {
      const uint8_t note = uint8_t(key(random));
      SendMidi(plug, 0x90, note, uint8_t(1 + value(random) % 127));
      held.push_back(note);
    }
    else if (k < 14 && !held.empty())
    {
      SendMidi(plug, 0x80, held.back(), 0);
      held.pop_back();
    }
    else if (k < 16)
      SendMidi(plug, 0xB0, kLearnedCC, uint8_t(value(random)));
    else if (k == 16)
      SendMidi(plug, 0xB0, 64, uint8_t(value(random)));
    else if (k == 17)
      SendMidi(plug, 0xE0, uint8_t(value(random)), uint8_t(value(random)));
    else if (k == 18)
      SendMidi(plug, 0xB0, 1, uint8_t(value(random)));
    else
    {
      SendMidi(plug, 0xB0, 123, 0);
      held.clear();
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

// The host's audio callback: one block after another, noise on the inputs.
void RenderAudio(Vorna& plug, std::atomic<bool>& done, std::atomic<long>& sounding, std::atomic<bool>& finite)
{
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  std::vector<double> in[kInputChannels], left(kBlockSize), right(kBlockSize);
  double* inputs[kInputChannels];
  for (int c = 0; c < kInputChannels; ++c)
  {
    in[c].resize(kBlockSize);
    inputs[c] = in[c].data();
  }
  double* outputs[2] = {left.data(), right.data()};
  for (int block = 0; block < kBlocks; ++block)
  {
    for (auto& channel : in)
      for (double& x : channel) x = noise(random);
    plug.LockMutexAndProcessDoubleReplacing(inputs, outputs, kBlockSize);
    for (int i = 0; i < kBlockSize; ++i)
    {
      if (!std::isfinite(left[i]) || !std::isfinite(right[i])) finite = false;
      if (left[i] != 0.0) ++sounding;
    }
  }
  done = true;
}

TEST(PluginThreads, MidiAudioAndMainThreadsShareThePlugin)
{
  unsigned short midiOutChannel = 0;
  std::unique_ptr<Vorna> plug(MakePlug(nullptr, &midiOutChannel));
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kBlockSize);
  plug->Reset();
  plug->SeedRandom(1);
  // The next controller binds, on the audio thread, and then moves the parameter.
  plug->OnMenuClickMidiLearn(kLearnedParam);

  std::atomic<bool> done = false, finite = true;
  std::atomic<long> sounding = 0;
  std::thread midi(PlayMidi, std::ref(*plug), std::cref(done));
  std::thread audio(RenderAudio, std::ref(*plug), std::ref(done), std::ref(sounding), std::ref(finite));

  // The main thread: the editor and the host's preset handling.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> param(0, kNumParams - 1), pair(1, Vorna::kInputPairs), choice(0, 9);
  std::uniform_real_distribution<double> normalised(0.0, 1.0), tempo(60.0, 180.0);
  ByteChunk saved;
  ASSERT_TRUE(plug->SerializeState(&saved));
  int rounds = 0;
  size_t shownLength = 0;
  while (!done.load())
  {
    for (int k = 0; k < 8; ++k)
    {
      const int p = param(random);
      // Leave the pitch alone: a panic or a switched-off oscillator would
      // silence what the other threads need to sound.
      if (p == kMidiPanic || p == kOsc1OnOff || p == kOsc2OnOff) continue;
      plug->SetParameterFromGUI(p, normalised(random));
    }
    switch (choice(random))
    {
      case 0:
      {
        ByteChunk state;
        EXPECT_TRUE(plug->SerializeState(&state));
        EXPECT_EQ(plug->UnserializeState(&saved, 0), saved.Size());
        saved = std::move(state);
        break;
      }
      case 1: plug->OnMenuClickMidiLearn(param(random)); break;
      case 2: plug->OnMenuClickMidiForget(param(random)); break;
      case 3: plug->OnChannelConfigChange(Vorna::kFMInputPair, pair(random)); break;
      case 4: plug->SetMaskInput(Vorna::kMaskInputBox, normalised(random) < 0.5 ? 0.0 : 1.0); break;
      case 5: plug->OnGuiBpmChange(Vorna::kTempoField, tempo(random)); break;
      case 6: plug->SetAMView(0, normalised(random)); break;
      default:
        // What the editor shows of a controller the audio thread may be binding.
        shownLength += plug->GetMidiForgetText(param(random)).size();
        break;
    }
    ++rounds;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  audio.join();
  midi.join();

  EXPECT_TRUE(finite.load());
  EXPECT_GT(sounding.load(), 0) << "the threads must have played something";
  EXPECT_GT(rounds, 0);
  EXPECT_GT(shownLength, 0u);
}
}  // namespace
