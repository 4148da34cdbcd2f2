// Small services without a module of their own: system metrics, scrolling a window's
// children, finding windows, opening documents and addresses, and the focus-rectangle
// overlay.

#include "swell-shell.h"

#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/control_drawing.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/window.h"
#include "platform/appkit/workspace.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

using namespace cocoa;

namespace
{
constexpr int kDefaultScreenSize = 1024;
constexpr int kScrollBarSize = 16;
constexpr int kOverlayLevel = 101;

bool startsWithNoCase(const char* text, const char* prefix)
{
  return text && !strncasecmp(text, prefix, std::strlen(prefix));
}

bool endsWithNoCase(const std::string& text, const char* suffix)
{
  const size_t n = std::strlen(suffix);
  return text.size() >= n && !strcasecmp(text.c_str() + text.size() - n, suffix);
}

bool isTextField(HWND hwnd)
{
  return dynamic_cast<NSTextField*>(swellObjectOf(hwnd)) != nullptr;
}

bool matches(HWND candidate, const char* className, const char* title)
{
  const bool wantsLabel = className && !strcasecmp(className, "Static");
  if (title)
  {
    char text[512];
    GetDlgItemText(candidate, 0, text, sizeof text);
    if (std::strcmp(text, title)) return false;
  }
  return !wantsLabel || isTextField(candidate);
}

// The grey the focus-rectangle window shows.
class Swell_vVorna_drawfocusrectwnd : public NSView
{
public:
  bool isOpaque() const override { return true; }
  void drawRect(NSRect dirty) override
  {
    if (CGContextRef context = currentCGContext()) fillRect(context, dirty, NSColor::colorWithCalibratedRed(0.5, 0.5, 0.5, 1));
  }
};

void closeOverlay(NSWindow* overlay)
{
  if (NSWindow* parent = overlay->parentWindow()) parent->removeChildWindow(overlay);
  overlay->close();
}
}  // namespace

int GetSystemMetrics(int index)
{
  switch (index)
  {
  case SM_CXSCREEN:
  case SM_CYSCREEN:
  {
    NSScreen* screen = NSScreen::mainScreen();
    if (!screen) return kDefaultScreenSize;
    const NSRect frame = screen->frame();
    return static_cast<int>(index == SM_CXSCREEN ? frame.size.width : frame.size.height);
  }
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
  case SM_CYVSCROLL:
  case SM_CXHSCROLL:
    return kScrollBarSize;
  default:
    return 0;
  }
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT*, const RECT*)
{
  const StrongRef<NSView> view(swell::viewOrContentView(hwnd));
  if ((dx == 0 && dy == 0) || !view) return 0;
  // A moved child hears WM_SIZE, and its procedure may destroy any of its siblings, or the
  // scrolled view itself.
  forEachSubview(view.get(), [dx, dy](NSView* child) {
    const NSRect frame = child->frame();
    child->setFrameOrigin(NSMakePoint(frame.origin.x + dx, frame.origin.y + dy));
  });
  view->setNeedsDisplay(true);
  return 1;
}

HWND FindWindowEx(HWND parent, HWND after, const char* className, const char* title)
{
  if (parent)
  {
    NSView* view = swell::viewOrContentView(parent);
    if (!view || view->subviews().empty()) return nullptr;
    HWND candidate = after ? GetWindow(after, GW_HWNDNEXT) : swellHandleOf(view->subviews().front());
    for (; candidate; candidate = GetWindow(candidate, GW_HWNDNEXT))
      if (matches(candidate, className, title)) return candidate;
    return nullptr;
  }
  if (!title) return nullptr;
  const std::vector<NSWindow*> windows = NSApp()->windows();
  auto start = windows.begin();
  if (after)
  {
    start = std::find_if(windows.begin(), windows.end(), [after](NSWindow* w) {
      return swellHandleOf(w) == after || (w->contentView() && swellHandleOf(w->contentView()) == after);
    });
    if (start == windows.end()) return nullptr;
    ++start;
  }
  for (auto it = start; it != windows.end(); ++it)
    if ((*it)->title().str() == title && (*it)->contentView()) return swellHandleOf((*it)->contentView());
  return nullptr;
}

BOOL ShellExecute(HWND, const char*, const char* file, const char* params, const char*, int)
{
  NSWorkspace* workspace = NSWorkspace::sharedWorkspace();
  if (!workspace) return 0;
  // Addresses go to the desktop's opener, secure ones as plain ones.
  if (startsWithNoCase(file, "http://") || startsWithNoCase(file, "https://")) return workspace->openURL(NSString(file));
  std::string program = file ? file : "";
  std::string arguments = params ? params : "";
  // The Windows shell and notepad stand for the desktop's own handlers: the document opens
  // in whatever the desktop opens it with.
  if (!strcasecmp(program.c_str(), "explorer.exe") || !strcasecmp(program.c_str(), "notepad.exe") ||
      !strcasecmp(program.c_str(), "notepad"))
    program.clear();
  if (!strcasecmp(arguments.c_str(), "explorer.exe")) arguments.clear();
  std::string target;
  if (params)
  {
    if (!program.empty() && !arguments.empty()) return workspace->launchProgram({program, arguments});
    target = !program.empty() ? program : arguments;
    if (target.empty()) return 0;
  }
  else
  {
    if (program.empty()) return 0;
    target = program;
  }
  constexpr const char* kSelectPrefix = "/select,\"";
  if (!startsWithNoCase(target.c_str(), kSelectPrefix))
  {
    if (target.size() >= 5 && endsWithNoCase(target, ".app")) return workspace->launchProgram({target});
    return workspace->openFile(NSString(target));
  }
  std::string path = target.substr(std::strlen(kSelectPrefix));
  if (!path.empty() && path.back() == '"') path.pop_back();
  if (path.empty()) return 0;
  // No desktop service shows a file selected in its folder: the folder opens.
  const size_t separator = path.find_last_of("/\\");
  if (separator == std::string::npos) return 0;
  return workspace->openFile(NSString(path.substr(0, separator)));
}

void SWELL_DrawFocusRect(HWND hwnd, const RECT* rect, void** slot)
{
  if (!slot) return;
  auto* overlay = static_cast<NSWindow*>(*slot);
  if (!rect)
  {
    if (overlay) closeOverlay(overlay);
    *slot = nullptr;
    return;
  }
  RECT r = *rect;
  NSWindow* host = nullptr;
  if (hwnd)
  {
    POINT topLeft{r.left, r.top};
    POINT bottomRight{r.right, r.bottom};
    ClientToScreen(hwnd, &topLeft);
    ClientToScreen(hwnd, &bottomRight);
    r = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    host = swell::asWindow(hwnd);
    if (!host)
    {
      NSView* view = swell::asView(hwnd);
      if (!view) return;
      host = view->window();
    }
  }
  const NSRect frame = NSMakeRect(r.left, std::min(r.top, r.bottom), r.right - r.left, std::abs(r.top - r.bottom));
  if (!overlay || overlay->parentWindow() != host)
  {
    if (overlay) closeOverlay(overlay);
    overlay = new NSWindow(frame, NSWindowStyleMaskBorderless, NSBackingStoreBuffered, true);
    auto* content = new Swell_vVorna_drawfocusrectwnd;
    overlay->setContentView(content);
    content->release();
    if (host)
      host->addChildWindow(overlay, NSWindowAbove);
    else
    {
      overlay->setLevel(kOverlayLevel);
      overlay->orderFront(nullptr);
    }
    *slot = overlay;
  }
  overlay->setFrame(frame, true);
}
