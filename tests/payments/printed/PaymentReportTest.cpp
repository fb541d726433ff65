// The debt and payment reports against sums taken by plain SQL: who owes what, the debtors
// chosen per workstation, the range, the card of one warehouse, the payments' closed parts.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "data/Errors.h"
#include "data/Rounding.h"
#include "payments/PaymentReport.h"
#include "payments/PaymentReportRows.h"
#include "reports/ValueFormat.h"
#include "support/Refused.h"
#include "support/Zodractl.h"

namespace zodra::payments {
namespace {

class PaymentReportTest : public test::PaymentRowsTest {
protected:
    void SetUp() override {
        PaymentRowsTest::SetUp();
        ane = AddPartner(QStringLiteral("Kod Ane's"));
        bruno = AddPartner(QStringLiteral("Bruno d.o.o."));
        cvita = AddPartner(QStringLiteral("Cvita obrt"));
        // Ane: 100.00 with 60.00 collected, and 50.004 of three lines nothing collected.
        AddInvoice(1, ane, Day(3, 2), {60.00, 40.00});
        AddCollection(AddPayment(ane, Day(3, 20), 60.00), 1, Day(3, 20), 60.00);
        AddInvoice(2, ane, Day(4, 5), {25.002, 25.002});
        // Bruno paid his 80.00 to the cent: no debtor. Cvita's invoice was cancelled.
        AddInvoice(3, bruno, Day(3, 9), {80.00});
        AddCollection(AddPayment(bruno, Day(3, 10), 80.00), 3, Day(3, 10), 80.00);
        AddInvoice(4, cvita, Day(3, 11), {70.00}, true);
    }
    // What is owed by plain SQL: every invoice not cancelled less what was collected on it.
    double OwedBySql(int partner) {
        const double invoiced = sqlvalue::ToDouble(db().Scalar(
            QStringLiteral("SELECT SUM(s.\"UKUPNO_\") FROM \"STAVKE_RACUNA\" s JOIN \"RACUNI\" r "
                           "ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND r.\"IRA\" = s.\"IRA\" AND "
                           "r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = s.\"BROJ_RACUNA\" "
                           "WHERE r.\"STORNO\" = FALSE AND r.\"SIFRA PARTNERA\" = ?"),
            {partner}));
        const double collected = sqlvalue::ToDouble(db().Scalar(
            QStringLiteral("SELECT SUM(n.\"Iznos\") FROM \"NAPLATA\" n JOIN \"RACUNI\" r ON "
                           "r.\"SKLADISTE\" = n.\"Skladište\" AND r.\"IRA\" = n.\"IRA\" AND "
                           "r.\"GODINA\" = n.\"Godina\" AND r.\"BROJ RACUNA\" = n.\"Broj računa\" "
                           "WHERE r.\"STORNO\" = FALSE AND r.\"SIFRA PARTNERA\" = ?"),
            {partner}));
        return invoiced - collected;
    }
    static QString Money(double amount) {
        return reports::ValueFormat(QStringLiteral("EUR"))
            .Format(amount, QStringLiteral("Standard"));
    }
    reports::ReportRange Range(const QDate& from, const QDate& to) {
        reports::ReportRange range;
        range.from = from;
        range.to = to;
        range.fromText = from.toString(QStringLiteral("dd.MM.yyyy"));
        range.toText = to.toString(QStringLiteral("dd.MM.yyyy"));
        range.cancelled = false;
        return range;
    }
    QString Render(PaymentReportKind kind, const PaymentReportChoice& choice, const char* name) {
        return Rendered(*session, PaymentReportRequest(*session, kind, choice),
                        QString::fromLatin1(name));
    }
    int ane = 0;
    int bruno = 0;
    int cvita = 0;
};

TEST_F(PaymentReportTest, DebtorsOweWhatTheirInvoicesLessCollectionsAddUpTo) {
    const std::vector<PartnerEntry> debtors = Debtors(db(), PartnerSide::Customers);
    ASSERT_EQ(debtors.size(), 1U);
    EXPECT_EQ(debtors.front().code, ane);

    const QString text = Render(PaymentReportKind::DebtorsAll, {}, "duznici");
    EXPECT_TRUE(text.contains(QStringLiteral("Svi dužnici po izlaznim računima")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("Ukupno Kod Ane's 150,00 60,00 ") + Money(OwedBySql(ane))))
        << text.toStdString();
    EXPECT_EQ(Money(OwedBySql(ane)), QStringLiteral("90,00"));
    EXPECT_FALSE(text.contains(QStringLiteral("Bruno")));
    EXPECT_FALSE(text.contains(QStringLiteral("Cvita")));
    // 60.00 more collected on invoice 1: its 40.00 is left, a 40.01 would have overpaid it.
    AddCollection(AddPayment(ane, Day(4, 1), 40.00), 1, Day(4, 1), 40.00);
    const QString after = Render(PaymentReportKind::DebtorsAll, {}, "duznici2");
    EXPECT_FALSE(after.contains(QStringLiteral("1/2/1/")));
    EXPECT_TRUE(after.contains(QStringLiteral("SVEUKUPNO 50,00 0,00 50,00")))
        << after.toStdString();
}

TEST_F(PaymentReportTest, EachWorkstationPrintsTheDebtorsItChose) {
    AddInvoice(5, bruno, Day(3, 12), {12.50});
    auto other = StartSession(1);
    PaymentReportChoice mine;
    mine.partners = {ane};
    PaymentReportChoice theirs;
    theirs.partners = {bruno};
    const auto first = PaymentReportRequest(*session, PaymentReportKind::DebtorsAll, mine);
    const auto second = PaymentReportRequest(*other, PaymentReportKind::DebtorsAll, theirs);
    // The second choice was kept after the first: each still prints its own.
    const QString a = Rendered(*session, first, QStringLiteral("mine"));
    const QString b = Rendered(*other, second, QStringLiteral("theirs"));
    EXPECT_TRUE(a.contains(QStringLiteral("Kod Ane's")));
    EXPECT_FALSE(a.contains(QStringLiteral("Bruno")));
    EXPECT_TRUE(b.contains(QStringLiteral("Ukupno Bruno d.o.o. 12,50 0,00 12,50")));
    EXPECT_FALSE(b.contains(QStringLiteral("Ane")));
    EXPECT_EQ(sqlvalue::ToInt(db().Scalar(
                  QStringLiteral("SELECT COUNT(*) FROM \"IZABRANI_PARTNERI\" WHERE \"SESIJA\" = ?"),
                  {other->sessionCode})),
              1);
}

// Two workstations, as separate processes, print the debtors each chose again and again while
// the company is compacted beside them: each print holds its own debtor and never the other's.
TEST_F(PaymentReportTest, ChosenDebtorsStayPerWorkstationBesideACompaction) {
    AddInvoice(5, bruno, Day(3, 12), {12.50});
    const QString path = CompanyPath();
    docs.reset();
    session.reset();  // the compaction needs the company closed between the prints
    test::ZodractlOptions options;
    options.home = QStringLiteral(ZODRA_SOURCE_DIR "/share");
    options.workingFolder = Folder();
    std::mutex mutex;
    QStringList faults;
    std::atomic<bool> done = false;
    std::atomic<int> compactions = 0;
    std::thread compaction([&] {
        while (!done) {
            const test::ZodractlRun run =
                test::RunZodractl({QStringLiteral("compact"), path}, options);
            if (run.exitCode == 0) {
                ++compactions;
            } else if (!run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu"))) {
                std::lock_guard<std::mutex> guard(mutex);
                faults << run.err;
            }
        }
    });
    const auto printer = [&](int partner, const QString& own, const QString& other) {
        for (int i = 0; i < 4; ++i) {
            const QString pdf = Folder() + QStringLiteral("/dug_%1_%2.pdf").arg(partner).arg(i);
            const test::ZodractlRun run =
                test::RunZodractl({QStringLiteral("saldakonti"), path, QStringLiteral("Dugovi_svi"),
                                   QStringLiteral("--partner"), QString::number(partner),
                                   QStringLiteral("--pdf"), pdf},
                                  options);
            const QString text = test::PdfText(pdf).simplified();
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode != 0) {
                faults << run.err;
            } else if (!text.contains(QStringLiteral("Ukupno ") + own) || text.contains(other)) {
                faults << QStringLiteral("%1: %2").arg(partner).arg(text);
            }
        }
    };
    std::thread first(printer, ane, QStringLiteral("Kod Ane's 150,00 60,00 90,00"),
                      QStringLiteral("Bruno"));
    std::thread second(printer, bruno, QStringLiteral("Bruno d.o.o. 12,50 0,00 12,50"),
                       QStringLiteral("Ane"));
    first.join();
    second.join();
    done = true;
    compaction.join();
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_GT(compactions.load(), 0);
}

TEST_F(PaymentReportTest, RangeSelectsTheInvoicesAndTitlesTheReport) {
    PaymentReportChoice choice;
    EXPECT_REFUSED(PaymentReportRequest(*session, PaymentReportKind::DebtorsByDate, choice),
                   "Izvještaj duznici.rpt traži početni i završni datum.");
    choice.range = Range(Day(3, 1), Day(3, 31));
    const QString text = Render(PaymentReportKind::DebtorsByDate, choice, "po_datumu");
    EXPECT_TRUE(text.contains(QStringLiteral("Izvještaj dužnika po datumima računa od ") +
                              choice.range->fromText + QStringLiteral(" do ") +
                              choice.range->toText));
    EXPECT_TRUE(text.contains(QStringLiteral("SVEUKUPNO 100,00 60,00 40,00")))
        << text.toStdString();

    reports::RangeInput input;
    EXPECT_EQ(DebtorDatesProblem(input), QStringLiteral("Početni datum nije ispravno upisan."));
    input.from = Day(1, 1);
    EXPECT_EQ(DebtorDatesProblem(input), QStringLiteral("Završni datum nije ispravno upisan."));
    input.to = Day(1, 31);
    EXPECT_EQ(DebtorDatesProblem(input), QString());
}

TEST_F(PaymentReportTest, CardOfTheWarehouseLeavesTheOtherWarehouseOutOfItsBalance) {
    const int second = AddWarehouse(db(), QStringLiteral("Drugo skladište"));
    AddInvoice(1, ane, Day(3, 5), {30.00}, false, second);
    const PaymentReportChoice choice{Range(Day(1, 1), Day(12, 31)), {}};
    const QString all = Render(PaymentReportKind::CustomerCards, choice, "kartice");
    const QString own =
        Render(PaymentReportKind::CustomerCardsOfWarehouse, choice, "kartice_skladiste");
    // Ane: 100.00 + 50.00 in warehouse 1, 30.00 in the other, 60.00 paid in warehouse 1.
    EXPECT_TRUE(
        all.contains(QStringLiteral("Promet u razdoblju 180,00 60,00 ") + Money(OwedBySql(ane))))
        << all.toStdString();
    EXPECT_TRUE(own.contains(QStringLiteral("Promet u razdoblju 150,00 60,00 90,00")))
        << own.toStdString();
    EXPECT_TRUE(own.contains(QStringLiteral("Kartice kupaca za izabrano skladište od")));
    // The card window prints the card of its one partner; two at once are refused.
    PaymentReportChoice one = choice;
    one.partners = {bruno};
    const QString card = Render(PaymentReportKind::CustomerCards, one, "kartica_bruno");
    EXPECT_TRUE(card.contains(QStringLiteral("Bruno d.o.o."))) << card.toStdString();
    EXPECT_FALSE(card.contains(QStringLiteral("Ane")));
    one.partners = {ane, bruno};
    EXPECT_REFUSED(PaymentReportRequest(*session, PaymentReportKind::CustomerCards, one),
                   "Kartica se ispisuje za jednog partnera ili za sve.");
}

TEST_F(PaymentReportTest, PaymentsShowTheirClosedAndOpenParts) {
    const int payment = AddPayment(ane, Day(5, 4), 80.00);
    AddCollection(payment, 2, Day(5, 4), 50.00);
    const PaymentReportChoice choice{Range(Day(5, 1), Day(5, 31)), {}};
    const QString text = Render(PaymentReportKind::CustomerPayments, choice, "uplate");
    EXPECT_TRUE(text.contains(QStringLiteral("Kod Ane's žiro račun izvod 1 80,00 50,00 30,00")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Bruno")));  // paid in March
    const QString days = Render(PaymentReportKind::CustomerPaymentsByDay,
                                {Range(Day(3, 1), Day(3, 31)), {}}, "uplate_dan");
    EXPECT_TRUE(days.contains(QStringLiteral("SVEUKUPNO 2 140,00"))) << days.toStdString();
}

}  // namespace
}  // namespace zodra::payments
