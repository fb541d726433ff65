#pragma once

#include <QString>
#include <memory>
#include <set>

namespace zodra {

// The locks that keep the processes using one company file out of each other's way where the
// database engine's own locking does not reach: a compaction or repair must be alone with the
// file (it replaces the file, which no open connection may ever see), and a workstation must
// be able to tell whether the session that left working rows behind is still running.
//
// They live on a small file beside the company ("firma.mdb-lock"), never on the company file
// itself: closing any descriptor of a file drops every POSIX lock the process holds on it,
// including the engine's. The locks are open-file-description locks, so they belong to this
// object alone (two connections of one process exclude each other like two processes), they
// are not dropped when some other descriptor of the file is closed, and the kernel releases
// them when the process dies, so a killed program never leaves a company locked.
class CompanyLock {
public:
    enum class Mode {
        Shared,     // every connection to the company, for its whole life
        Exclusive,  // compaction and repair: nobody else may have the company open
        Sessions,   // session codes only (KeepSessions), no hold on the company
    };

    // Takes the company lock. A shared lock waits up to `waitMs` for a compaction in progress
    // to finish; an exclusive lock never waits. Returns null when the lock cannot be had (with
    // `busy` set) or the lock file cannot be opened (with `error` set).
    static std::unique_ptr<CompanyLock> Acquire(const QString& companyPath, Mode mode, int waitMs,
                                                bool* busy = nullptr, QString* error = nullptr);

    static QString LockPath(const QString& companyPath);

    CompanyLock(const CompanyLock&) = delete;
    CompanyLock& operator=(const CompanyLock&) = delete;
    ~CompanyLock();

    Mode LockMode() const { return m_mode; }

    // A running session marks its code as alive for as long as it holds it.
    void HoldSession(qint64 code);
    void ReleaseSession(qint64 code);
    // Whether the session is running: held through this lock or by some other holder (another
    // process, or another connection of this one).
    bool SessionAlive(qint64 code) const;

    // For a workstation whose connection is closed for a while (the compaction of its own
    // company): a second handle on this lock that keeps its session codes held after this lock
    // is gone, with no gap in between. Once this lock is destroyed, ReleaseCompany lets the
    // company go (for the compaction's exclusive lock) while the codes stay held; the new
    // connection takes them over with ReleaseSession here and HoldSession there.
    std::unique_ptr<CompanyLock> KeepSessions() const;
    void ReleaseCompany();

private:
    CompanyLock(int fd, Mode mode) : m_fd(fd), m_mode(mode) {}
    int m_fd;
    Mode m_mode;
    std::set<qint64> m_sessions;
};

}  // namespace zodra
