#pragma once

#include <benchmark/benchmark.h>
#include <QString>
#include <QStringList>
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

// Memory is measured in a child process of its own, this program run again in a child mode.
// ProcessKb reads this process's resident set now ("VmRSS") or its peak ("VmHWM") from /proc;
// the child prints one ChildResult line, "peak_kb growth_kb count seconds", which RunChild
// reads back (zeros when the child failed).
long ProcessKb(const char* key);
struct ChildResult {
    long peakKb = 0;
    long growthKb = 0;
    int count = 0;  // what the child made: pages rendered, rows imported
    double seconds = 0;
};
void PrintChildResult(const ChildResult& result);
ChildResult RunChild(const QStringList& args);

}  // namespace zodra::bench
