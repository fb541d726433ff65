// Receipts posted by two programs at once beside a compaction are fiscalized with one gap-free
// numbering; the outbox is listed and delivered by "zodractl fiscal".

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QSet>
#include <QSettings>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "fiscal/FiscalService.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "fiscal/ReceiptMarks.h"
#include "pos/ReceiptText.h"
#include "support/ZodractlCompany.h"

namespace zodra::test {
namespace {

class FiscalZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZodractlCompanyTest::SetUp());
        if (OnServer()) {
            GTEST_SKIP() << "the company file's own run covers it";
        }
        ASSERT_FALSE(files.pem.isEmpty());
        // The programs read the workstation's settings from this test's own folder.
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        ASSERT_TRUE(service.Ready());
        standIn = std::make_unique<FiscalStandIn>(files.pem, kCompanyOib, FiscalSchemaPath(),
                                                  service.Identity());
        auto db = Open();
        db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ?"), {kCompanyOib});
        db->Exec(
            QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"SIFRA\", \"NAZIV\") VALUES (9, "
                           "'Maestro')"));
        fiscal::SetOperatorOib(*db, QStringLiteral("Kasa0"), kCashierOib);
        fiscal::SetOperatorOib(*db, QStringLiteral("Kasa1"), kCashierOib);
        Configure(*db, 2000);
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("ZODRA_CONFIG");
        ZodractlCompanyTest::TearDown();
    }
    void Configure(Database& db, int timeoutMs) {
        QSettings workstation(m_dir.filePath(QStringLiteral("config/Zodra/Zodra.conf")),
                              QSettings::IniFormat);
        fiscal::FiscalSettings s;
        s.enabled = true;
        s.premises = QStringLiteral("PP1");
        s.device = QStringLiteral("1");
        s.certificatePath = files.p12;
        s.certificatePassword = files.password;
        s.endpoint = standIn->Url();
        s.timeoutMs = timeoutMs;
        s.serviceCertificatePath = service.signer.certPem;
        s.trustedCaPath = service.tls.caPem;
        fiscal::WriteFiscalSettings(db, workstation, s);
    }
    QString Sale(const QString& name, const QString& cashier) {
        QJsonObject sale = ReadJson(SourceFile("docs/examples/maloprodaja.json"));
        sale.insert(QStringLiteral("blagajnik"), cashier);
        sale.insert(QStringLiteral("placanje"), QJsonObject{{QStringLiteral("gotovina"), 0.5},
                                                            {QStringLiteral("kartica"), 0.25},
                                                            {QStringLiteral("tip_kartice"), 9}});
        return File(name, sale);
    }

    TestCertificate files{kCompanyOib};
    TestService service;
    std::unique_ptr<FiscalStandIn> standIn;
};

TEST_F(FiscalZodractlTest, TwoProgramsAtOnceNumberWithoutGapsAndTheOutboxIsDeliveredLater) {
    constexpr int kEach = 4;
    RunFailures failures;
    const QList<int> invoices =
        PostBesideCompaction(2, kEach,
                             [&](int worker, int i) {
                                 return Sale(QStringLiteral("m%1-%2.json").arg(worker).arg(i),
                                             QStringLiteral("Kasa%1").arg(worker));
                             },
                             failures, {QStringLiteral("--da")});
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(invoices.size(), 2 * kEach);

    auto db = Open();
    QSet<qint64> numbers;
    Statement q = db->Prepare(QStringLiteral(
        "SELECT \"BROJ\", \"JIR\", \"NACIN_PLACANJA\", \"GRESKA\" FROM \"FISKAL_RACUNI\""));
    q.Exec();
    while (q.Next()) {
        numbers.insert(q.Value(0).toLongLong());
        EXPECT_FALSE(q.Text(1).isEmpty()) << q.Text(3).toStdString();
        EXPECT_EQ(q.Text(2), QStringLiteral("O"));  // cash and card
    }
    q.Finish();
    QSet<qint64> expected;
    for (int n = 1; n <= 2 * kEach; ++n) {
        expected.insert(n);
    }
    EXPECT_EQ(numbers, expected);
    const ZodractlRun clean = Run({QStringLiteral("fiscal"), QStringLiteral("status")});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.out.trimmed(), QStringLiteral("Nepotvrđenih računa: 0"));

    // The service falls silent: the sale is posted all the same and waits in the outbox.
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*db, 300);
    const ZodractlRun late =
        Run({QStringLiteral("post"), Sale(QStringLiteral("late.json"), QStringLiteral("Kasa0")),
             QStringLiteral("--da")});
    ASSERT_EQ(late.exitCode, 0) << late.err.toStdString();
    const ZodractlRun waiting = Run({QStringLiteral("fiscal"), QStringLiteral("status")});
    EXPECT_EQ(waiting.exitCode, 1);
    EXPECT_TRUE(waiting.out.contains(QStringLiteral("9/PP1/1\t") +
                                     QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))))
        << waiting.out.toStdString();
    EXPECT_TRUE(waiting.out.contains(
        QStringLiteral("pokušaja: 1\tPoslužitelj za fiskalizaciju nije odgovorio u 300 ms.\n"
                       "Nepotvrđenih računa: 1")))
        << waiting.out.toStdString();

    standIn->SetMode(FiscalStandIn::Mode::Answer);
    const ZodractlRun retried = Run({QStringLiteral("fiscal"), QStringLiteral("retry")});
    EXPECT_EQ(retried.exitCode, 0) << retried.err.toStdString();
    EXPECT_EQ(retried.out, QStringLiteral("Potvrđeno: 1, odbijeno: 0, bez odgovora: 0\n"
                                          "Nepotvrđenih računa: 0\n"));
    EXPECT_TRUE(standIn->Requests().back().late);
    EXPECT_EQ(Run({QStringLiteral("fiscal"), QStringLiteral("zbroj")}).exitCode, 2);
}

// The negative receipt through the doors: "zodractl cancel" fiscalizes it, "zodractl receipt
// --storno" writes the printer's bytes with its marks and the printer's own QR command.
TEST_F(FiscalZodractlTest, ACancelledReceiptPrintsItsNegativeReceiptWithTheQrCommand) {
    qputenv("ZODRA_CONFIG", m_dir.filePath(QStringLiteral("ZodraConfig.cfg")).toUtf8());
    fiscal::SetOperatorOib(*Open(), QStringLiteral("zodractl"), kCashierOib);
    const ZodractlRun posted =
        Run({QStringLiteral("post"), Sale(QStringLiteral("s.json"), QStringLiteral("Kasa0")),
             QStringLiteral("--da")});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    const QString number =
        Scalar(QStringLiteral("SELECT MAX(\"BROJ_RACUNA\") FROM \"FISKAL_RACUNI\"")).toString();
    const QString bytesFile = m_dir.filePath(QStringLiteral("storno.bin"));
    const QStringList print{QStringLiteral("receipt"),
                            number,
                            QStringLiteral("--skladiste"),
                            QStringLiteral("1"),
                            QStringLiteral("--storno"),
                            QStringLiteral("--out"),
                            bytesFile};
    const ZodractlRun early = Run(print);
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_EQ(early.err.trimmed(),
              QStringLiteral("Račun broj ") + number + QStringLiteral(" nije storniran."));

    const ZodractlRun cancelled =
        Run({QStringLiteral("cancel"), QStringLiteral("racun"), number,
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--datum"),
             QStringLiteral("10.03.2026"), QStringLiteral("--da")});
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const ZodractlRun printed = Run(print);
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();

    auto db = Open();
    const int year =
        db->Scalar(QStringLiteral("SELECT MAX(\"GODINA\") FROM \"FISKAL_RACUNI\"")).toInt();
    const auto negative = fiscal::FindFiscalRecord(*db, {1, 1, year, number.toInt(), false, true});
    ASSERT_TRUE(negative);
    ASSERT_FALSE(negative->jir.isEmpty());
    EXPECT_LT(negative->receipt.total, 0);
    QFile file(bytesFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const Session::FiscalMarks marks = fiscal::MarksOf(*negative);
    EXPECT_TRUE(bytes.contains(pos::QrCodeCommand(marks.qrText.toUtf8())));
    EXPECT_TRUE(marks.qrText.contains(QStringLiteral("&izn=-")));
    for (const QString& line :
         {QStringLiteral("ZKI: ") + marks.protectiveCode, QStringLiteral("JIR:") + marks.jir,
          QStringLiteral("Operater: ") + marks.operatorMark}) {
        EXPECT_TRUE(bytes.contains(line.toLatin1() + '\n')) << line.toStdString();
    }
    EXPECT_TRUE(bytes.contains("STORNO RA"));
}

// Every A4 layout of a fiscalized invoice carries the marks; the JIR line only once the JIR is
// known (the receipt is valid with its ZKI alone meanwhile).
TEST_F(FiscalZodractlTest, TheA4ReceiptLeavesTheJirLineOutUntilTheJirComes) {
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*Open(), 300);
    const ZodractlRun posted =
        Run({QStringLiteral("post"), Sale(QStringLiteral("s.json"), QStringLiteral("Kasa0")),
             QStringLiteral("--da")});
    ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
    const QString number =
        Scalar(QStringLiteral("SELECT MAX(\"BROJ_RACUNA\") FROM \"FISKAL_RACUNI\"")).toString();
    const QString pdf = m_dir.filePath(QStringLiteral("racun.pdf"));
    const auto printed = [&](const QStringList& layout) {
        const ZodractlRun run = Run(QStringList{QStringLiteral("print"), QStringLiteral("racun"),
                                                number, QStringLiteral("--skladiste"),
                                                QStringLiteral("1"), QStringLiteral("--pdf"), pdf} +
                                    layout);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        // The font joins "ff" and "fi" of the hexadecimal codes into ligatures: taken apart.
        return QString::fromUtf8(RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
            .normalized(QString::NormalizationForm_KC);
    };
    const QList<QStringList> layouts{
        {},
        {QStringLiteral("--bez-rabata")},
        {QStringLiteral("--ispis"), QStringLiteral("racun-otpremnica")},
        {QStringLiteral("--ispis"), QStringLiteral("racun-otpremnica"),
         QStringLiteral("--bez-rabata")}};
    const QString zki =
        Scalar(QStringLiteral("SELECT \"ZKI\" FROM \"FISKAL_RACUNI\" WHERE \"BROJ_RACUNA\" = ?"),
               {number})
            .toString();
    ASSERT_EQ(zki.size(), 32);
    for (const QStringList& layout : layouts) {
        const QString waiting = printed(layout);
        EXPECT_TRUE(waiting.contains(QStringLiteral("ZKI: ") + zki)) << waiting.toStdString();
        EXPECT_TRUE(waiting.contains(QStringLiteral("Operater: ")));
        EXPECT_FALSE(waiting.contains(QStringLiteral("JIR"))) << layout.join(u' ').toStdString();
    }

    standIn->SetMode(FiscalStandIn::Mode::Answer);
    ASSERT_EQ(Run({QStringLiteral("fiscal"), QStringLiteral("retry")}).exitCode, 0);
    const QString jir =
        Scalar(QStringLiteral("SELECT \"JIR\" FROM \"FISKAL_RACUNI\" WHERE \"BROJ_RACUNA\" = ?"),
               {number})
            .toString();
    ASSERT_FALSE(jir.isEmpty());
    for (const QStringList& layout : layouts) {
        const QString confirmed = printed(layout);
        EXPECT_TRUE(confirmed.contains(QStringLiteral("JIR: ") + jir)) << confirmed.toStdString();
    }
}

// The change door: a receipt of today gets its new payment method through the service; once its
// day is over it is refused.
TEST_F(FiscalZodractlTest, AReceiptOfTodayChangesItsPaymentMethodAndNoOtherDay) {
    const ZodractlRun sale =
        Run({QStringLiteral("post"), Sale(QStringLiteral("s.json"), QStringLiteral("Kasa0")),
             QStringLiteral("--da")});
    ASSERT_EQ(sale.exitCode, 0) << sale.err.toStdString();
    auto db = Open();
    Statement q = db->Prepare(
        QStringLiteral("SELECT \"IRA\", \"BROJ_RACUNA\", \"DETALJNO\", \"ID\", \"SKLADISTE\" FROM "
                       "\"FISKAL_RACUNI\""));
    q.Exec();
    ASSERT_TRUE(q.Next());
    QStringList change{QStringLiteral("fiscal"),
                       QStringLiteral("change"),
                       q.Text(0) + QLatin1Char('/') + q.Text(1),
                       QStringLiteral("--placanje"),
                       QStringLiteral("k"),
                       QStringLiteral("--skladiste"),
                       q.Text(4)};
    if (q.Value(2).toBool()) {
        change << QStringLiteral("--detaljno");
    }
    const int id = q.Value(3).toInt();
    q.Finish();
    const ZodractlRun changed = Run(change);
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(changed.out, QStringLiteral("p001: Uspješna prijava promjene načina plaćanja.\n"));
    EXPECT_EQ(standIn->Requests().back().kind, QStringLiteral("PromijeniNacPlacZahtjev"));
    EXPECT_EQ(fiscal::FiscalRecordById(*db, id).changedPayment, QStringLiteral("K"));

    const QDate yesterday = QDate::currentDate().addDays(-1);
    db->Exec(QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"IZDAN\" = ?"),
             {yesterday.toString(QStringLiteral("yyyy-MM-dd 10:00:00"))});
    change[4] = QStringLiteral("G");
    const ZodractlRun late = Run(change);
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_EQ(late.err.trimmed(), fiscal::SameDayChangeMessage(yesterday));
    EXPECT_EQ(
        Run({QStringLiteral("fiscal"), QStringLiteral("change"), QStringLiteral("1/1")}).exitCode,
        2);
}

}  // namespace
}  // namespace zodra::test
