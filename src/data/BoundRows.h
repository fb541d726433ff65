#pragma once

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <vector>

#include "data/SqlDialect.h"

namespace zodra {

// Many rows of numbers bound to a statement as one value, so that one statement reads or writes
// a whole set of rows (the lots of every line of a document, every line's cost) instead of one
// statement per row: on a server each statement is a round trip. The statement's text stays the
// same whatever the number of rows, so a server prepares it once per connection, and no engine's
// limit on bound values is reached however many rows there are.
//
//   BoundRows rows({{"lot", BoundRows::Type::Integer}, {"q", BoundRows::Type::Real}});
//   rows.Add({12, 3.5});
//   db.Exec("UPDATE \"T\" SET \"Q\" = \"v\".\"q\" FROM " + rows.Source(db.Dialect(), "v") +
//           " WHERE \"T\".\"LOT\" = \"v\".\"lot\"", {rows.Value()});
class BoundRows {
public:
    enum class Type { Integer, Real };
    struct Column {
        QString name;
        Type type = Type::Integer;
    };

    explicit BoundRows(std::vector<Column> columns);

    // One row, a value per column in order; a null QVariant is NULL. A real that is not a
    // finite number is refused ("Vrijednost nije ispravan broj !") before anything is written.
    void Add(const std::vector<QVariant>& values);
    int Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }

    // The derived table over the rows, to be named in FROM: "(SELECT … ) AS alias", its columns
    // named and typed as given. It holds exactly one "?", bound to Value().
    QString Source(SqlDialect dialect, const QString& alias) const;
    QVariant Value() const;

private:
    std::vector<Column> m_columns;
    QString m_text;
    int m_size = 0;
};

}  // namespace zodra
