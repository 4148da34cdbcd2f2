#include "platform/appkit/graphics_context.h"

#include "platform/graphics/cg_context.h"

#include <vector>

namespace cocoa
{
namespace
{
NSGraphicsContext* g_current = nullptr;
// Contexts made current by saveGraphicsState, to come back with restoreGraphicsState.
std::vector<NSGraphicsContext*>& savedContexts()
{
  static auto* saved = new std::vector<NSGraphicsContext*>;
  return *saved;
}
}  // namespace

NSGraphicsContext::NSGraphicsContext(CGContextRef context, bool flipped)
    : m_context(CGContextRetain(context)), m_flipped(flipped)
{
}

void NSGraphicsContext::dealloc()
{
  CGContextRelease(m_context);
}

NSGraphicsContext* NSGraphicsContext::graphicsContextWithCGContext(CGContextRef context, bool flipped)
{
  if (!context) return nullptr;
  NSGraphicsContext* result = new NSGraphicsContext(context, flipped);
  result->autorelease();
  return result;
}

NSGraphicsContext* NSGraphicsContext::currentContext()
{
  return g_current;
}

void NSGraphicsContext::setCurrentContext(NSGraphicsContext* context)
{
  if (context) context->retain();
  if (g_current) g_current->release();
  g_current = context;
}

void NSGraphicsContext::saveGraphicsState()
{
  if (g_current) g_current->retain();
  savedContexts().push_back(g_current);
  if (g_current) CGContextSaveGState(g_current->m_context);
}

void NSGraphicsContext::restoreGraphicsState()
{
  if (savedContexts().empty()) return;
  NSGraphicsContext* saved = savedContexts().back();
  savedContexts().pop_back();
  if (saved) CGContextRestoreGState(saved->m_context);
  setCurrentContext(saved);
  if (saved) saved->release();
}
}  // namespace cocoa
