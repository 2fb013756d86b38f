// Order statistics of frame-time samples: the median and the spread the report prints.
// Works on a copy; the caller's samples keep their order.
#pragma once
#include <vector>

namespace bench {

struct Summary {
  int count = 0;
  double median = 0, p25 = 0, p75 = 0, min = 0, max = 0;
  // Interquartile range over the median: the relative spread, robust to the odd stalled frame.
  double relativeSpread() const { return median > 0 ? (p75 - p25) / median : 0; }
};

// Linear interpolation between closest ranks; q in 0..1. Empty input gives 0.
double Quantile(std::vector<double> samples, double q);
Summary Summarise(const std::vector<double>& samples);

}  // namespace bench
