#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "cashbook/CashBook.h"
#include "cashbook/VoucherEntry.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "reports/PagedBook.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "reports/ReportTestSupport.h"
#include "support/Refused.h"

namespace zodra::cashbook {
namespace {

using test::AddVoucher;
constexpr auto kReceipt = VoucherKind::Receipt;
constexpr auto kPayment = VoucherKind::Payment;

class CashBook : public test::CompanyTest {};

reports::RangeInput Dates(const QString& fromText, const QDate& from, const QString& toText,
                          const QDate& to) {
    reports::RangeInput input;
    input.fromText = fromText;
    input.from = from;
    input.toText = toText;
    input.to = to;
    return input;
}

TEST_F(CashBook, NumbersRunPerWarehouseYearAndTable) {
    auto db = Open();
    EXPECT_EQ(NextVoucherNumber(*db, kReceipt, 1, 2026), 1);
    AddVoucher(*db, kReceipt, 1, 2026, 1, QDate(2026, 1, 2), 10);
    AddVoucher(*db, kReceipt, 1, 2026, 5, QDate(2026, 1, 3), 10);
    EXPECT_EQ(NextVoucherNumber(*db, kReceipt, 1, 2026), 6);  // after the highest, gaps stay
    EXPECT_EQ(NextVoucherNumber(*db, kPayment, 1, 2026), 1);
    EXPECT_EQ(NextVoucherNumber(*db, kReceipt, 2, 2026), 1);
    EXPECT_EQ(NextVoucherNumber(*db, kReceipt, 1, 2027), 1);
    AddVoucher(*db, kPayment, 1, 2026, 1, QDate(2026, 1, 2), 3);
    EXPECT_EQ(NextVoucherNumber(*db, kPayment, 1, 2026), 2);
    EXPECT_TRUE(VoucherExists(*db, kReceipt, 1, 2026, 5));
    EXPECT_FALSE(VoucherExists(*db, kReceipt, 1, 2026, 2));
    EXPECT_FALSE(VoucherExists(*db, kPayment, 1, 2026, 5));
    // The highest number a voucher may have is the last: no next one, never a wrapped one.
    AddVoucher(*db, kPayment, 1, 2026, 999999999, QDate(2026, 1, 4), 3);
    EXPECT_REFUSED(NextVoucherNumber(*db, kPayment, 1, 2026),
                   QStringLiteral("Nema slobodnog broja za dokument Blagajnička "
                                  "isplatnica: brojevi od 1 do 999999999 su "
                                  "potrošeni."));
}

TEST_F(CashBook, EntryStartsWithNextNumberAndChecksTheNumberField) {
    auto session = StartSession(1);
    AddVoucher(session->Db(), kReceipt, 1, session->businessYear, 1, QDate(2026, 1, 2), 10);
    VoucherEntry entry(*session, kReceipt, prompter, QDate(2026, 3, 2));
    EXPECT_EQ(entry.numberText, QStringLiteral("2"));
    EXPECT_EQ(entry.date, QDate(2026, 3, 2));
    EXPECT_EQ(entry.Caption(), QStringLiteral("Upis uplatnice"));
    EXPECT_EQ(entry.PartyLabel(), QStringLiteral("Od koga :"));

    entry.numberText = QStringLiteral("7");
    EXPECT_TRUE(entry.NumberLeft());
    EXPECT_TRUE(prompter.Messages().isEmpty());

    entry.numberText = QStringLiteral("sedam");
    EXPECT_FALSE(entry.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(entry.numberText, QStringLiteral("2"));

    entry.numberText = QStringLiteral("1");
    EXPECT_FALSE(entry.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Blagajnička uplatnica pod ovim rednim brojem je već upisana !"));
    EXPECT_EQ(entry.numberText, QStringLiteral("2"));

    VoucherEntry payment(*session, kPayment, prompter);
    EXPECT_EQ(payment.Caption(), QStringLiteral("Upis isplatnice"));
    EXPECT_EQ(payment.PartyLabel(), QStringLiteral("Kome :"));
    EXPECT_EQ(payment.numberText, QStringLiteral("1"));
    AddVoucher(session->Db(), kPayment, 1, session->businessYear, 1, QDate(2026, 1, 2), 10);
    EXPECT_FALSE(payment.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Blagajnička isplatnica pod ovim rednim brojem je već upisana !"));
}

TEST_F(CashBook, AmountFieldFillsTheWords) {
    auto session = StartSession(1);
    VoucherEntry entry(*session, kReceipt, prompter);
    entry.amountText = QStringLiteral("1234,56");
    EXPECT_TRUE(entry.AmountChanged());
    EXPECT_EQ(entry.words,
              QStringLiteral("jednatisućadvijestotridesetčetiri EUR i pedesetšest centi"));
    // While typing, an empty field or a lone minus leaves the words alone.
    for (const char* typing : {"", "-", " "}) {
        entry.amountText = QString::fromLatin1(typing);
        EXPECT_TRUE(entry.AmountChanged());
        EXPECT_EQ(entry.words,
                  QStringLiteral("jednatisućadvijestotridesetčetiri EUR i pedesetšest centi"));
    }
    entry.amountText = QStringLiteral("-21.1");
    EXPECT_TRUE(entry.AmountChanged());
    EXPECT_EQ(entry.words, QStringLiteral("minus dvadesetjedna EUR i deset centi"));
    EXPECT_TRUE(prompter.Messages().isEmpty());

    entry.amountText = QStringLiteral("12a");
    EXPECT_FALSE(entry.AmountChanged());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu."));
    EXPECT_EQ(entry.amountText, QStringLiteral("0"));
    EXPECT_EQ(entry.words, QStringLiteral("nula EUR"));
    entry.amountText = QStringLiteral("1.234,56");  // grouping is not a number here
    EXPECT_FALSE(entry.AmountChanged());
}

// Two workstations open the entry window at once and both are offered number 1: the second to
// press "Prihvati" gets the duplicate message and the next free number, and nothing of it is
// written until it accepts again.
TEST_F(CashBook, NumberTakenByAnotherWorkstationMeanwhile) {
    auto first = StartSession(1);
    auto second = StartSession(1);
    VoucherEntry a(*first, kReceipt, prompter);
    ScriptedPrompter otherPrompter;
    VoucherEntry b(*second, kReceipt, otherPrompter);
    ASSERT_EQ(a.numberText, QStringLiteral("1"));
    ASSERT_EQ(b.numberText, QStringLiteral("1"));
    ASSERT_TRUE(b.NumberLeft());  // still free when b leaves the field
    a.amountText = QStringLiteral("10");
    b.amountText = QStringLiteral("20");
    b.party = QStringLiteral("Drugi");
    ASSERT_TRUE(a.Accept());
    EXPECT_FALSE(b.Accept());
    EXPECT_EQ(otherPrompter.LastMessage(),
              QStringLiteral("Blagajnička uplatnica pod ovim rednim brojem je već upisana !"));
    EXPECT_EQ(b.numberText, QStringLiteral("2"));
    EXPECT_EQ(b.party, QStringLiteral("Drugi"));
    EXPECT_EQ(ListVouchers(first->Db(), kReceipt, 1, first->businessYear).size(), 1u);
    ASSERT_TRUE(b.Accept());
    const auto list = ListVouchers(first->Db(), kReceipt, 1, first->businessYear);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_DOUBLE_EQ(list[0].amount, 10);
    EXPECT_EQ(list[1].number, 2);
    EXPECT_EQ(list[1].party, QStringLiteral("Drugi"));
}

TEST_F(CashBook, InsertRechecksTheNumberInsideTheWrite) {
    auto db = Open();
    AddVoucher(*db, kReceipt, 1, 2026, 3, QDate(2026, 1, 2), 10);
    EXPECT_REFUSED(AddVoucher(*db, kReceipt, 1, 2026, 3, QDate(2026, 1, 2), 99),
                   QStringLiteral("Blagajnička uplatnica pod ovim rednim brojem je već upisana !"));
    EXPECT_DOUBLE_EQ(ListVouchers(*db, kReceipt, 1, 2026).at(0).amount, 10);
    // The same number in another warehouse, year or table is free.
    EXPECT_NO_THROW(AddVoucher(*db, kReceipt, 2, 2026, 3, QDate(2026, 1, 2), 1));
    EXPECT_NO_THROW(AddVoucher(*db, kReceipt, 1, 2025, 3, QDate(2025, 1, 2), 1));
    EXPECT_NO_THROW(AddVoucher(*db, kPayment, 1, 2026, 3, QDate(2026, 1, 2), 1));
}

TEST_F(CashBook, EditingARowRefreshesItsWords) {
    auto db = Open();
    InsertVoucher(*db, kReceipt, 1, 2026,
                  {1, QDate(2026, 1, 2), QStringLiteral("A"), QStringLiteral("B"), 10.0,
                   QStringLiteral("deset EUR")});
    AddVoucher(*db, kReceipt, 1, 2026, 2, QDate(2026, 1, 2), 5);
    Voucher edited = ListVouchers(*db, kReceipt, 1, 2026).at(0);
    edited.amount = 1000005;
    edited.words = QStringLiteral("krivo");  // whatever the grid held, the words follow Iznos
    edited.party = QStringLiteral("Novi");
    UpdateVoucher(*db, kReceipt, 1, 2026, 1, edited);
    Voucher stored = ListVouchers(*db, kReceipt, 1, 2026).at(0);
    EXPECT_EQ(stored.words, QStringLiteral("jedanmilionpet EUR"));
    EXPECT_EQ(stored.party, QStringLiteral("Novi"));

    // Renumbering onto a taken number is refused and changes nothing.
    stored.number = 2;
    stored.amount = 1;
    EXPECT_THROW(UpdateVoucher(*db, kReceipt, 1, 2026, 1, stored), UserError);
    EXPECT_DOUBLE_EQ(ListVouchers(*db, kReceipt, 1, 2026).at(0).amount, 1000005);
    stored.number = 9;
    UpdateVoucher(*db, kReceipt, 1, 2026, 1, stored);
    EXPECT_TRUE(VoucherExists(*db, kReceipt, 1, 2026, 9));
    EXPECT_FALSE(VoucherExists(*db, kReceipt, 1, 2026, 1));
    // A row another workstation has deleted meanwhile cannot be saved.
    EXPECT_THROW(UpdateVoucher(*db, kReceipt, 1, 2026, 1, stored), UserError);
}

TEST_F(CashBook, DeletingFromTheGridAsksWithNoAsDefault) {
    auto db = Open();
    AddVoucher(*db, kPayment, 1, 2026, 1, QDate(2026, 1, 2), 10);
    EXPECT_FALSE(DeleteVoucherAsked(*db, kPayment, 1, 2026, 1, prompter));  // no answer: No
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li obrisati stavku?"));
    EXPECT_TRUE(VoucherExists(*db, kPayment, 1, 2026, 1));
    prompter.AnswerNo();
    EXPECT_FALSE(DeleteVoucherAsked(*db, kPayment, 1, 2026, 1, prompter));
    EXPECT_TRUE(VoucherExists(*db, kPayment, 1, 2026, 1));
    prompter.AnswerYes();
    EXPECT_TRUE(DeleteVoucherAsked(*db, kPayment, 1, 2026, 1, prompter));
    EXPECT_FALSE(VoucherExists(*db, kPayment, 1, 2026, 1));
    AddVoucher(*db, kPayment, 1, 2026, 2, QDate(2026, 1, 2), 10);
    DeleteVoucher(*db, kPayment, 1, 2026, 2);  // "Brisanje": at once
    EXPECT_FALSE(VoucherExists(*db, kPayment, 1, 2026, 2));
}

struct ReportRow {
    int page;
    QVariant rbr;
    QVariant date;
    QString text;
    double receipts;
    double payments;
    double balance;
};

std::vector<ReportRow> ReportRows(Database& db, int sessionCode) {
    Statement s(db,
                QStringLiteral("SELECT \"BROJ_STRANICE\", \"RBR\", \"DATUM\", \"OPIS\", "
                               "\"PRIMITAK\", \"IZDATAK\", \"SALDO\" FROM "
                               "\"BLAGAJNICKI_IZVJESTAJ\" WHERE \"SESIJA\" = ? ORDER BY \"ID\""));
    s.Exec({sessionCode});
    std::vector<ReportRow> rows;
    while (s.Next()) {
        rows.push_back(
            {s.Int(0), s.Value(1), s.Value(2), s.Text(3), s.Double(4), s.Double(5), s.Double(6)});
    }
    return rows;
}

TEST_F(CashBook, ReportRowsInDateOrderWithBalance) {
    auto db = Open();
    // An empty period gives the opening row only.
    BuildCashBookReport(*db, 11, 1, 2026, QDate(2026, 1, 1), QDate(2026, 3, 31));
    const auto empty = ReportRows(*db, 11);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].page, 1);
    EXPECT_EQ(empty[0].text, QStringLiteral("DONOS SA STRANE 0"));
    EXPECT_EQ(empty[0].receipts + empty[0].payments + empty[0].balance, 0);

    AddVoucher(*db, kPayment, 1, 2026, 1, QDate(2026, 2, 1), 30, QStringLiteral("Dobavljač"),
               QStringLiteral("Roba"));
    AddVoucher(*db, kReceipt, 1, 2026, 1, QDate(2026, 2, 1), 100, QStringLiteral("Kupac"),
               QStringLiteral("Račun 5"));
    AddVoucher(*db, kReceipt, 1, 2026, 2, QDate(2026, 1, 15), 50);
    AddVoucher(*db, kReceipt, 1, 2026, 3, QDate(2026, 4, 1), 70);   // after the range
    AddVoucher(*db, kReceipt, 2, 2026, 1, QDate(2026, 2, 1), 900);  // another warehouse
    AddVoucher(*db, kReceipt, 1, 2025, 9, QDate(2026, 2, 1), 900);  // another year
    const auto totals =
        BuildCashBookReport(*db, 11, 1, 2026, QDate(2026, 1, 1), QDate(2026, 3, 31));
    EXPECT_EQ(totals.bookings, 3);
    EXPECT_EQ(totals.pages, 1);
    EXPECT_DOUBLE_EQ(totals.receipts, 150);
    EXPECT_DOUBLE_EQ(totals.payments, 30);
    EXPECT_DOUBLE_EQ(totals.balance, 120);
    const auto rows = ReportRows(*db, 11);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].text, QStringLiteral("DONOS SA STRANE 0"));
    EXPECT_TRUE(rows[0].rbr.isNull());
    EXPECT_TRUE(rows[0].date.isNull());
    EXPECT_EQ(rows[1].text, QStringLiteral("Uplatnica 2 - Partner - Svrha"));
    EXPECT_EQ(rows[1].date.toString(), QStringLiteral("2026-01-15"));
    // On one day the receipts come before the payments.
    EXPECT_EQ(rows[2].text, QStringLiteral("Uplatnica 1 - Kupac - Račun 5"));
    EXPECT_EQ(rows[3].text, QStringLiteral("Isplatnica 1 - Dobavljač - Roba"));
    EXPECT_EQ(rows[3].rbr.toInt(), 3);
    EXPECT_DOUBLE_EQ(rows[1].balance, 50);
    EXPECT_DOUBLE_EQ(rows[2].balance, 150);
    EXPECT_DOUBLE_EQ(rows[3].balance, 120);
    EXPECT_DOUBLE_EQ(rows[3].payments, 30);
    EXPECT_DOUBLE_EQ(rows[3].receipts, 0);
}

TEST_F(CashBook, FortyOneBookingsCarryTheBalance) {
    auto db = Open();
    for (int i = 1; i <= 41; ++i) {
        AddVoucher(*db, kReceipt, 1, 2026, i, QDate(2026, 1, 1).addDays(i), i);
    }
    AddVoucher(*db, kPayment, 1, 2026, 1, QDate(2026, 1, 1), 5);  // the first booking
    BuildCashBookReport(*db, 11, 1, 2026, QDate(2026, 1, 1), QDate(2026, 12, 31));
    const auto rows = ReportRows(*db, 11);
    ASSERT_EQ(rows.size(), 1u + 42u + 2u);
    const double receipts40 = 39 * 40 / 2.0;  // receipts 1..39 and the payment of 5
    EXPECT_EQ(rows[41].text, QStringLiteral("PRIJENOS NA STRANICU 2"));
    EXPECT_EQ(rows[41].page, 1);
    EXPECT_DOUBLE_EQ(rows[41].receipts, receipts40);
    EXPECT_DOUBLE_EQ(rows[41].payments, 5);
    EXPECT_DOUBLE_EQ(rows[41].balance, receipts40 - 5);
    EXPECT_EQ(rows[42].text, QStringLiteral("DONOS SA STRANE 1"));
    EXPECT_EQ(rows[42].page, 2);
    EXPECT_DOUBLE_EQ(rows[42].balance, rows[41].balance);
    EXPECT_EQ(rows[43].rbr.toInt(), 41);
    EXPECT_EQ(rows[43].page, 2);
    EXPECT_EQ(rows.back().rbr.toInt(), 42);
}

// Each workstation builds and prints its own rows: a build of one leaves the other's alone.
TEST_F(CashBook, TwoWorkstationsBuildTheirOwnRows) {
    auto first = StartSession(1);
    auto second = StartSession(2);
    ASSERT_NE(first->sessionCode, second->sessionCode);
    AddVoucher(first->Db(), kReceipt, 1, first->businessYear, 1, QDate(2026, 1, 5), 10);
    AddVoucher(first->Db(), kReceipt, 2, first->businessYear, 1, QDate(2026, 1, 5), 20);
    AddVoucher(first->Db(), kReceipt, 2, first->businessYear, 2, QDate(2026, 1, 6), 30);
    BuildCashBookReport(first->Db(), first->sessionCode, 1, first->businessYear, QDate(2026, 1, 1),
                        QDate(2026, 12, 31));
    BuildCashBookReport(second->Db(), second->sessionCode, 2, second->businessYear,
                        QDate(2026, 1, 1), QDate(2026, 12, 31));
    EXPECT_EQ(ReportRows(first->Db(), first->sessionCode).size(), 2u);
    EXPECT_EQ(ReportRows(first->Db(), second->sessionCode).size(), 3u);
    // A rebuild replaces only the builder's own rows.
    BuildCashBookReport(first->Db(), first->sessionCode, 1, first->businessYear, QDate(2026, 2, 1),
                        QDate(2026, 12, 31));
    EXPECT_EQ(ReportRows(first->Db(), first->sessionCode).size(), 1u);
    EXPECT_EQ(ReportRows(first->Db(), second->sessionCode).size(), 3u);
}

TEST(ReportRangeDialog, PresetsAndChecks) {
    EXPECT_EQ(reports::DefaultRangeFrom(2026), QDate(2026, 1, 1));
    EXPECT_EQ(reports::DefaultRangeTo(2026, QDate(2026, 5, 17)), QDate(2026, 5, 17));
    EXPECT_EQ(reports::DefaultRangeTo(2025, QDate(2026, 5, 17)), QDate(2025, 12, 31));
    EXPECT_EQ(reports::DefaultRangeTo(2027, QDate(2026, 5, 17)), QDate(2027, 12, 31));
    EXPECT_EQ(reports::DateArgs(QDate(2026, 3, 9)), QStringLiteral("2026,3,9"));

    ScriptedPrompter prompter;
    reports::RangeInput input = Dates(QStringLiteral("01.01.2026"), QDate(2026, 1, 1),
                                      QStringLiteral("31.03.2026"), QDate(2026, 3, 31));
    const auto range = reports::AcceptRange(input, prompter);
    ASSERT_TRUE(range);
    EXPECT_FALSE(range->cancelled);
    EXPECT_EQ(range->fromText, QStringLiteral("01.01.2026"));
    EXPECT_EQ(range->toDateArgs, QStringLiteral("2026,3,31"));
    EXPECT_FALSE(range->first);
    EXPECT_TRUE(prompter.Messages().isEmpty());

    input.to = QDate();  // the date box could not read its text
    EXPECT_FALSE(reports::AcceptRange(input, prompter));
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Ograničenja nisu ispravno upisana."));
}

// The menu command end to end: range, work table, report with its sub-report, as PDF.
TEST_F(CashBook, CashBookReportAsPdf) {
    auto session = StartSession(1);
    Database& db = session->Db();
    db.Exec(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Obrt Đurđa Čavić', "
                       "\"OIB\" = '12345678903' WHERE \"ID\" = 1"));
    for (int i = 1; i <= 45; ++i) {
        AddVoucher(db, kReceipt, 1, session->businessYear, i, QDate(2026, 1, 1).addDays(i / 3),
                   100 + i, QStringLiteral("Kupac %1").arg(i), QStringLiteral("Račun %1").arg(i));
    }
    AddVoucher(db, kPayment, 1, session->businessYear, 1, QDate(2026, 1, 2), 1234.5,
               QStringLiteral("Kod Ane's"), QStringLiteral("Najam"));
    ScriptedPrompter quiet;
    const auto range = reports::AcceptRange(Dates(QStringLiteral("1.1.2026"), QDate(2026, 1, 1),
                                                  QStringLiteral("31.3.2026"), QDate(2026, 3, 31)),
                                            quiet);
    ASSERT_TRUE(range);
    const reports::ReportRequest request = PrepareCashBookReport(*session, *range);
    EXPECT_EQ(request.title, QStringLiteral("Blagajnički izvještaj"));
    ASSERT_EQ(request.formulas.size(), 1u);
    EXPECT_EQ(request.formulas[0].second,
              QStringLiteral("Blagajnički izvještaj od 1.1.2026 do 31.3.2026"));
    ASSERT_EQ(request.subreportSelections.size(), 1u);
    EXPECT_EQ(request.subreportSelections[0].second.ToText(),
              QStringLiteral("{Query blagajnički izvještaj sumarno.Skladiste}=1 AND "
                             "{Query blagajnički izvještaj sumarno.Godina}=2026 AND "
                             "{Query blagajnički izvještaj sumarno.Datum}>=DATE(2026,1,1) AND "
                             "{Query blagajnički izvještaj sumarno.Datum}<=DATE(2026,3,31)"));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("blag.pdf"));
    reports::ReportEngine engine(db);
    const int pages = engine.ToPdf(request, pdf);
    test::KeepPdf(pdf, QStringLiteral("blag_izv.pdf"));
    EXPECT_EQ(pages, test::PdfPages(pdf));
    ASSERT_GE(pages, 2);
    const QString page1 = test::PdfPageText(pdf, 1);
    const QString page2 = test::PdfPageText(pdf, 2);
    EXPECT_TRUE(page1.contains(QStringLiteral("Obrt Đurđa Čavić"))) << page1.toStdString();
    EXPECT_TRUE(page1.contains(QStringLiteral("Blagajnički izvještaj od 1.1.2026 do 31.3.2026")));
    EXPECT_TRUE(page1.contains(QStringLiteral("DONOS SA STRANE 0")));
    EXPECT_TRUE(page1.contains(QStringLiteral("Isplatnica 1 - Kod Ane's - Najam")));
    EXPECT_TRUE(page1.contains(QStringLiteral("Stranica 1 od ") + QString::number(pages)));
    // Receipts 1..39 and the payment are the first 40 bookings; the carry repeats their sums.
    const QString carried = QStringLiteral("4.680,00");  // 100·39 + 780
    EXPECT_TRUE(page1.contains(QStringLiteral("PRIJENOS NA STRANICU 2")));
    EXPECT_TRUE(page1.contains(carried)) << page1.toStdString();
    EXPECT_TRUE(page2.contains(QStringLiteral("DONOS SA STRANE 1")));
    EXPECT_TRUE(page2.contains(QStringLiteral("R.br.")));  // column headings on every page
    EXPECT_TRUE(page2.contains(QStringLiteral("Uplatnica 45 - Kupac 45 - Račun 45")));
    const QString all = test::PdfText(pdf);
    // Totals of the bookings alone (carry rows are not counted again): 4500 + 1035, 1234.50.
    EXPECT_TRUE(all.contains(QStringLiteral("UKUPNO"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("5.535,00")));
    EXPECT_TRUE(all.contains(QStringLiteral("4.300,50")));
    EXPECT_TRUE(all.contains(QStringLiteral("Promet po danima")));
    EXPECT_TRUE(all.contains(QStringLiteral("02.01.2026")));
}

// An accepted entry is stored as typed and prints with its words.
TEST_F(CashBook, VoucherPrintsWithItsWords) {
    auto session = StartSession(1);
    VoucherEntry entry(*session, kReceipt, prompter, QDate(2026, 3, 2));
    entry.party = QStringLiteral("Marko Marić");
    entry.purpose = QStringLiteral("Povrat pozajmice");
    entry.amountText = QStringLiteral("1234,56");
    entry.AmountChanged();
    ASSERT_TRUE(entry.Accept());
    const auto list = ListVouchers(session->Db(), kReceipt, 1, session->businessYear);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].purpose, QStringLiteral("Povrat pozajmice"));
    EXPECT_DOUBLE_EQ(list[0].amount, 1234.56);
    EXPECT_TRUE(ListVouchers(session->Db(), kPayment, 1, session->businessYear).empty());
    AddVoucher(session->Db(), kReceipt, 1, session->businessYear, 2, QDate(2026, 3, 2), 5);
    const auto request = VoucherReportRequest(*session, kReceipt, 1);
    EXPECT_EQ(request.title, QStringLiteral("Ispis blagajničke uplatnice br. 1"));
    EXPECT_EQ(request.reportFile, QStringLiteral("blag_uplatnica.rpt"));
    EXPECT_EQ(
        request.selection.ToText(),
        QStringLiteral("{BLAGAJNA_UPLATNICE.SKLADISTE}=1 AND {BLAGAJNA_UPLATNICE.GODINA}=2026 "
                       "AND {BLAGAJNA_UPLATNICE.BROJ}=1"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("u.pdf"));
    reports::ReportEngine engine(session->Db());
    EXPECT_EQ(engine.ToPdf(request, pdf), 1);
    const QString text = test::PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("BLAGAJNIČKA UPLATNICA")));
    EXPECT_TRUE(text.contains(QStringLiteral("broj 1/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("Marko Marić")));
    EXPECT_TRUE(text.contains(QStringLiteral("1.234,56 EUR")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("jednatisućadvijestotridesetčetiri EUR i pedesetšest centi")));
    EXPECT_TRUE(text.contains(QStringLiteral("Datum: 02.03.2026")));
    // Croatian letters come out of the PDF as written because the font is embedded with it.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    fonts.waitForFinished(60000);
    const QStringList lines =
        QString::fromUtf8(fonts.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QStringList dejaVu = lines.filter(QStringLiteral("DejaVuSans"));
    ASSERT_FALSE(dejaVu.isEmpty());
    for (const QString& line : dejaVu) {
        EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral("Identity-H\\s+yes"))))
            << line.toStdString();
    }

    const auto payment = VoucherReportRequest(*session, kPayment, 4);
    EXPECT_EQ(payment.title, QStringLiteral("Ispis blagajničke isplatnice br. 4"));
    EXPECT_EQ(payment.reportFile, QStringLiteral("blag_isplatnica.rpt"));
}

}  // namespace
}  // namespace zodra::cashbook
