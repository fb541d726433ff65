#include <gtest/gtest.h>

#include <QFile>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "purchasing/ReceiptJson.h"
#include "purchasing/ReceiptLines.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptJsonTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '3850000099991' WHERE "
                                 "\"SIFRA\" = ?"),
                  {nut});
        db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"OIB\" = '12345678903' WHERE \"SIFRA\" "
                                 "= ?"),
                  {supplier});
    }
    QByteArray File(const QString& lines, const QString& extra = QString()) {
        return (QStringLiteral("{\"skladiste\": 1, \"datum\": \"2026-03-02\", \"dobavljac\": "
                               "{\"oib\": \"12345678903\"}, \"dokument\": \"R-77\", ") +
                extra + QStringLiteral("\"stavke\": [") + lines + QStringLiteral("]}"))
            .toUtf8();
    }
    QString Refusal(const QByteArray& json) {
        return ReceiptTest::Refusal(
            [&] { PostReceiptFromJson(*session, prompter, ParseReceiptJson(db(), json)); });
    }
};

}  // namespace

TEST_F(ReceiptJsonTest, AFilePostsThroughTheCalculationWithDefaultsAndSummary) {
    const QByteArray json =
        File(QStringLiteral(
                 "{\"artikal\": \"VIJAK M8\", \"kolicina\": 10, \"fakturna_cijena\": 10, "
                 "\"marza_%\": 40},"
                 "{\"barkod\": \"3850000099991\", \"kolicina\": 5, \"fakturna_cijena\": \"2,50\", "
                 "\"cijena\": 3.5},"
                 "{\"artikal\": %1, \"kolicina\": 24, \"fakturna_cijena\": 0.6, \"mpc\": 1.25},"
                 "{\"artikal\": \"VIJAK M8\", \"kolicina\": 2, \"fakturna_cijena\": 10},"
                 "{\"ambalaza\": %2, \"kolicina\": 6}")
                 .arg(beer)
                 .arg(bottle),
             QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 149.00, \"rabat\": 14.69, "
                            "\"zavisni\": [{\"opis\": \"Prijevoz\", \"iznos\": 6.61}]}, "));
    const JsonReceipt r = ParseReceiptJson(db(), json);
    EXPECT_EQ(r.header.supplier, std::optional<int>(supplier));
    EXPECT_EQ(r.header.supplierDocumentDate, QDate(2026, 3, 2));
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_EQ(r.lines[1].article, std::optional<int>(nut));
    EXPECT_EQ(r.lines[1].invoicePrice, std::optional<double>(2.5));
    const std::optional<int> number = PostReceiptFromJson(*session, prompter, r);
    ASSERT_EQ(number, std::optional<int>(1));
    // Only the repeated screw asked (and was merged): the sums match the amounts to the cent.
    ASSERT_EQ(prompter.Shown().size(), 1) << prompter.Shown().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(prompter.Shown().first(), MergeQuestion());
    EXPECT_EQ(WorkingLines(), 0);
    const ReceiptTarget t = ReceiptTarget::Posted(1, Year(), *number);
    // The repeated screw merged; the bottles of the beer and the typed ones are one line.
    EXPECT_EQ(receiptlines::CountLines(db(), t), 4);
    const ReceiptRow screwLine = *receiptlines::FindArticle(db(), t, screw);
    EXPECT_DOUBLE_EQ(screwLine.quantity, 12);
    EXPECT_NEAR(screwLine.discountPercent, 10, 1e-9);                // 14.69 of the goods' 146.90
    EXPECT_NEAR(screwLine.otherPercent, 6.61 / 132.21 * 100, 1e-9);  // of the net
    const ReceiptRow nutLine = *receiptlines::FindArticle(db(), t, nut);
    EXPECT_DOUBLE_EQ(nutLine.price, 3.5);
    const ReceiptRow beerLine = *receiptlines::FindArticle(db(), t, beer);
    ASSERT_TRUE(beerLine.retailMargin);  // derived from the retail price, tax 25 %
    EXPECT_NEAR(beerLine.price * (1 + *beerLine.retailMargin / 100) * 1.25, 1.25, 1e-9);
    EXPECT_DOUBLE_EQ(receiptlines::FindPackaging(db(), t, bottle)->quantity, 30);
    EXPECT_EQ(ReadDependentCosts(db(), 1, Year(), *number).size(), 1u);
    ExpectConsistent();
}

TEST_F(ReceiptJsonTest, WhatTheFileGetsWrongIsNamedAndNothingIsBooked) {
    EXPECT_TRUE(Refusal("{\"skladiste\": ")
                    .startsWith(QStringLiteral("Datoteka primke: nije ispravan JSON (")));
    EXPECT_EQ(Refusal("{\"skladiste\": 9, \"stavke\": []}"),
              QStringLiteral("Datoteka primke: \"skladiste\" nije šifra postojećeg skladišta."));
    EXPECT_EQ(Refusal(File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 1}, "
                                          "{\"artikal\": \"NEMA\", \"kolicina\": 1}"))),
              QStringLiteral("Datoteka primke: artikal nije pronađen (stavka 2)."));
    EXPECT_EQ(Refusal(File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 1, "
                                          "\"rabat_%\": \"deset\"}"))),
              QStringLiteral("Datoteka primke: \"rabat_%\" nije broj (stavka 1)."));
    EXPECT_EQ(Refusal(File(QStringLiteral("{\"artikal\": \"VIJAK M8\"}"))),
              QStringLiteral("Datoteka primke: nedostaje \"kolicina\" (stavka 1)."));
    EXPECT_EQ(Refusal(File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 1}"),
                           QStringLiteral("\"valuta\": \"USD\", "))),
              QStringLiteral("Datoteka primke: valuta USD nije upisana u šifarnik valuta."));
    // Control totals that differ are answered No: nothing booked, the working copy empty.
    prompter.AnswerNo();
    const JsonReceipt r = ParseReceiptJson(
        db(), File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 1, "
                                  "\"fakturna_cijena\": 10}"),
                   QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 10.01}, ")));
    EXPECT_FALSE(PostReceiptFromJson(*session, prompter, r).has_value());
    EXPECT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), 0);
    EXPECT_EQ(WorkingLines(), 0);
}

TEST_F(ReceiptJsonTest, ZodractlPostsAFileAndPrintsTheNumber) {
    QFile json(Folder() + QStringLiteral("/primka.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 10, "
                                   "\"fakturna_cijena\": 10}"),
                    QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 100, "
                                   "\"zavisni\": [{\"opis\": \"Prijevoz\", \"iznos\": 5}]}, ")));
    json.close();
    session.reset();  // the workstation leaves; the file is posted by the command alone
    const QString pdf = Folder() + QStringLiteral("/primka.pdf");
    ZodractlRun o = Zodractl(
        {QStringLiteral("post"), CompanyPath(), json.fileName(), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_EQ(o.out.trimmed(), QStringLiteral("Primka je proknjižena pod brojem 1"));
    EXPECT_GT(QFile(pdf).size(), 10000);

    // The same file again: a different number; with a control difference the answer is No
    // unless --da is given.
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(File(QStringLiteral("{\"artikal\": \"VIJAK M8\", \"kolicina\": 10, "
                                   "\"fakturna_cijena\": 10}"),
                    QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 99}, ")));
    json.close();
    o = Zodractl({QStringLiteral("post"), CompanyPath(), json.fileName()});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(
        o.err.contains(QStringLiteral("Ukupna fakturna vrijednost (99,00 EUR) nije "
                                      "jednaka zbroju fakturnih vrijednosti (100,00 EUR)")))
        << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("Primka nije proknjižena.")));
    o = Zodractl({QStringLiteral("post"), CompanyPath(), json.fileName(), QStringLiteral("--da")});
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_EQ(o.out.trimmed(), QStringLiteral("Primka je proknjižena pod brojem 2"));

    o = Zodractl({QStringLiteral("post"), CompanyPath(), Folder() + QStringLiteral("/nema.json")});
    EXPECT_EQ(o.exitCode, 1);
    o = Zodractl({QStringLiteral("post"), CompanyPath()});
    EXPECT_EQ(o.exitCode, 2);

    auto db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")).toInt(), 2);
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\"")).toInt(), 0);
}
