// A small window with a few views and a menu, for trying the platform layer by hand and
// for the display check in CI. Clicking the swatch turns it from red to green and prints
// where it was clicked; File > Quit, Ctrl+Q, the close button and SIGTERM all quit.
//
//   platform-demo                         open the window
//   platform-demo --snapshot FILE.png     draw it once, write the window to FILE.png, quit
//   platform-demo --measure-presentation  time copying a full 770 x 650 window to the screen

#include "platform/appkit/application.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"
#include "platform/graphics/cg_context.h"
#include "platform/text/core_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
void drawText(CGContextRef context, const char* text, double x, double baseline, double size, bool flipped)
{
  CTFontRef font = CTFontCreateWithName("Lucida Grande", size, nullptr);
  CTLineRef line = CTLineCreateWithText(font, text, nullptr);
  CGContextSetTextMatrix(context, flipped ? CGAffineTransformMake(1, 0, 0, -1, 0, 0) : CGAffineTransformIdentity);
  CGContextSetTextPosition(context, x, baseline);
  CTLineDraw(line, context);
  CTLineRelease(line);
  CTFontRelease(font);
}

// Red until clicked, green afterwards.
class SwatchView : public NSView
{
public:
  using NSView::NSView;
  bool isFlipped() const override { return true; }
  bool acceptsFirstMouse(NSEvent*) override { return true; }

  void drawRect(NSRect) override
  {
    CGContextRef context = NSGraphicsContext::currentContext()->graphicsPort();
    const NSRect b = bounds();
    if (m_clicked) CGContextSetRGBFillColor(context, 0, 0.75, 0, 1);
    else CGContextSetRGBFillColor(context, 0.85, 0, 0, 1);
    CGContextFillRect(context, b);
    CGContextSetRGBFillColor(context, 1, 1, 1, 1);
    CGContextFillRect(context, NSMakeRect(0, b.size.height - 30, b.size.width, 30));
    drawText(context, m_clicked ? "Clicked" : "Click me", 10, b.size.height - 10, 14, true);
  }

  void mouseDown(NSEvent* event) override
  {
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    std::printf("platform-demo: view clicked at %.0f %.0f\n", p.x, p.y);
    std::fflush(stdout);
    m_clicked = true;
    setNeedsDisplay(true);
  }

private:
  bool m_clicked = false;
};

// Lines and a circle in an unflipped view.
class FigureView : public NSView
{
public:
  using NSView::NSView;
  void drawRect(NSRect) override
  {
    CGContextRef context = NSGraphicsContext::currentContext()->graphicsPort();
    const NSRect b = bounds();
    CGContextSetRGBFillColor(context, 1, 1, 1, 1);
    CGContextFillRect(context, b);
    CGContextSetRGBStrokeColor(context, 0.1, 0.2, 0.7, 1);
    CGContextSetLineWidth(context, 2);
    for (int i = 0; i < 8; ++i)
    {
      CGContextMoveToPoint(context, 0, i * b.size.height / 8);
      CGContextAddLineToPoint(context, b.size.width, b.size.height - i * b.size.height / 8);
    }
    CGContextStrokePath(context);
    CGContextSetRGBFillColor(context, 0.95, 0.7, 0.1, 1);
    CGContextFillEllipseInRect(context, NSInsetRect(b, 40, 30));
  }
};

class LabelView : public NSView
{
public:
  using NSView::NSView;
  bool isFlipped() const override { return true; }
  void drawRect(NSRect) override
  {
    drawText(NSGraphicsContext::currentContext()->graphicsPort(), "Ctrl+Q, File > Quit or the close button quits.", 0,
             14, 13, true);
  }
};

class DemoController : public NSObject, public NSApplicationDelegate, public NSWindowDelegate, public ActionTarget
{
public:
  bool windowShouldClose(NSWindow*) override
  {
    NSApp()->terminate(nullptr);
    return false;
  }
  void applicationWillTerminate() override
  {
    std::printf("platform-demo: quitting\n");
    std::fflush(stdout);
  }
  bool performAction(Action action, NSObject*) override
  {
    if (action != Action::onSysMenuCommand) return false;
    std::printf("platform-demo: hello\n");
    std::fflush(stdout);
    return true;
  }
};

NSMenu* makeMainMenu(DemoController* controller)
{
  NSMenu* bar = new NSMenu("");
  NSMenu* file = new NSMenu("File");
  NSMenuItem* hello = new NSMenuItem("Say Hello", Action::onSysMenuCommand, "h");
  hello->setTarget(controller);
  file->addItem(hello);
  hello->release();
  file->addItem(NSMenuItem::separatorItem());
  NSMenuItem* quit = new NSMenuItem("Quit", Action::terminate, "q");
  file->addItem(quit);
  quit->release();
  NSMenuItem* fileTitle = new NSMenuItem("File", Action::none, "");
  fileTitle->setSubmenu(file);
  file->release();
  bar->addItem(fileTitle);
  fileTitle->release();
  return bar;
}

NSWindow* makeDemoWindow(DemoController* controller)
{
  // Centred on the main screen.
  NSRect area = NSMakeRect(0, 0, 1024, 768);
  if (NSScreen* screen = NSScreen::mainScreen()) area = screen->visibleFrame();
  const NSRect place = NSMakeRect(std::round(NSMidX(area) - 240), std::round(NSMidY(area) - 130), 480, 260);
  NSWindow* window = new NSWindow(place, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable, NSBackingStoreBuffered, false);
  window->setTitle("Vorna platform demo");
  window->setDelegate(controller);
  NSView* content = window->contentView();
  auto add = [content](NSView* view) {
    content->addSubview(view);
    view->release();
  };
  add(new SwatchView(NSMakeRect(20, 60, 200, 160)));
  add(new FigureView(NSMakeRect(250, 60, 210, 160)));
  add(new LabelView(NSMakeRect(20, 20, 440, 20)));
  return window;
}

int measurePresentation()
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 770, 650), NSWindowStyleMaskBorderless);
  window->makeKeyAndOrderFront(nullptr);
  window->displayIfNeeded();
  const std::vector<NSRect> whole{NSMakeRect(0, 0, 770, 650)};
  std::vector<double> times;
  for (int i = 0; i < 200; ++i)
  {
    const auto start = std::chrono::steady_clock::now();
    platformBackend().present(window, whole);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("platform-demo: %s backend, presenting 770 x 650: median %.3f ms, 90th percentile %.3f ms\n",
              platformBackend().name(), times[times.size() / 2], times[times.size() * 9 / 10]);
  const long before = window->presentationCount();
  for (int i = 0; i < 100; ++i) window->displayIfNeeded();
  std::printf("platform-demo: presentations of a window with nothing dirty: %ld\n",
              window->presentationCount() - before);
  window->close();
  return 0;
}
}  // namespace

int main(int argc, char** argv)
{
  NSAutoreleasePool pool;
  installTerminationSignalHandlers();
  NSApplication* app = NSApp();
  if (argc > 1 && std::strcmp(argv[1], "--measure-presentation") == 0) return measurePresentation();

  auto* controller = new DemoController;
  app->setDelegate(controller);
  NSMenu* menu = makeMainMenu(controller);
  app->setMainMenu(menu);
  menu->release();
  NSWindow* window = makeDemoWindow(controller);
  window->makeKeyAndOrderFront(nullptr);

  std::string snapshotPath;
  if (argc > 2 && std::strcmp(argv[1], "--snapshot") == 0) snapshotPath = argv[2];
  if (!snapshotPath.empty())
    NSTimer::scheduledTimerWithTimeInterval(0.2, false, [&](NSTimer*) {
      app->updateWindows();
      if (!writeWindowSnapshot(window, snapshotPath)) std::fprintf(stderr, "platform-demo: cannot write %s\n", snapshotPath.c_str());
      app->terminate(nullptr);
    });

  std::printf("platform-demo: running with the %s backend\n", platformBackend().name());
  std::fflush(stdout);
  app->run();
  window->close();
  app->setMainMenu(nullptr);
  app->setDelegate(nullptr);
  controller->release();
  return 0;
}
