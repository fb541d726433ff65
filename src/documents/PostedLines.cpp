#include "documents/PostedLines.h"

#include "data/Database.h"

namespace zodra::documents {

PostedLines::PostedLines(Database& db, const DocumentKey& key)
    : LineStore(db, FirstLines(key.kind).lineTable,
                ArticleColumn(db, FirstLines(key.kind), FirstLines(key.kind).lineTable),
                db.Columns(FirstLines(key.kind).lineTable).contains(QStringLiteral("TIP_STAVKE"))),
      m_key(key),
      m_numberColumn(FirstLines(key.kind).lineNumberColumn) {}

QString PostedLines::Filter() const {
    return m_key.Condition(m_numberColumn);
}

QVariantList PostedLines::FilterValues() const {
    return m_key.WhereValues();
}

Columns PostedLines::OwnerColumns() const {
    Columns columns{{QStringLiteral("SKLADISTE"), m_key.warehouse}};
    if (m_key.invoiceBook) {
        columns.emplace_back(QStringLiteral("IRA"), *m_key.invoiceBook);
    }
    columns.emplace_back(QStringLiteral("GODINA"), m_key.year);
    columns.emplace_back(m_numberColumn, m_key.number);
    return columns;
}

}  // namespace zodra::documents
