#pragma once

namespace cocoa
{
enum NSWindowOrderingMode
{
  NSWindowBelow = -1,
  NSWindowOut = 0,
  NSWindowAbove = 1,
};
}  // namespace cocoa
