#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <functional>

namespace zodra {
class Session;
}

namespace zodra::ui {

class CommandRegistry;
class WindowHost;

// An entry of a choice box: what it shows and the value it stands for (usually a code).
struct Choice {
    QString name;
    QVariant value;
};

// One field of a register or document header, as a description: the window builds the box.
struct FieldSpec {
    enum class Kind { Text, Number, Date, Check, Choice, Memo };
    QString key;    // key of the value (usually the column), e.g. "NAZIV"
    QString label;  // "Naziv :"
    Kind kind = Kind::Text;
    QVariant initial;            // value in a new row ("kom", 15, today for dates when null)
    int decimals = -1;           // Number: fixed decimals shown
    bool sundayWarning = false;  // Date: a document date
    bool readOnly = false;
    // Choice: the entries (read again after a shortcut added a row); `noneText` adds an empty
    // entry first (value null) when set.
    std::function<QList<Choice>(Session&)> choices;
    QString noneText;
    // A shortcut button beside the field that opens the entry window of this register (e.g.
    // "GRUPE_A") and selects the new row.
    QString reference;
    QString referenceCaption;  // the button's caption, e.g. "Nova grupa"
};

// The boxes of a list of fields in a form layout, with the kit's boxes for numbers and dates.
// Values go in and out as a map keyed by FieldSpec::key: text as QString, numbers as double,
// dates as QDate, checks as bool, choices as their value.
class FieldForm : public QWidget {
    Q_OBJECT
public:
    FieldForm(WindowHost& host, QList<FieldSpec> fields, const CommandRegistry* registry,
              QWidget* parent = nullptr);

    QVariantMap Values() const;
    // Sets the values given; keys not given keep their boxes as they are.
    void SetValues(const QVariantMap& values);
    // Every box to its initial value.
    void Reset();
    QWidget* Editor(const QString& key) const { return m_editors.value(key); }
    QWidget* FirstEditor() const;
    void RefillChoices();
    void SetReadOnly(bool readOnly);
    // Checks the date boxes the user may still be typing in (see DateBox::Commit).
    void CommitDates();

Q_SIGNALS:
    // The user changed a value.
    void edited();
    // The user changed a value and left it (a text box left after typing, a date accepted, a
    // choice made, a box ticked): the moment a window may write the value.
    void committed(const QString& key);

private:
    QWidget* MakeEditor(const FieldSpec& field);
    void SetValue(const FieldSpec& field, const QVariant& value);
    void FillChoices(const FieldSpec& field);
    void AddByShortcut(const FieldSpec& field);

    WindowHost& m_host;
    QList<FieldSpec> m_fields;
    const CommandRegistry* m_registry;
    QMap<QString, QWidget*> m_editors;
    bool m_loading = false;
};

}  // namespace zodra::ui
