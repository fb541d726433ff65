#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

#include "app/ui/FieldForm.h"
#include "data/registers/RegisterDescription.h"

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

// The windows' description of a register of the registers core (data/registers): its fields
// as boxes (texts as typed, so that the register's own number checks speak; flags as check
// boxes; references as choice boxes with a shortcut to the referenced register's entry window,
// an empty entry when the reference may stay empty), and its operations bound to the shared
// register operations (list, load, add and change through the entry checks, delete through
// its refusals, question and guards). `command` is the list window's control name; adjust the
// result before sharing it (captions, boxes, afterChange).
std::shared_ptr<RegisterDescription> FromRegister(const registers::RegisterDescription& core,
                                                  const QString& command);

}  // namespace zodra::ui
