#pragma once

// What instruction sets each side of raster-bench runs on, as far as it can be
// learned: our build's compiler flags, and the run-time choices of pixman (and of
// cairo, which composites through pixman).

#include <string>

namespace raster_bench
{
std::string OurInstructionSets();
std::string PixmanInstructionSets();
std::string CairoInstructionSets();
}  // namespace raster_bench
