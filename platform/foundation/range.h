#pragma once

#include "platform/foundation/geometry.h"

namespace cocoa
{
// A span of a string. The platform's strings are UTF-8, and so are the locations and
// lengths of their ranges: byte offsets, always on character boundaries.
struct NSRange
{
  NSUInteger location = 0;
  NSUInteger length = 0;
  bool operator==(const NSRange&) const = default;
};

inline NSRange NSMakeRange(NSUInteger location, NSUInteger length) { return {location, length}; }
inline NSUInteger NSMaxRange(const NSRange& range) { return range.location + range.length; }
}  // namespace cocoa
