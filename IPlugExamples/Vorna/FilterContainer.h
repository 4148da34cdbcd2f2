#pragma once

#include "EnvelopeGenerator.h"
#include "FilterZK.h"

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
  // Largest upward cutoff shiver: s = 1 multiplies the cutoff by 1 + 8 = 9.
  static constexpr double kShiverUpDepth = 8.0;
  // Largest downward cutoff shiver: s = -1 takes the cutoff down to 1/16 of itself.
  static constexpr double kShiverDownDepth = 1.0 - 1.0 / 16.0;

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
  void SetEnvAmount(double amount) { mEnvAmount = amount; }
  // Cutoff shiver value, -1..1; 0 leaves the cutoff alone.
  void SetShiver(double shiver) { mShiver = shiver; }
  // Marks the slot out of date so that the next UpdateState re-applies it all.
  void MarkDirty() { mDirty = true; }

  // Clears the filter and puts the envelope back to off.
  void Reset();

  // One filtered sample.
  double Process(double x);

  EnvelopeGenerator& GetEnvelope() { return mEnvelope; }
  const EnvelopeGenerator& GetEnvelope() const { return mEnvelope; }
  FilterZK* GetFilter() const { return mFilter; }
  FilterModel GetModel() const { return mModel; }
  bool IsOn() const { return mOn; }

private:
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

  EnvelopeGenerator mEnvelope;
  FilterZK* mFilter = nullptr;
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
};
