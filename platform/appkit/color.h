#pragma once

#include "platform/foundation/geometry.h"

namespace cocoa
{
// A colour as a value: red, green, blue and alpha, each 0..1, in the one device RGB space
// the platform draws in (calibrated and device colours are the same here).
class NSColor
{
public:
  constexpr NSColor() = default;
  constexpr NSColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
      : m_red(red), m_green(green), m_blue(blue), m_alpha(alpha)
  {
  }

  static constexpr NSColor colorWithCalibratedRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a) { return {r, g, b, a}; }
  static constexpr NSColor colorWithDeviceRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a) { return {r, g, b, a}; }
  static constexpr NSColor colorWithCalibratedWhite(CGFloat white, CGFloat a) { return {white, white, white, a}; }
  // From 0xRRGGBB.
  static constexpr NSColor fromRGB(unsigned rgb, CGFloat alpha = 1)
  {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
  }
  static constexpr NSColor clearColor() { return {0, 0, 0, 0}; }
  static constexpr NSColor blackColor() { return {0, 0, 0, 1}; }
  static constexpr NSColor whiteColor() { return {1, 1, 1, 1}; }
  // The system's colours come from the control theme.
  static NSColor controlTextColor();
  static NSColor disabledControlTextColor();
  static NSColor textColor();
  static NSColor textBackgroundColor();
  static NSColor windowBackgroundColor();
  static NSColor selectedTextBackgroundColor();

  CGFloat redComponent() const { return m_red; }
  CGFloat greenComponent() const { return m_green; }
  CGFloat blueComponent() const { return m_blue; }
  CGFloat alphaComponent() const { return m_alpha; }
  NSColor colorWithAlphaComponent(CGFloat alpha) const { return {m_red, m_green, m_blue, alpha}; }
  bool operator==(const NSColor&) const = default;

private:
  CGFloat m_red = 0;
  CGFloat m_green = 0;
  CGFloat m_blue = 0;
  CGFloat m_alpha = 1;
};
}  // namespace cocoa
