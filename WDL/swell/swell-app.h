#pragma once

// The application shell: the application object, which looks at every event before the
// platform dispatches it, and its controller, which turns the application's life into calls
// of the host's SWELLAppMain and hosts the posted-message queue. Also the layer's functions
// by name, for code loaded at run time. Main thread only.

#include "swell-timer.h"
#include "swell-types.h"

#include "platform/appkit/action.h"
#include "platform/appkit/application.h"
#include "platform/appkit/window.h"

// What SWELLAppMain is told (its first argument), with its two parameters and what its
// answer does.
#define SWELLAPP_ONLOAD 1            // before the event loop runs; answer ignored
#define SWELLAPP_LAUNCHED 2          // launching has finished; answer ignored
#define SWELLAPP_WILLTERMINATE 3     // the application ends; answer ignored
#define SWELLAPP_SHOULDTERMINATE 4   // > 0: the host answers later, else ends at once
#define SWELLAPP_OPENFILE 0x50       // parm1: UTF-8 path; > 0: opened
#define SWELLAPP_OPENUNTITLED 0x51   // > 0: opened
#define SWELLAPP_SHOULDOPENUNTITLED 0x52  // > 0: yes
#define SWELLAPP_MENUCOMMAND 0x99    // parm1: the item's tag, parm2: the item
#define SWELLAPP_KBDMESSAGE 0x100    // parm1: MSG*, parm2: the event; > 0: the key is consumed
#define SWELLAPP_ACTIVATE 0x1000     // parm1: 1 active, 0 not; 0: the layer tells every window

// The host's single entry, called on the main thread.
INT_PTR SWELLAppMain(int msg, INT_PTR parm1, INT_PTR parm2);

// Coalesces held keys, offers keys to the host, and gives dialogs their keys: Escape and
// Command+W cancel, Return presses the default button (a multi-line text keeps it), and the
// clipboard keys go to the text with the focus.
class SWELLApplication : public cocoa::NSApplication
{
public:
  void sendEvent(cocoa::NSEvent* event) override;
};

using SWELLAPIFunc = void* (*)(const char* name);

class SWELLAppController : public cocoa::NSObject,
                           public cocoa::NSApplicationDelegate,
                           public cocoa::ActionTarget,
                           public SWELL_PostMessageController
{
public:
  // Becomes the application's delegate, starts the posted-message queue and tells the host
  // SWELLAPP_ONLOAD.
  void awakeFromNib();
  // The application menu's items: their tag goes to the host (none for tag 0).
  void onSysMenuCommand(cocoa::NSObject* sender);
  bool performAction(cocoa::Action action, cocoa::NSObject* sender) override;

  // A path that is empty as UTF-8 is refused without asking the host.
  bool applicationOpenFile(cocoa::NSApplication* app, const cocoa::NSString& path);
  bool applicationOpenUntitledFile(cocoa::NSApplication* app) override;
  bool applicationShouldOpenUntitledFile(cocoa::NSApplication* app) override;
  void applicationDidFinishLaunching() override;
  cocoa::NSApplicationTerminateReply applicationShouldTerminate(cocoa::NSApplication* app) override;
  void applicationWillTerminate() override;
  void applicationDidBecomeActive() override;
  void applicationDidResignActive() override;

  SWELLAPIFunc swellGetAPPAPIFunc() const;

private:
  void activationChanged(bool active);
};

// What an application's main interface file does: makes the application object first (so
// that it is the one every event passes), then the controller, wakes the controller, and
// runs until the application terminates. SIGINT and SIGTERM ask it to terminate.
int SWELLApplicationMain(int argc, char** argv);

// The layer's function of that name, or null for a name it does not hand out; a null name
// gives the version of the table, 0x100.
void* SWELLAPI_GetFunc(const char* name);
