#include "purchasing/ui/SummaryDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "purchasing/ReceiptChoices.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

SummaryDialog::SummaryDialog(zodra::ui::WindowHost& host, const ReceiptSummary& summary,
                             QWidget* parent)
    : QDialog(parent), m_host(host), m_accepted(summary) {
    setObjectName(QStringLiteral("frmZbirniPodaciPrimke"));
    setWindowTitle(QStringLiteral("Zbirni podaci primke"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        QStringLiteral("Upisani iznosi imaju kontrolnu funkciju: kod knjiženja primke uspoređuju "
                       "se sa zbrojevima po stavkama. Rabat, carina, špedicija i zavisni troškovi "
                       "raspoređuju se na stavke artikala kao postotak primke."),
        this);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #444444"));
    layout->addWidget(note);

    // Every amount of the summary is an amount with a sign; its message names it as its label.
    auto number = [&](const QString& name, const QString& label) {
        auto* b = new zodra::ui::NumberBox(host.UserPrompter(), this);
        b->setObjectName(name);
        b->SetLimit(zodra::limits::NumberKind::Amount, label);
        b->SetDecimals(2);
        b->setMaximumWidth(150);
        return b;
    };
    auto* currencyBox = new QGroupBox(QStringLiteral("Valuta dokumenta"), this);
    auto* currencyForm = new QFormLayout(currencyBox);
    m_currency = new QComboBox(currencyBox);
    m_currency->setObjectName(QStringLiteral("Valuta"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const Choice& currency : Currencies(host.CurrentSession().Db())) {
            m_currency->addItem(currency.name, currency.code);
        }
    });
    currencyForm->addRow(QStringLiteral("Valuta :"), m_currency);
    m_rateDate = new zodra::ui::DateBox(host.UserPrompter(), currencyBox);
    m_rateDate->setObjectName(QStringLiteral("DatumTecaja"));
    m_rateDate->SetLimitName(QStringLiteral("Datum tečaja"));
    currencyForm->addRow(QStringLiteral("Datum tečaja :"), m_rateDate);
    m_rate = new QLabel(currencyBox);
    m_rate->setObjectName(QStringLiteral("Tecaj"));
    currencyForm->addRow(QStringLiteral("Tečaj :"), m_rate);
    m_currencyInvoice = number(QStringLiteral("FakturnaVrijednostValuta"),
                               QStringLiteral("Fakturna vrijednost u valuti"));
    currencyForm->addRow(QStringLiteral("Fakturna vrijednost u valuti :"), m_currencyInvoice);
    m_currencyDiscount =
        number(QStringLiteral("RabatValuta"), QStringLiteral("Rabat iznos u valuti"));
    currencyForm->addRow(QStringLiteral("Rabat iznos u valuti :"), m_currencyDiscount);

    auto* amounts = new QGroupBox(QStringLiteral("Iznosi"), this);
    auto* form = new QFormLayout(amounts);
    m_invoice = number(QStringLiteral("FakturnaVrijednost"), QStringLiteral("Fakturna vrijednost"));
    form->addRow(QStringLiteral("Fakturna vrijednost :"), m_invoice);
    m_discount = number(QStringLiteral("RabatIznos"), QStringLiteral("Rabat iznos"));
    form->addRow(QStringLiteral("Rabat iznos :"), m_discount);
    m_customs = number(QStringLiteral("CarinaIznos"), QStringLiteral("Carina iznos"));
    form->addRow(QStringLiteral("Carina iznos :"), m_customs);
    m_forwarding = number(QStringLiteral("SpedicijaIznos"), QStringLiteral("Špedicija iznos"));
    form->addRow(QStringLiteral("Špedicija iznos :"), m_forwarding);
    m_other = number(QStringLiteral("ZavisniTroskovi"), QStringLiteral("Zavisni troškovi"));
    form->addRow(QStringLiteral("Zavisni troškovi :"), m_other);
    m_customsFromArticles = new QCheckBox(QStringLiteral("Carina % iz artikala"), amounts);
    m_customsFromArticles->setObjectName(QStringLiteral("CarinaIzArtikala"));
    form->addRow(QString(), m_customsFromArticles);

    auto* top = new QHBoxLayout;
    top->addWidget(amounts, 1);
    top->addWidget(currencyBox, 1);
    layout->addLayout(top);

    auto* itemsBox = new QGroupBox(QStringLiteral("Zavisni troškovi po stavkama"), this);
    auto* itemsLayout = new QVBoxLayout(itemsBox);
    m_items = new QTableWidget(0, 2, itemsBox);
    m_items->setObjectName(QStringLiteral("StavkeZavisnihTroskova"));
    m_items->setHorizontalHeaderLabels({QStringLiteral("Opis"), QStringLiteral("Iznos")});
    m_items->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_items->verticalHeader()->setVisible(false);
    m_items->setMinimumHeight(110);
    itemsLayout->addWidget(m_items);
    auto* itemButtons = new QHBoxLayout;
    auto* addItem = new QPushButton(QStringLiteral("Dodaj trošak"), itemsBox);
    addItem->setObjectName(QStringLiteral("DodajTrosak"));
    auto* removeItem = new QPushButton(QStringLiteral("Izbriši trošak"), itemsBox);
    removeItem->setObjectName(QStringLiteral("IzbrisiTrosak"));
    itemButtons->addWidget(addItem);
    itemButtons->addWidget(removeItem);
    itemButtons->addStretch();
    itemsLayout->addLayout(itemButtons);
    layout->addWidget(itemsBox);
    // The itemised costs are kept only by companies that want them ("Dodatni zavisni
    // troškovi"); a receipt that already has items shows them whatever the setting.
    itemsBox->setVisible(host.CurrentSession().company.additionalDependentCosts ||
                         !summary.items.empty());

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    QPushButton* accept = buttons->AcceptButton();
    layout->addWidget(buttons);

    // The values as they are.
    m_filling = true;
    const int currency = m_currency->findData(summary.currency);
    m_currency->setCurrentIndex(currency >= 0 ? currency : 0);
    m_rateDate->SetDate(summary.rateDate.isValid() ? summary.rateDate : QDate::currentDate());
    m_invoice->SetValue(summary.invoiceValue);
    m_discount->SetValue(summary.discount);
    m_currencyInvoice->SetValue(summary.currencyInvoiceValue);
    m_currencyDiscount->SetValue(summary.currencyDiscount);
    m_customs->SetValue(summary.customs);
    m_forwarding->SetValue(summary.forwarding);
    m_other->SetValue(summary.otherCosts);
    m_customsFromArticles->setChecked(summary.customsFromArticles);
    for (const DependentCost& item : summary.items) {
        AddItem(item.description, item.amount);
    }
    m_filling = false;
    CurrencyChanged();
    ItemsChanged();

    connect(m_currency, &QComboBox::currentIndexChanged, this, &SummaryDialog::CurrencyChanged);
    connect(m_rateDate, &zodra::ui::DateBox::dateEdited, this, &SummaryDialog::CurrencyChanged);
    connect(m_currencyInvoice, &zodra::ui::NumberBox::valueEdited, this,
            &SummaryDialog::CurrencyChanged);
    connect(m_currencyDiscount, &zodra::ui::NumberBox::valueEdited, this,
            &SummaryDialog::CurrencyChanged);
    connect(m_items, &QTableWidget::itemChanged, this, &SummaryDialog::ItemsChanged);
    connect(addItem, &QPushButton::clicked, this, [this] {
        AddItem(QString(), 0);
        m_items->setCurrentCell(m_items->rowCount() - 1, 0);
        m_items->editItem(m_items->item(m_items->rowCount() - 1, 0));
    });
    connect(removeItem, &QPushButton::clicked, this, [this] {
        if (m_items->currentRow() >= 0) {
            m_items->removeRow(m_items->currentRow());
            ItemsChanged();
        }
    });
    connect(accept, &QPushButton::clicked, this, [this] {
        if (AcceptSummaryData()) {
            QDialog::accept();
        }
    });
    resize(720, itemsBox->isVisible() ? 460 : 300);
}

void SummaryDialog::AddItem(const QString& description, double amount) {
    const bool was = m_filling;
    m_filling = true;
    const int row = m_items->rowCount();
    m_items->insertRow(row);
    m_items->setItem(row, 0, new QTableWidgetItem(description));
    // An amount shows its cents, as the amount boxes above do.
    auto* value = new QTableWidgetItem(MoneyText(amount));
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_items->setItem(row, 1, value);
    m_filling = was;
    ItemsChanged();
}

// A foreign currency: the invoice value and discount are typed in it and the home amounts
// follow at the rate of the date; the home currency types them directly.
void SummaryDialog::CurrencyChanged() {
    if (m_filling) {
        return;
    }
    const int currency = m_currency->currentData().toInt();
    const bool foreign = currency > 1;
    m_currencyInvoice->setEnabled(foreign);
    m_currencyDiscount->setEnabled(foreign);
    m_rateDate->setEnabled(foreign);
    m_invoice->setReadOnly(foreign);
    m_discount->setReadOnly(foreign);
    if (!foreign) {
        m_rate->setText(QStringLiteral("1"));
        return;
    }
    std::optional<double> rate;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        rate = exchangerates::RateOn(m_host.CurrentSession().Db(), currency, m_rateDate->Date());
    });
    if (!rate) {
        m_rate->setText(QStringLiteral("nije upisan"));
        return;
    }
    m_rate->setText(inputrules::FormatNumber(*rate, 6));
    m_invoice->SetValue(m_currencyInvoice->Value() * *rate);
    m_discount->SetValue(m_currencyDiscount->Value() * *rate);
}

// With items, the other dependent costs are their sum.
void SummaryDialog::ItemsChanged() {
    if (m_filling) {
        return;
    }
    MoneyTotal sum;
    for (int r = 0; r < m_items->rowCount(); ++r) {
        const QTableWidgetItem* amount = m_items->item(r, 1);
        if (amount) {
            sum += inputrules::ParseNumber(amount->text()).value_or(0.0);
        }
    }
    m_other->setReadOnly(m_items->rowCount() > 0);
    if (m_items->rowCount() > 0) {
        m_other->SetValue(sum.Value());
    }
}

ReceiptSummary SummaryDialog::Typed() const {
    ReceiptSummary s;
    s.currency = m_currency->currentData().toInt() > 0 ? m_currency->currentData().toInt() : 1;
    s.rateDate = m_rateDate->Date();
    s.invoiceValue = m_invoice->Value();
    s.discount = m_discount->Value();
    s.currencyInvoiceValue = m_currencyInvoice->Value();
    s.currencyDiscount = m_currencyDiscount->Value();
    s.customs = m_customs->Value();
    s.forwarding = m_forwarding->Value();
    s.otherCosts = m_other->Value();
    s.customsFromArticles = m_customsFromArticles->isChecked();
    for (int r = 0; r < m_items->rowCount(); ++r) {
        const QString description = m_items->item(r, 0) ? m_items->item(r, 0)->text() : QString();
        const double amount =
            m_items->item(r, 1) ? inputrules::ParseNumber(m_items->item(r, 1)->text()).value_or(0.0)
                                : 0.0;
        if (!description.trimmed().isEmpty() || amount != 0.0) {
            s.items.push_back({description.trimmed(), amount});
        }
    }
    return s;
}

bool SummaryDialog::AcceptSummaryData() {
    m_rateDate->Commit();
    ReceiptSummary accepted;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            accepted = AcceptSummary(m_host.CurrentSession().Db(), Typed());
        })) {
        return false;
    }
    m_accepted = accepted;
    return true;
}

}  // namespace zodra::purchasing::ui
