#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

// One slot per parameter through which the audio thread hands the main thread the
// values it set, so that nothing the editor draws is touched off the main thread.
// Posting is wait-free and allocates nothing; a later post replaces an unread one.
class IParamMailbox
{
public:
  explicit IParamMailbox(int nParams);

  int Size() const { return mSize; }

  // Audio thread. An index outside the slots, or a value that is not a number, is dropped.
  void Post(int paramIdx, double value);

  // Main thread: calls f(paramIdx, value) once for every slot posted since the last
  // drain, in index order, emptying it. Cheap when nothing was posted.
  template <class F>
  void Drain(F&& f)
  {
    if (!mAnyPosted.exchange(false, std::memory_order_acquire)) return;
    for (int i = 0; i < mSize; ++i)
    {
      const uint64_t bits = mSlots[i].exchange(kEmpty, std::memory_order_acq_rel);
      if (bits != kEmpty) f(i, FromBits(bits));
    }
  }

private:
  // A NaN pattern no posted value has (NaN values are never posted).
  static constexpr uint64_t kEmpty = 0x7FF8DEADBEEF0000ull;
  static double FromBits(uint64_t bits);

  int mSize;
  std::unique_ptr<std::atomic<uint64_t>[]> mSlots;
  std::atomic<bool> mAnyPosted{false};
};
