#include "production/ui/ProductEntryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "production/BillPrices.h"
#include "registers/BillsOfMaterials.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

namespace bom = registers::billsofmaterials;
using zodra::ui::NumberBox;

namespace {
const QString kTitle = QStringLiteral("Upis");
}

ProductEntryDialog::ProductEntryDialog(zodra::ui::WindowHost& host, const WorkOrderCodes& codes,
                                       QWidget* parent)
    : QDialog(parent), m_host(host), m_codes(codes) {
    setObjectName(QStringLiteral("frmUpisProizvoda"));
    setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_products = new QComboBox(this);
    m_products->setObjectName(QStringLiteral("Proizvodi"));
    m_products->addItem(QString(), 0);
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const bom::Bill& bill : bom::List(host.CurrentSession().Db())) {
            m_products->addItem(bill.productName, bill.product);
        }
    });
    form->addRow(QStringLiteral("Proizvodi :"), m_products);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Dijelovi :"), this));
    m_parts = new zodra::ui::DataGrid(this);
    m_parts->setObjectName(QStringLiteral("Dijelovi"));
    layout->addWidget(m_parts, 2);
    layout->addWidget(new QLabel(QStringLiteral("Troškovi :"), this));
    m_costs = new zodra::ui::DataGrid(this);
    m_costs->setObjectName(QStringLiteral("Troskovi"));
    layout->addWidget(m_costs, 1);

    auto* boxes = new QFormLayout;
    auto add = [&](const QString& label, const QString& name, limits::NumberKind kind,
                   const QString& limitName) {
        auto* box = new NumberBox(host.UserPrompter(), this);
        box->setObjectName(name);
        box->setMaximumWidth(160);
        box->SetLimit(kind, limitName);
        boxes->addRow(label, box);
        return box;
    };
    m_quantity = add(QStringLiteral("Količina :"), QStringLiteral("Kolicina"),
                     limits::NumberKind::Quantity, QStringLiteral("Količina"));
    m_material = add(QStringLiteral("Cijena materijala :"), QStringLiteral("CijenaMaterijala"),
                     limits::NumberKind::Price, QStringLiteral("Cijena materijala"));
    m_dependent = add(QStringLiteral("Zavisni trošak :"), QStringLiteral("ZavisniTrosak"),
                      limits::NumberKind::Price, QStringLiteral("Zavisni trošak"));
    m_selling = add(QStringLiteral("Prodajna cijena :"), QStringLiteral("ProdajnaCijena"),
                    limits::NumberKind::Price, QStringLiteral("Prodajna cijena"));
    m_sellingWithTax = add(QStringLiteral("Prod. c. s por. :"), QStringLiteral("ProdCSPor"),
                           limits::NumberKind::Price, QStringLiteral("Prodajna cijena"));
    for (NumberBox* box : {m_material, m_dependent, m_selling, m_sellingWithTax}) {
        box->SetDecimals(2);
    }
    layout->addLayout(boxes);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);

    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &ProductEntryDialog::Accept);
    connect(m_products, &QComboBox::currentIndexChanged, this, &ProductEntryDialog::ProductChosen);
    connect(m_quantity, &QLineEdit::editingFinished, this, &ProductEntryDialog::CheckQuantity);
    connect(m_selling, &NumberBox::valueEdited, this,
            [this](double price) { m_sellingWithTax->SetValue(WithTax(price, m_taxRate)); });
    connect(m_sellingWithTax, &NumberBox::valueEdited, this,
            [this](double price) { m_selling->SetValue(WithoutTax(price, m_taxRate)); });
    ProductChosen();
    m_products->setFocus();
    resize(620, 560);
}

int ProductEntryDialog::Product() const {
    return m_products->currentData().toInt();
}

bool ProductEntryDialog::ChooseProduct(int product) {
    const int index = m_products->findData(product);
    if (index < 0) {
        return false;
    }
    m_products->setCurrentIndex(index);
    return true;
}

void ProductEntryDialog::ProductChosen() {
    TableData parts;
    parts.columns = {{QStringLiteral("Naziv"), TableColumn::Format::Text},
                     {QStringLiteral("JM"), TableColumn::Format::Text},
                     {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     {QStringLiteral("Broj primke"), TableColumn::Format::Integer}};
    TableData costs;
    costs.columns = {{QStringLiteral("Opis"), TableColumn::Format::Text},
                     {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     {QStringLiteral("Cijena"), TableColumn::Format::Money},
                     {QStringLiteral("Vrijednost"), TableColumn::Format::Money}};
    BillPrices prices;
    double dependent = 0;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        const std::optional<int> bill = bom::BillOf(session.Db(), Product());
        if (!bill) {
            return;
        }
        for (const bom::Part& p : bom::Parts(session.Db(), *bill)) {
            parts.rows.push_back(
                {p.name, p.unit, p.quantity, p.lot == 0 ? QVariant() : QVariant(p.lot)});
        }
        for (const bom::Cost& c : bom::Costs(session.Db(), *bill)) {
            costs.rows.push_back({c.description, c.quantity, c.price, c.value});
        }
        prices = PricesOf(session, *bill);
        dependent = bom::DependentCostPerUnit(session.Db(), *bill);
    });
    m_parts->SetData(std::move(parts));
    m_costs->SetData(std::move(costs));
    m_taxRate = prices.taxRate;
    m_material->SetValue(prices.materialPrice);
    m_dependent->SetValue(dependent);
    m_selling->SetValue(prices.sellingPrice);
    m_sellingWithTax->SetValue(prices.sellingPriceWithTax);
}

void ProductEntryDialog::CheckQuantity() {
    const double quantity = m_quantity->Value();
    if (Product() == 0 || quantity <= 0) {
        return;
    }
    QuantityCheck check;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            check = CheckProductQuantity(m_host.CurrentSession(), Product(), quantity);
        })) {
        return;
    }
    for (const QString& warning : check.warnings) {
        m_host.UserPrompter().Inform(warning, kTitle);
    }
    if (!check.warnings.isEmpty()) {
        m_quantity->SetValue(check.allowed);
        m_quantity->setFocus();
        m_quantity->selectAll();
    }
}

void ProductEntryDialog::Accept() {
    for (NumberBox* box : {m_quantity, m_material, m_dependent, m_selling, m_sellingWithTax}) {
        if (!box->Commit()) {
            return;
        }
    }
    ProductEntry entry;
    entry.product = Product();
    entry.quantity = m_quantity->Value();
    entry.materialPrice = m_material->Value();
    entry.dependentCost = m_dependent->Value();
    entry.sellingPrice = m_selling->Value();
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] { AddProduct(m_host.CurrentSession(), m_codes, entry); })) {
        m_added = true;
        QDialog::accept();
    }
}

}  // namespace zodra::production::ui
