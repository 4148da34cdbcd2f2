// IGraphicsMac: the message box, on the window layer's presenter.

#include "IGraphicsMac.h"

#include "swell-ctl.h"

namespace
{
// What each button answers by its place, the first being the default one.
constexpr int kResultByPosition[] = {1, 7, 2};
// Escape and closing the box press the button titled "Cancel" when there is one; 0 is
// answered by no button, so without one they do nothing.
constexpr int kNoEscape = 0;

struct MessageBoxButtons
{
  const char* titles[3];
  int count;
  int cancelPosition;  // -1: none
};

MessageBoxButtons ButtonsOfType(int type)
{
  switch (type)
  {
  case 4: return {{"Yes", "No"}, 2, -1};
  case 3: return {{"Yes", "No", "Cancel"}, 3, 2};
  case 1: return {{"OK", "Cancel"}, 2, 1};
  default: return {{"OK"}, 1, -1};
  }
}
}  // namespace

int IGraphicsMac::ShowMessageBox(const char* text, const char* caption, int type)
{
  const MessageBoxButtons set = ButtonsOfType(type);
  SWELL_MessageBoxButton buttons[3];
  for (int i = 0; i < set.count; ++i) buttons[i] = {set.titles[i], kResultByPosition[i]};
  const int escape = set.cancelPosition >= 0 ? kResultByPosition[set.cancelPosition] : kNoEscape;
  return SWELL_ShowMessageBoxDialog(text, caption, buttons, set.count, escape);
}
