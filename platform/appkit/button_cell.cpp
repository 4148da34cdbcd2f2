#include "platform/appkit/button_cell.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cocoa
{
namespace
{
// Room above and below a push button's title.
constexpr CGFloat kPushButtonPaddingY = 3;
// The mixed state's dash, as a part of the box.
constexpr CGFloat kDashWidth = 0.5;
constexpr CGFloat kDashHeight = 2;

NSSize imageSize(CGImageRef image)
{
  return image ? NSMakeSize(static_cast<CGFloat>(CGImageGetWidth(image)), static_cast<CGFloat>(CGImageGetHeight(image)))
               : NSSize{};
}
}  // namespace

NSButtonCell::NSButtonCell(const NSString& title) : NSCell(title)
{
  setAlignment(NSTextAlignmentCenter);
  setWraps(false);
}

void NSButtonCell::dealloc()
{
  setImage(nullptr);
  NSCell::dealloc();
}

void NSButtonCell::setButtonType(NSButtonType type)
{
  m_type = type;
  if (isSwitchOrRadio()) setAlignment(NSTextAlignmentLeft);
  redisplay();
}

void NSButtonCell::setBezelStyle(NSBezelStyle style)
{
  m_bezel = style;
  redisplay();
}

void NSButtonCell::setState(int state)
{
  if (state < 0 && !m_allowsMixed) state = NSControlStateValueOn;
  NSCell::setState(state < 0 ? NSControlStateValueMixed : state > 0 ? NSControlStateValueOn : NSControlStateValueOff);
}

int NSButtonCell::nextState() const
{
  if (state() == NSControlStateValueOn) return NSControlStateValueOff;
  if (state() == NSControlStateValueOff && m_allowsMixed) return NSControlStateValueMixed;
  return NSControlStateValueOn;
}

bool NSButtonCell::keepsState() const
{
  return m_type == NSButtonTypePushOnPushOff || m_type == NSButtonTypeToggle || m_type == NSButtonTypeSwitch ||
         m_type == NSButtonTypeRadio || m_type == NSButtonTypeOnOff;
}

void NSButtonCell::setImage(CGImageRef image)
{
  if (image == m_image) return;
  if (image) CGImageRetain(image);
  if (CGImageRef old = std::exchange(m_image, image)) CGImageRelease(old);
  redisplay();
}

void NSButtonCell::setImagePosition(NSCellImagePosition position)
{
  m_imagePosition = position;
  redisplay();
}

void NSButtonCell::setTransparent(bool transparent)
{
  m_transparent = transparent;
  redisplay();
}

void NSButtonCell::setTitleColor(std::optional<NSColor> color)
{
  m_titleColor = color;
  redisplay();
}

bool NSButtonCell::isDefaultButton() const
{
  NSWindow* window = controlView() ? controlView()->window() : nullptr;
  return window && window->defaultButtonCell() == this;
}

NSSize NSButtonCell::cellSize() const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  const FontLineMetrics line = fontLineMetrics(font());
  const CGFloat text = std::ceil(textWidth(font(), title().str()));
  const NSRect titleArea = titleRectForBounds(NSMakeRect(0, 0, 1000, line.lineHeight));
  const bool showsTitle = !NSIsEmptyRect(titleArea) && !title().empty();
  if (isSwitchOrRadio())
    return NSMakeSize(m.checkBoxSize + (showsTitle ? m.markGap + text + 1 : 0), std::max(m.checkBoxSize, line.lineHeight));
  const NSSize picture = imageSize(m_image);
  const CGFloat content = (showsTitle ? text : 0) + (m_image ? picture.width + (showsTitle ? m.markGap : 0) : 0);
  const CGFloat height = std::max(line.lineHeight, picture.height) + 2 * kPushButtonPaddingY;
  return NSMakeSize(std::max(m.minimumButtonWidth, content + 2 * m.buttonPaddingX), std::ceil(height));
}

NSRect NSButtonCell::markRectForBounds(NSRect bounds) const
{
  const CGFloat size = controlTheme().metrics.checkBoxSize;
  const CGFloat x = m_imagePosition == NSImageRight ? NSMaxX(bounds) - size : NSMinX(bounds);
  return NSMakeRect(x, NSMinY(bounds) + std::floor((bounds.size.height - size) / 2), size, size);
}

NSRect NSButtonCell::titleRectForBounds(NSRect bounds) const
{
  const ControlTheme::Metrics& m = controlTheme().metrics;
  if (isSwitchOrRadio())
  {
    const CGFloat used = m.checkBoxSize + m.markGap;
    return m_imagePosition == NSImageRight ? NSMakeRect(NSMinX(bounds), NSMinY(bounds), bounds.size.width - used, bounds.size.height)
                                           : NSMakeRect(NSMinX(bounds) + used, NSMinY(bounds), bounds.size.width - used, bounds.size.height);
  }
  if (m_imagePosition == NSImageOnly) return NSRect{};
  return NSInsetRect(bounds, m.buttonPaddingX, 0);
}

NSColor NSButtonCell::titleTextColor() const
{
  if (!isEnabled()) return controlTheme().colors.disabledText;
  if (m_titleColor) return *m_titleColor;
  if (!isSwitchOrRadio() && isDefaultButton()) return controlTheme().colors.accentText;
  return controlTheme().colors.text;
}

void NSButtonCell::drawWithFrame(NSRect frame, NSView* view)
{
  if (m_transparent) return;
  if (isSwitchOrRadio())
  {
    drawMark(frame);
    drawTitle(title(), titleRectForBounds(frame), view);
    return;
  }
  drawBezelWithFrame(frame, view);
  NSRect titleArea = titleRectForBounds(frame);
  if (m_image)
  {
    // An image with a title sits left of it; alone it is centred.
    const NSSize picture = imageSize(m_image);
    const bool withTitle = !NSIsEmptyRect(titleArea) && !title().empty();
    const CGFloat gap = withTitle ? controlTheme().metrics.markGap : 0;
    const CGFloat textWidth = withTitle ? std::ceil(cocoa::textWidth(font(), title().str())) : 0;
    const CGFloat x = std::floor(NSMidX(frame) - (picture.width + gap + textWidth) / 2);
    drawImage(m_image, NSMakeRect(x, NSMinY(frame), picture.width, frame.size.height), view);
    if (withTitle) titleArea = NSMakeRect(x + picture.width + gap, NSMinY(frame), textWidth + 1, frame.size.height);
  }
  if (!NSIsEmptyRect(titleArea)) drawTitle(title(), titleArea, view);
}

void NSButtonCell::drawBezelWithFrame(NSRect frame, NSView*)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const CGFloat radius = m_bezel == NSBezelStyleRounded ? theme.metrics.buttonRadius : theme.metrics.squareButtonRadius;
  // One unit at the bottom holds the shade.
  const NSRect face = NSMakeRect(frame.origin.x, frame.origin.y, frame.size.width, frame.size.height - 1);
  const bool pressed = isHighlighted() || (keepsState() && state() != NSControlStateValueOff);
  if (!isEnabled()) drawBezel(context, face, radius, theme.colors.faceDisabled, theme.colors.borderDisabled, false);
  else if (isDefaultButton())
  {
    const NSColor fill = pressed ? theme.colors.accentPressed : theme.colors.accent;
    drawBezel(context, face, radius, fill, theme.colors.accentPressed, true);
  }
  else
    drawBezel(context, face, radius, pressed ? theme.colors.facePressed : theme.colors.face, theme.colors.border, true);
}

void NSButtonCell::drawImage(CGImageRef image, NSRect frame, NSView*)
{
  CGContextRef context = currentCGContext();
  if (!context || !image) return;
  NSSize size = imageSize(image);
  const CGFloat scale = std::min({1.0, frame.size.width / size.width, frame.size.height / size.height});
  size = NSMakeSize(std::floor(size.width * scale), std::floor(size.height * scale));
  const CGFloat x = std::floor(NSMidX(frame) - size.width / 2);
  const CGFloat y = std::floor(NSMidY(frame) - size.height / 2);
  // Images land with their top row at the top of the rectangle in unflipped space.
  CGContextSaveGState(context);
  CGContextTranslateCTM(context, x, y + size.height);
  CGContextScaleCTM(context, 1, -1);
  CGContextDrawImage(context, CGRectMake(0, 0, size.width, size.height), image);
  CGContextRestoreGState(context);
}

void NSButtonCell::drawTitle(const NSString& title, NSRect frame, NSView*)
{
  drawText(title, frame, titleTextColor(), true);
}

void NSButtonCell::drawMark(NSRect frame)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const NSRect box = markRectForBounds(frame);
  const bool radio = buttonType() == NSButtonTypeRadio;
  const bool marked = state() != NSControlStateValueOff;
  const CGFloat radius = radio ? box.size.width / 2 : theme.metrics.checkBoxRadius;
  if (marked)
  {
    const NSColor fill = !isEnabled() ? theme.colors.accentDisabled : isHighlighted() ? theme.colors.accentPressed
                                                                                      : theme.colors.accent;
    fillRoundedRect(context, box, radius, fill);
  }
  else
  {
    const NSColor face = !isEnabled() ? theme.colors.faceDisabled : isHighlighted() ? theme.colors.facePressed : theme.colors.face;
    drawBezel(context, box, radius, face, isEnabled() ? theme.colors.border : theme.colors.borderDisabled, false);
  }
  if (!marked) return;
  const NSColor ink = theme.colors.accentText;
  if (radio)
  {
    const CGFloat d = theme.metrics.radioDotDiameter;
    fillEllipse(context, NSMakeRect(NSMidX(box) - d / 2, NSMidY(box) - d / 2, d, d), ink);
  }
  else if (state() == NSControlStateValueMixed)
  {
    const CGFloat w = std::round(box.size.width * kDashWidth);
    fillRoundedRect(context, NSMakeRect(NSMidX(box) - w / 2, NSMidY(box) - kDashHeight / 2, w, kDashHeight), 1, ink);
  }
  else
    drawCheckMark(context, box, ink);
}
}  // namespace cocoa
