#include "RenderTool.h"

#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "StandardMidiFile.h"

#include <cmath>
#include <exception>

namespace
{
double Decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }
}  // namespace

int RunRenderTool(int argc, const char* const* argv, FILE* out, FILE* err, const OutputCalls& calls)
{
  try
  {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(argc, argv, &options, &error))
    {
      std::fprintf(err, "vorna-render: %s\n%s\n", error.c_str(), RenderUsage());
      return kRenderExitBadInput;
    }
    SmfSequence sequence;
    if (!LoadStandardMidiFile(options.midiPath, &sequence, &error))
    {
      std::fprintf(err, "vorna-render: %s\n", error.c_str());
      return kRenderExitBadInput;
    }
    // The WAV file's own bytes go to standard output then, and a line printed there would land on them.
    FILE* const reportTo = IsStandardOutput(options.wavPath) ? err : out;
    RenderReport report;
    RenderFailure failure = RenderFailure::none;
    if (!RenderToWav(options, sequence, &report, &error, &failure, calls))
    {
      std::fprintf(err, "vorna-render: %s\n", error.c_str());
      return failure == RenderFailure::output ? kRenderExitCouldNotWrite : kRenderExitBadInput;
    }
    const double seconds = double(report.frames) / options.sampleRate;
    const double speed = report.renderSeconds > 0.0 ? seconds / report.renderSeconds : INFINITY;
    std::fprintf(reportTo, "%s: %lld frames (%.2f s at %d Hz), peak %.4f (%.1f dBFS), RMS %.4f (%.1f dBFS), "
                 "real-time factor %.1f\n",
                 options.wavPath.c_str(), static_cast<long long>(report.frames), seconds, options.sampleRate,
                 report.peak, Decibels(report.peak), report.rms, Decibels(report.rms), speed);
    return kRenderExitDone;
  }
  catch (const std::exception& e)
  {
    std::fprintf(err, "vorna-render: %s\n", e.what());
    return kRenderExitFailed;
  }
}
