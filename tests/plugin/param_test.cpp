#include "IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The display text, written into a buffer of exactly the documented size so
// that the address sanitizer sees any write past it.
std::string Display(const IParam& p, double value, bool normalized, bool withDisplayText)
{
  std::vector<char> out(IParam::kDisplaySize, '#');
  p.GetDisplayForHost(value, normalized, out.data(), withDisplayText);
  return std::string(out.data(), strnlen(out.data(), out.size()));
}

IParam MakeInt(int defaultVal, int minVal, int maxVal)
{
  IParam p;
  p.InitInt("int", defaultVal, minVal, maxVal, "", "");
  return p;
}

IParam MakeDouble(double defaultVal, double minVal, double maxVal, double step, double shape = 1.0)
{
  IParam p;
  p.InitDouble("double", defaultVal, minVal, maxVal, step, "", "", shape);
  return p;
}
}  // namespace

TEST(IParamInit, BoolTakesItsDefaultAndOffOnTexts)
{
  IParam p;
  p.InitBool("osc 1 on", true, "sw", "osc");
  EXPECT_EQ(p.Type(), IParam::kTypeBool);
  EXPECT_EQ(p.Value(), 1.0);
  EXPECT_EQ(p.GetDefault(), 1.0);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  ASSERT_EQ(p.GetNDisplayTexts(), 2);
  EXPECT_EQ(Display(p, 1.0, false, true), "on");
  EXPECT_EQ(Display(p, 0.0, false, true), "off");
  EXPECT_EQ(Display(p, 1.0, false, false), "1");
  EXPECT_STREQ(p.GetLabelForHost(), "");  // hidden behind the text "on"
}

TEST(IParamInit, RangesAreNeverEmpty)
{
  IParam e;
  e.InitEnum("e", 0, 1, "", "");
  EXPECT_EQ(e.GetMax(), 1.0);
  e.InitEnum("waveform 1", 2, 6, "", "");
  EXPECT_EQ(e.GetMax(), 5.0);
  EXPECT_EQ(e.Value(), 2.0);

  EXPECT_EQ(MakeInt(3, 3, 3).GetMax(), 4.0);
  EXPECT_EQ(MakeInt(0, 5, 2).GetMax(), 6.0);
  EXPECT_EQ(MakeInt(0, 2147483647, 2147483647).GetMax(), 2147483648.0);  // min + 1 without overflow
  EXPECT_DOUBLE_EQ(MakeDouble(0, 1.0, 1.0, 0.25).GetMax(), 1.25);
}

TEST(IParamInit, ReinitialisingKeepsTheFirstKind)
{
  IParam p;
  p.InitBool("b", false, "", "");
  p.InitEnum("e", 1, 4, "", "");
  EXPECT_EQ(p.Type(), IParam::kTypeBool);
  EXPECT_EQ(p.GetMax(), 3.0);
  EXPECT_STREQ(p.GetNameForHost(), "e");

  // A double re-initialised as an int still moves between steps...
  IParam d = MakeDouble(0, 0, 1, 0.01);
  d.InitInt("i", 0, 0, 10, "", "");
  d.SetNormalized(0.26);
  EXPECT_DOUBLE_EQ(d.Value(), 2.6);

  // ...and an int re-initialised as a double rounds to the new step.
  IParam i = MakeInt(0, 0, 10);
  i.InitDouble("d", 0, 0, 2, 0.5, "", "", 1.0);
  EXPECT_EQ(i.Type(), IParam::kTypeInt);
  i.SetNormalized(0.3);  // 0.6
  EXPECT_EQ(i.Value(), 0.5);
}

TEST(IParamInit, PrecisionFollowsTheStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{0.01, 2},   {0.001, 3},   {0.5, 1},  {1, 0},      {10, 0},     {0.25, 2},
               {0.0001, 4}, {0.00001, 5}, {1e-7, 6}, {0.000015, 6}, {1.5, 1},
               // 0.07 * 10 * 10 is 7.000000000000001 in binary; two decimals still show it.
               {0.07, 2}};
  for (const auto& c : cases) EXPECT_EQ(MakeDouble(0, 0, 1, c.step).GetPrecision(), c.precision) << c.step;
}

TEST(IParamInit, TextFieldsAreCutAndTerminated)
{
  const std::string longText(40, 'n');
  const std::string cut(IParam::kTextSize - 1, 'n');
  IParam p;
  p.InitInt(longText.c_str(), 0, 0, 5, longText.c_str(), longText.c_str());
  EXPECT_EQ(p.GetNameForHost(), cut);
  EXPECT_EQ(p.GetLabelForHost(), cut);
  EXPECT_EQ(p.GetParamGroupForHost(), cut);
  p.SetDisplayText(3, longText.c_str());
  EXPECT_EQ(Display(p, 3.0, false, true), cut);

  IParam nulls;
  nulls.InitDouble(nullptr, 0, 0, 1, 0.1, nullptr, nullptr, 1.0);
  nulls.SetDisplayText(0, nullptr);
  EXPECT_STREQ(nulls.GetNameForHost(), "");
  EXPECT_STREQ(nulls.GetDisplayTextAtIdx(0), "");
}

TEST(IParamValue, SetNormalizedRoundsNonDoublesToTheNearestStep)
{
  IParam p = MakeInt(4, 0, 10);
  p.SetNormalized(1.0);
  EXPECT_EQ(p.Value(), 10.0);
  p.SetNormalized(0.26);  // 2.6
  EXPECT_EQ(p.Value(), 3.0);
  p.SetNormalized(0.24);  // 2.4
  EXPECT_EQ(p.Value(), 2.0);
  p.SetNormalized(0.25);  // 2.5 rounds up
  EXPECT_EQ(p.Value(), 3.0);

  IParam neg = MakeInt(0, -5, 5);
  neg.SetNormalized(0.24);  // -2.6
  EXPECT_EQ(neg.Value(), -3.0);

  // Steps of 0.4 in 0..1: 1.0 rounds to 1.2, which is capped; from a minimum
  // off the grid, 0.1 rounds to 0, which is raised to the minimum.
  IParam grid = MakeInt(0, 0, 10);
  grid.InitDouble("s", 0, 0, 1, 0.4, "", "", 1.0);
  grid.SetNormalized(1.0);
  EXPECT_EQ(grid.Value(), 1.0);
  grid.InitDouble("s", 0.1, 0.1, 1, 0.4, "", "", 1.0);
  grid.SetNormalized(0.0);
  EXPECT_EQ(grid.Value(), 0.1);
}

TEST(IParamValue, SettersClampAndTakeTheDefaultForNaN)
{
  IParam p = MakeInt(4, 0, 10);
  p.SetNormalized(1.5);
  EXPECT_EQ(p.Value(), 10.0);
  p.SetNormalized(-0.5);
  EXPECT_EQ(p.Value(), 0.0);
  p.SetNormalized(kNaN);
  EXPECT_EQ(p.Value(), 4.0);
  p.Set(2.6);  // a plain value is not snapped to the step
  EXPECT_EQ(p.Value(), 2.6);
  EXPECT_EQ(p.Int(), 2);

  // With a shape, an unclamped negative argument would give pow(-0.2, 2.5) = NaN.
  IParam f = MakeDouble(11000, 10, 20000, 0.01, 2.5);
  f.SetNormalized(-0.2);
  EXPECT_EQ(f.Value(), 10.0);
  f.Set(25000.0);
  EXPECT_EQ(f.Value(), 20000.0);
  f.Set(kNaN);
  EXPECT_EQ(f.Value(), 11000.0);
  EXPECT_EQ(f.GetNonNormalized(kNaN), 11000.0);
  EXPECT_DOUBLE_EQ(f.GetNormalized(kNaN), std::pow(10990.0 / 19990.0, 0.4));
}

TEST(IParamValue, ShapeBendsTheNormalisedScale)
{
  // A shape of 2 puts normalised 0.5 at a quarter of the range, and back.
  IParam p = MakeDouble(0, 0, 100, 0.01);
  p.SetShape(2.0);
  p.SetNormalized(0.5);
  EXPECT_EQ(p.Value(), 25.0);
  EXPECT_EQ(p.GetNormalized(), 0.5);

  IParam f = MakeDouble(11000, 10, 20000, 0.01, 2.0);
  EXPECT_EQ(f.GetNonNormalized(0.5), 5007.5);  // 10 + 19990 / 4
  EXPECT_EQ(f.GetNormalized(5007.5), 0.5);
  EXPECT_EQ(f.GetNormalized(25000.0), 1.0);
  EXPECT_EQ(f.GetNormalized(-5.0), 0.0);

  // A shape below 1 spreads the low end: normalised 0.25 is half the range.
  IParam g = MakeDouble(0, -1, 1, 0.001, 0.5);
  EXPECT_DOUBLE_EQ(g.GetNonNormalized(0.25), 0.0);
  EXPECT_DOUBLE_EQ(g.GetNormalized(0.0), 0.25);

  // Shapes that would map the range outside itself are refused.
  for (double bad : {0.0, -2.0, kNaN}) g.SetShape(bad);
  g.InitDouble("g", 0, -1, 1, 0.001, "", "", 0.0);
  EXPECT_EQ(g.GetShape(), 0.5);
}

TEST(IParamValue, NormaliseRoundTripsForEveryShape)
{
  for (double shape : {0.25, 0.5, 1.0, 2.0, 3.0, 5.0})
  {
    IParam p = MakeDouble(0, -20, 380, 0.0001, shape);
    for (int i = 0; i <= 20; ++i)
    {
      const double n = i / 20.0;
      EXPECT_NEAR(p.GetNormalized(p.GetNonNormalized(n)), n, 1e-12) << "shape " << shape << " n " << n;
      const double plain = -20.0 + 20.0 * i;
      EXPECT_NEAR(p.GetNonNormalized(p.GetNormalized(plain)), plain, 1e-9) << "shape " << shape << " v " << plain;
    }
  }
}

TEST(IParamValue, DecibelsToGain)
{
  IParam p = MakeDouble(0, -60, 20, 0.01);
  EXPECT_EQ(p.DBToAmp(), 1.0);
  p.Set(20.0);
  EXPECT_NEAR(p.DBToAmp(), 10.0, 1e-9);
  p.Set(-6.0);
  EXPECT_NEAR(p.DBToAmp(), 0.501187233627, 1e-9);  // 10^(-6/20)
}

TEST(IParamDisplay, NumbersUseTheDisplayPrecision)
{
  IParam d = MakeDouble(0, 0, 10, 0.01);
  EXPECT_EQ(Display(d, 3.14159, false, true), "3.14");
  EXPECT_EQ(Display(d, 0.5, true, false), "5.00");
  IParam i = MakeInt(0, 0, 100);
  EXPECT_EQ(Display(i, 7.9, false, true), "7");  // truncated, not rounded
  EXPECT_EQ(Display(i, 0.5, true, true), "50");
  IParam s = MakeDouble(2.5, 0, 100, 0.1, 2.0);
  EXPECT_EQ(Display(s, 0.5, true, false), "25.0");
  EXPECT_EQ(Display(s, kNaN, false, false), "2.5");  // the default
}

TEST(IParamDisplay, NegateDisplayFlipsTheSignButNotTheTextLookup)
{
  IParam d = MakeDouble(0, -1, 1, 0.01);
  d.NegateDisplay();
  EXPECT_EQ(Display(d, 0.25, false, false), "-0.25");
  EXPECT_EQ(Display(d, -0.5, false, false), "0.50");
  EXPECT_EQ(Display(d, 0.0, false, false), "0.00");  // never "-0.00"

  IParam i = MakeInt(0, -5, 5);
  i.NegateDisplay();
  i.SetDisplayText(3, "three");
  EXPECT_EQ(Display(i, 3.0, false, true), "three");
  EXPECT_EQ(Display(i, 3.0, false, false), "-3");
}

TEST(IParamDisplay, FirstNonEmptyTextForTheTruncatedValue)
{
  IParam p = MakeInt(0, 0, 4);
  p.SetDisplayText(1, "first");
  p.SetDisplayText(1, "second");
  p.SetDisplayText(2, "");
  EXPECT_EQ(Display(p, 1.7, false, true), "first");
  EXPECT_EQ(Display(p, 2.0, false, true), "2");  // an empty text shows the number
  EXPECT_STREQ(p.GetDisplayText(1), "first");
  EXPECT_STREQ(p.GetDisplayText(3), "");
}

TEST(IParamDisplay, LongNumbersStayInsideTheBuffer)
{
  const std::string text = Display(MakeDouble(0, 0, 1, 1e-7), 1e300, false, false);
  EXPECT_EQ(text.size(), static_cast<size_t>(IParam::kDisplaySize - 1));
  EXPECT_EQ(text.substr(0, 2), "10");
  EXPECT_EQ(Display(MakeInt(0, 0, 10), -1e20, false, false), "-2147483648");
}

TEST(IParamDisplay, TextAtIndexStaysInsideTheTable)
{
  IParam p;
  p.InitBool("b", false, "", "");
  int value = 99;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(1, &value), "on");
  EXPECT_EQ(value, 1);
  value = 99;
  for (int outside : {2, -1, 1000000}) EXPECT_STREQ(p.GetDisplayTextAtIdx(outside, &value), "") << outside;
  EXPECT_STREQ(IParam().GetDisplayTextAtIdx(0, &value), "");
  EXPECT_EQ(value, 99);
}

TEST(IParamDisplay, MapDisplayTextIsExactAndCaseSensitive)
{
  IParam p;
  p.InitEnum("e", 0, 3, "", "");
  p.SetDisplayText(0, "sine");
  p.SetDisplayText(1, "on");
  p.SetDisplayText(2, "on");
  int value = 42;
  for (const char* miss : {"On", "on ", static_cast<const char*>(nullptr)}) EXPECT_FALSE(p.MapDisplayText(miss, &value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(p.MapDisplayText("on", &value));
  EXPECT_EQ(value, 1);
}

TEST(IParamDisplay, LabelHidesOnlyBehindANonEmptyText)
{
  IParam p;
  p.InitInt("voices", 0, 0, 3, "vc", "");
  p.SetDisplayText(0, "none");
  p.SetDisplayText(2, "");
  EXPECT_STREQ(p.GetLabelForHost(), "");
  p.Set(1.0);
  EXPECT_STREQ(p.GetLabelForHost(), "vc");
  p.Set(2.0);
  EXPECT_STREQ(p.GetLabelForHost(), "vc");
}
