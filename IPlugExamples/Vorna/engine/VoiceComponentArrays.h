#pragma once

#include "BiquadZK.h"
#include "DCremove.h"
#include "Declicker.h"
#include "DiodeLadderZDF.h"
#include "EnvelopeGenerator.h"
#include "FilterContainer.h"
#include "FormantFltZK.h"
#include "Oscillator.h"
#include "SoftLimiter.h"
#include "StateVariableZDF.h"
#include "TransistorLadderZDF.h"

// Every per-oscillator component of all 32 voices, built once with the engine.
// Element 2 x voice + oscillator of each array belongs to that voice's
// oscillator. Choosing a filter model only repoints a container at the
// element's preallocated object of that model.
struct VoiceComponentArrays
{
  static constexpr int kNumVoices = 32;
  static constexpr int kNumOscs = 2;
  static constexpr int kNumElements = kNumVoices * kNumOscs;

  static int Element(int voice, int osc) { return kNumOscs * voice + osc; }

  // The element's filter of model m; any unknown model is the biquad.
  FilterZK* Filter(int element, FilterModel m)
  {
    switch (m)
    {
      case kFltReson: return &reson[element];
      case kFltFormant: return &formant[element];
      case kFltTLadder: return &tLadder[element];
      case kFltMoog: return &moog[element];
      case kFltSimple:
      default: return &simple[element];
    }
  }

  Oscillator oscillators[kNumElements];
  EnvelopeGenerator ampEnvelopes[kNumElements];
  FilterContainer filters[kNumElements];
  StateVariableZDF reson[kNumElements];
  BiquadZK simple[kNumElements];
  FormantFltZK formant[kNumElements];
  TransistorLadderZDF tLadder[kNumElements];
  DiodeLadderZDF moog[kNumElements];
  SoftLimiter limiters[kNumElements];
  DCremove dcRemovers[kNumElements];
  Declicker declickers[kNumElements];
};
