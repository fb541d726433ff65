#pragma once

#include <QDialog>

#include "purchasing/ReceiptSummary.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace zodra::ui {
class DateBox;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::purchasing::ui {

// "Zbirni podaci primke": the totals of the supplier's invoice (invoice value, discount,
// customs, forwarding, other dependent costs), the currency with the invoice value and
// discount in it and the rate of the chosen date, the switch "Carina % iz artikala", and the
// dependent-cost items whose sum is the other dependent costs. "Prihvati" checks them as the
// core accepts a summary (an invoice value of 0, a currency without a rate on the date are
// refused and the dialog stays) and hands the accepted summary back.
class SummaryDialog : public QDialog {
    Q_OBJECT
public:
    SummaryDialog(zodra::ui::WindowHost& host, const ReceiptSummary& summary,
                  QWidget* parent = nullptr);

    // "Prihvati": true when the summary was accepted.
    bool AcceptSummaryData();
    const ReceiptSummary& Accepted() const { return m_accepted; }
    ReceiptSummary Typed() const;

    zodra::ui::NumberBox* InvoiceValue() const { return m_invoice; }
    zodra::ui::NumberBox* Discount() const { return m_discount; }
    zodra::ui::NumberBox* OtherCosts() const { return m_other; }
    zodra::ui::NumberBox* Customs() const { return m_customs; }
    zodra::ui::NumberBox* Forwarding() const { return m_forwarding; }
    zodra::ui::NumberBox* CurrencyInvoiceValue() const { return m_currencyInvoice; }
    zodra::ui::NumberBox* CurrencyDiscount() const { return m_currencyDiscount; }
    QComboBox* Currency() const { return m_currency; }
    zodra::ui::DateBox* RateDate() const { return m_rateDate; }
    QLabel* Rate() const { return m_rate; }
    QCheckBox* CustomsFromArticles() const { return m_customsFromArticles; }
    QTableWidget* Items() const { return m_items; }
    void AddItem(const QString& description, double amount);

private:
    void CurrencyChanged();
    void ItemsChanged();

    zodra::ui::WindowHost& m_host;
    ReceiptSummary m_accepted;
    QComboBox* m_currency;
    zodra::ui::DateBox* m_rateDate;
    QLabel* m_rate;
    zodra::ui::NumberBox* m_invoice;
    zodra::ui::NumberBox* m_discount;
    zodra::ui::NumberBox* m_currencyInvoice;
    zodra::ui::NumberBox* m_currencyDiscount;
    zodra::ui::NumberBox* m_other;
    zodra::ui::NumberBox* m_customs;
    zodra::ui::NumberBox* m_forwarding;
    QCheckBox* m_customsFromArticles;
    QTableWidget* m_items;
    bool m_filling = false;
};

}  // namespace zodra::purchasing::ui
