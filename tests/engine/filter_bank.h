#pragma once

#include "filters/BiquadZK.h"
#include "filters/DiodeLadderZDF.h"
#include "filters/FilterZK.h"
#include "filters/FormantFltZK.h"
#include "filters/StateVariableZDF.h"
#include "filters/TransistorLadderZDF.h"

namespace filter_test
{
// One object of every model, as a voice's filter slot holds them. Build it after
// setting the sample rate: the models read it when they are made and reset.
struct FilterBank
{
  StateVariableZDF reson;
  BiquadZK simple;
  FormantFltZK formant;
  TransistorLadderZDF tLadder;
  DiodeLadderZDF moog;

  FilterZK& Get(FilterModel model)
  {
    switch (model)
    {
      case kFltReson: return reson;
      case kFltFormant: return formant;
      case kFltTLadder: return tLadder;
      case kFltMoog: return moog;
      case kFltSimple:
      case kFltOther:
      case kNumFilterModels: break;
    }
    return simple;
  }
};

// Sets a filter up the way its container does when a voice starts.
inline void Configure(FilterZK& filter, FilterPassType type, double cutoff, double resonance, double drive,
                      double additional)
{
  filter.SetPassType(type);
  filter.Reset();
  filter.SetFreq(cutoff);
  filter.SetResonance(resonance);
  filter.SetDrive(drive);
  filter.SetAdditionalParam(additional);
}

// Deterministic white noise, uniform in [-1, 1].
class WhiteNoise
{
public:
  explicit WhiteNoise(unsigned seed) : mState(seed ? seed : 1u) {}
  double Next()
  {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<double>(mState) / 2147483647.5 - 1.0;
  }

private:
  unsigned mState;
};
}  // namespace filter_test
