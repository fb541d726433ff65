#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Database;
}

namespace zodra::autobackup {

// The automatic backup made when a company is closed: one rolling copy per weekday beside the
// database ("firma.mdb" → "firma_Nedjelja.bak" on a Sunday), each overwritten a week later, so
// that at most seven are kept. Only when the company has AutoBackup switched on.

// "Nedjelja", "Ponedjeljak", … "Subota".
QString WeekdayName(const QDate& day);
// The database path without its extension + "_" + weekday name + ".bak".
QString TargetPath(const QString& databasePath, const QDate& day);
// The detail file's copy beside it: the same name with ".det.bak".
QString DetailTargetPath(const QString& databasePath, const QDate& day);

bool Enabled(Database& db);

// Writes the day's copy when AutoBackup is on and returns its path; an empty text when it is
// off. The copy is a consistent snapshot (not a copy of a file that is being written) and
// replaces last week's copy only once it is complete. Throws DbError when it cannot be written.
QString Run(Database& db, const QDate& today = QDate::currentDate());

}  // namespace zodra::autobackup
