#pragma once

// Views other toolkits would fill. No Carbon window is ever made, so the host view is a
// plain child window view; Audio Unit views do not exist on Linux.

#include "swell-wnd-view.h"

#include "platform/appkit/window.h"

// It is the delegate of the window it would host, so the key filter finds it from there.
class Swell_vVorna_hwndcarbonhost : public Swell_vVorna_hwnd, public cocoa::NSWindowDelegate
{
public:
  // A child of the parent with no resource, procedure or parameter (the default window
  // procedure hears WM_CREATE); the rectangle and flag are not used.
  Swell_vVorna_hwndcarbonhost* initCarbonChild(cocoa::NSObject* parent, cocoa::NSRect rect, bool composit);
  bool swellIsCarbonHostingView() const { return true; }
  // Stops the view's timer 1.
  void close();
  LRESULT onSwellMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool isOpaque() const override { return false; }
  // Its timers served the hosted window, which keeps its own time: no WM_TIMER.
  void timerFired(cocoa::NSTimer*) override {}

  void* m_cwnd = nullptr;  // the hosted window: always null here
  bool m_whileresizing = false;
  void* m_wndhandler = nullptr;
  void* m_ctlhandler = nullptr;
  bool m_wantallkeys = false;

protected:
  void dealloc() override;
};

// The host view in the parent; *windowRef receives the hosted window, null here.
HWND SWELL_CreateCarbonWindowView(HWND parent, void** windowRef, RECT* rect, bool composit);
void* SWELL_GetWindowFromCarbonWindowView(HWND view);
void SWELL_AddCarbonPaneToView(HWND view, void* pane);
// Null: Linux has no Audio Unit views.
HWND SWELL_GetAudioUnitCocoaView(HWND parent, void* audioUnit, void* viewInfo, RECT* rect);
