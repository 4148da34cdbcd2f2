#pragma once

// Walks over a list of objects that call out for each one. Whatever the callee does (destroy
// the next item or one already passed, move an item to another list, destroy the object the
// walk belongs to) the walk never touches freed memory and never reaches an item twice:
// - every item listed when the walk starts is held until it ends, and the owner for the call;
// - an item that no longer belongs to the owner when its turn comes, or that its layer has
//   finished with (see Retirable), is skipped;
// - the walk ends as soon as the owner itself is finished with.
// Items added during the walk are not reached.

#include "platform/appkit/application.h"
#include "platform/appkit/view.h"
#include "platform/foundation/object.h"

#include <algorithm>
#include <type_traits>
#include <vector>

namespace cocoa
{
// An object that its layer can be finished with while references to it remain: the window
// layer's views once destroyed. Walks neither reach such an item nor go on for such an owner.
class Retirable
{
public:
  virtual bool isRetired() const = 0;

protected:
  ~Retirable() = default;
};

inline bool isRetired(const NSObject* object)
{
  auto* retirable = dynamic_cast<const Retirable*>(object);
  return retirable && retirable->isRetired();
}

enum class WalkEnd
{
  Completed,   // every item still there was visited
  Stopped,     // the visitor asked to stop
  OwnerRetired // the owner was finished with during the walk
};

enum class WalkOrder
{
  Forward,  // first to last: back to front for subviews
  Backward  // last to first: front to back for subviews, as hit tests go
};

// Walks that tell objects what happens to them pass over retired ones; the tree's own
// bookkeeping (which window a view is in, which view is under a point) reaches every item.
enum class WalkRetired
{
  Skipped,
  Included
};

// The general walk. `belongs(item)` tells whether an item is still the owner's; `visit(item)`
// returns nothing, or false to stop the walk.
template <class Owner, class Item, class Belongs, class Visit>
WalkEnd walkHeld(Owner* owner, const std::vector<Item*>& items, Belongs belongs, Visit visit,
                 WalkOrder order = WalkOrder::Forward, WalkRetired retired = WalkRetired::Skipped)
{
  const StrongRef<Owner> keepOwner(owner);
  std::vector<StrongRef<Item>> held(items.begin(), items.end());
  if (order == WalkOrder::Backward) std::reverse(held.begin(), held.end());
  const bool heedRetired = retired == WalkRetired::Skipped;
  for (const StrongRef<Item>& item : held)
  {
    if (heedRetired && isRetired(owner)) return WalkEnd::OwnerRetired;
    if ((heedRetired && isRetired(item.get())) || !belongs(item.get())) continue;
    if constexpr (std::is_void_v<std::invoke_result_t<Visit, Item*>>)
      visit(item.get());
    else if (!visit(item.get()))
      return WalkEnd::Stopped;
  }
  return heedRetired && isRetired(owner) ? WalkEnd::OwnerRetired : WalkEnd::Completed;
}

// Each subview of `parent` that is still its subview when its turn comes.
template <class Visit>
WalkEnd forEachSubview(NSView* parent, Visit visit, WalkOrder order = WalkOrder::Forward,
                       WalkRetired retired = WalkRetired::Skipped)
{
  if (!parent) return WalkEnd::Completed;
  return walkHeld(
      parent, parent->subviews(), [parent](NSView* child) { return child->superview() == parent; }, visit, order,
      retired);
}

// Each window of the application (in the order `windows` gives) that is still one of its
// windows when its turn comes.
template <class Visit>
WalkEnd forEachWindow(const std::vector<NSWindow*>& windows, Visit visit)
{
  NSApplication* app = NSApp();
  return walkHeld(
      app, windows,
      [app](NSWindow* window) {
        const std::vector<NSWindow*> now = app->windows();
        return std::find(now.begin(), now.end(), window) != now.end();
      },
      visit);
}
}  // namespace cocoa
