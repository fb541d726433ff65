#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <map>
#include <memory>

#include "charts/ChartData.h"
#include "data/CommandCatalogue.h"
#include "data/Database.h"
#include "support/DemoTestCompany.h"

using namespace zodra;
using namespace zodra::charts;

namespace {

// The demo company (sales from January to the end of June 2026, every twelfth invoice cancelled
// on the day after), made once for the whole program: the series only read it.
class ChartDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<QTemporaryDir>();
        s_demo = std::make_unique<test::DemoTestCompany>(s_dir->path(), QDate(2026, 6, 30));
        s_db = Database::Open(s_demo->Path(), QString()).db;
    }
    static void TearDownTestSuite() {
        s_db.reset();
        s_demo.reset();
        s_dir.reset();
    }

    Database& Db() { return *s_db; }
    Series Chart(ChartKind kind, Measure measure, int year = 2026, int limit = 20) {
        ChartRequest request;
        request.kind = kind;
        request.measure = measure;
        request.warehouse = 1;
        request.year = year;
        request.limit = limit;
        return BuildChart(Db(), request);
    }
    // A sum over the article lines of warehouse 1 and 2026: invoices dated in the range less the
    // invoices cancelled in it, with `extra` narrowing the lines (a = ARTIKLI).
    double Sales(const QString& amount, const QString& from, const QString& to,
                 const QString& extra = QStringLiteral("1 = 1")) {
        const QString sql = QStringLiteral(
            "SELECT COALESCE(SUM(%1), 0) FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" s ON "
            "s.\"SKLADISTE\" = r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = "
            "r.\"GODINA\" AND s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" JOIN \"ARTIKLI\" a ON "
            "a.\"SIFRA\" = s.\"SIFRA\" WHERE r.\"SKLADISTE\" = 1 AND r.\"GODINA\" = 2026 AND "
            "s.\"TIP_STAVKE\" = 'ART' AND %2 AND r.%3 BETWEEN ? AND ?");
        const double issued =
            Db().Scalar(sql.arg(amount, extra, QStringLiteral("\"DATUM\"")), {from, to}).toDouble();
        const double cancelled =
            Db().Scalar(sql.arg(amount, extra, QStringLiteral("\"DATUM_STORNA\"")) +
                            QStringLiteral(" AND r.\"STORNO\" = ?"),
                        {from, to, true})
                .toDouble();
        return issued - cancelled;
    }

    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline std::unique_ptr<test::DemoTestCompany> s_demo;
    static inline std::unique_ptr<Database> s_db;
};

constexpr double kCent = 0.005;

}  // namespace

// March by month, in all three measures; March holds cancellations, so a series that ignored
// them (or took them on their invoice date) would differ.
TEST_F(ChartDemo, AMonthOfSalesInEveryMeasure) {
    ASSERT_GT(Db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = "
                                         "1 AND \"STORNO\" = ? AND \"DATUM_STORNA\" BETWEEN "
                                         "'2026-03-01' AND '2026-03-31'"),
                          {true})
                  .toInt(),
              0);
    const QString from = QStringLiteral("2026-03-01");
    const QString to = QStringLiteral("2026-03-31");
    const struct {
        Measure measure;
        QString amount;
    } cases[] = {
        {Measure::Quantity, QStringLiteral("s.\"KOLICINA\"")},
        {Measure::Turnover, QStringLiteral("s.\"VRIJEDNOST_\"")},
        {Measure::Margin, QStringLiteral("s.\"VRIJEDNOST_\" - s.\"NABAVNA_VRIJEDNOST\"")},
    };
    for (const auto& c : cases) {
        const Series series = Chart(ChartKind::SalesByMonth, c.measure);
        ASSERT_EQ(series.points.size(), 12u);
        EXPECT_FALSE(series.empty);
        EXPECT_EQ(series.points[2].label, QStringLiteral("ožu"));
        const double expected = Sales(c.amount, from, to);
        EXPECT_GT(expected, 0) << c.amount.toStdString();
        EXPECT_NEAR(series.points[2].value, expected, kCent) << c.amount.toStdString();
        // Nothing is sold after the demo's last day.
        EXPECT_EQ(series.points[11].value, 0);
    }
    EXPECT_EQ(Chart(ChartKind::SalesByMonth, Measure::Turnover).title,
              QStringLiteral("Prodaja po mjesecima - promet (2026)"));
}

TEST_F(ChartDemo, AnArticleGroupOverTheYear) {
    const Series series = Chart(ChartKind::SalesByGroup, Measure::Margin);
    ASSERT_FALSE(series.points.empty());
    // The group most often sold.
    const QVariant group = Db().Scalar(QStringLiteral(
        "SELECT a.\"GRUPA_A\" FROM \"STAVKE_RACUNA\" s JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = "
        "s.\"SIFRA\" WHERE s.\"SKLADISTE\" = 1 AND s.\"TIP_STAVKE\" = 'ART' AND a.\"GRUPA_A\" "
        "IS NOT NULL GROUP BY a.\"GRUPA_A\" ORDER BY COUNT(*) DESC, a.\"GRUPA_A\" LIMIT 1"));
    const QString name = Db().Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"GRUPE_A\" WHERE "
                                                    "\"SIFRA\" = ?"),
                                     {group})
                             .toString();
    double shown = 0;
    double total = 0;
    for (const Point& p : series.points) {
        total += p.value;
        if (p.label == name) {
            shown = p.value;
        }
    }
    const QString from = QStringLiteral("2026-01-01");
    const QString to = QStringLiteral("2026-12-31");
    EXPECT_NEAR(shown,
                Sales(QStringLiteral("s.\"VRIJEDNOST_\" - s.\"NABAVNA_VRIJEDNOST\""), from, to,
                      QStringLiteral("a.\"GRUPA_A\" = ") + group.toString()),
                kCent);
    EXPECT_NE(shown, 0);
    // The groups together are the year's articles.
    EXPECT_NEAR(total,
                Sales(QStringLiteral("s.\"VRIJEDNOST_\" - s.\"NABAVNA_VRIJEDNOST\""), from, to),
                kCent);
}

// The best articles come first and the list is cut after the limit; the first is the one plain
// SQL finds, and a limit beyond the articles sold shows them all.
TEST_F(ChartDemo, TheBestArticlesInOrderAndCut) {
    const int sold = Db().Scalar(QStringLiteral("SELECT COUNT(DISTINCT s.\"SIFRA\") FROM "
                                                "\"STAVKE_RACUNA\" s WHERE s.\"SKLADISTE\" = 1 "
                                                "AND s.\"TIP_STAVKE\" = 'ART'"))
                         .toInt();
    ASSERT_GT(sold, 5);
    for (const Measure measure : {Measure::Turnover, Measure::Margin}) {
        const Series top = Chart(ChartKind::TopArticles, measure, 2026, 5);
        ASSERT_EQ(top.points.size(), 5u);
        for (std::size_t i = 1; i < top.points.size(); ++i) {
            EXPECT_GE(top.points[i - 1].value, top.points[i].value);
        }
        const QString amount = measure == Measure::Turnover
                                   ? QStringLiteral("s.\"VRIJEDNOST_\"")
                                   : QStringLiteral("s.\"VRIJEDNOST_\" - s.\"NABAVNA_VRIJEDNOST\"");
        const QVariant best = Db().Scalar(
            QStringLiteral("SELECT s.\"SIFRA\" FROM \"STAVKE_RACUNA\" s JOIN \"RACUNI\" r ON "
                           "s.\"SKLADISTE\" = r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND "
                           "s.\"GODINA\" = r.\"GODINA\" AND s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" "
                           "WHERE r.\"SKLADISTE\" = 1 AND r.\"GODINA\" = 2026 AND "
                           "s.\"TIP_STAVKE\" = 'ART' AND r.\"STORNO\" = ? GROUP BY s.\"SIFRA\" "
                           "ORDER BY SUM(") +
                amount + QStringLiteral(") DESC LIMIT 1"),
            {false});
        EXPECT_EQ(
            top.points[0].label,
            Db().Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                        {best})
                .toString());
        EXPECT_NEAR(top.points[0].value,
                    Sales(amount, QStringLiteral("2026-01-01"), QStringLiteral("2026-12-31"),
                          QStringLiteral("a.\"SIFRA\" = ") + best.toString()),
                    kCent);
    }
    EXPECT_EQ(Chart(ChartKind::TopArticles, Measure::Turnover, 2026, 50).points.size(),
              static_cast<std::size_t>(std::min(sold, 50)));
    EXPECT_EQ(Chart(ChartKind::TopArticles, Measure::Quantity, 2026, 10).title,
              QStringLiteral("10 najprodavanijih artikala - količina (2026)"));
}

// Customers take every line they were invoiced (services too); the ranking's total is the
// year's invoiced value.
TEST_F(ChartDemo, CustomersTakeEveryLine) {
    const Series all = Chart(ChartKind::SalesByCustomer, Measure::Turnover);
    ASSERT_GT(all.points.size(), 3u);
    double total = 0;
    for (const Point& p : all.points) {
        total += p.value;
    }
    const double issued =
        Db().Scalar(QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\") FROM \"STAVKE_RACUNA\" s "
                                   "JOIN \"RACUNI\" r ON s.\"SKLADISTE\" = r.\"SKLADISTE\" "
                                   "AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = "
                                   "r.\"GODINA\" AND s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" "
                                   "WHERE r.\"SKLADISTE\" = 1 AND r.\"STORNO\" = ?"),
                    {false})
            .toDouble();
    EXPECT_NEAR(total, issued, kCent);
    const Series top = Chart(ChartKind::TopCustomers, Measure::Turnover, 2026, 3);
    ASSERT_EQ(top.points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(top.points[i].label, all.points[i].label);
    }
}

// The goods balance of the trade book at each month end: June's is every entry up to its end,
// and the months after it carry it on.
TEST_F(ChartDemo, StockValueAtTheMonthEnds) {
    const Series series = Chart(ChartKind::StockValueByMonth, Measure::Turnover);
    ASSERT_EQ(series.points.size(), 12u);
    const auto upTo = [&](const QString& day) {
        return Db()
            .Scalar(QStringLiteral("SELECT SUM(\"NABAVA_VRIJEDNOST\" - "
                                   "\"PRODAJA_VRIJEDNOST\") FROM "
                                   "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = "
                                   "1 AND \"GODINA\" = 2026 AND \"DATUM\" <= ?"),
                    {day})
            .toDouble();
    };
    EXPECT_NEAR(series.points[1].value, upTo(QStringLiteral("2026-02-28")), kCent);
    EXPECT_NEAR(series.points[5].value, upTo(QStringLiteral("2026-06-30")), kCent);
    EXPECT_NE(series.points[1].value, series.points[5].value);
    EXPECT_EQ(series.points[11].value, series.points[5].value);
    EXPECT_EQ(series.valueCaption, QStringLiteral("Vrijednost"));
}

// A year without documents: every chart is empty, the month charts twelve zeros.
TEST_F(ChartDemo, AnEmptyYear) {
    for (const ChartKind kind :
         {ChartKind::SalesByMonth, ChartKind::SalesByGroup, ChartKind::SalesByCustomer,
          ChartKind::TopArticles, ChartKind::TopCustomers, ChartKind::StockValueByMonth}) {
        const Series series = Chart(kind, Measure::Margin, 2025);
        EXPECT_TRUE(series.empty) << KindCaption(kind).toStdString();
        const bool monthly =
            kind == ChartKind::SalesByMonth || kind == ChartKind::StockValueByMonth;
        EXPECT_EQ(series.points.size(), monthly ? 12u : 0u) << KindCaption(kind).toStdString();
        for (const Point& p : series.points) {
            EXPECT_EQ(p.value, 0);
        }
    }
}

// Every chart item of the menu "Grafikoni" opens a chart, the "10 …" items cut after ten.
TEST(ChartCommands, EveryMenuItemHasItsChart) {
    int items = 0;
    for (const commands::Command* menu : commands::Children(QStringLiteral("Grafikoni"))) {
        for (const commands::Command* item : commands::Children(menu->name)) {
            const std::optional<ChartRequest> request = RequestForCommand(item->name);
            ASSERT_TRUE(request) << item->name.toStdString();
            EXPECT_EQ(IsTopChart(request->kind), menu->name.startsWith(QStringLiteral("Graf_10")));
            if (IsTopChart(request->kind)) {
                EXPECT_EQ(request->limit, 10);
            }
            ++items;
        }
    }
    EXPECT_EQ(items, 10);
    EXPECT_FALSE(RequestForCommand(QStringLiteral("Grafikoni")));
}
