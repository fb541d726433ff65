// Summary report targets, each a ratio measured in one run:
//  - the largest recapitulation, sales by article and service ("Prodaja po artiklima i uslugama
//    - promet", p_stavke.rpt) over 1,000,000 posted invoice lines, printed to PDF, vs one bare
//    SELECT with the same grouping: time ≤ 2×
//  - a 500-page report vs a 50-page one ("Ispis računa od - do", rac_od_do.rpt, by the number
//    range): peak memory ≤ 1.5×, each rendered in a child process of its own that reports the
//    peak of its resident set during the render (VmHWM, reset after the session start and a
//    warm-up render)
// ZODRA_BENCH_SUMMARY_LINES sets the fill (default 1,000,000).
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <cstdio>
#include <cstring>

#include "BenchSupport.h"
#include "TradeCompany.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "reports/ReportEngine.h"
#include "summary/SummaryReports.h"

using namespace zodra;

namespace {

int FilledLines() {
    const int lines = qEnvironmentVariableIntValue("ZODRA_BENCH_SUMMARY_LINES");
    return lines > 0 ? lines : 1000000;
}

QString Company() {
    static QString path;
    if (path.isEmpty()) {
        path = bench::ScratchFolder() + QStringLiteral("/prodaja.mdb");
        bench::TradeCompany company;
        company.filledLines = FilledLines();
        bench::MakeTradeCompany(path, company);
    }
    return path;
}

reports::ReportRange Range(int first, int last) {
    reports::ReportRange range;
    range.from = QDate(2026, 1, 1);
    range.to = QDate(2026, 12, 31);
    range.fromText = QStringLiteral("01.01.2026");
    range.toText = QStringLiteral("31.12.2026");
    range.fromDateArgs = reports::DateArgs(range.from);
    range.toDateArgs = reports::DateArgs(range.to);
    range.first = first;
    range.last = last;
    range.cancelled = false;
    return range;
}

int Print(bench::Workstation& workstation, const QString& command, int first, int last,
          const QString& pdf) {
    summary::SummaryChoice choice;
    choice.range = Range(first, last);
    const auto request = summary::SummaryReportRequest(
        workstation.session, *summary::SummaryReportByCommand(command), choice);
    return reports::ReportEngine(workstation.session.Db()).ToPdf(request, pdf);
}

void BM_SalesByArticleReport(benchmark::State& state) {
    const QString pdf = bench::ScratchFolder() + QStringLiteral("/p_stavke.pdf");
    auto workstation = bench::StartWorkstation(Company());
    int pages = 0;
    for (auto _ : state) {
        pages = Print(*workstation, QStringLiteral("Prodaja_po_art_usl_promet"), 0, 0, pdf);
    }
    state.counters["pages"] = pages;
}

// The same lines summed per article and service by one statement, every row read.
void BM_SalesByArticleBareSelect(benchmark::State& state) {
    auto db = Database::Open(Company(), QString()).db;
    int rows = 0;
    for (auto _ : state) {
        Statement st = db->Prepare(QStringLiteral(
            "SELECT s.\"TIP_STAVKE\", s.\"SIFRA\", SUM(s.\"KOLICINA\"), SUM(s.\"VRIJEDNOST_\"), "
            "SUM(s.\"VRIJEDNOST_\" - COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)) FROM \"RACUNI\" h "
            "JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = h.\"SKLADISTE\" AND s.\"IRA\" = "
            "h.\"IRA\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_RACUNA\" = h.\"BROJ RACUNA\" "
            "WHERE h.\"STORNO\" = FALSE AND h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? AND "
            "h.\"DATUM\" >= ? AND h.\"DATUM\" <= ? GROUP BY s.\"TIP_STAVKE\", s.\"SIFRA\""));
        st.Exec({1, 2026, QDate(2026, 1, 1), QDate(2026, 12, 31)});
        rows = 0;
        while (st.Next()) {
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}

// Starts the peak anew from the resident set (the session start over a million lines and the
// warm-up peak higher than a render would, and would hide it).
void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// Child: warm up on a one-invoice list, render invoices 1 … last of the company the parent
// made, print "peak_kb pages seconds".
int Child(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString company = QString::fromLocal8Bit(argv[2]);
    const int last = std::atoi(argv[3]);
    const QString pdf = QString::fromLocal8Bit(argv[4]);
    auto workstation = bench::StartWorkstation(company);
    Print(*workstation, QStringLiteral("Racuni_od_do"), 1, 1, pdf);
    ResetPeak();
    const long before = bench::ProcessKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const int pages = Print(*workstation, QStringLiteral("Racuni_od_do"), 1, last, pdf);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const long peak = bench::ProcessKb("VmHWM");
    bench::PrintChildResult({peak, peak - before, pages, seconds});
    return 0;
}

// About two invoices of 20 lines a page.
bench::ChildResult RunChild(int invoices) {
    return bench::RunChild({QStringLiteral("--child"), Company(), QString::number(invoices),
                            bench::ScratchFolder() + QStringLiteral("/rac%1.pdf").arg(invoices)});
}

}  // namespace

BENCHMARK(BM_SalesByArticleReport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SalesByArticleBareSelect)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        return Child(argc, argv);
    }
    QGuiApplication app(argc, argv);
    Company();  // made once, before the children open it
    const bench::ChildResult small = RunChild(100);
    const bench::ChildResult large = RunChild(1000);
    const double peakRatio = small.peakKb > 0 ? double(large.peakKb) / double(small.peakKb) : 99;
    std::printf(
        "Peak memory, rendering in a child process of its own (VmHWM during the render):\n");
    for (const bench::ChildResult& r : {small, large}) {
        std::printf("  %d pages in %.2f s, peak %ld KB, grew %ld KB while rendering\n", r.count,
                    r.seconds, r.peakKb, r.growthKb);
    }
    std::printf("%-60s %10ldKB %10ldKB %8.2f %6.2f %s\n\n",
                "Peak memory 500 vs 50 pages (whole process)", large.peakKb, small.peakKb,
                peakRatio, 1.5, peakRatio <= 1.5 ? "ok" : "MISSED");
    const int result =
        bench::RunAndReport(argc, argv,
                            {{"Sales by article report vs bare grouped SELECT (time)",
                              "BM_SalesByArticleReport", "BM_SalesByArticleBareSelect", 2.0}});
    return result == 0 && peakRatio <= 1.5 ? 0 : 1;
}
