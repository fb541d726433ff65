#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The summary reports of "Izvještaji" (recapitulations, sales, stock on hand). Every member
// works the same way: limits asked for (a range of dates, with document numbers when the member
// has a document kind), a title, a selection over the member's data and one report file. They
// differ only in the values of the table below, so one table drives them all.
namespace zodra::summary {

// What the print command asks before printing.
enum class Limits {
    NumbersAndDates,  // range dialog with "Rbr" preset for the document kind, and dates
    Dates,            // range dialog with dates only
    None,             // nothing: the active warehouse and year
    NameSearch,       // "Upišite tekst za pretraživanje po nazivu artikla"
    CodeSearch,       // "Upišite tekst za pretraživanje po opisu artikla"
    Day,              // one date: the state on that day (the range's `to`)
    ArticleAndDates,  // an article's code, then the range dialog with dates
};

struct SummaryReportInfo {
    QString command;     // menu command ("Rek_prim_uk"); the name zodractl takes too
    QString file;        // "rek_prim.rpt"
    QString statusText;  // " Rekapitulacija primki"
    QString title;       // NASLOV before " od " from " do " to
    Limits limits = Limits::Dates;
    QString documentKey;  // the kind whose first and last numbers preset "Rbr" ("Primka")
    QString source;       // the table or query the selection names ("PRIMKE")
    QString numberField;  // "BROJ PRIMKE"
    QString dateField;    // "DATUM"; empty: no dates in the selection nor in the title
    QString warehouseField = QStringLiteral("SKLADISTE");  // empty: every warehouse
    QString yearField = QStringLiteral("GODINA");
    // Invoice summaries: retail (sales terms 1) or wholesale (every other sales terms).
    enum class Invoices { Any, Retail, Wholesale } invoices = Invoices::Any;
    // Members that rank or pivot what they select (best articles, months) hand the report their
    // own SQL: the selection over `source` becomes its {WHERE} condition (fields of `source`
    // as columns of the alias h, values bound) instead of a filter of the finished rows.
    QString programSql;
    // The sub-report that is given the member's selection too ("STANJE_S_POREZ.RPT").
    QString subreport;
};

const std::vector<SummaryReportInfo>& SummaryReports();
// By menu command, without regard to letter case; nullptr when no member has it.
const SummaryReportInfo* SummaryReportByCommand(const QString& command);

// The document kinds whose numbers preset the range dialog: "Veleprodajni račun",
// "Maloprodajni račun", "Primka", "Izmjena cijena", "Međuskladišnica",
// "Maloprodajna međuskladišnica", "Povratnica dobavljaču", "Radni nalog", "Radni nalog dorada",
// "Inventura", "Specifikacija", "Rashod", "Izdatnica", "Povratnica", "Odjava", "Ponuda", "KPI".
QStringList DocumentKeys();

struct NumberBounds {
    std::optional<int> first;  // none when the kind has no document in the warehouse and year
    std::optional<int> last;
};

// The first and last number of the kind for the warehouse and year ("KPI" counts the year
// only). An unknown kind is refused with a UserError.
NumberBounds DocumentNumberBounds(Database& db, const QString& documentKey, int warehouse,
                                  int year);

// What the command asked for: the range (numbers and dates) or the search text.
struct SummaryChoice {
    std::optional<reports::ReportRange> range;  // Day: the day is `to`, typed as `toText`
    QString searchText;
    std::optional<int> article;  // ArticleAndDates: the article's code
};

// The request of a member: its file, NASLOV, the selection of warehouse, year, numbers, dates
// and search text (all as values, never pasted into a formula) and the session's parameters.
// Limits the member needs and the choice lacks are refused with a UserError.
reports::ReportRequest SummaryReportRequest(const Session& session, const SummaryReportInfo& info,
                                            const SummaryChoice& choice);

// The prompts of the stock search by name and by description ("Stanje na skladištu").
QString SearchPrompt(Limits limits);
QString SearchCaption();  // "Stanje na skladištu"

// The day of a Day member as typed: a text that is no date gives InvalidDateMessage through the
// prompter and today, as a date box does. The range holds the day as `from` and `to`.
reports::ReportRange DayRange(const QString& text, const QDate& today, Prompter& prompter);
QString DayPrompt();  // "Upišite datum stanja"

// The article of an ArticleAndDates member, by its code as typed: an empty code ("Šifra artikla
// nije upisana."), or one that is no whole number or names no article, is refused with a
// UserError.
int ArticleByCode(Database& db, const QString& text);
QString ArticlePrompt();  // "Upišite šifru artikla"

}  // namespace zodra::summary
