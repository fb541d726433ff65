#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

// Runs this build's command-line tool as another program would: its own process, no terminal,
// the password only where a test gives one. The test program that includes this defines
// ZODRACTL_PATH.
namespace zodra::test {

struct ZodractlRun {
    int exitCode = -1;  // -1 when the tool crashed or did not finish in time
    QString out;
    QString err;
};

struct ZodractlOptions {
    std::optional<QString> password;     // ZODRA_PASSWORD; not set at all when absent
    std::optional<QString> newPassword;  // ZODRA_NEW_PASSWORD
    QString workingFolder;
    QString home;         // ZODRA_HOME, the program's data files
    QStringList removed;  // variables of this environment the program does not get
    int timeoutMs = 180000;
};

inline ZodractlRun RunProgram(const QString& program, const QStringList& args,
                              const ZodractlOptions& options) {
    QProcess p;
    if (!options.workingFolder.isEmpty()) {
        p.setWorkingDirectory(options.workingFolder);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZODRA_PASSWORD"));
    env.remove(QStringLiteral("ZODRA_NEW_PASSWORD"));
    if (options.password) {
        env.insert(QStringLiteral("ZODRA_PASSWORD"), *options.password);
    }
    if (options.newPassword) {
        env.insert(QStringLiteral("ZODRA_NEW_PASSWORD"), *options.newPassword);
    }
    for (const QString& name : options.removed) {
        env.remove(name);
    }
    if (!options.home.isEmpty()) {
        env.insert(QStringLiteral("ZODRA_HOME"), options.home);
    }
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, QString(), QStringLiteral("(did not finish in time)")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A command line from its parts: a text literal gives its words (separated by blanks), a
// QString one argument as it is, blanks included: Args("kpi --od 01.01.2026 --pdf", path).
inline void AppendArgs(QStringList&) {}
template <typename... Rest>
void AppendArgs(QStringList& args, const char* words, const Rest&... rest);
template <typename... Rest>
void AppendArgs(QStringList& args, const QString& arg, const Rest&... rest) {
    args << arg;
    AppendArgs(args, rest...);
}
template <typename... Rest>
void AppendArgs(QStringList& args, const char* words, const Rest&... rest) {
    args << QString::fromUtf8(words).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    AppendArgs(args, rest...);
}
template <typename... Parts>
QStringList Args(const Parts&... parts) {
    QStringList args;
    AppendArgs(args, parts...);
    return args;
}

inline ZodractlRun RunZodractl(const QStringList& args, const ZodractlOptions& options = {}) {
    return RunProgram(QStringLiteral(ZODRACTL_PATH), args, options);
}

}  // namespace zodra::test
