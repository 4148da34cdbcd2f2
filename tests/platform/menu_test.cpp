#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/menu_bar.h"
#include "platform/appkit/menu_drawing.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/object_registry.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
std::vector<std::string> g_log;

class Receiver : public NSObject, public ActionTarget
{
public:
  bool performAction(Action action, NSObject* sender) override
  {
    auto* item = dynamic_cast<NSMenuItem*>(sender);
    g_log.push_back("action " + std::to_string(static_cast<int>(action)) + " " + (item ? item->title().str() : ""));
    return true;
  }
};

struct Updater : NSMenuDelegate
{
  void menuNeedsUpdate(NSMenu* menu) override
  {
    g_log.push_back("update " + menu->title().str());
    // What the update decides is what the menu shows: the last item only now gets enabled.
    if (NSMenuItem* item = menu->itemWithTag(3)) item->setEnabled(true);
  }
};

NSMenuItem* addItem(NSMenu* menu, const char* title, NSInteger tag, NSObject* target, const char* key = "")
{
  auto* item = new NSMenuItem(title, Action::onSwellCommand, key);
  item->setTag(tag);
  item->setTarget(target);
  menu->addItem(item);
  item->release();
  return item;
}

// Pops a context menu up where it is pressed.
class MenuView : public NSView
{
public:
  MenuView(NSRect frame, NSMenu* menu) : NSView(frame), m_menu(menu) {}
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void rightMouseDown(NSEvent* event) override { NSMenu::popUpContextMenu(m_menu.get(), event, this); }

private:
  StrongRef<NSMenu> m_menu;
};

NSPoint centre(NSRect r)
{
  return NSMakePoint(NSMidX(r), NSMidY(r));
}
}  // namespace

class Menus : public ::testing::Test
{
protected:
  void SetUp() override
  {
    g_log.clear();
    receiver = StrongRef<Receiver>::adopt(new Receiver);
    menu = StrongRef<NSMenu>::adopt(new NSMenu("Context"));
    menu->setDelegate(&updater);
    addItem(menu.get(), "First", 1, receiver.get());
    menu->addItem(NSMenuItem::separatorItem());
    addItem(menu.get(), "Late", 3, receiver.get())->setEnabled(false);
    window = new NSWindow(NSMakeRect(100, 100, 400, 300), NSWindowStyleMaskTitled);
    auto* view = new MenuView(NSMakeRect(0, 0, 400, 300), menu.get());
    window->contentView()->addSubview(view);
    view->release();
    window->makeKeyAndOrderFront(nullptr);
  }
  void TearDown() override { window->close(); }

  TestDriver driver;
  Updater updater;
  StrongRef<Receiver> receiver;
  StrongRef<NSMenu> menu;
  NSWindow* window = nullptr;
};

TEST_F(Menus, AContextMenuIsUpdatedFirstThenAScriptedClickChoosesAnItem)
{
  std::vector<std::string> seen;
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    seen = g_log;
    // The menu opens where it was pressed (window pixels: 22 strip rows above the content).
    EXPECT_EQ(tracker->menuFrame(0).origin, NSMakePoint(50, 60 + 22));
    const NSRect late = tracker->itemRect(0, 2);
    driver.click(window, NSMakePoint(NSMidX(late), NSMidY(late) - kTitleStripHeight));
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  EXPECT_EQ(seen, (std::vector<std::string>{"update Context"}));
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " Late");
  EXPECT_EQ(MenuTracker::active(), nullptr);
  driver.mouseUp(window, NSMakePoint(50, 60), TestDriver::right);
}

TEST_F(Menus, DisabledItemsSeparatorsAndPressesOutsideChooseNothing)
{
  menu->setDelegate(nullptr);
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    driver.click(window, centre(NSOffsetRect(tracker->itemRect(0, 2), 0, -kTitleStripHeight)));  // disabled
    driver.click(window, centre(NSOffsetRect(tracker->itemRect(0, 1), 0, -kTitleStripHeight)));  // separator
    EXPECT_NE(MenuTracker::active(), nullptr);
    driver.click(window, NSMakePoint(390, 290));  // outside: dismisses
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(MenuTracker::active(), nullptr);
  driver.mouseUp(window, NSMakePoint(50, 60), TestDriver::right);
}

// A timer may take items from a menu while it is open: the menu shows what is left.
TEST_F(Menus, AnOpenMenuThatLosesItemsToATimerIsDrawnWithWhatIsLeft)
{
  menu->setDelegate(nullptr);
  driver.at(1.0, [&] {
    menu->removeItemAtIndex(2);
    menu->removeItemAtIndex(1);
    window->contentView()->setNeedsDisplay(true);
  });
  driver.at(1.5, [&] {
    NSApp()->updateWindows();
    EXPECT_NE(MenuTracker::active(), nullptr);
    driver.click(window, NSMakePoint(390, 290));  // outside: dismisses
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  EXPECT_EQ(MenuTracker::active(), nullptr);
  EXPECT_EQ(menu->numberOfItems(), 1);
  driver.mouseUp(window, NSMakePoint(50, 60), TestDriver::right);
}

TEST_F(Menus, TheQuickReleaseOfTheOpeningPressChoosesNothingALaterClickDoes)
{
  menu->setDelegate(nullptr);
  driver.at(0.1, [&] {
    const NSRect first = NSOffsetRect(MenuTracker::active()->itemRect(0, 0), 0, -kTitleStripHeight);
    driver.mouseMove(window, centre(first));
    driver.mouseUp(window, centre(first), TestDriver::right);
  });
  driver.at(0.2, [&] {
    EXPECT_TRUE(g_log.empty());
    ASSERT_NE(MenuTracker::active(), nullptr);
    EXPECT_EQ(MenuTracker::active()->highlightedItem(0), 0);
    driver.click(window, centre(NSOffsetRect(MenuTracker::active()->itemRect(0, 0), 0, -kTitleStripHeight)));
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " First");
}

TEST_F(Menus, KeysMoveTheHighlightOverSeparatorsAndChoose)
{
  driver.at(1.0, [&] {
    driver.key(window, kVK_DownArrow);
    driver.key(window, kVK_DownArrow);  // skips the separator to the now enabled last item
    driver.key(window, kVK_Return);
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " Late");
}

TEST_F(Menus, SubmenusOpenOnHoverAfterTheirOwnUpdate)
{
  auto* sub = new NSMenu("Sub");
  sub->setDelegate(&updater);
  addItem(sub, "Deep", 7, receiver.get());
  auto* holder = new NSMenuItem("More", Action::none, "");
  holder->setSubmenu(sub);
  sub->release();
  menu->addItem(holder);
  holder->release();
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    driver.mouseMove(window, centre(NSOffsetRect(tracker->itemRect(0, 3), 0, -kTitleStripHeight)));
  });
  driver.at(1.1, [&] {
    MenuTracker* tracker = MenuTracker::active();
    EXPECT_EQ(tracker->levelCount(), 2u);
    EXPECT_EQ(g_log.back(), "update Sub");
    // The submenu opens beside its item.
    EXPECT_EQ(tracker->menuFrame(1).origin.x, NSMaxX(tracker->itemRect(0, 3)));
    driver.click(window, centre(NSOffsetRect(tracker->itemRect(1, 0), 0, -kTitleStripHeight)));
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " Deep");
}

TEST_F(Menus, TheMenuBarInTheTitleStripOpensTheMainMenu)
{
  auto* bar = new NSMenu("");
  auto* file = new NSMenuItem("File", Action::none, "");
  file->setSubmenu(menu.get());
  bar->addItem(file);
  file->release();
  NSApp()->setMainMenu(bar);
  bar->release();
  const std::vector<NSRect> titles = menuBarTitleRects(bar);
  ASSERT_EQ(titles.size(), 1u);
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->barTitleIndex(), 0);
    EXPECT_EQ(tracker->menuFrame(0).origin.y, kTitleStripHeight);
    driver.click(window, centre(NSOffsetRect(tracker->itemRect(0, 0), 0, -kTitleStripHeight)));
  });
  driver.click(window, NSMakePoint(NSMidX(titles[0]), NSMidY(titles[0]) - kTitleStripHeight));
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " First");
}

TEST_F(Menus, KeyEquivalentsOfTheMainMenuSendTheirAction)
{
  auto* bar = new NSMenu("");
  auto* file = new NSMenuItem("File", Action::none, "");
  file->setSubmenu(menu.get());
  bar->addItem(file);
  file->release();
  NSApp()->setMainMenu(bar);
  bar->release();
  menu->itemWithTag(1)->setKeyEquivalent("s");
  menu->itemWithTag(3)->setKeyEquivalent("S");
  driver.key(window, kVK_ANSI_S);  // no modifier: typing, not a command
  EXPECT_TRUE(g_log.empty());
  driver.key(window, kVK_ANSI_S, NSEventModifierFlagCommand);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " First");
  driver.key(window, kVK_ANSI_S, NSEventModifierFlagCommand | NSEventModifierFlagShift);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " Late");
  EXPECT_EQ(keyEquivalentLabel(menu->itemWithTag(3)).str(), "Ctrl+Shift+S");

  // Function keys and arrows, with no modifier or with some.
  g_log.clear();
  NSMenuItem* help = addItem(menu.get(), "Help", 4, receiver.get(), keyCharacterString(NSF1FunctionKey + 4).UTF8String());
  help->setKeyEquivalentModifierMask(0);
  addItem(menu.get(), "Back", 5, receiver.get(), keyCharacterString(NSLeftArrowFunctionKey).UTF8String());
  driver.key(window, kVK_LeftArrow);
  driver.key(window, kVK_F5);
  driver.key(window, kVK_F5, NSEventModifierFlagCommand);
  driver.key(window, kVK_LeftArrow, NSEventModifierFlagCommand);
  std::vector<std::string> sent;
  for (const std::string& entry : g_log)
    if (entry.rfind("action ", 0) == 0) sent.push_back(entry.substr(entry.rfind(' ') + 1));
  EXPECT_EQ(sent, (std::vector<std::string>{"Help", "Back"}));
  // Keys that type nothing are labelled by their names.
  EXPECT_EQ(keyEquivalentLabel(help).str(), "F5");
  EXPECT_EQ(keyEquivalentLabel(menu->itemWithTag(5)).str(), "Ctrl+Left");
  help->setKeyEquivalent(keyCharacterString(NSPageDownFunctionKey));
  EXPECT_EQ(keyEquivalentLabel(help).str(), "Page Down");
  help->setKeyEquivalent(keyCharacterString(0xF8FF));
  EXPECT_EQ(keyEquivalentLabel(help).str(), "");
}

// Each submenu is brought up to date before it is searched, and its delegate may take any
// item out of any menu meanwhile: the search goes on through what is left.
TEST_F(Menus, AKeyEquivalentSearchGoesOnThroughWhatTheUpdatesLeave)
{
  struct Pruner : NSMenuDelegate
  {
    NSMenu* bar = nullptr;
    const char* doomed = nullptr;
    void menuNeedsUpdate(NSMenu*) override
    {
      for (NSMenuItem* item : bar->itemArray())
        if (doomed && item->title().str() == doomed) bar->removeItem(item);
    }
  };
  const std::vector<const char*> doomed = {"Edit", "File", "View"};
  for (const char* name : doomed)
  {
    SCOPED_TRACE(name);
    Pruner pruner;
    StrongRef<NSMenu> bar = StrongRef<NSMenu>::adopt(new NSMenu(""));
    pruner.bar = bar.get();
    pruner.doomed = name;
    for (const char* title : {"File", "Edit", "View"})
    {
      auto* sub = new NSMenu(title);
      addItem(sub, (std::string(title) + " item").c_str(), 1, receiver.get(), title[0] == 'V' ? "v" : "");
      if (title[0] == 'F') sub->setDelegate(&pruner);
      NSMenuItem* holder = addItem(bar.get(), title, 0, nullptr);
      holder->setSubmenu(sub);
      sub->release();
    }
    g_log.clear();
    NSEvent* key = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, NSEventModifierFlagCommand, 0, window,
                                             "v", "v", false, kVK_ANSI_V);
    const bool viewRemains = std::string(name) != "View";
    EXPECT_EQ(bar->performKeyEquivalent(key), viewRemains);
    EXPECT_EQ(g_log.size(), viewRemains ? 1u : 0u);
  }
}

TEST(MenuModel, RemovingEveryItemWhileWalkingTheItemArrayRemovesThemAll)
{
  StrongRef<NSMenu> menu = StrongRef<NSMenu>::adopt(new NSMenu("m"));
  for (int i = 0; i < 3; ++i) addItem(menu.get(), "x", i, nullptr);
  for (NSMenuItem* item : menu->itemArray()) menu->removeItem(item);
  EXPECT_EQ(menu->numberOfItems(), 0);
}

TEST(MenuModel, CopiesAreDeepAndItemsBelongToOneMenu)
{
  TestDriver driver;
  auto* menu = new NSMenu("M");
  auto* sub = new NSMenu("S");
  addItem(sub, "Leaf", 5, nullptr);
  auto* holder = new NSMenuItem("Holder", Action::none, "");
  holder->setSubmenu(sub);
  menu->addItem(holder);
  holder->setState(NSControlStateValueOn);
  sub->release();
  EXPECT_EQ(sub->supermenu(), menu);
  NSMenu* copy = menu->copy();
  ASSERT_EQ(copy->numberOfItems(), 1);
  EXPECT_NE(copy->itemAtIndex(0)->submenu(), sub);
  EXPECT_EQ(copy->itemAtIndex(0)->submenu()->itemAtIndex(0)->tag(), 5);
  EXPECT_EQ(copy->itemAtIndex(0)->state(), NSControlStateValueOn);
  copy->addItem(holder);  // still in the first menu: refused
  EXPECT_EQ(copy->numberOfItems(), 1);
  menu->removeItem(holder);
  holder->release();
  EXPECT_FALSE(isLiveObject(holder));
  EXPECT_FALSE(isLiveObject(sub));
  copy->release();
  menu->release();
}

TEST_F(Menus, AnItemImageShowsAtItsOwnSizeUprightAndTheItemGrowsToHoldIt)
{
  menu->setDelegate(nullptr);
  // 8 x 30 pixels, XRGB: the top ten rows red, the rest blue.
  std::vector<uint32_t> pixels(8 * 30, 0x0000FF);
  std::fill(pixels.begin(), pixels.begin() + 8 * 10, 0xFF0000u);
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size() * 4, nullptr);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGImageRef image = CGImageCreate(8, 30, 8, 32, 8 * 4, space, uint32_t(kCGImageAlphaNoneSkipFirst) | kCGBitmapByteOrder32Little,
                                   provider, nullptr, false, 0);
  CGColorSpaceRelease(space);
  CGDataProviderRelease(provider);
  NSMenuItem* first = menu->itemWithTag(1);
  first->setImage(image);
  CGImageRelease(image);
  NSMenuItem* copied = first->copy();
  EXPECT_EQ(copied->image(), first->image());
  copied->release();
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    const NSRect r = tracker->itemRect(0, 0);
    EXPECT_EQ(r.size.height, 34);
    const int x = static_cast<int>(r.origin.x + MenuStyle::kLeftColumn) + 4;
    const int top = static_cast<int>(r.origin.y) + 2;
    EXPECT_EQ(window->backing().pixel(x, top + 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(window->backing().pixel(x, top + 28) & 0xFFFFFF, 0x0000FFu);
    driver.key(window, kVK_Escape);
  });
  driver.mouseDown(window, NSMakePoint(50, 60), TestDriver::right);
  driver.mouseUp(window, NSMakePoint(50, 60), TestDriver::right);
}

TEST(MenuModel, ACopyIsOfTheMenusOwnClassDownToItsSubmenus)
{
  struct OwnMenu : NSMenu
  {
    using NSMenu::NSMenu;
    NSMenu* emptyCopy() const override { return new OwnMenu(title()); }
  };
  StrongRef<NSMenu> menu = StrongRef<NSMenu>::adopt(new OwnMenu("M"));
  StrongRef<NSMenu> sub = StrongRef<NSMenu>::adopt(new OwnMenu("S"));
  addItem(menu.get(), "Holder", 0, nullptr)->setSubmenu(sub.get());
  StrongRef<NSMenu> copy = StrongRef<NSMenu>::adopt(menu->copy());
  EXPECT_TRUE(isKindOfClass<OwnMenu>(copy.get()));
  EXPECT_EQ(copy->title().str(), "M");
  EXPECT_TRUE(isKindOfClass<OwnMenu>(copy->itemAtIndex(0)->submenu()));
}

TEST(MenuPopups, AMenuTallerThanItsWindowOpensInAPopupWindowWhereEveryItemCanBeChosen)
{
  TestDriver driver;
  g_log.clear();
  StrongRef<Receiver> receiver = StrongRef<Receiver>::adopt(new Receiver);
  StrongRef<NSMenu> menu = StrongRef<NSMenu>::adopt(new NSMenu("Long"));
  for (int i = 0; i < 12; ++i) addItem(menu.get(), ("Item " + std::to_string(i)).c_str(), i, receiver.get());
  NSWindow* window = new NSWindow(NSMakeRect(300, 500, 200, 100), NSWindowStyleMaskTitled);
  auto* view = new MenuView(NSMakeRect(0, 0, 200, 100), menu.get());
  window->contentView()->addSubview(view);
  view->release();
  window->makeKeyAndOrderFront(nullptr);
  const size_t windows = NSApp()->windows().size();
  driver.at(1.0, [&] {
    MenuTracker* tracker = MenuTracker::active();
    NSWindow* popup = tracker->levelWindow(0);
    ASSERT_NE(popup, nullptr);
    // Its top-left corner is at the press, on the screen, and it is as tall as the menu.
    const NSPoint pressed = window->convertBaseToScreen(window->baseFromPixel(NSMakePoint(20, 30 + kTitleStripHeight)));
    EXPECT_EQ(popup->frame(), NSMakeRect(pressed.x, pressed.y - 242, tracker->menuFrame(0).size.width, 242));
    // The last item lies far below the window; in the popup it is reached all the same.
    const NSRect last = NSOffsetRect(tracker->itemRect(0, 11), -tracker->menuFrame(0).origin.x, -tracker->menuFrame(0).origin.y);
    driver.click(popup, centre(last));
  });
  driver.click(window, NSMakePoint(20, 30), TestDriver::right);
  EXPECT_EQ(g_log.back(), "action " + std::to_string(static_cast<int>(Action::onSwellCommand)) + " Item 11");
  EXPECT_EQ(NSApp()->windows().size(), windows);
  window->close();
}
