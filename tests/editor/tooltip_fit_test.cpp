// The tooltip bubble against the face that draws its text: the bubble is sized by a
// per-byte estimate, not by the font, so every help text of the editor must land
// inside the bubble's outline with the face "Geneva" stands for here.
#include "VornaParams.h"
#include "editor_harness.h"

#include <algorithm>
#include <climits>

using namespace edtest;

namespace
{
// Every control of the editor that has a help text, in the order they were attached.
std::vector<IControlZK*> TippedControls(Editor& e)
{
  std::vector<IControlZK*> tipped;
  for (int i = 0; i < e.gui->GetNControls(); ++i)
    if (auto* c = dynamic_cast<IControlZK*>(e.gui->GetControl(i)); c && !c->mTooltipText.empty()) tipped.push_back(c);
  return tipped;
}

// Turns tips on through the "?" switch, as the user does.
void EnableTips(Editor& e)
{
  e.ClickOn(e.plug->GetTooltipButton());
  e.FramesUntilClean();
  ASSERT_TRUE(e.plug->GetTooltipControl()->mTipsEnabled);
}

// The mouse comes in from outside the editor and rests on the middle of the control.
// A control hidden by the current sound, or lying under a neighbour there, is asked
// directly, as the hover would.
void HoverOver(Editor& e, IControlZK* c)
{
  e.gui->OnMouseOut();
  e.FramesUntilClean();
  const IRECT r = *c->GetTargetRECT();
  const int x = (r.L + r.R) / 2, y = (r.T + r.B) / 2;
  if (!c->IsHidden() && e.gui->GetControl(e.gui->GetMouseControlIdx(x, y, true)) == c) e.MoveTo(x, y);
  else c->ShowTooltip(x, y);
  e.FramesUntilClean();
}

std::string Describe(const std::string& text)
{
  std::string oneLine = text;
  std::replace(oneLine.begin(), oneLine.end(), '\n', '|');
  return oneLine;
}

// What the bubble's interior leaves free right of and below the text's measured box,
// the widest line setting its width: negative where the text runs into the outline or
// past it.
struct Margins
{
  int right = 0, bottom = 0;
};

Margins MeasuredMargins(Editor& e, ITooltipControlZK* tip)
{
  IText style = *tip->GetText();
  IRECT box = tip->GetTextRECT();
  e.gui->MeasureIText(&style, tip->GetTipText().c_str(), &box);
  const IRECT& bubble = tip->GetBodyRECT();
  return {bubble.R - 1 - box.R, bubble.B - 1 - box.B};
}

// The bubble with its shadow and a little of the editor round it, as PNG beside the test.
void WriteBubbleSnapshot(Editor& e, const IRECT& bubble, const std::string& name)
{
  constexpr int kAround = 12;
  const int l = std::max(bubble.L - kAround, 0), t = std::max(bubble.T - kAround, 0);
  const int r = std::min(bubble.R + kAround, e.gui->Width()), b = std::min(bubble.B + kAround, e.gui->Height());
  LICE_MemBitmap crop(r - l, b - t);
  LICE_Blit(&crop, e.gui->GetDrawBitmap(), 0, 0, l, t, r - l, b - t, 1.0f, BLEND_COPY);
  lice_test::WriteBitmapPng(&crop, name + ".png");
}
}  // namespace

TEST(EditorTooltips, EveryHelpTextMeasuresInsideTheBubbleTheEstimateGives)
{
  Editor e;
  EnableTips(e);
  ITooltipControlZK* tip = e.plug->GetTooltipControl();
  const std::vector<IControlZK*> tipped = TippedControls(e);
  ASSERT_GE(tipped.size(), 60u);
  int smallestRight = INT_MAX, smallestBottom = INT_MAX;
  for (IControlZK* c : tipped)
  {
    HoverOver(e, c);
    ASSERT_TRUE(tip->IsTipShown());
    const Margins m = MeasuredMargins(e, tip);
    EXPECT_GE(m.right, 0) << Describe(tip->GetTipText());
    EXPECT_GE(m.bottom, 0) << Describe(tip->GetTipText());
    smallestRight = std::min(smallestRight, m.right);
    smallestBottom = std::min(smallestBottom, m.bottom);
  }
  RecordProperty("smallest_right_margin_px", smallestRight);
  RecordProperty("smallest_bottom_margin_px", smallestBottom);
}

TEST(EditorTooltips, EveryHelpTextDrawsInsideTheBubbleOutline)
{
  Editor e;
  EnableTips(e);
  ITooltipControlZK* tip = e.plug->GetTooltipControl();
  const IText drawn = *tip->GetText();
  IText invisible = drawn;
  invisible.mColor = tip->GetColorFill();

  const std::pair<int, const char*> snapshots[] = {{kOsc1Oversampling, "tooltip-os"}, {kDcr1, "tooltip-dc"}};
  int worstOverflow = INT_MIN;
  for (IControlZK* c : TippedControls(e))
  {
    HoverOver(e, c);
    ASSERT_TRUE(tip->IsTipShown());
    // The text's pixels are what changes when only the text's colour does, wherever it
    // lands: over the bubble, its outline, its shadow or the editor around it.
    e.FullRedraw();
    const std::vector<unsigned int> withText = e.ScreenPixels();
    tip->SetTextStyle(invisible);
    e.FullRedraw();
    const std::vector<unsigned int> without = e.ScreenPixels();
    tip->SetTextStyle(drawn);
    e.FullRedraw();

    const IRECT& b = tip->GetBodyRECT();
    const int w = e.gui->Width();
    int textPixels = 0, overflow = INT_MIN;
    for (size_t i = 0; i < withText.size(); ++i)
    {
      if (withText[i] == without[i]) continue;
      ++textPixels;
      const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
      // How far past the interior, inside the one-pixel outline, the pixel lies.
      overflow = std::max({overflow, x - (b.R - 2), (b.L + 1) - x, y - (b.B - 2), (b.T + 1) - y});
    }
    EXPECT_GT(textPixels, 0) << Describe(tip->GetTipText());
    EXPECT_LE(overflow, 0) << Describe(tip->GetTipText());
    worstOverflow = std::max(worstOverflow, overflow);
    for (const auto& [param, name] : snapshots)
      if (c == e.Control(param)) WriteBubbleSnapshot(e, b, name);
  }
  RecordProperty("largest_overflow_px", worstOverflow);
}

// Wherever the mouse rests on a control (its corners and its middle), the bubble lies
// whole inside the editor: a wide bubble near the left edge that the placement rule flips
// left of the mouse is moved back in.
TEST(EditorTooltips, EveryHelpBubbleLiesInsideTheEditor)
{
  Editor e;
  EnableTips(e);
  ITooltipControlZK* tip = e.plug->GetTooltipControl();
  const IRECT editor(0, 0, e.gui->Width(), e.gui->Height());
  int placed = 0;
  for (IControlZK* c : TippedControls(e))
  {
    const IRECT r = *c->GetTargetRECT();
    const std::pair<int, int> spots[] = {
      {r.L, r.T}, {r.R - 1, r.T}, {r.L, r.B - 1}, {r.R - 1, r.B - 1}, {(r.L + r.R) / 2, (r.T + r.B) / 2}};
    for (const auto& [x, y] : spots)
    {
      e.gui->OnMouseOut();
      e.FramesUntilClean();
      c->ShowTooltip(x, y);
      ASSERT_TRUE(tip->IsTipShown());
      const IRECT b = tip->GetBodyRECT();
      EXPECT_TRUE(b.L >= editor.L && b.T >= editor.T && b.R <= editor.R && b.B <= editor.B)
          << Describe(tip->GetTipText()) << " at (" << x << ", " << y << "): " << b.L << ", " << b.T << ", " << b.R
          << ", " << b.B;
      ++placed;
    }
  }
  EXPECT_GE(placed, 300);
  // The bridge between the filter panels, whose bubble used to flip past the left edge.
  IControlZK* bridge = e.Control(kCutoffShiverSync);
  e.gui->OnMouseOut();
  e.FramesUntilClean();
  bridge->ShowTooltip(422, 258);
  e.FramesUntilClean();
  EXPECT_EQ(tip->GetBodyRECT().L, 0);
  WriteBubbleSnapshot(e, tip->GetBodyRECT(), "tooltip-cutoff-shiver-sync");
}
