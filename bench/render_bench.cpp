// render-bench: how much faster than real time the plug-in renders a few named
// patches, each holding a chord for 20 seconds (or --seconds) at 48 kHz in blocks of 256 on
// one thread. Prints one line per patch: the median real-time factor (audio
// seconds per CPU second of the rendering thread) beside its target. Where the
// peer synthesizer plays the same chord, its renders alternate with ours round
// by round, so both meet the same neighbours on a shared machine, and the line
// adds the peer's median and the median of the rounds' ratios.
//   render-bench [--runs N] [--seconds S] [PATCH...]
#include "render_patterns.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using render_patterns::Patch;

constexpr double kDefaultSeconds = 20.0;
constexpr double kMaxSeconds = 600.0;
double gSeconds = kDefaultSeconds;
constexpr int kDefaultRuns = 5;
constexpr int kMaxRuns = 1000;

double Median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

int Usage(const char* problem)
{
  std::fprintf(stderr, "render-bench: %s\nusage: render-bench [--runs N] [--seconds S] [PATCH...]\npatches:", problem);
  for (const Patch& p : render_patterns::Patches()) std::fprintf(stderr, " \"%s\"", p.name);
  std::fprintf(stderr, "\n");
  return 2;
}

double Factor(double cpuSeconds)
{
  return cpuSeconds > 0.0 ? gSeconds / cpuSeconds : INFINITY;
}
}  // namespace

int main(int argc, char** argv)
{
  int runs = kDefaultRuns;
  std::vector<const Patch*> chosen;
  for (int i = 1; i < argc; ++i)
  {
    if (std::strcmp(argv[i], "--runs") == 0)
    {
      char* end = nullptr;
      const long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end != 0 || n < 1 || n > kMaxRuns) return Usage("--runs takes a whole number from 1 to 1000");
      runs = int(n);
      ++i;
      continue;
    }
    if (std::strcmp(argv[i], "--seconds") == 0)
    {
      char* end = nullptr;
      const double s = i + 1 < argc ? std::strtod(argv[i + 1], &end) : 0.0;
      if (i + 1 >= argc || *end != 0 || !(s >= 0.1 && s <= kMaxSeconds))
        return Usage("--seconds takes a number from 0.1 to 600");
      gSeconds = s;
      ++i;
      continue;
    }
    const Patch* found = render_patterns::Find(argv[i]);
    if (!found) return Usage((std::string("no patch is named \"") + argv[i] + "\"").c_str());
    chosen.push_back(found);
  }
  if (chosen.empty())
    for (const Patch& p : render_patterns::Patches()) chosen.push_back(&p);

  std::printf("render-bench: %d Hz, block %d, %.0f s held from the first frame (keys %d + %dk, velocity %d), "
              "median of %d runs, CPU time of the rendering thread; the peer (amsynth, its default sound with the\n"
              "patch's peer settings) in alternating rounds\n",
              render_patterns::kSampleRate, render_patterns::kBlockSize, gSeconds, render_patterns::kLowestKey,
              render_patterns::kKeyStep, render_patterns::kVelocity, runs);
  std::printf("%-22s %16s %16s %10s %12s %8s\n", "patch", "measured", "target", "peak", "peer", "ratio");
  for (const Patch* patch : chosen)
  {
    std::vector<double> ours, peers, ratios;
    double peak = 0.0;
    std::string peerError;
    for (int r = 0; r < runs; ++r)
    {
      // Who goes first alternates too.
      render_patterns::Render peer;
      const bool peerFirst = patch->peer && r % 2 == 1;
      if (peerFirst) peer = render_patterns::RenderPeer(*patch, gSeconds);
      const render_patterns::Render run = render_patterns::RenderOurs(*patch, gSeconds);
      if (!run.ok)
      {
        std::fprintf(stderr, "render-bench: patch \"%s\": %s\n", patch->name, run.error.c_str());
        return 1;
      }
      if (patch->peer && !peerFirst) peer = render_patterns::RenderPeer(*patch, gSeconds);
      ours.push_back(run.cpuSeconds);
      peak = std::max(peak, run.peak);
      if (!patch->peer) continue;
      if (!peer.ok)
        peerError = peer.error;
      else
      {
        peers.push_back(peer.cpuSeconds);
        ratios.push_back(Factor(run.cpuSeconds) / Factor(peer.cpuSeconds));
      }
    }
    const double cpu = Median(ours);
    char measured[32], target[32], peerText[32] = "-", ratioText[32] = "-";
    bool met;
    if (patch->notes == 0)
    {
      const double nsPerFrame = cpu * 1e9 / (gSeconds * render_patterns::kSampleRate);
      met = nsPerFrame <= patch->target;
      std::snprintf(measured, sizeof(measured), "%.1f ns/frame", nsPerFrame);
      std::snprintf(target, sizeof(target), "<= %.0f ns/frame", patch->target);
    }
    else
    {
      const double factor = Factor(cpu);
      met = factor >= patch->target;
      std::snprintf(measured, sizeof(measured), "%.2fx", factor);
      if (patch->target > 0.0)
        std::snprintf(target, sizeof(target), ">= %gx", patch->target);
      else
        std::snprintf(target, sizeof(target), "-");
    }
    if (!peers.empty())
    {
      std::snprintf(peerText, sizeof(peerText), "%.2fx", Factor(Median(peers)));
      std::snprintf(ratioText, sizeof(ratioText), "%.2f", Median(ratios));
    }
    std::printf("%-22s %16s %16s %10.4f %12s %8s%s\n", patch->name, measured, target, peak, peerText, ratioText,
                met ? "" : "  below target");
    if (!peerError.empty()) std::printf("  (the peer did not play: %s)\n", peerError.c_str());
    std::fflush(stdout);
  }
  return 0;
}
