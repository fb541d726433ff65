// Article register targets, each as a ratio measured in one run, 50,000 articles against 500:
//  - barcode look-up, code look-up, the first screen of the article list (≤ 1.5× each)
//  - a prefix search as the user types it (measured; narrowing prefixes ≤ 1.5×)
#include <QStringList>

#include "BenchSupport.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "registers/ArticleList.h"
#include "registers/ArticleListModel.h"
#include "registers/Articles.h"

using namespace zodra;

namespace {

const QString kOrder = QStringLiteral("\"NAZIV\"");

const QStringList& Nouns() {
    static const QStringList nouns =
        QString::fromUtf8(
            "Čokolada Čaj Ćevapi Džem Đumbir Šljiva Žarulja Kava Mlijeko Jogurt Sir Kruh Pivo Vino "
            "Sok Voda Riža Brašno Šećer Ulje Ocat Sol Papar Tjestenina Keksi Bombon Čips Kikiriki "
            "Deterdžent Omekšivač Spužva Četka Metla Kanta Vreća Čekić Odvijač Kliješta Pila "
            "Svrdlo "
            "Tipla Šaraf Čavao Ljepilo Boja Lak Kist Valjak Traka Kabel Utičnica Prekidač Baterija "
            "Svjetiljka Bilježnica Olovka Fascikl Papir Škare")
            .split(QLatin1Char(' '));
    return nouns;
}
const QStringList& Adjectives() {
    static const QStringList adjectives =
        QString::fromUtf8(
            "mliječna tamna bijela zelena crna crvena žuta plava svijetla ljuta slatka slana "
            "domaća ekstra premium mala velika srednja dugačka kratka široka uska čvrsta meka "
            "tvrda lagana teška brza spora nova stara ručna električna vrtna kuhinjska školska "
            "uredska zimska ljetna")
            .split(QLatin1Char(' '));
    return adjectives;
}

// The i-th article of a realistic catalogue: names of many families and kinds, a code, an
// EAN-like barcode; the first 500 of the 50,000 are the 500 of the small company.
struct Generated {
    QString name;
    QString code;
    QString barcode;
    int group;
};
Generated ArticleNumber(int i) {
    const int nouns = static_cast<int>(Nouns().size());
    const int adjectives = static_cast<int>(Adjectives().size());
    const QString name = Nouns().at(i % nouns) + QLatin1Char(' ') +
                         Adjectives().at((i / nouns) % adjectives) + QLatin1Char(' ') +
                         QString::number(i / (nouns * adjectives) * 50 + 100) +
                         QStringLiteral(" g");
    return Generated{name, QStringLiteral("A-%1").arg(i, 6, 10, QLatin1Char('0')),
                     QStringLiteral("385%1").arg(i * 7919 % 1000000000, 10, 10, QLatin1Char('0')),
                     1 + i % 12};
}

QString MakeCompany(int articles) {
    const QString path = bench::ScratchFolder() + QStringLiteral("/artikli%1.mdb").arg(articles);
    CompanySchema::CreateCompany(path, 2026);
    auto db = Database::Open(path, QString()).db;
    Transaction tx(*db);
    for (int g = 2; g <= 12; ++g) {
        db->Exec(QStringLiteral("INSERT INTO \"GRUPE_A\" (\"SIFRA\", \"NAZIV\") VALUES (?, ?)"),
                 {g, QStringLiteral("Grupa %1").arg(g)});
    }
    Statement insert = db->Prepare(QStringLiteral(
        "INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", \"GRUPA_A\", \"GRUPA_P\", "
        "\"VALUTA\", \"BARKOD\") VALUES (?, ?, 'kom', ?, 1, 1, ?)"));
    for (int i = 0; i < articles; ++i) {
        const Generated a = ArticleNumber(i);
        insert.Exec({a.name, a.code, a.group, a.barcode});
    }
    insert.Finish();
    tx.Commit();
    db->ExecRaw(QStringLiteral("ANALYZE"));
    return path;
}

const QString& Company(int articles) {
    static std::map<int, QString> companies;
    if (!companies.count(articles)) {
        companies[articles] = MakeCompany(articles);
    }
    return companies[articles];
}

// Look-ups cycle over 64 articles spread over the first 500, present in both companies.
std::vector<Generated> Probes() {
    std::vector<Generated> probes;
    for (int i = 0; i < 64; ++i) {
        probes.push_back(ArticleNumber(i * 7 % 500));
    }
    return probes;
}

void Barcode(benchmark::State& state, int articles) {
    auto db = Database::Open(Company(articles), QString()).db;
    const auto probes = Probes();
    size_t next = 0;
    for (auto _ : state) {
        const auto found =
            registers::articles::FindByBarcode(*db, probes[next++ % probes.size()].barcode);
        if (!found) {
            state.SkipWithError("barcode not found");
        }
        benchmark::DoNotOptimize(found);
    }
}
void BM_Barcode_500(benchmark::State& state) {
    Barcode(state, 500);
}
void BM_Barcode_50000(benchmark::State& state) {
    Barcode(state, 50000);
}

void Code(benchmark::State& state, int articles) {
    auto db = Database::Open(Company(articles), QString()).db;
    const auto probes = Probes();
    size_t next = 0;
    for (auto _ : state) {
        const auto found =
            registers::articles::FindByCode(*db, probes[next++ % probes.size()].code.toLower());
        if (!found) {
            state.SkipWithError("code not found");
        }
        benchmark::DoNotOptimize(found);
    }
}
void BM_Code_500(benchmark::State& state) {
    Code(state, 500);
}
void BM_Code_50000(benchmark::State& state) {
    Code(state, 50000);
}

// The list as the window opens it: the model counts the rows and the view asks for the 40
// rows of its first screen.
void FirstScreen(benchmark::State& state, int articles) {
    auto db = Database::Open(Company(articles), QString()).db;
    for (auto _ : state) {
        registers::ArticleListModel model(*db, kOrder);
        for (int row = 0; row < 40; ++row) {
            benchmark::DoNotOptimize(model.data(model.index(row)));
        }
    }
}
void BM_FirstScreen_500(benchmark::State& state) {
    FirstScreen(state, 500);
}
void BM_FirstScreen_50000(benchmark::State& state) {
    FirstScreen(state, 50000);
}

// Typing into the search field: each keystroke finds the first article whose name begins with
// what is typed so far.
void Search(benchmark::State& state, int articles, const QString& typed) {
    auto db = Database::Open(Company(articles), QString()).db;
    registers::ArticleList list(*db, kOrder);
    for (auto _ : state) {
        const auto found = list.FindFirst(typed);
        if (!found) {
            state.SkipWithError("nothing found");
        }
        benchmark::DoNotOptimize(found);
    }
}
void BM_SearchNarrow_500(benchmark::State& state) {
    Search(state, 500, QStringLiteral("čokolada mli"));
}
void BM_SearchNarrow_50000(benchmark::State& state) {
    Search(state, 50000, QStringLiteral("čokolada mli"));
}
void BM_SearchOneWord_500(benchmark::State& state) {
    Search(state, 500, QStringLiteral("čok"));
}
void BM_SearchOneWord_50000(benchmark::State& state) {
    Search(state, 50000, QStringLiteral("čok"));
}

// Scrolling the list to a found article far down: its position in the list.
void Position(benchmark::State& state, int articles) {
    auto db = Database::Open(Company(articles), QString()).db;
    registers::ArticleList list(*db, kOrder);
    const auto row = list.FindFirst(QStringLiteral("škare"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.RowOf(*row));
    }
}
void BM_Position_500(benchmark::State& state) {
    Position(state, 500);
}
void BM_Position_50000(benchmark::State& state) {
    Position(state, 50000);
}

}  // namespace

#define ZODRA_BENCH(name, unit) \
    BENCHMARK(name)->Unit(benchmark::unit)->Repetitions(5)->ReportAggregatesOnly(true)

ZODRA_BENCH(BM_Barcode_500, kMicrosecond);
ZODRA_BENCH(BM_Barcode_50000, kMicrosecond);
ZODRA_BENCH(BM_Code_500, kMicrosecond);
ZODRA_BENCH(BM_Code_50000, kMicrosecond);
ZODRA_BENCH(BM_FirstScreen_500, kMicrosecond);
ZODRA_BENCH(BM_FirstScreen_50000, kMicrosecond);
ZODRA_BENCH(BM_SearchNarrow_500, kMicrosecond);
ZODRA_BENCH(BM_SearchNarrow_50000, kMicrosecond);
ZODRA_BENCH(BM_SearchOneWord_500, kMicrosecond);
ZODRA_BENCH(BM_SearchOneWord_50000, kMicrosecond);
ZODRA_BENCH(BM_Position_500, kMicrosecond);
ZODRA_BENCH(BM_Position_50000, kMicrosecond);

int main(int argc, char** argv) {
    return bench::RunAndReport(
        argc, argv,
        {{"barcode look-up, 50,000 vs 500 articles", "BM_Barcode_50000", "BM_Barcode_500", 1.5},
         {"code look-up, 50,000 vs 500 articles", "BM_Code_50000", "BM_Code_500", 1.5},
         {"first screen of the article list, 50,000 vs 500", "BM_FirstScreen_50000",
          "BM_FirstScreen_500", 1.5},
         {"prefix search \"čokolada mli\", 50,000 vs 500", "BM_SearchNarrow_50000",
          "BM_SearchNarrow_500", 1.5}});
}
