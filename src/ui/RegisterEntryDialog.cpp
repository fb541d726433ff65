#include "ui/RegisterEntryDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

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

}  // namespace zodra::ui
