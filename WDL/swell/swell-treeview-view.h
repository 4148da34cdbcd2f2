#pragma once

// The outline view behind a tree-view handle and the items it shows.

#include "swell-listview-view.h"
#include "swell-treeview.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/color.h"
#include "platform/appkit/outline_view.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct HTREEITEM__
{
  bool m_hasChildren = false;  // decides the expander, whatever the children are
  std::optional<std::string> m_text;
  std::vector<std::unique_ptr<HTREEITEM__>> m_children;
  LPARAM m_param = 0;

  // Searches the direct children first, then each child's subtree in order.
  bool FindItem(const HTREEITEM__* item, HTREEITEM__** parentOut, int* indexOut);
  // The same in a list of items that `owner` (null for the roots) holds.
  static bool FindIn(const std::vector<std::unique_ptr<HTREEITEM__>>& list, HTREEITEM__* owner, const HTREEITEM__* item,
                     HTREEITEM__** parentOut, int* indexOut);
};

class Swell_vVorna_treeview : public SWELL_MarksAncestorsChanged<cocoa::NSOutlineView>,
                              public cocoa::NSOutlineViewDataSource,
                              public SWELL_MessageTarget,
                              public SWELL_Taggable
{
public:
  explicit Swell_vVorna_treeview(int style);

  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  HWND handle() const { return swellHandleOf(this); }
  LRESULT onSwellMessage(UINT, WPARAM, LPARAM) override { return 0; }

  // The root list is searched as one more level: the owner comes back null for a root.
  bool findItem(const HTREEITEM__* item, HTREEITEM__** parentOut, int* indexOut);
  std::vector<std::unique_ptr<HTREEITEM__>>& listOf(HTREEITEM__* owner) { return owner ? owner->m_children : m_items; }
  // TVN_SELCHANGED to the parent window, with nothing but the header filled in.
  void notifySelectionChanged();

  cocoa::NSInteger numberOfChildrenOfItem(cocoa::NSOutlineView*, void* item) override;
  void* childOfItem(cocoa::NSOutlineView*, cocoa::NSInteger index, void* item) override;
  bool isItemExpandable(cocoa::NSOutlineView*, void* item) override;
  cocoa::NSString objectValueForItem(cocoa::NSOutlineView*, cocoa::NSTableColumn*, void* item) override;

  void highlightSelectionInClipRect(cocoa::NSRect clip) override;
  void mouseDown(cocoa::NSEvent* event) override;
  void mouseDragged(cocoa::NSEvent*) override {}
  void mouseUp(cocoa::NSEvent* event) override;
  void rightMouseUp(cocoa::NSEvent* event) override;

  bool m_fakerightmouse = false;
  int style = 0;
  std::vector<std::unique_ptr<HTREEITEM__>> m_items;
  std::optional<cocoa::NSColor> m_fgColor;
  std::optional<std::vector<cocoa::NSColor>> m_selColors;

protected:
  void dealloc() override;

private:
  void rightButtonReleased();
  cocoa::NSInteger m_tag = 0;
};

Swell_vVorna_treeview* swellTreeView(HWND hwnd);

// A tree view in a scroll view placed in the parent at the frame.
Swell_vVorna_treeview* swellCreateTreeView(cocoa::NSView* parent, int id, int style, cocoa::NSRect frame);
