#pragma once

#include "EngineSize.h"
#include "EnvelopeGenerator.h"
#include "filters/FilterZK.h"
#include "GallantSignal.h"
#include "Oscillator.h"
#include "lanes/RunLanes.h"
#include "VoiceDataSingleton.h"

class BiquadZK;
class FilterContainer;
class FormantFltZK;
class SoftLimiter;
class DCremove;
class Declicker;

// One of the engine's voice slots. It owns no components: it points at two of
// each per-oscillator component in the engine's arrays and at the settings all
// voices share. While active it renders both oscillators through modulation,
// limiting, DC removal, filtering, amplitude modulation, envelope and pan, and
// adds them into the engine's per-oscillator stereo buses. It also carries the
// note, the velocity and the frequency and velocity glides the allocator sets.
class Voice
{
public:
  static constexpr int kNumOscs = kEngineOscs;
  static constexpr double kFmLimit = 20.0;          // |FM value| is clamped to this
  static constexpr double kGlideEndEpsilon = 1e-10;  // a glide this close to its target has arrived
  static constexpr double kVelocityScale = 1.0 / 127.0;
  static constexpr double kCentrePan = 0.5;
  // RenderSlot works through its voices in groups of at most this many.
  static constexpr int kMaxBatch = kEngineVoices;
  // Fewer sounding voices than this take the scalar road all the way.
  static constexpr int kMinLaneBatch = 2;

  struct Components
  {
    Oscillator* oscillator[kNumOscs];
    EnvelopeGenerator* ampEnvelope[kNumOscs];
    FilterContainer* filter[kNumOscs];
    SoftLimiter* limiter[kNumOscs];
    DCremove* dcRemover[kNumOscs];
    Declicker* declicker[kNumOscs];
  };

  Voice();
  Voice(const Voice&) = delete;  // the taps point into the voice itself
  Voice& operator=(const Voice&) = delete;

  // Once, while the engine is built.
  void Wire(int index, VoiceDataSingleton* data, const Components& components);
  // Limiters to ceiling 2 and range 1, key-tracking ratios, envelopes' own off
  // signals disabled, DC removers to their voice cutoff.
  void SetupComponents();

  // Renders one sample into buses[oscillator][channel]. fmAux points, per
  // oscillator, at the current sample of its external FM input; fmAuxEnv holds
  // the two envelope-follower values.
  void NextSample(double buses[kNumOscs][2], double* const* fmAux, const double* fmAuxEnv);
  // After each render: a voice whose used envelopes are all off goes inactive.
  void CheckIfDeactivate()
  {
    for (int osc = 0; osc < kNumOscs; ++osc)
      if (mData->oscOn[osc] && mAmpEnv[osc]->GetCurrentStage() != EnvelopeGenerator::ENVELOPE_STAGE_OFF) return;
    Deactivate();
  }

  // NextSample in three steps, so that the engine can run each step across all
  // sounding voices: every voice computes exactly what NextSample computes, in
  // the same order, while the loops stay free of per-voice dispatch and the
  // voices' independent work overlaps.
  // 1. Clears the sample's values, advances the glides, takes the FM values.
  static void BeginSample(Voice* const* voices, int count, double* const* fmAux, const double* fmAuxEnv);
  // 2. Oscillator `osc` (switched on) of each voice, through its chain up to its
  // amplitude envelope. The voices share their settings.
  static void RenderSlot(Voice* const* voices, int count, int osc);
  // 3. Oscillator AM, hard sync, declick and pan into the buses, in voice order;
  // the history.
  static void FinishSample(Voice* const* voices, int count, double buses[kNumOscs][2]);

  // --- runs of frames side by side (VoiceRun.cpp) ---
  // What walks over a run of frames, each a shiver's walk the run records
  // ahead for each of its frames: the pitch, the cutoff, the pan.
  struct RunWalks
  {
    bool tune = false;
    bool cutoff = false;
    bool pan = false;
  };
  // How many of the next frames the voice can render in RunLanes, at most
  // maxFrames: 0 while anything moves that the runs do not compute (a
  // crossfade, a waveform or filter the lanes do not compute, a cutoff moved
  // by nothing a run moves it by) or while an envelope is due to change its
  // stage, and never past the frame on which a glide arrives. The engine has
  // checked the settings all voices share.
  int FramesItCanRun(int maxFrames, const RunWalks& walks) const;
  // What a slot's lanes compute once for all its voices: they run together
  // only where these agree.
  struct RunShape
  {
    OscWave wave[kNumOscs];
    FilterModel model[kNumOscs];
    FilterPassType passType[kNumOscs];
    bool cutoffMoves[kNumOscs];
    double phasePeriod[kNumOscs];
    OscBendSymmetry bendSymmetry[kNumOscs];
    OscBendSpanOrigin bendSpanOrigin[kNumOscs];
    bool operator==(const RunShape&) const = default;
  };
  RunShape GetRunShape(const RunWalks& walks) const;
  // Oscillator osc's state into the slot's lane.
  void GatherRun(int osc, RunLanes::Slot& slot, int lane) const;
  // What the run of frames left in the slot's lane, back into oscillator osc
  // (switched on) and its components.
  void FinishRunSlot(int osc, const RunLanes::Slot& slot, int lane, int frames);
  // After Zero and every slot: what each frame of the run leaves in the voice itself.
  void FinishRun();

  void GlideFrequency();
  void GlideVelocity();
  void OscAmpMod();
  void Zero();
  void Reset();
  void UpdateSampleRate();

  // Starts a note on an idle voice without any glide: Reset, then the note's
  // frequency on both oscillators and filters, and the velocity.
  void StartNote(int note, double velocity);
  // Velocity in MIDI units 0..127 over samples (0: the shortest glide time).
  void SetVelocityGlide(double velocity, double samples);
  // Frequency of a note 0..127 over samples (0: reached on the next sample).
  void SetFrequencyGlideAndNoteNum(int note, double samples);
  void SetFrequencyAndVelocityGlide(int note, double velocity, double samples);
  // Ends a running frequency glide without moving the oscillators further.
  void StopFrequencyGlide();
  // Multiplies the running glide steps (the glide length changed by 1/ratio).
  void ScaleGlideSteps(double ratio);
  // Applies the shared pitch-wheel factor to both oscillators.
  void ApplyPitchWheelFactor(double factor);

  // Shiver targets: osc 0 or 1 and the pushed value.
  void SetFreqShiverFactor(int osc, double factor);
  void SetBend(int osc, double exponent);
  void SetFltShiver(int osc, double shiver);
  // Pan position 0 (left) .. 1 (right).
  void SetPanL(int osc, double x);
  // The left and right gains of a pan position x in [0, 1].
  static void PanGains(double x, double& left, double& right)
  {
    const double rightSide = x - 1.0;
    left = 1.0 - x * x;
    right = 1.0 - rightSide * rightSide;
  }

  // Signal taps, chosen by the engine settings.
  void SetHardSyncTaps(bool preFilter);
  void SetInputModTap(int osc, bool preFilter);
  void SetOscAmCarrierTap(int osc, bool preFilter);
  void SetOscAmModulatorTap(int osc, bool preFilter);

  // Zeroes the stored outputs of an oscillator that is switched off.
  void ClearOscOutputs(int osc);
  void ClearOscAmProduct(int osc) { mOscAmProduct[osc] = 0.0; }

  bool IsActive() const { return mActive; }
  void SetActive(bool active)
  {
    mActive = active;
    MarkSounding();
  }
  int GetIndex() const { return mIndex; }
  int GetNote() const { return mNote; }
  double GetFrequency() const { return mFrequency; }
  double GetVelocity() const { return mVelocity; }
  double GetVelocityFactor() const { return mVelocityFactor; }
  bool IsFrequencyGliding() const { return mFreqGlideOn; }
  bool IsVelocityGliding() const { return mVelGlideOn; }
  double GetFrequencyGlideStep() const { return mFreqGlideStep; }
  double GetVelocityGlideStep() const { return mVelGlideStep; }
  // The sum of both oscillators' amplitudes of the last sample: the loudness
  // voice stealing compares.
  double GetLoudness() const { return mAmplitude[0] + mAmplitude[1]; }
  double GetAmplitude(int osc) const { return mAmplitude[osc]; }
  double GetPanLeft(int osc) const { return mPan[osc][0]; }
  double GetPanRight(int osc) const { return mPan[osc][1]; }
  double GetPreFilterSample(int osc) const { return mPre[osc]; }
  double GetPostFilterSample(int osc) const { return mPost[osc]; }
  const double* GetOutputPair(int osc) const { return mOut[osc]; }
  double GetOscAmProduct(int osc) const { return mOscAmProduct[osc]; }
  int GetHardSyncCrossings() const { return mSyncCrossings; }

  Oscillator& GetOscillator(int osc) const { return *mOsc[osc]; }
  EnvelopeGenerator& GetAmpEnvelope(int osc) const { return *mAmpEnv[osc]; }
  FilterContainer& GetFilter(int osc) const { return *mFilter[osc]; }
  SoftLimiter& GetLimiter(int osc) const { return *mLimiter[osc]; }
  DCremove& GetDCRemover(int osc) const { return *mDCRemover[osc]; }
  Declicker& GetDeclicker(int osc) const { return *mDeclicker[osc]; }

private:
  double FmValue(int osc, double* const* fmAux, const double* fmAuxEnv) const;
  // What oscillator osc's FM from the other oscillator reads (its source is
  // the other's pre- or post-filter sample, or the pre-filter one times its
  // envelope): the other's value of the last sample.
  double PreviousFmSource(int osc) const;
  // The bend's, the glides', the filter's and its cutoff's state into the slot's lane.
  static void GatherBend(const Oscillator& o, RunLanes::BendRecord& bend, int lane);
  void GatherGlide(int osc, RunLanes::GlideRecord& glide, int lane) const;
  static void GatherFilter(const FilterContainer& filter, RunLanes::FilterRecord& record, int lane);
  static void GatherCutoff(const FilterContainer& filter, RunLanes::CutoffRecord& cutoff, int lane);
  static void RenderBatch(Voice* const* voices, int count, int osc);
  // Oscillator, feedback, carrier AM, limiter and DC remover: the pre-filter samples.
  // The plain sine oscillators of slot osc: marks them in inLanes, moves their
  // phases on and puts their samples in value, computed side by side; the
  // caller hands each sample to its oscillator (FinishPlainSample).
  static void GatherPlainSines(Voice* const* voices, int count, int osc, bool* inLanes, double* value);
  template <OscWave W>
  static void SourceStage(Voice* const* voices, int count, int osc, double* s);
  // The filter model's Process on the pre-filter samples s, then AfterFilter.
  template <class Model>
  static void FilterStage(Voice* const* voices, int count, int osc, const double* s, double volume, bool externalAm);
  // Limiter, post-filter sample, output pair, external AM and amplitude envelope.
  void AfterFilter(int osc, double x, double volume, bool externalAm);
  void ExternalAm(int osc);
  void Deactivate();
  // Keeps the voice's bit in the shared soundingVoices equal to mActive.
  void MarkSounding()
  {
    if (!mData) return;
    const std::uint32_t bit = std::uint32_t(1) << mIndex;
    mData->soundingVoices = mActive ? (mData->soundingVoices | bit) : (mData->soundingVoices & ~bit);
  }
  void OscAmpModOf(int carrier);
  // This sample's pre- and post-filter values become the previous ones.
  void RememberSample()
  {
    for (int osc = 0; osc < kNumOscs; ++osc)
    {
      mPrevPre[osc] = mPre[osc];
      mPrevPost[osc] = mPost[osc];
    }
  }
  void HardSync();

  // What every sample reads and writes comes first.
  VoiceDataSingleton* mData = nullptr;
  Oscillator* mOsc[kNumOscs] = {};
  EnvelopeGenerator* mAmpEnv[kNumOscs] = {};
  FilterContainer* mFilter[kNumOscs] = {};
  SoftLimiter* mLimiter[kNumOscs] = {};
  Declicker* mDeclicker[kNumOscs] = {};
  bool mActive = false;
  bool mFreqGlideOn = false;
  bool mVelGlideOn = false;
  double mVelocityFactor = 1.0;
  double mFm[kNumOscs] = {};  // this sample's FM values
  double mAmplitude[kNumOscs] = {};
  double mAmpEnvOut[kNumOscs] = {};
  double mPan[kNumOscs][2] = {};  // left, right gain
  double mPre[kNumOscs] = {};
  double mPost[kNumOscs] = {};
  double mPrevPre[kNumOscs] = {};
  double mPrevPost[kNumOscs] = {};
  double mOut[kNumOscs][2] = {};
  double mExtAm[kNumOscs][2] = {};
  double mOscAmLevel[kNumOscs] = {};
  double mOscAmProduct[kNumOscs] = {};

  DCremove* mDCRemover[kNumOscs] = {};
  int mIndex = 0;
  double mVelocity = 0.0;
  int mNote = -1;
  double mFrequency = 440.0;
  double mFreqGlideStep = 0.0;
  double mFreqGlideTarget = 440.0;
  double mVelGlideTarget = 0.0;
  double mVelGlideStep = 0.0;

  int mSyncCrossings = 0;
  // Per possible master oscillator: its current and previous sample.
  const double* mSyncTapCurrent[kNumOscs] = {};
  const double* mSyncTapPrevious[kNumOscs] = {};
  const double* mInputModTap[kNumOscs] = {};
  const double* mOscAmCarrierTap[kNumOscs] = {};
  const double* mOscAmModulatorTap[kNumOscs] = {};

public:
  // Emitted with the voice index when the voice has gone silent.
  Gallant::Signal1<int> mDeactivated;
};
