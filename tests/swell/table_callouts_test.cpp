// Lists, trees and tabs whose parent destroys them, or takes their rows and columns away,
// from inside a notification they send: every gesture that notifies is tried against every
// such parent, and the control must neither touch what the parent freed nor tell of rows
// that are gone.
#include "table_test_support.h"

#include "swell-misc.h"
#include "swell-tabctrl-view.h"

#include "platform/appkit/keys.h"

#include <cstdio>

using namespace cocoa;
using namespace table_test;

namespace
{
enum class Parent
{
  destroys,
  empties,
};

// The gestures that make a list notify: by the mouse, the keys and its drawing.
enum class Gesture
{
  click,
  shiftClick,
  commandClick,
  doubleClick,
  drag,
  rightClick,
  headerClick,
  arrowKey,
  fastClick,
};

constexpr Gesture kGestures[] = {Gesture::click,      Gesture::shiftClick,  Gesture::commandClick,
                                 Gesture::doubleClick, Gesture::drag,        Gesture::rightClick,
                                 Gesture::headerClick, Gesture::arrowKey,    Gesture::fastClick};

const char* nameOf(Gesture g)
{
  switch (g)
  {
  case Gesture::click: return "click";
  case Gesture::shiftClick: return "shift-click";
  case Gesture::commandClick: return "command-click";
  case Gesture::doubleClick: return "double click";
  case Gesture::drag: return "drag";
  case Gesture::rightClick: return "right click";
  case Gesture::headerClick: return "header click";
  case Gesture::arrowKey: return "arrow key";
  case Gesture::fastClick: return "fast click";
  }
  return "?";
}

class TableCalloutsTest : public TableControlsTest
{
protected:
  Swell_vVorna_listview* filledList(int style)
  {
    Swell_vVorna_listview* lv = listView(LVS_REPORT | style);
    addNamedColumns(lv->handle(), 2);
    if (style & LVS_OWNERDATA)
      ListView_SetItemCount(lv->handle(), 8);
    else
      for (int i = 0; i < 8; ++i) insert(lv->handle(), i, "row", 100 + i);
    driver.runUntilIdle();
    return lv;
  }

  // The points are taken first: the list may be gone after the first event.
  void perform(Swell_vVorna_listview* lv, Gesture g)
  {
    NSWindow* window = windowOf(parent);
    NSPoint row[6];
    for (int i = 0; i < 6; ++i) row[i] = pointOfRow(lv, i);
    const NSPoint header = NSMakePoint(row[5].x, row[0].y - lv->rowHeight());
    if (g == Gesture::fastClick) SWELL_SetListViewFastClickMask(lv->handle(), 3);
    switch (g)
    {
    case Gesture::click: driver.click(window, row[2]); break;
    case Gesture::shiftClick:
      driver.click(window, row[1]);
      driver.click(window, row[5], TestDriver::left, NSEventModifierFlagShift);
      break;
    case Gesture::commandClick:
      driver.click(window, row[1]);
      driver.click(window, row[1], TestDriver::left, NSEventModifierFlagCommand);
      driver.click(window, row[5], TestDriver::left, NSEventModifierFlagCommand);
      break;
    case Gesture::doubleClick: driver.doubleClick(window, row[5]); break;
    case Gesture::drag: driver.drag(window, row[5], row[0], 8); break;
    case Gesture::rightClick: driver.click(window, row[5], TestDriver::right); break;
    case Gesture::headerClick: driver.click(window, header); break;
    case Gesture::arrowKey:
      driver.click(window, row[3]);
      driver.key(window, kVK_DownArrow);
      driver.key(window, kVK_UpArrow);
      break;
    case Gesture::fastClick: driver.click(window, row[5]); break;
    }
    driver.runUntilIdle();
  }
};

TEST_F(TableCalloutsTest, AListThatItsParentDestroysOrEmptiesFromAnyNotificationIsLeftAlone)
{
  for (const int style : {0, LVS_OWNERDATA})
    for (const Parent what : {Parent::destroys, Parent::empties})
      for (const Gesture g : kGestures)
      {
        SCOPED_TRACE(std::string(nameOf(g)) + (what == Parent::destroys ? ", destroyed" : ", emptied") +
                     (style ? ", owner data" : ""));
        Swell_vVorna_listview* lv = filledList(style);
        const HWND list = lv->handle();
        // Drawing an owner-data list asks for every cell: it is only taken away once the
        // gesture has begun.
        bool armed = false;
        bool acted = false;
        onDisplayInfo = [&](NMLVDISPINFO* info) {
          std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "row %d", info->item.iItem);
        };
        onNotice = [&](const NMHDR* hdr) {
          if (!armed || acted || hdr->hwndFrom != list || !IsWindow(list)) return;
          if (hdr->code == static_cast<UINT>(LVN_GETDISPINFO) && g != Gesture::arrowKey) return;
          acted = true;
          if (what == Parent::destroys)
          {
            DestroyWindow(list);
            return;
          }
          if (style & LVS_OWNERDATA) ListView_SetItemCount(list, 0);
          else ListView_DeleteAllItems(list);
          ListView_DeleteColumn(list, 1);
          ListView_DeleteColumn(list, 0);
        };
        armed = true;
        perform(lv, g);
        onNotice = nullptr;
        onDisplayInfo = nullptr;
        EXPECT_TRUE(acted) << "the gesture notified";
        if (what == Parent::destroys)
        {
          EXPECT_FALSE(IsWindow(list));
          continue;
        }
        ASSERT_TRUE(IsWindow(list));
        EXPECT_EQ(ListView_GetItemCount(list), 0);
        EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), -1) << "no row that is gone is selected";
        // Pressed again where the rows were, it tells of no row.
        notices.clear();
        driver.click(windowOf(parent), pointOfRow(lv, 2));
        driver.key(windowOf(parent), kVK_DownArrow);
        driver.runUntilIdle();
        for (const Notice& n : notices)
        {
          const bool aboutARow = n.code == static_cast<int>(LVN_ITEMCHANGED) || n.code == static_cast<int>(NM_CLICK);
          EXPECT_TRUE(!aboutARow || n.item < 0) << "notification " << n.code << " of row " << n.item;
        }
        DestroyWindow(list);
      }
}

TEST_F(TableCalloutsTest, ATreeThatItsParentDestroysOrEmptiesFromAnyNotificationIsLeftAlone)
{
  NSWindow* window = windowOf(parent);
  for (const UINT code : {static_cast<UINT>(NM_CLICK), static_cast<UINT>(TVN_SELCHANGED), static_cast<UINT>(NM_RCLICK)})
    for (const Parent what : {Parent::destroys, Parent::empties})
    {
      SCOPED_TRACE(std::to_string(static_cast<int>(code)) + (what == Parent::destroys ? ", destroyed" : ", emptied"));
      Swell_vVorna_treeview* tv = swellCreateTreeView(viewOf(parent), 9, 0, NSMakeRect(0, 0, 200, 200));
      const HWND tree = tv->handle();
      for (const char* text : {"a", "b", "c"})
      {
        TVINSERTSTRUCT ins{};
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_CHILDREN;
        ins.item.cChildren = 1;
        ins.item.pszText = const_cast<char*>(text);
        const HTREEITEM item = TreeView_InsertItem(tree, &ins);
        ins.hParent = item;
        ins.item.cChildren = 0;
        TreeView_InsertItem(tree, &ins);
      }
      driver.runUntilIdle();
      bool acted = false;
      onNotice = [&](const NMHDR* hdr) {
        if (acted || hdr->code != code || !IsWindow(tree)) return;
        acted = true;
        if (what == Parent::destroys) DestroyWindow(tree);
        else TreeView_DeleteAllItems(tree);
      };
      driver.click(window, pointOfRow(tv, 1), code == static_cast<UINT>(NM_RCLICK) ? TestDriver::right : TestDriver::left);
      driver.runUntilIdle();
      onNotice = nullptr;
      EXPECT_TRUE(acted);
      EXPECT_EQ(IsWindow(tree), what == Parent::empties);
      if (what == Parent::destroys) continue;
      EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
      EXPECT_EQ(TreeView_GetRoot(tree), nullptr);
      notices.clear();
      driver.click(window, pointOfRow(tv, 1));
      driver.runUntilIdle();
      EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
      DestroyWindow(tree);
    }
}

TEST_F(TableCalloutsTest, TabsThatTheirParentDestroysOrEmptiesOnAChangeOfTabAreLeftAlone)
{
  // The three ways a tab is chosen: a click, the program choosing one, and the chosen one
  // deleted, which chooses its neighbour.
  for (int way = 0; way < 3; ++way)
    for (const Parent what : {Parent::destroys, Parent::empties})
    {
      SCOPED_TRACE(std::to_string(way) + (what == Parent::destroys ? ", destroyed" : ", emptied"));
      Swell_vVorna_tabview* tabs = swellCreateTabControl(viewOf(parent), 5, NSMakeRect(10, 10, 300, 150));
      const HWND tab = swellHandleOf(tabs);
      TCITEM item{};
      item.mask = TCIF_TEXT;
      for (const char* text : {"One", "Two", "Three"})
      {
        item.pszText = const_cast<char*>(text);
        TabCtrl_InsertItem(tab, 9, &item);
      }
      driver.runUntilIdle();
      bool acted = false;
      onNotice = [&](const NMHDR* hdr) {
        if (acted || hdr->code != static_cast<UINT>(TCN_SELCHANGE) || !IsWindow(tab)) return;
        acted = true;
        if (what == Parent::destroys) DestroyWindow(tab);
        else
          while (TabCtrl_GetItemCount(tab) > 0) TabCtrl_DeleteItem(tab, 0);
      };
      if (way == 0) driver.click(windowOf(parent), NSMakePoint(10 + NSMidX(tabs->tabRectAtIndex(2)), 10 + 10));
      else if (way == 1) TabCtrl_SetCurSel(tab, 1);
      else TabCtrl_DeleteItem(tab, TabCtrl_GetCurSel(tab));
      driver.runUntilIdle();
      onNotice = nullptr;
      EXPECT_TRUE(acted);
      EXPECT_EQ(IsWindow(tab), what == Parent::empties);
      if (what == Parent::destroys) continue;
      EXPECT_EQ(TabCtrl_GetItemCount(tab), 0);
      EXPECT_EQ(tabs->selectedTabViewItem(), nullptr);
      EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);  // as when none is chosen
      DestroyWindow(tab);
    }
}
}  // namespace
