#include "platform/appkit/application.h"
#include "platform/appkit/tool_tips.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object_registry.h"
#include "platform/testing/scripted_accessibility_element.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
class FlippedView : public NSView
{
public:
  using NSView::NSView;
  bool isFlipped() const override { return true; }
};

// Records what reaches it, with positions in its own coordinates.
class RecordingView : public NSView
{
public:
  RecordingView(NSRect frame, bool flipped, std::vector<std::string>* log, std::string name)
      : NSView(frame), m_flipped(flipped), m_log(log), m_name(std::move(name))
  {
  }
  bool isFlipped() const override { return m_flipped; }
  bool acceptsFirstResponder() override { return true; }
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void mouseDown(NSEvent* e) override { record("down", e); }
  void mouseDragged(NSEvent* e) override { record("drag", e); }
  void mouseUp(NSEvent* e) override { record("up", e); }
  void rightMouseDown(NSEvent* e) override { record("rdown", e); }
  void scrollWheel(NSEvent* e) override { m_log->push_back(m_name + " wheel " + std::to_string(int(e->deltaY()))); }
  void keyDown(NSEvent* e) override { m_log->push_back(m_name + " key " + e->characters().str()); }
  void viewDidHide() override { m_log->push_back(m_name + " hidden"); }
  void viewDidUnhide() override { m_log->push_back(m_name + " shown"); }

private:
  void record(const char* what, NSEvent* e)
  {
    const NSPoint p = convertPointFromView(e->locationInWindow(), nullptr);
    m_log->push_back(m_name + " " + what + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
  }
  bool m_flipped;
  std::vector<std::string>* m_log;
  std::string m_name;
};

template <class T, class... Args>
T* addView(NSView* parent, Args&&... args)
{
  T* view = new T(std::forward<Args>(args)...);
  parent->addSubview(view);
  view->release();
  return view;
}

// Overrides what the window layer's controls override, and notes every call.
class OverridingView : public NSView
{
public:
  OverridingView(std::vector<std::string>* log, std::string name) : NSView(NSMakeRect(0, 0, 10, 10)), m_log(log), m_name(std::move(name)) {}
  void setNeedsDisplayInRect(NSRect rect) override
  {
    m_log->push_back(m_name + " dirty");
    NSView::setNeedsDisplayInRect(rect);
  }
  void removeFromSuperview() override
  {
    m_log->push_back(m_name + " removing");
    NSView::removeFromSuperview();
  }
  void viewDidMoveToSuperview() override { m_log->push_back(m_name + (superview() ? " in" : " out")); }

private:
  std::vector<std::string>* m_log;
  std::string m_name;
};

NSWindow* makeWindow(double width = 300, double height = 200)
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, width, height), NSWindowStyleMaskTitled);
  window->makeKeyAndOrderFront(nullptr);
  return window;
}
}  // namespace

TEST(ViewGeometry, ConversionsThroughFlippedAndUnflippedViews)
{
  TestDriver driver;
  NSWindow* window = makeWindow(300, 200);
  // An unflipped box at (20, 30) 200 × 100 holding a flipped one at (10, 10) 100 × 50,
  // which holds an unflipped one at (5, 5) 20 × 10.
  NSView* box = addView<NSView>(window->contentView(), NSMakeRect(20, 30, 200, 100));
  NSView* flipped = addView<FlippedView>(box, NSMakeRect(10, 10, 100, 50));
  NSView* leaf = addView<NSView>(flipped, NSMakeRect(5, 5, 20, 10));

  // The flipped view's top-left is at y = 30 + 10 + 50 = 90 in the window.
  EXPECT_EQ(flipped->convertPointToView(NSMakePoint(0, 0), nullptr), NSMakePoint(30, 90));
  EXPECT_EQ(flipped->convertPointToView(NSMakePoint(0, 50), nullptr), NSMakePoint(30, 40));
  // The leaf hangs 5 below that top edge and is 10 high: its bottom-left is at 90 - 15.
  EXPECT_EQ(leaf->convertPointToView(NSMakePoint(0, 0), nullptr), NSMakePoint(35, 75));
  EXPECT_EQ(leaf->convertPointToView(NSMakePoint(0, 0), flipped), NSMakePoint(5, 15));
  EXPECT_EQ(flipped->convertPointFromView(NSMakePoint(35, 75), nullptr), NSMakePoint(5, 15));
  EXPECT_EQ(leaf->convertRectToView(leaf->bounds(), box), NSMakeRect(15, 45, 20, 10));

  // A bounds origin scrolls the content.
  box->setBoundsOrigin(NSMakePoint(0, 10));
  EXPECT_EQ(flipped->convertPointToView(NSMakePoint(0, 0), nullptr), NSMakePoint(30, 80));
  window->close();
}

TEST(ViewGeometry, HitTestingFindsTheTopmostDeepestVisibleViewOnPixelEdges)
{
  TestDriver driver;
  NSWindow* window = makeWindow(300, 200);
  NSView* content = window->contentView();
  NSView* flipped = addView<FlippedView>(content, NSMakeRect(0, 100, 150, 100));
  NSView* top = addView<NSView>(flipped, NSMakeRect(0, 0, 150, 20));    // the first 20 rows from the top
  NSView* over = addView<NSView>(flipped, NSMakeRect(100, 0, 50, 100));  // added last: on top
  NSView* hidden = addView<NSView>(flipped, NSMakeRect(0, 50, 50, 50));
  hidden->setHidden(true);

  // Window base coordinates: y = 200 is the top edge of the content.
  EXPECT_EQ(content->hitTest(NSMakePoint(10, 200)), top);
  EXPECT_EQ(content->hitTest(NSMakePoint(10, 180.5)), top);
  EXPECT_EQ(content->hitTest(NSMakePoint(10, 180)), flipped);  // row 20 from the top is below it
  EXPECT_EQ(content->hitTest(NSMakePoint(120, 190)), over);
  EXPECT_EQ(content->hitTest(NSMakePoint(10, 120)), flipped);  // under the hidden view
  EXPECT_EQ(content->hitTest(NSMakePoint(10, 100)), content);  // bottom edge of an unflipped frame is out
  EXPECT_EQ(content->hitTest(NSMakePoint(300, 10)), nullptr);
  window->close();
}

TEST(ViewEvents, TheViewThatTookThePressGetsTheDragAndTheRelease)
{
  TestDriver driver;
  std::vector<std::string> log;
  NSWindow* window = makeWindow(300, 200);
  addView<RecordingView>(window->contentView(), NSMakeRect(0, 0, 100, 200), true, &log, "left");
  addView<RecordingView>(window->contentView(), NSMakeRect(100, 0, 200, 200), false, &log, "right");
  driver.drag(window, NSMakePoint(50, 10), NSMakePoint(250, 150), 2);
  // Positions are the left view's own, flipped: y counts from its top.
  EXPECT_EQ(log, (std::vector<std::string>{"left down 50,10", "left drag 150,80", "left drag 250,150", "left up 250,150"}));
  log.clear();
  driver.click(window, NSMakePoint(150, 10), TestDriver::right);
  driver.wheel(window, NSMakePoint(150, 10), 3);
  EXPECT_EQ(log, (std::vector<std::string>{"right rdown 50,190", "right wheel 3"}));
  window->close();
}

TEST(ViewEvents, PressesMakeTheViewFirstResponderWhichThenGetsKeys)
{
  TestDriver driver;
  std::vector<std::string> log;
  NSWindow* window = makeWindow();
  NSView* a = addView<RecordingView>(window->contentView(), NSMakeRect(0, 0, 100, 100), false, &log, "a");
  addView<RecordingView>(window->contentView(), NSMakeRect(100, 0, 100, 100), false, &log, "b");
  driver.type(window, "x");
  EXPECT_TRUE(log.empty());  // nobody is first responder yet: the window takes the key
  driver.click(window, NSMakePoint(150, 150));
  driver.type(window, "Hi");
  EXPECT_EQ(log.back(), "b key i");
  EXPECT_EQ(log[log.size() - 2], "b key H");
  window->makeFirstResponder(a);
  driver.type(window, "!");
  EXPECT_EQ(log.back(), "a key !");
  window->close();
}

TEST(ViewHiding, CallbacksReachEveryViewThatChangesVisibility)
{
  TestDriver driver;
  std::vector<std::string> log;
  NSWindow* window = makeWindow();
  auto* parent = addView<RecordingView>(window->contentView(), NSMakeRect(0, 0, 100, 100), false, &log, "parent");
  auto* child = addView<RecordingView>(parent, NSMakeRect(0, 0, 50, 50), false, &log, "child");
  auto* hiddenChild = addView<RecordingView>(parent, NSMakeRect(50, 0, 50, 50), false, &log, "hiddenChild");
  hiddenChild->setHidden(true);
  log.clear();
  window->makeFirstResponder(child);

  parent->setHidden(true);
  EXPECT_EQ(log, (std::vector<std::string>{"parent hidden", "child hidden"}));
  EXPECT_TRUE(child->isHiddenOrHasHiddenAncestor());
  EXPECT_EQ(window->firstResponder(), window);  // focus does not stay in a hidden view
  log.clear();
  child->setHidden(true);  // already hidden through its parent: no news for it
  child->setHidden(false);
  EXPECT_TRUE(log.empty());
  parent->setHidden(false);
  EXPECT_EQ(log, (std::vector<std::string>{"parent shown", "child shown"}));
  window->close();
}

namespace
{
// Closes and releases its window from inside its own event handler.
class SelfDestroyingView : public NSView
{
public:
  using NSView::NSView;
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void mouseDown(NSEvent*) override
  {
    NSWindow* w = window();
    w->setReleasedWhenClosed(true);
    w->close();
    // Still usable until the handler returns: dispatch holds both window and view.
    EXPECT_TRUE(isLiveObject(w));
    EXPECT_EQ(frame().size.width, 100);
    survived = true;
  }
  static inline bool survived = false;
};
}  // namespace

TEST(ViewEvents, AWindowClosedInsideItsOwnHandlerLivesUntilTheHandlerReturns)
{
  TestDriver driver;
  NSWindow* window = makeWindow();
  SelfDestroyingView* view = addView<SelfDestroyingView>(window->contentView(), NSMakeRect(0, 0, 100, 100));
  SelfDestroyingView::survived = false;
  {
    NSAutoreleasePool pool;
    driver.click(window, NSMakePoint(10, 150));
  }
  EXPECT_TRUE(SelfDestroyingView::survived);
  EXPECT_FALSE(isLiveObject(window));
  EXPECT_FALSE(isLiveObject(view));
}

namespace
{
struct TipOwner : NSToolTipOwner
{
  int asked = 0;
  NSString stringForToolTip(NSView*, NSInteger, NSPoint point, void* userData) override
  {
    ++asked;
    return NSString(std::string(static_cast<const char*>(userData)) + " at " + std::to_string(int(point.x)));
  }
};
}  // namespace

TEST(ToolTips, ShowAfterThePointerRestsAndHideOnMovingOffOrPressing)
{
  TestDriver driver;
  TipOwner owner;
  NSWindow* window = makeWindow(300, 200);
  NSView* view = addView<FlippedView>(window->contentView(), NSMakeRect(0, 0, 300, 200));
  static const char kKnob[] = "Cutoff";
  view->addToolTipRect(NSMakeRect(10, 10, 50, 50), &owner, const_cast<char*>(kKnob));
  driver.mouseMove(window, NSMakePoint(20, 20));
  driver.runFor(0.5);
  EXPECT_TRUE(window->shownToolTip().empty());
  driver.mouseMove(window, NSMakePoint(30, 30));  // still on the same tip: the delay keeps running
  driver.runFor(0.6);
  EXPECT_EQ(window->shownToolTip().str(), "Cutoff at 30");
  driver.mouseMove(window, NSMakePoint(200, 150));
  EXPECT_TRUE(window->shownToolTip().empty());
  driver.mouseMove(window, NSMakePoint(20, 20));
  driver.runFor(1.1);
  EXPECT_FALSE(window->shownToolTip().empty());
  driver.click(window, NSMakePoint(20, 20));
  EXPECT_TRUE(window->shownToolTip().empty());
  EXPECT_EQ(owner.asked, 2);
  view->removeAllToolTips();
  driver.mouseMove(window, NSMakePoint(25, 25));
  driver.runFor(2);
  EXPECT_EQ(owner.asked, 2);
  window->close();
}

TEST(ViewTree, OverridesSeeThePlatformsOwnCallsAndCopiesSurviveRemovalWhileWalking)
{
  TestDriver driver;
  NSWindow* window = makeWindow();
  std::vector<std::string> log;
  NSView* parent = addView<OverridingView>(window->contentView(), &log, "p");
  for (const char* name : {"a", "b", "c"}) addView<OverridingView>(parent, &log, name);
  EXPECT_EQ((std::vector<std::string>{"p in", "p dirty", "a in", "a dirty", "b in", "b dirty", "c in", "c dirty"}), log);
  log.clear();
  // A destroy cascade walks the subviews and removes each: all three leave.
  for (NSView* child : parent->subviews()) child->removeFromSuperview();
  EXPECT_EQ((std::vector<std::string>{"a removing", "p dirty", "a out", "b removing", "p dirty", "b out",
                                      "c removing", "p dirty", "c out"}),
            log);
  for (int i = 0; i < 3; ++i) window->addChildWindow(new NSWindow(NSMakeRect(0, 0, 9, 9), 0), NSWindowAbove);
  for (NSWindow* child : window->childWindows()) child->close();
  EXPECT_TRUE(window->childWindows().empty());
  window->close();
}

TEST(ViewAccessibility, ViewsOutOfSightAreSkippedAndHitTestsAndTheFocusFindTheDeepestShownView)
{
  TestDriver driver;
  std::vector<std::string> log;
  NSWindow* window = makeWindow(300, 200);
  NSView* content = window->contentView();
  NSView* panel = addView<FlippedView>(content, NSMakeRect(10, 10, 100, 100));
  NSView* knob = addView<RecordingView>(panel, NSMakeRect(10, 10, 20, 20), false, &log, "knob");
  NSView* hidden = addView<NSView>(content, NSMakeRect(150, 10, 100, 100));
  NSView* underHidden = addView<NSView>(hidden, NSMakeRect(0, 0, 50, 50));
  hidden->setHidden(true);
  NSView* beyond = addView<NSView>(content, NSMakeRect(400, 10, 10, 10));  // past the right edge

  const NSString children(NSAccessibilityChildrenAttribute);
  const NSString visibleChildren(NSAccessibilityVisibleChildrenAttribute);
  EXPECT_EQ(objectsOf(window->accessibilityAttributeValue(children)), (std::vector<NSObject*>{content}));
  EXPECT_EQ(objectsOf(content->accessibilityAttributeValue(children)), (std::vector<NSObject*>{panel, beyond}));
  EXPECT_EQ(objectsOf(content->accessibilityAttributeValue(visibleChildren)), (std::vector<NSObject*>{panel}));
  EXPECT_FALSE(content->accessibilityAttributeValue(NSString("AXRole")));
  EXPECT_TRUE(underHidden->accessibilityIsIgnored());
  EXPECT_FALSE(window->accessibilityIsIgnored());

  const auto screen = [window](NSView* view, NSPoint point) {
    return window->convertBaseToScreen(view->convertPointToView(point, nullptr));
  };
  EXPECT_EQ(window->accessibilityHitTest(screen(knob, NSMakePoint(5, 5))), knob);
  EXPECT_EQ(window->accessibilityHitTest(screen(panel, NSMakePoint(50, 50))), panel);
  EXPECT_EQ(window->accessibilityHitTest(screen(content, NSMakePoint(200, 50))), content);  // under the hidden view
  EXPECT_EQ(window->accessibilityHitTest(screen(content, NSMakePoint(-5, 50))), nullptr);

  ASSERT_TRUE(window->makeFirstResponder(knob));
  EXPECT_EQ(window->accessibilityFocusedUIElement(), knob);
  panel->setHidden(true);  // a hidden view stands for its nearest shown ancestor
  EXPECT_EQ(knob->accessibilityFocusedUIElement(), content);
  window->makeFirstResponder(window);
  EXPECT_EQ(window->accessibilityFocusedUIElement(), window);

  // Ignored elements give way to their unignored children, however deep, and one that
  // lists itself ends the search.
  StrongRef<ScriptedAccessibilityElement> inner = ScriptedAccessibilityElement::make();
  inner->ignored = true;
  inner->children = NSArray::arrayWithObjects({content});
  StrongRef<ScriptedAccessibilityElement> outer = ScriptedAccessibilityElement::make();
  outer->ignored = true;
  outer->children = NSArray::arrayWithObjects({beyond, inner.get(), hidden});
  EXPECT_EQ(objectsOf(NSAccessibilityUnignoredChildren(NSArray::arrayWithObjects({window, outer.get()}).get())),
            (std::vector<NSObject*>{window, beyond, content}));
  inner->children = NSArray::arrayWithObjects({inner.get()});
  EXPECT_EQ(NSAccessibilityUnignoredChildren(inner->children.get())->count(), 0u);
  inner->children.reset();
  window->close();
}
