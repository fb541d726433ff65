// Invoices from a JSON file through the same lines, checks and posting as the window: what a
// file gives and what it leaves to the proposals, and refusals that book nothing.

#include "sales/InvoiceJson.h"
#include "sales/InvoiceTest.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class InvoiceJsonTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        docs->Receipt({{screw, 10, 5.00, 8.00}});
        db().Exec(
            QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", "
                           "\"GRUPA_P\") VALUES ('Montaža', 'h', 30, 1)"));
    }
    std::optional<sales::PostedInvoice> PostFile(const QString& json) {
        const sales::JsonInvoice invoice = sales::ParseInvoiceJson(db(), json.toUtf8());
        return sales::PostInvoiceFromJson(*session, prompter, invoice);
    }
    // Nothing booked, nothing held: no invoice, no working row, the lot's free quantity whole.
    void ExpectNothingBooked() {
        EXPECT_EQ(Rows("RACUNI"), 0);
        EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
        EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 10.0);
        EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
    }
};

TEST_F(InvoiceJsonTest, AFileIsPostedWithTheWindowsProposalsForWhatItLeavesOut) {
    const int codes = Rows("Multiuser");
    prompter.AnswerYes();  // the repeated article is merged
    const auto posted = PostFile(QStringLiteral(R"({
        "skladiste": 1, "uvjet_prodaje": 2, "kupac": {"oib": "12345678903"},
        "datum": "10.3.2026", "narudzbenica": "N-7", "rok_placanja": 10,
        "stavke": [
            {"artikal": "Vijak M8", "kolicina": 2},
            {"usluga": "Montaža", "kolicina": 1.5, "rabat_%": 10, "opis": "ugradnja"},
            {"artikal": "Vijak M8", "kolicina": 1}
        ]})"));
    ASSERT_TRUE(posted.has_value());
    EXPECT_EQ(posted->number, 1);
    EXPECT_EQ(prompter.Shown().last(), sales::ArticleMergeQuestion());
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\"")), 2);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE "
                                          "\"TIP_STAVKE\" = 'ART'")),
                     3.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"VRIJEDNOST_\" FROM \"STAVKE_RACUNA\" WHERE "
                                          "\"TIP_STAVKE\" = 'USL'")),
                     40.5);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"NARUDZBENICA\" FROM \"RACUNI\"")).toString(),
              QStringLiteral("N-7"));
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"DOSPIJECE RACUNA\" FROM \"RACUNI\"")).toDate(),
              QDate(2026, 3, 20));
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"ISPORUKA MJESTO\" FROM \"RACUNI\"")).toString(),
              QStringLiteral("Zagreb"));
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 7.0);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
    EXPECT_EQ(Rows("Multiuser"), codes);  // the file's own session code is released
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceJsonTest, AFileThatCannotBeBookedIsRefusedWithItsMessageAndBooksNothing) {
    auto refused = [&](const char* json, const char* message) {
        ExpectRefused([&] { PostFile(QString::fromUtf8(json)); }, QString::fromUtf8(message));
        ExpectNothingBooked();
    };
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Nitko", "datum": "2026-03-10",
                "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})",
            "Datoteka računa: kupac nije pronađen.");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10",
                "stavke": [{"artikal": "Vijak M8", "kolicina": 1}, {"artikal": "X", "kolicina": 1}]})",
            "Datoteka računa: artikal nije pronađen (stavka 2).");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10",
                "stavke": [{"artikal": "Vijak M8", "kolicina": 1},
                           {"artikal": "Vijak M8", "primka": 1, "kolicina": 10}]})",
            "Nedovoljna količina artikla Vijak M8 (stavka 2)");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10", "stavke": [{"artikal": "Vijak M8", "kolicina": 1,
                "cijena": "nan"}]})",
            "Cijena nije ispravan broj ! (stavka 1)");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10", "isporuka_adresa": "",
                "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})",
            "Isporuka-adresa je duža od 80 znakova ili nije upisana");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 1, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10", "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})",
            "Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa.");
    refused(R"({"skladiste": 1, "uvjet_prodaje": 9, "kupac": 1, "datum": "2026-03-10",
                "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})",
            "Datoteka računa: \"uvjet_prodaje\" nije šifra postojećeg uvjeta prodaje.");
    // A foreign currency without a rate of the invoice's date.
    db().Exec(QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'USD')"));
    refused(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": "Kod Ane's d.o.o.",
                "datum": "2026-03-10", "valuta": "USD", "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})",
            "Nije upisan tečaj USD za 10.03.2026.");
    // A merge answered No books nothing either.
    prompter.AnswerNo();
    EXPECT_FALSE(PostFile(QStringLiteral(R"({"skladiste": 1, "uvjet_prodaje": 2, "kupac": 1,
        "datum": "2026-03-10", "isporuka_adresa": "-", "isporuka_mjesto": "-",
        "stavke": [{"artikal": "Vijak M8", "kolicina": 1}, {"artikal": "Vijak M8", "kolicina": 2}]})"))
                     .has_value());
    ExpectNothingBooked();
}

TEST_F(InvoiceJsonTest, AFileNamesTheCurrencyTheInvoiceIsIssuedIn) {
    db().Exec(
        QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'USD'), "
                       "(3, 'GBP')"));
    db().Exec(
        QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                       "VALUES (2, '2026-03-10', 1.0837), (3, '2026-03-10', 0.86)"));
    ASSERT_TRUE(PostFile(QStringLiteral(R"({"skladiste": 1, "uvjet_prodaje": 2,
        "kupac": "Kod Ane's d.o.o.", "datum": "2026-03-10", "valuta": "GBP", "stavke": [{"artikal": "Vijak M8", "kolicina": 1}]})"))
                    .has_value());
    EXPECT_EQ(Value(QStringLiteral("SELECT \"VALUTA\" FROM \"RACUNI\"")), 3.0);
    EXPECT_EQ(Value(QStringLiteral("SELECT \"TECAJ\" FROM \"RACUNI\"")), 0.86);
}

}  // namespace

namespace {

TEST_F(InvoiceJsonTest, AFileAnswersAUsedVehiclesPriceAndExtraDataAndCarriesPackaging) {
    const int car = docs->AddArticle(QStringLiteral("Golf 1.6 TDI"));
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\", \"VRSTA_VOZILA\") VALUES "
                             "(?, 'Polovno vozilo')"),
              {car});
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" (\"Sifra\", "
                             "\"Rbr\", \"Naziv\") VALUES (?, 1, 'Broj šasije')"),
              {car});
    docs->Receipt({{car, 1, 10000.00, 12000.00}});
    db().Exec(
        QStringLiteral("INSERT INTO \"AMBALAZA\" (\"NAZIV\", \"JED_M\", \"CIJENA\") VALUES "
                       "('Euro paleta', 'kom', 15.0)"));
    const auto posted = PostFile(QStringLiteral(R"({
        "skladiste": 1, "uvjet_prodaje": 2, "kupac": {"oib": "12345678903"}, "datum": "10.3.2026",
        "stavke": [
            {"artikal": %1, "kolicina": 1, "vozilo_ukupno": 12500,
             "dodatni_podaci": ["WVWZZZ1KZ9W000001"]},
            {"ambalaza": 1, "kolicina": 2}
        ]})")
                                     .arg(car));
    ASSERT_TRUE(posted.has_value());
    EXPECT_TRUE(prompter.Shown().isEmpty());  // nothing was asked
    // The vehicle untaxed, its margin on service 1, the pallets: 10 000 + 2 500 + 30.
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT SUM(\"UKUPNO_\") FROM \"STAVKE_RACUNA\"")),
                     12530.0);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"VRIJEDNOST\" FROM "
                                         "\"STAVKE_RACUNA_DODATNI_PODACI\""))
                  .toString(),
              QStringLiteral("WVWZZZ1KZ9W000001"));

    EXPECT_THROW(PostFile(QStringLiteral(R"({"skladiste": 1, "uvjet_prodaje": 2,
        "kupac": {"oib": "12345678903"}, "datum": "10.3.2026",
        "stavke": [{"ambalaza": 99, "kolicina": 1}]})")),
                 UserError);
}

}  // namespace
