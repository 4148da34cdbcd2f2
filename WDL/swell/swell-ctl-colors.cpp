// Text colours of a dialog's static controls, check boxes and radio buttons, as its dialog
// procedure gives them.

#include "swell-ctl-classes.h"
#include "swell-gdi-internal.h"
#include "swell-gdi.h"
#include "swell-wnd-internal.h"

#include "platform/appkit/color.h"
#include "platform/appkit/walk.h"

#include <optional>

using namespace cocoa;

namespace
{
bool carriesBox(NSView* view)
{
  auto* button = dynamic_cast<NSButton*>(view);
  if (!button || dynamic_cast<NSPopUpButton*>(view)) return false;
  const NSButtonType type = button->buttonCell()->buttonType();
  return type == NSButtonTypeSwitch || type == NSButtonTypeRadio;
}

bool isStatic(NSView* view)
{
  auto* field = dynamic_cast<NSTextField*>(view);
  return (field && !field->isEditable()) || dynamic_cast<NSBox*>(view);
}

// The colour the procedure sets on a fresh context when asked about `first`; the system
// text colour when it sets none and defaults are wanted.
std::optional<NSColor> askColour(HWND dialog, DLGPROC proc, UINT msg, NSView* first, bool useDefaults)
{
  HDC dc = SWELL_CreateMemContext(nullptr, 1, 1);
  if (!dc) return std::nullopt;
  proc(dialog, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(swellHandleOf(first)));
  std::optional<NSColor> colour;
  if (dc->curtextcolor)
  {
    const int c = dc->curtextcol;
    colour = NSColor::colorWithCalibratedRed((c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0, 1);
  }
  else if (useDefaults)
    colour = NSColor::textColor();
  SWELL_DeleteGfxContext(dc);
  return colour;
}

void applyColour(NSView* view, const NSColor& colour)
{
  if (auto* button = dynamic_cast<NSButton*>(view)) button->setTextColor(colour);
  else if (auto* field = dynamic_cast<NSTextField*>(view)) field->setTextColor(colour);
  else if (auto* box = dynamic_cast<NSBox*>(view)) box->titleCell()->setTextColor(colour);
  view->setNeedsDisplay(true);
}

// False when the procedure destroyed the dialog meanwhile.
bool updateKind(NSView* parent, DLGPROC proc, bool useDefaults, UINT msg, bool (*belongs)(NSView*))
{
  std::optional<NSColor> colour;
  bool asked = false;
  const WalkEnd end = forEachSubview(parent, [&](NSView* child) {
    if (!belongs(child)) return;
    if (!asked)
    {
      colour = askColour(swellHandleOf(parent), proc, msg, child, useDefaults);
      asked = true;
      // The procedure may have destroyed the control it was asked about, or the dialog.
      if (child->superview() != parent || isRetired(child) || isRetired(parent)) return;
    }
    if (colour) applyColour(child, *colour);
  });
  return end != WalkEnd::OwnerRetired;
}
}  // namespace

void SWELL_DoDialogColorUpdates(HWND hwnd, DLGPROC dlgproc, bool useDefaults)
{
  const StrongRef<NSView> dialog(dynamic_cast<NSView*>(swellObjectOf(hwnd)));
  if (!dlgproc || !dialog) return;
  if (updateKind(dialog.get(), dlgproc, useDefaults, WM_CTLCOLORBTN, carriesBox))
    updateKind(dialog.get(), dlgproc, useDefaults, WM_CTLCOLORSTATIC, isStatic);
}
