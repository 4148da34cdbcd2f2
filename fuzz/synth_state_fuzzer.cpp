// Outside bytes as the synthesizer's state chunk: whatever they hold, every
// parameter stays in its range, the input pairs and the tempo stay usable,
// and the instrument still plays.
#include "ByteChunk.h"
#include "Vorna.h"
#include "globals.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (size_t)0x7FFFFFFF) return 0;
  static Vorna* plug = [] {
    Vorna* p = new Vorna(IPlugInstanceInfo{});
    p->SetSampleRate(48000.0);
    p->SetBlockSize(64);
    p->Reset();
    p->SeedRandom(1);
    return p;
  }();

  ByteChunk chunk;
  chunk.PutBytes(data, (int)size);
  plug->UnserializeState(&chunk, 0);

  for (int i = 0; i < plug->NParams(); ++i)
  {
    const IParam* p = plug->GetParam(i);
    if (!(p->Value() >= p->GetMin() && p->Value() <= p->GetMax())) __builtin_trap();
  }
  for (int k = 0; k < 3; ++k)
    if (plug->GetInputPairSel(k) < 0 || plug->GetInputPairSel(k) >= Vorna::kInputPairs) __builtin_trap();
  if (!(PlugG::HOST_BPM >= Vorna::kMinTempo && PlugG::HOST_BPM <= Vorna::kMaxTempo)) __builtin_trap();

  double in[64] = {}, left[64], right[64];
  double* inputs[8] = {in, in, in, in, in, in, in, in};
  double* outputs[2] = {left, right};
  IMidiMsg on(0, 0x90, 60, 100), off(40, 0x80, 60, 0);
  plug->ProcessMidiMsg(&on);
  plug->ProcessMidiMsg(&off);
  plug->LockMutexAndProcessDoubleReplacing(inputs, outputs, 64);
  return 0;
}
