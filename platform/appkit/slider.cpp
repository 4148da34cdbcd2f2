#include "platform/appkit/slider.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/event.h"
#include "platform/appkit/theme.h"
#include "platform/appkit/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cocoa
{
namespace
{
// The length sizeToFit gives a slider.
constexpr CGFloat kNaturalLength = 100;
}  // namespace

NSSliderCell::NSSliderCell() = default;

void NSSliderCell::setMinValue(double value)
{
  m_min = value;
  m_value = std::clamp(m_value, std::min(m_min, m_max), std::max(m_min, m_max));
  redisplay();
}

void NSSliderCell::setMaxValue(double value)
{
  m_max = value;
  m_value = std::clamp(m_value, std::min(m_min, m_max), std::max(m_min, m_max));
  redisplay();
}

void NSSliderCell::setDoubleValue(double value)
{
  if (!std::isfinite(value)) return;
  value = std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max));
  if (value == m_value) return;
  m_value = value;
  redisplay();
}

NSString NSSliderCell::stringValue() const
{
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", m_value);
  return NSString(text);
}

void NSSliderCell::setStringValue(const NSString& value)
{
  setDoubleValue(std::strtod(value.UTF8String(), nullptr));
}

NSRect NSSliderCell::bounds() const
{
  return controlView() ? controlView()->bounds() : NSRect{};
}

bool NSSliderCell::isVertical() const
{
  const NSRect b = bounds();
  return b.size.height > b.size.width;
}

CGFloat NSSliderCell::knobDiameter() const
{
  return controlTheme().metrics.sliderKnobDiameter[std::clamp(static_cast<int>(controlSize()), 0, 2)];
}

double NSSliderCell::fraction() const
{
  return m_max == m_min ? 0 : (m_value - m_min) / (m_max - m_min);
}

NSRect NSSliderCell::knobRect() const
{
  const NSRect b = bounds();
  const CGFloat d = knobDiameter();
  if (isVertical())
  {
    const CGFloat travel = b.size.height - d;
    const CGFloat y = std::round(travel * (1 - fraction()));
    return NSMakeRect(std::floor((b.size.width - d) / 2), y, d, d);
  }
  const CGFloat travel = b.size.width - d;
  return NSMakeRect(std::round(travel * fraction()), std::floor((b.size.height - d) / 2), d, d);
}

double NSSliderCell::valueAt(NSPoint point) const
{
  const NSRect b = bounds();
  const CGFloat d = knobDiameter();
  const CGFloat travel = (isVertical() ? b.size.height : b.size.width) - d;
  if (travel <= 0) return m_min;
  const double along = std::clamp(((isVertical() ? point.y : point.x) - d / 2) / travel, 0.0, 1.0);
  return m_min + (isVertical() ? 1 - along : along) * (m_max - m_min);
}

NSSize NSSliderCell::cellSize() const
{
  const CGFloat d = knobDiameter() + 2;
  return isVertical() ? NSMakeSize(d, kNaturalLength) : NSMakeSize(kNaturalLength, d);
}

void NSSliderCell::drawWithFrame(NSRect frame, NSView*)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const CGFloat t = theme.metrics.sliderTrackThickness;
  const NSRect knob = knobRect();
  const CGFloat d = knobDiameter();
  NSRect track, filled;
  if (isVertical())
  {
    const CGFloat x = std::floor(NSMidX(frame) - t / 2);
    track = NSMakeRect(x, d / 2, t, frame.size.height - d);
    filled = NSMakeRect(x, NSMidY(knob), t, NSMaxY(track) - NSMidY(knob));
  }
  else
  {
    const CGFloat y = std::floor(NSMidY(frame) - t / 2);
    track = NSMakeRect(d / 2, y, frame.size.width - d, t);
    filled = NSMakeRect(d / 2, y, NSMidX(knob) - d / 2, t);
  }
  fillRoundedRect(context, track, t / 2, theme.colors.sliderTrack);
  fillRoundedRect(context, filled, t / 2, isEnabled() ? theme.colors.accent : theme.colors.accentDisabled);
  const NSColor face = !isEnabled() ? theme.colors.faceDisabled : isHighlighted() ? theme.colors.facePressed : theme.colors.face;
  fillEllipse(context, NSOffsetRect(knob, 0, 1), theme.colors.shade);
  fillEllipse(context, knob, isEnabled() ? theme.colors.border : theme.colors.borderDisabled);
  fillEllipse(context, NSInsetRect(knob, 1, 1), face);
}

NSSlider::NSSlider(NSRect frame) : NSControl(frame, new NSSliderCell)
{
  setContinuous(true);
}

NSSliderCell* NSSlider::sliderCell() const
{
  // setCell below keeps it a slider cell.
  return static_cast<NSSliderCell*>(cell());
}

void NSSlider::setCell(NSCell* cell)
{
  if (dynamic_cast<NSSliderCell*>(cell)) NSControl::setCell(cell);
}

void NSSlider::track(NSEvent* event)
{
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  const NSPoint knobCentre{p.x - m_grabOffset.x, p.y - m_grabOffset.y};
  sliderCell()->setDoubleValue(sliderCell()->valueAt(knobCentre));
  if (isContinuous() && doubleValue() != m_sentValue)
  {
    m_sentValue = doubleValue();
    sendAction(action(), target());
  }
}

void NSSlider::mouseDown(NSEvent* event)
{
  if (!isEnabled()) return;
  StrongRef<NSSlider> keep(this);
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  const NSRect knob = sliderCell()->knobRect();
  // Taken by the knob, the knob follows from where it was taken; a press on the track
  // brings the knob's centre there.
  m_grabOffset = NSMouseInRect(p, knob, true) ? NSPoint{p.x - NSMidX(knob), p.y - NSMidY(knob)} : NSPoint{};
  m_dragging = true;
  m_sentValue = doubleValue();
  cell()->setHighlighted(true);
  track(event);
}

void NSSlider::mouseDragged(NSEvent* event)
{
  if (!m_dragging) return;
  StrongRef<NSSlider> keep(this);
  track(event);
}

void NSSlider::mouseUp(NSEvent* event)
{
  if (!m_dragging) return;
  StrongRef<NSSlider> keep(this);
  m_dragging = false;
  cell()->setHighlighted(false);
  const double before = m_sentValue;
  track(event);
  if (!isContinuous() && doubleValue() != before) sendAction(action(), target());
}
}  // namespace cocoa
