// Times the raster library's common operations beside pixman (blits and fills) and
// cairo (lines, circles and polygons) doing the same work on the same pictures, and
// prints our median time over the other library's per operation. Before timing an
// operation it draws it once on both sides and compares the pictures; an operation
// whose pictures disagree beyond the rounding stated for it is not timed.
//
//   raster-bench [--images DIR] [Google Benchmark flags]
//
// --images writes the knob strip and both sides' picture of every operation as PNG.

#include "raster_bench_isa.h"
#include "raster_bench_operations.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace raster_bench;

namespace
{
Image Picture(LICE_IBitmap& bmp)
{
  Image out{bmp.getWidth(), bmp.getHeight(), false, {}};
  for (int y = 0; y < out.height; ++y)
    out.pixels.insert(out.pixels.end(), bmp.getBits() + (size_t)y * bmp.getRowSpan(),
                      bmp.getBits() + (size_t)y * bmp.getRowSpan() + out.width);
  return out;
}

// Draws the operation once on both sides from fresh pictures and compares.
Agreement Check(const Operation& op, const std::string& imageFolder)
{
  OurScene ours(op.source);
  PeerScene theirs(op.source);
  if (op.preparePeer) op.preparePeer(theirs);
  const Image before = theirs.destImage;
  op.ours(ours);
  op.theirs(theirs);
  if (!imageFolder.empty())
  {
    WritePng(Picture(ours.dest), imageFolder + "/" + op.name + "-ours.png");
    WritePng(theirs.destImage, imageFolder + "/" + op.name + "-" + op.peer + ".png");
  }
  return Compare(ours.dest.getBits(), ours.dest.getRowSpan(), theirs.destImage.pixels.data(), before.pixels.data(),
                 kWidth, kHeight, kShapeColour, op.tolerance);
}

void TimeOurs(benchmark::State& state, const Operation* op)
{
  OurScene scene(op->source);
  for (auto _ : state)
  {
    op->ours(scene);
    benchmark::ClobberMemory();
  }
}
void TimeTheirs(benchmark::State& state, const Operation* op)
{
  PeerScene scene(op->source);
  if (op->preparePeer) op->preparePeer(scene);
  for (auto _ : state)
  {
    op->theirs(scene);
    benchmark::ClobberMemory();
  }
}

// Keeps the median CPU time of every benchmark as it is reported: the machine may
// be shared, and both sides run on one thread.
class MedianCollector : public benchmark::ConsoleReporter
{
public:
  std::map<std::string, double> medians;  // microseconds per iteration, by benchmark name

  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
};
}  // namespace

int main(int argc, char** argv)
{
  std::string imageFolder;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--images") == 0 && i + 1 < argc)
    {
      imageFolder = argv[i + 1];
      std::memmove(argv + i, argv + i + 2, sizeof(char*) * (size_t)(argc - i - 1));
      argc -= 2;
      break;
    }
  benchmark::Initialize(&argc, argv);

  std::printf("instruction sets\n  %s\n  %s\n  %s\n\n", OurInstructionSets().c_str(), PixmanInstructionSets().c_str(),
              CairoInstructionSets().c_str());
  if (!imageFolder.empty() && !WritePng(KnobStrip(), imageFolder + "/knob-strip.png"))
    std::fprintf(stderr, "cannot write images into %s\n", imageFolder.c_str());

  std::printf("%-20s %-7s %8s %7s %7s %9s  %s\n", "agreement", "peer", "largest", "over", "edges", "ink",
              "allowed");
  std::vector<const Operation*> timed;
  for (const Operation& op : Operations())
  {
    const Agreement a = Check(op, imageFolder);
    std::printf("%-20s %-7s %8d %7ld %7ld %8.2f%%  %s%s\n", op.name, op.peer, a.largest, a.over, a.edges,
                a.inkTheirs > 0 ? 100.0 * (a.inkOurs / a.inkTheirs - 1) : 0.0, op.tolerance.rounding,
                a.agrees ? "" : "  -- DISAGREE, NOT TIMED");
    if (!a.agrees) continue;
    timed.push_back(&op);
    benchmark::RegisterBenchmark((std::string("Ours_") + op.name).c_str(), TimeOurs, &op)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("Peer_") + op.name).c_str(), TimeTheirs, &op)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
  }
  std::printf("\n");

  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-20s %12s %8s %12s %8s\n", "median CPU time", "ours (us)", "peer", "peer (us)", "ratio");
  for (const Operation* op : timed)
  {
    const auto ours = reporter.medians.find(std::string("Ours_") + op->name);
    const auto theirs = reporter.medians.find(std::string("Peer_") + op->name);
    if (ours == reporter.medians.end() || theirs == reporter.medians.end()) continue;
    std::printf("%-20s %12.1f %8s %12.1f %8.2f\n", op->name, ours->second, op->peer, theirs->second,
                ours->second / theirs->second);
  }
  benchmark::Shutdown();
  return timed.size() == Operations().size() ? 0 : 1;
}
