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
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QProcess>
#include <QtGlobal>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptPosting.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoiceList.h"
#include "sales/InvoicePosting.h"

using namespace zodra;

namespace {

constexpr int kArticles = 1000;
constexpr double kStock = 1000000;  // received per article, enough for every iteration
constexpr int kCustomer = 20;
constexpr int kBook = 1;
constexpr int kTerms = 2;  // wholesale terms, taxed
constexpr int kYear = 2026;
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

struct Workstation {
    Session session;
    ScriptedPrompter prompter;
};

std::unique_ptr<Workstation> Start(const QString& target) {
    auto w = std::make_unique<Workstation>();
    auto opened = Database::Open(target, QString());
    if (!opened.db) {
        throw std::runtime_error("the company did not open: " + opened.detail.toStdString());
    }
    w->session.Attach(std::move(opened.db));
    w->session.userName = QStringLiteral("admin");
    sessionstart::Start(w->session, 1, w->prompter, QDate(2026, 3, 2));
    w->session.workstation.debugMode = false;
    return w;
}

// Receipt 1 brings kStock of every article into lot 1 through the real receipt posting.
void ReceiveStock(Workstation& w) {
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
        {kArticles, kStock, kStock, kStock, kStock, kStock, kStock, kStock, w.session.sessionCode});
    purchasing::ReceiptHeaderData header;
    header.date = QDate(2026, 3, 2);
    header.supplier = 10;
    header.supplierDocument = QStringLiteral("R-1");
    if (!purchasing::PostReceipt(w.session, w.prompter, header, std::nullopt)) {
        throw std::runtime_error("the stock receipt was not posted");
    }
}

// Posted invoices of 20 lines each, `lines` in all, with their trade-book entries, written by
// generate_series straight into the tables (the server only).
void FillInvoices(Database& db, int lines) {
    const int invoices = lines / 20;
    if (invoices == 0) {
        return;
    }
    Transaction tx(db);
    db.Exec(QStringLiteral(
                "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
                "\"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA NAZIV\", "
                "\"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"ROK PLACANJA\", \"DOSPIJECE "
                "RACUNA\", \"VEC PLACENO\", \"ZIRO_RACUN\", \"RBR_TK\", \"KORISNIK\", "
                "\"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") SELECT 1, ?, 2026, i, '2026-03-02', ?, "
                "?, 'Kupac d.o.o.', 'Ilica 1', 'Zagreb', 30, '2026-04-01', 0, "
                "'HR1210010051863000160', i + 1, 'admin', '2026-03-02 10:00:00', TRUE FROM "
                "generate_series(1, ?) AS i"),
            {kBook, kCustomer, kTerms, invoices});
    db.Exec(QStringLiteral(
                "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
                "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", "
                "\"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", "
                "\"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", \"RBR_STAVKE\", "
                "\"CIJENA_SKLADISTA\") SELECT 1, ?, 2026, i / 20 + 1, 'ART', i % ? + 1, 1, 1, 9, "
                "9, 25, 2.25, 11.25, 11.25, 0, 0, 11.25, 11.25, 'PDV', 25, 2.8125, 14.0625, "
                "10, '', i % 20 + 1, 11.25 FROM generate_series(0, ? - 1) AS i"),
            {kBook, kArticles, invoices * 20});
    const double before =
        db.Scalar(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                 "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 ORDER BY \"RBR\" "
                                 "DESC LIMIT 1"))
            .toDouble();
    db.Exec(
        QStringLiteral("INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                       "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                       "\"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", "
                       "\"PRODAJA_UKUPNO\", \"STANJE_ROBE\") SELECT 1, 2026, i + 1, '1RAČUN', i, "
                       "'2026-03-02', 'RAČUN ' || i || ' Kupac d.o.o.', 0, 225, 56.25, 281.25, "
                       "CAST(? AS DOUBLE PRECISION) - 225.0 * i FROM generate_series(1, ?) AS i"),
        {before, invoices});
    db.Exec(QStringLiteral(
                "UPDATE \"NABAVE\" SET \"KOLICINA\" = \"KOLICINA\" - ?, \"KOLICINA_PRIVREMENO\" "
                "= \"KOLICINA_PRIVREMENO\" - ? WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                "\"BROJ_PRIMKE\" = 1"),
            {invoices * 20 / kArticles, invoices * 20 / kArticles});
    tx.Commit();
    db.ExecRaw(QStringLiteral("ANALYZE"));
}

// A company with warehouse 1, a supplier, a customer, the company's bank account, kArticles
// articles and the stock of receipt 1; then `filled` posted invoice lines (the server only).
// Made once per name and kept across repetitions.
QString Company(bool server, const QString& name, int filled = 0) {
    static std::map<QString, QString> companies;
    const QString key = (server ? QStringLiteral("pg:") : QStringLiteral("file:")) + name;
    if (companies.count(key)) {
        return companies[key];
    }
    const QString target =
        server ? ServerCompany(name)
               : bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(target, kYear);
    {
        auto db = Database::Open(target, QString()).db;
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Dobavljac\") "
                           "VALUES (10, 'Dobavljač', TRUE)"));
        db->Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", "
                                "\"MJESTO\", \"OIB\", \"ODGODA\", \"Kupac\") VALUES (?, 'Kupac "
                                "d.o.o.', 'Ilica 1', 'Zagreb', '12345678903', 30, TRUE)"),
                 {kCustomer});
        db->ExecRaw(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = 'HR1210010051863000160'"));
        db->Exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "?) INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                     "\"GRUPA_A\", \"GRUPA_P\") SELECT i, 'Artikal ' || i, 'A-' || i, 'kom', 1, 1 "
                     "FROM n"),
                 {kArticles});
    }
    {
        auto w = Start(target);
        ReceiveStock(*w);
        FillInvoices(w->session.Db(), filled);
        sessionstart::End(w->session);
    }
    companies[key] = target;
    return target;
}

// Draws up an invoice of `lines` article lines starting at article `first`, one piece each.
sales::InvoiceDraft DrawUp(Workstation& w, int lines, int first = 1) {
    Transaction tx(w.session.Db());
    sales::InvoiceDraft draft = sales::OpenInvoice(w.session, kDate);
    draft.book = kBook;
    draft.salesTerms = kTerms;
    draft.customer = kCustomer;
    for (int i = 0; i < lines; ++i) {
        const int article = (first + i - 1) % kArticles + 1;
        sales::AddArticleLine(
            w.session, w.prompter, draft,
            {article, std::nullopt, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
    }
    tx.Commit();
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
    auto w = Start(Company(server, QStringLiteral("racun200")));
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
        auto w = Start(company);
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

// --- Tills ------------------------------------------------------------------------------------

// One till in a process of its own: starts its session, says "ready", waits for "go", draws up
// and posts `invoices` invoices of kTillLines lines, then prints its time and the time it held
// the company's write lock (nanoseconds) and how many invoices it posted in full.
int RunTill(const QString& company, int invoices, int offset) {
    auto w = Start(company);
    Database& db = w->session.Db();
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
            again([&] { return DrawUp(*w, kTillLines, offset + i * kTillLines + 1); });
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
    db.SetCheckpointHook({});
    sessionstart::End(w->session);
    std::cout << elapsed << ' ' << locked << ' ' << full << std::endl;
    return 0;
}

// Starts `tills` processes, each posting `invoices`, and gives them "go" at once; returns the
// wall time from "go" until the last one is done, and the share of their time they held the
// lock.
struct TillRun {
    double seconds = 0;
    double lockedShare = 0;
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
    for (auto& p : processes) {
        p->waitForFinished(600000);
        const QList<QByteArray> figures = p->readAll().trimmed().split(' ');
        if (p->exitCode() != 0 || figures.size() != 3 || figures[2].toInt() != invoices) {
            run.complete = false;
            continue;
        }
        busy += figures[0].toLongLong();
        locked += figures[1].toLongLong();
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.lockedShare = busy > 0 ? double(locked) / double(busy) : 0;
    return run;
}

void Tills(benchmark::State& state, int tills) {
    const QString company = Company(true, QStringLiteral("blagajne"));
    double share = 0;
    for (auto _ : state) {
        const TillRun run = RunTills(company, tills, kTills * kTillInvoices / tills);
        if (!run.complete) {
            state.SkipWithError("a till did not post all its invoices");
            return;
        }
        state.SetIterationTime(run.seconds);
        share = run.lockedShare;
    }
    state.counters["lock_share"] = share;
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
    std::printf("Filled company: %d posted invoice lines (ZODRA_BENCH_INVOICE_LINES)\n",
                FilledLines());
    int code = 0;
    {
        QCoreApplication app(argc, argv);
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
