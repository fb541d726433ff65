#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cmath>
#include <map>
#include <tuple>

#include "data/Errors.h"
#include "data/Rounding.h"
#include "stock/StockTest.h"
#include "support/Refused.h"
#include "support/Zodractl.h"
#include "yearend/YearTransfer.h"

namespace zodra::test {
namespace {

namespace y = zodra::yearend;

const QDate kOpening(2027, 1, 1);

// Lot rows as plain numbers: warehouse, article, quantity, cost, price, in lot order.
using LotRows = std::vector<std::tuple<int, int, double, double, double>>;
// Partner balances in cents: (warehouse or -1, partner) -> debit less credit.
using Balances = std::map<std::pair<int, int>, qint64>;

qint64 Cents(double v) {
    return std::llround(v * 100);
}

LotRows Lots(Database& db, int year, const QString& extra = QString()) {
    Statement s(db,
                QStringLiteral("SELECT \"SKLADISTE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
                               "\"NABAVNA CIJENA\", \"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" "
                               "WHERE \"GODINA\" = ?") +
                    extra +
                    QStringLiteral(" ORDER BY \"SKLADISTE\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\""));
    s.Exec({year});
    LotRows rows;
    while (s.Next()) {
        rows.emplace_back(s.Int(0), s.Int(1), s.Double(2), s.Double(3), s.Double(4));
    }
    return rows;
}

// The closing stock as the new year should open it, summed here without the transfer's code:
// under FIFO the lots that hold stock, otherwise one lot per article at weighted prices.
LotRows ExpectedLots(Database& db, int year, StockMethod method) {
    if (method == StockMethod::Fifo) {
        return Lots(db, year, QStringLiteral(" AND ROUND(\"KOLICINA\", 10) <> 0"));
    }
    Statement s(db, QStringLiteral(
                        "SELECT \"SKLADISTE\", \"SIFRA_ARTIKLA\", SUM(\"KOLICINA\"), CASE WHEN "
                        "ROUND(SUM(\"KOLICINA\"), 10) = 0 THEN MAX(\"NABAVNA CIJENA\") ELSE "
                        "SUM(\"KOLICINA\" * \"NABAVNA CIJENA\") / SUM(\"KOLICINA\") END, CASE "
                        "WHEN ROUND(SUM(\"KOLICINA\"), 10) = 0 THEN MAX(\"VELEPRODAJNA CIJENA\") "
                        "ELSE SUM(\"KOLICINA\" * \"VELEPRODAJNA CIJENA\") / SUM(\"KOLICINA\") "
                        "END FROM "
                        "\"NABAVE\" WHERE \"GODINA\" = ? GROUP BY \"SKLADISTE\", "
                        "\"SIFRA_ARTIKLA\" ORDER BY \"SKLADISTE\", \"SIFRA_ARTIKLA\""));
    s.Exec({year});
    LotRows rows;
    while (s.Next()) {
        rows.emplace_back(s.Int(0), s.Int(1), s.Double(2), s.Double(3), s.Double(4));
    }
    return rows;
}

void ExpectSameLots(const LotRows& expected, const LotRows& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::get<0>(expected[i]), std::get<0>(actual[i])) << i;
        EXPECT_EQ(std::get<1>(expected[i]), std::get<1>(actual[i])) << i;
        EXPECT_NEAR(std::get<2>(expected[i]), std::get<2>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<3>(expected[i]), std::get<3>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<4>(expected[i]), std::get<4>(actual[i]), 1e-9) << i;
    }
}

// What customers owe at the end of the year: invoices not cancelled less payments.
Balances ExpectedCustomers(Database& db, int year) {
    Balances b;
    Statement s(
        db,
        QStringLiteral("SELECT r.\"SKLADISTE\", r.\"SIFRA PARTNERA\", SUM(l.\"UKUPNO_\") FROM "
                       "\"RACUNI\" r JOIN \"STAVKE_RACUNA\" l ON l.\"SKLADISTE\" = r.\"SKLADISTE\" "
                       "AND l.\"IRA\" = r.\"IRA\" AND l.\"GODINA\" = r.\"GODINA\" AND "
                       "l.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" WHERE r.\"GODINA\" = ? AND "
                       "r.\"STORNO\" = FALSE GROUP BY r.\"SKLADISTE\", r.\"SIFRA PARTNERA\""));
    s.Exec({year});
    while (s.Next()) {
        b[{s.Int(0), s.Int(1)}] += Cents(s.Double(2));
    }
    Statement p(db, QStringLiteral("SELECT \"Skladiste\", \"Partner\", SUM(\"Iznos\") FROM "
                                   "\"UPLATE\" WHERE \"Godina\" = ? GROUP BY \"Skladiste\", "
                                   "\"Partner\""));
    p.Exec({year});
    while (p.Next()) {
        b[{p.Int(0), p.Int(1)}] -= Cents(p.Double(2));
    }
    std::erase_if(b, [](const auto& e) { return e.second == 0; });
    return b;
}

Balances ExpectedSuppliers(Database& db, int year) {
    Balances b;
    Statement s(db, QStringLiteral("SELECT \"Šifra dobavljača\", SUM(\"Iznos računa sa porezom\") "
                                   "FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"GODINA\" = ? GROUP BY "
                                   "\"Šifra dobavljača\""));
    s.Exec({year});
    while (s.Next()) {
        b[{-1, s.Int(0)}] -= Cents(s.Double(1));
    }
    Statement p(db, QStringLiteral("SELECT \"Partner\", SUM(\"Iznos\") FROM \"UPLATE_URA\" WHERE "
                                   "\"Godina\" = ? GROUP BY \"Partner\""));
    p.Exec({year});
    while (p.Next()) {
        b[{-1, p.Int(0)}] += Cents(p.Double(1));
    }
    std::erase_if(b, [](const auto& e) { return e.second == 0; });
    return b;
}

Balances Opening(Database& db, const QString& table, int year) {
    Balances b;
    Statement s(db, QStringLiteral("SELECT COALESCE(\"Skladiste\", -1), \"Partner\", \"Duguje\", "
                                   "\"Potražuje\", \"Opis\", \"Datum\" FROM \"") +
                        table + QStringLiteral("\" WHERE \"Godina\" = ?"));
    s.Exec({year});
    while (s.Next()) {
        EXPECT_EQ(s.Text(4), QStringLiteral("Početno stanje"));
        EXPECT_EQ(s.Value(5).toDate(), kOpening);
        b[{s.Int(0), s.Int(1)}] += Cents(s.Double(2)) - Cents(s.Double(3));
    }
    return b;
}

double LastBookBalance(Database& db, int warehouse, int year) {
    return db
        .Scalar(
            QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                           "\"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY \"RBR\" DESC LIMIT 1"),
            {warehouse, year})
        .toDouble();
}

// No row in any of `from` ("TABLE" WHERE …).
void ExpectNone(Database& db, const QStringList& from) {
    for (const QString& rows : from) {
        EXPECT_EQ(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + rows).toInt(), 0)
            << rows.toStdString();
    }
}

QString Config(Database& db, const QString& name) {
    return db
        .Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                {name})
        .toString();
}

// A year of one shop: two warehouses, receipts at changing prices, sales from them, a customer
// who paid part of his invoices, a supplier paid in part, a price list with a price and a
// discount, and a second user with a password.
class YearTransferTest : public StockTest {
protected:
    void BuildYear(StockMethod method) {
        UseMethod(method);
        db().Exec(QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE "
                                 "\"Naziv\" = 'Vođenje skladišta'"),
                  {StockMethodText(method)});
        second = AddWarehouse(db(), QStringLiteral("Skladište Kod Ane's"));
        a = docs->AddArticle(QStringLiteral("Vijak M8"));
        b = docs->AddArticle(QStringLiteral("Matica M8"));
        c = docs->AddArticle(QStringLiteral("Podloška"));
        docs->Receipt({{a, 10, 5, 8}, {b, 4, 2, 3}, {c, 2, 1, 1.5}}, QDate(2026, 2, 2));
        docs->Receipt({{a, 6, 7, 9}, {b, 5, 2.5, 3.5}}, QDate(2026, 3, 2));
        docs->Post(Issue::Invoice, {{a, 6}, {c, 2}}, QDate(2026, 4, 2));
        docs->Post(Issue::Invoice, {{b, 3}}, QDate(2026, 5, 2));
        docs->Transfer(second, {{b, 1}}, QDate(2026, 6, 2));
        const int customer = 1;
        db().Exec(QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", "
                                 "\"Datum\", \"Tip\", \"Iznos\") VALUES (1, 2026, ?, ?, "
                                 "'gotovina', 40.25)"),
                  {customer, QDate(2026, 6, 1)});
        supplier = db().Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE "
                                              "\"NAZIV\" = 'Prijenos iz prošle godine'"))
                       .toInt();
        db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                 "\"Redni broj\", \"Šifra dobavljača\", \"Iznos računa sa "
                                 "porezom\") VALUES (1, 2026, 1, ?, 120.40)"),
                  {supplier});
        db().Exec(QStringLiteral("INSERT INTO \"UPLATE_URA\" (\"Skladiste\", \"Godina\", "
                                 "\"Partner\", \"Datum\", \"Tip\", \"Iznos\") VALUES (1, 2026, ?, "
                                 "?, 'virman', 20.15)"),
                  {supplier, QDate(2026, 7, 1)});
        db().Exec(
            QStringLiteral("INSERT INTO \"CJENICI\" (\"SIFRA\", \"NAZIV\") VALUES (3, "
                           "'Veleprodaja A')"));
        db().Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" VALUES (3, ?, 7.7, 1)"),
                  {a});
        db().Exec(
            QStringLiteral("INSERT INTO \"CJENICI_STAVKE_RABATA\" VALUES (3, 1, 4.5, "
                           "FALSE)"));
        db().Exec(
            QStringLiteral("UPDATE \"KORISNICI\" SET \"Password\" = 'hash-of-admin' WHERE "
                           "\"Username\" = 'admin'"));
    }

    // The new year's state in `to` equals the closing state of 2026 in the session's file.
    void ExpectOpenedFrom(Database& to, StockMethod method) {
        Database& from = db();
        const LotRows expected = ExpectedLots(from, 2026, method);
        ASSERT_FALSE(expected.empty());
        ExpectSameLots(expected, Lots(to, 2027));
        for (int w : {1, second}) {
            // The trade book opens with the stock's selling value the old one closed with.
            EXPECT_NEAR(LastBookBalance(to, w, 2027), LastBookBalance(from, w, 2026), 0.005) << w;
        }
        // The new year's trade book holds receipts only, every opening receipt comes from the
        // transfer partner on the opening day with its tax groups filled in.
        ExpectNone(to,
                   {QStringLiteral("\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"GODINA\" = 2027 "
                                   "AND \"TIP_DOKUMENTA\" <> 'PRIMKA'"),
                    QStringLiteral("\"PRIMKE\" p JOIN \"PARTNERI\" d ON d.\"SIFRA\" = p.\"SIFRA "
                                   "DOBAVLJACA\" WHERE p.\"GODINA\" = 2027 AND (d.\"NAZIV\" <> "
                                   "'Prijenos iz prošle godine' OR p.\"DOKUMENT DOBAVLJACA\" <> "
                                   "'Prijenos' OR p.\"DATUM\" <> '2027-01-01')"),
                    QStringLiteral("\"STAVKE_PRIMKI\" WHERE \"GODINA\" = 2027 AND "
                                   "\"GRUPA_POREZA\" IS NULL")});
        const Balances customers = ExpectedCustomers(from, 2026);
        ASSERT_FALSE(customers.empty());
        EXPECT_EQ(Opening(to, QStringLiteral("PARTNERI POCETNO STANJE"), 2027), customers);
        const Balances suppliers = ExpectedSuppliers(from, 2026);
        ASSERT_FALSE(suppliers.empty());
        EXPECT_EQ(Opening(to, QStringLiteral("DOBAVLJACI POCETNO STANJE"), 2027), suppliers);
        EXPECT_EQ(Config(to, QStringLiteral("Godina koja se knjiži")), QStringLiteral("2027"));
        EXPECT_EQ(
            to.Scalar(QStringLiteral("SELECT \"AktualnaGodina\" FROM \"PODACI_FIRME\"")).toInt(),
            2027);
    }

    QString NewFile() const { return Folder() + QStringLiteral("/firma2027.mdb"); }
    int Receipts2027() {
        return db()
            .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"GODINA\" = 2027"))
            .toInt();
    }
    int CountFiles() const {
        return static_cast<int>(QDir(Folder()).entryList(QDir::Files).size());
    }

    int second = 0;
    int a = 0, b = 0, c = 0;
    int supplier = 0;
};

class YearTransferMethodTest : public YearTransferTest,
                               public ::testing::WithParamInterface<StockMethod> {};

TEST_P(YearTransferMethodTest, ANewFileOpensWithTheClosingStockBalancesAndEveryRegister) {
    BuildYear(GetParam());
    // The steps as the window shows them: each label with its last count, in order.
    QStringList steps;
    const y::Outcome out = y::IntoNewFile(
        db(), kOpening, NewFile(), {}, [&](const QString& step, int done, int total) {
            const QString shown = QStringLiteral("%1 %2/%3").arg(step).arg(done).arg(total);
            if (!steps.isEmpty() && steps.last().startsWith(step + QLatin1Char(' '))) {
                steps.last() = shown;
            } else {
                steps << shown;
            }
        });
    EXPECT_EQ(out.oldYear, 2026);
    EXPECT_EQ(out.newYear, 2027);
    // Under FIFO article a keeps two lots in warehouse 1: two opening receipts there, the older
    // lot in the first (the lots are compared in receipt order below).
    EXPECT_EQ(out.receipts, GetParam() == StockMethod::Fifo ? 3 : 2);
    ASSERT_EQ(steps.size(), 5) << steps.join(u'|').toStdString();
    EXPECT_EQ(steps[0], QStringLiteral("Zaključno stanje godine 2026 0/0"));
    EXPECT_TRUE(steps[1].startsWith(QStringLiteral("Prepisivanje šifarnika ")));
    const QString tables = steps[1].section(u' ', -1);
    EXPECT_EQ(tables.section(u'/', 0, 0), tables.section(u'/', 1, 1));  // all of them
    const int n = out.receipts;
    EXPECT_EQ(steps[2],
              QStringLiteral("Početno stanje zaliha, skladište 1 %1/%2").arg(n - 1).arg(n));
    EXPECT_EQ(steps[3],
              QStringLiteral("Početno stanje zaliha, skladište %1 %2/%2").arg(second).arg(n));
    EXPECT_EQ(steps[4], QStringLiteral("Početna stanja kupaca i dobavljača 2/2"));
    EXPECT_FALSE(QFileInfo::exists(NewFile() + QStringLiteral(".prijenos.db")));
    auto opened = Database::Open(NewFile(), QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& to = *opened.db;
    ExpectOpenedFrom(to, GetParam());
    EXPECT_EQ(Config(to, QStringLiteral("Baza sa više godina")), QStringLiteral("NE"));
    EXPECT_EQ(Config(to, QStringLiteral("Vođenje skladišta")), StockMethodText(GetParam()));
    // Nothing of the old year's documents, all of its registers (keys included).
    ExpectNone(
        to, {QStringLiteral("\"RACUNI\""), QStringLiteral("\"NABAVE\" WHERE \"GODINA\" = 2026")});
    for (const char* table : {"ARTIKLI", "PARTNERI", "SKLADISTA", "CJENICI", "KORISNICI",
                              "UVJETI_PRODAJE", "KNJIGE_IRA", "GRUPE_POREZA"}) {
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QLatin1String(table));
        EXPECT_EQ(to.Scalar(sql).toInt(), db().Scalar(sql).toInt()) << table;
    }
    EXPECT_EQ(to.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                        {second})
                  .toString(),
              QStringLiteral("Skladište Kod Ane's"));
    EXPECT_DOUBLE_EQ(
        to.Scalar(QStringLiteral("SELECT \"CIJENA\" FROM \"CJENICI_STAVKE_CIJENA\" "
                                 "WHERE \"SIFRA_CJENIKA\" = 3 AND \"SIFRA_ARTIKLA\" = ?"),
                  {a})
            .toDouble(),
        7.7);
    EXPECT_DOUBLE_EQ(to.Scalar(QStringLiteral("SELECT \"RABAT\" FROM \"CJENICI_STAVKE_RABATA\" "
                                              "WHERE \"SIFRA_CJENIKA\" = 3"))
                         .toDouble(),
                     4.5);
    EXPECT_EQ(to.Scalar(QStringLiteral("SELECT \"Password\" FROM \"KORISNICI\" WHERE "
                                       "\"Username\" = 'admin'"))
                  .toString(),
              QStringLiteral("hash-of-admin"));
    // The old file is as it was.
    EXPECT_EQ(Config(db(), QStringLiteral("Godina koja se knjiži")), QStringLiteral("2026"));
    EXPECT_TRUE(Lots(db(), 2027).empty());
}

TEST_P(YearTransferMethodTest, TheSameFileKeepsTheOldYearAndOpensTheNewOneOnce) {
    BuildYear(GetParam());
    const LotRows before = Lots(db(), 2026);
    y::IntoSameFile(db(), kOpening);
    ExpectOpenedFrom(db(), GetParam());
    EXPECT_EQ(Config(db(), QStringLiteral("Baza sa više godina")), QStringLiteral("DA"));
    ExpectSameLots(before, Lots(db(), 2026));
    // A second transfer into the same year would count the stock twice.
    const auto refused = [&] { y::IntoSameFile(db(), QDate(2027, 1, 2)); };
    EXPECT_EQ(Refusal(refused), y::SameYearMessage());
    db().Exec(
        QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = '2026' WHERE "
                       "\"Naziv\" = 'Godina koja se knjiži'"));
    EXPECT_EQ(Refusal(refused), y::AlreadyDoneMessage(2027));
}

// Under FIFO the opening lots must come before the new year's own: a year that already has a
// receipt is refused and left as it was; the pooled methods take the opening into their lot.
TEST_P(YearTransferMethodTest, ANewYearWithStockDocumentsIsRefusedOnlyUnderFifo) {
    BuildYear(GetParam());
    session->businessYear = 2027;
    docs->Receipt({{a, 3, 6, 9}}, QDate(2027, 1, 5));
    session->businessYear = 2026;
    const QString refusal = Refusal([&] { y::IntoSameFile(db(), kOpening); });
    const int receipts2027 = Receipts2027();
    if (GetParam() == StockMethod::Fifo) {
        EXPECT_EQ(refusal, y::FifoYearHasDocumentsMessage(2027));
        EXPECT_EQ(receipts2027, 1);
        EXPECT_EQ(Config(db(), QStringLiteral("Godina koja se knjiži")), QStringLiteral("2026"));
    } else {
        EXPECT_EQ(refusal, QString());
        EXPECT_GT(receipts2027, 1);
        EXPECT_EQ(Config(db(), QStringLiteral("Godina koja se knjiži")), QStringLiteral("2027"));
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, YearTransferMethodTest,
                         ::testing::Values(StockMethod::Fifo, StockMethod::Average,
                                           StockMethod::LastPrice),
                         [](const ::testing::TestParamInfo<StockMethod>& p) {
                             return std::string(p.param == StockMethod::Fifo      ? "Fifo"
                                                : p.param == StockMethod::Average ? "Average"
                                                                                  : "LastPrice");
                         });

TEST_F(YearTransferTest, TargetsThatExistAndWrongDatesAreRefused) {
    BuildYear(StockMethod::Average);
    const auto into = [&](const QString& target, const QDate& date) {
        return Refusal([&] { y::IntoNewFile(db(), date, target); });
    };
    EXPECT_EQ(into(CompanyPath(), kOpening), y::SameFileMessage());
    QFile other(Folder() + QStringLiteral("/postoji.mdb"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("nije poduzeće");
    other.close();
    EXPECT_EQ(into(other.fileName(), kOpening), y::ExistingFileMessage());
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("nije poduzeće"));
    other.close();
    // A detail file left beside the name is not overwritten either.
    QFile detail(Folder() + QStringLiteral("/samodetalji.det"));
    ASSERT_TRUE(detail.open(QIODevice::WriteOnly));
    detail.close();
    EXPECT_EQ(into(Folder() + QStringLiteral("/samodetalji.mdb"), kOpening),
              y::ExistingFileMessage());
    EXPECT_EQ(into(NewFile(), QDate(2026, 12, 31)), y::SameYearMessage());
    EXPECT_EQ(into(NewFile(), QDate(2025, 1, 1)), y::EarlierYearMessage());
    EXPECT_FALSE(QFileInfo::exists(NewFile()));
}

TEST_F(YearTransferTest, AFailureMidwayLeavesNoNewFileAndTheSameFileUnchanged) {
    BuildYear(StockMethod::LastPrice);
    const int files = CountFiles();
    for (const char* point : {"registers-copied", "stock-posted"}) {
        const auto fail = [&](const char* at) {
            if (QLatin1String(at) == QLatin1String(point)) {
                throw UserError(QStringLiteral("prekid"));
            }
        };
        EXPECT_EQ(Refusal([&] { y::IntoNewFile(db(), kOpening, NewFile(), fail); }),
                  QStringLiteral("prekid"));
        EXPECT_FALSE(QFileInfo::exists(NewFile())) << point;
        EXPECT_EQ(CountFiles(), files) << point;
    }
    const auto fail = [](const char*) { throw UserError(QStringLiteral("prekid")); };
    EXPECT_EQ(Refusal([&] { y::IntoSameFile(db(), kOpening, fail); }), QStringLiteral("prekid"));
    EXPECT_TRUE(Lots(db(), 2027).empty());
    EXPECT_EQ(Receipts2027(), 0);
    EXPECT_EQ(Config(db(), QStringLiteral("Godina koja se knjiži")), QStringLiteral("2026"));
    // Afterwards the transfer goes through.
    y::IntoSameFile(db(), kOpening);
    ExpectOpenedFrom(db(), StockMethod::LastPrice);
}

// Another workstation posting a receipt while the transfer runs waits for it and then works in
// the new year, on top of the opening stock.
TEST_F(YearTransferTest, AWorkstationPostingMeanwhileWaitsAndLandsInTheNewYear) {
    BuildYear(StockMethod::Average);
    const LotRows expected = ExpectedLots(db(), 2026, StockMethod::Average);
    QFile json(Folder() + QStringLiteral("/primka.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(QStringLiteral("{\"skladiste\": 1, \"datum\": \"2027-01-04\", \"dobavljac\": "
                              "\"Prijenos iz prošle godine\", \"dokument\": \"R-1\", \"stavke\": "
                              "[{\"artikal\": %1, \"kolicina\": 10, \"fakturna_cijena\": 7, "
                              "\"cijena\": 9}]}")
                   .arg(a)
                   .toUtf8());
    json.close();
    QProcess other;
    other.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    y::IntoSameFile(db(), kOpening, [&](const char* point) {
        if (QLatin1String(point) == QLatin1String("stock-posted")) {
            other.start(QStringLiteral(ZODRACTL_PATH),
                        {QStringLiteral("post"), CompanyPath(), json.fileName()});
            ASSERT_TRUE(other.waitForStarted());
            QThread::msleep(700);  // it is waiting for the transfer's lock by now
        }
    });
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    // Article a: the opening lot plus the 10 received, averaged.
    const auto opening = std::find_if(expected.begin(), expected.end(), [&](const auto& r) {
        return std::get<0>(r) == 1 && std::get<1>(r) == a;
    });
    ASSERT_NE(opening, expected.end());
    const double q = std::get<2>(*opening);
    const stock::Lot lot = LotOf(db(), 1, 2027, stock::kPooledLot, a);
    EXPECT_NEAR(lot.quantity, q + 10, 1e-9);
    EXPECT_NEAR(lot.costPrice, (q * std::get<3>(*opening) + 70) / (q + 10), 1e-9);
    EXPECT_EQ(Receipts2027(), 3);  // the opening receipts of both warehouses and the one meanwhile
}

TEST_F(YearTransferTest, ZodractlCarriesTheYearAndRefusesAnExistingTarget) {
    BuildYear(StockMethod::Fifo);
    if (Database::IsServerTarget(CompanyPath())) {
        GTEST_SKIP() << "the tool's run over a file is enough";
    }
    const QStringList args =
        Args("newyear", CompanyPath(), "--nova", NewFile(), "--datum 1.1.2027");
    const ZodractlRun done = RunZodractl(args);
    EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_TRUE(done.out.startsWith(y::DoneMessage())) << done.out.toStdString();
    auto opened = Database::Open(NewFile(), QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    ExpectOpenedFrom(*opened.db, StockMethod::Fifo);
    opened.db.reset();
    const ZodractlRun again = RunZodractl(args);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err.trimmed(), y::ExistingFileMessage());
}

// The command as the user goes through it: a date in the same year is refused and asked again,
// the open file as the new one too, then the transfer runs and says so.
TEST_F(YearTransferTest, TheCommandAsksAgainAfterARefusalAndEndsWithItsMessage) {
    BuildYear(StockMethod::Average);
    prompter.AnswerNo();
    EXPECT_FALSE(y::RunTransfer(*session, prompter, Folder()));
    EXPECT_EQ(prompter.Shown(), QStringList{y::StartQuestion()});
    prompter.Clear();
    prompter.AnswerYes()
        .AnswerText(QStringLiteral("31.12.2026"))
        .AnswerText(QStringLiteral("1.1.2027"))
        .AnswerNo()
        .AnswerText(CompanyPath())
        .AnswerText(NewFile());
    const auto done = y::RunTransfer(*session, prompter, Folder());
    ASSERT_TRUE(done);
    EXPECT_EQ(done->newYear, 2027);
    EXPECT_EQ(prompter.Messages(),
              (QStringList{y::SameYearMessage(), y::SameFileMessage(), y::DoneMessage()}));
    EXPECT_TRUE(QFileInfo::exists(NewFile()));
    EXPECT_EQ(session->businessYear, 2026);  // a new file: this one stays in its year
    prompter.Clear();
    prompter.AnswerYes().AnswerText(QStringLiteral("2.1.2027")).AnswerYes();
    ASSERT_TRUE(y::RunTransfer(*session, prompter, Folder()));
    EXPECT_EQ(prompter.Messages(), QStringList{y::DoneMessage()});
    EXPECT_EQ(session->businessYear, 2027);
    EXPECT_TRUE(session->company.multiYearDatabase);
}

}  // namespace
}  // namespace zodra::test
