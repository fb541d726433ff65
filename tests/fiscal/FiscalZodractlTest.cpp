// Receipts posted by two programs at once beside a compaction are fiscalized with one gap-free
// numbering; the outbox is listed and delivered by "zodractl fiscal".

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <map>
#include <thread>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "fiscal/FiscalService.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "fiscal/ReceiptMarks.h"
#include "fiscal/ReportOutbox.h"
#include "payments/CollectionBook.h"
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
        Configure(*db, kAnswered);
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("ZODRA_CONFIG");
        ZodractlCompanyTest::TearDown();
    }
    fiscal::FiscalSettings Configure(Database& db, int timeoutMs) {
        QSettings workstation(m_dir.filePath(QStringLiteral("config/Zodra/Zodra.conf")),
                              QSettings::IniFormat);
        fiscal::FiscalSettings s = TillSettings(files, service, standIn->Url(), timeoutMs);
        fiscal::WriteFiscalSettings(db, workstation, s);
        return s;
    }
    // Posts a sale of till Kasa0 through the door.
    void PostSale(const QString& name) {
        const ZodractlRun run = Run(
            {QStringLiteral("post"), Sale(name, QStringLiteral("Kasa0")), QStringLiteral("--da")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    QString Sale(const QString& name, const QString& cashier) {
        QJsonObject sale = ReadJson(SourceFile("docs/examples/maloprodaja.json"));
        sale.insert(QStringLiteral("blagajnik"), cashier);
        sale.insert(QStringLiteral("placanje"), QJsonObject{{QStringLiteral("gotovina"), 0.5},
                                                            {QStringLiteral("kartica"), 0.25},
                                                            {QStringLiteral("tip_kartice"), 9}});
        return File(name, sale);
    }

    // An invoice of warehouse 1 with something left to collect, issued as an e-invoice (its
    // report accepted): "1/N" and its year for the doors.
    std::pair<QString, int> IssuedEInvoice() {
        auto db = Open();
        Statement q = db->Prepare(QStringLiteral(
            "SELECT \"BROJ RACUNA\", \"GODINA\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = "
            "1 AND \"IRA\" = 1 AND \"STORNO\" = FALSE ORDER BY \"BROJ RACUNA\""));
        q.Exec();
        while (q.Next()) {
            if (payments::InvoiceBalanceOf(*db, {1, 1, q.Int(1), q.Int(0)}).Open() >= 10) {
                const QString key = QStringLiteral("1/%1").arg(q.Int(0));
                const int year = q.Int(1);
                q.Finish();
                const ZodractlRun issued =
                    Run({QStringLiteral("einvoice"), key, m_dir.filePath(QStringLiteral("e.xml")),
                         QStringLiteral("--skladiste"), QStringLiteral("1")});
                EXPECT_EQ(issued.exitCode, 0) << issued.err.toStdString();
                return {key, year};
            }
        }
        ADD_FAILURE() << "no invoice left to collect";
        return {};
    }
    // A collection of 1,00 of the invoice through the door; its code.
    int Collect(const std::pair<QString, int>& invoice) {
        const ZodractlRun run =
            Run({QStringLiteral("pay"), QStringLiteral("--racun"), invoice.first,
                 QStringLiteral("--iznos"), QStringLiteral("1"), QStringLiteral("--datum"),
                 QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")),
                 QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--godina"),
                 QString::number(invoice.second)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"NAPLATA\"")).toInt();
    }
    ZodractlRun DeleteCollection(int code) {
        return Run({QStringLiteral("delete"), QStringLiteral("naplata"), QString::number(code),
                    QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return Scalar(sql, params).toInt();
    }

    const TestCertificate& files = CompanyCertificate();
    const TestService& service = StandInService();
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
    Configure(*db, kSilent);
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
    Configure(*db, kAnswered);
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
    ASSERT_NO_FATAL_FAILURE(PostSale(QStringLiteral("s.json")));
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
    EXPECT_TRUE(bytes.contains((QStringLiteral("JIR:") + marks.jir).toLatin1() + '\n'));
}

// Every A4 layout of a fiscalized invoice carries the marks; the JIR line only once the JIR is
// known (the receipt is valid with its ZKI alone meanwhile).
TEST_F(FiscalZodractlTest, TheA4ReceiptLeavesTheJirLineOutUntilTheJirComes) {
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*Open(), kSilent);
    ASSERT_NO_FATAL_FAILURE(PostSale(QStringLiteral("s.json")));
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
    Configure(*Open(), kAnswered);
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

// A change made while another program's retry is sending the receipt's old data: the JIR is
// stored against what was sent and the change follows as a change request, so the service ends
// up with the new payment method and the record says what the service holds.
TEST_F(FiscalZodractlTest, AChangeMadeWhileTheRetrySendsTheOldDataFollowsAsAChangeRequest) {
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*Open(), kSilent);
    ASSERT_NO_FATAL_FAILURE(PostSale(QStringLiteral("s.json")));
    auto db = Open();
    const fiscal::FiscalRecord waiting = fiscal::UnconfirmedReceipts(*db).front();
    ASSERT_EQ(waiting.receipt.payment, QStringLiteral("O"));

    standIn->SetMode(FiscalStandIn::Mode::Answer);
    const fiscal::FiscalSettings settings = Configure(*db, 20000);
    standIn->HoldAnswers();
    ZodractlRun retry;
    std::thread other([&] { retry = Run({QStringLiteral("fiscal"), QStringLiteral("retry")}); });
    const bool held = standIn->WaitForHeld(1, 60000);
    fiscal::FiscalService here(*db, settings, QDateTime::currentDateTime());
    fiscal::FiscalService::ChangeResult changed;
    if (held) {
        changed = here.ChangeReceipt(*db, waiting.invoice, QStringLiteral("K"), std::nullopt);
    }
    standIn->ReleaseAnswers();
    other.join();
    ASSERT_TRUE(held);
    EXPECT_EQ(changed.outcome, fiscal::FiscalService::ChangeOutcome::Unsent);
    EXPECT_EQ(retry.exitCode, 0) << retry.err.toStdString();
    EXPECT_TRUE(
        retry.out.startsWith(QStringLiteral("Potvrđeno: 1, odbijeno: 0, bez odgovora: 0\n")))
        << retry.out.toStdString();

    const std::vector<FiscalStandIn::Request> seen = standIn->Requests();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2].kind, QStringLiteral("RacunZahtjev"));
    EXPECT_TRUE(seen[seen.size() - 2].body.contains("<tns:NacinPlac>O<"));
    EXPECT_EQ(seen.back().kind, QStringLiteral("PromijeniNacPlacZahtjev"));
    EXPECT_EQ(seen.back().errorCode, QString());
    EXPECT_EQ(standIn->PaymentOnRecord(waiting.receipt.protectiveCode), QStringLiteral("K"));
    const fiscal::FiscalRecord record = fiscal::FiscalRecordById(*db, waiting.id);
    EXPECT_FALSE(record.jir.isEmpty());
    EXPECT_EQ(record.receipt.payment, QStringLiteral("O"));
    EXPECT_EQ(record.changedPayment, QStringLiteral("K"));
    EXPECT_EQ(fiscal::PendingChangeCount(*db), 0);
}

// Two retries of the same outbox at once beside a compaction: each receipt and report is sent
// and stored once (a report sent twice would come back S008). Then two changes of one receipt at
// once: the later one follows the earlier, and the record says what the service holds.
TEST_F(FiscalZodractlTest, TwoRetriesAndTwoChangesAtOnceSendEachOnceBesideACompaction) {
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*Open(), kSilent);
    constexpr int kReceipts = 4;
    for (int i = 0; i < kReceipts; ++i) {
        ASSERT_NO_FATAL_FAILURE(PostSale(QStringLiteral("s%1.json").arg(i)));
    }
    int number = 0;
    for (int i = 0; i < 2; ++i) {
        number = Scalar(QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                                       "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"STORNO\" = "
                                       "FALSE AND \"BROJ RACUNA\" > ?"),
                        {number})
                     .toInt();
        const ZodractlRun issued =
            Run({QStringLiteral("einvoice"), QStringLiteral("1/%1").arg(number),
                 m_dir.filePath(QStringLiteral("e%1.xml").arg(number)),
                 QStringLiteral("--skladiste"), QStringLiteral("1")});
        ASSERT_EQ(issued.exitCode, 0) << issued.err.toStdString();
    }
    auto db = Open();
    ASSERT_EQ(fiscal::UnconfirmedCount(*db), kReceipts);
    ASSERT_EQ(fiscal::UnconfirmedReportCount(*db), 2);

    standIn->SetMode(FiscalStandIn::Mode::Answer);
    standIn->SetDelay(150);
    Configure(*db, 10000);
    RunFailures failures;
    int confirmed = 0;
    RunBesideCompaction(
        m_company, 2,
        [&](int) {
            const ZodractlRun run = Run({QStringLiteral("fiscal"), QStringLiteral("retry")});
            static const QRegularExpression counted(QStringLiteral("^Potvrđeno: (\\d+), "));
            const QRegularExpressionMatch m = counted.match(run.out);
            failures.Check(m.hasMatch() && run.err.isEmpty(), QStringLiteral("retry"), run);
            std::lock_guard<std::mutex> guard(failures.Mutex());
            confirmed += m.captured(1).toInt();
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(confirmed, kReceipts + 2);
    EXPECT_EQ(fiscal::UnconfirmedCount(*db), 0);
    EXPECT_EQ(fiscal::UnconfirmedReportCount(*db), 0);
    std::map<QString, int> sends;
    for (const FiscalStandIn::Request& r : standIn->Requests()) {
        if (!r.kind.isEmpty()) {
            EXPECT_EQ(r.errorCode, QString()) << r.kind.toStdString();
            ++sends[r.kind == QStringLiteral("RacunZahtjev")
                        ? QString::fromUtf8(r.body).section(QStringLiteral("ZastKod>"), 1, 1)
                        : r.kind + QString::fromUtf8(r.body).section(
                                       QStringLiteral("brojDokumenta>"), 1, 1)];
        }
    }
    EXPECT_EQ(sends.size(), static_cast<std::size_t>(kReceipts + 2));
    for (const auto& [what, count] : sends) {
        EXPECT_EQ(count, 1) << what.toStdString();
    }

    // Two changes of the first receipt at once, beside a compaction: the second comes while the
    // first is on its way, waits, and follows it, so the service ends with the later one.
    const fiscal::FiscalRecord first = fiscal::FiscalRecordById(
        *db, db->Scalar(QStringLiteral("SELECT MIN(\"ID\") FROM \"FISKAL_RACUNI\"")).toInt());
    const auto change = [&](const QString& payment) {
        QStringList args{QStringLiteral("fiscal"),
                         QStringLiteral("change"),
                         QStringLiteral("%1/%2").arg(first.invoice.book).arg(first.invoice.number),
                         QStringLiteral("--placanje"),
                         payment,
                         QStringLiteral("--skladiste"),
                         QString::number(first.invoice.warehouse)};
        if (first.invoice.detailed) {
            args << QStringLiteral("--detaljno");
        }
        return Run(args);
    };
    standIn->SetDelay(0);
    standIn->HoldAnswers();
    ZodractlRun earlier;
    ZodractlRun later;
    ZodractlRun listed;
    std::vector<std::function<void()>> workers{
        [&] { earlier = change(QStringLiteral("K")); },
        [&] {
            if (standIn->WaitForHeld(1, 60000)) {
                later = change(QStringLiteral("T"));
                listed = Run({QStringLiteral("fiscal"), QStringLiteral("status")});
            }
            standIn->ReleaseAnswers();
        }};
    RunBesideCompaction(m_company, workers, failures, 2);
    EXPECT_EQ(failures.CompactionFaults(), 0) << failures.Text();
    EXPECT_EQ(earlier.exitCode, 0) << earlier.err.toStdString();
    EXPECT_EQ(earlier.out, QStringLiteral("p001: Uspješna prijava promjene načina plaćanja.\n"));
    EXPECT_EQ(later.exitCode, 1);
    EXPECT_EQ(later.err.trimmed(), fiscal::QueuedChangeMessage());
    EXPECT_EQ(
        Run({QStringLiteral("fiscal"), QStringLiteral("change"), QStringLiteral("1/1")}).exitCode,
        2);
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Promjena ") +
                                    fiscal::FiscalNumber(first.receipt) + QStringLiteral(": T\t")))
        << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Nepotvrđenih promjena: 1\n")));
    EXPECT_EQ(fiscal::FiscalRecordById(*db, first.id).changedPayment, QStringLiteral("K"));

    const ZodractlRun retried = Run({QStringLiteral("fiscal"), QStringLiteral("retry")});
    EXPECT_EQ(retried.exitCode, 0) << retried.out.toStdString() << retried.err.toStdString();
    EXPECT_TRUE(
        retried.out.startsWith(QStringLiteral("Potvrđeno: 1, odbijeno: 0, bez odgovora: 0\n")));
    EXPECT_EQ(fiscal::FiscalRecordById(*db, first.id).changedPayment, QStringLiteral("T"));
    EXPECT_EQ(standIn->PaymentOnRecord(first.receipt.protectiveCode), QStringLiteral("T"));
    EXPECT_EQ(fiscal::PendingChangeCount(*db), 0);
}

// A collection whose report another program is sending is not deleted: that send's answer decides
// between dropping the report and withdrawing it. One not being sent is deleted beside it, and
// the sending round, which listed its report, passes over its going.
TEST_F(FiscalZodractlTest, ACollectionIsNotDeletedWhileAnotherProgramSendsItsReport) {
    const auto invoice = IssuedEInvoice();
    standIn->SetMode(FiscalStandIn::Mode::Silent);
    Configure(*Open(), kSilent);
    const int sending = Collect(invoice);
    const int beside = Collect(invoice);
    auto db = Open();
    ASSERT_EQ(fiscal::UnconfirmedReportCount(*db), 2);

    standIn->SetMode(FiscalStandIn::Mode::Answer);
    Configure(*db, 20000);
    standIn->HoldAnswers();
    ZodractlRun retry;
    std::thread sender([&] { retry = Run({QStringLiteral("fiscal"), QStringLiteral("retry")}); });
    const bool held = standIn->WaitForHeld(1, 60000);
    ZodractlRun refused;
    ZodractlRun dropped;
    if (held) {
        refused = DeleteCollection(sending);
        dropped = DeleteCollection(beside);
    }
    standIn->ReleaseAnswers();
    sender.join();
    ASSERT_TRUE(held);
    EXPECT_EQ(refused.exitCode, 1);
    // The door's question ("… ? Da") comes first, the refusal after it.
    EXPECT_EQ(refused.err.trimmed().section(u'\n', -1),
              QStringLiteral("Naplata se upravo prijavljuje Poreznoj upravi na drugom računalu. "
                             "Pokušajte je obrisati ponovno za minutu."));
    EXPECT_EQ(dropped.exitCode, 0) << dropped.err.toStdString();
    EXPECT_FALSE(fiscal::FindPaymentReport(*db, beside));
    EXPECT_FALSE(fiscal::FindPaymentReport(*db, beside, true));
    EXPECT_EQ(retry.exitCode, 0) << retry.err.toStdString();
    EXPECT_TRUE(retry.out.startsWith(QStringLiteral("Potvrđeno: 1, odbijeno: 0, bez odgovora: 0")))
        << retry.out.toStdString();
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM \"NAPLATA\" WHERE \"Sifra\" = ?"), {sending}),
        1);
    ASSERT_TRUE(fiscal::FindPaymentReport(*db, sending));
    EXPECT_TRUE(fiscal::FindPaymentReport(*db, sending)->accepted.isValid());
    EXPECT_FALSE(fiscal::FindPaymentReport(*db, sending, true));

    // The send over, the deletion goes through and withdraws the accepted report.
    const ZodractlRun deleted = DeleteCollection(sending);
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    const auto withdrawal = fiscal::FindPaymentReport(*db, sending, true);
    ASSERT_TRUE(withdrawal);
    EXPECT_TRUE(withdrawal->accepted.isValid());
    EXPECT_DOUBLE_EQ(withdrawal->amount, -1.0);
    EXPECT_EQ(fiscal::UnconfirmedReportCount(*db), 0);
}

// Two programs delete the same reported collections at once beside a compaction: each goes once
// with one withdrawal sent once, and the later program is told the collection is gone.
TEST_F(FiscalZodractlTest, TwoProgramsDeletingOneCollectionWithdrawItOnceBesideACompaction) {
    const auto invoice = IssuedEInvoice();
    const QList<int> codes{Collect(invoice), Collect(invoice), Collect(invoice)};
    ASSERT_EQ(fiscal::UnconfirmedReportCount(*Open()), 0);
    RunFailures failures;
    std::map<int, int> deleted;
    RunBesideCompaction(
        m_company, 2,
        [&](int) {
            for (int code : codes) {
                const ZodractlRun run = DeleteCollection(code);
                const bool gone =
                    run.exitCode == 1 &&
                    run.err.trimmed().section(u'\n', -1) ==
                        QStringLiteral("Ne postoji zatvaranje pod šifrom %1.").arg(code);
                failures.Check(run.exitCode == 0 || gone, QStringLiteral("delete"), run);
                std::lock_guard<std::mutex> guard(failures.Mutex());
                deleted[code] += run.exitCode == 0 ? 1 : 0;
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    auto db = Open();
    for (int code : codes) {
        EXPECT_EQ(deleted[code], 1) << code;
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_IZVJESTAJI\" WHERE "
                                       "\"VRSTA\" = 'STORNO_NAPLATE' AND \"NAPLATA\" = ?"),
                        {code}),
                  1)
            << code;
        EXPECT_TRUE(fiscal::FindPaymentReport(*db, code, true)->accepted.isValid()) << code;
    }
    int withdrawals = 0;
    for (const FiscalStandIn::Request& r : standIn->Requests()) {
        withdrawals += r.body.contains("<fis:naplaceniIznos>-1.00<") ? 1 : 0;
    }
    EXPECT_EQ(withdrawals, codes.size());
    EXPECT_EQ(fiscal::UnconfirmedReportCount(*db), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_SLANJE\"")), 0);
}

}  // namespace
}  // namespace zodra::test
