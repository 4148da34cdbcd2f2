#include "platform/appkit/text_view.h"

#include <algorithm>
#include <cmath>

namespace cocoa
{
void NSTextContainer::setContainerSize(NSSize size)
{
  m_size = size;
  if (m_view) m_view->sizeToFit();
}

void NSTextContainer::setWidthTracksTextView(bool tracks)
{
  m_widthTracks = tracks;
  if (m_view) m_view->sizeToFit();
}

NSTextView::NSTextView(NSRect frame) : NSText(frame), m_container(new NSTextContainer(this)), m_minSize(frame.size) {}

void NSTextView::dealloc()
{
  m_container->m_view = nullptr;
  m_container->release();
  NSText::dealloc();
}

CGFloat NSTextView::wrapWidth() const
{
  const CGFloat padding = 2 * m_container->lineFragmentPadding();
  if (m_container->widthTracksTextView()) return std::max(1.0, bounds().size.width - padding);
  const CGFloat width = m_container->containerSize().width - padding;
  // A container wider than any text wraps nothing.
  return width >= 1e6 ? 0 : std::max(1.0, width);
}

void NSTextView::setHorizontallyResizable(bool resizable)
{
  m_horizontallyResizable = resizable;
  sizeToFit();
}

void NSTextView::setVerticallyResizable(bool resizable)
{
  m_verticallyResizable = resizable;
  sizeToFit();
}

void NSTextView::setMinSize(NSSize size)
{
  m_minSize = size;
  sizeToFit();
}

void NSTextView::setMaxSize(NSSize size)
{
  m_maxSize = size;
  sizeToFit();
}

void NSTextView::layoutDidChange()
{
  sizeToFit();
}

void NSTextView::sizeToFit()
{
  if (m_sizing || (!m_horizontallyResizable && !m_verticallyResizable)) return;
  m_sizing = true;
  const TextLayout& text = layout();
  NSSize size = frame().size;
  if (m_horizontallyResizable)
    size.width = std::clamp(std::ceil(text.usedWidth() + 2 * m_container->lineFragmentPadding() + 1), m_minSize.width,
                            std::max(m_minSize.width, m_maxSize.width));
  if (m_verticallyResizable)
    size.height = std::clamp(std::ceil(text.usedHeight()), m_minSize.height, std::max(m_minSize.height, m_maxSize.height));
  setFrameSize(size);
  m_sizing = false;
}
}  // namespace cocoa
