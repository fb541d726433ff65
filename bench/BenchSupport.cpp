#include "BenchSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace zodra::bench {

namespace {

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
                units[run.benchmark_name()] = benchmark::GetTimeUnitString(run.time_unit);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, std::string> units;
};

}  // namespace

QString ScratchFolder() {
    static QTemporaryDir dir;
    return dir.path();
}

int RunAndReport(int argc, char** argv, const std::vector<Ratio>& ratios) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::printf("\n%-60s %12s %12s %8s %6s\n", "target", "measured", "baseline", "ratio", "limit");
    bool allMet = true;
    for (const Ratio& r : ratios) {
        const auto m = collector.times.find(r.measured);
        const auto b = collector.times.find(r.baseline);
        if (m == collector.times.end() || b == collector.times.end()) {
            continue;
        }
        const double ratio = m->second / b->second;
        const bool met = ratio <= r.limit;
        allMet = allMet && met;
        std::printf("%-60s %10.3f%s %10.3f%s %8.2f %6.2f %s\n", r.title.c_str(), m->second,
                    collector.units[r.measured].c_str(), b->second,
                    collector.units[r.baseline].c_str(), ratio, r.limit, met ? "ok" : "MISSED");
    }
    benchmark::Shutdown();
    return allMet ? 0 : 1;
}

}  // namespace zodra::bench
