#include "registers/RowAdder.h"

#include <optional>

#include "data/Database.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::registers {

namespace {

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

}  // namespace

RowAdder::RowAdder(Database& db, const RegisterDescription& description,
                   const OperationContext& context)
    : m_db(db),
      m_description(description),
      m_context(context),
      m_start(StartValues(description)),
      m_checks(db, description) {}

RowAdder::~RowAdder() = default;

SavedRow RowAdder::Add(const Values& typed) {
    Q_ASSERT(m_db.TransactionDepth() > 0);
    Values full = m_start;
    for (auto it = typed.begin(); it != typed.end(); ++it) {
        full.insert(it.key(), it.value());
    }
    Values stored = m_checks.Validate(full, 0);
    if (m_description.beforeSave) {
        m_description.beforeSave(m_db, 0, stored, m_context);
    }
    const QStringList columns = stored.keys();
    auto it = m_inserts.find(columns);
    if (it == m_inserts.end()) {
        QStringList quoted;
        QStringList marks;
        for (const QString& column : columns) {
            quoted << Quoted(column);
            marks << QStringLiteral("?");
        }
        it = m_inserts
                 .emplace(columns,
                          std::make_unique<Statement>(
                              m_db, QStringLiteral("INSERT INTO ") + Quoted(m_description.table) +
                                        QStringLiteral(" (") + quoted.join(QStringLiteral(", ")) +
                                        QStringLiteral(") VALUES (") +
                                        marks.join(QStringLiteral(", ")) + QLatin1Char(')')))
                 .first;
    }
    std::optional<Transaction> row;
    if (m_description.afterAdd) {
        row.emplace(m_db);
    }
    Statement& insert = *it->second;
    insert.Exec(stored.values());
    const int code = insert.LastInsertId().toInt();
    insert.Finish();
    if (m_description.afterAdd) {
        m_description.afterAdd(m_db, code, stored);
        row->Commit();
    }
    return SavedRow{code, stored.value(m_description.nameColumn).toString()};
}

}  // namespace zodra::registers
