#pragma once

#include <cmath>
#include <limits>

#include "BendShiver.h"
#include "EngineRandom.h"
#include "PShiverWBase.h"
#include "ParamShiver.h"

namespace shiver_test
{
// Stands in for a voice: records what a shiver pushes to each oscillator.
struct FakeVoice
{
  bool active = false;
  double value[2] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
  int pushes[2] = {0, 0};

  void Set(int osc, double v)
  {
    value[osc] = v;
    ++pushes[osc];
  }
};

// One-semitone bounds of the tune shiver.
inline const double kTuneLower = std::pow(2.0, -1.0 / 12.0) - 1.0;
inline const double kTuneUpper = std::pow(2.0, 1.0 / 12.0) - 1.0;

// A shiver wired to 32 fake voices, the first `active` of them sounding, both
// slots enabled.
template <class Shiver>
struct Rig
{
  template <class... BoundArgs>
  explicit Rig(int activeVoices, std::uint64_t seed, BoundArgs... bounds) : random(seed), shiver(random, bounds...)
  {
    shiver.template SetTarget<&FakeVoice::Set, &FakeVoice::active>(voices);
    for (int v = 0; v < activeVoices; ++v) voices[v].active = true;
    shiver.SetEnabled(0, true);
    shiver.SetEnabled(1, true);
  }

  EngineRandom random;
  Shiver shiver;
  FakeVoice voices[ParamShiver::kNumVoices];
};

struct TuneRig : Rig<ParamShiver>
{
  explicit TuneRig(int activeVoices = 1, std::uint64_t seed = 7)
    : Rig<ParamShiver>(activeVoices, seed, kTuneLower, kTuneUpper)
  {
  }
};
}  // namespace shiver_test
