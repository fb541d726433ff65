#include "reports/ReportRenderer.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra::reports {

namespace {

constexpr int kReportScope = 0;
constexpr int kPageScope = 1;
constexpr int kFirstGroupScope = 2;
constexpr int kCompanySlot = -2;

// Calls fn for every expression of a layout (keys, conditions, printed values, links).
void VisitExpressions(const ReportDefinition& def, const std::function<void(const Expr&)>& fn) {
    const auto visit = [&](const ExprPtr& e) {
        if (e) {
            ForEachNode(*e, fn);
        }
    };
    const auto bands = [&](const std::vector<Band>& list) {
        for (const Band& band : list) {
            visit(band.when);
            for (const Element& el : band.elements) {
                visit(el.when);
                visit(el.expr);
                for (const TemplatePart& part : el.text) {
                    visit(part.value);
                }
                for (const auto& link : el.links) {
                    visit(link.second);
                }
            }
        }
    };
    bands(def.pageHeader);
    bands(def.reportHeader);
    bands(def.columnHeader);
    bands(def.detail);
    bands(def.reportFooter);
    bands(def.pageFooter);
    for (const Group& g : def.groups) {
        visit(g.key);
        bands(g.headers);
        bands(g.footers);
    }
}

// Marks the aggregates of every value printed at a fixed number of decimals with that number:
// a field's or a text part's format, or format(x, "0.00") with its format written out.
void MarkPrintedDecimals(const ReportDefinition& def) {
    const auto markAggregates = [](const Expr& e, int decimals) {
        ForEachNode(e, [decimals](const Expr& node) {
            if (node.IsAggregate()) {
                node.printedDecimals = decimals;
            }
        });
    };
    const auto mark = [&](const ExprPtr& e, const QString& format) {
        if (!e) {
            return;
        }
        const int decimals = ValueFormat::FixedDecimals(format);
        if (decimals >= 0) {
            markAggregates(*e, decimals);
        }
        ForEachNode(*e, [&](const Expr& node) {
            if (node.kind == Expr::Kind::Call && node.name == QLatin1String("format") &&
                node.args.size() == 2 && node.args[1]->kind == Expr::Kind::Literal) {
                const int inner = ValueFormat::FixedDecimals(node.args[1]->value.toString());
                if (inner >= 0) {
                    markAggregates(*node.args[0], inner);
                }
            }
        });
    };
    const auto bands = [&](const std::vector<Band>& list) {
        for (const Band& band : list) {
            for (const Element& el : band.elements) {
                mark(el.expr, el.format);
                for (const TemplatePart& part : el.text) {
                    mark(part.value, part.format);
                }
            }
        }
    };
    bands(def.pageHeader);
    bands(def.reportHeader);
    bands(def.columnHeader);
    bands(def.detail);
    bands(def.reportFooter);
    bands(def.pageFooter);
    for (const Group& g : def.groups) {
        bands(g.headers);
        bands(g.footers);
    }
}

struct FontInfo {
    QFont font;
    QFontMetricsF metrics;
};

struct Accumulator {
    double sum = 0;
    qint64 count = 0;
    QVariant min;
    QVariant max;
};

// One element of a band, evaluated and measured, ready to be painted.
struct Placed {
    const Element* el = nullptr;
    QString text;
    QStringList lines;  // company block
    QImage image;       // image element
    double height = 0;  // mm
};

class Run;

// The pages and the position on the current page, shared by the report and the sub-reports
// printed inside it.
class Flow {
public:
    Flow(PageSurface& surface, const ReportDefinition& main, int pageCount)
        : m_surface(surface),
          painter(surface.Painter()),
          device(surface.Device()),
          k(device->logicalDpiY() / 25.4),
          pageHeight(main.PageHeight()),
          topMargin(main.page.top),
          bottomMargin(main.page.bottom),
          knownPageCount(pageCount) {}

    const FontInfo& Font(const TextStyle& style, const TextStyle& base) {
        const QString family = style.family.isEmpty() ? base.family : style.family;
        const double size = style.size > 0 ? style.size : base.size;
        const QString key = family + QLatin1Char('|') + QString::number(size) + QLatin1Char('|') +
                            QLatin1Char(style.bold ? 'b' : '-') +
                            QLatin1Char(style.italic ? 'i' : '-') +
                            QLatin1Char(style.underline ? 'u' : '-');
        auto it = m_fonts.find(key);
        if (it == m_fonts.end()) {
            QFont font(family);
            font.setPointSizeF(size);
            font.setBold(style.bold);
            font.setItalic(style.italic);
            font.setUnderline(style.underline);
            font.setKerning(false);
            font.setStyleStrategy(QFont::PreferOutline);
            it = m_fonts.emplace(key, FontInfo{font, QFontMetricsF(font, device)}).first;
        }
        return it->second;
    }

    void UseFont(const FontInfo& info) {
        if (painter && m_currentFont != &info) {
            painter->setFont(info.font);
            m_currentFont = &info;
        }
    }
    void UsePen(const QColor& color, double widthMm) {
        const QColor c = color.isValid() ? color : QColor(Qt::black);
        if (painter && (c != m_penColor || widthMm != m_penWidth)) {
            QPen pen(c);
            pen.setWidthF(widthMm * k);
            painter->setPen(pen);
            m_penColor = c;
            m_penWidth = widthMm;
        }
    }

    bool Fits(double height) const { return y + height <= contentBottom + 0.001; }
    bool AtPageStart() const { return y <= contentStart + 0.001; }

    void StartFirstPage(Run& main);
    void BreakPage();
    void Finish();

    std::vector<Run*> runs;  // the report and the sub-reports in progress, outermost first
    PageSurface& m_surface;
    QPainter* painter;
    QPaintDevice* device;
    double k;  // device units per millimetre
    double pageHeight;
    double topMargin;
    double bottomMargin;
    double footerHeight = 0;
    double contentBottom = 0;
    double contentStart = 0;
    double y = 0;
    int page = 0;
    int knownPageCount;

private:
    void EndPage();

    Run* m_main = nullptr;
    std::map<QString, FontInfo> m_fonts;
    const FontInfo* m_currentFont = nullptr;
    QColor m_penColor;
    double m_penWidth = -1;
};

class Run final : public ExprContext {
public:
    Run(const DefinitionSet& definitions, const ReportDefinition& def, RenderEnvironment& env,
        Flow& flow, double x0, double width, Selection selection,
        std::map<QString, QVariant> linkParameters)
        : m_definitions(definitions),
          m_def(def),
          m_env(env),
          m_flow(flow),
          m_x0(x0),
          m_width(width),
          m_selection(std::move(selection)),
          m_linkParameters(std::move(linkParameters)),
          m_query(*env.db, def.data,
                  &def == &definitions.main ? env.programQuery : std::optional<ProgramQuery>(),
                  [this](const QString& name) { return Parameter(name); }) {
        if (&def == &definitions.main) {
            m_query.SetCache(&env.rowCache);
        }
        Prepare();
    }

    // The whole report: headers, rows with their groups, footers.
    void Execute(bool main) {
        if (main && m_env.table) {
            StartTable();
        }
        m_query.Open(m_selection);
        m_view = &m_query.Row();
        m_previous = m_query.Row();
        bool have = Next();
        if (main) {
            m_flow.StartFirstPage(*this);
        }
        PrintBands(m_def.reportHeader, kReportScope);
        PrintColumnHeaders();
        m_flow.runs.push_back(this);
        if (main) {
            m_flow.contentStart = m_flow.y;
        }
        const std::size_t groups = m_def.groups.size();
        std::vector<QVariant> keys(groups);
        bool first = true;
        while (have) {
            m_view = &m_query.Row();
            std::vector<QVariant> current(groups);
            for (std::size_t g = 0; g < groups; ++g) {
                current[g] = Evaluate(*m_def.groups[g].key, *this);
            }
            std::size_t changed = groups;
            for (std::size_t g = 0; g < groups; ++g) {
                if (first || !ValuesEqual(current[g], keys[g])) {
                    changed = g;
                    break;
                }
            }
            if (!first && changed < groups) {
                m_view = &m_previous;
                PrintGroupFooters(changed);
                m_view = &m_query.Row();
            }
            if (changed < groups) {
                StartGroups(changed, first);
            }
            keys = std::move(current);
            Accumulate();
            ++m_recordNumber;
            PrintBands(m_def.detail, kReportScope);
            m_previous = m_query.Row();
            have = Next();
            first = false;
        }
        m_view = &m_previous;
        if (!first) {
            PrintGroupFooters(0);
        }
        PrintBands(m_def.reportFooter, kReportScope);
        m_flow.runs.pop_back();
        if (main) {
            m_flow.Finish();
        }
    }

    void PrintPageHeader() {
        for (const Band& band : m_def.pageHeader) {
            PrintBand(band, kPageScope, false);
        }
    }

    void PrintColumnHeaders() {
        for (const Band& band : m_def.columnHeader) {
            PrintBand(band, kPageScope, false);
        }
    }

    double PageFooterHeight() {
        double total = 0;
        for (const Band& band : m_def.pageFooter) {
            std::vector<Placed> placed;
            total += Measure(band, placed);
        }
        return total;
    }

    void PrintPageFooter(double top) {
        double y = top;
        for (const Band& band : m_def.pageFooter) {
            m_scope = kPageScope;
            if (band.when && !IsTrue(Evaluate(*band.when, *this))) {
                continue;
            }
            std::vector<Placed> placed;
            const double height = Measure(band, placed);
            Paint(placed, y);
            y += height;
        }
    }

    void ResetPageScope() { ResetScope(kPageScope); }

    // ExprContext
    QVariant FieldValue(const Expr& field) override {
        if (field.slot == kCompanySlot) {
            const auto it = m_env.company.find(field.field.field.toCaseFolded());
            return it == m_env.company.end() ? QVariant() : it->second;
        }
        return (*m_view)[static_cast<std::size_t>(field.slot)];
    }
    QVariant FormulaValue(const QString& name) override {
        const auto it = m_env.formulas.find(name.toCaseFolded());
        return it == m_env.formulas.end() ? QString() : it->second;
    }
    QVariant SpecialValue(const QString& name) override {
        if (name == QLatin1String("PageNumber")) {
            return m_flow.page;
        }
        if (name == QLatin1String("PageCount")) {
            return m_flow.knownPageCount > 0 ? m_flow.knownPageCount : m_flow.page;
        }
        if (name == QLatin1String("PrintDate")) {
            return m_env.printDate;
        }
        return m_recordNumber;
    }
    QVariant AggregateValue(const Expr& aggregate) override {
        const Accumulator& a =
            m_scopes[static_cast<std::size_t>(m_scope)][static_cast<std::size_t>(aggregate.slot)];
        if (aggregate.name == QLatin1String("sum")) {
            return a.sum;
        }
        if (aggregate.name == QLatin1String("count")) {
            return a.count;
        }
        if (aggregate.name == QLatin1String("avg")) {
            return a.count > 0 ? QVariant(a.sum / static_cast<double>(a.count)) : QVariant();
        }
        return aggregate.name == QLatin1String("min") ? a.min : a.max;
    }
    QString FormatValue(const QVariant& value, const QString& format) override {
        return m_env.format.Format(value, format);
    }

private:
    QVariant Parameter(const QString& name) {
        const QString folded = name.toCaseFolded();
        if (const auto it = m_linkParameters.find(folded); it != m_linkParameters.end()) {
            return it->second;
        }
        if (const auto it = m_env.parameters.find(folded); it != m_env.parameters.end()) {
            return it->second;
        }
        throw UserError(QStringLiteral("Izvještaj ") + m_def.fileName +
                        QStringLiteral(" traži vrijednost parametra :") + name +
                        QStringLiteral(", a ona nije zadana."));
    }

    // Resolves every field of the layout to its column and numbers the aggregates.
    void Prepare() {
        VisitExpressions(m_def, [this](const Expr& e) {
            if (e.kind == Expr::Kind::Field) {
                if (e.field.table.toCaseFolded() == QLatin1String("podaci_firme") &&
                    !m_query.HasTable(e.field.table)) {
                    e.slot = kCompanySlot;
                } else {
                    e.slot = m_query.Field(e.field);
                }
            } else if (e.IsAggregate()) {
                e.slot = static_cast<int>(m_aggregates.size());
                m_aggregates.push_back(&e);
            }
        });
        m_scopes.assign(kFirstGroupScope + m_def.groups.size(),
                        std::vector<Accumulator>(m_aggregates.size()));
        MarkPrintedDecimals(m_def);
    }

    bool Next() {
        if (m_def.data.kind == DataSource::Kind::None) {
            // A form without data prints its bands once.
            const bool once = !m_formDone;
            m_formDone = true;
            return once;
        }
        return m_query.Next();
    }

    void ResetScope(int scope) {
        for (Accumulator& a : m_scopes[static_cast<std::size_t>(scope)]) {
            a = Accumulator();
        }
    }

    void Accumulate() {
        for (std::size_t i = 0; i < m_aggregates.size(); ++i) {
            const Expr& agg = *m_aggregates[i];
            QVariant v;
            if (!agg.args.empty()) {
                v = Evaluate(*agg.args[0], *this);
            } else {
                v = 1;  // count()
            }
            const bool empty = !v.isValid() || v.isNull();
            // A sum printed at fixed decimals adds the amounts as they are printed.
            const double added = agg.printedDecimals >= 0
                                     ? RoundDecimal(v.toDouble(), agg.printedDecimals)
                                     : v.toDouble();
            for (std::vector<Accumulator>& scope : m_scopes) {
                Accumulator& a = scope[i];
                if (empty) {
                    continue;
                }
                a.sum += added;
                ++a.count;
                if (!a.min.isValid() || ValueLess(v, a.min)) {
                    a.min = v;
                }
                if (!a.max.isValid() || ValueLess(a.max, v)) {
                    a.max = v;
                }
            }
        }
    }

    static bool ValueLess(const QVariant& a, const QVariant& b) {
        if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
            return a.toString() < b.toString();
        }
        return a.toDouble() < b.toDouble();
    }

    // Footers of the groups from the innermost down to `outermost`.
    void PrintGroupFooters(std::size_t outermost) {
        for (std::size_t g = m_def.groups.size(); g-- > outermost;) {
            PrintBands(m_def.groups[g].footers, kFirstGroupScope + static_cast<int>(g));
        }
    }

    void StartGroups(std::size_t outermost, bool first) {
        const std::size_t groups = m_def.groups.size();
        bool newPage = false;
        for (std::size_t g = outermost; g < groups; ++g) {
            ResetScope(kFirstGroupScope + static_cast<int>(g));
            newPage = newPage || m_def.groups[g].newPage;
        }
        if (newPage && !first && !m_flow.AtPageStart()) {
            m_flow.BreakPage();
        }
        // A header is not left alone at the foot of a page: it needs room for itself and the
        // first detail row below it.
        if (m_def.groups[outermost].keepTogether) {
            double needed = 0;
            for (std::size_t g = outermost; g < groups; ++g) {
                needed += BandsHeight(m_def.groups[g].headers);
            }
            needed += BandsHeight(m_def.detail);
            if (!m_flow.Fits(needed) && !m_flow.AtPageStart()) {
                m_flow.BreakPage();
            }
        }
        for (std::size_t g = outermost; g < groups; ++g) {
            PrintBands(m_def.groups[g].headers, kFirstGroupScope + static_cast<int>(g));
        }
    }

    double BandsHeight(const std::vector<Band>& bands) {
        double total = 0;
        for (const Band& band : bands) {
            if (band.when && !IsTrue(Evaluate(*band.when, *this))) {
                continue;
            }
            std::vector<Placed> placed;
            total += Measure(band, placed);
        }
        return total;
    }

    void PrintBands(const std::vector<Band>& bands, int scope) {
        for (const Band& band : bands) {
            PrintBand(band, scope, true);
        }
    }

    void PrintBand(const Band& band, int scope, bool mayBreak) {
        m_scope = scope;
        if (band.when && !IsTrue(Evaluate(*band.when, *this))) {
            return;
        }
        if (m_tabulating && band.kind != BandKind::PageHeader &&
            band.kind != BandKind::PageFooter && band.kind != BandKind::ColumnHeader) {
            TableRow(band);
        }
        std::vector<Placed> placed;
        double height = Measure(band, placed);
        if (mayBreak && !m_flow.Fits(height) && !m_flow.AtPageStart()) {
            m_flow.BreakPage();
            m_scope = scope;
            placed.clear();
            height = Measure(band, placed);  // page numbers may have changed
        }
        const double top = m_flow.y;
        Paint(placed, top);
        m_flow.y = top + height;
        for (const Element& el : band.elements) {
            if (el.kind != Element::Kind::SubReport ||
                (el.when && !IsTrue(Evaluate(*el.when, *this)))) {
                continue;
            }
            // The sub-report continues the flow from its place in the band, over as many
            // pages as it needs.
            const int page = m_flow.page;
            m_flow.y = top + el.y;
            RunSubreport(el);
            if (m_flow.page == page) {
                m_flow.y = std::max(m_flow.y, top + height);
            }
            m_scope = scope;
        }
    }

    void RunSubreport(const Element& el) {
        const ReportDefinition& sub = m_definitions.Subreport(el.subreport);
        std::map<QString, QVariant> links;
        for (const auto& [name, expr] : el.links) {
            links[name.toCaseFolded()] = Evaluate(*expr, *this);
        }
        Selection selection;
        if (const auto it = m_env.subreportSelections.find(el.subreport.toCaseFolded());
            it != m_env.subreportSelections.end()) {
            selection = it->second;
        }
        const double width = el.width > 0 ? el.width : m_width - el.x;
        Run run(m_definitions, sub, m_env, m_flow, m_x0 + el.x, width, selection, links);
        run.Execute(false);
    }

    // The columns of the table: the column headings left to right, else the first detail band's
    // values.
    void StartTable() {
        m_tabulating = true;
        const auto collect = [this](const std::vector<Band>& bands) {
            for (const Band& band : bands) {
                for (const Element& el : band.elements) {
                    if (el.kind == Element::Kind::Text || el.kind == Element::Kind::Field) {
                        m_columns.push_back(&el);
                    }
                }
            }
        };
        collect(m_def.columnHeader);
        const bool headed = !m_columns.empty();
        if (!headed && !m_def.detail.empty()) {
            collect({m_def.detail.front()});
        }
        std::stable_sort(m_columns.begin(), m_columns.end(),
                         [](const Element* a, const Element* b) { return a->x < b->x; });
        QStringList header;
        for (const Element* el : m_columns) {
            if (!headed) {
                header << (el->kind == Element::Kind::Field && el->expr->kind == Expr::Kind::Field
                               ? el->expr->field.field
                               : QString());
                continue;
            }
            QString text;
            for (const TemplatePart& part : el->text) {
                text += part.literal;
            }
            header << text;
        }
        m_env.table->Header(header);
    }

    // The column an element of the body prints under: the heading below which its text starts
    // (left-aligned), ends (right-aligned) or is centred, else the nearest heading.
    std::size_t ColumnOf(const Element& el) const {
        const double inset = std::min(1.0, el.width / 2);
        const double centre = el.align == Align::Left    ? el.x + inset
                              : el.align == Align::Right ? el.x + el.width - inset
                                                         : el.x + el.width / 2;
        std::size_t best = 0;
        double distance = std::numeric_limits<double>::max();
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            const Element& column = *m_columns[c];
            if (centre >= column.x && centre < column.x + column.width) {
                return c;
            }
            const double d = std::abs(centre - (column.x + column.width / 2));
            if (d < distance) {
                distance = d;
                best = c;
            }
        }
        return best;
    }

    void TableRow(const Band& band) {
        if (m_columns.empty()) {
            return;
        }
        QVariantList cells(static_cast<qsizetype>(m_columns.size()));
        QList<int> decimals(static_cast<qsizetype>(m_columns.size()), -1);
        bool any = false;
        for (const Element& el : band.elements) {
            if ((el.kind != Element::Kind::Text && el.kind != Element::Kind::Field) ||
                (el.when && !IsTrue(Evaluate(*el.when, *this)))) {
                continue;
            }
            QVariant value = el.kind == Element::Kind::Field ? Evaluate(*el.expr, *this)
                                                             : QVariant(ElementText(el));
            if (!value.isValid() || value.isNull() ||
                (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())) {
                continue;
            }
            // A number goes over as the report prints it: rounded to its format's decimals (money
            // to the cent), or as printed text where the format is not a plain count of decimals
            // ("Percent"). A text, or a field printed as a date, stays as printed.
            int places = -1;
            if (el.kind == Element::Kind::Field) {
                const bool number =
                    value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float ||
                    value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
                if (number && ValueFormat::FixedDecimals(el.format) >= 0) {
                    places = ValueFormat::FixedDecimals(el.format);
                    value = RoundDecimal(value.toDouble(), places);
                } else if (!number || !el.format.isEmpty()) {
                    value = ElementText(el);
                }
            }
            const auto column = static_cast<qsizetype>(ColumnOf(el));
            QVariant& cell = cells[column];
            if (cell.isValid()) {
                cell = cell.toString() + QLatin1Char(' ') + value.toString();
                decimals[column] = -1;
            } else {
                cell = value;
                decimals[column] = places;
            }
            any = true;
        }
        if (any) {
            m_env.table->Row(cells, decimals);
        }
    }

    QString ElementText(const Element& el) {
        if (el.kind == Element::Kind::Field) {
            return m_env.format.Format(Evaluate(*el.expr, *this), el.format);
        }
        QString text;
        for (const TemplatePart& part : el.text) {
            if (part.value) {
                text += m_env.format.Format(Evaluate(*part.value, *this), part.format);
            } else {
                text += part.literal;
            }
        }
        return text;
    }

    QStringList CompanyLines() {
        const auto value = [this](const char* column) {
            const auto it = m_env.company.find(QString::fromLatin1(column).toCaseFolded());
            return it == m_env.company.end() ? QString() : it->second.toString().trimmed();
        };
        QStringList lines;
        lines << value("NAZIV");
        const QString address = value("ADRESA");
        if (!address.isEmpty()) {
            lines << address;
        }
        const QString place = value("MJESTO");
        if (!place.isEmpty()) {
            lines << place;
        }
        const QString oib = value("OIB");
        if (!oib.isEmpty()) {
            lines << QStringLiteral("OIB: ") + oib;
        }
        QStringList phones;
        if (!value("TELEFON").isEmpty()) {
            phones << QStringLiteral("Tel: ") + value("TELEFON");
        }
        if (!value("TELEFAX").isEmpty()) {
            phones << QStringLiteral("Fax: ") + value("TELEFAX");
        }
        if (!phones.isEmpty()) {
            lines << phones.join(QStringLiteral(", "));
        }
        if (!value("ZIRO_RACUN").isEmpty()) {
            lines << QStringLiteral("IBAN: ") + value("ZIRO_RACUN");
        }
        if (!value("EMAIL").isEmpty()) {
            lines << QStringLiteral("E-pošta: ") + value("EMAIL");
        }
        return lines;
    }

    // Evaluates and measures the visible elements; returns the band's height in mm. A band is
    // as tall as its declared height or its elements; a wrapping text that needs more lines
    // than its place makes the band grow by as much, so the space below it is kept.
    double Measure(const Band& band, std::vector<Placed>& placed) {
        double bottom = 0;
        double growth = 0;
        const double k = m_flow.k;
        for (const Element& el : band.elements) {
            if (el.kind == Element::Kind::SubReport) {
                continue;
            }
            if (el.when && !IsTrue(Evaluate(*el.when, *this))) {
                continue;
            }
            Placed p;
            p.el = &el;
            switch (el.kind) {
                case Element::Kind::Text:
                case Element::Kind::Field: {
                    p.text = ElementText(el);
                    const FontInfo& f = m_flow.Font(el.style, m_def.font);
                    const double single = std::max(f.metrics.height() / k, el.height);
                    p.height = single;
                    if (el.wrap && !p.text.isEmpty()) {
                        const QRectF r =
                            f.metrics.boundingRect(QRectF(0, 0, el.width * k, 1e7),
                                                   Qt::TextWordWrap | Qt::AlignLeft, p.text);
                        p.height = std::max(single, r.height() / k);
                        growth = std::max(growth, p.height - single);
                    } else {
                        p.text.replace(QLatin1Char('\n'), QLatin1Char(' '));
                    }
                    break;
                }
                case Element::Kind::Company: {
                    p.lines = CompanyLines();
                    TextStyle bold = el.style;
                    bold.bold = true;
                    bold.size = (el.style.size > 0 ? el.style.size : m_def.font.size) + 2;
                    const double first = m_flow.Font(bold, m_def.font).metrics.height() / k;
                    const double rest = m_flow.Font(el.style, m_def.font).metrics.height() / k;
                    p.height =
                        std::max(el.height, first + rest * static_cast<double>(p.lines.size() - 1));
                    break;
                }
                case Element::Kind::Line:
                    p.height = std::max(el.y, el.y2) - el.y;
                    break;
                case Element::Kind::Image:
                    p.image = ElementImage(el);
                    p.height = el.height;
                    break;
                default:
                    p.height = el.height;
                    break;
            }
            bottom = std::max(bottom, el.y + p.height);
            placed.push_back(std::move(p));
        }
        return std::max(bottom, band.height.value_or(0.0) + growth);
    }

    void Paint(const std::vector<Placed>& placed, double top) {
        QPainter* painter = m_flow.painter;
        if (!painter) {
            return;
        }
        const double k = m_flow.k;
        for (const Placed& p : placed) {
            const Element& el = *p.el;
            const QRectF rect((m_x0 + el.x) * k, (top + el.y) * k, el.width * k, p.height * k);
            switch (el.kind) {
                case Element::Kind::Text:
                case Element::Kind::Field:
                    PaintText(el, p.text, rect, m_flow.Font(el.style, m_def.font));
                    break;
                case Element::Kind::Company:
                    PaintCompany(el, p.lines, rect);
                    break;
                case Element::Kind::Line:
                    m_flow.UsePen(el.style.color, el.lineWidth);
                    painter->drawLine(QPointF((m_x0 + el.x) * k, (top + el.y) * k),
                                      QPointF((m_x0 + el.x2) * k, (top + el.y2) * k));
                    break;
                case Element::Kind::Box:
                    if (el.fill.isValid()) {
                        painter->fillRect(rect, el.fill);
                    }
                    if (el.lineWidth > 0) {
                        m_flow.UsePen(el.style.color, el.lineWidth);
                        painter->drawRect(rect);
                    }
                    break;
                case Element::Kind::Logo:
                    PaintImage(el, m_env.logo, rect, true);
                    break;
                case Element::Kind::Image:
                    PaintImage(el, p.image, rect, false);
                    break;
                case Element::Kind::SubReport:
                    break;
            }
            if (el.frame && el.kind != Element::Kind::Box && el.kind != Element::Kind::Line) {
                m_flow.UsePen(el.style.color, el.lineWidth);
                m_flow.painter->drawRect(rect);
            }
        }
    }

    static int AlignFlags(const Element& el) {
        int flags = Qt::TextDontClip;
        switch (el.align) {
            case Align::Left:
                flags |= Qt::AlignLeft;
                break;
            case Align::Center:
                flags |= Qt::AlignHCenter;
                break;
            case Align::Right:
                flags |= Qt::AlignRight;
                break;
        }
        switch (el.valign) {
            case VAlign::Top:
                flags |= Qt::AlignTop;
                break;
            case VAlign::Middle:
                flags |= Qt::AlignVCenter;
                break;
            case VAlign::Bottom:
                flags |= Qt::AlignBottom;
                break;
        }
        return flags;
    }

    void PaintText(const Element& el, const QString& text, const QRectF& rect,
                   const FontInfo& font) {
        if (text.isEmpty()) {
            return;
        }
        // A little air on each side so that framed cells and right-aligned columns do not
        // touch their lines.
        const double pad = el.frame ? 0.8 * m_flow.k : 0.0;
        const QRectF inner = rect.adjusted(pad, 0, -pad, 0);
        QString shown = text;
        int flags = AlignFlags(el);
        if (el.wrap) {
            flags |= Qt::TextWordWrap;
        } else if (font.metrics.horizontalAdvance(shown) > inner.width()) {
            shown = font.metrics.elidedText(shown, Qt::ElideRight, inner.width());
        }
        m_flow.UseFont(font);
        m_flow.UsePen(el.style.color, el.lineWidth);
        m_flow.painter->drawText(inner, flags, shown);
    }

    void PaintCompany(const Element& el, const QStringList& lines, const QRectF& rect) {
        TextStyle bold = el.style;
        bold.bold = true;
        bold.size = (el.style.size > 0 ? el.style.size : m_def.font.size) + 2;
        double y = rect.top();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const FontInfo& f = m_flow.Font(i == 0 ? bold : el.style, m_def.font);
            const QRectF line(rect.left(), y, rect.width(), f.metrics.height());
            Element copy;
            copy.align = el.align;
            copy.style = el.style;
            PaintText(copy, lines.at(i), line, f);
            y += f.metrics.height();
        }
    }

    // A picture scaled to fit its place, aspect kept. Generated pictures (bar codes) are
    // scaled without smoothing, so that their modules keep sharp edges.
    void PaintImage(const Element& el, const QImage& image, const QRectF& rect, bool smooth) {
        if (image.isNull()) {
            return;
        }
        QSizeF size = image.size();
        size.scale(rect.size(), Qt::KeepAspectRatio);
        double x = rect.left();
        if (el.align == Align::Right) {
            x = rect.right() - size.width();
        } else if (el.align == Align::Center) {
            x = rect.left() + (rect.width() - size.width()) / 2;
        }
        QPainter* painter = m_flow.painter;
        const bool wasSmooth = painter->testRenderHint(QPainter::SmoothPixmapTransform);
        painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        painter->drawImage(QRectF(QPointF(x, rect.top()), size), image);
        painter->setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
    }

    // The value of an image element: the picture's bytes (PNG, BMP …), or the same as base64
    // text (what a query of bound text values can carry on every engine). Null or unreadable
    // data paints nothing.
    QImage ElementImage(const Element& el) {
        const QVariant value = Evaluate(*el.expr, *this);
        if (value.isNull()) {
            return {};
        }
        const QByteArray bytes = value.typeId() == QMetaType::QByteArray
                                     ? value.toByteArray()
                                     : QByteArray::fromBase64(value.toString().toLatin1());
        return QImage::fromData(bytes);
    }

    const DefinitionSet& m_definitions;
    const ReportDefinition& m_def;
    RenderEnvironment& m_env;
    Flow& m_flow;
    double m_x0;
    double m_width;
    Selection m_selection;
    std::map<QString, QVariant> m_linkParameters;
    ReportQuery m_query;
    const std::vector<QVariant>* m_view = nullptr;
    std::vector<QVariant> m_previous;
    std::vector<const Expr*> m_aggregates;
    std::vector<std::vector<Accumulator>> m_scopes;
    int m_scope = kReportScope;
    int m_recordNumber = 0;
    bool m_formDone = false;
    bool m_tabulating = false;
    std::vector<const Element*> m_columns;  // the table's columns (CSV export)
};

void Flow::StartFirstPage(Run& main) {
    m_main = &main;
    page = 1;
    footerHeight = main.PageFooterHeight();
    contentBottom = pageHeight - bottomMargin - footerHeight;
    y = topMargin;
    main.PrintPageHeader();
}

void Flow::EndPage() {
    m_main->PrintPageFooter(pageHeight - bottomMargin - footerHeight);
}

void Flow::BreakPage() {
    EndPage();
    m_surface.NewPage();
    m_currentFont = nullptr;
    m_penWidth = -1;
    ++page;
    for (Run* run : runs) {
        run->ResetPageScope();
    }
    y = topMargin;
    m_main->PrintPageHeader();
    for (Run* run : runs) {
        run->PrintColumnHeaders();
    }
    contentStart = y;
}

void Flow::Finish() {
    EndPage();
}

}  // namespace

const ReportDefinition& DefinitionSet::Subreport(const QString& name) const {
    const auto it = subreports.find(name.toCaseFolded());
    if (it == subreports.end()) {
        throw UserError(QStringLiteral("Nema podizvještaja ") + name + QLatin1Char('.'));
    }
    return it->second;
}

bool DefinitionSet::UsesPageCount() const {
    bool uses = false;
    const auto scan = [&uses](const ReportDefinition& def) {
        VisitExpressions(def, [&uses](const Expr& e) {
            uses = uses || (e.kind == Expr::Kind::Special && e.name == QLatin1String("PageCount"));
        });
    };
    scan(main);
    for (const auto& sub : subreports) {
        scan(sub.second);
    }
    return uses;
}

int RenderReport(const DefinitionSet& definitions, RenderEnvironment& env, PageSurface& surface,
                 int knownPageCount) {
    Flow flow(surface, definitions.main, knownPageCount);
    Run main(definitions, definitions.main, env, flow, definitions.main.page.left,
             definitions.main.BodyWidth(), env.selection, {});
    main.Execute(true);
    return flow.page;
}

}  // namespace zodra::reports
