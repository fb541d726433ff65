#pragma once

#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <utility>

#include "registers/RegisterDescription.h"

namespace zodra {
class Database;
class Statement;
}  // namespace zodra

namespace zodra::registers {

// The entry checks of one register (its description's checks, then its duplicate searches),
// with the statements they ask through prepared once for the object's life and the referenced
// rows it has found remembered. A window's save makes one for one row; an import keeps one for
// every row of a file, where preparing the same searches again for each row would cost more than
// the insert itself. Only rows that exist are remembered: rows are not deleted meanwhile, but a
// row added meanwhile (an earlier row of the same file) must be found.
class EntryChecks {
public:
    EntryChecks(Database& db, const RegisterDescription& description);
    EntryChecks(const EntryChecks&) = delete;
    EntryChecks& operator=(const EntryChecks&) = delete;
    ~EntryChecks();

    // Runs the checks in their order, then the duplicate checks against every other row (`code`
    // is the row being changed, 0 for a new one). The first failure throws UserError with its
    // message. Returns the values as they are stored.
    Values Validate(const Values& typed, int code);

    // What a lookup box typed as text stands for: the code of the referenced row of that name
    // (letter case folded), else the text itself, for the entry check to refuse.
    QVariant ReferenceCode(const Field& field, const QString& nameOrCode);

private:
    void RunCheck(const Check& check, const QVariant& typed);
    bool ReferenceExists(const Field& field, const QVariant& typed);
    void RunDuplicateCheck(const DuplicateCheck& duplicate, const QVariant& typed, int code);
    Statement& Prepared(const QString& sql);

    Database& m_db;
    const RegisterDescription& m_description;
    std::map<QString, std::unique_ptr<Statement>> m_statements;  // by their text
    std::map<std::pair<QString, qint64>, bool> m_existing;       // (table, code) found
    std::map<std::pair<QString, QString>, qint64> m_named;       // (table, folded name) → code
};

}  // namespace zodra::registers
