// vorna-render: plays a Standard MIDI File through the synthesizer offline and
// writes what it hears to a stereo 32-bit float WAV file.
#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "StandardMidiFile.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kExitBadInput = 2;
constexpr int kExitFailed = 1;

double Decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }

// Same device and inode as standard output, however the path names it
// (/dev/stdout, /proc/self/fd/1, the file the shell redirected to): the WAV
// file's own bytes then go there, and a line printed there would land on them.
bool IsStandardOutput(const std::string& path)
{
  struct stat out, file;
  return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
         out.st_ino == file.st_ino;
}
}  // namespace

int main(int argc, char** argv)
{
  try
  {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(argc, argv, &options, &error))
    {
      std::fprintf(stderr, "vorna-render: %s\n%s\n", error.c_str(), RenderUsage());
      return kExitBadInput;
    }
    SmfSequence sequence;
    if (!LoadStandardMidiFile(options.midiPath, &sequence, &error))
    {
      std::fprintf(stderr, "vorna-render: %s\n", error.c_str());
      return kExitBadInput;
    }
    FILE* const reportTo = IsStandardOutput(options.wavPath) ? stderr : stdout;
    RenderReport report;
    if (!RenderToWav(options, sequence, &report, &error))
    {
      std::fprintf(stderr, "vorna-render: %s\n", error.c_str());
      return kExitBadInput;
    }
    const double seconds = double(report.frames) / options.sampleRate;
    const double speed = report.renderSeconds > 0.0 ? seconds / report.renderSeconds : INFINITY;
    std::fprintf(reportTo, "%s: %lld frames (%.2f s at %d Hz), peak %.4f (%.1f dBFS), RMS %.4f (%.1f dBFS), "
                 "real-time factor %.1f\n",
                 options.wavPath.c_str(), static_cast<long long>(report.frames), seconds, options.sampleRate,
                 report.peak, Decibels(report.peak), report.rms, Decibels(report.rms), speed);
    return 0;
  }
  catch (const std::exception& e)
  {
    std::fprintf(stderr, "vorna-render: %s\n", e.what());
    return kExitFailed;
  }
}
