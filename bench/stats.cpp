// Quantiles by sorting a copy: sample counts are in the hundreds, so simplicity wins.
#include "bench/stats.hpp"

#include <algorithm>
#include <cmath>

namespace bench {

double Quantile(std::vector<double> samples, double q) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const double position = std::clamp(q, 0.0, 1.0) * static_cast<double>(samples.size() - 1);
  const size_t below = static_cast<size_t>(std::floor(position));
  const size_t above = std::min(below + 1, samples.size() - 1);
  const double weight = position - static_cast<double>(below);
  return samples[below] * (1.0 - weight) + samples[above] * weight;
}

Summary Summarise(const std::vector<double>& samples) {
  Summary s;
  s.count = static_cast<int>(samples.size());
  if (samples.empty()) return s;
  s.median = Quantile(samples, 0.5);
  s.p25 = Quantile(samples, 0.25);
  s.p75 = Quantile(samples, 0.75);
  s.min = *std::min_element(samples.begin(), samples.end());
  s.max = *std::max_element(samples.begin(), samples.end());
  return s;
}

}  // namespace bench
