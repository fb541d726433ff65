// "Izbor računa" opening its first screen: the books, the first page of the book's invoices
// with their customers, and the data of the first one (its total added from its lines), on a
// company of 100,000 posted invoices (ZODRA_BENCH_INVOICE_LIST, two lines each) against one of
// 100 (≤ 1.5×). The list reads a page by the invoice key, so the first screen must not grow
// with the year.
#include <QtGlobal>
#include <cstdio>
#include <map>

#include "BenchSupport.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "sales/InvoiceList.h"

using namespace zodra;

namespace {

constexpr int kPage = 100;  // the rows the window reads at first (InvoiceListModel)
constexpr int kBook = 1;
constexpr int kYear = 2026;

int ManyInvoices() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZODRA_BENCH_INVOICE_LIST", &ok);
    return ok && n > 0 ? n : 100000;
}

// A company with `invoices` posted invoices of book 1 in warehouse 1, each of two lines (25 %
// and 13 % tax), for 50 customers. Made once per size.
QString Company(int invoices) {
    static std::map<int, QString> companies;
    if (companies.count(invoices)) {
        return companies[invoices];
    }
    const QString path = bench::ScratchFolder() + QStringLiteral("/racuni_") +
                         QString::number(invoices) + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(path, kYear);
    auto db = Database::Open(path, QString()).db;
    Transaction tx(*db);
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
    db->Exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 149) "
        "INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Kupac\") SELECT i, 'Kupac ' || i, "
        "TRUE FROM n"));
    db->Exec(QStringLiteral(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                 "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
                 "\"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"KORISNIK\") SELECT 1, ?, ?, "
                 "i, '2026-03-02', 100 + i % 50, 2, 'admin' FROM n"),
             {invoices, kBook, kYear});
    for (const auto& [line, rate] : {std::pair{1, 25.0}, std::pair{2, 13.0}}) {
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "?) INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                     "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"VRIJEDNOST_\", "
                     "\"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", \"RBR_STAVKE\") SELECT 1, ?, ?, "
                     "i, 'ART', 1, 2, 20, ?, 20 * ? / 100, 20 + 20 * ? / 100, ? FROM n"),
                 {invoices, kBook, kYear, rate, rate, rate, line});
    }
    tx.Commit();
    companies[invoices] = path;
    return path;
}

void OpenList(benchmark::State& state, int invoices) {
    auto db = Database::Open(Company(invoices), QString()).db;
    for (auto _ : state) {
        const auto books = sales::IraBookChoices(*db);
        const TableData page = sales::InvoiceChoicePage(*db, 1, kBook, kYear, std::nullopt, kPage);
        const QString details = sales::InvoiceChoiceDetails(
            *db, 1, kBook, kYear, page.rows.empty() ? 0 : page.Value(0, 0).toInt());
        if (books.empty() || page.RowCount() != std::min(kPage, invoices) || details.isEmpty()) {
            state.SkipWithError("the first screen was not read");
        }
        benchmark::DoNotOptimize(details);
    }
}

void BM_OpenInvoiceList_Many(benchmark::State& state) {
    OpenList(state, ManyInvoices());
}

void BM_OpenInvoiceList_100(benchmark::State& state) {
    OpenList(state, 100);
}

}  // namespace

BENCHMARK(BM_OpenInvoiceList_100)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenInvoiceList_Many)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    std::printf("Large company: %d posted invoices (ZODRA_BENCH_INVOICE_LIST)\n", ManyInvoices());
    return bench::RunAndReport(argc, argv,
                               {{"Izbor računa first screen, 100,000 invoices vs 100",
                                 "BM_OpenInvoiceList_Many", "BM_OpenInvoiceList_100", 1.5}});
}
