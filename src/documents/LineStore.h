#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

#include "data/DocumentKind.h"

namespace zodra {
class Database;
}

namespace zodra::documents {

// Further columns of a line or a header, by their schema names, in the order they are written.
using Columns = std::vector<std::pair<QString, QVariant>>;

// The value of a column in a list of columns, or an invalid QVariant.
QVariant ValueOf(const Columns& columns, const QString& name);

// One line of a document as a line store holds it. Article, lot and quantity are what stock
// cares about; everything else a kind keeps on its lines (prices, tax group, line number, the
// line kind of invoice lines) travels in `other`.
struct DocumentLine {
    qint64 id = 0;  // the row within its store, given by the store
    int article = 0;
    std::optional<int> lot;  // BROJ_PRIMKE; none for lines that take nothing from a lot
    double quantity = 0;
    Columns other;
};

// The lines of one document, wherever they are kept: a working copy (rows under the session
// code while the document is drawn up) or a posted document (rows under its key). A document
// controller edits its lines through this interface alone, so the same line editing serves a
// new document and a correction of a posted one. Every change runs in a transaction of its own
// (a savepoint inside the caller's), so a line and what it does to stock change together.
class LineStore {
public:
    LineStore(Database& db, QString table, QString articleColumn, bool articleLinesByKind);
    virtual ~LineStore() = default;
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    const QString& Table() const { return m_table; }

    // The lines in the order they were added, each with the further columns asked for.
    std::vector<DocumentLine> List(const QStringList& otherColumns = {});
    // Adds a line and returns its id.
    qint64 Add(const DocumentLine& line);
    // Rewrites the line with the id: article, lot, quantity and the columns in `other`.
    void Update(const DocumentLine& line);
    void Remove(qint64 id);

protected:
    // The rows of this store: the WHERE clause (without "WHERE") and its values.
    virtual QString Filter() const = 0;
    virtual QVariantList FilterValues() const = 0;
    // Columns every new row gets (the key of a posted document, the session code of a working
    // copy).
    virtual Columns OwnerColumns() const = 0;
    // What stock makes of a line that arrives in or leaves the store; nothing by default.
    virtual void LineArrives(const DocumentLine& line);
    virtual void LineLeaves(const DocumentLine& line);

    Database& Db() { return m_db; }
    // The first line table of a document kind (its article lines).
    static const LineCopy& FirstLines(DocumentKind kind);
    // The column that holds the article in `table` (the kind's working or posted line table):
    // the copy description names it, else invoice-like tables, which carry no tax group of
    // their own and leave it unnamed, call it SIFRA where the others say SIFRA_ARTIKLA.
    static QString ArticleColumn(Database& db, const LineCopy& copy, const QString& table);
    // Whether the line takes from a lot at all (an article line that names one).
    bool TakesFromLot(const DocumentLine& line) const;

private:
    DocumentLine Read(qint64 id);
    QString Id() const;

    Database& m_db;
    QString m_table;
    QString m_articleColumn;
    bool m_articleLinesByKind;
};

}  // namespace zodra::documents
