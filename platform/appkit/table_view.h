#pragma once

#include "platform/appkit/cell.h"
#include "platform/appkit/color.h"
#include "platform/appkit/view.h"
#include "platform/foundation/range.h"

#include <set>
#include <vector>

namespace cocoa
{
class NSTableView;

enum NSSortIndicator
{
  NSSortIndicatorNone = 0,
  NSSortIndicatorAscending,
  NSSortIndicatorDescending,
};

enum : unsigned
{
  NSTableViewGridNone = 0,
  NSTableViewSolidVerticalGridLineMask = 1,
  NSTableViewSolidHorizontalGridLineMask = 2,
};

// One column: its width, its title cell and the cell its rows are drawn with.
class NSTableColumn : public NSObject
{
public:
  NSTableColumn();

  CGFloat width() const { return m_width; }
  void setWidth(CGFloat width);
  bool isHidden() const { return m_hidden; }
  void setHidden(bool hidden);
  bool isEditable() const { return false; }
  // Both cells are retained.
  NSCell* dataCell() const { return m_dataCell; }
  void setDataCell(NSCell* cell);
  NSCell* headerCell() const { return m_headerCell; }
  NSSortIndicator sortIndicator() const { return m_indicator; }
  void setSortIndicator(NSSortIndicator indicator);
  NSTableView* tableView() const { return m_table; }

protected:
  void dealloc() override;

private:
  friend class NSTableView;
  void changed();
  CGFloat m_width = 100;
  bool m_hidden = false;
  NSCell* m_dataCell = nullptr;
  NSCell* m_headerCell = nullptr;
  NSSortIndicator m_indicator = NSSortIndicatorNone;
  NSTableView* m_table = nullptr;
};

// Where a table's rows and texts come from.
class NSTableViewDataSource
{
public:
  virtual ~NSTableViewDataSource() = default;
  virtual NSInteger numberOfRowsInTableView(NSTableView*) { return 0; }
  virtual NSString objectValueForTableColumn(NSTableView*, NSTableColumn*, NSInteger) { return NSString(); }
};

// What a table tells: selection changes the user made (programmatic ones are the caller's
// own business and are not reported), clicks on column titles, and each cell before it is
// drawn.
class NSTableViewDelegate
{
public:
  virtual ~NSTableViewDelegate() = default;
  virtual void tableViewSelectionDidChange(NSTableView*) {}
  virtual void tableViewDidClickTableColumn(NSTableView*, NSTableColumn*) {}
  virtual void tableViewWillDisplayCell(NSTableView*, NSCell*, NSTableColumn*, NSInteger) {}
  // A second click on a row, after the first selected it (clickedRow tells which).
  virtual void tableViewDoubleClicked(NSTableView*) {}
};

// Rows of cells under column titles. The titles lie over the top of what is on show, so
// rows start below them; a scroll view carries the table and the table sizes itself to its
// rows and columns (at least as large as the area it is shown in).
class NSTableView : public NSView
{
public:
  explicit NSTableView(NSRect frame = NSRect{});

  // Neither is retained.
  void setDataSource(NSTableViewDataSource* source) { m_dataSource = source; }
  NSTableViewDataSource* dataSource() const { return m_dataSource; }
  void setDelegate(NSTableViewDelegate* delegate) { m_delegate = delegate; }
  NSTableViewDelegate* delegate() const { return m_delegate; }

  // Columns in display order; the table retains them.
  const std::vector<NSTableColumn*>& tableColumns() const { return m_columns; }
  void addTableColumn(NSTableColumn* column);
  void removeTableColumn(NSTableColumn* column);
  void moveColumn(NSInteger from, NSInteger to);
  NSInteger numberOfColumns() const { return static_cast<NSInteger>(m_columns.size()); }
  // The display position of a column, -1 when it is not this table's.
  NSInteger columnIndexOf(const NSTableColumn* column) const;
  bool allowsColumnReordering() const { return m_allowsReordering; }
  void setAllowsColumnReordering(bool allows) { m_allowsReordering = allows; }
  bool hasHeader() const { return m_hasHeader; }
  void setHasHeader(bool has);
  CGFloat headerHeight() const;

  // Rows: asked of the data source at every reload.
  void reloadData();
  void noteNumberOfRowsChanged() { reloadData(); }
  NSInteger numberOfRows() const { return m_rowCount; }
  // Between these the table does not reload; the last end reloads once.
  void beginUpdates() { ++m_updateDepth; }
  void endUpdates();
  CGFloat rowHeight() const { return m_rowHeight; }
  void setRowHeight(CGFloat height);
  NSSize intercellSpacing() const { return m_intercellSpacing; }

  // Selection. selectedRow is the row selected last (the one clicked), -1 when none.
  bool allowsMultipleSelection() const { return m_allowsMultiple; }
  void setAllowsMultipleSelection(bool allows) { m_allowsMultiple = allows; }
  bool allowsEmptySelection() const { return m_allowsEmpty; }
  void setAllowsEmptySelection(bool allows) { m_allowsEmpty = allows; }
  const std::set<NSInteger>& selectedRowIndexes() const { return m_selection; }
  NSInteger selectedRow() const { return m_selectedRow; }
  // Where the last press on the rows landed (display position of the column); -1 for none.
  NSInteger clickedRow() const { return m_clickedRow; }
  NSInteger clickedColumn() const { return m_clickedColumn; }
  NSInteger numberOfSelectedRows() const { return static_cast<NSInteger>(m_selection.size()); }
  bool isRowSelected(NSInteger row) const { return m_selection.count(row) != 0; }
  // Rows outside the table are left out.
  void selectRowIndexes(const std::set<NSInteger>& rows, bool extend);
  void deselectRow(NSInteger row);
  void deselectAll();

  // Geometry in the table's own (flipped) coordinates.
  NSRect rectOfRow(NSInteger row) const;
  NSRect rectOfColumn(NSInteger column) const;
  NSRect frameOfCellAtColumn(NSInteger column, NSInteger row) const;
  NSInteger rowAtPoint(NSPoint point) const;
  NSInteger columnAtPoint(NSPoint point) const;
  NSRange rowsInRect(NSRect rect) const;
  void scrollRowToVisible(NSInteger row);
  void scrollColumnToVisible(NSInteger column);

  // Looks.
  unsigned gridStyleMask() const { return m_gridMask; }
  void setGridStyleMask(unsigned mask);
  NSColor gridColor() const { return m_gridColor; }
  void setGridColor(const NSColor& color);
  NSColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const NSColor& color);
  // The table in the window's key view: its selection shows in the accent colour.
  bool isFocusedInKeyWindow() const;

  bool isFlipped() const override { return true; }
  bool isOpaque() const override { return true; }
  bool acceptsFirstResponder() override { return true; }
  void drawRect(NSRect dirty) override;
  // The default highlight: the selected rows' parts of the clip rectangle.
  virtual void highlightSelectionInClipRect(NSRect clip);
  void mouseDown(NSEvent* event) override;
  void keyDown(NSEvent* event) override;
  void viewDidMoveToSuperview() override;

protected:
  void dealloc() override;
  // The user's own choice of rows, reported to the delegate.
  void selectByUser(const std::set<NSInteger>& rows, bool extend);
  // A data cell ready to draw: its value and whatever the delegate makes of it.
  virtual void prepareCell(NSCell* cell, NSTableColumn* column, NSInteger row);
  // The part of the first column's cell that belongs to the row (an outline indents it).
  virtual NSRect cellFrameForDrawing(NSInteger column, NSInteger row) const { return frameOfCellAtColumn(column, row); }
  virtual void drawRowDecorations(NSInteger, NSRect) {}
  // Sizes the table to its rows and columns and the area it is shown in.
  void tile();

private:
  void drawHeader(NSRect visible);
  void drawGrid(NSRect clip);
  CGFloat totalColumnWidth() const;

  NSTableViewDataSource* m_dataSource = nullptr;
  NSTableViewDelegate* m_delegate = nullptr;
  std::vector<NSTableColumn*> m_columns;
  NSInteger m_rowCount = 0;
  int m_updateDepth = 0;
  bool m_reloadPending = false;
  CGFloat m_rowHeight;
  NSSize m_intercellSpacing{0, 0};
  bool m_hasHeader = true;
  bool m_allowsReordering = false;
  bool m_allowsMultiple = false;
  bool m_allowsEmpty = true;
  std::set<NSInteger> m_selection;
  NSInteger m_selectedRow = -1;
  NSInteger m_anchorRow = -1;
  NSInteger m_clickedRow = -1;
  NSInteger m_clickedColumn = -1;
  unsigned m_gridMask = NSTableViewGridNone;
  NSColor m_gridColor;
  NSColor m_backgroundColor;
};
}  // namespace cocoa
