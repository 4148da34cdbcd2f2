#include "ZKMenu.h"
#include "toolkit_test_editor.h"

using namespace tktest;

namespace
{
using State = IMenuItemZK::ItemState;

// The menu the editor gives a parameter: its name as a title, then learn and forget.
void AddLearnItems(IMenuZK& menu, const char* name)
{
  menu.AddItem(IMenuItemZK(name, IMenuItemZK::kItemTitle));
  menu.AddItem(IMenuItemZK("MIDI learn"), -1, 0);
  menu.AddItem(IMenuItemZK("MIDI forget (none)", IMenuItemZK::kItemDisabled), -1, 0);
}

void ListenToItems(IMenuZK& menu, SignalRecorder& rec)
{
  for (int i = 0; i < menu.NItems(); ++i) menu.GetItemSignal(i)->Connect(&rec, &SignalRecorder::Item);
}

const IColor kDark(255, 60, 60, 60), kLight(255, 220, 220, 220), kGrey(255, 80, 80, 80);

IMenuControlZK* AttachMenuControl(ToolkitEditor& e)
{
  auto* control = e.Attach(new IMenuControlZK(&e.plug, IRECT()));
  control->GetDrawData().mAreaW = ToolkitEditor::kW;
  control->GetDrawData().mAreaH = ToolkitEditor::kH;
  control->SetColorLine(kDark);
  control->SetColorFill(kLight);
  control->SetColorHiLine(kLight);
  control->SetColorHiFill(kGrey);
  return control;
}
}  // namespace

TEST(MenuModel, LinkedCheckedAndActionItemsReportThroughTheirSignals)
{
  IMenuZK menu(7);
  AddLearnItems(menu, "gain");
  menu.AddItem(IMenuItemZK("erase MIDI map", IMenuItemZK::kItemAction));
  SignalRecorder rec("");
  ListenToItems(menu, rec);
  EXPECT_EQ(menu.GetLinkedItems(1), (std::set<int>{2}));
  EXPECT_TRUE(menu.GetLinkedItems(3).empty());

  menu.SetState(2, IMenuItemZK::kItemUnchecked);
  menu.CheckItem(1, true);
  menu.CheckItem(2, true);  // unchecks its linked partner, which emits nothing
  EXPECT_EQ(menu.GetItem(1)->mState, IMenuItemZK::kItemUnchecked);
  EXPECT_EQ(menu.GetItem(2)->mState, IMenuItemZK::kItemChecked);
  menu.CheckItem(2, false);
  menu.CheckItem(3, true);
  EXPECT_EQ(menu.GetItem(3)->mState, IMenuItemZK::kItemAction);
  menu.SilentCheckItem(1, true);
  EXPECT_EQ(menu.GetItem(1)->mState, IMenuItemZK::kItemChecked);
  menu.CheckItem(99, true);
  EXPECT_EQ(rec.Log(), (std::vector<std::string>{"item 7,1", "item 7,1", "item 7,0", "item 7,1"}));

  // An insertion carries the signals along with their items; groups keep their indices.
  menu.AddItem(IMenuItemZK("first"), 0);
  rec.Clear();
  menu.CheckItem(4, true);
  EXPECT_EQ(rec.Log(), (std::vector<std::string>{"item 7,1"}));
  EXPECT_STREQ(menu.GetItem(4)->mText.Get(), "erase MIDI map");
  EXPECT_EQ(menu.GetLinkedItems(2), (std::set<int>{1}));
}

TEST(MenuLayout, LevelsFitTheEditorAndFlipAtItsEdges)
{
  ToolkitEditor e;
  IMenuControlZK* control = AttachMenuControl(e);
  IMenuInflaterZK& root = control->GetRootLevel();
  IMenuZK menu(kGain);
  menu.AddItem(IMenuItemZK("gain", IMenuItemZK::kItemTitle));
  menu.AddItem(IMenuItemZK("MIDI learn"));
  // "MIDI learn": 10 bytes, the check column 4 and 0.5, at 14 x 0.45.
  control->ShowMenu(&menu, 50, 40);
  EXPECT_EQ(root.GetLevelRECT(), IRECT(50, 40, 141, 83));
  EXPECT_EQ(root.GetItemRECT(1), IRECT(50, 64, 141, 83));
  EXPECT_EQ(*control->GetTargetRECT(), IRECT(10, 0, 181, 123));
  EXPECT_FALSE(control->IsHidden());
  control->ShowMenu(&menu, 300, 230);  // left of the click point, ending at it
  EXPECT_EQ(root.GetLevelRECT(), IRECT(209, 187, 300, 230));

  IMenuZK models(kModel), top(kModel);
  for (const char* name : {"reson", "simple", "formant"}) models.AddItem(IMenuItemZK(name));
  top.AddItem(IMenuItemZK("synth", IMenuItemZK::kItemTitle));
  top.AddItem(IMenuItemZK("model", IMenuItemZK::kItemUnchecked, &models));
  control->ShowMenu(&top, 20, 20);
  EXPECT_TRUE(root.OnMouseDown(30, 50));
  ASSERT_TRUE(root.IsChildOpen());
  EXPECT_EQ(root.GetChild()->GetLevelRECT(), IRECT(101, 44, 173, 101));
  // Near the right and bottom edges the submenu opens left of its parent and upwards,
  // ending at its item's bottom.
  control->ShowMenu(&top, 250, 215);
  EXPECT_EQ(root.GetLevelRECT(), IRECT(169, 172, 250, 215));
  const IMenuInflaterZK* child = root.GetChild();
  EXPECT_EQ(child->GetLevelRECT(), IRECT(97, 158, 169, 215)) << "the open level follows its item";
  EXPECT_FALSE(child->OpensRight());
  EXPECT_FALSE(child->OpensDown());
  // Straying from the submenu beyond the margin (and off its item) closes that level.
  EXPECT_EQ(root.OnMouseOver(245, 175), top.GetItem(0));
  EXPECT_FALSE(root.IsChildOpen());

  IMenuZK empty(0);
  control->ShowMenu(&empty, 10, 10);
  EXPECT_EQ(root.GetLevelRECT(), IRECT(10, 10, 10, 10));
}

TEST(MenuControl, HoverPickAndCloseThroughTheEditor)
{
  ToolkitEditor e;
  IMenuControlZK* control = AttachMenuControl(e);
  IMenuZK menu(kGain);
  AddLearnItems(menu, "gain");
  SignalRecorder rec("");
  ListenToItems(menu, rec);
  e.FramesUntilClean();
  const std::vector<unsigned int> before = e.ScreenPixels();

  control->ShowMenu(&menu, 50, 40);
  e.MoveTo(60, 70);
  EXPECT_EQ(control->GetHovered(), menu.GetItem(1));
  e.FramesUntilClean();
  e.Snapshot("toolkit_menu_hover");
  EXPECT_EQ(e.ScreenPixel(53, 69), Rgb(kGrey)) << "the hovered item";
  EXPECT_EQ(e.ScreenPixel(53, 88), Rgb(kLight)) << "the disabled item is not lit";
  e.MoveTo(60, 88);
  EXPECT_EQ(control->GetHovered(), menu.GetItem(2));

  e.Click(60, 70);  // picks "MIDI learn" and ends the menu
  EXPECT_TRUE(control->IsHidden());
  EXPECT_EQ(menu.GetItem(1)->mState, IMenuItemZK::kItemChecked);
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);

  // Titles, disabled items and empty space inside the margin pick nothing but end the
  // menu all the same.
  for (const auto& [x, y] : {std::pair{60, 45}, std::pair{60, 88}, std::pair{45, 35}})
  {
    control->ShowMenu(&menu, 50, 40);
    e.Click(x, y);
    EXPECT_TRUE(control->IsHidden());
  }
  EXPECT_EQ(rec.Log(), (std::vector<std::string>{"item 0,1"}));

  control->ShowMenu(&menu, 50, 40);
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixel(59, 73), Rgb(kDark)) << "the check mark";
  e.MoveTo(175, 70);  // within the margin: still open
  EXPECT_FALSE(control->IsHidden());
  e.MoveTo(250, 200);  // beyond it: closed
  EXPECT_TRUE(control->IsHidden());
  e.FramesUntilClean();
  EXPECT_EQ(e.ScreenPixels(), before);
}

TEST(MenuControl, SubmenuDrawsBesideItsItem)
{
  ToolkitEditor e;
  IMenuControlZK* control = AttachMenuControl(e);
  IMenuZK models(kModel), top(kModel);
  models.AddItem(IMenuItemZK("reson", IMenuItemZK::kItemChecked));
  models.AddItem(IMenuItemZK("simple"));
  models.AddItem(IMenuItemZK("", IMenuItemZK::kItemSeparator));
  models.AddItem(IMenuItemZK("formant", IMenuItemZK::kItemAction));
  top.AddItem(IMenuItemZK("flt model", IMenuItemZK::kItemTitle));
  top.AddItem(IMenuItemZK("model", IMenuItemZK::kItemUnchecked, &models));
  top.AddItem(IMenuItemZK("off", IMenuItemZK::kItemDisabled));
  control->ShowMenu(&top, 230, 150);
  e.Click(240, 185);  // opens the submenu, and like every click ends the menu
  EXPECT_TRUE(control->IsHidden());
  control->ShowMenu(&top, 230, 150);  // shown again, the submenu is still open
  e.MoveTo(170, 195);
  EXPECT_EQ(control->GetHovered(), models.GetItem(1));
  e.FramesUntilClean();
  e.Snapshot("toolkit_menu_submenu");
  const IRECT sub = control->GetRootLevel().GetChild()->GetLevelRECT();
  EXPECT_EQ(sub.R, control->GetRootLevel().GetLevelRECT().L) << "flipped to the left";
  EXPECT_EQ(e.ScreenPixel(sub.L + 3, sub.T + 2 * 19 + 0), Rgb(kDark)) << "the separator";
}
