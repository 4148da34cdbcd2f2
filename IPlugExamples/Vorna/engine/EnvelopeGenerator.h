#pragma once

#include "GallantSignal.h"
#include "ScalarPolicy.h"
#include "VoiceStageMath.h"

#include <algorithm>
#include <climits>

// Attack-decay-sustain-release envelope, one step per sample: a straight-line
// attack to 1, exponential decay to the sustain level and exponential release to
// the floor. The output is the level normalised to [0, 1] above the floor.
// Times are read against PlugG::SR when a stage starts.
class EnvelopeGenerator
{
public:
  enum EnvelopeStage
  {
    ENVELOPE_STAGE_OFF = 0,
    ENVELOPE_STAGE_ATTACK,
    ENVELOPE_STAGE_DECAY,
    ENVELOPE_STAGE_SUSTAIN,
    ENVELOPE_STAGE_RELEASE,
    kNumEnvelopeStages
  };

  // Floor of the level and of every stage value. Keeps the exponential stages
  // away from zero, where their per-sample factors would be undefined.
  static constexpr double kMinimumLevel = 0.0001;

  // Advances one sample; returns the normalised level in [0, 1].
  double NextSample();

  // Switches to stage s and sets its length and per-sample step. Nothing happens
  // when s is already the current stage.
  void EnterStage(EnvelopeStage s);
  // Starts in stage s from a defined level: the floor for attack, the sustain
  // level for release. Off does nothing.
  void StartFromStage(EnvelopeStage s);
  // Stage value v: seconds for attack, decay and release, a level 0..1 for
  // sustain; raised to the floor. A change to the running stage keeps the part
  // already done and spreads the rest over the remaining fraction of the new
  // time; a sustain change bends a running decay towards the new level.
  void SetStageValue(EnvelopeStage s, double v);
  // Per-sample step from start to end over the given samples for the current
  // stage: added in attack, multiplied in every other stage.
  void CalculateMultiplier(double start, double end, int samples);

  // Back to the off stage at the floor, without calling the off signal.
  void Reset();

  void EnableOffSignal(bool enabled) { mSignalEnabled = enabled; }

  EnvelopeStage GetCurrentStage() const { return mStage; }

  // How many more NextSample calls stay in the current stage: off and sustain
  // hold for ever.
  int SamplesLeftInStage() const
  {
    if (mStage == ENVELOPE_STAGE_OFF || mStage == ENVELOPE_STAGE_SUSTAIN) return INT_MAX;
    return std::max(0, mStageLength - mSampleInStage);
  }
  // What NextSample reads and writes within a stage, for the engine to run
  // many envelopes side by side.
  struct Lane
  {
    EnvelopeStage stage;
    double level, multiplier, normalisedLevel, output, minimumLevel;
  };
  Lane GetLane() const { return {mStage, mLevel, mMultiplier, mNormalisedLevel, mOutput, mMinimumLevel}; }
  // Where samples NextSample calls computed elsewhere, none of them leaving the
  // stage, left the envelope.
  void FinishRun(int samples, double level, double normalisedLevel, double output)
  {
    if (mStage != ENVELOPE_STAGE_OFF && mStage != ENVELOPE_STAGE_SUSTAIN) mSampleInStage += samples;
    mLevel = level;
    mNormalisedLevel = normalisedLevel;
    mOutput = output;
  }
  double GetStageValue(EnvelopeStage s) const { return mStageValues[s]; }

private:
  // Samples a stage of the given seconds lasts at the current rate; at least one,
  // so a stage always reaches its target at the latest on the next sample.
  static int StageSamples(double seconds);

  // What every sample reads comes first, within one cache line.
  EnvelopeStage mStage = ENVELOPE_STAGE_OFF;
  int mSampleInStage = 0;
  int mStageLength = 0;
  double mLevel = kMinimumLevel;
  double mMultiplier = 1.0;
  // The last output and the level it was computed from.
  double mNormalisedLevel = kMinimumLevel;
  double mOutput = 0.0;
  double mMinimumLevel = kMinimumLevel;
  double mStageValues[kNumEnvelopeStages] = {0.0, 0.1, 0.5, 0.5, 3.0};
  bool mSignalEnabled = false;

public:
  // Called, in the set's order, when the envelope enters the off stage while the
  // off signal is enabled.
  Gallant::Signal0 mSignalOff;
};

inline double EnvelopeGenerator::NextSample()
{
  using Math = VoiceStageMath<ScalarPolicy>;
  if (mStage != ENVELOPE_STAGE_OFF && mStage != ENVELOPE_STAGE_SUSTAIN)
  {
    if (mSampleInStage >= mStageLength)
    {
      EnterStage(static_cast<EnvelopeStage>((mStage + 1) % kNumEnvelopeStages));
    }
    mLevel = Math::Advance(mStage == ENVELOPE_STAGE_ATTACK, true, mLevel, mMultiplier);
    ++mSampleInStage;
  }
  // Off and sustain hold the level, and so the output: no division per sample.
  return Math::Output(mLevel, mNormalisedLevel, mOutput, mMinimumLevel, 1.0 - mMinimumLevel);
}
