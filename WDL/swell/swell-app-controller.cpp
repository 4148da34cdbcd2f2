// The application's controller: its life cycle as SWELLAppMain calls.

#include "swell-app.h"
#include "swell-kernel.h"
#include "swell-misc.h"
#include "swell-wnd.h"

#include "platform/appkit/menu.h"

using namespace cocoa;

namespace
{
constexpr int kLongestPath = 4096;
}  // namespace

void SWELLAppController::awakeFromNib()
{
  SWELL_EnsureMultithreadedCocoa();
  NSApp()->setDelegate(this);
  SWELL_Internal_PostMessage_Init();
  SWELLAppMain(SWELLAPP_ONLOAD, 0, 0);
}

void SWELLAppController::onSysMenuCommand(NSObject* sender)
{
  auto* item = dynamic_cast<NSMenuItem*>(sender);
  const NSInteger tag = item ? item->tag() : 0;
  if (tag) SWELLAppMain(SWELLAPP_MENUCOMMAND, tag, reinterpret_cast<INT_PTR>(sender));
}

bool SWELLAppController::performAction(Action action, NSObject* sender)
{
  if (action != Action::onSysMenuCommand) return false;
  onSysMenuCommand(sender);
  return true;
}

bool SWELLAppController::applicationOpenFile(NSApplication*, const NSString& path)
{
  char utf8[kLongestPath];
  SWELL_CFStringToCString(&path, utf8, sizeof utf8);
  if (!utf8[0]) return false;
  return SWELLAppMain(SWELLAPP_OPENFILE, reinterpret_cast<INT_PTR>(utf8), 0) > 0;
}

bool SWELLAppController::applicationOpenUntitledFile(NSApplication*)
{
  return SWELLAppMain(SWELLAPP_OPENUNTITLED, 0, 0) > 0;
}

bool SWELLAppController::applicationShouldOpenUntitledFile(NSApplication*)
{
  return SWELLAppMain(SWELLAPP_SHOULDOPENUNTITLED, 0, 0) > 0;
}

void SWELLAppController::applicationDidFinishLaunching()
{
  SWELLAppMain(SWELLAPP_LAUNCHED, 0, 0);
}

NSApplicationTerminateReply SWELLAppController::applicationShouldTerminate(NSApplication*)
{
  return SWELLAppMain(SWELLAPP_SHOULDTERMINATE, 0, 0) > 0 ? NSTerminateLater : NSTerminateNow;
}

void SWELLAppController::applicationWillTerminate()
{
  SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0);
}

void SWELLAppController::applicationDidBecomeActive()
{
  activationChanged(true);
}

void SWELLAppController::applicationDidResignActive()
{
  activationChanged(false);
}

void SWELLAppController::activationChanged(bool active)
{
  if (!SWELLAppMain(SWELLAPP_ACTIVATE, active, 0)) SWELL_BroadcastMessage(WM_ACTIVATEAPP, active, 0);
}

SWELLAPIFunc SWELLAppController::swellGetAPPAPIFunc() const
{
  return SWELLAPI_GetFunc;
}

int SWELLApplicationMain(int, char**)
{
  // Both live as long as the process.
  static auto* application = new SWELLApplication;
  static auto* controller = new SWELLAppController;
  (void)application;
  installTerminationSignalHandlers();
  controller->awakeFromNib();
  NSApp()->run();
  return 0;
}
