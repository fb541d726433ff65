// The book of receipts and expenditures: the entry's checks on both sides with their exact
// messages, the totals, the paged print's carries at page boundaries, the daily takings entry
// with a ratio that cannot be taken, and the proposals for R-2 collections and payments.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "books/KpiBook.h"
#include "books/KpiDailySales.h"
#include "books/KpiEntryForm.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

namespace zodra::books {
namespace {

constexpr int kYear = 2026;

class KpiBook : public test::CompanyTest {
protected:
    static KpiEntry Entry(int number, const QDate& date, double cash, double spent = 0) {
        KpiEntry e;
        e.number = number;
        e.date = date;
        e.voucher = QStringLiteral("T-%1").arg(number);
        e.description = QStringLiteral("Stavka %1").arg(number);
        e.type = 1;
        e.amounts[kCashReceipts] = cash;
        e.amounts[kCashExpenditures] = spent;
        return e;
    }
    // The rows of the session's print: page, number (0 on carry rows), text, cash receipts,
    // total receipts.
    struct PrintRow {
        int page;
        int number;
        QString text;
        double cash;
        double spent;
    };
    static std::vector<PrintRow> Printed(Database& db, int session) {
        Statement s(db, QStringLiteral("SELECT \"BROJ_STRANICE\", COALESCE(\"REDNI_BROJ\", 0), "
                                       "\"OPIS_ISPRAVA\", \"PRIMICI_U_GOTOVINI\", "
                                       "\"IZDACI_U_GOTOVINI\" FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA\" "
                                       "WHERE \"SESIJA\" = ? ORDER BY \"ID\""));
        s.Exec({session});
        std::vector<PrintRow> rows;
        while (s.Next()) {
            rows.push_back({s.Int(0), s.Int(1), s.Text(2), s.Double(3), s.Double(4)});
        }
        return rows;
    }
};

TEST_F(KpiBook, EntryChecksRefuseOnlyWhatBreaksTheirRule) {
    auto db = Open();
    const QDate day(kYear, 3, 2);
    KpiEntry e = Entry(1, day, 10);
    e.voucher = QString(10, u'9');
    e.description = QString(255, u'x');
    InsertKpiEntry(*db, kYear, e);  // both at their limit: written

    KpiEntry longVoucher = Entry(2, day, 10);
    longVoucher.voucher = QString(11, u'9');
    EXPECT_REFUSED(InsertKpiEntry(*db, kYear, longVoucher),
                   QStringLiteral("Broj temeljnice je duži od 10 znakova !"));
    KpiEntry longText = Entry(2, day, 10);
    longText.description = QString(256, u'x');
    EXPECT_REFUSED(InsertKpiEntry(*db, kYear, longText),
                   QStringLiteral("Opis je duži od 255 znakova !"));
    EXPECT_REFUSED(InsertKpiEntry(*db, kYear, Entry(1, day, 5)),
                   QStringLiteral("Stavka pod ovim rednim brojem je već upisana !"));
    KpiEntry notANumber = Entry(2, day, std::numeric_limits<double>::quiet_NaN());
    EXPECT_THROW(InsertKpiEntry(*db, kYear, notANumber), UserError);
    KpiEntry huge = Entry(2, day, 0, 1e13);
    EXPECT_THROW(InsertKpiEntry(*db, kYear, huge), UserError);
    EXPECT_EQ(ListKpiEntries(*db, kYear).size(), 1u);

    // The same number in another year is another entry.
    InsertKpiEntry(*db, kYear + 1, Entry(1, QDate(kYear + 1, 1, 5), 3));
    EXPECT_EQ(NextKpiNumber(*db, kYear), 2);
    EXPECT_EQ(NextKpiNumber(*db, kYear + 1), 2);
    EXPECT_TRUE(DeleteKpiEntry(*db, kYear, 1));
    EXPECT_FALSE(DeleteKpiEntry(*db, kYear, 1));
    EXPECT_EQ(NextKpiNumber(*db, kYear), 1);
}

TEST_F(KpiBook, TotalsAreComputedNotTaken) {
    auto db = Open();
    KpiEntry e = Entry(1, QDate(kYear, 1, 7), 100);
    e.amounts[kBankReceipts] = 50;
    e.amounts[kReceiptsInKind] = 5;
    e.amounts[kReceiptsVat] = 31;
    e.amounts[kReceiptsTotal] = 999;  // typed over: computed again
    e.amounts[kCashExpenditures] = 40;
    e.amounts[kBankExpenditures] = 20;
    e.amounts[kExpendituresInKind] = 2;
    e.amounts[kExpendituresVat] = 12;
    e.amounts[kArticle19] = 7;
    InsertKpiEntry(*db, kYear, e);
    const KpiEntry stored = *FindKpiEntry(*db, kYear, 1);
    EXPECT_DOUBLE_EQ(stored.amounts[kReceiptsTotal], 124);       // 100 + 50 + 5 − 31
    EXPECT_DOUBLE_EQ(stored.amounts[kAllowedExpenditures], 43);  // 40 + 20 + 2 − 12 − 7
}

TEST_F(KpiBook, FormKeepsWhatWasTypedAndTellsWhatIsWrong) {
    auto session = StartSession(1);
    session->businessYear = kYear;
    KpiEntryForm form(*session, prompter, QDate(kYear, 4, 1));
    EXPECT_EQ(form.numberText, QStringLiteral("1"));

    form.numberText = QStringLiteral("abc");
    EXPECT_FALSE(form.NumberLeft());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(form.numberText, QStringLiteral("1"));

    form.amountTexts[kCashReceipts] = QStringLiteral("12,5x");
    EXPECT_FALSE(form.AmountLeft(kCashReceipts));
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu."));
    EXPECT_EQ(form.amountTexts[kCashReceipts], QStringLiteral("0"));
    form.amountTexts[kCashReceipts] = QStringLiteral("125,00");
    form.amountTexts[kReceiptsVat] = QStringLiteral("25");
    EXPECT_TRUE(form.AmountLeft(kReceiptsVat));
    EXPECT_EQ(form.amountTexts[kReceiptsTotal], QStringLiteral("100,00"));

    form.voucher = QStringLiteral("12345678901");
    form.description = QStringLiteral("Uplata");
    prompter.Clear();
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Broj temeljnice je duži od 10 znakova !"));
    EXPECT_EQ(form.voucher, QStringLiteral("12345678901"));  // nothing typed is lost
    form.voucher = QStringLiteral("1234567890");
    form.description = QString(256, u'o');
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Opis je duži od 255 znakova !"));
    form.description = QStringLiteral("Uplata");

    // Another workstation takes number 1 after it was proposed here.
    auto other = Open();
    InsertKpiEntry(*other, kYear, Entry(1, QDate(kYear, 4, 1), 1));
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Stavka pod ovim rednim brojem je već upisana !"));
    EXPECT_EQ(form.numberText, QStringLiteral("2"));
    ASSERT_TRUE(form.Accept());
    const KpiEntry stored = *FindKpiEntry(session->Db(), kYear, 2);
    EXPECT_DOUBLE_EQ(stored.amounts[kCashReceipts], 125);
    EXPECT_DOUBLE_EQ(stored.amounts[kReceiptsTotal], 100);
    EXPECT_EQ(stored.voucher, QStringLiteral("1234567890"));
}

TEST_F(KpiBook, PrintCarriesTheSumsAcrossPageBoundaries) {
    auto db = Open();
    // 9 entries fill page 1 exactly: page 2 holds only its carry row.
    for (int n = 1; n <= 9; ++n) {
        InsertKpiEntry(*db, kYear, Entry(n, QDate(kYear, 2, n), n * 10.01, n == 5 ? 3.3 : 0));
    }
    const KpiReportTotals nine =
        BuildKpiReport(*db, 7, kYear, QDate(kYear, 1, 1), QDate(kYear, 12, 31));
    EXPECT_EQ(nine.entries, 9);
    EXPECT_EQ(nine.pages, 2);
    std::vector<PrintRow> rows = Printed(*db, 7);
    ASSERT_EQ(rows.size(), 12u);  // opening, 9 entries, two carry rows
    EXPECT_EQ(rows.front().text, QStringLiteral("DONOS SA STRANE 0"));
    EXPECT_EQ(rows[10].page, 1);
    EXPECT_EQ(rows[10].text, QStringLiteral("PRIJENOS NA STRANICU 2"));
    EXPECT_EQ(rows[11].page, 2);
    EXPECT_EQ(rows[11].text, QStringLiteral("DONOS SA STRANE 1"));
    EXPECT_DOUBLE_EQ(rows[11].cash, 450.45);  // 10.01 × (1 + … + 9)
    EXPECT_DOUBLE_EQ(rows[11].spent, 3.3);

    // 20 entries: each page's own entries sum to the difference of its carries.
    for (int n = 10; n <= 20; ++n) {
        InsertKpiEntry(*db, kYear, Entry(n, QDate(kYear, 3, n), n * 0.07));
    }
    const KpiReportTotals twenty =
        BuildKpiReport(*db, 7, kYear, QDate(kYear, 1, 1), QDate(kYear, 12, 31));
    EXPECT_EQ(twenty.pages, 3);
    rows = Printed(*db, 7);
    std::map<int, MoneyTotal> pageSums;
    std::map<int, double> carriedIn;
    std::map<int, double> carriedOut;
    double lastNumber = 0;
    for (const PrintRow& r : rows) {
        if (r.number > 0) {
            EXPECT_GT(r.number, lastNumber);  // the entries' own numbers, in order
            lastNumber = r.number;
            pageSums[r.page] += r.cash;
        } else if (r.text.startsWith(QStringLiteral("DONOS"))) {
            carriedIn[r.page] = r.cash;
        } else {
            carriedOut[r.page] = r.cash;
        }
    }
    ASSERT_EQ(carriedOut.size(), 2u);
    for (const auto& [page, out] : carriedOut) {
        EXPECT_TRUE(MoneyEqual(out - carriedIn[page], pageSums[page].Value())) << page;
        EXPECT_DOUBLE_EQ(carriedIn[page + 1], out) << page;
    }
    EXPECT_TRUE(MoneyEqual(twenty.sums[kCashReceipts], 450.45 + 0.07 * (10 + 20) * 11 / 2));

    // The numbers and dates of the range choose the entries; another session's rows stay.
    const KpiReportTotals some =
        BuildKpiReport(*db, 8, kYear, QDate(kYear, 2, 3), QDate(kYear, 12, 31), 5, 12);
    EXPECT_EQ(some.entries, 8);  // 5 … 12
    EXPECT_EQ(Printed(*db, 7).size(), rows.size());
}

// Retail invoice 1 of sales terms 1 with one line, collected in cash.
void RetailInvoice(Database& db, int number, double net, double gross, const QDate& collected,
                   double paid, bool withLines = true) {
    db.Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                           "RACUNA\", \"DATUM\", \"UVJET PRODAJE\") VALUES (1, 1, ?, ?, ?, 1)"),
            {kYear, number, collected});
    if (withLines) {
        db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                               "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", \"UKUPNO_\") "
                               "VALUES (1, 1, ?, ?, 'ART', ?, ?)"),
                {kYear, number, net, gross});
    }
    db.Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj "
                           "računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES (1, 1, ?, ?, "
                           "'gotovina', ?, ?)"),
            {kYear, number, collected, paid});
}

TEST_F(KpiBook, DailyTakingsWithoutLinesAreWrittenWithTaxZero) {
    auto db = Open();
    const QDate day(kYear, 5, 4);
    RetailInvoice(*db, 1, 0, 0, day, 40, false);
    ASSERT_TRUE(RebuildDailyCashSales(*db, kYear, day));
    const KpiEntry e = ListKpiEntries(*db, kYear).front();
    EXPECT_DOUBLE_EQ(e.amounts[kCashReceipts], 40);
    EXPECT_DOUBLE_EQ(e.amounts[kReceiptsTotal], 40);
    EXPECT_DOUBLE_EQ(e.amounts[kReceiptsVat], 0);
    EXPECT_FALSE(std::isnan(e.amounts[kReceiptsTotal]));

    // A second invoice of the day: the same entry, the ratio over both invoices' lines.
    RetailInvoice(*db, 2, 80, 100, day, 100);
    EXPECT_EQ(RebuildDailyCashSales(*db, kYear, day), e.number);
    const KpiEntry again = *FindKpiEntry(*db, kYear, e.number);
    EXPECT_DOUBLE_EQ(again.amounts[kCashReceipts], 140);
    EXPECT_DOUBLE_EQ(again.amounts[kReceiptsTotal], 112);  // 140 × 80 / 100
    EXPECT_TRUE(MoneyEqual(again.amounts[kReceiptsVat], 28));
    EXPECT_EQ(ListKpiEntries(*db, kYear).size(), 1u);

    // Collections removed: the day keeps no entry.
    db->Exec(QStringLiteral("DELETE FROM \"NAPLATA\""));
    EXPECT_FALSE(RebuildDailyCashSales(*db, kYear, day));
    EXPECT_TRUE(ListKpiEntries(*db, kYear).empty());
}

TEST_F(KpiBook, ProposalsScaleByTheInvoice) {
    auto db = Open();
    db->Exec(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\") VALUES (77, 'Kod "
                       "Ane''s')"));
    db->Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                            "RACUNA\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\") VALUES (1, 2, ?, 15, "
                            "77, 2)"),
             {kYear});
    db->Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                            "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", \"UKUPNO_\") VALUES "
                            "(1, 2, ?, 15, 'ART', 200, 250)"),
             {kYear});
    const KpiEntry c = ProposeCollectionEntry(*db, 1, 2, kYear, 15, QDate(kYear, 6, 1), 125,
                                              QStringLiteral("žiro račun"));
    EXPECT_EQ(c.description, QStringLiteral("Kod Ane's, rn.15"));
    EXPECT_DOUBLE_EQ(c.amounts[kBankReceipts], 125);
    EXPECT_DOUBLE_EQ(c.amounts[kReceiptsVat], 25);
    EXPECT_DOUBLE_EQ(c.amounts[kReceiptsTotal], 100);
    EXPECT_DOUBLE_EQ(c.amounts[kCashReceipts], 0);

    db->Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", \"Redni "
                            "broj\", \"Račun broj\", \"Šifra dobavljača\", \"Osnovica25\", "
                            "\"PretporezUkupno25\", \"PretporezOdbiti25\", \"Osnovica13\", "
                            "\"PretporezUkupno13\", \"PretporezOdbiti13\", \"Iznos računa sa "
                            "porezom\") VALUES (1, ?, 3, 'U-9', 77, 400, 100, 80, 100, 13, 13, "
                            "613)"),
             {kYear});
    const KpiEntry p = ProposeSupplierPaymentEntry(*db, 1, kYear, 3, QDate(kYear, 6, 2), 250,
                                                   QStringLiteral("gotovina"));
    EXPECT_EQ(p.description, QStringLiteral("Kod Ane's, rn.U-9"));
    EXPECT_DOUBLE_EQ(p.amounts[kCashExpenditures], 250);
    // The deductible tax of every rate column, 93.00, scaled by 250 / 613.
    EXPECT_NEAR(p.amounts[kExpendituresVat], 37.93, 1e-9);
    EXPECT_NEAR(p.amounts[kAllowedExpenditures], 212.07, 1e-9);

    // An invoice total of 0: the amount with tax 0, never a division by zero.
    db->Exec(
        QStringLiteral("UPDATE \"KNJIGE_ULAZNIH_RACUNA\" SET \"Iznos računa sa porezom\" = "
                       "0"));
    const KpiEntry zero = ProposeSupplierPaymentEntry(*db, 1, kYear, 3, QDate(kYear, 6, 2), 250,
                                                      QStringLiteral("u naravi"));
    EXPECT_DOUBLE_EQ(zero.amounts[kExpendituresInKind], 250);
    EXPECT_DOUBLE_EQ(zero.amounts[kExpendituresVat], 0);
    EXPECT_REFUSED(ProposeSupplierPaymentEntry(*db, 1, kYear, 4, QDate(kYear, 6, 2), 1,
                                               QStringLiteral("gotovina")),
                   QStringLiteral("Ne postoji ulazni račun pod rednim brojem 4."));
}

}  // namespace
}  // namespace zodra::books
