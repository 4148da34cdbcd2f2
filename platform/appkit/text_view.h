#pragma once

#include "platform/appkit/text.h"

namespace cocoa
{
class NSTextView;

// The area a text view lays its lines into: as wide as the view while it tracks the
// view's width, else as wide as its size says (lines do not wrap at a huge width).
class NSTextContainer : public NSObject
{
public:
  NSSize containerSize() const { return m_size; }
  void setContainerSize(NSSize size);
  bool widthTracksTextView() const { return m_widthTracks; }
  void setWidthTracksTextView(bool tracks);
  CGFloat lineFragmentPadding() const { return m_padding; }

private:
  friend class NSTextView;
  explicit NSTextContainer(NSTextView* view) : m_view(view) {}
  NSTextView* m_view;
  NSSize m_size{1e7, 1e7};
  bool m_widthTracks = true;
  CGFloat m_padding = 2;
};

// Multi-line text. A resizable text view grows to hold its text (within its minimum and
// maximum sizes), the way a scroll view's document does.
class NSTextView : public NSText
{
public:
  explicit NSTextView(NSRect frame = NSRect{});

  NSTextContainer* textContainer() const { return m_container; }
  bool isHorizontallyResizable() const { return m_horizontallyResizable; }
  void setHorizontallyResizable(bool resizable);
  bool isVerticallyResizable() const { return m_verticallyResizable; }
  void setVerticallyResizable(bool resizable);
  // The minimum starts as the frame the view was made with.
  NSSize minSize() const { return m_minSize; }
  void setMinSize(NSSize size);
  NSSize maxSize() const { return m_maxSize; }
  void setMaxSize(NSSize size);
  // Fits the frame to the text as the resizable directions allow.
  void sizeToFit();

protected:
  void dealloc() override;
  CGFloat wrapWidth() const override;
  void layoutDidChange() override;

private:
  friend class NSTextContainer;
  NSTextContainer* m_container;
  bool m_horizontallyResizable = false;
  bool m_verticallyResizable = true;
  NSSize m_minSize;
  NSSize m_maxSize{1e7, 1e7};
  bool m_sizing = false;
};
}  // namespace cocoa
