// A company on a PostgreSQL server, as ratios measured in one run (the server from
// ZODRA_BENCH_PG_URL, else ZODRA_TEST_PG_URL; every database made here is dropped at the end):
//
// 1. Posting throughput of four tills against one: the same 4 × 25 invoices of 10 lines (drawn
//    up and posted, as a till does) by four processes at once against one process posting all
//    of them. Time ≤ 0.4× (throughput ≥ 2.5×). Each till also reports how much of its time it
//    held the company's write lock.
// 2. An invoice of 200 article lines posted on the server (Unix socket) against the same invoice
//    posted into an SQLite company file (≤ 3×).
// 3. Opening the company, starting the session and the first screen of "Izbor računa" (the
//    books, the first page of invoices, the data of the first) on a company of 1,000,000
//    posted invoice lines against an empty one (≤ 1.5×; ZODRA_BENCH_INVOICE_LINES sets the
//    fill, written straight into the tables by generate_series).
//
// Before them it prints how many statements one posting sends on each engine (an invoice of 1,
// 10 and 200 lines, a retail sale of 10 lines, a goods receipt of 10 lines), counted by the
// connection (Database::CountStatements) on the second posting of a session, the first having
// prepared what a session keeps. `--statements` prints only that.
#include <unistd.h>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "TradeCompany.h"
#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptPosting.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoiceList.h"
#include "sales/InvoicePosting.h"

using namespace zodra;

namespace {

constexpr int kArticles = 1000;
constexpr int kCustomer = bench::kCustomer;
constexpr int kBook = bench::kBook;
constexpr int kTerms = 2;  // wholesale terms, taxed
constexpr int kYear = bench::kYear;
constexpr int kTills = 4;
constexpr int kTillInvoices = 25;  // per till in the four-till run
constexpr int kTillLines = 10;
constexpr int kPage = 100;  // the rows "Izbor računa" reads at first
const QDate kDate(2026, 3, 10);

QString ServerUrl() {
    const QString url = qEnvironmentVariable("ZODRA_BENCH_PG_URL");
    return url.isEmpty() ? qEnvironmentVariable("ZODRA_TEST_PG_URL") : url;
}

int FilledLines() {
    bool ok = false;
    const int lines = qEnvironmentVariableIntValue("ZODRA_BENCH_INVOICE_LINES", &ok);
    return ok && lines >= 0 ? lines : 1000000;
}

// The databases made on the server, dropped at exit.
std::vector<QString>& MadeDatabases() {
    static std::vector<QString> names;
    return names;
}

QString ServerCompany(const QString& name) {
    const QString database =
        QStringLiteral("zodra_bench_%1_%2").arg(QCoreApplication::applicationPid()).arg(name);
    MadeDatabases().push_back(database);
    return PostgresEngine::WithDatabase(ServerUrl(), database);
}

void DropServerCompanies() {
    if (MadeDatabases().empty()) {
        return;
    }
    auto server = Database::OpenRaw(
        PostgresEngine::WithDatabase(ServerUrl(), QStringLiteral("postgres")), false);
    for (const QString& name : MadeDatabases()) {
        server->ExecRaw(QStringLiteral("DROP DATABASE IF EXISTS \"") + name +
                        QStringLiteral("\" WITH (FORCE)"));
    }
}

using bench::StartWorkstation;
using bench::Workstation;

// A wholesale company of kArticles articles with `filled` posted invoice lines, on the server or
// in a file. Made once per name and kept across repetitions.
QString Company(bool server, const QString& name, int filled = 0) {
    static std::map<QString, QString> companies;
    const QString key = (server ? QStringLiteral("pg:") : QStringLiteral("file:")) + name;
    if (companies.count(key)) {
        return companies[key];
    }
    const QString target =
        server ? ServerCompany(name)
               : bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    bench::MakeTradeCompany(target, {kArticles, false, filled});
    companies[key] = target;
    return target;
}

// Draws up an invoice of `lines` article lines starting at article `first`, one piece each.
// A till accepts each line in a transaction of its own, which on the server locks the line's lot
// and not the company, and repeats a line told "busy" (counted in `busy`) as its user would;
// without `busy` all lines go in one transaction (untimed set-up).
sales::InvoiceDraft DrawUp(Workstation& w, int lines, int first = 1, int* busy = nullptr) {
    std::optional<Transaction> tx;
    if (!busy) {
        tx.emplace(w.session.Db());
    }
    sales::InvoiceDraft draft = sales::OpenInvoice(w.session, kDate);
    draft.book = kBook;
    draft.salesTerms = kTerms;
    draft.customer = kCustomer;
    for (int i = 0; i < lines; ++i) {
        const int article = (first + i - 1) % kArticles + 1;
        for (;;) {
            try {
                sales::AddArticleLine(w.session, w.prompter, draft,
                                      {article, std::nullopt, 1, std::nullopt, std::nullopt,
                                       std::nullopt, QString()});
                break;
            } catch (const DbError& e) {
                if (!busy || !e.isBusy()) {
                    throw;
                }
                ++*busy;
            }
        }
    }
    if (tx) {
        tx->Commit();
    }
    return draft;
}

int CountLines(Database& db, int number) {
    return db
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = 1 "
                               "AND \"IRA\" = ? AND \"GODINA\" = 2026 AND \"BROJ_RACUNA\" = ?"),
                {kBook, number})
        .toInt();
}

// --- 200 lines, server against file ---------------------------------------------------------

void PostInvoices200(benchmark::State& state, bool server) {
    auto w = StartWorkstation(Company(server, QStringLiteral("racun200")));
    int last = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const sales::InvoiceDraft draft = DrawUp(*w, 200);
        const sales::InvoiceHeader header = sales::ProposeHeader(w->session, draft);
        state.ResumeTiming();
        last = sales::PostInvoice(w->session, draft, header).number;
    }
    if (CountLines(w->session.Db(), last) != 200) {
        state.SkipWithError("the invoice was not written in full");
    }
    sessionstart::End(w->session);
}

void BM_PostInvoice200_Sqlite(benchmark::State& state) {
    PostInvoices200(state, false);
}
void BM_PostInvoice200_Postgres(benchmark::State& state) {
    PostInvoices200(state, true);
}

// --- Session start and the first screen of "Izbor računa" ----------------------------------

void OpenFirstScreen(benchmark::State& state, const QString& company) {
    for (auto _ : state) {
        auto w = StartWorkstation(company);
        Database& db = w->session.Db();
        const auto books = sales::IraBookChoices(db);
        const TableData page = sales::InvoiceChoicePage(db, 1, kBook, kYear, std::nullopt, kPage);
        const QString details = sales::InvoiceChoiceDetails(
            db, 1, kBook, kYear, page.rows.empty() ? 0 : page.Value(0, 0).toInt());
        if (books.empty() || (!page.rows.empty() && details.isEmpty())) {
            state.SkipWithError("the first screen was not read");
            break;
        }
        state.PauseTiming();
        sessionstart::End(w->session);
        w.reset();
        state.ResumeTiming();
    }
}

void BM_SessionAndList_Empty(benchmark::State& state) {
    OpenFirstScreen(state, Company(true, QStringLiteral("lista_prazna")));
}
void BM_SessionAndList_Filled(benchmark::State& state) {
    OpenFirstScreen(state, Company(true, QStringLiteral("lista_puna"), FilledLines()));
}

// --- Statements per posting -------------------------------------------------------------------

// What posting sends on the connection of `w`: a document is drawn up, posted and put away
// twice, and the second posting is counted.
template <typename DrawUpDocument, typename PostDocument, typename PutAway>
StatementCounts CountedPosting(Workstation& w, DrawUpDocument drawUp, PostDocument post,
                               PutAway putAway) {
    Database& db = w.session.Db();
    StatementCounts counted;
    for (int round = 0; round < 2; ++round) {
        auto document = drawUp();
        db.CountStatements(round == 1);
        post(document);
        counted = db.Counted();
        db.CountStatements(false);
        putAway(document);
    }
    return counted;
}

// The postings of one engine, in the order of the rows.
std::vector<StatementCounts> CountPostings(bool server) {
    std::vector<StatementCounts> counted;
    auto w = StartWorkstation(Company(server, QStringLiteral("brojanje")));
    for (const int lines : {1, kTillLines, 200}) {
        counted.push_back(CountedPosting(
            *w, [&] { return DrawUp(*w, lines); },
            [&](const sales::InvoiceDraft& draft) {
                sales::PostInvoice(w->session, draft, sales::ProposeHeader(w->session, draft));
            },
            [](const sales::InvoiceDraft&) {}));
    }
    counted.push_back(CountedPosting(
        *w,
        [&] {
            bench::DrawUpReceipt(*w, kTillLines, 5);
            return 0;
        },
        [&](int) {
            purchasing::ReceiptHeaderData header;
            header.date = kDate;
            header.supplier = 10;
            header.supplierDocument = QStringLiteral("R-2");
            if (!purchasing::PostReceipt(w->session, w->prompter, header, std::nullopt)) {
                throw std::runtime_error("the goods receipt was not posted");
            }
        },
        [](int) {}));
    sessionstart::End(w->session);

    const QString shop = server ? ServerCompany(QStringLiteral("brojanje_kasa"))
                                : bench::ScratchFolder() + QStringLiteral("/brojanje_kasa.mdb");
    bench::MakeTradeCompany(shop, {kArticles, true, 0});
    auto till = StartWorkstation(shop);
    counted.push_back(CountedPosting(
        *till,
        [&] {
            retail::TillSale sale = retail::OpenTillSale(till->session, kDate);
            for (int i = 1; i <= kTillLines; ++i) {
                retail::ScanBarcode(till->session, sale, QStringLiteral("B%1").arg(i));
            }
            return sale;
        },
        [&](const retail::TillSale& sale) {
            if (!retail::PostRetailSale(till->session, sale, 0)) {
                throw std::runtime_error("the retail sale was not posted");
            }
        },
        [&](retail::TillSale& sale) { retail::CloseTillSale(till->session, sale); }));
    sessionstart::End(till->session);
    return counted;
}

void ReportStatementCounts() {
    const std::vector<const char*> rows{"invoice, 1 line", "invoice, 10 lines",
                                        "invoice, 200 lines", "goods receipt, 10 lines",
                                        "retail sale, 10 lines"};
    const std::vector<StatementCounts> file = CountPostings(false);
    const std::vector<StatementCounts> server = CountPostings(true);
    std::printf(
        "Statements per posting (run / prepared anew; on the server each of either is a round "
        "trip)\n  %-26s %18s %18s\n",
        "", "file", "server");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::printf(
            "  %-26s %8lld / %-7lld %8lld / %-7lld\n", rows[i],
            static_cast<long long>(file[i].executed), static_cast<long long>(file[i].prepared),
            static_cast<long long>(server[i].executed), static_cast<long long>(server[i].prepared));
    }
    std::fflush(stdout);
}

// --- Tills ------------------------------------------------------------------------------------

// CPU time (user and system, nanoseconds) a process of this machine has used so far: the
// server's process of a connection runs on the same machine as the till.
qint64 ProcessCpuNs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray text = stat.readAll();
    // The fields after the command's closing parenthesis; utime and stime are 14th and 15th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return 0;
    }
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return qint64((fields[11].toLongLong() + fields[12].toLongLong()) / ticks * 1e9);
}

// One till in a process of its own: starts its session, says "ready", waits for "go", draws up
// and posts `invoices` invoices of kTillLines lines, then prints its time, the time it held the
// company's write lock, the CPU time it and its server process used (nanoseconds) and how many
// invoices it posted in full.
int RunTill(const QString& company, int invoices, int offset) {
    auto w = StartWorkstation(company);
    Database& db = w->session.Db();
    const qint64 backend = db.Scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
    QElapsedTimer clock;
    qint64 lockedSince = -1;
    qint64 locked = 0;
    db.SetCheckpointHook([&](const char* point) {
        if (qstrcmp(point, "write-begun") == 0) {
            lockedSince = clock.nsecsElapsed();
        } else if (qstrcmp(point, "committed") == 0 && lockedSince >= 0) {
            locked += clock.nsecsElapsed() - lockedSince;
            lockedSince = -1;
        }
    });
    std::cout << "ready" << std::endl;
    std::string go;
    std::getline(std::cin, go);
    clock.start();
    const qint64 clientCpu = ProcessCpuNs(QCoreApplication::applicationPid());
    const qint64 serverCpu = ProcessCpuNs(backend);
    int full = 0;
    int busy = 0;
    // A till told "busy" (the lock not had within the lock timeout) does the step again, as
    // its user would; nothing of the failed step was written.
    const auto again = [&](auto step) {
        for (;;) {
            try {
                return step();
            } catch (const DbError& e) {
                if (!e.isBusy()) {
                    throw;
                }
                ++busy;
            }
        }
    };
    for (int i = 0; i < invoices; ++i) {
        const sales::InvoiceDraft draft =
            DrawUp(*w, kTillLines, offset + i * kTillLines + 1, &busy);
        const int number = again([&] {
            return sales::PostInvoice(w->session, draft, sales::ProposeHeader(w->session, draft))
                .number;
        });
        full += CountLines(db, number) == kTillLines ? 1 : 0;
    }
    if (busy > 0) {
        std::cerr << "till: " << busy << " steps repeated after \"busy\"" << std::endl;
    }
    const qint64 elapsed = clock.nsecsElapsed();
    const qint64 clientUsed = ProcessCpuNs(QCoreApplication::applicationPid()) - clientCpu;
    const qint64 serverUsed = ProcessCpuNs(backend) - serverCpu;
    db.SetCheckpointHook({});
    sessionstart::End(w->session);
    std::cout << elapsed << ' ' << locked << ' ' << clientUsed << ' ' << serverUsed << ' ' << full
              << std::endl;
    return 0;
}

// Starts `tills` processes, each posting `invoices`, and gives them "go" at once; returns the
// wall time from "go" until the last one is done, the share of their time they held the lock,
// and the CPU the tills and their server processes used as a share of what the machine's cores
// could give in that wall time (near 1: the run waits for the processors, not for a lock or a
// round trip).
struct TillRun {
    double seconds = 0;
    double lockedShare = 0;
    double clientCpuShare = 0;
    double serverCpuShare = 0;
    bool complete = true;
};

TillRun RunTills(const QString& company, int tills, int invoices) {
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int t = 0; t < tills; ++t) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--till"), company, QString::number(invoices),
                  QString::number(t * 97)});
        processes.push_back(std::move(p));
    }
    for (auto& p : processes) {
        while (!p->canReadLine() && p->waitForReadyRead(60000)) {
        }
        p->readLine();  // "ready"
    }
    QElapsedTimer clock;
    clock.start();
    for (auto& p : processes) {
        p->write("go\n");
        p->waitForBytesWritten();
    }
    TillRun run;
    qint64 busy = 0;
    qint64 locked = 0;
    qint64 clientCpu = 0;
    qint64 serverCpu = 0;
    for (auto& p : processes) {
        p->waitForFinished(600000);
        const QList<QByteArray> figures = p->readAll().trimmed().split(' ');
        if (p->exitCode() != 0 || figures.size() != 5 || figures[4].toInt() != invoices) {
            run.complete = false;
            continue;
        }
        busy += figures[0].toLongLong();
        locked += figures[1].toLongLong();
        clientCpu += figures[2].toLongLong();
        serverCpu += figures[3].toLongLong();
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.lockedShare = busy > 0 ? double(locked) / double(busy) : 0;
    const double capacity = run.seconds * 1e9 * std::max(1, QThread::idealThreadCount());
    run.clientCpuShare = double(clientCpu) / capacity;
    run.serverCpuShare = double(serverCpu) / capacity;
    return run;
}

void Tills(benchmark::State& state, int tills) {
    const QString company = Company(true, QStringLiteral("blagajne"));
    TillRun last;
    for (auto _ : state) {
        const TillRun run = RunTills(company, tills, kTills * kTillInvoices / tills);
        if (!run.complete) {
            state.SkipWithError("a till did not post all its invoices");
            return;
        }
        state.SetIterationTime(run.seconds);
        last = run;
    }
    state.counters["lock_share"] = last.lockedShare;
    state.counters["cpu_tills"] = last.clientCpuShare;
    state.counters["cpu_server"] = last.serverCpuShare;
    state.counters["invoices_per_s"] = benchmark::Counter(
        double(kTills * kTillInvoices) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_Tills_1(benchmark::State& state) {
    Tills(state, 1);
}
void BM_Tills_4(benchmark::State& state) {
    Tills(state, kTills);
}

}  // namespace

BENCHMARK(BM_Tills_1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_Tills_4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_PostInvoice200_Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostInvoice200_Postgres)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SessionAndList_Empty)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SessionAndList_Filled)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--till") == 0) {
        QCoreApplication app(argc, argv);
        return RunTill(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (ServerUrl().isEmpty()) {
        std::printf(
            "No server: set ZODRA_BENCH_PG_URL (or ZODRA_TEST_PG_URL) to a PostgreSQL "
            "server where databases may be made.\n");
        return 0;
    }
    const bool onlyStatements = argc == 2 && qstrcmp(argv[1], "--statements") == 0;
    int code = 0;
    {
        QCoreApplication app(argc, argv);
        ReportStatementCounts();
        if (onlyStatements) {
            DropServerCompanies();
            return 0;
        }
        std::printf("Filled company: %d posted invoice lines (ZODRA_BENCH_INVOICE_LINES)\n",
                    FilledLines());
        code = bench::RunAndReport(argc, argv,
                                   {{"Tills: 4 x 25 invoices by 4 tills vs by 1 (<= 0.4: >= 2.5x)",
                                     "BM_Tills_4", "BM_Tills_1", 0.4},
                                    {"PostInvoice 200 lines, server vs file",
                                     "BM_PostInvoice200_Postgres", "BM_PostInvoice200_Sqlite", 3.0},
                                    {"Session start + Izbor računa, filled vs empty (server)",
                                     "BM_SessionAndList_Filled", "BM_SessionAndList_Empty", 1.5}});
        DropServerCompanies();
    }
    return code;
}
