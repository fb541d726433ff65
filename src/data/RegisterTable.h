#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

namespace zodra {

class Database;

// A simple register (one table keyed by an auto-numbered code, a name, a few more columns):
// list, read, the entry checks in order, add, change and delete. Registers with rules of their
// own wrap it (extra checks before Add, delete guards) rather than copy it.
struct RegisterColumn {
    enum class Type { Text, Integer, Double, Boolean, Date };
    QString column;  // the table's column, e.g. "NAZIV"
    Type type = Type::Text;
    bool required = false;  // text: not empty (blanks do not count)
    int maxLength = 0;      // text: at most this many characters (0: any)
    // Shown when a required text is empty or too long, e.g.
    // "Naziv je duži od 25 znakova ili nije upisan".
    QString lengthMessage;
    // Shown when a number column gets something that is not a number.
    QString numberMessage;
};

struct RegisterRow {
    int code = 0;
    QString name;
};

struct RegisterTableSpec {
    QString table;                                 // "SKLADISTA"
    QString key = QStringLiteral("SIFRA");         // auto-numbered code
    QString nameColumn = QStringLiteral("NAZIV");  // shown in lists, handed back after adding
    std::vector<RegisterColumn> columns;           // checked and written in this order
    // Shown when another row has the same name (compared without regard to letter case);
    // "%1" is the name. Empty: names may repeat.
    QString duplicateNameMessage;
};

class RegisterTable {
public:
    explicit RegisterTable(RegisterTableSpec spec);
    const RegisterTableSpec& Spec() const { return m_spec; }

    // Every row, ordered by name in Croatian order.
    QList<RegisterRow> List(Database& db) const;
    // The values of one row by column name (empty when there is no such row).
    QVariantMap Read(Database& db, int code) const;
    // The entry checks in column order, then the duplicate name; throws UserError with the first
    // failing check's message. `code` is the row being changed (0 for a new row).
    void Check(Database& db, const QVariantMap& values, int code = 0) const;
    // Checks and adds a row; returns its new code.
    int Add(Database& db, const QVariantMap& values) const;
    // Checks and writes the columns given in `values`.
    void Update(Database& db, int code, const QVariantMap& values) const;
    void Delete(Database& db, int code) const;
    QString Name(Database& db, int code) const;

private:
    QVariant Stored(const RegisterColumn& column, const QVariant& value) const;

    RegisterTableSpec m_spec;
};

}  // namespace zodra
