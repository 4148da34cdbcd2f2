#include "StandardMidiFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// MIDI file bytes from outside. Besides not crashing, an accepted file must
// come out as channel messages in time order, and a refused one with a reason.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  SmfSequence seq;
  std::string error;
  if (!ReadStandardMidiFile(data, size, &seq, &error))
  {
    if (error.empty() || !seq.events.empty()) __builtin_trap();
    return 0;
  }
  double previous = 0.0;
  for (const SmfEvent& e : seq.events)
  {
    if (!std::isfinite(e.seconds) || e.seconds < previous) __builtin_trap();
    if (e.status < 0x80 || e.status > 0xEF || e.data1 > 0x7F || e.data2 > 0x7F) __builtin_trap();
    previous = e.seconds;
  }
  return 0;
}
