#pragma once

#include "IPlugStructs.h"

#include <atomic>
#include <cstddef>

// Hands MIDI messages from the MIDI thread (the only producer) to the audio
// thread (the only consumer) without a lock and without allocating: a fixed
// ring of kCapacity slots. A message that finds the ring full is dropped.
class MidiIntakeRing
{
public:
  static constexpr size_t kCapacity = 1024;  // a power of two

  // MIDI thread. Returns false (message dropped) when the ring is full.
  bool Push(const IMidiMsg& msg)
  {
    const size_t head = mHead.load(std::memory_order_relaxed);
    const size_t tail = mTail.load(std::memory_order_acquire);
    if (head - tail >= kCapacity) return false;
    mSlots[head & kMask] = msg;
    mHead.store(head + 1, std::memory_order_release);
    return true;
  }

  // Audio thread. Returns false when nothing is waiting.
  bool Pop(IMidiMsg* out)
  {
    const size_t tail = mTail.load(std::memory_order_relaxed);
    const size_t head = mHead.load(std::memory_order_acquire);
    if (tail == head) return false;
    *out = mSlots[tail & kMask];
    mTail.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Audio thread: whether a message is waiting.
  bool HasWaiting() const
  {
    return mTail.load(std::memory_order_relaxed) != mHead.load(std::memory_order_acquire);
  }

private:
  static constexpr size_t kMask = kCapacity - 1;
  static_assert((kCapacity & kMask) == 0, "the ring capacity must be a power of two");

  IMidiMsg mSlots[kCapacity];
  // The producer's and the consumer's counters live on separate cache lines.
  alignas(64) std::atomic<size_t> mHead{0};
  alignas(64) std::atomic<size_t> mTail{0};
};
