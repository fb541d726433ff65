#pragma once

#include <QVariant>
#include <QWidget>
#include <functional>

#include "sales/OutgoingDocument.h"
#include "sales/ui/ChoiceListWindow.h"

class QComboBox;
class QLabel;
class QTableView;

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

class InvoiceListModel;

// Prints a posted offer, pro-forma or delivery note (book ignored for a delivery note) in the
// report window. The printouts live beside these windows; whoever binds the commands hands the
// printing over.
using OutgoingPrinter =
    std::function<void(zodra::ui::WindowHost&, const OutgoingDocument&, int book, int number)>;

// The choice window of a kind of posted outgoing document: "Izbor ponude", "Izbor predračuna",
// "Izbor otpremnica". The documents of the warehouse and year (offers and pro-formas of the book
// chosen under "Knjiga IRA :") are read a page at a time as the list scrolls, with the selected
// one's data under them; a realized offer is marked "Realizirano", a billed delivery note shows
// its invoice. "Račun" (offers and pro-formas) draws an invoice up from the selected one in the
// invoice window; "Ispis" (or Enter) prints it; "Izbriši" (or Delete) deletes it after the question
// (a billed delivery note is refused); "Tablično" opens the table view with the sums; the delivery
// notes' "Računi iz otpremnica" opens the billing window.
class OutgoingListWindow : public ChoiceListWindow {
    Q_OBJECT
public:
    OutgoingListWindow(zodra::ui::WindowHost& host, const zodra::ui::CommandRegistry* registry,
                       const OutgoingDocument& document, OutgoingPrinter printer,
                       QWidget* parent = nullptr);
    ~OutgoingListWindow() override;

    // "frmIzborPonude", "frmIzborPredracuna", "frmIzborOtpremnica".
    static QString ObjectName(const OutgoingDocument& document);
    // "Izbor ponude", "Izbor predračuna", "Izbor otpremnica".
    static QString Title(const OutgoingDocument& document);

    const OutgoingDocument& Document() const { return m_document; }

    void MakeInvoice();
    void PrintCurrent();
    void DeleteCurrent();
    void OpenTable();
    void OpenBilling();

    QTableView* List() const { return Grid(); }

protected:
    // The Delete key on the list is "Izbriši".
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    zodra::ui::WindowHost& m_host;
    const zodra::ui::CommandRegistry* m_registry;
    const OutgoingDocument& m_document;
    OutgoingPrinter m_printer;
};

// The table view of the choice window ("Tablično"): every document of the kind (and book) with
// its sums, a page at a time, and the sums of all of them under the table.
class OutgoingListTable : public QWidget {
    Q_OBJECT
public:
    OutgoingListTable(zodra::ui::WindowHost& host, const OutgoingDocument& document, int book,
                      QWidget* parent = nullptr);

    QTableView* Table() const { return m_table; }
    InvoiceListModel* Model() const { return m_model; }
    QLabel* Totals() const { return m_totals; }

private:
    QTableView* m_table;
    InvoiceListModel* m_model;
    QLabel* m_totals;
};

// Shows the choice window of the kind (or brings the open one to the front, read again).
OutgoingListWindow* OpenOutgoingList(zodra::ui::WindowHost& host,
                                     const zodra::ui::CommandRegistry* registry,
                                     const OutgoingDocument& document, OutgoingPrinter printer);

// Binds "Pregledi_ponude", "Pregledi_predracuni" and "Pregledi_otpremnice" to their choice
// windows; "Ispis" prints through `printer` (none: the button says printing is not available).
void RegisterOutgoingListCommands(zodra::ui::CommandRegistry& registry,
                                  OutgoingPrinter printer = {});

}  // namespace zodra::sales::ui
