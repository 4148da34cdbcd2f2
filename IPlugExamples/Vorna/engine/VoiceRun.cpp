#include "Voice.h"

#include "BiquadZK.h"
#include "DCremove.h"
#include "Declicker.h"
#include "FilterContainer.h"
#include "SoftLimiter.h"
#include "VoiceDataSingleton.h"

#include <algorithm>

namespace
{
constexpr std::uint64_t kAllLanes = ~std::uint64_t(0);
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
    if (o.GetWave() != kOscSine || !o.IsPlain() || mDeclicker[osc]->IsActive()) return 0;
    // The lanes wrap the phase by one subtraction, which needs a step and a
    // phase below the period (false for NaN as well).
    const double period = o.GetPhasePeriod();
    const double step = o.GetPlainStep();
    if (!(step >= 0.0 && step < period && o.GetPhase() >= 0.0 && o.GetPhase() < period)) return 0;
    if (mData->filterOn[osc])
    {
      const FilterContainer& f = *mFilter[osc];
      if (f.GetFilter()->GetKind() != kFltSimple || f.CutoffMayMove()) return 0;
      if (static_cast<const BiquadZK*>(f.GetFilter())->IsDriven()) return 0;
    }
    const EnvelopeGenerator& e = *mAmpEnv[osc];
    sounding = sounding || e.GetCurrentStage() != EnvelopeGenerator::ENVELOPE_STAGE_OFF;
    frames = std::min(frames, e.SamplesLeftInStage());
  }
  // A voice whose envelopes are all off goes silent after its next frame.
  return sounding ? frames : 0;
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
    const BiquadZK::Lane b = static_cast<const BiquadZK*>(mFilter[osc]->GetFilter())->GetLane();
    s.b0[lane] = b.b0;
    s.b1[lane] = b.b1;
    s.b2[lane] = b.b2;
    s.a1[lane] = b.a1;
    s.a2[lane] = b.a2;
    s.z1[lane] = b.z1;
    s.z2[lane] = b.z2;
    s.blockerCoefficient[lane] = b.blockerCoefficient;
    s.blockerState[lane] = b.blockerState;
  }
  const EnvelopeGenerator::Lane e = mAmpEnv[osc]->GetLane();
  s.envAttack[lane] = e.stage == EnvelopeGenerator::ENVELOPE_STAGE_ATTACK ? kAllLanes : 0;
  s.envMultiplying[lane] =
    e.stage == EnvelopeGenerator::ENVELOPE_STAGE_DECAY || e.stage == EnvelopeGenerator::ENVELOPE_STAGE_RELEASE
      ? kAllLanes
      : 0;
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
  mOsc[osc]->FinishPlainRun(s.phase[lane], s.sine[lane]);
  if (mData->dcRemoverOn[osc]) mDCRemover[osc]->SetMemory(s.dcX1[lane], s.dcY1[lane], s.dcWeight[lane]);
  if (mData->filterOn[osc])
    static_cast<BiquadZK*>(mFilter[osc]->GetFilter())->SetStates(s.z1[lane], s.z2[lane], s.blockerState[lane]);
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
