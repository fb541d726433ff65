#include "charts/ChartData.h"

#include <QDate>
#include <QHash>
#include <algorithm>
#include <array>
#include <stdexcept>

#include "data/Database.h"
#include "data/SqlValue.h"
#include "data/Statement.h"

namespace zodra::charts {

namespace {

// One group of sales: the sums of a key (a date, an article, a group, a customer) with its name.
struct SalesSum {
    QVariant key;
    QString name;
    double quantity = 0;
    double value = 0;
    double cost = 0;
};

double MeasureOf(const SalesSum& sum, Measure measure) {
    switch (measure) {
        case Measure::Quantity:
            return sum.quantity;
        case Measure::Margin:
            return sum.value - sum.cost;
        case Measure::Turnover:
            break;
    }
    return sum.value;
}

// What the sales are grouped by, as fragments of one fixed query: the key of a line (of its
// invoice on the invoice's date, of its cancellation on the cancellation date) and, around the
// grouped sums, the join that names it.
struct Grouping {
    QString invoiceKey;
    QString cancellationKey;
    QString nameJoin;
    QString name;
    bool articlesOnly = true;
};

Grouping GroupingOf(ChartKind kind) {
    switch (kind) {
        case ChartKind::SalesByMonth:
            return {QStringLiteral("r.\"DATUM\""), QStringLiteral("r.\"DATUM_STORNA\""), QString(),
                    QStringLiteral("NULL"), true};
        case ChartKind::SalesByGroup:
            return {QStringLiteral("a.\"GRUPA_A\""), QStringLiteral("a.\"GRUPA_A\""),
                    QStringLiteral(" LEFT JOIN \"GRUPE_A\" n ON n.\"SIFRA\" = x.\"K\""),
                    QStringLiteral("n.\"NAZIV\""), true};
        case ChartKind::TopArticles:
            return {QStringLiteral("s.\"SIFRA\""), QStringLiteral("s.\"SIFRA\""),
                    QStringLiteral(" LEFT JOIN \"ARTIKLI\" n ON n.\"SIFRA\" = x.\"K\""),
                    QStringLiteral("n.\"NAZIV\""), true};
        case ChartKind::SalesByCustomer:
        case ChartKind::TopCustomers:
            return {QStringLiteral("r.\"SIFRA PARTNERA\""), QStringLiteral("r.\"SIFRA PARTNERA\""),
                    QStringLiteral(" LEFT JOIN \"PARTNERI\" n ON n.\"SIFRA\" = x.\"K\""),
                    QStringLiteral("n.\"NAZIV\""), false};
        case ChartKind::StockValueByMonth:
            break;
    }
    throw std::logic_error("the stock value is not a sales grouping");
}

std::vector<SalesSum> ReadSales(Database& db, const ChartRequest& request, const Grouping& g) {
    const QString lines = QStringLiteral(
        " FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = r.\"SKLADISTE\" AND "
        "s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND s.\"BROJ_RACUNA\" = "
        "r.\"BROJ RACUNA\" LEFT JOIN \"ARTIKLI\" a ON s.\"TIP_STAVKE\" = ? AND a.\"SIFRA\" = "
        "s.\"SIFRA\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = ?");
    const QString articles =
        g.articlesOnly ? QStringLiteral(" AND s.\"TIP_STAVKE\" = ?") : QString();
    const QString values = QStringLiteral(
        "COALESCE(s.\"KOLICINA\", 0) AS \"Q\", COALESCE(s.\"VRIJEDNOST_\", 0) AS \"V\", "
        "COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0) AS \"C\"");
    const QString negated = QStringLiteral(
        "-COALESCE(s.\"KOLICINA\", 0), -COALESCE(s.\"VRIJEDNOST_\", 0), "
        "-COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)");
    const QString sql =
        QStringLiteral("SELECT x.\"K\", ") + g.name +
        QStringLiteral(", SUM(x.\"Q\"), SUM(x.\"V\"), SUM(x.\"C\") FROM (SELECT ") + g.invoiceKey +
        QStringLiteral(" AS \"K\", ") + values + lines + articles +
        QStringLiteral(" AND r.\"DATUM\" BETWEEN ? AND ? UNION ALL SELECT ") + g.cancellationKey +
        QStringLiteral(", ") + negated + lines + articles +
        QStringLiteral(" AND r.\"STORNO\" = ? AND r.\"DATUM_STORNA\" BETWEEN ? AND ?) x") +
        g.nameJoin + QStringLiteral(" GROUP BY x.\"K\"") +
        (g.nameJoin.isEmpty() ? QString() : QStringLiteral(", ") + g.name);

    const QVariant article = QStringLiteral("ART");
    const QDate first(request.year, 1, 1);
    const QDate last(request.year, 12, 31);
    QVariantList params{article, request.warehouse, request.year};
    if (g.articlesOnly) {
        params << article;
    }
    params << first << last << article << request.warehouse << request.year;
    if (g.articlesOnly) {
        params << article;
    }
    params << true << first << last;

    Statement st = db.Prepare(sql);
    st.Exec(params);
    std::vector<SalesSum> sums;
    while (st.Next()) {
        sums.push_back({st.Value(0), st.Text(1), st.Double(2), st.Double(3), st.Double(4)});
    }
    return sums;
}

QString MonthTitle(const QString& kind, const ChartRequest& request, bool measured) {
    QString title = kind;
    if (measured) {
        title += QStringLiteral(" - ") + MeasureCaption(request.measure).toLower();
    }
    return title + QStringLiteral(" (") + QString::number(request.year) + QLatin1Char(')');
}

Series SalesByMonth(Database& db, const ChartRequest& request) {
    Series series;
    std::array<double, 12> months{};
    for (const SalesSum& sum : ReadSales(db, request, GroupingOf(request.kind))) {
        const QDate date = sqlvalue::ToDate(sum.key);
        if (date.isValid() && date.year() == request.year) {
            months[static_cast<std::size_t>(date.month() - 1)] += MeasureOf(sum, request.measure);
            series.empty = false;
        }
    }
    for (int m = 1; m <= 12; ++m) {
        series.points.push_back({MonthLabel(m), months[static_cast<std::size_t>(m - 1)]});
    }
    return series;
}

Series SalesByKey(Database& db, const ChartRequest& request) {
    Series series;
    const std::vector<SalesSum> sums = ReadSales(db, request, GroupingOf(request.kind));
    series.empty = sums.empty();
    const bool customers =
        request.kind == ChartKind::SalesByCustomer || request.kind == ChartKind::TopCustomers;
    struct Ranked {
        Point point;
        qlonglong code = 0;
    };
    std::vector<Ranked> ranked;
    for (const SalesSum& sum : sums) {
        const qlonglong code = sum.key.isNull() ? 0 : sum.key.toLongLong();
        QString label = sum.name.trimmed();
        if (code == 0 && customers) {
            label = QStringLiteral("Bez kupca");
        } else if (code == 0 && request.kind == ChartKind::SalesByGroup) {
            label = QStringLiteral("Bez grupe");
        } else if (label.isEmpty()) {
            label = QString::number(code);
        }
        ranked.push_back({{label, MeasureOf(sum, request.measure)}, code});
    }
    if (request.kind == ChartKind::SalesByGroup) {
        std::sort(ranked.begin(), ranked.end(),
                  [](const Ranked& a, const Ranked& b) { return a.code < b.code; });
    } else {
        std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
            if (a.point.value != b.point.value) {
                return a.point.value > b.point.value;
            }
            return a.code < b.code;
        });
    }
    if (IsTopChart(request.kind) && request.limit >= 0 &&
        ranked.size() > static_cast<std::size_t>(request.limit)) {
        ranked.resize(static_cast<std::size_t>(request.limit));
    }
    for (Ranked& r : ranked) {
        series.points.push_back(std::move(r.point));
    }
    return series;
}

// The trade book's goods balance (received less sold, at the book's values) after every entry
// dated up to each month end.
Series StockValueByMonth(Database& db, const ChartRequest& request) {
    Series series;
    Statement st = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", SUM(COALESCE(\"NABAVA_VRIJEDNOST\", 0) - "
        "COALESCE(\"PRODAJA_VRIJEDNOST\", 0)) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? GROUP BY \"DATUM\""));
    st.Exec({request.warehouse, request.year});
    std::array<double, 12> change{};
    double before = 0;  // entries dated before the year (an opening balance booked early)
    while (st.Next()) {
        const QDate date = sqlvalue::ToDate(st.Value(0));
        series.empty = false;
        if (!date.isValid() || date.year() < request.year) {
            before += st.Double(1);
        } else if (date.year() == request.year) {
            change[static_cast<std::size_t>(date.month() - 1)] += st.Double(1);
        }
    }
    double balance = before;
    for (int m = 1; m <= 12; ++m) {
        balance += change[static_cast<std::size_t>(m - 1)];
        series.points.push_back({MonthLabel(m), balance});
    }
    return series;
}

}  // namespace

QString KindCaption(ChartKind kind) {
    switch (kind) {
        case ChartKind::SalesByMonth:
            return QStringLiteral("Prodaja po mjesecima");
        case ChartKind::SalesByGroup:
            return QStringLiteral("Prodaja po grupama artikala");
        case ChartKind::SalesByCustomer:
            return QStringLiteral("Prodaja po kupcima");
        case ChartKind::TopArticles:
            return QStringLiteral("Najprodavaniji artikli");
        case ChartKind::TopCustomers:
            return QStringLiteral("Najbolji kupci");
        case ChartKind::StockValueByMonth:
            return QStringLiteral("Vrijednost zalihe na kraju mjeseca");
    }
    return QString();
}

QString MeasureCaption(Measure measure) {
    switch (measure) {
        case Measure::Quantity:
            return QStringLiteral("Količina");
        case Measure::Margin:
            return QStringLiteral("Zarada");
        case Measure::Turnover:
            return QStringLiteral("Promet");
    }
    return QString();
}

bool UsesMeasure(ChartKind kind) {
    return kind != ChartKind::StockValueByMonth;
}

bool IsTopChart(ChartKind kind) {
    return kind == ChartKind::TopArticles || kind == ChartKind::TopCustomers;
}

QString MonthLabel(int month) {
    static const std::array<const char16_t*, 12> names{u"sij", u"velj", u"ožu", u"tra",
                                                       u"svi", u"lip",  u"srp", u"kol",
                                                       u"ruj", u"lis",  u"stu", u"pro"};
    if (month < 1 || month > 12) {
        return QString();
    }
    return QString::fromUtf16(names[static_cast<std::size_t>(month - 1)]);
}

std::optional<ChartRequest> RequestForCommand(const QString& controlName) {
    struct Entry {
        const char16_t* name;
        ChartKind kind;
        Measure measure;
        int limit;
    };
    static const Entry entries[] = {
        {u"Graf_art_god_kolicina", ChartKind::SalesByMonth, Measure::Quantity, 20},
        {u"Graf_art_god_zarada", ChartKind::SalesByMonth, Measure::Margin, 20},
        {u"Graf_art_god_promet", ChartKind::SalesByMonth, Measure::Turnover, 20},
        {u"Graf_kup_god_zarada", ChartKind::SalesByCustomer, Measure::Margin, 20},
        {u"Graf_kup_god_promet", ChartKind::SalesByCustomer, Measure::Turnover, 20},
        {u"Graf_10_naj_art_kolicina", ChartKind::TopArticles, Measure::Quantity, 10},
        {u"Graf_10_naj_art_zarada", ChartKind::TopArticles, Measure::Margin, 10},
        {u"Graf_10_naj_art_promet", ChartKind::TopArticles, Measure::Turnover, 10},
        {u"Graf_10_naj_kup_zarada", ChartKind::TopCustomers, Measure::Margin, 10},
        {u"Graf_10_naj_kup_promet", ChartKind::TopCustomers, Measure::Turnover, 10},
    };
    for (const Entry& e : entries) {
        if (controlName == QString::fromUtf16(e.name)) {
            ChartRequest request;
            request.kind = e.kind;
            request.measure = e.measure;
            request.limit = e.limit;
            return request;
        }
    }
    return std::nullopt;
}

Series BuildChart(Database& db, const ChartRequest& request) {
    Series series;
    switch (request.kind) {
        case ChartKind::SalesByMonth:
            series = SalesByMonth(db, request);
            break;
        case ChartKind::StockValueByMonth:
            series = StockValueByMonth(db, request);
            break;
        default:
            series = SalesByKey(db, request);
            break;
    }
    QString kind = KindCaption(request.kind);
    if (IsTopChart(request.kind)) {
        kind = QString::number(request.limit) + QLatin1Char(' ') +
               (request.kind == ChartKind::TopArticles ? QStringLiteral("najprodavanijih artikala")
                                                       : QStringLiteral("najboljih kupaca"));
    }
    series.title = MonthTitle(kind, request, UsesMeasure(request.kind));
    series.valueCaption =
        UsesMeasure(request.kind) ? MeasureCaption(request.measure) : QStringLiteral("Vrijednost");
    return series;
}

}  // namespace zodra::charts
