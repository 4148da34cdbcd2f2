#pragma once

#include "platform/appkit/view.h"

namespace cocoa
{
// A determinate bar: the part of the track from the minimum to the value is filled.
class NSProgressIndicator : public NSView
{
public:
  explicit NSProgressIndicator(NSRect frame = NSRect{});

  double minValue() const { return m_min; }
  void setMinValue(double value);
  double maxValue() const { return m_max; }
  void setMaxValue(double value);
  // Not held within the range; the bar is.
  double doubleValue() const { return m_value; }
  void setDoubleValue(double value);
  void incrementBy(double delta) { setDoubleValue(m_value + delta); }
  bool isAnimating() const { return m_animating; }
  void startAnimation() { m_animating = true; }
  void stopAnimation() { m_animating = false; }
  // The filled share of the track, 0..1.
  double filledFraction() const;

  bool isFlipped() const override { return true; }
  void drawRect(NSRect dirty) override;

private:
  double m_min = 0;
  double m_max = 100;
  double m_value = 0;
  bool m_animating = false;
};
}  // namespace cocoa
