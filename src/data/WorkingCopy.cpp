#include "data/WorkingCopy.h"

#include <QStringList>
#include <functional>

#include "data/CompanyLock.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Transaction.h"

namespace zodra::workingcopy {

namespace {
QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}
int ClearSessions(Database& db, const std::function<bool(qint64)>& dead, bool sweepOrphans);
}  // namespace

int AllocateSessionCode(Database& db) {
    Statement insert = db.Prepare(QStringLiteral("INSERT INTO \"Multiuser\" DEFAULT VALUES"));
    insert.Exec();
    const QVariant id = insert.LastInsertId();
    if (!id.isValid()) {
        throw DbError(insert.Sql(), QStringLiteral("Nije dodijeljena šifra sesije"));
    }
    // Marked alive before the code is committed: a workstation clearing abandoned sessions
    // never sees the code without the mark.
    if (CompanyLock* lock = db.Lock()) {
        lock->HoldSession(id.toLongLong());
    }
    return id.toInt();
}

void ReleaseSessionCodes(Database& db, const QList<int>& codes) {
    Statement del = db.Prepare(QStringLiteral("DELETE FROM \"Multiuser\" WHERE \"SIFRA\" = ?"));
    for (int code : codes) {
        if (code != 0) {
            del.Exec({code});
            if (CompanyLock* lock = db.Lock()) {
                lock->ReleaseSession(code);
            }
        }
    }
}

int ClearAbandonedSessions(Database& db) {
    CompanyLock* lock = db.Lock();
    if (lock == nullptr) {
        return 0;
    }
    return ClearSessions(
        db, [lock](qint64 code) { return !lock->SessionAlive(code); }, false);
}

int ClearEverySession(Database& db, const QList<int>& keep) {
    return ClearSessions(
        db, [&keep](qint64 code) { return !keep.contains(static_cast<int>(code)); }, true);
}

namespace {

int ClearSessions(Database& db, const std::function<bool(qint64)>& dead, bool sweepOrphans) {
    Transaction tx(db);
    // Codes of saved, unposted documents keep their lines until the document is loaded again.
    const QString kept = QStringLiteral(
        "SELECT \"Multiuser_sifra\" FROM \"OtvoreniDokumenti\" WHERE \"Multiuser_sifra\" IS NOT "
        "NULL");
    QList<int> gone;
    {
        Statement codes = db.Prepare(QStringLiteral("SELECT \"SIFRA\" FROM \"Multiuser\" WHERE "
                                                    "\"SIFRA\" NOT IN (") +
                                     kept + QStringLiteral(")"));
        codes.Exec();
        while (codes.Next()) {
            const int code = codes.Int(0);
            if (dead(code)) {
                gone << code;
            }
        }
    }
    // Each dead session's rows through the session-code indexes: no working table is read
    // whole when a workstation starts.
    for (const int code : gone) {
        ClearAllWorkingCopies(db, code);
    }
    ReleaseSessionCodes(db, gone);
    if (sweepOrphans) {
        // Rows whose session code is gone altogether (left by a program of an older version):
        // only a compaction, which reads the whole file anyway, looks for them.
        for (const QString& table : AllWorkingTables()) {
            db.Exec(QStringLiteral("DELETE FROM ") + Q(table) +
                    QStringLiteral(" WHERE \"Multiuser_sifra\" NOT IN (SELECT \"SIFRA\" FROM "
                                   "\"Multiuser\") AND \"Multiuser_sifra\" NOT IN (") +
                    kept + QStringLiteral(")"));
        }
    }
    tx.Commit();
    return static_cast<int>(gone.size());
}

}  // namespace

void ClearWorkingCopy(Database& db, DocumentKind kind, int sessionCode) {
    for (const LineCopy& copy : Info(kind).lines) {
        db.Exec(QStringLiteral("DELETE FROM ") + Q(copy.workingTable) +
                    QStringLiteral(" WHERE \"Multiuser_sifra\" = ?"),
                {sessionCode});
    }
}

void ClearAllWorkingCopies(Database& db, int sessionCode) {
    for (const QString& table : AllWorkingTables()) {
        db.Exec(QStringLiteral("DELETE FROM ") + Q(table) +
                    QStringLiteral(" WHERE \"Multiuser_sifra\" = ?"),
                {sessionCode});
    }
}

int PostWorkingLines(Database& db, DocumentKind kind, int number, int sessionCode,
                     std::optional<int> invoiceBook) {
    const DocumentKindInfo& info = Info(kind);
    int copiedFirst = -1;
    for (const LineCopy& copy : info.lines) {
        const QStringList& working = db.Columns(copy.workingTable);
        const QStringList& lines = db.Columns(copy.lineTable);
        const QString w = QStringLiteral("\"w\".");
        // The article's tax group, for lines that have none.
        QString articleCondition;
        QString lookup;
        if (!copy.articleColumn.isEmpty() && lines.contains(QStringLiteral("GRUPA_POREZA"))) {
            lookup = QStringLiteral(
                         " FROM \"ARTIKLI\" INNER JOIN \"GRUPE_POREZA\" ON "
                         "\"ARTIKLI\".\"GRUPA_P\" = \"GRUPE_POREZA\".\"SIFRA\" WHERE "
                         "\"ARTIKLI\".\"SIFRA\" = ") +
                     w + Q(copy.articleColumn);
            if (copy.articleLinesByKind) {
                lookup += QStringLiteral(" AND ") + w + QStringLiteral("\"TIP_STAVKE\" = 'ART'");
            }
        }
        const bool workingHasGroup = working.contains(QStringLiteral("GRUPA_POREZA"));
        // One INSERT … SELECT naming the line table's columns in their order: the final number
        // (and invoice book) bound, missing tax groups completed from the articles.
        QStringList target;
        QStringList source;
        QVariantList params;
        for (const QString& column : lines) {
            if (column == copy.lineNumberColumn) {
                target << Q(column);
                source << QStringLiteral("?");
                params << number;
            } else if (invoiceBook && column == QLatin1String("IRA") && working.contains(column)) {
                target << Q(column);
                source << QStringLiteral("?");
                params << *invoiceBook;
            } else if (!lookup.isEmpty() && column == QLatin1String("GRUPA_POREZA")) {
                target << Q(column);
                const QString fromArticle = QStringLiteral("(SELECT \"GRUPE_POREZA\".\"NAZIV\"") +
                                            lookup + QStringLiteral(")");
                source << (workingHasGroup
                               ? QStringLiteral("COALESCE(") + w + Q(column) +
                                     QStringLiteral(", ") + fromArticle + QStringLiteral(")")
                               : fromArticle);
            } else if (!lookup.isEmpty() && column == QLatin1String("POREZ_%")) {
                target << Q(column);
                const QString fromArticle = QStringLiteral("(SELECT \"GRUPE_POREZA\".\"STOPA\"") +
                                            lookup + QStringLiteral(")");
                source << (workingHasGroup && working.contains(column)
                               ? QStringLiteral("CASE WHEN ") + w +
                                     QStringLiteral("\"GRUPA_POREZA\" IS NULL THEN ") +
                                     fromArticle + QStringLiteral(" ELSE ") + w + Q(column) +
                                     QStringLiteral(" END")
                               : fromArticle);
            } else if (working.contains(column)) {
                target << Q(column);
                source << w + Q(column);
            }
        }
        params << sessionCode;
        const int copied =
            db.Exec(QStringLiteral("INSERT INTO ") + Q(copy.lineTable) + QStringLiteral(" (") +
                        target.join(QStringLiteral(", ")) + QStringLiteral(") SELECT ") +
                        source.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                        Q(copy.workingTable) +
                        QStringLiteral(" AS \"w\" WHERE \"w\".\"Multiuser_sifra\" = ?"),
                    params);
        if (copiedFirst < 0) {
            copiedFirst = copied;
        }
        db.Exec(QStringLiteral("DELETE FROM ") + Q(copy.workingTable) +
                    QStringLiteral(" WHERE \"Multiuser_sifra\" = ?"),
                {sessionCode});
    }
    return copiedFirst < 0 ? 0 : copiedFirst;
}

int FillMissingTaxGroups(Database& db, const LineCopy& table) {
    const QString t = Q(table.lineTable);
    const QString article = t + QLatin1Char('.') + Q(table.articleColumn);
    const QString lookup = QStringLiteral(
                               " FROM \"ARTIKLI\" INNER JOIN \"GRUPE_POREZA\" ON "
                               "\"ARTIKLI\".\"GRUPA_P\" = \"GRUPE_POREZA\".\"SIFRA\" WHERE "
                               "\"ARTIKLI\".\"SIFRA\" = ") +
                           article;
    QString where = QStringLiteral(" WHERE ") + t + QStringLiteral(".\"GRUPA_POREZA\" IS NULL");
    if (table.articleLinesByKind) {
        where += QStringLiteral(" AND ") + t + QStringLiteral(".\"TIP_STAVKE\" = 'ART'");
    }
    return db.Exec(QStringLiteral("UPDATE ") + t +
                   QStringLiteral(" SET \"GRUPA_POREZA\" = (SELECT \"GRUPE_POREZA\".\"NAZIV\"") +
                   lookup + QStringLiteral("), \"POREZ_%\" = (SELECT \"GRUPE_POREZA\".\"STOPA\"") +
                   lookup + QStringLiteral(")") + where + QStringLiteral(" AND EXISTS (SELECT 1") +
                   lookup + QStringLiteral(")"));
}

}  // namespace zodra::workingcopy
