// Article import target, as ratios measured in one run:
//  - importing a file of 100,000 articles (read record by record, every row through the file
//    rules and the entry checks, one transaction) against a bare prepared insert of the same
//    100,000 rows in one transaction: time ≤ 3×
//  - the same two in child processes of their own, peak memory (getrusage ru_maxrss, the whole
//    process) ≤ 1.25×: the import holds no more than the insert does, whatever the file's
//    length; the growth while importing 10,000 and 100,000 rows is printed beside it
// Every run starts from a copy of the same empty company with its 12 article groups.
#include <sys/resource.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstring>

#include "BenchSupport.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "registers/Articles.h"
#include "registers/Catalogue.h"
#include "registers/CsvReader.h"
#include "registers/RegisterTransfer.h"

using namespace zodra;

namespace {

constexpr int kRows = 100000;
constexpr int kSmallRows = 10000;

const QStringList& Nouns() {
    static const QStringList nouns =
        QString::fromUtf8(
            "Čokolada Čaj Ćevapi Džem Đumbir Šljiva Žarulja Kava Mlijeko Jogurt Sir Kruh Pivo Vino "
            "Sok Voda Riža Brašno Šećer Ulje Ocat Sol Papar Tjestenina Keksi Bombon Čips Kikiriki "
            "Deterdžent Omekšivač Spužva Četka Metla Kanta Vreća Čekić Odvijač Kliješta Pila")
            .split(QLatin1Char(' '));
    return nouns;
}
const QStringList& Adjectives() {
    static const QStringList adjectives =
        QString::fromUtf8(
            "mliječna tamna bijela zelena crna crvena žuta plava svijetla ljuta slatka slana "
            "domaća ekstra premium mala velika srednja dugačka kratka široka uska čvrsta meka")
            .split(QLatin1Char(' '));
    return adjectives;
}

// The i-th article of the file, as its cells: every name, code and barcode different.
struct Generated {
    QString name;
    QString code;
    int group;
    QString price;  // with a decimal comma, as a Croatian spreadsheet writes it
    QString barcode;
};
Generated ArticleNumber(int i) {
    const int nouns = static_cast<int>(Nouns().size());
    const int adjectives = static_cast<int>(Adjectives().size());
    return Generated{
        Nouns().at(i % nouns) + QLatin1Char(' ') + Adjectives().at((i / nouns) % adjectives) +
            QLatin1Char(' ') + QString::number(i / (nouns * adjectives) * 50 + 100) +
            QStringLiteral(" g"),
        QStringLiteral("A-%1").arg(i, 6, 10, QLatin1Char('0')), 1 + i % 12,
        QString::number(i % 5000 / 100.0, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')),
        QStringLiteral("385%1").arg(i * 7919 % 1000000000, 10, 10, QLatin1Char('0'))};
}

QString GroupName(int group) {
    return group == 1 ? QStringLiteral("Roba") : QStringLiteral("Grupa %1").arg(group);
}

// The empty company every run copies.
const QString& Template() {
    static const QString path = [] {
        const QString file = bench::ScratchFolder() + QStringLiteral("/prazna.mdb");
        CompanySchema::CreateCompany(file, 2026);
        auto db = Database::Open(file, QString()).db;
        for (int g = 2; g <= 12; ++g) {
            db->Exec(QStringLiteral("INSERT INTO \"GRUPE_A\" (\"SIFRA\", \"NAZIV\") VALUES (?, ?)"),
                     {g, GroupName(g)});
        }
        return file;
    }();
    return path;
}

QString FreshCompany(const QString& name) {
    const QString path = bench::ScratchFolder() + QLatin1Char('/') + name + QStringLiteral(".mdb");
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile::remove(path + QString::fromLatin1(suffix));
    }
    QFile::copy(Template(), path);
    return path;
}

// The spreadsheet file of `rows` articles, written once.
QString ArticleFile(int rows) {
    static std::map<int, QString> files;
    if (!files.count(rows)) {
        const QString path = bench::ScratchFolder() + QStringLiteral("/artikli%1.csv").arg(rows);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(
            "\xEF\xBB\xBFNaziv;Šifra;Jedinica mjere;Grupa artikla;Grupa poreza;Valuta;Cijena u "
            "valuti;Minimalna zaliha;Pakovanje;Carina %;Barkod;Napomena\r\n");
        for (int i = 0; i < rows; ++i) {
            const Generated a = ArticleNumber(i);
            file.write((a.name + QLatin1Char(';') + a.code + QStringLiteral(";kom;") +
                        GroupName(a.group) + QStringLiteral(";PDV;EUR;") + a.price +
                        QStringLiteral(";0;1;0;") + a.barcode + QStringLiteral(";\r\n"))
                           .toUtf8());
        }
        files[rows] = path;
    }
    return files[rows];
}

int Import(Database& db, const QString& csvPath) {
    QFile file(csvPath);
    file.open(QIODevice::ReadOnly);
    csv::CsvReader reader(file);
    const auto report =
        registers::transfer::Import(db, registers::catalogue::Articles(), reader, false);
    return report.committed ? report.imported : -1;
}

// The rows the import stores, in the columns it stores them, inserted with nothing else done.
QVariantList StoredRow(int i) {
    Generated a = ArticleNumber(i);
    return {a.barcode,
            registers::articles::BarcodeFontText(a.barcode),
            0.0,
            a.price.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(),
            a.group,
            1,
            QStringLiteral("kom"),
            0.0,
            QVariant(),
            a.name,
            a.code,
            1.0,
            1};
}

const QString kInsert = QStringLiteral(
    "INSERT INTO \"ARTIKLI\" (\"BARKOD\", \"BarCodeString\", \"CARINA%\", \"CIJENA_U_VALUTI\", "
    "\"GRUPA_A\", \"GRUPA_P\", \"JED_M\", \"MIN_ZAL\", \"NAPOMENA\", \"NAZIV\", \"OPIS\", "
    "\"PAKOVANJE\", \"VALUTA\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

void BareInsert(Database& db, int rows, const std::vector<QVariantList>* prepared) {
    Transaction tx(db);
    Statement insert = db.Prepare(kInsert);
    for (int i = 0; i < rows; ++i) {
        insert.Exec(prepared ? prepared->at(static_cast<size_t>(i)) : StoredRow(i));
    }
    insert.Finish();
    tx.Commit();
}

void BM_ImportArticles(benchmark::State& state) {
    const QString csvPath = ArticleFile(kRows);
    for (auto _ : state) {
        state.PauseTiming();
        auto db = Database::Open(FreshCompany(QStringLiteral("uvoz")), QString()).db;
        state.ResumeTiming();
        if (Import(*db, csvPath) != kRows) {
            state.SkipWithError("the import refused rows");
        }
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
}

void BM_BareInsert(benchmark::State& state) {
    std::vector<QVariantList> rows;
    for (int i = 0; i < kRows; ++i) {
        rows.push_back(StoredRow(i));
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto db = Database::Open(FreshCompany(QStringLiteral("unos")), QString()).db;
        state.ResumeTiming();
        BareInsert(*db, kRows, &rows);
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
}

// Child: open the company, note the resident set, import the file (or insert the same rows
// generated one by one), print "peak_kb growth_kb rows seconds".
int Child(char** argv) {
    const bool import = std::strcmp(argv[2], "import") == 0;
    const int rows = std::atoi(argv[3]);
    const QString company = QString::fromLocal8Bit(argv[4]);
    const QString csvPath = QString::fromLocal8Bit(argv[5]);
    auto db = Database::Open(company, QString()).db;
    const long before = bench::ProcessKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    int done = rows;
    if (import) {
        done = Import(*db, csvPath);
    } else {
        BareInsert(*db, rows, nullptr);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    bench::PrintChildResult({usage.ru_maxrss, usage.ru_maxrss - before, done, seconds});
    return 0;
}

bench::ChildResult RunChild(const char* kind, int rows) {
    return bench::RunChild({QStringLiteral("--child"), QString::fromLatin1(kind),
                            QString::number(rows), FreshCompany(QStringLiteral("dijete")),
                            ArticleFile(rows)});
}

}  // namespace

BENCHMARK(BM_ImportArticles)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_BareInsert)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return Child(argv);
    }
    QCoreApplication app(argc, argv);
    // Memory first, each run in a fresh process.
    const bench::ChildResult insert = RunChild("insert", kRows);
    const bench::ChildResult large = RunChild("import", kRows);
    const bench::ChildResult small = RunChild("import", kSmallRows);
    const double peakRatio = insert.peakKb > 0 ? double(large.peakKb) / double(insert.peakKb) : 99;
    const bool peakMet = large.count == kRows && small.count == kSmallRows && peakRatio <= 1.25;
    std::printf("Peak memory, each in a child process of its own (getrusage ru_maxrss):\n");
    std::printf("  bare insert of 100,000 rows: %.2f s, peak %ld KB, grew %ld KB\n", insert.seconds,
                insert.peakKb, insert.growthKb);
    std::printf("  import of 100,000 rows: %d imported in %.2f s, peak %ld KB, grew %ld KB\n",
                large.count, large.seconds, large.peakKb, large.growthKb);
    std::printf("  import of 10,000 rows: %d imported in %.2f s, peak %ld KB, grew %ld KB\n",
                small.count, small.seconds, small.peakKb, small.growthKb);
    std::printf("%-60s %10ldKB %10ldKB %8.2f %6.2f %s\n\n",
                "Peak memory, import vs bare insert of 100,000 articles", large.peakKb,
                insert.peakKb, peakRatio, 1.25, peakMet ? "ok" : "MISSED");
    const int result = bench::RunAndReport(argc, argv,
                                           {{"Import of 100,000 articles vs bare insert (time)",
                                             "BM_ImportArticles", "BM_BareInsert", 3.0}});
    return result == 0 && peakMet ? 0 : 1;
}
