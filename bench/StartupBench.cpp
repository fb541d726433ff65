// Start-up targets, as whole processes measured in one run against starting a bare Qt window:
//  - the desktop program up to a usable main window (≤ 3×)
//  - opening the demo company through login and warehouse choice (≤ 3×)
// The programs are started from the build folder (build/zodra, build/zodra_tour); on a machine
// without a display they run on the offscreen platform.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include "BenchSupport.h"
#include "demo/DemoCompany.h"

using namespace zodra;

namespace {

QString Program(const char* name) {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../") + QString::fromLatin1(name));
}

const QString& DemoCompany() {
    static const QString path = [] {
        const QString p = bench::ScratchFolder() + QStringLiteral("/demo.mdb");
        demo::CreateDemoCompany(p, QDate::currentDate());
        return p;
    }();
    return path;
}

// Runs one program to its end; the benchmark fails when it cannot.
void Run(benchmark::State& state, const QString& program, const QStringList& arguments) {
    if (!QFileInfo::exists(program)) {
        state.SkipWithError("program not built");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("DISPLAY")).isEmpty() &&
        env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    // The programs' own settings stay out of the user's.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               bench::ScratchFolder() + QStringLiteral("/config"));
    env.insert(QStringLiteral("ZODRA_CONFIG"),
               bench::ScratchFolder() + QStringLiteral("/ZodraConfig.cfg"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("program failed");
            return;
        }
    }
}

void BM_BareQtWindow(benchmark::State& state) {
    Run(state, Program("zodra_tour"), {QStringLiteral("--bare")});
}
void BM_MainWindowReady(benchmark::State& state) {
    Run(state, Program("zodra"), {QStringLiteral("--quit-when-ready")});
}
void BM_OpenDemoCompany(benchmark::State& state) {
    const QString company = DemoCompany();
    Run(state, Program("zodra_tour"), {QStringLiteral("--open"), company});
}

}  // namespace

BENCHMARK(BM_BareQtWindow)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_MainWindowReady)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_OpenDemoCompany)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

int main(int argc, char** argv) {
    return bench::RunAndReport(argc, argv,
                               {{"start-up to a usable main window vs a bare Qt window",
                                 "BM_MainWindowReady", "BM_BareQtWindow", 3.0},
                                {"opening the demo company (login, warehouse) vs a bare Qt window",
                                 "BM_OpenDemoCompany", "BM_BareQtWindow", 3.0}});
}
