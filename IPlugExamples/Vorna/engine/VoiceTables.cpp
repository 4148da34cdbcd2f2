#include "VoiceTables.h"

#include "filters/FilterContainer.h"
#include "KeyFolding.h"
#include "Voice.h"
#include "VoiceDataSingleton.h"

#include <algorithm>
#include <cmath>

VoiceTables::VoiceTables()
{
  for (int i = 0; i < kNumVoices; ++i)
  {
    mUsable[i] = true;
    mOrder[i] = kNumVoices - 1 - i;
  }
}

bool VoiceTables::IsPedalDown(Pedal pedal) const
{
  switch (pedal)
  {
    case kSustainPedal: return mSustainDown;
    case kSostenutoPedal: return mSostenutoDown;
    case kPortamentoPedal: return mPortamentoDown;
    case kLegatoPedal: return mLegatoDown;
  }
  return false;
}

int VoiceTables::VoiceNote(int voice) const
{
  return mVoices[voice].GetNote();
}

int VoiceTables::MostRecentNote() const
{
  return VoiceNote(GetMostRecentVoice());
}

bool VoiceTables::IsGlidePedalKey(int key) const
{
  return IsGlidePedalDown() && key == MostRecentNote();
}

double VoiceTables::Loudness(int voice) const
{
  return mVoices[voice].GetLoudness();
}

// --- envelopes ---

void VoiceTables::SetVoiceEnvelopesToStage(int voice, EnvelopeGenerator::EnvelopeStage stage)
{
  Voice& v = mVoices[voice];
  const bool withFilter =
    stage == EnvelopeGenerator::ENVELOPE_STAGE_ATTACK || stage == EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;
  for (int osc = 0; osc < Voice::kNumOscs; ++osc)
  {
    v.GetAmpEnvelope(osc).EnterStage(stage);
    if (withFilter && mData->filterOn[osc]) v.GetFilter(osc).GetEnvelope().EnterStage(stage);
  }
  mReleased[voice] = stage == EnvelopeGenerator::ENVELOPE_STAGE_RELEASE;
}

void VoiceTables::StartEnvelopes(int voice)
{
  SetVoiceEnvelopesToStage(voice, EnvelopeGenerator::ENVELOPE_STAGE_ATTACK);
}

void VoiceTables::Release(int voice)
{
  SetVoiceEnvelopesToStage(voice, EnvelopeGenerator::ENVELOPE_STAGE_RELEASE);
}

// --- note stack and order list ---

void VoiceTables::MoveToEnd(int voice)
{
  int pos = 0;
  while (pos < kNumVoices && mOrder[pos] != voice) ++pos;
  for (; pos < kNumVoices - 1; ++pos) mOrder[pos] = mOrder[pos + 1];
  mOrder[kNumVoices - 1] = voice;
}

void VoiceTables::PushNote(int key, int velocity)
{
  // A full stack forgets its oldest note: only keys still held late in a long
  // mono phrase are ever glided back to.
  if (mNoteStackSize == kNoteStackCapacity) RemoveNoteAt(0);
  mNoteStack[mNoteStackSize++] = {key, velocity};
}

void VoiceTables::RemoveNoteAt(int index)
{
  for (int i = index; i < mNoteStackSize - 1; ++i) mNoteStack[i] = mNoteStack[i + 1];
  --mNoteStackSize;
}

int VoiceTables::FindNoteEntry(int key, bool last) const
{
  if (last)
  {
    for (int i = mNoteStackSize - 1; i >= 0; --i)
      if (mNoteStack[i].key == key) return i;
  }
  else
  {
    for (int i = 0; i < mNoteStackSize; ++i)
      if (mNoteStack[i].key == key) return i;
  }
  return -1;
}

// --- note events ---

void VoiceTables::OnNoteOn(int key, int velocity)
{
  if (IsGlidePedalDown() && !mHeld[key])
  {
    mHeld[key] = true;
    NoteOn(key, velocity);
    return;
  }

  const bool pedalHoldsVoice = mSustained[key] || mSostenuto[key];
  // A key whose voice another key took while the pedal held it would stay
  // silent: it plays anew, in place of its old note-stack entry, so that the
  // pedal's release still removes exactly one. A voice that is merely
  // releasing (the voice count shrank) keeps the key and is left alone.
  if (!pedalHoldsVoice || mVoiceStolen[key])
  {
    if (mHeld[key]) return;
    if (pedalHoldsVoice)
    {
      const int entry = FindNoteEntry(key, false);
      if (entry >= 0) RemoveNoteAt(entry);
    }
    mHeld[key] = true;
    NoteOn(key, velocity);
    if (mSustainDown) mSustained[key] = true;
    return;
  }

  for (int v = 0; v < kNumVoices; ++v)
  {
    if (VoiceNote(v) != key) continue;
    const Voice& voice = mVoices[v];
    if (voice.GetAmpEnvelope(0).GetCurrentStage() == EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN ||
        voice.GetAmpEnvelope(1).GetCurrentStage() == EnvelopeGenerator::ENVELOPE_STAGE_SUSTAIN)
    {
      mVoices[v].SetVelocityGlide(velocity, kRetriggerGlideTime);
      StartEnvelopes(v);
      return;
    }
  }
}

void VoiceTables::OnNoteOff(int key)
{
  mHeld[key] = false;
  if (IsGlidePedalDown() && key == MostRecentNote())
    NoteOff(key, true);
  else if (!mSustained[key] && !mSostenuto[key])
    NoteOff(key, false);
}

void VoiceTables::NoteOn(int key, double velocity)
{
  bool fresh = !IsGlidePedalDown() || mRearticulate;
  if (mMode == kMono) fresh = fresh && mFreshStart;

  int voiceIndex;
  if (!fresh)
    voiceIndex = GetMostRecentVoice();
  else if (mActiveCount < mMaxVoices)
    voiceIndex = FindFreeVoice();
  else
  {
    voiceIndex = StealVoice(key);
    if (voiceIndex >= 0 && VoiceNote(voiceIndex) >= 0) mVoiceStolen[VoiceNote(voiceIndex)] = true;
  }
  if (voiceIndex < 0) return;
  mVoiceStolen[key] = false;

  Voice& voice = mVoices[voiceIndex];
  const bool active = voice.IsActive();
  const bool sounding = active && !mReleased[voiceIndex];

  if (mMode == kPoly)
  {
    if (mPortamentoDown && !mRearticulate)
      voice.SetFrequencyAndVelocityGlide(key, velocity, mGlideTime);
    else if (active || mLegatoDown)
      voice.SetFrequencyAndVelocityGlide(key, velocity, 0.0);
    else
      voice.StartNote(key, velocity);
    if (!(sounding && mLegatoDown && !mRearticulateForward)) StartEnvelopes(voiceIndex);
  }
  else
  {
    if (mFreshStart)
    {
      mNoteStackSize = 0;
      mFreshStart = false;
    }
    double glide = 0.0;
    if (sounding)
    {
      glide = mGlideTime;
    }
    else if ((mPortamentoDown || mGlideHead) &&
             (active || (mPortamentoDown && !mRearticulate) || (mGlideHead && voice.GetNote() != -1)))
    {
      glide = mGlideTime;
    }
    voice.SetFrequencyAndVelocityGlide(key, velocity, glide);
    if (!(sounding && !mRearticulateForward)) StartEnvelopes(voiceIndex);
  }

  mRearticulate = false;
  if (mPitchWheelDeferred[voiceIndex])
  {
    voice.ApplyPitchWheelFactor(mData->pitchWheelFactor);
    mPitchWheelDeferred[voiceIndex] = false;
  }
  if (!voice.IsActive())
  {
    voice.SetActive(true);
    for (int osc = 0; osc < Voice::kNumOscs; ++osc) voice.GetFilter(osc).UpdateState();
  }
  AddNewVoiceAndNote(voiceIndex, key, static_cast<int>(velocity));
}

void VoiceTables::AddNewVoiceAndNote(int voice, int key, int velocity)
{
  MoveToEnd(voice);
  PushNote(key, velocity);
  if (!mActive[voice])
  {
    mActive[voice] = true;
    ++mActiveCount;
    mVoiceActivated.Emit(voice);
  }
}

void VoiceTables::NoteOff(int key, bool glidePedalPath)
{
  const int mostRecent = GetMostRecentVoice();
  if (mMode == kPoly)
  {
    const int entry = FindNoteEntry(key, glidePedalPath);
    if (entry >= 0) RemoveNoteAt(entry);
    if (!glidePedalPath)
    {
      for (int pos = 0; pos < kNumVoices; ++pos)
      {
        const int v = mOrder[pos];
        if (!mReleased[v] && VoiceNote(v) == key)
        {
          Release(v);
          return;
        }
      }
      return;
    }
    if (!mLegatoDown) Release(mostRecent);
    return;
  }

  if (!glidePedalPath)
  {
    for (int pos = 0; pos < kNumVoices; ++pos)
    {
      const int v = mOrder[pos];
      if (!mReleased[v] && VoiceNote(v) == key && (v != mostRecent || mFreshStart))
      {
        Release(v);
        return;
      }
    }
  }
  const int entry = FindNoteEntry(key, true);
  if (entry >= 0) RemoveNoteAt(entry);
  if (mNoteStackSize > 0)
  {
    GlideVoiceToPrevNote(mostRecent, key);
    return;
  }
  if (mLegatoDown) return;
  if (!mGlideTail) mVoices[mostRecent].StopFrequencyGlide();
  Release(mostRecent);
}

void VoiceTables::GlideVoiceToPrevNote(int voice, int releasedKey)
{
  Voice& v = mVoices[voice];
  if (mRearticulateBack && releasedKey == v.GetNote()) StartEnvelopes(voice);
  const NoteEntry& top = mNoteStack[mNoteStackSize - 1];
  v.SetFrequencyGlideAndNoteNum(top.key, mGlideTime);
  v.SetVelocityGlide(top.velocity, mGlideTime);
}

void VoiceTables::OnAllVoicesOff()
{
  for (int v = 0; v < kNumVoices; ++v)
    if (mVoices[v].IsActive()) Release(v);
  mNoteStackSize = 0;
  std::fill(std::begin(mHeld), std::end(mHeld), false);
  std::fill(std::begin(mSustained), std::end(mSustained), false);
  std::fill(std::begin(mSostenuto), std::end(mSostenuto), false);
  mSustainDown = mSostenutoDown = mPortamentoDown = mLegatoDown = false;
  mSostenutoWithoutSustain = false;
  mFreshStart = false;
  mRearticulate = false;
}

void VoiceTables::OnVoiceDeactivation(int voice)
{
  mActive[voice] = false;
  mReleased[voice] = false;
  --mActiveCount;
  mVoiceDeactivated.Emit(voice);
}

// --- voice search and stealing ---

int VoiceTables::FindFreeVoice() const
{
  for (int v = 0; v < kNumVoices; ++v)
    if (!mActive[v] && mUsable[v]) return v;
  return -1;
}

int VoiceTables::ActiveAndUsableVCount() const
{
  int count = 0;
  for (int v = 0; v < kNumVoices; ++v)
    if (mActive[v] && mUsable[v]) ++count;
  return count;
}

int VoiceTables::FindOtherQuietRelease(const int* released, int count) const
{
  const int mostRecent = GetMostRecentVoice();
  for (int i = 0; i < count; ++i)
    if (released[i] != mostRecent) return released[i];
  return -1;
}

int VoiceTables::FindSameRelease(const int* released, int count, int key) const
{
  for (int i = 0; i < count; ++i)
    if (VoiceNote(released[i]) == key) return released[i];
  return -1;
}

int VoiceTables::FindSame(const int* candidates, int count, int key) const
{
  for (int i = count - 1; i >= 0; --i)
    if (VoiceNote(candidates[i]) == key) return candidates[i];
  return -1;
}

int VoiceTables::FindQuietRelease(const int* released, int count) const
{
  return count > 0 ? released[0] : -1;
}

int VoiceTables::PickQuietOld() const
{
  int choice = -1;
  double quietest = kNoLoudness;
  for (int pos = 0; pos < kNumVoices; ++pos)
  {
    const int v = mOrder[pos];
    if (!mActive[v] || !mUsable[v]) continue;
    const double loudness = Loudness(v);
    if (!(loudness < quietest)) continue;
    if (choice >= 0 && pos >= mOldVoiceWindow) break;
    choice = v;
    quietest = loudness;
  }
  return choice;
}

int VoiceTables::StealVoice(int key)
{
  int candidates[kNumVoices];
  int released[kNumVoices];
  int numCandidates = 0;
  int numReleased = 0;
  for (int pos = 0; pos < kNumVoices; ++pos)
  {
    const int v = mOrder[pos];
    if (!mActive[v] || !mUsable[v]) continue;
    candidates[numCandidates++] = v;
    if (mReleased[v]) released[numReleased++] = v;
  }

  int v = -1;
  if (numReleased > 0)
  {
    v = key == MostRecentNote() ? FindOtherQuietRelease(released, numReleased)
                                : FindSameRelease(released, numReleased, key);
    if (v >= 0) return v;
  }
  v = FindSame(candidates, numCandidates, key);
  if (v >= 0) return v;
  if (numReleased > 0)
  {
    v = FindQuietRelease(released, numReleased);
    if (v >= 0) return v;
  }
  return PickQuietOld();
}

void VoiceTables::SetMaxNumOfActiveVoices(int n)
{
  n = std::clamp(n, kMinVoices, kNumVoices);
  if (n < mMaxVoices)
  {
    const int surplus = ActiveAndUsableVCount() - n;
    const int toStrip = mMaxVoices - n - std::max(surplus, 0);
    int stripped = 0;
    for (int v = kNumVoices - 1; v >= 0 && stripped < toStrip; --v)
    {
      if (!mActive[v] && mUsable[v])
      {
        mUsable[v] = false;
        ++stripped;
      }
    }
    // The most recent voice is never taken away.
    const int mostRecent = GetMostRecentVoice();
    const bool mostRecentUsable = mUsable[mostRecent];
    mUsable[mostRecent] = false;
    for (int k = 1; k <= surplus; ++k)
    {
      const int note = FoldKey(VoiceNote(mOrder[kNumVoices - k]));
      const int v = StealVoice(note);
      if (v < 0) continue;
      Release(v);
      mUsable[v] = false;
    }
    mUsable[mostRecent] = mostRecentUsable;
  }
  else if (n > mMaxVoices)
  {
    int gained = 0;
    for (int v = 0; v < kNumVoices && gained < n - mMaxVoices; ++v)
    {
      if (!mUsable[v])
      {
        mUsable[v] = true;
        ++gained;
      }
    }
  }
  mMaxVoices = n;
  mOldVoiceWindow = static_cast<int>(std::ceil(n * kOldVoiceWindowFraction));
}

// --- pedals ---

void VoiceTables::OnTextureModifier(int kind, int on)
{
  switch (kind)
  {
    case kSustainPedal:
      if (!on)
      {
        OnSustainPedalUp();
        return;
      }
      if (mSustainDown) return;
      mSustainDown = true;
      for (int key = 0; key < kNumKeys; ++key)
        if ((mHeld[key] && !IsGlidePedalKey(key)) || mSostenuto[key]) mSustained[key] = true;
      return;
    case kSostenutoPedal:
      if (!on)
      {
        OnSostenutoPedalUp();
        return;
      }
      if (mSostenutoDown) return;
      mSostenutoDown = true;
      mSostenutoWithoutSustain = !mSustainDown;
      for (int key = 0; key < kNumKeys; ++key)
        if ((mHeld[key] && !IsGlidePedalKey(key)) || mSustained[key]) mSostenuto[key] = true;
      return;
    case kPortamentoPedal:
      if (on)
      {
        OnGlidePedalDown(&mPortamentoDown);
        return;
      }
      mPortamentoDown = false;
      if (!mLegatoDown) mRearticulate = false;
      return;
    case kLegatoPedal:
      if (on)
        OnGlidePedalDown(&mLegatoDown);
      else
        OnLegatoOff();
      return;
    default:
      return;
  }
}

void VoiceTables::OnGlidePedalDown(bool* pedal)
{
  if (!IsGlidePedalDown()) mRearticulate = true;
  const int note = MostRecentNote();
  if (note >= 0 && mHeld[note])
  {
    mSostenuto[note] = false;
    mSustained[note] = false;
    mRearticulate = false;
  }
  *pedal = true;
}

void VoiceTables::OnSustainPedalUp()
{
  if (!mSustainDown) return;
  mSustainDown = false;
  for (int key = 0; key < kNumKeys; ++key)
  {
    if (!mSustained[key]) continue;
    if (mSostenutoDown && !mSostenutoWithoutSustain)
      mSostenuto[key] = true;
    else if ((!mHeld[key] || IsGlidePedalKey(key)) && !mSostenuto[key])
      NoteOff(key, false);
    mSustained[key] = false;
  }
}

void VoiceTables::OnSostenutoPedalUp()
{
  if (!mSostenutoDown) return;
  mSostenutoDown = false;
  mSostenutoWithoutSustain = false;
  for (int key = 0; key < kNumKeys; ++key)
  {
    if (!mSostenuto[key]) continue;
    if ((!mHeld[key] || IsGlidePedalKey(key)) && !mSustained[key]) NoteOff(key, false);
    mSostenuto[key] = false;
  }
}

void VoiceTables::OnLegatoOff()
{
  if (!mLegatoDown) return;
  mLegatoDown = false;
  const int mostRecent = GetMostRecentVoice();
  const int note = VoiceNote(mostRecent);
  const bool held = note >= 0 && mHeld[note];
  if (!held && mActive[mostRecent] && !mRearticulate) Release(mostRecent);
  if (!mPortamentoDown) mRearticulate = false;
}
