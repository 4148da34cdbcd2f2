// IGraphicsMac: the message box.

#include "IGraphicsMac.h"

int IGraphicsMac::ShowMessageBox(const char*, const char*, int)
{
  return 0;
}
