// Wholesale invoice targets, as ratios measured in one run.
//
// 1. Posting an invoice of 1,000 article lines through the real posting path (checks, number
//    re-check, repricing plan, goods taken from their lots, header, lines under the final
//    number, trade-book entry, working copy cleared), against a bare insert of the same header,
//    lines, lot updates and trade-book row in one transaction (≤ 4×). Both start from the same
//    working copy, drawn up by OpenInvoice and AddArticleLine outside the timing.
// 2. Posting an invoice of 200 article lines into a company that already holds many posted
//    invoice lines (ZODRA_BENCH_INVOICE_LINES, default 1,000,000, in invoices of 20 lines with
//    their trade-book entries), against the same invoice posted into a company with none
//    (≤ 1.5×).
#include <QDate>
#include <QtGlobal>
#include <cstdio>
#include <map>

#include "BenchSupport.h"
#include "TradeCompany.h"
#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"

using namespace zodra;

namespace {

constexpr int kArticles = 1000;
constexpr double kStock = bench::kStockPerArticle;
constexpr int kCustomer = bench::kCustomer;
constexpr int kBook = bench::kBook;
constexpr int kTerms = 2;  // wholesale terms, taxed
const QDate kDate(2026, 3, 10);

int FilledLines() {
    bool ok = false;
    const int lines = qEnvironmentVariableIntValue("ZODRA_BENCH_INVOICE_LINES", &ok);
    return ok && lines >= 0 ? lines : 1000000;
}

using bench::StartWorkstation;
using bench::Workstation;

// A wholesale company of kArticles articles with `filled` posted invoice lines, made once per
// name and kept across repetitions.
QString Company(const QString& name, int filled = 0) {
    static std::map<QString, QString> companies;
    if (companies.count(name)) {
        return companies[name];
    }
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    bench::MakeTradeCompany(path, {kArticles, false, filled});
    companies[name] = path;
    return path;
}

// Draws up an invoice of `lines` article lines, one piece of article 1 … lines each at the
// lot's price, as the article dialog accepts them. Untimed; one outer transaction so that the
// thousand line commits do not each wait for the disk.
sales::InvoiceDraft DrawUp(Workstation& w, int lines) {
    Transaction tx(w.session.Db());
    sales::InvoiceDraft draft = sales::OpenInvoice(w.session, kDate);
    draft.book = kBook;
    draft.salesTerms = kTerms;
    draft.customer = kCustomer;
    for (int article = 1; article <= lines; ++article) {
        sales::AddArticleLine(
            w.session, w.prompter, draft,
            {article, std::nullopt, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
    }
    tx.Commit();
    return draft;
}

// What every timed posting must have left: the invoice's lines under its number and its
// trade-book entry; a run that wrote less is reported as an error, not as a time.
void CheckPosted(benchmark::State& state, Database& db, int number, int lines) {
    const int posted =
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = 1 "
                                 "AND \"IRA\" = ? AND \"GODINA\" = 2026 AND \"BROJ_RACUNA\" = ?"),
                  {kBook, number})
            .toInt();
    const int entries =
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                 "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND \"TIP_DOKUMENTA\" "
                                 "= '1RAČUN' AND \"BROJ_DOKUMENTA\" = ?"),
                  {number})
            .toInt();
    if (posted != lines || entries != 1) {
        state.SkipWithError("the invoice was not written in full");
    }
}

void PostInvoices(benchmark::State& state, const QString& company, int lines, int filled = 0) {
    auto w = StartWorkstation(Company(company, filled));
    int last = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const sales::InvoiceDraft draft = DrawUp(*w, lines);
        const sales::InvoiceHeader header = sales::ProposeHeader(w->session, draft);
        state.ResumeTiming();
        last = sales::PostInvoice(w->session, draft, header).number;
    }
    CheckPosted(state, w->session.Db(), last, lines);
    sessionstart::End(w->session);
}

void BM_PostInvoice1000(benchmark::State& state) {
    PostInvoices(state, QStringLiteral("racun_1000"), kArticles);
}

// The same rows written with no rule at all, from the same working copy: the header, the lines
// by INSERT … SELECT, the lots reduced by one UPDATE, the trade-book row, the working copy
// deleted.
void BM_BareInsert1000(benchmark::State& state) {
    auto w = StartWorkstation(Company(QStringLiteral("racun_golo")));
    Database& db = w->session.Db();
    static int number = 0;  // the company is kept across repetitions
    for (auto _ : state) {
        state.PauseTiming();
        const sales::InvoiceDraft draft = DrawUp(*w, kArticles);
        const int code = draft.sessionCode;
        ++number;
        const int position = number + 1;  // receipt 1 holds entry 1
        state.ResumeTiming();
        Transaction tx(db);
        db.Exec(QStringLiteral(
                    "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                    "RACUNA\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA "
                    "NAZIV\", \"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"ROK PLACANJA\", "
                    "\"DOSPIJECE RACUNA\", \"VEC PLACENO\", \"ZIRO_RACUN\", \"RBR_TK\", "
                    "\"KORISNIK\", \"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") VALUES (1, ?, 2026, "
                    "?, '2026-03-10', ?, ?, 'Kupac d.o.o.', 'Ilica 1', 'Zagreb', 30, "
                    "'2026-04-09', 0, 'HR1210010051863000160', ?, 'admin', '2026-03-10 "
                    "10:00:00', TRUE)"),
                {kBook, number, kCustomer, kTerms, position});
        db.Exec(QStringLiteral(
                    "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                    "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                    "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
                    "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", "
                    "\"RABAT_IZNOS\", \"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", "
                    "\"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", "
                    "\"RBR_STAVKE\", \"CIJENA_SKLADISTA\") SELECT 1, ?, 2026, ?, \"TIP_STAVKE\", "
                    "\"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                    "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA_BEZ_RABATA\", "
                    "\"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", \"CIJENA_\", "
                    "\"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", "
                    "\"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", \"RBR_STAVKE\", "
                    "\"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ? ORDER BY \"RBR_STAVKE\""),
                {kBook, number, code});
        db.Exec(QStringLiteral(
                    "UPDATE \"NABAVE\" SET \"KOLICINA\" = \"NABAVE\".\"KOLICINA\" - t.\"Q\" "
                    "FROM (SELECT \"BROJ_PRIMKE\" AS \"L\", \"SIFRA\" AS \"A\", "
                    "SUM(\"KOLICINA\") AS \"Q\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'ART' GROUP BY 1, 2) AS t "
                    "WHERE \"NABAVE\".\"SKLADISTE\" = 1 AND \"NABAVE\".\"GODINA\" = 2026 AND "
                    "\"NABAVE\".\"BROJ_PRIMKE\" = t.\"L\" AND \"NABAVE\".\"SIFRA_ARTIKLA\" = "
                    "t.\"A\""),
                {code});
        db.Exec(QStringLiteral(
                    "INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                    "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                    "\"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", "
                    "\"PRODAJA_UKUPNO\", \"STANJE_ROBE\") VALUES (1, 2026, ?, '1RAČUN', ?, "
                    "'2026-03-10', 'RAČUN ' || ? || ' Kupac d.o.o.', 0, 11250, 2812.5, 14062.5, "
                    "? - 11250.0 * ?)"),
                {position, number, number, 11.25 * kStock * kArticles, number});
        db.Exec(QStringLiteral(
                    "DELETE FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
                {code});
        tx.Commit();
    }
    CheckPosted(state, db, number, kArticles);
    // Every invoice took one piece of each article from lot 1.
    const double left =
        db.Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = "
                                 "1 AND \"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = 1"))
            .toDouble();
    if (left != (kStock - number) * kArticles) {
        state.SkipWithError("the lots were not reduced");
    }
    sessionstart::End(w->session);
}

constexpr int kSmallLines = 200;

void BM_PostInvoice200_Empty(benchmark::State& state) {
    PostInvoices(state, QStringLiteral("racun_prazna"), kSmallLines);
}

void BM_PostInvoice200_Filled(benchmark::State& state) {
    PostInvoices(state, QStringLiteral("racun_puna"), kSmallLines, FilledLines());
}

}  // namespace

BENCHMARK(BM_BareInsert1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostInvoice1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostInvoice200_Empty)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostInvoice200_Filled)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    std::printf("Filled company: %d posted invoice lines (ZODRA_BENCH_INVOICE_LINES)\n",
                FilledLines());
    return bench::RunAndReport(
        argc, argv,
        {{"PostInvoice 1,000 lines vs bare insert", "BM_PostInvoice1000", "BM_BareInsert1000", 4.0},
         {"PostInvoice 200 lines, filled company vs empty company", "BM_PostInvoice200_Filled",
          "BM_PostInvoice200_Empty", 1.5}});
}
