#include "planner/ui/PlannerListener.h"

#include <QApplication>
#include <QLocalSocket>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "planner/PlannerImport.h"
#include "ui/WindowHost.h"

namespace zodra::planner {

namespace {

constexpr int kProbeMs = 500;
constexpr int kRetryMs = 1000;
// A signal is a short name; a connection that sends more than this without it is not a planner.
constexpr qsizetype kMaxMessageBytes = 256;

const char* kBufferProperty = "zodraPlannerBuffer";

QString Title() {
    return QStringLiteral("Planer");
}

}  // namespace

PlannerListener::PlannerListener(ui::WindowHost& host, QObject* parent)
    : QObject(parent), m_host(host) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &PlannerListener::TakeConnections);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &PlannerListener::Handle);
}

QString PlannerListener::OtherProgramText() {
    return QStringLiteral(" Planer: poruke planera prima drugi pokrenuti program Zodra.");
}

QString PlannerListener::NoCompanyText() {
    return QStringLiteral(
        " Planer: račun nije uvezen jer poduzeće nije otvoreno; datoteka računa čeka sljedeću "
        "poruku.");
}

bool PlannerListener::Start() {
    if (m_server.isListening()) {
        return true;
    }
    // Asked first: listening with access options puts the socket in place by renaming it over
    // whatever holds the name, so a second program would silently take the planner's signals
    // from the first.
    QLocalSocket probe;
    probe.connectToServer(ServerName());
    if (probe.waitForConnected(kProbeMs)) {
        probe.disconnectFromServer();
        Report(OtherProgramText());
        return false;
    }
    // Nobody answers: what holds the name is left by a program that ended without removing it.
    QLocalServer::removeServer(ServerName());
    if (m_server.listen(ServerName())) {
        return true;
    }
    Report(QStringLiteral(" Planer: primanje poruka planera nije pokrenuto (") +
           m_server.errorString() + QStringLiteral(")."));
    return false;
}

void PlannerListener::TakeConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
            if (buffer.contains(SignalMessage().toLatin1())) {
                socket->setProperty(kBufferProperty, QByteArray());
                socket->disconnectFromServer();
                // Taken after this slot: the import may show a message box, and the socket is
                // gone by then.
                m_pending = true;
                QTimer::singleShot(0, this, &PlannerListener::Handle);
                return;
            }
            if (buffer.size() > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            socket->setProperty(kBufferProperty, buffer);
        });
    }
}

void PlannerListener::Handle() {
    if (!m_pending) {
        return;
    }
    if (m_busy || QApplication::activeModalWidget()) {
        // The user is answering something (maybe this import's own message): the signal waits.
        m_retry.start();
        return;
    }
    m_pending = false;
    Session& session = m_host.CurrentSession();
    if (!session.IsOpen() || session.activeWarehouse.code <= 0 || session.businessYear <= 0) {
        Report(NoCompanyText());
        return;
    }
    m_busy = true;
    QString status;
    QString message;
    try {
        const ImportedBill imported = ImportPlannerFile(session, BillPath(session.workstation));
        if (imported.alreadyImported) {
            status = QLatin1Char(' ') + AlreadyImportedMessage(imported.number);
        } else {
            status = QStringLiteral(" Planer: uvezen je račun broj %1.").arg(imported.number);
            message = PrintPlannerReceipt(session, imported.number);
        }
    } catch (const UserError& e) {
        status = QStringLiteral(" Planer: račun nije uvezen.");
        message = e.message();
    } catch (const DbError& e) {
        status = QStringLiteral(" Planer: račun nije uvezen.");
        message = QStringLiteral("Neuspjela transakcija - promjene su vraćene na staro\n") +
                  e.driverText();
    }
    Report(status);
    if (!message.isEmpty()) {
        m_host.UserPrompter().Inform(message, Title());
    }
    m_busy = false;
    if (m_pending) {
        m_retry.start();
    }
}

void PlannerListener::Report(const QString& status) {
    m_lastOutcome = status;
    m_host.SetStatusText(status);
    Q_EMIT SignalHandled(status);
}

}  // namespace zodra::planner
