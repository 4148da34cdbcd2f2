#include "allocation_counter.h"
#include "synth_test_support.h"

#include <gtest/gtest.h>

using namespace synthtest;

// Everything the audio thread does through the plug-in: notes, stealing, ramps
// of continuous parameters, a learned controller, a controller being learned,
// the pitch wheel, pedals and panic. None of it may touch the heap.
TEST(ProcessingAllocation, TheAudioRoadNeverAllocates)
{
  Player player(48000, 256, 3);
  Vorna& plug = player.Plug();
  player.SetNow({{kNoise1Amnt, 0.3}, {kTune1ShiverAmount, 0.5}, {kPan2ShiverAmount, 0.5}, {kMaxVoiceCount, 4},
                 {kFm2Amnt, 2.0}});
  plug.OnMenuClickMidiLearn(kFlt1F);
  player.Run(2048, {NoteOn(0, 60), Controller(10, 74, 0)});

  std::vector<Event> events;
  for (int k = 0; k < 12; ++k)
  {
    events.push_back(NoteOn(player.Now() + 1000 * k, 48 + 3 * k, 90));
    events.push_back(NoteOff(player.Now() + 1000 * k + 2500, 48 + 3 * k));
    events.push_back(Controller(player.Now() + 1000 * k + 300, 74, 10 * k));
  }
  events.push_back(PitchWheel(player.Now() + 4000, 3000));
  events.push_back(Controller(player.Now() + 5000, 64, 127));
  events.push_back(Controller(player.Now() + 9000, 64, 0));
  // Armed now, "pan 1" joins controller 74 when the next one arrives.
  plug.OnMenuClickMidiLearn(kPan1);
  const long before = AllocationCount();
  double in[256] = {}, left[256], right[256];
  double* inputs[8] = {in, in, in, in, in, in, in, in};
  double* outputs[2] = {left, right};
  long now = player.Now();  // the events were built before counting
  size_t next = 0;
  for (int block = 0; block < 64; ++block)
  {
    if (block == 20) plug.SetParameterFromGUI(kOsc1Vol, 0.3);
    if (block == 21) plug.SetParameterFromGUI(kFlt2F, 0.2);
    if (block == 60) plug.SetParameterFromGUI(kMidiPanic, 1.0);
    for (; next < events.size() && events[next].frame < now + 256; ++next)
    {
      IMidiMsg msg = events[next].msg;
      msg.mOffset = int(events[next].frame - now);
      plug.ProcessMidiMsg(&msg);
    }
    plug.LockMutexAndProcessDoubleReplacing(inputs, outputs, 256);
    now += 256;
  }
  EXPECT_EQ(AllocationCount() - before, 0);
  EXPECT_EQ(plug.GetLearnedCC(kPan1), 74);
}
