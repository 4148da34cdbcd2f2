#include "filters/FilterContainer.h"

#include "globals.h"

#include <algorithm>
#include <cmath>

namespace
{
// Key tracking raises the tracked cutoff by whole octaves. From the smallest
// positive double to the largest takes 2098 doublings, so this bound never cuts a
// real search short; it only guarantees the loop ends whatever it is given.
constexpr int kMaxOctaveDoublings = 2100;
}  // namespace

FilterContainer::FilterContainer()
{
  // The voice notices silence through its amplitude envelopes, not this one.
  mEnvelope.EnableOffSignal(false);
}

double FilterContainer::KeyCutoff() const
{
  double v = mBaseCutoff;
  if (mFollowNote)
  {
    const double tracked = mVoiceFrequency * mKeyRatio;
    // A frequency of zero or below has no octave that reaches the base cutoff;
    // the base cutoff itself is what tracking converges to as it approaches 0.
    if (tracked > 0.0)
    {
      v = tracked;
      for (int i = 0; v < mBaseCutoff && i < kMaxOctaveDoublings; ++i) v *= 2.0;
    }
  }
  return ClampCutoff(v);
}

void FilterContainer::Refresh(double f)
{
  ForgetSentCutoff();
  mFilter->SetFreq(EnvelopeCutoff(f, mLastEnvValue));
}

void FilterContainer::StopGlideAt(double target)
{
  mGlideActive = false;
  UpdateCutoffMoves();
  mGlideStep = 0.0;
  mCurrentCutoff = target;
  Refresh(target);
}

void FilterContainer::GlideTo(double target, double samples)
{
  // A glide of no length arrives on the next sample.
  const double n = samples >= 1.0 ? samples : 1.0;
  mTargetCutoff = target;
  mGlideStep = (target - mCurrentCutoff) / n;
  if (std::fabs(mGlideStep) > kGlideStepEpsilon)
  {
    mGlideActive = true;
    UpdateCutoffMoves();
  }
  else
  {
    StopGlideAt(target);
  }
}

void FilterContainer::RetargetGlide(double target)
{
  const double current = ClampCutoff(mCurrentCutoff);
  if (current == mTargetCutoff && target == mTargetCutoff) return;

  // Keep the samples the running glide had left. When none are left (it stands
  // at or beyond its old target) the new target is reached on the next sample.
  double remaining = std::trunc((mTargetCutoff - mCurrentCutoff) / mGlideStep);
  if (!(remaining >= 1.0)) remaining = 1.0;

  mCurrentCutoff = current;
  mTargetCutoff = target;
  mGlideStep = (target - current) / remaining;
  if (std::fabs(mGlideStep) > kGlideStepEpsilon)
  {
    mGlideActive = true;
    UpdateCutoffMoves();
  }
  else
  {
    StopGlideAt(target);
  }
}

void FilterContainer::SetFltPtrAndModel(FilterZK* f, FilterModel m, bool voiceActive)
{
  ForgetSentCutoff();
  mFilter = f;
  mModel = m;
  mFilter->SetPassType(mPassType);
  mFilter->Reset();
  if (voiceActive && mOn)
  {
    const double key = KeyCutoff();
    mCurrentCutoff = mTargetCutoff = key;
    Refresh(key);
    mFilter->SetResonance(mResonance);
    mFilter->SetDrive(mDrive);
    // The new model starts from its own default otherwise (the formant shift).
    mFilter->SetAdditionalParam(mAdditionalParam);
  }
  else
  {
    mDirty = true;
  }
}

void FilterContainer::UpdateState()
{
  ForgetSentCutoff();
  if (mDirty)
  {
    for (int s = 0; s < EnvelopeGenerator::kNumEnvelopeStages; ++s)
    {
      mEnvelope.SetStageValue(static_cast<EnvelopeGenerator::EnvelopeStage>(s), mStoredEnvValues[s]);
    }
    const double key = KeyCutoff();
    mCurrentCutoff = mTargetCutoff = key;
    Refresh(key);
    mFilter->SetResonance(mResonance);
    mFilter->SetDrive(mDrive);
    mFilter->SetAdditionalParam(mAdditionalParam);
  }
  mDirty = false;
}

void FilterContainer::SetOnOff(bool on, EnvelopeGenerator::EnvelopeStage voiceStage)
{
  ForgetSentCutoff();
  mOn = on;
  if (on)
  {
    mFilter->Reset();
    UpdateState();
    switch (voiceStage)
    {
      case EnvelopeGenerator::ENVELOPE_STAGE_RELEASE:
        mEnvelope.StartFromStage(EnvelopeGenerator::ENVELOPE_STAGE_RELEASE);
        break;
      case EnvelopeGenerator::ENVELOPE_STAGE_ATTACK:
      case EnvelopeGenerator::ENVELOPE_STAGE_DECAY:
      case EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN:
        // The note is already under way: no second attack on the cutoff.
        mEnvelope.EnterStage(EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN);
        break;
      default:
        break;
    }
  }
  else
  {
    StopGlideAt(mTargetCutoff);
    mEnvelope.EnterStage(EnvelopeGenerator::ENVELOPE_STAGE_OFF);
    mLastEnvValue = 0.0;
  }
}

void FilterContainer::SetFollowNote(bool follow, bool voiceActive)
{
  mFollowNote = follow;
  if (!voiceActive || !mOn)
    mDirty = true;
  else
    GlideTo(KeyCutoff(), PlugG::shortestGT);
}

void FilterContainer::SetFreq(double hz, bool voiceActive)
{
  mBaseCutoff = hz;
  if (!voiceActive || !mOn)
  {
    mDirty = true;
    return;
  }
  if (mFollowNote)
  {
    if (mGlideActive)
      RetargetGlide(KeyCutoff());
    else
      GlideTo(KeyCutoff(), PlugG::shortestGT);
  }
  else
  {
    const double cutoff = ClampCutoff(hz);
    if (mGlideActive)
    {
      RetargetGlide(cutoff);
    }
    else
    {
      mCurrentCutoff = mTargetCutoff = cutoff;
      Refresh(cutoff);
    }
  }
}

void FilterContainer::SetFreqRatio(double ratio, bool voiceActive, double glideTime)
{
  const double oldRatio = mKeyRatio;
  mKeyRatio = ratio;
  if (!mFollowNote) return;
  if (!voiceActive || !mOn)
  {
    mDirty = true;
    return;
  }
  if (mGlideActive)
  {
    // The glide position moves with the tracked frequency.
    if (oldRatio > 0.0) mCurrentCutoff *= ratio / oldRatio;
    RetargetGlide(KeyCutoff());
  }
  else
  {
    GlideTo(KeyCutoff(), glideTime == 0.0 ? PlugG::shortestGT : glideTime);
  }
}

void FilterContainer::SetVoiceFAndGlideTime(double voiceHz, double glideTime, int voiceActive)
{
  mVoiceFrequency = voiceHz;
  if (!mFollowNote) return;
  ApplyNowOrLater(voiceActive, [&] { GlideTo(KeyCutoff(), glideTime); });
}

void FilterContainer::SetEnvStageValue(EnvelopeGenerator::EnvelopeStage s, double v, bool voiceActive)
{
  mStoredEnvValues[s] = v;
  ApplyNowOrLater(voiceActive, [&] { mEnvelope.SetStageValue(s, v); });
}

void FilterContainer::SetResonance(double r, bool voiceActive)
{
  ForgetSentCutoff();
  mResonance = r;
  ApplyNowOrLater(voiceActive, [&] { mFilter->SetResonance(r); });
}

void FilterContainer::SetDrive(double d, bool voiceActive)
{
  ForgetSentCutoff();
  mDrive = d;
  ApplyNowOrLater(voiceActive, [&] { mFilter->SetDrive(d); });
}

void FilterContainer::SetAdditionalParam(double p, bool voiceActive)
{
  ForgetSentCutoff();
  mAdditionalParam = p;
  ApplyNowOrLater(voiceActive, [&] { mFilter->SetAdditionalParam(p); });
}

void FilterContainer::SetPassType(FilterPassType t)
{
  ForgetSentCutoff();
  mPassType = t;
  mFilter->SetPassType(t);
}

void FilterContainer::Reset()
{
  ForgetSentCutoff();
  mFilter->Reset();
  mEnvelope.Reset();
  mLastEnvValue = 0.0;
}

double FilterContainer::Process(double x)
{
  ModulateCutoff(*mFilter);
  return mFilter->Process(x);
}
