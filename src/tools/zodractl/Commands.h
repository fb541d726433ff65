#pragma once

#include <QStringList>
#include <functional>

#include "data/Database.h"

namespace zodra {
class Session;
}

namespace zodractl {

// Exit codes: each failure kind its own, so scripts can tell them apart.
enum ExitCode {
    kOk = 0,
    kRefused = 1,  // a refusal with its own message, or another error
    kUsage = 2,
    kWrongPassword = 3,
    kNotACompany = 4,
    kDamaged = 5,
    kMissing = 6,
    kLocked = 7,  // locked or read-only
    kTooNew = 8,
};

// Opens a company (once) with the password from the environment or, when the file has one
// and the environment gives none, from the terminal; `usedPassword` receives it.
zodra::Database::OpenResult OpenWithPassword(const QString& path, QString* usedPassword = nullptr);
// Reports an open that failed (its message and the engine's text) and returns its exit code.
int ReportOpenFailure(const zodra::Database::OpenResult& opened);
// The exit code and the message for an open that failed.
int ExitFor(zodra::Database::OpenStatus status);
QString StatusText(zodra::Database::OpenStatus status);

// Opens the company at `path`, starts a session in the warehouse (0: the company's only one;
// the session start's corrections and questions through a SessionStartPrompter), runs
// `operation` with it and ends the session whatever happened. A refusal is reported with its
// own message. Returns the exit code.
int InSession(const QString& path, int warehouse,
              const std::function<void(zodra::Session&)>& operation);

int Create(const QStringList& args);
int Check(const QStringList& args);
int Compact(const QStringList& args);
int Passwd(const QStringList& args);
// The company and its detail file into a zip archive and back (ArchiveCommand.cpp).
int Archive(const QStringList& args);
int Restore(const QStringList& args);
int Sql(const QStringList& args);
int Demo(const QStringList& args);
// Renders a report file to PDF or a printer (in ReportCommand.cpp).
int Report(const QStringList& args);
// Master data in and out of spreadsheet files (RegisterCommands.cpp).
int Import(const QStringList& args);
int Export(const QStringList& args);
// Counted quantities from a CSV file into a stock count being drawn up (CountImportCommand.cpp).
int ImportCount(const QStringList& args);
// The documents' doors (DocumentCommands.cpp), one row per document kind: post a goods receipt,
// a price change or an invoice described in a JSON file, cancel or delete a posted one under its
// guards.
int Post(const QStringList& args);
int Cancel(const QStringList& args);
int Delete(const QStringList& args);
// Invoices made from the open delivery notes of a customer or of all (OutgoingDoors.cpp).
int InvoiceDeliveries(const QStringList& args);
// Prints a posted receipt, invoice (in any of its printouts), price change or stock count to a
// PDF file.
int Print(const QStringList& args);
// Corrects a line of a posted invoice (InvoiceCorrectionCommand.cpp).
int Correct(const QStringList& args);
// Prints the cash book of a warehouse for a range of dates (CashBookCommand.cpp).
int CashBook(const QStringList& args);
// The summary reports of "Izvještaji" by menu command (SummaryCommand.cpp).
int Summary(const QStringList& args);
// The debt and payment reports and the partners' cards (PaymentReportCommand.cpp).
int PaymentReport(const QStringList& args);
// HUB-3A payment slips of the open output or input invoices (PaymentReportCommand.cpp).
int PaymentSlips(const QStringList& args);

// Prints the output invoice book for a range of dates to PDF and/or CSV (IraCommand.cpp).
int Ira(const QStringList& args);
// Writes the e-invoice (UBL) of a posted invoice or the credit note of its cancellation
// (EInvoiceCommand.cpp).
int EInvoice(const QStringList& args);
// Prints the input invoice book of a period and writes its form U-RA (UraCommand.cpp).
int InputInvoiceBook(const QStringList& args);
// The register's receipt of a posted invoice to a file or the receipt printer
// (ReceiptCommand.cpp).
int Receipt(const QStringList& args);
// transfer: receipts between companies, or through a transfer file (docs/transfer.md).
int Transfer(const QStringList& args);
// The register's X and Z reports (DayReportCommand.cpp).
int XReport(const QStringList& args);
int ZReport(const QStringList& args);
// The VAT return of a period: computed, stored, printed, filed as XML, deleted (VatCommand.cpp).
int Vat(const QStringList& args);
// The book of receipts and expenditures and the inventory book to PDF (KpiCommand.cpp).
int Kpi(const QStringList& args);
int Kp(const QStringList& args);
// The fixed-asset register (FixedAssetCommands.cpp): a row posted from a JSON file
// ("vrsta": "dugotrajna-imovina", docs/fixed-asset-json.md), a row deleted, the list printed.
int PostFixedAsset(const QString& path, const QByteArray& json);
int DeleteFixedAsset(const QStringList& args);
int FixedAssetReport(const QStringList& args);
// The outbox of fiscalized receipts and e-invoice reports: listed, or delivered again; the
// same-day change of a receipt's payment method or buyer's OIB (FiscalCommand.cpp).
int Fiscal(const QStringList& args);
// The planner's bills (PlannerCommands.cpp): a running program signalled, or a bill imported
// without one.
int PlannerSend(const QStringList& args);
int PlannerImport(const QStringList& args);
// A collection of an output invoice or a payment of an input invoice (PaymentCommand.cpp).
int Pay(const QStringList& args);
// The credits of a bank statement (camt.053) matched to output invoices and, with --da, recorded
// (PaymentCommand.cpp).
int ImportBankStatement(const QStringList& args);

}  // namespace zodractl
