#include "bench/ratio_reporter.h"

#include <cstdio>

namespace rostrel::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) runs_[run.benchmark_name()] = run;
  ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::Seconds(const std::string& name) const {
  const auto it = runs_.find(name);
  if (it == runs_.end() || it->second.iterations == 0) return 0;
  return it->second.real_accumulated_time / static_cast<double>(it->second.iterations);
}

double RatioReporter::BytesPerSecond(const std::string& name) const {
  const auto it = runs_.find(name);
  if (it == runs_.end()) return 0;
  const auto counter = it->second.counters.find("bytes_per_second");
  return counter == it->second.counters.end() ? 0 : static_cast<double>(counter->second);
}

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios measured in this run:\n");
  for (const Ratio& r : ratios) {
    const double n = r.throughput ? reporter.BytesPerSecond(r.numerator) : reporter.Seconds(r.numerator);
    const double d = r.throughput ? reporter.BytesPerSecond(r.denominator) : reporter.Seconds(r.denominator);
    if (n > 0 && d > 0) std::printf("  %-58s %8.2f\n", r.label, n / d);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace rostrel::bench
