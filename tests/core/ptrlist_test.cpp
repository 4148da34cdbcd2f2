#include "ptrlist.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<int> gDisposed;

struct Tracked
{
  explicit Tracked(int id) : id(id) {}
  ~Tracked() { gDisposed.push_back(id); }
  int id;
};

void DisposeTracked(void* p)
{
  delete static_cast<Tracked*>(p);
}
}  // namespace

TEST(PtrList, AddInsertGetDelete)
{
  gDisposed.clear();
  WDL_PtrList<Tracked> list;
  Tracked* a = new Tracked(1);
  Tracked* b = new Tracked(2);
  Tracked* c = new Tracked(3);
  list.Add(a);
  list.Add(c);
  list.Insert(1, b);
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.Get(1), b);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Find(c), 2);

  Tracked* d = new Tracked(4);
  list.Insert(-10, d);  // clamped to the front
  EXPECT_EQ(list.Get(0), d);

  list.Delete(0);  // removes the entry, not the object
  EXPECT_TRUE(gDisposed.empty());
  delete d;
  gDisposed.clear();

  list.Delete(1, true);  // b is deleted with its entry
  EXPECT_EQ(gDisposed, std::vector<int>{2});
  EXPECT_EQ(list.Get(1), c);

  gDisposed.clear();
  list.Empty(true);
  EXPECT_EQ(gDisposed, (std::vector<int>{3, 1}));  // last to first
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(PtrList, EmptyWithDisposeFunctionAndWithoutDeleting)
{
  gDisposed.clear();
  WDL_PtrList<Tracked> list;
  for (int i = 0; i < 4; ++i) list.Add(new Tracked(i));
  Tracked* keep = list.Get(0);
  list.Delete(0);
  list.Empty(true, DisposeTracked);
  EXPECT_EQ(gDisposed, (std::vector<int>{3, 2, 1}));

  gDisposed.clear();
  list.Add(keep);
  list.Empty();
  EXPECT_TRUE(gDisposed.empty());
  delete keep;
}
