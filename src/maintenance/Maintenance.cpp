#include "maintenance/Maintenance.h"

#include <QFileInfo>

#include "data/CompanyLock.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"

namespace zodra::maintenance {

void ChangePassword(Database& db, const QString& newPassword) {
    if (newPassword.size() > kMaxPasswordLength) {
        throw UserError(QStringLiteral("Password je predugačak (najviše 14 znakova)!"));
    }
    db.SetPassword(newPassword);
}

void ChangePassword(Session& session, const QString& path, const QString& newPassword) {
    const bool own =
        session.IsOpen() && !path.isEmpty() &&
        (path == session.databasePath || QFileInfo(path).canonicalFilePath() ==
                                             QFileInfo(session.databasePath).canonicalFilePath());
    if (own) {
        ChangePassword(session.Db(), newPassword);
        session.databasePassword = newPassword;
        return;
    }
    if (newPassword.size() > kMaxPasswordLength) {
        throw UserError(QStringLiteral("Password je predugačak (najviše 14 znakova)!"));
    }
    auto opened = Database::Open(path, session.databasePassword);
    switch (opened.status) {
        case Database::OpenStatus::Ok:
            break;
        case Database::OpenStatus::WrongPassword:
            throw UserError(QStringLiteral(
                "Password izabrane baze nije isti kao password otvorene baze: ne može se "
                "promijeniti."));
        case Database::OpenStatus::Missing:
            throw UserError(QStringLiteral("Datoteka ne postoji: ") + path);
        default:
            throw UserError(QStringLiteral("Izabrana baza se ne može otvoriti."));
    }
    ChangePassword(*opened.db, newPassword);
}

compaction::Result CompactOpenCompany(Session& session, const compaction::Checkpoint& checkpoint) {
    const QString path = session.databasePath;
    const QString password = session.databasePassword;
    const QList<int> codes{session.sessionCode, session.workOrderSessionCode,
                           session.transferSessionCode};
    // The codes are held through a second handle while the connection is closed: a
    // workstation opening the company meanwhile clears abandoned sessions, and would take
    // these for abandoned (their working rows and Multiuser rows) if they were let go.
    std::unique_ptr<CompanyLock> kept;
    if (session.IsOpen() && session.Db().Lock() != nullptr) {
        kept = session.Db().Lock()->KeepSessions();
    }
    session.Close();
    if (kept) {
        kept->ReleaseCompany();
    }
    if (checkpoint) {
        checkpoint("closed");
    }
    compaction::Result result = compaction::Compact(path, password, {}, codes);
    auto opened = Database::Open(path, password);
    if (opened.status != Database::OpenStatus::Ok) {
        throw DbError(path, QStringLiteral("Poduzeće se nakon sažimanja ne može otvoriti: ") +
                                QString::fromLatin1(ToString(opened.status)));
    }
    // The codes pass from the kept handle to the new connection (each byte let go and taken
    // again at once).
    if (CompanyLock* lock = opened.db->Lock()) {
        for (const int code : codes) {
            if (code != 0) {
                if (kept) {
                    kept->ReleaseSession(code);
                }
                lock->HoldSession(code);
            }
        }
    }
    session.Attach(std::move(opened.db));
    return result;
}

}  // namespace zodra::maintenance
