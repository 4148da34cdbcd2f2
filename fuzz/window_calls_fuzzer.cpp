#include "window_calls_format.h"

#include "swell-ctl-classes.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-menu.h"
#include "swell-shell.h"
#include "swell-timer.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object_registry.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"
#include "platform/testing/test_driver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

// Calls on a small tree of windows, dialogs and fields, made by the bytes of the input, on the
// headless platform with its virtual clock: creating and destroying, showing, focus, clicks
// and keys, timers and their ticks, styles (a top-level window's rebuilds it), parents,
// scrolling, painting, enumerations, display changes and context menus whose items change
// while they are open. The windows' procedures are hostile: for the messages they receive,
// the input chooses reactions (destroy themselves, their parent, a sibling, the focus, the
// control that notified them; move a window to another parent; add a child; move the focus;
// make the call being made again from inside). Whatever they do, the layer must neither touch
// freed memory nor recurse without end: a procedure entered more than kMaxProcedureDepth deep
// stops the run; between calls each window's focus must be a view inside it; at the end of an
// input every window is destroyed and no platform object may be left. Handles are checked
// with IsWindow before every call the fuzzer makes, as Win32 code does (a view taken out of
// its window, which IsWindow does not know, by its being one of the fuzzer's, alive and not
// destroyed): the fuzzer never hands the layer a handle it knows to be gone.
namespace
{
using namespace cocoa;
using namespace window_calls;

// A procedure re-entered deeper than this is a recursion the layer cannot bring back (one real
// fault went 163,038 frames deep): the fuzzer's own reactions never nest that far.
constexpr int kMaxProcedureDepth = 64;
// Reactions that could call back into themselves without the layer's help (moving, adding,
// focusing, calling again) stop nesting here, so that the fuzzer never makes a recursion of
// its own. Destroying needs no bound: each window dies once, and a layer that asks again and
// again for a window already going is the fault to be found.
constexpr int kMaxOwnDepth = 8;
// Nor do they fan out without end: each level of them may set off several more (a focus moved
// on every notification tells two windows, each moving it again), so an input has this many.
constexpr int kMaxOwnReactions = 256;
// The work of one input.
constexpr int kMaxCalls = 64;
constexpr size_t kMaxLiveViews = 24;
constexpr size_t kMaxTopLevels = 8;
constexpr size_t kMaxMade = 48;
constexpr int kMaxTimersSet = 12;
constexpr size_t kMaxScheduled = 24;
constexpr size_t kMaxOneShots = 12;
constexpr size_t kMaxRules = 32;
constexpr double kMaxVirtualSeconds = 6;
constexpr long kMaxMessages = 8000;
// A call made again that queues input (keys, clicks) is not nested in the one that made it,
// but its input may make it again: the number of them is bounded instead.
constexpr int kMaxCallsAgain = 32;
// A menu left open this long (virtual seconds) is closed with Escape; one still open much later
// never ends its tracking.
constexpr double kMenuPatience = 2;
constexpr double kMenuNeverEnds = 30;

struct Reaction
{
  uint8_t kind = kAny;
  uint8_t action = kNothing;
  uint8_t target = kSelf;
};

struct Rule
{
  HWND hwnd;
  Reaction reaction;
};

struct Event
{
  uint8_t when, what, arg;
};

class QueueController : public NSApplicationDelegate, public SWELL_PostMessageController
{
};

// Calls and their arguments are read from the front of the input; past its end every byte
// reads 0.
class Input
{
public:
  Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool more() const { return m_at < m_size; }
  uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_at = 0;
};

struct State
{
  explicit State(const uint8_t* data, size_t size) : in(data, size) {}
  Input in;
  std::unique_ptr<TestDriver> driver;
  std::vector<Reaction> oneShots;
  std::vector<Rule> rules;
  std::vector<HWND> made;   // in the order made: what serial selectors name
  std::vector<HWND> known;  // views with the fuzzer's procedures, alive and not destroyed
  std::vector<NSTimer*> scheduled;
  NSTimer* closer = nullptr;
  double trackedSince = -1;
  const std::function<void()>* current = nullptr;  // the call being made
  int ownDepth = 0;
  int ownReactions = 0;
  int timersSet = 0;
  int callsAgain = 0;
  int added = 0;
  long messages = 0;
  bool spent = false;  // the work of this input is used up: procedures only answer
};

QueueController g_controller;
State* g = nullptr;
int g_procedureDepth = 0;
int g_deepest = 0;
// WINDOW_CALLS_TRACE set: every call, and every reaction with the message it answers, on
// stderr, to read what a reproducer does.
bool g_trace = false;

const char* const kCallNames[] = {
    "CreateTopLevel", "CreateChild", "CreateDialog", "CreateControl", "DestroyWindow", "ShowWindow", "SetFocus",
    "Click", "Key", "SetTimer/KillTimer", "Advance", "SetWindowLong(GWL_STYLE)", "SetParent", "ScrollWindow",
    "Paint", "EnumChildWindows", "TrackPopupMenu", "Schedule", "SetWindowPos", "Rule", "WM_DISPLAYCHANGE",
    "Detach", "EnumWindows", "Type", "EnableWindow"};
static_assert(sizeof kCallNames / sizeof kCallNames[0] == kCallCount);
const char* const kActionNames[] = {"nothing", "destroy", "move", "add a child to", "focus", "call again"};
const char* const kTargetNames[] = {"itself", "its parent", "its next sibling", "its previous sibling",
                                    "the focus", "the sender", "its top-level window", "a pick"};

[[noreturn]] void fault(const char* what)
{
  std::fprintf(stderr, "window_calls_fuzzer: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

// Every procedure and callback of the fuzzer counts itself while it runs.
class ProcedureCall
{
public:
  ProcedureCall()
  {
    if (++g_procedureDepth > kMaxProcedureDepth)
    {
      std::fprintf(stderr, "window_calls_fuzzer: a window procedure was entered %d deep\n", g_procedureDepth);
      fault("the layer calls procedures back without end");
    }
    g_deepest = std::max(g_deepest, g_procedureDepth);
  }
  ~ProcedureCall() { --g_procedureDepth; }
  ProcedureCall(const ProcedureCall&) = delete;
  ProcedureCall& operator=(const ProcedureCall&) = delete;
};

// Held while a reaction that might loop by itself runs; false once they nest too deep.
class OwnNesting
{
public:
  OwnNesting() : m_entered(g->ownDepth < kMaxOwnDepth && g->ownReactions < kMaxOwnReactions)
  {
    if (!m_entered) return;
    ++g->ownDepth;
    ++g->ownReactions;
  }
  ~OwnNesting()
  {
    if (m_entered) --g->ownDepth;
  }
  explicit operator bool() const { return m_entered; }
  OwnNesting(const OwnNesting&) = delete;
  OwnNesting& operator=(const OwnNesting&) = delete;

private:
  bool m_entered;
};

bool contains(const std::vector<HWND>& list, HWND hwnd)
{
  return std::find(list.begin(), list.end(), hwnd) != list.end();
}

void erase(std::vector<HWND>& list, HWND hwnd)
{
  list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

NSView* viewOf(HWND hwnd)
{
  return dynamic_cast<NSView*>(swellObjectOf(hwnd));
}

bool isContentView(const NSView* view)
{
  return view && view->window() && view->window()->contentView() == view;
}

// What a Win32 program holds handles of: window views and controls (not the scroll views,
// clip views and field editors around and inside them).
bool isWindowLike(NSView* view)
{
  return dynamic_cast<Swell_vVorna_hwnd*>(view) || dynamic_cast<Swell_vVorna_textfield*>(view) ||
         dynamic_cast<Swell_vVorna_securetextfield*>(view) || dynamic_cast<Swell_vVorna_textview*>(view) ||
         dynamic_cast<Swell_vVorna_button*>(view) || dynamic_cast<Swell_vVorna_cbox*>(view) ||
         dynamic_cast<Swell_vVorna_pub*>(view) || dynamic_cast<Swell_vVorna_box*>(view);
}

void collect(NSView* view, std::vector<HWND>& out)
{
  for (NSView* child : view->subviews())
  {
    NSView* document = swell::documentViewOf(child);
    NSView* inner = document ? document : child;
    if (isWindowLike(inner)) out.push_back(swellHandleOf(inner));
    collect(inner, out);
  }
}

// The windows a call may be made on: every top-level window with its views,
// then the fuzzer's views that left their window without being destroyed (a host may take a
// view out of its window and keep it, and its timers keep it alive).
std::vector<HWND> liveWindows()
{
  std::vector<HWND> out;
  for (NSWindow* window : NSApp()->windows())
  {
    // A control given no parent is the content of a window of its own.
    NSView* content = window->contentView();
    if (!content || !isWindowLike(content)) continue;
    out.push_back(swellHandleOf(content));
    collect(content, out);
  }
  for (HWND hwnd : g->known)
    if (!contains(out, hwnd) && isLiveObject(swellObjectOf(hwnd))) out.push_back(hwnd);
  return out;
}

bool isDetached(HWND hwnd)
{
  return contains(g->known, hwnd) && isLiveObject(swellObjectOf(hwnd)) &&
         dynamic_cast<Swell_vVorna_hwnd*>(swellObjectOf(hwnd)) && !IsWindow(hwnd);
}

// The check before every call: IsWindow, or for a view out of every window, that it is one of
// the fuzzer's still alive and not destroyed (IsWindow only knows views inside windows).
bool valid(HWND hwnd)
{
  return hwnd && (IsWindow(hwnd) || isDetached(hwnd));
}

HWND pickFrom(uint8_t selector)
{
  if (selector >= kNone) return nullptr;
  const std::vector<HWND> live = liveWindows();
  if (selector >= 0x80)
  {
    const size_t serial = selector - 0x80u;
    if (serial >= g->made.size()) return nullptr;
    return contains(live, g->made[serial]) ? g->made[serial] : nullptr;
  }
  return live.empty() ? nullptr : live[selector % live.size()];
}

HWND pick(uint8_t selector)
{
  HWND hwnd = pickFrom(selector);
  if (g_trace)
  {
    const auto serial = std::find(g->made.begin(), g->made.end(), hwnd);
    const NSObject* object = hwnd ? swellObjectOf(hwnd) : nullptr;
    std::fprintf(stderr, "%*s  picks 0x%02x: %p (serial %d, %s)\n", 2 * g_procedureDepth, "", selector,
                 static_cast<void*>(hwnd), serial == g->made.end() ? -1 : static_cast<int>(serial - g->made.begin()),
                 object ? typeid(*object).name() : "none");
  }
  return hwnd;
}

bool roomForOneMore()
{
  return liveWindows().size() < kMaxLiveViews && g->made.size() < kMaxMade;
}

void madeOne(HWND hwnd)
{
  if (!hwnd || contains(g->made, hwnd)) return;
  if (g_trace)
  {
    const auto& made = *swellObjectOf(hwnd);
    std::fprintf(stderr, "%*s  made %p (serial %zu, %s)\n", 2 * g_procedureDepth, "", static_cast<void*>(hwnd),
                 g->made.size(), typeid(made).name());
  }
  g->made.push_back(hwnd);
}

// ---- reactions

bool matches(uint8_t wanted, UINT msg, Kind kind)
{
  const uint8_t k = wanted % kKindCount;
  return k == kAny || k == kind || (k == kAnyCommand && msg == WM_COMMAND);
}

Kind kindOf(UINT msg, WPARAM wParam)
{
  switch (msg)
  {
  case WM_MOUSEACTIVATE: return kMouseActivate;
  case WM_COMMAND:
    switch ((wParam >> 16) & 0xFFFF)
    {
    case EN_SETFOCUS: return kEditSetFocus;
    case EN_KILLFOCUS: return kEditKillFocus;
    case EN_CHANGE: return kEditChange;
    case 0: return kCommandZero;
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
    case CBN_DROPDOWN:
    case CBN_CLOSEUP: return kComboCommand;
    default: return kAnyCommand;
    }
  case WM_TIMER: return kTimerTick;
  case WM_MOVE: return kMove;
  case WM_SIZE: return kSize;
  case WM_PAINT: return kPaintMessage;
  case WM_DESTROY: return kDestroyMessage;
  case WM_CREATE:
  case WM_INITDIALOG: return kCreateMessage;
  case WM_CONTEXTMENU: return kContextMenu;
  case WM_SHOWWINDOW: return kShowWindow;
  case WM_ACTIVATE: return kActivate;
  case WM_DISPLAYCHANGE: return kDisplayChangeMessage;
  case WM_INITMENUPOPUP: return kInitMenuPopup;
  case WM_NCHITTEST: return kHitTest;
  case WM_GETOBJECT: return kGetObject;
  case WM_KEYDOWN:
  case WM_KEYUP: return kKeyMessage;
  case WM_CLOSE: return kClose;
  case WM_NCCALCSIZE: return kCalcSize;
  case WM_ERASEBKGND:
  case WM_CTLCOLORBTN:
  case WM_CTLCOLORDLG:
  case WM_CTLCOLORSTATIC: return kColour;
  case WM_GETMINMAXINFO: return kMinMax;
  case WM_SETCURSOR:
  case WM_MOUSEMOVE: return kCursorOrMove;
  case WM_CAPTURECHANGED: return kCaptureChanged;
  default:
    if (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) return kMouseButton;
    return kKindCount;  // matches only kAny
  }
}

HWND topLevelOf(HWND hwnd)
{
  NSView* view = viewOf(hwnd);
  NSWindow* window = view ? view->window() : nullptr;
  return window ? swellHandleOf(window->contentView()) : nullptr;
}

HWND resolveTarget(uint8_t target, HWND self, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (target & 7)
  {
  case kSelf: return self;
  case kParent: return GetParent(self);
  case kNextSibling: return GetWindow(self, GW_HWNDNEXT);
  case kPreviousSibling: return GetWindow(self, GW_HWNDPREV);
  case kFocused: return GetFocus();
  case kSender:
    if (msg == WM_COMMAND) return reinterpret_cast<HWND>(lParam);
    if (msg == WM_CONTEXTMENU) return reinterpret_cast<HWND>(wParam);
    return self;
  case kTopLevel: return topLevelOf(self);
  default: return pick(static_cast<uint8_t>((target >> 3) & 0x7F));
  }
}

HWND resolve(uint8_t target, HWND self, UINT msg, WPARAM wParam, LPARAM lParam)
{
  HWND hwnd = resolveTarget(target, self, msg, wParam, lParam);
  if (g_trace) std::fprintf(stderr, "%*s  target %p\n", 2 * g_procedureDepth, "", static_cast<void*>(hwnd));
  return hwnd;
}

void makeChild(HWND parent, int kind, uint8_t geometry);

void react(const Reaction& reaction, HWND self, UINT msg, WPARAM wParam, LPARAM lParam)
{
  const uint8_t t = reaction.target;
  if (g_trace)
    std::fprintf(stderr, "%*s%p hears 0x%x (0x%lx): %s %s\n", 2 * g_procedureDepth, "", static_cast<void*>(self), msg,
                 static_cast<unsigned long>(wParam), kActionNames[reaction.action % kActionCount],
                 kTargetNames[t & 7]);
  switch (reaction.action % kActionCount)
  {
  case kDestroyTarget:
    if (HWND hwnd = resolve(t, self, msg, wParam, lParam); valid(hwnd)) DestroyWindow(hwnd);
    break;
  case kMoveTarget:
  {
    const OwnNesting nesting;
    if (!nesting) break;
    HWND hwnd = resolve(t, self, msg, wParam, lParam);
    const uint8_t to = (t >> 3) & 31;
    HWND parent = to == 31 ? nullptr : pick(to);
    if (valid(hwnd) && (!parent || valid(parent))) SetParent(hwnd, parent);
    break;
  }
  case kAddChild:
  {
    const OwnNesting nesting;
    if (!nesting) break;
    HWND parent = resolve(t, self, msg, wParam, lParam);
    if (valid(parent)) makeChild(parent, (t >> 3) % kChildKindCount, static_cast<uint8_t>(g->added++ * 37));
    break;
  }
  case kFocusTarget:
  {
    const OwnNesting nesting;
    if (!nesting) break;
    if (HWND hwnd = resolve(t, self, msg, wParam, lParam); valid(hwnd)) SetFocus(hwnd);
    break;
  }
  case kCallAgain:
  {
    const OwnNesting nesting;
    if (nesting && g->current && g->callsAgain++ < kMaxCallsAgain) (*g->current)();
    break;
  }
  default: break;
  }
}

// What every procedure and callback of the fuzzer does with what it hears: a standing
// reaction of the window's for that kind, else the first one-shot reaction waiting for it.
void heard(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (!g || g->spent) return;
  if (++g->messages > kMaxMessages)
  {
    g->spent = true;
    return;
  }
  const Kind kind = kindOf(msg, wParam);
  for (const Rule& rule : g->rules)
    if (rule.hwnd == hwnd && matches(rule.reaction.kind, msg, kind))
    {
      const Reaction reaction = rule.reaction;  // the rule may go while it runs
      react(reaction, hwnd, msg, wParam, lParam);
      return;
    }
  for (auto it = g->oneShots.begin(); it != g->oneShots.end(); ++it)
    if (matches(it->kind, msg, kind))
    {
      const Reaction reaction = *it;
      g->oneShots.erase(it);
      react(reaction, hwnd, msg, wParam, lParam);
      return;
    }
}

void forgetRules(HWND hwnd)
{
  g->rules.erase(std::remove_if(g->rules.begin(), g->rules.end(), [hwnd](const Rule& r) { return r.hwnd == hwnd; }),
                 g->rules.end());
}

// A new window (perhaps where a freed one was): nothing of the old one's applies.
void born(HWND hwnd)
{
  if (!g) return;
  forgetRules(hwnd);
  if (!contains(g->known, hwnd)) g->known.push_back(hwnd);
  madeOne(hwnd);
}

void died(HWND hwnd)
{
  if (!g) return;
  erase(g->known, hwnd);
  forgetRules(hwnd);
}

LRESULT windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  const ProcedureCall call;
  if (msg == WM_CREATE) born(hwnd);
  heard(hwnd, msg, wParam, lParam);
  if (msg == WM_DESTROY) died(hwnd);
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// lParam of WM_INITDIALOG is the answer to give it.
LRESULT dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  const ProcedureCall call;
  if (msg == WM_INITDIALOG) born(hwnd);
  heard(hwnd, msg, wParam, lParam);
  if (msg == WM_DESTROY) died(hwnd);
  return msg == WM_INITDIALOG ? lParam : 0;
}

BOOL enumProc(HWND hwnd, LPARAM)
{
  const ProcedureCall call;
  if (!g || g->spent) return 1;
  ++g->messages;
  for (auto it = g->oneShots.begin(); it != g->oneShots.end(); ++it)
    if (it->kind % kKindCount == kEnumeration || it->kind % kKindCount == kAny)
    {
      const Reaction reaction = *it;
      g->oneShots.erase(it);
      react(reaction, hwnd, 0, 0, 0);
      return 1;
    }
  for (const Rule& rule : g->rules)
    if (rule.hwnd == hwnd && rule.reaction.kind % kKindCount == kEnumeration)
    {
      const Reaction reaction = rule.reaction;
      react(reaction, hwnd, 0, 0, 0);
      break;
    }
  return 1;
}

// ---- the windows

// The dialog resources: a dialog of fields, buttons and lists; a child dialog; two fields.
const char kFieldsId[] = "fields";
const char kChildId[] = "child";
const char kTwoFieldsId[] = "two fields";

const SWELL_DialogListEntry kFieldsList[] = {
    {"__SWELL_EDIT", 0, "", 101, 10, 10, 80, 20, 0},
    {"__SWELL_EDIT", 0, "", 102, 10, 35, 80, 40, WS_VSCROLL},
    {"__SWELL_BUTTON", 1, "OK", IDOK, 100, 10, 50, 20, 0},
    {"__SWELL_BUTTON", 0, "Cancel", IDCANCEL, 100, 35, 50, 20, 0},
    {"__SWELL_COMBO", 0, "", 103, 10, 80, 80, 100, CBS_DROPDOWNLIST},
    {"__SWELL_COMBO", 0, "", 104, 10, 105, 80, 100, 0},
    {"__SWELL_CHECKBOX", 0, "Check", 105, 100, 60, 60, 20, 0},
    {"__SWELL_LABEL", -1, "Label", -1, 100, 85, 60, 20, 0},
};
const SWELL_DialogListEntry kChildList[] = {
    {"__SWELL_EDIT", 0, "", 201, 5, 5, 60, 20, 0},
    {"__SWELL_BUTTON", 0, "Go", 202, 70, 5, 40, 20, 0},
};
const SWELL_DialogListEntry kTwoFieldsList[] = {
    {"__SWELL_EDIT", 0, "", 301, 10, 10, 100, 40, WS_VSCROLL},
    {"__SWELL_EDIT", 0, "", 302, 10, 60, 100, 20, 0},
    {"__SWELL_BUTTON", 1, "OK", IDOK, 10, 90, 50, 20, 0},
};

void fillCombos(HWND dialog)
{
  for (const char* item : {"One", "Two", "Three"})
  {
    SWELL_CB_AddString(dialog, 103, item);
    SWELL_CB_AddString(dialog, 104, item);
  }
}

template <size_t N>
void generate(HWND view, const SWELL_DialogListEntry (&list)[N])
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
  SWELL_GenerateDialogFromList(list, static_cast<int>(N));
  SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
}

SWELL_DialogResourceIndex g_twoFields = {
    kTwoFieldsId, "Two fields", 4 | 0x10, [](HWND view, int) { generate(view, kTwoFieldsList); }, 130, 120, nullptr};
SWELL_DialogResourceIndex g_child = {
    kChildId, nullptr, 1 | 4, [](HWND view, int) { generate(view, kChildList); }, 120, 30, &g_twoFields};
SWELL_DialogResourceIndex g_fields = {kFieldsId,
                                      "Fields",
                                      4 | 0x10,
                                      [](HWND view, int) {
                                        generate(view, kFieldsList);
                                        fillCombos(view);
                                      },
                                      170,
                                      130,
                                      &g_child};

void madeAllIn(HWND hwnd)
{
  madeOne(hwnd);
  std::vector<HWND> inside;
  if (NSView* view = viewOf(hwnd)) collect(view, inside);
  for (HWND control : inside) madeOne(control);
}

NSRect childFrame(uint8_t geometry)
{
  return NSMakeRect((geometry & 3) * 20, ((geometry >> 2) & 3) * 15, 40 + ((geometry >> 4) & 3) * 20,
                    30 + (geometry >> 6) * 15);
}

void makeChild(HWND parent, int kind, uint8_t geometry)
{
  if (!roomForOneMore()) return;
  const NSRect f = childFrame(geometry);
  const int x = static_cast<int>(f.origin.x), y = static_cast<int>(f.origin.y);
  const int w = static_cast<int>(f.size.width), h = static_cast<int>(f.size.height);
  if (kind == kChildWindow)
  {
    HWND child = SWELL_CreateDialog(nullptr, nullptr, parent, windowProc, 0);
    if (!valid(child)) return;
    SetWindowPos(child, nullptr, x, y, w, h, SWP_NOZORDER);
    if (valid(child)) ShowWindow(child, SW_SHOWNA);
    return;
  }
  const int id = 1000 + static_cast<int>(g->made.size());
  SWELL_MakeSetCurParms(1, 1, 0, 0, parent, false, false);
  HWND control = nullptr;
  switch (kind)
  {
  case kEditField: control = SWELL_MakeEditField(id, x, y, w, 20, 0); break;
  case kMultiLineField: control = SWELL_MakeEditField(id, x, y, w, h, WS_VSCROLL); break;
  case kPushButton: control = SWELL_MakeButton(0, "Button", id, x, y, w, 20, 0); break;
  case kDropDownList:
  case kEditableCombo:
    control = SWELL_MakeCombo(id, x, y, w, 0, kind == kDropDownList ? CBS_DROPDOWNLIST : 0);
    for (const char* item : {"Alpha", "Beta"})
      if (valid(control)) SendMessage(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    break;
  default: control = SWELL_MakeControl("Check", id, "Button", BS_AUTOCHECKBOX, x, y, w, 20, 0); break;
  }
  SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
  if (valid(control)) madeOne(control);
}

void makeTopLevel(uint8_t style, HWND owner)
{
  if (!roomForOneMore() || NSApp()->windows().size() >= kMaxTopLevels) return;
  if (owner && !valid(owner)) return;
  static constexpr unsigned kMasks[] = {
      NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable | NSWindowStyleMaskResizable,
      NSWindowStyleMaskTitled, NSWindowStyleMaskBorderless, NSWindowStyleMaskTitled | NSWindowStyleMaskResizable};
  const int place = static_cast<int>(g->made.size() % 8);
  if (style & 4)
  {
    // A plain window of a forced style, the layer's own way.
    const auto id = static_cast<uintptr_t>(SWELL_FORCED_STYLE + ((style >> 3) & 15));
    HWND hwnd = SWELL_CreateDialog(nullptr, reinterpret_cast<const char*>(id), owner, windowProc, 0);
    if (valid(hwnd)) SetWindowPos(hwnd, nullptr, 100 + 40 * place, 300 + 20 * place, 160, 120, SWP_NOZORDER);
    if (valid(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return;
  }
  // Around a view, as a host wraps its editor's view.
  auto* view = new Swell_vVorna_hwnd;
  view->initChild(nullptr, nullptr, windowProc, 0);
  view->NSView::setFrame(NSMakeRect(0, 0, 160, 120));
  // WM_CREATE's reactions may have destroyed the owner meanwhile.
  if (owner && !valid(owner)) owner = nullptr;
  HWND window = SWELL_CreateModelessFrameForWindow(view->handle(), owner, kMasks[style & 3]);
  const HWND content = view->handle();
  view->release();
  // Its procedure may have destroyed it while it was made.
  if (!IsWindow(window) || !valid(content)) return;
  auto* platformWindow = dynamic_cast<NSWindow*>(swellObjectOf(window));
  platformWindow->setFrame(platformWindow->frameRectForContentRect(NSMakeRect(100 + 40 * place, 300 + 20 * place, 160, 120)),
                           false);
  if (valid(content)) ShowWindow(content, SW_SHOW);
}

void makeDialog(HWND parent, uint8_t resource)
{
  if (!roomForOneMore() || NSApp()->windows().size() >= kMaxTopLevels) return;
  if (parent && !valid(parent)) return;
  static const char* const kIds[] = {kFieldsId, kChildId, kTwoFieldsId};
  static constexpr LPARAM kAnswers[] = {1, 0, SWELL_INITDIALOG_FOCUS_DIALOG, 1};
  HWND dialog = SWELL_CreateDialog(&g_fields, kIds[(resource & 3) % 3], parent, dialogProc, kAnswers[(resource >> 2) & 3]);
  if (!valid(dialog)) return;
  madeAllIn(dialog);
  NSView* view = viewOf(dialog);
  ShowWindow(dialog, view && isContentView(view) ? SW_SHOW : SW_SHOWNA);
}

// ---- input to the windows

struct Stroke
{
  uint16_t code;
  unsigned modifiers;
  const char* characters;
};

constexpr Stroke kKeys[] = {
    {kVK_Tab, 0, ""},          {kVK_Return, 0, "\r"},    {kVK_Escape, 0, ""},
    {kVK_Space, 0, ""},        {kVK_DownArrow, 0, ""},   {kVK_UpArrow, 0, ""},
    {kVK_LeftArrow, 0, ""},    {kVK_RightArrow, 0, ""},  {kVK_Delete, 0, ""},
    {kVK_ANSI_A, 0, ""},       {kVK_ANSI_B, 0, ""},      {kVK_Home, 0, ""},
    {kVK_End, 0, ""},          {kVK_ANSI_W, NSEventModifierFlagCommand, ""},
    {kVK_ANSI_A, NSEventModifierFlagCommand, ""}, {kVK_Tab, NSEventModifierFlagShift, ""},
};

constexpr Stroke kMenuKeys[] = {
    {kVK_DownArrow, 0, ""}, {kVK_UpArrow, 0, ""}, {kVK_LeftArrow, 0, ""}, {kVK_RightArrow, 0, ""},
    {kVK_Return, 0, "\r"},  {kVK_Escape, 0, ""},  {kVK_Tab, 0, ""},       {kVK_Space, 0, ""},
};

NSWindow* windowOf(HWND hwnd)
{
  NSView* view = viewOf(hwnd);
  return view ? view->window() : nullptr;
}

void press(NSWindow* window, const Stroke& stroke)
{
  if (window) g->driver->key(window, stroke.code, stroke.modifiers, stroke.characters);
}

// The centre of a view in its window's pixels (from the content's top-left, y down).
NSPoint centreInWindow(NSView* view)
{
  const NSRect frame = view->convertRectToView(view->bounds(), nullptr);
  const NSRect content = view->window()->contentView()->frame();
  return NSMakePoint(frame.origin.x + frame.size.width / 2,
                     content.size.height - (frame.origin.y + frame.size.height / 2));
}

void click(HWND hwnd, uint8_t how)
{
  if (!valid(hwnd)) return;
  NSView* view = swell::outerViewOf(viewOf(hwnd));
  NSWindow* window = view ? view->window() : nullptr;
  if (!window || !window->isVisible() || !window->contentView()) return;
  NSPoint at = centreInWindow(view);
  at.x += ((how >> 2) & 7) * 6 - 21;
  at.y += ((how >> 5) & 7) * 6 - 21;
  const StrongRef<NSWindow> keep(window);
  if (how & 1) g->driver->click(window, at, TestDriver::right);
  else if (how & 2) g->driver->doubleClick(window, at);
  else g->driver->click(window, at);
}

// ---- scheduled events and context menus

HMENU handleOfMenu(NSMenu* menu)
{
  return reinterpret_cast<HMENU>(static_cast<NSObject*>(menu));
}

HMENU openMenu(int level)
{
  MenuTracker* tracker = MenuTracker::active();
  NSMenu* menu = tracker ? tracker->menuAtLevel(static_cast<size_t>(level)) : nullptr;
  return menu ? handleOfMenu(menu) : nullptr;
}

// A point of the tracker's pixels (from the window's top, title strip included) as the
// driver takes it (from the content's top).
NSPoint driverPointOf(NSWindow* window, NSPoint trackerPixel)
{
  const NSRect frame = window->frame();
  const double strip = frame.size.height - window->contentRectForFrameRect(frame).size.height;
  return NSMakePoint(trackerPixel.x, trackerPixel.y - strip);
}

void runEvent(const Event& event)
{
  const uint8_t arg = event.arg;
  switch (event.what % kEventKindCount)
  {
  case kEventKey:
  {
    MenuTracker* tracker = MenuTracker::active();
    press(tracker ? tracker->window() : NSApp()->keyWindow(), kMenuKeys[arg % 8]);
    break;
  }
  case kEventClickItem:
  case kEventHoverItem:
  {
    MenuTracker* tracker = MenuTracker::active();
    if (!tracker) break;
    const NSRect r = tracker->itemRect((arg >> 4) & 1, arg & 15);
    if (r.size.width <= 0) break;
    NSWindow* window = tracker->window();
    const NSPoint at = driverPointOf(window, NSMakePoint(NSMidX(r), NSMidY(r)));
    if (event.what % kEventKindCount == kEventClickItem) g->driver->click(window, at);
    else g->driver->mouseMove(window, at);
    break;
  }
  case kEventAddItem:
  {
    HMENU menu = openMenu((arg >> 3) & 1);
    if (!menu) break;
    const int position = arg & 7;
    if (arg & 16)
    {
      HMENU submenu = CreatePopupMenu();
      SWELL_Menu_AddMenuItem(submenu, "Inner", 310 + position, 0);
      SWELL_InsertMenu(menu, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "Added submenu");
    }
    else
      SWELL_InsertMenu(menu, position, MF_BYPOSITION, 210 + position, "Added");
    break;
  }
  case kEventRemoveItem:
    if (HMENU menu = openMenu((arg >> 3) & 1)) DeleteMenu(menu, arg & 7, MF_BYPOSITION);
    break;
  case kEventDestroy:
    if (HWND hwnd = pick(arg); valid(hwnd)) DestroyWindow(hwnd);
    break;
  case kEventFocus:
    if (HWND hwnd = pick(arg); valid(hwnd)) SetFocus(hwnd);
    break;
  default: click(pick(arg), 0); break;
  }
}

// The event runs as a call of its own: a procedure that calls again, calls it again.
void schedule(const Event& event)
{
  if (g->scheduled.size() >= kMaxScheduled) return;
  State* state = g;
  NSTimer* timer = NSTimer::timerWithTimeInterval(1, false, [state, event](NSTimer*) {
    if (g != state || state->spent) return;
    const std::function<void()> call = [event] { runEvent(event); };
    const std::function<void()>* outer = std::exchange(state->current, &call);
    call();
    state->current = outer;
  });
  timer->setFireDate(g->driver->now() + (event.when % 30 + 1) * 0.05);
  NSRunLoop::currentRunLoop()->addTimer(timer);
  timer->retain();
  g->scheduled.push_back(timer);
}

void popUpMenu(HWND hwnd, uint8_t shape)
{
  if (!valid(hwnd)) return;
  NSView* view = viewOf(hwnd);
  NSWindow* window = view ? view->window() : nullptr;
  if (!window) return;
  HMENU menu = CreatePopupMenu();
  const int items = ((shape >> 2) & 3) + 1;
  for (int i = 0; i < items; ++i) SWELL_Menu_AddMenuItem(menu, "Item", 100 + i, 0);
  if (shape & 16)
  {
    HMENU submenu = CreatePopupMenu();
    SWELL_Menu_AddMenuItem(submenu, "Deep", 120, 0);
    SWELL_Menu_AddMenuItem(submenu, "Deeper", 121, 0);
    SWELL_InsertMenu(menu, items, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More");
  }
  static constexpr int kFlags[] = {0, TPM_RETURNCMD, TPM_NONOTIFY, TPM_RETURNCMD | TPM_NONOTIFY};
  const NSPoint screen = window->convertBaseToScreen(view->convertPointToView(NSMakePoint(10, 10), nullptr));
  TrackPopupMenu(menu, kFlags[shape & 3], static_cast<int>(screen.x), static_cast<int>(screen.y), 0, hwnd, nullptr);
  if (swellMenuOf(menu)) DestroyMenu(menu);
}

// Closes a menu (or a list) left open too long, as a user pressing Escape; one that stays
// open regardless is a tracking loop that never ends.
void startCloser()
{
  State* state = g;
  g->closer = NSTimer::timerWithTimeInterval(0.25, true, [state](NSTimer*) {
    if (g != state) return;
    MenuTracker* tracker = MenuTracker::active();
    if (!tracker)
    {
      state->trackedSince = -1;
      return;
    }
    const double now = state->driver->now();
    if (state->trackedSince < 0) state->trackedSince = now;
    const double open = now - state->trackedSince;
    if (open > kMenuNeverEnds) fault("a menu's tracking loop does not end when Escape is pressed");
    if (open > kMenuPatience) press(tracker->window(), kMenuKeys[kMenuEscape]);
  });
  NSRunLoop::currentRunLoop()->addTimer(g->closer);
  g->closer->retain();
}

// ---- calls

const LONG_PTR kStyles[] = {0,
                            WS_CAPTION,
                            WS_CAPTION | WS_THICKFRAME,
                            BS_AUTOCHECKBOX,
                            BS_AUTORADIOBUTTON | WS_GROUP,
                            BS_AUTO3STATE,
                            CBS_SORT,
                            CBS_DROPDOWNLIST};
const int kShowCommands[] = {SW_HIDE, SW_SHOWNA, SW_SHOW, SW_SHOWMINIMIZED};
const double kDurations[] = {0, 0.01, 0.05, 0.1, 0.25, 0.5};
const UINT kIntervals[] = {20, 50, 100, 250};

void advance(double seconds)
{
  // Turning the loop from inside a menu's tracking would take the tracker's input.
  if (MenuTracker::active()) return;
  if (g->driver->now() + seconds > kMaxVirtualSeconds) return;
  g->driver->runFor(seconds);
}

Event readEvent()
{
  Event e;
  e.when = g->in.byte();
  e.what = g->in.byte();
  e.arg = g->in.byte();
  return e;
}

// Reads one call and its arguments; what it does, as a function that can be made again.
std::function<void()> readCall(uint8_t op)
{
  Input& in = g->in;
  switch (op)
  {
  case kCreateTopLevel:
  {
    const uint8_t style = in.byte();
    const HWND owner = pick(in.byte());
    return [=] { makeTopLevel(style, owner); };
  }
  case kCreateChild:
  {
    const HWND parent = pick(in.byte());
    const uint8_t geometry = in.byte();
    return [=] {
      if (valid(parent)) makeChild(parent, kChildWindow, geometry);
    };
  }
  case kCreateDialog:
  {
    const HWND parent = pick(in.byte());
    const uint8_t resource = in.byte();
    return [=] { makeDialog(parent, resource); };
  }
  case kCreateControl:
  {
    const HWND parent = pick(in.byte());
    const uint8_t kind = in.byte();
    const uint8_t geometry = in.byte();
    return [=] {
      if (valid(parent)) makeChild(parent, kind % kChildKindCount, geometry);
    };
  }
  case kDestroy:
  {
    const HWND hwnd = pick(in.byte());
    return [=] {
      if (valid(hwnd)) DestroyWindow(hwnd);
    };
  }
  case kShow:
  {
    const HWND hwnd = pick(in.byte());
    const int command = kShowCommands[in.byte() % 4];
    return [=] {
      if (valid(hwnd)) ShowWindow(hwnd, command);
    };
  }
  case kFocus:
  {
    const HWND hwnd = pick(in.byte());
    return [=] {
      if (valid(hwnd)) SetFocus(hwnd);
    };
  }
  case kClick:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t how = in.byte();
    return [=] { click(hwnd, how); };
  }
  case kKey:
  {
    const HWND hwnd = pick(in.byte());
    const Stroke stroke = kKeys[in.byte() % 16];
    return [=] {
      NSWindow* window = valid(hwnd) ? windowOf(hwnd) : NSApp()->keyWindow();
      if (window && window->isVisible()) press(window, stroke);
    };
  }
  case kTimer:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t how = in.byte();
    return [=] {
      if (!valid(hwnd)) return;
      const UINT_PTR id = (how & 3) + 1;
      if (how & 16) KillTimer(hwnd, (how & 32) ? static_cast<UINT_PTR>(-1) : id);
      else if (g->timersSet < kMaxTimersSet)
      {
        ++g->timersSet;
        SetTimer(hwnd, id, kIntervals[(how >> 2) & 3], nullptr);
      }
    };
  }
  case kAdvance:
  {
    const double seconds = kDurations[in.byte() % 6];
    return [=] { advance(seconds); };
  }
  case kStyle:
  {
    const HWND hwnd = pick(in.byte());
    const LONG_PTR style = kStyles[in.byte() % 8];
    return [=] {
      if (valid(hwnd)) SetWindowLong(hwnd, GWL_STYLE, style);
    };
  }
  case kSetParent:
  {
    const HWND hwnd = pick(in.byte());
    const HWND parent = pick(in.byte());
    return [=] {
      if (valid(hwnd) && (!parent || valid(parent))) SetParent(hwnd, parent);
    };
  }
  case kScroll:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t offsets = in.byte();
    return [=] {
      if (valid(hwnd)) ScrollWindow(hwnd, (offsets & 15) - 8, (offsets >> 4) - 8, nullptr, nullptr);
    };
  }
  case kPaint:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t how = in.byte() % 4;
    return [=] {
      if (!valid(hwnd)) return;
      const RECT corner = {0, 0, 20, 20};
      InvalidateRect(hwnd, how == 1 ? &corner : nullptr, how == 1);
      if (!valid(hwnd)) return;
      if (how < 2) UpdateWindow(hwnd);
      else if (how == 2)
      {
        if (NSWindow* window = windowOf(hwnd))
        {
          const StrongRef<NSWindow> keep(window);
          window->displayIfNeeded();
        }
      }
      else
        advance(0);
    };
  }
  case kEnumChildren:
  {
    const HWND hwnd = pick(in.byte());
    return [=] {
      if (valid(hwnd)) EnumChildWindows(hwnd, enumProc, 0);
    };
  }
  case kPopupMenu:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t shape = in.byte();
    std::vector<Event> events(in.byte() % 7);
    for (Event& e : events) e = readEvent();
    return [=] {
      for (const Event& e : events) schedule(e);
      popUpMenu(hwnd, shape);
    };
  }
  case kSchedule:
  {
    const Event event = readEvent();
    return [=] { schedule(event); };
  }
  case kSetPos:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t flags = in.byte();
    const uint8_t x = in.byte(), y = in.byte(), w = in.byte(), h = in.byte();
    return [=] {
      if (!valid(hwnd)) return;
      NSView* view = viewOf(hwnd);
      const bool topLevel = isContentView(view);
      const int scale = topLevel ? 4 : 1;
      HWND after = (flags & 8) ? HWND_BOTTOM : HWND_TOP;
      SetWindowPos(hwnd, after, (topLevel ? 100 : 0) + x % 128 * scale, (topLevel ? 300 : 0) + y % 128 * scale,
                   10 + w % 200, 10 + h % 150, flags & 7);
    };
  }
  case kRule:
  {
    const HWND hwnd = pick(in.byte());
    Reaction reaction;
    reaction.kind = in.byte();
    reaction.action = in.byte();
    reaction.target = in.byte();
    return [=] {
      if (valid(hwnd) && contains(g->known, hwnd) && g->rules.size() < kMaxRules) g->rules.push_back({hwnd, reaction});
    };
  }
  case kDisplayChange:
  {
    const uint8_t selector = in.byte();
    const HWND hwnd = pick(selector);
    return [=] {
      if (selector >= kNone) SWELL_BroadcastMessage(WM_DISPLAYCHANGE, 32, 0);
      else if (valid(hwnd)) SendMessage(hwnd, WM_DISPLAYCHANGE, 32, 0);
    };
  }
  case kDetach:
  {
    const HWND hwnd = pick(in.byte());
    return [=] {
      if (!valid(hwnd)) return;
      NSView* view = swell::outerViewOf(viewOf(hwnd));
      if (view && !isContentView(view) && view->superview()) view->removeFromSuperview();
    };
  }
  case kEnumWindows: return [] { EnumWindows(enumProc, 0); };
  case kType:
  {
    std::string text(in.byte() % 8, 'a');
    for (char& c : text) c = static_cast<char>('a' + in.byte() % 26);
    return [=] {
      if (NSWindow* window = NSApp()->keyWindow(); window && window->isVisible()) g->driver->type(window, text);
    };
  }
  default:
  {
    const HWND hwnd = pick(in.byte());
    const uint8_t how = in.byte();
    return [=] {
      if (valid(hwnd)) EnableWindow(hwnd, (how & 1) ? 1 : (how & 2) ? -1000 : 0);
    };
  }
  }
}

// Between calls every window's focus is the window itself or a view inside it, and the key
// window is one of the application's: a focus left on a view that went away is read later
// by GetFocus, keys and the window's own teardown.
void checkFocus()
{
  const std::vector<NSWindow*> windows = NSApp()->windows();
  if (NSWindow* key = NSApp()->keyWindow(); key && std::find(windows.begin(), windows.end(), key) == windows.end())
    fault("the key window is no longer one of the application's windows");
  for (NSWindow* window : windows)
  {
    NSResponder* first = window->firstResponder();
    if (!first || first == window) continue;
    if (!isLiveObject(first)) fault("a window's focus is a view that has been freed");
    auto* view = dynamic_cast<NSView*>(first);
    if (!view || view->window() != window) fault("a window's focus is a view that is no longer in it");
  }
}

void runCall()
{
  const uint8_t header = g->in.byte();
  if (g_trace) std::fprintf(stderr, "call %s\n", kCallNames[(header & 0x3F) % kCallCount]);
  const std::function<void()> call = readCall((header & 0x3F) % kCallCount);
  for (int i = header >> 6; i > 0; --i)
  {
    Reaction reaction;
    reaction.kind = g->in.byte();
    reaction.action = g->in.byte();
    reaction.target = g->in.byte();
    if (g->oneShots.size() < kMaxOneShots) g->oneShots.push_back(reaction);
  }
  g->current = &call;
  call();
  g->current = nullptr;
  checkFocus();
}

// The windows around views the program never made: a right click names the scroll or clip
// view around a text, and moved to no parent that view becomes a window of its own, which
// the program must destroy like any other.
std::vector<HWND> windowsOfOtherViews()
{
  std::vector<HWND> out;
  for (NSWindow* window : NSApp()->windows())
    if (NSView* content = window->contentView(); content && !isWindowLike(content))
      out.push_back(swellHandleOf(content));
  return out;
}

// Every window left, and every view of the fuzzer's out of its window, destroyed; then one
// pass of the run loop. The first rounds let the procedures react as they will.
void destroyEverything()
{
  for (NSTimer* timer : g->scheduled)
  {
    timer->invalidate();
    timer->release();
  }
  g->scheduled.clear();
  g->oneShots.clear();
  for (int round = 0; round < 8; ++round)
  {
    if (round == 4) g->spent = true;
    const std::vector<HWND> live = liveWindows();
    const std::vector<HWND> others = windowsOfOtherViews();
    if (live.empty() && others.empty()) break;
    for (HWND hwnd : live)
    {
      // An earlier one may have taken this one with it.
      if (!valid(hwnd)) continue;
      if (isContentView(viewOf(hwnd)) || isDetached(hwnd)) DestroyWindow(hwnd);
    }
    for (HWND hwnd : others)
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  g->spent = true;
  g->driver->runFor(0);
  if (g->closer)
  {
    g->closer->invalidate();
    g->closer->release();
    g->closer = nullptr;
  }
  if (!NSApp()->windows().empty())
  {
    for (NSWindow* window : NSApp()->windows())
    {
      NSView* content = window->contentView();
      std::fprintf(stderr, "window_calls_fuzzer: left: a %s, content %s, %s\n", typeid(*window).name(),
                   content ? typeid(*content).name() : "none", window->isVisible() ? "visible" : "hidden");
    }
    fault("a window is left after every window was destroyed");
  }
  if (!liveWindows().empty()) fault("a view is left alive after every window was destroyed");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  g_trace = std::getenv("WINDOW_CALLS_TRACE") != nullptr;
  if (std::getenv("WINDOW_CALLS_DEEPEST"))
    std::atexit([] {
      std::fprintf(stderr, "window_calls_fuzzer: deepest procedure nesting %d, %zu platform objects alive\n", g_deepest,
                   liveObjectCount());
    });
  return 0;
}

namespace
{
void runInput(const uint8_t* data, size_t size)
{
  State state(data, size);
  {
    NSAutoreleasePool pool;
    // A fresh platform for every input: the clock at 0, no window, no timer, so that an input
    // does the same whenever it runs.
    state.driver = std::make_unique<TestDriver>();
    NSApp()->setDelegate(&g_controller);
    SWELL_Internal_PostMessage_Init();
    SWELL_Internal_PMQ_ClearAllMessages(nullptr);
    g = &state;
    startCloser();
    for (int calls = 0; state.in.more() && calls < kMaxCalls && !state.spent; ++calls) runCall();
    destroyEverything();
    g = nullptr;
  }
  state.driver.reset();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  // The platform's objects are listed while they live, so the leak checker sees none of them
  // lost: an input must leave no more of them than it found.
  const size_t before = liveObjectCount();
  runInput(data, size);
  const size_t after = liveObjectCount();
  if (after > before)
  {
    // A first use may make what lives for good (a font, a cursor): the same input again must
    // leave nothing more.
    runInput(data, size);
    if (liveObjectCount() > after)
    {
      std::fprintf(stderr, "window_calls_fuzzer: %zu platform objects outlive each run of this input\n",
                   liveObjectCount() - after);
      fault("platform objects leak");
    }
  }
  return 0;
}
