#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <set>

namespace zodra::bench {

namespace {

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark, else its single run.
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians.count(name))) {
                times[name] = run.GetAdjustedRealTime();
                units[name] = benchmark::GetTimeUnitString(run.time_unit);
            }
            if (median) {
                medians.insert(name);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, std::string> units;
    std::set<std::string> medians;
};

}  // namespace

QString ScratchFolder() {
    static QTemporaryDir dir;
    return dir.path();
}

int RunAndReport(int argc, char** argv, const std::vector<Ratio>& ratios,
                 const std::vector<Difference>& differences) {
    // A benchmark that paints makes its own (GUI) application object first.
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
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
    if (!differences.empty()) {
        std::printf("\n%-60s %12s %12s %10s %8s\n", "target", "measured", "baseline", "added",
                    "limit");
    }
    for (const Difference& d : differences) {
        const auto m = collector.times.find(d.measured);
        const auto b = collector.times.find(d.baseline);
        if (m == collector.times.end() || b == collector.times.end()) {
            continue;
        }
        const double added = m->second - b->second;
        const bool met = added <= d.limitMs;
        allMet = allMet && met;
        std::printf("%-60s %10.3f%s %10.3f%s %8.3fms %6.0fms %s\n", d.title.c_str(), m->second,
                    collector.units[d.measured].c_str(), b->second,
                    collector.units[d.baseline].c_str(), added, d.limitMs, met ? "ok" : "MISSED");
    }
    benchmark::Shutdown();
    return allMet ? 0 : 1;
}

long ProcessKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

void PrintChildResult(const ChildResult& result) {
    std::printf("%ld %ld %d %.3f\n", result.peakKb, result.growthKb, result.count, result.seconds);
}

ChildResult RunChild(const QStringList& args) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), args);
    p.waitForFinished(-1);
    const QStringList parts =
        QString::fromLatin1(p.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    ChildResult r;
    if (parts.size() == 4) {
        r = {parts[0].toLong(), parts[1].toLong(), parts[2].toInt(), parts[3].toDouble()};
    }
    return r;
}

}  // namespace zodra::bench
