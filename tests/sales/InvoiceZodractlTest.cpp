// The headless doors: zodractl posting invoices from files, cancelling and deleting them with
// their questions answered No unless --da, and two programs posting invoices at once with a
// compaction started beside them.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <mutex>
#include <thread>

#include "data/Database.h"
#include "support/Zodractl.h"

using namespace zodra;

namespace {

using CtlRun = zodra::test::ZodractlRun;

CtlRun Zodractl(const QStringList& args) {
    return zodra::test::RunZodractl(args, {});
}

QString Source(const char* path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/") + QString::fromLatin1(path);
}

// The demo company with the example receipt posted, so the example invoice has its goods. The
// demo has sold already: the example's invoices follow its last number in warehouse 1, book 1.
class InvoiceZodractlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        const CtlRun demo = Zodractl({QStringLiteral("demo"), m_company});
        ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
        const CtlRun receipt =
            Zodractl({QStringLiteral("post"), m_company, Source("docs/examples/primka.json"),
                      QStringLiteral("--da")});
        ASSERT_EQ(receipt.exitCode, 0) << receipt.err.toStdString();
        QFile example(Source("docs/examples/racun.json"));
        ASSERT_TRUE(example.open(QIODevice::ReadOnly));
        m_invoice = QJsonDocument::fromJson(example.readAll()).object();
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
    std::unique_ptr<Database> Open() {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
        return std::move(opened.db);
    }
    QString File(const QString& name, const QJsonObject& o) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(o).toJson());
        return path;
    }
    CtlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return Zodractl(all);
    }
    void ExpectStockSound() {
        const CtlRun stock = Zodractl({QStringLiteral("stockcheck"), m_company});
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_company;
    QJsonObject m_invoice;
    int m_demoInvoices = 0;
    int m_first = 0;
};

TEST_F(InvoiceZodractlTest, AnInvoiceIsPostedCancelledAndDeletedFromTheCommandLine) {
    const CtlRun posted = Run({QStringLiteral("post"), Source("docs/examples/racun.json")});
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
    const CtlRun no = Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
                           QStringLiteral("--skladiste"), QStringLiteral("1")});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("Želite li stornirati račun! Ne")));
    EXPECT_TRUE(no.err.contains(QStringLiteral("Račun nije storniran.")));
    const CtlRun early =
        Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
             QStringLiteral("09.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_TRUE(early.err.contains(
        QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo.")));
    const CtlRun yes =
        Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
             QStringLiteral("12.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(yes.exitCode, 0) << yes.err.toStdString();
    EXPECT_EQ(yes.out.trimmed(), QStringLiteral("Račun broj %1 je storniran.").arg(Nr(1)));
    ExpectStockSound();
    const CtlRun again =
        Run({QStringLiteral("delete"), QStringLiteral("racun"), NrText(1),
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Ovaj račun je već storniran.")));

    // A second invoice is deleted only with --da.
    ASSERT_EQ(Run({QStringLiteral("post"), Source("docs/examples/racun.json")}).exitCode, 0);
    const QStringList del{QStringLiteral("delete"), QStringLiteral("racun"), NrText(2),
                          QStringLiteral("--skladiste"), QStringLiteral("1")};
    EXPECT_EQ(Run(del).exitCode, 1);
    const CtlRun deleted = Run(QStringList(del) << QStringLiteral("--da"));
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    {
        auto db = Open();
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                      .toInt(),
                  m_demoInvoices + 1);
    }
    ExpectStockSound();
    const CtlRun unknown =
        Run({QStringLiteral("cancel"), QStringLiteral("otpremnica"), QStringLiteral("1")});
    EXPECT_EQ(unknown.exitCode, 2);
}

// Two programs post invoices at once while a third compacts now and then: every invoice
// reported is stored once under its own number, the book's numbers and the trade book's
// positions have no gaps, and lots, cards and books agree.
TEST_F(InvoiceZodractlTest, TwoProgramsPostingInvoicesAtOnceWithACompactionBeside) {
    constexpr int kEach = 6;
    std::mutex mutex;
    QList<int> reported;
    QStringList failures;
    int compactions = 0;
    auto post = [&](int worker) {
        static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
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
            const CtlRun run =
                Run({QStringLiteral("post"),
                     File(QStringLiteral("r%1-%2.json").arg(worker).arg(i), invoice)});
            const auto match = number.match(run.out);
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0 && match.hasMatch()) {
                reported << match.captured(1).toInt();
            } else {
                failures << QStringLiteral("%1/%2: %3 %4 %5")
                                .arg(worker)
                                .arg(i)
                                .arg(run.exitCode)
                                .arg(run.out, run.err);
            }
            QThread::msleep(20);
        }
    };
    std::thread a(post, 0);
    std::thread b(post, 1);
    std::thread c([&] {
        for (int i = 0; i < 5; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0) {
                ++compactions;
            } else if (!(run.exitCode == 1 && run.err.startsWith(QStringLiteral(
                                                  "Baza je otvorena na drugom računalu")))) {
                failures << QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    });
    a.join();
    b.join();
    c.join();
    RecordProperty("compacted", compactions);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
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
    Statement positions = db->Prepare(QStringLiteral(
        "SELECT COUNT(*), COUNT(DISTINCT \"RBR\"), MIN(\"RBR\"), MAX(\"RBR\") FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 GROUP BY \"GODINA\""));
    positions.Exec();
    while (positions.Next()) {
        EXPECT_EQ(positions.Int(0), positions.Int(1)) << "a position repeats";
        EXPECT_EQ(positions.Int(2), 1);
        EXPECT_EQ(positions.Int(3), positions.Int(0)) << "the trade book has a gap";
    }
    positions.Finish();
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
        const CtlRun run = Run({QStringLiteral("post"), onePiece(QStringLiteral("P-%1").arg(i))});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    std::mutex mutex;
    QList<int> posted;
    QStringList failures;
    static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
    auto record = [&](bool ok, const QString& what, const CtlRun& run) {
        std::lock_guard<std::mutex> guard(mutex);
        if (!ok) {
            failures
                << QStringLiteral("%1: %2 %3 %4").arg(what).arg(run.exitCode).arg(run.out, run.err);
        }
    };
    std::thread poster([&] {
        for (int i = 0; i < kEach; ++i) {
            const CtlRun run =
                Run({QStringLiteral("post"), onePiece(QStringLiteral("N-%1").arg(i))});
            const auto match = number.match(run.out);
            record(run.exitCode == 0 && match.hasMatch(), QStringLiteral("post"), run);
            if (match.hasMatch()) {
                std::lock_guard<std::mutex> guard(mutex);
                posted << match.captured(1).toInt();
            }
            QThread::msleep(20);
        }
    });
    std::thread canceller([&] {
        for (int n = Nr(1); n <= Nr(kEach); ++n) {
            const CtlRun run =
                Run({QStringLiteral("cancel"), QStringLiteral("racun"), QString::number(n),
                     QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
            record(run.exitCode == 0 &&
                       run.out.trimmed() == QStringLiteral("Račun broj %1 je storniran.").arg(n),
                   QStringLiteral("cancel %1").arg(n), run);
            QThread::msleep(20);
        }
    });
    std::thread deleter([&] {
        for (int n = Nr(kEach + 1); n <= Nr(2 * kEach); ++n) {
            const CtlRun run =
                Run({QStringLiteral("delete"), QStringLiteral("racun"), QString::number(n),
                     QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
            record(run.exitCode == 0, QStringLiteral("delete %1").arg(n), run);
            QThread::msleep(20);
        }
    });
    std::thread compactor([&] {
        for (int i = 0; i < 5; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            record(run.exitCode == 0 ||
                       (run.exitCode == 1 &&
                        run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu"))),
                   QStringLiteral("compact"), run);
            QThread::msleep(30);
        }
    });
    poster.join();
    canceller.join();
    deleter.join();
    compactor.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
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

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(InvoiceZodractlTest, AnInvoiceIsPrintedToPdfInEachOfItsPrintouts) {
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    const CtlRun posted = Run(
        {QStringLiteral("post"), Source("docs/examples/racun.json"), QStringLiteral("--pdf"), pdf});
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
    const CtlRun plain = Run(print + QStringList{QStringLiteral("--bez-rabata")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out.trimmed(), QStringLiteral("Ispis računa br. ") + NrText(1) +
                                       QStringLiteral(" je zapisan u ") + pdf +
                                       QStringLiteral(" (stranica: 1)."));
    EXPECT_FALSE(PdfText(pdf).contains(QStringLiteral("Rabat")));

    const QStringList storno =
        print + QStringList{QStringLiteral("--ispis"), QStringLiteral("storno")};
    const CtlRun notYet = Run(storno);
    EXPECT_EQ(notYet.exitCode, 1);
    EXPECT_TRUE(notYet.err.contains(QStringLiteral("Račun broj ") + NrText(1) +
                                    QStringLiteral(" nije storniran.")));
    ASSERT_EQ(Run({QStringLiteral("cancel"), QStringLiteral("racun"), NrText(1),
                   QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
                   QStringLiteral("12.03.2026"), QStringLiteral("--da")})
                  .exitCode,
              0);
    const CtlRun cancelled = Run(storno);
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

    const CtlRun unknown = Run(print + QStringList{QStringLiteral("--ispis"), QStringLiteral("x")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Nepoznata vrsta ispisa: x")));
    const CtlRun missing =
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
    ASSERT_EQ(Run({QStringLiteral("post"), Source("docs/examples/racun.json")}).exitCode, 0);
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
        db->Exec(QStringLiteral("INSERT OR REPLACE INTO \"ARTIKLI_VOZILA\" (\"SIFRA\", "
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
