#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <tuple>

#include "data/Errors.h"
#include "data/Transaction.h"
#include "stock/StockTest.h"
#include "stockdocs/PriceChangeLines.h"
#include "support/Refused.h"
#include "support/ServerCompany.h"
#include "support/Zodractl.h"
#include "transfer/DataTransfer.h"

namespace zodra::test {
namespace {

namespace t = zodra::transfer;

const QString kSupplier = QStringLiteral("Obrt \"Kod Ane's\" – Čađavica");
const QString kChocolate = QStringLiteral("Čokolada 'Žuta' 100 g");
const QString kScrew = QStringLiteral("Vijak M8");
const QString kBottle = QStringLiteral("Boca 0,5 l povratna");
const QString kSweets = QStringLiteral("Slatkiši i đakovački bomboni");
const QString kReducedTax = QStringLiteral("PDV 13% šećer");

// A line of a posted receipt as names and numbers: kind, name, quantity, invoice price,
// discount, cost, price, value, tax group.
using LineRow =
    std::tuple<QString, QString, double, double, double, double, double, double, QString>;

std::vector<LineRow> LinesOf(Database& db, int warehouse, int year, int number) {
    Statement s(db, QStringLiteral(
                        "SELECT l.\"TIP_STAVKE\", CASE WHEN l.\"TIP_STAVKE\" = 'AMB' THEN "
                        "m.\"NAZIV\" ELSE a.\"NAZIV\" END, l.\"KOLICINA\", l.\"FAKTURNA_CIJENA\", "
                        "l.\"RABAT_%\", l.\"NABAVNA_CIJENA\", l.\"CIJENA\", l.\"VRIJEDNOST\", "
                        "l.\"GRUPA_POREZA\" FROM \"STAVKE_PRIMKI\" l LEFT JOIN \"ARTIKLI\" a ON "
                        "a.\"SIFRA\" = l.\"SIFRA\" LEFT JOIN \"AMBALAZA\" m ON m.\"SIFRA\" = "
                        "l.\"SIFRA\" WHERE l.\"SKLADISTE\" = ? AND l.\"GODINA\" = ? AND "
                        "l.\"BROJ_PRIMKE\" = ? ORDER BY l.\"RBR_STAVKE\""));
    s.Exec({warehouse, year, number});
    std::vector<LineRow> rows;
    while (s.Next()) {
        rows.emplace_back(s.Text(0), s.Text(1), s.Double(2), s.Double(3), s.Double(4), s.Double(5),
                          s.Double(6), s.Double(7), s.Text(8));
    }
    return rows;
}

void ExpectSameLines(const std::vector<LineRow>& expected, const std::vector<LineRow>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::get<0>(expected[i]), std::get<0>(actual[i])) << i;
        EXPECT_EQ(std::get<1>(expected[i]), std::get<1>(actual[i])) << i;
        EXPECT_NEAR(std::get<2>(expected[i]), std::get<2>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<3>(expected[i]), std::get<3>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<4>(expected[i]), std::get<4>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<5>(expected[i]), std::get<5>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<6>(expected[i]), std::get<6>(actual[i]), 1e-9) << i;
        EXPECT_NEAR(std::get<7>(expected[i]), std::get<7>(actual[i]), 1e-9) << i;
        EXPECT_EQ(std::get<8>(expected[i]), std::get<8>(actual[i])) << i;
    }
}

int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.Scalar(sql, params).toInt();
}

// The target is the test's company (warehouse 1 of a workstation); the source another company
// file whose registers use other keys: its warehouse of the same name is 3, its articles and
// partners are numbered so that their codes mean other rows in the target.
class DataTransferTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        screw = docs->AddArticle(kScrew);
        sourcePath = Folder() + QStringLiteral("/izvor.mdb");
        CopyTemplateCompany(sourcePath);
        auto opened = Database::Open(sourcePath, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        source = std::move(opened.db);
        Database& s = *source;
        const QString name = session->activeWarehouse.name;
        s.Exec(QStringLiteral("DELETE FROM \"SKLADISTA\" WHERE \"NAZIV\" = ?"), {name});
        s.Exec(QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (3, ?)"),
               {name});
        s.Exec(QStringLiteral("INSERT INTO \"GRUPE_POREZA\" (\"SIFRA\", \"NAZIV\", \"STOPA\") "
                              "VALUES (40, ?, 13)"),
               {kReducedTax});
        s.Exec(QStringLiteral("INSERT INTO \"GRUPE_A\" (\"SIFRA\", \"NAZIV\", "
                              "\"VELEPRODAJNA_MARZA\", \"MALOPRODAJNA_MARZA\") VALUES (30, ?, 20, "
                              "35)"),
               {kSweets});
        s.Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"MJESTO\", \"OIB\", "
                           "\"Dobavljac\") VALUES (1001, ?, 'Čađavica', '12345678903', TRUE)"),
            {kSupplier});
        // The source's chocolate has the target screw's code; its screw another one.
        s.Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                              "\"GRUPA_A\", \"GRUPA_P\") VALUES (?, ?, 'COK-100', 'kom', 30, 40)"),
               {screw, kChocolate});
        s.Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                              "\"GRUPA_A\", \"GRUPA_P\") VALUES (?, ?, 'VM8', 'kom', 1, 1)"),
               {screw + 50, kScrew});
        s.Exec(QStringLiteral("INSERT INTO \"AMBALAZA\" (\"SIFRA\", \"NAZIV\", \"JED_M\", "
                              "\"CIJENA\") VALUES (77, ?, 'kom', 0.1)"),
               {kBottle});
        SourceReceipt(7, QDate(2026, 3, 2),
                      {{QStringLiteral("ART"), screw, 12, 5, 10, 6.75},
                       {QStringLiteral("AMB"), 77, 24, 0.1, 0, 0.1}});
        SourceReceipt(9, QDate(2026, 3, 5),
                      {{QStringLiteral("ART"), screw + 50, 100, 0.2, 0, 0.3},
                       {QStringLiteral("ART"), screw, 3.5, 4, 0, 6}});
        SourceReceipt(12, QDate(2026, 4, 1),
                      {{QStringLiteral("ART"), screw + 50, 5, 0.25, 0, 0.3}});
    }

    struct SourceLine {
        QString kind;
        int code;
        double quantity;
        double invoicePrice;
        double discount;
        double price;
    };
    void SourceReceipt(int number, const QDate& date, const std::vector<SourceLine>& lines) {
        Database& s = *source;
        s.Exec(
            QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT DOBAVLJACA\", \"DATUM "
                           "DOKUMENTA DOBAVLJACA\", \"TIP_PRIMKE\") VALUES (3, 2026, ?, ?, 1001, "
                           "?, ?, 1)"),
            {number, date, QStringLiteral("R-%1/26").arg(number), date.addDays(-1)});
        int rbr = 0;
        for (const SourceLine& l : lines) {
            const double net = l.invoicePrice * (1 - l.discount / 100);
            s.Exec(
                QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                               "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                               "\"FAKTURNA_CIJENA\", \"RABAT_%\", \"CARINA_%\", \"SPEDICIJA_%\", "
                               "\"ZTR_%\", \"NABAVNA_CIJENA\", \"CIJENA\", \"VRIJEDNOST\", "
                               "\"RBR_STAVKE\", \"GRUPA_POREZA\", \"POREZ_%\") VALUES (3, 2026, "
                               "?, ?, ?, ?, ?, ?, 0, 0, 0, ?, ?, ?, ?, ?, ?)"),
                {number, l.kind, l.code, l.quantity, l.invoicePrice, l.discount, net, l.price,
                 l.quantity * l.price, ++rbr,
                 l.kind == QLatin1String("AMB") ? QVariant() : QVariant(QStringLiteral("PDV")),
                 l.kind == QLatin1String("AMB") ? QVariant() : QVariant(25.0)});
        }
    }

    int Receipts(Database& db) {
        return Count(db, QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1"));
    }

    // A delivery note of the source's warehouse 3 to its supplier: article lines (code,
    // quantity, price before discount, discount) and a service line, which carries nothing.
    struct NoteLine {
        int code;
        double quantity;
        double price;
        double discount;
    };
    void SourceDelivery(int number, const QDate& date, const std::vector<NoteLine>& lines) {
        Database& s = *source;
        s.Exec(
            QStringLiteral("INSERT INTO \"OTPREMNICE\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_OTPREMNICE\", \"DATUM\", \"SIFRA_PARTNERA\") VALUES (3, 2026, "
                           "?, ?, 1001)"),
            {number, date});
        int rbr = 0;
        for (const NoteLine& l : lines) {
            s.Exec(
                QStringLiteral("INSERT INTO \"STAVKE_OTPREMNICA\" (\"SKLADISTE\", \"GODINA\", "
                               "\"BROJ_OTPREMNICE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                               "\"CIJENA_BEZ_RABATA\", \"RABAT_%\", \"CIJENA_\", \"RBR_STAVKE\") "
                               "VALUES (3, 2026, ?, 'ART', ?, ?, ?, ?, ?, ?)"),
                {number, l.code, l.quantity, l.price, l.discount, l.price * (1 - l.discount / 100),
                 ++rbr});
        }
        s.Exec(QStringLiteral(
                   "INSERT INTO \"STAVKE_OTPREMNICA\" (\"SKLADISTE\", \"GODINA\", "
                   "\"BROJ_OTPREMNICE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                   "\"CIJENA_BEZ_RABATA\", \"RBR_STAVKE\") VALUES (3, 2026, ?, 'USL', 1, 1, "
                   "50, ?)"),
               {number, ++rbr});
    }

    // The same through a connection of its own (the fixture's is closed for the tools).
    void SourceDeliveryIn(const QString& path, int number, const std::vector<NoteLine>& lines) {
        auto opened = Database::Open(path, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        source = std::move(opened.db);
        SourceDelivery(number, QDate(2026, 3, 10), lines);
        source.reset();
    }

    // The lot's selling price in the target's warehouse 1.
    double LotPrice(int lot, int article) {
        return db()
            .Scalar(QStringLiteral("SELECT \"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" WHERE "
                                   "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND "
                                   "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                    {Year(), lot, article})
            .toDouble();
    }

    std::unique_ptr<Database> source;
    QString sourcePath;
    int screw = 0;
};

TEST_F(DataTransferTest, ReceiptsArriveUnderNextNumbersWithRegistersCreatedByName) {
    docs->Receipt({{screw, 1, 1, 2}});  // the target's receipt 1
    const t::Outcome out = t::CarryReceipts(*source, *session, {7, 9, {}, {}});
    EXPECT_EQ(out.numbers, (std::vector<int>{2, 3}));
    EXPECT_EQ(out.partners, 1);
    EXPECT_EQ(out.articles, 1);  // the chocolate; the screw is the target's own
    EXPECT_EQ(out.articleGroups, 1);
    EXPECT_EQ(out.taxGroups, 1);
    EXPECT_EQ(out.packaging, 1);
    Database& d = db();
    const int chocolate = d.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE "
                                                  "\"NAZIV\" = ?"),
                                   {kChocolate})
                              .toInt();
    EXPECT_NE(chocolate, screw);
    // The new article's group and tax group are the target's rows of those names.
    EXPECT_EQ(d.Scalar(QStringLiteral("SELECT g.\"NAZIV\" || '/' || t.\"NAZIV\" FROM \"ARTIKLI\" a "
                                      "JOIN \"GRUPE_A\" g ON g.\"SIFRA\" = a.\"GRUPA_A\" JOIN "
                                      "\"GRUPE_POREZA\" t ON t.\"SIFRA\" = a.\"GRUPA_P\" WHERE "
                                      "a.\"SIFRA\" = ?"),
                       {chocolate})
                  .toString(),
              kSweets + QLatin1Char('/') + kReducedTax);
    EXPECT_EQ(
        d.Scalar(QStringLiteral("SELECT p.\"NAZIV\" FROM \"PRIMKE\" r JOIN \"PARTNERI\" p ON "
                                "p.\"SIFRA\" = r.\"SIFRA DOBAVLJACA\" WHERE r.\"SKLADISTE\" = "
                                "1 AND r.\"BROJ PRIMKE\" = 3"))
            .toString(),
        kSupplier);
    ExpectSameLines(LinesOf(*source, 3, 2026, 7), LinesOf(d, 1, Year(), 2));
    ExpectSameLines(LinesOf(*source, 3, 2026, 9), LinesOf(d, 1, Year(), 3));
    // The lots: the screw's two receipts and the chocolate's one.
    EXPECT_NEAR(d.Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                        "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND "
                                        "\"SIFRA_ARTIKLA\" = ?"),
                         {Year(), screw})
                    .toDouble(),
                1 + 100, 1e-9);
    EXPECT_NEAR(d.Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                        "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND "
                                        "\"SIFRA_ARTIKLA\" = ?"),
                         {Year(), chocolate})
                    .toDouble(),
                12 + 3.5, 1e-9);
    // Again from 12 on: everything is known by name now, nothing is created twice.
    const t::Outcome again = t::CarryReceipts(*source, *session, {12, 0, {}, {}});
    EXPECT_EQ(again.numbers, std::vector<int>{4});
    EXPECT_EQ(
        again.partners + again.articles + again.articleGroups + again.taxGroups + again.packaging,
        0);
}

TEST_F(DataTransferTest, TheOpenCompanyIsRefusedAsTheSource) {
    // On the server the company is its address; a file has other spellings of its path.
    const QString alias =
        test::OnServer() ? CompanyPath()
                         : Folder() + QStringLiteral("/./") + QFileInfo(CompanyPath()).fileName();
    for (const QString& path : {CompanyPath(), alias}) {
        EXPECT_EQ(Refusal([&] { t::CheckNotSame(path, CompanyPath()); }), t::SameDatabaseMessage())
            << path.toStdString();
    }
    EXPECT_EQ(Refusal([&] { t::CarryReceipts(db(), *session, {}); }), t::SameDatabaseMessage());
    EXPECT_EQ(Refusal([&] { t::CheckNotSame(sourcePath, CompanyPath()); }), QString());
    // The window's command asks for the file and refuses the open one the same way.
    prompter.AnswerYes().AnswerText(alias);
    EXPECT_FALSE(t::RunRead(*session, prompter, Folder(), false));
    EXPECT_EQ(prompter.Shown().last(), t::SameDatabaseMessage());
    EXPECT_EQ(Receipts(db()), 0);
}

// A file as a supplier's system writes it; each fault stops the whole file before anything is
// written, also the receipts before the faulty one.
TEST_F(DataTransferTest, AFileNamingWhatNobodyDescribesIsRefusedWhole) {
    const QString warehouse = session->activeWarehouse.name;
    const QString good = QStringLiteral(
        "{\"naziv\": \"Vijak M8\", \"kolicina\": 2, \"fakturna_cijena\": 1, \"cijena\": 2}");
    const struct {
        QString header;
        QString line;
        QString message;
    } cases[] = {
        {QStringLiteral("\"dobavljac\": \"Nepoznat d.o.o.\""), good,
         t::MissingPartnerMessage(QStringLiteral("Nepoznat d.o.o."))},
        {QString(), QStringLiteral("{\"naziv\": \"Matica 'M10'\", \"kolicina\": 1}"),
         t::MissingArticleMessage(QStringLiteral("Matica 'M10'"))},
        {QString(), QStringLiteral("{\"ambalaza\": \"Gajba\", \"kolicina\": 1}"),
         t::MissingPackagingMessage(QStringLiteral("Gajba"))},
        {QString(),
         QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 1, \"grupa_poreza\": "
                        "\"PDV 0\"}"),
         t::MissingTaxGroupMessage(QStringLiteral("PDV 0"))},
        {QString(), QStringLiteral("{\"naziv\": \"Lizalica\", \"kolicina\": 1}"),
         t::MissingArticleGroupMessage(QStringLiteral("Bomboni"))},
        {QString(), QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 0}"),
         QStringLiteral("Primka 2, 'Vijak M8': količina je 0.")},
        {QString(), QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 1e300}"),
         QStringLiteral("Primka 2, 'Vijak M8': količina mora biti između -999999999,9999999999 "
                        "i 999999999,9999999999 !")},
        {QString(),
         QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 1, \"fakturna_cijena\": \"inf\"}"),
         QStringLiteral("Primka 2, 'Vijak M8': fakturna cijena nije ispravan broj !")},
        {QString(), QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": \"nan\"}"),
         QStringLiteral("Primka 2, 'Vijak M8': količina nije ispravan broj !")},
        {QString(), QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 1, \"rabat_%\": 150}"),
         QStringLiteral("Primka 2, 'Vijak M8': rabat mora biti između -100 i 100 !")},
        {QString(),
         QStringLiteral("{\"naziv\": \"Vijak M8\", \"kolicina\": 1, \"carina_%\": 1001}"),
         QStringLiteral("Primka 2, 'Vijak M8': carina mora biti između -100 i 1000 !")},
    };
    for (const auto& c : cases) {
        const QString json =
            QStringLiteral(
                "{\"skladiste\": \"%1\", \"godina\": 2026, \"artikli\": [{\"naziv\": "
                "\"Lizalica\", \"grupa\": \"Bomboni\"}], \"primke\": [{\"broj\": 1, "
                "\"datum\": \"2026-03-02\", \"dokument\": \"A\", \"stavke\": [%2]}, "
                "{\"broj\": 2, \"datum\": \"2026-03-03\", \"dokument\": \"B\", %3 "
                "\"stavke\": [%4]}]}")
                .arg(warehouse, good, c.header.isEmpty() ? QString() : c.header + QLatin1Char(','),
                     c.line);
        EXPECT_EQ(Refusal([&] { t::PostPackage(*session, t::FromJson(json.toUtf8())); }),
                  c.message);
        EXPECT_EQ(Receipts(db()), 0) << c.message.toStdString();
        EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"NAZIV\" = "
                                             "'Lizalica'")),
                  0);
    }
}

TEST_F(DataTransferTest, AWarehouseTheSourceLacksAndAnUnfinishedReceiptAreRefused) {
    source->Exec(
        QStringLiteral("UPDATE \"SKLADISTA\" SET \"NAZIV\" = 'Drugo' WHERE \"SIFRA\" = 3"));
    EXPECT_EQ(Refusal([&] { t::CarryReceipts(*source, *session, {}); }),
              t::MissingWarehouseMessage(session->activeWarehouse.name));
    source->Exec(QStringLiteral("UPDATE \"SKLADISTA\" SET \"NAZIV\" = ? WHERE \"SIFRA\" = 3"),
                 {session->activeWarehouse.name});
    EXPECT_EQ(Refusal([&] {
                  t::CarryReceipts(*source, *session, {13, 0, {}, {}});
              }),
              t::NoReceiptsMessage());
    db().Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"TIP_STAVKE\", \"SIFRA\", "
                             "\"KOLICINA\", \"Multiuser_sifra\") VALUES ('ART', ?, 1, ?)"),
              {screw, session->sessionCode});
    EXPECT_EQ(Refusal([&] { t::CarryReceipts(*source, *session, {}); }),
              t::UnfinishedReceiptMessage());
    EXPECT_EQ(Receipts(db()), 0);
}

// Written by one company's tool into a zip, read by the other's: the same lines, the same
// values, and the file's payload is the JSON the format describes.
TEST_F(DataTransferTest, ATransferFileCarriesTheSameLinesThroughTheTool) {
    if (Database::IsServerTarget(CompanyPath())) {
        GTEST_SKIP() << "the tool's run over files is enough";
    }
    source.reset();
    const QString zip = Folder() + QStringLiteral("/primke.zip");
    ZodractlOptions options;
    const ZodractlRun written =
        RunProgram(QStringLiteral(ZODRACTL_PATH),
                   {QStringLiteral("transfer"), sourcePath, zip, QStringLiteral("receipts"),
                    QStringLiteral("--skladiste"), QStringLiteral("3"), QStringLiteral("--do"),
                    QStringLiteral("05.03.2026")},
                   options);
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(written.out.startsWith(t::WrittenMessage())) << written.out.toStdString();
    const t::Package package = t::ReadTransferFile(zip);
    ASSERT_EQ(package.receipts.size(), 2u);  // 7 and 9; 12 is after --do
    EXPECT_EQ(package.receipts[1].supplier, kSupplier);
    EXPECT_EQ(package.partners.size(), 1u);

    const ZodractlRun read = RunProgram(QStringLiteral(ZODRACTL_PATH),
                                        {QStringLiteral("transfer"), zip, CompanyPath(),
                                         QStringLiteral("--skladiste"), QStringLiteral("1")},
                                        options);
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains(QStringLiteral("Proknjižene primke: 1, 2")))
        << read.out.toStdString();
    auto reopened = Database::Open(sourcePath, QString());
    ASSERT_EQ(reopened.status, Database::OpenStatus::Ok);
    ExpectSameLines(LinesOf(*reopened.db, 3, 2026, 7), LinesOf(db(), 1, Year(), 1));
    ExpectSameLines(LinesOf(*reopened.db, 3, 2026, 9), LinesOf(db(), 1, Year(), 2));
    // Delivery notes through a zip of their own: the target's screw (lot 2, from receipt 9) is
    // repriced to the note's net price.
    SourceDeliveryIn(sourcePath, 5, {{screw + 50, 4, 8, 25}});
    const QString notes = Folder() + QStringLiteral("/otpremnice.zip");
    const ZodractlRun wroteNotes =
        RunProgram(QStringLiteral(ZODRACTL_PATH),
                   {QStringLiteral("transfer"), sourcePath, notes, QStringLiteral("deliveries"),
                    QStringLiteral("--skladiste"), QStringLiteral("3")},
                   options);
    ASSERT_EQ(wroteNotes.exitCode, 0) << wroteNotes.err.toStdString();
    EXPECT_TRUE(wroteNotes.out.startsWith(QStringLiteral("Otpremnice uspješno snimljene. (1 u ")))
        << wroteNotes.out.toStdString();
    const t::Package noted = t::ReadTransferFile(notes, t::Kind::Deliveries);
    ASSERT_EQ(noted.deliveries.size(), 1u);
    EXPECT_EQ(noted.deliveries[0].lines.size(), 1u);  // the service line stays behind
    EXPECT_EQ(Refusal([&] { t::ReadTransferFile(notes); }),
              QStringLiteral("Datoteka nije datoteka prijenosa primki (nema primke.json)."));
    const ZodractlRun readNotes =
        RunProgram(QStringLiteral(ZODRACTL_PATH),
                   {QStringLiteral("transfer"), notes, CompanyPath(), QStringLiteral("deliveries"),
                    QStringLiteral("--skladiste"), QStringLiteral("1")},
                   options);
    ASSERT_EQ(readNotes.exitCode, 0) << readNotes.err.toStdString();
    EXPECT_EQ(
        readNotes.out.section(u'\n', 0, 0),
        QStringLiteral("Donos otpremnica napravljen uspješno. Proknjižene izmjene cijena: 1"));
    EXPECT_NEAR(db().Scalar(QStringLiteral("SELECT MAX(\"VELEPRODAJNA CIJENA\") FROM \"NABAVE\" "
                                           "WHERE \"SKLADISTE\" = 1 AND \"SIFRA_ARTIKLA\" = ?"),
                            {screw})
                    .toDouble(),
                6, 1e-9);
    // The same company as source and target.
    const ZodractlRun same = RunProgram(
        QStringLiteral(ZODRACTL_PATH),
        {QStringLiteral("transfer"), CompanyPath(), CompanyPath(), QStringLiteral("receipts")},
        options);
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_EQ(same.err.trimmed(), t::SameDatabaseMessage());
}

// The transfer posts while another workstation's tool posts a receipt: the tool waits for the
// transfer's transaction, and the numbers stay gap-free with nothing lost.
TEST_F(DataTransferTest, AReceiptPostedMeanwhileWaitsAndTakesTheNextNumber) {
    QFile json(Folder() + QStringLiteral("/primka.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(QStringLiteral("{\"skladiste\": 1, \"datum\": \"2026-03-04\", \"dobavljac\": 2, "
                              "\"dokument\": \"R-99\", \"stavke\": [{\"artikal\": %1, "
                              "\"kolicina\": 10, \"fakturna_cijena\": 7, \"cijena\": 9}]}")
                   .arg(screw)
                   .toUtf8());
    json.close();
    QProcess other;
    other.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    const t::Outcome out = t::CarryReceipts(*source, *session, {}, [&](int done, int total) {
        EXPECT_EQ(total, 3);
        if (done == 1) {
            other.start(QStringLiteral(ZODRACTL_PATH),
                        {QStringLiteral("post"), CompanyPath(), json.fileName()});
            ASSERT_TRUE(other.waitForStarted());
            QThread::msleep(700);  // waiting for the transfer's lock by now
        }
    });
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(out.numbers, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(
        QString::fromUtf8(other.readAllStandardOutput()).contains(QStringLiteral("pod brojem 4")));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                                         "AND \"BROJ PRIMKE\" BETWEEN 1 AND 4")),
              4);
    EXPECT_NEAR(db().Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                           "\"SKLADISTE\" = 1 AND \"SIFRA_ARTIKLA\" = ?"),
                            {screw})
                    .toDouble(),
                100 + 5 + 10, 1e-9);
}

// A delivery note of the sender reprices the receiver's stock: each article's oldest lot that
// still holds stock gets the note's price less its discount, as one price change per note.
TEST_F(DataTransferTest, DeliveryNotesArriveAsPriceChangesOfTheOldestLotWithStock) {
    UseMethod(StockMethod::Fifo);
    docs->Receipt({{screw, 2, 1, 2}});    // lot 1, issued below
    docs->Receipt({{screw, 5, 1.5, 3}});  // lot 2
    docs->Receipt({{screw, 4, 1.5, 3}});  // lot 3
    docs->Post(Issue::IssueNote, {{screw, 2, 1}});
    SourceDelivery(5, QDate(2026, 3, 10), {{screw + 50, 4, 8, 25}});  // the source's screw
    SourceDelivery(6, QDate(2026, 3, 11), {{screw, 1, 10, 0}});       // its chocolate

    const t::Outcome out = t::Carry(*source, *session, t::Kind::Deliveries, {5, 5, {}, {}});
    EXPECT_EQ(out.numbers, std::vector<int>{1});
    EXPECT_NEAR(LotPrice(1, screw), 2, 1e-9);  // empty: left alone
    EXPECT_NEAR(LotPrice(2, screw), 6, 1e-9);  // 8 less 25 %
    EXPECT_NEAR(LotPrice(3, screw), 3, 1e-9);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"OPIS\" FROM \"IZMJENE_CIJENA\" WHERE "
                                         "\"SKLADISTE\" = 1 AND \"BROJ_IZMJENE_CIJENA\" = 1"))
                  .toString(),
              QStringLiteral("IZMJENA CIJENA (NIVELACIJA) 5"));
    Statement entry(db(), QStringLiteral("SELECT \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM "
                                         "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 "
                                         "AND \"TIP_DOKUMENTA\" = 'IZMJENA CIJENA'"));
    entry.Exec();
    ASSERT_TRUE(entry.Next());
    EXPECT_EQ(entry.Text(0), QStringLiteral("IZMJENA CIJENA (NIVELACIJA) 5"));
    EXPECT_NEAR(entry.Double(1), (6 - 3) * 5, 1e-9);
    EXPECT_FALSE(entry.Next());
    entry.Finish();

    // An article nobody here has in stock stops the note; the article it would have created
    // goes with it.
    EXPECT_EQ(Refusal([&] {
                  t::Carry(*source, *session, t::Kind::Deliveries, {6, 0, {}, {}});
              }),
              QStringLiteral("Nedovoljna količina artikla 'Čokolada 'Žuta' 100 g' na skladištu."));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"),
                    {kChocolate}),
              0);
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 1);
    EXPECT_EQ(Refusal([&] {
                  t::Carry(*source, *session, t::Kind::Deliveries, {7, 0, {}, {}});
              }),
              t::NoDeliveriesMessage());
    // A file's notes are held to the limits before anything is written.
    const struct {
        QString date;
        QString line;
        QString message;
    } faults[] = {
        {QStringLiteral("2026-03-12"), QStringLiteral("\"cijena\": -1"),
         QStringLiteral("Otpremnica 9, 'Vijak M8': cijena nesmije biti negativna !")},
        {QStringLiteral("2026-03-12"), QStringLiteral("\"cijena\": 8, \"kolicina\": -1e300"),
         QStringLiteral("Otpremnica 9, 'Vijak M8': količina mora biti između "
                        "-999999999,9999999999 i 999999999,9999999999 !")},
        {QStringLiteral("2026-03-12"), QStringLiteral("\"cijena\": 8, \"rabat_%\": 150"),
         QStringLiteral("Otpremnica 9, 'Vijak M8': cijena s rabatom nesmije biti negativna !")},
        {QStringLiteral("2019-03-12"), QStringLiteral("\"cijena\": 8"),
         QStringLiteral("Otpremnica 9: datum mora biti između 01.01.%1 i 31.12.%2 !")
             .arg(Year() - 5)
             .arg(Year() + 1)},
    };
    for (const auto& f : faults) {
        const QString json = QStringLiteral(
                                 "{\"skladiste\": \"%1\", \"otpremnice\": [{\"broj\": 9, "
                                 "\"datum\": \"%2\", \"stavke\": [{\"naziv\": \"Vijak "
                                 "M8\", %3}]}]}")
                                 .arg(session->activeWarehouse.name, f.date, f.line);
        EXPECT_EQ(Refusal([&] {
                      t::PostDeliveries(*session, t::FromJson(json.toUtf8(), t::Kind::Deliveries));
                  }),
                  f.message);
    }
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 1);
    // A price change in the making would be posted with the note: refused first.
    stockdocs::PutPriceChangeLine(*session, 3, screw, 9);
    EXPECT_EQ(Refusal([&] {
                  t::Carry(*source, *session, t::Kind::Deliveries, {5, 5, {}, {}});
              }),
              t::UnfinishedPriceChangeMessage());
    EXPECT_NEAR(LotPrice(2, screw), 6, 1e-9);
}

TEST_F(DataTransferTest, TheMailProgramGetsTheFileAttached) {
    const QString file = Folder() + QStringLiteral("/primke.zip");
    EXPECT_EQ(t::MailCommand(QStringLiteral(" ana@kod-ane.hr "), file),
              (QStringList{QStringLiteral("xdg-email"), QStringLiteral("--subject"),
                           QStringLiteral("Zodra primke"), QStringLiteral("--body"),
                           QStringLiteral("Attachment 'primke.zip' snimite u direktorij Zodra-a."),
                           QStringLiteral("--attach"), file, QStringLiteral("ana@kod-ane.hr")}));
    const QStringList notes =
        t::MailCommand(QStringLiteral("ana@kod-ane.hr"),
                       Folder() + QStringLiteral("/otpremnice.zip"), t::Kind::Deliveries);
    EXPECT_EQ(notes.mid(2, 3),
              (QStringList{QStringLiteral("Zodra otpremnice"), QStringLiteral("--body"),
                           QStringLiteral("Attachment 'otpremnice.zip' snimite u direktorij "
                                          "Zodra-a.")}));
    EXPECT_EQ(t::MailPrompt(t::Kind::Deliveries),
              QStringLiteral("Unesite email primatelja otpremnica."));
    QStringList started;
    const auto start = [&](const QStringList& command) { started = command; };
    prompter.AnswerText(QStringLiteral("ana.kod-ane.hr"));
    EXPECT_FALSE(t::RunMail(prompter, file, start));
    EXPECT_EQ(
        prompter.Shown(),
        (QStringList{t::MailPrompt(), QStringLiteral("Email adresa nije ispravno upisana.")}));
    EXPECT_TRUE(started.isEmpty());
    prompter.AnswerText(QStringLiteral("ana@kod-ane.hr"));
    EXPECT_TRUE(t::RunMail(prompter, file, start));
    EXPECT_EQ(started.value(7), QStringLiteral("ana@kod-ane.hr"));
}

}  // namespace
}  // namespace zodra::test
