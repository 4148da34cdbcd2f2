#include "ByteChunk.h"
#include "Vorna.h"

#include <cstdio>
#include <string>

namespace
{
bool Write(const std::string& path, const ByteChunk& chunk)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(chunk.GetData(), 1, (size_t)chunk.Size(), f);
  return std::fclose(f) == 0;
}
}  // namespace

// Writes the default state and one with bindings and editor-side values into
// the directory given as the argument.
int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  Vorna plug{IPlugInstanceInfo{}};
  ByteChunk plain;
  plug.SerializeState(&plain);
  if (!Write(dir + "/default.state", plain)) return 1;

  plug.OnMenuClickMidiLearn(kFlt1F);
  IMidiMsg cc(0, 0xB0, 74, 1);
  plug.ProcessMidiMsg(&cc);
  double in[8] = {}, left[8], right[8];
  double* inputs[2] = {in, in};
  double* outputs[2] = {left, right};
  plug.LockMutexAndProcessDoubleReplacing(inputs, outputs, 8);
  plug.OnChannelConfigChange(Vorna::kAM2InputPair, 3);
  plug.SetMaskInput(Vorna::kMaskInputBox, 1.0);
  ByteChunk edited;
  plug.SerializeState(&edited);
  return Write(dir + "/edited.state", edited) ? 0 : 1;
}
