// The e-invoice reports and the same-day change of a receipt against the stand-in service, on the
// demo company: queued in the transaction that issues the document or records the collection,
// sent once after it, kept through error answers and silence, delivered by the retry.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "UblValidation.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "demo/DemoCompany.h"
#include "fiscal/Certificate.h"
#include "fiscal/EInvoice.h"
#include "fiscal/FiscalService.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "fiscal/ProtectiveCode.h"
#include "fiscal/ReportOutbox.h"
#include "payments/CollectionBook.h"
#include "sales/InvoiceRemoval.h"
#include "support/Refused.h"
#include "support/XmlSchema.h"

namespace zodra::test {
namespace {

using Mode = FiscalStandIn::Mode;
using fiscal::Delivery;
using fiscal::EInvoiceKind;
using fiscal::ReportKind;
using Outcome = fiscal::FiscalService::ChangeOutcome;

class FiscalReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(files->pem.isEmpty());
        ASSERT_TRUE(remote->Ready());
        m_path = CopyOfDemo(m_dir);
        auto opened = Database::Open(m_path, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        opened.db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ?"), {kCompanyOib});
        m_session.databasePath = m_path;
        m_session.businessYear = 2026;
        m_session.Attach(std::move(opened.db));
        // Two invoices of the demo with something left to collect.
        Statement q = Db().Prepare(QStringLiteral(
            "SELECT \"BROJ RACUNA\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = "
            "1 AND \"GODINA\" = 2026 AND \"STORNO\" = FALSE ORDER BY \"BROJ RACUNA\""));
        q.Exec();
        while (m_other == 0 && q.Next()) {
            if (payments::InvoiceBalanceOf(Db(), Key(q.Int(0))).Open() >= 10) {
                (m_invoice == 0 ? m_invoice : m_other) = q.Int(0);
            }
        }
        q.Finish();
        ASSERT_NE(m_other, 0);
        standIn = std::make_unique<FiscalStandIn>(files->pem, kCompanyOib, FiscalSchemaPath(),
                                                  remote->Identity());
        Configure(kAnswered);
    }

    Database& Db() { return m_session.Db(); }
    static payments::InvoiceKey Key(int number) { return {1, 1, 2026, number}; }
    static fiscal::InvoiceRef Ref(int number) { return {1, 1, 2026, number, false, false}; }

    void Configure(int timeoutMs) {
        m_ini = m_dir.filePath(QStringLiteral("till.ini"));
        QSettings workstation(m_ini, QSettings::IniFormat);
        m_settings = TillSettings(*files, *remote, standIn->Url(), timeoutMs);
        fiscal::WriteFiscalSettings(Db(), workstation, m_settings);
        fiscal::InstallFiscalHooks(m_session, m_ini);
    }

    void Issue(int number, const QString& path = {}) {
        fiscal::IssueEInvoice(
            m_session, fiscal::ReadEInvoiceData(Db(), 1, 1, 2026, number), EInvoiceKind::Invoice,
            path.isEmpty() ? m_dir.filePath(QStringLiteral("eRacun_%1.xml").arg(number)) : path);
    }
    void Collect(int number, double amount, const QString& model) {
        payments::RecordCollection(
            m_session, Key(number),
            {QDate(2026, 7, 2), model, std::nullopt, QStringLiteral("Uplata"), amount});
    }
    int Reports() {
        return Db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_IZVJESTAJI\"")).toInt();
    }
    // The answer the stand-in sent, checked against the schema of its kind.
    QString AnswerSchemaErrors(const FiscalStandIn::Request& request) {
        const QString path = m_dir.filePath(QStringLiteral("odgovor.xml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(request.answer);
        file.close();
        return XmlSchemaErrors(
            path, EInvoiceShare(request.kind == QStringLiteral("EvidentirajNaplatuZahtjev")
                                    ? QStringLiteral("fiscalization/eIzvjestavanjeSchema.xsd")
                                    : QStringLiteral("fiscalization/eFiskalizacijaSchema.xsd")));
    }

    const TestCertificate* files = &CompanyCertificate();
    const TestService* remote = &StandInService();
    QTemporaryDir m_dir;
    QString m_path;
    QString m_ini;
    Session m_session;
    fiscal::FiscalSettings m_settings;
    std::unique_ptr<FiscalStandIn> standIn;
    int m_invoice = 0;
    int m_other = 0;
};

TEST_F(FiscalReportTest, ReportsAreSentOnceKeptThroughErrorsAndSilenceAndDeliveredLater) {
    Issue(m_invoice);
    Issue(m_invoice);  // written again: reported once
    std::vector<FiscalStandIn::Request> seen = standIn->Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, QStringLiteral("EvidentirajERacunZahtjev"));
    EXPECT_EQ(seen[0].errorCode, QString());
    EXPECT_EQ(fiscal::VerifySignature(seen[0].body, files->pem), QString());
    EXPECT_EQ(AnswerSchemaErrors(seen[0]), QString());
    EXPECT_TRUE(fiscal::FindEInvoiceReport(Db(), Ref(m_invoice), false)->accepted.isValid());

    // A collection of the e-invoice is reported with its method; one of another invoice is not.
    Collect(m_invoice, 1, QStringLiteral("žiro račun"));
    Collect(m_other, 1, QStringLiteral("žiro račun"));
    seen = standIn->Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].kind, QStringLiteral("EvidentirajNaplatuZahtjev"));
    EXPECT_TRUE(seen[1].body.contains("<fis:naplaceniIznos>1.00<"));
    EXPECT_TRUE(seen[1].body.contains("<fis:nacinPlacanja>T<"));
    EXPECT_EQ(AnswerSchemaErrors(seen[1]), QString());
    EXPECT_EQ(Reports(), 2);
    EXPECT_EQ(fiscal::UnconfirmedReportCount(Db()), 0);

    // An error answer is kept in words; the report waits.
    standIn->SetMode(Mode::Error, QStringLiteral("S001"),
                     QStringLiteral("Sistemska greška prilikom obrade zahtjeva"));
    Collect(m_invoice, 2, QStringLiteral("gotovina"));
    seen = standIn->Requests();
    EXPECT_TRUE(seen.back().body.contains("<fis:nacinPlacanja>Z<"));
    EXPECT_EQ(AnswerSchemaErrors(seen.back()), QString());
    std::vector<fiscal::ReportRecord> waiting = fiscal::UnconfirmedReports(Db());
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].error, QStringLiteral("S001: Sistemska greška prilikom obrade zahtjeva"));

    // A silent service: the collection is recorded all the same, its report waits.
    standIn->SetMode(Mode::Silent);
    Configure(300);
    Collect(m_invoice, 0.5, QStringLiteral("u naravi"));
    waiting = fiscal::UnconfirmedReports(Db());
    ASSERT_EQ(waiting.size(), 2u);
    EXPECT_EQ(waiting[1].error,
              QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 300 ms."));
    const TableData table = fiscal::UnconfirmedReceiptsTable(Db());
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.rows[1][0].toString(), QStringLiteral("Naplata %1-1-1-2026").arg(m_invoice));
    EXPECT_EQ(table.rows[1][6].toString(), waiting[1].error);

    standIn->SetMode(Mode::Answer);
    Configure(kAnswered);
    fiscal::FiscalService service(Db(), m_settings, QDateTime::currentDateTime());
    const fiscal::RetryResult retried = service.RetryOutbox(Db());
    EXPECT_EQ(fiscal::RetryResultText(retried),
              QStringLiteral("Potvrđeno: 2, odbijeno: 0, bez odgovora: 0"));
    EXPECT_EQ(fiscal::UnconfirmedReportCount(Db()), 0);
    EXPECT_TRUE(standIn->Requests().back().body.contains("<fis:nacinPlacanja>O<"));

    // The e-invoice's first answer lost: the service already holds it (S008), which confirms it.
    const int id = fiscal::FindEInvoiceReport(Db(), Ref(m_invoice), false)->id;
    Db().Exec(
        QStringLiteral("UPDATE \"FISKAL_IZVJESTAJI\" SET \"PRIHVACEN\" = NULL WHERE \"ID\" = ?"),
        {id});
    EXPECT_EQ(service.DeliverReport(Db(), id), Delivery::Confirmed);
    EXPECT_EQ(standIn->Requests().back().errorCode, QStringLiteral("S008"));
    // A payment report the service refuses stays refused.
    standIn->SetMode(Mode::Error, QStringLiteral("S009"),
                     QStringLiteral("Ne postoji zabilježen eRačun"));
    Collect(m_invoice, 0.25, QStringLiteral("žiro račun"));
    EXPECT_EQ(fiscal::UnconfirmedReports(Db()).back().error,
              QStringLiteral("S009: Ne postoji zabilježen eRačun"));
}

// Invoices are numbered per warehouse: two warehouses' invoice of the same number, book and year
// are two documents to the service, each accepted in its own right (not as an S008 repeat).
TEST_F(FiscalReportTest, TheSameNumberInTwoWarehousesIsTwoEInvoices) {
    const QVariant shared = Db().Scalar(QStringLiteral(
        "SELECT MIN(a.\"BROJ RACUNA\") FROM \"RACUNI\" a JOIN \"RACUNI\" b ON "
        "b.\"BROJ RACUNA\" = a.\"BROJ RACUNA\" AND b.\"IRA\" = a.\"IRA\" AND "
        "b.\"GODINA\" = a.\"GODINA\" WHERE a.\"SKLADISTE\" = 1 AND b.\"SKLADISTE\" = 2 AND "
        "a.\"IRA\" = 1 AND a.\"GODINA\" = 2026 AND a.\"STORNO\" = FALSE AND "
        "b.\"STORNO\" = FALSE"));
    ASSERT_FALSE(shared.isNull());
    const int number = shared.toInt();
    for (int warehouse : {1, 2}) {
        fiscal::IssueEInvoice(m_session, fiscal::ReadEInvoiceData(Db(), warehouse, 1, 2026, number),
                              EInvoiceKind::Invoice,
                              m_dir.filePath(QStringLiteral("eRacun_w%1.xml").arg(warehouse)));
    }
    const std::vector<FiscalStandIn::Request> seen = standIn->Requests();
    ASSERT_EQ(seen.size(), 2u);
    for (int warehouse : {1, 2}) {
        const FiscalStandIn::Request& request = seen[warehouse - 1];
        EXPECT_EQ(request.errorCode, QString()) << warehouse;
        EXPECT_TRUE(request.body.contains(
            QStringLiteral("<fis:brojDokumenta>%1-%2-1-2026<").arg(number).arg(warehouse).toUtf8()))
            << warehouse;
        const fiscal::InvoiceRef ref{warehouse, 1, 2026, number, false, false};
        EXPECT_TRUE(fiscal::FindEInvoiceReport(Db(), ref, false)->accepted.isValid()) << warehouse;
    }
    EXPECT_EQ(fiscal::UnconfirmedReportCount(Db()), 0);
}

// The program ends after the commit, before anything is sent: the reports are in the outbox and
// another connection delivers them. A file that is not written or a collection that is refused
// leaves nothing behind.
TEST_F(FiscalReportTest, NothingIsLostBetweenTheCommitAndTheSend) {
    m_session.afterEInvoiceExport = nullptr;
    m_session.afterInvoiceCollection = nullptr;
    Issue(m_invoice);
    Collect(m_invoice, 1, QStringLiteral("žiro račun"));
    EXPECT_THROW(Issue(m_other, m_dir.filePath(QStringLiteral("nema/eRacun.xml"))), UserError);
    EXPECT_THROW(Collect(m_invoice, 1e7, QStringLiteral("žiro račun")), UserError);
    EXPECT_TRUE(standIn->Requests().empty());

    auto other = Database::Open(m_path, QString());
    ASSERT_EQ(other.status, Database::OpenStatus::Ok);
    const std::vector<fiscal::ReportRecord> waiting = fiscal::UnconfirmedReports(*other.db);
    ASSERT_EQ(waiting.size(), 2u);
    EXPECT_EQ(waiting[0].kind, ReportKind::EInvoice);
    EXPECT_EQ(waiting[0].invoice.number, m_invoice);
    EXPECT_EQ(waiting[1].kind, ReportKind::Payment);
    EXPECT_DOUBLE_EQ(waiting[1].amount, 1.0);
    fiscal::FiscalService service(*other.db, m_settings, QDateTime::currentDateTime());
    EXPECT_EQ(fiscal::RetryResultText(service.RetryOutbox(*other.db)),
              QStringLiteral("Potvrđeno: 2, odbijeno: 0, bez odgovora: 0"));
    EXPECT_EQ(fiscal::UnconfirmedReportCount(Db()), 0);
}

// A receipt issued now, recorded as the register records it.
int RecordReceipt(Database& db, const fiscal::Certificate& certificate, int number,
                  const QDateTime& issued) {
    fiscal::FiscalReceipt r;
    r.oib = kCompanyOib;
    r.issued = QDateTime(
        issued.date(), QTime(issued.time().hour(), issued.time().minute(), issued.time().second()));
    r.premises = QStringLiteral("PP1");
    r.device = QStringLiteral("1");
    r.number =
        fiscal::NextFiscalNumber(db, r.sequence, r.premises, r.device, r.issued.date().year());
    r.vat.push_back({25, 80, 20});
    r.total = 100;
    r.payment = QStringLiteral("G");
    r.operatorOib = kCashierOib;
    r.protectiveCode = fiscal::ProtectiveCode(
        certificate, {r.oib, r.issued, r.number, r.premises, r.device, r.total});
    Transaction transaction(db);
    const int id = fiscal::InsertFiscalRecord(
        db, {1, 1, r.issued.date().year(), number, false, false}, r, QStringLiteral("admin"));
    transaction.Commit();
    return id;
}

TEST_F(FiscalReportTest, ASameDayChangeIsSignedSentAndRefusedOnAnotherDay) {
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files->p12, files->password, kCompanyOib, QDateTime::currentDateTime());
    fiscal::FiscalService service(Db(), m_settings, QDateTime::currentDateTime());
    const QDateTime now = QDateTime::currentDateTime();
    const fiscal::InvoiceRef ref{1, 1, now.date().year(), 900001, false, false};
    const int id = RecordReceipt(Db(), certificate, ref.number, now);

    // Not yet confirmed: it simply goes out with the new payment.
    EXPECT_EQ(service.ChangeReceipt(Db(), ref, QStringLiteral("K"), std::nullopt).outcome,
              Outcome::Unsent);
    EXPECT_TRUE(standIn->Requests().empty());
    ASSERT_EQ(service.Deliver(Db(), id, false), Delivery::Confirmed);
    EXPECT_TRUE(standIn->Requests().back().body.contains("<tns:NacinPlac>K<"));

    struct Step {
        QString payment;
        std::optional<QString> oib;
        const char* kind;
        const char* text;
        const char* changedOib;
    };
    for (const Step& step : std::vector<Step>{
             {QStringLiteral("T"), std::nullopt, "PromijeniNacPlacZahtjev",
              "p001: Uspješna prijava promjene načina plaćanja.", ""},
             {QStringLiteral("T"), QStringLiteral("94577403194"), "PromijeniPodatkeRacunaZahtjev",
              "p005: Uspješna prijava promjene podataka računa.", "94577403194"},
             // The OIB reported, a change of payment alone keeps it: the data request again.
             {QStringLiteral("G"), std::nullopt, "PromijeniPodatkeRacunaZahtjev",
              "p005: Uspješna prijava promjene podataka računa.", "94577403194"},
         }) {
        const auto result = service.ChangeReceipt(Db(), ref, step.payment, step.oib);
        EXPECT_EQ(result.outcome, Outcome::Confirmed) << result.text.toStdString();
        EXPECT_EQ(result.text, QString::fromUtf8(step.text));
        const FiscalStandIn::Request sent = standIn->Requests().back();
        EXPECT_EQ(sent.kind, QString::fromUtf8(step.kind));
        EXPECT_EQ(fiscal::VerifySignature(sent.body, files->pem), QString());
        // The receipt as it was confirmed, then the change.
        EXPECT_TRUE(sent.body.contains("<tns:NacinPlac>K<"));
        EXPECT_TRUE(
            sent.body.contains("<tns:PromijenjeniNacinPlac>" + step.payment.toUtf8() + "<"));
        const fiscal::FiscalRecord record = fiscal::FiscalRecordById(Db(), id);
        EXPECT_EQ(record.changedPayment, step.payment);
        EXPECT_EQ(record.changedBuyerOib, QString::fromUtf8(step.changedOib));
        EXPECT_EQ(record.receipt.payment, QStringLiteral("K"));
    }
    EXPECT_TRUE(standIn->Requests().back().body.contains(
        "<tns:PromijenjeniOibPrimateljaRacuna>94577403194<"));

    const auto refusal = [&](const QString& payment, const std::optional<QString>& oib) {
        return Refusal([&] { service.ChangeReceipt(Db(), ref, payment, oib); });
    };
    const std::size_t sentBefore = standIn->Requests().size();
    EXPECT_EQ(refusal(QStringLiteral("C"), std::nullopt),
              QStringLiteral("Način plaćanja mora biti G, K, T ili O."));
    EXPECT_EQ(refusal(QStringLiteral("G"), std::nullopt),
              QStringLiteral("Račun već ima taj način plaćanja i OIB kupca."));
    EXPECT_EQ(refusal(QStringLiteral("G"), QStringLiteral("94577403195")),
              fiscal::InvalidOibMessage(QStringLiteral("94577403195")));
    service.clock = [now] { return now.addDays(1); };
    EXPECT_EQ(refusal(QStringLiteral("K"), std::nullopt),
              QStringLiteral("Način plaćanja i OIB kupca mogu se promijeniti samo na dan "
                             "izdavanja računa (") +
                  now.date().toString(QStringLiteral("dd.MM.yyyy.")) +
                  QStringLiteral("). Račun treba stornirati i izdati novi."));
    EXPECT_EQ(standIn->Requests().size(), sentBefore);

    // A workstation whose clock is a day behind: the service refuses the date, nothing changes.
    const QDateTime yesterday = now.addDays(-1);
    service.clock = [yesterday] { return yesterday; };
    const fiscal::InvoiceRef old{1, 1, yesterday.date().year(), 900002, false, false};
    const int oldId = RecordReceipt(Db(), certificate, old.number, yesterday);
    fiscal::StoreJir(Db(), oldId, QStringLiteral("00000000-0000-4000-8000-000000000000"),
                     yesterday);
    const auto result = service.ChangeReceipt(Db(), old, QStringLiteral("K"), std::nullopt);
    EXPECT_EQ(result.outcome, Outcome::Rejected);
    EXPECT_EQ(result.text, QStringLiteral("s007: Datum izdavanja računa u poruci promjene načina "
                                          "plaćanja nije jednak trenutnom datumu."));
    EXPECT_FALSE(fiscal::FiscalRecordById(Db(), oldId).changed);
}

// A change the service does not confirm waits with its receipt: listed, retried, replaced by a
// newer one, delivered; once the receipt's day is over it is no longer sent and asks for a
// cancellation, which takes it away.
TEST_F(FiscalReportTest, AFailedChangeWaitsUntilMidnightAndThenAsksForACancellation) {
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files->p12, files->password, kCompanyOib, QDateTime::currentDateTime());
    const QDateTime now = QDateTime::currentDateTime();
    const fiscal::InvoiceRef ref{1, 1, now.date().year(), 900001, false, false};
    const int id = RecordReceipt(Db(), certificate, ref.number, now);
    fiscal::FiscalService answered(Db(), m_settings, now);
    ASSERT_EQ(answered.Deliver(Db(), id, false), Delivery::Confirmed);
    const QString zki = fiscal::FiscalRecordById(Db(), id).receipt.protectiveCode;

    standIn->SetMode(Mode::Silent);
    Configure(300);
    // `service` waits 300 ms for the silent service, `answered` its 5 s for the answering one.
    fiscal::FiscalService service(Db(), m_settings, now);
    auto result = service.ChangeReceipt(Db(), ref, QStringLiteral("K"), std::nullopt);
    EXPECT_EQ(result.outcome, Outcome::NoAnswer);
    EXPECT_EQ(result.text, QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 300 ms."));
    TableData table = fiscal::UnconfirmedReceiptsTable(Db());
    ASSERT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.rows[0][0].toString(), QStringLiteral("Promjena 1/PP1/1: K"));
    EXPECT_EQ(table.rows[0][5].toInt(), 1);
    EXPECT_EQ(table.rows[0][6].toString(), result.text);
    // Nothing changed against the change asked for, though the service still holds G.
    EXPECT_THROW(service.ChangeReceipt(Db(), ref, QStringLiteral("K"), std::nullopt), UserError);

    // An error answer keeps it; a newer change replaces it and starts its count again.
    standIn->SetMode(Mode::Error, QStringLiteral("s006"), QStringLiteral("Sistemska pogreška"));
    EXPECT_EQ(fiscal::RetryResultText(answered.RetryOutbox(Db())),
              QStringLiteral("Potvrđeno: 0, odbijeno: 1, bez odgovora: 0"));
    result = answered.ChangeReceipt(Db(), ref, QStringLiteral("T"), QStringLiteral("94577403194"));
    EXPECT_EQ(result.outcome, Outcome::Rejected);
    EXPECT_EQ(result.text, QStringLiteral("s006: Sistemska pogreška"));
    std::optional<fiscal::PendingChange> waiting = fiscal::FindPendingChange(Db(), id);
    ASSERT_TRUE(waiting);
    EXPECT_EQ(waiting->payment, QStringLiteral("T"));
    EXPECT_EQ(waiting->buyerOib, QStringLiteral("94577403194"));
    EXPECT_EQ(waiting->attempts, 1);

    standIn->SetMode(Mode::Answer);
    EXPECT_EQ(fiscal::RetryResultText(answered.RetryOutbox(Db())),
              QStringLiteral("Potvrđeno: 1, odbijeno: 0, bez odgovora: 0"));
    EXPECT_EQ(standIn->Requests().back().kind, QStringLiteral("PromijeniPodatkeRacunaZahtjev"));
    EXPECT_EQ(standIn->PaymentOnRecord(zki), QStringLiteral("T"));
    const fiscal::FiscalRecord changed = fiscal::FiscalRecordById(Db(), id);
    EXPECT_EQ(changed.changedPayment, QStringLiteral("T"));
    EXPECT_EQ(changed.changedBuyerOib, QStringLiteral("94577403194"));
    EXPECT_EQ(fiscal::PendingChangeCount(Db()), 0);

    // Still waiting after midnight: not sent, kept with what to do.
    standIn->SetMode(Mode::Silent);
    EXPECT_EQ(service.ChangeReceipt(Db(), ref, QStringLiteral("G"), std::nullopt).outcome,
              Outcome::NoAnswer);
    standIn->SetMode(Mode::Answer);
    const std::size_t sent = standIn->Requests().size();
    answered.clock = [now] { return now.addDays(1); };
    EXPECT_EQ(fiscal::RetryResultText(answered.RetryOutbox(Db())),
              QStringLiteral("Potvrđeno: 0, odbijeno: 1, bez odgovora: 0"));
    EXPECT_EQ(standIn->Requests().size(), sent);
    EXPECT_EQ(fiscal::FindPendingChange(Db(), id)->error,
              QStringLiteral("Promjena načina plaćanja i OIB-a kupca nije dostavljena na dan "
                             "izdavanja računa (") +
                  now.date().toString(QStringLiteral("dd.MM.yyyy.")) +
                  QStringLiteral(") i više se ne može poslati. Račun treba stornirati i izdati "
                                 "novi."));
    // The cancellation's negative receipt takes the change away.
    fiscal::SetOperatorOib(Db(), QStringLiteral("admin"), kCashierOib);
    Session::RetailSaleEvent cancelled;
    cancelled.warehouse = ref.warehouse;
    cancelled.book = ref.book;
    cancelled.year = ref.year;
    cancelled.number = ref.number;
    cancelled.cashier = QStringLiteral("admin");
    {
        Transaction transaction(Db());
        answered.RecordCancellation(m_session, cancelled);
        transaction.Commit();
    }
    EXPECT_EQ(fiscal::PendingChangeCount(Db()), 0);
}

// Deleting a collection of an e-invoice: a report still waiting goes with it; an accepted one is
// withdrawn by the same payment negated; where the program records no fiscal report, the
// deletion is refused and nothing goes.
TEST_F(FiscalReportTest, ADeletedCollectionDropsItsWaitingReportAndWithdrawsAnAcceptedOne) {
    const auto lastCollection = [&] {
        return Db().Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"NAPLATA\"")).toInt();
    };
    Issue(m_invoice);
    standIn->SetMode(Mode::Silent);
    Configure(300);
    Collect(m_invoice, 1, QStringLiteral("žiro račun"));
    const int unsent = lastCollection();
    ASSERT_TRUE(fiscal::FindPaymentReport(Db(), unsent));
    EXPECT_TRUE(payments::DeleteCollection(m_session, unsent).found);
    EXPECT_FALSE(fiscal::FindPaymentReport(Db(), unsent));
    EXPECT_FALSE(fiscal::FindPaymentReport(Db(), unsent, true));

    standIn->SetMode(Mode::Answer);
    Configure(kAnswered);
    const int payment = payments::RecordCollection(m_session, Key(m_invoice),
                                                   {QDate(2026, 7, 3), QStringLiteral("žiro račun"),
                                                    std::nullopt, QStringLiteral("Uplata"), 2})
                            .payment;
    const int accepted = lastCollection();
    const fiscal::ReportRecord report = *fiscal::FindPaymentReport(Db(), accepted);
    ASSERT_TRUE(report.accepted.isValid());

    // A program that records no reports may not delete it (refused while another sends the
    // report: FiscalZodractlTest).
    const auto removal = m_session.duringCollectionRemoval;
    m_session.duringCollectionRemoval = nullptr;
    EXPECT_REFUSED(payments::DeletePayment(m_session, payment),
                   "Naplata je prijavljena Poreznoj upravi pa se i njezino brisanje mora "
                   "prijaviti, a u ovom programu fiskalizacija nije postavljena.");
    // A collection never reported is deleted there all the same.
    Collect(m_other, 1, QStringLiteral("žiro račun"));
    EXPECT_TRUE(payments::DeleteCollection(m_session, lastCollection()).found);
    m_session.duringCollectionRemoval = removal;
    EXPECT_EQ(lastCollection(), accepted);

    const std::size_t sent = standIn->Requests().size();
    EXPECT_EQ(payments::DeletePayment(m_session, payment), 1);
    ASSERT_EQ(standIn->Requests().size(), sent + 1);
    const FiscalStandIn::Request withdrawn = standIn->Requests().back();
    EXPECT_EQ(withdrawn.kind, QStringLiteral("EvidentirajNaplatuZahtjev"));
    EXPECT_EQ(withdrawn.errorCode, QString());
    EXPECT_TRUE(withdrawn.body.contains("<fis:naplaceniIznos>-2.00<"));
    EXPECT_TRUE(withdrawn.body.contains("<fis:datumNaplate>2026-07-03<"));
    const auto withdrawal = fiscal::FindPaymentReport(Db(), accepted, true);
    ASSERT_TRUE(withdrawal);
    EXPECT_TRUE(withdrawal->accepted.isValid());
    EXPECT_DOUBLE_EQ(withdrawal->amount, -2.0);
    EXPECT_TRUE(fiscal::FindPaymentReport(Db(), accepted)->accepted.isValid());
    EXPECT_EQ(fiscal::UnconfirmedReportCount(Db()), 0);

    // The e-invoice itself is cancelled, never deleted.
    m_session.activeWarehouse.code = 1;
    ScriptedPrompter yes;
    yes.AnswerYes();
    EXPECT_REFUSED(sales::DeleteInvoice(m_session, yes, 1, m_invoice),
                   sales::ReportedEInvoiceDeleteRefusal());
    EXPECT_TRUE(fiscal::FindEInvoiceReport(Db(), Ref(m_invoice), false));
}

}  // namespace
}  // namespace zodra::test
