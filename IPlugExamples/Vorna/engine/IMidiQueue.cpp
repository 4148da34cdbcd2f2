#include "IMidiQueue.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

IMidiQueue::IMidiQueue(int capacity, int growStep) : mGrow(std::max(0, growStep))
{
  Reallocate(std::max(kMinCapacity, capacity));
}

IMidiQueue::~IMidiQueue()
{
  std::free(mBuf);
}

int IMidiQueue::RoundUpToPages(int entries)
{
  const long long pages = (static_cast<long long>(std::max(entries, 1)) + kEntriesPerPage - 1) / kEntriesPerPage;
  const long long rounded = pages * kEntriesPerPage;
  return rounded > INT_MAX / static_cast<int>(sizeof(IMidiMsg)) ? INT_MAX / static_cast<int>(sizeof(IMidiMsg))
                                                                  : static_cast<int>(rounded);
}

bool IMidiQueue::Reallocate(int entries)
{
  void* grown = std::realloc(mBuf, static_cast<size_t>(entries) * sizeof(IMidiMsg));
  if (!grown) return false;
  mBuf = static_cast<IMidiMsg*>(grown);
  mSize = entries;
  return true;
}

void IMidiQueue::Compact()
{
  if (mFront == 0) return;
  const int count = mBack - mFront;
  if (count > 0) std::memmove(static_cast<void*>(mBuf), mBuf + mFront, sizeof(IMidiMsg) * count);
  mBack = count;
  mFront = 0;
}

bool IMidiQueue::Add(const IMidiMsg* msg)
{
  if (mBack >= mSize)
  {
    if (mFront > 0)
    {
      Compact();
    }
    else
    {
      if (mGrow <= 0) return false;
      const long long wanted = static_cast<long long>(mGrow) * (mSize / mGrow + 1);
      if (wanted > INT_MAX / static_cast<long long>(sizeof(IMidiMsg))) return false;
      if (!Reallocate(static_cast<int>(wanted))) return false;
    }
  }

  int insertAt = mBack;
  // Scan back past every entry that is due later; equal offsets stay in arrival order.
  while (insertAt > mFront && msg->mOffset < mBuf[insertAt - 1].mOffset) --insertAt;
  if (insertAt < mBack)
    std::memmove(static_cast<void*>(mBuf + insertAt + 1), mBuf + insertAt, sizeof(IMidiMsg) * (mBack - insertAt));
  mBuf[insertAt] = *msg;
  ++mBack;
  return true;
}

void IMidiQueue::Flush(int blockSize)
{
  Compact();
  for (int i = 0; i < mBack; ++i) mBuf[i].mOffset -= blockSize;
}

void IMidiQueue::Resize(int blockSize)
{
  Compact();
  const int step = std::max(kMinCapacity, RoundUpToPages(blockSize));
  mGrow = step;
  const int capacity = mBack > step ? RoundUpToPages(mBack) : step;
  if (capacity != mSize) Reallocate(capacity);
}
