#include "swell-cursor.h"

#include "swell-cursor-file.h"
#include "swell-cursor-images.h"
#include "swell-gdi.h"
#include "swell-image.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-messages.h"
#include "swell-wnd.h"

#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"
#include "platform/appkit/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

using namespace cocoa;

// A registered cursor resource: its id (compared by address), image name, hot spot, and the
// cursor once loaded.
struct SWELL_CursorResourceIndex
{
  const char* resid;
  const char* resname;
  POINT hotspot;
  HCURSOR cachecursor;
  SWELL_CursorResourceIndex* _next;
};

SWELL_CursorResourceIndex* SWELL_curmodule_cursorresource_head = nullptr;

namespace
{
constexpr size_t kLongestName = 1024;
constexpr long kLargestCursorFile = 1 << 20;

NSCursor* m_last_setcursor = nullptr;  // retained
int m_curvis_cnt = 0;
bool g_swell_mouse_relmode = false;
POINT g_swell_mouse_relmode_curpos = {0, 0};

NSCursor* cursorOf(HCURSOR cursor)
{
  return dynamic_cast<NSCursor*>(reinterpret_cast<NSObject*>(cursor));
}

HCURSOR handleOf(NSCursor* cursor)
{
  return reinterpret_cast<HCURSOR>(static_cast<NSObject*>(cursor));
}

bool readSmallFile(const std::string& path, std::vector<unsigned char>* bytes)
{
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes->clear();
  unsigned char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
  {
    bytes->insert(bytes->end(), chunk, chunk + n);
    if (bytes->size() > static_cast<size_t>(kLargestCursorFile)) break;
  }
  std::fclose(file);
  return bytes->size() <= static_cast<size_t>(kLargestCursorFile);
}

// Premultiplied image pixels to the straight alpha a cursor takes.
NSCursor* cursorFromImage(const SwellImage* image, NSPoint hotSpot)
{
  if (!image || image->width() < 1 || image->height() < 1) return nullptr;
  std::vector<uint32_t> argb(static_cast<size_t>(image->width()) * image->height());
  for (size_t i = 0; i < argb.size(); ++i)
  {
    const uint32_t p = image->pixels()[i];
    const uint32_t a = p >> 24;
    uint32_t straight = 0;
    if (a)
      for (int shift = 0; shift < 24; shift += 8)
        straight |= std::min(255u, (((p >> shift) & 0xFF) * 255 + a / 2) / a) << shift;
    argb[i] = (a << 24) | straight;
  }
  return new NSCursor(argb, image->width(), image->height(), hotSpot);
}

NSCursor* cursorFromImageFile(const char* path, NSPoint hotSpot)
{
  SwellImage* image = SwellImage::loadPng(path);
  NSCursor* cursor = cursorFromImage(image, hotSpot);
  if (image) image->release();
  return cursor;
}

NSCursor* cursorFromNamedImage(const char* name, NSPoint hotSpot)
{
  HICON icon = LoadNamedImage(name, false);
  NSCursor* cursor = cursorFromImage(static_cast<const SwellImage*>(GetNSImageFromHICON(icon)), hotSpot);
  if (icon) DeleteObject(icon);
  return cursor;
}

bool endsWithCur(const char* name)
{
  const size_t length = std::strlen(name);
  return length >= 4 && strcasecmp(name + length - 4, ".cur") == 0;
}

// The image a name designates: a cursor file (whose own hot spot wins), else the image file
// or the application's image of that name.
NSCursor* loadCursorImage(const char* name, NSPoint hotSpot)
{
  if (!name) return nullptr;
  const bool isPath = std::strchr(name, '/') || std::strlen(name) >= kLongestName;
  std::string cursorFile;
  if (isPath)
  {
    if (!endsWithCur(name)) return cursorFromImageFile(name, hotSpot);
    cursorFile = name;
  }
  else
  {
    char module[4096];
    GetModuleFileName(nullptr, module, sizeof module);
    cursorFile = std::string(module) + "/Contents/Resources/" + name + ".cur";
  }
  std::vector<unsigned char> bytes;
  SwellCursorImage image;
  if (readSmallFile(cursorFile, &bytes) && swellDecodeCursorFile(bytes.data(), bytes.size(), &image))
    return new NSCursor(image.argb, image.width, image.height, NSMakePoint(image.hotX, image.hotY));
  return isPath ? cursorFromImageFile(name, hotSpot) : cursorFromNamedImage(name, hotSpot);
}

HCURSOR builtin(BuiltinCursor which)
{
  static NSCursor* made[4] = {};
  NSCursor*& slot = made[static_cast<int>(which)];
  if (!slot) slot = makeBuiltinCursor(which);
  return handleOf(slot);
}

POINT pointerPosition()
{
  const NSPoint p = NSEvent::mouseLocation();
  return POINT{static_cast<int>(std::floor(p.x)), static_cast<int>(std::ceil(p.y))};
}
}  // namespace

HCURSOR SWELL_LoadCursor(const char* id)
{
  switch (reinterpret_cast<uintptr_t>(id))
  {
  case 32512: return handleOf(NSCursor::arrowCursor());
  case 32513: return handleOf(NSCursor::IBeamCursor());
  case 32516: return handleOf(NSCursor::resizeUpCursor());
  case 32642: return builtin(BuiltinCursor::diagonal);
  case 32643: return builtin(BuiltinCursor::diagonalMirrored);
  case 32644: return handleOf(NSCursor::resizeLeftRightCursor());
  case 32645: return handleOf(NSCursor::resizeUpDownCursor());
  case 32646: return builtin(BuiltinCursor::allDirections);
  case 32648: return builtin(BuiltinCursor::notAllowed);
  case 32649: return handleOf(NSCursor::openHandCursor());
  default: break;
  }
  for (SWELL_CursorResourceIndex* record = SWELL_curmodule_cursorresource_head; record; record = record->_next)
  {
    if (record->resid != id) continue;
    if (!record->cachecursor)
      record->cachecursor =
          handleOf(loadCursorImage(record->resname, NSMakePoint(record->hotspot.x, record->hotspot.y)));
    return record->cachecursor;
  }
  return nullptr;
}

HCURSOR SWELL_LoadCursorFromFile(const char* name)
{
  return handleOf(loadCursorImage(name, NSPoint{}));
}

void SWELL_Register_Cursor_Resource(const char* id, const char* name, int hotX, int hotY)
{
  SWELL_curmodule_cursorresource_head =
      new SWELL_CursorResourceIndex{id, name, POINT{hotX, hotY}, nullptr, SWELL_curmodule_cursorresource_head};
}

void SWELL_SetCursor(HCURSOR handle)
{
  NSCursor* cursor = cursorOf(handle);
  if (cursor) cursor->retain();
  if (m_last_setcursor) m_last_setcursor->release();
  m_last_setcursor = cursor;
  (cursor ? cursor : NSCursor::arrowCursor())->set();
}

HCURSOR SWELL_GetCursor()
{
  return handleOf(NSCursor::currentCursor());
}

HCURSOR SWELL_GetLastSetCursor()
{
  return handleOf(m_last_setcursor);
}

bool SWELL_IsCursorVisible()
{
  return m_curvis_cnt >= 0;
}

int SWELL_ShowCursor(BOOL show)
{
  m_curvis_cnt += show ? 1 : -1;
  const CGDirectDisplayID display = CGMainDisplayID();
  if (!show && m_curvis_cnt == -1)
  {
    if (!g_swell_mouse_relmode) g_swell_mouse_relmode_curpos = pointerPosition();
    CGDisplayHideCursor(display);
    CGAssociateMouseAndMouseCursorPosition(false);
    g_swell_mouse_relmode = true;
  }
  else if (show && m_curvis_cnt == 0)
  {
    CGDisplayShowCursor(display);
    CGAssociateMouseAndMouseCursorPosition(true);
    g_swell_mouse_relmode = false;
    const double height = static_cast<double>(CGDisplayPixelsHigh(display));
    CGWarpMouseCursorPosition(CGPointMake(g_swell_mouse_relmode_curpos.x, height - g_swell_mouse_relmode_curpos.y));
  }
  return m_curvis_cnt;
}

BOOL SWELL_SetCursorPos(int x, int y)
{
  if (g_swell_mouse_relmode)
  {
    g_swell_mouse_relmode_curpos = POINT{x, y};
    return 1;
  }
  const double height = static_cast<double>(CGDisplayPixelsHigh(CGMainDisplayID()));
  CGWarpMouseCursorPosition(CGPointMake(x, height - y));
  return 1;
}

BOOL GetCursorPos(POINT* p)
{
  if (!p) return 0;
  *p = g_swell_mouse_relmode ? g_swell_mouse_relmode_curpos : pointerPosition();
  return 1;
}

DWORD GetMessagePos()
{
  POINT p;
  GetCursorPos(&p);
  return static_cast<DWORD>(swell::packPoint(p.x, p.y));
}

NSPoint swellProcessMouseEvent(int msg, NSView* view, NSEvent* event)
{
  if (!view || !event) return NSPoint{};
  if (!g_swell_mouse_relmode) return view->convertPointFromView(event->locationInWindow(), nullptr);
  if (msg == WM_MOUSEMOVE)
  {
    g_swell_mouse_relmode_curpos.x += static_cast<int>(event->deltaX());
    g_swell_mouse_relmode_curpos.y -= static_cast<int>(event->deltaY());
  }
  POINT p = g_swell_mouse_relmode_curpos;
  ScreenToClient(swellHandleOf(view), &p);
  return NSMakePoint(p.x, p.y);
}
