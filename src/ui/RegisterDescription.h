#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "ui/FieldForm.h"

namespace zodra {
class Session;
}

namespace zodra::ui {

class WindowHost;

// A register as its windows see it: captions, the fields of the entry and list windows, and
// the core operations behind them. Every register has the same two windows: a list window
// (names on the left, the chosen row in bound fields on the right, edited in place) and an
// entry window for a new row that hands the new row's name and code back to its opener.
// A row as a list shows it.
struct RegisterRow {
    int code = 0;
    QString name;
};

struct RegisterDescription {
    QString name;          // register (table) name, e.g. "SKLADISTA": the entry window's key
    QString command;       // control name of the list window's command, e.g. "Skladista"
    QString listCaption;   // "Skladišta"
    QString entryCaption;  // "Upis novog skladišta"
    QList<FieldSpec> fields;
    QString nameKey = QStringLiteral("NAZIV");  // the field that names a row

    // Core operations. A refusal is a UserError with its message.
    std::function<QList<RegisterRow>(Session&)> list;      // names in list order
    std::function<QVariantMap(Session&, int code)> read;   // values of one row
    std::function<int(Session&, const QVariantMap&)> add;  // checks, adds, new code
    std::function<void(Session&, int, const QVariantMap&)>
        update;  // checks, saves; null: read-only
    // Deleting: refusals that need no question (rows that can never be deleted), then the
    // question (Yes/No titled "BRISANJE", No the default) for a row name, then the deletion
    // with its guards. A null deleteQuestion: the register has no delete.
    std::function<void(Session&, int code)> refuseBeforeDelete;  // may be null
    std::function<QString(const QString& name)> deleteQuestion;
    std::function<void(Session&, int code)> remove;
    // After a row was added, changed or deleted (e.g. refill the main window's warehouse box).
    std::function<void(WindowHost&)> afterChange;
};

}  // namespace zodra::ui
