#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "registers/EntryChecks.h"
#include "registers/RegisterDescription.h"
#include "registers/RegisterStore.h"

namespace zodra {
class Database;
class Statement;
}  // namespace zodra

namespace zodra::registers {

// Adds rows to one register as Add does (start values, entry checks, the description's hooks,
// the insert), with the statements prepared once for all the rows it adds: for adding many rows
// in one transaction. The caller holds the transaction. A refused row throws UserError and
// leaves nothing behind: the checks and beforeSave write nothing, and a description with an
// afterAdd hook gets a savepoint around the insert and the hook.
class RowAdder {
public:
    RowAdder(Database& db, const RegisterDescription& description,
             const OperationContext& context = {});
    RowAdder(const RowAdder&) = delete;
    RowAdder& operator=(const RowAdder&) = delete;
    ~RowAdder();

    SavedRow Add(const Values& typed);
    EntryChecks& Checks() { return m_checks; }

private:
    Database& m_db;
    const RegisterDescription& m_description;
    OperationContext m_context;
    Values m_start;
    EntryChecks m_checks;
    // Insert statements by the columns they fill (the same for every row of a register unless a
    // hook adds a column only to some rows).
    std::map<QStringList, std::unique_ptr<Statement>> m_inserts;
};

}  // namespace zodra::registers
