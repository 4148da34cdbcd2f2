#include "platform/appkit/tab_view.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/font.h"
#include "platform/appkit/text_layout.h"
#include "platform/appkit/theme.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
namespace
{
CTFontRef tabFont()
{
  return NSFont::systemFontOfSize(controlTheme().fonts.regular);
}
}  // namespace

NSTabView::NSTabView(NSRect frame) : NSView(frame) {}

void NSTabView::dealloc()
{
  for (NSTabViewItem* item : m_items) item->release();
  m_items.clear();
  NSView::dealloc();
}

NSTabViewItem* NSTabView::tabViewItemAtIndex(NSInteger index) const
{
  return index >= 0 && index < numberOfTabViewItems() ? m_items[index] : nullptr;
}

NSInteger NSTabView::indexOfTabViewItem(const NSTabViewItem* item) const
{
  const auto found = std::find(m_items.begin(), m_items.end(), item);
  return found == m_items.end() ? -1 : found - m_items.begin();
}

void NSTabView::insertTabViewItem(NSTabViewItem* item, NSInteger index)
{
  if (!item || indexOfTabViewItem(item) >= 0) return;
  item->retain();
  m_items.insert(m_items.begin() + std::clamp<NSInteger>(index, 0, numberOfTabViewItems()), item);
  setNeedsDisplay(true);
  if (!m_selected) select(item);
}

void NSTabView::removeTabViewItem(NSTabViewItem* item)
{
  const NSInteger index = indexOfTabViewItem(item);
  if (index < 0) return;
  m_items.erase(m_items.begin() + index);
  setNeedsDisplay(true);
  if (m_selected == item)
  {
    m_selected = nullptr;
    if (!m_items.empty()) select(m_items[std::min<NSInteger>(index, numberOfTabViewItems() - 1)]);
  }
  item->release();
}

void NSTabView::selectTabViewItemAtIndex(NSInteger index)
{
  if (NSTabViewItem* item = tabViewItemAtIndex(index)) select(item);
}

void NSTabView::select(NSTabViewItem* item)
{
  m_selected = item;
  setNeedsDisplay(true);
  if (m_delegate) m_delegate->tabViewDidSelectTabViewItem(this, item);
}

NSRect NSTabView::tabRectAtIndex(NSInteger index) const
{
  if (!tabViewItemAtIndex(index)) return NSRect{};
  const ControlTheme& theme = controlTheme();
  CGFloat x = theme.metrics.tabPaddingX / 2;
  for (NSInteger i = 0;; ++i)
  {
    const CGFloat width = std::ceil(textWidth(tabFont(), m_items[i]->label().str())) + 2 * theme.metrics.tabPaddingX;
    if (i == index) return NSMakeRect(x, 0, width, theme.metrics.tabHeight);
    x += width - 1;
  }
}

void NSTabView::drawRect(NSRect)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const CGFloat tabHeight = theme.metrics.tabHeight;
  const NSRect b = bounds();
  // The page area: framed below the row of tabs.
  const NSRect page = NSMakeRect(0, tabHeight - 1, b.size.width, b.size.height - tabHeight + 1);
  fillRoundedRect(context, page, theme.metrics.boxRadius, theme.colors.boxFill);
  strokeRoundedRect(context, page, theme.metrics.boxRadius, theme.colors.boxBorder, 1);
  const FontLineMetrics font = fontLineMetrics(tabFont());
  for (NSInteger i = 0; i < numberOfTabViewItems(); ++i)
  {
    const NSRect tab = tabRectAtIndex(i);
    const bool selected = m_items[i] == m_selected;
    drawBezel(context, NSInsetRect(tab, 0, 2), theme.metrics.squareButtonRadius,
              selected ? theme.colors.accent : theme.colors.face, selected ? theme.colors.accentPressed : theme.colors.border,
              !selected);
    const CGFloat baseline = tab.origin.y + std::floor((tab.size.height - font.lineHeight) / 2) + font.ascent;
    drawTextLine(context, tabFont(), m_items[i]->label().str(), tab.origin.x + theme.metrics.tabPaddingX, baseline,
                 selected ? theme.colors.accentText : theme.colors.text);
  }
}

void NSTabView::mouseDown(NSEvent* event)
{
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  // Selecting tells the delegate, and the walk ends there.
  for (NSInteger i = 0; i < numberOfTabViewItems(); ++i)
    if (NSPointInRect(point, tabRectAtIndex(i)))
    {
      if (m_items[i] != m_selected) select(m_items[i]);
      return;
    }
}
}  // namespace cocoa
