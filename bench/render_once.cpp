// render-once: one render of a named pattern of render-bench, ours or the
// peer's, for the given seconds and untimed; instructions.sh counts it under
// callgrind.
//   render-once ours|peer SECONDS PATCH
#include "render_patterns.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
  const bool peer = argc == 4 && std::strcmp(argv[1], "peer") == 0;
  const bool ours = argc == 4 && std::strcmp(argv[1], "ours") == 0;
  char* end = nullptr;
  const double seconds = argc == 4 ? std::strtod(argv[2], &end) : 0.0;
  const render_patterns::Patch* patch = argc == 4 ? render_patterns::Find(argv[3]) : nullptr;
  if (!(peer || ours) || !end || *end != 0 || !(seconds > 0.0 && seconds <= 600.0) || !patch)
  {
    std::fprintf(stderr, "usage: render-once ours|peer SECONDS PATCH (seconds 0 to 600, a patch of render-bench)\n");
    return 2;
  }
  const render_patterns::Render run =
    peer ? render_patterns::RenderPeer(*patch, seconds) : render_patterns::RenderOurs(*patch, seconds);
  if (!run.ok)
  {
    std::fprintf(stderr, "render-once: %s\n", run.error.c_str());
    return 1;
  }
  std::printf("%s \"%s\" %.3f s: peak %.4f\n", argv[1], patch->name, seconds, run.peak);
  return 0;
}
