#include "platform/backend/x11_shm_presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

namespace cocoa
{
struct X11ShmPresenter::Target
{
  Window window = 0;
  XImage* image = nullptr;
  XShmSegmentInfo segment{};
  GC gc = nullptr;
  bool pending = false;
  int width = 0;
  int height = 0;
};

namespace
{
constexpr int kLongestWaitMs = 250;
constexpr int kPollMs = 5;

Display* asDisplay(void* display)
{
  return static_cast<Display*>(display);
}

struct CompletionOf
{
  int type;
  Window window;
};

Bool isCompletionOf(Display*, XEvent* event, XPointer argument)
{
  const auto* wanted = reinterpret_cast<const CompletionOf*>(argument);
  return event->type == wanted->type &&
         reinterpret_cast<XShmCompletionEvent*>(event)->drawable == wanted->window;
}
}  // namespace

std::unique_ptr<X11ShmPresenter> X11ShmPresenter::create()
{
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  if (!XShmQueryExtension(display))
  {
    XCloseDisplay(display);
    return nullptr;
  }
  std::unique_ptr<X11ShmPresenter> presenter(new X11ShmPresenter);
  presenter->m_display = display;
  presenter->m_completionType = XShmGetEventBase(display) + ShmCompletion;
  return presenter;
}

X11ShmPresenter::~X11ShmPresenter()
{
  for (auto& [window, target] : m_targets) release(*target);
  m_targets.clear();
  if (m_display) XCloseDisplay(asDisplay(m_display));
}

void X11ShmPresenter::waitForCompletion(Target& target)
{
  if (!target.pending) return;
  Display* display = asDisplay(m_display);
  CompletionOf wanted{m_completionType, target.window};
  XEvent event;
  // Bounded: a server that never answers costs a torn frame at worst, never a hang.
  for (int waited = 0; waited < kLongestWaitMs; waited += kPollMs)
  {
    if (XCheckIfEvent(display, &event, isCompletionOf, reinterpret_cast<XPointer>(&wanted))) break;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, kPollMs);
  }
  target.pending = false;
}

void X11ShmPresenter::release(Target& target)
{
  Display* display = asDisplay(m_display);
  waitForCompletion(target);
  if (target.image)
  {
    XShmDetach(display, &target.segment);
    XDestroyImage(target.image);
    shmdt(target.segment.shmaddr);
    target.image = nullptr;
  }
  if (target.gc) XFreeGC(display, target.gc);
  target.gc = nullptr;
  XSync(display, False);
}

X11ShmPresenter::Target* X11ShmPresenter::targetFor(unsigned long xWindow, int width, int height)
{
  Display* display = asDisplay(m_display);
  auto found = m_targets.find(xWindow);
  if (found != m_targets.end() && found->second->width == width && found->second->height == height)
    return found->second.get();
  if (found != m_targets.end())
  {
    release(*found->second);
    m_targets.erase(found);
  }

  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, xWindow, &attributes)) return nullptr;
  auto target = std::make_unique<Target>();
  target->window = xWindow;
  target->width = width;
  target->height = height;
  target->image = XShmCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                                  nullptr, &target->segment, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height));
  if (!target->image) return nullptr;
  // Only a visual that stores the backing bitmap's XRGB words unchanged will do.
  const XImage& image = *target->image;
  if (image.bits_per_pixel != 32 || image.byte_order != LSBFirst || image.red_mask != 0xFF0000 ||
      image.green_mask != 0xFF00 || image.blue_mask != 0xFF)
  {
    XDestroyImage(target->image);
    return nullptr;
  }
  target->segment.shmid =
      shmget(IPC_PRIVATE, static_cast<size_t>(image.bytes_per_line) * static_cast<size_t>(height), IPC_CREAT | 0600);
  if (target->segment.shmid < 0)
  {
    XDestroyImage(target->image);
    return nullptr;
  }
  target->segment.shmaddr = target->image->data = static_cast<char*>(shmat(target->segment.shmid, nullptr, 0));
  target->segment.readOnly = False;
  const bool attached = target->segment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &target->segment);
  XSync(display, False);
  // Marked for removal now: the segment goes away by itself once both sides detach.
  shmctl(target->segment.shmid, IPC_RMID, nullptr);
  if (!attached)
  {
    if (target->segment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(target->segment.shmaddr);
    target->image->data = nullptr;
    XDestroyImage(target->image);
    return nullptr;
  }
  target->gc = XCreateGC(display, xWindow, 0, nullptr);
  Target* result = target.get();
  m_targets[xWindow] = std::move(target);
  return result;
}

bool X11ShmPresenter::present(unsigned long xWindow, const uint32_t* pixels, int width, int height,
                              size_t bytesPerRow, const std::vector<NSRect>& pixelRects)
{
  if (!m_display || !pixels || width <= 0 || height <= 0) return false;
  Target* target = targetFor(xWindow, width, height);
  if (!target) return false;
  waitForCompletion(*target);
  Display* display = asDisplay(m_display);
  const auto* source = reinterpret_cast<const uint8_t*>(pixels);
  auto* destination = reinterpret_cast<uint8_t*>(target->image->data);
  const size_t destinationRow = static_cast<size_t>(target->image->bytes_per_line);
  std::vector<XRectangle> puts;
  for (const NSRect& r : pixelRects)
  {
    const int x0 = std::max(0, static_cast<int>(r.origin.x));
    const int y0 = std::max(0, static_cast<int>(r.origin.y));
    const int x1 = std::min(width, static_cast<int>(r.origin.x + r.size.width));
    const int y1 = std::min(height, static_cast<int>(r.origin.y + r.size.height));
    if (x1 <= x0 || y1 <= y0) continue;
    for (int y = y0; y < y1; ++y)
      std::memcpy(destination + static_cast<size_t>(y) * destinationRow + static_cast<size_t>(x0) * 4,
                  source + static_cast<size_t>(y) * bytesPerRow + static_cast<size_t>(x0) * 4,
                  static_cast<size_t>(x1 - x0) * 4);
    puts.push_back({static_cast<short>(x0), static_cast<short>(y0), static_cast<unsigned short>(x1 - x0),
                    static_cast<unsigned short>(y1 - y0)});
  }
  for (size_t i = 0; i < puts.size(); ++i)
  {
    const XRectangle& p = puts[i];
    const bool last = i + 1 == puts.size();
    XShmPutImage(display, xWindow, target->gc, target->image, p.x, p.y, p.x, p.y, p.width, p.height, last);
  }
  if (!puts.empty())
  {
    target->pending = true;
    XFlush(display);
  }
  return true;
}

void X11ShmPresenter::forget(unsigned long xWindow)
{
  auto found = m_targets.find(xWindow);
  if (found == m_targets.end()) return;
  release(*found->second);
  m_targets.erase(found);
}
}  // namespace cocoa
