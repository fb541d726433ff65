// Goods receipt target, as a ratio measured in one run: posting a receipt of 1,000 article lines
// through the real posting path (checks, control totals, number re-check, header, trade-book
// entry, lines copied with their tax groups, lots under the method, dependent-cost items,
// working copy cleared) under each stock-keeping method, against a bare insert of the same
// header, lines, lots and book entry in one transaction (≤ 4×). The consistency check runs only
// in "Debug Mode"; it is measured apart for information (FIFO, with the check).
#include <QDate>

#include "BenchSupport.h"
#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptPosting.h"

using namespace zodra;

namespace {

constexpr int kLines = 1000;

QString MakeCompany(const QString& name) {
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(path, 2026);
    auto db = Database::Open(path, QString()).db;
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Dobavljac\") "
                       "VALUES (10, 'Dobavljač', TRUE)"));
    db->ExecRaw(QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                    "\"GRUPA_A\", \"GRUPA_P\") SELECT i, 'Artikal ' || i, 'A-' || i, 'kom', 1, 1 "
                    "FROM n")
                    .arg(kLines));
    return path;
}

// 1,000 calculated article lines in the working copy of a session.
void FillWorkingCopy(Database& db, int code) {
    db.Exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
                "\"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", "
                "\"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", "
                "\"SPEDICIJA_IZNOS\", \"ZTR_%\", \"ZTR_IZNOS\", \"NABAVNA_CIJENA\", "
                "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", "
                "\"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\", \"Multiuser_sifra\") SELECT 1, 2026, 0, "
                "'ART', i, 2, 10, 20, 10, 2, 9, 18, 0, 0, 0, 0, 0, 0, 9, 18, 25, 4.5, 11.25, 22.5, "
                "10, i, ? FROM n")
                .arg(kLines),
            {code});
}

struct Workstation {
    Session session;
    ScriptedPrompter prompter;
};

std::unique_ptr<Workstation> Open(const QString& name, StockMethod method, bool check) {
    static std::map<QString, QString> companies;
    if (!companies.count(name)) {
        companies[name] = MakeCompany(name);
    }
    auto w = std::make_unique<Workstation>();
    w->session.Attach(Database::Open(companies[name], QString()).db);
    w->session.userName = QStringLiteral("admin");
    sessionstart::Start(w->session, 1, w->prompter, QDate(2026, 3, 2));
    w->session.stockMethod = method;
    w->session.workstation.debugMode = check;
    return w;
}

void PostReceipts(benchmark::State& state, const QString& company, StockMethod method,
                  bool check = false) {
    auto w = Open(company, method, check);
    Database& db = w->session.Db();
    purchasing::ReceiptHeaderData header;
    header.date = QDate(2026, 3, 2);
    header.supplier = 10;
    header.supplierDocument = QStringLiteral("R-1");
    for (auto _ : state) {
        state.PauseTiming();
        FillWorkingCopy(db, w->session.sessionCode);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            purchasing::PostReceipt(w->session, w->prompter, header, std::nullopt));
    }
    sessionstart::End(w->session);
}

void BM_PostReceipt_Fifo(benchmark::State& state) {
    PostReceipts(state, QStringLiteral("fifo"), StockMethod::Fifo);
}
void BM_PostReceipt_Average(benchmark::State& state) {
    PostReceipts(state, QStringLiteral("prosjecna"), StockMethod::Average);
}
void BM_PostReceipt_LastPrice(benchmark::State& state) {
    PostReceipts(state, QStringLiteral("zadnja"), StockMethod::LastPrice);
}
void BM_PostReceipt_FifoChecked(benchmark::State& state) {
    PostReceipts(state, QStringLiteral("fifo_provjera"), StockMethod::Fifo, true);
}

// The same rows written with no rule at all: header, lines by INSERT … SELECT, one lot per line
// by INSERT … SELECT, the book entry, the working copy deleted.
void BM_BareInsert(benchmark::State& state) {
    auto w = Open(QStringLiteral("golo"), StockMethod::Fifo, false);
    Database& db = w->session.Db();
    const int code = w->session.sessionCode;
    static int number = 0;  // the company is kept across repetitions
    for (auto _ : state) {
        state.PauseTiming();
        FillWorkingCopy(db, code);
        ++number;
        state.ResumeTiming();
        Transaction tx(db);
        db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
                               "PRIMKE\", \"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT "
                               "DOBAVLJACA\", \"RBR_TK\", \"SkladisnaMetoda\", \"TIP_PRIMKE\") "
                               "VALUES (1, 2026, ?, '2026-03-02', 10, 'R-1', ?, 'FIFO', 1)"),
                {number, number});
        db.Exec(QStringLiteral("INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", "
                               "\"GODINA\", \"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", "
                               "\"DATUM\", \"OPIS\", \"NABAVA_VRIJEDNOST\", \"STANJE_ROBE\") "
                               "VALUES (1, 2026, ?, 'PRIMKA', ?, '2026-03-02', 'PRIMKA', 22500, "
                               "22500 * ?)"),
                {number, number, number});
        db.Exec(QStringLiteral(
                    "INSERT INTO \"STAVKE_PRIMKI\" SELECT \"SKLADISTE\", \"GODINA\", ?, "
                    "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
                    "\"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", "
                    "\"NETTO_FAKTURNA_CIJENA\", \"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", "
                    "\"CARINA_IZNOS\", \"SPEDICIJA_%\", \"SPEDICIJA_IZNOS\", \"ZTR_%\", "
                    "\"ZTR_IZNOS\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", "
                    "\"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", "
                    "\"RBR_STAVKE\", 'PDV', 25 FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ?"),
                {number, code});
        db.Exec(
            QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                           "\"SIFRA_ARTIKLA\", \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA "
                           "CIJENA\", \"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\") SELECT "
                           "\"SKLADISTE\", \"GODINA\", ?, \"SIFRA\", \"KOLICINA\", \"KOLICINA\", "
                           "\"NABAVNA_CIJENA\", \"CIJENA\", \"MALOPRODAJNA_MARZA\" FROM "
                           "\"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
            {number, code});
        db.Exec(QStringLiteral(
                    "DELETE FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
                {code});
        tx.Commit();
    }
    sessionstart::End(w->session);
}

}  // namespace

BENCHMARK(BM_BareInsert)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostReceipt_Fifo)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostReceipt_Average)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostReceipt_LastPrice)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostReceipt_FifoChecked)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return bench::RunAndReport(
        argc, argv,
        {{"PostReceipt 1,000 lines, FIFO vs bare insert", "BM_PostReceipt_Fifo", "BM_BareInsert",
          4.0},
         {"PostReceipt 1,000 lines, average price vs bare insert", "BM_PostReceipt_Average",
          "BM_BareInsert", 4.0},
         {"PostReceipt 1,000 lines, last price vs bare insert", "BM_PostReceipt_LastPrice",
          "BM_BareInsert", 4.0},
         {"PostReceipt 1,000 lines, FIFO with the consistency check (information)",
          "BM_PostReceipt_FifoChecked", "BM_BareInsert", 100.0}});
}
