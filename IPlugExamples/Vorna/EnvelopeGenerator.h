#pragma once

#include "GallantSignal.h"

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

  // Called, in the set's order, when the envelope enters the off stage while the
  // off signal is enabled.
  Gallant::Signal0 mSignalOff;

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
  double GetStageValue(EnvelopeStage s) const { return mStageValues[s]; }

private:
  // Samples a stage of the given seconds lasts at the current rate; at least one,
  // so a stage always reaches its target at the latest on the next sample.
  static int StageSamples(double seconds);

  EnvelopeStage mStage = ENVELOPE_STAGE_OFF;
  double mMinimumLevel = kMinimumLevel;
  double mLevel = kMinimumLevel;
  double mMultiplier = 1.0;
  double mStageValues[kNumEnvelopeStages] = {0.0, 0.1, 0.5, 0.5, 3.0};
  int mSampleInStage = 0;
  int mStageLength = 0;
  bool mSignalEnabled = false;
};
