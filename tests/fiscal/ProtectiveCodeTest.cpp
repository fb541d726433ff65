#include <gtest/gtest.h>

#include <QSettings>

#include "FiscalKit.h"
#include "data/Errors.h"
#include "fiscal/Certificate.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/ProtectiveCode.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

namespace zodra::test {
namespace {

using fiscal::Certificate;

QDateTime Now() {
    return QDateTime::currentDateTime();
}

TEST(ProtectiveCodeTest, AmountsAreWrittenWithAPointAndTwoDecimalsNeverGrouped) {
    const std::vector<std::pair<double, QString>> cases = {
        {1245.56, QStringLiteral("1245.56")}, {2.675, QStringLiteral("2.68")},
        {-10.5, QStringLiteral("-10.50")},    {1234567.891, QStringLiteral("1234567.89")},
        {0.0, QStringLiteral("0.00")},        {99.995, QStringLiteral("100.00")}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(fiscal::FiscalAmount(value), text) << value;
    }
}

TEST(ProtectiveCodeTest, TheCodeIsTheMd5OfTheRsaSha1SignatureOpensslComputesIndependently) {
    const TestCertificate& files = CompanyCertificate();
    ASSERT_FALSE(files.pem.isEmpty()) << "openssl could not make the test certificate";
    const Certificate certificate =
        Certificate::Load(files.p12, files.password, kCompanyOib, Now());
    const std::vector<fiscal::ProtectiveCodeInput> inputs = {
        {kCompanyOib, QDateTime(QDate(2026, 3, 10), QTime(8, 5, 9)), 12345,
         QStringLiteral("blag001"), QStringLiteral("11245"), 1245.56},
        {kCompanyOib, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), 1, QStringLiteral("POSL1"),
         QStringLiteral("2"), -105.5},
    };
    EXPECT_EQ(fiscal::ProtectiveCodeText(inputs[0]),
              QByteArrayLiteral("1234567890310.03.2026 08:05:0912345blag001112451245.56"));
    EXPECT_EQ(fiscal::ProtectiveCodeText(inputs[1]),
              QByteArrayLiteral("1234567890331.12.2026 23:59:591POSL12-105.50"));
    QStringList codes;
    for (const fiscal::ProtectiveCodeInput& input : inputs) {
        bool signedOk = false;
        const QByteArray signature = RunTool(QStringLiteral("openssl"),
                                             {QStringLiteral("dgst"), QStringLiteral("-sha1"),
                                              QStringLiteral("-sign"), files.keyPem},
                                             fiscal::ProtectiveCodeText(input), &signedOk);
        ASSERT_TRUE(signedOk);
        const QByteArray md5 = RunTool(
            QStringLiteral("openssl"),
            {QStringLiteral("dgst"), QStringLiteral("-md5"), QStringLiteral("-r")}, signature);
        const QString expected = QString::fromLatin1(md5.left(32));
        const QString code = fiscal::ProtectiveCode(certificate, input);
        EXPECT_EQ(code, expected);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(code).hasMatch());
        codes << code;
    }
    EXPECT_NE(codes[0], codes[1]);
}

TEST(ProtectiveCodeTest, ACertificateThatCannotSignIsRefusedInWords) {
    const TestCertificate& files = CompanyCertificate();
    ASSERT_FALSE(files.pem.isEmpty());
    const Certificate good = Certificate::Load(files.p12, files.password, kCompanyOib, Now());
    EXPECT_TRUE(good.Subject().contains(kCompanyOib));
    const QDateTime after = good.NotAfter().addDays(1);
    const QDateTime before = Now().addDays(-2);

    struct Case {
        QString path;
        QString password;
        QString oib;
        QDateTime now;
        QString message;
    };
    const std::vector<Case> cases = {
        {QString(), files.password, kCompanyOib, Now(), fiscal::CertificateNotSetMessage()},
        {files.p12 + QStringLiteral(".nema"), files.password, kCompanyOib, Now(),
         QStringLiteral("Certifikat za fiskalizaciju nije pronađen: ") + files.p12 +
             QStringLiteral(".nema")},
        {files.p12, QStringLiteral("kriva"), kCompanyOib, Now(),
         QStringLiteral("Certifikat za fiskalizaciju nije moguće otvoriti: lozinka nije "
                        "ispravna ili datoteka nije PKCS#12 certifikat.")},
        {files.certPem, files.password, kCompanyOib, Now(), fiscal::CertificatePasswordMessage()},
        {files.p12, files.password, kCompanyOib, after,
         QStringLiteral("Certifikat za fiskalizaciju istekao je ") +
             good.NotAfter().toLocalTime().toString(QStringLiteral("dd.MM.yyyy.")) +
             QStringLiteral(" Računi se ne mogu fiskalizirati.")},
        {files.p12, files.password, kCompanyOib, before,
         QStringLiteral("Certifikat za fiskalizaciju vrijedi tek od ") +
             QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy.")) +
             QStringLiteral(" Računi se ne mogu fiskalizirati.")},
        {files.p12, files.password, kCashierOib, Now(),
         QStringLiteral("Certifikat za fiskalizaciju nije izdan za OIB tvrtke (69696969694).")},
    };
    for (const Case& c : cases) {
        ExpectRefused([&] { Certificate::Load(c.path, c.password, c.oib, c.now); }, c.message);
    }
}

class FiscalSettingsTest : public CompanyTest {};

TEST_F(FiscalSettingsTest, SettingsAreSplitBetweenTheCompanyAndTheWorkstationAndChecked) {
    auto db = Open();
    QTemporaryDir dir;
    QSettings workstation(dir.filePath(QStringLiteral("zodra.ini")), QSettings::IniFormat);
    fiscal::FiscalSettings defaults = fiscal::ReadFiscalSettings(*db, workstation);
    EXPECT_FALSE(defaults.enabled);
    EXPECT_EQ(defaults.timeoutMs, 2000);
    EXPECT_EQ(defaults.Url(), fiscal::TestEndpoint());

    fiscal::FiscalSettings s;
    s.enabled = true;
    s.inVatSystem = false;
    s.sequence = QStringLiteral("N");
    s.premises = QStringLiteral("PP1");
    s.device = QStringLiteral("3");
    s.certificatePath = QStringLiteral("/tmp/x.p12");
    s.certificatePassword = QStringLiteral("tajna");
    s.production = true;
    s.timeoutMs = 100;
    fiscal::WriteFiscalSettings(*db, workstation, s);
    const fiscal::FiscalSettings read = fiscal::ReadFiscalSettings(*db, workstation);
    EXPECT_TRUE(read.enabled);
    EXPECT_FALSE(read.inVatSystem);
    EXPECT_EQ(read.sequence, QStringLiteral("N"));
    EXPECT_EQ(read.device, QStringLiteral("3"));
    EXPECT_EQ(read.timeoutMs, 100);
    EXPECT_EQ(read.Url(), fiscal::ProductionEndpoint());
    // The password stays in the workstation's file, never in the company.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Konfiguracija\" WHERE "
                                        "\"Vrijednost\" = 'tajna'"))
                  .toInt(),
              0);

    const std::vector<std::pair<std::function<void(fiscal::FiscalSettings&)>, QString>> bad = {
        {[](auto& b) { b.premises = QStringLiteral("PP-1"); },
         QStringLiteral("Oznaka poslovnog prostora smije imati samo slova i znamenke (najviše "
                        "20).")},
        {[](auto& b) { b.device = QStringLiteral("03"); },
         QStringLiteral("Oznaka naplatnog uređaja mora biti broj bez vodećih nula (najviše 20 "
                        "znamenaka).")},
        {[](auto& b) { b.sequence = QStringLiteral("X"); },
         QStringLiteral("Oznaka slijednosti mora biti P ili N.")},
        {[](auto& b) { b.timeoutMs = 99; },
         QStringLiteral("Vrijeme čekanja odgovora mora biti od 100 do 60000 milisekundi.")},
        {[](auto& b) { b.timeoutMs = 60001; },
         QStringLiteral("Vrijeme čekanja odgovora mora biti od 100 do 60000 milisekundi.")},
    };
    for (const auto& [change, message] : bad) {
        fiscal::FiscalSettings b = s;
        change(b);
        ExpectRefused([&] { fiscal::WriteFiscalSettings(*db, workstation, b); }, message);
    }
    EXPECT_EQ(fiscal::ReadFiscalSettings(*db, workstation).device, QStringLiteral("3"));

    EXPECT_EQ(fiscal::OperatorOib(*db, QStringLiteral("Ana")), QString());
    fiscal::SetOperatorOib(*db, QStringLiteral("Ana"), kCashierOib);
    EXPECT_EQ(fiscal::OperatorOib(*db, QStringLiteral("Ana")), kCashierOib);
    EXPECT_REFUSED(
        fiscal::SetOperatorOib(*db, QStringLiteral("Ana"), QStringLiteral("12345678901")),
        "OIB \"12345678901\" nije ispravan.");
    EXPECT_EQ(fiscal::OperatorOib(*db, QStringLiteral("Ana")), kCashierOib);
}

}  // namespace
}  // namespace zodra::test
