// Checks a recording of the application playing a looped A4: every note that
// starts and ends inside the recording is at 440 Hz, and the output is silent
// after it for at least the time asked. With --silent, checks that it is
// silent throughout. Prints what it measured; exit status 0 when it holds.
//
//   host-recording-check RECORDING.wav [--silent] [--gap SECONDS]

#include "zero_crossings.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr double kSilentLevel = 1e-6;    // 32-bit recordings hold exact zeros as zeros
constexpr double kSplitSeconds = 0.01;   // a silence this long ends a note
constexpr double kMinNoteSeconds = 0.3;  // shorter pieces are glitches, not the note
constexpr double kExpectedHz = 440.0;
constexpr double kToleranceHz = 1.0;

struct Note
{
  size_t begin;
  size_t end;  // one past the last sounding frame
};

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 2)
  {
    std::fprintf(stderr, "usage: host-recording-check RECORDING.wav [--silent] [--gap SECONDS]\n");
    return 2;
  }
  bool expectSilence = false;
  double gapSeconds = 1.0;
  for (int i = 2; i < argc; ++i)
  {
    if (std::strcmp(argv[i], "--silent") == 0) expectSilence = true;
    else if (std::strcmp(argv[i], "--gap") == 0 && i + 1 < argc) gapSeconds = std::atof(argv[++i]);
  }

  SF_INFO info = {};
  SNDFILE* file = sf_open(argv[1], SFM_READ, &info);
  if (!file || info.channels < 1)
  {
    std::printf("cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<double> frames(size_t(info.frames) * size_t(info.channels));
  sf_readf_double(file, frames.data(), info.frames);
  sf_close(file);
  const double rate = info.samplerate;
  const size_t count = size_t(info.frames);
  std::vector<double> left(count);
  std::vector<bool> silent(count);
  for (size_t i = 0; i < count; ++i)
  {
    left[i] = frames[i * size_t(info.channels)];
    bool quiet = true;
    for (int c = 0; c < info.channels; ++c) quiet = quiet && std::fabs(frames[i * size_t(info.channels) + size_t(c)]) < kSilentLevel;
    silent[i] = quiet;
  }

  if (expectSilence)
  {
    size_t loud = 0;
    for (bool s : silent) loud += s ? 0 : 1;
    std::printf("%.2f s recorded, %zu frames not silent\n", count / rate, loud);
    return loud == 0 && count > 0 ? 0 : 1;
  }

  // Notes: sounding stretches, split by silences of kSplitSeconds or more.
  std::vector<Note> notes;
  const size_t split = size_t(kSplitSeconds * rate);
  size_t i = 0;
  while (i < count)
  {
    while (i < count && silent[i]) ++i;
    if (i == count) break;
    Note note = {i, i};
    size_t quietRun = 0;
    for (; i < count && quietRun < split; ++i)
    {
      quietRun = silent[i] ? quietRun + 1 : 0;
      if (!silent[i]) note.end = i + 1;
    }
    notes.push_back(note);
  }

  int checked = 0;
  bool good = true;
  for (size_t n = 0; n < notes.size(); ++n)
  {
    const Note& note = notes[n];
    if (note.begin == 0 || note.end >= count) continue;  // cut by the recording's edges
    const double seconds = (note.end - note.begin) / rate;
    if (seconds < kMinNoteSeconds) continue;
    // The held part, past the attack.
    const size_t from = note.begin + size_t(0.05 * rate);
    const double hz = ZeroCrossingFrequency(left, from, from + size_t(0.2 * rate), rate);
    const size_t nextBegin = n + 1 < notes.size() ? notes[n + 1].begin : count;
    const double gap = (nextBegin - note.end) / rate;
    const bool pitchGood = std::fabs(hz - kExpectedHz) <= kToleranceHz;
    // After the last note the silence reaches as far as the recording does.
    const bool gapGood = gap >= gapSeconds || nextBegin == count;
    std::printf("note at %.3f s: %.3f s long, %.2f Hz, then %.3f s of silence%s\n", note.begin / rate, seconds, hz,
                gap, pitchGood && gapGood ? "" : "  <- wrong");
    good = good && pitchGood && gapGood;
    ++checked;
  }
  if (checked == 0)
  {
    std::printf("no whole note in %.2f s of recording (%zu sounding stretches)\n", count / rate, notes.size());
    return 1;
  }
  return good ? 0 : 1;
}
