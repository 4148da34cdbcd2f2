#pragma once

// List views, list boxes and tree views in a window whose procedure records the
// notifications it hears.

#include "wnd_test_support.h"

#include "swell-listview-view.h"
#include "swell-treeview-view.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace table_test
{
struct Notice
{
  int code;
  int item;
  int subItem;
  UINT newState;
  POINT action;
  LPARAM param;
};

class TableControlsTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    Recorder* r = recorder("parent");
    r->answer = [this](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
      if (msg == WM_NOTIFY)
      {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        Notice n{};
        n.code = static_cast<int>(hdr->code);
        if (hdr->code == static_cast<UINT>(LVN_GETDISPINFO))
        {
          auto* info = reinterpret_cast<NMLVDISPINFO*>(lParam);
          n.item = info->item.iItem;
          n.subItem = info->item.iSubItem;
          if (onDisplayInfo) onDisplayInfo(info);
        }
        else if (swellListView(hdr->hwndFrom))
        {
          const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
          n.item = nm->iItem;
          n.subItem = nm->iSubItem;
          n.newState = nm->uNewState;
          n.action = nm->ptAction;
          n.param = nm->lParam;
        }
        notices.push_back(n);
        if (onNotice) onNotice(hdr);
        if (answerNotice) return answerNotice(hdr);
      }
      return std::nullopt;
    };
    parent = topLevel(r, cocoa::NSMakeRect(100, 100, 400, 300));
  }

  Swell_vVorna_listview* listView(int style, bool listBox = false, cocoa::NSRect frame = cocoa::NSMakeRect(10, 10, 300, 200))
  {
    return swellCreateListView(viewOf(parent), 7, style, frame, listBox);
  }

  // Columns of 120 points, each called "Name".
  static void addNamedColumns(HWND lv, int count)
  {
    LVCOLUMN column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    for (int i = 0; i < count; ++i) ListView_InsertColumn(lv, i, &column);
  }

  static std::vector<std::string> texts(HWND lv)
  {
    std::vector<std::string> out;
    for (int i = 0; i < ListView_GetItemCount(lv); ++i)
    {
      char buf[64];
      ListView_GetItemText(lv, i, 0, buf, sizeof buf);
      out.emplace_back(buf);
    }
    return out;
  }

  static int insert(HWND lv, int at, const char* text, LPARAM param = 0)
  {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = at;
    item.pszText = const_cast<char*>(text);
    item.lParam = param;
    return ListView_InsertItem(lv, &item);
  }

  static std::vector<int> selection(HWND lv)
  {
    std::vector<int> rows;
    for (int i = ListView_GetNextItem(lv, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(lv, i, LVNI_SELECTED))
      rows.push_back(i);
    return rows;
  }

  // An item's text as TreeView_GetItem copies it.
  static std::string treeText(HWND tree, HTREEITEM item)
  {
    char buf[32] = {};
    TVITEM it{};
    it.mask = TVIF_HANDLE | TVIF_TEXT;
    it.hItem = item;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    TreeView_GetItem(tree, &it);
    return std::string(buf);
  }

  int count(int code) const
  {
    return static_cast<int>(std::count_if(notices.begin(), notices.end(), [code](const Notice& n) { return n.code == code; }));
  }

  // The point of a list or tree view's row in window content coordinates (y down).
  cocoa::NSPoint pointOfRow(cocoa::NSTableView* lv, int row, cocoa::CGFloat x = 40)
  {
    const cocoa::NSPoint base = lv->convertPointToView(cocoa::NSMakePoint(x, cocoa::NSMidY(lv->rectOfRow(row))), nullptr);
    return cocoa::NSMakePoint(base.x, windowOf(parent)->contentView()->frame().size.height - base.y);
  }

  HWND parent = nullptr;
  std::vector<Notice> notices;
  std::function<void(NMLVDISPINFO*)> onDisplayInfo;
  std::function<void(const NMHDR*)> onNotice;
  std::function<LRESULT(const NMHDR*)> answerNotice;
};
}  // namespace table_test
