#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shiver_test_support.h"

using namespace shiver_test;

namespace
{
constexpr int kRunFrames = 32;
constexpr int kRuns = 150;
constexpr int kStride = 8;
// Voice 0 stays silent: the shared modes push to it all the same.
constexpr int kSounding[] = {1, 2, 3, 5, 8};
constexpr int kLanes = 5;

// Lets a test throw a walk past its bounds, as rounding can over a long segment.
template <class Shiver>
struct Pushable : Shiver
{
  using Shiver::Shiver;
  void Nudge(int walk, int slot, double by) { this->mWalks[walk][slot].accumulator += by; }
};

template <class Shiver>
struct Pair
{
  template <class... Bounds>
  explicit Pair(Bounds... bounds) : frames(5, 41, bounds...), runs(5, 41, bounds...)
  {
    for (Rig<Pushable<Shiver>>* rig : {&frames, &runs})
    {
      for (FakeVoice& v : rig->voices) v.active = false;
      for (int v : kSounding) rig->voices[v].active = true;
      // Something a run can hold before any walk reaches a voice.
      for (FakeVoice& v : rig->voices) v.value[0] = v.value[1] = 0.25;
    }
  }
  template <class Change>
  void Both(Change change)
  {
    change(frames.shiver);
    change(runs.shiver);
  }
  Rig<Pushable<Shiver>> frames;
  Rig<Pushable<Shiver>> runs;
};

// Renders the same samples through Process one at a time and through runs of
// frames that walk ahead wherever no segment starts, and requires every value
// a run records, every value the voices hold after each run and the numbers
// drawn to be the same.
template <class Shiver, class Setup, class Midway>
void ExpectRunsWalkAsTheFrames(Pair<Shiver>& pair, Setup setup, Midway midway, const std::string& what)
{
  pair.Both(setup);
  int lane[ParamShiver::kNumVoices];
  std::fill(std::begin(lane), std::end(lane), -1);
  for (int i = 0; i < kLanes; ++i) lane[kSounding[i]] = i;
  int walkedAhead = 0;
  for (int run = 0; run < kRuns; ++run)
  {
    midway(pair, run);
    // What each frame reads: the frames' values before their sample.
    std::vector<double> expected(2 * kRunFrames * kStride, -7.0), rows(2 * kRunFrames * kStride, -7.0);
    for (int k = 0; k < kRunFrames; ++k)
    {
      for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < kLanes; ++i)
        {
          expected[(slot * kRunFrames + k) * kStride + i] = pair.frames.voices[kSounding[i]].value[slot];
          if (k == 0) rows[slot * kRunFrames * kStride + i] = pair.runs.voices[kSounding[i]].value[slot];
        }
      pair.frames.shiver.Process();
    }
    ParamShiver::WalkRecord record;
    record.rows[0] = rows.data();
    record.rows[1] = rows.data() + kRunFrames * kStride;
    record.lane = lane;
    record.stride = kStride;
    record.lastFrame = kRunFrames - 1;
    for (int k = 0; k < kRunFrames;)
    {
      const int ahead = pair.runs.shiver.SamplesBeforeADraw(kRunFrames - k);
      if (ahead > 0)
      {
        record.firstFrame = k;
        std::uint32_t written[2];
        pair.runs.shiver.WalkAhead(ahead, record, written);
        // A voice the walks did not reach holds its value.
        for (int slot = 0; slot < 2; ++slot)
          for (int i = 0; i < kLanes; ++i)
            if ((written[slot] >> kSounding[i] & 1) == 0)
              for (int j = k + 1; j <= std::min(k + ahead, kRunFrames - 1); ++j)
                rows[(slot * kRunFrames + j) * kStride + i] = rows[(slot * kRunFrames + k) * kStride + i];
        walkedAhead += ahead;
        k += ahead;
        continue;
      }
      pair.runs.shiver.Process();
      ++k;
      for (int slot = 0; slot < 2 && k < kRunFrames; ++slot)
        for (int i = 0; i < kLanes; ++i)
          rows[(slot * kRunFrames + k) * kStride + i] = pair.runs.voices[kSounding[i]].value[slot];
    }
    for (std::size_t at = 0; at < rows.size(); ++at)
      ASSERT_EQ(rows[at], expected[at]) << what << ", run " << run << ", slot " << at / (kRunFrames * kStride)
                                        << ", frame " << at / kStride % kRunFrames << ", lane " << at % kStride;
    for (int v = 0; v < ParamShiver::kNumVoices; ++v)
      for (int slot = 0; slot < 2; ++slot)
        ASSERT_EQ(pair.runs.voices[v].value[slot], pair.frames.voices[v].value[slot])
          << what << ", run " << run << ", voice " << v << ", slot " << slot;
  }
  EXPECT_EQ(pair.runs.random.Next(), pair.frames.random.Next()) << what;
  // Most samples must have gone ahead, or the runs would test nothing.
  EXPECT_GT(walkedAhead, kRuns * kRunFrames * 9 / 10) << what;
}

TEST(ShiverAhead, RunsWalkEveryModeAsTheFramesDo)
{
  for (ShiverSyncMode mode : {kShiverSyncNone, kShiverSyncVoice, kShiverSyncOsc, kShiverSyncAll})
  {
    const std::string what = "mode " + std::to_string(mode);
    const auto setup = [mode](auto& shiver) {
      shiver.SetSpeed(0, 100.0);  // segments of 240 to 720 samples: draws inside most runs
      shiver.SetSpeed(1, 37.0);
      shiver.SetSyncMode(mode);
      shiver.SetAmount(0, 1.0);
      shiver.SetAmount(1, 0.6);
    };
    // Amounts, switches and speeds change between runs as a player turns knobs.
    const auto midway = [](auto& pair, int run) {
      if (run == 40) pair.Both([](auto& s) { s.SetAmount(1, 0.0); });
      if (run == 60) pair.Both([](auto& s) { s.SetEnabled(0, false); });
      if (run == 70) pair.Both([](auto& s) { s.SetAmount(1, 0.3); });
      if (run == 90) pair.Both([](auto& s) { s.SetEnabled(0, true); });
      if (run == 100) pair.Both([](auto& s) { s.SetSpeed(0, 3.0); });
      if (run == 120)
        pair.Both([](auto& s) {
          for (int walk = 0; walk < ParamShiver::kNumVoices; ++walk) s.Nudge(walk, 0, 0.9);
        });
    };
    Pair<ParamShiver> tune(kTuneLower, kTuneUpper);
    ExpectRunsWalkAsTheFrames(tune, setup, midway, "tune, " + what);
    // A walk around a base near its upper bound, thrown past it, reflects.
    Pair<PShiverWBase> cutoff(-1.0, 1.0);
    ExpectRunsWalkAsTheFrames(
      cutoff,
      [&](auto& shiver) {
        setup(shiver);
        shiver.SetBaseValue(0, 0.7);
        shiver.SetBaseValue(1, -0.2);
      },
      midway, "cutoff, " + what);
    Pair<BendShiver> bend;
    ExpectRunsWalkAsTheFrames(bend, setup, midway, "bend, " + what);
  }
}
}  // namespace
