// zodractl's invoice doors: posting from files, cancelling and deleting (No unless --da),
// printing, and several programs at once beside a compaction.

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
        m_demoInvoices = Invoices();
        m_first = db->Scalar(QStringLiteral("SELECT MAX(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                      .toInt() +
                  1;
        ASSERT_GT(m_demoInvoices, 0);
    }
    // The number of the example's k-th invoice (from 1).
    int Nr(int k) const { return m_first + k - 1; }
    QString NrText(int k) const { return QString::number(Nr(k)); }

    static QString Example() { return SourceFile("docs/examples/racun.json"); }
    // "<verb> racun <k-th number> --skladiste 1" and more options.
    QStringList Door(const char* verb, int k, std::initializer_list<const char*> more = {}) const {
        QStringList args{QString::fromLatin1(verb), QStringLiteral("racun"), NrText(k),
                         QStringLiteral("--skladiste"), QStringLiteral("1")};
        for (const char* m : more) {
            args << QString::fromUtf8(m);
        }
        return args;
    }
    int Lines(int number) {
        return Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" "
                                     "= 1 AND \"IRA\" = 1 AND \"BROJ_RACUNA\" = ?"),
                      {number})
            .toInt();
    }
    int Invoices() {
        return Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 "
                                     "AND \"IRA\" = 1"))
            .toInt();
    }
    // The example under the order `name` with one piece of beer (and `more` lines).
    QString OnePiece(const QString& name, const QJsonObject& more = {}) {
        QJsonObject invoice = m_invoice;
        invoice.insert(QStringLiteral("narudzbenica"), name);
        QJsonArray lines{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                     {QStringLiteral("kolicina"), 1}}};
        if (!more.isEmpty()) {
            lines.append(more);
        }
        invoice.insert(QStringLiteral("stavke"), lines);
        return File(name + QStringLiteral(".json"), invoice);
    }
    static void ExpectNoWorkingRows(Database& db) {
        EXPECT_EQ(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")).toInt(), 0);
        EXPECT_EQ(
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")).toInt(),
            0);
    }

    QJsonObject m_invoice;
    int m_demoInvoices = 0;
    int m_first = 0;
};

TEST_F(InvoiceZodractlTest, AnInvoiceIsPostedCancelledAndDeletedFromTheCommandLine) {
    const ZodractlRun posted = Run({QStringLiteral("post"), Example()});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    EXPECT_EQ(posted.out.trimmed(), QStringLiteral("Račun je proknjižen pod brojem ") + NrText(1));
    EXPECT_EQ(Lines(Nr(1)), 3);
    ExpectStockSound();

    // The question is answered No without --da: nothing changes.
    const ZodractlRun no = Run(Door("cancel", 1));
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("Želite li stornirati račun! Ne")));
    EXPECT_TRUE(no.err.contains(QStringLiteral("Račun nije storniran.")));
    const ZodractlRun early = Run(Door("cancel", 1, {"--datum", "09.03.2026", "--da"}));
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_TRUE(early.err.contains(
        QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo.")));
    const ZodractlRun yes = Run(Door("cancel", 1, {"--datum", "12.03.2026", "--da"}));
    EXPECT_EQ(yes.exitCode, 0) << yes.err.toStdString();
    EXPECT_EQ(yes.out.trimmed(), QStringLiteral("Račun broj %1 je storniran.").arg(Nr(1)));
    ExpectStockSound();
    const ZodractlRun again = Run(Door("delete", 1, {"--da"}));
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Ovaj račun je već storniran.")));

    // A second invoice is deleted only with --da.
    ASSERT_EQ(Run({QStringLiteral("post"), Example()}).exitCode, 0);
    EXPECT_EQ(Run(Door("delete", 2)).exitCode, 1);
    const ZodractlRun deleted = Run(Door("delete", 2, {"--da"}));
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(Invoices(), m_demoInvoices + 1);
    ExpectStockSound();
    EXPECT_EQ(
        Run({QStringLiteral("cancel"), QStringLiteral("otpremnica"), QStringLiteral("1")}).exitCode,
        2);
}

// Two programs post invoices at once beside a compaction: every invoice reported is stored once
// under its own number, numbers and trade-book positions have no gaps, and the books agree.
TEST_F(InvoiceZodractlTest, TwoProgramsPostingInvoicesAtOnceWithACompactionBeside) {
    constexpr int kEach = 6;
    RunFailures failures;
    // One piece of beer and a delivery: little stock, so both find theirs.
    const QList<int> reported = PostBesideCompaction(
        2, kEach,
        [&](int worker, int i) {
            return OnePiece(
                QStringLiteral("W%1-%2").arg(worker).arg(i),
                QJsonObject{{QStringLiteral("usluga"), QStringLiteral("Dostava na adresu")},
                            {QStringLiteral("kolicina"), 1}});
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(reported.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(reported.begin(), reported.end()).size(), reported.size())
        << "a number was reported twice";

    auto db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(Invoices(), m_demoInvoices + 2 * kEach);
    const QString range =
        QStringLiteral(" FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1");
    EXPECT_EQ(Scalar(QStringLiteral("SELECT MIN(\"BROJ RACUNA\")") + range).toInt(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT MAX(\"BROJ RACUNA\")") + range).toInt(), Nr(2 * kEach));
    for (int n : reported) {
        EXPECT_EQ(Lines(n), 2) << "invoice " << n;
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
    ExpectNoWorkingRows(*db);
    db.reset();
    ExpectStockSound();
}

// While one program posts, one cancels earlier invoices, one deletes others and one compacts:
// every door answers for itself, no number twice, and lots, cards and books agree.
TEST_F(InvoiceZodractlTest, InvoicesCancelledAndDeletedWhileOthersArePostedBesideACompaction) {
    constexpr int kEach = 4;
    for (int i = 1; i <= 2 * kEach; ++i) {  // the invoices to undo
        const ZodractlRun run =
            Run({QStringLiteral("post"), OnePiece(QStringLiteral("P-%1").arg(i))});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    RunFailures failures;
    QList<int> posted;
    const auto poster = [&] {
        for (int i = 0; i < kEach; ++i) {
            const ZodractlRun run =
                Run({QStringLiteral("post"), OnePiece(QStringLiteral("N-%1").arg(i))});
            failures.Check(PostedNumber(run.out) > 0 && run.exitCode == 0, QStringLiteral("post"),
                           run);
            if (PostedNumber(run.out) > 0) {
                std::lock_guard<std::mutex> guard(failures.Mutex());
                posted << PostedNumber(run.out);
            }
            QThread::msleep(20);
        }
    };
    const auto undo = [&](const char* verb, int from) {
        for (int k = from; k < from + kEach; ++k) {
            const ZodractlRun run = Run(Door(verb, k, {"--da"}));
            const bool said =
                qstrcmp(verb, "delete") == 0 ||
                run.out.trimmed() == QStringLiteral("Račun broj %1 je storniran.").arg(Nr(k));
            failures.Check(run.exitCode == 0 && said,
                           QString::fromLatin1(verb) + QLatin1Char(0x20) + QString::number(Nr(k)),
                           run);
            QThread::msleep(20);
        }
    };
    RunBesideCompaction(m_company,
                        {poster, [&] { undo("cancel", 1); }, [&] { undo("delete", kEach + 1); }},
                        failures, 5);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(posted.size(), kEach);
    EXPECT_EQ(QSet<int>(posted.begin(), posted.end()).size(), kEach) << "a number twice";

    auto db = Open();
    ASSERT_TRUE(db);
    for (int k = 1; k <= kEach; ++k) {
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = "
                                            "1 AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ? AND "
                                            "\"STORNO\" = TRUE"),
                             {Nr(k)})
                      .toInt(),
                  1)
            << "invoice " << Nr(k) << " is not cancelled";
    }
    // The deleted are gone with their lines; the new ones are stored whole.
    for (int n : posted) {
        EXPECT_EQ(Lines(n), 1) << "invoice " << n;
    }
    EXPECT_EQ(Invoices(), m_demoInvoices + kEach + kEach);
    ExpectNoWorkingRows(*db);
    db.reset();
    ExpectStockSound();
}

TEST_F(InvoiceZodractlTest, AnInvoiceIsPrintedToPdfInEachOfItsPrintouts) {
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    const ZodractlRun posted =
        Run({QStringLiteral("post"), Example(), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    const QString invoice = PdfText(pdf);
    EXPECT_TRUE(
        invoice.contains(QStringLiteral("RAČUN br. ") + NrText(1) + QStringLiteral("/2026")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Kod Ane's d.o.o.")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Rekapitulacija PDV-a")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("HR00 ") + NrText(1) + QStringLiteral("-1-2026")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Slovima:")));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Rabat")));

    const QStringList print = Door("print", 1) << QStringLiteral("--pdf") << pdf;
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
    ASSERT_EQ(Run(Door("cancel", 1, {"--datum", "12.03.2026", "--da"})).exitCode, 0);
    const ZodractlRun cancelled = Run(storno);
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const QString text = PdfText(pdf);
    EXPECT_TRUE(
        text.contains(QStringLiteral("STORNO RAČUNA br. ") + NrText(1) + QStringLiteral("/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("12.03.2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("minus ")));
    // The tax recapitulation is negative like the lines and the total.
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
    const ZodractlRun missing = Run(Door("print", 7) << QStringLiteral("--pdf") << pdf);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(
        missing.err.contains(QStringLiteral("Ne postoji proknjiženi račun broj ") + NrText(7)));
}

// The invoice's payments and a used vehicle's data print only once the invoice has them.
TEST_F(InvoiceZodractlTest, PaymentsAndAUsedVehiclesDataPrintOnTheInvoice) {
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    ASSERT_EQ(Run({QStringLiteral("post"), Example()}).exitCode, 0);
    const QStringList print = Door("print", 1) << QStringLiteral("--pdf") << pdf;
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
