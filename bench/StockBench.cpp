// Stock valuation targets, each as a ratio measured in one run:
//  - RecomputeAverageCost of one article with 100,000 card movements (1,000 receipts with 99
//    issues between each two), every issue's cost rewritten, vs one plain SELECT of those
//    movements from the article card (≤ 10×)
//  - RecomputeBalance of 100,000 trade-book entries, every balance rewritten, vs a plain SELECT
//    of the same rows (≤ 3×)
//  - PostReceiptIntoLots of a 1,000-line receipt under FIFO, average and last price vs a bare
//    insert of 1,000 lot rows (≤ 3×)
#include <QDate>
#include <map>
#include <memory>

#include "BenchSupport.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/StockMethod.h"
#include "data/Transaction.h"
#include "stock/AverageCost.h"
#include "stock/ReceiptLots.h"
#include "stock/TradeBook.h"

using namespace zodra;

namespace {

constexpr int kYear = 2026;

QString MakeCompany(const QString& name) {
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(path, kYear);
    auto db = Database::Open(path, QString()).db;
    db->ExecRaw(QStringLiteral(
        "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno'), (2, 'Drugo')"));
    return path;
}

// One article's year: 1,000 pooled receipts (the first one the opening stock), and between each
// two 99 issues (issue notes and invoices, one line each), costed as posting would cost them.
// Another article in the same warehouse and the same article in another warehouse add the noise of
// a real company.
const QString& CardCompany() {
    static const QString path = [] {
        const QString p = MakeCompany(QStringLiteral("kartica"));
        auto db = Database::Open(p, QString()).db;
        Transaction tx(*db);
        Statement receipt = db->Prepare(QStringLiteral(
            "INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", \"DATUM\", "
            "\"RBR_TK\", \"SkladisnaMetoda\") VALUES (?, ?, ?, '2026-03-02', ?, 'Prosječna "
            "cijena')"));
        Statement receiptLine = db->Prepare(QStringLiteral(
            "INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
            "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", "
            "\"CIJENA\", \"VRIJEDNOST\", \"RBR_STAVKE\") VALUES (?, ?, ?, 'ART', ?, ?, ?, ?, 10, "
            "?, 1)"));
        Statement issue = db->Prepare(QStringLiteral(
            "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\", "
            "\"RBR_TK\") VALUES (?, ?, ?, '2026-03-02', ?)"));
        Statement issueLine = db->Prepare(QStringLiteral(
            "INSERT INTO \"STAVKE_IZDATNICA\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
            "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
            "\"NABAVNA_VRIJEDNOST\", \"CIJENA\", \"VRIJEDNOST\") VALUES (?, ?, ?, ?, 0, ?, ?, ?, "
            "10, ?)"));
        Statement invoice = db->Prepare(QStringLiteral(
            "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
            "\"DATUM\", \"RBR_TK\", \"SKIDA\") VALUES (?, 1, ?, ?, '2026-03-02', ?, TRUE)"));
        Statement invoiceLine = db->Prepare(QStringLiteral(
            "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
            "\"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
            "\"NABAVNA_VRIJEDNOST\", \"CIJENA_\", \"VRIJEDNOST_\", \"RUC_IZNOS\") VALUES (?, 1, ?, "
            "?, 'ART', ?, 0, ?, ?, ?, 10, ?, ?)"));
        Statement lot = db->Prepare(QStringLiteral(
            "INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
            "\"SIFRA_ARTIKLA\", \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", "
            "\"VELEPRODAJNA CIJENA\") VALUES (?, ?, 0, ?, ?, ?, ?, 10)"));
        for (const auto& [warehouse, article] :
             {std::pair{1, 1}, std::pair{1, 2}, std::pair{2, 1}}) {
            const bool main = warehouse == 1 && article == 1;
            const int receipts = main ? 1000 : 50;
            double q = 0;
            double c = 0;
            int position = warehouse == 1 && article == 2 ? 200000 : 0;
            for (int r = 1; r <= receipts; ++r) {
                // A large opening stock in the first receipt weighs in every later average, so
                // that correcting its cost changes the cost of every issue after it.
                const double quantity = r == 1 ? 1000000 : 100 + r % 7;
                const double cost = 5.0 + (r % 13) * 0.37;
                const int number = ++position;
                receipt.Exec({warehouse, kYear, number, number});
                receiptLine.Exec({warehouse, kYear, number, article, quantity, cost,
                                  quantity * cost, quantity * 10});
                c = (q * c + quantity * cost) / (q + quantity);
                q = RoundQuantity(q + quantity);
                for (int i = 0; i < 99; ++i) {
                    const int issued = ++position;
                    const double out = 1;
                    if (i % 2 == 0) {
                        issue.Exec({warehouse, kYear, issued, issued});
                        issueLine.Exec(
                            {warehouse, kYear, issued, article, out, c, out * c, out * 10});
                    } else {
                        invoice.Exec({warehouse, kYear, issued, issued});
                        invoiceLine.Exec({warehouse, kYear, issued, article, out, c, out * c,
                                          out * 10, out * (10 - c)});
                    }
                    q = RoundQuantity(q - out);
                }
            }
            lot.Exec({warehouse, kYear, article, q, q, c});
        }
        tx.Commit();
        return p;
    }();
    return path;
}

void BM_RecomputeAverageCost_100000(benchmark::State& state) {
    auto db = Database::Open(CardCompany(), QString()).db;
    // Each round corrects the opening receipt's cost (to and fro), so that every one of the
    // 99,000 issues after it gets a new cost. The recomputation runs inside the correction's
    // transaction; its commit is the correction's and is not counted here.
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double cost = (round++ % 2 == 0) ? 5.5 : 5.0;
        auto tx = std::make_unique<Transaction>(*db);
        db->Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"NABAVNA_CIJENA\" = ? WHERE "
                                "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = 1"),
                 {cost, kYear});
        state.ResumeTiming();
        benchmark::DoNotOptimize(stock::RecomputeAverageCost(*db, 1, kYear, 1, 1));
        state.PauseTiming();
        tx->Commit();
        tx.reset();
        state.ResumeTiming();
    }
    state.counters["movements"] = 100000;
}

void BM_CardSelect_100000(benchmark::State& state) {
    auto db = Database::Open(CardCompany(), QString()).db;
    for (auto _ : state) {
        Statement rows = db->Prepare(QStringLiteral(
            "SELECT \"RBR\", \"TIP_DOKUMENTA\", \"IRA\", \"BROJ_DOKUMENTA\", \"KOLIČINA ULAZ\", "
            "\"KOLIČINA IZLAZ\", \"NABAVNA CIJENA\" FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" "
            "= ? AND \"GODINA\" = ? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = 0 ORDER BY "
            "\"RBR\""));
        rows.Exec({1, kYear, 1});
        double sum = 0;
        int count = 0;
        while (rows.Next()) {
            sum += rows.Int(0) + rows.Text(1).size() + rows.Int(2) + rows.Int(3) + rows.Double(4) +
                   rows.Double(5) + rows.Double(6);
            ++count;
        }
        benchmark::DoNotOptimize(sum);
        if (count != 100000) {
            state.SkipWithError("the card does not hold 100,000 movements");
        }
    }
}

const QString& BookCompany() {
    static const QString path = [] {
        const QString p = MakeCompany(QStringLiteral("knjiga"));
        auto db = Database::Open(p, QString()).db;
        Transaction tx(*db);
        Statement entry = db->Prepare(QStringLiteral(
            "INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", \"RBR\", "
            "\"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", \"NABAVA_VRIJEDNOST\", "
            "\"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", \"PRODAJA_UKUPNO\", \"STANJE_ROBE\") "
            "VALUES (?, ?, ?, ?, ?, '2026-03-02', 'opis', ?, ?, ?, ?, ?)"));
        for (int warehouse : {1, 2}) {
            double balance = 0;
            for (int n = 1; n <= (warehouse == 1 ? 100000 : 20000); ++n) {
                const bool receipt = n % 3 == 0;
                const double purchase = receipt ? 100.0 + n % 17 : 0.0;
                const double sales = receipt ? 0.0 : 30.0 + n % 11;
                balance += purchase - sales;
                entry.Exec({warehouse, kYear, n,
                            receipt ? QStringLiteral("PRIMKA") : QStringLiteral("1RAČUN"), n,
                            purchase, sales, sales * 0.25, sales * 1.25, balance});
            }
        }
        tx.Commit();
        return p;
    }();
    return path;
}

void BM_RecomputeBalance_100000(benchmark::State& state) {
    auto db = Database::Open(BookCompany(), QString()).db;
    // Each round changes the first entry, so every one of the 100,000 balances is rewritten.
    // The recomputation runs inside the deletion's transaction; its commit is the deletion's
    // and is not counted here.
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tx = std::make_unique<Transaction>(*db);
        db->Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET "
                                "\"NABAVA_VRIJEDNOST\" = ? WHERE \"SKLADISTE\" = 1 AND \"GODINA\" "
                                "= ? AND \"RBR\" = 1"),
                 {(round++ % 2 == 0) ? 1.0 : 0.0, kYear});
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            tradebook::RecomputeBalance(*db, tradebook::Book::Wholesale, 1, kYear));
        state.PauseTiming();
        tx->Commit();
        tx.reset();
        state.ResumeTiming();
    }
}

// The least any rewrite of every balance costs: one UPDATE of the same rows, no computation.
void BM_BookRewrite_100000(benchmark::State& state) {
    auto db = Database::Open(BookCompany(), QString()).db;
    int round = 0;
    for (auto _ : state) {
        Transaction tx(*db);
        db->Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"STANJE_ROBE\" = "
                                "\"STANJE_ROBE\" + ? WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = ?"),
                 {(round++ % 2 == 0) ? 1.0 : -1.0, kYear});
        tx.Commit();
    }
}

void BM_BookSelect_100000(benchmark::State& state) {
    auto db = Database::Open(BookCompany(), QString()).db;
    for (auto _ : state) {
        Statement rows = db->Prepare(QStringLiteral(
            "SELECT \"RBR\", \"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"STANJE_ROBE\" FROM "
            "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY "
            "\"RBR\""));
        rows.Exec({1, kYear});
        double sum = 0;
        while (rows.Next()) {
            sum += rows.Int(0) + rows.Double(1) + rows.Double(2) + rows.Double(3);
        }
        benchmark::DoNotOptimize(sum);
    }
}

// A company with 5,000 articles, of which every receipt brings 1,000; one per measurement, made
// once, so that repetitions go on where the previous one stopped.
QString ReceiptCompany(const QString& name) {
    static std::map<QString, QString> companies;
    if (!companies.count(name)) {
        const QString p = MakeCompany(name);
        auto db = Database::Open(p, QString()).db;
        db->ExecRaw(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_P\") SELECT i, 'Artikl ' || "
            "i, 1 FROM n"));
        companies[name] = p;
    }
    return companies[name];
}

// The header and 1,000 lines of a receipt, written outside the measurement. Under the last
// price every tenth article comes at a new selling price each round.
void WriteReceipt(Database& db, int number, StockMethod method, int round) {
    db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"RBR_TK\", \"SkladisnaMetoda\") VALUES (1, ?, ?, "
                           "'2026-03-02', ?, ?)"),
            {kYear, number, number, StockMethodText(method)});
    db.Exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                "INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"NABAVNA_CIJENA\", \"CIJENA\", "
                "\"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\") SELECT 1, ?, ?, 'ART', i * 5, 10, 4 + "
                "(i % 7), CASE WHEN i % 10 = 0 THEN 12 + ? ELSE 12 END, 25, i FROM n"),
            {kYear, number, round % 2});
}

void PostReceipt(benchmark::State& state, StockMethod method, const QString& name) {
    auto db = Database::Open(ReceiptCompany(name), QString()).db;
    int number =
        sqlvalue::ToInt(db->Scalar(QStringLiteral("SELECT MAX(\"BROJ PRIMKE\") FROM \"PRIMKE\"")));
    for (auto _ : state) {
        state.PauseTiming();
        ++number;
        WriteReceipt(*db, number, method, number);
        state.ResumeTiming();
        Transaction tx(*db);
        stock::PostReceiptIntoLots(*db, {1, kYear, number});
        tx.Commit();
    }
}

void BM_PostReceiptIntoLots_Fifo(benchmark::State& state) {
    PostReceipt(state, StockMethod::Fifo, QStringLiteral("fifo"));
}
void BM_PostReceiptIntoLots_Average(benchmark::State& state) {
    PostReceipt(state, StockMethod::Average, QStringLiteral("prosjek"));
}
void BM_PostReceiptIntoLots_LastPrice(benchmark::State& state) {
    PostReceipt(state, StockMethod::LastPrice, QStringLiteral("zadnja"));
}

void BM_BareLotInsert_1000(benchmark::State& state) {
    auto db = Database::Open(ReceiptCompany(QStringLiteral("gole_nabave")), QString()).db;
    int number =
        sqlvalue::ToInt(db->Scalar(QStringLiteral("SELECT MAX(\"BROJ_PRIMKE\") FROM \"NABAVE\"")));
    for (auto _ : state) {
        ++number;
        Transaction tx(*db);
        Statement insert = db->Prepare(QStringLiteral(
            "INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
            "\"SIFRA_ARTIKLA\", \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", "
            "\"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\") VALUES (1, ?, ?, ?, 10, 10, 4, 12, "
            "25)"));
        for (int i = 1; i <= 1000; ++i) {
            insert.Exec({kYear, number, i * 5});
        }
        tx.Commit();
    }
}

}  // namespace

BENCHMARK(BM_CardSelect_100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_RecomputeAverageCost_100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(3);
BENCHMARK(BM_BookSelect_100000)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);
BENCHMARK(BM_BookRewrite_100000)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);
BENCHMARK(BM_RecomputeBalance_100000)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);
BENCHMARK(BM_BareLotInsert_1000)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(3);
BENCHMARK(BM_PostReceiptIntoLots_Fifo)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3);
BENCHMARK(BM_PostReceiptIntoLots_Average)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3);
BENCHMARK(BM_PostReceiptIntoLots_LastPrice)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3);

int main(int argc, char** argv) {
    return bench::RunAndReport(
        argc, argv,
        {{"RecomputeAverageCost, 100,000 movements vs SELECT of the card",
          "BM_RecomputeAverageCost_100000", "BM_CardSelect_100000", 10.0},
         {"RecomputeBalance, 100,000 entries vs SELECT of the book", "BM_RecomputeBalance_100000",
          "BM_BookSelect_100000", 3.0},
         {"PostReceiptIntoLots FIFO, 1,000 lines vs bare insert", "BM_PostReceiptIntoLots_Fifo",
          "BM_BareLotInsert_1000", 3.0},
         {"PostReceiptIntoLots average, 1,000 lines vs bare insert",
          "BM_PostReceiptIntoLots_Average", "BM_BareLotInsert_1000", 3.0},
         {"PostReceiptIntoLots last price, 1,000 lines vs bare insert",
          "BM_PostReceiptIntoLots_LastPrice", "BM_BareLotInsert_1000", 3.0}});
}
