// Feeds outside bytes to every reader of plug-in state: the chunk gets, the
// parameter chunk, the preset bank and Base64 preset blobs.
#include "ByteChunk.h"
#include "fuzz_plug.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
// Walks the chunk with gets of every kind, chosen by the chunk's own bytes.
void WalkChunk(const ByteChunk& chunk)
{
  int pos = 0;
  for (int step = 0; pos >= 0 && step < 256; ++step)
  {
    uint8_t kind = 0;
    if (chunk.Get(&kind, pos) < 0) return;
    ++pos;
    int32_t i;
    uint32_t u;
    float f;
    double d;
    WDL_String s;
    uint8_t bytes[16];
    switch (kind % 6)
    {
      case 0: pos = chunk.Get(&i, pos); break;
      case 1: pos = chunk.Get(&u, pos); break;
      case 2: pos = chunk.Get(&f, pos); break;
      case 3: pos = chunk.Get(&d, pos); break;
      case 4: pos = chunk.GetStr(&s, pos); break;
      default: pos = chunk.GetBytes(bytes, kind % 17, pos); break;
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1) return 0;
  const uint8_t selector = data[0];
  ++data;
  --size;

  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  FuzzPlug plug((selector & 0x10) != 0);

  switch (selector % 4)
  {
    case 0: WalkChunk(chunk); break;
    case 1: plug.UnserializeParams(&chunk, 0); break;
    case 2: plug.UnserializePresets(&chunk, 0); break;
    default:
    {
      // The blob text is the input itself; its decoded size the first byte's high bits.
      const std::string text(reinterpret_cast<const char*>(data), size);
      plug.MakePresetFromBlob("blob", text.c_str(), 1 + (selector >> 5) * 16);
      plug.RestorePreset(1);
      break;
    }
  }
  plug.CheckValues();
  return 0;
}
