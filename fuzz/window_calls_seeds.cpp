#include "seed_writer.h"
#include "window_calls_format.h"

#include <initializer_list>
#include <string>
#include <vector>

// Writes window_calls_fuzzer's seeds into the directory given as the argument: programs of
// calls (window_calls_format.h) that build small trees of windows, dialogs and fields and
// give their procedures hostile reactions. Some walk the tree while a procedure destroys or
// moves what the walk holds; others are the faults the layer has had: the focus kept on a
// view its procedure destroyed, a field destroyed on its own EN_KILLFOCUS, a timer replaced
// on a view only its timers keep, a window rebuilt for its style and destroyed on its
// WM_MOVE, a context menu's command sent to a window destroyed while it was open, and an
// open menu that gains items. The serials named below count the windows and controls in the
// order the program makes them (a dialog first, then its controls in their order).
namespace
{
using namespace window_calls;

struct OneShot
{
  uint8_t kind, action, target;
};

struct Event
{
  uint8_t when, what, arg;
};

class Program
{
public:
  Program& call(Call c, std::initializer_list<uint8_t> args, std::initializer_list<OneShot> reactions = {})
  {
    m_bytes.push_back(static_cast<uint8_t>(c | (reactions.size() << 6)));
    m_bytes.insert(m_bytes.end(), args);
    for (const OneShot& r : reactions) m_bytes.insert(m_bytes.end(), {r.kind, r.action, r.target});
    return *this;
  }
  Program& topLevel(uint8_t style = 0, uint8_t owner = kNone) { return call(kCreateTopLevel, {style, owner}); }
  Program& child(int parent, uint8_t geometry = 0) { return call(kCreateChild, {bySerial(parent), geometry}); }
  Program& dialog(uint8_t parent, Resource resource, int answer)
  {
    return call(kCreateDialog, {parent, static_cast<uint8_t>(resource | (answer << 2))});
  }
  Program& rule(int serial, Kind kind, Action action, uint8_t target)
  {
    return call(kRule, {bySerial(serial), kind, action, target});
  }
  Program& on(int serial, Call c, std::initializer_list<uint8_t> more = {})
  {
    std::vector<uint8_t> args{bySerial(serial)};
    args.insert(args.end(), more);
    m_bytes.push_back(c);
    m_bytes.insert(m_bytes.end(), args.begin(), args.end());
    return *this;
  }
  Program& advance(uint8_t duration) { return call(kAdvance, {duration}); }
  Program& popup(int serial, uint8_t shape, std::initializer_list<Event> events,
                 std::initializer_list<OneShot> reactions = {})
  {
    m_bytes.insert(m_bytes.end(), {static_cast<uint8_t>(kPopupMenu | (reactions.size() << 6)), bySerial(serial), shape,
                                   static_cast<uint8_t>(events.size())});
    for (const Event& e : events) m_bytes.insert(m_bytes.end(), {e.when, e.what, e.arg});
    for (const OneShot& r : reactions) m_bytes.insert(m_bytes.end(), {r.kind, r.action, r.target});
    return *this;
  }
  Program& schedule(Event e) { return call(kSchedule, {e.when, e.what, e.arg}); }
  const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
  std::vector<uint8_t> m_bytes;
};

// WM_INITDIALOG's answers (kCreateDialog's resource, bits 2..3).
constexpr int kFocusFirst = 0;
constexpr int kFocusNone = 1;
constexpr int kFocusDialog = 2;

// A parent view in a top-level window of its own with three children, and a top-level window
// elsewhere: serials 0 the window, 1 the parent, 2..4 the children, 5 the one elsewhere; in
// the live order the one elsewhere is the sixth.
Program threeChildren()
{
  Program p;
  p.topLevel().child(0, 0xFF);
  for (int i = 0; i < 3; ++i) p.child(1, static_cast<uint8_t>(i * 5));
  p.topLevel();
  return p;
}

// The first child reached attacks: itself, the child after it, the walk's owner, or moves the
// child after it to the window elsewhere.
enum Attack
{
  kItself,
  kNext,
  kOwner,
  kMoveNext
};

void attack(Program& p, int serial, Kind kind, Attack a)
{
  switch (a)
  {
  case kItself: p.rule(serial, kind, kDestroyTarget, target(kSelf)); break;
  case kNext: p.rule(serial, kind, kDestroyTarget, target(kNextSibling)); break;
  case kOwner: p.rule(serial, kind, kDestroyTarget, target(kParent)); break;
  default: p.rule(serial, kind, kMoveTarget, target(kNextSibling, 5)); break;
  }
}

const char* attackName(Attack a)
{
  switch (a)
  {
  case kItself: return "itself";
  case kNext: return "next";
  case kOwner: return "owner";
  default: return "move-next";
  }
}

struct Seed
{
  std::string name;
  std::vector<uint8_t> bytes;
};

void add(std::vector<Seed>& seeds, const std::string& name, const Program& p)
{
  seeds.push_back({name, p.bytes()});
}

std::vector<Seed> walkSeeds()
{
  std::vector<Seed> seeds;
  const struct
  {
    const char* name;
    Kind heard;
    Call call;
    std::initializer_list<uint8_t> args;
  } walks[] = {
      {"destroy", kDestroyMessage, kDestroy, {}},
      {"enum-children", kEnumeration, kEnumChildren, {}},
      {"display-change", kDisplayChangeMessage, kDisplayChange, {}},
      {"scroll", kSize, kScroll, {0xD8}},
      {"paint", kPaintMessage, kPaint, {2}},
      {"hide", kShowWindow, kShow, {0}},
  };
  for (const auto& walk : walks)
    for (Attack a : {kItself, kNext, kOwner, kMoveNext})
    {
      Program p = threeChildren();
      attack(p, 2, walk.heard, a);
      p.on(1, walk.call, walk.args);
      add(seeds, std::string("walk-") + walk.name + "-" + attackName(a), p);
    }

  // An owner's owned windows, most recent first: serials 0 the owner, 1..3 owned, 4 elsewhere.
  for (Attack a : {kItself, kNext, kOwner})
  {
    Program p;
    p.topLevel();
    for (int i = 0; i < 3; ++i) p.topLevel(1, bySerial(0));
    p.topLevel();
    const uint8_t targets[] = {target(kSelf), target(kPick, 2), target(kPick, 0)};
    p.rule(3, kDestroyMessage, kDestroyTarget, targets[a]);
    p.on(0, kDestroy);
    add(seeds, std::string("walk-owned-") + attackName(a), p);
  }

  // Every window hears a broadcast and is met by EnumWindows: the first destroys itself or
  // the next.
  for (Attack a : {kItself, kNext})
  {
    for (Kind heard : {kDisplayChangeMessage, kEnumeration})
    {
      Program p;
      for (int i = 0; i < 3; ++i) p.topLevel();
      for (int i = 0; i < 3; ++i)
        p.rule(i, heard, kDestroyTarget, a == kItself ? target(kSelf) : target(kPick, (i + 1) % 3));
      if (heard == kEnumeration) p.call(kEnumWindows, {});
      else p.call(kDisplayChange, {kNone});
      add(seeds, std::string(heard == kEnumeration ? "walk-enum-windows-" : "walk-broadcast-") + attackName(a), p);
    }
  }
  return seeds;
}

// The faults, each as the shortest program that shows it.
std::vector<Seed> faultSeeds()
{
  std::vector<Seed> seeds;
  {
    // A child that destroys itself on the WM_MOUSEACTIVATE its click sends is left the focus.
    Program p;
    p.topLevel().child(0, 0x55).rule(1, kMouseActivate, kDestroyTarget, target(kSelf));
    p.on(1, kClick, {0x6C}).call(kKey, {kNone, 0});
    add(seeds, "fault-focus-destroyed-on-mouse-activate", p);
  }
  {
    // A dialog that destroys its multi-line field on the field's EN_SETFOCUS (serials: 0 the
    // dialog, 1 the multi-line field, 2 the single-line one, 3 OK).
    Program p;
    p.dialog(kNone, kTwoFields, kFocusDialog).rule(0, kEditSetFocus, kDestroyTarget, target(kSender));
    p.on(1, kFocus).call(kKey, {kNone, 9});
    add(seeds, "fault-focus-destroyed-on-setfocus", p);
  }
  {
    // The field losing the focus destroys, on its EN_KILLFOCUS, the field the focus moves to.
    Program p;
    p.dialog(kNone, kTwoFields, kFocusDialog).on(2, kFocus);
    p.rule(0, kEditKillFocus, kDestroyTarget, target(kPick, 1)).on(1, kFocus).call(kKey, {kNone, 9});
    add(seeds, "fault-focus-target-destroyed-on-killfocus", p);
  }
  {
    // A dialog destroys the multi-line field on its EN_KILLFOCUS, when it still is a window.
    Program p;
    p.dialog(kNone, kTwoFields, kFocusDialog).on(1, kFocus);
    p.rule(0, kEditKillFocus, kDestroyTarget, target(kSender)).on(2, kFocus);
    add(seeds, "fault-field-destroyed-on-killfocus", p);
  }
  {
    // A timer replaced on a view that only its timers keep alive.
    Program p;
    p.topLevel().child(0).on(1, kTimer, {2 << 2}).on(1, kDetach).on(1, kTimer, {3 << 2});
    add(seeds, "fault-timer-replaced-on-view-kept-by-timers", p);
  }
  {
    // A window rebuilt for its new style, destroyed by its procedure on the WM_MOVE the new
    // window's placement sends.
    Program p;
    p.topLevel(1).rule(0, kMove, kDestroyTarget, target(kSelf)).on(0, kStyle, {2});
    add(seeds, "fault-restyled-window-destroyed-on-move", p);
  }
  {
    // A context menu for a child whose timer destroys it while the menu is open; the item is
    // chosen after.
    Program p;
    p.topLevel().child(0, 0xFF).on(1, kTimer, {1 << 2}).rule(1, kTimerTick, kDestroyTarget, target(kSelf));
    p.popup(1, menuShape(0, 2, false), {{5, kEventKey, kMenuDown}, {7, kEventKey, kMenuReturn}});
    add(seeds, "fault-popup-command-to-destroyed-window", p);
  }
  {
    // An open menu gains an item with a submenu; the highlight goes to it and the right arrow
    // opens it.
    Program p;
    p.topLevel();
    p.popup(0, menuShape(1, 2, false),
            {{3, kEventAddItem, 2 | 16}, {5, kEventKey, kMenuUp}, {7, kEventKey, kMenuRight}});
    add(seeds, "fault-open-menu-gains-items", p);
  }
  return seeds;
}

// What the fuzzer found beyond those, each as a short program.
std::vector<Seed> foundSeeds()
{
  std::vector<Seed> seeds;
  {
    // A procedure that destroys its window on every message: DestroyWindow inside WM_DESTROY
    // closes the window again, whose WM_ACTIVATE destroys it once more.
    Program p;
    p.topLevel().rule(0, kAny, kDestroyTarget, target(kSelf)).on(0, kDestroy);
    add(seeds, "found-window-closed-inside-its-close", p);
  }
  {
    // A modeless dialog moves itself into a child of another window at WM_INITDIALOG; its
    // first field's EN_SETFOCUS destroys that child, and the dialog with it, before
    // SWELL_CreateDialog looks at the dialog again.
    Program p;
    p.topLevel().child(0, 0xFF);
    p.call(kCreateDialog, {kNone, kFieldsDialog},
           {{kCreateMessage, kMoveTarget, target(kSelf, 1)}, {kEditSetFocus, kDestroyTarget, target(kPick, 1)}});
    add(seeds, "found-dialog-freed-during-initdialog", p);
  }
  {
    // A child dialog whose first field's EN_SETFOCUS destroys the dialog's parent while the
    // first focus is given.
    Program p;
    p.topLevel().child(0, 0xFF);
    p.call(kCreateDialog, {bySerial(1), kChildDialog}, {{kEditSetFocus, kDestroyTarget, target(kParent)}});
    add(seeds, "found-child-dialog-parent-destroyed-on-first-focus", p);
  }
  {
    // A window resized moves its content view into another window's child on WM_SIZE; the
    // other window, becoming key, destroys that child on WM_ACTIVATE (the first WM_SIZE is
    // the content view's own).
    Program p;
    p.topLevel().topLevel().child(1, 0x30).on(0, kFocus);
    p.call(kSetPos, {bySerial(0), 4, 10, 20, 150, 100},
           {{kSize, kNothing, 0}, {kSize, kMoveTarget, target(kSelf, 2)}, {kActivate, kDestroyTarget, target(kPick, 2)}});
    add(seeds, "found-resized-window-content-freed-on-size", p);
  }
  {
    // A window becoming key moves its content view into another window's child on
    // WM_ACTIVATE; that window, becoming key in turn, destroys the child (the first
    // WM_ACTIVATE is the other window's, losing the keyboard).
    Program p;
    p.topLevel().topLevel().topLevel().child(2, 0xFF);
    p.call(kFocus, {bySerial(0)},
           {{kActivate, kNothing, 0}, {kActivate, kMoveTarget, target(kSelf, 3)}, {kActivate, kDestroyTarget, target(kPick, 3)}});
    add(seeds, "found-key-window-content-freed-on-activate", p);
  }
  {
    // A child's WM_INITMENUPOPUP destroys the child before its context menu opens.
    Program p;
    p.topLevel().child(0, 0xFF);
    p.popup(1, menuShape(1, 2, false), {}, {{kInitMenuPopup, kDestroyTarget, target(kSelf)}});
    add(seeds, "found-popup-window-destroyed-on-initmenupopup", p);
  }
  {
    // SetParent of a child to itself takes it out of its window without destroying it; freed,
    // it hears WM_DESTROY from its release, and its procedure moves it back into a window.
    Program p;
    p.topLevel().child(0).rule(1, kDestroyMessage, kMoveTarget, target(kSelf, 0));
    p.call(kSetParent, {bySerial(1), bySerial(1)});
    add(seeds, "found-set-parent-to-itself", p);
  }
  {
    // The single-line field that has the focus moved to the top of its siblings: the move
    // ends its editing, and its editor, made the focus again, is freed.
    Program p;
    p.dialog(kNone, kFieldsDialog, kFocusFirst).call(kSetPos, {bySerial(1), 0, 10, 10, 80, 20});
    add(seeds, "found-focused-field-moved-to-the-top", p);
  }
  {
    // A child taken out of its window, as a host takes out a view, is freed and hears
    // WM_DESTROY from its release; its procedure moves it into another window.
    Program p;
    p.topLevel().topLevel().child(0).rule(2, kDestroyMessage, kMoveTarget, target(kSelf, 1)).on(2, kDetach);
    add(seeds, "found-view-freed-moves-itself-on-destroy", p);
  }
  {
    // A view about to get a window makes itself a window of its own at WM_CREATE; the window
    // made around it after is another, and the first is left open and empty.
    Program p;
    p.call(kCreateTopLevel, {0, kNone}, {{kCreateMessage, kMoveTarget, target(kSelf, 31)}});
    add(seeds, "found-window-left-without-content", p);
  }
  return seeds;
}

// Ordinary use, for the fuzzer to grow from: a dialog's fields typed into and tabbed through,
// its lists opened and picked from, its buttons clicked; timers ticking; windows restyled,
// moved, hidden, reparented and painted; context menus with submenus chosen from.
std::vector<Seed> useSeeds()
{
  std::vector<Seed> seeds;
  {
    Program p;
    p.dialog(kNone, kFieldsDialog, kFocusFirst).call(kType, {3, 7, 4, 11}).call(kKey, {kNone, 0});
    p.call(kType, {2, 1, 2}).call(kKey, {kNone, 0}).call(kKey, {kNone, 1});
    p.on(3, kClick, {0x6C}).on(7, kClick, {0x6C}).on(6, kFocus).call(kType, {2, 20, 21});
    add(seeds, "use-fields-dialog", p);
  }
  {
    // The drop-down list (serial 5) opens in a loop of its own; a scheduled Down and Return
    // pick from it. The editable combo box (6) is typed into.
    Program p;
    p.dialog(kNone, kFieldsDialog, kFocusNone);
    p.schedule({4, kEventKey, kMenuDown}).schedule({6, kEventKey, kMenuReturn}).on(5, kClick, {0x6C});
    p.on(6, kFocus).call(kType, {3, 0, 1, 2}).on(4, kClick, {0x6C});
    add(seeds, "use-dialog-lists", p);
  }
  {
    Program p;
    p.topLevel().child(0, 0x3A).child(1, 0x11).on(1, kTimer, {1 << 2}).on(2, kTimer, {1 | (2 << 2)});
    p.advance(4).advance(5).on(2, kTimer, {1 | 16}).advance(3).on(1, kTimer, {16 | 32}).advance(4);
    add(seeds, "use-timers", p);
  }
  {
    Program p;
    p.topLevel().child(0, 0xC0).call(kCreateControl, {bySerial(1), kEditField, 0x01});
    p.call(kCreateControl, {bySerial(1), kPushButton, 0x14}).call(kCreateControl, {bySerial(0), kCheckBox, 0x2B});
    p.on(0, kStyle, {2}).on(0, kStyle, {1}).on(4, kStyle, {4}).on(1, kSetPos, {0, 5, 6, 90, 70});
    p.on(0, kSetPos, {4, 10, 20, 180, 140}).on(1, kShow, {0}).on(1, kShow, {1}).on(0, kPaint, {0});
    p.on(3, kSetParent, {bySerial(0)}).on(2, kSetParent, {kNone}).on(1, kScroll, {0x9A}).on(0, kPaint, {3});
    add(seeds, "use-restyle-move-reparent", p);
  }
  {
    Program p;
    p.topLevel();
    p.popup(0, menuShape(0, 3, true),
            {{3, kEventKey, kMenuDown}, {4, kEventKey, kMenuDown}, {5, kEventKey, kMenuDown}, {6, kEventKey, kMenuDown},
             {7, kEventKey, kMenuRight}, {9, kEventClickItem, 16 | 1}});
    p.popup(0, menuShape(1, 2, false), {{3, kEventAddItem, 0}, {4, kEventRemoveItem, 2}, {6, kEventClickItem, 0}});
    p.on(0, kClick, {1 | 0x6C});
    add(seeds, "use-context-menus", p);
  }
  {
    Program p;
    p.topLevel().dialog(bySerial(0), kChildDialog, kFocusFirst).dialog(bySerial(0), kFieldsDialog, kFocusFirst);
    p.on(3, kFocus).on(1, kFocus).on(5, kFocus).on(0, kDisplayChange).call(kEnumWindows, {});
    p.on(0, kEnumChildren).call(kDisplayChange, {kNone}).on(0, kDestroy);
    add(seeds, "use-owned-and-child-dialogs", p);
  }
  return seeds;
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  for (const auto& group : {walkSeeds(), faultSeeds(), foundSeeds(), useSeeds()})
    for (const Seed& seed : group)
      if (!WriteSeed(argv[1], seed.name.c_str(), seed.bytes)) return 1;
  return 0;
}
