// Retail register targets, as ratios measured in one run.
//
// 1. Scan to line: a barcode scanned into a sale (article found by barcode, its lot, the sale
//    price, the free-stock check, the line written and reserved) in a company of 50,000
//    articles holding many posted invoice lines (ZODRA_BENCH_RETAIL_LINES, default 1,000,000),
//    against a company of 500 articles and none (≤ 1.5×). The absolute time is printed too.
// 2. F12: posting a sale of 10 lines in the filled company against the empty one (≤ 1.5×).
// 3. The Z report's text over a day of 10,000 receipts (3 lines each, five cashiers, a cash
//    collection each) against one bare SELECT summing those lines (≤ 3×).
#include <QDate>
#include <QtGlobal>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "BenchSupport.h"
#include "TradeCompany.h"
#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "retail/XReport.h"

using namespace zodra;

namespace {

constexpr int kBigArticles = 50000;
constexpr int kSmallArticles = 500;
const QDate kDate(2026, 3, 10);

int FilledLines() {
    bool ok = false;
    const int lines = qEnvironmentVariableIntValue("ZODRA_BENCH_RETAIL_LINES", &ok);
    return ok && lines >= 0 ? lines : 1000000;
}

using bench::StartWorkstation;

// A retail shop of `articles` articles with barcodes "B" + code and `filled` posted retail
// invoice lines, made once per name.
QString Company(const QString& name, int articles, int filled) {
    static std::map<QString, QString> companies;
    if (companies.count(name)) {
        return companies[name];
    }
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    bench::MakeTradeCompany(path, {articles, true, filled});
    companies[name] = path;
    return path;
}

QString Barcode(int i, int articles) {
    return QStringLiteral("B") + QString::number((i * 7919) % articles + 1);
}

void Scan(benchmark::State& state, const QString& company, int articles) {
    auto w = StartWorkstation(company);
    retail::TillSale sale = retail::OpenTillSale(w->session, kDate);
    int i = 0;
    for (auto _ : state) {
        const retail::RegisterLineResult line =
            retail::ScanBarcode(w->session, sale, Barcode(++i, articles));
        state.PauseTiming();
        if (line.lineNumber != 1) {
            state.SkipWithError("the scan did not make its line");
        }
        retail::DeleteRegisterLine(w->session, sale, 1);
        state.ResumeTiming();
    }
    retail::CloseTillSale(w->session, sale);
    sessionstart::End(w->session);
}

void BM_Scan_Small(benchmark::State& state) {
    Scan(state, Company(QStringLiteral("kasa_mala"), kSmallArticles, 0), kSmallArticles);
}

void BM_Scan_Big(benchmark::State& state) {
    Scan(state, Company(QStringLiteral("kasa_velika"), kBigArticles, FilledLines()), kBigArticles);
}

void Post(benchmark::State& state, const QString& company, int articles) {
    auto w = StartWorkstation(company);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        retail::TillSale sale = retail::OpenTillSale(w->session, kDate);
        for (int k = 0; k < 10; ++k) {
            retail::ScanBarcode(w->session, sale, Barcode(++i, articles));
        }
        state.ResumeTiming();
        const auto posted = retail::PostRetailSale(w->session, sale, 0);
        state.PauseTiming();
        if (!posted) {
            state.SkipWithError("the sale was not posted");
        }
        retail::CloseTillSale(w->session, sale);
        state.ResumeTiming();
    }
    sessionstart::End(w->session);
}

void BM_Post10_Empty(benchmark::State& state) {
    Post(state, Company(QStringLiteral("kasa_mala"), kSmallArticles, 0), kSmallArticles);
}

void BM_Post10_Filled(benchmark::State& state) {
    Post(state, Company(QStringLiteral("kasa_velika"), kBigArticles, FilledLines()), kBigArticles);
}

constexpr int kDayReceipts = 10000;

// A day of retail receipts in warehouse 1 on kDate: bare inserts of headers, 3 lines each and
// one cash collection each, beside a day before it of the same size.
QString DayCompany() {
    const QString path = Company(QStringLiteral("kasa_mala"), kSmallArticles, 0);
    static bool filled = false;
    if (filled) {
        return path;
    }
    auto db = Database::Open(path, QString()).db;
    Transaction tx(*db);
    for (int day = 0; day < 2; ++day) {
        const int base = 100000 + day * kDayReceipts;
        const QDate date = kDate.addDays(day - 1);
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                     "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                     "RACUNA\", \"PLACENO\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                     "\"KORISNIK\", \"SKIDA\") SELECT 1, 1, 2026, ? + i, TRUE, ?, 1, 1, 'Kasa' || "
                     "(i % 5), TRUE FROM n"),
                 {kDayReceipts, base, date});
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ? - "
                     "1) INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                     "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                     "\"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", "
                     "\"UKUPNO_\", \"RBR_STAVKE\") SELECT 1, 1, 2026, ? + i / 3 + 1, 'ART', i % "
                     "? + 1, 1, 1, 12.375, 'PDV ' || (i % 2), 25, 3.09375, 15.46875, i % 3 + 1 "
                     "FROM n"),
                 {kDayReceipts * 3, base, kSmallArticles});
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                     "INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj "
                     "računa\", \"Tip\", \"Datum\", \"Iznos\") SELECT 1, 1, 2026, ? + i, "
                     "'gotovina', ?, 46.40625 FROM n"),
                 {kDayReceipts, base, date});
    }
    tx.Commit();
    db->ExecRaw(QStringLiteral("ANALYZE"));
    filled = true;
    return path;
}

void BM_ZReportText(benchmark::State& state) {
    auto db = Database::Open(DayCompany(), QString()).db;
    retail::XReportOptions o;
    o.warehouse = 1;
    o.year = 2026;
    o.from = kDate;
    o.to = kDate;
    for (auto _ : state) {
        const QStringList lines = retail::XReportLines(*db, o);
        benchmark::DoNotOptimize(lines.size());
    }
}

void BM_ZReportBareSum(benchmark::State& state) {
    auto db = Database::Open(DayCompany(), QString()).db;
    for (auto _ : state) {
        const QVariant sum = db->Scalar(
            QStringLiteral("SELECT SUM(S.\"UKUPNO_\") FROM \"STAVKE_RACUNA\" S JOIN \"RACUNI\" R "
                           "ON R.\"SKLADISTE\" = S.\"SKLADISTE\" AND R.\"IRA\" = S.\"IRA\" AND "
                           "R.\"GODINA\" = S.\"GODINA\" AND R.\"BROJ RACUNA\" = S.\"BROJ_RACUNA\" "
                           "WHERE R.\"SKLADISTE\" = 1 AND R.\"GODINA\" = 2026 AND R.\"DATUM\" = ?"),
            {kDate});
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_Scan_Small)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Scan_Big)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Post10_Empty)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Post10_Filled)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_ZReportText)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZReportBareSum)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    std::printf("Filled company: %d articles, %d posted invoice lines (ZODRA_BENCH_RETAIL_LINES)\n",
                kBigArticles, FilledLines());
    return bench::RunAndReport(
        argc, argv,
        {{"Scan to line, 50,000 articles and filled vs 500 articles and empty", "BM_Scan_Big",
          "BM_Scan_Small", 1.5},
         {"F12 of 10 lines, filled company vs empty company", "BM_Post10_Filled", "BM_Post10_Empty",
          1.5},
         {"Z report text of 10,000 receipts vs a bare SELECT of their lines", "BM_ZReportText",
          "BM_ZReportBareSum", 3.0}});
}
