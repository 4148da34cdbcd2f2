#include "platform/appkit/application.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"
#include "platform/graphics/cg_context.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
std::vector<std::string> g_handled;

// A view that takes actions of one kind, to see how far up the chain an action travels.
class ActingView : public NSView, public ActionTarget
{
public:
  ActingView(NSRect frame, Action takes, std::string name) : NSView(frame), m_takes(takes), m_name(std::move(name)) {}
  bool acceptsFirstResponder() override { return true; }
  bool performAction(Action action, NSObject*) override
  {
    if (action != m_takes) return false;
    g_handled.push_back(m_name);
    return true;
  }

private:
  Action m_takes;
  std::string m_name;
};

struct ActingDelegate : NSObject, NSApplicationDelegate, ActionTarget
{
  bool performAction(Action action, NSObject*) override
  {
    if (action != Action::paste) return false;
    g_handled.push_back("app delegate");
    return true;
  }
};

class Painter : public NSView
{
public:
  using NSView::NSView;
  void drawRect(NSRect) override
  {
    CGContextRef c = NSGraphicsContext::currentContext()->graphicsPort();
    CGContextSetRGBFillColor(c, 0, 0, 1, 1);
    CGContextFillRect(c, bounds());
  }
};
}  // namespace

TEST(Actions, TravelFromTheFirstResponderUpToTheApplicationDelegate)
{
  TestDriver driver;
  g_handled.clear();
  auto* delegate = new ActingDelegate;
  NSApp()->setDelegate(delegate);
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  auto* outer = new ActingView(NSMakeRect(0, 0, 100, 100), Action::copy, "outer");
  auto* inner = new ActingView(NSMakeRect(0, 0, 50, 50), Action::cut, "inner");
  window->contentView()->addSubview(outer);
  outer->addSubview(inner);
  outer->release();
  inner->release();
  window->makeKeyAndOrderFront(nullptr);
  window->makeFirstResponder(inner);

  EXPECT_TRUE(NSApp()->sendAction(Action::cut, nullptr, nullptr));
  EXPECT_TRUE(NSApp()->sendAction(Action::copy, nullptr, nullptr));
  EXPECT_TRUE(NSApp()->sendAction(Action::paste, nullptr, nullptr));
  EXPECT_FALSE(NSApp()->sendAction(Action::selectAll, nullptr, nullptr));
  EXPECT_EQ(g_handled, (std::vector<std::string>{"inner", "outer", "app delegate"}));
  // A target that has gone away is skipped, not called.
  auto* gone = new ActingView(NSRect{}, Action::cut, "gone");
  gone->release();
  EXPECT_FALSE(NSApp()->sendAction(Action::cut, gone, nullptr));
  window->close();
  NSApp()->setDelegate(nullptr);
  delegate->release();
}

TEST(Events, PeekingLeavesTheEventQueuedAndMasksSelectByType)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSApp()->postEvent(NSEvent::mouseEventWithType(NSEventTypeMouseMoved, NSPoint{}, 0, 0, window, 0, 0), false);
  NSApp()->postEvent(NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, 0, 0, window, "a", "a", false, kVK_ANSI_A),
                     false);
  const NSEventMask keyDown = NSEventMaskFromType(NSEventTypeKeyDown);
  const double start = driver.now();
  NSEvent* peeked = NSApp()->nextEventMatchingMask(keyDown, start + 0.003, false);
  ASSERT_NE(peeked, nullptr);
  EXPECT_EQ(peeked->keyCode(), kVK_ANSI_A);
  EXPECT_EQ(NSApp()->queuedEventCount(), 2u);
  EXPECT_EQ(NSApp()->nextEventMatchingMask(keyDown, start, true), peeked);
  EXPECT_EQ(NSApp()->queuedEventCount(), 1u);
  // Nothing of that type is left: the wait ends at its date.
  EXPECT_EQ(NSApp()->nextEventMatchingMask(keyDown, start + 0.003, true), nullptr);
  EXPECT_NEAR(driver.now(), start + 0.003, 1e-12);
  EXPECT_EQ(NSApp()->nextEventMatchingMask(NSEventMaskAny, driver.now(), true)->type(), NSEventTypeMouseMoved);
  window->close();
}

// A queued event may hold the last reference to a closed window, whose teardown posts more
// events while the queue is being let go.
TEST(Events, LettingGoOfTheQueueSurvivesWindowsThatPostWhileTheyGo)
{
  struct Posting : NSWindow
  {
    using NSWindow::NSWindow;
    void dealloc() override
    {
      for (int i = 0; i < 64; ++i)
        NSApp()->postEvent(NSEvent::otherEventWithType(NSEventTypeApplicationDefined, NSPoint{}, 0, 0, nullptr, 0, i, 0),
                           false);
      NSWindow::dealloc();
    }
  };
  {
    TestDriver driver;
    auto* window = new Posting(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
    {
      NSAutoreleasePool pool;
      NSApp()->postEvent(NSEvent::mouseEventWithType(NSEventTypeMouseMoved, NSPoint{}, 0, 0, window, 0, 0), false);
      NSApp()->postEvent(NSEvent::mouseEventWithType(NSEventTypeMouseMoved, NSPoint{}, 0, 0, nullptr, 0, 0), false);
    }
    window->close();  // the first queued event holds it now
    EXPECT_EQ(NSApp()->queuedEventCount(), 2u);
  }  // the driver lets the application's queue go
  EXPECT_EQ(NSApp()->queuedEventCount(), 0u);
}

TEST(Windows, ChildWindowsStayAboveTheirParentAndLeaveWithIt)
{
  TestDriver driver;
  NSWindow* parent = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSWindow* child = new NSWindow(NSMakeRect(0, 0, 50, 50), NSWindowStyleMaskTitled);
  NSWindow* other = new NSWindow(NSMakeRect(0, 0, 50, 50), NSWindowStyleMaskTitled);
  child->orderFront(nullptr);
  parent->addChildWindow(child, NSWindowAbove);
  other->orderFront(nullptr);
  parent->orderFront(nullptr);
  EXPECT_EQ(NSApp()->orderedWindows(), (std::vector<NSWindow*>{child, parent, other}));
  EXPECT_EQ(child->parentWindow(), parent);
  parent->close();
  EXPECT_EQ(child->parentWindow(), nullptr);
  EXPECT_TRUE(child->isVisible());
  child->close();
  other->close();
}

TEST(WindowDrawing, DrawingOutsideDrawRectReachesTheBitmapAndIsPresented)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskBorderless);
  auto* view = new NSView(NSMakeRect(20, 20, 40, 40));
  window->contentView()->addSubview(view);
  view->release();
  window->orderFront(nullptr);
  driver.runUntilIdle();
  const long presented = window->presentationCount();
  ASSERT_TRUE(view->lockFocusIfCanDraw());
  CGContextRef c = NSGraphicsContext::currentContext()->graphicsPort();
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextFillRect(c, CGRectMake(-100, -100, 400, 400));  // clipped to the view
  view->unlockFocus();
  EXPECT_EQ(window->presentationCount(), presented + 1);
  EXPECT_EQ(window->backing().pixel(30, 50) & 0xFFFFFF, 0xFF0000u);  // inside: rows 40..79 from the top
  EXPECT_NE(window->backing().pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(NSGraphicsContext::currentContext(), nullptr);
  view->setHidden(true);
  EXPECT_FALSE(view->lockFocusIfCanDraw());
  window->close();
}

TEST(MenuDrawing, AClosedMenuLeavesTheViewsBeneathAsTheyWere)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 200, 150), NSWindowStyleMaskBorderless);
  auto* painter = new Painter(NSMakeRect(0, 0, 200, 150));
  window->contentView()->addSubview(painter);
  painter->release();
  window->orderFront(nullptr);
  auto* menu = new NSMenu("M");
  auto* item = new NSMenuItem("An item", Action::none, "");
  menu->addItem(item);
  item->release();
  driver.runUntilIdle();
  uint32_t underMenu = 0;
  driver.at(0.5, [&] {
    driver.runUntilIdle();  // draws the open menu without letting the tracker see anything
  });
  driver.at(0.6, [&] {
    underMenu = window->backing().pixel(30, 25) & 0xFFFFFF;
    driver.key(window, kVK_Escape);
  });
  MenuTracker::track(menu, window, NSMakePoint(20, 20));
  EXPECT_NE(underMenu, 0x0000FFu);  // the menu covered the blue view there
  driver.runUntilIdle();
  EXPECT_EQ(window->backing().pixel(30, 25) & 0xFFFFFF, 0x0000FFu);
  menu->release();
  window->close();
}
