#include "registers/ui/ExtraDataDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/Articles.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

ExtraDataDialog::ExtraDataDialog(zodra::ui::WindowHost& host, int article, QWidget* parent)
    : QDialog(parent), m_host(host), m_article(article) {
    setObjectName(QStringLiteral("DodatniPodaci"));
    setWindowTitle(QStringLiteral("Dodatni podaci"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Podaci"));
    layout->addWidget(m_list);
    auto* row = new QHBoxLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Naziv"));
    auto* add = new QPushButton(QStringLiteral("&Dodaj"), this);
    add->setObjectName(QStringLiteral("Dodaj"));
    auto* remove = new QPushButton(QStringLiteral("&Izbriši"), this);
    remove->setObjectName(QStringLiteral("Izbrisi"));
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    row->addWidget(m_name, 1);
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(closeButton);
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, &ExtraDataDialog::AddTyped);
    connect(remove, &QPushButton::clicked, this, &ExtraDataDialog::DeleteSelected);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
}

void ExtraDataDialog::Fill() {
    m_list->clear();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const auto& row : articles::ExtraDataOf(m_host.CurrentSession().Db(), m_article)) {
            auto* item = new QListWidgetItem(
                QString::number(row.position) + QStringLiteral(". ") + row.name, m_list);
            item->setData(Qt::UserRole, row.position);
        }
    });
}

void ExtraDataDialog::AddTyped() {
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            articles::AddExtraData(m_host.CurrentSession().Db(), m_article, m_name->text());
        })) {
        m_name->clear();
        Fill();
    }
}

void ExtraDataDialog::DeleteSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr ||
        !m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati stavku ?"),
                                        QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int position = item->data(Qt::UserRole).toInt();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        articles::DeleteExtraData(m_host.CurrentSession().Db(), m_article, position);
    });
    Fill();
}

}  // namespace zodra::registers::ui
