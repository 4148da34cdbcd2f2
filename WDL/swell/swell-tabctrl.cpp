// Tab controls and progress bars.

#include "swell-tabctrl-view.h"

#include "swell-listview-view.h"
#include "swell-wnd.h"

#include <algorithm>

using namespace cocoa;

namespace
{
Swell_vVorna_tabview* tabViewOf(HWND hwnd)
{
  return hwnd ? dynamic_cast<Swell_vVorna_tabview*>(swellObjectOf(hwnd)) : nullptr;
}

// The page area's distance from the control's edges.
constexpr int kPageInsetX = 7;
constexpr int kPageInsetTop = 26;
constexpr int kPageInsetBottom = 3;
}  // namespace

Swell_vVorna_tabview::Swell_vVorna_tabview()
{
  setDelegate(this);
}

void Swell_vVorna_tabview::tabViewDidSelectTabViewItem(NSTabView*, NSTabViewItem*)
{
  if (!m_dest || !IsWindow(m_dest)) return;
  NMHDR nm{swellHandleOf(this), static_cast<UINT_PTR>(m_tag), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessage(m_dest, WM_NOTIFY, static_cast<WPARAM>(m_tag), reinterpret_cast<LPARAM>(&nm));
}

LRESULT Swell_vVorna_progind::onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg)
  {
  case PBM_SETRANGE:
    setMinValue(static_cast<double>(static_cast<unsigned>(lParam) & 0xFFFF));
    setMaxValue(static_cast<double>((static_cast<unsigned>(lParam) >> 16) & 0xFFFF));
    break;
  case PBM_SETPOS:
    setDoubleValue(static_cast<double>(static_cast<uint64_t>(wParam)));
    stopAnimation();
    break;
  case PBM_DELTAPOS:
    incrementBy(static_cast<double>(static_cast<uint64_t>(wParam)));
    break;
  default:
    break;
  }
  return 0;
}

Swell_vVorna_tabview* swellCreateTabControl(NSView* parent, int id, NSRect frame)
{
  if (!parent) return nullptr;
  auto* tabs = new Swell_vVorna_tabview;
  tabs->setFrame(frame);
  tabs->setTag(id);
  tabs->setNotificationWindow(swellHandleOf(parent));
  parent->addSubview(tabs);
  tabs->release();
  return tabs;
}

Swell_vVorna_progind* swellCreateProgressBar(NSView* parent, int id, NSRect frame)
{
  if (!parent) return nullptr;
  auto* bar = new Swell_vVorna_progind;
  bar->setFrame(frame);
  bar->setTag(id);
  parent->addSubview(bar);
  bar->release();
  return bar;
}

int TabCtrl_GetItemCount(HWND hwnd)
{
  Swell_vVorna_tabview* tabs = tabViewOf(hwnd);
  return tabs ? static_cast<int>(tabs->numberOfTabViewItems()) : 0;
}

int TabCtrl_InsertItem(HWND hwnd, int index, const TCITEM* item)
{
  Swell_vVorna_tabview* tabs = tabViewOf(hwnd);
  if (!tabs || !item || !(item->mask & TCIF_TEXT) || !item->pszText) return -1;
  const int position = std::clamp(index, 0, static_cast<int>(tabs->numberOfTabViewItems()));
  auto* tab = new NSTabViewItem(NSString(item->pszText));
  // The first tab becomes the selected one as it goes in; that is not a choice to report.
  HWND dest = tabs->getNotificationWindow();
  tabs->setNotificationWindow(nullptr);
  tabs->insertTabViewItem(tab, position);
  tabs->setNotificationWindow(dest);
  tab->release();
  return position;
}

BOOL TabCtrl_DeleteItem(HWND hwnd, int index)
{
  Swell_vVorna_tabview* tabs = tabViewOf(hwnd);
  NSTabViewItem* tab = tabs ? tabs->tabViewItemAtIndex(index) : nullptr;
  if (!tab) return 0;
  tabs->removeTabViewItem(tab);
  return 1;
}

int TabCtrl_GetCurSel(HWND hwnd)
{
  Swell_vVorna_tabview* tabs = tabViewOf(hwnd);
  if (!tabs || !tabs->selectedTabViewItem()) return 0;
  return static_cast<int>(tabs->indexOfTabViewItem(tabs->selectedTabViewItem()));
}

int TabCtrl_SetCurSel(HWND hwnd, int index)
{
  Swell_vVorna_tabview* tabs = tabViewOf(hwnd);
  if (!tabs) return -1;
  const int previous = TabCtrl_GetCurSel(hwnd);
  if (index >= 0 && index < tabs->numberOfTabViewItems()) tabs->selectTabViewItemAtIndex(index);
  return previous;
}

BOOL TabCtrl_AdjustRect(HWND hwnd, BOOL larger, RECT* r)
{
  if (!r || !tabViewOf(hwnd)) return 0;
  const int sign = larger ? -1 : 1;
  r->left += sign * kPageInsetX;
  r->top += sign * kPageInsetTop;
  r->right -= sign * kPageInsetX;
  r->bottom -= sign * kPageInsetBottom;
  return 1;
}
