// Every walk that calls out for each item, attacked as window procedures do in their handlers:
// the item reached first destroys itself, the item after it, or the owner of the walk, or moves
// the next item under another parent. Whatever it does, the walk reaches no item that has gone,
// reads nothing freed (the sanitizer build runs this) and reaches the rest.
#include "swell-ctl-classes.h"
#include "swell-gdi.h"
#include "swell-listview.h"
#include "swell-menu.h"
#include "swell-shell.h"
#include "swell-wnd-messages.h"
#include "wnd_test_support.h"

#include "platform/appkit/button.h"
#include "platform/appkit/color.h"
#include "platform/appkit/event.h"
#include "platform/appkit/menu.h"
#include "platform/testing/scripted_accessibility_element.h"

#include <map>

using namespace cocoa;

namespace
{
enum class Attack
{
  DestroyItself,
  DestroyNext,
  DestroyOwner,
  MoveNext
};

const char* nameOf(Attack attack)
{
  switch (attack)
  {
  case Attack::DestroyItself: return "destroys itself";
  case Attack::DestroyNext: return "destroys the next item";
  case Attack::DestroyOwner: return "destroys the owner";
  default: return "moves the next item away";
  }
}

// What one walk works on: the items in the order the walk reaches them.
struct Scene
{
  HWND owner = nullptr;
  std::vector<HWND> items;
  HWND elsewhere = nullptr;  // a parent in another window, for the item moved away
};

class WalkTest;

struct WalkCase
{
  const char* name;
  UINT heard;  // what an item hears when the walk reaches it; 0 when the walk's callback says
  Scene (*build)(WalkTest&);
  void (*run)(WalkTest&, Scene&);
  // The items reached, in the walk's order, for each attack that applies to this walk.
  std::map<Attack, std::vector<int>> reached;
  // How an item leaves for `elsewhere`; null: by SetParent.
  void (*move)(Scene&, HWND item) = nullptr;
};

class WalkTest : public WindowTest
{
public:
  using WindowTest::child;
  using WindowTest::recorder;
  using WindowTest::topLevel;
  using WindowTest::windowOf;

  // A window view whose procedure reports the walk reaching it, and attacks when it is first.
  HWND item(HWND parent, NSRect frame = NSMakeRect(10, 10, 90, 60))
  {
    Recorder* r = recorder("item");
    HWND hwnd = child(parent, r, frame);
    hook(r);
    return hwnd;
  }

  void hook(Recorder* r)
  {
    r->answer = [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
      if (msg == WM_GETOBJECT && wParam == 0x1001)
      {
        // An element that sees nothing: the hit test goes on to the next child.
        *reinterpret_cast<NSObject**>(lParam) = m_blindElement.get();
        if (walking && heard == msg) reach(hwnd);
        return 1;
      }
      if (walking && heard == msg) reach(hwnd);
      return std::nullopt;
    };
  }

  // What the attack itself makes items hear is not the walk reaching them.
  void reach(HWND hwnd)
  {
    if (m_attacking) return;
    const auto at = std::find(scene.items.begin(), scene.items.end(), hwnd);
    if (at == scene.items.end()) return;
    const int index = static_cast<int>(at - scene.items.begin());
    if (std::find(order.begin(), order.end(), index) != order.end()) return;
    order.push_back(index);
    if (order.size() == 1) attack(hwnd);
  }

  void attack(HWND first)
  {
    m_attacking = true;
    HWND next = scene.items[1];
    switch (m_attack)
    {
    case Attack::DestroyItself: DestroyWindow(first); break;
    case Attack::DestroyNext: DestroyWindow(next); break;
    case Attack::DestroyOwner: DestroyWindow(scene.owner); break;
    case Attack::MoveNext:
      if (m_case->move) m_case->move(scene, next);
      else SetParent(next, scene.elsewhere);
      break;
    }
    m_attacking = false;
  }

  void play(const WalkCase& walk, Attack attack)
  {
    m_case = &walk;
    m_attack = attack;
    heard = walk.heard;
    order.clear();
    scene = walk.build(*this);
    walking = true;
    walk.run(*this, scene);
    walking = false;
  }

  Scene scene;
  std::vector<int> order;
  UINT heard = 0;
  bool walking = false;

protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    m_blindElement = ScriptedAccessibilityElement::make();
    m_blindElement->ignored = true;
  }

private:
  const WalkCase* m_case = nullptr;
  Attack m_attack = Attack::DestroyNext;
  bool m_attacking = false;
  StrongRef<ScriptedAccessibilityElement> m_blindElement;
};

// A parent view in a top-level window of its own with three items, and a parent elsewhere.
Scene threeChildren(WalkTest& t)
{
  Scene s;
  HWND window = t.topLevel(t.recorder("window"));
  s.owner = t.child(window, t.recorder("owner"), NSMakeRect(0, 0, 200, 150));
  for (int i = 0; i < 3; ++i) s.items.push_back(t.item(s.owner));
  s.elsewhere = t.topLevel(t.recorder("elsewhere"), NSMakeRect(500, 100, 200, 150));
  return s;
}

Scene threeChildrenFrontFirst(WalkTest& t)
{
  Scene s = threeChildren(t);
  std::reverse(s.items.begin(), s.items.end());
  return s;
}

BOOL reachFromCallback(HWND hwnd, LPARAM lParam)
{
  reinterpret_cast<WalkTest*>(lParam)->reach(hwnd);
  return 1;
}

NSPoint screenPointIn(HWND hwnd, NSPoint local)
{
  NSView* view = swellWindowView(hwnd);
  return view->window()->convertBaseToScreen(view->convertPointToView(local, nullptr));
}

// Three owned windows of one owner, reached most recent first when the owner goes.
Scene threeOwnedWindows(WalkTest& t)
{
  Scene s;
  s.owner = t.topLevel(t.recorder("owner"));
  for (int i = 0; i < 3; ++i)
  {
    Recorder* r = t.recorder("owned");
    s.items.insert(s.items.begin(), t.topLevel(r, NSMakeRect(120 + 10 * i, 120, 50, 50), NSWindowStyleMaskTitled, s.owner));
    t.hook(r);
  }
  s.elsewhere = t.topLevel(t.recorder("other owner"), NSMakeRect(500, 100, 200, 150));
  return s;
}

void giveToOtherOwner(Scene& s, HWND owned)
{
  respondsTo<SWELL_OwnerWindow>(WalkTest::windowOf(s.elsewhere))->swellAddOwnedWindow(WalkTest::windowOf(owned));
}

// Three top-level windows, in the application's order or front to back.
Scene threeWindows(WalkTest& t, bool frontToBack)
{
  Scene s;
  for (int i = 0; i < 3; ++i)
  {
    Recorder* r = t.recorder("window");
    s.items.push_back(t.topLevel(r, NSMakeRect(100 + 40 * i, 100, 100, 100)));
    t.hook(r);
  }
  if (frontToBack)
  {
    std::vector<HWND> ordered;
    for (NSWindow* window : NSApp()->orderedWindows())
      for (HWND hwnd : s.items)
        if (WalkTest::windowOf(hwnd) == window) ordered.push_back(hwnd);
    s.items = ordered;
  }
  return s;
}

// A chain of views nested under the pointer, deepest first, in a window of its own.
Scene nestedChain(WalkTest& t)
{
  Scene s;
  s.owner = t.topLevel(t.recorder("content"));
  HWND parent = s.owner;
  for (int i = 0; i < 3; ++i)
  {
    parent = t.item(parent, NSMakeRect(5, 5, 150 - 30 * i, 120 - 30 * i));
    s.items.insert(s.items.begin(), parent);
  }
  s.elsewhere = t.topLevel(t.recorder("elsewhere"), NSMakeRect(500, 100, 200, 150));
  return s;
}

// Three window views inside a plain platform view, which lets them go when it is freed.
Scene threeInPlainView(WalkTest& t)
{
  Scene s;
  HWND window = t.topLevel(t.recorder("window"));
  auto* plain = new NSView(NSMakeRect(0, 0, 200, 150));
  swellWindowView(window)->addSubview(plain);
  plain->release();
  s.owner = swellHandleOf(plain);
  for (int i = 0; i < 3; ++i) s.items.push_back(t.item(s.owner));
  s.elsewhere = t.topLevel(t.recorder("elsewhere"), NSMakeRect(500, 100, 200, 150));
  return s;
}

const std::vector<int> kAll{0, 1, 2};
const std::vector<int> kSkipsNext{0, 2};
const std::vector<int> kEndsAtFirst{0};

const WalkCase kWalks[] = {
    {"the destroy cascade", WM_DESTROY, threeChildren, [](WalkTest&, Scene& s) { DestroyWindow(s.owner); },
     // Destroying the owner again from inside its own cascade does nothing more.
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kAll},
      {Attack::MoveNext, kSkipsNext}}},
    {"the teardown of a plain view's window views", WM_DESTROY, threeInPlainView,
     [](WalkTest&, Scene& s) { dynamic_cast<NSView*>(swellObjectOf(s.owner))->removeFromSuperview(); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::MoveNext, kSkipsNext}}},
    {"EnumChildWindows", 0, threeChildren,
     [](WalkTest& t, Scene& s) { EnumChildWindows(s.owner, reachFromCallback, reinterpret_cast<LPARAM>(&t)); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"a display change passed down", WM_DISPLAYCHANGE, threeChildren,
     [](WalkTest&, Scene& s) { SendMessage(s.owner, WM_DISPLAYCHANGE, 32, 0); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"ScrollWindow from outside the scrolled view", WM_SIZE, threeChildren,
     [](WalkTest&, Scene& s) { ScrollWindow(s.owner, 0, 5, nullptr, nullptr); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"hiding a view", WM_SHOWWINDOW, threeChildren, [](WalkTest&, Scene& s) { ShowWindow(s.owner, SW_HIDE); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"painting", WM_PAINT, threeChildren,
     [](WalkTest&, Scene& s) {
       InvalidateRect(s.owner, nullptr, FALSE);
       WalkTest::windowOf(s.owner)->displayIfNeeded();
     },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"the accessibility hit test", WM_GETOBJECT, threeChildrenFrontFirst,
     [](WalkTest&, Scene& s) {
       WalkTest::windowOf(s.owner)->accessibilityHitTest(screenPointIn(s.items[0], NSMakePoint(20, 20)));
     },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"a mouse event offered to the views under the pointer", WM_NCHITTEST, nestedChain,
     [](WalkTest&, Scene& s) {
       NSView* deepest = swellWindowView(s.items[0]);
       NSEvent* press = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown,
                                                    deepest->convertPointToView(NSMakePoint(10, 10), nullptr), 0, 0,
                                                    deepest->window(), 1, 1);
       EXPECT_FALSE(SWELL_HandleMouseEvent(press));  // nobody claims it
     },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}}},
    {"an owner's owned windows", WM_DESTROY, threeOwnedWindows, [](WalkTest&, Scene& s) { DestroyWindow(s.owner); },
     // The owner destroyed again from inside takes the rest with it at once.
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}, {Attack::DestroyOwner, kEndsAtFirst},
      {Attack::MoveNext, kSkipsNext}},
     giveToOtherOwner},
    {"EnumWindows", 0, [](WalkTest& t) { return threeWindows(t, false); },
     [](WalkTest& t, Scene&) { EnumWindows(reachFromCallback, reinterpret_cast<LPARAM>(&t)); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}}},
    {"a broadcast to every window", WM_USER + 7, [](WalkTest& t) { return threeWindows(t, true); },
     [](WalkTest&, Scene&) { SWELL_BroadcastMessage(WM_USER + 7, 0, 0); },
     {{Attack::DestroyItself, kAll}, {Attack::DestroyNext, kSkipsNext}}},
};
}  // namespace

TEST_F(WalkTest, EveryWalkSurvivesWhatItsCalleesDoAndReachesWhatIsLeft)
{
  for (const WalkCase& walk : kWalks)
    for (const auto& [attack, expected] : walk.reached)
    {
      SCOPED_TRACE(std::string(walk.name) + ", the first item reached " + nameOf(attack));
      play(walk, attack);
      EXPECT_EQ(order, expected);
      if (attack == Attack::MoveNext)
      {
        EXPECT_TRUE(IsWindow(scene.items[1])) << "the moved item lives on";
      }
      if (attack == Attack::DestroyNext)
      {
        EXPECT_FALSE(IsWindow(scene.items[1]));
      }
      if (attack == Attack::DestroyOwner)
      {
        for (HWND item : scene.items) EXPECT_FALSE(IsWindow(item)) << "the owner takes its items with it";
      }
    }
}

namespace
{
struct PropWalk
{
  std::vector<std::string> met;
  std::function<void(HWND, const char*)> onFirst;
};

int meetProp(HWND hwnd, const char* name, void*, LPARAM lParam)
{
  auto* walk = reinterpret_cast<PropWalk*>(lParam);
  walk->met.emplace_back(name);
  if (walk->met.size() == 1) std::exchange(walk->onFirst, nullptr)(hwnd, name);
  return 1;
}
}  // namespace

// Properties, timers and the window's own drawing keep lists of their own that procedures
// change while they are walked.
TEST_F(WalkTest, PropertiesTimersAndDrawingSurviveTheirCallees)
{
  // Properties: the newest is met first; a callback may remove its own property (as Win32
  // allows), the next one, or destroy the window.
  const std::vector<std::function<void(HWND, const char*)>> attacks = {
      [](HWND hwnd, const char* name) { RemoveProp(hwnd, name); },
      [](HWND hwnd, const char*) { RemoveProp(hwnd, "b"); },
      [](HWND hwnd, const char*) { DestroyWindow(hwnd); },
  };
  const std::vector<std::vector<std::string>> met = {{"c", "b", "a"}, {"c", "a"}, {"c"}};
  for (size_t i = 0; i < attacks.size(); ++i)
  {
    HWND window = topLevel(recorder("props"));
    HWND owner = child(window, recorder("owner"));
    for (const char* name : {"a", "b", "c"}) SetProp(owner, name, nullptr);
    PropWalk walk{{}, attacks[i]};
    EXPECT_EQ(EnumPropsEx(owner, meetProp, reinterpret_cast<LPARAM>(&walk)), 1);
    EXPECT_EQ(walk.met, met[i]);
  }

  // Timers: stopping every timer of a view that only its timers keep lets its procedure run
  // while the list is walked; it stops another window's timer, the one the walk stands on.
  HWND host = topLevel(recorder("host"));
  Recorder* other = recorder("other");
  HWND bystander = child(host, other);
  Recorder* orphan = recorder("orphan");
  HWND kept = child(host, orphan);
  SetTimer(kept, 1, 1000, nullptr);
  SetTimer(bystander, 7, 1000, nullptr);
  SetTimer(kept, 2, 1000, nullptr);
  orphan->answer = [bystander](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_DESTROY) KillTimer(bystander, 7);
    return std::nullopt;
  };
  viewOf(kept)->removeFromSuperview();  // left without being destroyed: its timers hold it
  EXPECT_TRUE(KillTimer(kept, static_cast<UINT_PTR>(-1)));
  EXPECT_EQ(orphan->count(WM_DESTROY), 1);
  EXPECT_FALSE(KillTimer(bystander, 7));

  // Drawing: a procedure that grows its window while it paints one dirty rectangle leaves
  // the next one to be drawn into the new backing store.
  Recorder* grower = recorder("grower");
  HWND growing = topLevel(grower);
  windowOf(growing)->displayIfNeeded();
  bool grown = false;
  grower->answer = [&grown](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_PAINT && !std::exchange(grown, true))
    {
      SetWindowPos(hwnd, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER);
      UpdateWindow(hwnd);
    }
    return std::nullopt;
  };
  RECT left = {0, 0, 40, 40}, right = {200, 100, 240, 140};
  InvalidateRect(growing, &left, FALSE);
  InvalidateRect(growing, &right, FALSE);
  windowOf(growing)->displayIfNeeded();
  EXPECT_TRUE(grown);
  EXPECT_EQ(windowOf(growing)->contentView()->frame().size.width, 420);
}
