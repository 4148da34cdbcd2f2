// Feeds outside bytes to the program and bank file readers, in both the chunk
// and the parameter forms.
#include "fuzz_plug.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
std::vector<uint8_t> ValuesOf(const FuzzPlug& plug)
{
  std::vector<uint8_t> bytes;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const double v = plug.GetParam(i)->Value();
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&v);
    bytes.insert(bytes.end(), p, p + sizeof(v));
  }
  return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1 || size > (1u << 20)) return 0;
  const uint8_t selector = data[0];
  ++data;
  --size;

  FuzzPlug plug((selector & 2) != 0);
  const std::vector<uint8_t> before = ValuesOf(plug);
  const bool loaded = (selector & 1) ? plug.LoadBankFromBytes(data, static_cast<int>(size))
                                     : plug.LoadProgramFromBytes(data, static_cast<int>(size));
  // A refused file leaves the live values as they were.
  if (!loaded && ValuesOf(plug) != before) __builtin_trap();
  plug.CheckValues();
  return 0;
}
