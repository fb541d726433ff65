// The input invoice book: the entry's checks with their exact messages, amounts at each frame's
// own rate, a rewrite at another rate, the payment guard, deletion, a receipt's tax summary,
// and the paid shares read back through the payments view.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "books/UraBook.h"
#include "books/UraEntry.h"
#include "books/UraJson.h"
#include "data/SqlValue.h"
#include "stock/StockTest.h"
#include "support/Refused.h"
#include "support/ServerCompany.h"

namespace zodra::books {
namespace {

class UraBookTest : public test::StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        supplier = sqlvalue::ToInt(db().Scalar(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Dobavljac\", \"OIB\") VALUES "
                           "('Dobavljač d.o.o.', TRUE, '12345678903') RETURNING \"SIFRA\"")));
    }
    UraEntry Entry() { return UraEntry(*session, prompter, 1, QDate(2026, 3, 10)); }
    // An entry with the invoice number, type and supplier filled in.
    UraEntry Filled() {
        UraEntry e = Entry();
        e.invoiceNumber = QStringLiteral("77-1-1");
        e.supplier = supplier;
        return e;
    }
    double Column(const QString& column, int number = 1) {
        return sqlvalue::ToDouble(db().Scalar(
            QStringLiteral("SELECT \"") + column +
                QStringLiteral("\" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = 1 AND "
                               "\"GODINA\" = ? AND \"Redni broj\" = ?"),
            {Year(), number}));
    }
    int Rows() {
        return sqlvalue::ToInt(
            db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGE_ULAZNIH_RACUNA\"")));
    }
    int FrameAt(const UraEntry& e, int rate) {
        for (int i = 0; i < UraEntry::kFrames; ++i) {
            if (e.frames[static_cast<std::size_t>(i)].rate == rate) {
                return i;
            }
        }
        ADD_FAILURE() << "no frame at " << rate;
        return 0;
    }
    int supplier = 0;
};

// A new invoice takes its book's kind of purchase, in the window and from a file alike; a kind
// named in the file wins over the book's.
TEST_F(UraBookTest, TheKindOfPurchaseStartsFromTheBook) {
    db().Exec(
        QStringLiteral("INSERT INTO \"KNJIGE_URA\" (\"SIFRA\", \"NAZIV\") VALUES (4, 'Uvoz'), "
                       "(5, 'Inozemne usluge')"));
    for (const auto& [book, kind] :
         {std::pair{1, PurchaseKind::Domestic}, std::pair{4, PurchaseKind::Import},
          std::pair{5, PurchaseKind::EuServices}}) {
        EXPECT_EQ(UraEntry(*session, prompter, book).kind, kind) << book;
        const QByteArray json =
            QStringLiteral(R"({"knjiga": %1, "datum": "2026-03-02"})").arg(book).toUtf8();
        EXPECT_EQ(ReadUraJson(db(), json, Year()).invoice.kind, kind) << book;
    }
    EXPECT_EQ(
        ReadUraJson(db(), R"({"knjiga": 4, "datum": "2026-03-02", "vrsta_nabave": "tuzemni"})",
                    Year())
            .invoice.kind,
        PurchaseKind::Domestic);
}

// Each check of "Prihvati" refuses with its message and nothing written; the value just inside
// each guard is accepted.
TEST_F(UraBookTest, AcceptRefusesEachMissingFieldWithItsMessage) {
    UraEntry e = Filled();
    e.invoiceNumber = QString();
    EXPECT_FALSE(e.Accept());
    EXPECT_EQ(prompter.LastMessage(), UraInvoiceNumberMessage());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Broj računa nije upisan ili je duži od 20 znakova !"));
    e.invoiceNumber = QString(21, QLatin1Char('7'));
    EXPECT_FALSE(e.Accept());
    EXPECT_EQ(prompter.LastMessage(), UraInvoiceNumberMessage());
    e.type = QString();
    e.invoiceNumber = QString(20, QLatin1Char('7'));
    EXPECT_FALSE(e.Accept());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije izabran tip računa (R-1 ili R-2) !"));
    e.type = QStringLiteral("R-2");
    e.supplier = 0;
    EXPECT_FALSE(e.Accept());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije izabran dobavljač !"));
    EXPECT_EQ(Rows(), 0);
    e.supplier = supplier;
    EXPECT_TRUE(e.Accept());
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(sqlvalue::ToText(db().Scalar(
                  QStringLiteral("SELECT \"Tip računa\" FROM \"KNJIGE_ULAZNIH_RACUNA\""))),
              QStringLiteral("R-2"));
}

// The serial number: not a number and a taken number are refused with their messages and the
// next free number returns; a free number typed is kept; a bad date becomes today's.
TEST_F(UraBookTest, SerialNumberAndDateGuards) {
    UraEntry first = Filled();
    EXPECT_EQ(first.numberText, QStringLiteral("1"));
    ASSERT_TRUE(first.Accept());
    UraEntry e = Filled();
    EXPECT_EQ(e.numberText, QStringLiteral("2"));
    e.numberText = QStringLiteral("x1");
    EXPECT_FALSE(e.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(e.numberText, QStringLiteral("2"));
    e.numberText = QStringLiteral("1");
    EXPECT_FALSE(e.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Ulazni račun pod ovim rednim brojem je već upisan !"));
    EXPECT_EQ(e.numberText, QStringLiteral("2"));
    e.numberText = QStringLiteral("5");
    EXPECT_TRUE(e.NumberLeft());
    EXPECT_EQ(e.numberText, QStringLiteral("5"));
    e.dateText = QStringLiteral("31.02.2026");
    EXPECT_FALSE(e.DateLeft());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    EXPECT_EQ(e.dateText, QStringLiteral("10.03.2026"));
    ASSERT_TRUE(e.Accept());
    EXPECT_TRUE(UraExists(db(), 1, Year(), 5));
    // Another workstation takes the number between leaving the field and "Prihvati".
    UraEntry late = Filled();
    UraEntry early = Filled();
    ASSERT_EQ(late.numberText, early.numberText);
    ASSERT_TRUE(early.Accept());
    EXPECT_FALSE(late.Accept());
    EXPECT_EQ(prompter.LastMessage(), UraDuplicateMessage());
    EXPECT_EQ(late.numberText, QString::number(early.numberText.toInt() + 1));
}

// The tax of a frame follows its base at the frame's own rate; a typed tax that does not match
// names that rate and the computed one returns; deductible and non-deductible parts complete
// each other; a bad amount becomes 0.
TEST_F(UraBookTest, FramesComputeAtTheirOwnRates) {
    UraEntry e = Filled();
    const int at5 = FrameAt(e, 5);
    const int at13 = FrameAt(e, 13);
    const int at25 = FrameAt(e, 25);
    auto& f5 = e.frames[static_cast<std::size_t>(at5)];
    auto& f13 = e.frames[static_cast<std::size_t>(at13)];
    f5.base = QStringLiteral("100");
    EXPECT_TRUE(e.BaseLeft(at5));
    EXPECT_EQ(f5.tax, QStringLiteral("5.00"));
    f13.base = QStringLiteral("200,50");
    EXPECT_TRUE(e.BaseLeft(at13));
    EXPECT_EQ(f13.tax, QStringLiteral("26.07"));  // 26.065 away from zero
    e.base0 = QStringLiteral("10");
    EXPECT_TRUE(e.Base0Left());
    EXPECT_EQ(e.total, QStringLiteral("341.57"));
    f13.tax = QStringLiteral("26.07");
    EXPECT_TRUE(e.TaxLeft(at13));
    f13.tax = QStringLiteral("45.11");
    EXPECT_FALSE(e.TaxLeft(at13));
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Pretporez 13% se ne slaže sa osnovicom, bit će vraćen automatski "
                             "izračunani iznos."));
    EXPECT_EQ(f13.tax, QStringLiteral("26.07"));
    f5.tax = QStringLiteral("pet");
    EXPECT_FALSE(e.TaxLeft(at5));
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Nije ispravno upisan broj. Bit će vraćen automatski izračunani "
                             "iznos."));
    EXPECT_EQ(f5.tax, QStringLiteral("5.00"));
    f13.deductible = QStringLiteral("20");
    EXPECT_TRUE(e.DeductibleLeft(at13));
    EXPECT_EQ(f13.nonDeductible, QStringLiteral("6.07"));
    f13.nonDeductible = QStringLiteral("1.07");
    EXPECT_TRUE(e.NonDeductibleLeft(at13));
    EXPECT_EQ(f13.deductible, QStringLiteral("25.00"));
    auto& f25 = e.frames[static_cast<std::size_t>(at25)];
    f25.base = QStringLiteral("1O0");
    EXPECT_FALSE(e.BaseLeft(at25));
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na "
                             "nulu."));
    EXPECT_EQ(f25.base, QStringLiteral("0"));
    ASSERT_TRUE(e.Accept());
    // Stored as numbers, each in its rate's columns.
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Osnovica13")), 200.5);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezOdbiti13")), 25);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezNeOdbiti13")), 1.07);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezUkupno5")), 5);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Iznos računa sa porezom")), 341.57);
    if (!zodra::test::OnServer()) {  // the server's column type decides there
        EXPECT_EQ(sqlvalue::ToText(db().Scalar(QStringLiteral(
                      "SELECT typeof(\"Osnovica13\") FROM \"KNJIGE_ULAZNIH_RACUNA\""))),
                  QStringLiteral("real"));
    }
}

// A row opened again and accepted at another rate keeps nothing in the columns of the rate it
// left; a rewrite below what was paid is refused with the amounts, at or above it accepted.
TEST_F(UraBookTest, RewriteAtAnotherRateAndThePaymentGuard) {
    UraEntry e = Filled();
    const int at25 = FrameAt(e, 25);
    e.frames[static_cast<std::size_t>(at25)].base = QStringLiteral("1000");
    e.BaseLeft(at25);
    ASSERT_TRUE(e.Accept());
    db().Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj knjige "
                             "UFA\", \"Datum\", \"Iznos\") VALUES (1, ?, 1, '2026-03-20', 1130)"),
              {Year()});

    UraEntry again = Entry();
    ASSERT_TRUE(again.Open(1));
    EXPECT_TRUE(again.Editing());
    const int frame = FrameAt(again, 25);
    EXPECT_EQ(again.frames[static_cast<std::size_t>(frame)].base, QStringLiteral("1000.00"));
    again.frames[static_cast<std::size_t>(frame)].rate = 13;
    for (int i = 0; i < UraEntry::kFrames; ++i) {
        if (i != frame && again.frames[static_cast<std::size_t>(i)].rate == 13) {
            again.frames[static_cast<std::size_t>(i)].rate = 25;
        }
    }
    again.RateChanged(frame);
    EXPECT_EQ(again.total, QStringLiteral("1130.00"));
    ASSERT_TRUE(again.Accept()) << prompter.LastMessage().toStdString();
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Osnovica13")), 1000);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezOdbiti13")), 130);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Osnovica25")), 0);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezUkupno25")), 0);
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("PretporezOdbiti25")), 0);

    UraEntry lower = Entry();
    ASSERT_TRUE(lower.Open(1));
    const int f13 = FrameAt(lower, 13);
    lower.frames[static_cast<std::size_t>(f13)].base = QStringLiteral("999");
    lower.BaseLeft(f13);
    EXPECT_FALSE(lower.Accept());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Po ovom računu je evidentirano plaćanje od 1.130,00 EUR šta je veće "
                             "od iznosa računa od 1.128,87 EUR. Nije dozvoljena promjena."));
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Osnovica13")), 1000);
}

// Amounts that are not finite or beyond the amount range are refused by the posting itself,
// whatever calls it; the largest amount allowed is written.
TEST_F(UraBookTest, PostingRefusesNumbersThatCannotBeAmounts) {
    UraInvoice invoice;
    invoice.year = Year();
    invoice.invoiceNumber = QStringLiteral("A-1");
    invoice.date = QDate(2026, 3, 2);
    invoice.supplier = supplier;
    invoice.type = QStringLiteral("R-1");
    for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e12}) {
        invoice.AtRate(25).base = bad;
        EXPECT_THROW(InsertUraInvoice(db(), invoice), UserError);
    }
    EXPECT_EQ(Rows(), 0);
    invoice.AtRate(25).base = 999999999999.0;
    invoice.total = 999999999999.0;
    EXPECT_EQ(InsertUraInvoice(db(), invoice), 1);
    invoice.number = 1;
    EXPECT_REFUSED(InsertUraInvoice(db(), invoice), UraDuplicateMessage());
}

// Deleting asks first (No keeps the invoice); Yes removes it with its payments; a number that
// is not there is refused.
TEST_F(UraBookTest, DeleteAsksAndTakesThePayments) {
    UraEntry e = Filled();
    ASSERT_TRUE(e.Accept());
    db().Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj knjige "
                             "UFA\", \"Datum\", \"Iznos\") VALUES (1, ?, 1, '2026-03-20', 0)"),
              {Year()});
    prompter.AnswerNo();
    EXPECT_FALSE(DeleteUraInvoiceAsked(db(), 1, Year(), 1, prompter));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati ulazni račun?"));
    EXPECT_EQ(Rows(), 1);
    prompter.AnswerYes();
    EXPECT_TRUE(DeleteUraInvoiceAsked(db(), 1, Year(), 1, prompter));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(sqlvalue::ToInt(db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PLACANJA\""))), 0);
    EXPECT_REFUSED(DeleteUraInvoice(db(), 1, Year(), 1),
                   QStringLiteral("Ne postoji upisani ulazni račun broj 1"));
}

// A posted receipt with lines at 25 % and 13 % fills the frames of those rates, the supplier,
// the date and the due date; the tax is the summary's, all of it deductible.
TEST_F(UraBookTest, ReceiptTaxSummaryFillsTheInvoice) {
    const int a = docs->AddArticle(QStringLiteral("Vijak"));
    const int b = docs->AddArticle(QStringLiteral("Kruh"));
    const int receipt = docs->Receipt({{a, 10, 3.33, 5}, {b, 4, 2.50, 4}});
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"POREZ_%\" = 13 WHERE \"SIFRA\" = ?"),
              {b});
    db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"ODGODA\" = 15 WHERE \"SIFRA\" = 2"));
    UraEntry e = Filled();
    e.FillFromReceipt(1, receipt);
    EXPECT_EQ(e.supplier, 2);
    EXPECT_EQ(e.dateText, QStringLiteral("02.03.2026"));
    EXPECT_EQ(e.dueText, QStringLiteral("17.03.2026"));
    const auto& f25 = e.frames[static_cast<std::size_t>(FrameAt(e, 25))];
    const auto& f13 = e.frames[static_cast<std::size_t>(FrameAt(e, 13))];
    EXPECT_EQ(f25.base, QStringLiteral("33.30"));
    EXPECT_EQ(f25.tax, QStringLiteral("8.33"));
    EXPECT_EQ(f25.deductible, QStringLiteral("8.33"));
    EXPECT_EQ(f13.base, QStringLiteral("10.00"));
    EXPECT_EQ(f13.tax, QStringLiteral("1.30"));
    EXPECT_EQ(e.total, QStringLiteral("52.93"));
    ASSERT_TRUE(e.Accept());
    EXPECT_DOUBLE_EQ(Column(QStringLiteral("Iznos računa sa porezom")), 52.93);
    // A rate the book has no columns for is refused by name.
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"POREZ_%\" = 18 WHERE \"SIFRA\" = ?"),
              {b});
    EXPECT_REFUSED(Filled().FillFromReceipt(1, receipt),
                   QStringLiteral("Knjiga ulaznih računa nema stupac za stopu 18% !"));
}

// Payments read with the invoice's amounts scaled by the paid share; an invoice of total 0 has
// no share, and its payment is shown whole without tax.
TEST_F(UraBookTest, PaidSharesAndAZeroTotal) {
    UraInvoice invoice;
    invoice.year = Year();
    invoice.invoiceNumber = QStringLiteral("B-1");
    invoice.date = QDate(2026, 3, 2);
    invoice.supplier = supplier;
    invoice.type = QStringLiteral("R-2");
    invoice.AtRate(25) = {800, 200, 200, 0};
    invoice.total = 1000;
    InsertUraInvoice(db(), invoice);
    UraInvoice empty = invoice;
    empty.invoiceNumber = QStringLiteral("B-2");
    empty.AtRate(25) = {};
    empty.total = 0;
    InsertUraInvoice(db(), empty);
    db().Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj knjige "
                             "UFA\", \"Datum\", \"Iznos\") VALUES (1, ?, 1, '2026-03-20', 250), "
                             "(1, ?, 2, '2026-03-21', 40)"),
              {Year(), Year()});
    auto share = [&](const char* column, int number) {
        return sqlvalue::ToDouble(db().Scalar(
            QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                QStringLiteral("\" FROM \"Query ulazni računi plaćeno\" WHERE \"Redni broj\" = ?"),
            {number}));
    };
    EXPECT_DOUBLE_EQ(share("Osnovica25", 1), 200);
    EXPECT_DOUBLE_EQ(share("PretporezOdbiti25", 1), 50);
    EXPECT_DOUBLE_EQ(share("Osnovica0", 1), 0);
    EXPECT_DOUBLE_EQ(share("Osnovica0", 2), 40);
    EXPECT_DOUBLE_EQ(share("PretporezUkupno25", 2), 0);
    EXPECT_DOUBLE_EQ(share("Osnovica25", 2), 0);
}

}  // namespace
}  // namespace zodra::books
