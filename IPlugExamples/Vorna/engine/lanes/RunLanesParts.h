#pragma once

// The files the runs' lanes are built in: each builds the lanes of a part of
// the waveforms and filter models (and each of those on SSE2 and on AVX2), so
// that no one file grows much heavier to compile than the others. PartOf is
// the one place that says which file renders a slot.
#include "OscWaves.h"
#include "filters/FilterKinds.h"
#include "lanes/RunLanes.h"

namespace RunLanes
{
enum Part
{
  kPartCommon,   // the sine, saw, square and triangle through the other models or none
  kPartFormant,  // every waveform through the formant filter
  kPartSinc,     // the sinc through the other models or none
  kPartPolysaw,  // the polysaw through the other models or none
  kNumParts
};

// The part of waveform w through filter model m (kFltOther: no filter).
// No default in either switch: a new waveform or model must be given its file.
constexpr Part PartOf(OscWave w, FilterModel m)
{
  switch (m)
  {
  case kFltFormant: return kPartFormant;
  case kFltOther:
  case kFltReson:
  case kFltSimple:
  case kFltTLadder:
  case kFltMoog:
  case kNumFilterModels: break;
  }
  switch (w)
  {
  case kOscSinc: return kPartSinc;
  case kOscPolysaw: return kPartPolysaw;
  case kOscSine:
  case kOscSaw:
  case kOscSquare:
  case kOscTri:
  case kNumOscWaves: break;
  }
  return kPartCommon;
}

// Each part on each instruction set, each defined in the file that builds it.
template <Part>
void RenderPartSse2(Slot& slot, int voices, int frames, double* left, double* right);
template <Part>
void RenderPartAvx2(Slot& slot, int voices, int frames, double* left, double* right);
template <>
void RenderPartSse2<kPartCommon>(Slot&, int, int, double*, double*);
template <>
void RenderPartSse2<kPartFormant>(Slot&, int, int, double*, double*);
template <>
void RenderPartSse2<kPartSinc>(Slot&, int, int, double*, double*);
template <>
void RenderPartSse2<kPartPolysaw>(Slot&, int, int, double*, double*);
template <>
void RenderPartAvx2<kPartCommon>(Slot&, int, int, double*, double*);
template <>
void RenderPartAvx2<kPartFormant>(Slot&, int, int, double*, double*);
template <>
void RenderPartAvx2<kPartSinc>(Slot&, int, int, double*, double*);
template <>
void RenderPartAvx2<kPartPolysaw>(Slot&, int, int, double*, double*);
}  // namespace RunLanes
