#include "retail/RetailTest.h"
#include "retail/ScaleBarcode.h"
#include "sales/SalePrice.h"

namespace zodra::test {
namespace {

class TillSaleTest : public RetailTest {};

TEST_F(TillSaleTest, SalePriceFromTheLotWithTheRetailMarginOrFromThePriceList) {
    sales::SalePriceQuery q{bread, std::nullopt, 1, firstLot, Year(), 1, QDate(2026, 3, 10)};
    EXPECT_DOUBLE_EQ(sales::SalePrice(db(), q), 125.0);
    q.salesTerms = 2;
    EXPECT_DOUBLE_EQ(sales::SalePrice(db(), q), 100.0);
    q.lot = std::nullopt;
    ExpectRefused([&] { sales::SalePrice(db(), q); },
                  QStringLiteral("Nije pronađena cijena u tabeli NABAVE."));
    q.lot = 999;
    ExpectRefused([&] { sales::SalePrice(db(), q); },
                  QStringLiteral("Nije pronađena cijena u tabeli NABAVE."));

    // A customer's list in euros of another currency: price × the rate of the date.
    db().Exec(QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (7, 'USD')"));
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI\" (\"SIFRA\", \"NAZIV\") VALUES (3, 'A')"));
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" (\"SIFRA_CJENIKA\", "
                             "\"SIFRA_ARTIKLA\", \"CIJENA\", \"VALUTA\") VALUES (3, ?, 10, 7)"),
              {bread});
    db().Exec(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Kupac\", \"CJENIK\") VALUES "
                       "('Listom', TRUE, 3)"));
    q.customer = db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\"")).toInt();
    q.salesTerms = 1;
    ExpectRefused([&] { sales::SalePrice(db(), q); },
                  QStringLiteral("Nije upisan tečaj 'USD' za 10.3.2026."));
    db().Exec(
        QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                       "VALUES (7, '2026-03-10', 0.9)"));
    EXPECT_DOUBLE_EQ(sales::SalePrice(db(), q), 9.0);  // no margin on a list price
}

TEST_F(TillSaleTest, ScanningTwiceGivesOneLineOfTwoWithTheDisplayTexts) {
    retail::TillSale sale = Open(*session);
    const auto first = retail::ScanBarcode(*session, sale, QStringLiteral("3850001000012"));
    const auto second = retail::ScanBarcode(*session, sale, QStringLiteral("3850001000012"));
    EXPECT_EQ(first.lineNumber, 1);
    EXPECT_EQ(second.lineNumber, 1);
    const auto lines = sales::WorkingLinesOf(db(), sale.draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].quantity, 2);
    EXPECT_DOUBLE_EQ(lines[0].price, 125.0);
    EXPECT_DOUBLE_EQ(lines[0].value, 250.0);
    EXPECT_DOUBLE_EQ(lines[0].total, 312.5);  // 156.25 a piece with 25 % tax
    EXPECT_DOUBLE_EQ(lines[0].costValue, 160.0);
    EXPECT_EQ(second.displayName, QStringLiteral("Kruh"));
    EXPECT_EQ(second.displayAmounts, QStringLiteral("2.00*156.25=312.50"));
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 8);

    ExpectRefused([&] { retail::ScanBarcode(*session, sale, QStringLiteral("123")); },
                  QStringLiteral("Artikal sa ovim barkodom nije upisan."));
    ExpectRefused([&] { Add(sale, 9999, 1); },
                  QStringLiteral("Artikal sa ovom šifrom nije upisan."));
    EXPECT_EQ(sales::WorkingLinesOf(db(), sale.draft.sessionCode).size(), 1u);
}

TEST_F(TillSaleTest, QuantityAboveTheFreeStockIsCutAndNothingFreeIsRefused) {
    retail::TillSale sale = Open(*session);
    const auto cut = Add(sale, bread, 12);
    EXPECT_DOUBLE_EQ(cut.quantity, 10);
    ASSERT_EQ(cut.messages.size(), 1u);
    EXPECT_EQ(cut.messages[0],
              QStringLiteral("Nedovoljna zaliha artikla. Količina će biti postavljena na najveću "
                             "dopuštenu vrijednost."));
    ExpectRefused([&] { Add(sale, bread, 1); }, QStringLiteral("Nedovoljna količina artikla."));
    // Exactly what is free is not cut.
    retail::DeleteRegisterLine(*session, sale, 1);
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 10);
    EXPECT_TRUE(Add(sale, bread, 10).messages.empty());
}

TEST_F(TillSaleTest, DeferredStockSellsFromTheNewestLotWhenAllAreEmpty) {
    const int secondLot = docs->Receipt({{bread, 2, 82, 100, 25.0}}, QDate(2026, 3, 5));
    docs->Post(StockDocuments::Issue::IssueNote, {{bread, 10, firstLot}, {bread, 2, secondLot}});
    session->company.deferredRegisterStock = true;
    retail::TillSale sale = Open(*session);
    const auto line = Add(sale, bread, 3);
    EXPECT_TRUE(line.messages.empty());
    const auto lines = sales::WorkingLinesOf(db(), sale.draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].lot, secondLot);
    EXPECT_DOUBLE_EQ(lines[0].quantity, 3);
    // Without deferred stock the same sale is refused.
    session->company.deferredRegisterStock = false;
    ExpectRefused([&] { Add(sale, bread, 1); }, QStringLiteral("Nedovoljna količina artikla."));
}

TEST_F(TillSaleTest, LotChoiceAndTheOldestLotWithStockOfTheRegistersWarehouseOnly) {
    const int secondLot = docs->Receipt({{bread, 5, 90, 120, 10.0}}, QDate(2026, 3, 5));
    const int other = AddWarehouse(db(), QStringLiteral("Drugo"));
    docs->Receipt({{bread, 5, 1, 1, 0.0}}, QDate(2026, 3, 1), other);
    retail::TillSale sale = Open(*session);
    EXPECT_EQ(retail::RegisterLot(*session, sale, bread, secondLot), firstLot);  // choice off
    session->company.lotChoiceInRegister = true;
    EXPECT_EQ(retail::RegisterLot(*session, sale, bread, secondLot), secondLot);
    const auto line = retail::AddRegisterLine(*session, sale, {bread, 1, 0, secondLot});
    EXPECT_DOUBLE_EQ(sales::WorkingLinesOf(db(), sale.draft.sessionCode)[0].price, 132.0);
    EXPECT_EQ(line.displayAmounts, QStringLiteral("1.00*165.00=165.00"));
}

TEST_F(TillSaleTest, DeletingALineGivesItsReservationBackAndRenumbersPackagingFollows) {
    session->company.packaging = true;
    db().Exec(
        QStringLiteral("INSERT INTO \"AMBALAZA\" (\"SIFRA\", \"NAZIV\", \"CIJENA\") VALUES "
                       "(4, 'Boca', 0.5)"));
    const int water = docs->AddArticle(QStringLiteral("Voda"));
    const int waterLot = docs->Receipt({{water, 20, 1, 2, 0.0}}, QDate(2026, 3, 3));
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI_AMBALAZA\" (\"Artikal\", \"AMBALAZA\", "
                             "\"KOLICINA\") VALUES (?, 4, 1)"),
              {water});
    retail::TillSale sale = Open(*session);
    Add(sale, water, 2);  // line 1, AMB line 2
    Add(sale, bread, 1);  // line 3
    Add(sale, water, 4);  // into line 1
    auto lines = sales::WorkingLinesOf(db(), sale.draft.sessionCode);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].kind, QStringLiteral("AMB"));
    EXPECT_DOUBLE_EQ(lines[1].quantity, 6);
    EXPECT_DOUBLE_EQ(lines[1].total, 3.0);
    EXPECT_DOUBLE_EQ(FreeOf(waterLot, water), 14);

    retail::DeleteRegisterLine(*session, sale, 1);  // the water goes, and its bottles
    lines = sales::WorkingLinesOf(db(), sale.draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, bread);
    EXPECT_EQ(lines[0].lineNumber, 1);
    EXPECT_DOUBLE_EQ(FreeOf(waterLot, water), 20);
    ExpectRefused([&] { retail::DeleteRegisterLine(*session, sale, 5); },
                  QStringLiteral("Nije pronađena stavka računa."));
}

TEST_F(TillSaleTest, ScaleLabelsByWeightAndByPriceAndABadCheckDigit) {
    db().Exec(
        QStringLiteral("INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") VALUES "
                       "('Vagni barkod 21', 'TEZINA 3-7 8-12'), ('Vagni barkod 22', "
                       "'CIJENA 3-7 8-12')"));
    auto label = [&](int prefix, int code, int value) {
        const QString first12 = QStringLiteral("%1%2%3")
                                    .arg(prefix)
                                    .arg(code, 5, 10, QLatin1Char('0'))
                                    .arg(value, 5, 10, QLatin1Char('0'));
        return first12 + QString::number(retail::Ean13CheckDigit(first12));
    };
    EXPECT_EQ(retail::Ean13CheckDigit(QStringLiteral("400638133393")), 1);  // 4006381333931
    retail::TillSale sale = Open(*session);
    const auto weighed = retail::ScanBarcode(*session, sale, label(21, bread, 1500));
    EXPECT_DOUBLE_EQ(weighed.quantity, 1.5);
    // 312.50 with tax at 156.25 a piece: 2 pieces, merged into the line.
    const auto priced = retail::ScanBarcode(*session, sale, label(22, bread, 31250));
    EXPECT_DOUBLE_EQ(priced.quantity, 2);
    const auto lines = sales::WorkingLinesOf(db(), sale.draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].quantity, 3.5);

    QString bad = label(21, bread, 1000);
    bad[12] = QChar(u'0' + (bad[12].digitValue() + 1) % 10);
    ExpectRefused([&] { retail::ScanBarcode(*session, sale, bad); },
                  QStringLiteral("Neispravan kontrolni broj barkoda vage."));
    // A prefix without a setting is an ordinary barcode.
    ExpectRefused([&] { retail::ScanBarcode(*session, sale, label(23, bread, 1000)); },
                  QStringLiteral("Artikal sa ovim barkodom nije upisan."));
    EXPECT_DOUBLE_EQ(sales::WorkingLinesOf(db(), sale.draft.sessionCode)[0].quantity, 3.5);
}

}  // namespace
}  // namespace zodra::test
