// The planner's doors: a bill signalled to the running program, or imported without one.

#include <QFile>
#include <QLocalSocket>
#include <QSaveFile>

#include "app/WorkstationConfig.h"
#include "data/Paths.h"
#include "data/Session.h"
#include "planner/PlannerImport.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

constexpr int kConnectMs = 3000;

const char* kSendUsage = "upotreba: zodractl planner-send [--file RACUN.xml]";
const char* kImportUsage =
    "upotreba: zodractl planner-import PUTANJA RACUN.xml [--skladiste N] [--ispis]";

// Copies the bill to where the running program reads it, whole or not at all.
bool CopyBill(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Datoteka ") + from + QStringLiteral(" nije čitljiva (") +
            source.errorString() + QStringLiteral(")."));
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 ||
        !target.commit()) {
        Err(QStringLiteral("Datoteku ") + to + QStringLiteral(" nije moguće zapisati (") +
            target.errorString() + QStringLiteral(")."));
        return false;
    }
    return true;
}

}  // namespace

int PlannerSend(const QStringList& args) {
    QString file;
    if (args.size() == 2 && args.at(0) == QLatin1String("--file")) {
        file = args.at(1);
    } else if (!args.isEmpty()) {
        Err(QString::fromUtf8(kSendUsage));
        return kUsage;
    }
    const QString path = zodra::planner::BillPath(
        zodra::workstationconfig::Load(zodra::paths::WorkstationConfigFile()));
    if (!file.isEmpty() && !CopyBill(file, path)) {
        return kRefused;
    }
    QLocalSocket socket;
    socket.connectToServer(zodra::planner::ServerName());
    if (!socket.waitForConnected(kConnectMs)) {
        Err(QStringLiteral("Program Zodra nije pokrenut: poruku planera nema tko primiti (") +
            socket.errorString() + QStringLiteral(")."));
        return kRefused;
    }
    socket.write(zodra::planner::SignalMessage().toLatin1());
    if (!socket.waitForBytesWritten(kConnectMs)) {
        Err(QStringLiteral("Poruka planera nije poslana (") + socket.errorString() +
            QStringLiteral(")."));
        return kRefused;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kConnectMs);
    }
    Out(QStringLiteral("Poruka planera je poslana; račun čeka u ") + path + QLatin1Char('.'));
    return kOk;
}

int PlannerImport(const QStringList& args) {
    if (args.size() < 2) {
        Err(QString::fromUtf8(kImportUsage));
        return kUsage;
    }
    int warehouse = 0;
    bool print = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = true;
        if (args.at(i) == QLatin1String("--ispis")) {
            print = true;
        } else if (args.at(i) == QLatin1String("--skladiste") && i + 1 < args.size()) {
            warehouse = args.at(++i).toInt(&ok);
        } else {
            ok = false;
        }
        if (!ok || warehouse < 0) {
            Err(QString::fromUtf8(kImportUsage));
            return kUsage;
        }
    }
    bool refused = false;
    const int code = InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        const zodra::planner::ImportedBill imported =
            zodra::planner::ImportPlannerFile(session, args.at(1));
        if (imported.alreadyImported) {
            Err(zodra::planner::AlreadyImportedMessage(imported.number));
            refused = true;
            return;
        }
        Out(QStringLiteral("Račun planera je uvezen pod brojem %1 (ukupno %2).")
                .arg(imported.number)
                .arg(imported.total, 0, 'f', 2));
        if (print) {
            session.workstation =
                zodra::workstationconfig::Load(zodra::paths::WorkstationConfigFile());
            const QString error = zodra::planner::PrintPlannerReceipt(session, imported.number);
            if (!error.isEmpty()) {
                Err(error);
                refused = true;
            }
        }
    });
    return code == kOk && refused ? kRefused : code;
}

}  // namespace zodractl
