#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The register's turnover report ("Promet u maloprodaji", X on F9): the retail invoices (IRA
// book 1, sales terms 1) of a warehouse and period as 40 text columns for the receipt printer.
namespace zodra::retail {

struct XReportOptions {
    int warehouse = 0;
    int year = 0;
    QDate from;
    QDate to;
    std::optional<QString> cashier;  // none: every cashier (and the rows per cashier)
    bool summed = false;             // summing mode: the detail tables are read
    // The administrator's recapitulations, each appended when asked for.
    bool itemRecap = false;           // "… rekapitulacije računa po stavkama"
    bool articlesByDocument = false;  // "… rekapitulacije artikala po dokumentima"
    bool groupRecap = false;          // "… rekapitulacije računa po grupama artikala"
    bool stockLevels = false;         // "… stanja skladišta"
    bool dayEnd = false;              // the Z report: warns of receipts still without a JIR
};

// "UPOZORENJE: računa bez JIR-a: " n while the company has fiscalized receipts the tax
// administration has not confirmed yet; empty when there are none.
QString UnconfirmedReceiptsWarning(Database& db);

QString AllCashiersQuestion();  // "Želite li ukupni ispis za sve prodavače ?"
QString ItemRecapQuestion();
QString ArticlesByDocumentQuestion();
QString GroupRecapQuestion();
QString StockLevelsQuestion();

// The options of F9 for the session's warehouse, year and mode: the user "admin" is asked
// whether every cashier is summed and which recapitulations follow (each No by default); any
// other user gets their own invoices and no recapitulation.
XReportOptions AskXReport(Session& session, Prompter& prompter, const QDate& from, const QDate& to);

// The report's lines: the company block, 40 "*", the title, "od " from " do " to, 40 "-"; per
// tax group of the invoices dated in the period "OSNOVICA "/"POREZ "/"UKUPNO " + group + ":";
// under "STORNO RAČUNI" the same sums negated for the invoices cancelled in the period (by
// their cancellation date); "UKUPNO PO SVIM GRUPAMA POREZA" over both; with every cashier one
// row per cashier (sales less cancellations); "Po načinima plaćanja" the period's collections
// of these invoices per kind, cards per card type, bank transfers left out; then the asked
// recapitulations. Amounts "0.00" right-aligned to column 40. The Z report (dayEnd) has the
// warning of UnconfirmedReceiptsWarning under the title while there are such receipts.
QStringList XReportLines(Database& db, const XReportOptions& options);

// Sends report lines to the receipt printer: empty when printed, else the reason (without a
// receipt printer "Ovaj ispis se može printati samo na POS printer. …").
QString PrintReportLines(Session& session, const QStringList& lines);

}  // namespace zodra::retail
