#include "raster_bench_isa.h"

#include <cairo.h>
#include <dlfcn.h>
#include <pixman.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace raster_bench
{
namespace
{
std::string Join(const std::vector<std::string>& words)
{
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out.empty() ? "none" : out;
}

std::vector<std::string> CpuFeatures()
{
  std::vector<std::string> out;
  __builtin_cpu_init();
  if (__builtin_cpu_supports("mmx")) out.push_back("mmx");
  if (__builtin_cpu_supports("sse2")) out.push_back("sse2");
  if (__builtin_cpu_supports("ssse3")) out.push_back("ssse3");
  if (__builtin_cpu_supports("sse4.1")) out.push_back("sse4.1");
  if (__builtin_cpu_supports("avx2")) out.push_back("avx2");
  if (__builtin_cpu_supports("avx512f")) out.push_back("avx512f");
  return out;
}

bool CpuHas(const std::string& feature)
{
  for (const std::string& f : CpuFeatures())
    if (f == feature) return true;
  return false;
}

// pixman picks its x86 paths at run time from the CPU and skips every path named
// in PIXMAN_DISABLE; it names only the paths built into it, so those names in the
// loaded library tell which it has.
std::vector<std::string> PixmanBuiltPaths()
{
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&pixman_version_string), &info) || !info.dli_fname) return {};
  std::ifstream file(info.dli_fname, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::string> out;
  for (const char* name : {"mmx", "sse2", "ssse3", "avx2"})
    if (bytes.find(std::string(1, '\0') + name + '\0') != std::string::npos) out.push_back(name);
  return out;
}
}  // namespace

std::string OurInstructionSets()
{
  std::vector<std::string> isa;
#ifdef __SSE2__
  isa.push_back("sse2");
#endif
#ifdef __SSSE3__
  isa.push_back("ssse3");
#endif
#ifdef __SSE4_1__
  isa.push_back("sse4.1");
#endif
#ifdef __AVX2__
  isa.push_back("avx2");
#endif
#ifdef __AVX512F__
  isa.push_back("avx512f");
#endif
  return "ours: " + Join(isa) + " (compile time: " __VERSION__ ", " VORNA_BENCH_FLAGS "; no run-time choice)";
}

std::string PixmanInstructionSets()
{
  const char* disabled = std::getenv("PIXMAN_DISABLE");
  std::vector<std::string> used;
  for (const std::string& path : PixmanBuiltPaths())
    if (CpuHas(path) && !(disabled && std::string(disabled).find(path) != std::string::npos)) used.push_back(path);
  return std::string("pixman ") + pixman_version_string() + ": " + Join(used) + " (built with " +
         Join(PixmanBuiltPaths()) + "; CPU has " + Join(CpuFeatures()) + "; PIXMAN_DISABLE " +
         (disabled ? std::string("= \"") + disabled + "\"" : "not set") + ")";
}

std::string CairoInstructionSets()
{
  return std::string("cairo ") + cairo_version_string() +
         ": shapes turned into coverage by its own portable C code (no run-time choice), composited through pixman as "
         "above";
}
}  // namespace raster_bench
