#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

#include "data/InputLimits.h"

namespace zodra {
class Database;
}

namespace zodra::registers {

// The values of one register row as the entry window holds them, by column name: text boxes
// give their text as typed (numbers included: "12,5"), check boxes a bool, lookup boxes the
// chosen code (or nothing).
using Values = QVariantMap;

// What a register operation may need to know about the workstation that runs it.
struct OperationContext {
    int activeWarehouse = 0;
};

enum class FieldKind {
    Text,       // stored trimmed; empty is stored as NULL
    Number,     // typed text or a number, stored as a double
    Integer,    // a whole number
    Flag,       // a check box
    Reference,  // the code of a row of another register
};

struct Field {
    QString column;
    QString caption;  // label of the entry box, header of the exported file
    FieldKind kind = FieldKind::Text;
    QString startValue;  // what an empty entry window shows
    QString referenceTable;
    // Reference fields that may stay empty: the value stored for "none" (NULL when invalid).
    bool optional = false;
    QVariant noneValue;
    // Text boxes of several lines: tab and line breaks belong to the text.
    bool multiLine = false;
    // The range a number box's value must lie in when it comes from a file (limits::CheckNumber).
    std::optional<limits::NumberKind> limit;
    // Reference fields: the caption of the button beside the box that opens the referenced
    // register's entry window and chooses the new row ("Nova grupa").
    QString shortcutCaption;
};

// One entry check, run in the order the description lists them; the first that fails stops
// the entry with its message.
struct Check {
    enum class Kind {
        Length,     // text longer than maxLength (or empty when required)
        Number,     // not a number
        Integer,    // not a whole number
        Reference,  // no row with that code in the referenced table
    };
    Kind kind = Kind::Length;
    QString column;
    int maxLength = 0;
    bool required = false;
    QString message;
};

// A search for another row with the same value; empty values are never duplicates.
struct DuplicateCheck {
    QString column;
    QString before;  // message = before + value + after
    QString after;
    // Compare letter case folded ("ČAJ" equals "čaj"); codes such as OIB compare exactly.
    bool folded = true;
};

// A row that can never be deleted, recognised by its code range or its name.
struct ProtectedRow {
    int fromCode = 0;
    int toCode = -1;  // code range; empty when toCode < fromCode
    QString name;     // or the exact name
    // The refusal; receives the row's name.
    std::function<QString(const QString&)> message;
};

// A reference that forbids deleting: the query returns a row while the register row is still
// used somewhere. Every "?" of the query is bound to the row's code.
struct DeleteGuard {
    QString sql;
    QString message;
};

// The description of a register: everything the list and entry windows, the import and the
// generic operations need to know about it.
struct RegisterDescription {
    QString id;     // short name used by the command line: "artikli", "partneri"
    QString table;  // also the name the register's entry window is opened by
    QString keyColumn = QStringLiteral("SIFRA");
    QString nameColumn = QStringLiteral("NAZIV");
    // The control name of the menu command that opens the register's list window
    // ("Skladista"); empty when no menu item opens it (the price lists' register is reached
    // from the price-list window).
    QString command;
    QString listCaption;   // "Skladišta": the list window's caption
    QString entryCaption;  // "Upis novog skladišta": the entry window's caption
    std::vector<Field> fields;
    std::vector<Check> checks;
    std::vector<DuplicateCheck> duplicates;

    QString deleteQuestion;  // question = deleteQuestion + name + " ?"
    std::vector<ProtectedRow> protectedRows;
    std::vector<DeleteGuard> deleteGuards;
    // Dependent rows deleted together with the row ("?" = its code), in this order.
    std::vector<QString> cascadeDeletes;

    // Hooks for what a plain description cannot say. Each may throw UserError.
    // Before a row is written (code 0 for a new row): derived columns, extra refusals. It writes
    // nothing, so that a refused row of an import leaves nothing behind.
    std::function<void(Database&, int code, Values& stored, const OperationContext&)> beforeSave;
    // After a new row is written.
    std::function<void(Database&, int code, Values& stored)> afterAdd;
    // Extra delete refusal that needs the workstation's context.
    std::function<std::optional<QString>(Database&, int code, const OperationContext&)>
        deleteRefusal;

    const Field* FindField(const QString& column) const;
};

}  // namespace zodra::registers
