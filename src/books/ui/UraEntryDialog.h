#pragma once

#include <QDialog>
#include <array>

#include "books/UraEntry.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::books::ui {

// "Upis ulaznog računa": serial number, invoice number, dates, supplier, type, the kind of
// purchase, the base without tax, three frames of a chosen rate each (base, input tax, its
// deductible and non-deductible parts, captioned by the rate) and the total. Every field is
// checked when it is left; "Prihvati" adds the invoice (or rewrites the one opened) and closes;
// a refusal keeps everything typed. "Iz primke" fills the amounts from a posted receipt.
class UraEntryDialog : public QDialog {
    Q_OBJECT
public:
    // `number` 0: a new invoice; otherwise that invoice of the book, opened for rewriting.
    UraEntryDialog(Session& session, Prompter& prompter, int book, int number = 0,
                   QWidget* parent = nullptr);
    ~UraEntryDialog() override;

    bool Opened() const { return m_opened; }
    const UraEntry& Entry() const { return m_entry; }
    QLineEdit* NumberField() const { return m_number; }
    QLineEdit* InvoiceNumberField() const { return m_invoiceNumber; }
    QComboBox* SupplierBox() const { return m_supplier; }
    QComboBox* KindBox() const { return m_kind; }
    QComboBox* RateBox(int frame) const { return m_frames[static_cast<std::size_t>(frame)].rate; }
    QLineEdit* BaseField(int frame) const { return m_frames[static_cast<std::size_t>(frame)].base; }
    QLineEdit* TaxField(int frame) const { return m_frames[static_cast<std::size_t>(frame)].tax; }
    QLineEdit* TotalField() const { return m_total; }

private:
    struct FrameWidgets {
        QGroupBox* box = nullptr;
        QComboBox* rate = nullptr;
        QLabel* baseLabel = nullptr;
        QLabel* taxLabel = nullptr;
        QLineEdit* base = nullptr;
        QLineEdit* tax = nullptr;
        QLineEdit* deductible = nullptr;
        QLineEdit* nonDeductible = nullptr;
    };

    void Collect();
    void Show();
    void AfterLeaving(QLineEdit* field, bool kept);
    void FromReceipt();
    void Accept();

    Session& m_session;
    Prompter& m_prompter;
    UraEntry m_entry;
    bool m_opened = true;
    bool m_showing = false;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_invoiceNumber = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_due = nullptr;
    QComboBox* m_supplier = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_kind = nullptr;
    QLineEdit* m_base0 = nullptr;
    std::array<FrameWidgets, UraEntry::kFrames> m_frames;
    QLineEdit* m_total = nullptr;
};

}  // namespace zodra::books::ui
