// The list view's rows: insertion in place or in order, deletion with the selection kept on
// its rows, item state, the caller's sort, and the list-box messages.

#include "swell-listview-view.h"

#include "swell-misc.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/font.h"
#include "platform/appkit/theme.h"

#include <algorithm>
#include <cstring>

using namespace cocoa;

namespace
{
// Raised while one call sets the state of every item, so that none of them notifies.
int s_is_doing_all = 0;
// Set while LVN_ITEMCHANGED is out: a handler that sets item state on any list view does
// not cause a nested one.
bool s_rent = false;
}  // namespace

const char* SWELL_ListView_Row::text(int col) const
{
  return col >= 0 && static_cast<size_t>(col) < m_texts.size() ? m_texts[static_cast<size_t>(col)].c_str() : "";
}

Swell_vVorna_listview::Swell_vVorna_listview(int styleBits, bool listBoxMode) : style(styleBits), m_lbMode(listBoxMode ? 1 : 0)
{
  setDataSource(this);
}

void Swell_vVorna_listview::dealloc()
{
  while (!m_items.empty()) m_items.pop_back();
  for (NSTableColumn* column : m_cols) column->release();
  m_cols.clear();
  NSTableView::dealloc();
}

Swell_vVorna_listview* swellListView(HWND hwnd)
{
  return hwnd ? dynamic_cast<Swell_vVorna_listview*>(swellObjectOf(hwnd)) : nullptr;
}

NSColor swellColorFromInt(int color)
{
  return NSColor::fromRGB(static_cast<unsigned>(color) & 0xFFFFFF);
}

void swellMarkAncestorsChanged(NSView* from)
{
  for (NSView* v = from ? from->superview() : nullptr; v; v = v->superview())
    if (auto* swellView = dynamic_cast<Swell_vVorna_hwnd*>(v))
    {
      if (swellView->m_isdirty & 2) break;
      swellView->m_isdirty |= 2;
    }
}

int Swell_vVorna_listview::itemCount() const
{
  return isOwnerData() ? ownermode_cnt : static_cast<int>(m_items.size());
}

int Swell_vVorna_listview::getColumnPos(int index) const
{
  if (index < 0 || index >= static_cast<int>(m_cols.size())) return index;
  return static_cast<int>(columnIndexOf(m_cols[static_cast<size_t>(index)]));
}

int Swell_vVorna_listview::getColumnIdx(int position) const
{
  if (position < 0 || position >= numberOfColumns()) return position;
  const auto found = std::find(m_cols.begin(), m_cols.end(), tableColumns()[static_cast<size_t>(position)]);
  return found == m_cols.end() ? -1 : static_cast<int>(found - m_cols.begin());
}

int Swell_vVorna_listview::columnIndexAtPoint(NSPoint point) const
{
  return getColumnIdx(static_cast<int>(columnAtPoint(point)));
}

const char* Swell_vVorna_listview::rowText(int row, int col) const
{
  if (row < 0 || row >= static_cast<int>(m_items.size())) return nullptr;
  const SWELL_ListView_Row& r = *m_items[static_cast<size_t>(row)];
  return col >= 0 && static_cast<size_t>(col) < r.m_texts.size() ? r.m_texts[static_cast<size_t>(col)].c_str() : nullptr;
}

NSScrollView* Swell_vVorna_listview::enclosingScrollView() const
{
  NSView* clip = superview();
  if (!dynamic_cast<NSClipView*>(clip)) return nullptr;
  return dynamic_cast<NSScrollView*>(clip->superview());
}

NSRect Swell_vVorna_listview::documentVisibleRect() const
{
  NSScrollView* scroll = enclosingScrollView();
  return scroll ? scroll->documentVisibleRect() : NSRect{};
}

int Swell_vVorna_listview::sortedInsertPosition(const char* key) const
{
  const int count = static_cast<int>(m_items.size());
  if (count == 0) return 0;
  const bool descending = !m_lbMode && !(style & LVS_SORTASCENDING) && (style & LVS_SORTDESCENDING);
  auto compare = [&](int row) {
    const char* text = m_items[static_cast<size_t>(row)]->text(0);
    return descending ? std::strcmp(text, key) : std::strcmp(key, text);
  };
  int lo = 0;
  int lim = count;
  while (lim > 0)
  {
    const int p = lo + lim / 2;
    const int c = compare(p);
    if (c == 0) return p;
    if (c > 0)
    {
      lo = p + 1;
      if (lo >= count || compare(lo) <= 0) return lo;
      --lim;
    }
    lim /= 2;
  }
  return 0;
}

bool Swell_vVorna_listview::addsToSelection() const
{
  return m_lbMode ? (style & LBS_EXTENDEDSEL) != 0 : !(style & LVS_SINGLESEL);
}

void Swell_vVorna_listview::selectRow(int row)
{
  selectRowIndexes({row}, addsToSelection());
}

void Swell_vVorna_listview::setSelection(const std::vector<int>& rows, int focus)
{
  std::set<NSInteger> others;
  for (int row : rows)
    if (row != focus) others.insert(row);
  selectRowIndexes(others, false);
  if (std::find(rows.begin(), rows.end(), focus) != rows.end()) selectRowIndexes({focus}, true);
}

int Swell_vVorna_listview::insertRow(int position, const char* text, const LVITEM* item)
{
  const int count = static_cast<int>(m_items.size());
  position = std::clamp(position, 0, count);
  auto row = std::make_unique<SWELL_ListView_Row>();
  row->m_texts.emplace_back(text ? text : "");
  if (item && (item->mask & LVIF_PARAM)) row->m_param = item->lParam;
  if (item && (item->mask & LVIF_STATE) && (item->stateMask & LVIS_STATEIMAGEMASK))
    row->m_image = static_cast<int>((item->state >> 16) & 0xFF);
  m_items.insert(m_items.begin() + position, std::move(row));

  std::vector<int> selected(selectedRowIndexes().begin(), selectedRowIndexes().end());
  int focus = static_cast<int>(selectedRow());
  reloadData();
  if (position < count)
  {
    for (int& r : selected)
      if (r >= position) ++r;
    if (focus >= position) ++focus;
    setSelection(selected, focus);
  }
  if (item && (item->mask & LVIF_STATE) && (item->stateMask & LVIS_SELECTED) && (item->state & LVIS_SELECTED))
    selectRow(position);
  return position;
}

bool Swell_vVorna_listview::deleteRow(int index)
{
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  if (index < static_cast<int>(m_items.size()) - 1)
  {
    std::vector<int> selected;
    for (NSInteger r : selectedRowIndexes())
      if (r != index) selected.push_back(static_cast<int>(r > index ? r - 1 : r));
    int focus = static_cast<int>(selectedRow());
    focus = focus == index ? -1 : (focus > index ? focus - 1 : focus);
    setSelection(selected, focus);
  }
  m_items.erase(m_items.begin() + index);
  reloadData();
  return true;
}

void Swell_vVorna_listview::deleteAllRows()
{
  ownermode_cnt = 0;
  while (!m_items.empty()) m_items.pop_back();
  reloadData();
}

bool Swell_vVorna_listview::setItemState(int index, UINT state, UINT mask)
{
  if (index == -1)
  {
    ++s_is_doing_all;
    for (int i = 0; i < itemCount(); ++i) setItemState(i, state, mask);
    --s_is_doing_all;
    if (!isOwnerData()) reloadData();
    return true;
  }
  if (index < 0 || index >= itemCount()) return false;
  bool imageChanged = false;
  if (!isOwnerData() && (mask & LVIS_STATEIMAGEMASK))
  {
    SWELL_ListView_Row& row = *m_items[static_cast<size_t>(index)];
    const int image = static_cast<int>((state >> 16) & 0xFF);
    if (row.m_image != image)
    {
      row.m_image = image;
      imageChanged = true;
    }
  }
  bool selectionChanged = false;
  if (mask & LVIS_SELECTED)
  {
    const bool selected = isRowSelected(index);
    if ((state & LVIS_SELECTED) && !selected)
    {
      selectRow(index);
      selectionChanged = true;
    }
    else if (!(state & LVIS_SELECTED) && selected)
    {
      deselectRow(index);
      selectionChanged = true;
    }
  }
  if (s_is_doing_all) return true;
  if (selectionChanged && !s_rent)
  {
    s_rent = true;
    notify(LVN_ITEMCHANGED, index, 0, NSPoint{}, 0, state);
    s_rent = false;
  }
  if (imageChanged) reloadData();
  return true;
}

void Swell_vVorna_listview::sortRows(PFNLVCOMPARE compare, LPARAM lParamSort)
{
  if (m_lbMode || isOwnerData() || !compare) return;
  // The comparison may read the rows, change them or destroy the list: the sort orders the
  // rows' parameters as they were, and the rows are put in that order only when they are all
  // still there, where they were.
  const StrongRef<Swell_vVorna_listview> keep(this);
  std::vector<const SWELL_ListView_Row*> rows;
  std::vector<LPARAM> params;
  for (const std::unique_ptr<SWELL_ListView_Row>& row : m_items)
  {
    rows.push_back(row.get());
    params.push_back(row->m_param);
  }
  std::vector<size_t> order(rows.size()), scratch(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  // A stable merge sort on the rows' parameters: equal keys keep their order.
  auto sort = [&](auto& self, size_t first, size_t n) -> void {
    if (n <= 1) return;
    const size_t left = n / 2;
    const size_t right = n - left;
    if (left > 1) self(self, first, left);
    if (right > 1) self(self, first + left, right);
    size_t a = first, b = first + left, out = 0;
    while (a < first + left && b < first + n)
      scratch[out++] = compare(params[order[a]], params[order[b]], lParamSort) <= 0 ? order[a++] : order[b++];
    while (a < first + left) scratch[out++] = order[a++];
    while (b < first + n) scratch[out++] = order[b++];
    for (size_t i = 0; i < out; ++i) order[first + i] = scratch[i];
  };
  sort(sort, 0, order.size());
  if (m_items.size() != rows.size()) return;
  for (size_t i = 0; i < rows.size(); ++i)
    if (m_items[i].get() != rows[i]) return;
  for (size_t i = 0; i < m_items.size(); ++i) m_items[i]->m_wasSelected = isRowSelected(static_cast<NSInteger>(i));
  std::vector<std::unique_ptr<SWELL_ListView_Row>> sorted(m_items.size());
  for (size_t i = 0; i < order.size(); ++i) sorted[i] = std::move(m_items[order[i]]);
  m_items.swap(sorted);
  if (!m_items.empty())
  {
    std::set<NSInteger> rows;
    for (size_t i = 0; i < m_items.size(); ++i)
      if (m_items[i]->m_wasSelected) rows.insert(static_cast<NSInteger>(i));
    selectRowIndexes(rows, false);
  }
  reloadData();
}

LRESULT Swell_vVorna_listview::notify(int code, int item, int subItem, NSPoint action, LPARAM lParam, UINT newState)
{
  HWND parent = GetParent(handle());
  if (!parent) return 0;
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = handle();
  nm.hdr.idFrom = static_cast<UINT_PTR>(m_tag);
  nm.hdr.code = static_cast<UINT>(code);
  nm.iItem = item;
  nm.iSubItem = subItem;
  nm.uNewState = newState;
  nm.ptAction.x = static_cast<int>(action.x);
  nm.ptAction.y = static_cast<int>(action.y);
  nm.lParam = lParam;
  return SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&nm));
}

NSString Swell_vVorna_listview::objectValueForTableColumn(NSTableView*, NSTableColumn* column, NSInteger row)
{
  const auto found = std::find(m_cols.begin(), m_cols.end(), column);
  const int col = found == m_cols.end() ? -1 : static_cast<int>(found - m_cols.begin());
  if (isOwnerData())
  {
    HWND parent = GetParent(handle());
    m_dispText[0] = 0;
    NMLVDISPINFO info{};
    info.hdr.hwndFrom = handle();
    info.hdr.idFrom = static_cast<UINT_PTR>(m_tag);
    info.hdr.code = static_cast<UINT>(LVN_GETDISPINFO);
    info.item.mask = LVIF_TEXT | (m_status_imagelist_type == LVSIL_STATE   ? LVIF_STATE
                                  : m_status_imagelist_type == LVSIL_SMALL ? LVIF_IMAGE
                                                                           : 0);
    info.item.iItem = static_cast<int>(row);
    info.item.iSubItem = col;
    info.item.pszText = m_dispText;
    info.item.cchTextMax = sizeof m_dispText - 1;
    info.item.iImage = -1;
    if (parent) SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&info));
    m_dispImage = m_status_imagelist_type == LVSIL_STATE   ? static_cast<int>((info.item.state >> 16) & 0xFF)
                  : m_status_imagelist_type == LVSIL_SMALL ? info.item.iImage + 1
                                                           : 0;
    return NSString(info.item.pszText ? info.item.pszText : "");
  }
  if (row < 0 || row >= static_cast<NSInteger>(m_items.size())) return NSString();
  return NSString(m_items[static_cast<size_t>(row)]->text(col));
}

LRESULT Swell_vVorna_listview::onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  const int count = itemCount();
  const auto index = static_cast<int>(wParam);
  const bool validIndex = index >= 0 && index < count;
  switch (msg)
  {
  case WM_SETREDRAW:
    if (SWELL_GetOSXVersion() >= 0x1070)
    {
      if (wParam)
        endUpdates();
      else
        beginUpdates();
    }
    return 0;
  case LB_ADDSTRING:
  {
    const char* text = reinterpret_cast<const char*>(lParam);
    const int position = m_lbMode && (style & LBS_SORT) ? sortedInsertPosition(text ? text : "") : count;
    LVITEM item{};
    item.mask = LVIF_TEXT;
    return isOwnerData() ? -1 : insertRow(position, text, &item);
  }
  case LB_INSERTSTRING:
  {
    LVITEM item{};
    item.mask = LVIF_TEXT;
    const size_t position = std::min<size_t>(wParam, static_cast<size_t>(count));
    return isOwnerData() ? -1 : insertRow(static_cast<int>(position), reinterpret_cast<const char*>(lParam), &item);
  }
  case LB_DELETESTRING:
    deleteRow(index);
    return 0;
  case LB_GETTEXT:
  {
    char* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer) return -1;
    buffer[0] = 0;
    const char* text = validIndex ? rowText(index, 0) : nullptr;
    if (!text) return -1;
    std::strcpy(buffer, text);
    return static_cast<LRESULT>(std::strlen(text));
  }
  case LB_RESETCONTENT:
    deleteAllRows();
    return 0;
  case LB_SETSEL:
    setItemState(static_cast<int>(lParam), wParam ? LVIS_SELECTED : 0, LVIS_SELECTED);
    return 0;
  case LB_SETCURSEL:
    if (wParam < static_cast<WPARAM>(count))
    {
      selectRowIndexes({index}, false);
      scrollRowToVisible(index);
    }
    else
      deselectAll();
    return 0;
  case LB_GETSEL:
    return validIndex && isRowSelected(index) ? 1 : 0;
  case LB_GETCURSEL:
    return selectedRow();
  case LB_GETTEXTLEN:
  {
    if (!validIndex) return -1;
    const char* text = rowText(index, 0);
    return text ? static_cast<LRESULT>(std::strlen(text)) : 0;
  }
  case LB_GETCOUNT:
    return count;
  case LB_GETSELCOUNT:
    return numberOfSelectedRows();
  case LB_GETITEMDATA:
    return validIndex && !isOwnerData() ? m_items[static_cast<size_t>(index)]->m_param : 0;
  case LB_SETITEMDATA:
    if (validIndex && !isOwnerData()) m_items[static_cast<size_t>(index)]->m_param = lParam;
    return 0;
  default:
    return 0;
  }
}
