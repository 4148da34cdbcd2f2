#pragma once

#include "filters/BiquadZK.h"
#include "filters/DiodeLadderZDF.h"
#include "EnvelopeGenerator.h"
#include "filters/FilterZK.h"
#include "filters/FormantFltZK.h"
#include "filters/StateVariableZDF.h"
#include "filters/TransistorLadderZDF.h"
#include "ScalarPolicy.h"
#include "filters/CutoffMath.h"
#include "globals.h"

#include <algorithm>

// One oscillator's filter slot in one voice. Points at one preallocated filter
// model (choosing a model only repoints), owns the slot's filter envelope, keeps
// the slot's settings and computes the cutoff every sample from the base cutoff,
// key tracking, a glide, the envelope and the cutoff shiver.
//
// While the voice is silent or the filter is off, setters only store their value
// and mark the slot out of date; UpdateState brings the filter up to date when
// the voice next starts a note or the filter is switched on.
//
// Every cutoff handed to the filter lies in [kMinCutoff, PlugG::FLT_F_MAX].
class FilterContainer
{
public:
  static constexpr double kMinCutoff = 10.0;         // Hz
  static constexpr double kInitialCutoff = 20000.0;  // Hz
  static constexpr double kInitialVoiceFrequency = 440.0;
  static constexpr double kInitialResonance = 0.1;
  // A glide whose per-sample step is this small has arrived.
  static constexpr double kGlideStepEpsilon = 1e-10;
  static constexpr double kShiverUpDepth = FilterConstants::kShiverUpDepth;
  static constexpr double kShiverDownDepth = FilterConstants::kShiverDownDepth;
  // No cutoff was sent: compares unequal to every cutoff.
  static constexpr double kNoCutoff = -1.0;

  FilterContainer();

  // Points the slot at filter f of model m (the owner passes the slot's
  // preallocated object). The pass type is re-applied and the filter cleared;
  // on a sounding voice with the filter on, every other stored setting is sent
  // to the new filter at once.
  void SetFltPtrAndModel(FilterZK* f, FilterModel m, bool voiceActive);
  // Re-applies every stored setting if the slot is out of date.
  void UpdateState();
  // Filter switched on or off. Switching on while the voice sounds starts the
  // filter envelope in sustain (or in release, if the voice is releasing).
  void SetOnOff(bool on, EnvelopeGenerator::EnvelopeStage voiceStage);
  // Key tracking on or off; on a sounding voice the cutoff glides to its new value
  // over the shortest glide time.
  void SetFollowNote(bool follow, bool voiceActive);
  // Base cutoff in Hz (clamped on use to [kMinCutoff, FLT_F_MAX]).
  void SetFreq(double hz, bool voiceActive);
  // Ratio of the tracked cutoff to the voice frequency (the oscillator's
  // frequency ratio, > 0); glideTime in samples, 0 for the shortest glide time.
  void SetFreqRatio(double ratio, bool voiceActive, double glideTime);
  // The voice's frequency in Hz and the samples to glide the tracked cutoff over.
  void SetVoiceFAndGlideTime(double voiceHz, double glideTime, int voiceActive);

  // Filter envelope stage value (seconds, or the sustain level 0..1).
  void SetEnvStageValue(EnvelopeGenerator::EnvelopeStage s, double v, bool voiceActive);
  // Resonance, normally 0..1.
  void SetResonance(double r, bool voiceActive);
  // Drive, normally 0..1.
  void SetDrive(double d, bool voiceActive);
  // Model-specific extra parameter, -1..1 (the formant shift).
  void SetAdditionalParam(double p, bool voiceActive);
  // Stored for every model chosen later and given to the current filter.
  void SetPassType(FilterPassType t);
  // Envelope amount, -1..1 (already shaped by the caller); 0 stops the envelope.
  void SetEnvAmount(double amount)
  {
    mEnvAmount = amount;
    UpdateCutoffMoves();
  }
  // Cutoff shiver value, -1..1; 0 leaves the cutoff alone.
  void SetShiver(double shiver)
  {
    mShiver = shiver;
    UpdateCutoffMoves();
  }
  // Marks the slot out of date so that the next UpdateState re-applies it all.
  void MarkDirty() { mDirty = true; }

  // Clears the filter and puts the envelope back to off.
  void Reset();

  // One filtered sample.
  double Process(double x);
  // The same in two halves, for a slot whose filter is known to be of the given
  // model (the engine dispatches once per slot): the calls are direct and inline.
  // ModulateAs moves the cutoff, ProcessModulatedAs then filters the sample, so
  // that the engine can move the cutoffs of all its voices before filtering any
  // of them and the voices' coefficient updates overlap. Both fall back to
  // Process's road when the filter is of another model.
  template <class Model>
  [[gnu::always_inline]] void ModulateAs();
  template <class Model>
  [[gnu::always_inline]] double ProcessModulatedAs(double x);

  EnvelopeGenerator& GetEnvelope() { return mEnvelope; }
  const EnvelopeGenerator& GetEnvelope() const { return mEnvelope; }
  FilterZK* GetFilter() const { return mFilter; }
  FilterModel GetModel() const { return mModel; }
  bool IsOn() const { return mOn; }
  double GetShiver() const { return mShiver; }
  // Whether the next sample may move the cutoff.
  bool CutoffMayMove() const { return mCutoffMoves; }
  // The frames, at most maxFrames, over which the cutoff may move side by side
  // with other voices': moved by the envelope, a glide or the shiver (shiverWalks:
  // the slot's cutoff shiver walks, so that it may move any voice's cutoff
  // next), each ending before the envelope's stage ends or the glide arrives.
  // 0 where the cutoff cannot.
  int FramesCutoffCanRun(int maxFrames, bool shiverWalks) const
  {
    if (!mGlideActive && mEnvAmount == 0.0 && mShiver == 0.0 && !shiverWalks) return 0;
    int frames = mEnvAmount != 0.0 ? std::min(maxFrames, mEnvelope.SamplesLeftInStage()) : maxFrames;
    if (!mGlideActive) return frames;
    double current = mCurrentCutoff;
    for (int n = 0; n < frames; ++n)
    {
      current += mGlideStep;
      if ((mTargetCutoff - current) * mGlideStep <= kGlideStepEpsilon) return n;
    }
    return frames;
  }
  // What moving the cutoff by the envelope, a glide and the shiver reads and
  // writes, for the engine to move many cutoffs side by side. A cutoff sent at
  // another sample rate counts as none sent.
  struct CutoffLane
  {
    double envAmount, baseCutoff, sentCutoff;
    EnvelopeGenerator::Lane envelope;
    bool glideActive;
    double glideStep;
    double shiver;
    bool wasModulated;
  };
  CutoffLane GetCutoffLane() const
  {
    return {mEnvAmount,  mCurrentCutoff, mSentRate == PlugG::SR ? mSentCutoff : kNoCutoff,
            mEnvelope.GetLane(), mGlideActive, mGlideStep, mShiver, mWasModulated};
  }
  // Where samples of a cutoff moved this way, computed elsewhere, left the
  // slot: the envelope (when it moves the cutoff), the glide's position, the
  // cutoff last sent and the shiver the last sample read (the shiver itself has
  // walked on).
  void FinishCutoffRun(int samples, double level, double normalisedLevel, double output, double sentCutoff,
                       double currentCutoff, double lastShiver)
  {
    if (mEnvAmount != 0.0)
    {
      mEnvelope.FinishRun(samples, level, normalisedLevel, output);
      mLastEnvValue = output;
    }
    if (mGlideActive) mCurrentCutoff = currentCutoff;
    mSentCutoff = sentCutoff;
    mSentRate = PlugG::SR;
    mWasModulated = lastShiver != 0.0 || mEnvAmount != 0.0;
    UpdateCutoffMoves();
  }

private:
  // A setting reaches the filter at once where the voice sounds through it;
  // otherwise the next UpdateState applies every stored setting.
  template <class Apply>
  void ApplyNowOrLater(bool voiceActive, Apply apply)
  {
    if (voiceActive && mOn)
      apply();
    else
      mDirty = true;
  }
  static double ClampCutoff(double hz);
  // The base cutoff, or with key tracking the voice frequency times the key
  // ratio raised by whole octaves until it reaches the base cutoff; clamped.
  double KeyCutoff() const;
  // Cutoff f moved by the envelope amount at envelope value e; clamped.
  double EnvelopeCutoff(double f, double e) const;
  void Refresh(double f);
  void GlideTo(double target, double samples);
  void RetargetGlide(double target);
  void StopGlideAt(double target);
  void ForgetSentCutoff() { mSentCutoff = kNoCutoff; }
  // Whether anything moves the cutoff now, or moved it on the last sample.
  void UpdateCutoffMoves() { mCutoffMoves = mGlideActive || mWasModulated || mEnvAmount != 0.0 || mShiver != 0.0; }
  // Glide, envelope and shiver move the cutoff; the filter hears of it when it moved.
  template <class F>
  [[gnu::always_inline]] void ModulateCutoff(F& filter);
  template <class F>
  [[gnu::noinline]] void MoveCutoff(F& filter);

  // What every sample reads comes first.
  FilterZK* mFilter = nullptr;
  bool mCutoffMoves = false;
  EnvelopeGenerator mEnvelope;
  FilterModel mModel = kFltSimple;
  FilterPassType mPassType = kLP;
  bool mOn = true;
  bool mDirty = false;
  bool mFollowNote = false;
  double mEnvAmount = 0.0;
  double mShiver = 0.0;
  double mCurrentCutoff = kInitialCutoff;
  double mTargetCutoff = kInitialCutoff;
  double mBaseCutoff = kInitialCutoff;
  double mVoiceFrequency = kInitialVoiceFrequency;
  double mStoredEnvValues[EnvelopeGenerator::kNumEnvelopeStages] = {1.0, 1.0, 1.0, 1.0, 1.0};
  double mResonance = kInitialResonance;
  double mGlideStep = 0.0;
  bool mGlideActive = false;
  double mKeyRatio = 1.0;
  double mLastEnvValue = 0.0;
  double mDrive = 0.0;
  double mAdditionalParam = 0.0;
  bool mWasModulated = false;  // the last sample's cutoff came from envelope or shiver
  // The cutoff and rate of the last per-sample SetFreq; forgotten whenever
  // anything else reaches the filter, as it may change what SetFreq computes.
  double mSentCutoff = kNoCutoff;
  double mSentRate = 0.0;
};

inline double FilterContainer::ClampCutoff(double hz)
{
  return std::min(PlugG::FLT_F_MAX, std::max(kMinCutoff, hz));
}

inline double FilterContainer::EnvelopeCutoff(double f, double e) const
{
  return CutoffMath<ScalarPolicy>::EnvelopeCutoff(f, e, mEnvAmount, kMinCutoff, PlugG::FLT_F_MAX);
}

template <class F>
inline void FilterContainer::ModulateCutoff(F& filter)
{
  // Nothing moves the cutoff and nothing did on the last sample.
  if (!mCutoffMoves) return;
  MoveCutoff(filter);
}

template <class F>
void FilterContainer::MoveCutoff(F& filter)
{
  if (mGlideActive)
  {
    mCurrentCutoff += mGlideStep;
    if ((mTargetCutoff - mCurrentCutoff) * mGlideStep <= kGlideStepEpsilon) StopGlideAt(mTargetCutoff);
  }

  double f = mCurrentCutoff;
  if (mEnvAmount != 0.0)
  {
    mLastEnvValue = mEnvelope.NextSample();
    f = EnvelopeCutoff(mCurrentCutoff, mLastEnvValue);
  }

  if (mShiver != 0.0) f = CutoffMath<ScalarPolicy>::Shivered(f, mShiver, kMinCutoff, PlugG::FLT_F_MAX);

  // One more update after the envelope or the shiver stops moving the cutoff, so
  // the filter does not stay where the modulation last left it.
  const bool modulated = mShiver != 0.0 || mEnvAmount != 0.0;
  // A cutoff that holds (an envelope in sustain, a glide's last step) is not
  // sent again: the filter would compute exactly what it already holds.
  if ((mGlideActive || modulated || mWasModulated) && (f != mSentCutoff || PlugG::SR != mSentRate))
  {
    filter.SetFreq(f);
    mSentCutoff = f;
    mSentRate = PlugG::SR;
  }
  mWasModulated = modulated;
  UpdateCutoffMoves();
}

template <class Model>
inline void FilterContainer::ModulateAs()
{
  // The slot's own flag first: a still cutoff costs no look at the filter.
  if (!mCutoffMoves || mFilter->GetKind() != Model::kKind) return;
  MoveCutoff(*static_cast<Model*>(mFilter));
}

template <class Model>
inline double FilterContainer::ProcessModulatedAs(double x)
{
  // Another model's cutoff was not moved by ModulateAs: Process moves it.
  if (mFilter->GetKind() != Model::kKind) return Process(x);
  return static_cast<Model*>(mFilter)->Process(x);
}
