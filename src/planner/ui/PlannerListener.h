#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace zodra::ui {
class WindowHost;
}

// The running program's end of the planner link: a local socket server named
// "Zodra-MessageServer", started with the main window. A connection that sends
// "MCL_RASPOREDIX_TO_ZODRA" is the signal: the bill file is imported into the open company as a
// paid retail invoice and its receipt printed. Anything else a connection sends is ignored.
namespace zodra::planner {

class PlannerListener : public QObject {
    Q_OBJECT
public:
    explicit PlannerListener(ui::WindowHost& host, QObject* parent = nullptr);

    // Listens, only for this user's programs. A name left by a program that ended without
    // closing it is taken over; a name another running program holds is left to it (said in the
    // status bar). Returns whether this program listens.
    bool Start();
    bool Listening() const { return m_server.isListening(); }

    // What the last signal came to, as the status bar shows it (tests read it too).
    QString LastOutcome() const { return m_lastOutcome; }

    static QString OtherProgramText();  // " Planer: poruke planera prima drugi pokrenuti …"
    static QString NoCompanyText();     // " Planer: račun nije uvezen jer poduzeće nije …"

Q_SIGNALS:
    // A signal was dealt with (imported, refused, or left for later); `outcome` as LastOutcome.
    void SignalHandled(const QString& outcome);

private:
    void TakeConnections();
    // Runs the import for a signal; while a message box of an import (or any modal window) is
    // open, a signal waits and is taken after it.
    void Handle();
    void Report(const QString& status);

    ui::WindowHost& m_host;
    QLocalServer m_server;
    QTimer m_retry;
    bool m_busy = false;
    bool m_pending = false;
    QString m_lastOutcome;
};

}  // namespace zodra::planner
