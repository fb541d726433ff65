#pragma once

#include <QDialog>
#include <optional>

#include "sales/InvoicePosting.h"
#include "sales/OutgoingDocument.h"
#include "sales/ui/InvoiceWindows.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// "Zaglavlje računa" (frmZaglavljeRacuna): every header box of the invoice with the proposal
// (number, delivery name, address and place of the customer, payment term and due date, the
// company's account), the print boxes and the number of copies. "Prihvati" checks the header and
// posts the invoice; a refusal is shown and the dialog stays with everything typed. "Odustani"
// goes back to the invoice window, nothing written.
class InvoiceHeaderDialog : public QDialog {
    Q_OBJECT
public:
    InvoiceHeaderDialog(zodra::ui::WindowHost& host, const OutgoingDocument& document,
                        const InvoiceDraft& draft, const InvoiceHeader& proposal,
                        bool printingOffered, QWidget* parent = nullptr);

    // "Prihvati": true when the invoice was posted.
    bool AcceptHeader();
    const std::optional<PostedInvoice>& Posted() const { return m_posted; }
    double AlreadyPaid() const { return m_alreadyPaid; }
    InvoicePrintChoice PrintChoice() const;
    // The header as the boxes hold it.
    InvoiceHeader Header() const;

    zodra::ui::NumberBox* Number() const { return m_number; }
    QLineEdit* Field(const QString& objectName) const;
    QComboBox* Choice(const QString& objectName) const;
    QCheckBox* PrintInvoice() const { return m_printInvoice; }
    QCheckBox* PrintDocument() const { return m_printDocument; }
    QCheckBox* PrintVariant() const { return m_printVariant; }

private:
    void TermLeft();

    zodra::ui::WindowHost& m_host;
    const OutgoingDocument& m_document;
    InvoiceDraft m_draft;
    int m_proposedNumber = 0;
    std::optional<PostedInvoice> m_posted;
    double m_alreadyPaid = 0;
    zodra::ui::NumberBox* m_number;
    QCheckBox* m_printInvoice;
    QCheckBox* m_printInvoiceDeliveryNote;
    QCheckBox* m_printDeliveryNote;
    QCheckBox* m_printForeign;
    QCheckBox* m_printDocument = nullptr;  // an offer's, pro-forma's or delivery note's own
    QCheckBox* m_printVariant = nullptr;   // the offer without discount, the note at purchase
    QSpinBox* m_copies;
};

}  // namespace zodra::sales::ui
