#pragma once

#include <QString>
#include <QVariant>
#include <exception>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "reports/ReportQuery.h"
#include "reports/Selection.h"

class QPrinter;

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::reports {

struct DefinitionSet;

// What a print command hands to the engine: the report file, the title, the indexed named
// formulas, the selection of the report and of its sub-reports, named parameters for the
// report's own conditions (:NAME) and, for query-fed reports, the program's SQL.
struct ReportRequest {
    QString reportFile;  // a name in the report folder ("blag_izv.rpt") or a path
    QString title;       // the window caption; also the PDF's title
    std::vector<std::pair<QString, QString>> formulas;  // NASLOV, DodatniTekst, IznosSlovima …
    Selection selection;
    std::vector<std::pair<QString, Selection>> subreportSelections;  // by sub-report name
    std::map<QString, QVariant> parameters;
    std::optional<ProgramQuery> query;

    ReportRequest& Formula(const QString& name, const QString& value) {
        formulas.emplace_back(name, value);
        return *this;
    }
    ReportRequest& SubreportSelection(const QString& name, const Selection& s) {
        subreportSelections.emplace_back(name, s);
        return *this;
    }
    ReportRequest& Parameter(const QString& name, const QVariant& value) {
        parameters[name] = value;
        return *this;
    }
};

// One value of a CSV file as ToCsv writes it (a number with `decimals` decimals when that is not
// negative, else exactly; dd.MM.yyyy, text as it is; quoted when it holds the separator, a quote
// or a line break). ";" files write the decimal comma, others the point; never grouped.
QString CsvValue(const QVariant& value, QChar separator, int decimals = -1);

// Reads a formula of a report file: "NAME= 'text'" (the quotes optional, a doubled
// quote inside a quoted text is one quote). Throws a UserError for a text without "=".
std::pair<QString, QString> ParseFormula(const QString& text);

// The parameters every session gives its reports: SESIJA (the session code), SKLADISTE
// (ActiveWarehouse), GODINA (BusinessYear), KORISNIK (user).
std::map<QString, QVariant> SessionParameters(const Session& session);

// The message a print command shows when it stops: a refusal with its own text (a report
// file or a formula that is not right, a missing parameter) shows that text; anything else
// (a database failure, a printer that cannot be opened) is "Izrada izvještaja je prekinuta."
// followed by the engine's text.
QString FailureText(const std::exception& error);
extern const char16_t* const kReportAborted;  // "Izrada izvještaja je prekinuta."

// The report engine: one definition with its data rendered to a PDF file, to a printer or to
// the preview. Rows are streamed from the database; memory does not grow with their number.
// Every failure is thrown (UserError with the text to show); nothing is retried.
class ReportEngine {
public:
    explicit ReportEngine(Database& db, QString reportFolder = DefaultFolder());

    // The report files shipped with the program: "reports" in the program folder.
    static QString DefaultFolder();
    // A report file found by name without regard to letter case ("Racun_p.rpt" and
    // "racun_p.rpt" are one file); a path is taken as it stands.
    QString FindReportFile(const QString& name) const;

    // Render to a new PDF file (replaced if it exists); returns the number of pages.
    int ToPdf(const ReportRequest& request, const QString& pdfPath);
    // Render to a printer (a CUPS printer or the preview's printer); returns the pages.
    int ToPrinter(const ReportRequest& request, QPrinter& printer);

    // The report as a table for spreadsheets: the column headings, then a row for every band
    // of the body that prints (group headers, detail rows, subtotals, totals). Numbers are
    // written exactly as the data holds them (no rounding, no thousands grouping) with the
    // decimal comma when the separator is ";" and the decimal point when it is ","; dates as
    // dd.MM.yyyy; UTF-8. Returns the number of rows written after the headings.
    int ToCsv(const ReportRequest& request, const QString& csvPath, QChar separator = u';');

    // Sets the printer's page size and orientation from the report file (before the preview
    // or the print dialog shows it).
    void PreparePrinter(const ReportRequest& request, QPrinter& printer);

private:
    DefinitionSet LoadDefinitions(const QString& reportFile) const;

    Database& m_db;
    QString m_folder;
};

}  // namespace zodra::reports
