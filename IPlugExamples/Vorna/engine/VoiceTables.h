#pragma once

#include "EngineSize.h"
#include "EnvelopeGenerator.h"
#include "GallantSignal.h"

class Voice;
struct VoiceDataSingleton;

// Decides which of the 32 voices plays a note, when a voice is stolen, released
// or re-attacked, how the sustain, sostenuto, portamento and legato pedals act,
// and whether a new note glides from the previous one. Everything lives in fixed
// arrays: no event allocates.
class VoiceTables
{
public:
  static constexpr int kNumVoices = kEngineVoices;
  static constexpr int kNumKeys = 128;
  static constexpr int kMinVoices = 2;
  static constexpr int kNoteStackCapacity = 256;
  static constexpr double kOldVoiceWindowFraction = 0.33;
  static constexpr int kInitialGlideTime = 1000;     // samples
  static constexpr double kRetriggerGlideTime = 50.0;  // samples, velocity glide of a re-pressed key
  // Start value of every quietest-voice search: above any real loudness.
  static constexpr double kNoLoudness = 1000.0;

  enum Mode
  {
    kMono = 0,
    kPoly = 1
  };

  // Pedal kinds of OnTextureModifier.
  enum Pedal
  {
    kSustainPedal = 0,
    kSostenutoPedal = 1,
    kPortamentoPedal = 2,
    kLegatoPedal = 3
  };

  Gallant::Signal1<int> mVoiceActivated;
  Gallant::Signal1<int> mVoiceDeactivated;

  VoiceTables();
  VoiceTables(const VoiceTables&) = delete;
  VoiceTables& operator=(const VoiceTables&) = delete;

  void SetVoices(Voice* voices, VoiceDataSingleton* data)
  {
    mVoices = voices;
    mData = data;
  }

  // Slots of the MIDI receiver's signals.
  void OnNoteOn(int key, int velocity);
  void OnNoteOff(int key);
  void OnAllVoicesOff();
  void OnTextureModifier(int kind, int on);
  // Slot of every voice's deactivation signal.
  void OnVoiceDeactivation(int voice);

  // n in 2..32 (clamped).
  void SetMaxNumOfActiveVoices(int n);
  void SetVoiceEnvelopesToStage(int voice, EnvelopeGenerator::EnvelopeStage stage);

  // Direct settings from the parameter routing.
  int mMode = kPoly;
  bool mFreshStart = false;
  double mGlideTime = kInitialGlideTime;  // samples
  bool mGlideHead = false;
  bool mGlideTail = false;
  bool mRearticulateForward = false;
  bool mRearticulateBack = false;

  int GetActiveCount() const { return mActiveCount; }
  int GetMaxVoices() const { return mMaxVoices; }
  int GetOldVoiceWindow() const { return mOldVoiceWindow; }
  bool IsReleased(int voice) const { return mReleased[voice]; }
  bool IsUsable(int voice) const { return mUsable[voice]; }
  bool IsActive(int voice) const { return mActive[voice]; }
  bool IsKeyHeld(int key) const { return mHeld[key]; }
  bool IsKeySustained(int key) const { return mSustained[key]; }
  bool IsKeySostenutoHeld(int key) const { return mSostenuto[key]; }
  bool IsPedalDown(Pedal pedal) const;
  bool IsRearticulateSet() const { return mRearticulate; }
  // Voice order, oldest first; the last entry is the most recent voice.
  int GetVoiceAt(int position) const { return mOrder[position]; }
  int GetMostRecentVoice() const { return mOrder[kNumVoices - 1]; }
  int GetNoteStackSize() const { return mNoteStackSize; }
  int GetNoteStackKey(int i) const { return mNoteStack[i].key; }
  int GetNoteStackVelocity(int i) const { return mNoteStack[i].velocity; }
  // Pitch-wheel changes waiting for the voice's next note-on.
  bool IsPitchWheelDeferred(int voice) const { return mPitchWheelDeferred[voice]; }
  void SetPitchWheelDeferred(int voice, bool deferred) { mPitchWheelDeferred[voice] = deferred; }

  // Stealing searches over candidate lists (voice indices in the order list's
  // order, oldest first); each returns a voice index or -1. The searches take
  // the first match: this allocator always prefers the oldest voice over the
  // quietest one, except in PickQuietOld.
  int FindOtherQuietRelease(const int* released, int count) const;
  int FindSameRelease(const int* released, int count, int key) const;
  int FindSame(const int* candidates, int count, int key) const;
  int FindQuietRelease(const int* released, int count) const;
  // The quietest active, usable voice among the old-voice window's positions of
  // the order list; if none of them is a candidate, the first candidate after.
  int PickQuietOld() const;
  int StealVoice(int key);
  int FindFreeVoice() const;
  int ActiveAndUsableVCount() const;

private:
  struct NoteEntry
  {
    int key;
    int velocity;
  };

  void NoteOn(int key, double velocity);
  void NoteOff(int key, bool glidePedalPath);
  void AddNewVoiceAndNote(int voice, int key, int velocity);
  void GlideVoiceToPrevNote(int voice, int releasedKey);
  void OnSustainPedalUp();
  void OnSostenutoPedalUp();
  void OnGlidePedalDown(bool* pedal);
  void OnLegatoOff();
  void StartEnvelopes(int voice);
  void Release(int voice);
  void MoveToEnd(int voice);
  bool IsGlidePedalDown() const { return mPortamentoDown || mLegatoDown; }
  // The key counts as still held by the glide pedals' exception: the most recent
  // voice's note while legato or portamento is down.
  bool IsGlidePedalKey(int key) const;
  int MostRecentNote() const;
  int VoiceNote(int voice) const;
  double Loudness(int voice) const;
  void PushNote(int key, int velocity);
  void RemoveNoteAt(int index);
  int FindNoteEntry(int key, bool last) const;

  Voice* mVoices = nullptr;
  VoiceDataSingleton* mData = nullptr;

  bool mRearticulate = false;
  bool mPortamentoDown = false;
  bool mLegatoDown = false;
  bool mSustainDown = false;
  bool mSostenutoDown = false;
  bool mSostenutoWithoutSustain = false;
  int mMaxVoices = kNumVoices;
  int mOldVoiceWindow = 11;  // ceil(0.33 x 32)
  int mActiveCount = 0;

  bool mActive[kNumVoices] = {};
  bool mReleased[kNumVoices] = {};
  bool mUsable[kNumVoices] = {};
  bool mPitchWheelDeferred[kNumVoices] = {};
  bool mHeld[kNumKeys] = {};
  bool mSustained[kNumKeys] = {};
  bool mSostenuto[kNumKeys] = {};
  // The key's voice was taken for another key and the key has not played since.
  bool mVoiceStolen[kNumKeys] = {};

  int mOrder[kNumVoices] = {};
  NoteEntry mNoteStack[kNoteStackCapacity] = {};
  int mNoteStackSize = 0;
};
