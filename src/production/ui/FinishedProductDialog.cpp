#include "production/ui/FinishedProductDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "production/WorkOrder.h"
#include "production/WorkOrderList.h"
#include "stock/Lots.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

using zodra::ui::NumberBox;

namespace {

QComboBox* Choices(QWidget* parent, const QString& name,
                   const std::vector<std::pair<int, QString>>& choices) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItem(QString(), 0);
    for (const auto& [code, text] : choices) {
        box->addItem(text, code);
    }
    return box;
}

bool Choose(QComboBox* box, int code) {
    const int index = box->findData(code);
    if (index >= 0) {
        box->setCurrentIndex(index);
    }
    return index >= 0;
}

}  // namespace

FinishedProductDialog::FinishedProductDialog(zodra::ui::WindowHost& host, int code, QWidget* parent)
    : QDialog(parent), m_host(host), m_code(code) {
    setObjectName(QStringLiteral("frmUpisDorade"));
    setWindowTitle(QStringLiteral("Upis"));
    std::vector<std::pair<int, QString>> articles;
    std::vector<std::pair<int, QString>> material;
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        articles = ArticleChoices(host.CurrentSession().Db());
        material = MaterialChoices(host.CurrentSession());
    });
    const auto number = [&](const QString& name, limits::NumberKind kind, const QString& what) {
        auto* box = new NumberBox(host.UserPrompter(), this);
        box->setObjectName(name);
        box->setMaximumWidth(140);
        box->SetLimit(kind, what);
        return box;
    };
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_products = Choices(this, QStringLiteral("Proizvod"), articles);
    form->addRow(QStringLiteral("&Proizvod :"), m_products);
    m_quantity = number(QStringLiteral("Kolicina"), limits::NumberKind::Quantity,
                        QStringLiteral("Količina"));
    form->addRow(QStringLiteral("&Količina :"), m_quantity);
    m_fromBill = new QCheckBox(QStringLiteral(" Materijal po &sastavnici"), this);
    m_fromBill->setObjectName(QStringLiteral("PoSastavnici"));
    form->addRow(QString(), m_fromBill);
    layout->addLayout(form);

    auto* materialRow = new QHBoxLayout;
    m_materialArticle = Choices(this, QStringLiteral("Materijal"), material);
    m_materialQuantity = number(QStringLiteral("KolicinaMaterijala"), limits::NumberKind::Quantity,
                                QStringLiteral("Količina"));
    auto* addMaterial = new QPushButton(QStringLiteral("Dodaj &materijal"), this);
    addMaterial->setObjectName(QStringLiteral("DodajMaterijal"));
    materialRow->addWidget(new QLabel(QStringLiteral("Materijal :"), this));
    materialRow->addWidget(m_materialArticle, 1);
    materialRow->addWidget(new QLabel(QStringLiteral("Kol. materijala :"), this));
    materialRow->addWidget(m_materialQuantity);
    materialRow->addWidget(addMaterial);
    layout->addLayout(materialRow);
    m_materialGrid = new zodra::ui::DataGrid(this);
    m_materialGrid->setObjectName(QStringLiteral("MaterijalGrid"));
    layout->addWidget(m_materialGrid, 1);

    auto* serviceRow = new QHBoxLayout;
    m_serviceText = new QLineEdit(this);
    m_serviceText->setObjectName(QStringLiteral("Usluga"));
    m_serviceQuantity = number(QStringLiteral("KolicinaUsluge"), limits::NumberKind::Quantity,
                               QStringLiteral("Količina"));
    m_servicePrice =
        number(QStringLiteral("CijenaUsluge"), limits::NumberKind::Price, QStringLiteral("Cijena"));
    m_servicePrice->SetDecimals(2);
    auto* addService = new QPushButton(QStringLiteral("Dodaj &uslugu"), this);
    addService->setObjectName(QStringLiteral("DodajUslugu"));
    serviceRow->addWidget(new QLabel(QStringLiteral("Usluga :"), this));
    serviceRow->addWidget(m_serviceText, 1);
    serviceRow->addWidget(new QLabel(QStringLiteral("Kol. usluge :"), this));
    serviceRow->addWidget(m_serviceQuantity);
    serviceRow->addWidget(new QLabel(QStringLiteral("Cijena usluge :"), this));
    serviceRow->addWidget(m_servicePrice);
    serviceRow->addWidget(addService);
    layout->addLayout(serviceRow);
    m_serviceGrid = new zodra::ui::DataGrid(this);
    m_serviceGrid->setObjectName(QStringLiteral("UslugeGrid"));
    layout->addWidget(m_serviceGrid, 1);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &FinishedProductDialog::Accept);
    connect(addMaterial, &QPushButton::clicked, this, &FinishedProductDialog::AddMaterial);
    connect(addService, &QPushButton::clicked, this, &FinishedProductDialog::AddService);
    ShowGathered();
    m_products->setFocus();
    resize(720, 520);
}

bool FinishedProductDialog::ChooseProduct(int product) {
    return Choose(m_products, product);
}

bool FinishedProductDialog::ChooseMaterial(int article) {
    return Choose(m_materialArticle, article);
}

// Material and services are gathered here and checked as a whole when the line is accepted;
// gathering refuses only what can never be right (nothing chosen, no description, a bad number).
void FinishedProductDialog::AddMaterial() {
    if (!m_materialQuantity->Commit()) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const int article = m_materialArticle->currentData().toInt();
        if (article <= 0) {
            throw UserError(NoProductMessage());
        }
        if (m_materialQuantity->Value() <= 0) {
            throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
        }
        m_material.push_back({article, m_materialQuantity->Value(), 0});
        m_materialArticle->setCurrentIndex(0);
        m_materialQuantity->SetValue(0);
        ShowGathered();
        m_materialArticle->setFocus();
    });
}

void FinishedProductDialog::AddService() {
    if (!m_serviceQuantity->Commit() || !m_servicePrice->Commit()) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        if (m_serviceText->text().trimmed().isEmpty()) {
            throw UserError(NoServiceTextMessage());
        }
        if (m_serviceQuantity->Value() <= 0) {
            throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
        }
        m_services.push_back(
            {m_serviceText->text().trimmed(), m_serviceQuantity->Value(), m_servicePrice->Value()});
        m_serviceText->clear();
        m_serviceQuantity->SetValue(0);
        m_servicePrice->SetValue(0);
        ShowGathered();
        m_serviceText->setFocus();
    });
}

void FinishedProductDialog::ShowGathered() {
    using F = TableColumn::Format;
    TableData material;
    material.columns = {{QStringLiteral("Materijal"), F::Text},
                        {QStringLiteral("Količina"), F::Quantity}};
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const MaterialEntry& m : m_material) {
            material.rows.push_back(
                {stock::ArticleName(m_host.CurrentSession().Db(), m.article), m.quantity});
        }
    });
    TableData services;
    services.columns = {{QStringLiteral("Usluga"), F::Text},
                        {QStringLiteral("Količina"), F::Quantity},
                        {QStringLiteral("Cijena"), F::Money},
                        {QStringLiteral("Vrijednost"), F::Money}};
    for (const ServiceEntry& s : m_services) {
        services.rows.push_back({s.description, s.quantity, s.price, s.quantity * s.price});
    }
    m_materialGrid->SetData(std::move(material));
    m_serviceGrid->SetData(std::move(services));
}

void FinishedProductDialog::Accept() {
    if (!m_quantity->Commit()) {
        return;
    }
    FinishedProductEntry entry;
    entry.product = m_products->currentData().toInt();
    entry.quantity = m_quantity->Value();
    entry.fromBill = m_fromBill->isChecked();
    entry.material = m_material;
    entry.services = m_services;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] { AddFinishedProduct(m_host.CurrentSession(), m_code, entry); })) {
        m_added = true;
        QDialog::accept();
    }
}

}  // namespace zodra::production::ui
