// The window functions that send messages, find windows and read or change their text and
// words.

#include "swell-ctl-classes.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/scroll_view.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace cocoa;

namespace
{
constexpr LONG_PTR kTextViewUserData = 0xDEADF00B;

HWND handleOf(const NSObject* object)
{
  return swellHandleOf(object);
}

// GetDlgItem's id 0 is the handle itself.
HWND itemOf(HWND hwnd, int id)
{
  return id ? GetDlgItem(hwnd, id) : hwnd;
}

bool isSwellTopLevel(const NSWindow* window)
{
  return dynamic_cast<const Swell_vVorna_modelesswindow*>(window) || dynamic_cast<const Swell_vVorna_dialogbox*>(window);
}

bool containsView(const NSView* root, const NSObject* wanted)
{
  for (NSView* child : root->subviews())
    if (child == wanted) return true;
  for (NSView* child : root->subviews())
    if (containsView(child, wanted)) return true;
  return false;
}

BOOL enumChildren(NSView* view, BOOL (*proc)(HWND, LPARAM), LPARAM lParam)
{
  const WalkEnd end = forEachSubview(view, [proc, lParam](NSView* child) {
    // A control living in a scroll view is met as itself.
    NSView* document = swell::documentViewOf(child);
    NSView* met = document ? document : child;
    const StrongRef<NSView> keep(met);
    return proc(handleOf(met), lParam) && enumChildren(met, proc, lParam);
  });
  return end != WalkEnd::Stopped;
}
}  // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  NSObject* object = swellObjectOf(hwnd);
  if (!object) return 0;
  StrongRef<NSObject> keep(object);
  if (auto* target = respondsTo<SWELL_MessageTarget>(object)) return target->onSwellMessage(msg, wParam, lParam);
  if (LRESULT result; swell::nativeControlMessage(object, msg, wParam, lParam, &result)) return result;
  if (NSView* view = swell::asView(hwnd); swell::isContentView(view))
    if (auto* target = respondsTo<SWELL_MessageTarget>(view->window()))
      return target->onSwellMessage(msg, wParam, lParam);
  if (NSWindow* window = swell::asWindow(hwnd))
    if (auto* target = respondsTo<SWELL_MessageTarget>(window->contentView()))
    {
      StrongRef<NSView> keepContent(window->contentView());
      return target->onSwellMessage(msg, wParam, lParam);
    }
  return 0;
}

void SWELL_BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
  // A procedure may open or close windows: each window open when the broadcast starts hears
  // it once, unless it was closed before its turn.
  forEachWindow(NSApp()->orderedWindows(), [msg, wParam, lParam](NSWindow* window) {
    const StrongRef<NSView> content(window->contentView());
    if (auto* target = respondsTo<SWELL_MessageTarget>(content.get()))
    {
      target->onSwellMessage(msg, wParam, lParam);
      if (msg == WM_DISPLAYCHANGE) InvalidateRect(handleOf(content.get()), nullptr, FALSE);
    }
  });
}

BOOL GetDlgItemText(HWND hwnd, int id, char* buf, int size)
{
  if (buf && size > 0) buf[0] = 0;
  HWND item = itemOf(hwnd, id);
  NSObject* object = swell::windowForContentView(item);
  if (!object || !buf) return 0;
  if (auto* holder = respondsTo<SWELL_TextHolder>(object))
  {
    lstrcpyn(buf, holder->onSwellGetText(), size);
    return 1;
  }
  if (auto* window = dynamic_cast<NSWindow*>(object))
  {
    SWELL_CFStringToCString(&window->title(), buf, size);
    return 1;
  }
  NSString text;
  if (auto* control = dynamic_cast<NSControl*>(object)) text = control->stringValue();
  else if (auto* textView = dynamic_cast<NSText*>(object)) text = textView->string();
  else if (auto* box = dynamic_cast<NSBox*>(object)) text = box->title();
  else return 0;
  SWELL_CFStringToCString(&text, buf, size);
  return 1;
}

BOOL SetDlgItemText(HWND hwnd, int id, const char* text)
{
  HWND item = itemOf(hwnd, id);
  NSObject* object = swellObjectOf(item);
  if (!object) return 0;
  if (NSView* view = swell::asView(item); swell::isContentView(view))
    view->window()->setTitle(SWELL_CStringToCFString(text));
  if (auto* holder = respondsTo<SWELL_TextHolder>(object))
  {
    holder->onSwellSetText(text);
    return 1;
  }
  if (auto* window = dynamic_cast<NSWindow*>(object))
  {
    window->setTitle(SWELL_CStringToCFString(text));
    return 1;
  }
  const NSString value = SWELL_CStringToCFString(text);
  if (auto* field = dynamic_cast<NSTextField*>(object))
  {
    field->setStringValue(value);
    // As a user's edit does.
    if (field->isEditable()) swell::notifyParent(field, EN_CHANGE);
    return 1;
  }
  if (auto* control = dynamic_cast<NSControl*>(object))
  {
    control->setStringValue(value);
    control->setNeedsDisplay(true);
    return 1;
  }
  if (auto* textView = dynamic_cast<NSText*>(object))
  {
    textView->setString(value);
    textView->setNeedsDisplay(true);
    return 1;
  }
  if (auto* box = dynamic_cast<NSBox*>(object))
  {
    box->setTitle(value);
    box->setNeedsDisplay(true);
    return 1;
  }
  return 0;
}

BOOL SetDlgItemInt(HWND hwnd, int id, int value, BOOL isSigned)
{
  char text[128];
  std::snprintf(text, sizeof text, isSigned ? "%d" : "%u", value);
  return SetDlgItemText(hwnd, id, text);
}

int GetDlgItemInt(HWND hwnd, int id, BOOL* translated, BOOL isSigned)
{
  char text[128];
  if (translated) *translated = 0;
  if (!GetDlgItemText(hwnd, id, text, sizeof text)) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  // strtol rather than atoi: a number too large for an int is clamped, never undefined.
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(p, &end, 10);
  if (end == p) return 0;
  const int value = static_cast<int>(std::clamp<long>(parsed, INT_MIN, INT_MAX));
  if (isSigned || value >= 0)
  {
    if (translated) *translated = 1;
    return value;
  }
  return 0;
}

HWND GetDlgItem(HWND hwnd, int id)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (!view) return nullptr;
  if (!id) return handleOf(view);
  for (NSView* child : view->subviews())
  {
    if (child->tag() == id) return handleOf(child);
    // A control living in a scroll or clip view is found, and answers, as itself.
    if (NSView* document = swell::documentViewOf(child); document && document->tag() == id) return handleOf(document);
  }
  return nullptr;
}

HWND GetParent(HWND hwnd)
{
  NSObject* object = swell::windowForContentView(hwnd);
  if (auto* view = dynamic_cast<NSView*>(object)) return handleOf(swell::outerViewOf(view)->superview());
  auto* window = dynamic_cast<NSWindow*>(object);
  if (!window) return nullptr;
  if (NSWindow* parent = window->parentWindow()) return handleOf(parent->contentView());
  return swell::ownerOf(window);
}

HWND GetWindow(HWND hwnd, int cmd)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (!view) return nullptr;
  const bool content = swell::isContentView(view);
  if (cmd == GW_CHILD)
  {
    const std::vector<NSView*> children = view->subviews();
    return children.empty() ? nullptr : handleOf(children.front());
  }
  if (cmd == GW_OWNER)
  {
    if (!content) return handleOf(view->superview());
    auto* owner = respondsTo<SWELL_OwnerWindow>(view->window());
    return owner ? handleOf(owner->swellGetOwner()) : nullptr;
  }
  if (cmd < GW_HWNDFIRST || cmd > GW_HWNDPREV) return nullptr;
  if (content) return cmd == GW_HWNDFIRST || cmd == GW_HWNDLAST ? handleOf(view) : nullptr;
  NSView* parent = view->superview();
  if (!parent) return nullptr;
  const std::vector<NSView*> siblings = parent->subviews();
  const long count = static_cast<long>(siblings.size());
  long index = 0;
  while (index < count && siblings[index] != view) ++index;
  switch (cmd)
  {
  case GW_HWNDFIRST: index = 0; break;
  case GW_HWNDLAST: index = count - 1; break;
  case GW_HWNDNEXT: ++index; break;
  default: --index; break;
  }
  return index >= 0 && index < count ? handleOf(siblings[index]) : nullptr;
}

BOOL IsChild(HWND parent, HWND child)
{
  NSView* childView = swell::asView(child);
  if (!parent || !childView || parent == child) return 0;
  if (NSWindow* window = swell::asWindow(parent)) return childView->window() == window;
  NSView* parentView = swell::asView(parent);
  return parentView && childView->isDescendantOf(parentView);
}

BOOL EnumWindows(BOOL (*proc)(HWND, LPARAM), LPARAM lParam)
{
  if (!proc) return 0;
  return forEachWindow(NSApp()->windows(), [proc, lParam](NSWindow* window) {
           return proc(handleOf(window->contentView()), lParam) != 0;
         }) != WalkEnd::Stopped;
}

BOOL EnumChildWindows(HWND hwnd, BOOL (*proc)(HWND, LPARAM), LPARAM lParam)
{
  NSView* view = swell::asView(hwnd);
  if (!view || !proc) return 1;
  StrongRef<NSView> keep(view);
  return enumChildren(view, proc, lParam);
}

HWND GetFocus()
{
  NSWindow* key = NSApp()->keyWindow();
  auto* focused = key ? dynamic_cast<NSView*>(key->firstResponder()) : nullptr;
  // A field being edited has the keyboard through its editor; callers know the field.
  if (NSTextField* field = swell::fieldEditedBy(focused)) return handleOf(field);
  return handleOf(focused);
}

HWND GetForegroundWindow()
{
  NSWindow* key = NSApp()->keyWindow();
  if (!key) return nullptr;
  if (auto* view = dynamic_cast<NSView*>(key->firstResponder())) return handleOf(view);
  return handleOf(key);
}

BOOL IsWindow(HWND hwnd)
{
  NSObject* object = swellObjectOf(hwnd);
  if (!object) return 0;
  const std::vector<NSWindow*> windows = NSApp()->windows();
  for (NSWindow* window : windows)
    if (object == window || object == window->contentView()) return 1;
  for (NSWindow* window : windows)
    if (isSwellTopLevel(window) && window->contentView() && containsView(window->contentView(), object)) return 1;
  return 0;
}

BOOL IsWindowVisible(HWND hwnd)
{
  if (!hwnd) return 0;
  if (NSWindow* window = swell::asWindow(hwnd)) return window->isVisible();
  if (NSView* view = swell::asView(hwnd))
  {
    if (view->window() && !view->window()->isVisible()) return 0;
    return !view->isHiddenOrHasHiddenAncestor();
  }
  return 1;
}

BOOL IsWindowEnabled(HWND hwnd)
{
  NSView* view = swell::viewOrContentView(hwnd);
  if (auto* control = dynamic_cast<NSControl*>(view)) return control->isEnabled();
  auto* enablable = respondsTo<SWELL_Enablable>(view);
  return enablable && enablable->isEnabled();
}

void EnableWindow(HWND hwnd, int enable)
{
  if (auto* control = dynamic_cast<NSControl*>(swell::viewOrContentView(hwnd)))
  {
    // Disabling the field that has the keyboard ends its editing (EN_KILLFOCUS), whose
    // procedure may destroy it: it is held until its look is done.
    const StrongRef<NSControl> keep(control);
    control->setEnabled(enable != 0);
    // A label shows that it is disabled by its faded text.
    auto* label = dynamic_cast<Swell_vVorna_textfield*>(control);
    if (label && !label->isEditable() && !label->isBordered() && !label->drawsBackground())
    {
      const NSColor c = label->textColor();
      label->setTextColor(NSColor::colorWithCalibratedRed(c.redComponent(), c.greenComponent(), c.blueComponent(),
                                                          enable ? 1.0 : 0.5));
    }
    return;
  }
  auto* view = respondsTo<SWELL_Enablable>(swell::viewOrContentView(hwnd));
  if (!view) return;
  constexpr int kEnableWithoutFocus = -1000;
  if (enable == kEnableWithoutFocus) view->setEnabledSwellNoFocus();
  else view->setEnabled(enable != 0);
}

void SetFocus(HWND hwnd)
{
  NSWindow* window = swell::asWindow(hwnd);
  NSResponder* responder = window ? static_cast<NSResponder*>(window->contentView()) : nullptr;
  if (!window)
  {
    NSView* view = swell::asView(hwnd);
    if (!view || !view->window()) return;
    window = view->window();
    responder = view;
  }
  StrongRef<NSWindow> keep(window);
  window->makeFirstResponder(responder);
  if (window->isVisible()) window->makeKeyAndOrderFront(nullptr);
}

void SetForegroundWindow(HWND hwnd)
{
  SetFocus(hwnd);
}

void SetAllowNoMiddleManRendering(HWND hwnd, bool allow)
{
  if (auto* view = dynamic_cast<Swell_vVorna_hwnd*>(swellObjectOf(hwnd))) view->m_allow_nomiddleman = allow;
}

LONG_PTR GetWindowLong(HWND hwnd, int index)
{
  NSObject* object = swellObjectOf(hwnd);
  if (!object) return 0;
  auto* words = respondsTo<SWELL_WindowWords>(object);
  switch (index)
  {
  case GWL_USERDATA:
    if (auto* holder = respondsTo<SWELL_UserDataHolder>(object)) return holder->getSwellUserData();
    // A text view keeps no user data; the marker tells a caller that it asked one.
    if (dynamic_cast<NSText*>(object)) return kTextViewUserData;
    break;
  case GWL_EXSTYLE:
    if (words) return words->swellGetExtendedStyle();
    break;
  case GWL_STYLE: return swell::windowStyle(hwnd);
  case GWL_ID:
    if (auto* view = dynamic_cast<NSView*>(object)) return view->tag();
    break;
  case DWL_DLGPROC:
    if (words) return reinterpret_cast<LONG_PTR>(words->getSwellDialogProc());
    break;
  case GWL_WNDPROC:
    if (words) return reinterpret_cast<LONG_PTR>(words->getSwellWindowProc());
    break;
  default: break;
  }
  return words ? words->getSwellExtraData(index) : 0;
}

LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value)
{
  NSObject* object = swellObjectOf(hwnd);
  if (!object) return 0;
  auto* words = respondsTo<SWELL_WindowWords>(object);
  // Stores the new value and answers the one it replaced.
  const auto replace = [](LONG_PTR old, const auto& store) {
    store();
    return old;
  };
  switch (index)
  {
  case GWL_USERDATA:
    if (auto* holder = respondsTo<SWELL_UserDataHolder>(object))
      return replace(holder->getSwellUserData(), [&] { holder->setSwellUserData(value); });
    break;
  case GWL_EXSTYLE:
    if (words) return replace(words->swellGetExtendedStyle(), [&] { words->swellSetExtendedStyle(value); });
    break;
  case GWL_STYLE: return swell::setWindowStyle(hwnd, value);
  case GWL_ID:
    if (auto* control = dynamic_cast<NSControl*>(object))
      return replace(control->tag(), [&] { control->setTag(value); });
    if (auto* taggable = respondsTo<SWELL_Taggable>(object))
    {
      auto* view = dynamic_cast<NSView*>(object);
      return replace(view ? view->tag() : 0, [&] { taggable->setTag(value); });
    }
    break;
  case DWL_DLGPROC:
    if (words)
      return replace(reinterpret_cast<LONG_PTR>(words->getSwellDialogProc()),
                     [&] { words->setSwellDialogProc(reinterpret_cast<DLGPROC>(value)); });
    break;
  case GWL_WNDPROC:
    if (words)
      return replace(reinterpret_cast<LONG_PTR>(words->getSwellWindowProc()),
                     [&] { words->setSwellWindowProc(reinterpret_cast<WNDPROC>(value)); });
    break;
  default: break;
  }
  if (!words) return 0;
  return replace(words->getSwellExtraData(index), [&] { words->setSwellExtraData(index, value); });
}

BOOL SetProp(HWND hwnd, const char* name, void* value)
{
  auto* holder = respondsTo<SWELL_PropertyHolder>(swellObjectOf(hwnd));
  return holder && holder->swellSetProp(name, value);
}

void* GetProp(HWND hwnd, const char* name)
{
  auto* holder = respondsTo<SWELL_PropertyHolder>(swellObjectOf(hwnd));
  return holder ? holder->swellGetProp(name, false) : nullptr;
}

void* RemoveProp(HWND hwnd, const char* name)
{
  auto* holder = respondsTo<SWELL_PropertyHolder>(swellObjectOf(hwnd));
  return holder ? holder->swellGetProp(name, true) : nullptr;
}

int EnumPropsEx(HWND hwnd, int (*proc)(HWND, const char*, void*, LPARAM), LPARAM lParam)
{
  auto* holder = respondsTo<SWELL_PropertyHolder>(swellObjectOf(hwnd));
  return holder && proc ? holder->swellEnumProps(proc, lParam) : -1;
}
