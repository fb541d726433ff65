#pragma once

#include <QString>
#include <vector>

#include "registers/Csv.h"
#include "registers/CsvReader.h"
#include "registers/RegisterDescription.h"

namespace zodra {
class Database;
}

// Moving a register in and out of spreadsheet files. The columns are the entry window's boxes,
// named by their captions ("Naziv", "Šifra", "Grupa artikla" …) or by their column names;
// lookups (groups, tax groups, currencies, price lists) are written by name and read by name
// or code. Every imported row goes through the same checks as the entry window, after the rules
// for values that come from a file: no control characters (tab and line breaks only in boxes of
// several lines) and numbers within their kind's range (limits::CheckNumber), each refusing the
// row with its message ("Naziv sadrži nedopušten znak !", "Cijena u valuti nesmije biti
// negativna !").
//
// Text that a spreadsheet would take for a formula is written protected: a text cell (a text box
// or a lookup's name) that begins with "=", "+", "-", "−" (U+2212) or "@" gets an apostrophe in
// front, which spreadsheets take as "this cell is text" and do not show. So does a text that
// begins with an apostrophe itself, so that import can strip exactly one leading apostrophe from
// every text cell and every exported file reads back unchanged. Numbers, whole numbers and
// flags are never protected: a negative number stays a number.
namespace zodra::registers::transfer {

struct Refusal {
    int line = 0;  // line of the file
    QString message;
};

struct ImportReport {
    int imported = 0;
    std::vector<Refusal> refused;
    bool committed = false;
    // "Redak 3: Artikal sa nazivom 'X' je već upisan." per refused row, then a summary line.
    QStringList Lines() const;
};

// Imports the rows of a file into a register. Without skipBad the file is imported whole or not
// at all: one refused row leaves the register as it was (every row is still checked, so the
// report lists all refusals). With skipBad the good rows are kept. A file whose header names an
// unknown column, names one twice or lacks the name column is refused as a whole (UserError).
// An empty cell of a number box takes the box's start value, as an untouched entry box would.
ImportReport Import(Database& db, const RegisterDescription& description, const csv::Table& file,
                    bool skipBad);
// The same, reading the file record by record while the rows are checked and inserted (one
// insert statement, one transaction), so that the memory used does not grow with the file.
ImportReport Import(Database& db, const RegisterDescription& description, csv::CsvReader& file,
                    bool skipBad);

// A text cell as export writes it, and the text import takes from a cell (see above).
QString ProtectedText(const QString& text);
QString UnprotectedText(const QString& cell);

// The whole register in list order, as a file that Import reads back.
csv::Table Export(Database& db, const RegisterDescription& description, QChar separator);

}  // namespace zodra::registers::transfer
