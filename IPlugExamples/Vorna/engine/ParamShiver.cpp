#include "ParamShiver.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "globals.h"

namespace
{
// Samples per segment at a speed, at least one.
int BasePeriodFor(double hz)
{
  return std::max(1, static_cast<int>(std::trunc(PlugG::SR / hz)));
}

int TruncateToSamples(double samples)
{
  if (!(samples >= 0.0)) return 0;
  if (samples >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(samples);
}
}  // namespace

ParamShiver::ParamShiver(EngineRandom& random, double lowerBound, double upperBound) : mRandom(&random)
{
  for (Slot& slot : mSlots)
  {
    slot.lowerBound = lowerBound;
    slot.upperBound = upperBound;
    slot.speed = PlugG::SR / kInitialBasePeriod;
  }
}

// ---------------------------------------------------------------------------
// Virtual operations: the tune shiver's own.

void ParamShiver::BoundariesPrecisionCorrection(int /*walk*/, int slot, double* value)
{
  *value = std::clamp(*value, mSlots[slot].lowerBound, mSlots[slot].upperBound);
}

void ParamShiver::CalcRanges(int slot)
{
  Slot& s = mSlots[slot];
  s.minusRange = -s.lowerBound * s.amount;
  s.plusRange = s.amount * s.upperBound;
}

void ParamShiver::UpdateTotalValueWithZeroAmount(int walk, int slot)
{
  mWalks[walk][slot].value = 1.0;
}

void ParamShiver::UpdateTotalParamValue(int walk, int slot)
{
  mWalks[walk][slot].value = FactorOf(mWalks[walk][slot].accumulator);
}

void ParamShiver::SetVal(int walk, int slot, int voice, int voiceSlot)
{
  Push(voice, voiceSlot, mWalks[walk][slot].value);
}

// ---------------------------------------------------------------------------
// Walking.

void ParamShiver::CalculateDelta(int walk, int slot)
{
  Walk& w = mWalks[walk][slot];
  const int basePeriod = mSlots[slot].basePeriod;
  const int halfSpan = basePeriod / 2;
  w.counter = 0;
  w.length = std::max(1, basePeriod + mRandom->Next() % (2 * halfSpan + 1) - halfSpan);
  w.previousDraw = w.draw;
  w.previousTarget = w.target;
  w.draw = mRandom->Next() * kRandomScale - 1.0;
  w.target = w.draw * RangeFor(slot, w.draw);
  w.step = (w.target - w.accumulator) / w.length;
}

void ParamShiver::CalculateSlaveDelta(int walk)
{
  const Walk& leader = mWalks[walk][0];
  Walk& follower = mWalks[walk][1];
  follower.target = leader.draw * RangeFor(1, leader.draw);
  follower.step = (follower.target - follower.accumulator) / leader.length;
}

void ParamShiver::Accumulate(int walk, int slot, bool follow)
{
  Walk& w = mWalks[walk][slot];
  // >= rather than ==: a walk can never run past its segment and drift away.
  if (w.counter >= w.length)
  {
    CalculateDelta(walk, slot);
    if (follow) CalculateSlaveDelta(walk);
  }
  w.accumulator += w.step;
  if (follow) mWalks[walk][1].accumulator += mWalks[walk][1].step;
  ++w.counter;
}

void ParamShiver::ProcessWalks()
{
  switch (mSyncMode)
  {
    case kShiverSyncVoice:
      ProcessFollowingInVoice();
      break;
    case kShiverSyncOsc:
      ProcessSharedPerSlot();
      break;
    case kShiverSyncAll:
      ProcessSharedFollowing();
      break;
    case kShiverSyncNone:
    default:
      ProcessIndependent();
      break;
  }
  FreezeSilentSlots();
}

void ParamShiver::ProcessIndependent()
{
  bool walking[kNumSlots];
  for (int slot = 0; slot < kNumSlots; ++slot) walking[slot] = mSlots[slot].enabled && !mSlots[slot].frozen;
  // Most patches leave a shiver at amount 0: then no voice needs a visit.
  if (!walking[0] && !walking[1]) return;
  for (int voice = 0; voice < kNumVoices; ++voice)
  {
    if (!IsVoiceActive(voice)) continue;
    for (int slot = 0; slot < kNumSlots; ++slot)
    {
      if (!walking[slot]) continue;
      Accumulate(voice, slot, false);
      UpdateTotalParamValue(voice, slot);
      SetVal(voice, slot, voice, slot);
    }
  }
}

void ParamShiver::ProcessFollowingInVoice()
{
  for (int voice = 0; voice < kNumVoices; ++voice)
  {
    if (!IsVoiceActive(voice)) continue;
    Accumulate(voice, 0, true);
    UpdateTotalParamValue(voice, 0);
    UpdateTotalParamValue(voice, 1);
    SetVal(voice, 0, voice, 0);
    SetVal(voice, 1, voice, 1);
  }
}

void ParamShiver::ProcessSharedPerSlot()
{
  for (int slot = 0; slot < kNumSlots; ++slot)
  {
    if (!mSlots[slot].enabled || mSlots[slot].frozen) continue;
    Accumulate(kSharedWalk, slot, false);
    UpdateTotalParamValue(kSharedWalk, slot);
    SetVal(kSharedWalk, slot, 0, slot);
    for (int voice = 1; voice < kNumVoices; ++voice)
      if (IsVoiceActive(voice)) SetVal(kSharedWalk, slot, voice, slot);
  }
}

void ParamShiver::ProcessSharedFollowing()
{
  Accumulate(kSharedWalk, 0, true);
  UpdateTotalParamValue(kSharedWalk, 0);
  UpdateTotalParamValue(kSharedWalk, 1);
  for (int voice = 0; voice < kNumVoices; ++voice)
  {
    if (voice != 0 && !IsVoiceActive(voice)) continue;
    SetVal(kSharedWalk, 0, voice, 0);
    SetVal(kSharedWalk, 1, voice, 1);
  }
}

// ---------------------------------------------------------------------------
// Walking ahead for the runs of frames.

void ParamShiver::WalkSteps(int walk, int slot, int samples, bool counts, double* out, int stride, int written)
{
  WalkStepsWith(walk, slot, samples, counts, out, stride, written,
                [](double accumulator) { return FactorOf(accumulator); });
}

int ParamShiver::SamplesBeforeADraw(int limit) const
{
  if (IsIdle()) return limit;
  // A slot that Process would freeze: one sample of Process first.
  for (const Slot& slot : mSlots)
    if (slot.amount == 0.0 && !slot.frozen) return 0;
  int samples = limit;
  switch (mSyncMode)
  {
    case kShiverSyncVoice:
      for (int voice = 0; voice < kNumVoices; ++voice)
        if (IsVoiceActive(voice)) samples = std::min(samples, SamplesLeft(voice, 0));
      break;
    case kShiverSyncOsc:
      for (int slot = 0; slot < kNumSlots; ++slot)
        if (Walking(slot)) samples = std::min(samples, SamplesLeft(kSharedWalk, slot));
      break;
    case kShiverSyncAll:
      samples = std::min(samples, SamplesLeft(kSharedWalk, 0));
      break;
    case kShiverSyncNone:
    default:
      if (!Walking(0) && !Walking(1)) break;
      for (int voice = 0; voice < kNumVoices; ++voice)
      {
        if (!IsVoiceActive(voice)) continue;
        for (int slot = 0; slot < kNumSlots; ++slot)
          if (Walking(slot)) samples = std::min(samples, SamplesLeft(voice, slot));
      }
      break;
  }
  return std::max(samples, 0);
}

void ParamShiver::WalkAheadFor(int walk, int slot, int samples, bool counts, bool shared, const WalkRecord& record,
                               std::uint32_t& written)
{
  double values[kMaxSamplesAhead];
  double* const rows = record.rows[slot];
  const int first = record.firstFrame + 1;
  const int recorded = rows ? std::clamp(record.lastFrame - first + 1, 0, samples) : 0;
  if (!shared)
  {
    const int lane = record.lane[walk];
    if (lane < 0 || recorded == 0)
    {
      WalkSteps(walk, slot, samples, counts, values, 0, 0);
    }
    else
    {
      WalkSteps(walk, slot, samples, counts, rows + first * record.stride + lane, record.stride, recorded);
      written |= 1u << walk;
    }
    SetVal(walk, slot, walk, slot);
    return;
  }
  WalkSteps(walk, slot, samples, counts, values, 1, recorded);
  // Voice 0 takes the shared walk whether it sounds or not, as in Process.
  for (int voice = 0; voice < kNumVoices; ++voice)
  {
    if (voice != 0 && !IsVoiceActive(voice)) continue;
    SetVal(walk, slot, voice, slot);
    const int lane = record.lane[voice];
    if (lane < 0 || recorded == 0) continue;
    for (int j = 0; j < recorded; ++j) rows[(first + j) * record.stride + lane] = values[j];
    written |= 1u << voice;
  }
}

void ParamShiver::WalkAhead(int samples, const WalkRecord& record, std::uint32_t written[kNumSlots])
{
  written[0] = written[1] = 0;
  if (IsIdle() || samples <= 0) return;
  for (int done = 0; done < samples; done += kMaxSamplesAhead)
  {
    const int n = std::min(samples - done, kMaxSamplesAhead);
    WalkRecord part = record;
    part.firstFrame = record.firstFrame + done;
    switch (mSyncMode)
    {
      case kShiverSyncVoice:
        for (int voice = 0; voice < kNumVoices; ++voice)
        {
          if (!IsVoiceActive(voice)) continue;
          WalkAheadFor(voice, 0, n, true, false, part, written[0]);
          WalkAheadFor(voice, 1, n, false, false, part, written[1]);
        }
        break;
      case kShiverSyncOsc:
        for (int slot = 0; slot < kNumSlots; ++slot)
          if (Walking(slot)) WalkAheadFor(kSharedWalk, slot, n, true, true, part, written[slot]);
        break;
      case kShiverSyncAll:
        WalkAheadFor(kSharedWalk, 0, n, true, true, part, written[0]);
        WalkAheadFor(kSharedWalk, 1, n, false, true, part, written[1]);
        break;
      case kShiverSyncNone:
      default:
        for (int voice = 0; voice < kNumVoices; ++voice)
        {
          if (!IsVoiceActive(voice)) continue;
          for (int slot = 0; slot < kNumSlots; ++slot)
            if (Walking(slot)) WalkAheadFor(voice, slot, n, true, false, part, written[slot]);
        }
        break;
    }
  }
}

void ParamShiver::FreezeSilentSlots()
{
  for (Slot& slot : mSlots)
    if (slot.amount == 0.0) slot.frozen = true;
}

// ---------------------------------------------------------------------------
// Settings.

void ParamShiver::SetAmount(int slot, double amount)
{
  if (std::isnan(amount)) return;
  slot = SlotIndex(slot);
  mSlots[slot].amount = std::max(0.0, amount);
  ApplyRangeChange(slot);
}

void ParamShiver::ApplyRangeChange(int slot)
{
  Slot& s = mSlots[slot];
  if (s.amount != 0.0)
  {
    CalcRanges(slot);
  }
  else
  {
    s.minusRange = 0.0;
    s.plusRange = 0.0;
  }
  UpdateOutofdateTimeParams();
  UpdateAccAndDeltaOnRangeChange(slot);
}

void ParamShiver::UpdateAccAndDeltaOnRangeChange(int slot)
{
  if (mSlots[slot].amount != 0.0)
  {
    mSlots[slot].frozen = false;
    RecalcCoreDeltasAndAccums(slot);
    return;
  }
  for (auto& voiceWalks : mWalks)
  {
    voiceWalks[slot].step = 0.0;
    voiceWalks[slot].accumulator = 0.0;
  }
}

void ParamShiver::RecalcCoreDeltasAndAccums(int slot)
{
  if (mSyncMode == kShiverSyncOsc || mSyncMode == kShiverSyncAll)
  {
    RebaseWalkInMode(kSharedWalk, slot);
    return;
  }
  for (int voice = 0; voice < kNumVoices; ++voice)
    RebaseWalkInMode(voice, slot);
}

void ParamShiver::RebaseWalk(int walk, int slot)
{
  Walk& w = mWalks[walk][slot];
  w.previousTarget = w.previousDraw * RangeFor(slot, w.previousDraw);
  w.target = w.draw * RangeFor(slot, w.draw);
  w.step = (w.target - w.previousTarget) / w.length;
  w.accumulator = w.previousTarget + w.counter * w.step;
}

void ParamShiver::RebaseWalkInMode(int walk, int slot)
{
  if (SlotFollows(slot)) CopyWalkFields(mWalks[walk][0], mWalks[walk][1], kTimeFields | kExtremeFields);
  RebaseWalk(walk, slot);
}

void ParamShiver::SetSyncMode(ShiverSyncMode mode)
{
  if (mode < kShiverSyncNone || mode >= kNumShiverSyncModes) mode = kShiverSyncNone;
  UpdateOutofdateTimeParams();
  UpdateOutofdateExtremParams();
  OverwriteParamsForNewSyncMode(mode);
  for (int voice = 0; voice < kNumVoices; ++voice)
    for (int slot = 0; slot < kNumSlots; ++slot)
      RebaseWalk(voice, slot);
  mSyncMode = mode;
}

void ParamShiver::CopyWalkFields(const Walk& from, Walk& to, int fields)
{
  if (fields & kTimeFields)
  {
    to.length = from.length;
    to.counter = from.counter;
  }
  if (fields & kExtremeFields)
  {
    to.draw = from.draw;
    to.previousDraw = from.previousDraw;
  }
}

void ParamShiver::CopyFromDrivingWalks(ShiverSyncMode mode, int fields)
{
  switch (mode)
  {
    case kShiverSyncAll:
      CopyWalkFields(mWalks[kSharedWalk][0], mWalks[kSharedWalk][1], fields);
      for (int voice = 1; voice < kNumVoices; ++voice)
        for (int slot = 0; slot < kNumSlots; ++slot)
          CopyWalkFields(mWalks[kSharedWalk][0], mWalks[voice][slot], fields);
      break;
    case kShiverSyncOsc:
      for (int voice = 1; voice < kNumVoices; ++voice)
        for (int slot = 0; slot < kNumSlots; ++slot)
          CopyWalkFields(mWalks[kSharedWalk][slot], mWalks[voice][slot], fields);
      break;
    case kShiverSyncVoice:
      for (auto& voiceWalks : mWalks)
        CopyWalkFields(voiceWalks[0], voiceWalks[1], fields);
      break;
    case kShiverSyncNone:
    default:
      break;
  }
}

void ParamShiver::RescaleWalk(Walk& walk, double rho)
{
  walk.length = std::max(1, TruncateToSamples(walk.length * rho));
  walk.counter = TruncateToSamples(walk.counter * rho);
  walk.step *= 1.0 / rho;
}

void ParamShiver::SetSpeed(int slot, double hz)
{
  if (std::isnan(hz)) return;
  slot = SlotIndex(slot);
  hz = std::clamp(hz, kMinSpeedHz, kMaxSpeedHz);
  Slot& s = mSlots[slot];
  const double rho = PlugG::SR / (s.basePeriod * hz);
  s.speed = hz;
  s.basePeriod = BasePeriodFor(hz);

  const double kappa = 1.0 / rho;
  switch (mSyncMode)
  {
    case kShiverSyncNone:
      for (auto& voiceWalks : mWalks)
        RescaleWalk(voiceWalks[slot], rho);
      break;
    case kShiverSyncVoice:
      // Slot 1 runs on slot 0's timing here: its own speed only counts later.
      if (slot != 0) break;
      for (auto& voiceWalks : mWalks)
      {
        RescaleWalk(voiceWalks[0], rho);
        voiceWalks[1].step *= kappa;
      }
      break;
    case kShiverSyncOsc:
      RescaleWalk(mWalks[kSharedWalk][slot], rho);
      break;
    case kShiverSyncAll:
      if (slot != 0) break;
      RescaleWalk(mWalks[kSharedWalk][0], rho);
      mWalks[kSharedWalk][1].step *= kappa;
      break;
    default:
      break;
  }
}

void ParamShiver::UpdateSampleRate()
{
  SetSpeed(0, mSlots[0].speed);

  Slot& s = mSlots[1];
  const double rho = PlugG::SR / (s.basePeriod * s.speed);
  s.basePeriod = BasePeriodFor(s.speed);
  if (mSyncMode == kShiverSyncNone)
  {
    for (auto& voiceWalks : mWalks)
      RescaleWalk(voiceWalks[1], rho);
  }
  else if (mSyncMode == kShiverSyncOsc)
  {
    RescaleWalk(mWalks[kSharedWalk][1], rho);
  }
}

void ParamShiver::OnVoiceActivation(int voice)
{
  if (voice < 0 || voice >= kNumVoices) return;
  if (mSyncMode == kShiverSyncOsc || mSyncMode == kShiverSyncAll)
  {
    for (int slot = 0; slot < kNumSlots; ++slot)
      SetVal(kSharedWalk, slot, voice, slot);
    return;
  }
  for (int slot = 0; slot < kNumSlots; ++slot)
  {
    if (mSlots[slot].amount != 0.0)
    {
      RebaseWalkInMode(voice, slot);
      continue;
    }
    mWalks[voice][slot].step = 0.0;
    mWalks[voice][slot].accumulator = 0.0;
    UpdateTotalValueWithZeroAmount(voice, slot);
    SetVal(voice, slot, voice, slot);
  }
}
