// Stock count targets, each as a ratio measured in one run, on a warehouse of 50,000 lots
// (10,000 articles with 5 lots each):
//  - PrepareStockCount (the working copy filled from the lots, committed) vs one bare SELECT of
//    those lots read row by row (≤ 3×)
//  - PostStockCount of that count with every lot counted one more or one less than booked (each
//    lot checked and set, lines copied with their tax groups, working copy cleared, trade-book
//    entry) vs bare prepared UPDATEs of the same 50,000 lot rows in one transaction (≤ 4×)
#include <QDate>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "stockdocs/StockCount.h"

using namespace zodra;

namespace {

constexpr int kArticles = 10000;
constexpr int kLotsPerArticle = 5;
constexpr int kLots = kArticles * kLotsPerArticle;

struct Workstation {
    Session session;
    ScriptedPrompter prompter;
};

const QString& Company() {
    static const QString path = [] {
        const QString p = bench::ScratchFolder() + QStringLiteral("/inventura.mdb");
        CompanySchema::CreateCompany(p, 2026);
        auto db = Database::Open(p, QString()).db;
        Transaction tx(*db);
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "?) INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                     "\"GRUPA_A\", \"GRUPA_P\") SELECT i, 'Artikal ' || i, 'A-' || i, 'kom', 1, 1 "
                     "FROM n"),
                 {kArticles});
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "? - 1) INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                     "\"SIFRA_ARTIKLA\", \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA "
                     "CIJENA\", \"VELEPRODAJNA CIJENA\") SELECT 1, 2026, i % ? + 1, i / ? + 1, "
                     "100 + i % 7, 100 + i % 7, 5 + (i % 13) * 0.37, 10 + (i % 11) * 0.5 FROM n"),
                 {kLots, kLotsPerArticle, kLotsPerArticle});
        tx.Commit();
        return p;
    }();
    return path;
}

std::unique_ptr<Workstation> Start() {
    auto w = std::make_unique<Workstation>();
    w->session.Attach(Database::Open(Company(), QString()).db);
    w->session.userName = QStringLiteral("admin");
    sessionstart::Start(w->session, 1, w->prompter, QDate(2026, 3, 2));
    w->session.workstation.debugMode = false;
    return w;
}

int WorkingLines(Workstation& w) {
    return w.session.Db()
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
                               "\"Multiuser_sifra\" = ?"),
                {w.session.sessionCode})
        .toInt();
}

void BM_PrepareCount_50000(benchmark::State& state) {
    auto w = Start();
    for (auto _ : state) {
        state.PauseTiming();
        stockdocs::ClearWorkingStockCount(w->session);
        state.ResumeTiming();
        benchmark::DoNotOptimize(stockdocs::PrepareStockCount(w->session, 1, std::nullopt));
    }
    if (WorkingLines(*w) != kLots) {
        state.SkipWithError("the count does not hold every lot");
    }
    stockdocs::ClearWorkingStockCount(w->session);
    sessionstart::End(w->session);
}

void BM_SelectLots_50000(benchmark::State& state) {
    auto db = Database::Open(Company(), QString()).db;
    for (auto _ : state) {
        Statement rows = db->Prepare(QStringLiteral(
            "SELECT \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
            "CIJENA\", \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ?"));
        rows.Exec({1, 2026});
        double sum = 0;
        int count = 0;
        while (rows.Next()) {
            sum += rows.Int(0) + rows.Int(1) + rows.Double(2) + rows.Double(3) + rows.Double(4);
            ++count;
        }
        benchmark::DoNotOptimize(sum);
        if (count != kLots) {
            state.SkipWithError("the warehouse does not hold 50,000 lots");
        }
    }
}

void BM_PostCount_50000(benchmark::State& state) {
    auto w = Start();
    Database& db = w->session.Db();
    const int before = db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"INVENTURE\"")).toInt();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Prepared from the lots as they stand, every lot counted one off its book quantity
        // (up and down in turns, so the lots stay where they began).
        const int number = stockdocs::NextStockCountNumber(w->session);
        stockdocs::PrepareStockCount(w->session, number, std::nullopt);
        db.Exec(QStringLiteral("UPDATE \"STAVKE_INVENTURA_PRIVREMENO\" SET \"STVARNO_KOLICINA\" = "
                               "\"KNJIZNO_KOLICINA\" + ? WHERE \"Multiuser_sifra\" = ?"),
                {round++ % 2 == 0 ? 1 : -1, w->session.sessionCode});
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            stockdocs::PostStockCount(w->session, {number, QDate(2026, 3, 10)}));
        state.PauseTiming();
        // The posted lines go again, so that every round posts into the same table size.
        db.Exec(QStringLiteral("DELETE FROM \"STAVKE_INVENTURA\""));
        state.ResumeTiming();
    }
    if (WorkingLines(*w) != 0 ||
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"INVENTURE\"")).toInt() != before + round) {
        state.SkipWithError("the counts were not posted");
    }
    // Back to the lots the company began with, for the benchmarks after.
    if (round % 2 == 1) {
        db.Exec(
            QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = \"KOLICINA\" - 1, "
                           "\"KOLICINA_PRIVREMENO\" = \"KOLICINA_PRIVREMENO\" - 1"));
    }
    sessionstart::End(w->session);
}

void BM_BareUpdate_50000(benchmark::State& state) {
    auto db = Database::Open(Company(), QString()).db;
    struct Key {
        int lot;
        int article;
        double quantity;
    };
    std::vector<Key> keys;
    {
        Statement rows = db->Prepare(QStringLiteral(
            "SELECT \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\" FROM \"NABAVE\" WHERE "
            "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026"));
        rows.Exec();
        while (rows.Next()) {
            keys.push_back({rows.Int(0), rows.Int(1), rows.Double(2)});
        }
    }
    int round = 0;
    for (auto _ : state) {
        const double change = round++ % 2 == 0 ? 1 : -1;
        Transaction tx(*db);
        Statement update = db->Prepare(QStringLiteral(
            "UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = "
            "\"KOLICINA_PRIVREMENO\" + ? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
            "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"));
        for (Key& k : keys) {
            k.quantity += change;
            update.Exec({k.quantity, change, 1, 2026, k.lot, k.article});
        }
        tx.Commit();
    }
    if (round % 2 == 1) {
        db->Exec(
            QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = \"KOLICINA\" - 1, "
                           "\"KOLICINA_PRIVREMENO\" = \"KOLICINA_PRIVREMENO\" - 1"));
    }
}

}  // namespace

BENCHMARK(BM_SelectLots_50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrepareCount_50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BareUpdate_50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostCount_50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return bench::RunAndReport(argc, argv,
                               {{"PrepareStockCount 50,000 lots vs bare SELECT",
                                 "BM_PrepareCount_50000", "BM_SelectLots_50000", 3.0},
                                {"PostStockCount 50,000 lots vs bare UPDATEs", "BM_PostCount_50000",
                                 "BM_BareUpdate_50000", 4.0}});
}
