#pragma once

#include "filters/FilterZK.h"
#include "VornaParams.h"

// Each filter model spreads its frequency, resonance and drive knobs with its own
// curve (the exponent of the parameter's value curve): the formant filter's
// frequency picks a vowel along a straight line, the ladders need fine resonance
// near self-oscillation. The curves belong to the sound, not to the window: a
// learned controller, a program file and a render map through them alike.
struct FilterModelShapes
{
  double freq, q, drive;
};

// No default: a new model must be given its curves here.
constexpr FilterModelShapes ShapesForFilterModel(int model)
{
  constexpr FilterModelShapes kOutsideTheList = {2.0, 1.0, 1.5};
  if (model < 0 || model >= kNumFilterModels) return kOutsideTheList;
  switch (FilterModel(model))
  {
    case kFltReson: return {2.0, 0.3, 1.5};
    case kFltSimple: return {2.0, 0.2, 1.0};
    case kFltFormant: return {1.0, 1.0, 0.6};
    case kFltTLadder: return {2.0, 0.7, 1.5};
    case kFltMoog: return {2.0, 0.9, 1.5};
    case kFltOther:
    case kNumFilterModels: break;
  }
  return kOutsideTheList;
}

// The parameters of filter flt (0 or 1) whose curve the model chooses, and the two
// controls that only some models use.
struct FilterModelParams
{
  EParam freq, q, drive, passType, addParam;
};

constexpr FilterModelParams ParamsOfFilter(int flt)
{
  return flt == 0 ? FilterModelParams{kFlt1F, kFlt1Q, kFlt1Drive, kFlt1PassType, kFlt1AddParam}
                  : FilterModelParams{kFlt2F, kFlt2Q, kFlt2Drive, kFlt2PassType, kFlt2AddParam};
}
