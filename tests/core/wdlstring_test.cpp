#include "wdlstring.h"

#include <gtest/gtest.h>

#include <string>

TEST(WdlString, EmptyReadsAsEmptyText)
{
  WDL_String s;
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
  s.Set("abc");
  s.Set("");
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(WdlString, SetAppendInsertDelete)
{
  WDL_String s("hello");
  s.Append(" world");
  EXPECT_STREQ(s.Get(), "hello world");
  s.Insert(",", 5);
  EXPECT_STREQ(s.Get(), "hello, world");
  s.Insert("<", -3);
  s.Insert(">", 1000);
  EXPECT_STREQ(s.Get(), "<hello, world>");
  s.DeleteSub(1, 7);
  EXPECT_STREQ(s.Get(), "<world>");
  s.DeleteSub(5, 100);
  EXPECT_STREQ(s.Get(), "<worl");
  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
  s.Append("xyz", 1);
  EXPECT_STREQ(s.Get(), "abcx");
  EXPECT_EQ(s.GetLength(), 4);
}

TEST(WdlString, EditsWhoseSourceIsTheStringItself)
{
  WDL_String s("abcdef");
  s.Append(s.Get());
  EXPECT_STREQ(s.Get(), "abcdefabcdef");

  s.Set("abcdef");
  s.Insert(s.Get() + 3, 1);  // "def" into the middle: the source lies in the moved tail
  EXPECT_STREQ(s.Get(), "adefbcdef");

  s.Set("abcdef");
  s.Insert(s.Get(), 2);
  EXPECT_STREQ(s.Get(), "ababcdefcdef");

  s.Set("abcdef");
  s.Set(s.Get() + 2);
  EXPECT_STREQ(s.Get(), "cdef");

  // Growth across many granules with an own-buffer source.
  std::string expected = "x";
  s.Set("x");
  for (int i = 0; i < 12; ++i)
  {
    s.Append(s.Get());
    expected += expected;
  }
  EXPECT_EQ(std::string(s.Get()), expected);
}

TEST(WdlString, FormattedIsBoundedAndSizesTheBuffer)
{
  WDL_String s;
  s.SetFormatted(5, "%d-%s", 12345, "abc");
  EXPECT_STREQ(s.Get(), "12345");
  EXPECT_EQ(s.GetLength(), 5);
  s.SetFormatted(64, "v%d.%d.%d", 1, 2, 3);
  EXPECT_STREQ(s.Get(), "v1.2.3");
  EXPECT_EQ(s.GetLength(), 6);
  s.AppendFormatted(3, "%s", "+xyz");
  EXPECT_STREQ(s.Get(), "v1.2.3+xy");
  s.SetFormatted(100, "[%s]", s.Get());  // argument inside the string itself
  EXPECT_STREQ(s.Get(), "[v1.2.3+xy]");
  s.SetFormatted(10, "%s", "");
  EXPECT_STREQ(s.Get(), "");
}

TEST(WdlString, SetLenCutsAndPads)
{
  WDL_String s("abcdef");
  s.SetLen(3);
  EXPECT_STREQ(s.Get(), "abc");
  s.SetLen(5);
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_STREQ(s.Get(), "abc");
}

TEST(WdlString, CopiesAreIndependent)
{
  WDL_String a("one");
  WDL_String b(a);
  a.Set("two");
  EXPECT_STREQ(b.Get(), "one");
  b = a;
  EXPECT_STREQ(b.Get(), "two");
}
