// Counting by scanner and from files into an open stock count.
#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/StockCountEntry.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class StockCountEntryTest : public PriceChangeTest {
protected:
    void SetUp() override {
        PriceChangeTest::SetUp();
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '3850001', \"OPIS\" = "
                                 "'VM8' WHERE \"SIFRA\" = ?"),
                  {screw});
        older = docs->Receipt({{screw, 10, 3.00, 5.00}});
        newer = docs->Receipt({{screw, 4, 3.50, 6.00}});
        // Counted from zero, as a count by scanner begins.
        sd::PrepareStockCount(*session, 1, 0.0);
    }
    double Counted(int lot) {
        return sqlvalue::ToDouble(db().Scalar(
            QStringLiteral("SELECT \"STVARNO_KOLICINA\" FROM \"STAVKE_INVENTURA_PRIVREMENO\" "
                           "WHERE \"Multiuser_sifra\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                           "\"SIFRA_ARTIKLA\" = ?"),
            {session->sessionCode, lot, screw}));
    }
    QByteArray Csv(const char* text) { return QByteArray(text); }

    int older = 0;
    int newer = 0;
};

TEST_F(StockCountEntryTest, ScansFillTheOldestLotFirstAndTheSurplusGoesToTheNewest) {
    EXPECT_EQ(sd::AddScannedEntry(*session, QStringLiteral("3850001")).quantity, 1);
    EXPECT_DOUBLE_EQ(Counted(older), 1);
    // By code, a quantity first: 9 fill the older lot, 2 go on to the newer one.
    const sd::CountedAddition done = sd::AddScannedEntry(*session, QStringLiteral("11*vm8"));
    EXPECT_EQ(done.article, screw);
    EXPECT_DOUBLE_EQ(Counted(older), 10);
    EXPECT_DOUBLE_EQ(Counted(newer), 2);
    // Beyond every book quantity: the newest lot takes it; a decimal comma is a quantity.
    sd::AddScannedEntry(*session, QStringLiteral("4,5*3850001"));
    EXPECT_DOUBLE_EQ(Counted(older), 10);
    EXPECT_DOUBLE_EQ(Counted(newer), 6.5);
    // The values follow at the lot's selling price, and posting books them.
    EXPECT_EQ(sd::WorkingStockCountTotals(*session),
              QStringLiteral("Nabavna vr.: 52,75 EUR        Prodajna vr.: 89,00 EUR"));
    sd::PostStockCount(*session, {0, QDate(2026, 3, 10)});
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), newer, screw).quantity, 6.5);
}

TEST_F(StockCountEntryTest, BadScansAreRefusedWithTheirMessageAndWriteNothing) {
    for (const auto& [scan, message] :
         {std::pair{"999", "Artikal sa barkodom ili šifrom 999 nije pronađen."},
          std::pair{"x*3850001", "Nije ispravno upisan broj !"},
          std::pair{"*3850001", "Nije ispravno upisan broj !"},
          std::pair{"-2*3850001", "Količina nesmije biti negativna !"},
          std::pair{"5* ", "Upišite barkod ili šifru artikla."}}) {
        EXPECT_REFUSED(sd::AddScannedEntry(*session, QString::fromLatin1(scan)),
                       QString::fromUtf8(message));
    }
    // An article with no lot in the warehouse is not on the count.
    db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '777' WHERE \"SIFRA\" = ?"),
              {nut});
    EXPECT_REFUSED(sd::AddScannedEntry(*session, QStringLiteral("777")),
                   "Artikal Matica M8 nije na inventuri.");
    EXPECT_DOUBLE_EQ(Counted(older) + Counted(newer), 0);
}

TEST_F(StockCountEntryTest, AFileIsCheckedWholeAndAddedInOneTransaction) {
    // Every bad line is named; nothing is added, not even the good first line.
    const QByteArray bad =
        Csv("3850001;2\n"
            "NEMA;1\n"
            "VM8;dva\n"
            "VM8;nan\n"
            "VM8;inf\n"
            "VM8;-3\n"
            "VM8;1;2\n"
            "\"Matica M8\";1\n");
    EXPECT_REFUSED(sd::ImportCountedQuantities(db(), session->sessionCode, bad),
                   "Količine nisu uvezene, ništa nije upisano.\n"
                   "Redak 2: artikal \"NEMA\" nije pronađen.\n"
                   "Redak 3: količina \"dva\" nije ispravan broj.\n"
                   "Redak 4: količina \"nan\" nije ispravan broj.\n"
                   "Redak 5: količina \"inf\" nije ispravan broj.\n"
                   "Redak 6: količina nesmije biti negativna.\n"
                   "Redak 7: očekuju se dva polja, šifra ili barkod i količina.\n"
                   "Redak 8: artikal \"Matica M8\" nije pronađen.");
    EXPECT_DOUBLE_EQ(Counted(older) + Counted(newer), 0);

    // A header line, a decimal comma, a blank line and a barcode twice: the quantities add up.
    EXPECT_EQ(sd::ImportCountedQuantities(db(), session->sessionCode,
                                          Csv("\xEF\xBB\xBFsifra;kolicina\r\n3850001;8\r\n\r\n"
                                              "vm8;3,5\r\n3850001;1\r\n")),
              3);
    EXPECT_DOUBLE_EQ(Counted(older), 10);
    EXPECT_DOUBLE_EQ(Counted(newer), 2.5);
    // Comma-separated with a decimal point; a file that is not UTF-8 is refused.
    EXPECT_EQ(sd::ImportCountedQuantities(db(), session->sessionCode, Csv("VM8,0.5\n")), 1);
    EXPECT_DOUBLE_EQ(Counted(newer), 3);
    EXPECT_REFUSED(sd::ImportCountedQuantities(db(), session->sessionCode, Csv("VM8;\xE8\xFF;1\n")),
                   "Datoteka nije zapisana u UTF-8 kodu.");
    EXPECT_DOUBLE_EQ(Counted(newer), 3);
}

}  // namespace
