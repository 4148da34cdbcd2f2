#include "IFloatValTextCtrlWSignalZK.h"
#include "IIntValTextControlZK.h"
#include "IListControlZK.h"
#include "toolkit_test_editor.h"

using namespace tktest;

namespace
{
const std::vector<std::string> kModels = {"reson", "simple", "frmnt", "t lad", "d lad"};

IListControlZK* ModelList(ToolkitEditor& e, int rows = 3)
{
  return new IListControlZK(&e.plug, 20, 20, kModel, kModels, 16, 0, rows, kTextBGBrackets, kVertical);
}
}  // namespace

TEST(List, GridOpensHoversChoosesAndLeavesNoTrace)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("list", &log);
  IListControlZK* list = e.Attach(ModelList(e));
  rec.Listen(*list);
  list->SetValueFromPlug(0.0);
  // "simple" is the longest: 7 characters of 8 pixels, rows of int(16 x 1.1).
  EXPECT_EQ(list->GetBodyRECT(), IRECT(20, 20, 76, 37));
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();

  // Five names in rows of 3 open as int(5 / 3 + 0.5) = 2 columns.
  e.MoveTo(30, 25);
  e.Click(30, 25);
  ASSERT_TRUE(list->IsExpanded());
  EXPECT_EQ(*list->GetRECT(), IRECT(20, 20, 20 + 2 * 56 + 1, 20 + 3 * 17 + 1));
  EXPECT_EQ(*list->GetTargetRECT(), CZK::Grown(*list->GetRECT(), 20));
  EXPECT_EQ(list->CellRECT(4), IRECT(76, 37, 132, 54));
  e.MoveTo(80, 40);
  EXPECT_EQ(list->GetHoveredIndex(), 4);
  e.MoveTo(80, 60);
  EXPECT_EQ(list->GetHoveredIndex(), 4) << "below the last entry of a part-filled column";
  e.MoveTo(30, 58);
  EXPECT_EQ(list->GetHoveredIndex(), 2);
  e.FramesUntilClean();
  e.Snapshot("toolkit_list_grid");
  EXPECT_GT(CountColor(e, list->CellRECT(2), Rgb(list->GetColorHiFill())), 56 * 17 / 3);

  // Leaving closes it without a choice, and the editor shows as before.
  e.MoveTo(300, 200);
  e.FramesUntilClean();
  EXPECT_FALSE(list->IsExpanded());
  EXPECT_EQ(list->GetValue(), 0.0);
  EXPECT_EQ(e.ScreenPixels(), before);

  // A click in the open grid chooses the hovered name and pushes it.
  e.MoveTo(30, 25);
  e.Click(30, 25);
  e.MoveTo(80, 25);
  e.Click(80, 25);
  EXPECT_FALSE(list->IsExpanded());
  EXPECT_EQ(list->GetValue(), 0.75);
  EXPECT_EQ(e.plug.changes.back(), std::make_pair(int(kModel), 0.75));
  EXPECT_EQ(list->ShownEntry(), 3);
  e.FramesUntilClean();
  EXPECT_EQ(*list->GetRECT(), list->GetBodyRECT());
  e.Snapshot("toolkit_list_closed");

  // Wheel and double click move between entries; a right click only reports.
  e.Wheel(30, 25, 1);
  EXPECT_EQ(list->GetValue(), 1.0);
  e.Wheel(30, 25, 1);
  EXPECT_EQ(list->GetValue(), 1.0);
  e.DoubleClick(30, 25);
  EXPECT_EQ(list->GetValue(), 0.0);
  EXPECT_EQ(e.plug.changes.back(), std::make_pair(int(kModel), 0.0));
  log.clear();
  e.Press(30, 25, IMouseMod(false, true));
  EXPECT_FALSE(list->IsExpanded());
  EXPECT_EQ(log, (std::vector<std::string>{"list: right 2,30,25"}));

  // A value from the plug-in just short of an entry shows that entry, not the one below.
  list->SetValueFromPlug(0.75 - 1e-12);
  EXPECT_EQ(list->ShownEntry(), 3);
}

TEST(List, NamesColumnsAndTheTwoNameToggle)
{
  ToolkitEditor e;
  IListControlZK six(&e.plug, 0, 0, kModel, {"a", "b", "c", "d", "e", "f"}, 10, 0, 3, kTextBGFill, kVertical);
  six.ExpandAreaToFullView();
  EXPECT_EQ(six.GetRECT()->W(), 2 * 10 + 1);
  IListControlZK four(&e.plug, 0, 0, kModel, {"a", "b", "c", "d"}, 10, 0, 3, kTextBGFill, kVertical);
  four.ExpandAreaToFullView();
  EXPECT_EQ(four.GetRECT()->W(), 10 + 1) << "4 / 3 + 0.5 rounds down";
  IListControlZK one(&e.plug, 0, 0, kOn, {"solo"}, 10, 0, 3, kTextBGFill, kVertical);
  EXPECT_EQ(one.GetNames(), (std::vector<std::string>{"solo", "ERR"}));
  const int width = one.GetBodyRECT().W();
  one.SetNames({"solo"});
  EXPECT_EQ(one.GetBodyRECT().W(), width + 5) << "each call widens by half a text size";
  one.PositionControlAt(50, 60);
  EXPECT_EQ(one.GetBodyRECT(), IRECT(50, 60, 50 + width + 5, 71));

  IListControlZK* toggle = e.Attach(new IListControlZK(&e.plug, 100, 100, kOn, {"off", "on"}, 16, 0, 5, kTextBGFill,
                                                       kVertical));
  toggle->SetValueFromPlug(0.0);
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();
  e.Press(105, 105);
  EXPECT_FALSE(toggle->IsExpanded());
  EXPECT_EQ(toggle->GetValue(), 1.0);
  EXPECT_EQ(e.plug.changes.back(), std::make_pair(int(kOn), 1.0));
  const IRECT body = toggle->GetBodyRECT();
  ASSERT_TRUE(e.Frame());
  EXPECT_GT(CountColor(e, body, Rgb(toggle->GetColorHiFill())), body.W() * body.H() / 2) << "the flash";
  ASSERT_TRUE(e.Frame());
  EXPECT_LT(CountColor(e, body, Rgb(toggle->GetColorHiFill())), body.W() * body.H() / 4) << "only once";
  e.Release(105, 105);
  e.Press(105, 105);
  e.Release(105, 105);
  EXPECT_EQ(toggle->GetValue(), 0.0);
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);
}

TEST(IntField, WholeStepsSignalsAndRange)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("int", &log);
  auto* own = e.Attach(new IIntValTextControlZK(&e.plug, 10, 10, -1, 16, kTextBGFill, IIntValTextControlZK::kSlash,
                                                kVertical));
  auto* voices = e.Attach(new IIntValTextControlZK(&e.plug, 60, 10, kVoices, 16, kTextBGBrackets,
                                                   IIntValTextControlZK::kUnderline, kVertical));
  own->mSignal.Connect(&rec, &SignalRecorder::IntValue);
  voices->mSignal.Connect(&rec, &SignalRecorder::IntValue);
  EXPECT_EQ(own->GetInt(), 1);
  EXPECT_EQ(own->GetMin(), 1);
  EXPECT_EQ(own->GetMax(), 16);
  EXPECT_EQ(*own->GetRECT(), IRECT(10, 10, 32, 27)) << "16 x 1.4 wide, 16 x 1.05 high";
  EXPECT_EQ(own->GetGearing(), 3.0);
  EXPECT_EQ(voices->GetInt(), 8);
  EXPECT_EQ(voices->GetRECT()->W(), 22) << "two digits";
  EXPECT_NEAR(voices->GetGearing(), 3.0, 1e-12);

  // A one-pixel drag is a third of a step: nothing until the rounded integer changes.
  e.Press(15, 15);
  e.DragTo(15, 14);
  EXPECT_TRUE(log.empty());
  e.DragTo(15, 13);
  e.Release(15, 13);
  EXPECT_EQ(log, (std::vector<std::string>{"int: int -1,2"}));
  EXPECT_EQ(own->GetInt(), 2);

  // Shift+wheel halves and doubles; plain wheel steps by one, within the range.
  own->SetQuantized(5);
  EXPECT_EQ(own->GetInt(), 5);
  EXPECT_EQ(log.size(), 1u) << "shown without a report";
  e.Wheel(15, 15, 1, IMouseMod(false, false, true));
  EXPECT_EQ(own->GetInt(), 10);
  own->SetQuantized(5);
  e.Wheel(15, 15, -1, IMouseMod(false, false, true));
  EXPECT_EQ(own->GetInt(), 2);
  e.Wheel(15, 15, -3);
  EXPECT_EQ(own->GetInt(), 1);
  own->SetQuantized(16);
  e.Wheel(15, 15, 1, IMouseMod(false, false, true));
  EXPECT_EQ(own->GetInt(), 16);

  // Bound: the parameter's range, pushed and reported.
  voices->SetValueFromPlug(voices->GetParam()->GetNormalized());
  log.clear();
  e.Wheel(65, 15, 1);
  EXPECT_EQ(voices->GetInt(), 9);
  EXPECT_EQ(e.plug.GetParam(kVoices)->Int(), 9);
  EXPECT_EQ(log, (std::vector<std::string>{"int: int 4,9"}));
  e.DoubleClick(65, 15);
  EXPECT_EQ(voices->GetInt(), 8);
  EXPECT_EQ(log.back(), "int: int 4,8");

  e.FramesUntilClean();
  e.Snapshot("toolkit_int_fields");
  const IRECT body = voices->GetBodyRECT();
  // The underline: half the width, centred, one pixel high at this size.
  EXPECT_EQ(CountColor(e, IRECT(body.L, body.B - 1, body.R, body.B), Rgb(voices->GetColorLine())), 11);
}

TEST(FloatField, RangeGearingRoundedDigitsAndTheTempoDefault)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder rec("bpm", &log);
  auto* tempo = e.Attach(new IFloatValTextCtrlWSignalZK(&e.plug, 20, 20, -144, 16, kTextBGFill, kVertical));
  tempo->mSignal.Connect(&rec, &SignalRecorder::Value);
  EXPECT_EQ(tempo->GetGearing(), 7.5);
  EXPECT_EQ(tempo->GetRECT()->W(), 35) << "sized at the framework's text size";

  tempo->SetMinMax(10.0, 0.0);
  EXPECT_EQ(tempo->GetMin(), 0.0);
  EXPECT_EQ(tempo->GetGearing(), 20.0);
  EXPECT_EQ(tempo->GetRECT()->W(), int(16 * 5 * 0.7));
  tempo->SetMinMax(-0.5, 0.5);
  EXPECT_EQ(tempo->GetRECT()->W(), int(16 * 5 * 0.7)) << "a digit, a sign and three more";

  // Digits are rounded, with the layout's single leading zero and no sign above -1.
  const struct
  {
    double shown;
    int decimals;
    const char* text;
  } cases[] = {{1.13, 2, "1.13"}, {120.05, 2, "120.05"}, {3.5, 2, "3.50"}, {3.05, 2, "3.05"},
               {2.0, 1, "2.00"},  {1.005, 3, "1.05"},    {-0.5, 2, "0.50"}, {-2.25, 2, "-2.25"}};
  tempo->SetMinMax(-360.0, 360.0);
  for (const auto& c : cases)
  {
    tempo->SetNumDecimals(c.decimals);
    tempo->SetNonnormFromPlug(c.shown);
    EXPECT_EQ(tempo->ShownText(), c.text) << c.shown;
  }
  EXPECT_TRUE(log.empty()) << "values from the plug-in are not reported";

  // The tempo entry: 1..360, its default the host's tempo.
  tempo->SetNumDecimals(2);
  tempo->SetMinMax(1.0, 360.0);
  tempo->SetDefaultNonNorm(120.0);
  EXPECT_EQ(tempo->GetShown(), 120.0);
  EXPECT_NEAR(tempo->GetValue(), 119.0 / 359.0, 1e-15);
  e.Wheel(25, 25, 1);
  ASSERT_EQ(log.size(), 1u);
  // 120 + 3.59 lands exactly on a number: already aligned, still shown and reported.
  EXPECT_NEAR(tempo->GetShown(), 123.59, 1e-9);
  EXPECT_EQ(log[0], "bpm: value -144 123.590000");
  const double wheeled = tempo->GetShown();
  e.Press(25, 25);
  e.DragTo(25, 24, IMouseMod(true, false, false, true));
  e.Release(25, 24);
  EXPECT_GT(tempo->GetShown(), wheeled);
  EXPECT_EQ(log.size(), 2u);
  // A double click goes back to the default and says so, so that what plays agrees.
  e.DoubleClick(25, 25);
  EXPECT_EQ(tempo->GetShown(), 120.0);
  EXPECT_EQ(log.back(), "bpm: value -144 120.000000");

  IFloatValTextCtrlWSignalZK fresh(&e.plug, 0, 0, -1, 12, kTextBGNone, kVertical);
  fresh.SetValue(0.4);
  fresh.OnMouseDblClick(1, 1, nullptr);
  EXPECT_EQ(fresh.GetValue(), 0.4) << "no default, nothing to go back to";
  e.FramesUntilClean();
  e.Snapshot("toolkit_float_field");
}

TEST(SquareBrackets, TicksAreAnEighthOfTheHeight)
{
  ToolkitEditor e;
  e.FramesUntilClean();
  IRECT r(10, 10, 40, 19);
  const IColor c(255, 250, 10, 10);
  CZK::DrawSquareBrackets(e.gui, r, c);
  EXPECT_EQ(CountColor(e, r, Rgb(c)), 2 * 9 + 4);
  EXPECT_EQ(e.ScreenPixel(11, 10), Rgb(c));
  EXPECT_NE(e.ScreenPixel(12, 10), Rgb(c));
}
