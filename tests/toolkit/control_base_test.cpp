#include "CZK.h"
#include "toolkit_test_editor.h"

#include <cstring>

using namespace tktest;

namespace
{
// The least a toolkit control draws: its body in the fill colour, then its labels.
class BodyControl : public IControlZK
{
public:
  using IControlZK::IControlZK;
  bool Draw(IGraphics* graphics) override
  {
    graphics->FillIRect(&mColorFill, &mBodyRECT, &mBlend);
    DrawLabels(graphics);
    return true;
  }
};
}  // namespace

TEST(TextEstimate, WidthsHeightsLinesAndTurns)
{
  EXPECT_EQ(CZK::RectForText("knobs", 10, 0, true, CZK::kNarrowChars, 0.5), IRECT(0, 0, 25, 11));
  // Capitals, 'm' and 'w' count 1.2, narrow characters 0.5, only without plain counting.
  EXPECT_EQ(CZK::RectForText("Mw", 10, 0, false, "", 0.55), IRECT(0, 0, 13, 11));
  EXPECT_EQ(CZK::RectForText("Mw", 10, 0, true, "", 0.55), IRECT(0, 0, 11, 11));
  EXPECT_EQ(CZK::RectForText("ill", 10, 0, false, "il", 1.0).R, 15);
  EXPECT_EQ(CZK::RectForText("ill", 10, 0, false, "ill", 1.0).R, 5);  // a character listed twice counts twice
  // The length is the longest line's, the counts are over the whole text.
  EXPECT_EQ(CZK::RectForText("AB\nc", 10, 0, false, "", 1.0), IRECT(0, 0, 24, 22));

  double longest = -1;
  int lines = -1;
  CZK::MeasureText("ab\ncdef", longest, lines);
  EXPECT_EQ(longest, 4);
  EXPECT_EQ(lines, 2);
  CZK::MeasureText("ab\n", longest, lines);
  EXPECT_EQ(longest, 2);
  EXPECT_EQ(lines, 1);
  CZK::MeasureText("a\n\nb", longest, lines);
  EXPECT_EQ(longest, 1);
  EXPECT_EQ(lines, 3);
  CZK::MeasureText("", longest, lines);
  EXPECT_EQ(longest, 0);
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(CZK::RectForText("", 16, 0, true, CZK::kNarrowChars, 0.45), IRECT());

  EXPECT_EQ(CZK::RectForText("knobs", 10, 90, true, CZK::kNarrowChars, 0.5), IRECT(0, 0, 11, 25));
  // 45 degrees: (25 + 11) x 0.707 on both axes.
  EXPECT_EQ(CZK::RectForText("knobs", 10, 45, true, CZK::kNarrowChars, 0.5), IRECT(0, 0, 25, 25));

  // A 25 x 11 box centred in 40 x 20, the halves of the spare room truncated.
  EXPECT_EQ(CZK::GetRectForTextInRect("knobs", IRECT(10, 20, 50, 40), 10, 0, true), IRECT(17, 24, 42, 35));
}

TEST(ControlBase, LabelsSitBesideTheBodyAndMoveWithIt)
{
  ToolkitEditor e;
  BodyControl c(&e.plug, IRECT(100, 100, 140, 140), kGain);
  const IText style(20, &COLOR_WHITE);
  // "gain" at 14 is 28 x 15, centred on the body at (106, 112); below it moves down by
  // half the body's height and the offset.
  c.AddLabel("gain", style, 0, 2, IControlZK::kLabelBelow);
  EXPECT_EQ(c.GetLabelTextSize(0), 14);
  EXPECT_EQ(c.GetLabelRECT(0), IRECT(106, 134, 134, 149));
  EXPECT_EQ(*c.GetRECT(), IRECT(100, 100, 140, 149));
  EXPECT_EQ(c.CalcRectForLabel("gain", c.GetLabel(0).mStyle, 0, 2, IControlZK::kLabelAbove), IRECT(106, 90, 134, 105));
  EXPECT_EQ(c.CalcRectForLabel("gain", c.GetLabel(0).mStyle, 3, 1, IControlZK::kLabelLeft), IRECT(83, 113, 111, 128));
  EXPECT_EQ(c.CalcRectForLabel("gain", c.GetLabel(0).mStyle, 3, 1, IControlZK::kLabelRight), IRECT(129, 113, 157, 128));
  EXPECT_EQ(c.CalcRectForLabel("gain", c.GetLabel(0).mStyle, 3, 1, IControlZK::LabelPosition(7)),
            IRECT(106, 112, 134, 127));

  // A replaced label keeps its own size; the drawing rectangle never shrinks.
  c.SetLabel(0, "g", IText(10, &COLOR_WHITE), 0, 2, IControlZK::kLabelBelow);
  EXPECT_EQ(c.GetLabelTextSize(0), 10);
  EXPECT_EQ(*c.GetRECT(), IRECT(100, 100, 140, 149));
  c.SetLabel(1, "x", style, 0, 0, IControlZK::kLabelAbove);
  c.SetLabelTextSize(-1, 30);
  c.SetLabelTextSize(1, 30);
  EXPECT_EQ(c.NLabels(), 1);
  EXPECT_EQ(c.GetLabelTextSize(1), 0);
  EXPECT_EQ(c.GetLabelTextSize(-1), 0);

  const IRECT label = c.GetLabelRECT(0);
  c.PositionControlAt(10, 20);
  EXPECT_EQ(c.GetBodyRECT(), IRECT(10, 20, 50, 60));
  EXPECT_EQ(c.GetLabelRECT(0), CZK::Moved(label, -90, -80));
  EXPECT_EQ(*c.GetRECT(), IRECT(10, 20, 50, 69));
  EXPECT_EQ(*c.GetTargetRECT(), IRECT(10, 20, 50, 60));
}

TEST(ControlBase, ColoursStylesAndGrayOutDrawAsSet)
{
  ToolkitEditor e;
  SignalRecorder rec("");
  auto* c = e.Attach(new BodyControl(&e.plug, IRECT(60, 60, 140, 90), kGain));
  rec.Listen(*c);
  c->SetColorFill(IColor(255, 20, 90, 160));
  const IColor labelColor(255, 240, 40, 40);
  c->AddLabel("LABEL", IText(12, &labelColor), 0, 4, IControlZK::kLabelBelow);
  const IRECT labelArea = c->GetLabelRECT(0);
  e.FramesUntilClean();
  EXPECT_EQ(CountColor(e, labelArea, Rgb(labelColor)), 0) << "labels are off until switched on";

  c->mShowLabels = true;
  c->SetDirty(false);
  e.FramesUntilClean();
  e.Snapshot("toolkit_base_label");
  EXPECT_GT(CountInk(e, labelArea, Rgb(labelColor)), 10);
  EXPECT_EQ(e.ScreenPixel(100, 75), Rgb(IColor(255, 20, 90, 160)));

  // Grayed out: faded labels, a quarter-weight blend, still reached by the mouse.
  c->GrayOut(true);
  e.FramesUntilClean();
  e.Snapshot("toolkit_base_grayed");
  EXPECT_FALSE(c->IsGrayed());
  EXPECT_FLOAT_EQ(c->GetBlend()->mWeight, 0.25f);
  EXPECT_EQ(CountInk(e, labelArea, Rgb(labelColor)), 0);
  EXPECT_GT(CountInk(e, labelArea, Rgb(CZK::Grayed(labelColor))), 10);
  e.MoveTo(70, 70);
  EXPECT_EQ(rec.Log(), (std::vector<std::string>{"show 0,70,70 ''"}));
  c->GrayOut(false);
  EXPECT_FLOAT_EQ(c->GetBlend()->mWeight, 1.0f);

  c->SetColorLine(IColor(255, 1, 2, 3));
  EXPECT_EQ(c->GetText()->mColor, IColor(255, 1, 2, 3));
  c->SetTextStyle(18, COLOR_RED, nullptr, IText::kStyleBold, IText::kAlignFar);
  EXPECT_STREQ(c->GetText()->mFontName, "Geneva");
  EXPECT_EQ(c->GetTextSize(), 18);
  c->SetFont("A font name that is far too long for the field");
  EXPECT_EQ(std::strlen(c->GetText()->mFontName), 31u);

  // A label's new size shows at the next drawing (the font made for the old one is let go).
  auto* sized = e.Attach(new BodyControl(&e.plug, IRECT(180, 140, 300, 200)));
  sized->AddLabel("Hg", IText(12, &labelColor), 0, 0, IControlZK::LabelPosition(-1));
  sized->mShowLabels = true;
  const auto inkRows = [&] {
    e.FramesUntilClean();
    int rows = 0;
    for (int y = 140; y < 200; ++y)
    {
      bool ink = false;
      for (int x = 180; x < 300; ++x) ink |= (e.ScreenPixel(x, y) >> 16) > 120;  // red on the black body
      rows += ink;
    }
    return rows;
  };
  const int small = inkRows();
  sized->SetLabelTextSize(0, 28);
  sized->SetDirty(false);
  EXPECT_GT(inkRows(), small + 5);
}

TEST(ControlBase, TooltipSignalsFollowTheMouseAcrossControls)
{
  ToolkitEditor e;
  std::vector<std::string> log;
  SignalRecorder first("a", &log), second("b", &log);
  auto* a = e.Attach(new BodyControl(&e.plug, IRECT(10, 10, 50, 50), kGain));
  auto* b = e.Attach(new BodyControl(&e.plug, IRECT(60, 10, 100, 50)));
  first.Listen(*a);
  second.Listen(*b);
  a->mTooltipText = "\nturns the gain";

  e.MoveTo(20, 30);
  EXPECT_EQ(first.lastTooltip, &a->mTooltipText);
  e.MoveTo(70, 30);
  e.MoveTo(200, 200);  // over the background: b is left
  EXPECT_EQ(log, (std::vector<std::string>{"a: show 0,20,30 '\nturns the gain'", "b: show -1,70,30 ''", "a: hide 0",
                                           "b: hide -1"}));
}
