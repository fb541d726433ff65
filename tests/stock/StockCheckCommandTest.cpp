#include <gtest/gtest.h>

#include <limits>

#include "StockTest.h"
#include "data/Errors.h"
#include "stock/StockCheck.h"
#include "support/Zodractl.h"

using namespace zodra;
using namespace zodra::test;

namespace {

using Outcome = ZodractlRun;

Outcome StockCheck(const QStringList& args) {
    return RunZodractl(QStringList{QStringLiteral("stockcheck")} + args);
}

class StockCheckCommandTest : public StockTest {};

TEST_F(StockCheckCommandTest, ReportsWhatDisagreesAndPutsBalancesAndPooledCostsRight) {
    UseMethod(StockMethod::Average);
    const int screw = docs->AddArticle(QStringLiteral("Vijak M8"));
    docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int issue = docs->Post(Issue::IssueNote, {{screw, 4}});
    docs->Receipt({{screw, 10, 8.00, 9.00}});
    docs->Post(Issue::IssueNote, {{screw, 2}});
    Outcome r = StockCheck({CompanyPath()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Zalihe, kartice artikala i trgovačke knjige se slažu.")))
        << r.out.toStdString();

    // Damage as a faulty program would leave it: a wrong balance, an issue at a wrong cost, a
    // lot that lost a piece.
    db().Exec(
        QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"STANJE_ROBE\" = 0 "
                       "WHERE \"RBR\" = 2"));
    db().Exec(QStringLiteral("UPDATE \"STAVKE_IZDATNICA\" SET \"NABAVNA_CIJENA\" = 1 WHERE "
                             "\"BROJ\" = ?"),
              {issue});
    r = StockCheck({CompanyPath(), QStringLiteral("--skladiste"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Skladište 1, godina 2026"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Trgovačka knjiga veleprodaje: netočnih stanja 1")))
        << r.out.toStdString();
    // Lots: 14 at 6.875; the card books the damaged issue's 4 pieces at 1 instead of 5.
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Artikal 1 Vijak M8: nabave 14 kom, 96,25 nabavno, "
                                      "126,00 prodajno; kartica 14 kom, 112,25 nabavno, "
                                      "126,00 prodajno")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral(
        "Prosječna nabavna cijena artikla 1 Vijak M8: dokumenata s drugom cijenom 1")))
        << r.out.toStdString();
    // Only a report: nothing was written.
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"NABAVNA_CIJENA\" FROM \"STAVKE_IZDATNICA\" "
                                         "WHERE \"BROJ\" = ?"),
                          {issue})
                  .toDouble(),
              1.0);

    r = StockCheck({CompanyPath(), QStringLiteral("--popravi")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("(preračunato)")));
    r = StockCheck({CompanyPath()});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    ExpectBooksAgree(db(), 1, Year());
    ExpectPooledLotFollowsReplay(db(), 1, Year(), 1);

    EXPECT_EQ(StockCheck({CompanyPath(), QStringLiteral("--godina")}).exitCode, 2);
    EXPECT_EQ(StockCheck({Folder() + QStringLiteral("/nema.mdb")}).exitCode, 6);
}

// Values no document can hold, written straight into the tables: infinite lot and card agree,
// so the broken numbers themselves must show the fault.
TEST_F(StockCheckCommandTest, NumbersThatCannotBeAreFaultsWhereverTheyLie) {
    const int screw = docs->AddArticle(QStringLiteral("Vijak M8"));
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    const int receipt = docs->Receipt({{screw, 10, 5.00, 9.00}, {nut, 4, 1.00, 2.00}});
    EXPECT_TRUE(stock::BrokenNumbers(db(), 1, Year()).empty());

    // The receipt line and its lot at infinity, the trade book's balance after them too.
    const double inf = std::numeric_limits<double>::infinity();
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"KOLICINA\" = ? WHERE "
                             "\"SIFRA\" = ?"),
              {inf, screw});
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ? WHERE "
                             "\"SIFRA_ARTIKLA\" = ?"),
              {inf, screw});
    db().Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"STANJE_ROBE\" = "
                             "?, \"NABAVA_VRIJEDNOST\" = ?"),
              {-inf, -inf});
    // A price missing where the books need one; a retail margin may be missing.
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"NABAVNA_CIJENA\" = NULL, "
                             "\"MALOPRODAJNA_MARZA\" = NULL WHERE \"SIFRA\" = ?"),
              {nut});

    std::vector<QString> found;
    for (const stock::BrokenNumber& n : stock::BrokenNumbers(db(), 1, Year())) {
        found.push_back(n.table + QStringLiteral(" | ") + n.row + QStringLiteral(" | ") + n.column +
                        QStringLiteral(" | ") + n.value);
    }
    const QString r = QString::number(receipt);
    const std::vector<QString> expected = {
        QStringLiteral("STAVKE_PRIMKI | primka %1, stavka 1 | KOLICINA | inf").arg(r),
        QStringLiteral("STAVKE_PRIMKI | primka %1, stavka 2 | NABAVNA_CIJENA | NULL").arg(r),
        QStringLiteral("NABAVE | nabava %1, artikal %2 | KOLICINA | inf").arg(r).arg(screw),
        QStringLiteral("KARTICA_ARTIKLA | PRIMKA %1, artikal %2 | KOLIČINA ULAZ | inf")
            .arg(r)
            .arg(screw),
        QStringLiteral("KARTICA_ARTIKLA | PRIMKA %1, artikal %2 | VELEPRODAJNA VRIJEDNOST ULAZ | "
                       "inf")
            .arg(r)
            .arg(screw),
        QStringLiteral("KARTICA_ARTIKLA | PRIMKA %1, artikal %2 | NABAVNA CIJENA | NULL")
            .arg(r)
            .arg(nut),
        QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE | RBR 1 | NABAVA_VRIJEDNOST | -inf"),
        QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE | RBR 1 | STANJE_ROBE | -inf"),
    };
    EXPECT_EQ(found, expected);
    // The other warehouse's books are not this one's.
    EXPECT_TRUE(stock::BrokenNumbers(db(), 2, Year()).empty());

    // The posting guard no longer takes infinity minus infinity for agreement.
    EXPECT_THROW(stock::CheckStockAgainstCard(db(), 1, Year()), UserError);

    const Outcome o = StockCheck({CompanyPath()});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(o.out.contains(
        QStringLiteral("  Neispravan broj: NABAVE, nabava %1, artikal %2, \"KOLICINA\" = inf")
            .arg(r)
            .arg(screw)))
        << o.out.toStdString();
    EXPECT_TRUE(o.out.contains(
        QStringLiteral(
            "  Neispravan broj: STAVKE_PRIMKI, primka %1, stavka 2, \"NABAVNA_CIJENA\" = NULL")
            .arg(r)))
        << o.out.toStdString();
    EXPECT_FALSE(o.out.contains(QStringLiteral("se slažu"))) << o.out.toStdString();
}

}  // namespace
