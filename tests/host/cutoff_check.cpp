// Compares two recordings of the application holding A4, made before and after the filter
// cutoff was moved: both must sound at 440 Hz, and the spectrum must differ between them by
// the factor asked (default 1.5) or more, in the energy at the fundamental or in the share
// of the upper harmonics (which only counts where they are heard at all: a sine has none to
// lose). With --harmonics the upper harmonics must be heard before the move and their share
// must change by the factor: the sound has harmonics for the cutoff to take away. Prints what
// it measured; exit status 0 when it holds.
//
//   app-recording-check BEFORE.wav AFTER.wav [--factor F] [--harmonics]

#include "zero_crossings.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

namespace
{
constexpr double kExpectedHz = 440.0;
constexpr double kToleranceHz = 2.0;
constexpr int kHarmonics = 24;
constexpr double kQuietRms = 1e-4;

struct Measure
{
  double hz = 0.0;
  double rms = 0.0;
  double fundamental = 0.0;  // energy at 440 Hz
  double upperShare = 0.0;   // energy of harmonics 3 and up over the energy of all
};

constexpr double kAudibleShare = 1e-4;  // -40 dB

double Ratio(double a, double b)
{
  const double low = std::min(a, b), high = std::max(a, b);
  return low > 0.0 ? high / low : (high > 0.0 ? INFINITY : 1.0);
}

bool ReadLeft(const char* path, std::vector<double>* left, double* rate)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (!file || info.channels < 1 || info.frames <= 0)
  {
    if (file) sf_close(file);
    return false;
  }
  std::vector<double> frames(size_t(info.frames) * size_t(info.channels));
  sf_readf_double(file, frames.data(), info.frames);
  sf_close(file);
  left->resize(size_t(info.frames));
  for (size_t i = 0; i < left->size(); ++i) (*left)[i] = frames[i * size_t(info.channels)];
  *rate = info.samplerate;
  return true;
}

// Energy at one frequency in a Hann-windowed block (Goertzel).
double Energy(const std::vector<double>& x, size_t begin, size_t length, double hz, double rate)
{
  const double w = 2.0 * std::numbers::pi * hz / rate;
  const double c = 2.0 * std::cos(w);
  double s1 = 0.0, s2 = 0.0;
  for (size_t i = 0; i < length; ++i)
  {
    const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(length - 1));
    const double s0 = x[begin + i] * hann + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return (s1 * s1 + s2 * s2 - c * s1 * s2) / double(length);
}

double Median(std::vector<double> values)
{
  if (values.empty()) return 0.0;
  std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// Measured block by block, taking the medians: a server running late plays a buffer twice,
// which breaks the phase of a measure over the whole recording.
Measure Analyse(const std::vector<double>& x, double rate)
{
  Measure m;
  double sum = 0.0;
  for (double v : x) sum += v * v;
  m.rms = x.empty() ? 0.0 : std::sqrt(sum / double(x.size()));
  m.hz = ZeroCrossingFrequency(x, 0, x.size(), rate);
  constexpr size_t kBlock = 4096;
  std::vector<double> fundamentals, shares;
  for (size_t begin = 0; begin + kBlock <= x.size(); begin += kBlock)
  {
    double all = 0.0, upper = 0.0, first = 0.0;
    for (int k = 1; k <= kHarmonics && k * kExpectedHz < rate / 2; ++k)
    {
      const double e = Energy(x, begin, kBlock, k * kExpectedHz, rate);
      all += e;
      if (k >= 3) upper += e;
      if (k == 1) first = e;
    }
    fundamentals.push_back(first);
    shares.push_back(all > 0.0 ? upper / all : 0.0);
  }
  m.fundamental = Median(fundamentals);
  m.upperShare = Median(shares);
  return m;
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc < 3)
  {
    std::fprintf(stderr, "usage: app-recording-check BEFORE.wav AFTER.wav [--factor F] [--harmonics]\n");
    return 2;
  }
  double factor = 1.5;
  bool harmonics = false;
  for (int i = 3; i < argc; ++i)
  {
    if (std::strcmp(argv[i], "--factor") == 0 && i + 1 < argc) factor = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--harmonics") == 0) harmonics = true;
  }

  Measure measures[2];
  for (int r = 0; r < 2; ++r)
  {
    std::vector<double> left;
    double rate = 0.0;
    if (!ReadLeft(argv[1 + r], &left, &rate))
    {
      std::printf("cannot read %s\n", argv[1 + r]);
      return 1;
    }
    measures[r] = Analyse(left, rate);
    std::printf("%s: %.2f Hz, RMS %.5f, fundamental %.3e, harmonics 3 and up %.3e of the energy\n",
                r == 0 ? "before" : "after", measures[r].hz, measures[r].rms, measures[r].fundamental,
                measures[r].upperShare);
  }
  bool good = true;
  for (const Measure& m : measures)
    good = good && m.rms > kQuietRms && std::fabs(m.hz - kExpectedHz) <= kToleranceHz;
  const double fundamentalChange = Ratio(measures[0].fundamental, measures[1].fundamental);
  const bool upperAudible = std::max(measures[0].upperShare, measures[1].upperShare) >= kAudibleShare;
  const double upperChange = upperAudible ? Ratio(measures[0].upperShare, measures[1].upperShare) : 1.0;
  std::printf("the fundamental changed by a factor of %.2f, the upper harmonics' share by %.2f%s (%.2f asked)\n",
              fundamentalChange, upperChange, upperAudible ? "" : " (not heard)", factor);
  if (harmonics) return good && measures[0].upperShare >= kAudibleShare && upperChange >= factor ? 0 : 1;
  return good && (fundamentalChange >= factor || upperChange >= factor) ? 0 : 1;
}
