#include "registers/ui/BillOfMaterialsWindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/BillsOfMaterials.h"
#include "registers/TypedValue.h"
#include "registers/ui/ArticlePicker.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

namespace {

QLineEdit* Line(const QString& name, const QString& placeholder, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setPlaceholderText(placeholder);
    return box;
}

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

BillOfMaterialsWindow::BillOfMaterialsWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Sifarnici_sastavnice"));
    setWindowTitle(QStringLiteral("Sastavnice"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Sastavnice (proizvod) :"), this));
    m_bills = new QListWidget(this);
    m_bills->setObjectName(QStringLiteral("List1"));
    m_bills->setMinimumWidth(240);
    left->addWidget(m_bills, 1);
    m_product = new ArticlePicker(host, this);
    m_product->setObjectName(QStringLiteral("Proizvod"));
    left->addWidget(m_product);
    auto* billButtons = new QHBoxLayout;
    auto* addBill = Button(QStringLiteral("Nova sastavnica"), QStringLiteral("Dodaj"), this);
    auto* deleteBill = Button(QStringLiteral("&Izbriši"), QStringLiteral("Izbrisi"), this);
    billButtons->addWidget(addBill);
    billButtons->addWidget(deleteBill);
    left->addLayout(billButtons);
    layout->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    auto* partsBox = new QGroupBox(QStringLiteral("Dijelovi"), this);
    auto* partsLayout = new QVBoxLayout(partsBox);
    m_parts = new zodra::ui::DataGrid(partsBox);
    m_parts->SetSortable(true);
    m_parts->setObjectName(QStringLiteral("Dijelovi"));
    partsLayout->addWidget(m_parts, 1);
    auto* partRow = new QHBoxLayout;
    m_part = new ArticlePicker(host, partsBox);
    m_part->setObjectName(QStringLiteral("Dio"));
    partRow->addWidget(m_part, 1);
    partRow->addWidget(
        Line(QStringLiteral("KolicinaDijela"), QStringLiteral("količina"), partsBox));
    partRow->addWidget(
        Line(QStringLiteral("Primka"), QStringLiteral("primka (0 = bilo koja)"), partsBox));
    auto* addPart = Button(QStringLiteral("Dodaj dio"), QStringLiteral("DodajDio"), partsBox);
    auto* removePart =
        Button(QStringLiteral("Izbriši dio"), QStringLiteral("IzbrisiDio"), partsBox);
    partRow->addWidget(addPart);
    partRow->addWidget(removePart);
    partsLayout->addLayout(partRow);
    right->addWidget(partsBox, 1);

    auto* costsBox = new QGroupBox(QStringLiteral("Troškovi"), this);
    auto* costsLayout = new QVBoxLayout(costsBox);
    m_costs = new zodra::ui::DataGrid(costsBox);
    m_costs->SetSortable(true);
    m_costs->setObjectName(QStringLiteral("Troskovi"));
    costsLayout->addWidget(m_costs, 1);
    auto* costRow = new QHBoxLayout;
    costRow->addWidget(Line(QStringLiteral("Opis"), QStringLiteral("opis"), costsBox), 1);
    costRow->addWidget(
        Line(QStringLiteral("KolicinaTroska"), QStringLiteral("količina"), costsBox));
    costRow->addWidget(Line(QStringLiteral("Cijena"), QStringLiteral("cijena"), costsBox));
    auto* addCost = Button(QStringLiteral("Dodaj trošak"), QStringLiteral("DodajTrosak"), costsBox);
    auto* removeCost =
        Button(QStringLiteral("Izbriši trošak"), QStringLiteral("IzbrisiTrosak"), costsBox);
    costRow->addWidget(addCost);
    costRow->addWidget(removeCost);
    costsLayout->addLayout(costRow);
    right->addWidget(costsBox, 1);
    auto* closeButton = Button(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(closeButton);
    right->addLayout(bottom);
    layout->addLayout(right, 5);

    connect(m_bills, &QListWidget::currentRowChanged, this, [this] { ShowBill(); });
    connect(addBill, &QPushButton::clicked, this, &BillOfMaterialsWindow::AddBill);
    connect(deleteBill, &QPushButton::clicked, this, &BillOfMaterialsWindow::DeleteBill);
    connect(addPart, &QPushButton::clicked, this, &BillOfMaterialsWindow::AddPart);
    connect(removePart, &QPushButton::clicked, this, &BillOfMaterialsWindow::RemovePart);
    connect(addCost, &QPushButton::clicked, this, &BillOfMaterialsWindow::AddCost);
    connect(removeCost, &QPushButton::clicked, this, &BillOfMaterialsWindow::RemoveCost);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            close();
        }
    });
    FillBills(0);
}

QLineEdit* BillOfMaterialsWindow::Field(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

int BillOfMaterialsWindow::CurrentBill() const {
    QListWidgetItem* item = m_bills->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

bool BillOfMaterialsWindow::SelectBill(int bill) {
    for (int i = 0; i < m_bills->count(); ++i) {
        if (m_bills->item(i)->data(Qt::UserRole).toInt() == bill) {
            m_bills->setCurrentRow(i);
            return true;
        }
    }
    return false;
}

void BillOfMaterialsWindow::FillBills(int select) {
    m_bills->clear();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const auto& bill : billsofmaterials::List(m_host.CurrentSession().Db())) {
            auto* item = new QListWidgetItem(bill.productName, m_bills);
            item->setData(Qt::UserRole, bill.code);
        }
    });
    if (!SelectBill(select) && m_bills->count() > 0) {
        m_bills->setCurrentRow(0);
    }
    ShowBill();
}

void BillOfMaterialsWindow::ShowBill() {
    const int bill = CurrentBill();
    TableData parts;
    parts.columns = {TableColumn{QStringLiteral("Artikal")}, TableColumn{QStringLiteral("JM")},
                     TableColumn{QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     TableColumn{QStringLiteral("Primka"), TableColumn::Format::Integer},
                     TableColumn{QStringLiteral("Šifra"), TableColumn::Format::Integer, -1, true}};
    TableData costs;
    costs.columns = {TableColumn{QStringLiteral("Opis")},
                     TableColumn{QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     TableColumn{QStringLiteral("Cijena"), TableColumn::Format::Money},
                     TableColumn{QStringLiteral("Vrijednost"), TableColumn::Format::Money},
                     TableColumn{QStringLiteral("Šifra"), TableColumn::Format::Integer, -1, true}};
    if (bill != 0) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            Database& db = m_host.CurrentSession().Db();
            for (const auto& part : billsofmaterials::Parts(db, bill)) {
                parts.rows.push_back({part.name, part.unit, part.quantity, part.lot, part.article});
            }
            for (const auto& cost : billsofmaterials::Costs(db, bill)) {
                costs.rows.push_back(
                    {cost.description, cost.quantity, cost.price, cost.value, cost.code});
            }
        });
    }
    m_parts->SetData(std::move(parts));
    m_costs->SetData(std::move(costs));
}

void BillOfMaterialsWindow::AddBill() {
    int bill = 0;
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            bill = billsofmaterials::Add(m_host.CurrentSession().Db(), m_product->Code());
        })) {
        FillBills(bill);
    }
}

void BillOfMaterialsWindow::DeleteBill() {
    const int bill = CurrentBill();
    if (bill == 0) {
        return;
    }
    bool deleted = false;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] {
                               deleted = billsofmaterials::Delete(m_host.CurrentSession().Db(),
                                                                  bill, m_host.UserPrompter());
                           }) &&
        deleted) {
        FillBills(0);
    }
}

void BillOfMaterialsWindow::AddPart() {
    const int bill = CurrentBill();
    if (bill == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana sastavnica"));
        return;
    }
    const QString lotText = Field(QStringLiteral("Primka"))->text().trimmed();
    const auto lot = lotText.isEmpty() ? std::optional<qint64>(0) : ParseInteger(lotText);
    if (!lot) {
        m_host.UserPrompter().Inform(QStringLiteral("Primka nije ispravno upisana"));
        return;
    }
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            billsofmaterials::SetPart(m_host.CurrentSession().Db(), bill, m_part->Code(),
                                      Field(QStringLiteral("KolicinaDijela"))->text(),
                                      static_cast<int>(*lot));
        })) {
        Field(QStringLiteral("KolicinaDijela"))->clear();
        Field(QStringLiteral("Primka"))->clear();
        ShowBill();
    }
}

void BillOfMaterialsWindow::RemovePart() {
    const int row = m_parts->CurrentRow();
    if (row < 0 || !m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati stavku ?"),
                                                   QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int article = m_parts->Data().Value(row, 4).toInt();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        billsofmaterials::RemovePart(m_host.CurrentSession().Db(), CurrentBill(), article);
    });
    ShowBill();
}

void BillOfMaterialsWindow::AddCost() {
    const int bill = CurrentBill();
    if (bill == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana sastavnica"));
        return;
    }
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            billsofmaterials::AddCost(m_host.CurrentSession().Db(), bill,
                                      Field(QStringLiteral("Opis"))->text(),
                                      Field(QStringLiteral("KolicinaTroska"))->text(),
                                      Field(QStringLiteral("Cijena"))->text());
        })) {
        for (const char16_t* name : {u"Opis", u"KolicinaTroska", u"Cijena"}) {
            Field(QString::fromUtf16(name))->clear();
        }
        ShowBill();
    }
}

void BillOfMaterialsWindow::RemoveCost() {
    const int row = m_costs->CurrentRow();
    if (row < 0 || !m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati stavku ?"),
                                                   QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int cost = m_costs->Data().Value(row, 4).toInt();
    zodra::ui::Guarded(m_host.UserPrompter(),
                       [&] { billsofmaterials::RemoveCost(m_host.CurrentSession().Db(), cost); });
    ShowBill();
}

}  // namespace zodra::registers::ui
