#include <gtest/gtest.h>

#include <QEventLoop>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <functional>
#include <utility>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "data/Errors.h"
#include "data/ScriptedPrompter.h"
#include "fiscal/FiscalService.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "stock/StockTest.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

namespace zodra::test {
namespace {

using Mode = FiscalStandIn::Mode;

TEST(InvoicePaymentCode, CashAndCardAlwaysTransferOnlyFromAConsumerFrom2026) {
    const QDate y2026(2026, 1, 1);
    const QDate y2025(2025, 12, 31);
    struct Case {
        const char* method;
        bool consumer;
        QDate date;
        const char* code;
    };
    for (const Case& c : std::vector<Case>{
             {"gotovinom", false, y2025, "G"},
             {"  Gotovina ", false, y2026, "G"},
             {"karticom", false, y2026, "K"},
             {"virmanom", true, y2026, "T"},
             {"na transakcijski račun", true, y2026, "T"},
             {"virmanom", false, y2026, ""},
             {"virmanom", true, y2025, ""},
             {"kompenzacijom", true, y2026, ""},
             {"", true, y2026, ""},
         }) {
        EXPECT_EQ(fiscal::InvoicePaymentCode(QString::fromUtf8(c.method), c.consumer, c.date),
                  QString::fromUtf8(c.code))
            << c.method << ' ' << c.consumer << ' ' << c.date.year();
    }
}

// The invoice window of a company with fiscalization on: user "admin" with an OIB, customer 1
// a business (valid OIB), customer 2 a consumer (none), and the stand-in service.
class FiscalInvoiceTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        ASSERT_FALSE(files->pem.isEmpty());
        ASSERT_TRUE(remote->Ready());
        db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ?"), {kCompanyOib});
        db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"OIB\" = ? WHERE \"SIFRA\" = 1"),
                  {QStringLiteral("94577403194")});
        consumer = Value(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\"")) + 1;
        db().Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Kupac\") "
                                 "VALUES (?, 'Ivo Ivić', TRUE)"),
                  {consumer});
        fiscal::SetOperatorOib(db(), QStringLiteral("admin"), kCashierOib);
        article = docs->AddArticle(QStringLiteral("Stol"));
        docs->Receipt({{article, 10, 80, 100, 25.0}});
        standIn = std::make_unique<FiscalStandIn>(files->pem, kCompanyOib, FiscalSchemaPath(),
                                                  remote->Identity());
        Configure(kAnswered);
    }

    // Over HTTPS with the service's authority trusted and its answers checked, unless told.
    void Configure(int timeoutMs, const QString& serviceCertificate = Default(),
                   const QString& trustedCa = Default()) {
        ini = Folder() + QStringLiteral("/till.ini");
        QSettings workstation(ini, QSettings::IniFormat);
        fiscal::FiscalSettings settings = TillSettings(*files, *remote, standIn->Url(), timeoutMs);
        settings.serviceCertificatePath =
            serviceCertificate == Default() ? remote->signer.certPem : serviceCertificate;
        settings.trustedCaPath = trustedCa == Default() ? remote->tls.caPem : trustedCa;
        fiscal::WriteFiscalSettings(db(), workstation, settings);
        fiscal::InstallFiscalHooks(*session, ini);
    }

    // Two pieces at 100 + 25 % to the customer, paid as `method` says, posted as the invoice
    // window posts.
    int Invoice(const QString& method, int customer = 1) {
        ScriptedPrompter quiet;
        sales::InvoiceDraft draft = sales::OpenInvoice(*session, QDate(2026, 3, 2));
        draft.book = 1;
        draft.salesTerms = 2;
        draft.customer = customer;
        try {
            sales::AddArticleLine(*session, quiet, draft,
                                  {article, std::nullopt, 2, std::nullopt, 0.0, std::nullopt, {}});
            sales::InvoiceHeader header;
            header.deliveryName = QStringLiteral("Kupac");
            header.deliveryAddress = QStringLiteral("Ilica 1");
            header.deliveryPlace = QStringLiteral("Zagreb");
            header.paymentTerm = QStringLiteral("0");
            header.dueDate = QStringLiteral("02.03.2026");
            header.alreadyPaid = QStringLiteral("0");
            header.bankAccount = QStringLiteral("HR1210010051863000160");
            header.paymentMethod = method;
            const int number = sales::PostInvoice(*session, draft, header).number;
            sales::DiscardInvoice(*session, draft);
            return number;
        } catch (...) {
            sales::DiscardInvoice(*session, draft);
            throw;
        }
    }

    std::optional<fiscal::FiscalRecord> Record(int invoice) {
        return fiscal::FindFiscalRecord(db(), {1, 1, Year(), invoice, false, false});
    }

    int Invoices() { return Value(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")); }
    int Value(const QString& sql) { return db().Scalar(sql).toInt(); }

    static QString Default() { return QStringLiteral("*"); }

    const TestCertificate* files = &CompanyCertificate();
    const TestService* remote = &StandInService();
    std::unique_ptr<FiscalStandIn> standIn;
    QString ini;
    int consumer = 0;
    int article = 0;
};

TEST_F(FiscalInvoiceTest, CashCardAndConsumerTransferAreFiscalizedABusinessTransferIsNot) {
    const int cash = Invoice(QStringLiteral("gotovinom"));
    const int card = Invoice(QStringLiteral("karticom"));
    const int business = Invoice(QStringLiteral("virmanom"));
    const int private_ = Invoice(QStringLiteral("virmanom"), consumer);

    EXPECT_FALSE(Record(business));
    const auto requests = standIn->Requests();
    ASSERT_EQ(requests.size(), 3u);
    const std::vector<std::pair<int, const char*>> expected{
        {cash, "G"}, {card, "K"}, {private_, "T"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto record = Record(expected[i].first);
        ASSERT_TRUE(record) << expected[i].second;
        EXPECT_EQ(requests[i].errorCode, QString()) << requests[i].body.toStdString();
        EXPECT_FALSE(requests[i].late);
        EXPECT_EQ(record->jir, requests[i].jir);
        EXPECT_EQ(record->receipt.payment, QString::fromUtf8(expected[i].second));
        EXPECT_EQ(fiscal::FiscalNumber(record->receipt),
                  QString::number(i + 1) + QStringLiteral("/PP1/1"));
        EXPECT_EQ(record->receipt.operatorOib, kCashierOib);
        EXPECT_DOUBLE_EQ(record->receipt.total, 250);
        ASSERT_EQ(record->receipt.vat.size(), 1u);
        EXPECT_DOUBLE_EQ(record->receipt.vat[0].base, 200);
        EXPECT_DOUBLE_EQ(record->receipt.vat[0].amount, 50);
        EXPECT_TRUE(requests[i].body.contains(QByteArray("<tns:NacinPlac>") + expected[i].second +
                                              "</tns:NacinPlac>"));
    }
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);

    // Without the user's OIB a cash invoice is refused and leaves nothing; a business transfer
    // is not fiscalized and goes through.
    db().Exec(QStringLiteral("DELETE FROM \"FISKAL_OPERATERI\""));
    EXPECT_REFUSED(Invoice(QStringLiteral("gotovinom")),
                   fiscal::NoOperatorOibMessage(QStringLiteral("admin")));
    EXPECT_EQ(Invoices(), 4);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\"")), 3);
    Invoice(QStringLiteral("virmanom"));
    EXPECT_EQ(Invoices(), 5);
    EXPECT_EQ(standIn->Requests().size(), 3u);
}

TEST_F(FiscalInvoiceTest, ASilentServiceLeavesTheInvoicePostedAndTheOutboxDeliversItLate) {
    Configure(300);
    standIn->SetMode(Mode::Silent);
    const int number = Invoice(QStringLiteral("gotovinom"));
    ASSERT_TRUE(Record(number));
    EXPECT_EQ(Record(number)->jir, QString());
    EXPECT_EQ(Record(number)->error,
              QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 300 ms."));
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 1);

    standIn->SetMode(Mode::Answer);
    Configure(kAnswered);
    QSettings workstation(ini, QSettings::IniFormat);
    fiscal::FiscalService service(db(), fiscal::ReadFiscalSettings(db(), workstation),
                                  QDateTime::currentDateTime());
    EXPECT_EQ(service.RetryOutbox(db()).confirmed, 1);
    EXPECT_TRUE(standIn->Requests().back().late);
    EXPECT_EQ(Record(number)->jir, standIn->Requests().back().jir);
}

// The service answers over HTTPS under a test authority and signs its answers with a
// certificate of its own: the workstation trusts neither unless told.
TEST_F(FiscalInvoiceTest, OverHttpsOnlyASoundlySignedAnswerGivesAJir) {
    ASSERT_TRUE(standIn->Url().startsWith(QStringLiteral("https://")));
    // The authority not trusted: the connection is refused, which is no answer at all.
    Configure(kAnswered, Default(), QString());
    const int untrusted = Invoice(QStringLiteral("gotovinom"));
    EXPECT_TRUE(standIn->Requests().empty());
    EXPECT_TRUE(Record(untrusted)->error.startsWith(
        QStringLiteral("Poslužitelj za fiskalizaciju nije dostupan: ")))
        << Record(untrusted)->error.toStdString();

    Configure(kAnswered);
    const int sound = Invoice(QStringLiteral("gotovinom"));
    ASSERT_EQ(standIn->Requests().size(), 1u);
    EXPECT_EQ(Record(sound)->jir, standIn->Requests().back().jir);

    standIn->SetMode(Mode::BadSignature);
    const int broken = Invoice(QStringLiteral("karticom"));
    ASSERT_EQ(standIn->Requests().size(), 2u);
    EXPECT_FALSE(standIn->Requests().back().jir.isEmpty());
    EXPECT_EQ(Record(broken)->jir, QString());
    EXPECT_EQ(Record(broken)->error,
              fiscal::UnsignedAnswerMessage(QStringLiteral("potpis nije ispravan")));

    // Signed soundly, but by a certificate other than the one the workstation expects.
    standIn->SetMode(Mode::Answer);
    Configure(kAnswered, files->certPem);
    const int stranger = Invoice(QStringLiteral("karticom"));
    EXPECT_EQ(Record(stranger)->jir, QString());
    EXPECT_TRUE(Record(stranger)->error.startsWith(QStringLiteral("Potpis odgovora poslužitelja")));
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 3);
}

// The background retry waits for a silent service in a thread of its own: the window's thread
// keeps turning its own event loop meanwhile (a wait on its thread would show as a nested
// loop), and the round's outcome is written by the round's own connection.
TEST_F(FiscalInvoiceTest, TheBackgroundRetryNeverWaitsOnTheWindowsThread) {
    Configure(300);
    standIn->SetMode(Mode::Silent);
    const int number = Invoice(QStringLiteral("gotovinom"));
    ASSERT_EQ(Record(number)->attempts, 1);
    Configure(1500);

    auto runUntil = [&](const std::function<bool()>& done) {
        int ticksWhileHeld = 0;
        int deepest = 0;
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            deepest = std::max(deepest, QThread::currentThread()->loopLevel());
            if (standIn->Requests().size() == 2 && Record(number)->attempts == 1) {
                ++ticksWhileHeld;
            }
            if (done()) {
                loop.quit();
            }
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        tick.start(20);
        loop.exec();
        return std::pair{ticksWhileHeld, deepest};
    };
    {
        QObject window;
        fiscal::StartOutboxRetries(window, *session, ini, 60 * 60 * 1000, 0);
        const auto [ticksWhileHeld, deepest] =
            runUntil([&] { return Record(number)->attempts == 2; });
        EXPECT_EQ(Record(number)->attempts, 2);
        EXPECT_EQ(Record(number)->error,
                  QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 1500 ms."));
        EXPECT_GT(ticksWhileHeld, 0);
        EXPECT_EQ(deepest, 1);
    }
    standIn->SetMode(Mode::Answer);
    Configure(kAnswered);
    QObject window;
    fiscal::StartOutboxRetries(window, *session, ini, 60 * 60 * 1000, 0);
    runUntil([&] { return fiscal::UnconfirmedCount(db()) == 0; });
    EXPECT_EQ(Record(number)->jir, standIn->Requests().back().jir);
    EXPECT_TRUE(standIn->Requests().back().late);
}

}  // namespace
}  // namespace zodra::test
