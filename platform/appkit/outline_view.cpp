#include "platform/appkit/outline_view.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/theme.h"

#include <algorithm>

namespace cocoa
{
NSOutlineView::NSOutlineView(NSRect frame) : NSTableView(frame), m_indent(controlTheme().metrics.outlineIndent)
{
  setDataSource(this);
  setDelegate(this);
}

// The items belong to the data source: this walk only hands them back to it, never reads
// them, so a source that changes its tree while it is asked answers for what it still has.
void NSOutlineView::addRows(void* parent, int level, std::set<const void*>* present)
{
  const NSInteger count = m_source->numberOfChildrenOfItem(this, parent);
  for (NSInteger i = 0; i < count; ++i)
  {
    void* item = m_source->childOfItem(this, i, parent);
    if (!item) continue;
    present->insert(item);
    if (level >= 0) m_rows.push_back(Row{item, level});
    // Children of collapsed items are walked too, so that their own expansion is kept.
    const bool shown = level >= 0 && isItemExpanded(item) && m_source->isItemExpandable(this, item);
    addRows(item, shown ? level + 1 : -1, present);
  }
}

void NSOutlineView::reloadOutline()
{
  std::vector<void*> selected;
  for (NSInteger row : selectedRowIndexes()) selected.push_back(itemAtRow(row));
  void* last = itemAtRow(selectedRow());
  m_rows.clear();
  std::set<const void*> present;
  if (m_source) addRows(nullptr, 0, &present);
  std::erase_if(m_expanded, [&present](const void* item) { return !present.count(item); });
  reloadData();
  std::set<NSInteger> rows;
  for (void* item : selected)
    if (NSInteger row = rowForItem(item); row >= 0 && item != last) rows.insert(row);
  selectRowIndexes(rows, false);
  if (NSInteger row = rowForItem(last); row >= 0) selectRowIndexes({row}, true);
}

void* NSOutlineView::itemAtRow(NSInteger row) const
{
  return row >= 0 && row < static_cast<NSInteger>(m_rows.size()) ? m_rows[row].item : nullptr;
}

NSInteger NSOutlineView::rowForItem(const void* item) const
{
  if (!item) return -1;
  for (size_t i = 0; i < m_rows.size(); ++i)
    if (m_rows[i].item == item) return static_cast<NSInteger>(i);
  return -1;
}

NSInteger NSOutlineView::levelForRow(NSInteger row) const
{
  return row >= 0 && row < static_cast<NSInteger>(m_rows.size()) ? m_rows[row].level : -1;
}

void NSOutlineView::expandItem(void* item)
{
  if (!item || isItemExpanded(item)) return;
  m_expanded.insert(item);
  reloadOutline();
}

void NSOutlineView::collapseItem(void* item)
{
  if (!m_expanded.erase(item)) return;
  reloadOutline();
}

void NSOutlineView::setIndentationPerLevel(CGFloat indent)
{
  m_indent = std::max<CGFloat>(0, indent);
  setNeedsDisplay(true);
}

NSRect NSOutlineView::frameOfOutlineCellAtRow(NSInteger row) const
{
  const NSRect cell = frameOfCellAtColumn(0, row);
  if (NSIsEmptyRect(cell)) return NSRect{};
  return NSMakeRect(cell.origin.x + levelForRow(row) * m_indent, cell.origin.y, m_indent, cell.size.height);
}

NSRect NSOutlineView::cellFrameForDrawing(NSInteger column, NSInteger row) const
{
  NSRect cell = frameOfCellAtColumn(column, row);
  if (column != 0) return cell;
  const CGFloat shift = std::min(cell.size.width, (levelForRow(row) + 1) * m_indent);
  cell.origin.x += shift;
  cell.size.width -= shift;
  return cell;
}

void NSOutlineView::drawRowDecorations(NSInteger row, NSRect)
{
  void* item = itemAtRow(row);
  CGContextRef context = currentCGContext();
  if (!context || !item || !m_source || !m_source->isItemExpandable(this, item)) return;
  const NSRect box = frameOfOutlineCellAtRow(row);
  const ControlTheme& theme = controlTheme();
  const NSPoint centre = NSMakePoint(NSMidX(box), NSMidY(box));
  if (isItemExpanded(item))
    drawChevron(context, centre, theme.metrics.chevronSize, true, theme.colors.mark);
  else
    drawSideChevron(context, centre, theme.metrics.chevronSize, true, theme.colors.mark);
}

void NSOutlineView::mouseDown(NSEvent* event)
{
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  const NSInteger row = rowAtPoint(point);
  void* item = itemAtRow(row);
  if (item && m_source && m_source->isItemExpandable(this, item) && NSPointInRect(point, frameOfOutlineCellAtRow(row)))
  {
    if (isItemExpanded(item))
      collapseItem(item);
    else
      expandItem(item);
    return;
  }
  NSTableView::mouseDown(event);
}

NSString NSOutlineView::objectValueForTableColumn(NSTableView*, NSTableColumn* column, NSInteger row)
{
  void* item = itemAtRow(row);
  return item && m_source ? m_source->objectValueForItem(this, column, item) : NSString();
}

void NSOutlineView::tableViewSelectionDidChange(NSTableView*)
{
  if (m_outlineDelegate) m_outlineDelegate->outlineViewSelectionDidChange(this);
}

void NSOutlineView::tableViewWillDisplayCell(NSTableView*, NSCell* cell, NSTableColumn* column, NSInteger row)
{
  if (m_outlineDelegate) m_outlineDelegate->outlineViewWillDisplayCell(this, cell, column, itemAtRow(row));
}
}  // namespace cocoa
