#pragma once

#include <benchmark/benchmark.h>
#include <QString>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zodra::bench {

// A folder for the benchmark's companies, removed at exit.
QString ScratchFolder();

// Runs the registered benchmarks, then prints each target as a ratio of two benchmarks measured
// in the same run: {name, measured, baseline, limit}. Returns the process exit code.
struct Ratio {
    std::string title;
    std::string measured;
    std::string baseline;
    double limit;
};
// Targets given as the time a benchmark adds to its baseline, in milliseconds (both measured in
// milliseconds).
struct Difference {
    std::string title;
    std::string measured;
    std::string baseline;
    double limitMs;
};
int RunAndReport(int argc, char** argv, const std::vector<Ratio>& ratios,
                 const std::vector<Difference>& differences = {});

}  // namespace zodra::bench
