#include "EnvelopeGenerator.h"

#include "globals.h"

#include <algorithm>
#include <climits>
#include <cmath>

int EnvelopeGenerator::StageSamples(double seconds)
{
  const double samples = std::trunc(seconds * PlugG::SR);
  if (!(samples >= 1.0)) return 1;  // also catches NaN
  if (samples >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(samples);
}

void EnvelopeGenerator::EnterStage(EnvelopeStage s)
{
  if (s == mStage) return;
  mStage = s;
  mSampleInStage = 0;
  switch (s)
  {
    case ENVELOPE_STAGE_OFF:
      if (mSignalEnabled) mSignalOff.Emit();
      mStageLength = 1;
      mLevel = mMinimumLevel;
      mMultiplier = 1.0;
      break;
    case ENVELOPE_STAGE_SUSTAIN:
      mStageLength = 1;
      mLevel = mStageValues[ENVELOPE_STAGE_SUSTAIN];
      mMultiplier = 1.0;
      break;
    case ENVELOPE_STAGE_ATTACK:
      mStageLength = StageSamples(mStageValues[ENVELOPE_STAGE_ATTACK]);
      mLevel += mMinimumLevel;
      CalculateMultiplier(mLevel, 1.0, mStageLength);
      break;
    case ENVELOPE_STAGE_DECAY:
      mStageLength = StageSamples(mStageValues[ENVELOPE_STAGE_DECAY]);
      mLevel = 1.0;
      CalculateMultiplier(mLevel, mStageValues[ENVELOPE_STAGE_SUSTAIN], mStageLength);
      break;
    case ENVELOPE_STAGE_RELEASE:
      mStageLength = StageSamples(mStageValues[ENVELOPE_STAGE_RELEASE]);
      CalculateMultiplier(mLevel, mMinimumLevel, mStageLength);
      break;
    default:
      break;
  }
}

void EnvelopeGenerator::StartFromStage(EnvelopeStage s)
{
  switch (s)
  {
    case ENVELOPE_STAGE_OFF:
      return;
    case ENVELOPE_STAGE_RELEASE:
      mLevel = mStageValues[ENVELOPE_STAGE_SUSTAIN];
      break;
    case ENVELOPE_STAGE_ATTACK:
      mLevel = mMinimumLevel;
      break;
    default:
      break;
  }
  EnterStage(s);
}

void EnvelopeGenerator::SetStageValue(EnvelopeStage s, double v)
{
  const double value = std::max(mMinimumLevel, v);
  mStageValues[s] = value;

  if (s == mStage)
  {
    double target;
    switch (s)
    {
      case ENVELOPE_STAGE_SUSTAIN:
        mLevel = value;
        return;
      case ENVELOPE_STAGE_ATTACK:
        target = 1.0;
        break;
      case ENVELOPE_STAGE_DECAY:
        target = std::max(mStageValues[ENVELOPE_STAGE_SUSTAIN], mMinimumLevel);
        break;
      case ENVELOPE_STAGE_RELEASE:
        target = mMinimumLevel;
        break;
      default:
        return;
    }
    const double remainingFraction = 1.0 - static_cast<double>(mSampleInStage) / mStageLength;
    const int remaining = StageSamples(value * remainingFraction);
    mStageLength = mSampleInStage + std::min(remaining, INT_MAX - mSampleInStage);
    CalculateMultiplier(mLevel, target, remaining);
  }
  else if (s == ENVELOPE_STAGE_SUSTAIN && mStage == ENVELOPE_STAGE_DECAY)
  {
    const int remaining = std::max(1, mStageLength - mSampleInStage);
    CalculateMultiplier(mLevel, std::max(value, mMinimumLevel), remaining);
  }
}

void EnvelopeGenerator::CalculateMultiplier(double start, double end, int samples)
{
  const double n = std::max(1, samples);
  if (mStage == ENVELOPE_STAGE_ATTACK)
    mMultiplier = (end - start) / n;
  else
    mMultiplier = std::pow(end / start, 1.0 / n);
}

void EnvelopeGenerator::Reset()
{
  mStage = ENVELOPE_STAGE_OFF;
  mLevel = mMinimumLevel;
  mMultiplier = 1.0;
  mSampleInStage = 0;
  mStageLength = 0;
}
