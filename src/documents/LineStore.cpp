#include "documents/LineStore.h"

#include <stdexcept>

#include "data/Database.h"
#include "data/SqlDialect.h"
#include "data/Transaction.h"

namespace zodra::documents {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

const QString kLot = QStringLiteral("BROJ_PRIMKE");
const QString kQuantity = QStringLiteral("KOLICINA");
const QString kLineKind = QStringLiteral("TIP_STAVKE");

}  // namespace

QVariant ValueOf(const Columns& columns, const QString& name) {
    for (const auto& [column, value] : columns) {
        if (column == name) {
            return value;
        }
    }
    return {};
}

LineStore::LineStore(Database& db, QString table, QString articleColumn, bool articleLinesByKind)
    : m_db(db),
      m_table(std::move(table)),
      m_articleColumn(std::move(articleColumn)),
      m_articleLinesByKind(articleLinesByKind) {}

QString LineStore::Id() const {
    return Q(QString::fromUtf16(RowKeyColumn(m_db.Dialect())));
}

bool LineStore::TakesFromLot(const DocumentLine& line) const {
    if (!line.lot) {
        return false;
    }
    return !m_articleLinesByKind ||
           ValueOf(line.other, kLineKind).toString() == QStringLiteral("ART");
}

void LineStore::LineArrives(const DocumentLine&) {}
void LineStore::LineLeaves(const DocumentLine&) {}

std::vector<DocumentLine> LineStore::List(const QStringList& otherColumns) {
    QStringList wanted = otherColumns;
    // The line kind decides whether a line takes stock, so it is always read where there is one.
    if (m_articleLinesByKind && !wanted.contains(kLineKind)) {
        wanted << kLineKind;
    }
    QString sql = QStringLiteral("SELECT ") + Id() + QStringLiteral(", ") + Q(m_articleColumn) +
                  QStringLiteral(", ") + Q(kLot) + QStringLiteral(", ") + Q(kQuantity);
    for (const QString& column : wanted) {
        sql += QStringLiteral(", ") + Q(column);
    }
    sql += QStringLiteral(" FROM ") + Q(m_table) + QStringLiteral(" WHERE ") + Filter() +
           QStringLiteral(" ORDER BY ") + Id();
    Statement rows = m_db.Prepare(sql);
    rows.Exec(FilterValues());
    std::vector<DocumentLine> lines;
    while (rows.Next()) {
        DocumentLine line;
        line.id = rows.Value(0).toLongLong();
        line.article = rows.Int(1);
        if (!rows.IsNull(2)) {
            line.lot = rows.Int(2);
        }
        line.quantity = rows.Double(3);
        for (int i = 0; i < wanted.size(); ++i) {
            line.other.emplace_back(wanted[i], rows.Value(4 + i));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

DocumentLine LineStore::Read(qint64 id) {
    for (DocumentLine& line : List()) {
        if (line.id == id) {
            return line;
        }
    }
    // Ids come from List or Add of this store; another is a programming error.
    throw std::logic_error("no such line in the store");
}

namespace {

// A working copy (its table ends in _PRIVREMENO) holds the rows of one session and what they
// reserve on lots: a change locks those rows, not the company. A posted document's lines are
// changed under the company's lock, as its posting is.
Transaction::Locking LockingOf(const QString& table) {
    return table.endsWith(QLatin1String("_PRIVREMENO")) ? Transaction::Locking::Rows
                                                        : Transaction::Locking::Company;
}

}  // namespace

qint64 LineStore::Add(const DocumentLine& line) {
    Transaction transaction(m_db, LockingOf(m_table));
    Columns columns = OwnerColumns();
    columns.emplace_back(m_articleColumn, line.article);
    columns.emplace_back(kLot, line.lot ? QVariant(*line.lot) : QVariant());
    columns.emplace_back(kQuantity, line.quantity);
    columns.insert(columns.end(), line.other.begin(), line.other.end());
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (const auto& [column, value] : columns) {
        names << Q(column);
        marks << QStringLiteral("?");
        values << value;
    }
    m_db.Exec(QStringLiteral("INSERT INTO ") + Q(m_table) + QStringLiteral(" (") +
                  names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                  marks.join(QStringLiteral(", ")) + QStringLiteral(")"),
              values);
    const qint64 id = m_db.Scalar(QStringLiteral("SELECT MAX(") + Id() + QStringLiteral(") FROM ") +
                                      Q(m_table) + QStringLiteral(" WHERE ") + Filter(),
                                  FilterValues())
                          .toLongLong();
    DocumentLine added = line;
    added.id = id;
    LineArrives(added);
    transaction.Commit();
    return id;
}

void LineStore::Update(const DocumentLine& line) {
    Transaction transaction(m_db, LockingOf(m_table));
    const DocumentLine before = Read(line.id);
    LineLeaves(before);
    Columns columns{{m_articleColumn, line.article},
                    {kLot, line.lot ? QVariant(*line.lot) : QVariant()},
                    {kQuantity, line.quantity}};
    columns.insert(columns.end(), line.other.begin(), line.other.end());
    QStringList assignments;
    QVariantList values;
    for (const auto& [column, value] : columns) {
        assignments << Q(column) + QStringLiteral(" = ?");
        values << value;
    }
    values << line.id;
    m_db.Exec(QStringLiteral("UPDATE ") + Q(m_table) + QStringLiteral(" SET ") +
                  assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + Id() +
                  QStringLiteral(" = ?"),
              values);
    // The line kind may be the one column the caller did not restate; the stored row decides.
    DocumentLine after = line;
    if (m_articleLinesByKind && !ValueOf(after.other, kLineKind).isValid()) {
        after.other.emplace_back(kLineKind, ValueOf(before.other, kLineKind));
    }
    LineArrives(after);
    transaction.Commit();
}

void LineStore::Remove(qint64 id) {
    Transaction transaction(m_db, LockingOf(m_table));
    const DocumentLine line = Read(id);
    m_db.Exec(QStringLiteral("DELETE FROM ") + Q(m_table) + QStringLiteral(" WHERE ") + Id() +
                  QStringLiteral(" = ?"),
              {id});
    LineLeaves(line);
    transaction.Commit();
}

const LineCopy& LineStore::FirstLines(DocumentKind kind) {
    return Info(kind).lines.front();
}

QString LineStore::ArticleColumn(Database& db, const LineCopy& copy, const QString& table) {
    if (!copy.articleColumn.isEmpty()) {
        return copy.articleColumn;
    }
    return db.Columns(table).contains(QStringLiteral("SIFRA_ARTIKLA"))
               ? QStringLiteral("SIFRA_ARTIKLA")
               : QStringLiteral("SIFRA");
}

}  // namespace zodra::documents
