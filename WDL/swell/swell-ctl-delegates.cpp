// The window views that the layer's controls tell what happens to them (their delegates).

#include "swell-wnd-internal.h"

#include "platform/appkit/table_view.h"
#include "platform/appkit/text.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/walk.h"

using namespace cocoa;

namespace
{
// Points a delegate that is `from` at `to` (null: no one), or at the nearest window view
// around the control when `from` is null and the delegate lies outside `subtree`.
template <class Control, class Delegate>
void retarget(Control* control, NSView* subtree, NSObject* from, NSObject* to)
{
  Delegate* delegate = control->delegate();
  if (!delegate) return;
  auto* object = dynamic_cast<NSObject*>(delegate);
  if (from ? object != from : (object && dynamic_cast<NSView*>(object) &&
                               dynamic_cast<NSView*>(object)->isDescendantOf(subtree)))
    return;
  control->setDelegate(to ? dynamic_cast<Delegate*>(to) : nullptr);
}

void retargetTree(NSView* view, NSView* subtree, NSObject* from, NSObject* to)
{
  if (auto* field = dynamic_cast<NSTextField*>(view))
    retarget<NSTextField, NSTextFieldDelegate>(field, subtree, from, to);
  else if (auto* text = dynamic_cast<NSText*>(view); text && !text->isFieldEditor())
    retarget<NSText, NSTextDelegate>(text, subtree, from, to);
  else if (auto* table = dynamic_cast<NSTableView*>(view))
    retarget<NSTableView, NSTableViewDelegate>(table, subtree, from, to);
  forEachSubview(
      view, [&](NSView* child) { retargetTree(child, subtree, from, to); }, WalkOrder::Forward,
      WalkRetired::Included);
}
}  // namespace

void swell::retargetControlDelegates(NSView* subtree, NSObject* from, NSObject* to)
{
  if (subtree) retargetTree(subtree, subtree, from, to);
}
