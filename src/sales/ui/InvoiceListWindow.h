#pragma once

#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

#include "sales/InvoicePrint.h"
#include "sales/ui/ChoiceListWindow.h"

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

class MailProgram;

// Opens the invoice window on a posted invoice ("ISPRAVAK") of the given book and number. The
// invoice window lives beside this list; whoever binds the commands hands it over.
using InvoiceCorrectionOpener = std::function<void(
    zodra::ui::WindowHost&, const zodra::ui::CommandRegistry*, int book, int number)>;
// Writes the e-invoice of a posted invoice of the given book and number; the e-invoice lives in
// a layer above the invoices, and whoever binds the commands hands it over.
using InvoiceEInvoiceWriter = std::function<void(zodra::ui::WindowHost&, int book, int number)>;
// Hands over the till's 40-column negative receipt of an invoice just cancelled (the receipt
// printer lives in a layer above the invoices; whoever binds the commands hands it over).
using InvoiceNegativeReceiptPrinter =
    std::function<void(zodra::ui::WindowHost&, int book, int number)>;

// "Izbor računa": the posted invoices of the warehouse and year in the book chosen under
// "Knjiga IRA :", read a page at a time as the list scrolls, with the selected one's data under
// them. "Ispravak" opens it for correction, "Ispis" (or Enter) and "Ispis bez rabata" show it in
// the report window, "Storno" cancels it after the question and the date and shows the
// cancellation (and a fiscalized receipt's negative receipt goes to the till's receipt printer
// through the printer handed over), "Izbriši" deletes it after the question, "Tablično" opens the
// table view with the sums, "E-mail" writes its PDF and opens the mail program with it attached,
// "eRačun" writes its e-invoice for the information intermediary (none set: the button says the
// e-invoice is not available).
class InvoiceListWindow : public ChoiceListWindow {
    Q_OBJECT
public:
    InvoiceListWindow(zodra::ui::WindowHost& host, const zodra::ui::CommandRegistry* registry,
                      InvoiceCorrectionOpener correction, std::shared_ptr<MailProgram> mail,
                      QWidget* parent = nullptr);
    ~InvoiceListWindow() override;

    static QString ObjectName();  // "frmIzborRacuna"

    void CorrectCurrent();
    void PrintCurrent(bool withoutDiscount = false);
    void CancelCurrent();
    void DeleteCurrent();
    void OpenTable();
    void MailCurrent();
    void EInvoiceCurrent();
    void SetEInvoiceWriter(InvoiceEInvoiceWriter writer) { m_einvoice = std::move(writer); }
    void SetNegativeReceiptPrinter(InvoiceNegativeReceiptPrinter printer) {
        m_negativeReceipt = std::move(printer);
    }

    QTableView* Invoices() const { return Grid(); }
    // Where "E-mail" writes the invoice's PDF ("Racun_" number "_" book "-" year ".pdf" in the
    // folder given, by default the system's temporary folder).
    void SetMailFolder(const QString& folder) { m_mailFolder = folder; }
    QString MailFile(int number) const;

private:
    void ShowPrint(InvoicePrintKind kind, int number, bool withoutDiscount);

    zodra::ui::WindowHost& m_host;
    const zodra::ui::CommandRegistry* m_registry;
    InvoiceCorrectionOpener m_correction;
    std::shared_ptr<MailProgram> m_mail;
    QString m_mailFolder;
    InvoiceEInvoiceWriter m_einvoice;
    InvoiceNegativeReceiptPrinter m_negativeReceipt;
};

}  // namespace zodra::sales::ui
