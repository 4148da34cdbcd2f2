// The ListView_ and Header_ functions: every one first checks that the handle is a list view.

#include "swell-listview-view.h"

#include "swell-wnd.h"

#include "platform/appkit/scroll_view.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace cocoa;

namespace
{
NSTableColumn* columnAt(Swell_vVorna_listview* lv, int col)
{
  return lv && col >= 0 && col < static_cast<int>(lv->m_cols.size()) ? lv->m_cols[static_cast<size_t>(col)] : nullptr;
}

bool showsTitles(const Swell_vVorna_listview* lv)
{
  return !lv->m_lbMode && !(lv->style & LVS_NOCOLUMNHEADER);
}

NSTextAlignment alignmentOf(int fmt)
{
  return fmt == LVCFMT_RIGHT ? NSTextAlignmentRight : fmt == LVCFMT_CENTER ? NSTextAlignmentCenter : NSTextAlignmentLeft;
}

// Bounded copy: at most size - 1 bytes and a terminator; nothing for a size below 1.
void copyText(char* out, int size, const char* text)
{
  if (!out || size < 1) return;
  const size_t n = std::min(std::strlen(text), static_cast<size_t>(size - 1));
  std::memcpy(out, text, n);
  out[n] = 0;
}
}  // namespace

void ListView_InsertColumn(HWND hwnd, int index, const LVCOLUMN* column)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !column) return;
  auto* tableColumn = new NSTableColumn;
  Swell_vVorna_listviewcell* cell = nullptr;
  if (index == 0 && lv->m_status_imagelist)
    cell = new Swell_vVorna_statuscell;
  else if (lv->m_lbMode && (lv->style & LBS_OWNERDRAWFIXED))
  {
    auto* ownerDrawn = new Swell_vVorna_ODlistviewcell;
    ownerDrawn->setOwnerControl(lv);
    cell = ownerDrawn;
  }
  else
    cell = new Swell_vVorna_listviewcell;
  const NSTextAlignment alignment = alignmentOf(column->mask & LVCF_FMT ? column->fmt : LVCFMT_LEFT);
  cell->setAlignment(alignment);
  tableColumn->setDataCell(cell);
  cell->release();
  tableColumn->headerCell()->setAlignment(alignment);
  if ((column->mask & LVCF_TEXT) && column->pszText && showsTitles(lv))
    tableColumn->headerCell()->setStringValue(NSString(column->pszText));
  lv->m_cols.push_back(tableColumn);
  lv->addTableColumn(tableColumn);
  // The width goes to the column at `index`: the new one only when it was asked for at the end.
  if (column->mask & LVCF_WIDTH) ListView_SetColumnWidth(hwnd, index, column->cx);
}

void ListView_SetColumn(HWND hwnd, int col, const LVCOLUMN* column)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  NSTableColumn* tableColumn = columnAt(lv, col);
  if (!tableColumn || !column) return;
  if (column->mask & LVCF_FMT) tableColumn->headerCell()->setAlignment(alignmentOf(column->fmt));
  if (column->mask & LVCF_WIDTH) ListView_SetColumnWidth(hwnd, col, column->cx);
  if ((column->mask & LVCF_TEXT) && column->pszText && showsTitles(lv))
    tableColumn->headerCell()->setStringValue(NSString(column->pszText));
  lv->setNeedsDisplay(true);
}

bool ListView_DeleteColumn(HWND hwnd, int col)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  NSTableColumn* tableColumn = columnAt(lv, col);
  if (!tableColumn) return false;
  lv->removeTableColumn(tableColumn);
  lv->m_cols.erase(lv->m_cols.begin() + col);
  tableColumn->release();
  return true;
}

int ListView_GetColumnWidth(HWND hwnd, int col)
{
  NSTableColumn* column = columnAt(swellListView(hwnd), col);
  if (!column || column->isHidden()) return 0;
  return static_cast<int>(std::floor(column->width() + 0.5));
}

void ListView_SetColumnWidth(HWND hwnd, int col, int width)
{
  NSTableColumn* column = columnAt(swellListView(hwnd), col);
  if (!column) return;
  if (width != 0)
  {
    column->setHidden(false);
    column->setWidth(width);
  }
  else
    column->setHidden(true);
}

bool ListView_GetColumnOrderArray(HWND hwnd, int count, int* order)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !order || count != static_cast<int>(lv->m_cols.size())) return false;
  for (int i = 0; i < count; ++i) order[i] = lv->getColumnPos(i);
  return true;
}

bool ListView_SetColumnOrderArray(HWND hwnd, int count, const int* order)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !order || count != static_cast<int>(lv->m_cols.size())) return false;
  for (int i = 0; i < count; ++i)
    if (order[i] >= 0 && order[i] < count) lv->moveColumn(lv->getColumnPos(i), order[i]);
  return true;
}

HWND ListView_GetHeader(HWND hwnd)
{
  return swellListView(hwnd) ? hwnd : nullptr;
}

int Header_GetItemCount(HWND header)
{
  Swell_vVorna_listview* lv = swellListView(header);
  return lv ? static_cast<int>(lv->m_cols.size()) : 0;
}

bool Header_GetItem(HWND header, int col, HDITEM* item)
{
  NSTableColumn* column = columnAt(swellListView(header), col);
  if (!column || !item) return false;
  if (item->mask & HDI_FORMAT)
    item->fmt = column->sortIndicator() == NSSortIndicatorAscending    ? HDF_SORTUP
                : column->sortIndicator() == NSSortIndicatorDescending ? HDF_SORTDOWN
                                                                       : 0;
  return true;
}

bool Header_SetItem(HWND header, int col, const HDITEM* item)
{
  NSTableColumn* column = columnAt(swellListView(header), col);
  if (!column || !item) return false;
  if (item->mask & HDI_FORMAT)
    column->setSortIndicator(item->fmt & HDF_SORTUP     ? NSSortIndicatorAscending
                             : item->fmt & HDF_SORTDOWN ? NSSortIndicatorDescending
                                                        : NSSortIndicatorNone);
  return true;
}

int SWELL_GetListViewHeaderHeight(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  return lv ? static_cast<int>(std::floor(lv->headerHeight() + 0.5)) : 0;
}

void ListView_SetExtendedListViewStyleEx(HWND hwnd, int mask, int style)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv) return;
  if (mask & LVS_EX_GRIDLINES)
    lv->setGridStyleMask(style & LVS_EX_GRIDLINES
                             ? NSTableViewSolidVerticalGridLineMask | NSTableViewSolidHorizontalGridLineMask
                             : NSTableViewGridNone);
  if (mask & LVS_EX_HEADERDRAGDROP) lv->setAllowsColumnReordering((style & LVS_EX_HEADERDRAGDROP) != 0);
}

int ListView_InsertItem(HWND hwnd, const LVITEM* item)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !item || item->iSubItem != 0) return 0;
  if (lv->isOwnerData()) return -1;
  const char* text = (item->mask & LVIF_TEXT) ? item->pszText : nullptr;
  int position = item->iItem;
  if (text && !lv->m_lbMode && (lv->style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)))
    position = lv->sortedInsertPosition(text);
  return lv->insertRow(position, text, item);
}

void ListView_DeleteItem(HWND hwnd, int index)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd); lv && !lv->isOwnerData()) lv->deleteRow(index);
}

void ListView_DeleteAllItems(HWND hwnd)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->deleteAllRows();
}

int ListView_GetItemCount(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  return lv ? lv->itemCount() : 0;
}

void ListView_SetItemCount(HWND hwnd, int count)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !lv->isOwnerData()) return;
  lv->ownermode_cnt = std::max(0, count);
  lv->noteNumberOfRowsChanged();
}

void ListView_SetItemText(HWND hwnd, int index, int col, const char* text)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || col < 0 || col >= 32 || lv->isOwnerData() || index < 0 || index >= static_cast<int>(lv->m_items.size()))
    return;
  std::vector<std::string>& texts = lv->m_items[static_cast<size_t>(index)]->m_texts;
  if (texts.size() <= static_cast<size_t>(col)) texts.resize(static_cast<size_t>(col) + 1);
  texts[static_cast<size_t>(col)] = text ? text : "";
  lv->reloadData();
}

void ListView_GetItemText(HWND hwnd, int index, int col, char* buf, int size)
{
  LVITEM item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.iSubItem = col;
  item.pszText = buf;
  item.cchTextMax = size;
  ListView_GetItem(hwnd, &item);
}

bool ListView_GetItem(HWND hwnd, LVITEM* item)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !item) return false;
  if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0) item->pszText[0] = 0;
  item->state = 0;
  const int index = item->iItem;
  if (lv->isOwnerData())
  {
    if (index < 0 || index >= lv->itemCount()) return false;
  }
  else
  {
    if (index < 0 || index >= static_cast<int>(lv->m_items.size())) return false;
    const SWELL_ListView_Row& row = *lv->m_items[static_cast<size_t>(index)];
    if (item->mask & LVIF_PARAM) item->lParam = row.m_param;
    if ((item->mask & LVIF_TEXT) && item->pszText) copyText(item->pszText, item->cchTextMax, row.text(item->iSubItem));
    if ((item->mask & LVIF_STATE) && (item->stateMask & LVIS_STATEIMAGEMASK))
      item->state |= static_cast<UINT>(row.m_image) << 16;
  }
  if (item->mask & LVIF_STATE)
  {
    if ((item->stateMask & LVIS_SELECTED) && lv->isRowSelected(index)) item->state |= LVIS_SELECTED;
    if ((item->stateMask & LVIS_FOCUSED) && lv->selectedRow() == index) item->state |= LVIS_FOCUSED;
  }
  return true;
}

bool ListView_SetItem(HWND hwnd, LVITEM* item)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !item) return false;
  if (!lv->isOwnerData())
  {
    if (item->iItem < 0 || item->iItem >= static_cast<int>(lv->m_items.size())) return false;
    SWELL_ListView_Row& row = *lv->m_items[static_cast<size_t>(item->iItem)];
    if (item->mask & LVIF_PARAM) row.m_param = item->lParam;
    if ((item->mask & LVIF_TEXT) && item->pszText) ListView_SetItemText(hwnd, item->iItem, item->iSubItem, item->pszText);
    if ((item->mask & LVIF_IMAGE) && item->iImage >= 0)
    {
      row.m_image = item->iImage + 1;
      lv->reloadData();
    }
  }
  if ((item->mask & LVIF_STATE) && item->stateMask) ListView_SetItemState(hwnd, item->iItem, item->state, item->stateMask);
  return true;
}

bool ListView_SetItemState(HWND hwnd, int index, UINT state, UINT mask)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  return lv && lv->setItemState(index, state, mask);
}

int ListView_GetItemState(HWND hwnd, int index, UINT mask)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || index < 0 || index >= lv->itemCount()) return 0;
  int state = 0;
  if ((mask & LVIS_STATEIMAGEMASK) && !lv->isOwnerData()) state = lv->m_items[static_cast<size_t>(index)]->m_image << 16;
  if ((mask & LVIS_SELECTED) && lv->isRowSelected(index)) state |= LVIS_SELECTED;
  if ((mask & LVIS_FOCUSED) && lv->selectedRow() == index) state |= LVIS_FOCUSED;
  return state;
}

int ListView_GetNextItem(HWND hwnd, int start, int flags)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || (flags != LVNI_SELECTED && flags != LVNI_FOCUSED)) return -1;
  if (flags == LVNI_FOCUSED) return static_cast<int>(lv->selectedRow());
  const auto next = lv->selectedRowIndexes().upper_bound(start < 0 ? -1 : start);
  return next == lv->selectedRowIndexes().end() ? -1 : static_cast<int>(*next);
}

int ListView_GetSelectedCount(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  return lv ? static_cast<int>(lv->numberOfSelectedRows()) : 0;
}

int ListView_GetSelectionMark(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  return lv ? static_cast<int>(lv->selectedRow()) : 0;
}

void ListView_RedrawItems(HWND hwnd, int, int)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->reloadData();
}

void ListView_SortItems(HWND hwnd, PFNLVCOMPARE compare, LPARAM lParamSort)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->sortRows(compare, lParamSort);
}

void ListView_SetImageList(HWND hwnd, HIMAGELIST list, int type)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv) return;
  lv->m_status_imagelist = list;
  lv->m_status_imagelist_type = type;
  if (lv->m_cols.empty() || dynamic_cast<Swell_vVorna_statuscell*>(lv->m_cols[0]->dataCell())) return;
  auto* cell = new Swell_vVorna_statuscell;
  cell->setAlignment(lv->m_cols[0]->dataCell()->alignment());
  lv->m_cols[0]->setDataCell(cell);
  cell->release();
}

void SWELL_SetListViewFastClickMask(HWND hwnd, int mask)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->m_fastClickMask = static_cast<unsigned>(mask);
}

int ListView_HitTest(HWND hwnd, LVHITTESTINFO* info)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !info) return -1;
  info->flags = 0;
  info->iItem = -1;
  const NSRect visible = lv->documentVisibleRect();
  const int dx = static_cast<int>(info->pt.x - visible.origin.x);
  const int dy = static_cast<int>(info->pt.y - visible.origin.y);
  if (dx < 0) info->flags |= LVHT_TOLEFT;
  if (dx >= static_cast<int>(visible.size.width)) info->flags |= LVHT_TORIGHT;
  if (dy < 0) info->flags |= LVHT_ABOVE;
  if (dy >= static_cast<int>(visible.size.height)) info->flags |= LVHT_BELOW;
  if (info->flags) return -1;
  const NSPoint point = NSMakePoint(info->pt.x, info->pt.y);
  info->iItem = static_cast<int>(lv->rowAtPoint(point));
  if (info->iItem < 0)
    info->flags = LVHT_NOWHERE;
  else
    info->flags = lv->m_status_imagelist && info->pt.x <= lv->rowHeight() ? LVHT_ONITEMSTATEICON : LVHT_ONITEMLABEL;
  return info->iItem;
}

int ListView_SubItemHitTest(HWND hwnd, LVHITTESTINFO* info)
{
  const int row = ListView_HitTest(hwnd, info);
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !info) return row;
  NSPoint point = NSMakePoint(info->pt.x, info->pt.y);
  if (row < 0 && info->pt.y < 0) point.y = 0;
  info->iSubItem = lv->columnIndexAtPoint(point);
  return row;
}

bool ListView_GetItemRect(HWND hwnd, int index, RECT* r, int code)
{
  return ListView_GetSubItemRect(hwnd, index, -1, code, r);
}

bool ListView_GetSubItemRect(HWND hwnd, int index, int col, int, RECT* r)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !r || index < 0 || index > lv->itemCount()) return false;
  if (col >= 0 && !columnAt(lv, col)) return false;
  // The row one past the last is answered too: where a new row would go.
  NSRect rect;
  const NSSize spacing = lv->intercellSpacing();
  const NSRect any = lv->rectOfRow(0);
  const CGFloat top = lv->headerHeight() + index * lv->rowHeight();
  if (col < 0)
    rect = NSMakeRect(0, top, any.size.width > 0 ? any.size.width : lv->bounds().size.width, lv->rowHeight());
  else
  {
    const NSRect column = lv->rectOfColumn(lv->getColumnPos(col));
    rect = NSMakeRect(column.origin.x, top, column.size.width, lv->rowHeight());
  }
  r->left = static_cast<int>(rect.origin.x);
  r->top = static_cast<int>(rect.origin.y);
  r->right = static_cast<int>(rect.origin.x + rect.size.width + spacing.width);
  r->bottom = static_cast<int>(rect.origin.y + rect.size.height + spacing.height);
  return true;
}

int ListView_GetTopIndex(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !lv->enclosingScrollView()) return -1;
  const NSRect visible = lv->documentVisibleRect();
  return static_cast<int>(lv->rowAtPoint(NSMakePoint(0, visible.origin.y + lv->headerHeight())));
}

int ListView_GetCountPerPage(HWND hwnd)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !lv->enclosingScrollView()) return 0;
  const int rowHeight = static_cast<int>(lv->rowHeight());
  return rowHeight > 0 ? static_cast<int>(lv->documentVisibleRect().size.height / rowHeight) : 0;
}

void ListView_EnsureVisible(HWND hwnd, int index, BOOL)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || lv->itemCount() == 0) return;
  lv->scrollRowToVisible(std::clamp(index, 0, lv->itemCount() - 1));
}

bool ListView_Scroll(HWND hwnd, int dx, int dy)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!lv || !lv->enclosingScrollView()) return false;
  const NSRect visible = lv->documentVisibleRect();
  const NSPoint reference = NSMakePoint(dx > 0 ? NSMaxX(visible) - 1 : NSMinX(visible), dy > 0 ? NSMaxY(visible) - 1 : NSMinY(visible));
  const int rows = lv->itemCount();
  const int columns = static_cast<int>(lv->m_cols.size());
  int row = std::clamp(static_cast<int>(lv->rowAtPoint(reference)), 0, std::max(0, rows - 1));
  int column = std::clamp(lv->columnIndexAtPoint(reference), 0, std::max(0, columns - 1));
  column = lv->getColumnPos(column);
  const NSRect cell = lv->frameOfCellAtColumn(column, row);
  if (dy != 0 && rows > 0)
  {
    if (cell.size.height > 0) row += static_cast<int>(dy / cell.size.height);
    lv->scrollRowToVisible(std::clamp(row, 0, rows - 1));
  }
  if (dx != 0 && columns > 0)
  {
    if (cell.size.width > 0) column += static_cast<int>(dx / cell.size.width);
    lv->scrollColumnToVisible(std::clamp(column, 0, columns - 1));
  }
  return true;
}

bool ListView_GetScroll(HWND hwnd, POINT* p)
{
  Swell_vVorna_listview* lv = swellListView(hwnd);
  if (!p) return false;
  p->x = p->y = 0;
  if (!lv || !lv->enclosingScrollView()) return false;
  const NSRect visible = lv->documentVisibleRect();
  p->x = static_cast<int>(visible.origin.x);
  p->y = static_cast<int>(visible.origin.y);
  return true;
}

void ListView_SetBkColor(HWND hwnd, int color)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->setBackgroundColor(swellColorFromInt(color));
}

void ListView_SetGridColor(HWND hwnd, int color)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd)) lv->setGridColor(swellColorFromInt(color));
}

void ListView_SetTextColor(HWND hwnd, int color)
{
  if (Swell_vVorna_listview* lv = swellListView(hwnd))
  {
    lv->m_fgColor = swellColorFromInt(color);
    lv->setNeedsDisplay(true);
  }
}

void ListView_SetTextBkColor(HWND, int) {}
