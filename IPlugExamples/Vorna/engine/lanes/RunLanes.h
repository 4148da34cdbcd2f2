#pragma once

// One oscillator slot of the sounding voices laid out side by side, one voice
// per lane, for a run of frames (docs/engine.md): a record per stage of the
// voice's chain, in its order, each holding what the slot's voices share and a
// row of values per voice. The lanes compute exactly what each voice's own code
// computes, operation for operation, so a run sounds the same bits as the
// frames rendered one by one. Plain data only: the files built for AVX2 include
// it, and they must not include any inline function of the engine.
#include "filters/BiquadMath.h"
#include "filters/CutoffMath.h"
#include "filters/DiodeLadderMath.h"
#include "filters/FormantMath.h"
#include "filters/LaneFields.h"
#include "filters/StateVariableMath.h"
#include "filters/TransistorLadderMath.h"

#include <cstdint>

namespace RunLanes
{
constexpr int kMaxFrames = 32;
constexpr int kMaxVoices = 32;  // a multiple of every lane width
constexpr int kMaxWideGroups = 4;  // groups of lanes one value carries (LanesWide.h)
static_assert(LaneFields::kStride == kMaxVoices, "a model's lane fields are rows of voices");
// The oversampling lowpass: its order, and the history it keeps (the newest
// output and the ones before it).
constexpr int kBesselOrder = 8;
constexpr int kBesselHistory = kBesselOrder + 1;
// One cycle of the phase, in radians.
constexpr double kCycle = 2.0 * 3.14159265358979323846;
// A row of the frames' values for every voice: [frame * kMaxVoices + voice].
using FrameRows = double[kMaxFrames * kMaxVoices];

// What a slot records for the other slot's FM, numbered as the engine's FM
// sources number them: its pre-filter sample, its post-filter sample, or the
// pre-filter sample times its amplitude envelope.
enum FmSource
{
  kFmPre = 0,
  kFmPost = 1,
  kFmPreTimesEnvelope = 2
};

// The oscillator (Oscillator's plain path, or FullSampleOf's with FM and
// oversampling): its phase and the step it moves by per sample (increment
// times shiver factor), the step's two factors, which FM and a glide read, and
// the sinc's width or the polysaw's mix. Oversampling adds subSamples
// sub-samples after the first, each a subStep of the increment on, through
// the lowpass (its coefficients, gain and history, newest first); 0 for none.
// Where the tune shiver walks, each frame takes its voice's shiver factor from
// the run's record of the walk.
struct OscillatorRecord
{
  int waveform = 0;     // OscWave
  double period = 0.0;  // of the phase; a step never reaches it
  int subSamples = 0;
  double subStep = 0.0;
  double besselCoeffs[kBesselOrder] = {};
  double besselGain = 0.0;
  double phase[kMaxVoices] = {};
  double step[kMaxVoices] = {};
  double increment[kMaxVoices] = {};
  double shiverFactor[kMaxVoices] = {};
  double shape[kMaxVoices] = {};
  double bessel[kBesselHistory][kMaxVoices] = {};
  bool shiverWalks = false;
  FrameRows shiverFactors = {};
};

// The bend (Oscillator::BentPhase): where a lane is bent, or the phase runs
// over more than one cycle, the waveform is read at the bent phase wrapped
// into a cycle. Per lane the window and its inverse, and the power curve as
// approxPow's terms (Oscillator::PowerTerms) of the lane's exponent.
struct BendRecord
{
  bool read = false;
  bool middle = false;    // kBendMiddle, else kBendEdges
  bool spanNote = false;  // kBendSpanNote, else kBendSpanBpm
  bool repeats = false;   // some lane's window repeats inside its period
  int mostSquarings = 0;
  std::uint64_t on[kMaxVoices] = {};
  double window[kMaxVoices] = {};
  double inverseWindow[kMaxVoices] = {};
  std::uint64_t inverted[kMaxVoices] = {};
  std::uint64_t raised[kMaxVoices] = {};
  double squarings[kMaxVoices] = {};
  double blend[kMaxVoices] = {};
};

// Glides: a voice gliding its pitch moves its frequency by its step every
// frame, its oscillator's increment following it (frequency times pitch
// factor times rate factor); one gliding its velocity moves that by its step,
// the velocity factor following it (velocity times velocityScale). A run ends
// before a glide's last step.
struct GlideRecord
{
  bool on = false;
  double velocityScale = 0.0;
  std::uint64_t pitchOn[kMaxVoices] = {};
  double frequency[kMaxVoices] = {};
  double frequencyStep[kMaxVoices] = {};
  double pitchFactor[kMaxVoices] = {};
  double rateFactor[kMaxVoices] = {};
  std::uint64_t velocityOn[kMaxVoices] = {};
  double velocity[kMaxVoices] = {};
  double velocityStep[kMaxVoices] = {};
};

// Frequency modulation from the other slot, which has recorded what this one
// reads (FmSource) up to the frame before: its value one frame back, times the
// amount, clamped to +-limit, moves the phase. A slot the other reads records
// for it, frame by frame.
struct FmRecord
{
  bool in = false;
  double amount = 0.0;
  double limit = 0.0;
  const double* sourceRecord = nullptr;  // the other slot's record
  double previous[kMaxVoices] = {};       // the source's value of the frame before the run
  bool out = false;
  int source = 0;  // what this slot records
  FrameRows record = {};
};

// Hard sync: the master records the sample the sync reads (before or after its
// filter); the slave counts the master's zero crossings (a product of the
// sample and the one before at or below 0) and after `period` of them restarts
// its phase, crossfading from its last output over softLength samples where
// that is above 0 (Oscillator's declick: on, the samples into it, its length).
struct SyncRecord
{
  bool out = false;
  bool preFilter = false;
  FrameRows record = {};
  bool in = false;
  double period = 0.0;
  int softLength = 0;
  const double* sourceRecord = nullptr;
  double previous[kMaxVoices] = {};  // the master's sample before the run
  double crossings[kMaxVoices] = {};
  double restartPhase[kMaxVoices] = {};
  double declickOn[kMaxVoices] = {};
  double declickCounter[kMaxVoices] = {};
  double declickLength[kMaxVoices] = {};
  double lastOutput[kMaxVoices] = {};
};

// Oscillator AM: the modulator slot records, frame by frame, the sample its
// carrier's level reads (before or after its filter, as each voice taps it)
// and its amplitude envelope; the carrier takes the level of that sample (0
// unless above the threshold, 1 above full scale, the slope between) times
// the amount, times its own sample (before or after its filter) and the
// modulator's envelope: the product that is added to its output or, taken
// through the filter (carrierFilter), to its next sample before the filter. A
// carrier that runs second does so in each frame; one that runs first
// (deferred) does it for the frame before as its next call starts, and the run
// ends with a call of no frames that does it for the last.
struct AmRecord
{
  bool out = false;
  std::uint64_t modulatorPre[kMaxVoices] = {};
  FrameRows record = {};
  FrameRows envelopes = {};
  bool in = false;
  bool deferred = false;
  bool carrierFilter = false;
  bool addsExternal = false;  // the modulator's external AM, 0 in a run, times the level
  double amount = 0.0;
  double threshold = 0.0;
  double slope = 0.0;
  const double* sourceRecord = nullptr;
  const double* envelopeRecord = nullptr;
  std::uint64_t carrierPre[kMaxVoices] = {};
  double level[kMaxVoices] = {};
  double product[kMaxVoices] = {};
  double halfProduct[kMaxVoices] = {};  // half the product, which a carrier taken through the filter adds
};

// The DC remover.
struct DcRecord
{
  bool on = false;
  double a[kMaxVoices] = {};
  double x1[kMaxVoices] = {};
  double y1[kMaxVoices] = {};
  double weight[kMaxVoices] = {};
};

// An envelope within its stage: attack lanes add the multiplier, decay and
// release lanes multiply by it, the others hold.
struct EnvelopeRecord
{
  std::uint64_t attack[kMaxVoices] = {};
  std::uint64_t multiplying[kMaxVoices] = {};
  double level[kMaxVoices] = {};
  double multiplier[kMaxVoices] = {};
  double normalisedLevel[kMaxVoices] = {};
  double output[kMaxVoices] = {};
  double minimum[kMaxVoices] = {};
};

// A moving cutoff: the filter envelope, its amount, the cutoff it moves from
// and the last cutoff sent to the filter. A gliding cutoff moves the cutoff
// the envelope moves from by its step each frame first (a run ends before it
// arrives); where the envelope amount is 0 (envMoves off) the glide alone
// gives the cutoff. The cutoff shiver then moves it, each frame its voice's
// value of the run's record of the walk (shivers: some voice's is not 0).
// A cutoff is sent where it moved, as the slot sends it: where something
// moves it, or moved it on the frame before (wasModulated).
struct CutoffRecord
{
  bool moves = false;  // the cutoff follows its envelope or glide on every lane
  bool glides = false;
  double minCutoff = 0.0;  // the filter slot's clamp of a moved cutoff, Hz
  double maxCutoff = 0.0;
  EnvelopeRecord envelope;
  std::uint64_t envMoves[kMaxVoices] = {};
  double amount[kMaxVoices] = {};
  double base[kMaxVoices] = {};
  double sent[kMaxVoices] = {};
  std::uint64_t glideOn[kMaxVoices] = {};
  double glideStep[kMaxVoices] = {};
  bool shivers = false;
  bool shiverWalks = false;  // each frame its own row; else the first row holds throughout
  FrameRows shiver = {};
  std::uint64_t wasModulated[kMaxVoices] = {};
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

// The filter: its model (FilterModel) and pass type (FilterPassType), what the
// sample rate gives its cutoff arithmetic, whether some voice drives it (the
// "simple"'s drive above 0, the "formant"'s gain above 1), the cutoff, and the
// model's fields.
struct FilterRecord
{
  bool on = false;
  int model = 0;
  int passType = 0;
  CutoffRange range = {};
  bool driven = false;
  CutoffRecord cutoff;
  double fields[kFilterRows][kMaxVoices] = {};
};

// The output: the feedback of the last post-filter sample into the
// oscillator's, the soft limiter (before and after the filter), the volume,
// the velocity factor, the pan (where the pan shiver walks, each frame's from
// the run's record of the walk), and the last frame's values. Where noise
// reaches the slot (external), each frame's mix of it, heard directly and
// through the external AM (Voice::ExternalAm: its depth, threshold and slope,
// tapping each voice's sample before or after its filter), is added to the
// left and right outputs.
struct OutputRecord
{
  double feedback = 0.0;
  double volume = 0.0;
  double limiterThreshold[kMaxVoices] = {};
  double limiterKnee[kMaxVoices] = {};
  double velocityFactor[kMaxVoices] = {};
  double previousPost[kMaxVoices] = {};  // before the run, which feedback reads
  double wave[kMaxVoices] = {};
  double pre[kMaxVoices] = {};
  double post[kMaxVoices] = {};
  double out[kMaxVoices] = {};
  double amplitude[kMaxVoices] = {};
  bool panWalks = false;
  FrameRows panLefts = {};  // the left and right gains; the first frame's row before the run
  FrameRows panRights = {};
  bool external = false;
  double amDepth = 0.0;
  double amThreshold = 0.0;
  double amSlope = 0.0;
  std::uint64_t inputModPre[kMaxVoices] = {};
  double direct[kMaxFrames][2] = {};
  double modulated[kMaxFrames][2] = {};
  double outRight[kMaxVoices] = {};  // the right output where it differs from the left (out)
};

struct Slot
{
  // The frame of the run a call begins at; what the slots record and the
  // voices' outputs are indexed from the run's start. Slots coupled so that
  // each reads the other take turns, a frame each.
  int firstFrame = 0;
  // At most how many groups of lanes the ladders' loops carry as one value
  // (RunLanesKernel.h): the road's own number, or 1 for the ordinary groups,
  // which the tests hold the wide ones to.
  int wideGroups = kMaxWideGroups;
  OscillatorRecord osc;
  BendRecord bend;
  GlideRecord glide;
  FmRecord fm;
  SyncRecord sync;
  AmRecord am;
  DcRecord dc;
  FilterRecord filter;
  EnvelopeRecord amp;
  OutputRecord output;
};

// Renders frames (<= kMaxFrames) of the first voices (<= kMaxVoices) lanes of
// the slot; lanes up to LanesFor(voices) must hold a voice's state as well
// (their results are not used). Each voice's contribution to the slot's left
// and right bus lands in left and right [frame * kMaxVoices + voice].
void Render(Slot& slot, int voices, int frames, double* left, double* right);
// The lanes Render reads for so many voices: up to a whole group of the road it
// takes, four lanes with AVX2 where the processor has it, two otherwise and
// for one or two voices (a lone voice does not fill a group of four).
int LanesFor(int voices);

// The roads themselves, for tests; Avx2 only where the processor has it.
void RenderSse2(Slot& slot, int voices, int frames, double* left, double* right);
void RenderAvx2(Slot& slot, int voices, int frames, double* left, double* right);
}  // namespace RunLanes
