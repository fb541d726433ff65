#include "ui/FieldForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/CommandRegistry.h"
#include "ui/DateBox.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

FieldForm::FieldForm(WindowHost& host, QList<FieldSpec> fields, const CommandRegistry* registry,
                     QWidget* parent)
    : QWidget(parent), m_host(host), m_fields(std::move(fields)), m_registry(registry) {
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const FieldSpec& field : m_fields) {
        QWidget* editor = MakeEditor(field);
        editor->setObjectName(field.key);
        m_editors.insert(field.key, editor);
        if (!field.reference.isEmpty() && m_registry && m_registry->FindEntry(field.reference)) {
            auto* row = new QWidget(this);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            h->addWidget(editor, 1);
            auto* shortcut = new QPushButton(
                field.referenceCaption.isEmpty() ? QStringLiteral("Novi…") : field.referenceCaption,
                row);
            shortcut->setObjectName(field.key + QStringLiteral("_novi"));
            MarkShortcutButton(shortcut);
            connect(shortcut, &QPushButton::clicked, this, [this, field] { AddByShortcut(field); });
            h->addWidget(shortcut);
            layout->addRow(field.label, row);
        } else {
            layout->addRow(field.label, editor);
        }
    }
    Reset();
}

QWidget* FieldForm::MakeEditor(const FieldSpec& field) {
    auto changed = [this] {
        if (!m_loading) {
            Q_EMIT edited();
        }
    };
    const QString key = field.key;
    auto commit = [this, key] {
        if (!m_loading) {
            Q_EMIT committed(key);
        }
    };
    // A text box commits when it is left after the user typed in it.
    auto commitTyped = [this, key](QLineEdit* e) {
        if (!m_loading && e->isModified()) {
            e->setModified(false);
            Q_EMIT committed(key);
        }
    };
    switch (field.kind) {
        case FieldSpec::Kind::Text: {
            auto* e = new QLineEdit(this);
            e->setReadOnly(field.readOnly);
            connect(e, &QLineEdit::textEdited, this, changed);
            connect(e, &QLineEdit::editingFinished, this, [e, commitTyped] { commitTyped(e); });
            return e;
        }
        case FieldSpec::Kind::Number: {
            auto* e = new NumberBox(m_host.UserPrompter(), this);
            e->SetDecimals(field.decimals);
            e->setReadOnly(field.readOnly);
            connect(e, &NumberBox::valueEdited, this, changed);
            connect(e, &QLineEdit::editingFinished, this, [e, commitTyped] { commitTyped(e); });
            return e;
        }
        case FieldSpec::Kind::Date: {
            auto* e = new DateBox(m_host.UserPrompter(), this);
            e->SetSundayWarning(field.sundayWarning);
            e->setReadOnly(field.readOnly);
            connect(e, &DateBox::dateEdited, this, changed);
            connect(e, &DateBox::dateEdited, this, commit);
            return e;
        }
        case FieldSpec::Kind::Check: {
            auto* e = new QCheckBox(this);
            e->setEnabled(!field.readOnly);
            connect(e, &QCheckBox::toggled, this, changed);
            connect(e, &QCheckBox::toggled, this, commit);
            return e;
        }
        case FieldSpec::Kind::Choice: {
            auto* e = new QComboBox(this);
            e->setEnabled(!field.readOnly);
            m_editors.insert(field.key, e);
            FillChoices(field);
            connect(e, &QComboBox::activated, this, changed);
            connect(e, &QComboBox::activated, this, commit);
            return e;
        }
        case FieldSpec::Kind::Memo: {
            auto* e = new QPlainTextEdit(this);
            e->setTabChangesFocus(true);
            e->setReadOnly(field.readOnly);
            e->setMaximumHeight(e->fontMetrics().height() * 5);
            connect(e, &QPlainTextEdit::textChanged, this, changed);
            return e;
        }
    }
    return new QWidget(this);
}

void FieldForm::FillChoices(const FieldSpec& field) {
    auto* box = qobject_cast<QComboBox*>(m_editors.value(field.key));
    if (!box || !field.choices) {
        return;
    }
    const QVariant current = box->currentData();
    const bool wasLoading = m_loading;
    m_loading = true;
    box->clear();
    if (!field.noneText.isNull()) {
        box->addItem(field.noneText, QVariant());
    }
    for (const Choice& c : field.choices(m_host.CurrentSession())) {
        box->addItem(c.name, c.value);
    }
    const int again = current.isValid() ? box->findData(current) : -1;
    box->setCurrentIndex(again >= 0 ? again : (box->count() > 0 ? 0 : -1));
    m_loading = wasLoading;
}

void FieldForm::RefillChoices() {
    for (const FieldSpec& field : m_fields) {
        if (field.kind == FieldSpec::Kind::Choice) {
            FillChoices(field);
        }
    }
}

void FieldForm::AddByShortcut(const FieldSpec& field) {
    const auto row = m_registry->OpenEntry(field.reference, m_host, this);
    if (!row) {
        return;
    }
    FillChoices(field);
    SetValue(field, row->code);
    Q_EMIT edited();
}

void FieldForm::SetValue(const FieldSpec& field, const QVariant& value) {
    QWidget* w = m_editors.value(field.key);
    const bool wasLoading = m_loading;
    m_loading = true;
    switch (field.kind) {
        case FieldSpec::Kind::Text:
            static_cast<QLineEdit*>(w)->setText(value.toString());
            break;
        case FieldSpec::Kind::Number:
            static_cast<NumberBox*>(w)->SetValue(value.toDouble());
            break;
        case FieldSpec::Kind::Date:
            static_cast<DateBox*>(w)->SetDate(value.isNull() ? QDate::currentDate()
                                                             : value.toDate());
            break;
        case FieldSpec::Kind::Check:
            static_cast<QCheckBox*>(w)->setChecked(value.toBool());
            break;
        case FieldSpec::Kind::Choice: {
            auto* box = static_cast<QComboBox*>(w);
            int index = -1;
            for (int i = 0; i < box->count(); ++i) {
                const QVariant d = box->itemData(i);
                if ((value.isNull() && d.isNull()) ||
                    (!value.isNull() && !d.isNull() && d.toString() == value.toString())) {
                    index = i;
                    break;
                }
            }
            box->setCurrentIndex(index >= 0 ? index : (box->count() > 0 ? 0 : -1));
            break;
        }
        case FieldSpec::Kind::Memo:
            static_cast<QPlainTextEdit*>(w)->setPlainText(value.toString());
            break;
    }
    m_loading = wasLoading;
}

QVariantMap FieldForm::Values() const {
    QVariantMap values;
    for (const FieldSpec& field : m_fields) {
        QWidget* w = m_editors.value(field.key);
        switch (field.kind) {
            case FieldSpec::Kind::Text:
                values[field.key] = static_cast<QLineEdit*>(w)->text();
                break;
            case FieldSpec::Kind::Number:
                values[field.key] = static_cast<NumberBox*>(w)->Value();
                break;
            case FieldSpec::Kind::Date:
                values[field.key] = static_cast<DateBox*>(w)->Date();
                break;
            case FieldSpec::Kind::Check:
                values[field.key] = static_cast<QCheckBox*>(w)->isChecked();
                break;
            case FieldSpec::Kind::Choice:
                values[field.key] = static_cast<QComboBox*>(w)->currentData();
                break;
            case FieldSpec::Kind::Memo:
                values[field.key] = static_cast<QPlainTextEdit*>(w)->toPlainText();
                break;
        }
    }
    return values;
}

void FieldForm::SetValues(const QVariantMap& values) {
    for (const FieldSpec& field : m_fields) {
        if (values.contains(field.key)) {
            SetValue(field, values.value(field.key));
        }
    }
}

void FieldForm::Reset() {
    for (const FieldSpec& field : m_fields) {
        SetValue(field, field.initial);
    }
}

QWidget* FieldForm::FirstEditor() const {
    for (const FieldSpec& field : m_fields) {
        if (!field.readOnly) {
            return m_editors.value(field.key);
        }
    }
    return nullptr;
}

void FieldForm::SetReadOnly(bool readOnly) {
    for (const FieldSpec& field : m_fields) {
        QWidget* w = m_editors.value(field.key);
        const bool ro = readOnly || field.readOnly;
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            line->setReadOnly(ro);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            memo->setReadOnly(ro);
        } else {
            w->setEnabled(!ro);
        }
    }
}

void FieldForm::CommitDates() {
    for (const FieldSpec& field : m_fields) {
        if (field.kind == FieldSpec::Kind::Date && !field.readOnly) {
            static_cast<DateBox*>(m_editors.value(field.key))->Commit();
        }
    }
}

}  // namespace zodra::ui
