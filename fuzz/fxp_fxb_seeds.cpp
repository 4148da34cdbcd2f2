#include "ByteChunk.h"
#include "fuzz_plug.h"
#include "seed_writer.h"

#include <string>

namespace
{
// The protected file builders of the plug-in the fuzzer feeds.
class SeedPlug : public FuzzPlug
{
public:
  using FuzzPlug::FuzzPlug;
  using IPlugBase::MakeBankFile;
  using IPlugBase::MakeProgramFile;
};
}  // namespace

// Writes a program file and a bank file in both the chunk and the parameter
// form into the directory given as the argument, each behind the selector byte
// fxp_fxb_fuzzer dispatches on (bit 0: bank, bit 1: chunks).
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  bool ok = true;
  for (const bool chunks : {false, true})
  {
    SeedPlug plug(chunks);
    plug.GetParam(2)->Set(2);
    plug.GetParam(3)->Set(0.75);
    plug.ModifyCurrentPreset("edited");
    ByteChunk program, bank;
    ok = ok && plug.MakeProgramFile(&program) && plug.MakeBankFile(&bank);
    const uint8_t chunkBit = chunks ? 2 : 0;
    const std::string form = chunks ? "chunk" : "params";
    ok = ok && WriteSeed(dir, (form + ".fxp").c_str(), Selected(chunkBit, program.GetData(), program.Size())) &&
         WriteSeed(dir, (form + ".fxb").c_str(), Selected(chunkBit | 1, bank.GetData(), bank.Size()));
  }
  return ok ? 0 : 1;
}
