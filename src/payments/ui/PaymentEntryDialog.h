#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "payments/CollectionBook.h"
#include "payments/PaymentBook.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace zodra::ui {
class DateBox;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// The entry windows of a payment, one dialog in the shape each of them has.
enum class PaymentEntryKind {
    InvoiceCollection,    // "Upis naplate računa": the invoice chosen in the list
    CustomerPayment,      // "Upis uplate kupca": a payment or an opening balance
    CustomerPayAndClose,  // "Upis uplate i zatvaranje izlaznog računa"
    InputInvoicePayment,  // "Upis plaćanja ulaznog računa": the invoice chosen in the list
    OwnUsePayment,        // "Upis plaćanja ulaznog računa za vlastitu potrošnju"
    SupplierPayment,      // "Upis uplate dobavljaču": a payment or an opening balance
    SupplierPayAndClose,  // "Upis uplate i zatvaranje ulaznog računa"
};

QString PaymentEntryCaption(PaymentEntryKind kind);

// Fields by object name: "Partner", "Knjiga", "Racun" (the partner's open invoices), "Vrsta"
// (payment or opening balance), "Model", "TipKartice", "Datum", "Opis", "Iznos", "Svrha".
// "Prihvati" records through the core; a refusal is shown and everything typed stays.
class PaymentEntryDialog : public QDialog {
    Q_OBJECT
public:
    PaymentEntryDialog(zodra::ui::WindowHost& host, PaymentEntryKind kind,
                       std::optional<InvoiceKey> invoice = std::nullopt,
                       std::optional<InputInvoiceKey> input = std::nullopt,
                       QWidget* parent = nullptr);

    // "Prihvati": true when written (the dialog is then accepted).
    bool Accept();
    const RecordResult& Result() const { return m_result; }

private:
    bool Supplier() const;
    bool PicksPartner() const;
    bool PicksInvoice() const;
    void FillInvoices();
    void ModelChanged();
    std::optional<int> Partner() const;
    PaymentEntry Entry() const;

    zodra::ui::WindowHost& m_host;
    PaymentEntryKind m_kind;
    std::optional<InvoiceKey> m_invoice;
    std::optional<InputInvoiceKey> m_input;
    QComboBox* m_partner = nullptr;
    QComboBox* m_book = nullptr;
    QComboBox* m_invoices = nullptr;
    QComboBox* m_entryKind = nullptr;
    QComboBox* m_model = nullptr;
    QComboBox* m_card = nullptr;
    zodra::ui::DateBox* m_date = nullptr;
    QLineEdit* m_text = nullptr;
    zodra::ui::NumberBox* m_amount = nullptr;
    QLineEdit* m_purpose = nullptr;
    QLabel* m_info = nullptr;
    TableData m_open;  // the partner's open invoices the invoice box shows
    RecordResult m_result;
};

}  // namespace zodra::payments::ui
