#pragma once

#include "BendShiver.h"
#include "EngineRandom.h"
#include "filters/FilterZK.h"
#include "Oscillator.h"
#include "PShiverWBase.h"
#include "ParamShiver.h"
#include "SoftLimiter.h"
#include "Tuner.h"
#include "Voice.h"
#include "VoiceComponentArrays.h"
#include "VoiceDataSingleton.h"
#include "VoiceTables.h"

// The synthesis engine: owns every component of all 32 voices, the settings
// they share, the voice allocator, the tuning, the four shivers, the master
// limiter and the engine's random generator. RenderFrame makes one stereo
// frame from all active voices. Everything exists from construction on;
// rendering and settings only write fields and repoint, never allocate or lock.
//
// Large: keep it on the heap or inside an object that is.
class VoiceManager
{
public:
  static constexpr int kNumVoices = VoiceComponentArrays::kNumVoices;
  static constexpr int kNumOscs = VoiceComponentArrays::kNumOscs;
  static constexpr double kMasterCeiling = 8.0;
  static constexpr double kMasterRange = 1.0;

  // Declick lengths of the settings, divisors of the sample rate.
  static constexpr int kOscOnOffDeclickDivisor = 256;     // of SR, then truncated
  static constexpr int kFilterPathDeclickDivisor = 240;   // of truncated SR
  static constexpr int kWaveDeclickDivisor = 480;         // of truncated SR
  static constexpr int kBendWindowDeclickDivisor = 128;   // of SR, then truncated
  static constexpr int kBendShapeDeclickDivisor = 32;     // of SR, then truncated
  static constexpr int kTuneRangeDeclickDivisor = 48;     // of truncated SR

  // Shiver kinds of DeclickShSyncModeChange.
  enum ShiverKind
  {
    kTuneShiver = 1,
    kBendShiver = 2,
    kCutoffShiver = 3
  };

  // Seeds the random generator from the clock.
  VoiceManager();
  // Seeds it explicitly, so renders repeat bit for bit.
  explicit VoiceManager(std::uint64_t randomSeed);
  VoiceManager(const VoiceManager&) = delete;
  VoiceManager& operator=(const VoiceManager&) = delete;

  // Where each external input stream sits in the array RenderFrame reads: per
  // stream a pointer at this frame's sample, left then right.
  static constexpr int kFmInput = 0;        // the FM input, oscillator 1's then 2's
  static constexpr int kOscInput = 2;       // oscillator 1's input pair; oscillator 2's follows
  static constexpr int kNumInputStreams = kOscInput + 2 * kNumOscs;

  // Makes one stereo frame into out[0], out[1]: clears the frame's values, draws
  // the noise, mixes noise and inputs, renders the voices and the master, and
  // moves the shivers on. extIn holds kNumInputStreams pointers as above;
  // fmAuxEnv the two envelope-follower values.
  void RenderFrame(double* out, double* const* extIn, const double* fmAuxEnv);
  // Renders at least one and at most maxFrames frames into left[i], right[i]
  // and returns how many. Frames the sounding voices can render side by side
  // (RunLanes; docs/engine.md says which, and what keeps a frame on this road:
  // an envelope changing its stage, settings the voices do not share, what the
  // lanes do not compute) go through them in one pass, a run; other frames go
  // through RenderFrame. The bits are the same either way, so the caller only
  // has to stop the run where an event is due or where the follower values
  // change (pass maxFrames 1). extIn points at the first frame's input samples,
  // the streams' next samples following them; fmAuxEnv holds the follower
  // values of every frame of the run.
  int RenderFrames(double* left, double* right, int maxFrames, double* const* extIn, const double* fmAuxEnv);
  void Reset();
  void UpdateSampleRate();
  // Bend windows that follow the tempo take PlugG::HOST_BPM.
  void UpdateHostBPM();
  // value -1..1 (the MIDI receiver's pitch-wheel signal).
  void OnPitchWheel(double value);

  // --- engine settings: slot pos 0 or 1 on all 32 voices ---
  void SetOscOnOff(int pos, bool on);
  void SetFilterOnOff(int pos, bool on);
  // Pass type 0..4 (FilterPassType), truncated and clamped.
  void SetFltPassType(int pos, double t);
  void SetFltModel(int pos, FilterModel m);
  // Base cutoff, Hz.
  void SetFltFreq(int pos, double hz);
  void SetFltFollowNote(int pos, double x);
  // Envelope amount -1..1 (clamped), applied as a cubic curve.
  void SetFltEnvAmnt(int pos, double x);
  void SetOscEnvStageValue(int pos, EnvelopeGenerator::EnvelopeStage s, double v);
  // Phase offset in cycles, 0..1.
  void SetOscPhaseOffset(int pos, double x);
  void SetOscWave(int pos, OscWave w);
  // Window control value 0..32: 0..15 give 2 pi / (17 - x), 16 and up 2 pi (x - 15).
  void SetOscBendWindowSize(int pos, double x);
  void SetOscBendSpanOrigin(int pos, OscBendSpanOrigin o);
  void SetOscBendSymmetry(int pos, OscBendSymmetry s);
  void SetTuneRangeSemitones(int pos, int n);
  void SetDCRemoval(int pos, bool on);
  void SetPrePostFltHardSync(bool pre);
  void SetPrePostFltInputMod(int pos, bool pre);
  void SetPrePostFltOAMCarrier(int pos, bool pre);
  void SetPrePostFltOAMModulator(int pos, bool pre);
  void DeclickShSyncModeChange(int kind, ShiverSyncMode mode, int length);
  // Tune value -1..1 within the slot's tune range.
  void SetOscTune(int pos, double value);
  // Frequency ratio of the slot (num / denom, > 0).
  void SetOscFreqRatio(int pos, double ratio);
  // Oversampling setting: 0 off, n >= 1 for 2^(n+1) sub-samples.
  void SetOscOversampling(int pos, int setting);
  void SetOutputGain(double gain) { mOutputGain = gain; }

  VoiceDataSingleton& GetVoiceData() { return mData; }
  VoiceTables& GetVoiceTables() { return mTables; }
  Voice& GetVoice(int v) { return mVoices[v]; }
  Tuner& GetTuner() { return mTuner; }
  SoftLimiter& GetMasterLimiter() { return mMasterLimiter; }
  EngineRandom& GetRandom() { return mRandom; }
  ParamShiver& GetTuneShiver() { return mTuneShiver; }
  BendShiver& GetBendShiver() { return mBendShiver; }
  PShiverWBase& GetPanShiver() { return mPanShiver; }
  PShiverWBase& GetCutoffShiver() { return mCutoffShiver; }
  double GetOutputGain() const { return mOutputGain; }

private:
  void Build();
  // The voices and the master of one frame, after its values were prepared.
  void MixVoices(double* out, double* const* fmAux, const double* fmAuxEnv);
  // The oscillator buses of the frame into the master: mix, limiter, gain.
  void MixMaster(double* out);
  // Frames, at most maxFrames, that the sounding voices can render side by
  // side from here: 0 when a setting they share rules the lanes out.
  int FramesToRun(int maxFrames) const;
  // The slots whose FM from the other slot a run computes, a bit each (bit 0
  // for the first), or kFmNotRunnable.
  static constexpr int kFmNotRunnable = -1;
  int FmReceivers() const;
  // The slot hard sync restarts in a run (the master runs first), -1 for none.
  int SyncSlave() const;
  // The slots whose output oscillator AM modulates, a bit each (none with
  // the other slot off).
  int AmCarriers() const;
  static constexpr int kFramesBetweenLooks = 8;
  void RenderRun(double* left, double* right, Voice* const* active, int count, int frames);
  // The shivers that walk over a run.
  Voice::RunWalks Walks() const;
  // What moves outside the voices over a run, ahead of it and in the order
  // the frames compute it (RenderFrame): each frame's noise and its mix into
  // each slot, then the shivers' step, which the voices read the frame after;
  // the slots record both for their lanes. The voices end where the frames
  // would have left them.
  void RenderAhead(Voice* const* active, int count, int frames);
  void RecordWalks(Voice* const* active, int count, const Voice::RunWalks& walks, int k);
  // Each frame's noise and its mix into the slots, for frames [first, end).
  void MixNoiseAhead(int first, int end);
  // Frames [first, first + samples) of the walks, none starting a segment, at once.
  void WalkAhead(Voice* const* active, int count, const Voice::RunWalks& walks, int first, int samples, int frames);
  // Sets up slot osc of a run for the lanes and gathers the voices into it.
  void GatherRunSlot(int osc, Voice* const* active, int count, int fmReceivers, int syncSlave, int amCarriers,
                     int second);
  int CollectSounding(Voice** active);
  // The engine's noise, uniform in [-1, 1].
  double NextNoise();
  void UpdateRateFactor(int pos);
  void UpdateFilterOnOff(int pos);
  void UpdateModulationSlopes();
  // Crossfades on the sounding voices; a length <= 0 cancels running ones.
  void VoiceDeclick(int length);
  void OscDeclick(int pos, int length);
  bool BendInUse(int pos) const;
  bool TuneInUse(int pos) const;

  VoiceComponentArrays mArrays;
  Voice mVoices[kNumVoices];
  VoiceDataSingleton mData;
  SoftLimiter mMasterLimiter;
  double mOutputGain = 1.0;
  VoiceTables mTables;
  Tuner mTuner;
  EngineRandom mRandom;
  ParamShiver mTuneShiver;
  BendShiver mBendShiver;
  PShiverWBase mPanShiver;
  PShiverWBase mCutoffShiver;

  // Working space of the runs of frames, and what each slot's last run held.
  struct RunPadding
  {
    int voices = 0;
    Voice::RunShape shape = {};
  };
  RunLanes::Slot mRunSlots[kNumOscs];
  RunPadding mRunPadding[kNumOscs];
  double mRunLeft[kNumOscs][RunLanes::kMaxFrames * RunLanes::kMaxVoices];
  double mRunRight[kNumOscs][RunLanes::kMaxFrames * RunLanes::kMaxVoices];
  double mRunBuses[kNumOscs][2][RunLanes::kMaxFrames];
  // The pan shiver's walked positions, before they become gains.
  RunLanes::FrameRows mRunPanWalk[kNumOscs];
  static_assert(RunLanes::kMaxVoices >= kNumVoices, "a lane for every voice");
};
