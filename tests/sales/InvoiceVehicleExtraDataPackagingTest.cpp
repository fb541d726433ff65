// Lines of an invoice that are more than an article at a price: a used vehicle sold under margin
// taxation (the untaxed vehicle and its taxed margin), an article's extra data asked with its
// line and posted with it, packaging followed without stock.

#include "sales/InvoiceTest.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class InvoiceVehicleExtraDataPackagingTest : public InvoiceTest {
protected:
    std::vector<sales::InvoiceLine> Lines(const sales::InvoiceDraft& draft) {
        return sales::WorkingLinesOf(db(), draft.sessionCode);
    }
    std::optional<sales::AcceptedLine> Article(const sales::InvoiceDraft& draft, int article,
                                               double quantity) {
        return sales::AddArticleLine(
            *session, prompter, draft,
            {article, std::nullopt, quantity, std::nullopt, std::nullopt, std::nullopt, QString()});
    }
};

TEST_F(InvoiceVehicleExtraDataPackagingTest,
       AUsedVehicleIsSoldUntaxedWithItsMarginTaxedOnAServiceLine) {
    const int car = docs->AddArticle(QStringLiteral("Golf 1.6 TDI"));
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\", \"VRSTA_VOZILA\") VALUES "
                             "(?, 'Polovno osobno vozilo')"),
              {car});
    const int van = docs->AddArticle(QStringLiteral("Caddy"));
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\", \"VRSTA_VOZILA\") VALUES "
                             "(?, 'Polovno teretno vozilo')"),
              {van});
    docs->Receipt({{car, 1, 10000.00, 12000.00, 0.0}, {van, 1, 8000.00, 9000.00, 0.0}});
    ASSERT_FALSE(db().Scalar(QStringLiteral("SELECT 1 FROM \"USLUGE\"")).isValid());

    sales::InvoiceDraft draft = Draft();
    prompter.AnswerText(QStringLiteral("12.500,00 x"));
    ExpectRefused([&] { Article(draft, car, 1); }, QStringLiteral("Nije ispravno upisan broj !"));
    prompter.Cancel();
    EXPECT_FALSE(Article(draft, car, 1).has_value());
    EXPECT_TRUE(Lines(draft).empty());

    prompter.AnswerText(QStringLiteral("12500"));
    ASSERT_TRUE(Article(draft, car, 1).has_value());
    EXPECT_EQ(prompter.Shown().last(), sales::UsedVehicleQuestion());
    auto lines = Lines(draft);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, QStringLiteral("ART"));
    EXPECT_EQ(lines[0].taxGroup, QStringLiteral("Neoporezivo"));
    EXPECT_DOUBLE_EQ(lines[0].value, 10000.0);
    EXPECT_DOUBLE_EQ(lines[0].tax, 0.0);
    EXPECT_DOUBLE_EQ(lines[0].margin, 0.0);
    // The margin of 2 500.00 with tax is a base of 2 000.00 and 500.00 of tax at 25 %.
    EXPECT_EQ(lines[1].kind, QStringLiteral("USL"));
    EXPECT_EQ(lines[1].code, 1);
    EXPECT_DOUBLE_EQ(lines[1].value, 2000.0);
    EXPECT_DOUBLE_EQ(lines[1].tax, 500.0);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"USLUGE\" WHERE \"SIFRA\" = 1"))
                  .toString(),
              sales::MarginServiceName());
    EXPECT_DOUBLE_EQ(sales::Totals(db(), draft.sessionCode).total, 12500.0);

    // Sold below its purchase value there is no margin to tax: one untaxed line at the price.
    prompter.AnswerText(QStringLiteral("7500"));
    ASSERT_TRUE(Article(draft, van, 1).has_value());
    lines = Lines(draft);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[2].value, 7500.0);
    EXPECT_DOUBLE_EQ(lines[2].tax, 0.0);
    EXPECT_DOUBLE_EQ(lines[2].margin, -500.0);
    EXPECT_DOUBLE_EQ(sales::Totals(db(), draft.sessionCode).total, 20000.0);

    // Posted, the goods leave their lots and lots and card still agree.
    Post(draft);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, car).quantity, 0.0);
    ExpectLotsMatchCard();
}

TEST_F(InvoiceVehicleExtraDataPackagingTest,
       ExtraDataIsAskedWithTheLineGoesWithItAndIsPostedWithIt) {
    docs->Receipt({{screw, 10, 5.00, 8.00, 0.0}});
    db().Exec(
        QStringLiteral("INSERT INTO \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" (\"Sifra\", "
                       "\"Rbr\", \"Naziv\") VALUES (?, 1, 'Serijski broj'), (?, 2, 'Jamstvo')"),
        {screw, screw});
    const auto extraRows = [&](const char* table) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"") + QString::fromLatin1(table) +
                     QStringLiteral("\""));
    };
    sales::InvoiceDraft draft = Draft();
    // Cancelling the second question writes nothing at all.
    prompter.AnswerText(QStringLiteral("SN-1"));
    prompter.Cancel();
    EXPECT_FALSE(Article(draft, screw, 1).has_value());
    EXPECT_TRUE(Lines(draft).empty());
    EXPECT_EQ(extraRows("STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"), 0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 10.0);

    prompter.AnswerText(QStringLiteral("SN-1"));
    prompter.AnswerText(QStringLiteral("24 mjeseca"));
    ASSERT_TRUE(Article(draft, screw, 1).has_value());
    EXPECT_TRUE(prompter.Shown().contains(QStringLiteral("Upišite Serijski broj")));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Upišite Jamstvo"));
    EXPECT_EQ(extraRows("STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"), 2);

    // A second article line's data, then that line deleted: its data goes, the first stays.
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    docs->Receipt({{nut, 5, 1.00, 2.00, 0.0}});
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" (\"Sifra\", "
                             "\"Rbr\", \"Naziv\") VALUES (?, 1, 'Serijski broj')"),
              {nut});
    prompter.AnswerText(QStringLiteral("SN-2"));
    ASSERT_TRUE(Article(draft, nut, 1).has_value());
    EXPECT_EQ(extraRows("STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"), 3);
    sales::DeleteLine(*session, draft, 2);
    EXPECT_EQ(extraRows("STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"), 2);

    // Given beforehand (a document file) nothing is asked; a wrong count is refused.
    sales::ArticleLineInput given{screw,        std::nullopt, 1,        std::nullopt,
                                  std::nullopt, std::nullopt, QString()};
    sales::ArticleLineAnswers answers;
    answers.extraData = std::vector<QString>{QStringLiteral("SN-3")};
    ExpectRefused([&] { sales::AddArticleLine(*session, prompter, draft, given, answers); },
                  QStringLiteral("Artikal ima 2 dodatnih podataka, a upisano ih je 1."));
    answers.extraData->push_back(QString(256, QLatin1Char('x')));
    ExpectRefused([&] { sales::AddArticleLine(*session, prompter, draft, given, answers); },
                  QStringLiteral("Jamstvo je duži od 255 znakova !"));

    const int number = Post(draft).number;
    EXPECT_EQ(extraRows("STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_DODATNI_PODACI\" WHERE "
                                   "\"BROJ_RACUNA\" = ? AND \"SIFRA\" = ?"),
                    {number, screw}),
              2);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"VRIJEDNOST\" FROM "
                                         "\"STAVKE_RACUNA_DODATNI_PODACI\" WHERE \"NAZIV\" = "
                                         "'Jamstvo'"))
                  .toString(),
              QStringLiteral("24 mjeseca"));
}

TEST_F(InvoiceVehicleExtraDataPackagingTest, PackagingIsFollowedUntaxedWithoutStockOrTradeBook) {
    docs->Receipt({{screw, 10, 5.00, 8.00, 0.0}});
    db().Exec(
        QStringLiteral("INSERT INTO \"AMBALAZA\" (\"NAZIV\", \"JED_M\", \"CIJENA\") VALUES "
                       "('Euro paleta', 'kom', 15.0)"));
    const int pallet =
        db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"AMBALAZA\"")).toInt();
    sales::InvoiceDraft draft = Draft();
    const auto add = [&](int packaging, double quantity) {
        return sales::AddPackagingLine(*session, prompter, draft,
                                       {packaging, quantity, std::nullopt, QString()});
    };
    ExpectRefused([&] { add(0, 1); }, QStringLiteral("Nije izabrana ambalaža !"));
    ExpectRefused([&] { add(pallet, 0); }, QStringLiteral("Količina ne može biti nula !"));
    ExpectRefused(
        [&] {
            sales::AddPackagingLine(*session, prompter, draft,
                                    {pallet, 1, std::numeric_limits<double>::infinity(), {}});
        },
        QStringLiteral("Cijena nije ispravan broj !"));
    Article(draft, screw, 2);
    ASSERT_TRUE(add(pallet, 2).has_value());
    prompter.AnswerYes();
    ASSERT_TRUE(add(pallet, 1).has_value());
    EXPECT_EQ(prompter.Shown().last(), sales::PackagingMergeQuestion());
    const auto lines = Lines(draft);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].kind, QStringLiteral("AMB"));
    EXPECT_DOUBLE_EQ(lines[1].quantity, 3.0);
    EXPECT_DOUBLE_EQ(lines[1].value, 45.0);
    EXPECT_DOUBLE_EQ(lines[1].tax, 0.0);
    EXPECT_EQ(sales::DeleteLineQuestion(lines[1].kind),
              QStringLiteral("Želite li izbrisati stavku ambalaže ?"));

    const int number = Post(draft).number;
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" "
                                   "= ? AND \"TIP_STAVKE\" = 'AMB'"),
                    {number}),
              1);
    // The trade book sells the screws alone: 2 × 8.00.
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"PRODAJA_VRIJEDNOST\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"TIP_DOKUMENTA\" = '1RAČUN'")),
                     16.0);
    ExpectLotsMatchCard();
}

}  // namespace
