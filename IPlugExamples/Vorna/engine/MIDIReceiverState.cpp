#include "ByteChunk.h"
#include "MIDIReceiver.h"

#include <cstdint>

int MIDIReceiver::UnserializeState(const ByteChunk* chunk, int startPos, int paramCount)
{
  for (auto& list : mLearnMap) list.Resize(0, false);

  int pos = startPos;
  for (int cc = 0; cc < kNumControllers && pos >= 0; ++cc)
  {
    int32_t count = 0;
    pos = chunk->Get(&count, pos);
    // More bindings than parameters cannot come from a sound state: the map is
    // damaged, and nothing after this point can be trusted.
    if (pos >= 0 && (count < 0 || count > paramCount)) pos = -1;
    for (int32_t i = 0; i < count && pos >= 0; ++i)
    {
      int32_t param = 0;
      pos = chunk->Get(&param, pos);
      if (pos < 0 || param < 0 || param >= paramCount || IsBound(param)) continue;
      mLearnMap[cc].Add(param);
      mLearned.Emit(param, cc);
    }
  }
  return pos;
}
