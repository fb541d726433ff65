#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The book of receipts and expenditures ("Knjiga primitaka i izdataka", KPI) of a business
// year: entries numbered from 1 per year (KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS), typed by hand, one
// automatic entry per day of retail collections ("promet u gotovini") for companies taxed on
// collection, and proposals for the entries of other collections and payments. Printed page by
// page, 9 entries a page, with the eleven sums carried.
namespace zodra::books {

// The eleven amount columns in the order of the book: five receipt columns, six expenditure
// columns.
enum KpiAmount {
    kCashReceipts,         // PRIMICI U GOTOVINI
    kBankReceipts,         // PRIMICI NA ZIRO RACUN
    kReceiptsInKind,       // PRIMICI U NARAVI
    kReceiptsVat,          // PDV U PRIMICIMA
    kReceiptsTotal,        // UKUPNI PRIMICI
    kCashExpenditures,     // IZDACI U GOTOVINI
    kBankExpenditures,     // IZDACI PUTEM ZIRO RACUNA
    kExpendituresInKind,   // IZDACI U NARAVI
    kExpendituresVat,      // PDV U IZDACIMA
    kArticle19,            // IZDACI IZ CL 19
    kAllowedExpenditures,  // UKUPNO DOPUSTENI IZDACI
    kKpiAmountCount
};
using KpiAmounts = std::array<double, kKpiAmountCount>;

// The entry columns of KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS and of the print's work table.
QString KpiEntryColumn(int amount);
QString KpiReportColumn(int amount);
// The caption of an amount field in the entry window ("Primici u gotovini :" …).
QString KpiAmountLabel(int amount);

struct KpiEntry {
    int number = 0;           // REDNI BROJ
    QDate date;               // NADNEVAK PRIMITKA / IZDATKA
    QString voucher;          // BROJ TEMELJNICE, at most 10 characters
    QString description;      // OPIS ISPRAVA, at most 255 characters
    std::optional<int> type;  // TIP_UPISA (KPI_TIPOVI_UPISA)
    KpiAmounts amounts{};
};

struct KpiEntryType {
    int code = 0;
    QString name;
};

QString KpiEntryCaption();        // "Upis primitaka i izdataka"
QString KpiVoucherTooLong();      // "Broj temeljnice je duži od 10 znakova !"
QString KpiDescriptionTooLong();  // "Opis je duži od 255 znakova !"
QString KpiDuplicateMessage();    // "Stavka pod ovim rednim brojem je već upisana !"
QString KpiDeleteQuestion();      // "Želite li obrisati stavku?"
QString KpiDailySalesText();      // "promet u gotovini"
constexpr int kKpiMaxVoucher = 10;
constexpr int kKpiMaxDescription = 255;
constexpr int kKpiDailySalesType = 1;
constexpr int kKpiRowsPerPage = 9;

// The two totals: receipts = cash + bank + in kind − VAT; allowed expenditures = cash + bank +
// in kind − VAT − article 19.
void ComputeKpiTotals(KpiAmounts& amounts);

int NextKpiNumber(Database& db, int year);
bool KpiEntryExists(Database& db, int year, int number);
std::vector<KpiEntry> ListKpiEntries(Database& db, int year);
std::optional<KpiEntry> FindKpiEntry(Database& db, int year, int number);
std::vector<KpiEntryType> KpiEntryTypes(Database& db);

// The checks of an entry before it is written: the voucher and description lengths, a date
// within the business year's range, every amount a finite amount in range, no control
// characters. Throws UserError with the message.
void CheckKpiEntry(const KpiEntry& entry, int year);

// "Prihvati": the checks, then the entry is written with its totals computed. The number is
// checked again inside the write transaction (another workstation may have taken it):
// KpiDuplicateMessage() and nothing written.
void InsertKpiEntry(Database& db, int year, KpiEntry entry);
// The same with the next free number taken inside the transaction; returns it.
int AppendKpiEntry(Database& db, int year, KpiEntry entry);
// Deletes an entry; false when there was none.
bool DeleteKpiEntry(Database& db, int year, int number);

// The print: the session's rows of KNJIGA_PRIMITAKA_I_IZDATAKA rebuilt from the entries of the
// year in the date range (and the number range when given), by number, 9 a page.
struct KpiReportTotals {
    int entries = 0;
    int pages = 1;
    KpiAmounts sums{};
};
KpiReportTotals BuildKpiReport(Database& db, int sessionCode, int year, const QDate& from,
                               const QDate& to, std::optional<int> first = std::nullopt,
                               std::optional<int> last = std::nullopt);

// "Izvještaj": builds the rows and returns kpi.rpt with its title.
reports::ReportRequest PrepareKpiReport(Session& session, const reports::ReportRange& range);
// "Izvještaj po tipovima upisa": kpi_tip.rpt straight from the entries.
reports::ReportRequest KpiByTypeReport(const Session& session, const reports::ReportRange& range);

// The first and last entry number of the year, for the range dialog's presets (0 when none).
std::pair<int, int> KpiNumberRange(Database& db, int year);

}  // namespace zodra::books
