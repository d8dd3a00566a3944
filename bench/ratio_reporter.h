// A console reporter that also remembers every run, so that a benchmark program
// can print ratios between runs of the same execution at its end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace rostrel::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  // Real time per iteration of the run named name, or 0 when it did not run.
  double Seconds(const std::string& name) const;
  double BytesPerSecond(const std::string& name) const;

 private:
  std::map<std::string, Run> runs_;
};

struct Ratio {
  const char* label;
  std::string numerator, denominator;
  bool throughput;  // compare bytes per second rather than time
};

// Runs every registered benchmark, then prints each ratio on a line of its own.
int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

}  // namespace rostrel::bench
