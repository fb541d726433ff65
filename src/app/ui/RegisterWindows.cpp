#include "app/ui/RegisterWindows.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/ui/Guard.h"
#include "app/ui/WindowHost.h"
#include "data/Prompter.h"
#include "data/Session.h"

namespace zodra::ui {

void UseRegisterTable(RegisterDescription& d, const RegisterTable& table) {
    const RegisterTable* t = &table;
    d.name = table.Spec().table;
    d.nameKey = table.Spec().nameColumn;
    d.list = [t](Session& s) { return t->List(s.Db()); };
    d.read = [t](Session& s, int code) { return t->Read(s.Db(), code); };
    d.add = [t](Session& s, const QVariantMap& v) { return t->Add(s.Db(), v); };
    d.update = [t](Session& s, int code, const QVariantMap& v) { t->Update(s.Db(), code, v); };
    d.remove = [t](Session& s, int code) { t->Delete(s.Db(), code); };
}

// --- entry window ---

RegisterEntryDialog::RegisterEntryDialog(WindowHost& host,
                                         std::shared_ptr<const RegisterDescription> description,
                                         const CommandRegistry* registry, QWidget* parent)
    : QDialog(parent), m_host(host), m_description(std::move(description)) {
    setWindowTitle(m_description->entryCaption);
    setObjectName(m_description->name + QStringLiteral("_upis"));
    auto* layout = new QVBoxLayout(this);
    m_form = new FieldForm(host, m_description->fields, registry, this);
    layout->addWidget(m_form);
    auto* buttons = new QHBoxLayout;
    auto* acceptButton = new QPushButton(QStringLiteral("&Prihvati"), this);
    acceptButton->setObjectName(QStringLiteral("Prihvati"));
    auto* cancelButton = new QPushButton(QStringLiteral("&Odustani"), this);
    cancelButton->setObjectName(QStringLiteral("Odustani"));
    buttons->addStretch();
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(acceptButton, &QPushButton::clicked, this, [this] {
        if (Accept()) {
            accept();
        }
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    if (QWidget* first = m_form->FirstEditor()) {
        first->setFocus();
    }
}

bool RegisterEntryDialog::Accept() {
    m_form->CommitDates();
    const QVariantMap values = m_form->Values();
    int code = 0;
    const bool ok = Guarded(m_host.UserPrompter(),
                            [&] { code = m_description->add(m_host.CurrentSession(), values); });
    if (!ok) {
        return false;
    }
    m_added = NewRow{values.value(m_description->nameKey).toString().trimmed(), code};
    if (m_description->afterChange) {
        m_description->afterChange(m_host);
    }
    return true;
}

std::optional<NewRow> OpenRegisterEntry(WindowHost& host,
                                        std::shared_ptr<const RegisterDescription> description,
                                        const CommandRegistry* registry, QWidget* parent) {
    RegisterEntryDialog dialog(host, std::move(description), registry,
                               parent ? parent : host.DialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Added();
}

// --- list window ---

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
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            this->close();
        }
    });
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

void BindRegister(CommandRegistry& registry,
                  std::shared_ptr<const RegisterDescription> description) {
    const CommandRegistry* r = &registry;
    if (!description->command.isEmpty()) {
        registry.Register(description->command, [description, r](WindowHost& host) {
            ShowRegisterList(host, description, r);
        });
    }
    registry.RegisterEntry(description->name, [description, r](WindowHost& host, QWidget* parent) {
        return OpenRegisterEntry(host, description, r, parent);
    });
}

}  // namespace zodra::ui
