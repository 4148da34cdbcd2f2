// How a list view draws: its cells (status images, rows their owner draws), its own
// selection colours, and how one is made inside its scroll view.

#include "swell-listview-view.h"

#include "swell-gdi-internal.h"
#include "swell-gdi.h"
#include "swell-image.h"
#include "swell-wnd.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/font.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/theme.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <algorithm>
#include <cmath>

using namespace cocoa;

Swell_vVorna_listviewcell::Swell_vVorna_listviewcell()
{
  setWraps(false);
  setLineBreakMode(NSLineBreakByTruncatingTail);
  setFont(NSFont::systemFontOfSize(controlTheme().fonts.regular));
}

void Swell_vVorna_statuscell::drawWithFrame(NSRect frame, NSView* view)
{
  if (auto* image = static_cast<SwellImage*>(GetNSImageFromHICON(m_status)))
    if (CGContextRef context = currentCGContext(); context && image->cgImage())
    {
      const CGFloat side = std::floor(std::min(frame.size.width, frame.size.height));
      CGContextSaveGState(context);
      // Images land bottom-up in user space; mirror so the top row lands at the top.
      CGContextTranslateCTM(context, frame.origin.x, NSMaxY(frame));
      CGContextScaleCTM(context, 1, -1);
      CGContextDrawImage(context, CGRectMake(0, 0, side, frame.size.height), image->cgImage());
      CGContextRestoreGState(context);
    }
  const CGFloat shift = frame.size.height + 2;
  NSRect text = frame;
  text.origin.x += shift;
  text.size.width -= shift;
  if (text.size.width > 0) Swell_vVorna_listviewcell::drawWithFrame(text, view);
}

void Swell_vVorna_ODlistviewcell::drawWithFrame(NSRect frame, NSView* view)
{
  HWND parent = m_ownctl ? GetParent(m_ownctl->handle()) : nullptr;
  if (!m_ownctl || !parent)
  {
    Swell_vVorna_listviewcell::drawWithFrame(frame, view);
    return;
  }
  HDC dc = SWELL_CreateGfxContext(NSGraphicsContext::currentContext());
  if (!dc) return;
  DRAWITEMSTRUCT item{};
  item.CtlType = 2;
  item.CtlID = static_cast<UINT>(m_ownctl->tag());
  item.itemID = static_cast<UINT>(m_lastidx);
  item.hwndItem = m_ownctl->handle();
  item.hDC = dc;
  item.rcItem.left = static_cast<int>(frame.origin.x + 0.5);
  item.rcItem.top = static_cast<int>(frame.origin.y + 0.5);
  item.rcItem.right = item.rcItem.left + static_cast<int>(frame.size.width + 0.5);
  item.rcItem.bottom = item.rcItem.top + static_cast<int>(frame.size.height + 0.5);
  if (m_lastidx >= 0 && m_lastidx < static_cast<int>(m_ownctl->m_items.size()))
    item.itemData = static_cast<UINT_PTR>(m_ownctl->m_items[static_cast<size_t>(m_lastidx)]->m_param);
  SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(m_ownctl->tag()), reinterpret_cast<LPARAM>(&item));
  SWELL_DeleteGfxContext(dc);
}

void Swell_vVorna_listview::prepareCell(NSCell* cell, NSTableColumn* column, NSInteger row)
{
  NSTableView::prepareCell(cell, column, row);
  if (m_lbMode)
  {
    if (auto* ownerDrawn = dynamic_cast<Swell_vVorna_ODlistviewcell*>(cell)) ownerDrawn->setItemIdx(static_cast<int>(row));
    return;
  }
  auto* status = dynamic_cast<Swell_vVorna_statuscell*>(cell);
  if (!status) return;
  int value = 0;
  if (isOwnerData())
    value = m_dispImage;  // asked of the parent with the text, just now
  else if (row >= 0 && row < static_cast<NSInteger>(m_items.size()) &&
           (m_status_imagelist_type == LVSIL_STATE || m_status_imagelist_type == LVSIL_SMALL))
    value = m_items[static_cast<size_t>(row)]->m_image;
  status->setStatusImage(value > 0 ? swellImageListEntry(m_status_imagelist, value - 1) : nullptr);
}

void Swell_vVorna_listview::highlightSelectionInClipRect(NSRect clip)
{
  const bool focused = GetFocus() == handle();
  const size_t entry = focused ? 0 : 2;
  if (!m_selColors || m_selColors->size() <= entry)
  {
    NSTableView::highlightSelectionInClipRect(clip);
    return;
  }
  CGContextRef context = currentCGContext();
  if (!context) return;
  const NSColor color = (*m_selColors)[entry];
  NSInteger row = std::max<NSInteger>(0, rowAtPoint(NSMakePoint(NSMinX(clip), NSMinY(clip))));
  for (; row < numberOfRows(); ++row)
  {
    const NSRect rowRect = rectOfRow(row);
    if (NSMinY(rowRect) >= NSMaxY(clip)) break;
    if (!isRowSelected(row)) continue;
    const NSRect part = NSIntersectionRect(rowRect, clip);
    if (part.size.width > 0 && part.size.height > 0) fillRect(context, part, color);
  }
}

Swell_vVorna_listview* swellCreateListView(NSView* parent, int id, int style, NSRect frame, bool listBoxMode)
{
  if (!parent) return nullptr;
  auto* scroll = new NSScrollView(frame);
  scroll->setHasVerticalScroller(true);
  scroll->setHasHorizontalScroller(!listBoxMode);
  scroll->setDrawsBackground(false);
  auto* lv = new Swell_vVorna_listview(style, listBoxMode);
  lv->setTag(id);
  const bool report = !listBoxMode && (style & LVS_REPORT);
  lv->setHasHeader(report && !(style & LVS_NOCOLUMNHEADER));
  lv->setAllowsMultipleSelection(listBoxMode ? (style & LBS_EXTENDEDSEL) != 0 : !(style & LVS_SINGLESEL));
  lv->setAllowsColumnReordering(false);
  lv->setAllowsEmptySelection(true);
  if (auto* delegate = dynamic_cast<NSTableViewDelegate*>(parent)) lv->setDelegate(delegate);
  scroll->setDocumentView(lv);
  lv->release();
  parent->addSubview(scroll);
  scroll->release();
  if (!report)
  {
    // One column across the view (and well beyond, so that long texts show).
    LVCOLUMN column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = static_cast<int>(std::ceil(std::max<CGFloat>(listBoxMode ? 1200 : 300, frame.size.width - 4)));
    column.pszText = const_cast<char*>("");
    ListView_InsertColumn(lv->handle(), 0, &column);
  }
  return lv;
}
