// The headless doors: zodractl posting invoices from files, cancelling and deleting them with
// their questions answered No unless --da, and two programs posting invoices at once with a
// compaction started beside them.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "support/Pdf.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company with the example receipt posted, so the example invoice has its goods. The
// demo has sold already: the example's invoices follow its last number in warehouse 1, book 1.
class InvoiceZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZodractlCompanyTest::SetUp());
        m_invoice = ReadJson(SourceFile("docs/examples/racun.json"));
        ASSERT_FALSE(m_invoice.isEmpty());
        auto db = Open();
        m_demoInvoices = db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE "
                                                   "\"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                             .toInt();
        m_first = db->Scalar(QStringLiteral("SELECT MAX(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                      .toInt() +
                  1;
        ASSERT_GT(m_demoInvoices, 0);
    }
    // The number of the example's k-th invoice (from 1).
    int Nr(int k) const { return m_first + k - 1; }
    QString NrText(int k) const { return QString::number(Nr(k)); }

    QJsonObject m_invoice;
    int m_demoInvoices = 0;
    int m_first = 0;
};

TEST_F(InvoiceZodractlTest, AnInvoiceIsPostedCancelledAndDeletedFromTheCommandLine) {
    const ZodractlRun posted =
        Run({QStringLiteral("post"), SourceFile("docs/examples/racun.json")});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    EXPECT_EQ(posted.out.trimmed(), QStringLiteral("Račun je proknjižen pod brojem ") + NrText(1));
    {
        auto db = Open();
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND "
                                            "\"BROJ_RACUNA\" = ?"),
                             {Nr(1)})
                      .toInt(),
                  3);
    }
    ExpectStockSound();

    // The question is answered No without --da: nothing changes.
    const ZodractlRun no = Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
                                QStringLiteral("--skladiste"), QStringLiteral("1")});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("Želite li stornirati račun! Ne")));
    EXPECT_TRUE(no.err.contains(QStringLiteral("Račun nije storniran.")));
    const ZodractlRun early =
        Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
             QStringLiteral("09.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_TRUE(early.err.contains(
        QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo.")));
    const ZodractlRun yes =
        Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
             QStringLiteral("12.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(yes.exitCode, 0) << yes.err.toStdString();
    EXPECT_EQ(yes.out.trimmed(), QStringLiteral("Račun broj %1 je storniran.").arg(Nr(1)));
    ExpectStockSound();
    const ZodractlRun again =
        Run({QStringLiteral("delete"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Ovaj račun je već storniran.")));

    // A second invoice is deleted only with --da.
    ASSERT_EQ(Run({QStringLiteral("post"), SourceFile("docs/examples/racun.json")}).exitCode, 0);
    const QStringList del{QStringLiteral("delete"), QStringLiteral("racun"), NrText(2),
                          QStringLiteral("--skladiste"), QStringLiteral("1")};
    EXPECT_EQ(Run(del).exitCode, 1);
    const ZodractlRun deleted = Run(QStringList(del) << QStringLiteral("--da"));
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    {
        auto db = Open();
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                      .toInt(),
                  m_demoInvoices + 1);
    }
    ExpectStockSound();
    const ZodractlRun unknown =
        Run({QStringLiteral("cancel"), QStringLiteral("otpremnica"), QStringLiteral("1")});
    EXPECT_EQ(unknown.exitCode, 2);
}

// Two programs post invoices at once while a third compacts now and then: every invoice
// reported is stored once under its own number, the book's numbers and the trade book's
// positions have no gaps, and lots, cards and books agree.
TEST_F(InvoiceZodractlTest, TwoProgramsPostingInvoicesAtOnceWithACompactionBeside) {
    constexpr int kEach = 6;
    RunFailures failures;
    QList<int> reported;
    const int compactions = RunBesideCompaction(
        m_company, 2,
        [&](int worker) {
            for (int i = 0; i < kEach; ++i) {
                QJsonObject invoice = m_invoice;
                invoice.insert(QStringLiteral("narudzbenica"),
                               QStringLiteral("W%1-%2").arg(worker).arg(i));
                // One piece of beer and a delivery: little stock, so both find theirs.
                invoice.insert(
                    QStringLiteral("stavke"),
                    QJsonArray{
                        QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                    {QStringLiteral("kolicina"), 1}},
                        QJsonObject{{QStringLiteral("usluga"), QStringLiteral("Dostava na adresu")},
                                    {QStringLiteral("kolicina"), 1}}});
                const ZodractlRun run =
                    Run({QStringLiteral("post"),
                         File(QStringLiteral("r%1-%2.json").arg(worker).arg(i), invoice)});
                const int number = PostedNumber(run.out);
                failures.Check(run.exitCode == 0 && number > 0,
                               QStringLiteral("%1/%2").arg(worker).arg(i), run);
                if (run.exitCode == 0 && number > 0) {
                    std::lock_guard<std::mutex> guard(failures.Mutex());
                    reported << number;
                }
                QThread::msleep(20);
            }
        },
        failures, 5);
    RecordProperty("compacted", compactions);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(reported.size(), 2 * kEach);
    const QSet<int> distinct(reported.begin(), reported.end());
    EXPECT_EQ(distinct.size(), reported.size()) << "a number was reported twice";

    auto db = Open();
    ASSERT_TRUE(db);
    Statement numbers = db->Prepare(QStringLiteral(
        "SELECT COUNT(*), MIN(\"BROJ RACUNA\"), MAX(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
        "\"SKLADISTE\" = 1 AND \"IRA\" = 1"));
    numbers.Exec();
    ASSERT_TRUE(numbers.Next());
    EXPECT_EQ(numbers.Int(0), m_demoInvoices + 2 * kEach);
    EXPECT_EQ(numbers.Int(1), 1);
    EXPECT_EQ(numbers.Int(2), Nr(2 * kEach));
    numbers.Finish();
    for (int n : reported) {
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND "
                                            "\"BROJ_RACUNA\" = ?"),
                             {n})
                      .toInt(),
                  2)
            << "invoice " << n;
    }
    ExpectTradeBooksWhole(*db, 1);
    // Every invoice's header points at its own entry of the book.
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" h JOIN "
                                  "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"SKLADISTE\" = "
                                  "h.\"SKLADISTE\" AND t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = "
                                  "h.\"RBR_TK\" AND t.\"BROJ_DOKUMENTA\" = h.\"BROJ RACUNA\" AND "
                                  "t.\"TIP_DOKUMENTA\" = '1RAČUN' WHERE h.\"SKLADISTE\" = 1 AND "
                                  "h.\"IRA\" = 1 AND h.\"BROJ RACUNA\" >= ?"),
                   {Nr(1)})
            .toInt(),
        2 * kEach);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")).toInt(), 0);
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")).toInt(), 0);
    db.reset();
    ExpectStockSound();
}

// Undoing invoices is posting too: while one program posts new invoices, one cancels earlier
// ones, one deletes others and one compacts now and then. Every door answers for itself, no
// number is reported twice, the cancelled and the deleted are what was asked, and lots, cards
// and books agree.
TEST_F(InvoiceZodractlTest, InvoicesCancelledAndDeletedWhileOthersArePostedBesideACompaction) {
    constexpr int kEach = 4;
    auto onePiece = [&](const QString& name) {
        QJsonObject invoice = m_invoice;
        invoice.insert(QStringLiteral("narudzbenica"), name);
        invoice.insert(QStringLiteral("stavke"),
                       QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                              {QStringLiteral("kolicina"), 1}}});
        return File(name + QStringLiteral(".json"), invoice);
    };
    // The example's invoices 1 … 8 to undo.
    for (int i = 1; i <= 2 * kEach; ++i) {
        const ZodractlRun run =
            Run({QStringLiteral("post"), onePiece(QStringLiteral("P-%1").arg(i))});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    RunFailures failures;
    QList<int> posted;
    const auto poster = [&] {
        for (int i = 0; i < kEach; ++i) {
            const ZodractlRun run =
                Run({QStringLiteral("post"), onePiece(QStringLiteral("N-%1").arg(i))});
            failures.Check(run.exitCode == 0 && PostedNumber(run.out) > 0, QStringLiteral("post"),
                           run);
            if (PostedNumber(run.out) > 0) {
                std::lock_guard<std::mutex> guard(failures.Mutex());
                posted << PostedNumber(run.out);
            }
            QThread::msleep(20);
        }
    };
    const auto canceller = [&] {
        for (int n = Nr(1); n <= Nr(kEach); ++n) {
            const ZodractlRun run =
                Run({QStringLiteral("cancel"), QStringLiteral("racun"), QString::number(n),
                     QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
            failures.Check(
                run.exitCode == 0 &&
                    run.out.trimmed() == QStringLiteral("Račun broj %1 je storniran.").arg(n),
                QStringLiteral("cancel %1").arg(n), run);
            QThread::msleep(20);
        }
    };
    const auto deleter = [&] {
        for (int n = Nr(kEach + 1); n <= Nr(2 * kEach); ++n) {
            const ZodractlRun run =
                Run({QStringLiteral("delete"), QStringLiteral("racun"), QString::number(n),
                     QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
            failures.Check(run.exitCode == 0, QStringLiteral("delete %1").arg(n), run);
            QThread::msleep(20);
        }
    };
    RunBesideCompaction(m_company, {poster, canceller, deleter}, failures, 5);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(posted.size(), kEach);
    EXPECT_EQ(QSet<int>(posted.begin(), posted.end()).size(), kEach) << "a number twice";

    auto db = Open();
    ASSERT_TRUE(db);
    for (int n = Nr(1); n <= Nr(kEach); ++n) {
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = "
                                            "1 AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ? AND "
                                            "\"STORNO\" = TRUE"),
                             {n})
                      .toInt(),
                  1)
            << "invoice " << n << " is not cancelled";
    }
    // The deleted are gone with their lines; the new ones are stored whole.
    for (int n : posted) {
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND "
                                            "\"BROJ_RACUNA\" = ?"),
                             {n})
                      .toInt(),
                  1)
            << "invoice " << n;
    }
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 "
                                        "AND \"IRA\" = 1"))
                  .toInt(),
              m_demoInvoices + kEach + kEach);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")).toInt(), 0);
    db.reset();
    ExpectStockSound();
}

}  // namespace

namespace {

TEST_F(InvoiceZodractlTest, AnInvoiceIsPrintedToPdfInEachOfItsPrintouts) {
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    const ZodractlRun posted = Run({QStringLiteral("post"), SourceFile("docs/examples/racun.json"),
                                    QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    const QString invoice = PdfText(pdf);
    EXPECT_TRUE(
        invoice.contains(QStringLiteral("RAČUN br. ") + NrText(1) + QStringLiteral("/2026")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Kod Ane's d.o.o.")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Rekapitulacija PDV-a")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("HR00 ") + NrText(1) + QStringLiteral("-1-2026")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Slovima:")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Rabat")));

    const QStringList print{
        QStringLiteral("print"), QStringLiteral("racun"), NrText(1), QStringLiteral("--skladiste"),
        QStringLiteral("1"),     QStringLiteral("--pdf"), pdf};
    const ZodractlRun plain = Run(print + QStringList{QStringLiteral("--bez-rabata")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out.trimmed(), QStringLiteral("Ispis računa br. ") + NrText(1) +
                                       QStringLiteral(" je zapisan u ") + pdf +
                                       QStringLiteral(" (stranica: 1)."));
    EXPECT_FALSE(PdfText(pdf).contains(QStringLiteral("Rabat")));

    const QStringList storno =
        print + QStringList{QStringLiteral("--ispis"), QStringLiteral("storno")};
    const ZodractlRun notYet = Run(storno);
    EXPECT_EQ(notYet.exitCode, 1);
    EXPECT_TRUE(notYet.err.contains(QStringLiteral("Račun broj ") + NrText(1) +
                                    QStringLiteral(" nije storniran.")));
    ASSERT_EQ(Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
                   QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
                   QStringLiteral("12.03.2026"), QStringLiteral("--da")})
                  .exitCode,
              0);
    const ZodractlRun cancelled = Run(storno);
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const QString text = PdfText(pdf);
    EXPECT_TRUE(
        text.contains(QStringLiteral("STORNO RAČUNA br. ") + NrText(1) + QStringLiteral("/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("12.03.2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("minus ")));
    // The tax recapitulation is negative like the lines and the total: the per-rate rows, their
    // total and the cancelled total show the same figures with a minus and none without.
    const QRegularExpression recap(QStringLiteral(
        "(\\d+)\\s*%\\s+(-?[\\d.]+,\\d\\d)\\s+(-?[\\d.]+,\\d\\d)\\s+(-?[\\d.]+,\\d\\d)"));
    int rates = 0;
    for (auto it = recap.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        ++rates;
        for (int i = 2; i <= 4; ++i) {
            EXPECT_TRUE(m.captured(i).startsWith(u'-')) << m.captured(0).toStdString();
        }
    }
    EXPECT_GT(rates, 0) << text.toStdString();
    const QRegularExpressionMatch total =
        QRegularExpression(QStringLiteral("Ukupno\\s+(-[\\d.]+,\\d\\d)\\s+(-[\\d.]+,\\d\\d)\\s+"
                                          "(-[\\d.]+,\\d\\d)"))
            .match(text);
    ASSERT_TRUE(total.hasMatch()) << text.toStdString();
    const QRegularExpressionMatch cancelledTotal =
        QRegularExpression(QStringLiteral("UKUPNO STORNO:\\s+(-[\\d.]+,\\d\\d)")).match(text);
    ASSERT_TRUE(cancelledTotal.hasMatch()) << text.toStdString();
    EXPECT_EQ(total.captured(3), cancelledTotal.captured(1));

    const ZodractlRun unknown =
        Run(print + QStringList{QStringLiteral("--ispis"), QStringLiteral("x")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Nepoznata vrsta ispisa: x")));
    const ZodractlRun missing =
        Run({QStringLiteral("print"), QStringLiteral("racun"), NrText(7),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(
        missing.err.contains(QStringLiteral("Ne postoji proknjiženi račun broj ") + NrText(7)));
}

// The invoice's payments and a used vehicle's data are blocks of the printed invoice: absent while
// the invoice has none, printed with their figures once it has.
TEST_F(InvoiceZodractlTest, PaymentsAndAUsedVehiclesDataPrintOnTheInvoice) {
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    ASSERT_EQ(Run({QStringLiteral("post"), SourceFile("docs/examples/racun.json")}).exitCode, 0);
    const QStringList print{
        QStringLiteral("print"), QStringLiteral("racun"), NrText(1), QStringLiteral("--skladiste"),
        QStringLiteral("1"),     QStringLiteral("--pdf"), pdf};
    ASSERT_EQ(Run(print).exitCode, 0);
    const QString bare = PdfText(pdf);
    EXPECT_FALSE(bare.contains(QStringLiteral("Naplata računa")));
    EXPECT_FALSE(bare.contains(QStringLiteral("Broj šasije")));
    {
        auto db = Open();
        const int article =
            db->Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 1 "
                                      "AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 1"),
                       {Nr(1)})
                .toInt();
        db->Exec(QStringLiteral("DELETE FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = ?"), {article});
        db->Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\", "
                                "\"VRSTA_VOZILA\", \"MARKA\", \"MODEL\", \"BROJ_SASIJE\", "
                                "\"BROJ_MOTORA\", \"GODINA_PROIZVODNJE\") VALUES (?, 'Osobno "
                                "vozilo', 'Škoda', 'Octavia', 'TMBJJ7NE5K0123456', 'CLH 445566', "
                                "2019)"),
                 {article});
        db->Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                "\"Broj računa\", \"Tip\", \"Datum\", \"Opis dokumenta\", "
                                "\"Iznos\") VALUES (1, 1, 2026, ?, 'Gotovina', '2026-03-11', "
                                "'Uplata', 50.5), (1, 1, 2026, ?, 'Virman', '2026-03-12', "
                                "'Izvod 12', 20)"),
                 {Nr(1), Nr(1)});
    }
    ASSERT_EQ(Run(print).exitCode, 0);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Naplata računa"))) << text.toStdString();
    const auto row = [&](const char* pattern) {
        return QRegularExpression(QString::fromUtf8(pattern)).match(text).hasMatch();
    };
    EXPECT_TRUE(row(R"(11\.03\.2026\s+Gotovina\s+Uplata\s+50,50)")) << text.toStdString();
    EXPECT_TRUE(row(R"(12\.03\.2026\s+Virman\s+Izvod 12\s+20,00)")) << text.toStdString();
    EXPECT_TRUE(row(R"(Ukupno naplaćeno\s+70,50)")) << text.toStdString();
    // Under the vehicle's own line (line 1), before line 2.
    const int vehicle = text.indexOf(QStringLiteral("Broj šasije: TMBJJ7NE5K0123456"));
    EXPECT_GT(vehicle, text.indexOf(QStringLiteral("Pivo svijetlo 0,5 l")));
    EXPECT_LT(vehicle, text.indexOf(QStringLiteral("Pivo svijetlo 0,33 l")));
    EXPECT_TRUE(text.contains(QStringLiteral("Vozilo: Osobno vozilo Škoda Octavia")));
    EXPECT_EQ(text.count(QStringLiteral("Broj šasije")), 1);
}

}  // namespace
