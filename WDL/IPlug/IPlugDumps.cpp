// Developer dumps of IPlugBase: source text that rebuilds presets in a constructor.
#include "IPlugBase.h"

#include "Base64.h"

#include <cstdio>

namespace
{
// Appends one MakePresetFromBlob call for a state.
void PrintBlobPreset(FILE* f, const char* name, const ByteChunk& state)
{
  WDL_String blob;
  Base64Encode(state.GetData(), state.Size(), &blob);
  std::fprintf(f, "  MakePresetFromBlob(\"%s\", \"%s\", %d);\n", name, blob.Get(), state.Size());
}

bool CloseAfterWriting(FILE* f)
{
  const bool writeFailed = std::ferror(f) != 0;
  return std::fclose(f) == 0 && !writeFailed;
}
}  // namespace

bool IPlugBase::DumpPresetSrcCode(const char* path, const char** paramEnumNames)
{
  if (!path || !paramEnumNames) return false;
  FILE* f = std::fopen(path, "w");
  if (!f) return false;

  std::fprintf(f, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    const char* enumName = paramEnumNames[i] ? paramEnumNames[i] : "";
    char value[64];
    switch (param->Type())
    {
      case IParam::kTypeBool: std::snprintf(value, sizeof(value), "%s", param->Value() >= 0.5 ? "true" : "false"); break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum: std::snprintf(value, sizeof(value), "%d", param->Int()); break;
      default: std::snprintf(value, sizeof(value), "%.6f", param->Value()); break;
    }
    std::fprintf(f, ",\n    %s, %s", enumName, value);
  }
  std::fprintf(f, ");\n");
  return CloseAfterWriting(f);
}

bool IPlugBase::DumpPresetBlob(const char* path)
{
  const IPreset* current = mPresets.Get(mCurrentPresetIdx);
  if (!path || !current) return false;
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  PrintBlobPreset(f, "name", current->mChunk);
  return CloseAfterWriting(f);
}

bool IPlugBase::DumpBankBlob(const char* path)
{
  if (!path) return false;
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  for (int i = 0; i < NPresets(); ++i) PrintBlobPreset(f, mPresets.Get(i)->mName, mPresets.Get(i)->mChunk);
  return CloseAfterWriting(f);
}
