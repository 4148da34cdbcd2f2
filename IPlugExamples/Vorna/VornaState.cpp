#include "Vorna.h"

#include "globals.h"

#include <algorithm>
#include <cmath>

// The state chunk, little-endian and packed:
//   int32 version, int32 parameter count, one double per parameter,
//   for controllers 0..127 an int32 count and that many int32 parameter indices,
//   int32 internal count (8), the two AM view switches, the FM, AM 1 and AM 2
//   input pair numbers (1-based), the tempo (all doubles), the "Mask input" byte.
// Versions 0.7.1 to 0.7.3 stored no mask byte.
namespace
{
constexpr int32_t kInternalCount = 8;
// Versions before this one wrote their version word packed and no mask byte.
constexpr int kFirstPackedVersion = 0x701;
constexpr int kLastPackedVersion = 0x703;
constexpr int kLastVersionWithoutMask = 703;

// 0x701 .. 0x703 become 701 .. 703; every other version stays as stored.
int ConvertVersion(int stored)
{
  if (stored < kFirstPackedVersion || stored > kLastPackedVersion) return stored;
  return (stored >> 16) * 10000 + ((stored >> 8) & 255) * 100 + (stored & 255);
}

bool PutDouble(ByteChunk* chunk, double value) { return chunk->Put(&value) >= 0; }
bool PutInt(ByteChunk* chunk, int32_t value) { return chunk->Put(&value) >= 0; }
}  // namespace

bool Vorna::SerializeState(ByteChunk* chunk)
{
  if (!chunk) return false;
  WDL_MutexLock lock(&mMutex);
  bool ok = PutInt(chunk, GetEffectVersion(false)) && PutInt(chunk, kNumParams) && SerializeParams(chunk);
  for (int cc = 0; ok && cc < MIDIReceiver::kNumControllers; ++cc)
  {
    const WDL_TypedBuf<int>& bound = mMIDIReceiver.GetLearnList(cc);
    ok = PutInt(chunk, bound.GetSize());
    for (int i = 0; ok && i < bound.GetSize(); ++i) ok = PutInt(chunk, bound.Get()[i]);
  }
  return ok && SerializeInternalParams(chunk);
}

bool Vorna::SerializeInternalParams(ByteChunk* chunk)
{
  const uint8_t mask = mMaskInput ? 1 : 0;
  return PutInt(chunk, kInternalCount) && PutDouble(chunk, mAMView[0]) && PutDouble(chunk, mAMView[1]) &&
         PutDouble(chunk, mInputPairSel[0] + 1) && PutDouble(chunk, mInputPairSel[1] + 1) &&
         PutDouble(chunk, mInputPairSel[2] + 1) && PutDouble(chunk, PlugG::HOST_BPM) && chunk->Put(&mask) >= 0;
}

int Vorna::UnserializeState(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  WDL_MutexLock lock(&mMutex);
  mLoadingState = true;
  mParamsInitialized = 0;

  int32_t storedVersion = 0;
  int32_t count = 0;
  int pos = chunk->Get(&storedVersion, startPos);
  pos = chunk->Get(&count, pos);
  const int version = ConvertVersion(storedVersion);

  pos = UnserializeParams(chunk, pos, count);
  mParamsInitialized = 1;

  for (int p = 0; p < kNumParams; ++p) UpdateControlLearnedCC(p, -1);
  // Announces every binding it keeps through the learned signal.
  pos = mMIDIReceiver.UnserializeState(chunk, pos, kNumParams);
  pos = UnserializeInternalParams(chunk, pos, version);
  ShowInternalValues();

  mLoadingState = false;
  return pos;
}

int Vorna::UnserializeParams(ByteChunk* chunk, int pos, int count)
{
  WDL_MutexLock lock(&mMutex);
  // A value that cannot be read ends the reading; that parameter and the later
  // ones keep their values. Values beyond the parameter list are read and
  // dropped. IParam::Set clamps to the range and turns NaN into the default.
  for (int i = 0; i < count && pos >= 0; ++i)
  {
    double value = 0.0;
    pos = chunk->Get(&value, pos);
    if (pos >= 0 && i < kNumParams) GetParam(i)->Set(value);
  }
  OnParamReset();
  return pos;
}

int Vorna::UnserializeInternalParams(ByteChunk* chunk, int pos, int version)
{
  int32_t storedCount = 0;
  pos = chunk->Get(&storedCount, pos);

  // Each field is applied only when it could be read; after the first that
  // could not, nothing more is read.
  double value = 0.0;
  for (int osc = 0; osc < 2; ++osc)
  {
    pos = chunk->Get(&value, pos);
    if (pos >= 0) SetAMView(osc, value);
  }
  static constexpr int kPairIds[] = {kFMInputPair, kAM1InputPair, kAM2InputPair};
  for (int id : kPairIds)
  {
    pos = chunk->Get(&value, pos);
    if (pos < 0) continue;
    // Clamped here, before the cast, so that no stored number can pick an
    // input the host does not have.
    const double pair = std::isnan(value) ? 1.0 : std::clamp(value, 1.0, double(kInputPairs));
    OnChannelConfigChange(id, static_cast<int>(pair));
  }
  pos = chunk->Get(&value, pos);
  if (pos >= 0 && GetAPI() == kAPIStandalone) OnGuiBpmChange(kTempoField, value);

  if (version > kLastVersionWithoutMask)
  {
    uint8_t mask = 0;
    pos = chunk->Get(&mask, pos);
    if (pos >= 0) SetMaskInput(kMaskInputBox, mask != 0 ? 1.0 : 0.0);
  }
  for (int i = kInternalCount; pos >= 0 && i < storedCount; ++i) pos = chunk->Get(&value, pos);
  return pos;
}

void Vorna::OnChannelConfigChange(int id, int value)
{
  const int which = kFMInputPair - id;  // -141 -> 0, -142 -> 1, -143 -> 2
  if (which < 0 || which > 2) return;
  WDL_MutexLock lock(&mMutex);
  mInputPairSel[which] = std::clamp(value, 1, kInputPairs) - 1;
  ShowInputPair(which);
  MarkStateChanged();
}

void Vorna::OnGuiBpmChange(int, double bpm)
{
  // The editor calls this on the main thread, and the new tempo rewrites the
  // bend windows of every oscillator the audio thread is rendering.
  WDL_MutexLock lock(&mMutex);
  ApplyTempo(bpm);
  // Also when the tempo was already in force: the entry was edited.
  MarkStateChanged();
}

void Vorna::SetAMView(int osc, double value)
{
  if (osc < 0 || osc > 1) return;
  mAMView[osc] = std::isnan(value) ? kAMViewStart : std::clamp(value, 0.0, 1.0);
}
