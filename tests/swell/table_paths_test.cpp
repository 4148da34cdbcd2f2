// The list and tree views beyond what the program uses: columns changed and removed after
// rows are in, scrolling by amounts, state images, right clicks and their context menu,
// items changed in place, and list-box rows drawn by their owner.
#include "table_test_support.h"

#include "swell-cursor.h"
#include "swell-gdi.h"
#include "swell-misc.h"

#include <cmath>
#include <cstdio>

using namespace cocoa;
using namespace table_test;

namespace
{
LVCOLUMN widthColumn(int cx, const char* title = nullptr)
{
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH | (title ? LVCF_TEXT : 0);
  column.cx = cx;
  column.pszText = const_cast<char*>(title);
  return column;
}

// Whether a row lies wholly inside the visible height.
bool rowShown(Swell_vVorna_listview* lv, int row)
{
  const NSRect visible = lv->documentVisibleRect();
  const NSRect r = lv->rectOfRow(row);
  return NSMinY(r) >= NSMinY(visible) && NSMaxY(r) <= NSMaxY(visible);
}

std::string headerTitle(Swell_vVorna_listview* lv, int col)
{
  return lv->m_cols[static_cast<size_t>(col)]->headerCell()->stringValue().str();
}
}  // namespace

TEST_F(TableControlsTest, ColumnsChangeAndGoByIndexAndScrollingStepsByWholeRowsAndColumns)
{
  Swell_vVorna_listview* lv = listView(LVS_REPORT);
  HWND list = lv->handle();
  for (const char* title : {"Name", "Size", "Kind"})
  {
    const LVCOLUMN column = widthColumn(200, title);
    ListView_InsertColumn(list, 9, &column);
  }
  for (int i = 0; i < 40; ++i)
  {
    char text[16];
    std::snprintf(text, sizeof text, "r%d", i);
    insert(list, i, text);
    ListView_SetItemText(list, i, 1, "s");
    ListView_SetItemText(list, i, 2, "k");
  }
  driver.runUntilIdle();

  // Setting a column: the title and the width as asked; a zero width hides it.
  LVCOLUMN change{};
  change.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  change.pszText = const_cast<char*>("Bytes");
  change.cx = 120;
  change.fmt = LVCFMT_RIGHT;
  ListView_SetColumn(list, 1, &change);
  EXPECT_EQ(headerTitle(lv, 1), "Bytes");
  EXPECT_EQ(ListView_GetColumnWidth(list, 1), 120);
  EXPECT_EQ(lv->m_cols[1]->headerCell()->alignment(), NSTextAlignmentRight);
  EXPECT_EQ(lv->m_cols[1]->dataCell()->alignment(), NSTextAlignmentLeft);  // the header only
  change.mask = LVCF_WIDTH;
  change.cx = 0;
  ListView_SetColumn(list, 2, &change);
  EXPECT_EQ(ListView_GetColumnWidth(list, 2), 0);
  change.cx = 200;
  ListView_SetColumn(list, 2, &change);
  EXPECT_EQ(ListView_GetColumnWidth(list, 2), 200);
  ListView_SetColumn(list, 3, &change);  // no such column: nothing
  EXPECT_EQ(Header_GetItemCount(list), 3);

  // Deleting a column: the later ones move down an index; row texts stay where they were.
  EXPECT_FALSE(ListView_DeleteColumn(list, 3));
  EXPECT_FALSE(ListView_DeleteColumn(list, -1));
  EXPECT_TRUE(ListView_DeleteColumn(list, 0));
  EXPECT_EQ(Header_GetItemCount(list), 2);
  EXPECT_EQ(headerTitle(lv, 0), "Bytes");
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), 120);
  char buf[16];
  ListView_GetItemText(list, 5, 0, buf, sizeof buf);
  EXPECT_STREQ(buf, "r5");
  int order[2];
  ASSERT_TRUE(ListView_GetColumnOrderArray(list, 2, order));
  EXPECT_EQ(order[0] + order[1], 1);
  driver.runUntilIdle();

  // Scrolling down by three rows from the top brings into view the row three below the one
  // at the bottom edge; back up by three rows, the row three above the top one.
  POINT at{-1, -1};
  EXPECT_TRUE(ListView_GetScroll(list, &at));
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 0);
  const int rowHeight = static_cast<int>(lv->rowHeight());
  const NSRect visible = lv->documentVisibleRect();
  const int bottomRow = static_cast<int>(lv->rowAtPoint(NSMakePoint(0, NSMaxY(visible) - 1)));
  ASSERT_GT(bottomRow, 0);
  EXPECT_TRUE(ListView_Scroll(list, 0, 3 * rowHeight + rowHeight / 2));
  NSRect now = lv->documentVisibleRect();
  EXPECT_TRUE(rowShown(lv, bottomRow + 3));
  EXPECT_FALSE(rowShown(lv, bottomRow + 4));
  ListView_GetScroll(list, &at);
  EXPECT_EQ(at.y, static_cast<int>(now.origin.y));
  EXPECT_GT(at.y, 3 * rowHeight - 1);
  const int topRow = static_cast<int>(lv->rowAtPoint(NSMakePoint(0, NSMinY(now))));
  EXPECT_TRUE(ListView_Scroll(list, 0, -3 * rowHeight));
  now = lv->documentVisibleRect();
  EXPECT_EQ(NSMinY(now), NSMinY(lv->rectOfRow(topRow - 3)));
  // Far past either end stops at the first and the last row.
  ListView_Scroll(list, 0, 1000 * rowHeight);
  EXPECT_TRUE(rowShown(lv, 39));
  ListView_Scroll(list, 0, -1000 * rowHeight);
  ListView_GetScroll(list, &at);
  EXPECT_EQ(at.y, 0);

  // Sideways by more than a column width: the next column is brought into view.
  EXPECT_TRUE(ListView_Scroll(list, 130, 0));
  ListView_GetScroll(list, &at);
  EXPECT_GT(at.x, 0);
  EXPECT_GE(NSMaxX(lv->documentVisibleRect()), NSMaxX(lv->rectOfColumn(1)));

  // Without column titles, a title set later is not shown either.
  Swell_vVorna_listview* untitled = listView(LVS_REPORT | LVS_NOCOLUMNHEADER, false, NSMakeRect(0, 0, 50, 50));
  const LVCOLUMN plain = widthColumn(40, "Hidden");
  ListView_InsertColumn(untitled->handle(), 0, &plain);
  change.mask = LVCF_TEXT;
  ListView_SetColumn(untitled->handle(), 0, &change);
  EXPECT_EQ(headerTitle(untitled, 0), "");
  EXPECT_EQ(SWELL_GetListViewHeaderHeight(untitled->handle()), 0);

  // Not a list view: nothing, and the point reads (0, 0).
  at = POINT{5, 5};
  EXPECT_FALSE(ListView_GetScroll(parent, &at));
  EXPECT_EQ(at.x + at.y, 0);
  EXPECT_FALSE(ListView_Scroll(parent, 0, 10));
  EXPECT_FALSE(ListView_DeleteColumn(parent, 0));
}

TEST_F(TableControlsTest, StateImagesComeFromBitsSixteenToTwentyThreeAndAPressOnOneSelectsNothing)
{
  NSWindow* window = windowOf(parent);
  Swell_vVorna_listview* lv = listView(LVS_REPORT, false, NSMakeRect(0, 0, 300, 200));
  HWND list = lv->handle();
  const LVCOLUMN column = widthColumn(200, "Name");
  ListView_InsertColumn(list, 0, &column);
  // One red image in the list.
  std::vector<unsigned char> pixels(16 * 16 * 4);
  for (size_t i = 0; i < pixels.size(); i += 4)
  {
    pixels[i + 2] = 255;
    pixels[i + 3] = 255;
  }
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, pixels.data());
  HIMAGELIST images = ImageList_CreateEx();
  ASSERT_EQ(ImageList_Add(images, bitmap, nullptr), 0);
  ListView_SetImageList(list, images, LVSIL_STATE);
  EXPECT_NE(dynamic_cast<Swell_vVorna_statuscell*>(lv->m_cols[0]->dataCell()), nullptr);

  for (int i = 0; i < 4; ++i)
  {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = i;
    item.pszText = const_cast<char*>("row");
    item.state = INDEXTOSTATEIMAGEMASK(i % 2);  // rows 1 and 3 show image 1, the first entry
    item.stateMask = LVIS_STATEIMAGEMASK;
    ListView_InsertItem(list, &item);
  }
  EXPECT_EQ(ListView_GetItemState(list, 3, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
  LVITEM read{};
  read.mask = LVIF_STATE;
  read.iItem = 1;
  read.stateMask = LVIS_STATEIMAGEMASK | LVIS_SELECTED;
  ASSERT_TRUE(ListView_GetItem(list, &read));
  EXPECT_EQ(read.state, static_cast<UINT>(INDEXTOSTATEIMAGEMASK(1)));
  // A state change of the image alone tells nobody.
  ListView_SetItemState(list, 2, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
  ListView_SetItemState(list, 2, 0, LVIS_STATEIMAGEMASK);
  EXPECT_EQ(count(LVN_ITEMCHANGED), 0);

  const int rowHeight = static_cast<int>(lv->rowHeight());
  // Drawn: the image in a square at the left of the rows that have one, the text after it.
  window->display();
  const int strip = static_cast<int>(window->frame().size.height - window->contentRectForFrameRect(window->frame()).size.height);
  auto pixelAtRow = [&](int row, int x) {
    const NSPoint p = pointOfRow(lv, row, x);
    return window->backing().pixel(static_cast<int>(p.x), static_cast<int>(p.y) + strip) & 0xFFFFFF;
  };
  // (The image is scaled to the row: allow for smoothing.)
  auto red = [](unsigned p) { return (p >> 16) >= 0xE0 && ((p >> 8) & 0xFF) < 0x40 && (p & 0xFF) < 0x40; };
  EXPECT_TRUE(red(pixelAtRow(1, 4))) << std::hex << pixelAtRow(1, 4);
  EXPECT_TRUE(red(pixelAtRow(3, 4)));
  EXPECT_FALSE(red(pixelAtRow(0, 4)));
  EXPECT_FALSE(red(pixelAtRow(2, 4)));
  EXPECT_FALSE(red(pixelAtRow(1, rowHeight + 4)));

  // Hit test: on the image square, or on the label after it.
  LVHITTESTINFO hit{};
  hit.pt = POINT{rowHeight, static_cast<int>(NSMidY(lv->rectOfRow(1)))};
  EXPECT_EQ(ListView_HitTest(list, &hit), 1);
  EXPECT_EQ(hit.flags, static_cast<UINT>(LVHT_ONITEMSTATEICON));
  hit.pt.x = rowHeight + 1;
  ListView_HitTest(list, &hit);
  EXPECT_EQ(hit.flags, static_cast<UINT>(LVHT_ONITEMLABEL));

  // A click on the image is told but selects nothing; a drag from it begins no drag and
  // moves nothing in the parent. A click on the text selects.
  driver.click(window, pointOfRow(lv, 1, 4));
  EXPECT_EQ(count(NM_CLICK), 1);
  EXPECT_EQ(notices.back().item, 1);
  EXPECT_TRUE(selection(list).empty());
  driver.drag(window, pointOfRow(lv, 3, 4), pointOfRow(lv, 0, 4), 6);
  EXPECT_EQ(count(LVN_BEGINDRAG), 0);
  EXPECT_EQ(recorders.front().count(WM_MOUSEMOVE), 0);
  EXPECT_TRUE(selection(list).empty());
  driver.click(window, pointOfRow(lv, 1, rowHeight + 20));
  EXPECT_EQ(selection(list), std::vector<int>{1});

  // Small images: LVIF_IMAGE stores the index + 1, and a press on the image selects.
  ListView_SetImageList(list, images, LVSIL_SMALL);
  LVITEM set{};
  set.mask = LVIF_IMAGE;
  set.iItem = 0;
  set.iImage = 0;
  EXPECT_TRUE(ListView_SetItem(list, &set));
  EXPECT_EQ(lv->m_items[0]->m_image, 1);
  driver.click(window, pointOfRow(lv, 2, 4));
  EXPECT_EQ(selection(list), std::vector<int>{2});
  ImageList_Destroy(images);
  DeleteObject(bitmap);
}

TEST_F(TableControlsTest, ARightClickAsksTheParentFirstAndOffersAContextMenuOnlyWhenItDeclines)
{
  NSWindow* window = windowOf(parent);
  Recorder& heard = recorders.front();
  Swell_vVorna_listview* lv = listView(LVS_REPORT, false, NSMakeRect(0, 0, 300, 200));
  HWND list = lv->handle();
  const LVCOLUMN column = widthColumn(200);
  ListView_InsertColumn(list, 0, &column);
  ListView_InsertColumn(list, 1, &column);
  for (int i = 0; i < 3; ++i) insert(list, i, "row", 10 + i);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  driver.runUntilIdle();
  notices.clear();

  // On a row that is not selected: it becomes the only selection, the parent hears
  // NM_RCLICK with the row, column and point, and then WM_CONTEXTMENU with the cursor.
  driver.click(window, pointOfRow(lv, 2, 230), TestDriver::right);
  ASSERT_EQ(count(NM_RCLICK), 1);
  const Notice rclick = notices.back();
  EXPECT_EQ(rclick.item, 2);
  EXPECT_EQ(rclick.subItem, 1);
  EXPECT_EQ(rclick.action.x, 230);
  EXPECT_EQ(rclick.action.y, static_cast<int>(std::floor(NSMidY(lv->rectOfRow(2)))));
  EXPECT_EQ(selection(list), std::vector<int>{2});
  ASSERT_EQ(heard.count(WM_CONTEXTMENU), 1);
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(heard.last(WM_CONTEXTMENU)->wParam, reinterpret_cast<WPARAM>(list));
  EXPECT_EQ(packedX(heard.last(WM_CONTEXTMENU)->lParam), cursor.x);
  EXPECT_EQ(packedY(heard.last(WM_CONTEXTMENU)->lParam), cursor.y);
  EXPECT_EQ(count(NM_CLICK), 0);

  // Below the rows: no row, the selection stays. A parent that answers NM_RCLICK has
  // handled it: no context menu.
  driver.click(window, NSMakePoint(100, 180), TestDriver::right);
  EXPECT_EQ(notices.back().item, -1);
  EXPECT_EQ(selection(list), std::vector<int>{2});
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 2);
  answerNotice = [](const NMHDR* hdr) -> LRESULT { return hdr->code == static_cast<UINT>(NM_RCLICK) ? 1 : 0; };
  driver.click(window, pointOfRow(lv, 0), TestDriver::right);
  EXPECT_EQ(count(NM_RCLICK), 3);
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 2);
  EXPECT_EQ(selection(list), std::vector<int>{0});
  answerNotice = nullptr;

  // A Control-click while right clicks are emulated: the same, then the click is told.
  SWELL_EnableRightClickEmulate(true);
  notices.clear();
  driver.click(window, pointOfRow(lv, 1), TestDriver::left, NSEventModifierFlagControl);
  std::vector<int> codes;
  for (const Notice& n : notices) codes.push_back(n.code);
  EXPECT_EQ(codes, (std::vector<int>{NM_RCLICK, NM_CLICK}));
  EXPECT_EQ(selection(list), std::vector<int>{1});
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 3);
  SWELL_EnableRightClickEmulate(false);

  // A list box goes straight to the context menu and keeps its selection.
  Swell_vVorna_listview* box = listView(0, true, NSMakeRect(310, 0, 80, 200));
  SendMessage(box->handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessage(box->handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
  driver.runUntilIdle();
  notices.clear();
  driver.click(window, pointOfRow(box, 1, 10), TestDriver::right);
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 4);
  EXPECT_EQ(heard.last(WM_CONTEXTMENU)->wParam, reinterpret_cast<WPARAM>(box->handle()));
  EXPECT_EQ(SendMessage(box->handle(), LB_GETCURSEL, 0, 0), -1);
}

TEST_F(TableControlsTest, ATreeTellsOfAPressBeforeItSelectsAndOfARightClickBeforeItsContextMenu)
{
  NSWindow* window = windowOf(parent);
  Recorder& heard = recorders.front();
  Swell_vVorna_treeview* tv = swellCreateTreeView(viewOf(parent), 9, 0, NSMakeRect(0, 0, 200, 200));
  HWND tree = tv->handle();
  std::vector<HTREEITEM> items;
  for (const char* text : {"a", "b", "c"})
  {
    TVINSERTSTRUCT ins{};
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text);
    items.push_back(TreeView_InsertItem(tree, &ins));
  }
  driver.runUntilIdle();

  // NM_CLICK comes first, while the selection is still the old one; then the row is chosen
  // and TVN_SELCHANGED follows.
  HTREEITEM selectedWhenTold = items[0];
  std::vector<int> codes;
  onNotice = [&](const NMHDR* hdr) {
    codes.push_back(static_cast<int>(hdr->code));
    EXPECT_EQ(hdr->hwndFrom, tree);
    EXPECT_EQ(hdr->idFrom, 9u);
    if (hdr->code == static_cast<UINT>(NM_CLICK)) selectedWhenTold = TreeView_GetSelection(tree);
  };
  driver.click(window, pointOfRow(tv, 1));
  EXPECT_EQ(codes, (std::vector<int>{NM_CLICK, TVN_SELCHANGED}));
  EXPECT_EQ(selectedWhenTold, nullptr);
  EXPECT_EQ(TreeView_GetSelection(tree), items[1]);

  // A right click: NM_RCLICK, then the context menu unless the parent answered.
  codes.clear();
  driver.click(window, pointOfRow(tv, 2), TestDriver::right);
  EXPECT_EQ(codes, std::vector<int>{NM_RCLICK});
  ASSERT_EQ(heard.count(WM_CONTEXTMENU), 1);
  EXPECT_EQ(heard.last(WM_CONTEXTMENU)->wParam, reinterpret_cast<WPARAM>(tree));
  answerNotice = [](const NMHDR*) -> LRESULT { return 1; };
  driver.click(window, pointOfRow(tv, 2), TestDriver::right);
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 1);
  answerNotice = nullptr;

  // Emulated: a Control-click is no press, only a right click at its release.
  SWELL_EnableRightClickEmulate(true);
  codes.clear();
  driver.click(window, pointOfRow(tv, 0), TestDriver::left, NSEventModifierFlagControl);
  EXPECT_EQ(codes, std::vector<int>{NM_RCLICK});
  EXPECT_EQ(heard.count(WM_CONTEXTMENU), 2);
  EXPECT_EQ(TreeView_GetSelection(tree), items[1]);
  SWELL_EnableRightClickEmulate(false);
}

TEST_F(TableControlsTest, TreeItemsChangeInPlaceOnlyWhenTheyAreFoundInTheTree)
{
  Swell_vVorna_treeview* tv = swellCreateTreeView(viewOf(parent), 9, 0, NSMakeRect(0, 0, 200, 200));
  HWND tree = tv->handle();
  auto add = [tree](HTREEITEM under, const char* text) {
    TVINSERTSTRUCT ins{};
    ins.hParent = under;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text);
    return TreeView_InsertItem(tree, &ins);
  };
  HTREEITEM folder = add(nullptr, "folder");
  HTREEITEM inside = add(folder, "inside");
  HTREEITEM other = add(nullptr, "other");
  // Children, but no flag: nothing shows below it, even expanded.
  TreeView_Expand(tree, folder, TVE_EXPAND);
  TreeView_Expand(tree, folder, TVE_COLLAPSE);
  EXPECT_EQ(tv->numberOfRows(), 2);

  TVITEM item{};
  item.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_PARAM | TVIF_TEXT | TVIF_STATE;
  item.hItem = folder;
  item.cChildren = 1;
  item.lParam = 99;
  item.pszText = const_cast<char*>("renamed");
  item.state = TVIS_EXPANDED;
  item.stateMask = TVIS_EXPANDED;
  EXPECT_EQ(TreeView_SetItem(tree, &item), 1);
  EXPECT_TRUE(tv->isItemExpanded(folder));
  EXPECT_EQ(tv->numberOfRows(), 3);
  EXPECT_EQ(treeText(tree, folder), "renamed");
  TVITEM read{};
  read.mask = TVIF_HANDLE;
  read.hItem = folder;
  TreeView_GetItem(tree, &read);
  EXPECT_EQ(read.lParam, 99);
  EXPECT_EQ(read.cChildren, 1);
  EXPECT_EQ(read.state, static_cast<UINT>(TVIS_EXPANDED));

  // Selecting through the state: one TVN_SELCHANGED, none nested from a handler that sets
  // the selection again; clearing the state does nothing.
  onNotice = [&](const NMHDR* hdr) {
    if (hdr->code != static_cast<UINT>(TVN_SELCHANGED)) return;
    TVITEM again{};
    again.mask = TVIF_HANDLE | TVIF_STATE;
    again.hItem = other;
    again.state = again.stateMask = TVIS_SELECTED;
    TreeView_SetItem(tree, &again);
  };
  TVITEM select{};
  select.mask = TVIF_HANDLE | TVIF_STATE;
  select.hItem = inside;
  select.state = select.stateMask = TVIS_SELECTED;
  EXPECT_EQ(TreeView_SetItem(tree, &select), 1);
  EXPECT_EQ(count(TVN_SELCHANGED), 1);
  EXPECT_EQ(TreeView_GetSelection(tree), other);
  onNotice = nullptr;
  select.state = 0;
  select.hItem = other;
  TreeView_SetItem(tree, &select);
  EXPECT_EQ(TreeView_GetSelection(tree), other);
  EXPECT_EQ(count(TVN_SELCHANGED), 1);

  // Collapsing through the state; inside a collapsed parent an item has no row to select.
  item.mask = TVIF_HANDLE | TVIF_STATE;
  item.state = 0;
  TreeView_SetItem(tree, &item);
  EXPECT_FALSE(tv->isItemExpanded(folder));
  select.hItem = inside;
  select.state = TVIS_SELECTED;
  TreeView_SetItem(tree, &select);
  EXPECT_EQ(TreeView_GetSelection(tree), other);
  EXPECT_EQ(count(TVN_SELCHANGED), 1);

  // Refused: no handle flag, no item, or an item of another tree.
  Swell_vVorna_treeview* second = swellCreateTreeView(viewOf(parent), 10, 0, NSMakeRect(200, 0, 100, 100));
  HTREEITEM stranger = nullptr;
  {
    TVINSERTSTRUCT ins{};
    ins.item.mask = TVIF_PARAM;
    ins.item.lParam = 5;
    stranger = TreeView_InsertItem(second->handle(), &ins);
  }
  TVITEM refused{};
  refused.mask = TVIF_PARAM;
  refused.hItem = folder;
  refused.lParam = 1;
  EXPECT_EQ(TreeView_SetItem(tree, &refused), 0);
  refused.mask = TVIF_HANDLE | TVIF_PARAM;
  refused.hItem = nullptr;
  EXPECT_EQ(TreeView_SetItem(tree, &refused), 0);
  refused.hItem = stranger;
  EXPECT_EQ(TreeView_SetItem(tree, &refused), 0);
  EXPECT_EQ(stranger->m_param, 5);
  EXPECT_EQ(TreeView_SetItem(parent, &item), 0);
}

TEST_F(TableControlsTest, OwnerDrawnListBoxRowsAreDrawnByTheParentOneMessagePerRow)
{
  std::vector<DRAWITEMSTRUCT> drawn;
  Recorder& heard = recorders.front();
  heard.answer = [&drawn](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_DRAWITEM) return std::nullopt;
    EXPECT_EQ(wParam, 7u);
    drawn.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return 1;
  };
  Swell_vVorna_listview* box = listView(LBS_OWNERDRAWFIXED, true, NSMakeRect(0, 0, 150, 200));
  HWND list = box->handle();
  for (int i = 0; i < 3; ++i)
  {
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("row"));
    SendMessage(list, LB_SETITEMDATA, i, 500 + i);
  }
  windowOf(parent)->display();
  ASSERT_GE(drawn.size(), 3u);
  std::vector<UINT> rows;
  for (const DRAWITEMSTRUCT& item : drawn)
  {
    rows.push_back(item.itemID);
    EXPECT_EQ(item.CtlType, 2u);
    EXPECT_EQ(item.CtlID, 7u);
    EXPECT_EQ(item.hwndItem, list);
    EXPECT_NE(item.hDC, nullptr);
    EXPECT_EQ(item.itemAction, 0u);
    EXPECT_EQ(item.itemState, 0u);
    EXPECT_EQ(item.itemData, 500u + item.itemID);
    const NSRect cell = box->frameOfCellAtColumn(0, item.itemID);
    EXPECT_EQ(item.rcItem.top, static_cast<int>(NSMinY(cell) + 0.5));
    EXPECT_EQ(item.rcItem.bottom - item.rcItem.top, static_cast<int>(NSHeight(cell) + 0.5));
  }
  EXPECT_EQ(rows, (std::vector<UINT>{0, 1, 2}));
}
