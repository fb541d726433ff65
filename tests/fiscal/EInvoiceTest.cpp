#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <tuple>

#include "FiscalKit.h"
#include "UblValidation.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "demo/DemoCompany.h"
#include "fiscal/Certificate.h"
#include "fiscal/EInvoice.h"
#include "fiscal/EInvoiceReport.h"
#include "fiscal/FiscalMessage.h"
#include "fiscal/FiscalSettings.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "sales/InvoicePrint.h"
#include "support/Refused.h"

namespace zodra::test {
namespace {

using fiscal::EInvoiceKind;

class EInvoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = CopyOfDemo(m_dir);
        auto opened = Database::Open(m_path, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        m_db = std::move(opened.db);
        m_invoice = FirstInvoice(false);
        m_cancelled = FirstInvoice(true);
        ASSERT_GT(m_invoice, 0);
        ASSERT_GT(m_cancelled, 0);
    }
    int FirstInvoice(bool cancelled) {
        return m_db
            ->Scalar(QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"GODINA\" = 2026 AND "
                                    "\"STORNO\" = ?"),
                     {cancelled})
            .toInt();
    }
    fiscal::EInvoiceData Data(int number) {
        return fiscal::ReadEInvoiceData(*m_db, 1, 1, 2026, number);
    }
    QString Write(int number, EInvoiceKind kind, const QString& name) {
        const QString path = m_dir.filePath(name);
        fiscal::WriteEInvoiceFile(path, fiscal::EInvoiceXml(*m_db, 1, 1, 2026, number, kind));
        return path;
    }
    static QString Read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
    static QString Element(const QString& xml, const QString& name) {
        const QRegularExpression re(QStringLiteral("<cbc:") + name +
                                    QStringLiteral("[^>]*>([^<]*)</cbc:") + name +
                                    QLatin1Char('>'));
        return re.match(xml).captured(1);
    }
    QString Refused(int number, EInvoiceKind kind = EInvoiceKind::Invoice) {
        return Refusal([&] { fiscal::EInvoiceXml(*m_db, 1, 1, 2026, number, kind); });
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Database> m_db;
    int m_invoice = 0;
    int m_cancelled = 0;
};

TEST_F(EInvoiceTest,
       DemoInvoiceAndCreditNotePassTheSchemasAndTheCroatianRulesWithTheInvoiceFigures) {
    const QString invoice = Write(m_invoice, EInvoiceKind::Invoice, QStringLiteral("r.xml"));
    const QString credit = Write(m_cancelled, EInvoiceKind::CreditNote, QStringLiteral("o.xml"));
    EXPECT_EQ(UblSchemaErrors(invoice, false), QString());
    EXPECT_EQ(UblSchemaErrors(credit, true), QString());
    EXPECT_EQ(SchematronFailures(invoice), QStringList());
    EXPECT_EQ(SchematronFailures(credit), QStringList());

    // The base and the VAT are the invoice's own to the cent, as its printout and the output
    // invoice book show them; the amount to pay is their sum (the printed total adds the lines'
    // rounded totals and can be a cent apart from it).
    for (const auto& [number, path] : {std::pair{m_invoice, invoice}, {m_cancelled, credit}}) {
        const sales::InvoiceSummary summary = sales::SummaryOfInvoice(*m_db, 1, 1, 2026, number);
        const QString xml = Read(path);
        MoneyTotal payable;
        payable += summary.value;
        payable += summary.tax;
        EXPECT_EQ(Element(xml, QStringLiteral("LineExtensionAmount")),
                  FixedNumberText(summary.value, 2, QLocale::c()));
        EXPECT_EQ(Element(xml, QStringLiteral("TaxAmount")),
                  FixedNumberText(summary.tax, 2, QLocale::c()));
        EXPECT_EQ(Element(xml, QStringLiteral("PayableAmount")),
                  FixedNumberText(payable.Value(), 2, QLocale::c()));
    }
    const QString creditXml = Read(credit);
    EXPECT_TRUE(creditXml.contains(QStringLiteral("<cbc:ID>%1-1-1-2026</cbc:ID>\n            "
                                                  "<cbc:IssueDate>")
                                       .arg(m_cancelled)));
    EXPECT_EQ(Element(creditXml, QStringLiteral("ProfileID")), QStringLiteral("P10"));
}

TEST_F(EInvoiceTest, LinesTakeTheirArticlesKpdOrTheCompanyDefault) {
    const fiscal::EInvoiceData data = Data(m_invoice);
    Statement s = m_db->Prepare(QStringLiteral(
        "SELECT COALESCE(a.\"KPD\", '46.90.00') FROM \"STAVKE_RACUNA\" l LEFT JOIN \"ARTIKLI\" a "
        "ON a.\"SIFRA\" = l.\"SIFRA\" WHERE l.\"SKLADISTE\" = 1 AND l.\"IRA\" = 1 AND "
        "l.\"GODINA\" = 2026 AND l.\"BROJ_RACUNA\" = ? ORDER BY l.\"RBR_STAVKE\""));
    s.Exec({m_invoice});
    QStringList expected, written;
    while (s.Next()) {
        expected << s.Text(0);
    }
    for (const fiscal::EInvoiceLine& line : data.lines) {
        written << line.kpd;
    }
    EXPECT_EQ(written, expected);
    EXPECT_EQ(data.operatorOib, QStringLiteral("69825036717"));
    EXPECT_EQ(data.paymentReference, QStringLiteral("HR00 %1-1-2026").arg(m_invoice));
}

TEST_F(EInvoiceTest, ExemptLinesCarryTheirReasonAndTheCroatianBreakdown) {
    m_db->Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA\" SET \"POREZ_%\" = 0, \"POREZ_IZNOS\" = 0, "
                              "\"UKUPNO_\" = \"VRIJEDNOST_\", \"TIP_OPOREZIVANJA\" = 14 WHERE "
                              "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"GODINA\" = 2026 AND "
                              "\"BROJ_RACUNA\" = ?"),
               {m_invoice});
    const QString path = Write(m_invoice, EInvoiceKind::Invoice, QStringLiteral("e.xml"));
    const QString xml = Read(path);
    EXPECT_EQ(UblSchemaErrors(path, false), QString());
    EXPECT_EQ(SchematronFailures(path), QStringList());
    EXPECT_EQ(xml.count(QStringLiteral("<cbc:TaxExemptionReason>Oslobođeno PDV-a u tuzemstvu (čl. "
                                       "39. Zakona o PDV-u)</cbc:TaxExemptionReason>")),
              2 + static_cast<int>(Data(m_invoice).lines.size()));
    EXPECT_TRUE(
        xml.contains(QStringLiteral("<hrextac:OutOfScopeOfVATAmount currencyID=\"EUR\">"
                                    "0.00</hrextac:OutOfScopeOfVATAmount>")));

    // Without the Croatian breakdown the rules refuse the exempt invoice.
    QString stripped = xml;
    stripped.remove(QRegularExpression(QStringLiteral("<ext:UBLExtensions>.*</ext:UBLExtensions>"),
                                       QRegularExpression::DotMatchesEverythingOption));
    const QString broken = m_dir.filePath(QStringLiteral("e-broken.xml"));
    fiscal::WriteEInvoiceFile(broken, stripped.toUtf8());
    const QStringList failures = SchematronFailures(broken);
    ASSERT_EQ(failures.size(), 1) << failures.join(u'\n').toStdString();
    EXPECT_TRUE(failures.first().startsWith(QStringLiteral("HR-BR-26:")));
}

TEST_F(EInvoiceTest, BrokenDocumentsAreCaughtWithTheRuleNamed) {
    const QString xml = Read(Write(m_invoice, EInvoiceKind::Invoice, QStringLiteral("r.xml")));
    const struct {
        const char* find;
        const char* replace;
        const char* rule;
    } cases[] = {
        {"<cbc:ID>69825036717</cbc:ID>", "<cbc:ID>69825036710</cbc:ID>", "HR-BR-9"},
        {"<cbc:IssueDate>2026-", "<cbc:IssueDate>2025-", "HR-BR-40"},
        {"listID=\"CG\">", "listID=\"CG\">99.", "HR-BR-CL-2"},
        {"<cbc:ProfileID>P1</cbc:ProfileID>", "<cbc:ProfileID>P13</cbc:ProfileID>", "HR-BR-34"},
    };
    int i = 0;
    for (const auto& c : cases) {
        QString changed = xml;
        changed.replace(changed.indexOf(QString::fromUtf8(c.find)), qsizetype(strlen(c.find)),
                        QString::fromUtf8(c.replace));
        const QString path = m_dir.filePath(QStringLiteral("b%1.xml").arg(i++));
        fiscal::WriteEInvoiceFile(path, changed.toUtf8());
        const QStringList failures = SchematronFailures(path);
        ASSERT_EQ(failures.size(), 1) << c.rule << ' ' << failures.join(u'\n').toStdString();
        EXPECT_TRUE(failures.first().startsWith(QString::fromUtf8(c.rule) + QLatin1Char(':')))
            << failures.first().toStdString();
    }
    // An element out of its place breaks the schema itself.
    QString misplaced = xml;
    misplaced.replace(QStringLiteral("<cbc:DocumentCurrencyCode>EUR</cbc:DocumentCurrencyCode>"),
                      QString());
    misplaced.replace(QStringLiteral("<cbc:ProfileID>"),
                      QStringLiteral("<cbc:DocumentCurrencyCode>EUR</cbc:DocumentCurrencyCode>"
                                     "<cbc:ProfileID>"));
    const QString path = m_dir.filePath(QStringLiteral("misplaced.xml"));
    fiscal::WriteEInvoiceFile(path, misplaced.toUtf8());
    EXPECT_TRUE(UblSchemaErrors(path, false).contains(QStringLiteral("DocumentCurrencyCode")));
}

TEST_F(EInvoiceTest, WhatTheCompanyFileLacksIsRefusedInWords) {
    const QString buyer =
        m_db->Scalar(QStringLiteral(
                         "SELECT p.\"NAZIV\" FROM \"RACUNI\" r JOIN \"PARTNERI\" p ON "
                         "p.\"SIFRA\" = r.\"SIFRA PARTNERA\" WHERE r.\"SKLADISTE\" = 1 "
                         "AND r.\"IRA\" = 1 AND r.\"GODINA\" = 2026 AND r.\"BROJ RACUNA\" = ?"),
                     {m_invoice})
            .toString();
    const QString firstLine = Data(m_invoice).lines.front().name;
    const QString n = QString::number(m_invoice);
    const QString whereInvoice =
        QStringLiteral(
            " WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"GODINA\" = 2026 AND "
            "\"BROJ RACUNA\" = ") +
        n;
    const QString buyerRow = QStringLiteral(
                                 " WHERE \"SIFRA\" = (SELECT \"SIFRA PARTNERA\" FROM "
                                 "\"RACUNI\"") +
                             whereInvoice + QLatin1Char(')');
    const struct {
        QStringList sql;
        QString message;
    } cases[] = {
        {{QStringLiteral("UPDATE \"PARTNERI\" SET \"OIB\" = ''") + buyerRow},
         QStringLiteral("Kupac ") + buyer +
             QStringLiteral(" nema upisan OIB; eRačun se izdaje samo poslovnim subjektima.")},
        {{QStringLiteral("UPDATE \"PARTNERI\" SET \"OIB\" = '12345678901'") + buyerRow},
         QStringLiteral("OIB kupca ") + buyer + QStringLiteral(" (12345678901) nije ispravan.")},
        {{QStringLiteral("UPDATE \"PARTNERI\" SET \"MJESTO\" = ''") + buyerRow},
         QStringLiteral("Kupac ") + buyer + QStringLiteral(" nema upisano mjesto.")},
        {{QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = ''"),
          QStringLiteral("UPDATE \"RACUNI\" SET \"ZIRO_RACUN\" = NULL") + whereInvoice},
         QStringLiteral("Poduzeće nema upisan IBAN žiro računa (podaci o poduzeću).")},
        {{QStringLiteral("UPDATE \"RACUNI\" SET \"ZIRO_RACUN\" = 'HR17 2360 0001 1012 3456 6'") +
          whereInvoice},
         QStringLiteral("IBAN žiro računa HR1723600001101234566 nije ispravan.")},
        {{QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = '1234567890'")},
         QStringLiteral("OIB poduzeća nije upisan ili nije ispravan (podaci o poduzeću).")},
        {{QStringLiteral("DELETE FROM \"FISKAL_OPERATERI\" WHERE \"KORISNIK\" = 'admin'")},
         QStringLiteral("Operater admin nema upisan ispravan OIB (postavke eRačuna).")},
        {{QStringLiteral("UPDATE \"ARTIKLI\" SET \"KPD\" = NULL"),
          QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = '' WHERE \"Naziv\" = 'KPD "
                         "zadana šifra'")},
         QStringLiteral("Stavka 1 (") + firstLine +
             QStringLiteral(") nema ispravnu KPD šifru; upišite je na artiklu ili zadanu KPD "
                            "šifru u postavkama eRačuna.")},
        {{QStringLiteral("UPDATE \"RACUNI\" SET \"VALUTA\" = 2") + whereInvoice},
         QStringLiteral("Račun broj ") + n +
             QStringLiteral(" izdan je u stranoj valuti; eRačun se izdaje samo u eurima.")},
    };
    for (const auto& c : cases) {
        Transaction tx(*m_db);
        for (const QString& sql : c.sql) {
            m_db->Exec(sql);
        }
        EXPECT_EQ(Refused(m_invoice), c.message);
    }
    // Rolled back: the invoice is whole again, and only what it is asked for is refused.
    EXPECT_EQ(Data(m_invoice).buyer.name, buyer);
    EXPECT_EQ(Refused(99999), QStringLiteral("Ne postoji proknjiženi račun broj 99999"));
    EXPECT_EQ(Refused(m_invoice, EInvoiceKind::CreditNote),
              QStringLiteral("Račun broj ") + n + QStringLiteral(" nije storniran."));
}

TEST_F(EInvoiceTest, TheArticleRegisterTakesOnlyAKpdCodeInPairs) {
    const QVariantMap article{{QStringLiteral("NAZIV"), QStringLiteral("Mlijeko u prahu")},
                              {QStringLiteral("JED_M"), QStringLiteral("kom")},
                              {QStringLiteral("GRUPA_A"), 1},
                              {QStringLiteral("GRUPA_P"), 1},
                              {QStringLiteral("KPD"), QStringLiteral("1051.11")}};
    EXPECT_REFUSED(registers::Add(*m_db, registers::catalogue::Articles(), article),
                   "KPD šifra mora biti upisana u obliku 00.00.00 (npr. 10.71.11).");
    QVariantMap good = article;
    good.insert(QStringLiteral("KPD"), QStringLiteral(" 10.51.11 "));
    const int code = registers::Add(*m_db, registers::catalogue::Articles(), good).code;
    EXPECT_EQ(
        m_db->Scalar(QStringLiteral("SELECT \"KPD\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {code}),
        QVariant(QStringLiteral("10.51.11")));
}

// The reports of an e-invoice and of its payment, signed (XAdES-B) as the outbox signs them, are
// valid requests whose signature holds, and fails at one changed cent.
TEST_F(EInvoiceTest, TheFiscalizationReportsAreSignedValidRequests) {
    const TestCertificate& files = CompanyCertificate();
    ASSERT_FALSE(files.pem.isEmpty());
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files.p12, files.password, kCompanyOib, QDateTime::currentDateTime());
    QByteArray lastSigned;
    const auto signedFile = [&](const QByteArray& request, const QString& name) {
        lastSigned = fiscal::SignReportRequest(request, certificate, QDateTime::currentDateTime());
        EXPECT_EQ(fiscal::VerifySignature(lastSigned, files.pem), QString()) << name.toStdString();
        const QString path = m_dir.filePath(name);
        fiscal::WriteEInvoiceFile(path, lastSigned);
        return path;
    };
    const QDateTime sent(QDate(2026, 7, 1), QTime(9, 15, 0, 120));
    const fiscal::EInvoiceData cancelled = Data(m_cancelled);
    const QString invoice =
        signedFile(fiscal::UnsignedEInvoiceReportRequest(Data(m_invoice), EInvoiceKind::Invoice,
                                                         QStringLiteral("z-1"), sent),
                   QStringLiteral("er.xml"));
    const QString credit =
        signedFile(fiscal::UnsignedEInvoiceReportRequest(cancelled, EInvoiceKind::CreditNote,
                                                         QStringLiteral("z-2"), sent),
                   QStringLiteral("eo.xml"));
    const QString payment = signedFile(
        fiscal::UnsignedPaymentReportRequest(cancelled, QDate(2026, 7, 2), 12.5,
                                             QStringLiteral("T"), QStringLiteral("z-3"), sent),
        QStringLiteral("en.xml"));
    const QString fiscalization =
        EInvoiceShare(QStringLiteral("fiscalization/eFiskalizacijaSchema.xsd"));
    EXPECT_EQ(XmlSchemaErrors(invoice, fiscalization), QString());
    EXPECT_EQ(XmlSchemaErrors(credit, fiscalization), QString());
    EXPECT_EQ(XmlSchemaErrors(
                  payment, EInvoiceShare(QStringLiteral("fiscalization/eIzvjestavanjeSchema.xsd"))),
              QString());
    const QString creditText = Read(credit);
    EXPECT_TRUE(
        creditText.contains(QStringLiteral("<fis:datumVrijemeSlanja>2026-07-01T09:15:00.1200<")));
    EXPECT_TRUE(creditText.contains(QRegularExpression(
        QStringLiteral("<fis:PrethodniERacun>\\s*<fis:brojDokumenta>%1-1-1-2026<")
            .arg(m_cancelled))));
    EXPECT_EQ(Element(Read(credit).replace(QStringLiteral("fis:"), QStringLiteral("cbc:")),
                      QStringLiteral("iznosKojiDospijevaZaPlacanje")),
              Element(Read(Write(m_cancelled, EInvoiceKind::CreditNote, QStringLiteral("o.xml"))),
                      QStringLiteral("PayableAmount")));
    EXPECT_TRUE(Read(payment).contains(QStringLiteral("<fis:naplaceniIznos>12.50<")));
    for (const char* part : {"Algorithm=\"http://www.w3.org/2001/04/xmldsig-more#rsa-sha256\"",
                             "Type=\"http://uri.etsi.org/01903#SignedProperties\"",
                             "<xades:SigningTime>", "<xades:CertDigest>", "URI=\"#z-3\""}) {
        EXPECT_TRUE(lastSigned.contains(part)) << part;
    }
    QByteArray changed = lastSigned;
    changed.replace("<fis:naplaceniIznos>12.50<", "<fis:naplaceniIznos>12.51<");
    ASSERT_NE(changed, lastSigned);
    EXPECT_EQ(fiscal::VerifySignature(changed, files.pem), QStringLiteral("potpis nije ispravan"));

    for (const auto& [amount, method, message] :
         {std::tuple{std::nan(""), "T", "Iznos naplate nije ispravan."},
          {0.004, "T", "Iznos naplate nije ispravan."},
          {-0.004, "T", "Iznos naplate nije ispravan."},
          {-2e12, "T", "Iznos naplate nije ispravan."},
          {std::numeric_limits<double>::infinity(), "T", "Iznos naplate nije ispravan."},
          {12.5, "K", "Način naplate mora biti T, O ili Z."}}) {
        EXPECT_REFUSED(fiscal::UnsignedPaymentReportRequest(cancelled, QDate(2026, 7, 2), amount,
                                                            QString::fromUtf8(method),
                                                            QStringLiteral("z"), sent),
                       message);
    }
}

TEST(EInvoiceChecks, OibIbanKpdAndPlace) {
    EXPECT_TRUE(fiscal::IsValidOib(QStringLiteral("69825036717")));
    EXPECT_FALSE(fiscal::IsValidOib(QStringLiteral("69825036718")));
    EXPECT_FALSE(fiscal::IsValidOib(QStringLiteral("6982503671")));
    EXPECT_FALSE(fiscal::IsValidOib(QStringLiteral("6982503671a")));
    EXPECT_TRUE(fiscal::IsValidIban(QStringLiteral("HR17 2360 0001 1012 3456 5")));
    EXPECT_FALSE(fiscal::IsValidIban(QStringLiteral("HR1723600001101234566")));
    EXPECT_FALSE(fiscal::IsValidIban(QStringLiteral("2360000-1101234565")));
    EXPECT_TRUE(fiscal::IsKpdCode(QStringLiteral("46.90.00")));
    EXPECT_FALSE(fiscal::IsKpdCode(QStringLiteral("46.90")));
    EXPECT_FALSE(fiscal::IsKpdCode(QStringLiteral("46.90.000")));
    QString postal, city;
    fiscal::SplitPlace(QStringLiteral(" 10370 Dugo Selo "), &postal, &city);
    EXPECT_EQ(postal + QLatin1Char('|') + city, QStringLiteral("10370|Dugo Selo"));
    fiscal::SplitPlace(QStringLiteral("Zagreb"), &postal, &city);
    EXPECT_EQ(postal + QLatin1Char('|') + city, QStringLiteral("|Zagreb"));
}

}  // namespace
}  // namespace zodra::test
