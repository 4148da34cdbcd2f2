#include "platform/appkit/progress_indicator.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/theme.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
NSProgressIndicator::NSProgressIndicator(NSRect frame) : NSView(frame) {}

void NSProgressIndicator::setMinValue(double value)
{
  m_min = value;
  setNeedsDisplay(true);
}

void NSProgressIndicator::setMaxValue(double value)
{
  m_max = value;
  setNeedsDisplay(true);
}

void NSProgressIndicator::setDoubleValue(double value)
{
  if (!std::isfinite(value)) return;
  m_value = value;
  setNeedsDisplay(true);
}

double NSProgressIndicator::filledFraction() const
{
  if (m_max <= m_min) return 0;
  return std::clamp((m_value - m_min) / (m_max - m_min), 0.0, 1.0);
}

void NSProgressIndicator::drawRect(NSRect)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const NSRect b = bounds();
  const CGFloat thickness = std::min(theme.metrics.progressThickness, b.size.height);
  const NSRect track = NSMakeRect(0, std::floor((b.size.height - thickness) / 2), b.size.width, thickness);
  fillRoundedRect(context, track, thickness / 2, theme.colors.sliderTrack);
  const CGFloat filled = std::round(track.size.width * filledFraction());
  if (filled > 0)
    fillRoundedRect(context, NSMakeRect(track.origin.x, track.origin.y, filled, thickness), thickness / 2, theme.colors.accent);
}
}  // namespace cocoa
