// Order statistics of one benchmark's samples, printed as one tab-separated
// "row" line so scripts/bench can gather the figures of every tool, native
// or under Wine, into a single table.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

struct SampleSummary {
  int count;
  double median;
  double p99;
  double worst;
  double mean;
};

inline SampleSummary summarize(std::vector<double> samples) {
  SampleSummary s{static_cast<int>(samples.size()), 0, 0, 0, 0};
  if (samples.empty())
    return s;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  // Nearest rank: the smallest sample with at least 99 % at or below it.
  s.p99 = samples[(n * 99 + 99) / 100 - 1];
  s.worst = samples.back();
  double sum = 0;
  for (double v : samples)
    sum += v;
  s.mean = sum / static_cast<double>(n);
  return s;
}

// row <name> <n> <median> <p99> <worst> <mean> <unit> <note>
inline void printRow(const char *name, const std::vector<double> &samples,
                     const char *unit, const char *note) {
  const SampleSummary s = summarize(samples);
  std::printf("row\t%s\t%d\t%.3f\t%.3f\t%.3f\t%.3f\t%s\t%s\n", name, s.count,
              s.median, s.p99, s.worst, s.mean, unit, note);
  std::fflush(stdout);
}
