// The dialog-control tests run in an application of the shell, made before anything else,
// so that dialogs get their keys (Return, Escape, Command+W) as in the program.

#include "swell-app.h"

INT_PTR SWELLAppMain(int, INT_PTR, INT_PTR)
{
  return 0;
}

namespace
{
const bool s_applicationMade = (new SWELLApplication, true);
}  // namespace
