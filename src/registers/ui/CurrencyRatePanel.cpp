#include "registers/ui/CurrencyRatePanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/ExchangeRates.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

CurrencyRatePanel::CurrencyRatePanel(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Tecajevi"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tečajevi :"), this));
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->SetSortable(true);
    m_grid->setObjectName(QStringLiteral("TecajeviValute"));
    layout->addWidget(m_grid, 1);
    auto* row = new QHBoxLayout;
    m_date = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_date->setObjectName(QStringLiteral("Datum"));
    m_date->SetDate(QDate::currentDate());
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("Tecaj"));
    m_rate->setMaximumWidth(100);
    auto* store = new QPushButton(QStringLiteral("Upiši tečaj"), this);
    store->setObjectName(QStringLiteral("UpisiTecaj"));
    auto* remove = new QPushButton(QStringLiteral("Izbriši tečaj"), this);
    remove->setObjectName(QStringLiteral("IzbrisiTecaj"));
    row->addWidget(m_date);
    row->addWidget(m_rate);
    row->addWidget(store);
    row->addWidget(remove);
    layout->addLayout(row);
    connect(store, &QPushButton::clicked, this, &CurrencyRatePanel::StoreTyped);
    connect(remove, &QPushButton::clicked, this, &CurrencyRatePanel::DeleteSelected);
    setMinimumWidth(320);
}

void CurrencyRatePanel::SetCurrency(int code) {
    m_currency = code;
    Fill();
}

void CurrencyRatePanel::Fill() {
    TableData rates;
    rates.columns = {TableColumn{QStringLiteral("Datum"), TableColumn::Format::Date},
                     TableColumn{QStringLiteral("Tečaj"), TableColumn::Format::Number, 6}};
    if (m_currency != 0) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            for (const auto& rate :
                 exchangerates::RatesOf(m_host.CurrentSession().Db(), m_currency)) {
                rates.rows.push_back({rate.date, rate.rate});
            }
        });
    }
    m_grid->SetData(std::move(rates));
}

void CurrencyRatePanel::StoreTyped() {
    if (m_currency == 0) {
        return;
    }
    m_date->Commit();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            exchangerates::SetRate(m_host.CurrentSession().Db(), m_currency, m_date->Date(),
                                   m_rate->text());
        })) {
        m_rate->clear();
        Fill();
    }
}

void CurrencyRatePanel::DeleteSelected() {
    const int row = m_grid->CurrentRow();
    if (m_currency == 0 || row < 0 ||
        !m_host.UserPrompter().AskYesNo(QStringLiteral("Želite li izbrisati stavku ?"),
                                        QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const QDate date = m_grid->Data().Value(row, 0).toDate();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        exchangerates::DeleteRate(m_host.CurrentSession().Db(), m_currency, date);
    });
    Fill();
}

}  // namespace zodra::registers::ui
