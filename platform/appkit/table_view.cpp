#include "platform/appkit/table_view.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/font.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cocoa
{
namespace
{
constexpr uint16_t kKeyUp = 126;
constexpr uint16_t kKeyDown = 125;
}  // namespace

NSTableColumn::NSTableColumn()
{
  m_dataCell = new NSTextFieldCell;
  m_headerCell = new NSCell;
  m_headerCell->setFont(NSFont::systemFontOfSize(controlTheme().fonts.small));
  m_headerCell->setWraps(false);
}

void NSTableColumn::dealloc()
{
  m_dataCell->release();
  m_headerCell->release();
  NSObject::dealloc();
}

void NSTableColumn::changed()
{
  if (m_table) m_table->reloadData();
}

void NSTableColumn::setWidth(CGFloat width)
{
  m_width = std::max<CGFloat>(0, width);
  changed();
}

void NSTableColumn::setHidden(bool hidden)
{
  m_hidden = hidden;
  changed();
}

void NSTableColumn::setDataCell(NSCell* cell)
{
  if (!cell || cell == m_dataCell) return;
  cell->retain();
  std::exchange(m_dataCell, cell)->release();
  changed();
}

void NSTableColumn::setSortIndicator(NSSortIndicator indicator)
{
  m_indicator = indicator;
  if (m_table) m_table->setNeedsDisplay(true);
}

NSTableView::NSTableView(NSRect frame) : NSView(frame), m_rowHeight(controlTheme().metrics.tableRowHeight)
{
  m_gridColor = controlTheme().colors.boxBorder;
  m_backgroundColor = controlTheme().colors.fieldBackground;
}

void NSTableView::dealloc()
{
  for (NSTableColumn* column : m_columns)
  {
    column->m_table = nullptr;
    column->release();
  }
  m_columns.clear();
  NSView::dealloc();
}

void NSTableView::addTableColumn(NSTableColumn* column)
{
  if (!column || column->m_table) return;
  column->retain();
  column->m_table = this;
  m_columns.push_back(column);
  reloadData();
}

void NSTableView::removeTableColumn(NSTableColumn* column)
{
  const auto found = std::find(m_columns.begin(), m_columns.end(), column);
  if (found == m_columns.end()) return;
  m_columns.erase(found);
  column->m_table = nullptr;
  column->release();
  reloadData();
}

void NSTableView::moveColumn(NSInteger from, NSInteger to)
{
  const NSInteger count = numberOfColumns();
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  NSTableColumn* column = m_columns[from];
  m_columns.erase(m_columns.begin() + from);
  m_columns.insert(m_columns.begin() + to, column);
  setNeedsDisplay(true);
}

NSInteger NSTableView::columnIndexOf(const NSTableColumn* column) const
{
  const auto found = std::find(m_columns.begin(), m_columns.end(), column);
  return found == m_columns.end() ? -1 : found - m_columns.begin();
}

void NSTableView::setHasHeader(bool has)
{
  m_hasHeader = has;
  tile();
}

CGFloat NSTableView::headerHeight() const
{
  return m_hasHeader ? controlTheme().metrics.tableHeaderHeight : 0;
}

void NSTableView::reloadData()
{
  if (m_updateDepth > 0)
  {
    m_reloadPending = true;
    return;
  }
  m_rowCount = m_dataSource ? std::max<NSInteger>(0, m_dataSource->numberOfRowsInTableView(this)) : 0;
  // Rows that went away leave the selection.
  m_selection.erase(m_selection.lower_bound(m_rowCount), m_selection.end());
  if (m_selectedRow >= m_rowCount) m_selectedRow = m_selection.empty() ? -1 : *m_selection.rbegin();
  tile();
  setNeedsDisplay(true);
}

void NSTableView::endUpdates()
{
  if (m_updateDepth > 0 && --m_updateDepth == 0 && std::exchange(m_reloadPending, false)) reloadData();
}

void NSTableView::setRowHeight(CGFloat height)
{
  m_rowHeight = std::max<CGFloat>(1, height);
  tile();
}

void NSTableView::selectRowIndexes(const std::set<NSInteger>& rows, bool extend)
{
  if (!extend) m_selection.clear();
  NSInteger last = -1;
  for (NSInteger row : rows)
    if (row >= 0 && row < m_rowCount)
    {
      if (!m_allowsMultiple) m_selection.clear();
      m_selection.insert(row);
      last = row;
    }
  if (last >= 0)
    m_selectedRow = m_anchorRow = last;
  else if (!extend)
    m_selectedRow = -1;
  setNeedsDisplay(true);
}

void NSTableView::deselectRow(NSInteger row)
{
  if (!m_selection.erase(row)) return;
  if (m_selectedRow == row) m_selectedRow = m_selection.empty() ? -1 : *m_selection.rbegin();
  setNeedsDisplay(true);
}

void NSTableView::deselectAll()
{
  m_selection.clear();
  m_selectedRow = -1;
  setNeedsDisplay(true);
}

void NSTableView::selectByUser(const std::set<NSInteger>& rows, bool extend)
{
  const std::set<NSInteger> before = m_selection;
  selectRowIndexes(rows, extend);
  if (m_selection != before && m_delegate) m_delegate->tableViewSelectionDidChange(this);
}

CGFloat NSTableView::totalColumnWidth() const
{
  CGFloat total = 0;
  for (const NSTableColumn* column : m_columns)
    if (!column->isHidden()) total += column->width() + m_intercellSpacing.width;
  return total;
}

NSRect NSTableView::rectOfRow(NSInteger row) const
{
  if (row < 0 || row >= m_rowCount) return NSRect{};
  return NSMakeRect(0, headerHeight() + row * m_rowHeight, std::max(totalColumnWidth(), bounds().size.width),
                    m_rowHeight);
}

NSRect NSTableView::rectOfColumn(NSInteger column) const
{
  if (column < 0 || column >= numberOfColumns()) return NSRect{};
  CGFloat x = 0;
  for (NSInteger i = 0; i < column; ++i)
    if (!m_columns[i]->isHidden()) x += m_columns[i]->width() + m_intercellSpacing.width;
  const CGFloat width = m_columns[column]->isHidden() ? 0 : m_columns[column]->width();
  return NSMakeRect(x, 0, width, std::max(bounds().size.height, headerHeight() + m_rowCount * m_rowHeight));
}

NSRect NSTableView::frameOfCellAtColumn(NSInteger column, NSInteger row) const
{
  const NSRect rowRect = rectOfRow(row);
  const NSRect columnRect = rectOfColumn(column);
  if (NSIsEmptyRect(rowRect) || column < 0 || column >= numberOfColumns()) return NSRect{};
  return NSMakeRect(columnRect.origin.x, rowRect.origin.y, columnRect.size.width, rowRect.size.height);
}

NSInteger NSTableView::rowAtPoint(NSPoint point) const
{
  const CGFloat y = point.y - headerHeight();
  if (y < 0 || point.x < 0 || point.x >= std::max(totalColumnWidth(), bounds().size.width)) return -1;
  const auto row = static_cast<NSInteger>(std::floor(y / m_rowHeight));
  return row < m_rowCount ? row : -1;
}

NSInteger NSTableView::columnAtPoint(NSPoint point) const
{
  CGFloat x = 0;
  for (NSInteger i = 0; i < numberOfColumns(); ++i)
  {
    if (m_columns[i]->isHidden()) continue;
    const CGFloat next = x + m_columns[i]->width() + m_intercellSpacing.width;
    if (point.x >= x && point.x < next) return i;
    x = next;
  }
  return -1;
}

NSRange NSTableView::rowsInRect(NSRect rect) const
{
  const CGFloat top = std::max<CGFloat>(0, NSMinY(rect) - headerHeight());
  const CGFloat bottom = NSMaxY(rect) - headerHeight();
  if (bottom <= 0 || m_rowCount == 0) return NSRange{};
  const auto first = std::min(static_cast<NSInteger>(top / m_rowHeight), m_rowCount);
  const auto end = std::min(static_cast<NSInteger>(std::ceil(bottom / m_rowHeight)), m_rowCount);
  return NSMakeRange(static_cast<NSUInteger>(first), static_cast<NSUInteger>(std::max<NSInteger>(0, end - first)));
}

void NSTableView::scrollRowToVisible(NSInteger row)
{
  NSRect rect = rectOfRow(row);
  if (NSIsEmptyRect(rect)) return;
  // The titles cover the top of what is on show.
  rect.origin.y -= headerHeight();
  rect.size.height += headerHeight();
  rect.size.width = 1;
  rect.origin.x = visibleRect().origin.x;
  scrollRectToVisible(rect);
}

void NSTableView::scrollColumnToVisible(NSInteger column)
{
  NSRect rect = rectOfColumn(column);
  if (column < 0 || column >= numberOfColumns()) return;
  rect.origin.y = visibleRect().origin.y;
  rect.size.height = 1;
  scrollRectToVisible(rect);
}

void NSTableView::setGridStyleMask(unsigned mask)
{
  m_gridMask = mask;
  setNeedsDisplay(true);
}

void NSTableView::setGridColor(const NSColor& color)
{
  m_gridColor = color;
  setNeedsDisplay(true);
}

void NSTableView::setBackgroundColor(const NSColor& color)
{
  m_backgroundColor = color;
  setNeedsDisplay(true);
}

bool NSTableView::isFocusedInKeyWindow() const
{
  return window() && window()->isKeyWindow() && window()->firstResponder() == this;
}

void NSTableView::tile()
{
  NSSize size = NSMakeSize(totalColumnWidth(), headerHeight() + m_rowCount * m_rowHeight);
  if (NSView* outer = superview())
  {
    size.width = std::max(size.width, outer->bounds().size.width);
    size.height = std::max(size.height, outer->bounds().size.height);
  }
  if (size.width != frame().size.width || size.height != frame().size.height) NSView::setFrame(NSRect{frame().origin, size});
}

void NSTableView::viewDidMoveToSuperview()
{
  tile();
}

void NSTableView::prepareCell(NSCell* cell, NSTableColumn* column, NSInteger row)
{
  const NSString value = m_dataSource ? m_dataSource->objectValueForTableColumn(this, column, row) : NSString();
  cell->setStringValue(value);
  if (auto* textCell = dynamic_cast<NSTextFieldCell*>(cell)) textCell->setTextColor(controlTheme().colors.text);
  if (m_delegate) m_delegate->tableViewWillDisplayCell(this, cell, column, row);
}

void NSTableView::highlightSelectionInClipRect(NSRect clip)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const NSColor color = isFocusedInKeyWindow() ? theme.colors.selection : theme.colors.selectionInactive;
  for (NSInteger row : m_selection)
  {
    const NSRect part = NSIntersectionRect(rectOfRow(row), clip);
    if (!NSIsEmptyRect(part)) fillRect(context, part, color);
  }
}

void NSTableView::drawGrid(NSRect clip)
{
  CGContextRef context = currentCGContext();
  if (!context || m_gridMask == NSTableViewGridNone) return;
  const CGFloat top = headerHeight();
  if (m_gridMask & NSTableViewSolidHorizontalGridLineMask)
    for (CGFloat y = top + m_rowHeight; y <= NSMaxY(clip); y += m_rowHeight)
      if (y >= NSMinY(clip)) fillRect(context, NSMakeRect(NSMinX(clip), y - 1, clip.size.width, 1), m_gridColor);
  if (m_gridMask & NSTableViewSolidVerticalGridLineMask)
    for (NSInteger i = 0; i < numberOfColumns(); ++i)
    {
      if (m_columns[i]->isHidden()) continue;
      const NSRect column = rectOfColumn(i);
      fillRect(context, NSMakeRect(NSMaxX(column) - 1, top, 1, bounds().size.height - top), m_gridColor);
    }
}

void NSTableView::drawHeader(NSRect visible)
{
  CGContextRef context = currentCGContext();
  if (!context || !m_hasHeader) return;
  const ControlTheme& theme = controlTheme();
  const CGFloat height = headerHeight();
  const NSRect strip = NSMakeRect(visible.origin.x, visible.origin.y, visible.size.width, height);
  fillRect(context, strip, theme.colors.face);
  fillRect(context, NSMakeRect(strip.origin.x, NSMaxY(strip) - 1, strip.size.width, 1), theme.colors.border);
  for (NSInteger i = 0; i < numberOfColumns(); ++i)
  {
    NSTableColumn* column = m_columns[i];
    if (column->isHidden()) continue;
    const NSRect columnRect = rectOfColumn(i);
    NSRect title = NSMakeRect(columnRect.origin.x + theme.metrics.tableCellInsetX, strip.origin.y,
                              columnRect.size.width - 2 * theme.metrics.tableCellInsetX, height - 1);
    if (column->sortIndicator() != NSSortIndicatorNone)
    {
      title.size.width -= 2 * theme.metrics.chevronSize + theme.metrics.tableCellInsetX;
      drawChevron(context, NSMakePoint(NSMaxX(columnRect) - theme.metrics.tableCellInsetX - theme.metrics.chevronSize, NSMidY(title)),
                  theme.metrics.chevronSize, column->sortIndicator() == NSSortIndicatorDescending, theme.colors.mark);
    }
    column->headerCell()->drawWithFrame(title, this);
    fillRect(context, NSMakeRect(NSMaxX(columnRect) - 1, strip.origin.y + 3, 1, height - 7), theme.colors.border);
  }
}

void NSTableView::drawRect(NSRect dirty)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  fillRect(context, dirty, m_backgroundColor);
  highlightSelectionInClipRect(dirty);
  const NSRange rows = rowsInRect(dirty);
  const CGFloat inset = controlTheme().metrics.tableCellInsetX;
  // The data source and the delegate are asked for each cell, and may remove rows and
  // columns meanwhile: counts are read again each turn, and the column and its cell are held
  // while they are drawn.
  for (NSUInteger r = rows.location; r < NSMaxRange(rows) && static_cast<NSInteger>(r) < numberOfRows(); ++r)
  {
    const auto row = static_cast<NSInteger>(r);
    drawRowDecorations(row, rectOfRow(row));
    for (NSInteger c = 0; c < numberOfColumns(); ++c)
    {
      const StrongRef<NSTableColumn> column(m_columns[c]);
      if (column->isHidden()) continue;
      NSRect cellFrame = cellFrameForDrawing(c, row);
      if (!NSIntersectsRect(cellFrame, dirty) || cellFrame.size.width <= 2 * inset) continue;
      cellFrame = NSInsetRect(cellFrame, inset, 0);
      const StrongRef<NSCell> cell(column->dataCell());
      prepareCell(cell.get(), column.get(), row);
      CGContextSaveGState(context);
      CGContextClipToRect(context, cellFrame);
      cell->drawWithFrame(cellFrame, this);
      CGContextRestoreGState(context);
    }
  }
  drawGrid(dirty);
  drawHeader(visibleRect());
}

void NSTableView::mouseDown(NSEvent* event)
{
  const NSPoint point = convertPointFromView(event->locationInWindow(), nullptr);
  if (window()) window()->makeFirstResponder(this);
  if (m_hasHeader && point.y < visibleRect().origin.y + headerHeight())
  {
    const NSInteger column = columnAtPoint(point);
    if (column >= 0 && m_delegate) m_delegate->tableViewDidClickTableColumn(this, m_columns[column]);
    return;
  }
  const NSInteger row = rowAtPoint(point);
  m_clickedRow = row;
  m_clickedColumn = row < 0 ? -1 : columnAtPoint(point);
  const unsigned flags = event->modifierFlags();
  if (row < 0)
  {
    if (m_allowsEmpty && !(flags & (NSEventModifierFlagCommand | NSEventModifierFlagShift))) selectByUser({}, false);
    return;
  }
  if (m_allowsMultiple && (flags & NSEventModifierFlagShift) && m_anchorRow >= 0)
  {
    std::set<NSInteger> range;
    for (NSInteger r = std::min(m_anchorRow, row); r <= std::max(m_anchorRow, row); ++r) range.insert(r);
    const NSInteger anchor = m_anchorRow;
    selectByUser(range, false);
    m_anchorRow = anchor;
    m_selectedRow = row;
  }
  else if (m_allowsMultiple && (flags & NSEventModifierFlagCommand))
  {
    if (isRowSelected(row))
    {
      const std::set<NSInteger> before = m_selection;
      deselectRow(row);
      if (m_delegate && before != m_selection) m_delegate->tableViewSelectionDidChange(this);
    }
    else
      selectByUser({row}, true);
  }
  else
    selectByUser({row}, false);
  if (event->clickCount() == 2 && m_delegate) m_delegate->tableViewDoubleClicked(this);
}

void NSTableView::keyDown(NSEvent* event)
{
  const uint16_t key = event->keyCode();
  if ((key != kKeyUp && key != kKeyDown) || m_rowCount == 0)
  {
    NSView::keyDown(event);
    return;
  }
  NSInteger row = m_selectedRow < 0 ? (key == kKeyDown ? 0 : m_rowCount - 1) : m_selectedRow + (key == kKeyDown ? 1 : -1);
  row = std::clamp<NSInteger>(row, 0, m_rowCount - 1);
  selectByUser({row}, false);
  scrollRowToVisible(row);
}
}  // namespace cocoa
