#include "assocarray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
int gValuesFreed = 0;
void FreeValue(char* p)
{
  ++gValuesFreed;
  std::free(p);
}
}  // namespace

TEST(StringKeyedArray, InsertExistingKeyReplacesAndDisposesTheOldValue)
{
  gValuesFreed = 0;
  {
    WDL_StringKeyedArray<char*> arr(true, FreeValue);
    char key[] = "audio";
    arr.Insert(key, strdup("one"));
    key[0] = 'X';  // the array holds its own copy of the key
    arr.Insert("audio", strdup("two"));
    EXPECT_EQ(arr.GetSize(), 1);
    EXPECT_EQ(gValuesFreed, 1);
    EXPECT_STREQ(arr.Get("audio"), "two");
    EXPECT_EQ(arr.Get("Xudio"), nullptr);
    EXPECT_EQ(arr.Get("Audio"), nullptr);  // case-sensitive
  }
  EXPECT_EQ(gValuesFreed, 2);  // destruction disposes what is left
}

TEST(StringKeyedArray, CaseInsensitiveFindsAnySpelling)
{
  WDL_StringKeyedArray<int> arr(false);
  arr.Insert("Audio", 7);
  EXPECT_EQ(arr.Get("audio"), 7);
  EXPECT_EQ(arr.Get("AUDIO"), 7);
  arr.Insert("AUDIO", 8);
  EXPECT_EQ(arr.GetSize(), 1);
  const char* stored = nullptr;
  arr.Enumerate(0, &stored);
  EXPECT_STREQ(stored, "Audio");  // an existing key keeps its stored spelling
}

TEST(StringKeyedArray, KeepsSortedOrderAndDeletes)
{
  WDL_StringKeyedArray<int> arr;
  const char* keys[] = {"m", "c", "x", "a", "q", "b"};
  for (int i = 0; i < 6; ++i) arr.Insert(keys[i], i);
  std::string order;
  for (int i = 0; i < arr.GetSize(); ++i)
  {
    const char* k = nullptr;
    arr.Enumerate(i, &k);
    order += k;
  }
  EXPECT_EQ(order, "abcmqx");
  arr.Delete("m");
  arr.Delete("zzz");
  EXPECT_EQ(arr.GetSize(), 5);
  EXPECT_FALSE(arr.Exists("m"));
  EXPECT_EQ(arr.Get("q"), 4);
}

TEST(StringKeyedArray, ResortKeepsEachKeyOnceAndDisposesTheRest)
{
  gValuesFreed = 0;
  {
    WDL_StringKeyedArray<char*> arr(true, FreeValue);
    arr.AddUnsorted("b", strdup("1"));
    arr.AddUnsorted("a", strdup("2"));
    arr.AddUnsorted("b", strdup("3"));
    arr.Resort();
    ASSERT_EQ(arr.GetSize(), 2);
    const char* k0 = nullptr;
    const char* k1 = nullptr;
    arr.Enumerate(0, &k0);
    arr.Enumerate(1, &k1);
    EXPECT_STREQ(k0, "a");
    EXPECT_STREQ(k1, "b");
    EXPECT_EQ(gValuesFreed, 1);
    ASSERT_NE(arr.Get("b"), nullptr);
    EXPECT_STREQ(arr.Get("b"), "3");  // the one added last
  }
  EXPECT_EQ(gValuesFreed, 3);
}

TEST(AssocArray, PlainKeysBisect)
{
  WDL_AssocArray<int, double> arr;
  for (int i = 100; i > 0; --i) arr.Insert(i * 3, i * 0.5);
  EXPECT_EQ(arr.GetSize(), 100);
  EXPECT_DOUBLE_EQ(arr.Get(30), 5.0);
  EXPECT_DOUBLE_EQ(arr.Get(31, -1.0), -1.0);
  int previous = -1;
  for (int i = 0; i < arr.GetSize(); ++i)
  {
    int k = 0;
    arr.Enumerate(i, &k);
    ASSERT_GT(k, previous);
    previous = k;
  }
  arr.DeleteAll();
  EXPECT_EQ(arr.GetSize(), 0);
}
