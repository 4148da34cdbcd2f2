#pragma once

// One oscillator slot of the sounding voices laid out side by side, one voice
// per lane, for a run of frames in which nothing but the signal, the glides and
// the filter envelopes moves: oscillators of the sine, saw, square, triangle,
// sinc or polysaw, bent or not, oversampled or not, with their feedback, FM and
// AM from the other slot (one way or both) and hard sync (the slot read from
// records what the other reads), filters (the simple biquad, the state-variable
// filter, the transistor and diode ladders, the formant filter) whose cutoff
// stands still or follows its envelope and a glide, envelopes that stay in
// their stages. The lanes compute exactly what each voice's own code computes,
// operation for operation, so a run sounds the same bits as the frames rendered
// one by one. Plain data only: the AVX2 copy of the kernel must not include any
// inline function of the engine.
#include "filters/BiquadMath.h"
#include "filters/CutoffMath.h"
#include "filters/DiodeLadderMath.h"
#include "filters/FormantMath.h"
#include "filters/StateVariableMath.h"
#include "filters/TransistorLadderMath.h"

#include <cstdint>

namespace RunLanes
{
constexpr int kMaxFrames = 32;
constexpr int kMaxVoices = 32;  // a multiple of every lane width
// The oversampling lowpass: its order, and the history it keeps (the newest
// output and the ones before it).
constexpr int kBesselOrder = 8;
constexpr int kBesselHistory = kBesselOrder + 1;
// One cycle of the phase, in radians.
constexpr double kCycle = 2.0 * 3.14159265358979323846;

// The waveforms, numbered as OscWave numbers them.
enum Waveform
{
  kSine = 0,
  kSaw = 1,
  kSquare = 2,
  kTriangle = 3,
  kSinc = 4,
  kPolysaw = 5
};

// The filter models the lanes compute, numbered as FilterModel numbers them.
enum Model
{
  kReson = 0,
  kSimple = 1,
  kFormant = 2,
  kTLadder = 3,
  kMoog = 4
};

// The pass types, numbered as FilterPassType numbers them.
enum PassType
{
  kLowPass = 0,
  kBandPass = 1,
  kHighPass = 2,
  kPeak = 3,
  kBandReject = 4
};

// The filter model's Lane (a struct of doubles, its fields named once: see
// filters/TransistorLadderMath.h), a row of voices per field: as many rows as
// the largest model has fields.
template <template <class> class... States>
constexpr int MostFields()
{
  int most = 0;
  ((most = most < int(sizeof(States<double>) / sizeof(double)) ? int(sizeof(States<double>) / sizeof(double)) : most),
   ...);
  return most;
}
constexpr int kFilterRows =
  MostFields<BiquadState, StateVariableState, TransistorLadderState, DiodeLadderState, FormantState>();

// What a slot records for the other slot's FM, numbered as the engine's FM
// sources number them: its pre-filter sample, its post-filter sample, or the
// pre-filter sample times its amplitude envelope.
enum FmSource
{
  kFmPre = 0,
  kFmPost = 1,
  kFmPreTimesEnvelope = 2
};

struct Slot
{
  // The frame of the run a call begins at; what the slots record and the
  // voices' outputs are indexed from the run's start. Slots coupled so that
  // each reads the other take turns, a frame each.
  int firstFrame = 0;
  // Shared by the slot's voices.
  bool dcRemoverOn = false;
  bool filterOn = false;
  bool carrierFilter = false;
  double feedback = 0.0;  // of the last post-filter sample into the oscillator's
  // Oversampling: the sub-samples after the first, each a subStep of the
  // increment on, through the lowpass (its coefficients and gain); 0 for none.
  int subSamples = 0;
  double subStep = 0.0;
  double besselCoeffs[kBesselOrder] = {};
  double besselGain = 0.0;
  double volume = 0.0;
  double period = 0.0;  // of the phase; a step never reaches it
  // The bend (Oscillator::BentPhase): where a lane is bent, or the phase runs
  // over more than one cycle, the waveform is read at the bent phase wrapped
  // into a cycle. Per lane the window and its inverse, and the power curve as
  // approxPow's terms (Oscillator::PowerTerms) of the lane's exponent.
  bool bendRead = false;
  bool bendMiddle = false;    // kBendMiddle, else kBendEdges
  bool bendSpanNote = false;  // kBendSpanNote, else kBendSpanBpm
  bool bendRepeats = false;   // some lane's window repeats inside its period
  int bendMostSquarings = 0;
  std::uint64_t bendOn[kMaxVoices] = {};
  double bendWindow[kMaxVoices] = {};
  double bendInverseWindow[kMaxVoices] = {};
  std::uint64_t bendInverted[kMaxVoices] = {};
  std::uint64_t bendRaised[kMaxVoices] = {};
  double bendSquarings[kMaxVoices] = {};
  double bendBlend[kMaxVoices] = {};
  double snap = 0.0;    // sines closer to 0 than this are 0
  double sincOffset = 0.0;  // what the sinc is lowered by, over its width
  double dcSilence = 0.0;  // the DC remover's silence and the weight it keeps per silent sample
  double dcFadeOut = 0.0;
  int waveform = 0;  // OscWave
  int model = 0;  // FilterModel: simple or t ladder
  // The cutoff follows the filter envelope on every lane.
  bool cutoffMoves = false;
  int passType = 0;              // FilterPassType
  double minCutoff = 0.0;        // the filter slot's clamp of a moved cutoff, Hz
  double maxCutoff = 0.0;
  double cutoffCeiling = 0.0;    // the models' own clamp, Hz
  bool biquadDriven = false;     // some voice's biquad has drive
  double sampleRate = 0.0;
  double inverseRate = 0.0;      // 1 / sample rate
  double maxWarpFraction = 0.0;  // of the sample rate
  double minWarpHz = 0.0;        // the tangent warp's range, Hz
  double maxWarpHz = 0.0;
  double piOverRate = 0.0;
  CutoffRange cutoffRange = {};
  // Frequency modulation from the other slot, which has recorded what this one
  // reads (FmSource) up to the frame before: its value one frame back, times the
  // amount, clamped to +-fmLimit, moves the phase.
  bool fmIn = false;
  double fmAmount = 0.0;
  double fmLimit = 0.0;
  const double* fmSourceRecord = nullptr;  // [frame * kMaxVoices + voice]
  // This slot records for the other one, in fmRecord.
  bool fmOut = false;
  int fmSource = 0;  // what it records
  // Hard sync: this slot, the master, records the sample the sync reads
  // (before or after its filter) in syncRecord; the other slot, the slave,
  // counts the master's zero crossings (a product of the sample and the one
  // before at or below 0) and after syncPeriod of them restarts its phase.
  bool syncOut = false;
  bool syncPreFilter = false;
  bool syncIn = false;
  double syncPeriod = 0.0;
  // A soft restart: the slave crossfades from its last output to the new
  // phase's over this many samples (0: none).
  int syncSoftLength = 0;
  const double* syncSourceRecord = nullptr;  // [frame * kMaxVoices + voice]

  // Oscillator AM: the modulator slot records, frame by frame, the sample its
  // carrier's level reads (before or after its filter, as each voice taps it)
  // and its amplitude envelope; the carrier takes the level of that sample (0
  // unless above the threshold, 1 above full scale, the slope between) times
  // the amount, times its own sample (before or after its filter) and the
  // modulator's envelope: the product that is added to its output or, taken
  // through the filter, to its next sample before the filter. A carrier that
  // runs second does so in each frame; one that runs first (amDeferred) does
  // it for the frame before as its next call starts, and the run ends with a
  // call of no frames that does it for the last.
  bool amOut = false;
  bool amIn = false;
  bool amDeferred = false;
  double amAmount = 0.0;
  double amThreshold = 0.0;
  double amSlope = 0.0;
  bool amAddsExternal = false;  // the modulator's external AM, 0 in a run, times the level
  const double* amSourceRecord = nullptr;    // [frame * kMaxVoices + voice]
  const double* amEnvelopeRecord = nullptr;  // [frame * kMaxVoices + voice]

  // Glides: a voice gliding its pitch moves its frequency by its step every
  // frame, its oscillator's increment following it (frequency times pitch
  // factor times rate factor); one gliding its velocity moves that by its step,
  // the velocity factor following it (velocity times velocityScale). A run
  // ends before a glide's last step.
  bool glides = false;
  double velocityScale = 0.0;
  std::uint64_t pitchGlideOn[kMaxVoices] = {};
  double glideFrequency[kMaxVoices] = {};
  double glideFrequencyStep[kMaxVoices] = {};
  double pitchFactor[kMaxVoices] = {};
  double rateFactor[kMaxVoices] = {};
  std::uint64_t velocityGlideOn[kMaxVoices] = {};
  double glideVelocity[kMaxVoices] = {};
  double glideVelocityStep[kMaxVoices] = {};

  // Per voice. The oscillator: phase and its step per sample (increment times shiver factor).
  double phase[kMaxVoices] = {};
  double step[kMaxVoices] = {};
  // The sinc's width or the polysaw's mix.
  double waveShape[kMaxVoices] = {};
  // The step in its two factors (increment, shiver factor), which FM and a
  // glide read, and the FM source's value of the frame before the run.
  double phaseIncrement[kMaxVoices] = {};
  double shiverFactor[kMaxVoices] = {};
  double fmPrevious[kMaxVoices] = {};
  // The oversampling lowpass's history, newest first.
  double bessel[kBesselHistory][kMaxVoices] = {};
  // Hard sync's slave: the master's sample before the run, the crossings
  // counted and the phase a restart goes to.
  double syncPrevious[kMaxVoices] = {};
  double syncCrossings[kMaxVoices] = {};
  double restartPhase[kMaxVoices] = {};
  // Oscillator AM: which voices tap a sample before the filter (the
  // modulator's for its carrier, the carrier's own), and the carrier's level
  // times amount and product of the last frame.
  std::uint64_t amModulatorPre[kMaxVoices] = {};
  std::uint64_t amCarrierPre[kMaxVoices] = {};
  double amLevel[kMaxVoices] = {};
  double amProduct[kMaxVoices] = {};
  // The crossfade of a soft restart: on (1) or off (0), the samples into it, its
  // length, and the oscillator's last output it fades from.
  double declickOn[kMaxVoices] = {};
  double declickCounter[kMaxVoices] = {};
  double declickLength[kMaxVoices] = {};
  double lastOutput[kMaxVoices] = {};
  // The post-filter sample of the frame before the run, which feedback reads.
  double previousPost[kMaxVoices] = {};
  // The soft limiter, used before and after the filter.
  double limiterThreshold[kMaxVoices] = {};
  double limiterKnee[kMaxVoices] = {};
  // Half the oscillator-AM product, which a carrier taken through the filter adds.
  double halfCarrierProduct[kMaxVoices] = {};
  // The DC remover.
  double dcA[kMaxVoices] = {};
  double dcX1[kMaxVoices] = {};
  double dcY1[kMaxVoices] = {};
  double dcWeight[kMaxVoices] = {};
  // A moving cutoff: the filter envelope (as the amplitude envelope below), its
  // amount, the cutoff it moves from and the last cutoff sent to the filter. A gliding cutoff
  // moves the cutoff the envelope moves from by its step each frame first (a
  // run ends before it arrives); where the envelope amount is 0 (envMoves off)
  // the glide alone gives the cutoff.
  bool cutoffGlides = false;
  std::uint64_t envMoves[kMaxVoices] = {};
  std::uint64_t cutoffGlideOn[kMaxVoices] = {};
  double cutoffGlideStep[kMaxVoices] = {};
  std::uint64_t fltEnvAttack[kMaxVoices] = {};
  std::uint64_t fltEnvMultiplying[kMaxVoices] = {};
  double fltEnvLevel[kMaxVoices] = {};
  double fltEnvMultiplier[kMaxVoices] = {};
  double fltEnvNormalisedLevel[kMaxVoices] = {};
  double fltEnvOutput[kMaxVoices] = {};
  double fltEnvMinimum[kMaxVoices] = {};
  double envAmount[kMaxVoices] = {};
  double baseCutoff[kMaxVoices] = {};
  double sentCutoff[kMaxVoices] = {};
  // The filter model's fields, and whether some voice drives its biquad or its
  // formant filter.
  double filter[kFilterRows][kMaxVoices] = {};
  bool formantDriven = false;
  // The amplitude envelope: attack lanes add the multiplier, decay and release
  // lanes multiply by it, the others hold.
  std::uint64_t envAttack[kMaxVoices] = {};
  std::uint64_t envMultiplying[kMaxVoices] = {};
  double envLevel[kMaxVoices] = {};
  double envMultiplier[kMaxVoices] = {};
  double envNormalisedLevel[kMaxVoices] = {};
  double envOutput[kMaxVoices] = {};
  double envMinimum[kMaxVoices] = {};
  double velocityFactor[kMaxVoices] = {};
  double panLeft[kMaxVoices] = {};
  double panRight[kMaxVoices] = {};

  // What the other slot's FM and hard sync read, frame by frame.
  double fmRecord[kMaxFrames * kMaxVoices] = {};
  double syncRecord[kMaxFrames * kMaxVoices] = {};
  double amRecord[kMaxFrames * kMaxVoices] = {};
  double amEnvelopes[kMaxFrames * kMaxVoices] = {};

  // The last frame's values.
  double wave[kMaxVoices] = {};
  double pre[kMaxVoices] = {};
  double post[kMaxVoices] = {};
  double out[kMaxVoices] = {};
  double amplitude[kMaxVoices] = {};
};

// Renders frames (<= kMaxFrames) of the first voices (<= kMaxVoices) lanes of
// the slot; lanes up to the next multiple of the lane width must hold a voice's
// state as well (their results are not used). Each voice's contribution to the
// slot's left and right bus lands in left and right [frame * kMaxVoices + voice].
void Render(Slot& slot, int voices, int frames, double* left, double* right);

// The roads themselves, for tests; Avx2 only where the processor has it.
void RenderSse2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderAvx2(Slot& slot, int voices, int frames, double* left, double* right);
// The sinc and the polysaw through every other filter, on each road, each in
// a file of its own.
void RenderSincSse2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderSincAvx2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderPolysawSse2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderPolysawAvx2(Slot& slot, int voices, int frames, double* left, double* right);
// The road of a slot whose lanes are built in a file of their own (the formant
// filter, the sinc, the polysaw), on AVX2 or SSE2; nullptr for the others.
using Road = void (*)(Slot&, int, int, double*, double*);
Road SeparateRoad(const Slot& slot, bool avx2);
// A slot through the formant filter, on each road; its lanes are built in a
// file of their own so that no one file grows much heavier to compile.
void RenderFormantSse2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderFormantAvx2(Slot& slot, int voices, int frames, double* left, double* right);
}  // namespace RunLanes
