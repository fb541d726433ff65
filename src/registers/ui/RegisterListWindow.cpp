#include "registers/ui/RegisterListWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/RegisterStore.h"
#include "registers/ui/RegisterBoxes.h"
#include "registers/ui/RegisterEntryDialog.h"
#include "ui/FieldForm.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::registers::ui {

using zodra::ui::CommandRegistry;
using zodra::ui::FieldForm;
using zodra::ui::Guarded;
using zodra::ui::WindowHost;

RegisterListWindow::RegisterListWindow(WindowHost& host, const RegisterDescription& description,
                                       const CommandRegistry* registry,
                                       RegisterWindowOptions options, QWidget* parent)
    : QWidget(parent),
      m_host(host),
      m_description(description),
      m_registry(registry),
      m_options(std::move(options)) {
    setObjectName(ListWindowName(m_description));
    setWindowTitle(m_description.listCaption);
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setMinimumWidth(220);
    layout->addWidget(m_list, 1);

    auto* right = new QVBoxLayout;
    m_form = new FieldForm(host, FieldBoxes(m_description), registry, this);
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
    m_delete->setVisible(!m_description.deleteQuestion.isEmpty());
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
    connect(closeButton, &QPushButton::clicked, this,
            [this] { zodra::ui::CloseWindowFrame(this); });
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
    std::vector<SavedRow> rows;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { rows = registers::List(m_host.CurrentSession().Db(), m_description); })) {
        return;
    }
    const int keep = selectCode != 0 ? selectCode : m_shownCode;
    m_moving = true;
    m_list->clear();
    int selectRow = rows.empty() ? -1 : 0;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
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
    if (!Guarded(m_host.UserPrompter(), [&] {
            const auto stored = Load(m_host.CurrentSession().Db(), m_description, code);
            if (stored) {
                values = ShownValues(m_description, *stored);
            }
        })) {
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
    if (!m_dirty || m_shownCode == 0) {
        return true;
    }
    m_form->CommitDates();
    const QVariantMap values = m_form->Values();
    const int code = m_shownCode;
    if (!Guarded(m_host.UserPrompter(), [&] {
            Session& session = m_host.CurrentSession();
            Update(session.Db(), m_description, code, values, ContextOf(session));
        })) {
        return false;
    }
    m_dirty = false;
    m_save->setEnabled(false);
    if (m_shownRow >= 0 && values.contains(m_description.nameColumn)) {
        m_list->item(m_shownRow)
            ->setText(values.value(m_description.nameColumn).toString().trimmed());
    }
    Changed();
    return true;
}

void RegisterListWindow::AddNew() {
    if (m_dirty && !Save()) {
        return;
    }
    const auto row = OpenRegisterEntry(m_host, m_description, m_registry, m_options, this);
    if (row) {
        Reload(row->code);
    }
}

void RegisterListWindow::DeleteCurrent() {
    if (m_shownCode == 0 || m_description.deleteQuestion.isEmpty()) {
        return;
    }
    const QString name = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    const int code = m_shownCode;
    // The rows that can never be deleted are refused before the question; the references are
    // checked with the deletion itself, after the answer and under the write lock.
    if (!Guarded(m_host.UserPrompter(), [&] {
            Session& session = m_host.CurrentSession();
            RefuseBeforeQuestion(session.Db(), m_description, code, ContextOf(session));
        })) {
        return;
    }
    if (!m_host.UserPrompter().AskYesNo(DeleteQuestion(m_description, name), kDeleteTitle, false)) {
        return;
    }
    if (!Guarded(m_host.UserPrompter(), [&] {
            Session& session = m_host.CurrentSession();
            RefuseBeforeQuestion(session.Db(), m_description, code, ContextOf(session));
            DeleteAnswered(session.Db(), m_description, code);
        })) {
        return;
    }
    const int row = m_shownRow;
    m_dirty = false;
    m_shownCode = 0;
    Reload();
    if (m_list->count() > 0) {
        m_list->setCurrentRow(qMin(row, m_list->count() - 1));
    }
    Changed();
}

void RegisterListWindow::Changed() {
    if (m_options.afterChange) {
        m_options.afterChange(m_host);
    }
}

void RegisterListWindow::closeEvent(QCloseEvent* event) {
    if (m_dirty && !Save() &&
        !m_host.UserPrompter().AskYesNo(
            QStringLiteral("Promjene nisu spremljene. Želite li zatvoriti prozor bez spremanja?"),
            m_description.listCaption, false)) {
        event->ignore();
        return;
    }
    event->accept();
}

QString ListWindowName(const RegisterDescription& description) {
    return description.command.isEmpty() ? description.table : description.command;
}

RegisterListWindow* ShowRegisterList(WindowHost& host, const RegisterDescription& description,
                                     const CommandRegistry* registry,
                                     const RegisterWindowOptions& options) {
    if (auto* open =
            qobject_cast<RegisterListWindow*>(host.FindWindow(ListWindowName(description)))) {
        return open;
    }
    auto* window = new RegisterListWindow(host, description, registry, options);
    host.ShowWindow(window, description.listCaption);
    return window;
}

}  // namespace zodra::registers::ui
