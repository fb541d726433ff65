#include "purchasing/ui/CalculationDialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/InputRules.h"
#include "data/Session.h"
#include "purchasing/ReceiptLimits.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

namespace {

using Box = PriceCalculation::Box;

struct Row {
    const char16_t* label;
    Box percent;
    Box unit;
    Box total;
};

constexpr Box kNone = Box::Count;

// The rows of the window: a label, then the box of the percent, of the unit amount and of the
// amount on the whole quantity where the row has one.
const Row kRows[] = {
    {u"Količina", kNone, Box::Quantity, kNone},
    {u"FAKT. CIJ./VRIJ. (u valuti)", kNone, Box::CurrencyPrice, Box::CurrencyValue},
    {u"F. cij. sa ambalažom", kNone, Box::PackagedPrice, Box::PackagedValue},
    {u"FAKT. CIJ./VRIJ.", kNone, Box::InvoicePrice, Box::InvoiceValue},
    {u"Rabat", Box::DiscountPercent, Box::DiscountUnit, Box::DiscountTotal},
    {u"Netto fak.c./v.", kNone, Box::NetPrice, Box::NetValue},
    {u"Carina", Box::CustomsPercent, Box::CustomsUnit, Box::CustomsTotal},
    {u"Špedicija", Box::ForwardingPercent, Box::ForwardingUnit, Box::ForwardingTotal},
    {u"Zavisni troškovi", Box::OtherCostsPercent, Box::OtherCostsUnit, Box::OtherCostsTotal},
    {u"NABAVNA C./V.", kNone, Box::CostPrice, Box::CostValue},
    {u"Marža", Box::MarginPercent, Box::MarginUnit, kNone},
    {u"Cijena bez poreza", kNone, Box::Price, kNone},
    {u"Porez %/iznos", Box::TaxPercent, Box::TaxUnit, kNone},
    {u"Cijena sa porezom", kNone, Box::PriceWithTax, kNone},
    {u"Cij. sa por. i amb.", kNone, Box::PriceWithTaxAndPackaging, kNone},
    {u"Malop. marža", Box::RetailMarginPercent, Box::RetailMarginUnit, kNone},
    {u"MPC", kNone, Box::RetailPrice, kNone},
};

QString Number(double value) {
    return inputrules::FormatNumber(value);
}

// The shortened calculation ("Skraćena kalkulacija") leaves out the rows that have nothing to
// say for this line: the currency row for a home-currency document, the packaging rows for an
// article without packaging, and customs, forwarding and other costs while they are 0. The
// chain still runs over every box; only what is shown changes.
bool ShownInShortForm(const Row& row, const PriceCalculation& calculation) {
    switch (row.unit) {
        case Box::CurrencyPrice:
            return calculation.Rate() != 1.0;
        case Box::PackagedPrice:
        case Box::PriceWithTaxAndPackaging:
            return calculation.PackagingPerUnit() != 0.0;
        case Box::CustomsUnit:
        case Box::ForwardingUnit:
        case Box::OtherCostsUnit:
            return calculation.Value(row.percent) != 0.0 || calculation.Value(row.total) != 0.0;
        default:
            return true;
    }
}

}  // namespace

CalculationDialog::CalculationDialog(zodra::ui::WindowHost& host, const ArticleFacts& facts,
                                     PriceCalculation calculation, QWidget* parent)
    : QDialog(parent), m_host(host), m_facts(facts), m_calculation(std::move(calculation)) {
    setObjectName(QStringLiteral("frmKalkulacija"));
    setWindowTitle(QStringLiteral("Kalkulacija cijena"));
    auto* layout = new QVBoxLayout(this);
    auto* article = new QLabel(facts.code + QStringLiteral("  ") + facts.name +
                                   QStringLiteral("  (") + facts.unit + QStringLiteral(")"),
                               this);
    article->setObjectName(QStringLiteral("Artikal"));
    QFont bold = article->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() + 1);
    article->setFont(bold);
    layout->addWidget(article);

    auto* body = new QHBoxLayout;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    const QString heads[] = {QString(), QStringLiteral("%"), QStringLiteral("Cijena / jedinica"),
                             QStringLiteral("Vrijednost")};
    for (int c = 1; c < 4; ++c) {
        auto* h = new QLabel(heads[c], this);
        h->setAlignment(Qt::AlignCenter);
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        grid->addWidget(h, 0, c);
    }
    const bool shortForm = host.CurrentSession().company.shortCalculation;
    int r = 1;
    for (const Row& row : kRows) {
        if (shortForm && !ShownInShortForm(row, m_calculation)) {
            continue;
        }
        grid->addWidget(new QLabel(QString::fromUtf16(row.label), this), r, 0);
        const Box boxes[] = {row.percent, row.unit, row.total};
        for (int c = 0; c < 3; ++c) {
            const Box b = boxes[c];
            if (b == kNone) {
                continue;
            }
            auto* box = new zodra::ui::NumberBox(host.UserPrompter(), this);
            box->setObjectName(QStringLiteral("Box%1").arg(static_cast<int>(b)));
            box->setMinimumWidth(c == 0 ? 110 : 120);
            box->setReadOnly(!PriceCalculation::Editable(b));
            box->SetLimit(KindOfBox(b), NameOfBox(b));
            m_boxes.insert(b, box);
            grid->addWidget(box, r, c + 1);
            connect(box, &zodra::ui::NumberBox::valueEdited, this,
                    [box] { box->setProperty("dirty", true); });
            connect(box, &QLineEdit::editingFinished, this, [this, b] { Left(b); });
        }
        ++r;
    }
    body->addLayout(grid, 1);

    auto* info = new QGroupBox(QStringLiteral("Podaci artikla"), this);
    auto* form = new QFormLayout(info);
    auto label = [&](const QString& text, const QString& name) {
        auto* l = new QLabel(text, info);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    form->addRow(
        QStringLiteral("Zadnja netto fakturna cijena u valuti"),
        label(facts.hasLastReceipt ? inputrules::FormatNumber(facts.lastCurrencyNetPrice, 4)
                                   : QString(),
              QStringLiteral("ZadnjaNettoCijena")));
    form->addRow(
        QStringLiteral("Zadnja prodajna cijena bez poreza"),
        label(facts.hasLastReceipt ? inputrules::FormatNumber(facts.lastPrice, 4) : QString(),
              QStringLiteral("ZadnjaProdajnaCijena")));
    form->addRow(
        QStringLiteral("Cijena u valuti"),
        label(facts.currency ? Number(facts.currencyPrice) + QLatin1Char(' ') + facts.currencyName
                             : QString(),
              QStringLiteral("CijenaUValuti")));
    form->addRow(QStringLiteral("Tečaj"),
                 label(Number(m_calculation.Rate()), QStringLiteral("Tecaj")));
    form->addRow(QStringLiteral("Ambalaža po jedinici"),
                 label(Number(m_calculation.PackagingPerUnit()), QStringLiteral("Ambalaza")));
    form->addRow(QStringLiteral("Zaliha"), label(Number(facts.stock), QStringLiteral("Zaliha")));
    body->addWidget(info, 0, Qt::AlignTop);
    layout->addLayout(body);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    QPushButton* accept = buttons->AcceptButton();
    connect(accept, &QPushButton::clicked, this, [this] {
        // A box still being typed in counts.
        if (auto* box = qobject_cast<zodra::ui::NumberBox*>(focusWidget())) {
            for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
                if (it.value() == box) {
                    Left(it.key());
                }
            }
        }
        QDialog::accept();
    });
    layout->addWidget(buttons);
    Show();
    if (auto* first = m_boxes.value(Box::CurrencyPrice, m_boxes.value(Box::InvoicePrice))) {
        first->setFocus();
    }
}

void CalculationDialog::Type(PriceCalculation::Box box, double value) {
    zodra::ui::NumberBox* b = m_boxes.value(box);
    if (!b) {
        return;
    }
    b->SetValue(value);
    b->setProperty("dirty", true);
    Left(box);
}

void CalculationDialog::Left(PriceCalculation::Box box) {
    zodra::ui::NumberBox* b = m_boxes.value(box);
    if (!b || !b->property("dirty").toBool()) {
        return;
    }
    b->setProperty("dirty", false);
    if (!PriceCalculation::Editable(box)) {
        return;
    }
    m_calculation.Type(box, b->Value());
    Show();
}

void CalculationDialog::Show() {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        it.value()->SetValue(m_calculation.Value(it.key()));
    }
}

}  // namespace zodra::purchasing::ui
