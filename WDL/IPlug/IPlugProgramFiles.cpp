// Program (.fxp) and bank (.fxb) files of IPlugBase. Their numbers are
// big-endian; the state chunks inside them keep their own little-endian layout.
#include "IPlugBase.h"

#include "BigEndian.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
constexpr uint32_t FourCC(const char (&code)[5])
{
  return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

constexpr uint32_t kFileMagic = FourCC("CcnK");
constexpr uint32_t kChunkProgram = FourCC("FPCh");
constexpr uint32_t kParamProgram = FourCC("FxCk");
constexpr uint32_t kChunkBank = FourCC("FBCh");
constexpr uint32_t kParamBank = FourCC("FxBk");
constexpr uint32_t kProgramFileVersion = 1;
constexpr uint32_t kBankFileVersion = 2;

// Field offsets shared by both files.
constexpr int kFormatOffset = 8;
constexpr int kVersionOffset = 12;
constexpr int kPlugIdOffset = 16;
constexpr int kCountOffset = 24;

// Programs: the name field, then either the parameters or the chunk length and chunk.
constexpr int kProgramNameOffset = 28;
constexpr int kProgramNameSize = 28;
constexpr int kProgramParamsOffset = 56;
constexpr int kProgramChunkOffset = 60;

// Banks: the current program, 124 reserved bytes, then records or the chunk length and chunk.
constexpr int kBankCurrentOffset = 28;
constexpr int kBankReservedSize = 124;
constexpr int kBankRecordsOffset = 156;
constexpr int kBankChunkOffset = 160;

// No program or bank of this plug-in comes near this; anything larger is not one.
constexpr long kMaxFileSize = 64L << 20;

// Appends big-endian fields to a file image, remembering whether every append succeeded.
class FileWriter
{
public:
  explicit FileWriter(ByteChunk* out) : mOut(out) {}

  void U32(uint32_t value)
  {
    uint8_t bytes[4];
    StoreBE32(bytes, value);
    Bytes(bytes, 4);
  }
  void F32(float value) { U32(FloatBits(value)); }
  void Zeros(int n)
  {
    const uint8_t zero[16] = {};
    for (; n > 0; n -= 16) Bytes(zero, std::min(n, 16));
  }
  // The name cut to the program-name field, NUL-padded (a full field keeps one NUL).
  void Name(const char* name)
  {
    char field[kProgramNameSize] = {};
    if (name) std::memcpy(field, name, strnlen(name, kProgramNameSize - 1));
    Bytes(field, kProgramNameSize);
  }
  void Chunk(const ByteChunk* chunk) { mOk = mOk && mOut->PutChunk(chunk) >= 0; }
  bool Ok() const { return mOk; }

private:
  void Bytes(const void* data, int n) { mOk = mOk && mOut->PutBytes(data, n) >= 0; }

  ByteChunk* mOut;
  bool mOk = true;
};

uint32_t FieldAt(const uint8_t* data, long long offset) { return LoadBE32(data + offset); }

bool WriteFileBytes(const char* path, const ByteChunk& bytes)
{
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const size_t n = static_cast<size_t>(bytes.Size());
  const bool written = n == 0 || std::fwrite(bytes.GetData(), 1, n, f) == n;
  return std::fclose(f) == 0 && written;
}

bool ReadFileBytes(const char* path, ByteChunk* out)
{
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  out->Clear();
  uint8_t block[65536];
  bool ok = true;
  for (;;)
  {
    const size_t n = std::fread(block, 1, sizeof(block), f);
    if (n > 0 && (out->Size() + static_cast<long>(n) > kMaxFileSize || out->PutBytes(block, static_cast<int>(n)) < 0))
    {
      ok = false;
      break;
    }
    if (n < sizeof(block))
    {
      ok = !std::ferror(f);
      break;
    }
  }
  std::fclose(f);
  return ok;
}

bool HasPath(const WDL_String* path) { return path && path->GetLength() > 0; }
}  // namespace

bool IPlugBase::MakeProgramFile(ByteChunk* file)
{
  file->Clear();
  const IPreset* current = mPresets.Get(mCurrentPresetIdx);
  FileWriter w(file);

  if (DoesStateChunks())
  {
    ByteChunk state;
    if (!InitChunkWithIPlugVer(&state) || !SerializeState(&state)) return false;
    w.U32(kFileMagic);
    w.U32(static_cast<uint32_t>(state.Size()) + kProgramChunkOffset);
    w.U32(kChunkProgram);
    w.U32(kProgramFileVersion);
    w.U32(static_cast<uint32_t>(mUniqueID));
    w.U32(static_cast<uint32_t>(GetEffectVersion(true)));
    w.U32(static_cast<uint32_t>(NParams()));
    w.Name(current ? current->mName : "");
    w.U32(static_cast<uint32_t>(state.Size()));
    w.Chunk(&state);
    return w.Ok();
  }

  w.U32(kFileMagic);
  w.U32(0);
  w.U32(kParamProgram);
  w.U32(kProgramFileVersion);
  w.U32(static_cast<uint32_t>(mUniqueID));
  w.U32(static_cast<uint32_t>(GetEffectVersion(true)));
  w.U32(static_cast<uint32_t>(NParams()));
  w.Name(current ? current->mName : "");
  for (int i = 0; i < NParams(); ++i) w.F32(static_cast<float>(GetParam(i)->GetNormalized()));
  return w.Ok();
}

bool IPlugBase::MakeBankFile(ByteChunk* file)
{
  file->Clear();
  FileWriter w(file);

  ByteChunk bank;
  if (DoesStateChunks() && (!InitChunkWithIPlugVer(&bank) || !SerializePresets(&bank))) return false;

  w.U32(kFileMagic);
  w.U32(DoesStateChunks() ? static_cast<uint32_t>(bank.Size()) + kBankChunkOffset : 0);
  w.U32(DoesStateChunks() ? kChunkBank : kParamBank);
  w.U32(kBankFileVersion);
  w.U32(static_cast<uint32_t>(mUniqueID));
  w.U32(static_cast<uint32_t>(GetEffectVersion(true)));
  w.U32(static_cast<uint32_t>(NPresets()));
  w.U32(static_cast<uint32_t>(mCurrentPresetIdx));
  w.Zeros(kBankReservedSize);

  if (DoesStateChunks())
  {
    w.U32(static_cast<uint32_t>(bank.Size()));
    w.Chunk(&bank);
    return w.Ok();
  }

  for (int p = 0; p < NPresets(); ++p)
  {
    const IPreset* preset = mPresets.Get(p);
    w.U32(kFileMagic);
    w.U32(0);
    w.U32(kParamProgram);
    w.U32(kProgramFileVersion);
    w.U32(static_cast<uint32_t>(mUniqueID));
    w.U32(static_cast<uint32_t>(GetEffectVersion(true)));
    w.U32(static_cast<uint32_t>(NParams()));
    w.Name(preset->mName);
    // The slot's chunk read as plain values; a slot never filled reads as 0.
    int pos = 0;
    for (int i = 0; i < NParams(); ++i)
    {
      double value = 0.0;
      pos = preset->mChunk.Get(&value, pos);
      w.F32(static_cast<float>(GetParam(i)->GetNormalized(value)));
    }
  }
  return w.Ok();
}

bool IPlugBase::SaveProgramAsFXP(WDL_String* path)
{
  if (!HasPath(path)) return false;
  ByteChunk file;
  return MakeProgramFile(&file) && WriteFileBytes(path->Get(), file);
}

bool IPlugBase::SaveBankAsFXB(WDL_String* path)
{
  if (!HasPath(path)) return false;
  ByteChunk file;
  return MakeBankFile(&file) && WriteFileBytes(path->Get(), file);
}

bool IPlugBase::LoadProgramFromFXP(WDL_String* path)
{
  if (!HasPath(path)) return false;
  ByteChunk file;
  return ReadFileBytes(path->Get(), &file) && LoadProgramFromBytes(file.GetData(), file.Size());
}

bool IPlugBase::LoadBankFromFXB(WDL_String* path)
{
  if (!HasPath(path)) return false;
  ByteChunk file;
  return ReadFileBytes(path->Get(), &file) && LoadBankFromBytes(file.GetData(), file.Size());
}

bool IPlugBase::LoadProgramFromBytes(const uint8_t* data, int size)
{
  if (!data || size < kProgramParamsOffset) return false;
  if (FieldAt(data, 0) != kFileMagic || FieldAt(data, kVersionOffset) != kProgramFileVersion ||
      FieldAt(data, kPlugIdOffset) != static_cast<uint32_t>(mUniqueID))
    return false;

  const uint32_t format = FieldAt(data, kFormatOffset);
  if (format == kChunkProgram && DoesStateChunks()) return LoadChunkProgram(data, size);
  if (format == kParamProgram) return LoadParamProgram(data, size);
  return false;
}

bool IPlugBase::LoadChunkProgram(const uint8_t* data, int size)
{
  if (size < kProgramChunkOffset) return false;
  const uint32_t length = FieldAt(data, kProgramParamsOffset);
  if (length > static_cast<uint32_t>(size - kProgramChunkOffset)) return false;

  ByteChunk state;
  if (state.PutBytes(data + kProgramChunkOffset, static_cast<int>(length)) != static_cast<int>(length)) return false;
  int pos = 0;
  GetIPlugVerFromChunk(&state, &pos);
  if (pos < 0) return false;

  // The state can only be checked by applying it: keep the current one to put back.
  ByteChunk previous;
  if (!SerializeState(&previous)) return false;
  if (UnserializeState(&state, pos) < 0)
  {
    UnserializeState(&previous, 0);
    RedrawParamControls();
    return false;
  }
  FinishProgramLoad();
  return true;
}

bool IPlugBase::LoadParamProgram(const uint8_t* data, int size)
{
  const int32_t fileCount = static_cast<int32_t>(FieldAt(data, kCountOffset));
  if (fileCount < 0) return false;
  const int n = std::min<int>(fileCount, NParams());
  if (kProgramParamsOffset + 4LL * n > size) return false;
  {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < n; ++i)
      GetParam(i)->SetNormalized(FloatFromBits(FieldAt(data, kProgramParamsOffset + 4LL * i)));
  }
  FinishProgramLoad();
  return true;
}

void IPlugBase::FinishProgramLoad()
{
  ModifyCurrentPreset();
  RestorePreset(mCurrentPresetIdx);
  InformHostOfProgramChange();
}

bool IPlugBase::LoadBankFromBytes(const uint8_t* data, int size)
{
  if (!data || size < kBankRecordsOffset) return false;
  if (FieldAt(data, 0) != kFileMagic || FieldAt(data, kPlugIdOffset) != static_cast<uint32_t>(mUniqueID)) return false;

  const uint32_t format = FieldAt(data, kFormatOffset);
  if (format == kChunkBank && DoesStateChunks()) return LoadChunkBank(data, size);
  if (format == kParamBank) return LoadParamBank(data, size);
  return false;
}

bool IPlugBase::LoadChunkBank(const uint8_t* data, int size)
{
  if (size < kBankChunkOffset) return false;
  const int32_t fileCount = static_cast<int32_t>(FieldAt(data, kCountOffset));
  const uint32_t length = FieldAt(data, kBankRecordsOffset);
  if (fileCount < 0 || length > static_cast<uint32_t>(size - kBankChunkOffset)) return false;

  ByteChunk bank;
  if (bank.PutBytes(data + kBankChunkOffset, static_cast<int>(length)) != static_cast<int>(length)) return false;
  int pos = 0;
  GetIPlugVerFromChunk(&bank, &pos);
  if (pos < 0) return false;

  // The slots can only be checked by applying them: keep the slots and the
  // live state to put back when the bank turns out to be cut short.
  const int previousCurrent = mCurrentPresetIdx;
  std::vector<IPreset> previousSlots;
  for (int i = 0; i < NPresets(); ++i) previousSlots.push_back(*mPresets.Get(i));
  ByteChunk previousState;
  if (!SerializeState(&previousState)) return false;

  if (UnserializePresetSlots(&bank, pos, std::min<int>(fileCount, NPresets())) < 0)
  {
    for (int i = 0; i < NPresets(); ++i) *mPresets.Get(i) = previousSlots[static_cast<size_t>(i)];
    mCurrentPresetIdx = previousCurrent;
    UnserializeState(&previousState, 0);
    RedrawParamControls();
    return false;
  }
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::LoadParamBank(const uint8_t* data, int size)
{
  const int32_t fileCount = static_cast<int32_t>(FieldAt(data, kCountOffset));
  if (fileCount < 0) return false;
  const int n = std::min<int>(fileCount, NPresets());
  const long long recordSize = kProgramParamsOffset + 4LL * NParams();

  // Every record is checked before any slot changes.
  for (int p = 0; p < n; ++p)
  {
    const long long record = kBankRecordsOffset + p * recordSize;
    if (record + recordSize > size) return false;
    if (FieldAt(data, record) != kFileMagic || FieldAt(data, record + kFormatOffset) != kParamProgram ||
        FieldAt(data, record + kVersionOffset) != kProgramFileVersion ||
        FieldAt(data, record + kCountOffset) != static_cast<uint32_t>(NParams()))
      return false;
  }

  for (int p = 0; p < n; ++p)
  {
    const long long record = kBankRecordsOffset + p * recordSize;
    RestorePreset(p);
    {
      WDL_MutexLock lock(&mMutex);
      for (int i = 0; i < NParams(); ++i)
        GetParam(i)->SetNormalized(FloatFromBits(FieldAt(data, record + kProgramParamsOffset + 4LL * i)));
    }
    IPreset* preset = mPresets.Get(p);
    CaptureStateInto(preset);
    char name[kProgramNameSize] = {};
    std::memcpy(name, data + record + kProgramNameOffset, kProgramNameSize - 1);
    if (name[0]) preset->SetName(name);
  }

  const int32_t bankCurrent = static_cast<int32_t>(FieldAt(data, kBankCurrentOffset));
  RestorePreset(mPresets.Get(bankCurrent) ? bankCurrent : 0);
  InformHostOfProgramChange();
  return true;
}
