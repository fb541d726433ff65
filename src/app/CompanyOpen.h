#pragma once

#include <QDate>
#include <QString>
#include <memory>

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::companyopen {

// Opening a company database as the main window does it, with every question and message
// going through the prompter:
// - a wrong password is asked for again ("Upišite password za izabranu bazu podataka.") until
//   it is right; an empty or cancelled answer stops with "Nije upisan točan password.";
// - a file the engine reports as damaged is repaired once, on a copy (the original is kept
//   beside it), and opened again;
// - a file of another program, one locked by another program, a read-only one or one written
//   by a newer version is refused with its message and never moved or rewritten;
// - a missing file gives "Ove datoteke nema."; an empty path (a cancelled file dialog) stops
//   without a word.
struct Opened {
    std::unique_ptr<Database> db;  // null when the company was not opened
    QString password;
    bool repaired = false;
};
Opened Open(const QString& path, Prompter& prompter, const QString& password = QString());

// "Upis novog": creates a new, empty company (and its detail file) for the business year of
// `today`. An existing file is refused with "Za novu datoteku morate izabrati novo ime !" and
// left alone. Returns false when nothing was created (refused, cancelled or failed; the
// message was shown).
bool CreateNew(const QString& path, Prompter& prompter, const QDate& today = QDate::currentDate());

}  // namespace zodra::companyopen
