#include "Base64.h"
#include "ByteChunk.h"
#include "fuzz_plug.h"
#include "seed_writer.h"

#include <string>

// Writes one seed for each reader plugin_state_fuzzer feeds into the directory
// given as the argument: a chunk of mixed gets, a parameter chunk, preset banks
// of both kinds and a Base64 preset blob. The selector byte of each is the one
// the fuzzer dispatches on.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  constexpr uint8_t kWalk = 0, kParams = 1, kBank = 2, kBlob = 3, kChunks = 0x10;

  FuzzPlug plug(false);
  plug.GetParam(1)->Set(3);
  plug.GetParam(3)->Set(-0.25);
  ByteChunk params;
  plug.SerializeParams(&params);

  ByteChunk mixed;
  const int32_t i = -7;
  const double d = 0.5;
  mixed.Put(&i);
  mixed.Put(&d);
  mixed.PutStr("a string");

  ByteChunk plainBank;
  plug.SerializePresets(&plainBank);
  FuzzPlug chunkPlug(true);
  chunkPlug.MakePresetFromChunk("second", &params);
  ByteChunk chunkBank;
  chunkPlug.SerializePresets(&chunkBank);

  // The fuzzer decodes 1 + 16 * (selector >> 5) bytes of blob.
  WDL_String blob;
  Base64Encode(params.GetData(), params.Size(), &blob);
  const int blobSizeSteps = (params.Size() + 15) / 16;
  const std::vector<uint8_t> blobSeed =
      Selected(uint8_t(kBlob | blobSizeSteps << 5), reinterpret_cast<const uint8_t*>(blob.Get()), blob.GetLength());

  const bool ok = WriteSeed(dir, "walk", Selected(kWalk, mixed.GetData(), mixed.Size())) &&
                  WriteSeed(dir, "params", Selected(kParams, params.GetData(), params.Size())) &&
                  WriteSeed(dir, "bank", Selected(kBank, plainBank.GetData(), plainBank.Size())) &&
                  WriteSeed(dir, "bank-chunks", Selected(kBank | kChunks, chunkBank.GetData(), chunkBank.Size())) &&
                  WriteSeed(dir, "blob", blobSeed);
  return ok ? 0 : 1;
}
