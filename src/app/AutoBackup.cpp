#include "app/AutoBackup.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"

namespace zodra::autobackup {

namespace {

QString Base(const QString& databasePath) {
    const QFileInfo info(databasePath);
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? databasePath
                            : databasePath.left(databasePath.size() - suffix.size() - 1);
}

// Snapshot of one schema of the connection into `target`, through a temporary file so that
// last week's copy is only replaced by a complete one.
void Snapshot(Database& db, bool detail, const QString& target) {
    const QString temp = target + QStringLiteral(".novi");
    QFile::remove(temp);
    db.CopyTo(detail, temp);
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) !=
        0) {
        QFile::remove(temp);
        throw DbError(QString(), QStringLiteral("Kopija se ne može zapisati: ") + target);
    }
}

}  // namespace

QString WeekdayName(const QDate& day) {
    static const char16_t* const names[] = {u"Nedjelja", u"Ponedjeljak", u"Utorak", u"Srijeda",
                                            u"Četvrtak", u"Petak",       u"Subota"};
    // Qt counts Monday as 1 … Sunday as 7; the names are counted from Sunday.
    return QString::fromUtf16(names[day.dayOfWeek() % 7]);
}

QString TargetPath(const QString& databasePath, const QDate& day) {
    return Base(databasePath) + QStringLiteral("_") + WeekdayName(day) + QStringLiteral(".bak");
}

QString DetailTargetPath(const QString& databasePath, const QDate& day) {
    return Base(databasePath) + QStringLiteral("_") + WeekdayName(day) + QStringLiteral(".det.bak");
}

bool Enabled(Database& db) {
    return sqlvalue::ToBool(
        db.Scalar(QStringLiteral("SELECT \"AutoBackup\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" "
                                 "LIMIT 1")));
}

QString Run(Database& db, const QDate& today) {
    if (!Enabled(db)) {
        return QString();
    }
    const QString target = TargetPath(db.Path(), today);
    Snapshot(db, false, target);
    if (db.DetailAttached()) {
        Snapshot(db, true, DetailTargetPath(db.Path(), today));
    }
    return target;
}

}  // namespace zodra::autobackup
