#include "registers/ui/RegisterEntryDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/RegisterStore.h"
#include "registers/ui/RegisterBoxes.h"
#include "ui/FieldForm.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::registers::ui {

RegisterEntryDialog::RegisterEntryDialog(zodra::ui::WindowHost& host,
                                         const RegisterDescription& description,
                                         const zodra::ui::CommandRegistry* registry,
                                         RegisterWindowOptions options, QWidget* parent)
    : QDialog(parent), m_host(host), m_description(description), m_options(std::move(options)) {
    setWindowTitle(m_description.entryCaption);
    setObjectName(m_description.table + QStringLiteral("_upis"));
    auto* layout = new QVBoxLayout(this);
    m_form = new zodra::ui::FieldForm(host, FieldBoxes(m_description), registry, this);
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
    zodra::ui::FitTitle(this);
    if (QWidget* first = m_form->FirstEditor()) {
        first->setFocus();
    }
}

bool RegisterEntryDialog::Accept() {
    m_form->CommitDates();
    const QVariantMap values = m_form->Values();
    int code = 0;
    const bool ok = zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        code = Add(session.Db(), m_description, values, ContextOf(session)).code;
    });
    if (!ok) {
        return false;
    }
    m_added = zodra::ui::NewRow{values.value(m_description.nameColumn).toString().trimmed(), code};
    if (m_options.afterChange) {
        m_options.afterChange(m_host);
    }
    return true;
}

std::optional<zodra::ui::NewRow> OpenRegisterEntry(zodra::ui::WindowHost& host,
                                                   const RegisterDescription& description,
                                                   const zodra::ui::CommandRegistry* registry,
                                                   const RegisterWindowOptions& options,
                                                   QWidget* parent) {
    RegisterEntryDialog dialog(host, description, registry, options,
                               parent ? parent : host.DialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Added();
}

}  // namespace zodra::registers::ui
