// Report engine targets, each a ratio measured in one run:
//  - rendering the cash book of 20,000 bookings to PDF vs 2,000 bookings: time ≤ 12×
//  - the same, peak memory ≤ 1.5×: each size is rendered in a child process of its own, which
//    reports its peak resident set (getrusage ru_maxrss, the whole process) and its growth
//    during the render (peak less the resident set just before it, after a warm-up render
//    that loads fonts and the PDF engine)
//  - building the cash-book work table for 20,000 vs 2,000 bookings: time ≤ 12×
// The book is blag_izv.rpt with its daily-sums sub-report, two passes (it prints the page
// count), 40 bookings a page.
#include <sys/resource.h>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <cstdio>
#include <cstring>

#include "BenchSupport.h"
#include "cashbook/CashBook.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "reports/ReportEngine.h"

using namespace zodra;

namespace {

constexpr int kSession = 1;

// A company with `bookings` cash vouchers over 2026 (receipts and payments alternating) and the
// cash-book work table built for the whole year.
QString CashBookCompany(int bookings) {
    static std::map<int, QString> companies;
    if (companies.count(bookings)) {
        return companies[bookings];
    }
    const QString path = bench::ScratchFolder() + QStringLiteral("/blagajna%1.mdb").arg(bookings);
    CompanySchema::CreateCompany(path, 2026);
    auto db = Database::Open(path, QString()).db;
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, "
                       "'Glavna blagajna')"));
    db->ExecRaw(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Trgovina Đurđevac d.o.o.', "
                       "\"ADRESA\" = 'Ulica 1', \"MJESTO\" = '48350 Đurđevac', \"OIB\" = "
                       "'12345678903' WHERE \"ID\" = 1"));
    for (const char* table : {"BLAGAJNA_UPLATNICE", "BLAGAJNA_ISPLATNICE"}) {
        const bool receipts = std::strcmp(table, "BLAGAJNA_UPLATNICE") == 0;
        db->ExecRaw(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO \"%2\" SELECT 1, 2026, i, date('2026-01-01', '+' || (i * 364 / %1) "
                "|| ' days'), 'Partner ' || (i % 97), 'Račun br. ' || i || ' — gotovinska "
                "naplata', %3, '' FROM n")
                .arg(bookings / 2)
                .arg(QString::fromLatin1(table))
                .arg(receipts ? QStringLiteral("100 + (i % 50) * 1.25")
                              : QStringLiteral("60 + (i % 30) * 0.75")));
    }
    cashbook::BuildCashBookReport(*db, kSession, 1, 2026, QDate(2026, 1, 1), QDate(2026, 12, 31));
    companies[bookings] = path;
    return path;
}

reports::ReportRequest CashBookRequest() {
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("blag_izv.rpt");
    request.title = QStringLiteral("Blagajnički izvještaj");
    request.Formula(QStringLiteral("NASLOV"),
                    QStringLiteral("Blagajnički izvještaj od 01.01.2026 do 31.12.2026"));
    request.Parameter(QStringLiteral("SESIJA"), kSession);
    request.SubreportSelection(QStringLiteral("Blag_izv_sum.rpt"),
                               reports::Selection::Parse(QStringLiteral(
                                   "{Query blagajnički izvještaj sumarno.Skladiste}=1 AND "
                                   "{Query blagajnički izvještaj sumarno.Godina}=2026")));
    return request;
}

int RenderCashBook(const QString& company, const QString& pdf) {
    auto db = Database::Open(company, QString()).db;
    reports::ReportEngine engine(*db);
    return engine.ToPdf(CashBookRequest(), pdf);
}

void RenderOn(benchmark::State& state, int bookings) {
    const QString company = CashBookCompany(bookings);
    const QString pdf = bench::ScratchFolder() + QStringLiteral("/blag_izv%1.pdf").arg(bookings);
    int pages = 0;
    for (auto _ : state) {
        pages = RenderCashBook(company, pdf);
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(
        pages * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RenderCashBook_2000(benchmark::State& state) {
    RenderOn(state, 2000);
}
void BM_RenderCashBook_20000(benchmark::State& state) {
    RenderOn(state, 20000);
}

void BuildOn(benchmark::State& state, int bookings) {
    auto db = Database::Open(CashBookCompany(bookings), QString()).db;
    for (auto _ : state) {
        cashbook::BuildCashBookReport(*db, kSession + 1, 1, 2026, QDate(2026, 1, 1),
                                      QDate(2026, 12, 31));
    }
}
void BM_BuildCashBook_2000(benchmark::State& state) {
    BuildOn(state, 2000);
}
void BM_BuildCashBook_20000(benchmark::State& state) {
    BuildOn(state, 20000);
}

// Child: warm up on a small form (fonts, PDF engine), note the resident set, render the book,
// print "peak_kb growth_kb pages seconds".
int Child(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString company = QString::fromLocal8Bit(argv[2]);
    const QString pdf = QString::fromLocal8Bit(argv[3]);
    {
        // Warm-up on a one-page form: fonts, the PDF engine and the database connection.
        auto db = Database::Open(company, QString()).db;
        reports::ReportRequest voucher;
        voucher.reportFile = QStringLiteral("blag_uplatnica.rpt");
        voucher.selection =
            reports::Selection::Parse(QStringLiteral("{BLAGAJNA_UPLATNICE.Broj}=1"));
        reports::ReportEngine(*db).ToPdf(voucher, pdf);
    }
    const long before = bench::ProcessKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const int pages = RenderCashBook(company, pdf);
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    bench::PrintChildResult({usage.ru_maxrss, usage.ru_maxrss - before, pages, seconds});
    return 0;
}

bench::ChildResult RunChild(int bookings) {
    return bench::RunChild({QStringLiteral("--child"), CashBookCompany(bookings),
                            bench::ScratchFolder() + QStringLiteral("/child%1.pdf").arg(bookings)});
}

}  // namespace

BENCHMARK(BM_RenderCashBook_2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCashBook_20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCashBook_2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCashBook_20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return Child(argc, argv);
    }
    QGuiApplication app(argc, argv);
    // Memory first, each size in a fresh process.
    const bench::ChildResult small = RunChild(2000);
    const bench::ChildResult large = RunChild(20000);
    const double peakRatio = small.peakKb > 0 ? double(large.peakKb) / double(small.peakKb) : 99;
    std::printf("Peak memory, rendering in a child process of its own (getrusage ru_maxrss):\n");
    std::printf("  2,000 bookings: %d pages in %.2f s, peak %ld KB, grew %ld KB while rendering\n",
                small.count, small.seconds, small.peakKb, small.growthKb);
    std::printf("  20,000 bookings: %d pages in %.2f s (%.0f pages/s), peak %ld KB, grew %ld KB\n",
                large.count, large.seconds, large.count / large.seconds, large.peakKb,
                large.growthKb);
    std::printf("%-60s %10ldKB %10ldKB %8.2f %6.2f %s\n\n",
                "Peak memory 20,000 vs 2,000 bookings (whole process)", large.peakKb, small.peakKb,
                peakRatio, 1.5, peakRatio <= 1.5 ? "ok" : "MISSED");
    const int result =
        bench::RunAndReport(argc, argv,
                            {{"Render cash book 20,000 vs 2,000 bookings (time)",
                              "BM_RenderCashBook_20000", "BM_RenderCashBook_2000", 12.0},
                             {"Build cash-book table 20,000 vs 2,000 bookings (time)",
                              "BM_BuildCashBook_20000", "BM_BuildCashBook_2000", 12.0}});
    return result == 0 && peakRatio <= 1.5 ? 0 : 1;
}
