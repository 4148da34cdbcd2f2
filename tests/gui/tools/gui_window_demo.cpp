// A small editor of stock controls in a real window through IGraphicsMac, for the check
// under Xvfb: a bitmap knob from the editor's images, a switch, a value caption that
// prompts for a value, and labels. It prints where the knob lies in the window and every value the user sets.
// The close button and SIGTERM quit.
//
//   gui-window-demo                   open the window
//   gui-window-demo --measure-idle    open it, let it settle, then report what three
//                                     seconds of an idle editor cost, and quit

#include "IControls.h"
#include "IGraphicsMac.h"
#include "IParam.h"
#include "IPlugStandalone.h"

#include "platform/appkit/application.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"

#include <cstdio>
#include <cstring>
#include <sys/resource.h>

using namespace cocoa;

namespace
{
constexpr int kWidth = 320, kHeight = 200;
constexpr int kKnobX = 40, kKnobY = 50, kKnobFrames = 121;

enum EParams
{
  kGain,
  kOn,
  kFreq,
  kNParams
};

class DemoPlug : public IPlugStandalone
{
public:
  DemoPlug()
      : IPlugStandalone(IPlugInstanceInfo{}, kNParams, "0-2", 0, "GuiDemo", "", "Vorna", 0x10000, 0x47446D31, 0x566F7231,
                        0, false, false, true, 0)
  {
    GetParam(kGain)->InitDouble("gain", 0.2, 0.0, 1.0, 0.01, "", "", 1.0);
    GetParam(kOn)->InitBool("on", false, "", "");
    GetParam(kFreq)->InitDouble("freq", 440.0, 20.0, 20000.0, 1.0, "Hz", "", 1.0);
  }
  void OnParamChange(int paramIdx) override
  {
    char value[IParam::kDisplaySize];
    GetParam(paramIdx)->GetDisplayForHost(GetParam(paramIdx)->Value(), false, value, true);
    std::printf("gui-window-demo: %s %s\n", GetParam(paramIdx)->GetNameForHost(), value);
    std::fflush(stdout);
  }
};

IGraphicsMac* MakeEditor(DemoPlug* plug)
{
  auto* gui = new IGraphicsMac(plug, kWidth, kHeight);
  const IColor panel(255, 44, 48, 58);
  gui->AttachPanelBackground(&panel);
  IBitmap knob = gui->LoadIBitmap(1, "resources/img/knob.png", kKnobFrames);
  IBitmap button = gui->LoadIBitmap(2, "resources/img/button_on_off.png", 2);
  gui->AttachControl(new IKnobMultiControl(plug, kKnobX, kKnobY, kGain, &knob));
  gui->AttachControl(new ISwitchControl(plug, 150, 62, kOn, &button));
  static IText title(14, &COLOR_WHITE, "Geneva", IText::kStyleNormal, IText::kAlignNear);
  static IText value(12, &COLOR_YELLOW, "Geneva", IText::kStyleNormal, IText::kAlignCenter);
  gui->AttachControl(new ITextControl(plug, IRECT(16, 12, 300, 30), &title, "Vorna GUI demo"));
  gui->AttachControl(new ITextControl(plug, IRECT(20, 110, 110, 126), &value, "gain"));
  IControl* freq = new ICaptionControl(plug, IRECT(180, 110, 300, 126), kFreq, &value);
  freq->DisablePrompt(false);
  gui->AttachControl(freq);
  gui->HandleMouseOver(true);
  return gui;
}

class Quitter : public NSObject, public NSApplicationDelegate, public NSWindowDelegate
{
public:
  bool windowShouldClose(NSWindow*) override
  {
    NSApp()->terminate(nullptr);
    return false;
  }
  void applicationWillTerminate() override
  {
    std::printf("gui-window-demo: quitting\n");
    std::fflush(stdout);
  }
};

// What the process did: its processor time, which a busy machine inflates, and the times its
// threads went to sleep and woke again, which it does not.
struct Usage
{
  double cpuSeconds;
  long wakeUps;
};

Usage UsageNow()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6,
          usage.ru_nvcsw};
}

// Counts the passes of the main thread's run loop: each one is a wake-up with something to do
// (a timer, input) or a draw.
class PassCounter : public RunLoopObserver
{
public:
  void runLoopPassEnding() override { ++passes; }
  long passes = 0;
};
}  // namespace

int main(int argc, char** argv)
{
  NSAutoreleasePool pool;
  installTerminationSignalHandlers();
  NSApplication* app = NSApp();
  const bool measureIdle = argc > 1 && std::strcmp(argv[1], "--measure-idle") == 0;

  auto* quitter = new Quitter;
  app->setDelegate(quitter);
  DemoPlug plug;
  IGraphicsMac* gui = MakeEditor(&plug);
  plug.AttachGraphics(gui);

  NSWindow* window = new NSWindow(NSMakeRect(200, 200, kWidth, kHeight), NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  window->setTitle("Vorna GUI demo");
  window->setDelegate(quitter);
  window->makeKeyAndOrderFront(nullptr);
  auto* view = static_cast<NSView*>(gui->OpenWindow(window->contentView()));

  // The knob's middle in window pixels, for the script that drags it.
  const NSPoint knobMiddle =
      window->pixelFromBase(view->convertPointToView(NSMakePoint(kKnobX + 23, kHeight - (kKnobY + 22)), nullptr));
  std::printf("gui-window-demo: running with the %s backend\n", platformBackend().name());
  std::printf("gui-window-demo: knob at %.0f %.0f\n", knobMiddle.x, knobMiddle.y);
  std::fflush(stdout);

  long presentations = 0;
  long passes = 0;
  Usage usage{};
  PassCounter counter;
  NSRunLoop::currentRunLoop()->addObserver(&counter);
  if (measureIdle)
  {
    constexpr double kSettle = 1.0, kIdle = 5.0;
    NSTimer::scheduledTimerWithTimeInterval(kSettle, false, [&](NSTimer*) {
      presentations = window->presentationCount();
      passes = counter.passes;
      usage = UsageNow();
    });
    NSTimer::scheduledTimerWithTimeInterval(kSettle + kIdle, false, [&](NSTimer*) {
      const Usage now = UsageNow();
      std::printf("gui-window-demo: idle for %.0f s: %ld presentations, %.1f run-loop passes and %.1f wake-ups a "
                  "second, %.2f%% of a core\n",
                  kIdle, window->presentationCount() - presentations, double(counter.passes - passes) / kIdle,
                  double(now.wakeUps - usage.wakeUps) / kIdle, (now.cpuSeconds - usage.cpuSeconds) / kIdle * 100);
      std::fflush(stdout);
      app->terminate(nullptr);
    });
  }

  app->run();
  NSRunLoop::currentRunLoop()->removeObserver(&counter);
  gui->CloseWindow();
  window->close();
  app->setDelegate(nullptr);
  quitter->release();
  return 0;
}
