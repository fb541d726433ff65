#include "data/CompanyLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "data/Errors.h"

namespace zodra {

namespace {

// Byte 0 is the company lock; session codes lock one byte each from kSessionBase on.
constexpr off_t kCompanyByte = 0;
constexpr off_t kSessionBase = off_t{1} << 32;

struct flock Range(short type, off_t start) {
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = 1;
    lock.l_pid = 0;  // required to be 0 for open-file-description locks
    return lock;
}

// True when taken; false when another holder conflicts. Throws on other failures.
bool TryLock(int fd, short type, off_t start) {
    struct flock lock = Range(type, start);
    for (;;) {
        if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EACCES) {
            return false;
        }
        throw DbError(QString(), QStringLiteral("Zaključavanje datoteke nije uspjelo: ") +
                                     QString::fromLocal8Bit(std::strerror(errno)));
    }
}

// The lock file takes the company file's mode, so that whoever may write the company may also
// lock it.
void MatchMode(int fd, const QString& companyPath) {
    struct stat company;
    if (::stat(QFile::encodeName(companyPath).constData(), &company) == 0) {
        (void)::fchmod(fd, company.st_mode & 0666);
        (void)::fchown(fd, static_cast<uid_t>(-1), company.st_gid);
    }
}

}  // namespace

QString CompanyLock::LockPath(const QString& companyPath) {
    return companyPath + QStringLiteral("-lock");
}

std::unique_ptr<CompanyLock> CompanyLock::Acquire(const QString& companyPath, Mode mode, int waitMs,
                                                  bool* busy, QString* error) {
    if (busy) {
        *busy = false;
    }
    const QByteArray lockPath = QFile::encodeName(LockPath(companyPath));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error) {
            *error = QStringLiteral("Datoteka zaključavanja ") + LockPath(companyPath) +
                     QStringLiteral(" se ne može otvoriti: ") +
                     QString::fromLocal8Bit(std::strerror(errno));
        }
        return nullptr;
    }
    std::unique_ptr<CompanyLock> lock(new CompanyLock(fd, mode));
    MatchMode(fd, companyPath);
    const short type = mode == Mode::Exclusive ? F_WRLCK : F_RDLCK;
    int waited = 0;
    while (!TryLock(fd, type, kCompanyByte)) {
        if (mode == Mode::Exclusive || waited >= waitMs) {
            if (busy) {
                *busy = true;
            }
            return nullptr;
        }
        QThread::msleep(20);
        waited += 20;
    }
    return lock;
}

CompanyLock::~CompanyLock() {
    // Closing the description releases every lock taken through it.
    ::close(m_fd);
}

void CompanyLock::HoldSession(qint64 code) {
    if (!TryLock(m_fd, F_WRLCK, kSessionBase + code)) {
        throw DbError(QString(), QStringLiteral("Šifra sesije ") + QString::number(code) +
                                     QStringLiteral(" je već u upotrebi."));
    }
    m_sessions.insert(code);
}

void CompanyLock::ReleaseSession(qint64 code) {
    struct flock lock = Range(F_UNLCK, kSessionBase + code);
    (void)fcntl(m_fd, F_OFD_SETLK, &lock);
    m_sessions.erase(code);
}

std::unique_ptr<CompanyLock> CompanyLock::KeepSessions() const {
    // The duplicate shares this lock's open file description and with it every lock taken
    // through it; they are released only when the last of the two is closed.
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        throw DbError(QString(), QStringLiteral("Zaključavanje datoteke nije uspjelo: ") +
                                     QString::fromLocal8Bit(std::strerror(errno)));
    }
    std::unique_ptr<CompanyLock> kept(new CompanyLock(fd, Mode::Sessions));
    kept->m_sessions = m_sessions;
    return kept;
}

void CompanyLock::ReleaseCompany() {
    struct flock lock = Range(F_UNLCK, kCompanyByte);
    (void)fcntl(m_fd, F_OFD_SETLK, &lock);
}

bool CompanyLock::SessionAlive(qint64 code) const {
    if (m_sessions.count(code) > 0) {
        return true;
    }
    struct flock lock = Range(F_WRLCK, kSessionBase + code);
    if (fcntl(m_fd, F_OFD_GETLK, &lock) != 0) {
        // When in doubt the session counts as alive: its rows are kept.
        return true;
    }
    return lock.l_type != F_UNLCK;
}

}  // namespace zodra
