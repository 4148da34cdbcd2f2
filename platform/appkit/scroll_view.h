#pragma once

#include "platform/appkit/color.h"
#include "platform/appkit/view.h"

namespace cocoa
{
class NSScrollView;

// Shows a part of its document view: its bounds origin is the scrolled position, kept
// within the document.
class NSClipView : public NSView
{
public:
  explicit NSClipView(NSRect frame = NSRect{});

  NSView* documentView() const { return m_document; }
  void setDocumentView(NSView* view);
  // Scrolls to the point (in the clip view's coordinates), held within the document.
  void scrollToPoint(NSPoint point);
  NSPoint constrainScrollPoint(NSPoint point) const;
  // The part of the document on show, in the document's coordinates.
  NSRect documentVisibleRect() const;
  bool drawsBackground() const { return m_drawsBackground; }
  void setDrawsBackground(bool draws);
  NSColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const NSColor& color);

  bool isFlipped() const override { return m_document && m_document->isFlipped(); }
  bool scrollRectToVisible(NSRect rect) override;
  void subviewFrameDidChange(NSView* view) override;
  void willRemoveSubview(NSView* view) override;
  void drawRect(NSRect dirty) override;
  const NSView* partOwner() const override;

private:
  friend class NSScrollView;
  NSScrollView* scrollView() const;
  NSScrollView* m_owner = nullptr;
  NSView* m_document = nullptr;
  bool m_drawsBackground = true;
  NSColor m_backgroundColor;
};

// A scroll bar: a thin knob over the edge of its scroll view's content, shown only while
// there is something to scroll. Its value runs from 0 (top or left) to 1.
class NSScroller : public NSView
{
public:
  explicit NSScroller(NSRect frame = NSRect{});

  double doubleValue() const { return m_value; }
  void setDoubleValue(double value);
  double knobProportion() const { return m_proportion; }
  void setKnobProportion(double proportion);
  bool isVertical() const { return bounds().size.height >= bounds().size.width; }
  NSRect knobRect() const;
  static CGFloat scrollerWidth();

  bool isFlipped() const override { return true; }
  void drawRect(NSRect dirty) override;
  void mouseDown(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  const NSView* partOwner() const override;

private:
  friend class NSScrollView;
  double valueForKnobAt(CGFloat start) const;
  NSScrollView* m_owner = nullptr;
  double m_value = 0;
  double m_proportion = 1;
  bool m_dragging = false;
  CGFloat m_grab = 0;  // where on the knob it was taken
};

// A view that scrolls its document view inside a clip view, by the wheel, by its
// scrollers and when something inside asks to be shown (scrollRectToVisible).
class NSScrollView : public NSView
{
public:
  explicit NSScrollView(NSRect frame = NSRect{});

  NSClipView* contentView() const { return m_clip; }
  // The clip view's document while the clip view is in this view: a program may move any view it
  // is named (a right click names the clip view), and a scroll view whose clip view went inside
  // its own document would otherwise lead the walks that pass to the document round for ever.
  NSView* documentView() const { return m_clip->superview() == this ? m_clip->documentView() : nullptr; }
  void setDocumentView(NSView* view) { m_clip->setDocumentView(view); }
  bool hasVerticalScroller() const { return m_hasVertical; }
  void setHasVerticalScroller(bool has);
  bool hasHorizontalScroller() const { return m_hasHorizontal; }
  void setHasHorizontalScroller(bool has);
  bool autohidesScrollers() const { return m_autohides; }
  void setAutohidesScrollers(bool autohides);
  bool drawsBackground() const { return m_clip->drawsBackground(); }
  void setDrawsBackground(bool draws) { m_clip->setDrawsBackground(draws); }
  NSColor backgroundColor() const { return m_clip->backgroundColor(); }
  void setBackgroundColor(const NSColor& color) { m_clip->setBackgroundColor(color); }
  NSScroller* verticalScroller() const { return m_vertical; }
  NSScroller* horizontalScroller() const { return m_horizontal; }
  // The size of the area the document shows in (the scrollers lie over it).
  NSSize contentSize() const { return m_clip->frame().size; }
  NSRect documentVisibleRect() const { return m_clip->documentVisibleRect(); }

  // Lays out the clip view and the scrollers and brings the scrollers up to date.
  void tile();
  void reflectScrolledClipView(NSClipView* clip);

  bool isFlipped() const override { return true; }
  void setFrame(NSRect frame) override;
  void scrollWheel(NSEvent* event) override;

protected:
  void dealloc() override;

private:
  friend class NSScroller;
  void scrollerMoved(NSScroller* scroller);

  NSClipView* m_clip;
  NSScroller* m_vertical;
  NSScroller* m_horizontal;
  // The scroll view's own parts are its own for as long as it lives, whatever takes them out
  // of it: the pointers above never name a freed view.
  StrongRef<NSView> m_keepParts[3];
  bool m_hasVertical = false;
  bool m_hasHorizontal = false;
  bool m_autohides = true;
};
}  // namespace cocoa
