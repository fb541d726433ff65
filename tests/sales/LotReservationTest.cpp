// Lots shared by several workstations: the default lot is one another workstation has not
// reserved, and the last units of a lot go to one workstation only, also when the other is
// waiting on the lot at that very moment.

#include <QProcess>

#include "InvoiceTest.h"
#include "data/ScriptedPrompter.h"
#include "data/Transaction.h"
#include "stock/Lots.h"
#include "stockdocs/IssueDocuments.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class LotReservationTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        UseMethod(StockMethod::Fifo);
        first = docs->Receipt({{screw, 5, 5.00, 8.00}});
        second = docs->Receipt({{screw, 10, 6.00, 9.00}}, QDate(2026, 3, 3));
    }
    // The lot of the invoice line `number` in a working copy.
    int LineLot(int sessionCode, int number = 1) {
        return Count(QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"STAVKE_RACUNA_PRIVREMENO\" "
                                    "WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
                     {sessionCode, number});
    }
    std::optional<int> Default(double wanted) {
        return stock::DefaultLot(db(), 1, Year(), screw, wanted);
    }
    double Free(int lot) { return LotOf(db(), 1, Year(), lot, screw).freeQuantity; }

    int first = 0;
    int second = 0;
};

TEST_F(LotReservationTest, TheDefaultLotIsOneWhoseFreeQuantityTakesTheLine) {
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->stockMethod = StockMethod::Fifo;
    ScriptedPrompter otherPrompter;

    const sales::InvoiceDraft mine = Draft();
    Line(mine, screw, 3);
    EXPECT_EQ(LineLot(mine.sessionCode), first);
    // Two left free in the older lot: it takes two, not three, nor eleven, which no lot takes:
    // then the oldest with anything free.
    const struct {
        double wanted;
        int lot;
    } cases[] = {{2, first}, {3, second}, {0, first}, {10, second}, {11, first}};
    for (const auto& c : cases) {
        EXPECT_EQ(Default(c.wanted), std::optional<int>(c.lot)) << "wanted " << c.wanted;
    }

    // The other workstation's sale of three goes to the newer lot, not to a refusal; its issue
    // note of two to what the older lot has left.
    sales::InvoiceDraft theirs = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    theirs.book = 1;
    theirs.salesTerms = 2;
    theirs.customer = customer;
    sales::AddArticleLine(*other, otherPrompter, theirs,
                          {screw, std::nullopt, 3, std::nullopt, std::nullopt, std::nullopt, {}});
    EXPECT_EQ(LineLot(theirs.sessionCode), second);
    stockdocs::AddIssueLine(*other, DocumentKind::IssueNote, other->sessionCode,
                            {screw, std::nullopt, 2});
    EXPECT_EQ(Count(QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                   "WHERE \"Multiuser_sifra\" = ?"),
                    {other->sessionCode}),
              first);
    EXPECT_DOUBLE_EQ(Free(first), 0.0);
    EXPECT_DOUBLE_EQ(Free(second), 7.0);

    // Nothing free anywhere: the oldest lot with stock, and the line is refused as before.
    sales::AddArticleLine(*other, otherPrompter, theirs,
                          {screw, std::nullopt, 7, std::nullopt, std::nullopt, std::nullopt, {}});
    EXPECT_EQ(Default(1), std::optional<int>(first));
    EXPECT_REFUSED(Line(mine, screw, 1), QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ?"),
                    {mine.sessionCode}),
              1);
    EXPECT_DOUBLE_EQ(Free(first), 0.0);
    EXPECT_DOUBLE_EQ(Free(second), 0.0);

    // Both post: every reservation becomes its take.
    Post(mine);
    sales::PostInvoice(*other, theirs, sales::ProposeHeader(*other, theirs));
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), first, screw).quantity, 2.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), second, screw).quantity, 0.0);
    ExpectLotsMatchCard();
}

// This workstation holds its reservation of the last units open while another one, a process
// of its own (zodra_lot_taker) whose session started before, asks for them from the same lot:
// the other waits for the lot, and when the reservation commits it is refused with the message
// (a reservation that read the lot before the commit would take units that are gone); when it
// is rolled back the other's line goes through. The free quantity never falls below zero.
TEST_F(LotReservationTest, TheLastUnitsOfALotGoToOneWorkstationWhileTheOtherWaits) {
    const struct {
        bool commit;
        double wanted;  // by the other; this workstation reserves one more than it leaves
    } rounds[] = {{true, 2}, {false, 1}};
    for (const auto& [commit, wanted] : rounds) {
        SCOPED_TRACE(commit ? "the reservation commits" : "the reservation is rolled back");
        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        other.start(QStringLiteral(LOT_TAKER_PATH),
                    {CompanyPath(), QString::number(customer), QString::number(screw),
                     QString::number(first), QString::number(wanted)});
        while (!other.canReadLine() && other.waitForReadyRead(60000)) {
        }
        ASSERT_EQ(other.readLine().trimmed(), QByteArray("ready"));

        const sales::InvoiceDraft mine = Draft();
        const double left = Free(first);
        auto held = std::make_unique<Transaction>(db(), Transaction::Locking::Rows);
        Line(mine, screw, left - wanted + 1, std::nullopt, std::nullopt, first);
        other.write("go\n");
        other.waitForBytesWritten();
        EXPECT_FALSE(other.waitForReadyRead(1500))
            << "the other workstation did not wait for the lot: " << other.readAll().toStdString();
        if (commit) {
            held->Commit();
        }
        held.reset();
        ASSERT_TRUE(other.waitForFinished(60000));
        EXPECT_EQ(other.exitCode(), 0);
        const std::string text = other.readAll().trimmed().toStdString();
        if (commit) {
            EXPECT_EQ(text, "Nedovoljna količina artikla Vijak M8");
            EXPECT_DOUBLE_EQ(Free(first), wanted - 1);
        } else {
            EXPECT_EQ(text, "accepted");
            EXPECT_DOUBLE_EQ(Free(first), left - wanted);
        }
        EXPECT_GE(Free(first), 0.0);
    }
    // Five in the lot, all held: four here, the last by the other workstation.
    EXPECT_DOUBLE_EQ(Free(first), 0.0);
    EXPECT_DOUBLE_EQ(stock::HeldByWorkingCopies(db(), {1, Year(), first, screw}), 5.0);
}

// A posting reads all its lots at once, locked, and writes them back after taking every line:
// another workstation reserving from one of those lots meanwhile waits for the commit and then
// reserves from what the posting left, so neither change is lost.
TEST_F(LotReservationTest, AReservationWaitsForThePostingThatReadTheLot) {
    QProcess other;
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(QStringLiteral(LOT_TAKER_PATH),
                {CompanyPath(), QString::number(customer), QString::number(screw),
                 QString::number(first), QStringLiteral("1")});
    while (!other.canReadLine() && other.waitForReadyRead(60000)) {
    }
    ASSERT_EQ(other.readLine().trimmed(), QByteArray("ready"));

    const sales::InvoiceDraft mine = Draft();
    Line(mine, screw, 4, std::nullopt, std::nullopt, first);
    Line(mine, screw, 2, std::nullopt, std::nullopt, second);
    int read = 0;
    db().SetCheckpointHook([&](const char* point) {
        if (qstrcmp(point, "lots-read") != 0) {
            return;
        }
        ++read;
        other.write("go\n");
        other.waitForBytesWritten();
        EXPECT_FALSE(other.waitForReadyRead(1500))
            << "the other workstation did not wait for the lot: " << other.readAll().toStdString();
    });
    Post(mine);
    db().SetCheckpointHook({});
    EXPECT_EQ(read, 1) << "the posting read its lots with one statement";
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.readAll().trimmed().toStdString(), "accepted");
    const stock::Lot lot = LotOf(db(), 1, Year(), first, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 1.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 0.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), second, screw).quantity, 8.0);
    ExpectLotsMatchCard();
}

}  // namespace
