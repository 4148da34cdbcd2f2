#pragma once

#include "platform/foundation/object.h"
#include "platform/graphics/cg_types.h"

namespace cocoa
{
// The drawing destination of the moment: views draw into NSGraphicsContext::currentContext()
// during drawRect.
class NSGraphicsContext : public NSObject
{
public:
  // Autoreleased; holds a reference to the context.
  static NSGraphicsContext* graphicsContextWithCGContext(CGContextRef context, bool flipped);
  static NSGraphicsContext* currentContext();
  static void setCurrentContext(NSGraphicsContext* context);
  static void saveGraphicsState();
  static void restoreGraphicsState();

  CGContextRef CGContext() const { return m_context; }
  CGContextRef graphicsPort() const { return m_context; }
  bool isFlipped() const { return m_flipped; }

private:
  NSGraphicsContext(CGContextRef context, bool flipped);
  void dealloc() override;

  CGContextRef m_context;
  bool m_flipped;
};
}  // namespace cocoa
