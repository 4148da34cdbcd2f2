#include "CZK.h"
#include "IPanelControlZK.h"
#include "ITextControlZK.h"
#include "ITooltipControlZK.h"
#include "toolkit_test_editor.h"

#include <functional>
#include <memory>

using namespace tktest;

namespace
{
// A toolkit control that fills its body and logs the events it is given.
class Probe : public IControlZK
{
public:
  Probe(IPlugBase* plug, IRECT r, IColor fill, int paramIdx = -1) : IControlZK(plug, r, paramIdx)
  {
    mColorFill = fill;
  }
  bool Draw(IGraphics* graphics) override
  {
    graphics->FillIRect(&mColorFill, &mBodyRECT, &mBlend);
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod*) override { Log("down", x, y); }
  void OnMouseUp(int x, int y, IMouseMod*) override { Log("up", x, y); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override
  {
    Log("drag", dX, dY);
    SetDirty(false);
  }
  void OnMouseWheel(int, int, IMouseMod*, int d) override { Log("wheel", d, 0); }
  void OnMouseDblClick(int x, int y, IMouseMod*) override { Log("dbl", x, y); }
  bool OnKeyDown(int, int, int key) override
  {
    Log("key", key, 0);
    return true;
  }
  void OnMouseOver(int x, int y, IMouseMod* mod) override
  {
    Log("over", x, y);
    IControlZK::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override
  {
    events.push_back("out");
    IControlZK::OnMouseOut();
    if (onEvent) onEvent("out");
  }

  std::vector<std::string> events;
  // Runs after each event is logged, with the event's name.
  std::function<void(const std::string&)> onEvent;

private:
  void Log(const char* what, int a, int b)
  {
    events.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b));
    if (onEvent) onEvent(what);
  }
};

const IColor kPanelFill(255, 40, 40, 40), kTipFill(255, 220, 220, 220);
}  // namespace

TEST(Tooltip, ComposesItsTextAndKeepsTheBubbleInsideTheEditor)
{
  ToolkitEditor e;
  ITooltipControlZK tip(&e.plug, -1, 16);
  const std::string help = "turns the gain";
  tip.OnShowTooltip(kGain, &help, 50, 40);
  EXPECT_FALSE(tip.IsTipShown()) << "tips start switched off";

  tip.mTipsEnabled = true;
  tip.OnShowTooltip(kGain, nullptr, 50, 40);
  EXPECT_EQ(tip.GetTipText(), "gain");
  EXPECT_TRUE(tip.IsTipNameOnly());
  // "gain" at 16 is estimated 28 x 17, grown by 4 on every side; the bubble sits 10
  // right of and below the mouse, its name centred in it.
  EXPECT_EQ(tip.GetBodyRECT(), IRECT(60, 50, 96, 75));
  EXPECT_EQ(tip.GetTextRECT(), CZK::GetRectForTextInRect("gain", IRECT(60, 50, 96, 75), 16, 0, true));
  EXPECT_EQ(*tip.GetRECT(), IRECT(60, 50, 106, 85));
  // Near the right and bottom edges it moves to the other side of the mouse.
  tip.OnShowTooltip(kGain, nullptr, 300, 230);
  EXPECT_EQ(tip.GetBodyRECT(), IRECT(254, 195, 290, 220));
  EXPECT_EQ(*tip.GetRECT(), IRECT(60, 50, 300, 230)) << "the old place is repainted too";
  // A bubble with no room on either side of the mouse goes back inside the editor, whole,
  // rather than flip past its left and top edges.
  const std::string wide = "a help text that runs on for forty chars\n2\n3\n4\n5\n6\n7\n8";
  tip.OnShowTooltip(-1, &wide, 100, 100);
  const IRECT flipped = tip.GetBodyRECT();
  EXPECT_GT(flipped.W(), 100 + 10);
  EXPECT_GT(flipped.H(), 100 + 10);
  EXPECT_EQ(flipped.L, 0);
  EXPECT_EQ(flipped.T, 0);
  EXPECT_EQ(tip.GetTextRECT(), CZK::Moved(flipped, 6, 5));

  tip.OnShowTooltip(kGain, &help, 50, 40);
  EXPECT_EQ(tip.GetTipText(), "gain\nturns the gain");
  EXPECT_FALSE(tip.IsTipNameOnly());
  EXPECT_EQ(tip.GetTextRECT(), CZK::Moved(tip.GetBodyRECT(), 6, 5));
  // The same source again only moves the bubble: the text is not composed anew.
  std::string changing = "first";
  tip.OnShowTooltip(-1, &changing, 50, 40);
  changing = "second";
  tip.OnShowTooltip(-1, &changing, 80, 40);
  EXPECT_EQ(tip.GetTipText(), "first");
  EXPECT_EQ(tip.GetBodyRECT().L, 90);
  // An index outside the plug-in's parameters gives no name.
  tip.OnShowTooltip(kNParams + 5, &help, 50, 40);
  EXPECT_EQ(tip.GetTipText(), "turns the gain");

  tip.OnHideTooltip(123);
  EXPECT_FALSE(tip.IsTipShown());
  EXPECT_EQ(tip.GetTipText(), "");
  EXPECT_FALSE(tip.IsHit(0, 0));
}

TEST(Tooltip, BubbleFollowsTheMouseAndLeavesNothingBehind)
{
  ToolkitEditor e;
  auto* knob = e.Attach(new Probe(&e.plug, IRECT(20, 20, 60, 60), COLOR_BLUE));
  auto* named = e.Attach(new Probe(&e.plug, IRECT(250, 180, 290, 220), COLOR_BLUE, kFreq));
  auto* tip = e.Attach(new ITooltipControlZK(&e.plug, -1, 16));
  for (Probe* p : {knob, named})
  {
    p->mSignalShowTooltip.Connect(tip, &ITooltipControlZK::OnShowTooltip);
    p->mSignalHideTooltip.Connect(tip, &ITooltipControlZK::OnHideTooltip);
  }
  knob->mTooltipText = "turns the gain\nof the voice";
  tip->SetColorLine(IColor(255, 60, 60, 60));
  tip->SetColorFill(kTipFill);
  tip->mTipsEnabled = true;
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();

  e.MoveTo(30, 30);
  e.FramesUntilClean();
  e.Snapshot("toolkit_tooltip");
  const IRECT bubble = tip->GetBodyRECT();
  EXPECT_EQ(bubble.L, 40);
  EXPECT_GT(CountColor(e, bubble, Rgb(kTipFill)), bubble.W() * bubble.H() / 2);
  EXPECT_GT(CountInk(e, bubble, Rgb(IColor(255, 60, 60, 60))), 20) << "the text";

  e.MoveTo(50, 55);  // the bubble moves; its old corner shows the editor again
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixel(bubble.L + 2, bubble.T + 2), before[(bubble.T + 2) * ToolkitEditor::kW + bubble.L + 2]);
  e.MoveTo(200, 200);  // off the knob: hidden
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);

  // A parameter's name alone is centred; near the corner the bubble sits above and left.
  e.MoveTo(280, 210);
  e.FramesUntilClean();
  e.Snapshot("toolkit_tooltip_name");
  EXPECT_EQ(tip->GetBodyRECT().R, 270);
  EXPECT_EQ(tip->GetBodyRECT().B, 200);
  e.MoveTo(200, 200);
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);
}

TEST(TextAndLink, SizeFromTheirTextAndLinksOpenTheirAddress)
{
  ToolkitEditor e;
  auto* text = e.Attach(new ITextControlZK(&e.plug, 20, 30));
  text->SetText("block size: 32\nsample rate: 44100");
  // 18 bytes at half of 16 wide, two lines of 1.1 x 16.
  EXPECT_EQ(*text->GetRECT(), IRECT(20, 30, 164, 65));
  EXPECT_EQ(text->GetBodyRECT(), *text->GetTargetRECT());
  auto* link = e.Attach(new IURLControlZK(&e.plug, 40, 100, "URL adress", "URL text", 16, "Geneva"));
  link->SetURL("example.org/support", "support");
  EXPECT_EQ(*link->GetRECT(), IRECT(40, 100, 96, 117));
  e.FramesUntilClean();
  e.Snapshot("toolkit_text_link");
  EXPECT_GT(CountInk(e, *text->GetRECT(), 0xFFFFFF), 30);
  EXPECT_GT(CountInk(e, *link->GetRECT(), 0xFFFFFF), 3);

  SignalRecorder rec("");
  rec.Listen(*link);
  e.Click(50, 105);
  link->SetURL("mailto:someone@example.org", "someone@example.org");
  e.Click(50, 105);
  link->SetURL("HTTPS://example.org", "x");
  e.Click(42, 105);
  EXPECT_EQ(e.gui->urls,
            (std::vector<std::string>{"http://example.org/support", "mailto:someone@example.org", "HTTPS://example.org"}));
  link->SetURL("", "nowhere");
  e.Click(42, 105);
  e.Click(42, 105, IMouseMod(false, true));
  EXPECT_EQ(e.gui->urls.size(), 3u);
  EXPECT_EQ(rec.Log(), (std::vector<std::string>{"right -1,42,105"}));
}

TEST(Panel, HoldsFeedsAndClosesItsChildren)
{
  ToolkitEditor e;
  auto* panel = e.Attach(new IPanelControlZK(&e.plug));
  auto under = std::make_shared<Probe>(&e.plug, IRECT(0, 0, 40, 20), COLOR_RED);
  auto over = std::make_shared<Probe>(&e.plug, IRECT(20, 10, 60, 30), COLOR_GREEN);
  auto caption = std::make_shared<ITextControlZK>(&e.plug, 0, 40);
  caption->SetText("choose");
  panel->AddChild(under);
  panel->AddChild(over);
  panel->AddChild(caption);
  panel->StretchRectToContainAll(20);
  EXPECT_EQ(panel->GetPanelRECT(), IRECT(-20, -20, 80, 77));
  panel->PositionControlAround(160, 120);
  EXPECT_EQ(panel->GetPanelRECT(), IRECT(110, 72, 210, 169));
  panel->AlignAllHorisontalCenter();
  for (const IControlZK* child : {(IControlZK*)under.get(), (IControlZK*)over.get(), (IControlZK*)caption.get()})
    EXPECT_NEAR((child->L() + child->R()) / 2, 160, 0.5);
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();

  panel->OpenPanel();
  e.FramesUntilClean();
  e.Snapshot("toolkit_panel");
  EXPECT_EQ(e.ScreenPixel(115, 75), Rgb(kPanelFill));
  EXPECT_EQ(e.ScreenPixel(151, 105), Rgb(COLOR_GREEN)) << "the later child lies on top";

  // Where the children overlap the later one takes the mouse; drag steps are the
  // panel's own, and a repeated position is dropped.
  const IRECT o = over->GetBodyRECT();
  e.Press(o.L + 2, o.T + 2);
  e.DragTo(o.L + 7, o.T + 5);
  panel->OnMouseDrag(o.L + 7, o.T + 5, 9, 9, nullptr);
  e.Release(o.L + 7, o.T + 5);
  e.Wheel(o.L + 2, o.T + 2, -1);
  e.MoveTo(o.L + 2, o.T + 2);
  e.MoveTo(under->GetBodyRECT().L + 1, under->GetBodyRECT().T + 1);
  EXPECT_EQ(over->events, (std::vector<std::string>{"down 142,104", "drag 5,3", "up 147,107", "wheel -1,0",
                                                    "over 142,104", "out"}));
  EXPECT_EQ(under->events, (std::vector<std::string>{"over 141,93"}));
  EXPECT_EQ(panel->GetHovered(), under.get());

  e.Click(115, 160);  // inside the box, on no child: stays open
  EXPECT_TRUE(panel->IsPanelShown());
  e.Click(5, 5);  // outside: closes, and the whole editor is repainted without it
  EXPECT_FALSE(panel->IsPanelShown());
  EXPECT_EQ(*panel->GetRECT(), IRECT(0, 0, ToolkitEditor::kW, ToolkitEditor::kH));
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);
  EXPECT_FALSE(panel->IsHit(5, 5));
}

TEST(Panel, AChildMayCloseItsPanelFromItsOwnHandlers)
{
  // A "Done" button closes the panel that holds it, on whichever event it chooses; the
  // gesture then goes on with the panel closed, and the editor keeps running.
  for (const char* closer : {"down", "drag", "up", "out"})
  {
    SCOPED_TRACE(closer);
    ToolkitEditor e;
    auto* panel = e.Attach(new IPanelControlZK(&e.plug));
    auto done = std::make_shared<Probe>(&e.plug, IRECT(0, 0, 40, 20), COLOR_RED);
    panel->AddChild(done);
    panel->StretchRectToContainAll(20);
    panel->PositionControlAround(160, 120);
    panel->OpenPanel();
    e.FramesUntilClean();
    done->onEvent = [&](const std::string& what) {
      if (what == closer) panel->ClosePanel();
    };
    const IRECT b = done->GetBodyRECT();
    e.MoveTo(b.L + 2, b.T + 2);
    e.Press(b.L + 2, b.T + 2);
    e.DragTo(b.L + 6, b.T + 4);
    e.Release(b.L + 6, b.T + 4);
    e.MoveTo(b.L + 2, b.B + 10);  // off the button, still in the box
    e.MoveTo(5, 5);
    EXPECT_FALSE(panel->IsPanelShown());
    EXPECT_EQ(panel->GetCaptured(), nullptr);
    EXPECT_EQ(done->events.front(), "over " + std::to_string(b.L + 2) + "," + std::to_string(b.T + 2));
    e.FramesUntilClean();
    const size_t heard = done->events.size();
    e.Click(b.L + 2, b.T + 2);
    EXPECT_EQ(done->events.size(), heard) << "a closed panel feeds no child";
  }
}
