#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "assets/FixedAssetEntry.h"
#include "assets/FixedAssetRegister.h"
#include "data/Database.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

namespace zodra::assets {
namespace {

class FixedAssets : public test::CompanyTest {};

FixedAsset Asset(int number, const QString& group, double purchase, double book, double rate,
                 int months = 12) {
    FixedAsset a;
    a.number = number;
    a.name = QStringLiteral("Stvar %1").arg(number);
    a.document = QStringLiteral("R-%1/2026").arg(number);
    a.group = group;
    a.purchaseValue = purchase;
    a.bookValue = book;
    a.rate = rate;
    const Depreciation d = ComputeDepreciation(purchase, book, rate, months);
    a.depreciation = d.amount;
    a.yearEndValue = d.yearEndValue;
    return a;
}

// A row of an older company file, written straight into the older table.
void AddEarlier(Database& db, int year, const FixedAsset& a) {
    db.Exec(QStringLiteral("INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE\" (\"Godina\", \"Redni broj\", "
                           "\"Naziv stvari\", \"Isprava broj/nadnevak\", \"Nabavna vrijednost\", "
                           "\"Knjigovodstvena vrijednost\", \"Skupina\", \"Stopa otpisa\", "
                           "\"Svota otpisa\", \"Knjigovodstvena vrijednost na kraju godine\") "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {year, a.number, a.name, a.document, a.purchaseValue, a.bookValue, a.group, a.rate,
             a.depreciation, a.yearEndValue});
}

TEST(Depreciation, EachGroupAsComputedByHand) {
    struct Case {
        const char* group;
        double purchase, book, rate;
        int months;
        double amount, yearEnd;
    };
    const Case cases[] = {
        // 12000 × 25 % × 6/12 = 1500; 9000 − 1500
        {"Nematerijalna imovina", 12000, 9000, 25, 6, 1500.00, 7500.00},
        // 250000 × 5 % for the whole year
        {"Građevinski objekti", 250000, 200000, 5, 12, 12500.00, 187500.00},
        // 30000 × 20 % × 7/12 = 3500
        {"Osobni automobili", 30000, 30000, 20, 7, 3500.00, 26500.00},
        // 1999.99 × 50 % × 3/12 = 249.99875, at the cent
        {"Računalna oprema", 1999.99, 1999.99, 50, 3, 250.00, 1749.99},
        // 642 × 5 % × 1/12 = 2.675, half away from zero
        {"Ostala oprema", 642, 600, 5, 1, 2.68, 597.32},
        // the base is the purchase value, but no more than the book value left is written off
        {"Računalna oprema", 4000, 500, 50, 12, 500.00, 0.00},
        // no months of use, nothing written off
        {"Osobni automobili", 30000, 24000, 20, 0, 0.00, 24000.00},
        // nothing left to write off
        {"Ostala oprema", 5000, 0, 25, 12, 0.00, 0.00},
    };
    for (const Case& c : cases) {
        const Depreciation d = ComputeDepreciation(c.purchase, c.book, c.rate, c.months);
        EXPECT_DOUBLE_EQ(d.amount, c.amount) << c.group;
        EXPECT_DOUBLE_EQ(d.yearEndValue, c.yearEnd) << c.group;
    }
}

TEST_F(FixedAssets, NumbersRunPerYearAcrossBothTables) {
    auto db = Open();
    EXPECT_EQ(NextAssetNumber(*db, 2026), 1);  // the first row of a year
    AddAsset(*db, 2026, Asset(1, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    AddEarlier(*db, 2026, Asset(7, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    AddAsset(*db, 2025, Asset(40, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    EXPECT_EQ(NextAssetNumber(*db, 2026), 8);
    EXPECT_EQ(NextAssetNumber(*db, 2025), 41);
    EXPECT_EQ(NextAssetNumber(*db, 2027), 1);
    // A number the year has in either table is refused; another year's is free.
    EXPECT_REFUSED(AddAsset(*db, 2026, Asset(1, QStringLiteral("X"), 1, 1, 1)),
                   "Dugotrajna imovina pod ovim rednim brojem je već upisana !");
    EXPECT_REFUSED(AddAsset(*db, 2026, Asset(7, QStringLiteral("X"), 1, 1, 1)),
                   "Dugotrajna imovina pod ovim rednim brojem je već upisana !");
    AddAsset(*db, 2027, Asset(7, QStringLiteral("X"), 1, 1, 1));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"POPIS_DUGOTRAJNE_IMOVINE_REV1\"")),
              3);
}

TEST_F(FixedAssets, BothTablesAreListedChangedAndDeletedInPlace) {
    auto db = Open();
    AddEarlier(*db, 2026, Asset(2, QStringLiteral("Građevinski objekti"), 100000, 90000, 5));
    AddAsset(*db, 2026, Asset(1, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    AddAsset(*db, 2026, Asset(3, QStringLiteral("Ostala oprema"), 2000, 2000, 10));
    AddEarlier(*db, 2025, Asset(9, QStringLiteral("Ostala oprema"), 10, 10, 10));
    EXPECT_FALSE(YearHasEarlierRows(*db, 2027));
    EXPECT_TRUE(YearHasEarlierRows(*db, 2026));

    auto rows = ListAssets(*db, 2026);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[0].table, AssetTable::Current);
    EXPECT_EQ(rows[1].number, 2);
    EXPECT_EQ(rows[1].table, AssetTable::Earlier);
    EXPECT_EQ(rows[1].group, QStringLiteral("Građevinski objekti"));
    EXPECT_DOUBLE_EQ(rows[1].depreciation, 5000);
    EXPECT_EQ(rows[2].number, 3);

    // An older row is changed where it lives, with the same checks.
    FixedAsset older = rows[1];
    older.name = QStringLiteral("Skladište \"Kod Ane's\"");
    older.number = 3;
    EXPECT_REFUSED(UpdateAsset(*db, 2026, 2, older),
                   "Dugotrajna imovina pod ovim rednim brojem je već upisana !");
    older.number = 4;
    UpdateAsset(*db, 2026, 2, older);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"Naziv stvari\" FROM "
                                        "\"POPIS_DUGOTRAJNE_IMOVINE\" WHERE \"Godina\" = 2026 "
                                        "AND \"Redni broj\" = 4")),
              QStringLiteral("Skladište \"Kod Ane's\""));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"POPIS_DUGOTRAJNE_IMOVINE_REV1\" "
                                        "WHERE \"Redni broj\" = 4")),
              0);
    // Deleting takes the row of its own table only.
    DeleteAsset(*db, 2026, AssetTable::Earlier, 4);
    rows = ListAssets(*db, 2026);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[1].number, 3);
    EXPECT_FALSE(YearHasEarlierRows(*db, 2026));
    // A row deleted meanwhile cannot be changed.
    EXPECT_REFUSED(UpdateAsset(*db, 2026, 4, older), "Ova stavka je u međuvremenu obrisana.");
}

TEST_F(FixedAssets, PrintoutTakesBothTablesWhenTheYearHasOlderRows) {
    auto db = Open();
    AddAsset(*db, 2026, Asset(1, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    auto request = AssetReportRequest(*db, 2026);
    EXPECT_EQ(request.reportFile, QStringLiteral("pdi_rev1.rpt"));
    EXPECT_EQ(request.selection.ToText(),
              QStringLiteral("{POPIS_DUGOTRAJNE_IMOVINE_REV1.Godina}=2026"));
    AddEarlier(*db, 2026, Asset(2, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    request = AssetReportRequest(*db, 2026);
    EXPECT_EQ(request.reportFile, QStringLiteral("pdi.rpt"));
    EXPECT_EQ(request.selection.ToText(), QStringLiteral("{Popis dugotrajne imovine.Godina}=2026"));
    EXPECT_EQ(AssetReportRequest(*db, 2025).reportFile, QStringLiteral("pdi_rev1.rpt"));
}

TEST_F(FixedAssets, StoredFiguresMustBeNumbersWithinTheirLimits) {
    auto db = Open();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto refused = [&](auto change, const char* message) {
        FixedAsset a = Asset(1, QStringLiteral("Ostala oprema"), 1000, 1000, 10);
        change(a);
        EXPECT_REFUSED(AddAsset(*db, 2026, a), message);
    };
    refused([&](FixedAsset& a) { a.purchaseValue = nan; },
            "Nabavna vrijednost nije ispravan broj !");
    refused([&](FixedAsset& a) { a.bookValue = inf; },
            "Knjigovodstvena vrijednost nije ispravan broj !");
    refused([&](FixedAsset& a) { a.purchaseValue = -1; },
            "Nabavna vrijednost nesmije biti negativna !");
    refused([&](FixedAsset& a) { a.purchaseValue = 1e12; },
            "Nabavna vrijednost mora biti između 0 i 999999999999,99 !");
    refused([&](FixedAsset& a) { a.rate = 100.5; }, "Stopa otpisa mora biti između 0 i 100 !");
    refused([&](FixedAsset& a) { a.rate = nan; }, "Stopa otpisa nije ispravan broj !");
    // A depreciation above the book value would leave a negative year-end value.
    refused(
        [&](FixedAsset& a) {
            a.depreciation = 1200;
            a.yearEndValue = -200;
        },
        "Knjigovodstvena vrijednost na kraju godine nesmije biti negativna !");
    refused([&](FixedAsset& a) { a.yearEndValue = 950; },
            "Knjigovodstvena vrijednost na kraju godine mora biti jednaka knjigovodstvenoj "
            "vrijednosti umanjenoj za svotu otpisa!");
    refused([&](FixedAsset& a) { a.number = 0; }, "Nije ispravno upisan broj !");
    refused([&](FixedAsset& a) { a.name = QStringLiteral("Stroj\x1b"); },
            "Naziv stvari sadrži nedopušten znak !");
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"POPIS_DUGOTRAJNE_IMOVINE_REV1\"")),
              0);
    // The edges themselves pass.
    FixedAsset edge = Asset(1, QStringLiteral("Ostala oprema"), 999999999999.99, 0, 100);
    AddAsset(*db, 2026, edge);
}

TEST_F(FixedAssets, EntryChecksEachTextOnLeavingAndInOrderOnAccept) {
    auto db = Open();
    FixedAssetEntry entry(*db, 2026, prompter);
    EXPECT_EQ(entry.numberText, QStringLiteral("1"));
    EXPECT_EQ(entry.monthsText, QStringLiteral("12"));

    struct TextField {
        QString FixedAsset::*field;
        bool (FixedAssetEntry::*left)();
        int limit;
        const char* leftMessage;
        const char* acceptMessage;
    };
    const TextField fields[] = {
        {&FixedAsset::name, &FixedAssetEntry::NameLeft, 100,
         "Naziv nesmije biti duži od 100 znakova.",
         "Naziv stvari je duži od 100 znakova ili nije upisan!"},
        {&FixedAsset::document, &FixedAssetEntry::DocumentLeft, 50,
         "Isprava nesmije biti duža od 50 znakova.",
         "Isprava broj/nadnevak je duži od 50 znakova ili nije upisan!"},
        {&FixedAsset::group, &FixedAssetEntry::GroupLeft, 50,
         "Skupina nesmije biti duža od 50 znakova.",
         "Skupina je duža od 50 znakova ili nije upisana!"},
    };
    // Empty fields: "Prihvati" names the first of them, in the order name, document, group.
    for (const TextField& f : fields) {
        prompter.Clear();
        EXPECT_FALSE(entry.Accept());
        EXPECT_EQ(prompter.LastMessage(), QString::fromUtf8(f.acceptMessage));
        // One character over the limit: refused on leaving and on "Prihvati", kept as typed.
        entry.asset.*f.field = QString(f.limit + 1, QChar(u'Ž'));
        prompter.Clear();
        EXPECT_FALSE((entry.*f.left)());
        EXPECT_EQ(prompter.LastMessage(), QString::fromUtf8(f.leftMessage));
        EXPECT_FALSE(entry.Accept());
        EXPECT_EQ(prompter.LastMessage(), QString::fromUtf8(f.acceptMessage));
        EXPECT_EQ((entry.asset.*f.field).size(), f.limit + 1);
        // Exactly at the limit: passes.
        entry.asset.*f.field = QString(f.limit, QChar(u'Ž'));
        prompter.Clear();
        EXPECT_TRUE((entry.*f.left)());
        EXPECT_TRUE(prompter.Messages().isEmpty());
    }
    // Only blanks are no text either.
    entry.asset.group = QStringLiteral("   ");
    prompter.Clear();
    EXPECT_FALSE(entry.Accept());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Skupina je duža od 50 znakova ili nije upisana!"));
    entry.asset.group = QStringLiteral("Ostala oprema");
    EXPECT_TRUE(entry.Accept());
    const auto rows = ListAssets(*db, 2026);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name.size(), 100);
    EXPECT_EQ(rows[0].table, AssetTable::Current);
}

TEST_F(FixedAssets, EntryNumberAndMonths) {
    auto db = Open();
    AddEarlier(*db, 2026, Asset(4, QStringLiteral("Ostala oprema"), 1000, 1000, 10));
    FixedAssetEntry entry(*db, 2026, prompter);
    EXPECT_EQ(entry.numberText, QStringLiteral("5"));
    for (const char* bad : {"pet", "0", "-3", "2.5", ""}) {
        entry.numberText = QString::fromUtf8(bad);
        prompter.Clear();
        EXPECT_FALSE(entry.NumberLeft()) << bad;
        EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !")) << bad;
        EXPECT_EQ(entry.numberText, QStringLiteral("5"));
    }
    entry.numberText = QStringLiteral("4");  // the older table's row
    EXPECT_FALSE(entry.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Dugotrajna imovina pod ovim rednim brojem je već upisana !"));
    EXPECT_EQ(entry.numberText, QStringLiteral("5"));
    entry.numberText = QStringLiteral(" 3 ");
    prompter.Clear();
    EXPECT_TRUE(entry.NumberLeft());
    EXPECT_EQ(entry.numberText, QStringLiteral("3"));
    EXPECT_TRUE(prompter.Messages().isEmpty());

    // The depreciation follows the figures and the months.
    entry.asset.purchaseValue = 12000;
    entry.asset.bookValue = 9000;
    entry.asset.rate = 25;
    entry.monthsText = QStringLiteral("6");
    EXPECT_TRUE(entry.MonthsLeft());
    EXPECT_DOUBLE_EQ(entry.asset.depreciation, 1500);
    EXPECT_DOUBLE_EQ(entry.asset.yearEndValue, 7500);
    for (const char* bad : {"13", "-1", "šest", ""}) {
        entry.monthsText = QString::fromUtf8(bad);
        prompter.Clear();
        EXPECT_FALSE(entry.MonthsLeft()) << bad;
        EXPECT_EQ(prompter.LastMessage(),
                  QStringLiteral("Broj mjeseci mora biti između 0 i 12. Broj mjeseci će biti "
                                 "postavljen na nulu."));
        EXPECT_EQ(entry.monthsText, QStringLiteral("0"));
        EXPECT_DOUBLE_EQ(entry.asset.depreciation, 0);
        EXPECT_DOUBLE_EQ(entry.asset.yearEndValue, 9000);
    }
    entry.monthsText = QStringLiteral("12");
    EXPECT_TRUE(entry.MonthsLeft());
    EXPECT_DOUBLE_EQ(entry.asset.depreciation, 3000);
    // A depreciation typed: the year-end value follows, and the other way round.
    entry.asset.depreciation = 1000.5;
    entry.DepreciationEdited();
    EXPECT_DOUBLE_EQ(entry.asset.yearEndValue, 7999.5);
    entry.asset.yearEndValue = 8800;
    entry.YearEndEdited();
    EXPECT_DOUBLE_EQ(entry.asset.depreciation, 200);
}

TEST_F(FixedAssets, TwoWorkstationsOfferingTheSameNumber) {
    auto first = Open();
    auto second = Open();
    FixedAssetEntry a(*first, 2026, prompter);
    ScriptedPrompter otherPrompter;
    FixedAssetEntry b(*second, 2026, otherPrompter);
    ASSERT_EQ(a.numberText, QStringLiteral("1"));
    ASSERT_EQ(b.numberText, QStringLiteral("1"));
    for (FixedAssetEntry* e : {&a, &b}) {
        e->asset = Asset(0, QStringLiteral("Ostala oprema"), 800, 800, 25);
        e->asset.name = e == &a ? QStringLiteral("Prvi") : QStringLiteral("Drugi");
    }
    EXPECT_TRUE(b.Accept());
    // The first workstation's "Prihvati" comes second: refused, offered the next number,
    // everything typed kept; the next "Prihvati" saves it.
    EXPECT_FALSE(a.Accept());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Dugotrajna imovina pod ovim rednim brojem je već upisana !"));
    EXPECT_EQ(a.numberText, QStringLiteral("2"));
    EXPECT_EQ(a.asset.name, QStringLiteral("Prvi"));
    EXPECT_TRUE(a.Accept());
    const auto rows = ListAssets(*second, 2026);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Drugi"));
    EXPECT_EQ(rows[1].name, QStringLiteral("Prvi"));
    EXPECT_DOUBLE_EQ(rows[1].depreciation, 200);
}

TEST_F(FixedAssets, ChangingARowKeepsItsNumberAndMonths) {
    auto db = Open();
    FixedAsset row = Asset(3, QStringLiteral("Osobni automobili"), 30000, 30000, 20, 7);
    AddAsset(*db, 2026, row);
    AddAsset(*db, 2026, Asset(4, QStringLiteral("Ostala oprema"), 1, 1, 1));
    FixedAssetEntry entry(*db, 2026, prompter, row);
    EXPECT_TRUE(entry.IsChange());
    EXPECT_EQ(entry.numberText, QStringLiteral("3"));
    EXPECT_EQ(entry.monthsText, QStringLiteral("7"));  // the months that give 3500
    EXPECT_TRUE(entry.NumberLeft());                   // its own number is no duplicate
    entry.numberText = QStringLiteral("4");
    EXPECT_FALSE(entry.NumberLeft());
    EXPECT_EQ(entry.numberText, QStringLiteral("3"));
    entry.asset.rate = 25;
    entry.Recompute();
    EXPECT_TRUE(entry.Accept());
    const auto rows = ListAssets(*db, 2026);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_DOUBLE_EQ(rows[0].depreciation, 4375);  // 30000 × 25 % × 7/12
    EXPECT_DOUBLE_EQ(rows[0].yearEndValue, 25625);
}

}  // namespace
}  // namespace zodra::assets
