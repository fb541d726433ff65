#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <optional>

#include "reports/ReportDefinition.h"
#include "reports/ReportQuery.h"
#include "reports/Selection.h"
#include "reports/ValueFormat.h"

class QPaintDevice;
class QPainter;

namespace zodra {
class Database;
}

namespace zodra::reports {

// Where the pages go: a PDF file, a printer, the preview. The renderer asks for the next page
// when one is full; a surface without a painter only counts pages (the first of two passes
// when a layout prints the page count).
class PageSurface {
public:
    virtual ~PageSurface() = default;
    virtual QPaintDevice* Device() = 0;
    virtual QPainter* Painter() = 0;  // nullptr: measure only
    virtual void NewPage() = 0;
};

// A report file with the sub-reports it names, all read before anything is printed so that a
// faulty sub-report stops the command before the first page.
struct DefinitionSet {
    ReportDefinition main;
    std::map<QString, ReportDefinition> subreports;  // by folded name as the layout writes it

    const ReportDefinition& Subreport(const QString& name) const;
    bool UsesPageCount() const;
};

// Takes the printout as a table (CSV export): the column headings, then one row per band of the
// report's body that prints (group headers, detail rows, group footers, the report footer). A
// number printed by a field is handed over as the number with the decimals its format prints
// (decimals[i], -1 for a number printed without a fixed count); everything else as printed.
class TableSink {
public:
    virtual ~TableSink() = default;
    virtual void Header(const QStringList& columns) = 0;
    virtual void Row(const QVariantList& cells, const QList<int>& decimals) = 0;
};

// Everything a run reads besides the definition: the company database, the formulas, the
// parameters, the selections and the company record for the page headers.
struct RenderEnvironment {
    Database* db = nullptr;
    std::map<QString, QString> formulas;               // folded name → text
    std::map<QString, QVariant> parameters;            // folded name → value
    Selection selection;                               // the main report's
    std::map<QString, Selection> subreportSelections;  // folded sub-report name → selection
    std::optional<ProgramQuery> programQuery;
    std::map<QString, QVariant> company;  // PODACI_FIRME, folded column → value
    QImage logo;
    ValueFormat format;
    QDate printDate;
    TableSink* table = nullptr;  // set: the main report's body goes here as rows too
    RowCache rowCache;           // the main query's rows between the passes of one print
};

// Lays the report out over pages and paints them (when the surface has a painter). Returns
// the number of pages. knownPageCount is what {PageCount} prints (0 when unknown).
int RenderReport(const DefinitionSet& definitions, RenderEnvironment& env, PageSurface& surface,
                 int knownPageCount);

}  // namespace zodra::reports
