#pragma once

// Pitch of a recording by its zero crossings, for the end-to-end checks.

#include <algorithm>
#include <cstddef>
#include <vector>

// Frequency from the median period between rising zero crossings from begin to end,
// interpolated between samples; 0 with fewer than three crossings. The median, because a JACK
// server that runs late (an xrun) plays a buffer twice, which stretches one or two periods.
inline double ZeroCrossingFrequency(const std::vector<double>& x, size_t begin, size_t end, double rate)
{
  std::vector<double> crossings;
  for (size_t i = begin + 1; i < end; ++i)
    if (x[i - 1] <= 0.0 && x[i] > 0.0) crossings.push_back(double(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]));
  if (crossings.size() < 3) return 0.0;
  std::vector<double> periods;
  for (size_t k = 1; k < crossings.size(); ++k) periods.push_back(crossings[k] - crossings[k - 1]);
  std::nth_element(periods.begin(), periods.begin() + long(periods.size() / 2), periods.end());
  return rate / periods[periods.size() / 2];
}
