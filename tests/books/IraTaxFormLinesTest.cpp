#include <gtest/gtest.h>

#include "books/TaxFormLines.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "support/Refused.h"
#include "support/ServerCompany.h"
#include "support/TestCompany.h"

namespace zodra::books {
namespace {

using test::CompanyTest;

class TaxFormLinesTest : public CompanyTest {};

int KindCode(Database& db, int outputLine) {
    return db
        .Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PDV_VRSTE\" WHERE \"REDAK\" = ?"),
                {outputLine})
        .toInt();
}

// The seeded groups report on the lines of their rates, the rate columns follow the kinds
// table in rate order, and the taxation type of the sales terms wins over the group.
TEST_F(TaxFormLinesTest, SeededGroupsAndTaxFreeTreatments) {
    auto db = Open();
    const TaxFormLines lines(*db);
    ASSERT_EQ(lines.RateColumns().size(), 3u);
    EXPECT_EQ(lines.RateColumns()[0].outputLine, 201);
    EXPECT_EQ(lines.RateColumns()[0].Caption(), QStringLiteral("5 %"));
    EXPECT_EQ(lines.RateColumns()[1].outputLine, 202);
    EXPECT_EQ(lines.RateColumns()[2].outputLine, 203);
    EXPECT_EQ(lines.RateColumns()[2].rate, 25.0);

    const Placement full = lines.Place(QStringLiteral("PDV"), 10, 25);
    EXPECT_EQ(full.kind, SupplyKind::Taxable);
    EXPECT_EQ(full.outputLine, 203);
    EXPECT_EQ(full.rateColumn, 2);
    EXPECT_EQ(lines.Place(QStringLiteral("PDV 13%"), 12, 13).rateColumn, 1);
    EXPECT_EQ(lines.Place(QStringLiteral("PDV 5%"), 10, 5).outputLine, 201);
    EXPECT_EQ(lines.GroupByName(QStringLiteral("PDV 5%"))->line->InputLine(), 301);

    const Placement untaxed = lines.Place(QStringLiteral("Neoporezivo"), 10, 0);
    EXPECT_EQ(untaxed.kind, SupplyKind::Exempt);
    EXPECT_EQ(untaxed.outputLine, 110);
    EXPECT_EQ(untaxed.rateColumn, -1);

    EXPECT_EQ(lines.Place(QStringLiteral("PDV"), 8, 0).kind, SupplyKind::Export);
    EXPECT_EQ(lines.Place(QStringLiteral("PDV"), 14, 0).outputLine, 108);
    const Placement article11b = lines.Place(QStringLiteral("PDV"), 15, 0);
    EXPECT_EQ(article11b.kind, SupplyKind::Exempt);
    EXPECT_EQ(article11b.rateColumn, -1);
    EXPECT_TRUE(TaxFormLines::IsTaxFree(15));
    EXPECT_FALSE(TaxFormLines::IsTaxFree(12));
}

// The setting is the register's: a group set to EU supply reports there, a new group takes the
// kind of its rate, and a taxable kind of another rate is refused and changes nothing.
TEST_F(TaxFormLinesTest, SetInTheTaxGroupRegister) {
    auto db = Open();
    const auto& groups = registers::catalogue::TaxGroups();
    registers::Update(*db, groups, 1, {{QStringLiteral("PDV_VRSTA"), KindCode(*db, 103)}});
    {
        const TaxFormLines lines(*db);
        const Placement eu = lines.Place(QStringLiteral("PDV"), 10, 25);
        EXPECT_EQ(eu.kind, SupplyKind::EuSupply);
        EXPECT_EQ(eu.outputLine, 103);
        EXPECT_EQ(eu.rateColumn, -1);
    }

    const registers::SavedRow added =
        registers::Add(*db, groups,
                       {{QStringLiteral("NAZIV"), QStringLiteral("Sniženo")},
                        {QStringLiteral("STOPA"), QStringLiteral("13")}});
    const registers::SavedRow free =
        registers::Add(*db, groups,
                       {{QStringLiteral("NAZIV"), QStringLiteral("Bez poreza")},
                        {QStringLiteral("STOPA"), QStringLiteral("0")}});
    const TaxFormLines lines(*db);
    EXPECT_EQ(lines.GroupByCode(added.code)->line->outputLine, 202);
    EXPECT_EQ(lines.GroupByCode(free.code)->line->kind, SupplyKind::Exempt);

    EXPECT_REFUSED(registers::Update(*db, groups, added.code,
                                     {{QStringLiteral("PDV_VRSTA"), KindCode(*db, 203)}}),
                   "Vrsta isporuke 'Oporezivo 25 % (redak 203)' nije za stopu 13 %.");
    EXPECT_EQ(TaxFormLines(*db).GroupByCode(added.code)->line->outputLine, 202);
    // Any kind that carries no rate of its own fits any group.
    registers::Update(*db, groups, added.code, {{QStringLiteral("PDV_VRSTA"), KindCode(*db, 101)}});
    EXPECT_EQ(TaxFormLines(*db).Place(QStringLiteral("Sniženo"), 10, 13).kind,
              SupplyKind::ReverseCharge);
}

// A company file made before the setting opens with its groups set by their rates; a group of
// an earlier year's rate stays unset and has no rate column.
TEST_F(TaxFormLinesTest, AnOlderCompanyGetsTheSettingByRate) {
    ZODRA_SKIP_ON_SERVER("a company file of an older schema version");
    {
        auto db = Open();
        db->ExecRaw(QStringLiteral("DROP TABLE \"PDV_VRSTE\""));
        db->ExecRaw(QStringLiteral("DROP TABLE \"KNJIGA_IRA_IZVJESTAJ\""));
        db->ExecRaw(QStringLiteral("ALTER TABLE \"GRUPE_POREZA\" DROP COLUMN \"PDV_VRSTA\""));
        // What the later steps add, so that they can run again (they make the views anew).
        db->ExecRaw(QStringLiteral("DROP VIEW \"Query ulazni računi plaćeno\""));
        for (const char* column : {"Osnovica5", "PretporezUkupno5", "PretporezOdbiti5",
                                   "PretporezNeOdbiti5", "Osnovica13", "PretporezUkupno13",
                                   "PretporezOdbiti13", "PretporezNeOdbiti13", "Vrsta nabave"}) {
            db->ExecRaw(QStringLiteral("ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" DROP COLUMN \"%1\"")
                            .arg(QString::fromUtf8(column)));
        }
        db->ExecRaw(QStringLiteral("ALTER TABLE \"ARTIKLI\" DROP COLUMN \"KPD\""));
        for (const char* column : {"OIB_PRIMATELJA", "PROMJENA_NACINA", "PROMJENA_OIB"}) {
            db->ExecRaw(QStringLiteral("ALTER TABLE \"FISKAL_RACUNI\" DROP COLUMN \"%1\"")
                            .arg(QString::fromLatin1(column)));
        }
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"GRUPE_POREZA\" (\"SIFRA\", \"NAZIV\", "
                           "\"STOPA\") VALUES (9, 'PDV 22%', 22)"));
        db->ExecRaw(QStringLiteral("PRAGMA user_version = 6"));
    }
    auto db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->SchemaVersion(), CompanySchema::kCurrentVersion);
    const TaxFormLines lines(*db);
    EXPECT_EQ(lines.GroupByCode(1)->line->outputLine, 203);
    EXPECT_EQ(lines.GroupByCode(2)->line->outputLine, 202);
    EXPECT_EQ(lines.GroupByCode(3)->line->outputLine, 201);
    EXPECT_EQ(lines.GroupByCode(4)->line->outputLine, 110);
    EXPECT_FALSE(lines.GroupByCode(9)->line.has_value());
    const Placement old = lines.Place(QStringLiteral("PDV 22%"), 10, 22);
    EXPECT_EQ(old.kind, SupplyKind::Taxable);
    EXPECT_EQ(old.rateColumn, -1);
    EXPECT_EQ(old.outputLine, 0);
}

}  // namespace
}  // namespace zodra::books
