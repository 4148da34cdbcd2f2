#pragma once

#include "swell-listview-view.h"
#include "swell-tabctrl.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/progress_indicator.h"
#include "platform/appkit/tab_view.h"

class Swell_vVorna_tabview : public SWELL_MarksAncestorsChanged<cocoa::NSTabView>, public cocoa::NSTabViewDelegate, public SWELL_Taggable
{
public:
  Swell_vVorna_tabview();
  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  // Not retained: a target that is no longer a window hears nothing.
  void setNotificationWindow(HWND dest) { m_dest = dest; }
  HWND getNotificationWindow() const { return m_dest; }
  void tabViewDidSelectTabViewItem(cocoa::NSTabView*, cocoa::NSTabViewItem*) override;

private:
  cocoa::NSInteger m_tag = 0;
  HWND m_dest = nullptr;
};

class Swell_vVorna_progind : public SWELL_MarksAncestorsChanged<cocoa::NSProgressIndicator>, public SWELL_MessageTarget, public SWELL_Taggable
{
public:
  cocoa::NSInteger tag() const override { return m_tag; }
  void setTag(cocoa::NSInteger tag) override { m_tag = tag; }
  LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  cocoa::NSInteger m_tag = 0;
};

// Made inside the parent at the frame; the tab control tells the parent of its choices.
Swell_vVorna_tabview* swellCreateTabControl(cocoa::NSView* parent, int id, cocoa::NSRect frame);
Swell_vVorna_progind* swellCreateProgressBar(cocoa::NSView* parent, int id, cocoa::NSRect frame);
