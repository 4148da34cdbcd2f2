#include "IParamMailbox.h"

#include <cmath>
#include <cstring>

IParamMailbox::IParamMailbox(int nParams)
    : mSize(nParams > 0 ? nParams : 0), mSlots(new std::atomic<uint64_t>[mSize > 0 ? mSize : 1])
{
  for (int i = 0; i < mSize; ++i) mSlots[i].store(kEmpty, std::memory_order_relaxed);
}

void IParamMailbox::Post(int paramIdx, double value)
{
  if (paramIdx < 0 || paramIdx >= mSize || std::isnan(value)) return;
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  mSlots[paramIdx].store(bits, std::memory_order_relaxed);
  mAnyPosted.store(true, std::memory_order_release);
}

double IParamMailbox::FromBits(uint64_t bits)
{
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}
