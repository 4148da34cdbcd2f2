// Message boxes: a modal dialog of this layer with a text and a row of buttons, laid out to
// its text. MessageBox and the GUI framework's message box both come here.

#include "swell-ctl-classes.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-wnd.h"

#include "platform/appkit/font.h"
#include "platform/appkit/text_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace cocoa;

namespace
{
constexpr CGFloat kTextPoints = 12;
constexpr int kMargin = 20;
constexpr int kMinTextWidth = 240;
constexpr int kMaxTextWidth = 420;
constexpr int kTextToButtons = 18;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 10;
constexpr int kMinButtonWidth = 72;
constexpr int kButtonPadding = 28;
constexpr int kFirstButtonId = 100;
// A label's text sits this far inside its frame on each side.
constexpr int kLabelSlack = 4;
constexpr int kFlippedOpaque = 0x4 | 0x10;

struct Request
{
  const char* text;
  const SWELL_MessageBoxButton* buttons;
  int count;
  int escapeResult;
  CTFontRef font;
  int textWidth;
  int textHeight;
  std::vector<int> buttonWidths;
};

// The text's own width between the limits, and the height it wraps to there.
void measure(Request& request)
{
  TextLayout layout;
  layout.layout(request.font, request.text, TextLayout::Options{});
  const int natural = static_cast<int>(std::ceil(layout.usedWidth()));
  request.textWidth = std::clamp(natural, kMinTextWidth, kMaxTextWidth);
  TextLayout::Options wrapped;
  wrapped.wrapWidth = request.textWidth;
  wrapped.boxWidth = request.textWidth;
  layout.layout(request.font, request.text, wrapped);
  request.textHeight = std::max(static_cast<int>(std::ceil(layout.usedHeight())), static_cast<int>(layout.lineHeight()));
  for (int i = 0; i < request.count; ++i)
  {
    const int width = static_cast<int>(std::ceil(textWidth(request.font, request.buttons[i].title ? request.buttons[i].title : "")));
    request.buttonWidths.push_back(std::max(kMinButtonWidth, width + kButtonPadding));
  }
}

int buttonRowWidth(const Request& request)
{
  int width = 0;
  for (int w : request.buttonWidths) width += w;
  return width + kButtonGap * (request.count - 1);
}

int dialogWidth(const Request& request)
{
  return std::max(request.textWidth + 2 * kLabelSlack, buttonRowWidth(request)) + 2 * kMargin;
}

int dialogHeight(const Request& request)
{
  return kMargin + request.textHeight + kTextToButtons + kButtonHeight + kMargin;
}

void makeControls(HWND dialog, const Request& request)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, dialog, false, false);
  const int width = dialogWidth(request);
  HWND label = SWELL_MakeLabel(-1, "", -1, kMargin, kMargin, width - 2 * kMargin, request.textHeight, 0);
  auto* field = static_cast<NSTextField*>(swellObjectOf(label));
  field->setFont(request.font);
  // Shown exactly as given: no mnemonics, no formatting.
  field->setStringValue(NSString(request.text));
  const int y = kMargin + request.textHeight + kTextToButtons;
  int right = width - kMargin;
  for (int i = 0; i < request.count; ++i)
  {
    const int w = request.buttonWidths[static_cast<size_t>(i)];
    HWND button = SWELL_MakeButton(i == 0, "", kFirstButtonId + i, right - w, y, w, kButtonHeight, 0);
    auto* control = static_cast<NSButton*>(swellObjectOf(button));
    control->setFont(request.font);
    control->setTitle(NSString(request.buttons[i].title ? request.buttons[i].title : ""));
    right -= w + kButtonGap;
  }
}

bool hasResult(const Request& request, int result)
{
  for (int i = 0; i < request.count; ++i)
    if (request.buttons[i].result == result) return true;
  return false;
}

LRESULT messageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_INITDIALOG)
  {
    SetWindowLong(hwnd, GWL_USERDATA, lParam);
    makeControls(hwnd, *reinterpret_cast<Request*>(lParam));
    return 0;
  }
  auto* request = reinterpret_cast<Request*>(GetWindowLong(hwnd, GWL_USERDATA));
  if (!request) return 0;
  if (msg == WM_CLOSE || (msg == WM_COMMAND && (wParam & 0xFFFF) == IDCANCEL))
  {
    // Escape, Command+W and the close box answer as the button that cancels, if any.
    if (hasResult(*request, request->escapeResult)) EndDialog(hwnd, request->escapeResult);
    return 1;
  }
  if (msg == WM_COMMAND)
  {
    const int index = static_cast<int>(wParam & 0xFFFF) - kFirstButtonId;
    if (index >= 0 && index < request->count) EndDialog(hwnd, request->buttons[index].result);
    return 1;
  }
  return 0;
}

struct ButtonSet
{
  SWELL_MessageBoxButton buttons[3];
  int count;
  int escapeResult;
};

// The buttons of each type, the default first; 0 buttons for a type that is not one.
ButtonSet buttonsOfType(int type)
{
  switch (type)
  {
  case MB_OK: return {{{"OK", IDOK}}, 1, IDOK};
  case MB_OKCANCEL: return {{{"OK", IDOK}, {"Cancel", IDCANCEL}}, 2, IDCANCEL};
  case MB_YESNOCANCEL: return {{{"Yes", IDYES}, {"Cancel", IDCANCEL}, {"No", IDNO}}, 3, IDCANCEL};
  case MB_YESNO: return {{{"Yes", IDYES}, {"No", IDNO}}, 2, 0};
  case MB_RETRYCANCEL: return {{{"Retry", IDRETRY}, {"Cancel", IDCANCEL}}, 2, IDCANCEL};
  default: return {{}, 0, 0};
  }
}
}  // namespace

int SWELL_ShowMessageBoxDialog(const char* text, const char* title, const SWELL_MessageBoxButton* buttons, int count,
                               int escapeResult)
{
  if (!buttons || count < 1) return 0;
  Request request{text ? text : "", buttons, count, escapeResult, NSFont::systemFontOfSize(kTextPoints), 0, 0, {}};
  measure(request);
  static const char kResourceId = 0;
  SWELL_DialogResourceIndex resource{&kResourceId, title ? title : "", kFlippedOpaque, nullptr,
                                     dialogWidth(request), dialogHeight(request), nullptr};
  return SWELL_DialogBox(&resource, &kResourceId, nullptr, messageBoxProc, reinterpret_cast<LPARAM>(&request));
}

int MessageBox(HWND, const char* text, const char* caption, int type)
{
  const ButtonSet set = buttonsOfType(type);
  if (!set.count) return 0;
  return SWELL_ShowMessageBoxDialog(text, caption, set.buttons, set.count, set.escapeResult);
}
