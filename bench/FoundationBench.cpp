// Foundation targets, each as a ratio measured in one run:
//  - session start on a company with 1,000,000 posted lines vs an empty company (≤ 1.5×)
//  - NextDocumentNumber with 100,000 documents of the warehouse and year vs 10 (≤ 1.5×)
//  - PostWorkingLines of 1,000 lines vs a bare INSERT … SELECT of the same rows (≤ 2×)
#include <QDate>
#include <QFile>

#include "BenchSupport.h"
#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Numbering.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"

using namespace zodra;

namespace {

QString MakeCompany(const QString& name) {
    const QString path =
        bench::ScratchFolder() + QStringLiteral("/") + name + QStringLiteral(".mdb");
    CompanySchema::CreateCompany(path, 2026);
    auto db = Database::Open(path, QString()).db;
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") VALUES "
                       "(1, '") +
        QDate::currentDate().toString(Qt::ISODate) + QStringLiteral("', 1)"));
    return path;
}

// Fills `count` posted lines into a line table with a recursive series, tax groups complete.
void FillLines(Database& db, const QString& table, const QString& numberColumn,
               const QString& articleColumn, int count, bool invoice = false, bool kind = false) {
    db.ExecRaw(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO \"%2\" (\"SKLADISTE\", \"GODINA\", \"%3\", \"%4\", \"KOLICINA\", "
                   "\"GRUPA_POREZA\", \"POREZ_%\"%5) SELECT 1, 2026, i / 20, i % 5000, 1, 'PDV', "
                   "25%6 FROM n")
                   .arg(count)
                   .arg(table, numberColumn, articleColumn)
                   .arg(invoice ? QStringLiteral(", \"IRA\", \"TIP_STAVKE\", \"BROJ_PRIMKE\"")
                                : (kind ? QStringLiteral(", \"TIP_STAVKE\"")
                                        : QStringLiteral(", \"BROJ_PRIMKE\"")))
                   .arg(invoice
                            ? QStringLiteral(", 1, 'ART', i % 300")
                            : (kind ? QStringLiteral(", 'ART'") : QStringLiteral(", i % 300"))));
}

const QString& EmptyCompany() {
    static const QString path = MakeCompany(QStringLiteral("prazno"));
    return path;
}

const QString& BigCompany() {
    static const QString path = [] {
        const QString p = MakeCompany(QStringLiteral("veliko"));
        auto db = Database::Open(p, QString()).db;
        db->ExecRaw(QStringLiteral("BEGIN"));
        FillLines(*db, QStringLiteral("STAVKE_PRIMKI"), QStringLiteral("BROJ_PRIMKE"),
                  QStringLiteral("SIFRA"), 250000, false, true);
        FillLines(*db, QStringLiteral("STAVKE_RACUNA"), QStringLiteral("BROJ_RACUNA"),
                  QStringLiteral("SIFRA"), 300000, true);
        FillLines(*db, QStringLiteral("STAVKE_IZDATNICA"), QStringLiteral("BROJ"),
                  QStringLiteral("SIFRA_ARTIKLA"), 100000);
        FillLines(*db, QStringLiteral("STAVKE_MEDUSKLADISNICA"),
                  QStringLiteral("BROJ_MEDUSKLADISNICE"), QStringLiteral("SIFRA_ARTIKLA"), 100000);
        FillLines(*db, QStringLiteral("STAVKE_POVRATNICA"), QStringLiteral("BROJ"),
                  QStringLiteral("SIFRA_ARTIKLA"), 100000);
        FillLines(*db, QStringLiteral("STAVKE_RASHODA"), QStringLiteral("BROJ_RASHODA"),
                  QStringLiteral("SIFRA_ARTIKLA"), 75000);
        FillLines(*db, QStringLiteral("STAVKE_IZMJENA_CIJENA"),
                  QStringLiteral("BROJ_IZMJENE_CIJENA"), QStringLiteral("ARTIKAL"), 75000);
        db->ExecRaw(QStringLiteral("COMMIT"));
        return p;
    }();
    return path;
}

void SessionStartOn(benchmark::State& state, const QString& path) {
    ScriptedPrompter prompter;
    for (auto _ : state) {
        Session session;
        session.Attach(Database::Open(path, QString()).db);
        sessionstart::Start(session, 1, prompter);
        sessionstart::End(session);
    }
}

void BM_SessionStart_Empty(benchmark::State& state) {
    SessionStartOn(state, EmptyCompany());
}
void BM_SessionStart_MillionLines(benchmark::State& state) {
    SessionStartOn(state, BigCompany());
}

QString CompanyWithIssueNotes(int count) {
    const QString p = MakeCompany(QStringLiteral("izdatnice%1").arg(count));
    auto db = Database::Open(p, QString()).db;
    db->ExecRaw(QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\") "
                    "SELECT 1, 2026, i FROM n")
                    .arg(count));
    // Other warehouses and years around them, as in a real company.
    db->ExecRaw(QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\") "
                    "SELECT 2, 2025, i FROM n")
                    .arg(count));
    return p;
}

void NextNumberOn(benchmark::State& state, int documents) {
    static std::map<int, QString> companies;
    if (!companies.count(documents)) {
        companies[documents] = CompanyWithIssueNotes(documents);
    }
    auto db = Database::Open(companies[documents], QString()).db;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            numbering::NextDocumentNumber(*db, DocumentKind::IssueNote, 1, 2026));
    }
}
void BM_NextDocumentNumber_10(benchmark::State& state) {
    NextNumberOn(state, 10);
}
void BM_NextDocumentNumber_100000(benchmark::State& state) {
    NextNumberOn(state, 100000);
}

// 1,000 receipt lines in the session's working copy.
void FillWorkingCopy(Database& db, int code) {
    db.Exec(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
            "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", \"NABAVNA_CIJENA\", "
            "\"CIJENA\", \"VRIJEDNOST\", \"RBR_STAVKE\", \"GRUPA_POREZA\", \"POREZ_%\", "
            "\"Multiuser_sifra\") SELECT 1, 2026, 0, 'ART', i, 2, 10, 10, 12.5, 25, i, "
            "'PDV', 25, ? FROM n"),
        {code});
}

// Each side posts into a company of its own, the same number of times, so that both line
// tables grow alike.
QString PostingCompany(const QString& name) {
    static std::map<QString, QString> companies;
    if (!companies.count(name)) {
        companies[name] = MakeCompany(name);
    }
    return companies[name];
}

void BM_PostWorkingLines_1000(benchmark::State& state) {
    auto db = Database::Open(PostingCompany(QStringLiteral("knjizenje")), QString()).db;
    const int code = workingcopy::AllocateSessionCode(*db);
    int number = 1;
    for (auto _ : state) {
        state.PauseTiming();
        FillWorkingCopy(*db, code);
        state.ResumeTiming();
        Transaction tx(*db);
        workingcopy::PostWorkingLines(*db, DocumentKind::GoodsReceipt, number++, code);
        tx.Commit();
    }
}

void BM_BareInsertSelect_1000(benchmark::State& state) {
    auto db = Database::Open(PostingCompany(QStringLiteral("bez_koda")), QString()).db;
    const int code = workingcopy::AllocateSessionCode(*db);
    int number = 1000000;
    for (auto _ : state) {
        state.PauseTiming();
        FillWorkingCopy(*db, code);
        state.ResumeTiming();
        Transaction tx(*db);
        db->Exec(
            QStringLiteral(
                "INSERT INTO \"STAVKE_PRIMKI\" SELECT \"SKLADISTE\", \"GODINA\", ?, "
                "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
                "\"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", "
                "\"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", "
                "\"SPEDICIJA_IZNOS\", \"ZTR_%\", \"ZTR_IZNOS\", \"NABAVNA_CIJENA\", "
                "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", "
                "\"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\", \"GRUPA_POREZA\", \"POREZ_%\" "
                "FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
            {number++, code});
        tx.Commit();
        state.PauseTiming();
        db->Exec(QStringLiteral(
                     "DELETE FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
                 {code});
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_SessionStart_Empty)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SessionStart_MillionLines)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NextDocumentNumber_10)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NextDocumentNumber_100000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BareInsertSelect_1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PostWorkingLines_1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return bench::RunAndReport(argc, argv,
                               {{"session start, 1,000,000 lines vs empty",
                                 "BM_SessionStart_MillionLines", "BM_SessionStart_Empty", 1.5},
                                {"NextDocumentNumber, 100,000 vs 10 documents",
                                 "BM_NextDocumentNumber_100000", "BM_NextDocumentNumber_10", 1.5},
                                {"PostWorkingLines 1,000 vs bare INSERT ... SELECT",
                                 "BM_PostWorkingLines_1000", "BM_BareInsertSelect_1000", 2.0}});
}
