#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <vector>

#include "registers/RegisterDescription.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

// The operations every register shares, driven by its description: the list, loading a row,
// adding and changing a row through the entry checks, and deleting a row through its guards.
namespace zodra::registers {

// A row as the windows name it: its code and its name. Adding a row hands this back to the
// window that opened the entry window, so that a document can use the new row at once.
struct SavedRow {
    int code = 0;
    QString name;
};

// The title of every delete question.
inline const QString kDeleteTitle = QStringLiteral("BRISANJE");

// What an empty entry window shows.
Values StartValues(const RegisterDescription& description);

// Runs the entry checks in their order, then the duplicate checks against every other row
// (`code` is the row being changed, 0 for a new one). The first failure throws UserError with
// its message. Returns the values as they are stored.
Values Validate(Database& db, const RegisterDescription& description, const Values& typed,
                int code = 0);

// Adds a row: checks, then the insert, in one write transaction, so that two workstations
// adding the same name cannot both pass the duplicate check. Columns missing from `typed` take
// the entry window's start values.
SavedRow Add(Database& db, const RegisterDescription& description, const Values& typed,
             const OperationContext& context = {});

// Changes a row in place with the same checks as a new one; columns missing from `typed` keep
// their stored values.
SavedRow Update(Database& db, const RegisterDescription& description, int code, const Values& typed,
                const OperationContext& context = {});

// Deletes a row: rows that can never be deleted are refused first, then the user is asked
// ("BRISANJE", No the default), then the references are checked and the row is deleted with its
// dependent rows in one transaction. Refusals throw UserError; returns false when the user
// answered No.
bool Delete(Database& db, const RegisterDescription& description, int code, Prompter& prompter,
            const OperationContext& context = {});
// The steps of Delete for windows that ask the question themselves: the refusals that come
// before the question, the question, and the deletion after a Yes (references checked again
// under the write lock).
void RefuseBeforeQuestion(Database& db, const RegisterDescription& description, int code,
                          const OperationContext& context = {});
QString DeleteQuestion(const RegisterDescription& description, const QString& name);
void DeleteAnswered(Database& db, const RegisterDescription& description, int code);

// The stored values of one row (every field of the description), or nothing.
std::optional<Values> Load(Database& db, const RegisterDescription& description, int code);

// Every row by name in Croatian order.
std::vector<SavedRow> List(Database& db, const RegisterDescription& description);

// The name of a row, empty when there is none.
QString NameOf(Database& db, const RegisterDescription& description, int code);

// What a lookup box typed as text stands for: the code of the referenced row of that name
// (letter case folded), else the text itself, for the entry check to refuse.
QVariant ReferenceCode(Database& db, const Field& field, const QString& nameOrCode);

// Rows of any register table for a lookup box, by name in Croatian order.
std::vector<SavedRow> Choices(Database& db, const QString& table,
                              const QString& nameColumn = QStringLiteral("NAZIV"));

}  // namespace zodra::registers
