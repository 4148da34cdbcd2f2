#pragma once

#include "IPlugStructs.h"

// MIDI messages kept in order of sample offset (equal offsets in arrival order)
// and consumed from the front. Only the audio thread touches it: messages from
// the MIDI thread arrive through MidiIntakeRing.
//
// The buffer never holds fewer than kMinCapacity entries, so the intake always
// has room for a normal block's worth of messages without growing.
class IMidiQueue
{
public:
  static constexpr int kEntriesPerPage = 512;  // 4096 bytes of 8-byte entries
  static constexpr int kMinCapacity = kEntriesPerPage;

  // Capacity and grow step in entries; the capacity is raised to kMinCapacity.
  explicit IMidiQueue(int capacity = 1024, int growStep = 1024);
  ~IMidiQueue();
  IMidiQueue(const IMidiQueue&) = delete;
  IMidiQueue& operator=(const IMidiQueue&) = delete;

  // Inserts a copy in offset order. When the buffer is full the consumed entries
  // are dropped first; if that frees nothing the buffer grows by the grow step
  // (a grow step of 0, or a failed growth, drops the message). Returns whether
  // the message was stored.
  bool Add(const IMidiMsg* msg);

  bool Empty() const { return mFront == mBack; }
  int ToDo() const { return mBack - mFront; }
  // The first unconsumed message; only valid while the queue is not empty.
  const IMidiMsg& Peek() const { return mBuf[mFront]; }
  void Remove() { ++mFront; }
  // Whether one more message fits without growing the buffer.
  bool HasRoomWithoutGrowing() const { return mBack < mSize || mFront > 0; }

  // End of a block: drops the consumed entries and moves every remaining entry
  // blockSize samples earlier.
  void Flush(int blockSize);
  // Sets the capacity and grow step for a block size: the block size rounded up
  // to whole pages, never below kMinCapacity nor below what is queued. A failed
  // reallocation keeps the old buffer.
  void Resize(int blockSize);

  int GetCapacity() const { return mSize; }
  int GetGrowStep() const { return mGrow; }

private:
  static int RoundUpToPages(int entries);
  void Compact();
  bool Reallocate(int entries);

  IMidiMsg* mBuf = nullptr;
  int mSize = 0;   // capacity in entries
  int mGrow = 0;   // grow step in entries
  int mFront = 0;  // first unconsumed entry
  int mBack = 0;   // one past the last entry
};
