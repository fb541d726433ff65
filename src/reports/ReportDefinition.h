#pragma once

#include <QColor>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <optional>
#include <vector>

#include "reports/Expression.h"
#include "reports/Selection.h"

namespace zodra::reports {

// One report file (".rpt") read into memory: page set-up, data, bands and groups. The text
// format is described in docs/report-format.md. Lengths are millimetres, font sizes points.

enum class Align { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct TextStyle {
    QString family;   // empty: the report's font
    double size = 0;  // 0: the report's size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color;  // invalid: black
};

// A piece of a text template: literal text, or a value with an optional format.
struct TemplatePart {
    QString literal;
    ExprPtr value;
    QString format;
};

struct Element {
    enum class Kind { Text, Field, Line, Box, Company, Logo, SubReport, Image };
    Kind kind = Kind::Text;
    int line = 0;  // line of the report file, for messages
    double x = 0, y = 0, width = 0, height = 0;
    double x2 = 0, y2 = 0;           // end of a line
    std::vector<TemplatePart> text;  // Text
    ExprPtr expr;                    // Field, Image (the picture's bytes, or base64 text)
    QString format;                  // Field
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    TextStyle style;
    bool wrap = false;   // long text breaks into lines and the band grows (else it is cut
                         // with "…" at the element's width)
    bool frame = false;  // a rectangle around the element
    double lineWidth = 0.2;
    QColor fill;  // boxes; invalid: no fill
    ExprPtr when;
    // Sub-report: the file name as the program names it, and parameters bound from the
    // current row of the report that contains it.
    QString subreport;
    std::vector<std::pair<QString, ExprPtr>> links;
};

enum class BandKind {
    PageHeader,
    ReportHeader,
    ColumnHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    ReportFooter,
    PageFooter
};

struct Band {
    BandKind kind = BandKind::Detail;
    int line = 0;
    std::optional<double> height;  // unset: as tall as its elements
    ExprPtr when;
    std::vector<Element> elements;
};

struct Group {
    ExprPtr key;
    int line = 0;
    bool newPage = false;      // each group but the first starts a new page
    bool keepTogether = true;  // the header is not left alone at the bottom of a page
    std::vector<Band> headers;
    std::vector<Band> footers;
};

struct Join {
    QString table;
    bool left = false;
    Selection on;
};

struct OrderTerm {
    FieldRef field;
    bool descending = false;
    bool croatian = false;  // text ordered by the Croatian collation
};

struct DataSource {
    enum class Kind {
        None,          // no data: one pass of the bands (forms)
        Table,         // a table or view of the company database
        Query,         // SQL written in the report file
        ProgramQuery,  // SQL the program hands over when it prints (query-fed reports)
    };
    Kind kind = Kind::None;
    QString name;  // table or view name, or the name the query's fields are known by
    QString sql;   // Query: SELECT … with :NAME parameters
    std::vector<Join> joins;
    Selection where;  // fixed conditions, may use :NAME parameters
    std::vector<OrderTerm> order;
};

struct PageSetup {
    QPageSize size = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double left = 15, top = 12, right = 12, bottom = 12;  // margins
};

struct ReportDefinition {
    QString fileName;
    QString title;  // "report" line; the window title when the program gives none
    PageSetup page;
    TextStyle font;  // the report's font: family and size
    DataSource data;
    std::vector<Band> pageHeader, reportHeader, columnHeader, detail, reportFooter, pageFooter;
    std::vector<Group> groups;  // outermost first

    // Page width and height in millimetres, as oriented.
    double PageWidth() const;
    double PageHeight() const;
    double BodyWidth() const { return PageWidth() - page.left - page.right; }

    // Reads a report file. Throws a UserError "Izvještaj X, redak N: …" for a file that does
    // not follow the format and "Nema izvještaja …" for a missing file.
    static ReportDefinition Load(const QString& path);
    static ReportDefinition Parse(const QString& text, const QString& fileName);
};

}  // namespace zodra::reports
