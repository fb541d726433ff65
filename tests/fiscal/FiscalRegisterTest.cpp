#include <gtest/gtest.h>

#include <QSettings>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "fiscal/FiscalService.h"
#include "fiscal/ProtectiveCode.h"
#include "retail/RetailTest.h"

namespace zodra::test {
namespace {

using Mode = FiscalStandIn::Mode;

// The register of a company in the VAT system with fiscalization on, its cashier Ana with her
// OIB, and the stand-in service trusting the company's test certificate.
class FiscalRegisterTest : public RetailTest {
protected:
    static void SetUpTestSuite() {
        files = new TestCertificate(kCompanyOib);
        remote = new TestService;
    }
    static void TearDownTestSuite() {
        delete files;
        delete remote;
    }

    void SetUp() override {
        RetailTest::SetUp();
        ASSERT_FALSE(files->pem.isEmpty());
        ASSERT_TRUE(remote->Ready());
        db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ?"), {kCompanyOib});
        fiscal::SetOperatorOib(db(), QStringLiteral("Ana"), kCashierOib);
        standIn = std::make_unique<FiscalStandIn>(files->pem, kCompanyOib, FiscalSchemaPath(),
                                                  remote->Identity());
        Configure(*session, QStringLiteral("1"));
    }

    // The till's settings in a file of its own, and the session's hooks reading them.
    void Configure(Session& s, const QString& device, const QString& sequence = QStringLiteral("P"),
                   int timeoutMs = 2000, const QString& certificate = {}) {
        const QString ini = Folder() + QStringLiteral("/till") + device + QStringLiteral(".ini");
        QSettings workstation(ini, QSettings::IniFormat);
        fiscal::FiscalSettings settings;
        settings.enabled = true;
        settings.sequence = sequence;
        settings.premises = QStringLiteral("PP1");
        settings.device = device;
        settings.certificatePath = certificate.isEmpty() ? files->p12 : certificate;
        settings.certificatePassword = files->password;
        settings.endpoint = standIn->Url();
        settings.timeoutMs = timeoutMs;
        settings.serviceCertificatePath = remote->signer.certPem;
        settings.trustedCaPath = remote->tls.caPem;
        fiscal::WriteFiscalSettings(s.Db(), workstation, settings);
        fiscal::InstallFiscalHooks(s, ini);
        settingsFiles[&s] = ini;
    }

    std::unique_ptr<fiscal::FiscalService> Service(Session& s) {
        QSettings workstation(settingsFiles[&s], QSettings::IniFormat);
        return std::make_unique<fiscal::FiscalService>(
            s.Db(), fiscal::ReadFiscalSettings(s.Db(), workstation), QDateTime::currentDateTime());
    }

    // F12 and the payment: the posting (its fiscal record in the same transaction), then the
    // send. `send` false stops as a program that died between the two would.
    int Sell(Session& s, const QString& cashier = QStringLiteral("Ana"), bool send = true) {
        retail::TillSale sale = Open(s);
        sale.cashier = cashier;
        retail::ScanBarcode(s, sale, QStringLiteral("3850001000012"));
        std::optional<retail::PostedRetailSale> posted;
        try {
            posted = retail::PostRetailSale(s, sale, retail::ProposedRetailNumber(s, sale));
        } catch (...) {
            retail::CloseTillSale(s, sale);
            throw;
        }
        if (send) {
            retail::RetailSaleFinished(s, sale, *posted);
        }
        retail::CloseTillSale(s, sale);
        return posted->number;
    }

    fiscal::FiscalRecord Record(int invoice) {
        auto found = fiscal::FindFiscalRecord(db(), {1, 1, Year(), invoice, false, false});
        EXPECT_TRUE(found);
        return found ? *found : fiscal::FiscalRecord{};
    }

    static TestCertificate* files;
    static TestService* remote;
    std::unique_ptr<FiscalStandIn> standIn;
    std::map<Session*, QString> settingsFiles;
};
TestCertificate* FiscalRegisterTest::files = nullptr;
TestService* FiscalRegisterTest::remote = nullptr;

TEST_F(FiscalRegisterTest, ASaleIsNumberedSignedSentAndGetsItsJir) {
    const int first = Sell(*session);
    const int second = Sell(*session);
    const auto requests = standIn->Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.errorCode, QString()) << request.body.toStdString();
        EXPECT_FALSE(request.late);
    }
    EXPECT_NE(requests[0].messageId, requests[1].messageId);

    const fiscal::FiscalRecord a = Record(first);
    const fiscal::FiscalRecord b = Record(second);
    EXPECT_EQ(a.jir, requests[0].jir);
    EXPECT_EQ(b.jir, requests[1].jir);
    EXPECT_EQ(fiscal::FiscalNumber(a.receipt), QStringLiteral("1/PP1/1"));
    EXPECT_EQ(fiscal::FiscalNumber(b.receipt), QStringLiteral("2/PP1/1"));
    EXPECT_EQ(a.receipt.operatorOib, kCashierOib);
    EXPECT_EQ(a.receipt.payment, QStringLiteral("G"));
    EXPECT_EQ(a.error, QString());
    EXPECT_EQ(a.attempts, 1);
    // The breadth of the receipt: one 25 % row whose base and tax make the total.
    ASSERT_EQ(a.receipt.vat.size(), 1u);
    EXPECT_DOUBLE_EQ(a.receipt.vat[0].rate, 25);
    EXPECT_DOUBLE_EQ(a.receipt.vat[0].base + a.receipt.vat[0].amount, a.receipt.total);
    EXPECT_DOUBLE_EQ(a.receipt.total, 156.25);
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);
    // The request carried the ZKI of exactly these fields.
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files->p12, files->password, kCompanyOib, QDateTime::currentDateTime());
    EXPECT_EQ(
        a.receipt.protectiveCode,
        fiscal::ProtectiveCode(certificate, {kCompanyOib, a.receipt.issued, 1,
                                             QStringLiteral("PP1"), QStringLiteral("1"), 156.25}));
    EXPECT_TRUE(requests[0].body.contains(
        (QStringLiteral("<tns:ZastKod>") + a.receipt.protectiveCode).toUtf8()));
}

TEST_F(FiscalRegisterTest, AnErrorAnswerIsKeptInWordsAndTheRetryDeliversItLate) {
    standIn->SetMode(Mode::Error, QStringLiteral("s006"),
                     QStringLiteral("Sistemska pogreška prilikom obrade zahtjeva."));
    const int number = Sell(*session);
    fiscal::FiscalRecord queued = Record(number);
    EXPECT_EQ(queued.jir, QString());
    EXPECT_EQ(queued.error, QStringLiteral("s006: Sistemska pogreška prilikom obrade zahtjeva."));
    ASSERT_EQ(fiscal::UnconfirmedReceipts(db()).size(), 1u);
    EXPECT_EQ(fiscal::UnconfirmedReceipts(db())[0].error, queued.error);

    standIn->SetMode(Mode::Answer);
    const fiscal::RetryResult retried = Service(*session)->RetryOutbox(db());
    EXPECT_EQ(retried.confirmed, 1);
    const auto requests = standIn->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].late);
    EXPECT_TRUE(requests[1].late);
    EXPECT_NE(requests[0].messageId, requests[1].messageId);
    const fiscal::FiscalRecord delivered = Record(number);
    EXPECT_EQ(delivered.jir, requests[1].jir);
    EXPECT_EQ(delivered.error, QString());
    EXPECT_EQ(delivered.attempts, 2);
    EXPECT_EQ(delivered.receipt.protectiveCode, queued.receipt.protectiveCode);
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);
}

TEST_F(FiscalRegisterTest, ASilentServiceCostsTheSaleOnlyTheTimeoutAndTheOutboxCatchesUp) {
    Configure(*session, QStringLiteral("1"), QStringLiteral("P"), 300);
    standIn->SetMode(Mode::Silent);
    const int first = Sell(*session);
    const int second = Sell(*session);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Record(first).error,
              QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 300 ms."));
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 2);

    // Still silent: the round stops at the first receipt, the second is not tried in vain.
    auto service = Service(*session);
    const fiscal::RetryResult silent = service->RetryOutbox(db());
    EXPECT_EQ(silent.unanswered, 1);
    EXPECT_EQ(silent.confirmed, 0);
    EXPECT_EQ(Record(first).attempts, 2);
    EXPECT_EQ(Record(second).attempts, 1);

    standIn->SetMode(Mode::Answer);
    const fiscal::RetryResult answered = service->RetryOutbox(db());
    EXPECT_EQ(answered.confirmed, 2);
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);
    const auto requests = standIn->Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_TRUE(requests[requests.size() - 1].late);
    EXPECT_TRUE(requests[requests.size() - 2].late);
    EXPECT_FALSE(Record(first).jir.isEmpty());
}

TEST_F(FiscalRegisterTest, TwoTillsNumberWithoutGapsPerPremisesOrPerDevice) {
    auto other = StartSession(1);
    ASSERT_TRUE(other);
    Configure(*other, QStringLiteral("2"));
    std::vector<QString> numbers;
    for (int i = 0; i < 3; ++i) {
        numbers.push_back(fiscal::FiscalNumber(Record(Sell(*session)).receipt));
        auto& db2 = other->Db();
        const int sold = Sell(*other);
        numbers.push_back(fiscal::FiscalNumber(
            fiscal::FindFiscalRecord(db2, {1, 1, Year(), sold, false, false})->receipt));
    }
    EXPECT_EQ(numbers,
              (std::vector<QString>{QStringLiteral("1/PP1/1"), QStringLiteral("2/PP1/2"),
                                    QStringLiteral("3/PP1/1"), QStringLiteral("4/PP1/2"),
                                    QStringLiteral("5/PP1/1"), QStringLiteral("6/PP1/2")}));

    // Numbered per device, each till counts on its own from 1.
    Configure(*session, QStringLiteral("1"), QStringLiteral("N"));
    Configure(*other, QStringLiteral("2"), QStringLiteral("N"));
    numbers.clear();
    for (int i = 0; i < 2; ++i) {
        numbers.push_back(fiscal::FiscalNumber(Record(Sell(*session)).receipt));
        const int sold = Sell(*other);
        numbers.push_back(fiscal::FiscalNumber(
            fiscal::FindFiscalRecord(db(), {1, 1, Year(), sold, false, false})->receipt));
    }
    EXPECT_EQ(numbers,
              (std::vector<QString>{QStringLiteral("1/PP1/1"), QStringLiteral("1/PP1/2"),
                                    QStringLiteral("2/PP1/1"), QStringLiteral("2/PP1/2")}));
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);
}

TEST_F(FiscalRegisterTest, AReceiptPostedBeforeACrashWaitsInTheOutboxAndGoesAtStartLate) {
    const int number = Sell(*session, QStringLiteral("Ana"), false);
    session.reset();  // the program dies before it sends

    auto restarted = StartSession(1);
    Configure(*restarted, QStringLiteral("1"));
    ASSERT_EQ(fiscal::UnconfirmedCount(restarted->Db()), 1);
    const fiscal::FiscalRecord waiting = fiscal::UnconfirmedReceipts(restarted->Db())[0];
    EXPECT_EQ(waiting.invoice.number, number);
    EXPECT_EQ(waiting.attempts, 0);
    EXPECT_EQ(Service(*restarted)->RetryOutbox(restarted->Db()).confirmed, 1);
    ASSERT_EQ(standIn->Requests().size(), 1u);
    EXPECT_TRUE(standIn->Requests()[0].late);
    EXPECT_EQ(fiscal::UnconfirmedCount(restarted->Db()), 0);
}

TEST_F(FiscalRegisterTest, WithoutTheCashiersOibOrACertificateTheSaleIsRefusedAndNothingIsWritten) {
    const auto invoices = [this] {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\""));
    };
    const int before = invoices();
    try {
        Sell(*session, QStringLiteral("Marko"));
        ADD_FAILURE();
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Korisnik \"Marko\" nema upisan OIB za fiskalizaciju računa."));
    }
    EXPECT_EQ(invoices(), before);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\"")), 0);

    Configure(*session, QStringLiteral("1"), QStringLiteral("P"), 2000,
              Folder() + QStringLiteral("/nema.p12"));
    try {
        Sell(*session);
        ADD_FAILURE();
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(),
                  fiscal::CertificateMissingMessage(Folder() + QStringLiteral("/nema.p12")));
    }
    EXPECT_EQ(invoices(), before);

    // The other side of both guards: with them the sale goes through, numbered from 1.
    Configure(*session, QStringLiteral("1"));
    const int number = Sell(*session);
    EXPECT_EQ(invoices(), before + 1);
    EXPECT_EQ(Record(number).receipt.number, 1);
    standIn->SetMode(Mode::Answer);
    EXPECT_FALSE(Record(number).jir.isEmpty());
}

}  // namespace
}  // namespace zodra::test
