// What window views and top-level windows tell an assistive application, with the element a
// window procedure offers through WM_GETOBJECT.
#include "swell-wnd-messages.h"
#include "wnd_test_support.h"

#include "platform/testing/scripted_accessibility_element.h"

using namespace cocoa;

namespace
{
class AccessibilityTest : public WindowTest
{
protected:
  // The procedure behind the recorder offers *offer (nothing while it is null).
  void offerThrough(Recorder* r, NSObject** offer)
  {
    r->answer = [offer](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
      if (msg != WM_GETOBJECT || wParam != 0x1001) return std::nullopt;
      *reinterpret_cast<NSObject**>(lParam) = *offer;
      return 1;
    };
  }
  static NSPoint screenPoint(HWND hwnd, NSPoint local)
  {
    NSView* view = viewOf(hwnd);
    return view->window()->convertBaseToScreen(view->convertPointToView(local, nullptr));
  }
};
}  // namespace

TEST_F(AccessibilityTest, TheOfferedElementAnswersHitTestsAndTheFocusBeforeTheView)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  HWND leaf = child(top, recorder("leaf"), NSMakeRect(150, 0, 50, 50));
  NSObject* offer = nullptr;
  offerThrough(r, &offer);
  Swell_vVorna_hwnd* view = viewOf(top);
  const NSPoint inside = screenPoint(top, NSMakePoint(20, 100));
  StrongRef<ScriptedAccessibilityElement> element = ScriptedAccessibilityElement::make();
  StrongRef<ScriptedAccessibilityElement> other = ScriptedAccessibilityElement::make();

  EXPECT_EQ(view->accessibilityHitTest(inside), view);  // no element: the view's own answer
  EXPECT_EQ(view->accessibilityHitTest(screenPoint(leaf, NSMakePoint(5, 5))), viewOf(leaf));
  offer = element.get();
  EXPECT_EQ(view->accessibilityHitTest(inside), element.get());  // its answer is null
  element->hit = element.get();
  EXPECT_EQ(view->accessibilityHitTest(inside), element.get());
  element->hit = other.get();
  EXPECT_EQ(view->accessibilityHitTest(inside), other.get());
  element->hit = element.get();
  element->ignored = true;
  EXPECT_EQ(view->accessibilityHitTest(inside), view);
  EXPECT_EQ(r->last(WM_GETOBJECT)->wParam, 0x1001u);

  // The focus: the element's own answer unless it names nothing or itself.
  EXPECT_EQ(view->accessibilityFocusedUIElement(), view);
  element->focused = element.get();
  EXPECT_EQ(view->accessibilityFocusedUIElement(), view);
  element->focused = other.get();
  EXPECT_EQ(view->accessibilityFocusedUIElement(), other.get());
  // Objects that answer no accessibility question are no element.
  StrongRef<NSObject> mute = StrongRef<NSObject>::adopt(new NSObject);
  offer = mute.get();
  EXPECT_EQ(view->accessibilityHitTest(inside), view);
}

TEST_F(AccessibilityTest, ChildrenListsAddTheElementAndAreKeptWhileNothingChanges)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  HWND first = child(top, recorder("first"), NSMakeRect(0, 0, 50, 50));
  HWND far = child(top, recorder("far"), NSMakeRect(1000, 0, 50, 50));  // out of the visible rectangle
  NSObject* offer = nullptr;
  offerThrough(r, &offer);
  Swell_vVorna_hwnd* view = viewOf(top);
  const NSString children(NSAccessibilityChildrenAttribute);
  const NSString visibleChildren(NSAccessibilityVisibleChildrenAttribute);
  StrongRef<ScriptedAccessibilityElement> element = ScriptedAccessibilityElement::make();
  const int unheld = element->retainCount();

  EXPECT_EQ(objectsOf(view->accessibilityAttributeValue(children)),
            (std::vector<NSObject*>{viewOf(first), viewOf(far)}));
  offer = element.get();
  StrongRef<NSArray> list = view->accessibilityAttributeValue(children);
  EXPECT_EQ(objectsOf(list), (std::vector<NSObject*>{viewOf(first), viewOf(far), element.get()}));
  EXPECT_EQ(view->accessibilityAttributeValue(children), list);  // the same answer, not a new one
  StrongRef<NSArray> visible = view->accessibilityAttributeValue(visibleChildren);
  EXPECT_EQ(objectsOf(visible), (std::vector<NSObject*>{viewOf(first), element.get()}));
  EXPECT_EQ(view->accessibilityAttributeValue(visibleChildren), visible);
  // Each cache holds the element itself and the answer naming it.
  EXPECT_EQ(element->retainCount(), unheld + 4);

  // A new subview, or another element, makes a new answer.
  HWND added = child(top, recorder("added"), NSMakeRect(60, 0, 20, 20));
  StrongRef<NSArray> grown = view->accessibilityAttributeValue(children);
  EXPECT_NE(grown, list);
  EXPECT_EQ(objectsOf(grown), (std::vector<NSObject*>{viewOf(first), viewOf(far), viewOf(added), element.get()}));
  StrongRef<ScriptedAccessibilityElement> other = ScriptedAccessibilityElement::make();
  offer = other.get();
  EXPECT_EQ(objectsOf(view->accessibilityAttributeValue(visibleChildren)),
            (std::vector<NSObject*>{viewOf(first), viewOf(added), other.get()}));

  // Without an element the view's own lists come back and the caches let go.
  offer = nullptr;
  list.reset();
  visible.reset();
  grown.reset();
  EXPECT_EQ(objectsOf(view->accessibilityAttributeValue(children)),
            (std::vector<NSObject*>{viewOf(first), viewOf(far), viewOf(added)}));
  view->accessibilityAttributeValue(visibleChildren);
  EXPECT_EQ(element->retainCount(), unheld);
  EXPECT_EQ(other->retainCount(), 1);

  // Dying, the view lets go of what it cached.
  offer = element.get();
  view->accessibilityAttributeValue(children);
  EXPECT_EQ(element->retainCount(), unheld + 2);
  DestroyWindow(top);
  NSAutoreleasePool drain;
  driver.runUntilIdle();
  EXPECT_EQ(element->retainCount(), unheld);
}

TEST_F(AccessibilityTest, AnElementStandsInForAnEmptyViewAndBareWindowsAreIgnored)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  Recorder* leafLog = recorder("leaf");
  HWND leaf = child(top, leafLog);
  NSObject* offer = nullptr;
  offerThrough(leafLog, &offer);
  StrongRef<ScriptedAccessibilityElement> element = ScriptedAccessibilityElement::make();
  EXPECT_FALSE(viewOf(leaf)->accessibilityIsIgnored());
  offer = element.get();
  EXPECT_TRUE(viewOf(leaf)->accessibilityIsIgnored());
  // The window's list shows the element where the empty view was.
  EXPECT_EQ(objectsOf(viewOf(top)->accessibilityAttributeValue(NSString(NSAccessibilityChildrenAttribute))),
            (std::vector<NSObject*>{element.get()}));
  child(leaf, recorder("inner"));
  EXPECT_FALSE(viewOf(leaf)->accessibilityIsIgnored());
  ShowWindow(leaf, SW_HIDE);
  EXPECT_TRUE(viewOf(leaf)->accessibilityIsIgnored());

  EXPECT_FALSE(windowOf(top)->accessibilityIsIgnored());
  HWND bare = topLevel(recorder("bare"), NSMakeRect(0, 0, 40, 40), NSWindowStyleMaskBorderless);
  EXPECT_TRUE(windowOf(bare)->accessibilityIsIgnored());
  child(bare, recorder("filled"));
  EXPECT_FALSE(windowOf(bare)->accessibilityIsIgnored());
}

// An assistive client asks the window; the window asks its views front to back and takes the
// first answer: each view's element answers only for points inside that view.
TEST_F(AccessibilityTest, AnOfferedElementAnswersOnlyForPointsInsideItsView)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  Recorder* leftLog = recorder("left");
  Recorder* rightLog = recorder("right");
  HWND left = child(top, leftLog, NSMakeRect(0, 0, 100, 100));
  HWND right = child(top, rightLog, NSMakeRect(150, 0, 100, 100));
  StrongRef<ScriptedAccessibilityElement> leftElement = ScriptedAccessibilityElement::make();
  StrongRef<ScriptedAccessibilityElement> rightElement = ScriptedAccessibilityElement::make();
  NSObject* leftOffer = leftElement.get();
  NSObject* rightOffer = rightElement.get();
  offerThrough(leftLog, &leftOffer);
  offerThrough(rightLog, &rightOffer);
  NSWindow* window = windowOf(top);

  const NSPoint inLeft = screenPoint(left, NSMakePoint(10, 10));
  const NSPoint inRight = screenPoint(right, NSMakePoint(10, 10));
  const NSPoint between = screenPoint(top, NSMakePoint(120, 50));
  EXPECT_EQ(window->accessibilityHitTest(inLeft), leftElement.get());
  EXPECT_EQ(window->accessibilityHitTest(inRight), rightElement.get());
  EXPECT_EQ(viewOf(top)->accessibilityHitTest(inLeft), leftElement.get());
  EXPECT_EQ(window->accessibilityHitTest(between), viewOf(top));
  EXPECT_EQ(viewOf(right)->accessibilityHitTest(inLeft), nullptr);
  // A hidden view answers for nothing, its element neither.
  ShowWindow(left, SW_HIDE);
  EXPECT_EQ(window->accessibilityHitTest(inLeft), viewOf(top));
}
