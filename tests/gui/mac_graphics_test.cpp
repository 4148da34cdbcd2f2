// IGraphicsMac on the platform layer, headless: a test editor in a borderless window,
// driven by scripted input through the platform's event path.

#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "IPopupMenu.h"
#include "test_editor.h"

#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/pasteboard.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace cocoa;
using namespace guitest;

namespace
{
// The test editor's images are generated; everything else goes through IGraphicsMac.
class MacTestGraphics : public IGraphicsMac
{
public:
  using IGraphicsMac::IGraphicsMac;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override
  {
    if (!std::strcmp(name, "test-bg.png")) return MakeBackground(Width(), Height());
    if (!std::strcmp(name, "test-knob.png")) return MakeKnobStrip(40, 31);
    if (!std::strcmp(name, "test-switch.png")) return MakeSwitchStrip(30, 16);
    return IGraphicsMac::OSLoadBitmap(id, name);
  }
};

// Stores a pattern of colours whose alpha bytes run through every value.
class AlphaPatternControl : public IControl
{
public:
  using IControl::IControl;
  bool Draw(IGraphics* g) override
  {
    const IRECT* r = GetRECT();
    for (int y = r->T; y < r->B; ++y)
      for (int x = r->L; x < r->R; ++x)
      {
        const IColor c((x * 37 + y * 11) & 0xFF, x & 0xFF, y & 0xFF, 0x5A);
        g->ForcePixel(&c, x, y);
      }
    return true;
  }
};

// 242 wide: the back buffer's rows are 244 pixels apart.
struct MacEditor
{
  static constexpr int kW = 242, kH = 160;

  TestDriver driver;
  GuiPlug plug;
  MacTestGraphics* gui = new MacTestGraphics(&plug, kW, kH);
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, kW, kH), NSWindowStyleMaskBorderless);
  IControl* knob = nullptr;
  IControl* mode = nullptr;
  IControl* caption = nullptr;
  RecordingControl* probe = new RecordingControl(&plug, IRECT(10, 110, 110, 150), -1, "probe");
  IText text{12, &COLOR_WHITE, "Geneva", IText::kStyleNormal, IText::kAlignCenter};

  MacEditor()
  {
    gui->AttachBackground(101, "test-bg.png");
    IBitmap knobs = gui->LoadIBitmap(102, "test-knob.png", 31);
    IBitmap switches = gui->LoadIBitmap(103, "test-switch.png", 2);
    knob = new IKnobMultiControl(&plug, 20, 20, kGain, &knobs);
    mode = new ISwitchPopUpControl(&plug, 130, 30, kMode, &switches);
    caption = new ICaptionControl(&plug, IRECT(120, 70, 230, 86), kFreq, &text);
    caption->DisablePrompt(false);
    for (IControl* c : {knob, mode, caption, static_cast<IControl*>(probe)}) gui->AttachControl(c);
    gui->AttachControl(new AlphaPatternControl(&plug, IRECT(200, 120, 240, 160)));
    gui->HandleMouseOver(true);
    plug.AttachGraphics(gui);
    window->makeKeyAndOrderFront(nullptr);
    gui->OpenWindow(window->contentView());
    driver.runFor(0.1);
  }
  ~MacEditor()
  {
    gui->CloseWindow();
    window->close();
  }

  IGraphicsCocoa_vVorna_sa* view() const { return gui->GetView(); }
  // A GUI point as the window pixel that maps to it.
  static NSPoint At(int x, int y) { return NSMakePoint(x + 2, y + 3); }
  // Every pixel of the window equals the back buffer's colour.
  int ScreenMismatches()
  {
    LICE_IBitmap* back = gui->GetDrawBitmap();
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        wrong += (window->backing().pixel(x, y) & 0xFFFFFF) != (LICE_GetPixel(back, x, y) & 0xFFFFFF);
    return wrong;
  }
  // The window as shown: always when VORNA_SNAPSHOT_DIR names a folder, else when the
  // test has failed.
  void Snapshot(const char* name)
  {
    const char* dir = std::getenv("VORNA_SNAPSHOT_DIR");
    if (dir) driver.snapshot(window, std::string(dir) + "/" + name + ".png");
    else if (::testing::Test::HasFailure()) driver.snapshot(window, std::string(name) + ".png");
  }
};
}  // namespace

TEST(MacGraphics, TheFrameTimerDrawsWhatIsDirtyAndAnIdleEditorIsNeverPresented)
{
  MacEditor e;
  ASSERT_NE(e.view(), nullptr);
  EXPECT_EQ(e.view()->superview(), e.window->contentView());
  EXPECT_DOUBLE_EQ(e.view()->timer()->timeInterval(), 1.0 / 25);
  EXPECT_EQ(e.ScreenMismatches(), 0);

  // Nothing dirty: a second of ticks presents nothing.
  const long idle = e.window->presentationCount();
  e.driver.runFor(1.0);
  EXPECT_EQ(e.window->presentationCount(), idle);

  // A value from the plug-in shows within one tick; one posted by a learned controller
  // is drained before the tick looks for dirty controls.
  e.gui->SetParameterFromPlug(kGain, 0.9, true);
  e.driver.runFor(0.045);
  EXPECT_GT(e.window->presentationCount(), idle);
  EXPECT_EQ(e.ScreenMismatches(), 0);
  e.gui->PostParamFromAudioThread(kGain, 0.1);
  const long before = e.window->presentationCount();
  e.driver.runFor(0.045);
  EXPECT_DOUBLE_EQ(e.knob->GetValue(), 0.1);
  EXPECT_GT(e.window->presentationCount(), before);
  EXPECT_EQ(e.ScreenMismatches(), 0);

  // Opening again on the same parent leaves one view and one running timer.
  StrongRef<IGraphicsCocoa_vVorna_sa> first(e.view());
  StrongRef<NSTimer> firstTimer(first->timer());
  e.gui->OpenWindow(e.window->contentView());
  EXPECT_NE(e.view(), first.get());
  EXPECT_EQ(first->superview(), nullptr);
  EXPECT_EQ(first->graphics(), nullptr);
  EXPECT_EQ(e.window->contentView()->subviews().size(), 1u);
  EXPECT_FALSE(firstTimer->isValid());
  EXPECT_TRUE(e.view()->timer()->isValid());

  // A new size reaches the view; the same size changes nothing.
  e.gui->Resize(MacEditor::kW, MacEditor::kH);
  EXPECT_TRUE(e.plug.resized.empty());
  e.gui->Resize(300, 200);
  EXPECT_EQ(e.view()->frame().size, NSMakeSize(300, 200));
  EXPECT_EQ(e.plug.resized, (std::vector<std::pair<int, int>>{{300, 200}}));

  // The view taken out of its parent closes the editor's window.
  e.view()->removeFromSuperview();
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_TRUE(e.window->contentView()->subviews().empty());
  e.Snapshot("mac_graphics_timer");
}

TEST(MacGraphics, TheScreenCopyHonoursTheRowSpanAndIgnoresAlpha)
{
  MacEditor e;
  ASSERT_EQ(e.gui->GetDrawBitmap()->getRowSpan(), 244);
  // The pattern's alpha bytes run 0..255, yet each pixel shows its colour as stored.
  EXPECT_EQ(e.window->backing().pixel(200, 120) & 0xFFFFFF, 0xC8785Au);
  EXPECT_EQ(e.ScreenMismatches(), 0);
  IRECT all(0, 0, MacEditor::kW, MacEditor::kH);
  EXPECT_FALSE(e.gui->DrawScreen(&all));  // outside a drawing pass there is no context
  e.Snapshot("mac_graphics_copy");
}

TEST(MacGraphics, MouseKeysAndWheelArriveInGUICoordinates)
{
  MacEditor e;
  // Window pixel (2, 3) is view point (2, H - 3), which is GUI (0, 0).
  int x = -1, y = -1;
  e.gui->ToGUIPoint(NSMakePoint(2, MacEditor::kH - 3), &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  const IRECT r(10, 110, 110, 150);
  EXPECT_EQ(e.gui->ToViewRect(r), NSMakeRect(10, MacEditor::kH - 151, 101, 41));
  EXPECT_EQ(e.gui->FromViewRect(NSMakeRect(10, 10, 100, 40)), IRECT(10, 110, 110, 150));

  e.driver.click(e.window, MacEditor::At(20, 120));
  e.driver.doubleClick(e.window, MacEditor::At(21, 121));
  e.driver.mouseMove(e.window, MacEditor::At(30, 130));
  // Each release hands the hover to what lies under the pointer.
  EXPECT_EQ(e.probe->events,
            (std::vector<std::string>{"probe down 20,120", "probe up 20,120", "probe over 20,120", "probe down 21,121",
                                      "probe up 21,121", "probe over 21,121", "probe dbl 21,121", "probe up 21,121",
                                      "probe over 21,121", "probe over 30,130"}));

  // Keys go to the control under the last mouse position: letters by character in either
  // case, arrows by key even with a modifier; anything not one character is dropped.
  auto key = [&](uint16_t code, const char* chars, unsigned mods = 0) {
    e.view()->keyDown(NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, mods, 0, e.window, chars, chars, false, code));
    return e.probe->lastKey;
  };
  EXPECT_EQ(key(12, "q"), 31);
  EXPECT_EQ(key(12, "Q", NSEventModifierFlagShift), 31);
  EXPECT_EQ(key(126, "\xEF\x9C\x80", NSEventModifierFlagShift), 1);
  EXPECT_EQ(key(49, " "), 0);
  EXPECT_EQ(key(29, "0"), 5);
  e.probe->lastKey = -1;
  EXPECT_EQ(key(0, "ab"), -1);
  EXPECT_EQ(key(0, ""), -1);

  // Right button: R without L; the wheel's half notch is no step.
  e.probe->events.clear();
  e.driver.click(e.window, MacEditor::At(40, 140), TestDriver::right);
  EXPECT_EQ(e.probe->events, (std::vector<std::string>{"probe down 40,140", "probe up 40,140", "probe over 40,140"}));
  const IMouseMod right = IGraphicsCocoa_vVorna_sa::MouseMod(
      NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, NSPoint{}, NSEventModifierFlagOption, 0, e.window, 1, 1), true);
  EXPECT_TRUE(!right.L && right.R && right.A && !right.S && !right.C);
  const IMouseMod left = IGraphicsCocoa_vVorna_sa::MouseMod(
      NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSPoint{}, NSEventModifierFlagCommand | NSEventModifierFlagShift,
                                  0, e.window, 1, 1),
      false);
  EXPECT_TRUE(left.L && left.R && left.S && !left.A && !left.C);
  e.driver.wheel(e.window, MacEditor::At(40, 140), 0.5);
  e.driver.wheel(e.window, MacEditor::At(40, 140), 2.7);
  EXPECT_EQ(e.probe->wheel, 2);

  // A hidden pointer comes back where it was hidden, however far the mouse went meanwhile.
  const NSPoint hiddenAt = NSEvent::mouseLocation();
  e.gui->HideMouseCursor();
  EXPECT_FALSE(e.driver.backend().cursorVisible());
  e.driver.mouseMove(e.window, MacEditor::At(200, 20));
  e.gui->ShowMouseCursor();
  EXPECT_TRUE(e.driver.backend().cursorVisible());
  EXPECT_EQ(NSEvent::mouseLocation(), hiddenAt);
}

TEST(MacGraphics, TheHoverEndsWhenThePointerLeavesTheWindowOrIsReleasedOutsideIt)
{
  MacEditor e;
  e.driver.mouseMove(e.window, MacEditor::At(30, 130));
  e.probe->events.clear();
  // The display reports the pointer gone: every control hears it.
  e.driver.mouseExit(e.window, NSMakePoint(-20, 40));
  e.driver.runUntilIdle();
  EXPECT_EQ(e.probe->events, (std::vector<std::string>{"probe out"}));

  // A drag that starts on the probe and ends beyond the window's edge: once released, the
  // probe is left, with no hover handed to anything.
  e.driver.mouseMove(e.window, MacEditor::At(30, 130));
  e.probe->events.clear();
  e.driver.drag(e.window, MacEditor::At(30, 130), NSMakePoint(MacEditor::kW + 40, 130), 3);
  e.driver.runUntilIdle();
  ASSERT_FALSE(e.probe->events.empty());
  EXPECT_EQ(e.probe->events.back(), "probe out");
  EXPECT_EQ(std::count(e.probe->events.begin(), e.probe->events.end(), "probe over 30,130"), 0);
}

TEST(MacGraphics, APopUpMenuIsChosenByAScriptedClickAndDismissedWithoutOne)
{
  MacEditor e;
  e.gui->SetParameterFromPlug(kMode, 1.0, false);
  std::vector<std::string> titles;
  NSRect menuFrame{};
  // While the menu tracks, a click on its third row.
  e.driver.at(e.driver.now() + 0.2, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    for (NSMenuItem* item : tracker->menuAtLevel(0)->itemArray())
      titles.push_back(item->title().str() + (item->state() == NSControlStateValueOn ? " *" : ""));
    menuFrame = tracker->menuFrame(0);
    e.Snapshot("mac_graphics_menu_open");
    const NSRect row = tracker->itemRect(0, 2);
    e.driver.click(e.window, NSMakePoint(NSMidX(row), NSMidY(row)));
  });
  e.driver.click(e.window, MacEditor::At(135, 35));
  EXPECT_EQ(titles, (std::vector<std::string>{"saw", "square *", "sine"}));
  // Under the control's lower left corner (the switch is 30 x 16 at 130, 30).
  EXPECT_EQ(menuFrame.origin.x, 130);
  EXPECT_EQ(menuFrame.origin.y, 46 + 5);
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 2);
  EXPECT_EQ(e.gui->GetCaptureIdx(), -1);

  // Dismissed by a click outside it: nothing is chosen and the value stays.
  e.driver.at(e.driver.now() + 0.2, [&] { e.driver.click(e.window, NSMakePoint(5, 5)); });
  e.driver.click(e.window, MacEditor::At(135, 35));
  EXPECT_EQ(e.plug.GetParam(kMode)->Int(), 2);

  // A choice in a submenu returns the submenu, its index set; items are numbered.
  IPopupMenu outer, inner;
  outer.SetPrefix(2);
  outer.AddItem("first");
  outer.AddSeparator();
  inner.AddItem("deep a");
  inner.AddItem("deep b");
  outer.AddItem("more", &inner);
  e.driver.at(e.driver.now() + 0.2, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    titles.clear();
    for (NSMenuItem* item : tracker->menuAtLevel(0)->itemArray()) titles.push_back(item->title().str());
    NSRect row = tracker->itemRect(0, 2);
    e.driver.mouseMove(e.window, NSMakePoint(NSMidX(row), NSMidY(row)));
    e.driver.at(e.driver.now() + 0.5, [&e, tracker] {
      ASSERT_EQ(tracker->levelCount(), 2u);
      const NSRect deep = tracker->itemRect(1, 1);
      e.driver.click(e.window, NSMakePoint(NSMidX(deep), NSMidY(deep)));
    });
  });
  // Should the script miss, Escape ends the menu.
  e.driver.at(e.driver.now() + 5, [&] { e.driver.key(e.window, 53); });
  IRECT area(10, 10, 60, 30);
  IPopupMenu* chosen = e.gui->CreateIPopupMenu(&outer, &area);
  EXPECT_EQ(titles, (std::vector<std::string>{"01: first", "", "03: more"}));
  EXPECT_EQ(chosen, &inner);
  EXPECT_EQ(inner.GetChosenItemIdx(), 1);
  e.Snapshot("mac_graphics_menu");
}

TEST(MacGraphics, ATextEntryIsCommittedByReturnOrLosingFocusAndCancelledByTheWheel)
{
  MacEditor e;
  constexpr uint16_t kReturn = 36;
  // A press on the caption opens a field over it holding the value, with the keyboard.
  e.driver.click(e.window, MacEditor::At(175, 78));
  NSTextField* field = e.view()->textField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->superview(), e.view());
  EXPECT_EQ(field->stringValue().str(), "440");
  EXPECT_EQ(field->currentEditor(), e.window->firstResponder());

  // Typing keeps to the digits, point and signs of a double parameter and to the
  // control's length of 7: "1e234.5678" leaves "1234.56".
  e.driver.type(e.window, "1e234.5678");
  EXPECT_EQ(field->stringValue().str(), "1234.56");
  e.Snapshot("mac_graphics_entry_open");
  e.driver.key(e.window, kReturn);
  EXPECT_EQ(e.view()->textField(), nullptr);
  EXPECT_TRUE(e.view()->subviews().empty());
  EXPECT_NEAR(e.plug.GetParam(kFreq)->Value(), 1234.56, 1e-9);
  EXPECT_EQ(e.window->firstResponder(), e.view());

  // The wheel closes the field without its text and turns what is under the pointer.
  e.driver.click(e.window, MacEditor::At(175, 78));
  e.driver.type(e.window, "5000");
  e.driver.wheel(e.window, MacEditor::At(40, 40), 3);
  EXPECT_EQ(e.view()->textField(), nullptr);
  EXPECT_NEAR(e.plug.GetParam(kFreq)->Value(), 1234.56, 1e-9);
  EXPECT_NEAR(e.plug.GetParam(kGain)->Value(), 0.53, 1e-12);

  // A click elsewhere takes the keyboard away, which ends the entry with its text.
  e.driver.click(e.window, MacEditor::At(175, 78));
  e.driver.type(e.window, "300");
  e.driver.click(e.window, MacEditor::At(20, 120));
  EXPECT_NEAR(e.plug.GetParam(kFreq)->Value(), 300, 1e-9);
  EXPECT_EQ(e.view()->textField(), nullptr);
  e.Snapshot("mac_graphics_entry");
}

TEST(MacGraphics, TheFormatterJudgesTypingByCharactersLengthAndValue)
{
  auto* formatter = new CocoaFormatter_vVorna_sa;
  const NSCharacterSet digits = NSCharacterSet::characterSetWithCharactersInString("0123456789");
  NSString replacement, error;
  EXPECT_TRUE(formatter->isPartialStringValid("1e3x", &replacement, &error));
  formatter->setAcceptableCharacterSet(&digits);
  EXPECT_FALSE(formatter->isPartialStringValid("1e3", &replacement, &error));
  formatter->setMaximumLength(3);
  formatter->setMaximumValue(255);
  EXPECT_TRUE(formatter->isPartialStringValid("255", &replacement, &error));
  EXPECT_FALSE(formatter->isPartialStringValid("256", &replacement, &error));
  EXPECT_FALSE(formatter->isPartialStringValid("0001", &replacement, &error));
  formatter->release();
}

TEST(MacGraphics, ImagesComeFromTheResourcesFolderAndServicesFromThePlatform)
{
  TestDriver driver;
  // Folders in the name are ignored and the extension may be in any case.
  LICE_IBitmap* bg = LoadImgFromResourceOSX("", "elsewhere/img/bg.PNG");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->getWidth(), 770);
  EXPECT_EQ(bg->getHeight(), 650);
  delete bg;
  EXPECT_EQ(LoadImgFromResourceOSX("", "bg.jpg"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("", "img.d/bg"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("", nullptr), nullptr);

  // A missing image through the editor is the framework's null image, not cached.
  GuiPlug plug;
  auto* gui = new IGraphicsMac(&plug, 100, 100);
  plug.AttachGraphics(gui);
  IBitmap missing = gui->LoadIBitmap(4242, "resources/img/no-such-image.png");
  EXPECT_EQ(missing.mBitmap, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_STREQ(gui->GetGUIAPI(), "Cocoa GUI");

  // The clipboard is the platform's general pasteboard.
  WDL_String text("stale");
  EXPECT_FALSE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "");
  NSPasteboard::generalPasteboard()->setString("0.25", NSPasteboardTypeString);
  EXPECT_TRUE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "0.25");

  // Without a view every window operation does nothing.
  IRECT r(0, 0, 10, 10);
  IPopupMenu menu;
  menu.AddItem("x");
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), nullptr);
  EXPECT_FALSE(gui->DrawScreen(&r));
  gui->ForceEndUserEdit();

  EXPECT_EQ(ParseSystemVersion("<dict><key>ProductVersion</key><string>10.8</string></dict>"), 0x1080);
  EXPECT_EQ(ParseSystemVersion("<key>ProductVersion</key>\n\t<string>10.13.6</string>"), 0x10136);
  EXPECT_EQ(ParseSystemVersion("<key>ProductName</key><string>10.13</string>"), 0);
}

TEST(MacGraphics, TooltipsFollowTheShownControlsAndAHostWindowCarriesTheViewInAChildWindow)
{
  MacEditor e;
  e.probe->SetTooltip("probe tip");
  e.knob->SetTooltip("knob tip");
  e.knob->Hide(true);
  e.gui->EnableTooltips(true);
  e.gui->UpdateTooltips();
  // Resting over a shown control brings its tip; a hidden one has no tooltip area.
  e.driver.mouseMove(e.window, MacEditor::At(30, 130));
  e.driver.runFor(1.5);
  EXPECT_EQ(e.window->shownToolTip().str(), "probe tip");
  auto tagAt = [&](int x, int y) { return e.view()->toolTipTagAt(NSMakePoint(x, MacEditor::kH - y)); };
  const NSInteger background = tagAt(5, 5);
  EXPECT_EQ(tagAt(40, 40), background);
  EXPECT_NE(tagAt(12, 112), background);
  EXPECT_EQ(tagAt(12, 108), background);

  // A host window wider than the editor gets a borderless child window of the editor's
  // size, centred across it, holding the view; removing it closes both.
  e.gui->CloseWindow();
  NSWindow* host = new NSWindow(NSMakeRect(300, 200, 400, 300), NSWindowStyleMaskTitled);
  host->makeKeyAndOrderFront(nullptr);
  e.gui->AttachSubWindow(host);
  ASSERT_EQ(host->childWindows().size(), 1u);
  StrongRef<NSWindow> child(host->childWindows()[0]);
  EXPECT_EQ(child->frame(), NSMakeRect(300 + 79, 200, MacEditor::kW, MacEditor::kH));
  EXPECT_EQ(e.view()->window(), child.get());
  EXPECT_TRUE(child->canBecomeKeyWindow());
  e.gui->RemoveSubWindow();
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_FALSE(child->isVisible());
  EXPECT_EQ(child->parentWindow(), nullptr);
}
