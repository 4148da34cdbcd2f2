#include "Voice.h"

#include "BiquadZK.h"
#include "DCremove.h"
#include "DiodeLadderZDF.h"
#include "Declicker.h"
#include "FilterContainer.h"
#include "SoftLimiter.h"
#include "TransistorLadderZDF.h"
#include "VoiceDataSingleton.h"

#include <algorithm>

namespace
{
constexpr std::uint64_t kAllLanes = ~std::uint64_t(0);
}

namespace
{
// The waveforms the lanes compute.
bool RunsWave(OscWave w)
{
  return w == kOscSine || w == kOscSaw || w == kOscSquare || w == kOscTri;
}

std::uint64_t MaskOf(bool b)
{
  return b ? kAllLanes : 0;
}

bool Adds(EnvelopeGenerator::EnvelopeStage s)
{
  return s == EnvelopeGenerator::ENVELOPE_STAGE_ATTACK;
}

bool Multiplies(EnvelopeGenerator::EnvelopeStage s)
{
  return s == EnvelopeGenerator::ENVELOPE_STAGE_DECAY || s == EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;
}
}  // namespace

void Voice::GatherBiquad(const BiquadZK& biquad, RunLanes::Slot& s, int lane)
{
  const BiquadZK::Lane b = biquad.GetLane();
  s.b0[lane] = b.b0;
  s.b1[lane] = b.b1;
  s.b2[lane] = b.b2;
  s.a1[lane] = b.a1;
  s.a2[lane] = b.a2;
  s.z1[lane] = b.z1;
  s.z2[lane] = b.z2;
  s.blockerCoefficient[lane] = b.blockerCoefficient;
  s.blockerState[lane] = b.blockerState;
  s.normalisedFreq[lane] = b.normalisedFreq;
  s.q[lane] = b.q;
  s.peakFactor[lane] = b.peakFactor;
}

void Voice::GatherLadder(const TransistorLadderZDF& ladder, RunLanes::Slot& s, int lane)
{
  const TransistorLadderZDF::Lane l = ladder.GetLane();
  s.ladderS1[lane] = l.s1;
  s.ladderS2[lane] = l.s2;
  s.ladderS3[lane] = l.s3;
  s.ladderS4[lane] = l.s4;
  s.ladderCutoff[lane] = l.cutoff;
  s.ladderG[lane] = l.g;
  s.ladderG0[lane] = l.g0;
  s.ladderGain[lane] = l.gain;
  s.ladderGain2[lane] = l.gain2;
  s.ladderGain3[lane] = l.gain3;
  s.ladderGain4[lane] = l.gain4;
  s.ladderFeedback[lane] = l.feedback;
  s.ladderInputGain[lane] = l.inputGain;
  s.feedbackHighPassCoefficient[lane] = l.highPassCoefficient;
  s.feedbackHighPassState[lane] = l.highPassState;
  s.blockerCoefficient[lane] = l.blockerCoefficient;
  s.blockerState[lane] = l.blockerState;
}

void Voice::GatherDiodeLadder(const DiodeLadderZDF& ladder, RunLanes::Slot& s, int lane)
{
  const DiodeLadderZDF::Lane l = ladder.GetLane();
  s.diodeS1[lane] = l.s1;
  s.diodeS2[lane] = l.s2;
  s.diodeS3[lane] = l.s3;
  s.diodeS4[lane] = l.s4;
  s.diodeCutoff[lane] = l.cutoff;
  s.diodeG[lane] = l.g;
  s.diodeOnePlusG[lane] = l.onePlusG;
  s.diodeInvG[lane] = l.invG;
  s.diodeInvOnePlusG[lane] = l.invOnePlusG;
  s.diodeGain[lane] = l.gain;
  s.diodeD1[lane] = l.d1;
  s.diodeE1[lane] = l.e1;
  s.diodeA1[lane] = l.a1;
  s.diodeB1[lane] = l.b1;
  s.diodeD1E1[lane] = l.d1e1;
  s.diodeD1E1A1[lane] = l.d1e1a1;
  s.diodeK0[lane] = l.k0;
  s.diodeK[lane] = l.k;
  s.diodeDrivenK[lane] = l.drivenK;
  s.diodeInvDenominator[lane] = l.invDenominator;
  s.diodeInputGain[lane] = l.inputGain;
  s.diodeFeedbackNormaliser[lane] = l.feedbackNormaliser;
  s.diodeResonanceSetting[lane] = l.resonanceSetting;
  s.diodeLowPassGain[lane] = l.lowPassGain;
  s.blockerCoefficient[lane] = l.blockerCoefficient;
  s.blockerState[lane] = l.blockerState;
}

void Voice::GatherCutoff(const FilterContainer& f, RunLanes::Slot& s, int lane)
{
  const FilterContainer::CutoffLane c = f.GetCutoffLane();
  s.envAmount[lane] = c.envAmount;
  s.baseCutoff[lane] = c.baseCutoff;
  s.sentCutoff[lane] = c.sentCutoff;
  s.fltEnvAttack[lane] = MaskOf(Adds(c.envelope.stage));
  s.fltEnvMultiplying[lane] = MaskOf(Multiplies(c.envelope.stage));
  s.fltEnvLevel[lane] = c.envelope.level;
  s.fltEnvMultiplier[lane] = c.envelope.multiplier;
  s.fltEnvNormalisedLevel[lane] = c.envelope.normalisedLevel;
  s.fltEnvOutput[lane] = c.envelope.output;
  s.fltEnvMinimum[lane] = c.envelope.minimumLevel;
}

int Voice::FramesItCanRun(int maxFrames) const
{
  if (mFreqGlideOn || mVelGlideOn) return 0;
  bool sounding = false;
  int frames = maxFrames;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData->oscOn[osc]) continue;
    const Oscillator& o = *mOsc[osc];
    if (!RunsWave(o.GetWave()) || !o.IsPlain() || mDeclicker[osc]->IsActive()) return 0;
    // The lanes wrap the phase by one subtraction, which needs a step and a
    // phase below the period (false for NaN as well).
    const double period = o.GetPhasePeriod();
    const double step = o.GetPlainStep();
    if (!(step >= 0.0 && step < period && o.GetPhase() >= 0.0 && o.GetPhase() < period)) return 0;
    if (mData->filterOn[osc])
    {
      const FilterContainer& f = *mFilter[osc];
      const FilterModel model = f.GetFilter()->GetKind();
      if (model != kFltSimple && model != kFltTLadder && model != kFltMoog) return 0;
      if (model == kFltSimple && static_cast<const BiquadZK*>(f.GetFilter())->IsDriven()) return 0;
      if (f.CutoffMayMove())
      {
        if (!f.CutoffFollowsEnvelopeOnly()) return 0;
        frames = std::min(frames, f.GetEnvelope().SamplesLeftInStage());
      }
    }
    const EnvelopeGenerator& e = *mAmpEnv[osc];
    sounding = sounding || e.GetCurrentStage() != EnvelopeGenerator::ENVELOPE_STAGE_OFF;
    frames = std::min(frames, e.SamplesLeftInStage());
  }
  // A voice whose envelopes are all off goes silent after its next frame.
  return sounding ? frames : 0;
}

Voice::RunShape Voice::GetRunShape() const
{
  // What a slot that is off, or a filter that is off, holds does not count.
  RunShape shape = {};
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData->oscOn[osc]) continue;
    shape.wave[osc] = mOsc[osc]->GetWave();
    if (!mData->filterOn[osc]) continue;
    shape.model[osc] = mFilter[osc]->GetFilter()->GetKind();
    shape.passType[osc] = mFilter[osc]->GetFilter()->GetPassType();
    shape.cutoffMoves[osc] = mFilter[osc]->CutoffMayMove();
  }
  return shape;
}

void Voice::GatherRun(int osc, RunLanes::Slot& s, int lane) const
{
  const Oscillator& o = *mOsc[osc];
  s.phase[lane] = o.GetPhase();
  s.step[lane] = o.GetPlainStep();
  s.limiterThreshold[lane] = mLimiter[osc]->GetThreshold();
  s.limiterKnee[lane] = mLimiter[osc]->GetKnee();
  s.halfCarrierProduct[lane] = 0.5 * mOscAmProduct[osc];
  const DCremove& dc = *mDCRemover[osc];
  s.dcA[lane] = dc.GetCoefficient();
  s.dcX1[lane] = dc.GetLastInput();
  s.dcY1[lane] = dc.GetLastOutput();
  s.dcWeight[lane] = dc.GetWeight();
  if (mData->filterOn[osc])
  {
    if (s.model == RunLanes::kMoog)
      GatherDiodeLadder(*static_cast<const DiodeLadderZDF*>(mFilter[osc]->GetFilter()), s, lane);
    else if (s.model == RunLanes::kTLadder)
      GatherLadder(*static_cast<const TransistorLadderZDF*>(mFilter[osc]->GetFilter()), s, lane);
    else
      GatherBiquad(*static_cast<const BiquadZK*>(mFilter[osc]->GetFilter()), s, lane);
    if (s.cutoffMoves) GatherCutoff(*mFilter[osc], s, lane);
  }
  const EnvelopeGenerator::Lane e = mAmpEnv[osc]->GetLane();
  s.envAttack[lane] = MaskOf(Adds(e.stage));
  s.envMultiplying[lane] = MaskOf(Multiplies(e.stage));
  s.envLevel[lane] = e.level;
  s.envMultiplier[lane] = e.multiplier;
  s.envNormalisedLevel[lane] = e.normalisedLevel;
  s.envOutput[lane] = e.output;
  s.envMinimum[lane] = e.minimumLevel;
  s.velocityFactor[lane] = mVelocityFactor;
  s.panLeft[lane] = mPan[osc][0];
  s.panRight[lane] = mPan[osc][1];
}

void Voice::FinishRunSlot(int osc, const RunLanes::Slot& s, int lane, int frames)
{
  mOsc[osc]->FinishPlainRun(s.phase[lane], s.wave[lane]);
  if (mData->dcRemoverOn[osc]) mDCRemover[osc]->SetMemory(s.dcX1[lane], s.dcY1[lane], s.dcWeight[lane]);
  if (mData->filterOn[osc])
  {
    if (s.model == RunLanes::kMoog)
    {
      auto& ladder = *static_cast<DiodeLadderZDF*>(mFilter[osc]->GetFilter());
      ladder.FinishRun({s.diodeS1[lane], s.diodeS2[lane], s.diodeS3[lane], s.diodeS4[lane], s.diodeCutoff[lane],
                        s.diodeG[lane], s.diodeOnePlusG[lane], s.diodeInvG[lane], s.diodeInvOnePlusG[lane],
                        s.diodeGain[lane], s.diodeD1[lane], s.diodeE1[lane], s.diodeA1[lane], s.diodeB1[lane],
                        s.diodeD1E1[lane], s.diodeD1E1A1[lane], s.diodeK0[lane], s.diodeK[lane],
                        s.diodeDrivenK[lane], s.diodeInvDenominator[lane], s.diodeInputGain[lane],
                        s.diodeFeedbackNormaliser[lane], s.diodeResonanceSetting[lane], s.diodeLowPassGain[lane],
                        s.blockerCoefficient[lane], s.blockerState[lane]},
                       s.cutoffMoves);
    }
    else if (s.model == RunLanes::kTLadder)
    {
      auto& ladder = *static_cast<TransistorLadderZDF*>(mFilter[osc]->GetFilter());
      ladder.FinishRun({s.ladderS1[lane], s.ladderS2[lane], s.ladderS3[lane], s.ladderS4[lane], s.ladderCutoff[lane],
                        s.ladderG[lane], s.ladderG0[lane], s.ladderGain[lane], s.ladderGain2[lane], s.ladderGain3[lane],
                        s.ladderGain4[lane], s.ladderFeedback[lane], s.ladderInputGain[lane],
                        s.feedbackHighPassCoefficient[lane], s.feedbackHighPassState[lane], s.blockerCoefficient[lane],
                        s.blockerState[lane]},
                       s.cutoffMoves);
    }
    else
    {
      BiquadZK& biquad = *static_cast<BiquadZK*>(mFilter[osc]->GetFilter());
      biquad.SetStates(s.z1[lane], s.z2[lane], s.blockerState[lane]);
      if (s.cutoffMoves)
        biquad.SetMovedCoefficients(s.b0[lane], s.b1[lane], s.b2[lane], s.a1[lane], s.a2[lane],
                                    s.normalisedFreq[lane]);
    }
    if (s.cutoffMoves)
      mFilter[osc]->FinishCutoffRun(frames, s.fltEnvLevel[lane], s.fltEnvNormalisedLevel[lane], s.fltEnvOutput[lane],
                                    s.sentCutoff[lane]);
  }
  mAmpEnv[osc]->FinishRun(frames, s.envLevel[lane], s.envNormalisedLevel[lane], s.envOutput[lane]);
  mPre[osc] = s.pre[lane];
  mPost[osc] = s.post[lane];
  mOut[osc][0] = mOut[osc][1] = s.out[lane];
  mAmpEnvOut[osc] = s.envOutput[lane];
  mAmplitude[osc] = s.amplitude[lane];
  // Not fading, the declicker only remembers the pair.
  mDeclicker[osc]->Process(mOut[osc]);
}

void Voice::FinishRun()
{
  for (double& fm : mFm) fm = 0.0;
  RememberSample();
}
