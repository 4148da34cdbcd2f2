// List views, list boxes, tree views, tab controls and progress bars in a window, with the
// notifications their parent hears.
#include "table_test_support.h"

#include "swell-tabctrl-view.h"

#include <cstring>

using namespace cocoa;
using namespace table_test;

TEST_F(TableControlsTest, SortedInsertionFollowsTheStyleAndTheSelectionStaysWithItsRows)
{
  HWND up = listView(LVS_REPORT | LVS_SORTASCENDING)->handle();
  HWND down = listView(LVS_REPORT | LVS_SORTDESCENDING, false, NSMakeRect(10, 10, 100, 100))->handle();
  for (const char* t : {"b", "a", "c", "b"})
  {
    insert(up, 99, t);
    insert(down, 0, t);
  }
  EXPECT_EQ(texts(up), (std::vector<std::string>{"a", "b", "b", "c"}));
  EXPECT_EQ(texts(down), (std::vector<std::string>{"c", "b", "b", "a"}));

  // Unsorted: inserting before a selected row moves the selection along with it; deleting
  // a row before it moves it back; deleting the selected row drops it.
  HWND plain = listView(LVS_REPORT, false, NSMakeRect(10, 10, 100, 100))->handle();
  for (const char* t : {"r0", "r1", "r2"}) insert(plain, 99, t);
  ListView_SetItemState(plain, 1, LVIS_SELECTED, LVIS_SELECTED);
  insert(plain, 0, "new");
  EXPECT_EQ(selection(plain), std::vector<int>{2});
  EXPECT_EQ(ListView_GetSelectionMark(plain), 2);
  insert(plain, 2, "at");
  EXPECT_EQ(selection(plain), std::vector<int>{3});
  insert(plain, 99, "end");
  EXPECT_EQ(selection(plain), std::vector<int>{3});
  ListView_DeleteItem(plain, 0);
  EXPECT_EQ(selection(plain), std::vector<int>{2});
  ListView_DeleteItem(plain, 2);
  EXPECT_TRUE(selection(plain).empty());

  // The caller's sort moves rows by their parameters and keeps their selection; equal keys
  // keep their order.
  ListView_DeleteAllItems(plain);
  insert(plain, 9, "x", 3);
  insert(plain, 9, "y", 1);
  insert(plain, 9, "z", 2);
  insert(plain, 9, "w", 1);
  ListView_SetItemState(plain, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SortItems(plain, [](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(a - b); }, 0);
  EXPECT_EQ(texts(plain), (std::vector<std::string>{"y", "w", "z", "x"}));
  EXPECT_EQ(selection(plain), std::vector<int>{3});

  // A comparison may read the rows while they are sorted; one that deletes a row leaves the
  // rows as they then stand.
  struct Sorting
  {
    HWND list;
    bool deleteOne;
    std::vector<std::string> seen;
  };
  const auto compareReading = [](LPARAM a, LPARAM b, LPARAM context) {
    auto* sorting = reinterpret_cast<Sorting*>(context);
    char text[16] = "";
    LVITEM row{};
    row.mask = LVIF_TEXT;
    row.pszText = text;
    row.cchTextMax = sizeof text;
    ListView_GetItem(sorting->list, &row);
    sorting->seen.emplace_back(text);
    if (std::exchange(sorting->deleteOne, false)) ListView_DeleteItem(sorting->list, 0);
    return static_cast<int>(b - a);
  };
  Sorting reading{plain, false, {}};
  ListView_SortItems(plain, compareReading, reinterpret_cast<LPARAM>(&reading));
  EXPECT_EQ(texts(plain), (std::vector<std::string>{"x", "z", "y", "w"}));
  EXPECT_FALSE(reading.seen.empty());
  Sorting deleting{plain, true, {}};
  ListView_SortItems(plain, compareReading, reinterpret_cast<LPARAM>(&deleting));
  EXPECT_EQ(texts(plain), (std::vector<std::string>{"z", "y", "w"}));
}

TEST_F(TableControlsTest, ItemStateNotifiesOnceAndNeverFromInsideItsOwnNotification)
{
  HWND lv = listView(LVS_REPORT)->handle();
  for (const char* t : {"a", "b", "c"}) insert(lv, 99, t);
  // A handler that selects another row while told of a change gets no nested notice.
  onNotice = [lv](const NMHDR* hdr) {
    if (hdr->code == static_cast<UINT>(LVN_ITEMCHANGED)) ListView_SetItemState(lv, 2, LVIS_SELECTED, LVIS_SELECTED);
  };
  EXPECT_TRUE(ListView_SetItemState(lv, 0, LVIS_SELECTED, LVIS_SELECTED));
  ASSERT_EQ(count(LVN_ITEMCHANGED), 1);
  EXPECT_EQ(notices.back().item, 0);
  EXPECT_EQ(selection(lv), (std::vector<int>{0, 2}));
  onNotice = nullptr;
  // Selecting a selected row changes nothing; clearing every row tells nobody.
  ListView_SetItemState(lv, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(lv, -1, 0, LVIS_SELECTED);
  EXPECT_EQ(count(LVN_ITEMCHANGED), 1);
  EXPECT_TRUE(selection(lv).empty());
  EXPECT_FALSE(ListView_SetItemState(lv, 3, LVIS_SELECTED, LVIS_SELECTED));

  // Single selection replaces; state images live in bits 16-23.
  HWND single = listView(LVS_REPORT | LVS_SINGLESEL, false, NSMakeRect(0, 0, 50, 50))->handle();
  for (const char* t : {"a", "b"}) insert(single, 99, t);
  ListView_SetItemState(single, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(single, 1, LVIS_SELECTED | INDEXTOSTATEIMAGEMASK(3), LVIS_SELECTED | LVIS_STATEIMAGEMASK);
  EXPECT_EQ(selection(single), std::vector<int>{1});
  EXPECT_EQ(ListView_GetItemState(single, 1, LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK),
            LVIS_SELECTED | LVIS_FOCUSED | (3 << 16));

  // Texts: padded up to the column set, column 32 ignored, copies bounded by the buffer.
  ListView_SetItemText(lv, 1, 3, "three");
  ListView_SetItemText(lv, 1, 32, "never");
  char buf[8] = "xxxxxxx";
  ListView_GetItemText(lv, 1, 2, buf, sizeof buf);
  EXPECT_STREQ(buf, "");
  ListView_GetItemText(lv, 1, 3, buf, 4);
  EXPECT_STREQ(buf, "thr");
  std::strcpy(buf, "keep");
  ListView_GetItemText(lv, 1, 3, buf, 0);
  EXPECT_STREQ(buf, "keep");
}

TEST_F(TableControlsTest, OwnerDataAsksTheParentForEveryCellAndRefusesRows)
{
  Swell_vVorna_listview* lv = listView(LVS_REPORT | LVS_OWNERDATA);
  addNamedColumns(lv->handle(), 2);
  EXPECT_EQ(insert(lv->handle(), 0, "no"), -1);
  ListView_SetItemCount(lv->handle(), 4);
  EXPECT_EQ(ListView_GetItemCount(lv->handle()), 4);

  std::vector<std::string> asked;
  onDisplayInfo = [&asked](NMLVDISPINFO* info) {
    EXPECT_EQ(info->item.mask & LVIF_TEXT, static_cast<UINT>(LVIF_TEXT));
    EXPECT_EQ(info->item.cchTextMax, 1023);
    EXPECT_EQ(info->item.pszText[0], 0);
    EXPECT_EQ(info->item.iImage, -1);
    asked.push_back(std::to_string(info->item.iItem) + ":" + std::to_string(info->item.iSubItem));
    std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "row %d", info->item.iItem);
  };
  EXPECT_EQ(lv->objectValueForTableColumn(lv, lv->m_cols[1], 2).str(), "row 2");
  EXPECT_EQ(asked, std::vector<std::string>{"2:1"});
  // A handler may point the text elsewhere.
  static char elsewhere[] = "pointed";
  onDisplayInfo = [](NMLVDISPINFO* info) { info->item.pszText = elsewhere; };
  EXPECT_EQ(lv->objectValueForTableColumn(lv, lv->m_cols[0], 0).str(), "pointed");
  // Drawing asks for the rows on show.
  asked.clear();
  onDisplayInfo = [&asked](NMLVDISPINFO* info) { asked.push_back(std::to_string(info->item.iItem)); };
  driver.runUntilIdle();
  EXPECT_GE(asked.size(), 8u);
  ListView_SetItemState(lv->handle(), 3, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(ListView_GetItemState(lv->handle(), 3, LVIS_SELECTED), LVIS_SELECTED);
}

// Drawing asks the parent for each cell; a parent that removes a column and rows while it
// answers leaves the rest to be drawn from what is still there.
TEST_F(TableControlsTest, AParentThatChangesTheListWhileItIsDrawnLeavesTheRestDrawn)
{
  Swell_vVorna_listview* lv = listView(LVS_REPORT | LVS_OWNERDATA);
  addNamedColumns(lv->handle(), 3);
  ListView_SetItemCount(lv->handle(), 6);
  driver.runUntilIdle();
  HWND list = lv->handle();
  int asked = 0;
  onDisplayInfo = [list, &asked](NMLVDISPINFO* info) {
    if (asked++ == 0)
    {
      ListView_DeleteColumn(list, 1);
      ListView_DeleteColumn(list, 0);
      ListView_SetItemCount(list, 2);
    }
    std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "row %d", info->item.iItem);
  };
  InvalidateRect(list, nullptr, FALSE);
  driver.runUntilIdle();
  EXPECT_GT(asked, 1);
  asked = 1;
  InvalidateRect(list, nullptr, FALSE);
  driver.runUntilIdle();
  EXPECT_EQ(asked, 1 + 2) << "one column of two rows is left";
}

TEST_F(TableControlsTest, ListBoxMessagesAppendClearAndCopy)
{
  HWND box = listView(LBS_SORT, true)->handle();
  EXPECT_EQ(SendMessage(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("pear")), 0);
  EXPECT_EQ(SendMessage(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("apple")), 0);
  EXPECT_EQ(SendMessage(box, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zz")), 2);
  EXPECT_EQ(SendMessage(box, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("mid")), 1);
  EXPECT_EQ(SendMessage(box, LB_GETCOUNT, 0, 0), 4);
  char buf[32] = "junk";
  EXPECT_EQ(SendMessage(box, LB_GETTEXT, 3, reinterpret_cast<LPARAM>(buf)), 2);
  EXPECT_STREQ(buf, "zz");
  EXPECT_EQ(SendMessage(box, LB_GETTEXT, 9, reinterpret_cast<LPARAM>(buf)), -1);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(SendMessage(box, LB_GETTEXTLEN, 1, 0), 3);
  EXPECT_EQ(SendMessage(box, LB_GETTEXTLEN, 4, 0), -1);

  SendMessage(box, LB_SETITEMDATA, 2, 77);
  EXPECT_EQ(SendMessage(box, LB_GETITEMDATA, 2, 0), 77);
  SendMessage(box, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessage(box, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(box, LB_GETSEL, 2, 0), 1);
  SendMessage(box, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SendMessage(box, LB_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(SendMessage(box, LB_GETSELCOUNT, 0, 0), 0);
  SendMessage(box, LB_DELETESTRING, 0, 0);
  SendMessage(box, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ(buf, "mid");
  SendMessage(box, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(box, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(TableControlsTest, HitTestsFlagPointsOutsideAndFindRowsInside)
{
  Swell_vVorna_listview* lv = listView(LVS_REPORT);
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH;
  column.cx = 100;
  ListView_InsertColumn(lv->handle(), 0, &column);
  ListView_InsertColumn(lv->handle(), 1, &column);
  for (int i = 0; i < 30; ++i) insert(lv->handle(), i, "row");
  driver.runUntilIdle();

  LVHITTESTINFO info{};
  info.pt = POINT{10, -5};
  EXPECT_EQ(ListView_HitTest(lv->handle(), &info), -1);
  EXPECT_EQ(info.flags, static_cast<UINT>(LVHT_ABOVE));
  info.pt = POINT{-1, 500};
  ListView_HitTest(lv->handle(), &info);
  EXPECT_EQ(info.flags, static_cast<UINT>(LVHT_TOLEFT | LVHT_BELOW));
  const int header = SWELL_GetListViewHeaderHeight(lv->handle());
  EXPECT_GT(header, 0);
  const int rowHeight = static_cast<int>(lv->rowHeight());
  info.pt = POINT{150, header + 2 * rowHeight + 1};
  EXPECT_EQ(ListView_SubItemHitTest(lv->handle(), &info), 2);
  EXPECT_EQ(info.flags, static_cast<UINT>(LVHT_ONITEMLABEL));
  EXPECT_EQ(info.iSubItem, 1);
  info.pt = POINT{50, 2};  // on the column titles
  EXPECT_EQ(ListView_HitTest(lv->handle(), &info), -1);
  EXPECT_EQ(info.flags, static_cast<UINT>(LVHT_NOWHERE));

  RECT r{};
  EXPECT_TRUE(ListView_GetSubItemRect(lv->handle(), 3, 1, 0, &r));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, header + 3 * rowHeight);
  EXPECT_EQ(r.bottom - r.top, rowHeight);
  EXPECT_FALSE(ListView_GetItemRect(lv->handle(), 31, &r, 0));
  EXPECT_EQ(ListView_GetTopIndex(lv->handle()), 0);
  ListView_EnsureVisible(lv->handle(), 29, FALSE);
  EXPECT_GT(ListView_GetTopIndex(lv->handle()), 15);
  EXPECT_EQ(ListView_GetCountPerPage(lv->handle()), static_cast<int>(lv->documentVisibleRect().size.height) / rowHeight);

  // A column asked for at 0 still goes to the end; the width goes to the column at 0.
  column.cx = 60;
  ListView_InsertColumn(lv->handle(), 0, &column);
  EXPECT_EQ(Header_GetItemCount(lv->handle()), 3);
  EXPECT_EQ(ListView_GetColumnWidth(lv->handle(), 0), 60);
  EXPECT_EQ(ListView_GetColumnWidth(lv->handle(), 1), 100);
  int order[3];
  EXPECT_TRUE(ListView_GetColumnOrderArray(lv->handle(), 3, order));
  EXPECT_EQ((std::vector<int>{order[0], order[1], order[2]}), (std::vector<int>{0, 1, 2}));
  const int reversed[] = {2, 1, 0};
  EXPECT_TRUE(ListView_SetColumnOrderArray(lv->handle(), 3, reversed));
  ListView_GetColumnOrderArray(lv->handle(), 3, order);
  EXPECT_EQ((std::vector<int>{order[0], order[1], order[2]}), (std::vector<int>{2, 1, 0}));
  EXPECT_FALSE(ListView_GetColumnOrderArray(lv->handle(), 2, order));
}

TEST_F(TableControlsTest, AClickNotifiesOnceAfterSelectingAndTheFourthDragEventBeginsADrag)
{
  Swell_vVorna_listview* lv = listView(LVS_REPORT);
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH;
  column.cx = 200;
  ListView_InsertColumn(lv->handle(), 0, &column);
  for (int i = 0; i < 5; ++i) insert(lv->handle(), i, "row", 100 + i);
  driver.runUntilIdle();
  NSWindow* window = windowOf(parent);

  int selectedWhenClicked = -2;
  onNotice = [&](const NMHDR* hdr) {
    if (hdr->code == static_cast<UINT>(NM_CLICK)) selectedWhenClicked = ListView_GetNextItem(lv->handle(), -1, LVNI_SELECTED);
  };
  driver.click(window, pointOfRow(lv, 2));
  EXPECT_EQ(count(NM_CLICK), 1);
  EXPECT_EQ(selectedWhenClicked, 2);
  EXPECT_EQ(count(LVN_ITEMCHANGED), 1);  // the user's choice, told by the window
  EXPECT_EQ(notices.back().item, 2);

  // Three drag events are still a click; the fourth begins a drag of the row pressed,
  // selecting it first, and then no click follows.
  notices.clear();
  driver.drag(window, pointOfRow(lv, 1), pointOfRow(lv, 1, 60), 3);
  EXPECT_EQ(count(LVN_BEGINDRAG), 0);
  EXPECT_EQ(count(NM_CLICK), 1);
  notices.clear();
  driver.drag(window, pointOfRow(lv, 4), pointOfRow(lv, 0), 6);
  ASSERT_EQ(count(LVN_BEGINDRAG), 1);
  EXPECT_EQ(count(NM_CLICK), 0);
  const auto begin = std::find_if(notices.begin(), notices.end(), [](const Notice& n) { return n.code == LVN_BEGINDRAG; });
  EXPECT_EQ(begin->item, 4);
  EXPECT_TRUE(ListView_GetItemState(lv->handle(), 4, LVIS_SELECTED));
  EXPECT_GE(recorders.front().count(WM_MOUSEMOVE), 1);
  EXPECT_EQ(recorders.front().count(WM_LBUTTONUP), 1);

  // A double click tells which row and column, with the row's parameter.
  int doubleItem = -2;
  LPARAM doubleParam = 0;
  onNotice = [&](const NMHDR* hdr) {
    if (hdr->code != static_cast<UINT>(NM_DBLCLK)) return;
    doubleItem = reinterpret_cast<const NMLISTVIEW*>(hdr)->iItem;
    doubleParam = reinterpret_cast<const NMLISTVIEW*>(hdr)->lParam;
  };
  driver.doubleClick(window, pointOfRow(lv, 3));
  EXPECT_EQ(doubleItem, 3);
  EXPECT_EQ(doubleParam, 103);
  onNotice = nullptr;

  // A fast-click column answers at the press, once.
  notices.clear();
  SWELL_SetListViewFastClickMask(lv->handle(), 1);
  driver.click(window, pointOfRow(lv, 3));
  EXPECT_EQ(count(NM_CLICK), 1);
}

TEST_F(TableControlsTest, TreeItemsGoWhereAskedAndSelectionNotifiesEvenWhenHidden)
{
  Swell_vVorna_treeview* tv = swellCreateTreeView(viewOf(parent), 9, 0, NSMakeRect(10, 10, 200, 200));
  HWND tree = tv->handle();
  auto add = [tree](HTREEITEM parentItem, HTREEITEM after, const char* text, bool children = false) {
    TVINSERTSTRUCT ins{};
    ins.hParent = parentItem;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.cChildren = children ? 1 : 0;
    ins.item.lParam = text[0];
    return TreeView_InsertItem(tree, &ins);
  };
  auto textOf = [tree](HTREEITEM item) { return treeText(tree, item); };
  HTREEITEM b = add(TVI_ROOT, TVI_LAST, "b", true);
  HTREEITEM a = add(nullptr, TVI_FIRST, "a");
  add(nullptr, TVI_SORT, "c");  // appends: nothing is sorted
  HTREEITEM b1 = add(b, TVI_LAST, "b1");
  HTREEITEM b0 = add(b, a, "b0");  // after an item of another parent: first
  add(b0, TVI_LAST, "b00");
  EXPECT_EQ(add(reinterpret_cast<HTREEITEM>(&notices), TVI_LAST, "lost"), nullptr);

  std::vector<std::string> roots;
  for (HTREEITEM i = TreeView_GetRoot(tree); i; i = TreeView_GetNextSibling(tree, i)) roots.push_back(textOf(i));
  EXPECT_EQ(roots, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(TreeView_GetChild(tree, b), b0);
  EXPECT_EQ(TreeView_GetNextSibling(tree, b0), b1);
  EXPECT_EQ(TreeView_GetNextSibling(tree, b1), nullptr);
  EXPECT_EQ(TreeView_GetNextSibling(tree, nullptr), a);

  // Expanding acts once; an item without the flag shows no children.
  EXPECT_EQ(tv->numberOfRows(), 3);
  EXPECT_EQ(TreeView_Expand(tree, b, TVE_EXPAND), 1);
  EXPECT_EQ(TreeView_Expand(tree, b, TVE_EXPAND), 0);
  EXPECT_EQ(tv->numberOfRows(), 5);
  EXPECT_EQ(TreeView_Expand(tree, b0, TVE_EXPAND), 1);
  EXPECT_EQ(tv->numberOfRows(), 5);

  // Selecting an item inside a collapsed parent selects nothing, and still tells; a handler
  // selecting again is not told again.
  onNotice = [tree, a](const NMHDR* hdr) {
    if (hdr->code == static_cast<UINT>(TVN_SELCHANGED)) TreeView_SelectItem(tree, a);
  };
  TreeView_Expand(tree, b, TVE_COLLAPSE);
  TreeView_SelectItem(tree, b1);
  EXPECT_EQ(count(TVN_SELCHANGED), 1);
  EXPECT_EQ(TreeView_GetSelection(tree), a);
  onNotice = nullptr;
  TreeView_SelectItem(tree, b);
  EXPECT_EQ(TreeView_GetSelection(tree), b);
  TVITEM state{};
  state.mask = TVIF_HANDLE;
  state.hItem = b;
  TreeView_GetItem(tree, &state);
  EXPECT_EQ(state.state, static_cast<UINT>(TVIS_SELECTED));
  EXPECT_EQ(state.cChildren, 1);
  EXPECT_EQ(state.lParam, 'b');

  // Deleting a parent deletes its subtree; the selection goes with its item.
  TreeView_DeleteItem(tree, b);
  EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
  EXPECT_EQ(tv->numberOfRows(), 2);
  EXPECT_FALSE(tv->findItem(b1, nullptr, nullptr));
  TVHITTESTINFO hit{};
  hit.pt = POINT{5, static_cast<int>(tv->rowHeight()) + 2};
  EXPECT_EQ(textOf(TreeView_HitTest(tree, &hit)), "c");
  TreeView_DeleteAllItems(tree);
  EXPECT_EQ(TreeView_GetRoot(tree), nullptr);
}

TEST_F(TableControlsTest, TabsClampTheirIndexAndInsertingNeverNotifies)
{
  Swell_vVorna_tabview* tabs = swellCreateTabControl(viewOf(parent), 5, NSMakeRect(10, 10, 300, 150));
  HWND tab = swellHandleOf(tabs);
  TCITEM item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>("One");
  EXPECT_EQ(TabCtrl_InsertItem(tab, 0, &item), 0);
  item.pszText = const_cast<char*>("Two");
  EXPECT_EQ(TabCtrl_InsertItem(tab, 99, &item), 1);
  item.pszText = const_cast<char*>("Zero");
  EXPECT_EQ(TabCtrl_InsertItem(tab, -5, &item), 0);
  item.mask = 0;
  EXPECT_EQ(TabCtrl_InsertItem(tab, 0, &item), -1);
  EXPECT_EQ(count(TCN_SELCHANGE), 0);
  EXPECT_EQ(TabCtrl_GetItemCount(tab), 3);
  EXPECT_EQ(TabCtrl_GetCurSel(tab), 1);  // "One", selected as the first tab in

  EXPECT_EQ(TabCtrl_SetCurSel(tab, 2), 1);
  EXPECT_EQ(count(TCN_SELCHANGE), 1);
  EXPECT_EQ(TabCtrl_SetCurSel(tab, 5), 2);
  EXPECT_EQ(TabCtrl_GetCurSel(tab), 2);
  EXPECT_EQ(count(TCN_SELCHANGE), 1);
  EXPECT_FALSE(TabCtrl_DeleteItem(tab, 3));
  // Deleting the selected tab chooses its neighbour, which is told.
  EXPECT_TRUE(TabCtrl_DeleteItem(tab, 2));
  EXPECT_EQ(TabCtrl_GetCurSel(tab), 1);
  EXPECT_EQ(count(TCN_SELCHANGE), 2);
  // A click on a tab chooses it.
  driver.click(windowOf(parent), NSMakePoint(10 + NSMidX(tabs->tabRectAtIndex(0)), 10 + 10));
  EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);
  EXPECT_EQ(count(TCN_SELCHANGE), 3);

  RECT r{10, 20, 300, 200};
  TabCtrl_AdjustRect(tab, FALSE, &r);
  EXPECT_EQ(r.top, 46);
  TabCtrl_AdjustRect(tab, TRUE, &r);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{10, 20, 300, 200}));

  Swell_vVorna_progind* bar = swellCreateProgressBar(viewOf(parent), 6, NSMakeRect(10, 170, 300, 16));
  SendMessage(swellHandleOf(bar), PBM_SETRANGE, 0, 100 << 16);
  SendMessage(swellHandleOf(bar), PBM_SETPOS, 40, 0);
  SendMessage(swellHandleOf(bar), PBM_DELTAPOS, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(bar->minValue(), 0);
  EXPECT_EQ(bar->maxValue(), 100);
  EXPECT_GT(bar->doubleValue(), 1e18);  // taken unsigned: no step back
  EXPECT_EQ(bar->filledFraction(), 1.0);
}

TEST_F(TableControlsTest, TheControlsDrawFromTheThemeWithTheirOwnColours)
{
  NSWindow* window = windowOf(parent);
  window->setFrame(window->frameRectForContentRect(NSMakeRect(100, 100, 640, 300)), false);
  Swell_vVorna_listview* lv = listView(LVS_REPORT, false, NSMakeRect(10, 10, 300, 130));
  HWND list = lv->handle();
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = 150;
  column.pszText = const_cast<char*>("Name");
  ListView_InsertColumn(list, 0, &column);
  column.pszText = const_cast<char*>("Size");
  column.cx = 100;
  ListView_InsertColumn(list, 1, &column);
  for (const char* t : {"kick.wav", "snare.wav", "hat.wav", "pad.wav"}) ListView_SetItemText(list, insert(list, 99, t), 1, "12 kB");
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
  HDITEM sorted{};
  sorted.mask = HDI_FORMAT;
  sorted.fmt = HDF_SORTUP;
  Header_SetItem(list, 0, &sorted);
  const int colours[] = {0xFF8800, 0xFFFFFF, 0x00AA00, 0x000000};
  ListView_SetSelColors(list, colours, 4);
  ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);

  Swell_vVorna_treeview* tv = swellCreateTreeView(viewOf(parent), 9, 0, NSMakeRect(320, 10, 150, 130));
  TVINSERTSTRUCT ins{};
  ins.item.mask = TVIF_TEXT | TVIF_CHILDREN;
  ins.item.pszText = const_cast<char*>("Drums");
  ins.item.cChildren = 1;
  HTREEITEM drums = TreeView_InsertItem(tv->handle(), &ins);
  ins.item.pszText = const_cast<char*>("Pads");
  TreeView_InsertItem(tv->handle(), &ins);
  ins.hParent = drums;
  ins.item.cChildren = 0;
  ins.item.pszText = const_cast<char*>("Kick");
  TreeView_InsertItem(tv->handle(), &ins);
  TreeView_Expand(tv->handle(), drums, TVE_EXPAND);

  Swell_vVorna_tabview* tabs = swellCreateTabControl(viewOf(parent), 5, NSMakeRect(10, 150, 460, 100));
  TCITEM item{};
  item.mask = TCIF_TEXT;
  for (const char* t : {"Audio", "MIDI", "Display"})
  {
    item.pszText = const_cast<char*>(t);
    TabCtrl_InsertItem(swellHandleOf(tabs), 99, &item);
  }
  TabCtrl_SetCurSel(swellHandleOf(tabs), 1);
  Swell_vVorna_progind* bar = swellCreateProgressBar(viewOf(parent), 6, NSMakeRect(10, 260, 460, 16));
  SendMessage(swellHandleOf(bar), PBM_SETRANGE, 0, 100 << 16);
  SendMessage(swellHandleOf(bar), PBM_SETPOS, 40, 0);

  window->display();
  ASSERT_TRUE(driver.snapshot(window, "swell_table_controls.png"));
  auto pixel = [window](int x, int y) { return window->backing().pixel(x, y) & 0xFFFFFF; };
  const int strip = static_cast<int>(window->frame().size.height - window->contentRectForFrameRect(window->frame()).size.height);
  // The selected row (the second, below the titles) in the list's own unfocused colour.
  const int rowY = strip + 10 + SWELL_GetListViewHeaderHeight(list) + static_cast<int>(lv->rowHeight() * 1.5);
  EXPECT_EQ(pixel(10 + 140, rowY), 0x00AA00u);
  EXPECT_NE(pixel(10 + 140, rowY + static_cast<int>(lv->rowHeight())), 0x00AA00u);
  // The bar: filled to 40 % in the accent, the rest track.
  EXPECT_NE(pixel(10 + 100, strip + 268), pixel(10 + 300, strip + 268));
  EXPECT_EQ(pixel(10 + 100, strip + 268), pixel(10 + 150, strip + 268));
}
