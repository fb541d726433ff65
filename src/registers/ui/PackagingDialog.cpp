#include "registers/ui/PackagingDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/Articles.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

PackagingDialog::PackagingDialog(zodra::ui::WindowHost& host, int article,
                                 const zodra::ui::CommandRegistry* registry, QWidget* parent)
    : QDialog(parent), m_host(host), m_article(article), m_registry(registry) {
    setObjectName(QStringLiteral("AmbalazaArtikla"));
    setWindowTitle(QStringLiteral("Ambalaža"));
    auto* layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(0, 2, this);
    m_grid->setObjectName(QStringLiteral("Ambalaza"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Ambalaža"), QStringLiteral("Količina")});
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid);
    auto* row = new QHBoxLayout;
    m_packaging = new QComboBox(this);
    m_packaging->setObjectName(QStringLiteral("IzborAmbalaze"));
    m_quantity = new QLineEdit(QStringLiteral("1"), this);
    m_quantity->setObjectName(QStringLiteral("Kolicina"));
    m_quantity->setMaximumWidth(80);
    auto* fresh = new QPushButton(QStringLiteral("Nova ambalaža"), this);
    fresh->setObjectName(QStringLiteral("NovaAmbalaza"));
    fresh->setEnabled(registry != nullptr && registry->FindEntry(QStringLiteral("AMBALAZA")));
    auto* add = new QPushButton(QStringLiteral("&Dodaj"), this);
    add->setObjectName(QStringLiteral("Dodaj"));
    auto* remove = new QPushButton(QStringLiteral("&Izbriši"), this);
    remove->setObjectName(QStringLiteral("Izbrisi"));
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    row->addWidget(m_packaging, 1);
    row->addWidget(fresh);
    row->addWidget(m_quantity);
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(closeButton);
    layout->addLayout(row);
    connect(fresh, &QPushButton::clicked, this, [this] {
        if (const auto added = m_registry->OpenEntry(QStringLiteral("AMBALAZA"), m_host, this)) {
            FillChoices(added->code);
        }
    });
    connect(add, &QPushButton::clicked, this, &PackagingDialog::AddChosen);
    connect(remove, &QPushButton::clicked, this, &PackagingDialog::DeleteSelected);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 300);
    FillChoices(0);
    Fill();
}

void PackagingDialog::FillChoices(int select) {
    m_packaging->clear();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const SavedRow& row : List(m_host.CurrentSession().Db(), catalogue::Packaging())) {
            m_packaging->addItem(row.name, row.code);
        }
    });
    const int index = m_packaging->findData(select);
    if (index >= 0) {
        m_packaging->setCurrentIndex(index);
    }
}

void PackagingDialog::Fill() {
    m_grid->setRowCount(0);
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const auto& link : articles::PackagingOf(m_host.CurrentSession().Db(), m_article)) {
            const int r = m_grid->rowCount();
            m_grid->insertRow(r);
            auto* name = new QTableWidgetItem(link.name);
            name->setData(Qt::UserRole, link.packaging);
            m_grid->setItem(r, 0, name);
            auto* quantity = new QTableWidgetItem(inputrules::FormatNumber(link.quantity, 3));
            quantity->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, 1, quantity);
        }
    });
}

void PackagingDialog::AddChosen() {
    const QVariant packaging = m_packaging->currentData();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            articles::LinkPackaging(m_host.CurrentSession().Db(), m_article,
                                    packaging.isValid() ? packaging.toInt() : 0,
                                    m_quantity->text());
        })) {
        Fill();
    }
}

void PackagingDialog::DeleteSelected() {
    const int row = m_grid->currentRow();
    if (row < 0 || !m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati stavku ?"),
                                                   QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int packaging = m_grid->item(row, 0)->data(Qt::UserRole).toInt();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        articles::UnlinkPackaging(m_host.CurrentSession().Db(), m_article, packaging);
    });
    Fill();
}

}  // namespace zodra::registers::ui
