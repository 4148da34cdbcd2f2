// Tree views: the items, their insertion and search, selection with its notification, and
// the TreeView_ functions.

#include "swell-treeview-view.h"

#include "swell-listview-view.h"
#include "swell-cursor.h"
#include "swell-misc.h"
#include "swell-paint-info.h"
#include "swell-wnd.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/scroll_view.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace cocoa;

namespace
{
// One per function: a TVN_SELCHANGED handler that selects an item in any tree view does not
// get a nested TVN_SELCHANGED from the same function.
bool s_selectItemRent = false;
bool s_setItemRent = false;

bool isMarker(HTREEITEM item)
{
  const auto value = reinterpret_cast<uintptr_t>(item);
  return value >= 0xFFFF0000u && value <= 0xFFFF0003u;
}

HTREEITEM__* itemOf(void* item)
{
  return static_cast<HTREEITEM__*>(item);
}
}  // namespace

bool HTREEITEM__::FindIn(const std::vector<std::unique_ptr<HTREEITEM__>>& list, HTREEITEM__* owner,
                         const HTREEITEM__* item, HTREEITEM__** parentOut, int* indexOut)
{
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == item)
    {
      if (parentOut) *parentOut = owner;
      if (indexOut) *indexOut = static_cast<int>(i);
      return true;
    }
  for (const auto& child : list)
    if (child->FindItem(item, parentOut, indexOut)) return true;
  return false;
}

bool HTREEITEM__::FindItem(const HTREEITEM__* item, HTREEITEM__** parentOut, int* indexOut)
{
  return FindIn(m_children, this, item, parentOut, indexOut);
}

Swell_vVorna_treeview::Swell_vVorna_treeview(int styleBits) : style(styleBits)
{
  setOutlineDataSource(this);
}

void Swell_vVorna_treeview::dealloc()
{
  while (!m_items.empty()) m_items.pop_back();
  NSOutlineView::dealloc();
}

Swell_vVorna_treeview* swellTreeView(HWND hwnd)
{
  return hwnd ? dynamic_cast<Swell_vVorna_treeview*>(swellObjectOf(hwnd)) : nullptr;
}

bool Swell_vVorna_treeview::findItem(const HTREEITEM__* item, HTREEITEM__** parentOut, int* indexOut)
{
  return item && HTREEITEM__::FindIn(m_items, nullptr, item, parentOut, indexOut);
}

void Swell_vVorna_treeview::notifySelectionChanged()
{
  HWND parent = GetParent(handle());
  if (!parent) return;
  NMTREEVIEW nm{};
  nm.hdr.hwndFrom = handle();
  nm.hdr.idFrom = static_cast<UINT_PTR>(m_tag);
  nm.hdr.code = static_cast<UINT>(TVN_SELCHANGED);
  SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&nm));
}

NSInteger Swell_vVorna_treeview::numberOfChildrenOfItem(NSOutlineView*, void* item)
{
  return static_cast<NSInteger>(item ? itemOf(item)->m_children.size() : m_items.size());
}

void* Swell_vVorna_treeview::childOfItem(NSOutlineView*, NSInteger index, void* item)
{
  const auto& list = item ? itemOf(item)->m_children : m_items;
  return index >= 0 && index < static_cast<NSInteger>(list.size()) ? list[static_cast<size_t>(index)].get() : nullptr;
}

bool Swell_vVorna_treeview::isItemExpandable(NSOutlineView*, void* item)
{
  return !item || itemOf(item)->m_hasChildren;
}

NSString Swell_vVorna_treeview::objectValueForItem(NSOutlineView*, NSTableColumn*, void* item)
{
  const auto& text = itemOf(item)->m_text;
  return NSString(text ? text->c_str() : "");
}

void Swell_vVorna_treeview::highlightSelectionInClipRect(NSRect clip)
{
  const size_t entry = GetFocus() == handle() ? 0 : 2;
  if (!m_selColors || m_selColors->size() <= entry)
  {
    NSOutlineView::highlightSelectionInClipRect(clip);
    return;
  }
  CGContextRef context = currentCGContext();
  if (!context || selectedRow() < 0) return;
  const NSRect part = NSIntersectionRect(rectOfRow(selectedRow()), clip);
  if (part.size.width > 0 && part.size.height > 0) fillRect(context, part, (*m_selColors)[entry]);
}

void Swell_vVorna_treeview::mouseDown(NSEvent* event)
{
  if ((event->modifierFlags() & NSEventModifierFlagControl) && IsRightClickEmulateEnabled())
  {
    m_fakerightmouse = true;
    return;
  }
  StrongRef<Swell_vVorna_treeview> keep(this);
  if (HWND parent = GetParent(handle()))
  {
    NMHDR nm{handle(), static_cast<UINT_PTR>(m_tag), static_cast<UINT>(NM_CLICK)};
    SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&nm));
  }
  m_fakerightmouse = false;
  NSOutlineView::mouseDown(event);
}

void Swell_vVorna_treeview::mouseUp(NSEvent* event)
{
  if (m_fakerightmouse || (event->modifierFlags() & NSEventModifierFlagControl)) rightButtonReleased();
}

void Swell_vVorna_treeview::rightMouseUp(NSEvent*)
{
  rightButtonReleased();
}

void Swell_vVorna_treeview::rightButtonReleased()
{
  StrongRef<Swell_vVorna_treeview> keep(this);
  m_fakerightmouse = false;
  HWND parent = GetParent(handle());
  if (!parent) return;
  NMHDR nm{handle(), static_cast<UINT_PTR>(m_tag), static_cast<UINT>(NM_RCLICK)};
  if (SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&nm))) return;
  POINT p{};
  GetCursorPos(&p);
  SendMessage(parent, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle()),
              static_cast<LPARAM>((static_cast<unsigned>(p.y) << 16) | (static_cast<unsigned>(p.x) & 0xFFFF)));
}

Swell_vVorna_treeview* swellCreateTreeView(NSView* parent, int id, int style, NSRect frame)
{
  if (!parent) return nullptr;
  auto* scroll = new NSScrollView(frame);
  scroll->setHasVerticalScroller(true);
  auto* tv = new Swell_vVorna_treeview(style);
  tv->setTag(id);
  tv->setHasHeader(false);
  tv->setAllowsMultipleSelection(false);
  tv->setAllowsColumnReordering(false);
  auto* column = new NSTableColumn;
  auto* cell = new Swell_vVorna_listviewcell;
  column->setDataCell(cell);
  cell->release();
  column->setWidth(std::ceil(std::max<CGFloat>(300, frame.size.width)));
  tv->addTableColumn(column);
  column->release();
  if (auto* delegate = dynamic_cast<NSOutlineViewDelegate*>(parent)) tv->setOutlineDelegate(delegate);
  scroll->setDocumentView(tv);
  tv->release();
  parent->addSubview(scroll);
  scroll->release();
  tv->reloadOutline();
  return tv;
}

HTREEITEM TreeView_InsertItem(HWND hwnd, const TVINSERTSTRUCT* insert)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv || !insert) return nullptr;
  HTREEITEM__* owner = nullptr;
  if (insert->hParent && !isMarker(insert->hParent))
  {
    if (!tv->findItem(insert->hParent, nullptr, nullptr)) return nullptr;
    owner = insert->hParent;
  }
  auto& list = tv->listOf(owner);
  size_t position = list.size();
  const HTREEITEM after = insert->hInsertAfter;
  if (after == TVI_FIRST)
    position = 0;
  else if (after && after != TVI_LAST && after != TVI_SORT && after != TVI_ROOT)
  {
    const auto found = std::find_if(list.begin(), list.end(), [after](const auto& i) { return i.get() == after; });
    position = found == list.end() ? 0 : static_cast<size_t>(found - list.begin()) + 1;
  }
  auto item = std::make_unique<HTREEITEM__>();
  const TVITEM& fields = insert->item;
  if (fields.mask & TVIF_CHILDREN) item->m_hasChildren = fields.cChildren != 0;
  if (fields.mask & TVIF_PARAM) item->m_param = fields.lParam;
  if ((fields.mask & TVIF_TEXT) && fields.pszText) item->m_text = fields.pszText;
  HTREEITEM made = item.get();
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  tv->reloadOutline();
  return made;
}

void TreeView_DeleteItem(HWND hwnd, HTREEITEM item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  HTREEITEM__* owner = nullptr;
  int index = -1;
  if (!tv || !tv->findItem(item, &owner, &index)) return;
  auto& list = tv->listOf(owner);
  list.erase(list.begin() + index);
  tv->reloadOutline();
}

void TreeView_DeleteAllItems(HWND hwnd)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv) return;
  while (!tv->m_items.empty()) tv->m_items.pop_back();
  tv->reloadOutline();
}

HTREEITEM TreeView_GetRoot(HWND hwnd)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  return tv && !tv->m_items.empty() ? tv->m_items.front().get() : nullptr;
}

HTREEITEM TreeView_GetChild(HWND hwnd, HTREEITEM item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv) return nullptr;
  if (!item) return TreeView_GetRoot(hwnd);
  return item->m_children.empty() ? nullptr : item->m_children.front().get();
}

HTREEITEM TreeView_GetNextSibling(HWND hwnd, HTREEITEM item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv) return nullptr;
  if (!item) return TreeView_GetRoot(hwnd);
  HTREEITEM__* owner = nullptr;
  int index = -1;
  if (!tv->findItem(item, &owner, &index)) return nullptr;
  const auto& list = tv->listOf(owner);
  return static_cast<size_t>(index) + 1 < list.size() ? list[static_cast<size_t>(index) + 1].get() : nullptr;
}

HTREEITEM TreeView_GetSelection(HWND hwnd)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  return tv ? static_cast<HTREEITEM>(tv->itemAtRow(tv->selectedRow())) : nullptr;
}

void TreeView_SelectItem(HWND hwnd, HTREEITEM item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv) return;
  if (const NSInteger row = tv->rowForItem(item); row >= 0) tv->selectRowIndexes({row}, false);
  // Told even when the item is not on show and so nothing was selected.
  if (s_selectItemRent) return;
  s_selectItemRent = true;
  tv->notifySelectionChanged();
  s_selectItemRent = false;
}

BOOL TreeView_Expand(HWND hwnd, HTREEITEM item, UINT code)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv || !item) return 0;
  const bool expanded = tv->isItemExpanded(item);
  if ((code == TVE_EXPAND || code == TVE_TOGGLE) && !expanded)
  {
    tv->expandItem(item);
    return 1;
  }
  if ((code == TVE_COLLAPSE || code == TVE_TOGGLE) && expanded)
  {
    tv->collapseItem(item);
    return 1;
  }
  return 0;
}

BOOL TreeView_GetItem(HWND hwnd, TVITEM* item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv || !item || !(item->mask & TVIF_HANDLE) || !item->hItem) return 0;
  HTREEITEM__* node = item->hItem;
  item->cChildren = node->m_hasChildren ? 1 : 0;
  item->lParam = node->m_param;
  if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0)
  {
    const char* text = node->m_text ? node->m_text->c_str() : "";
    const size_t n = std::min(std::strlen(text), static_cast<size_t>(item->cchTextMax - 1));
    std::memcpy(item->pszText, text, n);
    item->pszText[n] = 0;
  }
  const NSInteger row = tv->rowForItem(node);
  item->state = (row >= 0 && tv->isRowSelected(row) ? TVIS_SELECTED : 0) | (tv->isItemExpanded(node) ? TVIS_EXPANDED : 0);
  return 1;
}

BOOL TreeView_SetItem(HWND hwnd, const TVITEM* item)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv || !item || !(item->mask & TVIF_HANDLE) || !item->hItem || !tv->findItem(item->hItem, nullptr, nullptr)) return 0;
  HTREEITEM__* node = item->hItem;
  if (item->mask & TVIF_CHILDREN) node->m_hasChildren = item->cChildren != 0;
  if (item->mask & TVIF_PARAM) node->m_param = item->lParam;
  if ((item->mask & TVIF_TEXT) && item->pszText)
  {
    node->m_text = item->pszText;
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  if ((item->stateMask & TVIS_SELECTED) && (item->state & TVIS_SELECTED))
    if (const NSInteger row = tv->rowForItem(node); row >= 0)
    {
      tv->selectRowIndexes({row}, false);
      if (!s_setItemRent)
      {
        s_setItemRent = true;
        tv->notifySelectionChanged();
        s_setItemRent = false;
      }
    }
  if (item->stateMask & TVIS_EXPANDED)
  {
    if ((item->state & TVIS_EXPANDED) && !tv->isItemExpanded(node))
      tv->expandItem(node);
    else if (!(item->state & TVIS_EXPANDED) && tv->isItemExpanded(node))
      tv->collapseItem(node);
  }
  // The has-children flag may have changed what shows.
  tv->reloadOutline();
  return 1;
}

HTREEITEM TreeView_HitTest(HWND hwnd, TVHITTESTINFO* info)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv || !info) return nullptr;
  const NSPoint point = NSMakePoint(info->pt.x, info->pt.y);
  for (NSInteger row = 0; row < tv->numberOfRows(); ++row)
  {
    const NSRect r = tv->rectOfRow(row);
    if (point.x >= NSMinX(r) && point.x < NSMaxX(r) && point.y >= NSMinY(r) && point.y < NSMaxY(r))
      return static_cast<HTREEITEM>(tv->itemAtRow(row));
  }
  return nullptr;
}

BOOL TreeView_SetIndent(HWND hwnd, int indent)
{
  Swell_vVorna_treeview* tv = swellTreeView(hwnd);
  if (!tv) return 0;
  tv->setIndentationPerLevel(indent);
  return 1;
}

void TreeView_SetBkColor(HWND hwnd, int color)
{
  if (Swell_vVorna_treeview* tv = swellTreeView(hwnd)) tv->setBackgroundColor(swellColorFromInt(color));
}

void TreeView_SetTextColor(HWND hwnd, int color)
{
  if (Swell_vVorna_treeview* tv = swellTreeView(hwnd))
  {
    tv->m_fgColor = swellColorFromInt(color);
    tv->setNeedsDisplay(true);
  }
}

void ListView_SetSelColors(HWND hwnd, const int* colors, int count)
{
  std::vector<NSColor> list;
  for (int i = 0; i < count; ++i) list.push_back(swellColorFromInt(colors ? colors[i] : 0));
  if (Swell_vVorna_listview* lv = swellListView(hwnd))
  {
    lv->m_selColors = std::move(list);
    lv->setNeedsDisplay(true);
  }
  else if (Swell_vVorna_treeview* tv = swellTreeView(hwnd))
  {
    tv->m_selColors = std::move(list);
    tv->setNeedsDisplay(true);
  }
}
