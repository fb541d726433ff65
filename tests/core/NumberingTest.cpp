#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::numbering;
using zodra::test::CompanyTest;

class NumberingTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
    }
    void Receipt(int warehouse, int year, int number, int type = 1) {
        db->Exec(
            u"INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
            "\"TIP_PRIMKE\") VALUES (?, ?, ?, ?)"_s,
            {warehouse, year, number, type});
    }
    void Invoice(int number, int terms, int book = 1, int warehouse = 1, int year = 2026) {
        db->Exec(
            u"INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
            "\"BROJ RACUNA\", \"UVJET PRODAJE\") VALUES (?, ?, ?, ?, ?)"_s,
            {warehouse, book, year, number, terms});
    }
    std::unique_ptr<Database> db;
};

TEST_F(NumberingTest, TheFirstDocumentOfAWarehouseAndYearGetsOne) {
    for (DocumentKind kind :
         {DocumentKind::PriceChange, DocumentKind::Transfer, DocumentKind::StockCount,
          DocumentKind::WriteOff, DocumentKind::IssueNote, DocumentKind::ReturnNote,
          DocumentKind::SupplierReturn, DocumentKind::ServiceConsumption,
          DocumentKind::DeliveryNote, DocumentKind::Reservation, DocumentKind::PurchaseOrder,
          DocumentKind::WorkOrder, DocumentKind::FinishingWorkOrder, DocumentKind::Letter,
          DocumentKind::Situation, DocumentKind::CashReceipt, DocumentKind::CashPayment,
          DocumentKind::CommissionReturn, DocumentKind::RetailTransfer}) {
        EXPECT_EQ(NextDocumentNumber(*db, kind, 1, 2026), 1) << Info(kind).name.toStdString();
    }
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptEntered), 1);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::Offer, 1, 2026, 1), 1);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::WordDocument, 1, 2026, 3), 1);
}

TEST_F(NumberingTest, ReceiptTypesNumberInTheirOwnRanges) {
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptGenerated),
              100001);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptProduction),
              200001);
    Receipt(1, 2026, 1);
    Receipt(1, 2026, 100001, 2);
    Receipt(1, 2026, 100002, 2);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptEntered), 2);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptGenerated),
              100003);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptProduction),
              200001);
    EXPECT_REFUSED(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, 4),
                   "Tip primke 4 nije očekivan. Greška kod dodjele novog broja primke.");
}

TEST_F(NumberingTest, TheNextNumberFollowsTheHighestStoredNotTheLastWritten) {
    Receipt(1, 2026, 5);
    Receipt(1, 2026, 1);
    Receipt(1, 2026, 2);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026), 6);
    // Other warehouses and years do not count.
    Receipt(2, 2026, 40);
    Receipt(1, 2025, 90);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026), 6);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 2, 2026), 41);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 3, 2026), 1);
    // A deleted last document gives its number again; gaps are not reused.
    db->ExecRaw(u"DELETE FROM \"PRIMKE\" WHERE \"BROJ PRIMKE\" = 5"_s);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026), 3);
    EXPECT_TRUE(DocumentExists(*db, DocumentKind::GoodsReceipt, 1, 2026, 2));
    EXPECT_FALSE(DocumentExists(*db, DocumentKind::GoodsReceipt, 1, 2026, 5));
}

TEST_F(NumberingTest, OffersAndProFormasNumberPerInvoiceBook) {
    db->Exec(
        u"INSERT INTO \"PONUDE\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\") "
        "VALUES (1, 1, 2026, 4), (1, 2, 2026, 9)"_s);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::Offer, 1, 2026, 1), 5);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::Offer, 1, 2026, 2), 10);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::ProForma, 1, 2026, 1), 1);
    EXPECT_TRUE(DocumentExists(*db, DocumentKind::Offer, 1, 2026, 9, 2));
    EXPECT_FALSE(DocumentExists(*db, DocumentKind::Offer, 1, 2026, 9, 1));
}

TEST_F(NumberingTest, InvoicesShareOneSequenceUnlessTheirTermsNumberThemselves) {
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 2), 1);
    Invoice(1, 2);
    Invoice(2, 3);
    Invoice(7, 1);  // retail invoices are a sequence of their own
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 2), 3);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 3), 3);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 2, 2026, 2), 1);
    // Terms with a numbering of their own start at their first number itself.
    db->ExecRaw(
        u"UPDATE \"UVJETI_PRODAJE\" SET \"SAMOSTALNA_NUMERACIJA\" = 1, "
        "\"POCETNI_BR_RACUNA\" = 500 WHERE \"SIFRA\" = 4"_s);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 4), 500);
    Invoice(500, 4);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 4), 501);
}

TEST_F(NumberingTest, RetailInvoicesStartAtTheRetailTermsFirstNumber) {
    db->ExecRaw(u"UPDATE \"UVJETI_PRODAJE\" SET \"POCETNI_BR_RACUNA\" = 0 WHERE \"SIFRA\" = 1"_s);
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 1, 2026), 0);
    Invoice(0, 1);
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 1, 2026), 1);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 1), 1);
    Invoice(3, 2);
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 1, 2026), 1);
}

TEST_F(NumberingTest, RetailAndSharedSequencesOfABookStepOverEachOthersNumbers) {
    // Wholesale 1, 2 and 4 hold numbers the retail sequence would take next.
    Invoice(1, 2);
    Invoice(2, 3);
    Invoice(4, 2);
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 1, 2026), 3);
    Invoice(3, 1);
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 1, 2026), 5);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 1), 5);
    // And the other way: the shared sequence (after 4) steps over retail 5 and 6.
    Invoice(5, 1);
    Invoice(6, 1);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 2), 7);
    // Another book is another key space.
    EXPECT_EQ(NextRetailInvoiceNumber(*db, 1, 2, 2026), 1);
}

TEST_F(NumberingTest, CancellationNumbersContinueAcrossInvoicesServiceConsumptionsAndPriceChanges) {
    EXPECT_EQ(NextCancellationNumber(*db, 1, 2026), 1);
    db->ExecRaw(
        u"INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
        "\"RBR_STORNO_DOKUMENTA\") VALUES (1, 1, 2026, 1, 3)"_s);
    EXPECT_EQ(NextCancellationNumber(*db, 1, 2026), 4);
    db->ExecRaw(
        u"INSERT INTO \"SPECIFIKACIJE\" (\"SKLADISTE\", \"GODINA\", "
        "\"BROJ_SPECIFIKACIJE\", \"RBR_STORNO_DOKUMENTA\") VALUES (1, 2026, 1, 4)"_s);
    EXPECT_EQ(NextCancellationNumber(*db, 1, 2026), 5);
    db->ExecRaw(
        u"INSERT INTO \"IZMJENE_CIJENA\" (\"SKLADISTE\", \"GODINA\", "
        "\"BROJ_IZMJENE_CIJENA\", \"RBR_STORNO_DOKUMENTA\") VALUES (1, 2026, 1, 9)"_s);
    EXPECT_EQ(NextCancellationNumber(*db, 1, 2026), 10);
    EXPECT_EQ(NextCancellationNumber(*db, 2, 2026), 1);
}

TEST_F(NumberingTest, TradeBookAndInputInvoiceBookPositions) {
    EXPECT_EQ(NextTradeBookNumber(*db, 1, 2026, false), 1);
    db->ExecRaw(
        u"INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
        "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\") VALUES "
        "(1, 2026, 4, 'PRIMKA', 1), (1, 2026, 2, 'DIREKTAN UPIS', 7)"_s);
    EXPECT_EQ(NextTradeBookNumber(*db, 1, 2026, false), 5);
    EXPECT_EQ(NextTradeBookNumber(*db, 1, 2026, true), 1);
    EXPECT_EQ(NextDirectEntryNumber(*db, 1, 2026, false), 8);
    EXPECT_EQ(NextDirectEntryNumber(*db, 1, 2026, true), 1);
    EXPECT_EQ(NextInputInvoicePosition(*db, 1, 2026), 1);
    db->ExecRaw(
        u"INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
        "\"Redni broj\") VALUES (1, 2026, 12)"_s);
    EXPECT_EQ(NextInputInvoicePosition(*db, 1, 2026), 13);
    EXPECT_EQ(NextInputInvoicePosition(*db, 2, 2026), 1);
}

TEST_F(NumberingTest, ThePrimaryKeyIsTheLastGuardAgainstADuplicateNumber) {
    Receipt(1, 2026, 1);
    EXPECT_THROW(Receipt(1, 2026, 1), DbError);
}

namespace {

QString Message(const std::function<void()>& step) {
    try {
        step();
    } catch (const UserError& e) {
        return e.message();
    }
    return QString();
}

}  // namespace

TEST_F(NumberingTest, AReceiptNumberGivenByHandMustLieInItsTypesRange) {
    const struct {
        int type;
        qint64 first;
        qint64 last;
        const char16_t* message;
    } ranges[] = {
        {kReceiptEntered, 1, 100000, u"Broj primke mora biti između 1 i 100000 !"},
        {kReceiptGenerated, 100001, 200000, u"Broj primke mora biti između 100001 i 200000 !"},
        {kReceiptProduction, 200001, kLastNumber,
         u"Broj primke mora biti između 200001 i 999999999 !"},
    };
    for (const auto& r : ranges) {
        EXPECT_NO_THROW(RequireReceiptNumberInRange(r.first, r.type));
        EXPECT_NO_THROW(RequireReceiptNumberInRange(r.last, r.type));
        for (qint64 outside : {r.first - 1, r.last + 1, qint64{2147483647}, qint64{-5}}) {
            EXPECT_EQ(Message([&] { RequireReceiptNumberInRange(outside, r.type); }),
                      QString::fromUtf16(r.message))
                << outside;
        }
    }
    EXPECT_EQ(Message([] { ReceiptNumberRange(4); }),
              u"Tip primke 4 nije očekivan. Greška kod dodjele novog broja primke."_s);
}

TEST_F(NumberingTest, AUsedUpReceiptRangeIsRefusedAndNeverSpillsIntoTheNext) {
    Receipt(1, 2026, 100000);
    EXPECT_EQ(Message([&] {
                  NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptEntered);
              }),
              u"Nema slobodnog broja za dokument Primka: brojevi od 1 do 100000 su "
              "potrošeni."_s);
    // The generated range goes on as before, and so does another warehouse's entered range.
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptGenerated),
              100001);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 2, 2026, kReceiptEntered), 1);
    Receipt(1, 2026, 199999, kReceiptGenerated);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptGenerated),
              200000);
    Receipt(1, 2026, 200000, kReceiptGenerated);
    EXPECT_EQ(Message([&] {
                  NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026, kReceiptGenerated);
              }),
              u"Nema slobodnog broja za dokument Primka: brojevi od 100001 do 200000 "
              "su potrošeni."_s);
    // A number stored at the top of the integers (before the ranges were enforced) is used up
    // too, never the start of negative numbers.
    Receipt(1, 2026, 2147483647, kReceiptProduction);
    EXPECT_FALSE(Message([&] {
                     NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 1, 2026,
                                        kReceiptProduction);
                 }).isEmpty());
    // A type's number stored below its range does not lead it into the range below.
    Receipt(3, 2026, 5, kReceiptGenerated);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::GoodsReceipt, 3, 2026, kReceiptGenerated),
              100001);
}

TEST_F(NumberingTest, EverySequenceStopsAtTheCapInsteadOfWrapping) {
    const QString top = QString::number(kLastNumber);
    db->ExecRaw(
        u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\") "
        "VALUES (1, 2026, "_s +
        top + u")"_s);
    EXPECT_EQ(Message([&] { NextDocumentNumber(*db, DocumentKind::IssueNote, 1, 2026); }),
              u"Nema slobodnog broja za dokument Izdatnica: brojevi od 1 do "
              "999999999 su potrošeni."_s);
    EXPECT_EQ(NextDocumentNumber(*db, DocumentKind::IssueNote, 1, 2025), 1);

    Invoice(kLastNumber - 1, 2);
    EXPECT_EQ(NextInvoiceNumber(*db, 1, 1, 2026, 2), kLastNumber);
    Invoice(kLastNumber, 2);
    EXPECT_EQ(Message([&] { NextInvoiceNumber(*db, 1, 1, 2026, 2); }),
              u"Nema slobodnog broja za dokument Račun: brojevi od 1 do 999999999 "
              "su potrošeni."_s);
    Invoice(2147483647, 1);
    EXPECT_FALSE(Message([&] { NextRetailInvoiceNumber(*db, 1, 1, 2026); }).isEmpty());

    db->ExecRaw(
        u"INSERT INTO \"SPECIFIKACIJE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_SPECIFIKACIJE\", "
        "\"RBR_STORNO_DOKUMENTA\") VALUES (1, 2026, 1, 2147483647)"_s);
    EXPECT_EQ(Message([&] { NextCancellationNumber(*db, 1, 2026); }),
              u"Nema slobodnog broja za dokument Storno: brojevi od 1 do 999999999 "
              "su potrošeni."_s);

    db->ExecRaw(
        u"INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", \"RBR\", "
        "\"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\") VALUES (1, 2026, "_s +
        top + u", 'DIREKTAN UPIS', "_s + top + u")"_s);
    EXPECT_FALSE(Message([&] { NextTradeBookNumber(*db, 1, 2026, false); }).isEmpty());
    EXPECT_FALSE(Message([&] { NextDirectEntryNumber(*db, 1, 2026, false); }).isEmpty());
    EXPECT_EQ(NextTradeBookNumber(*db, 1, 2026, true), 1);
    db->ExecRaw(
        u"INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
        "\"Redni broj\") VALUES (1, 2026, "_s +
        top + u")"_s);
    EXPECT_EQ(Message([&] { NextInputInvoicePosition(*db, 1, 2026); }),
              u"Nema slobodnog broja za dokument Knjiga ulaznih računa: brojevi od "
              "1 do 999999999 su potrošeni."_s);
}
