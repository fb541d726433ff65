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
#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptPosting.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "retail/XReport.h"

using namespace zodra;

namespace {

constexpr int kBigArticles = 50000;
constexpr int kSmallArticles = 500;
constexpr int kLinesPerFilledInvoice = 20;
constexpr double kStock = 1000000;
const QDate kDate(2026, 3, 10);

int FilledLines() {
    bool ok = false;
    const int lines = qEnvironmentVariableIntValue("ZODRA_BENCH_RETAIL_LINES", &ok);
    return ok && lines >= 0 ? lines : 1000000;
}

struct Workstation {
    Session session;
    ScriptedPrompter prompter;
};

std::unique_ptr<Workstation> Start(const QString& path) {
    auto w = std::make_unique<Workstation>();
    w->session.Attach(Database::Open(path, QString()).db);
    w->session.userName = QStringLiteral("admin");
    sessionstart::Start(w->session, 1, w->prompter, QDate(2026, 3, 2));
    w->session.workstation.debugMode = false;
    return w;
}

// Receipt 1 brings kStock of every article into lot 1 (cost 9, price 11.25, retail margin 10 %)
// through the real receipt posting.
void ReceiveStock(Workstation& w, int articles) {
    Database& db = w.session.Db();
    db.Exec(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
            "\"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", "
            "\"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", "
            "\"SPEDICIJA_IZNOS\", \"ZTR_%\", \"ZTR_IZNOS\", \"NABAVNA_CIJENA\", "
            "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", "
            "\"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\", \"Multiuser_sifra\") SELECT 1, 2026, 0, "
            "'ART', i, ?, 10, 10 * ?, 10, ?, 9, 9 * ?, 0, 0, 0, 0, 0, 0, 9, 9 * ?, 25, "
            "2.25 * ?, 11.25, 11.25 * ?, 10, i, ? FROM n"),
        {articles, kStock, kStock, kStock, kStock, kStock, kStock, kStock, w.session.sessionCode});
    purchasing::ReceiptHeaderData header;
    header.date = QDate(2026, 3, 2);
    header.supplier = 10;
    header.supplierDocument = QStringLiteral("R-1");
    if (!purchasing::PostReceipt(w.session, w.prompter, header, std::nullopt)) {
        throw std::runtime_error("the stock receipt was not posted");
    }
}

// Posted retail invoices of 20 lines each from lot 1 with their trade-book entries and the lots
// reduced by what they took: bare inserts in one transaction.
void FillInvoices(Database& db, int lines, int articles) {
    const int invoices = lines / kLinesPerFilledInvoice;
    if (invoices == 0) {
        return;
    }
    const int first = db.Scalar(QStringLiteral("SELECT COALESCE(MAX(\"RBR\"), 0) + 1 FROM "
                                               "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                               "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026"))
                          .toInt();
    const double before =
        db.Scalar(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                 "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 ORDER BY \"RBR\" "
                                 "DESC LIMIT 1"))
            .toDouble();
    Transaction tx(db);
    db.Exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
                "\"PLACENO\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA "
                "NAZIV\", \"NACIN ISPORUKE\", \"NACIN PLACANJA\", \"RBR_TK\", \"KORISNIK\", "
                "\"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") SELECT 1, 1, 2026, i, TRUE, "
                "'2026-03-02', 1, 1, 'Kupac u maloprodaji', 'osobno', 'gotovinom', ? + i - 1, "
                "'admin', '2026-03-02 10:00:00', TRUE FROM n"),
            {invoices, first});
    db.Exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ? - 1) "
                "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
                "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", "
                "\"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", "
                "\"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", \"RBR_STAVKE\", "
                "\"CIJENA_SKLADISTA\") SELECT 1, 1, 2026, i / ? + 1, 'ART', i % ? + 1, 1, 1, 9, "
                "9, 37.5, 3.375, 12.375, 12.375, 0, 0, 12.375, 12.375, 'PDV', 25, 3.09375, "
                "15.46875, 12, '', i % ? + 1, 11.25 FROM n"),
            {invoices * kLinesPerFilledInvoice, kLinesPerFilledInvoice, articles,
             kLinesPerFilledInvoice});
    db.Exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                "INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                "\"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", "
                "\"PRODAJA_UKUPNO\", \"STANJE_ROBE\") SELECT 1, 2026, ? + i - 1, '1RAČUN', i, "
                "'2026-03-02', 'RAČUN ' || i || ' Maloprodaja', 0, 247.5, 61.875, 309.375, "
                "? - 225 * i FROM n"),
            {invoices, first, before});
    db.Exec(QStringLiteral(
        "UPDATE \"NABAVE\" SET \"KOLICINA\" = \"KOLICINA\" - (SELECT COUNT(*) FROM "
        "\"STAVKE_RACUNA\" s WHERE s.\"SKLADISTE\" = 1 AND s.\"GODINA\" = 2026 AND s.\"SIFRA\" = "
        "\"NABAVE\".\"SIFRA_ARTIKLA\" AND s.\"BROJ_PRIMKE\" = 1), \"KOLICINA_PRIVREMENO\" = "
        "\"KOLICINA_PRIVREMENO\" - (SELECT COUNT(*) FROM \"STAVKE_RACUNA\" s WHERE "
        "s.\"SKLADISTE\" = 1 AND s.\"GODINA\" = 2026 AND s.\"SIFRA\" = "
        "\"NABAVE\".\"SIFRA_ARTIKLA\" AND s.\"BROJ_PRIMKE\" = 1) WHERE \"SKLADISTE\" = 1 AND "
        "\"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = 1"));
    tx.Commit();
    db.ExecRaw(QStringLiteral("ANALYZE"));
}

// Warehouse 1 (retail), a supplier, `articles` articles with barcodes "B" + code in tax group
// 1, the stock of receipt 1, then `filled` posted retail invoice lines. Made once per name.
QString Company(const QString& name, int articles, int filled) {
    static std::map<QString, QString> companies;
    if (companies.count(name)) {
        return companies[name];
    }
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(path, 2026);
    {
        auto db = Database::Open(path, QString()).db;
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", "
                           "\"MALOPRODAJA\") VALUES (1, 'Trgovina', TRUE)"));
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Dobavljac\") "
                           "VALUES (10, 'Dobavljač', TRUE)"));
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "?) INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                     "\"GRUPA_A\", \"GRUPA_P\", \"BARKOD\") SELECT i, 'Artikal ' || i, 'A-' || i, "
                     "'kom', 1, 1, 'B' || i FROM n"),
                 {articles});
    }
    {
        auto w = Start(path);
        ReceiveStock(*w, articles);
        FillInvoices(w->session.Db(), filled, articles);
        sessionstart::End(w->session);
    }
    companies[name] = path;
    return path;
}

QString Barcode(int i, int articles) {
    return QStringLiteral("B") + QString::number((i * 7919) % articles + 1);
}

void Scan(benchmark::State& state, const QString& company, int articles) {
    auto w = Start(company);
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
    auto w = Start(company);
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
