// A window view as the delegate of the list and tree views inside it: the user's choices
// become notifications to its procedure, and selected rows take the views' own colours.

#include "swell-listview-view.h"
#include "swell-treeview-view.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include <algorithm>

using namespace cocoa;

namespace
{
bool dropsNotifications(Swell_vVorna_hwnd* view)
{
  return !view->m_wndproc || view->m_hashaddestroy != 0;
}

// The colour a cell's text takes: the selection's text colour for a selected row when the
// list holds one for the focus state, else the view's own text colour when it has one.
std::optional<NSColor> cellTextColor(const std::optional<std::vector<NSColor>>& selColors,
                                     const std::optional<NSColor>& fgColor, bool selected, bool focused)
{
  if (selected && selColors)
  {
    if (focused && selColors->size() >= 2) return (*selColors)[1];
    if (!focused && selColors->size() >= 4) return (*selColors)[3];
  }
  return fgColor;
}

void applyTextColor(NSCell* cell, const std::optional<NSColor>& color)
{
  auto* textCell = dynamic_cast<NSTextFieldCell*>(cell);
  if (textCell && color) textCell->setTextColor(*color);
}
}  // namespace

void Swell_vVorna_hwnd::tableViewSelectionDidChange(NSTableView* table)
{
  if (dropsNotifications(this)) return;
  const auto id = static_cast<int>(table->tag());
  auto* lv = dynamic_cast<Swell_vVorna_listview*>(table);
  if (lv && lv->getSwellNotificationMode())
  {
    SendMessage(handle(), WM_COMMAND, static_cast<WPARAM>(id) | (LBN_SELCHANGE << 16), reinterpret_cast<LPARAM>(swellHandleOf(table)));
    return;
  }
  NMLISTVIEW nm{};
  nm.hdr = NMHDR{swellHandleOf(table), static_cast<UINT_PTR>(id), static_cast<UINT>(LVN_ITEMCHANGED)};
  nm.iItem = static_cast<int>(table->selectedRow());
  SendMessage(handle(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&nm));
}

void Swell_vVorna_hwnd::tableViewDidClickTableColumn(NSTableView* table, NSTableColumn* column)
{
  auto* lv = dynamic_cast<Swell_vVorna_listview*>(table);
  if (dropsNotifications(this) || !lv || lv->m_cols.empty() || lv->m_lbMode || (lv->style & LVS_NOSORTHEADER)) return;
  const auto found = std::find(lv->m_cols.begin(), lv->m_cols.end(), column);
  NMLISTVIEW nm{};
  nm.hdr = NMHDR{lv->handle(), static_cast<UINT_PTR>(lv->tag()), static_cast<UINT>(LVN_COLUMNCLICK)};
  nm.iItem = -1;
  nm.iSubItem = found == lv->m_cols.end() ? -1 : static_cast<int>(found - lv->m_cols.begin());
  SendMessage(handle(), WM_NOTIFY, static_cast<WPARAM>(lv->tag()), reinterpret_cast<LPARAM>(&nm));
}

void Swell_vVorna_hwnd::tableViewDoubleClicked(NSTableView* table)
{
  if (dropsNotifications(this)) return;
  const auto id = static_cast<int>(table->tag());
  auto* lv = dynamic_cast<Swell_vVorna_listview*>(table);
  if (lv && lv->getSwellNotificationMode())
  {
    SendMessage(handle(), WM_COMMAND, static_cast<WPARAM>(id) | (LBN_DBLCLK << 16), reinterpret_cast<LPARAM>(lv->handle()));
    return;
  }
  NMLISTVIEW nm{};
  nm.hdr = NMHDR{swellHandleOf(table), static_cast<UINT_PTR>(id), static_cast<UINT>(NM_DBLCLK)};
  if (lv)
  {
    const int row = static_cast<int>(table->clickedRow());
    nm.iItem = row;
    nm.iSubItem = lv->getColumnIdx(static_cast<int>(table->clickedColumn()));
    if (row >= 0 && row < static_cast<int>(lv->m_items.size())) nm.lParam = lv->m_items[static_cast<size_t>(row)]->m_param;
  }
  SendMessage(handle(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&nm));
}

void Swell_vVorna_hwnd::tableViewWillDisplayCell(NSTableView* table, NSCell* cell, NSTableColumn*, NSInteger row)
{
  if (auto* lv = dynamic_cast<Swell_vVorna_listview*>(table))
    applyTextColor(cell, cellTextColor(lv->m_selColors, lv->m_fgColor, lv->isRowSelected(row), GetFocus() == lv->handle()));
}

void Swell_vVorna_hwnd::outlineViewSelectionDidChange(NSOutlineView* outline)
{
  if (dropsNotifications(this)) return;
  NMTREEVIEW nm{};
  nm.hdr = NMHDR{swellHandleOf(outline), static_cast<UINT_PTR>(outline->tag()), static_cast<UINT>(TVN_SELCHANGED)};
  SendMessage(handle(), WM_NOTIFY, static_cast<WPARAM>(outline->tag()), reinterpret_cast<LPARAM>(&nm));
}

void Swell_vVorna_hwnd::outlineViewWillDisplayCell(NSOutlineView* outline, NSCell* cell, NSTableColumn*, void* item)
{
  if (auto* tv = dynamic_cast<Swell_vVorna_treeview*>(outline))
  {
    const NSInteger row = tv->rowForItem(item);
    applyTextColor(cell, cellTextColor(tv->m_selColors, tv->m_fgColor, row >= 0 && tv->isRowSelected(row),
                                       GetFocus() == tv->handle()));
  }
}
