#include "ui/RegisterListWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/WindowTools.h"

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/Guard.h"
#include "ui/RegisterEntryDialog.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

RegisterListWindow::RegisterListWindow(WindowHost& host,
                                       std::shared_ptr<const RegisterDescription> description,
                                       const CommandRegistry* registry, QWidget* parent)
    : QWidget(parent), m_host(host), m_description(std::move(description)), m_registry(registry) {
    setObjectName(m_description->command);
    setWindowTitle(m_description->listCaption);
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setMinimumWidth(220);
    layout->addWidget(m_list, 1);

    auto* right = new QVBoxLayout;
    m_form = new FieldForm(host, m_description->fields, registry, this);
    m_form->SetReadOnly(!m_description->update);
    right->addWidget(m_form);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Dodaj"), this);
    add->setObjectName(QStringLiteral("Dodaj"));
    m_save = new QPushButton(QStringLiteral("&Spremi"), this);
    m_save->setObjectName(QStringLiteral("Spremi"));
    m_save->setEnabled(false);
    m_delete = new QPushButton(QStringLiteral("&Izbriši"), this);
    m_delete->setObjectName(QStringLiteral("Izbrisi"));
    m_delete->setVisible(static_cast<bool>(m_description->deleteQuestion));
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    buttons->addWidget(add);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    right->addLayout(buttons);
    layout->addLayout(right, 2);

    connect(add, &QPushButton::clicked, this, &RegisterListWindow::AddNew);
    connect(m_save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_delete, &QPushButton::clicked, this, &RegisterListWindow::DeleteCurrent);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    connect(m_list, &QListWidget::currentRowChanged, this, &RegisterListWindow::OnRowChanged);
    connect(m_form, &FieldForm::edited, this, [this] {
        m_dirty = m_shownCode != 0;
        m_save->setEnabled(m_dirty);
    });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, [this] { Save(); });
    Reload();
}

void RegisterListWindow::Reload(int selectCode) {
    QList<RegisterRow> rows;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { rows = m_description->list(m_host.CurrentSession()); })) {
        return;
    }
    const int keep = selectCode != 0 ? selectCode : m_shownCode;
    m_moving = true;
    m_list->clear();
    int selectRow = rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < rows.size(); ++i) {
        auto* item = new QListWidgetItem(rows[i].name, m_list);
        item->setData(Qt::UserRole, rows[i].code);
        if (rows[i].code == keep) {
            selectRow = i;
        }
    }
    m_moving = false;
    m_shownRow = -1;
    m_shownCode = 0;
    m_dirty = false;
    m_list->setCurrentRow(selectRow);
    if (selectRow < 0) {
        m_form->Reset();
        m_form->setEnabled(false);
        m_save->setEnabled(false);
    }
    m_delete->setEnabled(selectRow >= 0);
}

int RegisterListWindow::CurrentCode() const {
    return m_shownCode;
}

bool RegisterListWindow::SelectCode(int code) {
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->data(Qt::UserRole).toInt() == code) {
            m_list->setCurrentRow(i);
            return m_shownCode == code;
        }
    }
    return false;
}

void RegisterListWindow::ShowRow(int code) {
    QVariantMap values;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { values = m_description->read(m_host.CurrentSession(), code); })) {
        return;
    }
    m_form->setEnabled(true);
    m_form->RefillChoices();
    m_form->SetValues(values);
    m_shownCode = code;
    m_dirty = false;
    m_save->setEnabled(false);
}

void RegisterListWindow::OnRowChanged(int row) {
    if (m_moving) {
        return;
    }
    if (m_dirty && !Save()) {
        // The changes were refused: stay on the row with everything typed.
        m_moving = true;
        m_list->setCurrentRow(m_shownRow);
        m_moving = false;
        return;
    }
    m_shownRow = row;
    m_delete->setEnabled(row >= 0);
    if (row < 0) {
        return;
    }
    ShowRow(m_list->item(row)->data(Qt::UserRole).toInt());
}

bool RegisterListWindow::Save() {
    if (!m_dirty || m_shownCode == 0 || !m_description->update) {
        return true;
    }
    m_form->CommitDates();
    const QVariantMap values = m_form->Values();
    const int code = m_shownCode;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { m_description->update(m_host.CurrentSession(), code, values); })) {
        return false;
    }
    m_dirty = false;
    m_save->setEnabled(false);
    if (m_shownRow >= 0 && values.contains(m_description->nameKey)) {
        m_list->item(m_shownRow)
            ->setText(values.value(m_description->nameKey).toString().trimmed());
    }
    if (m_description->afterChange) {
        m_description->afterChange(m_host);
    }
    return true;
}

void RegisterListWindow::AddNew() {
    if (m_dirty && !Save()) {
        return;
    }
    const auto row = OpenRegisterEntry(m_host, m_description, m_registry, this);
    if (row) {
        Reload(row->code);
    }
}

void RegisterListWindow::DeleteCurrent() {
    if (m_shownCode == 0 || !m_description->deleteQuestion) {
        return;
    }
    const QString name = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    const int refused = m_shownCode;
    if (m_description->refuseBeforeDelete && !Guarded(m_host.UserPrompter(), [&] {
            m_description->refuseBeforeDelete(m_host.CurrentSession(), refused);
        })) {
        return;
    }
    if (!m_host.UserPrompter().AskYesNo(m_description->deleteQuestion(name),
                                        QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int code = m_shownCode;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { m_description->remove(m_host.CurrentSession(), code); })) {
        return;
    }
    const int row = m_shownRow;
    m_dirty = false;
    m_shownCode = 0;
    Reload();
    if (m_list->count() > 0) {
        m_list->setCurrentRow(qMin(row, m_list->count() - 1));
    }
    if (m_description->afterChange) {
        m_description->afterChange(m_host);
    }
}

void RegisterListWindow::closeEvent(QCloseEvent* event) {
    if (m_dirty && !Save() &&
        !m_host.UserPrompter().AskYesNo(
            QStringLiteral("Promjene nisu spremljene. Želite li zatvoriti prozor bez spremanja?"),
            m_description->listCaption, false)) {
        event->ignore();
        return;
    }
    event->accept();
}

RegisterListWindow* ShowRegisterList(WindowHost& host,
                                     std::shared_ptr<const RegisterDescription> description,
                                     const CommandRegistry* registry) {
    if (auto* open = qobject_cast<RegisterListWindow*>(host.FindWindow(description->command))) {
        return open;
    }
    auto* window = new RegisterListWindow(host, description, registry);
    host.ShowWindow(window, description->listCaption);
    return window;
}

}  // namespace zodra::ui
