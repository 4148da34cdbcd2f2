#pragma once

// The list view behind a list-view or list-box handle, its rows and its cells.

#include "swell-listview.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/color.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/table_view.h"
#include "platform/appkit/text_field.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Swell_vVorna_listview;

// Controls inside window views mark every window view above them as having something
// below them to draw again.
void swellMarkAncestorsChanged(cocoa::NSView* from);

// A native control of the layer: every redraw it asks for marks the window views above it.
template <class Base>
class SWELL_MarksAncestorsChanged : public Base
{
public:
  using Base::Base;
  void setNeedsDisplay(bool needed) override
  {
    Base::setNeedsDisplay(needed);
    if (needed) swellMarkAncestorsChanged(this);
  }
  void setNeedsDisplayInRect(cocoa::NSRect rect) override
  {
    Base::setNeedsDisplayInRect(rect);
    swellMarkAncestorsChanged(this);
  }
};

struct SWELL_ListView_Row
{
  std::vector<std::string> m_texts;  // by column; a missing entry reads as empty
  LPARAM m_param = 0;
  // Small images: the image index + 1; state images: the state-image index; 0 none.
  int m_image = 0;
  bool m_wasSelected = false;

  const char* text(int col) const;
};

// A row's text in one column; it has no highlight of its own in a view with selection
// colours of its own (that view fills the selection itself).
class Swell_vVorna_listviewcell : public cocoa::NSTextFieldCell
{
public:
  Swell_vVorna_listviewcell();
};

// The first column's cell when an image list is set: the image in a square on the left,
// the text after it.
class Swell_vVorna_statuscell : public Swell_vVorna_listviewcell
{
public:
  // Not owned; null for none.
  void setStatusImage(HGDIOBJ image) { m_status = image; }
  HGDIOBJ statusImage() const { return m_status; }
  void drawWithFrame(cocoa::NSRect frame, cocoa::NSView* view) override;

private:
  HGDIOBJ m_status = nullptr;
};

// A list box's row drawn by its owner through WM_DRAWITEM.
class Swell_vVorna_ODlistviewcell : public Swell_vVorna_listviewcell
{
public:
  void setOwnerControl(Swell_vVorna_listview* control)
  {
    m_ownctl = control;
    m_lastidx = 0;
  }
  void setItemIdx(int index) { m_lastidx = index; }
  void drawWithFrame(cocoa::NSRect frame, cocoa::NSView* view) override;

private:
  Swell_vVorna_listview* m_ownctl = nullptr;
  int m_lastidx = 0;
};

class Swell_vVorna_listview : public SWELL_MarksAncestorsChanged<cocoa::NSTableView>,
                              public cocoa::NSTableViewDataSource,
                              public SWELL_MessageTarget,
                              public SWELL_Taggable,
                              public SWELL_StyleHolder
{
public:
  Swell_vVorna_listview(int style, bool listBoxMode);

  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  HWND handle() const { return swellHandleOf(this); }
  int getSwellStyle() const override { return style; }
  void setSwellStyle(int value) override { style = value; }
  int getSwellNotificationMode() const { return m_lbMode; }
  void setSwellNotificationMode(int mode) { m_lbMode = mode; }
  bool isOwnerData() const { return !m_lbMode && (style & LVS_OWNERDATA); }
  int itemCount() const;
  // Display position of a column index (the index itself when out of range), and back
  // (-1 for a column not in the list, the position itself when out of range).
  int getColumnPos(int index) const;
  int getColumnIdx(int position) const;
  int columnIndexAtPoint(cocoa::NSPoint point) const;
  // The row's text in a column, or null when the row (or text) is missing.
  const char* rowText(int row, int col) const;

  // Where a text goes among the rows kept in order.
  int sortedInsertPosition(const char* key) const;
  // Inserts a row at the position (clamped) with a copy of the text; the selection moves
  // with the rows after it.
  int insertRow(int position, const char* text, const LVITEM* item);
  bool deleteRow(int index);
  void deleteAllRows();
  bool setItemState(int index, UINT state, UINT mask);
  void sortRows(PFNLVCOMPARE compare, LPARAM lParamSort);
  // Selects one row as the style says: added to the selection or replacing it.
  void selectRow(int row);
  // Sets the selection to the rows, `focus` (when selected) becoming the table's selected row.
  void setSelection(const std::vector<int>& rows, int focus);
  // The enclosing scroll view, or null.
  cocoa::NSScrollView* enclosingScrollView() const;
  cocoa::NSRect documentVisibleRect() const;

  LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void onSwellCommand(cocoa::NSObject*) {}

  // Table data.
  cocoa::NSInteger numberOfRowsInTableView(cocoa::NSTableView*) override { return itemCount(); }
  cocoa::NSString objectValueForTableColumn(cocoa::NSTableView*, cocoa::NSTableColumn* column,
                                            cocoa::NSInteger row) override;

  void highlightSelectionInClipRect(cocoa::NSRect clip) override;
  void mouseDown(cocoa::NSEvent* event) override;
  void mouseDragged(cocoa::NSEvent* event) override;
  void mouseUp(cocoa::NSEvent* event) override;
  void rightMouseUp(cocoa::NSEvent* event) override;

  // Sends a list-view notification to the parent window; returns its answer.
  LRESULT notify(int code, int item, int subItem, cocoa::NSPoint action, LPARAM lParam, UINT newState = 0);

  // The window's data, in the order the rest of the layer knows it.
  int m_leftmousemovecnt = 0;
  bool m_fakerightmouse = false;
  int style = 0;
  int ownermode_cnt = 0;
  int m_start_item = -1;
  int m_start_subitem = -1;
  int m_start_item_clickmode = 0;  // 1 state-image click, 2 drag begun, 4 fast click
  int m_lbMode = 0;
  std::vector<std::unique_ptr<SWELL_ListView_Row>> m_items;
  std::vector<cocoa::NSTableColumn*> m_cols;  // in insertion order
  HIMAGELIST m_status_imagelist = nullptr;
  int m_status_imagelist_type = -1;
  unsigned m_fastClickMask = 0;
  std::optional<cocoa::NSColor> m_fgColor;
  std::optional<std::vector<cocoa::NSColor>> m_selColors;

protected:
  void dealloc() override;
  void prepareCell(cocoa::NSCell* cell, cocoa::NSTableColumn* column, cocoa::NSInteger row) override;

private:
  bool addsToSelection() const;
  void rightButtonReleased(cocoa::NSEvent* event);
  cocoa::NSEvent* m_pressEvent = nullptr;  // retained while the table has not seen the press
  // (y << 16) | (x & 0xFFFF) of the cursor, in the parent's client coordinates or the screen's.
  LPARAM cursorForParent(bool screen) const;
  cocoa::NSInteger m_tag = 0;
  // The display-info text of an owner-data cell.
  char m_dispText[1024] = {};
  // Its image value: a state-image index, or a small image's index + 1.
  int m_dispImage = 0;

  friend class Swell_vVorna_listviewcell;
};

// The list view behind a handle, or null.
Swell_vVorna_listview* swellListView(HWND hwnd);

// A list view (or, in list-box mode, a list box) in a scroll view placed in the parent at
// the frame; its first column is there already. Returns the list view, owned by the tree.
Swell_vVorna_listview* swellCreateListView(cocoa::NSView* parent, int id, int style, cocoa::NSRect frame,
                                           bool listBoxMode);

// A colour integer 0xRRGGBB as a colour.
cocoa::NSColor swellColorFromInt(int color);
