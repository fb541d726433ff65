#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>
#include <map>

#include "books/VatReturn.h"
#include "books/VatXml.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "support/Refused.h"
#include "support/ServerCompany.h"
#include "support/TestCompany.h"
#include "support/XmlSchema.h"

namespace zodra::books {
namespace {

using test::CompanyTest;

class VatReturnTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
    }

    // An invoice header of warehouse 1 in `book`; cancelled on `cancelled` when given.
    void Invoice(int number, const QDate& date, const QDate& cancelled = {}, int book = 2) {
        db->Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                                "\"BROJ RACUNA\", \"DATUM\", \"UVJET PRODAJE\", \"STORNO\", "
                                "\"DATUM_STORNA\") VALUES (1, ?, ?, ?, ?, 2, ?, ?)"),
                 {book, date.year(), number, date, cancelled.isValid(),
                  cancelled.isValid() ? QVariant(cancelled) : QVariant()});
    }
    void Line(int number, int year, int treatment, const QString& group, double rate, double base,
              int book = 2) {
        const double tax = base * rate / 100;
        db->Exec(
            QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                           "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", "
                           "\"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", \"GRUPA_POREZA\", "
                           "\"TIP_OPOREZIVANJA\") VALUES (1, ?, ?, ?, 'USL', ?, ?, ?, ?, ?, ?)"),
            {book, year, number, base, rate, tax, base + tax, group, treatment});
    }
    void Collection(int number, int year, const QDate& date, double amount, int book = 2) {
        db->Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES "
                                "(1, ?, ?, ?, 'virman', ?, ?)"),
                 {book, year, number, date, amount});
    }
    // An input invoice at the 25 % column: base, total and deductible tax; of its book's kind
    // unless another is given.
    void InputInvoice(int book, int number, const QDate& date, const QString& type, double base,
                      double tax, double deductible, std::optional<PurchaseKind> kind = {}) {
        db->Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                "\"Redni broj\", \"Račun broj\", \"Račun datum\", \"Šifra "
                                "dobavljača\", \"Tip računa\", \"Osnovica25\", "
                                "\"PretporezUkupno25\", \"PretporezOdbiti25\", "
                                "\"PretporezNeOdbiti25\", \"Iznos računa sa porezom\", \"Vrsta "
                                "nabave\") VALUES (?, ?, ?, 'U-1', ?, 2, ?, ?, ?, ?, ?, ?, ?)"),
                 {book, date.year(), number, date, type, base, tax, deductible, tax - deductible,
                  base + tax, static_cast<int>(kind.value_or(DefaultPurchaseKind(book)))});
    }
    void Payment(int book, int number, const QDate& date, double amount) {
        db->Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj "
                                "knjige UFA\", \"Tip\", \"Datum\", \"Iznos\") VALUES "
                                "(?, ?, ?, 'virman', ?, ?)"),
                 {book, date.year(), number, date, amount});
    }
    void CompanyMark(const QString& mark) {
        db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = ?"), {mark});
    }
    void FilingData(const QString& oib) {
        db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Kod Ane''s d.o.o.', "
                                "\"ADRESA\" = 'Radnička cesta 12a', \"MJESTO\" = '10000 Zagreb', "
                                "\"DIREKTOR\" = 'Ana Horvat', \"OIB\" = ?"),
                 {oib});
        db->Exec(QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = '3314' WHERE "
                                "\"Naziv\" = ?"),
                 {QString::fromUtf8(kVatTaxOfficeSetting)});
    }
    VatReturn Compute(const QDate& from, const QDate& to) {
        return ComputeVatReturn(*db, to.year(), from, to);
    }

    std::unique_ptr<Database> db;
};

void ExpectLine(const VatReturn& vat, const char* code, double base, double tax) {
    const QString c = QString::fromLatin1(code);
    ASSERT_NE(vat.form.Find(c), nullptr) << code;
    EXPECT_NEAR(vat.form.Base(c), base, 0.005) << "base of " << code;
    EXPECT_NEAR(vat.form.Tax(c), tax, 0.005) << "tax of " << code;
}

// A month of the current form on invoice dates: sales at the three rates, export and a domestic
// exemption, an invoice of January cancelled in February, one issued and cancelled in February,
// input tax of R-1 invoices by date, of an R-2 invoice by its payment and of a service bought
// abroad owed and deducted at once.
TEST_F(VatReturnTest, CurrentFormOnInvoiceDates) {
    Invoice(1, QDate(2026, 2, 3));
    Line(1, 2026, 10, QStringLiteral("PDV"), 25, 100);
    Line(1, 2026, 10, QStringLiteral("PDV 13%"), 13, 200);
    Line(1, 2026, 12, QStringLiteral("PDV 5%"), 5, 40);
    Invoice(2, QDate(2026, 2, 10));
    Line(2, 2026, 8, QStringLiteral("PDV"), 0, 300);
    Line(2, 2026, 14, QStringLiteral("PDV"), 0, 50);
    Invoice(3, QDate(2026, 1, 30), QDate(2026, 2, 2));
    Line(3, 2026, 10, QStringLiteral("PDV"), 25, 80);
    Invoice(4, QDate(2026, 3, 1));
    Line(4, 2026, 10, QStringLiteral("PDV"), 25, 1000);
    Invoice(5, QDate(2026, 2, 20), QDate(2026, 2, 25));
    Line(5, 2026, 10, QStringLiteral("PDV"), 25, 60);

    InputInvoice(1, 1, QDate(2026, 2, 5), QStringLiteral("R-1"), 400, 100, 80);
    InputInvoice(1, 2, QDate(2026, 2, 6), QStringLiteral("R-2"), 500, 125, 125);
    Payment(1, 2, QDate(2026, 2, 15), 250);  // 40 % of 625
    InputInvoice(1, 3, QDate(2026, 3, 2), QStringLiteral("R-1"), 999, 249.75, 249.75);
    InputInvoice(5, 1, QDate(2026, 2, 7), QStringLiteral("R-1"), 1000, 250, 250);

    const VatReturn feb = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    EXPECT_EQ(feb.form.Generation(), VatFormGeneration::Current);
    EXPECT_FALSE(feb.collectionBasis);
    ExpectLine(feb, "201", 40, 2);
    ExpectLine(feb, "202", 200, 26);
    ExpectLine(feb, "203", 20, 5);  // 100 less the cancelled 80
    ExpectLine(feb, "109", 300, 0);
    ExpectLine(feb, "108", 50, 0);
    ExpectLine(feb, "100", 350, 0);
    ExpectLine(feb, "210", 1000, 250);
    ExpectLine(feb, "200", 1260, 283);
    ExpectLine(feb, "000", 1610, 0);
    ExpectLine(feb, "303", 320 + 200, 80 + 50);
    ExpectLine(feb, "310", 1000, 250);
    ExpectLine(feb, "300", 1520, 380);
    ExpectLine(feb, "400", 0, -97);

    // January keeps the invoice it issued, though it was cancelled since.
    const VatReturn jan = Compute(QDate(2026, 1, 1), QDate(2026, 1, 31));
    ExpectLine(jan, "203", 80, 20);
    ExpectLine(jan, "400", 0, 20);
}

// The kind of purchase decides the lines, whatever the book: rows of books 4 and 5 kept before
// the kind counted take their book's kind once; later a domestic invoice in book 4 is domestic.
// A purchase the buyer taxes himself owes its whole tax in II and deducts its part in III, on
// its date even when it is an R-2 invoice; an import is deducted as it is paid.
TEST_F(VatReturnTest, TheKindOfPurchaseDecidesTheLines) {
    const QDate feb(2026, 2, 5);
    const auto domestic = PurchaseKind::Domestic;
    InputInvoice(4, 1, feb, QStringLiteral("R-1"), 400, 100, 100, domestic);
    Payment(4, 1, feb.addDays(15), 250);
    InputInvoice(5, 1, feb, QStringLiteral("R-1"), 1000, 250, 250, domestic);
    InputInvoice(4, 2, feb, QStringLiteral("R-1"), 80, 20, 20, PurchaseKind::EuGoods);
    InputInvoice(1, 1, feb, QStringLiteral("R-1"), 60, 15, 15, domestic);
    // Back to version 10, undoing what the later steps add so that they can run again.
    db->ExecRaw(QStringLiteral("ALTER TABLE \"ARTIKLI\" DROP COLUMN \"KPD\""));
    for (const char* column : {"OIB_PRIMATELJA", "PROMJENA_NACINA", "PROMJENA_OIB"}) {
        db->ExecRaw(QStringLiteral("ALTER TABLE \"FISKAL_RACUNI\" DROP COLUMN \"%1\"")
                        .arg(QString::fromLatin1(column)));
    }
    db->GetEngine().SetSchemaVersion(*db, 10);
    db.reset();
    db = Open();
    const QString kinds = QStringLiteral(
        "SELECT \"Vrsta nabave\" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? AND \"Redni "
        "broj\" = ?");
    for (const auto& [book, number, kind] :
         {std::tuple{4, 1, PurchaseKind::Import}, std::tuple{5, 1, PurchaseKind::EuServices},
          std::tuple{4, 2, PurchaseKind::EuGoods}, std::tuple{1, 1, domestic}}) {
        EXPECT_EQ(db->Scalar(kinds, {book, number}).toInt(), static_cast<int>(kind))
            << book << "/" << number;
    }
    InputInvoice(4, 3, feb, QStringLiteral("R-1"), 40, 10, 10, domestic);
    InputInvoice(1, 2, feb, QStringLiteral("R-2"), 200, 50, 40, PurchaseKind::DomesticReverse);
    InputInvoice(1, 3, feb, QStringLiteral("R-1"), 100, 25, 25, PurchaseKind::ForeignServices);

    const VatReturn vat = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    ExpectLine(vat, "314", 200, 50);
    ExpectLine(vat, "210", 1000, 250);
    ExpectLine(vat, "310", 1000, 250);
    ExpectLine(vat, "207", 80, 20);
    ExpectLine(vat, "307", 80, 20);
    ExpectLine(vat, "303", 100, 25);
    ExpectLine(vat, "204", 200, 50);
    ExpectLine(vat, "304", 160, 40);
    ExpectLine(vat, "213", 100, 25);
    ExpectLine(vat, "313", 100, 25);
    ExpectLine(vat, "200", 1380, 345);
    ExpectLine(vat, "300", 1640, 410);
    ExpectLine(vat, "400", 0, -65);
}

// An R-2 company: sales count when and as far as they are collected, input tax when paid; an
// invoice of total 0 that was collected writes the amount with no tax.
TEST_F(VatReturnTest, CollectionBasisTakesThePaidShareOfEachPeriod) {
    CompanyMark(QStringLiteral("R-2"));
    Invoice(1, QDate(2026, 1, 20));
    Line(1, 2026, 10, QStringLiteral("PDV"), 25, 800);
    Line(1, 2026, 10, QStringLiteral("PDV 5%"), 5, 200);  // gross 1000 + 200 + 10 = 1210
    Collection(1, 2026, QDate(2026, 2, 10), 605);
    Collection(1, 2026, QDate(2026, 3, 5), 605);
    Invoice(2, QDate(2026, 2, 1));
    Line(2, 2026, 10, QStringLiteral("PDV"), 25, 0);
    Collection(2, 2026, QDate(2026, 2, 11), 30);
    Invoice(3, QDate(2026, 2, 2));  // issued in February, never collected
    Line(3, 2026, 10, QStringLiteral("PDV"), 25, 500);

    InputInvoice(1, 1, QDate(2026, 2, 1), QStringLiteral("R-1"), 1000, 250, 250);
    Payment(1, 1, QDate(2026, 2, 12), 500);
    Payment(1, 1, QDate(2026, 3, 3), 750);
    InputInvoice(1, 2, QDate(2026, 2, 3), QStringLiteral("R-1"), 100, 25, 25);  // unpaid

    const VatReturn feb = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    EXPECT_TRUE(feb.collectionBasis);
    ExpectLine(feb, "203", 400 + 30, 100);
    ExpectLine(feb, "201", 100, 5);
    ExpectLine(feb, "303", 400, 100);
    ExpectLine(feb, "400", 0, 5);

    const VatReturn mar = Compute(QDate(2026, 3, 1), QDate(2026, 3, 31));
    ExpectLine(mar, "203", 400, 100);
    ExpectLine(mar, "201", 100, 5);
    ExpectLine(mar, "303", 600, 150);
}

// A company on collections is told of the period's partner payments not closed against invoices:
// a payment partly closed counts with its open part, one closed in full and one of another
// period do not; the return is filled all the same. On invoice dates nothing is said.
TEST_F(VatReturnTest, UnclosedPaymentsAreWarnedOnCollections) {
    CompanyMark(QStringLiteral("R-2"));
    Invoice(1, QDate(2026, 2, 1));
    Line(1, 2026, 10, QStringLiteral("PDV"), 25, 2000);
    InputInvoice(1, 1, QDate(2026, 2, 1), QStringLiteral("R-1"), 400, 100, 100);
    const auto pay = [&](const char* table, const QDate& date, double amount) {
        return sqlvalue::ToInt(db->Scalar(
            QStringLiteral("INSERT INTO \"%1\" (\"Skladiste\", \"Godina\", \"Partner\", "
                           "\"Datum\", \"Tip\", \"Iznos\") VALUES (1, 2026, 2, ?, 'virman', ?) "
                           "RETURNING \"Sifra\"")
                .arg(QString::fromLatin1(table)),
            {date, amount}));
    };
    const auto close = [&](int payment, const QDate& date, double amount) {
        db->Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\", \"Sifra "
                                "uplate\") VALUES (1, 2, 2026, 1, 'virman', ?, ?, ?)"),
                 {date, amount, payment});
    };
    close(pay("UPLATE", QDate(2026, 2, 10), 2000), QDate(2026, 2, 10), 605);
    close(pay("UPLATE", QDate(2026, 2, 11), 300), QDate(2026, 2, 11), 300);
    pay("UPLATE", QDate(2026, 3, 2), 50);
    const int supplier = pay("UPLATE_URA", QDate(2026, 2, 12), 200);
    db->Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj knjige "
                            "UFA\", \"Tip\", \"Datum\", \"Iznos\", \"Sifra uplate URA\") VALUES "
                            "(1, 2026, 1, 'virman', '2026-02-12', 150, ?)"),
             {supplier});

    VatReturn feb = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    EXPECT_EQ(feb.warnings,
              QStringList({QStringLiteral("Za ovaj period postoji 1.395,00 EUR nezatvorenih "
                                          "uplata kupaca!"),
                           QStringLiteral("Za ovaj period postoji 50,00 EUR nezatvorenih uplata "
                                          "dobavljačima!")}));
    ExpectLine(feb, "203", 724, 181);  // 905 collected of 2500
    ExpectLine(feb, "303", 120, 30);   // 150 paid of 500

    db->Exec(QStringLiteral("UPDATE \"PLACANJA\" SET \"Iznos\" = 200"));
    EXPECT_EQ(Compute(QDate(2026, 2, 1), QDate(2026, 2, 28)).warnings.size(), 1);
    EXPECT_EQ(Compute(QDate(2026, 3, 1), QDate(2026, 3, 31)).warnings,
              QStringList{QStringLiteral("Za ovaj period postoji 50,00 EUR nezatvorenih uplata "
                                         "kupaca!")});
    CompanyMark(QStringLiteral("R-1"));
    EXPECT_TRUE(Compute(QDate(2026, 2, 1), QDate(2026, 2, 28)).warnings.isEmpty());
}

// The form follows the end of the period, for computing, storing and printing alike: a sale at
// 23 % in February 2012 is line II.2.a of the older form for February alone, and II.2 (22 and
// 23 %) of the 2012 form for February to March.
TEST_F(VatReturnTest, GenerationFollowsTheEndOfThePeriod) {
    Invoice(1, QDate(2012, 2, 15));
    Line(1, 2012, 10, QStringLiteral("PDV"), 23, 100);
    Invoice(2, QDate(2012, 3, 15));
    Line(2, 2012, 12, QStringLiteral("PDV"), 25, 200);
    Invoice(3, QDate(2012, 2, 16));
    Line(3, 2012, 15, QStringLiteral("PDV"), 0, 70);  // art. 11.b: exempt

    const VatReturn older = Compute(QDate(2012, 2, 1), QDate(2012, 2, 29));
    EXPECT_EQ(older.form.Generation(), VatFormGeneration::Before2012);
    ExpectLine(older, "II.2a", 100, 23);
    EXPECT_EQ(older.form.Base(QStringLiteral("II.2")), 0);
    ExpectLine(older, "I.2", 70, 0);
    ExpectLine(older, "I+II", 170, 0);

    const VatReturn newer = Compute(QDate(2012, 2, 1), QDate(2012, 3, 31));
    EXPECT_EQ(newer.form.Generation(), VatFormGeneration::From2012);
    ExpectLine(newer, "II.2", 100, 23);
    ExpectLine(newer, "II.3", 200, 50);
    ExpectLine(newer, "I.2.2", 70, 0);
    ExpectLine(newer, "I.2", 70, 0);
    ExpectLine(newer, "IV", 0, 73);

    const int olderNumber = StoreVatReturn(*db, older, QStringLiteral("admin"));
    const int newerNumber = StoreVatReturn(*db, newer, QStringLiteral("admin"));
    const VatReturn current = Compute(QDate(2026, 1, 1), QDate(2026, 1, 31));
    const int currentNumber = StoreVatReturn(*db, current, QStringLiteral("admin"));
    EXPECT_EQ(VatReturnReportRequest(*db, 2012, olderNumber).reportFile,
              QStringLiteral("pdv_prije_01_03_2012.rpt"));
    EXPECT_EQ(VatReturnReportRequest(*db, 2012, newerNumber).reportFile, QStringLiteral("pdv.rpt"));
    EXPECT_EQ(VatReturnReportRequest(*db, 2026, currentNumber).reportFile,
              QStringLiteral("pdv_2013.rpt"));
    EXPECT_EQ(VatReturnReportRequest(*db, 2012, newerNumber).title,
              QStringLiteral("Ispis PDV obrasca br. 2"));
    const std::optional<VatReturn> loaded = LoadVatReturn(*db, 2012, olderNumber);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->form.Generation(), VatFormGeneration::Before2012);
    ExpectLine(*loaded, "II.2a", 100, 23);
}

// A base corrected by hand is taxed at its own line's rate; typed lines and III's corrections
// feed the totals; a total cannot be typed over.
TEST_F(VatReturnTest, HandCorrectionsUseEachLinesOwnRate) {
    VatForm form(VatFormGeneration::From2012);
    form.CorrectBase(QStringLiteral("II.1"), 100);
    form.CorrectBase(QStringLiteral("II.3"), 100);
    form.CorrectBase(QStringLiteral("III.1"), 200);
    form.CorrectTax(QStringLiteral("III.8"), 5);
    form.CorrectTax(QStringLiteral("V"), 3);
    form.CorrectBase(QStringLiteral("II"), 999);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("II.1")), 10);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("II.3")), 25);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("III.1")), 20);
    EXPECT_DOUBLE_EQ(form.Base(QStringLiteral("II")), 200);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("III")), 25);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("IV")), 10);
    EXPECT_DOUBLE_EQ(form.Tax(QStringLiteral("VI")), 13);

    VatReturn current = Compute(QDate(2026, 1, 1), QDate(2026, 1, 31));
    current.form.CorrectBase(QStringLiteral("201"), 100);
    current.form.CorrectBase(QStringLiteral("202"), 100);
    current.form.CorrectBase(QStringLiteral("303"), 100);
    current.form.CorrectBase(QStringLiteral("214"), 100);  // typed: no rate of its own
    EXPECT_DOUBLE_EQ(current.form.Tax(QStringLiteral("201")), 5);
    EXPECT_DOUBLE_EQ(current.form.Tax(QStringLiteral("202")), 13);
    EXPECT_DOUBLE_EQ(current.form.Tax(QStringLiteral("303")), 25);
    EXPECT_DOUBLE_EQ(current.form.Tax(QStringLiteral("214")), 0);
    EXPECT_DOUBLE_EQ(current.form.Base(QStringLiteral("200")), 300);
    EXPECT_DOUBLE_EQ(current.form.Tax(QStringLiteral("400")), 18 - 25);
}

// Stored returns are numbered per year, come back as stored, are deleted only when the user
// says yes, and a number that is not there is named in the refusal. Amounts that are not
// numbers are refused before anything is written.
TEST_F(VatReturnTest, StoredReturnsAreNumberedListedAndDeleted) {
    Invoice(1, QDate(2026, 2, 3));
    Line(1, 2026, 10, QStringLiteral("PDV"), 25, 100.005);
    VatReturn feb = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    feb.form.CorrectTax(QStringLiteral("315"), 1.5);
    EXPECT_EQ(StoreVatReturn(*db, feb, QStringLiteral("admin")), 1);
    EXPECT_EQ(StoreVatReturn(*db, Compute(QDate(2026, 3, 1), QDate(2026, 3, 31)),
                             QStringLiteral("admin")),
              2);
    EXPECT_EQ(StoreVatReturn(*db, Compute(QDate(2025, 3, 1), QDate(2025, 3, 31)),
                             QStringLiteral("admin")),
              1);

    const std::vector<VatReturnListRow> list = ListVatReturns(*db, 2026);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].from, QDate(2026, 2, 1));
    EXPECT_EQ(list[1].to, QDate(2026, 3, 31));
    // Amounts are numbers in the file, unrounded (on the server the column type decides).
    if (!zodra::test::OnServer()) {
        EXPECT_EQ(
            db->Scalar(QStringLiteral("SELECT typeof(\"OSNOVICA\") FROM \"PDV_OBRASCI_STAVKE\" "
                                      "WHERE \"Godina\" = 2026 AND \"Rbr\" = 1 AND \"OZNAKA\" = "
                                      "'203'"))
                .toString(),
            QStringLiteral("real"));
    }
    const std::optional<VatReturn> loaded = LoadVatReturn(*db, 2026, 1);
    ASSERT_TRUE(loaded);
    ExpectLine(*loaded, "203", 100.005, 25.00125);
    ExpectLine(*loaded, "300", 0, 1.5);
    EXPECT_FALSE(LoadVatReturn(*db, 2026, 3));

    prompter.AnswerNo();
    EXPECT_FALSE(DeleteVatReturnAsked(*db, 2026, 1, prompter));
    EXPECT_EQ(ListVatReturns(*db, 2026).size(), 2u);
    prompter.AnswerYes();
    EXPECT_TRUE(DeleteVatReturnAsked(*db, 2026, 1, prompter));
    EXPECT_TRUE(
        prompter.Shown().back().contains(QStringLiteral("Želite li izbrisati PDV obrazac?")));
    EXPECT_EQ(ListVatReturns(*db, 2026).size(), 1u);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PDV_OBRASCI_STAVKE\" WHERE "
                                        "\"Godina\" = 2026 AND \"Rbr\" = 1"))
                  .toInt(),
              0);
    EXPECT_REFUSED(DeleteVatReturn(*db, 2026, 7),
                   QStringLiteral("Ne postoji proknjiženi PDV obrazac broj 7"));
    EXPECT_REFUSED(VatReturnReportRequest(*db, 2026, 1),
                   QStringLiteral("Ne postoji proknjiženi PDV obrazac broj 1"));

    for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e14}) {
        VatReturn broken = feb;
        broken.form.CorrectBase(QStringLiteral("201"), bad);
        EXPECT_REFUSED(StoreVatReturn(*db, broken, QStringLiteral("admin")),
                       QStringLiteral("Iznos u retku 201 PDV obrasca nije ispravan broj."));
    }
    EXPECT_EQ(ListVatReturns(*db, 2026).size(), 1u);
    EXPECT_REFUSED(Compute(QDate(2026, 3, 1), QDate(2026, 2, 1)),
                   QStringLiteral("Ograničenja nisu ispravno upisana."));
}

// The text of every element of an XML file by its path below the root ("Tijelo/Podatak203/Porez").
std::map<QString, QString> XmlTexts(const QString& path) {
    std::map<QString, QString> texts;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList stack;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            stack << xml.name().toString();
        } else if (xml.isEndElement()) {
            stack.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace() && stack.size() > 1) {
            texts[stack.mid(1).join(QLatin1Char('/'))] = xml.text().toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

// The filing validates against the tax administration's schema and carries the form's figures
// line by line; a company without its OIB or tax office gets the message and no file.
TEST_F(VatReturnTest, XmlFilingIsValidAndEqualToTheForm) {
    Invoice(1, QDate(2026, 2, 3));
    Line(1, 2026, 10, QStringLiteral("PDV"), 25, 100.005);
    Line(1, 2026, 10, QStringLiteral("PDV 13%"), 13, 33.333);
    Line(1, 2026, 8, QStringLiteral("PDV"), 0, 10);
    InputInvoice(1, 1, QDate(2026, 2, 5), QStringLiteral("R-1"), 400, 100, 100);
    VatReturn feb = Compute(QDate(2026, 2, 1), QDate(2026, 2, 28));
    feb.form.CorrectTax(QStringLiteral("315"), -2.5);
    const QString path = Folder() + QStringLiteral("/pdv.xml");

    FilingData(QStringLiteral(""));
    EXPECT_REFUSED(WriteVatReturnXml(*db, feb, path),
                   QStringLiteral("OIB poduzeća nije upisan ili nije ispravan (11 znamenki). "
                                  "Upišite ga u podatke o poduzeću prije izrade XML datoteke."));
    EXPECT_FALSE(QFile::exists(path));
    db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = '12345678903'"));
    db->Exec(QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = '' WHERE "
                            "\"Naziv\" = ?"),
             {QString::fromUtf8(kVatTaxOfficeSetting)});
    EXPECT_REFUSED(WriteVatReturnXml(*db, feb, path),
                   QStringLiteral("Nije upisana šifra porezne ispostave (četiri znamenke, "
                                  "postavka \"PDV porezna ispostava\")."));
    FilingData(QStringLiteral("12345678903"));

    WriteVatReturnXml(*db, feb, path);
    const QString schema = QStringLiteral(ZODRA_SOURCE_DIR) +
                           QStringLiteral("/tests/books/schemas/PDV-v10/ObrazacPDV-v10-0.xsd");
    EXPECT_EQ(test::XmlSchemaErrors(path, schema), QString());

    std::map<QString, QString> xml = XmlTexts(path);
    EXPECT_EQ(xml[QStringLiteral("Zaglavlje/Obveznik/Adresa/Ulica")],
              QStringLiteral("Radnička cesta"));
    EXPECT_EQ(xml[QStringLiteral("Zaglavlje/Obveznik/Adresa/Mjesto")], QStringLiteral("Zagreb"));
    EXPECT_EQ(xml[QStringLiteral("Zaglavlje/Razdoblje/DatumDo")], QStringLiteral("2026-02-28"));
    auto Child = [&xml](const QString& name, const QString& sub = QString()) {
        return xml[QStringLiteral("Tijelo/") + name +
                   (sub.isEmpty() ? QString() : QLatin1Char('/') + sub)];
    };
    int checked = 0;
    for (const VatLine& line : feb.form.Lines()) {
        const QString name = QStringLiteral("Podatak") + line.def.code;
        if (IsCurrentPairLine(line.def.code)) {
            EXPECT_EQ(Child(name, QStringLiteral("Vrijednost")),
                      QString::number(RoundMoney(line.base), 'f', 2))
                << name.toStdString();
            EXPECT_EQ(Child(name, QStringLiteral("Porez")),
                      QString::number(RoundMoney(line.tax), 'f', 2))
                << name.toStdString();
        } else {
            EXPECT_EQ(Child(name),
                      QString::number(RoundMoney(line.def.hasBase ? line.base : line.tax), 'f', 2))
                << name.toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 50);
    EXPECT_EQ(Child(QStringLiteral("Podatak203"), QStringLiteral("Vrijednost")),
              QStringLiteral("100.01"));
    EXPECT_EQ(Child(QStringLiteral("Podatak300"), QStringLiteral("Porez")),
              QStringLiteral("97.50"));
    // 25.00 + 4.33 − 97.50: the total of the lines as they print.
    EXPECT_EQ(Child(QStringLiteral("Podatak400")), QStringLiteral("-68.17"));

    const VatReturn older = Compute(QDate(2012, 2, 1), QDate(2012, 2, 29));
    EXPECT_REFUSED(VatReturnXml(*db, older), QStringLiteral("XML datoteka (Obrazac PDV) izrađuje "
                                                            "se samo za razdoblja od 2013. "
                                                            "godine."));
}

}  // namespace
}  // namespace zodra::books
