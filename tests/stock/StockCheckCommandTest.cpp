#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "StockTest.h"

using namespace zodra;
using namespace zodra::test;

namespace {

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

Outcome StockCheck(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZODRA_PASSWORD"));
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(ZODRACTL_PATH), QStringList{QStringLiteral("stockcheck")} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
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

}  // namespace
