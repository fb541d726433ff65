#include "production/ui/BillsWindow.h"

#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "production/BillPrices.h"
#include "production/ProductionPrint.h"
#include "registers/BillsOfMaterials.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::production::ui {

namespace bom = registers::billsofmaterials;
using zodra::ui::DataGrid;
using zodra::ui::NumberBox;

namespace {

const QString kCaption = QStringLiteral("Sastavnice");

// A small entry dialog: its boxes in a form, "Prihvati" runs `accept`, which writes through the
// core; a refusal shows its message and keeps the dialog open with everything typed.
class EntryDialog : public QDialog {
public:
    EntryDialog(zodra::ui::WindowHost& host, const QString& title, const QString& name,
                QWidget* parent)
        : QDialog(parent), m_host(host), m_form(new QFormLayout) {
        setObjectName(name);
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(m_form);
        auto* buttons = new zodra::ui::DialogButtonRow(this);
        layout->addWidget(buttons);
        connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] {
            if (m_commit() && zodra::ui::Guarded(m_host.UserPrompter(), m_accept)) {
                QDialog::accept();
            }
        });
    }
    QFormLayout* Form() const { return m_form; }
    NumberBox* AddNumber(const QString& label, const QString& name, limits::NumberKind kind,
                         const QString& limitName) {
        auto* box = new NumberBox(m_host.UserPrompter(), this);
        box->setObjectName(name);
        box->setMaximumWidth(160);
        box->SetLimit(kind, limitName);
        m_form->addRow(label, box);
        m_boxes << box;
        return box;
    }
    void OnAccept(std::function<void()> accept) {
        m_accept = std::move(accept);
        m_commit = [this] {
            for (NumberBox* box : m_boxes) {
                if (!box->Commit()) {
                    return false;
                }
            }
            return true;
        };
    }

private:
    zodra::ui::WindowHost& m_host;
    QFormLayout* m_form;
    QList<NumberBox*> m_boxes;
    std::function<void()> m_accept;
    std::function<bool()> m_commit;
};

QString Money(double value) {
    return MoneyText(value);
}

}  // namespace

QString BillsWindow::CommandName() {
    return QStringLiteral("Sifarnici_sastavnice");
}

BillsWindow::BillsWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(CommandName());
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Proizvodi :"), this));
    m_bills = new DataGrid(this);
    m_bills->setObjectName(QStringLiteral("Proizvodi"));
    left->addWidget(m_bills, 1);
    body->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Dijelovi :"), this));
    m_parts = new DataGrid(this);
    m_parts->setObjectName(QStringLiteral("Dijelovi"));
    right->addWidget(m_parts, 2);
    right->addWidget(new QLabel(QStringLiteral("Troškovi :"), this));
    m_costs = new DataGrid(this);
    m_costs->setObjectName(QStringLiteral("Troskovi"));
    right->addWidget(m_costs, 1);
    auto* prices = new QGridLayout;
    auto addPrice = [&](int row, const QString& label, const QString& name) {
        auto* value = new QLabel(this);
        value->setObjectName(name);
        value->setAlignment(Qt::AlignRight);
        prices->addWidget(new QLabel(label, this), row, 0);
        prices->addWidget(value, row, 1);
        return value;
    };
    m_material =
        addPrice(0, QStringLiteral("Cijena materijala :"), QStringLiteral("CijenaMaterijala"));
    m_selling = addPrice(1, QStringLiteral("Prodajna cijena :"), QStringLiteral("ProdajnaCijena"));
    m_sellingWithTax =
        addPrice(2, QStringLiteral("Prod. c. s por. :"), QStringLiteral("ProdajnaCijenaSPorezom"));
    right->addLayout(prices);
    body->addLayout(right, 3);
    layout->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    const struct {
        const char16_t* caption;
        const char16_t* name;
        void (BillsWindow::*slot)();
    } kButtons[] = {
        {u"&Novi proizvod", u"NoviProizvod", &BillsWindow::AddBill},
        {u"Dodaj &dio", u"DodajDio", &BillsWindow::AddPart},
        {u"&Brisanje dijela", u"BrisanjeDijela", &BillsWindow::DeletePart},
        {u"Dodaj &trošak", u"DodajTrosak", &BillsWindow::AddCost},
        {u"B&risanje troška", u"BrisanjeTroska", &BillsWindow::DeleteCost},
        {u"&Ispis", u"Ispis", &BillsWindow::Print},
        {u"Izbriši &sastavnicu", u"Izbrisi", &BillsWindow::DeleteBill},
    };
    for (const auto& b : kButtons) {
        auto* button =
            zodra::ui::MakeButton(QString::fromUtf16(b.caption), QString::fromUtf16(b.name), this);
        connect(button, &QPushButton::clicked, this, b.slot);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);

    connect(m_bills->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &BillsWindow::ShowBill);
    ReloadBills(0);
    m_bills->setFocus();
    resize(900, 520);
}

int BillsWindow::CurrentBill() const {
    const int row = m_bills->CurrentRow();
    return row < 0 ? 0 : m_bills->Data().Value(row, 0).toInt();
}

bool BillsWindow::ShowProduct(int product) {
    for (int row = 0; row < m_bills->Data().RowCount(); ++row) {
        if (m_bills->Data().Value(row, 1).toInt() == product) {
            m_bills->SelectRow(row);
            ShowBill();
            return true;
        }
    }
    return false;
}

void BillsWindow::ReloadBills(int selectBill) {
    TableData rows;
    rows.columns = {{QStringLiteral("Šifra sastavnice"), TableColumn::Format::Integer, -1, true},
                    {QStringLiteral("Šifra"), TableColumn::Format::Integer, -1, true},
                    {QStringLiteral("Proizvod"), TableColumn::Format::Text}};
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const bom::Bill& bill : bom::List(m_host.CurrentSession().Db())) {
            rows.rows.push_back({bill.code, bill.product, bill.productName});
        }
    });
    m_bills->SetData(std::move(rows));
    int select = m_bills->Data().RowCount() > 0 ? 0 : -1;
    for (int row = 0; row < m_bills->Data().RowCount(); ++row) {
        if (m_bills->Data().Value(row, 0).toInt() == selectBill) {
            select = row;
        }
    }
    if (select >= 0) {
        m_bills->SelectRow(select);
    }
    ShowBill();
}

void BillsWindow::ShowBill() {
    const int bill = CurrentBill();
    TableData parts;
    parts.columns = {{QStringLiteral("Šifra"), TableColumn::Format::Integer, -1, true},
                     {QStringLiteral("Naziv"), TableColumn::Format::Text},
                     {QStringLiteral("JM"), TableColumn::Format::Text},
                     {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     {QStringLiteral("Broj primke"), TableColumn::Format::Integer}};
    TableData costs;
    costs.columns = {{QStringLiteral("Šifra"), TableColumn::Format::Integer, -1, true},
                     {QStringLiteral("Opis"), TableColumn::Format::Text},
                     {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                     {QStringLiteral("Cijena"), TableColumn::Format::Money},
                     {QStringLiteral("Vrijednost"), TableColumn::Format::Money}};
    BillPrices prices;
    if (bill != 0) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            Session& session = m_host.CurrentSession();
            for (const bom::Part& p : bom::Parts(session.Db(), bill)) {
                parts.rows.push_back({p.article, p.name, p.unit, p.quantity,
                                      p.lot == 0 ? QVariant() : QVariant(p.lot)});
            }
            for (const bom::Cost& c : bom::Costs(session.Db(), bill)) {
                costs.rows.push_back({c.code, c.description, c.quantity, c.price, c.value});
            }
            prices = PricesOf(session, bill);
        });
    }
    m_parts->SetData(std::move(parts));
    m_costs->SetData(std::move(costs));
    m_material->setText(bill ? Money(prices.materialPrice) : QString());
    m_selling->setText(bill ? Money(prices.sellingPrice) : QString());
    m_sellingWithTax->setText(bill ? Money(prices.sellingPriceWithTax) : QString());
}

void BillsWindow::AddBill() {
    EntryDialog dialog(m_host, QStringLiteral("Novi proizvod"), QStringLiteral("NoviProizvod"),
                       this);
    auto* picker = new registers::ui::ArticlePicker(m_host, &dialog);
    dialog.Form()->addRow(QStringLiteral("Proizvod :"), picker);
    int added = 0;
    dialog.OnAccept([&] { added = bom::Add(m_host.CurrentSession().Db(), picker->Code()); });
    if (dialog.exec() == QDialog::Accepted) {
        ReloadBills(added);
    }
}

void BillsWindow::AddPart() {
    const int bill = CurrentBill();
    if (bill == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana sastavnica !"), kCaption);
        return;
    }
    EntryDialog dialog(m_host, QStringLiteral("Dio sastavnice"), QStringLiteral("DioSastavnice"),
                       this);
    auto* picker = new registers::ui::ArticlePicker(m_host, &dialog);
    dialog.Form()->addRow(QStringLiteral("Artikal :"), picker);
    NumberBox* quantity =
        dialog.AddNumber(QStringLiteral("Količina :"), QStringLiteral("Kolicina"),
                         limits::NumberKind::Quantity, QStringLiteral("Količina"));
    NumberBox* lot = dialog.AddNumber(QStringLiteral("Broj primke :"), QStringLiteral("BrojPrimke"),
                                      limits::NumberKind::Price, QStringLiteral("Broj primke"));
    lot->SetDecimals(0);
    dialog.OnAccept([&] {
        Session& session = m_host.CurrentSession();
        if (picker->Code() == 0) {
            throw UserError(QStringLiteral("Nije izabran artikal"));
        }
        const double typedLot = lot->Value();
        if (typedLot != static_cast<int>(typedLot)) {
            throw UserError(QStringLiteral("Broj primke mora biti cijeli broj !"));
        }
        CheckPartLot(session, picker->Code(), static_cast<int>(typedLot));
        bom::SetPart(session.Db(), bill, picker->Code(), quantity->Value(),
                     static_cast<int>(typedLot));
    });
    if (dialog.exec() == QDialog::Accepted) {
        ShowBill();
    }
}

void BillsWindow::DeletePart() {
    const int bill = CurrentBill();
    const int row = m_parts->CurrentRow();
    if (bill == 0 || row < 0) {
        return;
    }
    if (!m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati dio ") +
                                            m_parts->Data().Value(row, 1).toString() +
                                            QStringLiteral(" ?"),
                                        kCaption, false)) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        bom::RemovePart(m_host.CurrentSession().Db(), bill, m_parts->Data().Value(row, 0).toInt());
    });
    ShowBill();
}

void BillsWindow::AddCost() {
    const int bill = CurrentBill();
    if (bill == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana sastavnica !"), kCaption);
        return;
    }
    EntryDialog dialog(m_host, QStringLiteral("Trošak"), QStringLiteral("Trosak"), this);
    auto* description = new QLineEdit(&dialog);
    description->setObjectName(QStringLiteral("Opis"));
    dialog.Form()->addRow(QStringLiteral("Opis :"), description);
    NumberBox* quantity =
        dialog.AddNumber(QStringLiteral("Količina :"), QStringLiteral("Kolicina"),
                         limits::NumberKind::Quantity, QStringLiteral("Količina"));
    NumberBox* price = dialog.AddNumber(QStringLiteral("Cijena :"), QStringLiteral("Cijena"),
                                        limits::NumberKind::Price, QStringLiteral("Cijena"));
    dialog.OnAccept([&] {
        bom::AddCost(m_host.CurrentSession().Db(), bill, description->text(), quantity->Value(),
                     price->Value());
    });
    if (dialog.exec() == QDialog::Accepted) {
        ShowBill();
    }
}

void BillsWindow::DeleteCost() {
    const int row = m_costs->CurrentRow();
    if (CurrentBill() == 0 || row < 0) {
        return;
    }
    if (!m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati trošak ") +
                                            m_costs->Data().Value(row, 1).toString() +
                                            QStringLiteral(" ?"),
                                        kCaption, false)) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        bom::RemoveCost(m_host.CurrentSession().Db(), m_costs->Data().Value(row, 0).toInt());
    });
    ShowBill();
}

void BillsWindow::Print() {
    const int bill = CurrentBill();
    if (bill == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana sastavnica !"), kCaption);
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        reports::ui::ShowReport(m_host, BillPrintRequest(m_host.CurrentSession(), bill));
    });
}

void BillsWindow::DeleteBill() {
    const int bill = CurrentBill();
    if (bill == 0) {
        return;
    }
    bool deleted = false;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        deleted = bom::Delete(m_host.CurrentSession().Db(), bill, m_host.UserPrompter());
    });
    if (deleted) {
        ReloadBills(0);
    }
}

}  // namespace zodra::production::ui
