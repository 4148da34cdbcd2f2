#include "heapbuf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

// Watches typed buffers from outside through a long run of appends, deletions
// and resizes and holds every allocation they make against a model of the
// growth rule written here from its description, not from the buffer's code.
namespace
{
constexpr long long kPage = 4096;
constexpr long long kHeader = 96;
constexpr long long kMaxSlack = 4 << 20;

// Small granularities add half the size, at least the granularity. Large ones
// add that slack in whole pages (one to 4 MiB) and then take the last block
// of whole pages less the allocator's header that the size plus slack reaches.
long long PromisedAllocation(long long n, int granularity)
{
  if (n == 0) return 0;
  const long long slack = std::max(n / 2, static_cast<long long>(granularity));
  if (granularity < kPage) return n + slack;
  const long long pagedSlack = std::clamp(slack - slack % kPage, kPage, kMaxSlack);
  long long block = kPage - kHeader;
  while (block + kPage <= n + pagedSlack) block += kPage;
  return block;
}

struct BufferModel
{
  int granularity;
  long long allocated = 0;
  long long used = 0;

  void Resize(long long n, bool resizeDown)
  {
    if (n == used) return;
    const long long shrinkBelow = std::max(1LL, std::min(allocated - 4 * granularity, allocated / 2));
    if (n > allocated || (resizeDown && n < used && n < shrinkBelow)) allocated = PromisedAllocation(n, granularity);
    used = n;
  }
};

template <class T>
void WalkAndCompare(int granularity, int steps, int maxCount, unsigned seed)
{
  SCOPED_TRACE(::testing::Message() << "granularity " << granularity << ", element size " << sizeof(T));
  WDL_TypedBuf<T> buf(granularity);
  BufferModel model{granularity};
  std::vector<T> mirror;
  std::mt19937 random(seed);
  const auto below = [&](int n) { return n > 0 ? static_cast<int>(random() % static_cast<unsigned>(n)) : 0; };
  T next = 1;
  for (int step = 0; step < steps; ++step)
  {
    const int count = static_cast<int>(mirror.size());
    const int choice = below(20);
    if (choice < 12 && count < maxCount)  // appends of every scale, from one element to many pages
    {
      const int n = 1 + below(1 << below(17));
      std::vector<T> values(static_cast<size_t>(n));
      for (T& v : values) v = next++;
      ASSERT_NE(buf.Add(values.data(), n), nullptr) << step;
      mirror.insert(mirror.end(), values.begin(), values.end());
      model.Resize(static_cast<long long>(mirror.size()) * sizeof(T), false);
    }
    else if (choice < 15 && count > 0)
    {
      const int index = below(count);
      buf.Delete(index);
      mirror.erase(mirror.begin() + index);
      model.Resize(static_cast<long long>(mirror.size()) * sizeof(T), false);
    }
    else  // shrinks (sometimes to nothing) and regrowth through Resize, which may give memory back
    {
      const int n = below(2) ? below(count + 1) : below(count / 8 + 1);
      const int regrow = choice == 19 ? below(maxCount / 4) : 0;
      buf.Resize(n + regrow);
      mirror.resize(static_cast<size_t>(n), T{});
      for (int i = 0; i < regrow; ++i) mirror.push_back(buf.Get()[n + i] = next++);
      model.Resize(static_cast<long long>(mirror.size()) * sizeof(T), true);
    }
    ASSERT_EQ(buf.GetHeapBuf()->GetAllocated(), model.allocated) << "step " << step << ", " << model.used << " bytes";
    ASSERT_EQ(buf.GetSizeBytes(), model.used) << step;
    if (!mirror.empty())
    {
      ASSERT_EQ(buf.Get()[mirror.size() - 1], mirror.back()) << step;
    }
  }
  ASSERT_EQ(buf.GetSize(), static_cast<int>(mirror.size()));
  EXPECT_TRUE(std::equal(mirror.begin(), mirror.end(), buf.Get()));
}
}  // namespace

TEST(BufferGrowth, TypedBufferAllocationsFollowTheGrowthRuleOverALongRun)
{
  // Up to 12 MiB of doubles passes the size where the page slack reaches its cap.
  WalkAndCompare<double>(WDL_HeapBuf::kPageGranularity, 600, 3 << 19, 1);
  WalkAndCompare<double>(16384, 400, 1 << 19, 2);
  WalkAndCompare<char>(128, 1500, 1 << 18, 3);
  WalkAndCompare<int>(64, 1500, 1 << 16, 4);
  WalkAndCompare<char>(WDL_HeapBuf::kPageGranularity, 1500, 1 << 18, 5);
}
