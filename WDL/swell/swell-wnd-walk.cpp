// Walks over a view's children that call out for each one: the procedures they reach may
// destroy any view of the walk, one not yet reached as well as one already passed.

#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"

using namespace cocoa;

namespace
{
bool finishedDestroying(const NSView* view)
{
  auto* windowView = dynamic_cast<const Swell_vVorna_hwnd*>(view);
  return windowView && windowView->m_hashaddestroy == 2;
}
}  // namespace

std::vector<StrongRef<NSView>> swell::retainedSubviews(const NSView* view)
{
  std::vector<StrongRef<NSView>> held;
  if (!view) return held;
  const std::vector<NSView*> children = view->subviews();
  held.reserve(children.size());
  for (NSView* child : children) held.emplace_back(child);
  return held;
}

bool swell::leftDuringWalk(const NSView* child, const NSView* parent)
{
  return child->superview() != parent || finishedDestroying(child) || finishedDestroying(parent);
}
