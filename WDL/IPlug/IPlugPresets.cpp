// Parameter chunks and the preset slots of IPlugBase.
#include "IPlugBase.h"

#include "Base64.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace
{
constexpr char kUserPresetName[] = "user preset";
constexpr char kDefaultPresetName[] = "Empty";

double LoadLE64Double(const unsigned char* p)
{
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(p[i]) << (8 * i);
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

// The plain value of a parameter as a preset's argument list passes it.
double NextPresetValue(const IParam* param, va_list* args)
{
  if (param->Type() == IParam::kTypeDouble) return va_arg(*args, double);
  return static_cast<double>(va_arg(*args, int));
}
}  // namespace

bool IPlugBase::SerializeParams(ByteChunk* chunk)
{
  if (!chunk) return false;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = GetParam(i)->Value();
    if (chunk->Put(&value) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(ByteChunk* chunk, int pos)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double value = 0.0;
    pos = chunk ? chunk->Get(&value, pos) : -1;
    GetParam(i)->Set(value);
  }
  OnParamReset();
  return pos;
}

bool IPlugBase::CompareState(const unsigned char* state, int startPos)
{
  if (!state || startPos < 0) return false;
  for (int i = 0; i < NParams(); ++i)
  {
    const double stored = LoadLE64Double(state + (static_cast<size_t>(startPos) + i) * sizeof(double));
    const float current = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(current - static_cast<float>(stored)) < 1e-5)) return false;
  }
  return true;
}

bool IPlugBase::InitChunkWithIPlugVer(ByteChunk* chunk)
{
  if (!chunk) return false;
  chunk->Clear();
  return chunk->Put(&kChunkVersionMagic) >= 0 && chunk->Put(&kChunkVersion) >= 0;
}

int IPlugBase::GetIPlugVerFromChunk(ByteChunk* chunk, int* pos)
{
  int32_t magic = 0;
  int32_t version = 0;
  const int afterMagic = chunk->Get(&magic, *pos);
  if (afterMagic < 0 || magic != kChunkVersionMagic) return 0;
  *pos = chunk->Get(&version, afterMagic);
  return version;
}

const char* IPlugBase::GetPresetName(int idx) const
{
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

IPreset* IPlugBase::FirstFreePreset() const
{
  for (int i = 0; i < NPresets(); ++i)
    if (!mPresets.Get(i)->mInitialized) return mPresets.Get(i);
  return nullptr;
}

bool IPlugBase::CaptureStateInto(IPreset* preset)
{
  ByteChunk state;
  if (!SerializeState(&state)) return false;
  preset->mChunk = std::move(state);
  preset->mInitialized = true;
  return true;
}

bool IPlugBase::MakeDefaultPreset(const char* name, int n)
{
  for (int i = 0; i < n; ++i)
  {
    IPreset* preset = FirstFreePreset();
    if (!preset || !CaptureStateInto(preset)) return false;
    preset->SetName(name ? name : kDefaultPresetName);
  }
  return true;
}

bool IPlugBase::MakePreset(const char* name, ...)
{
  IPreset* preset = FirstFreePreset();
  if (!preset) return false;

  ByteChunk state;
  bool ok = true;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = NextPresetValue(GetParam(i), &args);
    ok = ok && state.Put(&value) >= 0;
  }
  va_end(args);
  if (!ok) return false;

  preset->mChunk = std::move(state);
  preset->mInitialized = true;
  preset->SetName(name);
  return true;
}

bool IPlugBase::MakePresetFromNamedParams(const char* name, int n, ...)
{
  IPreset* preset = FirstFreePreset();
  if (!preset) return false;

  std::vector<double> values(static_cast<size_t>(NParams()));
  std::vector<bool> named(static_cast<size_t>(NParams()), false);
  va_list args;
  va_start(args, n);
  for (int k = 0; k < n; ++k)
  {
    const int paramIdx = va_arg(args, int);
    const IParam* param = GetParam(paramIdx);
    if (!param) break;
    values[paramIdx] = NextPresetValue(param, &args);
    named[paramIdx] = true;
  }
  va_end(args);

  ByteChunk state;
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = named[i] ? values[i] : GetParam(i)->Value();
    if (state.Put(&value) < 0) return false;
  }
  preset->mChunk = std::move(state);
  preset->mInitialized = true;
  preset->SetName(name);
  return true;
}

bool IPlugBase::MakePresetFromChunk(const char* name, ByteChunk* chunk)
{
  IPreset* preset = FirstFreePreset();
  if (!preset || !chunk) return false;
  ByteChunk copy;
  if (copy.PutChunk(chunk) != chunk->Size()) return false;
  preset->mChunk = std::move(copy);
  preset->mInitialized = true;
  preset->SetName(name);
  return true;
}

bool IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int size)
{
  IPreset* preset = FirstFreePreset();
  if (!preset || size <= 0) return false;
  ByteChunk state;
  if (state.Resize(size) != size) return false;
  Base64Decode(blob, state.GetData(), size);
  preset->mChunk = std::move(state);
  preset->mInitialized = true;
  preset->SetName(name);
  return true;
}

void IPlugBase::EnsureDefaultPreset()
{
  for (int i = 0; i < NPresets(); ++i)
  {
    IPreset* preset = mPresets.Get(i);
    if (!preset->mInitialized && CaptureStateInto(preset)) preset->SetName(kDefaultPresetName);
  }
}

void IPlugBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
}

bool IPlugBase::RestorePreset(int idx)
{
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;

  if (!preset->mInitialized)
  {
    int nUserPresets = 0;
    for (int i = 0; i < NPresets(); ++i)
      if (std::strstr(mPresets.Get(i)->mName, kUserPresetName)) ++nUserPresets;
    if (!CaptureStateInto(preset)) return false;
    std::snprintf(preset->mName, sizeof(preset->mName), "%s %d", kUserPresetName, nUserPresets + 1);
  }
  else if (UnserializeState(&preset->mChunk, 0) < 1)
  {
    return false;
  }

  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name)
{
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  if (name && name[0]) preset->SetName(name);
}

bool IPlugBase::SerializePresets(ByteChunk* chunk)
{
  if (!chunk) return false;
  for (int i = 0; i < NPresets(); ++i)
  {
    const IPreset* preset = mPresets.Get(i);
    const uint8_t initialized = preset->mInitialized ? 1 : 0;
    if (chunk->PutStr(preset->mName) < 0 || chunk->Put(&initialized) < 0) return false;
    if (initialized && chunk->PutChunk(&preset->mChunk) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializePresets(ByteChunk* chunk, int pos) { return UnserializePresetSlots(chunk, pos, NPresets()); }

int IPlugBase::UnserializePresetSlots(ByteChunk* chunk, int pos, int nSlots)
{
  for (int i = 0; i < nSlots && i < NPresets() && pos >= 0; ++i)
  {
    IPreset* preset = mPresets.Get(i);
    WDL_String name;
    pos = chunk ? chunk->GetStr(&name, pos) : -1;
    if (pos < 0) break;  // the slot where the data ran out stays as it was
    preset->SetName(name.Get());

    uint8_t initialized = 0;
    pos = chunk->Get(&initialized, pos);
    if (pos < 0) break;
    if (!initialized)
    {
      preset->mInitialized = false;
      continue;
    }
    pos = UnserializeState(chunk, pos);
    // The chunk can only be measured by reading it: re-save what was applied.
    if (pos > 0) CaptureStateInto(preset);
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}
