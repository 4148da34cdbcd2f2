// The runs' two-lane (SSE2) and four-lane (AVX2) roads over one slot of
// voices set up at random, every stage the runs carry switched on and off from
// run to run: both must give the same bits, and leave the same state.
#include "OscWaves.h"
#include "filters/FormantFltZK.h"
#include "lanes/RunLanes.h"
#include "lanes/SineLanes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace
{
// A model's state (a struct of doubles, its fields named once) into lane v of
// the slot's filter rows.
template <class State>
void SetLane(RunLanes::Slot& slot, int v, const State& state)
{
  constexpr int n = sizeof(State) / sizeof(double);
  static_assert(n <= RunLanes::kFilterRows, "a row for every field");
  double fields[n];
  std::memcpy(fields, &state, sizeof(State));
  for (int f = 0; f < n; ++f) slot.filter.fields[f][v] = fields[f];
}

// Lane v of the slot's filter rows into a model's state.
template <class State>
void GetLane(const RunLanes::Slot& slot, int v, State& state)
{
  constexpr int n = sizeof(State) / sizeof(double);
  double fields[n];
  for (int f = 0; f < n; ++f) fields[f] = slot.filter.fields[f][v];
  std::memcpy(&state, fields, sizeof(State));
}

// Every model's state of each voice, which a run's model takes into its rows
// and back, so that each model's states go on from run to run.
struct ModelStates
{
  BiquadState<double> biquad[RunLanes::kMaxVoices] = {};
  TransistorLadderState<double> ladder[RunLanes::kMaxVoices] = {};
  DiodeLadderState<double> diode[RunLanes::kMaxVoices] = {};
  StateVariableState<double> svf[RunLanes::kMaxVoices] = {};
  FormantState<double> formant[RunLanes::kMaxVoices] = {};

  void Into(RunLanes::Slot& slot, int model, int voices) const
  {
    for (int v = 0; v < voices; ++v)
    {
      switch (model)
      {
        case kFltSimple: SetLane(slot, v, biquad[v]); break;
        case kFltTLadder: SetLane(slot, v, ladder[v]); break;
        case kFltMoog: SetLane(slot, v, diode[v]); break;
        case kFltReson: SetLane(slot, v, svf[v]); break;
        default: SetLane(slot, v, formant[v]); break;
      }
    }
  }
  void From(const RunLanes::Slot& slot, int model, int voices)
  {
    for (int v = 0; v < voices; ++v)
    {
      switch (model)
      {
        case kFltSimple: GetLane(slot, v, biquad[v]); break;
        case kFltTLadder: GetLane(slot, v, ladder[v]); break;
        case kFltMoog: GetLane(slot, v, diode[v]); break;
        case kFltReson: GetLane(slot, v, svf[v]); break;
        default: GetLane(slot, v, formant[v]); break;
      }
    }
  }
};

using Random = std::mt19937_64;

// A draw in [-1, 1].
double Unit(Random& random)
{
  return std::uniform_real_distribution<double>(-1.0, 1.0)(random);
}

// Voice v's oscillator, chain, envelopes, bend and cutoff: the amplitude envelope
// rising on some lanes and falling on others, the limiter on both sides.
void SetUpVoice(RunLanes::Slot& first, int v, Random& random)
{
  first.osc.phase[v] = 3.0 + 3.0 * Unit(random);
  first.osc.step[v] = 0.3 + 0.29 * Unit(random);
  first.osc.shape[v] = 0.05 + 0.08 * v;  // a sinc's width or a polysaw's mix
  first.output.limiterThreshold[v] = 0.5;
  first.output.limiterKnee[v] = 2.0;
  first.am.halfProduct[v] = 0.2 * Unit(random);
  first.dc.a[v] = 0.999;
  first.dc.weight[v] = 0.5;
  first.amp.attack[v] = v % 3 == 0 ? ~0ull : 0;
  first.amp.multiplying[v] = v % 3 == 1 ? ~0ull : 0;
  first.amp.level[v] = 0.5;
  first.amp.multiplier[v] = v % 3 == 0 ? 0.01 : 0.999;
  first.amp.normalisedLevel[v] = v == 2 ? 0.5 : 0.4;
  first.amp.minimum[v] = 0.0001;
  first.output.velocityFactor[v] = 0.8;
  // Bends of every kind: mirrored (p < 1), raised, squared up to nine times,
  // windows below, at and above a cycle.
  first.bend.on[v] = v % 5 != 4 ? ~0ull : 0;
  first.bend.window[v] = 1.5 + 2.0 * (v % 4);
  first.bend.inverseWindow[v] = 1.0 / first.bend.window[v];
  first.bend.inverted[v] = v % 2 == 1 ? ~0ull : 0;
  first.bend.raised[v] = v % 3 != 2 ? ~0ull : 0;
  first.bend.squarings[v] = v % 10;
  first.bend.blend[v] = 0.1 * (v % 7);
  first.output.inputModPre[v] = v % 2 == 0 ? ~0ull : 0;
  first.filter.cutoff.wasModulated[v] = v % 5 == 1 ? ~0ull : 0;
  // The filter envelope sweeps the cutoff up on some lanes, down on others.
  first.filter.cutoff.envelope.attack[v] = v % 2 == 0 ? ~0ull : 0;
  first.filter.cutoff.envelope.multiplying[v] = v % 2 == 1 ? ~0ull : 0;
  first.filter.cutoff.envelope.level[v] = 0.3;
  first.filter.cutoff.envelope.multiplier[v] = v % 2 == 0 ? 0.001 : 0.998;
  first.filter.cutoff.envelope.normalisedLevel[v] = 0.2;
  first.filter.cutoff.envelope.minimum[v] = 0.0001;
  first.filter.cutoff.amount[v] = v % 3 == 0 ? -0.7 : 0.6;
  first.filter.cutoff.base[v] = 500.0 + 300.0 * v;
  first.filter.cutoff.sent[v] = -1.0;
}

// Voice v's state of every model, each driven on some lanes and not on others.
void SetUpModels(ModelStates& states, int v, Random& random)
{
  BiquadState<double>& biquad = states.biquad[v];
  biquad.b0 = 2.0 + Unit(random);  // loud enough for both sides of the limiter
  biquad.b1 = 0.3;
  biquad.b2 = 0.1;
  biquad.a1 = -0.5;
  biquad.a2 = 0.2;
  biquad.z1 = v == 3 ? 1e-310 : 0.0;  // a subnormal to flush
  biquad.blockerCoefficient = 0.001;
  biquad.q = 0.25 + v;
  biquad.peakFactor = 3.0;
  biquad.drive = v % 2 == 0 ? 0.0 : 0.6;
  biquad.driveBlend = 0.3;
  biquad.driveNormaliser = 0.9;
  biquad.resonancePow8 = 0.2;
  TransistorLadderState<double>& ladder = states.ladder[v];
  ladder.s1 = 0.1 * Unit(random);
  ladder.s2 = 0.1 * Unit(random);
  ladder.cutoff = 800.0;
  ladder.g = 0.05;
  ladder.g0 = 1.0 / 1.05;
  ladder.gain = ladder.gain2 = ladder.gain3 = ladder.gain4 = 0.05;
  ladder.feedback = 3.5;
  ladder.inputGain = 1.0 + 30.0 * (v % 2);  // into the saturated tanh
  ladder.highPassCoefficient = 0.002;
  ladder.blockerCoefficient = 0.001;
  DiodeLadderState<double>& diode = states.diode[v];
  diode.s1 = 0.2 * Unit(random);
  diode.s3 = 0.2 * Unit(random);
  diode.cutoff = 900.0;
  diode.g = 0.08;
  diode.onePlusG = 1.08;
  diode.invG = 1.0 / 0.08;
  diode.invOnePlusG = 1.0 / 1.08;
  diode.gain = 0.08 / 1.08;
  diode.d1 = diode.e1 = diode.a1 = diode.b1 = 0.3;
  diode.d1e1 = 0.09;
  diode.d1e1a1 = 0.027;
  diode.k0 = 10.0;
  diode.k = 9.0;
  diode.inputGain = 1.0 + 30.0 * (v % 2);
  diode.drivenK = 9.0 * diode.inputGain;  // both sides of the saturation
  diode.invDenominator = 0.9;
  diode.feedbackNormaliser = 0.8;
  diode.resonanceSetting = 0.6;
  diode.lowPassGain = 2.0;
  diode.blockerCoefficient = 0.001;
  StateVariableState<double>& svf = states.svf[v];
  svf.s1 = 0.3 * Unit(random);
  svf.cutoff = 700.0 + 500.0 * v;  // both sides of the drive blend's bends
  svf.g = 0.05;
  svf.h = 0.9;
  svf.r = 0.1;
  svf.rf = 0.1;
  svf.drive = v % 2 == 0 ? 0.0 : 0.8;
  svf.q = 0.5;
  // Five band-passes of their own tunings and amplitudes.
  FormantState<double>& formant = states.formant[v];
  for (int b = 0; b < FormantConstants::kNumFormants; ++b)
  {
    BiquadCoreState<double>& band = formant.bands[b].biquad;
    band.b0 = 0.05 * (b + 1);
    band.b2 = -band.b0;
    band.a1 = -1.9 + 0.1 * b;
    band.a2 = 0.9;
    band.z1 = b == 2 && v == 5 ? 1e-310 : 0.1 * Unit(random);
    band.blockerCoefficient = 0.001;
    formant.bands[b].amp = 1.0 / (b + 1);
  }
  // The formant's drive on some lanes: its band-pass and high-pass.
  for (int i = 0; i < 2; ++i)
  {
    StateVariableState<double>& svf = i == 0 ? formant.bandPass : formant.highPass;
    svf.s1 = 0.2 * Unit(random);
    svf.s2 = 0.2 * Unit(random);
    svf.cutoff = 400.0 + 900.0 * i;
    svf.g = 0.03 + 0.1 * i;
    svf.h = 0.8;
    svf.r = 0.5;
    svf.rf = 0.5;
    svf.drive = i == 0 ? 0.15 : 0.0;
    svf.q = 0.3;
  }
  formant.driveGain = v % 3 == 0 ? 1.0 : 1.0 + 5.0 * v;
  formant.driveNormaliser = 1.0 / std::asinh(formant.driveGain);
  formant.voiceBlend = v % 4 == 3 ? 1.0 : 0.3 * (v % 4);
  formant.shift = 0.5 + 0.5 * v;  // the higher ones folded
  formant.bandQ = 20.0;
  formant.hz = 700.0;
}

// What links the slots and what a run records ahead: the other slot's records
// (FM, sync and AM read them), the glides, the lowpass, the walks and the noise.
void SetUpLinks(RunLanes::Slot& first, int voices, std::vector<double>& record, std::vector<double>& envelopes,
                Random& random)
{
  // FM from a record that swings the increment below 0 and past the period.
  record.assign(RunLanes::kMaxFrames * RunLanes::kMaxVoices, 0.0);
  for (double& x : record) x = 1.5 * Unit(random);
  for (int v = 0; v < voices; ++v)
  {
    first.osc.increment[v] = first.osc.step[v];
    first.osc.shiverFactor[v] = 1.0 + 0.01 * v;
    first.fm.previous[v] = Unit(random);
  }
  // Some lanes glide their pitch, some their velocity.
  for (int v = 0; v < voices; ++v)
  {
    first.glide.pitchOn[v] = v % 2 == 0 ? ~0ull : 0;
    first.glide.frequency[v] = 300.0 + 150.0 * v;
    first.glide.frequencyStep[v] = v % 4 == 0 ? -0.7 : 0.9;
    first.glide.pitchFactor[v] = 1.0 + 0.01 * v;
    first.glide.rateFactor[v] = 2.0 * 3.14159265358979323846 / 48000.0;
    first.glide.velocityOn[v] = v % 3 == 0 ? ~0ull : 0;
    first.glide.velocity[v] = 60.0 + v;
    first.glide.velocityStep[v] = v % 2 == 0 ? 0.05 : -0.04;
  }
  first.glide.velocityScale = 1.0 / 127.0;
  // Some cutoffs glide, some of them with their envelope still.
  for (int v = 0; v < voices; ++v)
  {
    first.filter.cutoff.glideOn[v] = v % 3 != 1 ? ~0ull : 0;
    first.filter.cutoff.glideStep[v] = v % 2 == 0 ? 7.5 : -4.0;
    first.filter.cutoff.envMoves[v] = v % 4 != 2 ? ~0ull : 0;
  }
  first.fm.amount = 9.0;
  first.fm.limit = 20.0;
  first.fm.sourceRecord = record.data();
  first.sync.sourceRecord = record.data();
  first.am.sourceRecord = record.data();
  envelopes.assign(record.size(), 0.0);
  for (double& x : envelopes) x = 0.5 + 0.5 * Unit(random);
  first.am.envelopeRecord = envelopes.data();
  first.am.amount = 0.8;
  first.am.threshold = 0.2;
  first.am.slope = 1.25;
  for (int v = 0; v < voices; ++v)
  {
    first.am.carrierPre[v] = v % 2 == 0 ? ~0ull : 0;
    first.am.modulatorPre[v] = v % 3 == 0 ? ~0ull : 0;
  }
  first.sync.period = 2.0;
  for (int v = 0; v < voices; ++v)
  {
    first.sync.restartPhase[v] = 0.1 * v;
    // Some lanes inside a crossfade, one at its last sample.
    first.sync.declickOn[v] = v % 3 == 0 ? 1.0 : 0.0;
    first.sync.declickCounter[v] = v == 3 ? 4.0 : 1.0;
    first.sync.declickLength[v] = 5.0;
    first.sync.lastOutput[v] = Unit(random);
  }
  // A 4x lowpass of no particular design: its history and coefficients only need numbers.
  for (int j = 0; j < RunLanes::kBesselOrder; ++j) first.osc.besselCoeffs[j] = 0.1 * Unit(random);
  first.osc.besselGain = 0.02;
  first.osc.subStep = 0.25;
  for (int j = 0; j < RunLanes::kBesselHistory; ++j)
    for (int v = 0; v < voices; ++v) first.osc.bessel[j][v] = j == 2 && v == 1 ? 1e-310 : Unit(random);
  first.filter.range = {24000.0, 0.49 * 48000.0, 3.14159265358979323846 / 48000.0, 1.0 / 48000.0, 48000.0};
  first.filter.cutoff.minCutoff = 10.0;
  first.filter.cutoff.maxCutoff = 20000.0;
  first.dc.on = first.filter.on = first.am.carrierFilter = true;
  first.output.feedback = 0.7;
  first.output.volume = 1.5;
  first.osc.period = 2.0 * 3.14159265358979323846;
  // The walks a run records ahead, each frame's own: the tune shiver's factor,
  // the cutoff shiver (0 on some lanes and frames), the pan; and the noise's
  // mixes, heard directly and through the external AM.
  for (int k = 0; k < RunLanes::kMaxFrames; ++k)
  {
    for (int v = 0; v < voices; ++v)
    {
      const int at = k * RunLanes::kMaxVoices + v;
      first.osc.shiverFactors[at] = 1.0 + 0.05 * Unit(random);
      first.filter.cutoff.shiver[at] = (v + k) % 4 == 0 ? 0.0 : Unit(random);
      first.output.panLefts[at] = 0.5 + 0.5 * Unit(random);
      first.output.panRights[at] = 0.5 + 0.5 * Unit(random);
    }
    for (int ch = 0; ch < 2; ++ch)
    {
      first.output.direct[k][ch] = 0.3 * Unit(random);
      first.output.modulated[k][ch] = 0.3 * Unit(random);
    }
  }
  first.output.amThreshold = 0.1;
  first.output.amSlope = 1.1;
}

// What run `run` switches on and off: every waveform, pass type and model, the
// cutoff still and moving, each link, glide, bend, walk and noise.
void Switch(RunLanes::Slot& s, int run)
{
  s.osc.waveform = run / 4 % kNumOscWaves;
  s.filter.passType = run % 5;
  s.filter.cutoff.moves = run % 3 != 0;
  const FilterModel models[] = {kFltSimple, kFltTLadder, kFltMoog, kFltReson, kFltFormant};
  static_assert(std::size(models) == kNumFilterModels, "every model runs");
  s.filter.model = models[(run + run / 5) % kNumFilterModels];
  s.fm.in = run % 7 < 3;
  s.fm.out = run % 2 == 0;
  s.fm.source = run % 3;
  s.osc.subSamples = run % 6 < 2 ? 3 : 0;
  s.sync.in = run % 4 == 1;
  s.sync.out = run % 3 == 1;
  s.sync.softLength = run % 8 == 1 ? 0 : 7;
  s.filter.driven = run % 3 != 2;
  s.am.in = run % 5 < 2;
  s.am.out = run % 4 == 2;
  s.am.addsExternal = run % 3 == 0;
  s.am.carrierFilter = run % 7 != 4;
  s.glide.on = run % 3 == 0;
  s.filter.cutoff.glides = run % 4 != 3;
  s.bend.read = run % 3 != 1;
  s.bend.middle = run % 4 < 2;
  s.bend.spanNote = run % 5 < 3;
  s.bend.repeats = run % 6 != 0;
  s.osc.shiverWalks = run % 5 == 3;
  s.filter.cutoff.shivers = run % 4 != 0;
  s.filter.cutoff.shiverWalks = run % 3 == 2;
  s.output.panWalks = run % 2 == 1;
  s.output.external = run % 6 > 2;
  s.output.amDepth = (run % 3) * 0.5;
  s.bend.mostSquarings = 9;
}
}  // namespace


TEST(RunsOfFrames, TheTwoAndFourLaneRoadsGiveTheSameBits)
{
  if (!SineLanes::HasAvx2()) GTEST_SKIP() << "no AVX2 on this processor; the engine tests cover the SSE2 road";
  Random random(7);
  RunLanes::Slot first;
  ModelStates states;
  const int voices = 12;
  for (int v = 0; v < voices; ++v)
  {
    SetUpVoice(first, v, random);
    SetUpModels(states, v, random);
  }
  std::vector<double> record, envelopes;
  SetUpLinks(first, voices, record, envelopes, random);
  RunLanes::Slot second = first;
  std::vector<double> l1(RunLanes::kMaxFrames * RunLanes::kMaxVoices), r1(l1.size()), l2(l1.size()), r2(l1.size());
  for (int run = 0; run < 120; ++run)
  {
    Switch(first, run);
    Switch(second, run);
    states.Into(first, first.filter.model, voices);
    states.Into(second, second.filter.model, voices);
    RunLanes::RenderSse2(first, voices, RunLanes::kMaxFrames, l1.data(), r1.data());
    // Every other run, the four lanes a frame per call, as slots that take turns render.
    if (run % 2 == 0)
      RunLanes::RenderAvx2(second, voices, RunLanes::kMaxFrames, l2.data(), r2.data());
    else
      for (int k = 0; k < RunLanes::kMaxFrames; ++k)
      {
        second.firstFrame = k;
        RunLanes::RenderAvx2(second, voices, 1, l2.data(), r2.data());
      }
    second.firstFrame = 0;
    ASSERT_EQ(std::memcmp(l1.data(), l2.data(), l1.size() * sizeof(double)), 0) << "run " << run;
    ASSERT_EQ(std::memcmp(r1.data(), r2.data(), r1.size() * sizeof(double)), 0) << "run " << run;
    ASSERT_EQ(std::memcmp(&first, &second, sizeof(first)), 0) << "run " << run;
    states.From(first, first.filter.model, voices);
  }
}


// The ladders' voices go several groups of four lanes to one value where they
// fill them (lanes/LanesWide.h); those values must give the bits and leave the
// state of the same groups rendered one by one, at voice counts that make one
// or more wide values of each width and leave groups over, through runs whole
// and a frame per call, the cutoff still and swept.
TEST(RunsOfFrames, TheWideAndOrdinaryFourLaneRoadsGiveTheSameBits)
{
  if (!SineLanes::HasAvx2()) GTEST_SKIP() << "no AVX2 on this processor; the wide values are built for AVX2 only";
  // Lanes in groups of four: 8 (two groups), 12, 16, 24, 28 and 32; a count
  // short of its last group reads the lanes it pads.
  for (int voices : {5, 8, 12, 13, 20, 28, 32})
  {
    Random random(11 + voices);
    RunLanes::Slot wide;
    ModelStates states;
    for (int v = 0; v < RunLanes::kMaxVoices; ++v)
    {
      SetUpVoice(wide, v, random);
      SetUpModels(states, v, random);
      // Groups of four lanes quiet, mixed and loud in turn, so that a wide
      // value holds groups that need a step (tanh's exponential, asinh's
      // logarithm) beside groups that do not.
      const int loudness = v / 4 % 3;
      if (loudness == 1) continue;
      states.ladder[v].inputGain = states.diode[v].inputGain = loudness == 0 ? 0.01 : 31.0;
      states.diode[v].drivenK = 9.0 * states.diode[v].inputGain;
    }
    std::vector<double> record, envelopes;
    SetUpLinks(wide, RunLanes::kMaxVoices, record, envelopes, random);
    RunLanes::Slot ordinary = wide;
    ordinary.wideGroups = 1;
    std::vector<double> l1(RunLanes::kMaxFrames * RunLanes::kMaxVoices), r1(l1.size()), l2(l1.size()),
      r2(l1.size());
    for (int run = 0; run < 60; ++run)
    {
      Switch(wide, run);
      Switch(ordinary, run);
      // Both ladders, each with its cutoff still and moving and every other
      // stage switched as above.
      wide.filter.model = ordinary.filter.model = run % 2 == 0 ? kFltTLadder : kFltMoog;
      states.Into(wide, wide.filter.model, RunLanes::kMaxVoices);
      states.Into(ordinary, ordinary.filter.model, RunLanes::kMaxVoices);
      RunLanes::RenderAvx2(ordinary, voices, RunLanes::kMaxFrames, l1.data(), r1.data());
      if (run % 4 < 2)
        RunLanes::RenderAvx2(wide, voices, RunLanes::kMaxFrames, l2.data(), r2.data());
      else
        for (int k = 0; k < RunLanes::kMaxFrames; ++k)
        {
          wide.firstFrame = k;
          RunLanes::RenderAvx2(wide, voices, 1, l2.data(), r2.data());
        }
      wide.firstFrame = 0;
      const std::string at = std::to_string(voices) + " voices, run " + std::to_string(run);
      ASSERT_EQ(std::memcmp(l1.data(), l2.data(), l1.size() * sizeof(double)), 0) << at;
      ASSERT_EQ(std::memcmp(r1.data(), r2.data(), r1.size() * sizeof(double)), 0) << at;
      wide.wideGroups = 1;
      ASSERT_EQ(std::memcmp(&ordinary, &wide, sizeof(wide)), 0) << at;
      wide.wideGroups = RunLanes::kMaxWideGroups;
      states.From(wide, wide.filter.model, RunLanes::kMaxVoices);
    }
  }
}
