#pragma once

#include "platform/appkit/control.h"

namespace cocoa
{
class NSSliderCell : public NSCell
{
public:
  NSSliderCell();

  double minValue() const { return m_min; }
  void setMinValue(double value);
  double maxValue() const { return m_max; }
  void setMaxValue(double value);
  // Held within the range.
  double doubleValue() const override { return m_value; }
  void setDoubleValue(double value) override;
  NSString stringValue() const override;
  void setStringValue(const NSString& value) override;

  // Sliders taller than wide run upward from their minimum at the bottom.
  bool isVertical() const;
  CGFloat knobDiameter() const;
  NSRect knobRect() const;
  // The value at a point along the track.
  double valueAt(NSPoint point) const;
  NSSize cellSize() const override;
  void drawWithFrame(NSRect frame, NSView* view) override;

private:
  NSRect bounds() const;
  double fraction() const;
  double m_min = 0;
  double m_max = 1;
  double m_value = 0;
};

// A track bar: dragging the knob, or pressing on the track, moves the value and (while
// continuous, as sliders are by default) sends the action at every move.
class NSSlider : public NSControl
{
public:
  explicit NSSlider(NSRect frame = NSRect{});

  NSSliderCell* sliderCell() const;
  void setCell(NSCell* cell) override;
  double minValue() const { return sliderCell()->minValue(); }
  void setMinValue(double value) { sliderCell()->setMinValue(value); }
  double maxValue() const { return sliderCell()->maxValue(); }
  void setMaxValue(double value) { sliderCell()->setMaxValue(value); }
  bool isVertical() const { return sliderCell()->isVertical(); }

protected:
  void mouseDown(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;

private:
  void track(NSEvent* event);
  bool m_dragging = false;
  NSPoint m_grabOffset;  // where on the knob it was taken, so it does not jump
  double m_sentValue = 0;
};
}  // namespace cocoa
