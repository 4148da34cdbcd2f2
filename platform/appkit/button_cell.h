#pragma once

#include "platform/appkit/cell.h"
#include "platform/appkit/color.h"
#include "platform/graphics/cg_types.h"

#include <optional>

namespace cocoa
{
enum NSButtonType
{
  NSButtonTypeMomentaryLight = 0,
  NSButtonTypePushOnPushOff = 1,
  NSButtonTypeToggle = 2,
  NSButtonTypeSwitch = 3,  // a check box
  NSButtonTypeRadio = 4,
  NSButtonTypeMomentaryChange = 5,
  NSButtonTypeOnOff = 6,
  NSButtonTypeMomentaryPushIn = 7,
};

enum NSBezelStyle
{
  NSBezelStyleRounded = 1,
  NSBezelStyleRegularSquare = 2,
  NSBezelStyleShadowlessSquare = 6,
  NSBezelStyleSmallSquare = 10,
};

enum NSCellImagePosition
{
  NSNoImage = 0,
  NSImageOnly = 1,
  NSImageLeft = 2,
  NSImageRight = 3,
  NSImageBelow = 4,
  NSImageAbove = 5,
  NSImageOverlaps = 6,
};

// Push buttons, check boxes and radio buttons. Check boxes and radio buttons draw their
// mark where the image position puts the image (left of the title unless NSImageRight).
class NSButtonCell : public NSCell
{
public:
  explicit NSButtonCell(const NSString& title = NSString());

  NSButtonType buttonType() const { return m_type; }
  void setButtonType(NSButtonType type);
  NSBezelStyle bezelStyle() const { return m_bezel; }
  void setBezelStyle(NSBezelStyle style);
  bool allowsMixedState() const { return m_allowsMixed; }
  void setAllowsMixedState(bool allows) { m_allowsMixed = allows; }
  // Without mixed state a mixed value shows as on.
  void setState(int state) override;
  // The state a click leads to: on and off alternate, and with mixed state off leads to
  // mixed and mixed to on, Cocoa's cycle.
  int nextState() const;
  void setNextState() { setState(nextState()); }
  bool isSwitchOrRadio() const { return m_type == NSButtonTypeSwitch || m_type == NSButtonTypeRadio; }
  // Momentary buttons keep no state of their own.
  bool keepsState() const;

  // The image is retained; it is drawn at its size, or scaled down to fit.
  CGImageRef image() const { return m_image; }
  void setImage(CGImageRef image);
  NSCellImagePosition imagePosition() const { return m_imagePosition; }
  void setImagePosition(NSCellImagePosition position);
  // A transparent button takes clicks and draws nothing (a cell drawing itself in its own
  // way may answer yes and still draw).
  virtual bool isTransparent() const { return m_transparent; }
  void setTransparent(bool transparent);
  bool isOpaque() const override { return false; }
  // "\r" for a window's default button.
  const NSString& keyEquivalent() const { return m_keyEquivalent; }
  void setKeyEquivalent(const NSString& key) { m_keyEquivalent = key; }
  // The colour of the title when one was given, else the theme's.
  std::optional<NSColor> titleColor() const { return m_titleColor; }
  void setTitleColor(std::optional<NSColor> color);

  NSSize cellSize() const override;
  NSRect titleRectForBounds(NSRect bounds) const override;
  // The square or circle of a check box or radio button.
  NSRect markRectForBounds(NSRect bounds) const;
  void drawWithFrame(NSRect frame, NSView* view) override;
  virtual void drawBezelWithFrame(NSRect frame, NSView* view);
  virtual void drawImage(CGImageRef image, NSRect frame, NSView* view);
  virtual void drawTitle(const NSString& title, NSRect frame, NSView* view);

protected:
  void dealloc() override;
  bool isDefaultButton() const;

private:
  void drawMark(NSRect frame);
  NSColor titleTextColor() const;

  NSButtonType m_type = NSButtonTypeMomentaryPushIn;
  NSBezelStyle m_bezel = NSBezelStyleRounded;
  bool m_allowsMixed = false;
  CGImageRef m_image = nullptr;
  NSCellImagePosition m_imagePosition = NSNoImage;
  bool m_transparent = false;
  NSString m_keyEquivalent;
  std::optional<NSColor> m_titleColor;
};
}  // namespace cocoa
