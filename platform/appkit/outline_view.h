#pragma once

#include "platform/appkit/table_view.h"

#include <set>
#include <vector>

namespace cocoa
{
class NSOutlineView;

// Items are the data source's own pointers; null stands for the invisible root.
class NSOutlineViewDataSource
{
public:
  virtual ~NSOutlineViewDataSource() = default;
  virtual NSInteger numberOfChildrenOfItem(NSOutlineView*, void*) { return 0; }
  virtual void* childOfItem(NSOutlineView*, NSInteger, void*) { return nullptr; }
  virtual bool isItemExpandable(NSOutlineView*, void*) { return false; }
  virtual NSString objectValueForItem(NSOutlineView*, NSTableColumn*, void*) { return NSString(); }
};

// As the table's delegate: user selection changes only.
class NSOutlineViewDelegate
{
public:
  virtual ~NSOutlineViewDelegate() = default;
  virtual void outlineViewSelectionDidChange(NSOutlineView*) {}
  virtual void outlineViewWillDisplayCell(NSOutlineView*, NSCell*, NSTableColumn*, void*) {}
};

// A table whose rows are the items of a tree that are on show: the roots, and the children
// of every expanded item on show. The first column holds the tree, indented by level, with
// an expander before every expandable item.
class NSOutlineView : public NSTableView, private NSTableViewDataSource, private NSTableViewDelegate
{
public:
  explicit NSOutlineView(NSRect frame = NSRect{});

  void setOutlineDataSource(NSOutlineViewDataSource* source) { m_source = source; }
  void setOutlineDelegate(NSOutlineViewDelegate* delegate) { m_outlineDelegate = delegate; }
  NSOutlineViewDelegate* outlineDelegate() const { return m_outlineDelegate; }

  // Rebuilds the rows from the data source; expanded items that are gone are forgotten.
  void reloadOutline();
  void* itemAtRow(NSInteger row) const;
  NSInteger rowForItem(const void* item) const;
  NSInteger levelForRow(NSInteger row) const;
  bool isItemExpanded(const void* item) const { return m_expanded.count(item) != 0; }
  void expandItem(void* item);
  void collapseItem(void* item);
  CGFloat indentationPerLevel() const { return m_indent; }
  void setIndentationPerLevel(CGFloat indent);
  // The expander's square in a row.
  NSRect frameOfOutlineCellAtRow(NSInteger row) const;

  void mouseDown(NSEvent* event) override;

protected:
  NSRect cellFrameForDrawing(NSInteger column, NSInteger row) const override;
  void drawRowDecorations(NSInteger row, NSRect rowRect) override;

private:
  struct Row
  {
    void* item;
    int level;
  };
  NSInteger numberOfRowsInTableView(NSTableView*) override { return static_cast<NSInteger>(m_rows.size()); }
  NSString objectValueForTableColumn(NSTableView*, NSTableColumn* column, NSInteger row) override;
  void tableViewSelectionDidChange(NSTableView*) override;
  void tableViewWillDisplayCell(NSTableView*, NSCell* cell, NSTableColumn* column, NSInteger row) override;
  void addRows(void* parent, int level, std::set<const void*>* present);

  NSOutlineViewDataSource* m_source = nullptr;
  NSOutlineViewDelegate* m_outlineDelegate = nullptr;
  std::vector<Row> m_rows;
  std::set<const void*> m_expanded;
  CGFloat m_indent;
};
}  // namespace cocoa
