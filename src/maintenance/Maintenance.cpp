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

compaction::Result CompactOpenCompany(Session& session) {
    const QString path = session.databasePath;
    const QString password = session.databasePassword;
    const QList<int> codes{session.sessionCode, session.workOrderSessionCode,
                           session.transferSessionCode};
    session.Close();
    compaction::Result result = compaction::Compact(path, password, {}, codes);
    auto opened = Database::Open(path, password);
    if (opened.status != Database::OpenStatus::Ok) {
        throw DbError(path, QStringLiteral("Poduzeće se nakon sažimanja ne može otvoriti: ") +
                                QString::fromLatin1(ToString(opened.status)));
    }
    // The session's codes are marked alive again before anyone can take them for abandoned.
    if (CompanyLock* lock = opened.db->Lock()) {
        for (const int code : codes) {
            if (code != 0) {
                lock->HoldSession(code);
            }
        }
    }
    session.Attach(std::move(opened.db));
    return result;
}

}  // namespace zodra::maintenance
