#include "system_setup.h"

#include "platform/appkit/workspace.h"

const char* StartSystemSetupProgram()
{
  // Starting it is the test of being installed: a program not on PATH does not start.
  for (const char* program : kSystemSetupPrograms)
    if (cocoa::NSWorkspace::sharedWorkspace()->launchProgram({program})) return program;
  return nullptr;
}
