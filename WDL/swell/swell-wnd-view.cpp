#include "swell-wnd-view.h"

#include "swell-ctl.h"

#include "swell-gdi-internal.h"
#include "swell-kb.h"
#include "swell-timer.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd.h"

#include "platform/appkit/event.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/window.h"

#include <cstdlib>
#include <cstring>

using namespace cocoa;

namespace
{
constexpr int kDefaultWidth = 300;
constexpr int kDefaultHeight = 200;
constexpr int kFlagFlipped = 0x4;
constexpr int kFlagOpaque = 0x10;
constexpr int kFlagAcceptsDrops = 0x20;
constexpr uintptr_t kLargestAtom = 0xFFFF;

bool isAtom(const char* name)
{
  return reinterpret_cast<uintptr_t>(name) <= kLargestAtom;
}

bool sameName(const char* stored, const char* wanted)
{
  if (isAtom(stored) || isAtom(wanted)) return stored == wanted;
  return std::strcmp(stored, wanted) == 0;
}

// A control living in a scroll view (a multi-line edit field) counts where its scroll view is.
NSView* firstFocusableControl(NSView* view)
{
  for (NSView* subview : view->subviews())
  {
    if (auto* scroll = dynamic_cast<NSScrollView*>(subview); scroll && scroll->documentView())
      subview = scroll->documentView();
    if (subview->acceptsFirstResponder()) return subview;
  }
  return nullptr;
}
}  // namespace

Swell_vVorna_hwnd::Swell_vVorna_hwnd() : NSView(NSMakeRect(0, 0, kDefaultWidth, kDefaultHeight))
{
  m_wndproc = SwellDialogDefaultWindowProc;
}

Swell_vVorna_hwnd* Swell_vVorna_hwnd::initChild(const SWELL_DialogResourceIndex* resource, NSObject* parent,
                                                DLGPROC dlgProc, LPARAM param)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  NSView::setFrame(resource ? NSMakeRect(0, 0, resource->width, resource->height)
                            : NSMakeRect(0, 0, kDefaultWidth, kDefaultHeight));
  if (resource)
  {
    m_isopaque = (resource->windowTypeFlags & kFlagOpaque) != 0;
    m_flip = (resource->windowTypeFlags & kFlagFlipped) != 0;
    m_supports_ddrop = (resource->windowTypeFlags & kFlagAcceptsDrops) != 0;
  }
  swell::setPostTarget(handle(), true);

  setHidden(true);
  if (auto* window = dynamic_cast<NSWindow*>(parent)) window->setContentView(this);
  else if (auto* view = dynamic_cast<NSView*>(parent)) view->addSubview(this);

  if (!resource)
  {
    if (dlgProc) m_wndproc = dlgProc;
    onSwellMessage(WM_CREATE, 0, param);
    return this;
  }

  if (resource->createFunc) resource->createFunc(handle(), resource->windowTypeFlags);
  m_dlgproc = dlgProc;
  if (m_supports_ddrop) registerForDraggedTypes({NSString(NSFilenamesPboardType)});
  if (m_dlgproc && !m_hashaddestroy)
  {
    // The procedure may destroy the control it is offered, or the window it is made in: both
    // are held, and the control is focused only while it is still the dialog's.
    const StrongRef<NSView> first(firstFocusableControl(this));
    const StrongRef<NSObject> keepParent(parent);
    const LRESULT answer =
        m_dlgproc(handle(), WM_INITDIALOG, reinterpret_cast<WPARAM>(swellHandleOf(first.get())), param);
    const bool firstStays = first && first->isDescendantOf(this) && !cocoa::isRetired(first.get());
    focusFirstControlAfterInitDialog(parent, answer, firstStays ? first.get() : nullptr);
  }
  // Asked once the procedure has its state from WM_INITDIALOG.
  SWELL_DoDialogColorUpdates(handle(), m_dlgproc, false);
  return this;
}

void Swell_vVorna_hwnd::focusFirstControlAfterInitDialog(NSObject* parent, LRESULT answer, NSView* first)
{
  NSWindow* window = this->window();
  if (!window || m_hashaddestroy) return;
  if (answer)
  {
    NSView* target = answer == SWELL_INITDIALOG_FOCUS_DIALOG ? this : first;
    if (target && window->firstResponder() != target) window->makeFirstResponder(target);
    if (auto* modeless = dynamic_cast<Swell_vVorna_modelesswindow*>(parent); modeless && modeless == window &&
                                                                            !modeless->isVisible())
      modeless->m_wantInitialKeyWindowOnShow = true;
    return;
  }
  NSResponder* current = window->firstResponder();
  if (parent == window && first && (!current || current == window || current == this))
    window->makeFirstResponder(first);
}

void Swell_vVorna_hwnd::dealloc()
{
  for (AccessibilityCache& cache : m_access_cacheptrs) cache = AccessibilityCache();
  KillTimer(handle(), static_cast<UINT_PTR>(-1));
  onSwellMessage(WM_DESTROY, 0, 0);
  if (swell::captureHolder() == this) ReleaseCapture();
  swell::setPostTarget(handle(), false);
  while (WindowPropRec* prop = m_props)
  {
    m_props = prop->next;
    if (!isAtom(prop->name)) std::free(prop->name);
    delete prop;
  }
  NSView::dealloc();
}

LONG_PTR Swell_vVorna_hwnd::getSwellExtraData(int index)
{
  if (index < 0 || index >= kExtraDataBytes) return 0;
  return m_extradata[index / 8];
}

void Swell_vVorna_hwnd::setSwellExtraData(int index, LONG_PTR value)
{
  if (index < 0 || index >= kExtraDataBytes) return;
  m_extradata[index / 8] = value;
}

void Swell_vVorna_hwnd::onSwellSetText(const char* text)
{
  if (!text) text = "";
  const size_t length = utf8PrefixLength(text, std::strlen(text), kTitleBytes - 1);
  std::memcpy(m_titlestr, text, length);
  m_titlestr[length] = 0;
}

bool Swell_vVorna_hwnd::swellSetProp(const char* name, void* value)
{
  for (WindowPropRec* prop = m_props; prop; prop = prop->next)
    if (sameName(prop->name, name))
    {
      prop->value = value;
      return true;
    }
  char* stored = const_cast<char*>(name);
  if (!isAtom(name) && !(stored = strdup(name))) return false;
  m_props = new WindowPropRec{stored, value, m_props};
  return true;
}

void* Swell_vVorna_hwnd::swellGetProp(const char* name, bool wantRemove)
{
  for (WindowPropRec** link = &m_props; *link; link = &(*link)->next)
  {
    WindowPropRec* prop = *link;
    if (!sameName(prop->name, name)) continue;
    void* value = prop->value;
    if (wantRemove)
    {
      *link = prop->next;
      if (!isAtom(prop->name)) std::free(prop->name);
      delete prop;
    }
    return value;
  }
  return nullptr;
}

bool Swell_vVorna_hwnd::holdsProp(const WindowPropRec* wanted) const
{
  for (const WindowPropRec* prop = m_props; prop; prop = prop->next)
    if (prop == wanted) return true;
  return false;
}

int Swell_vVorna_hwnd::swellEnumProps(int (*proc)(HWND, const char*, void*, LPARAM), LPARAM lParam)
{
  if (!m_props) return -1;
  // The callback may remove any property, its own included, or destroy the window: each
  // record is looked for again before its turn, and the walk ends with the window.
  const StrongRef<Swell_vVorna_hwnd> keep(this);
  std::vector<const WindowPropRec*> listed;
  for (const WindowPropRec* prop = m_props; prop; prop = prop->next) listed.push_back(prop);
  for (const WindowPropRec* prop : listed)
  {
    if (isRetired()) break;
    if (!holdsProp(prop)) continue;
    if (!proc(handle(), prop->name, prop->value, lParam)) return 0;
  }
  return 1;
}

void Swell_vVorna_hwnd::viewDidHide()
{
  SendMessage(handle(), WM_SHOWWINDOW, 0, 0);
}

void Swell_vVorna_hwnd::viewDidUnhide()
{
  SendMessage(handle(), WM_SHOWWINDOW, 1, 0);
}

void Swell_vVorna_hwnd::setFrame(NSRect frame)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  NSView::setFrame(frame);
  if (m_wndproc && !m_hashaddestroy) m_wndproc(handle(), WM_SIZE, 0, 0);
  if (NSView* parent = superview()) InvalidateRect(swellHandleOf(parent), nullptr, FALSE);
}

bool Swell_vVorna_hwnd::becomeFirstResponder()
{
  if (m_enabled <= 0 || !NSView::becomeFirstResponder()) return false;
  SendMessage(handle(), WM_MOUSEACTIVATE, 0, 0);
  return true;
}

bool Swell_vVorna_hwnd::acceptsFirstMouse(NSEvent*)
{
  if (!m_enabled) return false;
  StrongRef<Swell_vVorna_hwnd> keep(this);
  SendMessage(handle(), WM_MOUSEACTIVATE, 0, 0);
  if (NSView* parent = superview()) SendMessage(swellHandleOf(parent), WM_MOUSEACTIVATE, 0, 0);
  return true;
}

void Swell_vVorna_hwnd::sendKey(UINT msg, NSEvent* event, bool down)
{
  StrongRef<Swell_vVorna_hwnd> keep(this);
  if (m_wndproc && !m_hashaddestroy)
  {
    int flags = 0;
    const int code = SWELL_MacKeyToWindowsKey(event, &flags);
    if (SendMessage(handle(), msg, static_cast<WPARAM>(code), flags) != SWELL_KEY_NOT_HANDLED) return;
  }
  if (down) NSView::keyDown(event);
  else NSView::keyUp(event);
}

void Swell_vVorna_hwnd::keyDown(NSEvent* event)
{
  sendKey(WM_KEYDOWN, event, true);
}

void Swell_vVorna_hwnd::keyUp(NSEvent* event)
{
  sendKey(WM_KEYUP, event, false);
}

void Swell_vVorna_hwnd::didAddSubview(NSView*)
{
  for (NSView* v = this; v; v = v->superview())
    if (auto* swellView = dynamic_cast<Swell_vVorna_hwnd*>(v))
    {
      if (swellView->m_isdirty & 2) break;
      swellView->m_isdirty |= 2;
    }
}

void Swell_vVorna_hwnd::willRemoveSubview(NSView*)
{
  m_isdirty |= 3;
  setNeedsDisplay(true);
  for (NSView* v = superview(); v; v = v->superview())
  {
    v->setNeedsDisplay(true);
    if (auto* swellView = dynamic_cast<Swell_vVorna_hwnd*>(v))
    {
      const bool hadBoth = (swellView->m_isdirty & 3) == 3;
      swellView->m_isdirty |= 3;
      if (hadBoth) break;
    }
  }
}

Swell_vVorna_hwnd* swellWindowView(HWND hwnd)
{
  return dynamic_cast<Swell_vVorna_hwnd*>(swell::viewOrContentView(hwnd));
}
