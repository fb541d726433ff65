// Collections and partner payments: the limits at the cent on both sides of each guard, the
// checks with their exact messages before anything is written, the deletion rule, the R-2 book
// in the same transaction, and several processes closing one invoice beside a compaction.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "books/KpiBook.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "payments/CollectionBook.h"
#include "payments/PartnerCard.h"
#include "payments/PaymentBook.h"
#include "support/Refused.h"
#include "support/TestCompany.h"
#include "support/Zodractl.h"

namespace zodra::payments {
namespace {

constexpr int kYear = 2026;
constexpr int kCustomer = 77;
constexpr int kOther = 78;

class Collections : public test::CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        auto db = Open();
        db->Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\") VALUES (77, "
                           "'Kod Ane''s'), (78, 'Drugi d.o.o.')"));
        db->Exec(
            QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"SIFRA\", \"NAZIV\") VALUES "
                           "(3, 'Visa')"));
    }
    // A posted invoice of book 2 (wholesale terms 2 unless given) with one line of that total
    // and a net of 80 % of it.
    void AddInvoice(Database& db, int number, double total, int customer = kCustomer,
                    bool cancelled = false, int terms = 2, int book = 2) {
        db.Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                               "\"BROJ RACUNA\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                               "\"DATUM\", \"STORNO\") VALUES (1, ?, ?, ?, ?, ?, ?, ?)"),
                {book, kYear, number, customer, terms, QDate(kYear, 3, 1), cancelled});
        db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                               "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", "
                               "\"UKUPNO_\") VALUES (1, ?, ?, ?, 'ART', ?, ?)"),
                {book, kYear, number, total * 0.8, total});
    }
    static PaymentEntry Entry(double amount, const QString& model = QStringLiteral("žiro račun"),
                              std::optional<int> card = std::nullopt) {
        return {QDate(kYear, 3, 10), model, card, QStringLiteral("Izvod 5"), amount};
    }
    static InvoiceKey Invoice(int number, int book = 2) { return {1, book, kYear, number}; }
    static int Count(Database& db, const char* table) {
        return db
            .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromUtf8(table)))
            .toInt();
    }
};

TEST_F(Collections, AnInvoiceIsCollectedToTheCentAndNeverBeyond) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 100);
    RecordCollection(*s, Invoice(1), Entry(60));
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(40.01)),
                   "S ovim iznosom račun bi bio preplaćen. Nije dozvoljeno knjiženje.");
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(40.01), EntryWindow::PaymentAndClose),
                   "S ovim iznosom račun bi bio preplaćen. Nije dozovljeno knjiženje.");
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 1);
    EXPECT_EQ(Count(s->Db(), "NAPLATA"), 1);
    const RecordResult r = RecordCollection(*s, Invoice(1), Entry(40.004));  // 40.00 at the cent
    EXPECT_FALSE(r.bookEntry);                                               // not an R-2 company
    const InvoiceBalance b = InvoiceBalanceOf(s->Db(), Invoice(1));
    EXPECT_EQ(CollectedText(b), QStringLiteral("Naplaćeno: 100,00"));
    EXPECT_EQ(OwedText(b), QStringLiteral("Dugovanje: 0,00"));
    EXPECT_EQ(s->Db()
                  .Scalar(QStringLiteral("SELECT \"Partner\" FROM \"UPLATE\" WHERE \"Sifra\" = ?"),
                          {r.payment})
                  .toInt(),
              kCustomer);
    // A fully collected invoice leaves the customer's open list; one without collections stays.
    AddInvoice(s->Db(), 2, 0);
    const TableData open = OpenInvoices(s->Db(), kCustomer, 2);
    ASSERT_EQ(open.RowCount(), 1);
    EXPECT_EQ(open.Value(0, 0).toString(), QStringLiteral("2/2026-Skladište 1"));
}

TEST_F(Collections, EveryCheckRefusesBeforeAnythingIsWritten) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 100);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(10, QString())),
                   "Izaberite model plaćanja.");
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(10, QStringLiteral("kartica"))),
                   "Tip kreditne kartice mora biti izabran.");
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(10, QStringLiteral("kartica"), 99)),
                   "Tip kreditne kartice mora biti izabran.");
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(10, QStringLiteral("kartica")),
                                    EntryWindow::PaymentAndClose),
                   "Tip kreditne kartice mora biti izabran !");
    EXPECT_REFUSED(RecordCollection(*s, Invoice(1), Entry(0.004), EntryWindow::PaymentAndClose),
                   "Iznos nesmije biti nula !");
    EXPECT_REFUSED(RecordCustomerPayment(*s, std::nullopt, Entry(10)), "Nije izabran kupac !");
    EXPECT_REFUSED(RecordCustomerPayment(*s, kCustomer, Entry(10, QStringLiteral("virman"))),
                   "Tip plaćanja mora biti izabran !");
    EXPECT_THROW(RecordCollection(*s, Invoice(1), Entry(nan)), UserError);
    EXPECT_THROW(RecordCustomerPayment(*s, kCustomer, Entry(inf)), UserError);
    EXPECT_THROW(RecordCustomerPayment(*s, kCustomer, Entry(1e13)), UserError);
    EXPECT_REFUSED(RecordCollection(*s, Invoice(9), Entry(10)),
                   "Ne postoji račun broj 9 u knjizi IRA 2.");
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 0);
    EXPECT_EQ(Count(s->Db(), "NAPLATA"), 0);
    // The card type given: both rows carry it.
    RecordCollection(*s, Invoice(1), Entry(10, QStringLiteral("kartica"), 3));
    EXPECT_EQ(s->Db()
                  .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\" u JOIN \"NAPLATA\" n "
                                         "ON n.\"Sifra uplate\" = u.\"Sifra\" WHERE "
                                         "u.\"Tip kartice\" = 3 AND n.\"Tip kartice\" = 3"))
                  .toInt(),
              1);
}

TEST_F(Collections, CancelledInvoicesAreNeverListedNorCollected) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 100);
    AddInvoice(s->Db(), 2, 50, kCustomer, true);
    const TableData book = BookInvoices(s->Db(), 2, kYear);
    ASSERT_EQ(book.RowCount(), 1);
    EXPECT_EQ(book.Value(0, 2).toInt(), 1);
    EXPECT_DOUBLE_EQ(book.Value(0, 6).toDouble(), 100);
    EXPECT_EQ(OpenInvoices(s->Db(), kCustomer, 2).RowCount(), 1);
    EXPECT_REFUSED(RecordCollection(*s, Invoice(2), Entry(10)), "Račun broj 2 je storniran.");
}

TEST_F(Collections, ALaterClosingIsCoveredByWhatIsLeftOfThePayment) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 70);
    AddInvoice(s->Db(), 2, 100);
    AddInvoice(s->Db(), 3, 500, kOther);
    const int payment = RecordCustomerPayment(*s, kCustomer, Entry(100)).payment;
    EXPECT_REFUSED(CloseLater(*s, kCustomer, Invoice(1), payment, 0), "Iznos nesmije biti nula !");
    EXPECT_REFUSED(CloseLater(*s, std::nullopt, Invoice(1), payment, 5), "Nije izabran kupac !");
    EXPECT_REFUSED(CloseLater(*s, kCustomer, std::nullopt, payment, 5), "Nije izabran račun !");
    EXPECT_REFUSED(CloseLater(*s, kCustomer, Invoice(1), std::nullopt, 5), "Nema uplata !");
    // Another customer's invoice is not this payment's to close.
    EXPECT_REFUSED(CloseLater(*s, kCustomer, Invoice(3), payment, 5),
                   "Nema pokrića za ovaj iznos zatvaranja !");
    EXPECT_REFUSED(CloseLater(*s, kCustomer, Invoice(1), payment, 70.01),
                   "S ovim iznosom račun bi bio preplaćen. Nije dozovljeno knjiženje.");
    CloseLater(*s, kCustomer, Invoice(1), payment, 70);
    EXPECT_REFUSED(CloseLater(*s, kCustomer, Invoice(2), payment, 30.01),
                   "Nema pokrića za ovaj iznos zatvaranja !");
    CloseLater(*s, kCustomer, Invoice(2), payment, 30);
    const TableData payments = CustomerPayments(s->Db(), kCustomer);
    ASSERT_EQ(payments.RowCount(), 1);
    EXPECT_DOUBLE_EQ(payments.Value(0, 3).toDouble(), 100);  // Zatvoreno:
    // The closing copies the payment's model, date and text.
    const TableData rows = InvoiceCollections(s->Db(), Invoice(2));
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Value(0, 0).toInt(), payment);
    EXPECT_EQ(rows.Value(0, 3).toString(), QStringLiteral("žiro račun"));
    EXPECT_EQ(rows.Value(0, 4).toString(), QStringLiteral("Izvod 5"));
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 1);
}

TEST_F(Collections, ACollectionTakesItsPaymentOnlyWhenThePaymentWasItsAlone) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 200);
    // 50.00 typed with its collection: both go.
    RecordCollection(*s, Invoice(1), Entry(50));
    const int first = InvoiceCollections(s->Db(), Invoice(1)).Value(0, 5).toInt();
    const DeletedCollection both = DeleteCollection(*s, first);
    EXPECT_TRUE(both.found);
    EXPECT_TRUE(both.paymentDeleted);
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 0);
    // 50.00 closed from a payment of 80.00: the payment stays with its 80.00.
    const int payment = RecordCustomerPayment(*s, kCustomer, Entry(80)).payment;
    CloseLater(*s, kCustomer, Invoice(1), payment, 50);
    const int second = InvoiceCollections(s->Db(), Invoice(1)).Value(0, 5).toInt();
    EXPECT_FALSE(DeleteCollection(*s, second).paymentDeleted);
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 1);
    EXPECT_EQ(Count(s->Db(), "NAPLATA"), 0);
    EXPECT_FALSE(DeleteCollection(*s, second).found);
    // Deleting the payment takes every collection with it.
    CloseLater(*s, kCustomer, Invoice(1), payment, 40);
    CloseLater(*s, kCustomer, Invoice(1), payment, 40);
    EXPECT_EQ(DeletePayment(*s, payment), 2);
    EXPECT_EQ(Count(s->Db(), "UPLATE"), 0);
    EXPECT_EQ(Count(s->Db(), "NAPLATA"), 0);
    EXPECT_FALSE(DeletePayment(*s, payment));
}

TEST_F(Collections, ForR2EveryPaymentAndDeletionIsInTheBook) {
    Open()->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = 'R-2'"));
    auto s = StartSession();
    ASSERT_TRUE(s->options.r2);
    AddInvoice(s->Db(), 1, 125);                         // wholesale: its own entry
    AddInvoice(s->Db(), 5, 50, kCustomer, false, 1, 1);  // retail: the day's takings
    const RecordResult r = RecordCollection(*s, Invoice(1), Entry(125));
    ASSERT_TRUE(r.bookEntry);
    auto entry = books::FindKpiEntry(s->Db(), s->businessYear, *r.bookEntry);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->description, QStringLiteral("Kod Ane's, rn.1"));
    EXPECT_DOUBLE_EQ(entry->amounts[books::kBankReceipts], 125);
    EXPECT_DOUBLE_EQ(entry->amounts[books::kReceiptsVat], 25);
    RecordCollection(*s, Invoice(5, 1), Entry(50, QStringLiteral("gotovina")));
    const RecordResult p = RecordCustomerPayment(*s, kCustomer, Entry(30, QStringLiteral("ček")));
    ASSERT_TRUE(p.bookEntry);
    auto sum = [&](int column) {
        MoneyTotal t;
        for (const books::KpiEntry& e : books::ListKpiEntries(s->Db(), s->businessYear)) {
            t.Add(e.amounts[column]);
        }
        return t.Value();
    };
    EXPECT_DOUBLE_EQ(sum(books::kCashReceipts), 80);  // 50 retail + 30 by cheque
    EXPECT_DOUBLE_EQ(sum(books::kBankReceipts), 125);
    // Every deletion undoes its part: the retail day loses its entry, the others get their
    // counter-entries, and the book's receipts come back to nothing.
    DeletePayment(*s, r.payment);
    DeletePayment(*s, p.payment);
    DeleteCollection(*s, InvoiceCollections(s->Db(), Invoice(5, 1)).Value(0, 5).toInt());
    EXPECT_DOUBLE_EQ(sum(books::kCashReceipts), 0);
    EXPECT_DOUBLE_EQ(sum(books::kBankReceipts), 0);
    EXPECT_DOUBLE_EQ(sum(books::kReceiptsVat), 0);

    // The supplier side: the expenditure with its share of the deductible tax.
    s->Db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                "\"Redni broj\", \"Račun broj\", \"Šifra dobavljača\", "
                                "\"PretporezOdbiti25\", \"Iznos računa sa porezom\") VALUES (1, ?, "
                                "3, 'U-9', 78, 80, 500)"),
                 {kYear});
    const RecordResult u = RecordInputInvoicePayment(*s, {1, kYear, 3}, Entry(250));
    ASSERT_TRUE(u.bookEntry);
    EXPECT_DOUBLE_EQ(books::FindKpiEntry(s->Db(), s->businessYear, *u.bookEntry)
                         ->amounts[books::kExpendituresVat],
                     40);
    DeleteSupplierPayment(*s, u.payment);
    EXPECT_DOUBLE_EQ(sum(books::kBankExpenditures), 0);
}

TEST_F(Collections, InputInvoicesArePaidToTheirTotalWithTheirPurpose) {
    auto s = StartSession();
    s->Db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                "\"Redni broj\", \"Račun broj\", \"Šifra dobavljača\", \"Iznos "
                                "računa sa porezom\") VALUES (1, ?, 3, 'U-9', 78, 100)"),
                 {kYear});
    const InputInvoiceKey key{1, kYear, 3};
    EXPECT_REFUSED(RecordInputInvoicePayment(*s, key, Entry(10, QStringLiteral("kartica"))),
                   "Izaberite model plaćanja.");
    const int payment = RecordInputInvoicePayment(*s, key, Entry(60)).payment;
    EXPECT_REFUSED(RecordInputInvoicePayment(*s, key, Entry(40.01)),
                   "S ovim iznosom račun bi bio preplaćen. Nije dozvoljeno knjiženje.");
    RecordInputInvoicePayment(*s, key, Entry(40.004), QStringLiteral("Avans"));
    const TableData rows = InputInvoicePayments(s->Db(), key);
    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(rows.Value(0, 5).toString(), QStringLiteral("Plaćanje po računu br. U-9"));
    EXPECT_EQ(rows.Value(1, 5).toString(), QStringLiteral("Avans"));
    EXPECT_EQ(OpenInputInvoices(s->Db(), kOther, 1).RowCount(), 0);
    EXPECT_TRUE(DeleteInputInvoicePayment(*s, rows.Value(0, 6).toInt()).paymentDeleted);
    EXPECT_EQ(s->Db()
                  .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE_URA\" WHERE \"Sifra\" = ?"),
                          {payment})
                  .toInt(),
              0);
    EXPECT_EQ(OpenInputInvoices(s->Db(), kOther, 1).Value(0, 3).toDouble(), 60);
}

// A partner's card: opening balances, invoices (not the cancelled ones) and payments by date
// with the balance carried, what came before the range (a year before too) as one "Donos" row;
// the supplier's the other way round; a warehouse's card only its own.
TEST_F(Collections, ThePartnerCardCarriesTheBalance) {
    auto s = StartSession();
    AddInvoice(s->Db(), 1, 100);
    AddInvoice(s->Db(), 2, 500, kCustomer, true);
    EXPECT_REFUSED(RecordOpeningBalance(*s, false, std::nullopt, OpeningSide::Debit,
                                        QDate(kYear, 1, 1), QString(), 10),
                   "Nije izabran kupac !");
    EXPECT_REFUSED(RecordOpeningBalance(*s, true, kOther, OpeningSide::Credit, QDate(kYear, 1, 1),
                                        QString(), 0),
                   "Iznos nesmije biti nula !");
    const int opening = RecordOpeningBalance(*s, false, kCustomer, OpeningSide::Debit,
                                             QDate(kYear, 1, 1), QStringLiteral("Stanje"), 10.005);
    RecordCollection(*s, Invoice(1), Entry(60));
    const QDate yearStart(kYear, 1, 1);
    const QDate yearEnd(kYear, 12, 31);
    const TableData card = PartnerCard(s->Db(), false, kCustomer, yearStart, yearEnd);
    ASSERT_EQ(card.RowCount(), 3);
    EXPECT_EQ(card.Value(0, 1).toString(), QStringLiteral("Stanje"));
    EXPECT_DOUBLE_EQ(card.Value(1, 2).toDouble(), 100);    // the invoice owed
    EXPECT_DOUBLE_EQ(card.Value(2, 3).toDouble(), 60);     // the payment
    EXPECT_DOUBLE_EQ(card.Value(2, 4).toDouble(), 50.01);  // 10.01 + 100 − 60
    EXPECT_EQ(PartnerCard(s->Db(), false, kCustomer, yearStart, yearEnd, 2).RowCount(), 0);

    // An invoice of the year before: the year's card carries it in as "Donos"; a card over both
    // years lists it; a range ending before March leaves March out.
    s->Db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                                "\"BROJ RACUNA\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                                "\"DATUM\", \"STORNO\") VALUES (1, 2, ?, 1, ?, 2, ?, FALSE)"),
                 {kYear - 1, kCustomer, QDate(kYear - 1, 11, 5)});
    s->Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"UKUPNO_\") "
                                "VALUES (1, 2, ?, 1, 'ART', 20.004)"),
                 {kYear - 1});
    const TableData carried = PartnerCard(s->Db(), false, kCustomer, yearStart, yearEnd);
    ASSERT_EQ(carried.RowCount(), 4);
    EXPECT_EQ(carried.Value(0, 1).toString(), CarriedForwardText());
    EXPECT_EQ(carried.Value(0, 0).toDate(), yearStart);
    EXPECT_DOUBLE_EQ(carried.Value(0, 2).toDouble(), 20);
    EXPECT_DOUBLE_EQ(carried.Value(0, 4).toDouble(), 20);
    EXPECT_DOUBLE_EQ(carried.Value(3, 4).toDouble(), 70.01);
    const TableData both = PartnerCard(s->Db(), false, kCustomer, QDate(kYear - 1, 1, 1), yearEnd);
    ASSERT_EQ(both.RowCount(), 4);
    EXPECT_EQ(both.Value(0, 1).toString(),
              QStringLiteral("Račun 1/2 (skl. 1, %1.)").arg(kYear - 1));
    EXPECT_DOUBLE_EQ(both.Value(3, 4).toDouble(), 70.01);
    const TableData march =
        PartnerCard(s->Db(), false, kCustomer, QDate(kYear, 1, 2), QDate(kYear, 3, 1));
    ASSERT_EQ(march.RowCount(), 2);  // "Donos" of 30.01, the invoice of 1 March
    EXPECT_DOUBLE_EQ(march.Value(0, 4).toDouble(), 30.01);
    EXPECT_DOUBLE_EQ(march.Value(1, 4).toDouble(), 130.01);

    s->Db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                "\"Redni broj\", \"Račun broj\", \"Račun datum\", \"Šifra "
                                "dobavljača\", \"Iznos računa sa porezom\") VALUES (1, ?, 3, "
                                "'U-9', '2026-03-01', 78, 100)"),
                 {kYear});
    RecordInputInvoicePayment(*s, {1, kYear, 3}, Entry(30));
    const TableData supplier = PartnerCard(s->Db(), true, kOther, yearStart, yearEnd);
    ASSERT_EQ(supplier.RowCount(), 2);
    EXPECT_DOUBLE_EQ(supplier.Value(1, 4).toDouble(), -70);  // still owed to the supplier
    EXPECT_EQ(OpeningBalances(s->Db(), false, kYear).RowCount(), 1);
    EXPECT_TRUE(DeleteOpeningBalance(*s, false, opening));
    EXPECT_EQ(OpeningBalances(s->Db(), false, kYear).RowCount(), 0);
    const TableData paid =
        PaymentList(s->Db(), true, QDate(kYear, 1, 1), QDate(kYear, 12, 31), std::nullopt);
    ASSERT_EQ(paid.RowCount(), 1);
    EXPECT_DOUBLE_EQ(paid.Value(0, 6).toDouble(), 30);  // Zatvoreno
}

// Several workstations close the last 40.00 of one invoice at once, as separate processes,
// while the company is compacted beside them: exactly one of them is written.
TEST_F(Collections, OneOfSeveralProcessesClosesTheLastAmount) {
    {
        auto s = StartSession();
        AddInvoice(s->Db(), 1, 100);
        RecordCollection(*s, Invoice(1), Entry(60));
    }
    test::ZodractlOptions options;
    options.home = Folder();
    options.workingFolder = Folder();
    constexpr int kWriters = 4;
    std::mutex mutex;
    int wins = 0;
    QStringList faults;
    std::atomic<bool> done = false;
    std::thread compaction([&] {
        while (!done) {
            const test::ZodractlRun run =
                test::RunZodractl({QStringLiteral("compact"), CompanyPath()}, options);
            if (run.exitCode != 0 &&
                !run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu"))) {
                std::lock_guard<std::mutex> guard(mutex);
                faults << run.err;
            }
        }
    });
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.emplace_back([&] {
            const test::ZodractlRun run = test::RunZodractl(
                {QStringLiteral("pay"), CompanyPath(), QStringLiteral("--racun"),
                 QStringLiteral("2/1"), QStringLiteral("--iznos"), QStringLiteral("40,00"),
                 QStringLiteral("--datum"), QStringLiteral("10.03.2026"),
                 QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--godina"),
                 QStringLiteral("2026")},
                options);
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0) {
                ++wins;
                if (!run.out.contains(QStringLiteral("Dugovanje: 0,00"))) {
                    faults << run.out;
                }
            } else if (!run.err.contains(QStringLiteral("Nije dozvoljeno knjiženje."))) {
                faults << run.err;
            }
        });
    }
    for (std::thread& t : writers) {
        t.join();
    }
    done = true;
    compaction.join();
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_EQ(wins, 1);
    auto db = Open();
    EXPECT_DOUBLE_EQ(InvoiceBalanceOf(*db, Invoice(1)).collected, 100);
    EXPECT_EQ(Count(*db, "UPLATE"), 2);

    // The deletion door asks first: without --da the answer is No and nothing goes.
    const QString last =
        db->Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"UPLATE\"")).toString();
    const QStringList remove{QStringLiteral("delete"),      CompanyPath(),
                             QStringLiteral("uplata"),      last,
                             QStringLiteral("--skladiste"), QStringLiteral("1")};
    const test::ZodractlRun refused = test::RunZodractl(remove, options);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Plaćanje nije izbrisano.")))
        << refused.err.toStdString();
    EXPECT_EQ(Count(*db, "UPLATE"), 2);
    const test::ZodractlRun deleted =
        test::RunZodractl(remove + QStringList{QStringLiteral("--da")}, options);
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(Count(*db, "UPLATE"), 1);
    EXPECT_DOUBLE_EQ(InvoiceBalanceOf(*db, Invoice(1)).collected, 60);
}

}  // namespace
}  // namespace zodra::payments
