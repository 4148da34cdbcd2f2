// The list and tree views beyond what the program uses: columns changed and removed after
// rows are in, scrolling by amounts, state images, right clicks and their context menu,
// items changed in place, and list-box rows drawn by their owner.
#include "table_test_support.h"

#include "swell-gdi.h"

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

  // Not a list view: nothing, and the point reads (0, 0).
  at = POINT{5, 5};
  EXPECT_FALSE(ListView_GetScroll(parent, &at));
  EXPECT_EQ(at.x + at.y, 0);
  EXPECT_FALSE(ListView_Scroll(parent, 0, 10));
  EXPECT_FALSE(ListView_DeleteColumn(parent, 0));
}
