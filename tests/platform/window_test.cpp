#include "platform/appkit/application.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
// Fills itself with one colour and counts how often and where it was asked to draw.
class SolidView : public NSView
{
public:
  SolidView(NSRect frame, unsigned rgb) : NSView(frame), m_rgb(rgb) {}
  void drawRect(NSRect dirty) override
  {
    ++draws;
    lastDirty = dirty;
    CGContextRef c = NSGraphicsContext::currentContext()->graphicsPort();
    CGContextSetRGBFillColor(c, ((m_rgb >> 16) & 255) / 255.0, ((m_rgb >> 8) & 255) / 255.0, (m_rgb & 255) / 255.0, 1);
    CGContextFillRect(c, bounds());
  }
  void setColor(unsigned rgb)
  {
    m_rgb = rgb;
    setNeedsDisplay(true);
  }
  int draws = 0;
  NSRect lastDirty;

private:
  unsigned m_rgb;
};

uint32_t pixelAt(NSWindow* window, int x, int y)
{
  return window->backing().pixel(x, y) & 0xFFFFFF;
}

struct Delegate : NSWindowDelegate
{
  std::vector<std::string> calls;
  bool allowClose = false;
  bool windowShouldClose(NSWindow*) override
  {
    calls.push_back("should close");
    return allowClose;
  }
  void windowWillClose(NSWindow*) override { calls.push_back("will close"); }
  void windowDidMove(NSWindow*) override { calls.push_back("moved"); }
  void windowDidResize(NSWindow*) override { calls.push_back("resized"); }
  void windowDidBecomeKey(NSWindow*) override { calls.push_back("key"); }
  void windowDidResignKey(NSWindow*) override { calls.push_back("resigned"); }
};
}  // namespace

TEST(Windows, ATitledFrameAddsTheStripAboveTheContent)
{
  TestDriver driver;
  NSWindow* titled = new NSWindow(NSMakeRect(100, 200, 300, 150), NSWindowStyleMaskTitled);
  NSWindow* bare = new NSWindow(NSMakeRect(100, 200, 300, 150), NSWindowStyleMaskBorderless);
  EXPECT_EQ(titled->frame(), NSMakeRect(100, 200, 300, 172));
  EXPECT_EQ(bare->frame(), NSMakeRect(100, 200, 300, 150));
  EXPECT_EQ(titled->contentView()->frame(), NSMakeRect(0, 0, 300, 150));
  EXPECT_EQ(titled->contentRectForFrameRect(titled->frame()), NSMakeRect(100, 200, 300, 150));
  EXPECT_EQ(titled->convertBaseToScreen(NSMakePoint(10, 20)), NSMakePoint(110, 220));
  // Window pixels count down from the top of the frame, strip included.
  EXPECT_EQ(titled->pixelFromBase(NSMakePoint(5, 150)), NSMakePoint(5, 22));
  titled->setContentSize(NSMakeSize(200, 100));
  EXPECT_EQ(titled->frame(), NSMakeRect(100, 250, 200, 122));  // the top edge stayed at 372
  EXPECT_EQ(titled->contentView()->frame().size, NSMakeSize(200, 100));
  titled->close();
  bare->close();
}

TEST(Windows, KeyAndMainStatusFollowOrderingAndClosing)
{
  TestDriver driver;
  Delegate da, db;
  NSWindow* a = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSWindow* b = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSWindow* panel = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  a->setDelegate(&da);
  b->setDelegate(&db);
  a->makeKeyAndOrderFront(nullptr);
  b->makeKeyAndOrderFront(nullptr);
  EXPECT_EQ(da.calls, (std::vector<std::string>{"key", "resigned"}));
  EXPECT_TRUE(b->isKeyWindow());
  EXPECT_TRUE(b->isMainWindow());
  panel->makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(panel->isKeyWindow());
  EXPECT_TRUE(b->isMainWindow());  // a panel takes the keyboard, not main status
  EXPECT_EQ(NSApp()->orderedWindows(), (std::vector<NSWindow*>{panel, b, a}));
  a->setLevel(NSFloatingWindowLevel);
  EXPECT_EQ(NSApp()->orderedWindows().front(), a);
  panel->close();
  b->orderOut(nullptr);
  EXPECT_TRUE(a->isKeyWindow());  // the next window in line takes over
  b->close();
  a->close();
}

TEST(Windows, CloseButtonAsksTheDelegateAndOnlyClosesWhenItAgrees)
{
  TestDriver driver;
  Delegate delegate;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  window->setReleasedWhenClosed(false);
  window->setDelegate(&delegate);
  window->orderFront(nullptr);
  window->performClose(nullptr);
  EXPECT_TRUE(window->isVisible());
  delegate.allowClose = true;
  window->performClose(nullptr);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(delegate.calls, (std::vector<std::string>{"should close", "should close", "will close"}));
  EXPECT_TRUE(std::find(NSApp()->windows().begin(), NSApp()->windows().end(), window) == NSApp()->windows().end());
  window->release();
}

TEST(Windows, MovesAndResizesFromTheSystemReachTheDelegateAndTheContentView)
{
  TestDriver driver;
  Delegate delegate;
  NSWindow* window = new NSWindow(NSMakeRect(10, 10, 100, 100), NSWindowStyleMaskTitled | NSWindowStyleMaskResizable);
  window->setDelegate(&delegate);
  window->orderFront(nullptr);
  window->backendMovedTo(NSMakePoint(50, 60));
  window->backendResizedTo(NSMakeSize(200, 150));
  // The top edge (60 + 122) stays where it was: the window grew downward and so moved.
  EXPECT_EQ(delegate.calls, (std::vector<std::string>{"moved", "moved", "resized"}));
  EXPECT_EQ(window->frame(), NSMakeRect(50, 32, 200, 150));
  EXPECT_EQ(window->contentView()->frame().size, NSMakeSize(200, 128));
  driver.runUntilIdle();
  EXPECT_EQ(window->backing().width(), 200);
  EXPECT_EQ(window->backing().height(), 150);
  window->close();
}

TEST(WindowDrawing, OnlyDirtyAreasAreDrawnAndNothingDirtyPresentsNothing)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskBorderless);
  auto* left = new SolidView(NSMakeRect(0, 0, 100, 100), 0xFF0000);
  auto* right = new SolidView(NSMakeRect(100, 0, 100, 100), 0x0000FF);
  window->contentView()->addSubview(left);
  window->contentView()->addSubview(right);
  left->release();
  right->release();
  window->orderFront(nullptr);
  driver.runUntilIdle();
  EXPECT_EQ(pixelAt(window, 10, 10), 0xFF0000u);
  EXPECT_EQ(pixelAt(window, 150, 99), 0x0000FFu);
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 1);

  const long presented = window->presentationCount();
  driver.runFor(1.0);
  EXPECT_EQ(window->presentationCount(), presented);

  right->setColor(0x00FF00);
  driver.runUntilIdle();
  EXPECT_EQ(pixelAt(window, 150, 50), 0x00FF00u);
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 2);
  EXPECT_EQ(window->presentationCount(), presented + 1);

  // A part of a view: only that part is asked for, in the view's own coordinates.
  right->setNeedsDisplayInRect(NSMakeRect(10, 20, 30, 40));
  driver.runUntilIdle();
  EXPECT_EQ(right->lastDirty, NSMakeRect(10, 20, 30, 40));
  window->close();
}

TEST(WindowDrawing, HiddenViewsAreNotDrawnAndUncoverWhatIsBehind)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskBorderless);
  auto* back = new SolidView(NSMakeRect(0, 0, 100, 100), 0x202020);
  auto* front = new SolidView(NSMakeRect(25, 25, 50, 50), 0xFFFFFF);
  window->contentView()->addSubview(back);
  back->addSubview(front);
  back->release();
  front->release();
  window->orderFront(nullptr);
  driver.runUntilIdle();
  EXPECT_EQ(pixelAt(window, 50, 50), 0xFFFFFFu);
  front->setHidden(true);
  driver.runUntilIdle();
  EXPECT_EQ(pixelAt(window, 50, 50), 0x202020u);
  EXPECT_EQ(front->draws, 1);
  window->close();
}

TEST(Windows, AContentViewMovedToAnotherWindowLeavesTheFirstEmpty)
{
  TestDriver driver;
  NSWindow* first = new NSWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSWindow* second = new NSWindow(NSMakeRect(0, 0, 300, 200), NSWindowStyleMaskTitled);
  NSView* content = first->contentView();
  auto* child = new SolidView(NSMakeRect(0, 0, 10, 10), 0xFFFFFF);
  content->addSubview(child);
  child->release();
  second->setContentView(content);
  EXPECT_EQ(first->contentView(), nullptr);
  EXPECT_EQ(second->contentView(), content);
  EXPECT_EQ(child->window(), second);
  EXPECT_EQ(content->frame(), NSMakeRect(0, 0, 300, 200));  // fills its new window
  first->orderFront(nullptr);
  driver.runUntilIdle();  // an empty window still draws
  first->close();
  second->close();
}

TEST(Windows, ChildrenMoveWithTheirParentAndModalWindowsStayInFrontOfTheirOwner)
{
  TestDriver driver;
  NSWindow* parent = new NSWindow(NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled);
  NSWindow* child = new NSWindow(NSMakeRect(150, 120, 50, 50), NSWindowStyleMaskBorderless);
  parent->makeKeyAndOrderFront(nullptr);
  parent->addChildWindow(child, NSWindowAbove);
  parent->setFrameOrigin(NSMakePoint(130, 90));
  EXPECT_EQ(child->frame().origin, NSMakePoint(180, 110));
  parent->backendMovedTo(NSMakePoint(100, 100));  // dragged on the desktop
  EXPECT_EQ(child->frame().origin, NSMakePoint(150, 120));
  EXPECT_EQ(child->transientParent(), parent);
  NSWindow* dialog = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSModalSession session = NSApp()->beginModalSessionForWindow(dialog);
  EXPECT_EQ(dialog->transientParent(), parent);
  NSApp()->endModalSession(session);
  EXPECT_EQ(dialog->transientParent(), nullptr);
  dialog->close();
  parent->close();
  child->close();
}

// A child that moves with its parent tells its delegate, which may close another child the
// move has not reached yet: that one stays where it was.
TEST(Windows, AChildClosedByAnotherChildsMoveIsNotMovedAfterIt)
{
  TestDriver driver;
  struct Closer : NSWindowDelegate
  {
    NSWindow* victim = nullptr;
    void windowDidMove(NSWindow*) override
    {
      if (NSWindow* window = std::exchange(victim, nullptr))
      {
        window->parentWindow()->removeChildWindow(window);
        window->close();
      }
    }
  } closer;
  NSWindow* parent = new NSWindow(NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled);
  NSWindow* first = new NSWindow(NSMakeRect(150, 120, 50, 50), NSWindowStyleMaskBorderless);
  NSWindow* second = new NSWindow(NSMakeRect(210, 120, 50, 50), NSWindowStyleMaskBorderless);
  parent->makeKeyAndOrderFront(nullptr);
  parent->addChildWindow(first, NSWindowAbove);
  parent->addChildWindow(second, NSWindowAbove);
  const StrongRef<NSWindow> watched(second);
  first->setDelegate(&closer);
  closer.victim = second;
  parent->setFrameOrigin(NSMakePoint(130, 90));
  EXPECT_EQ(first->frame().origin, NSMakePoint(180, 110));
  EXPECT_EQ(watched->frame().origin, NSMakePoint(210, 120));
  first->setDelegate(nullptr);
  parent->close();
  first->close();
}

TEST(Windows, DeactivationResignsKeyStatusAndPanelsCarryNoMenuBarStrip)
{
  TestDriver driver;
  Delegate delegate;
  NSWindow* main = new NSWindow(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled);
  main->setDelegate(&delegate);
  main->makeKeyAndOrderFront(nullptr);
  NSApp()->setActive(false);
  EXPECT_TRUE(!main->isKeyWindow() && main->isMainWindow());
  NSApp()->setActive(true);
  EXPECT_EQ(delegate.calls, (std::vector<std::string>{"key", "resigned", "key"}));
  main->setDelegate(nullptr);
  EXPECT_EQ(main->frame().size.height, 100 + kTitleStripHeight);

  NSWindow* panel = new NSPanel(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled);
  EXPECT_EQ(panel->frame(), NSMakeRect(100, 100, 200, 100));
  auto* view = new SolidView(NSMakeRect(0, 0, 200, 100), 0x0000FF);
  panel->contentView()->addSubview(view);
  view->release();
  panel->makeKeyAndOrderFront(nullptr);
  driver.runUntilIdle();
  EXPECT_EQ(pixelAt(panel, 100, 0), 0x0000FFu);  // the top row is the content's
  panel->close();
  main->close();
}
