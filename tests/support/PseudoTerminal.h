#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>

namespace zodra::test {

// A pseudo-terminal standing in for a serial device (receipt printer, cash drawer, customer
// display): the program writes to its path, the test reads what arrived.
class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_path = QString::fromLocal8Bit(name);
        }
    }
    ~PseudoTerminal() {
        ::close(m_master);
        ::close(m_slave);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Its path; empty when no pseudo-terminal could be opened.
    const QString& Path() const { return m_path; }
    // Everything written since the last call (waits until nothing more comes for a moment).
    QByteArray Received() {
        QByteArray all;
        char buffer[4096];
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, 300) > 0) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            all.append(buffer, n);
        }
        return all;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

}  // namespace zodra::test
