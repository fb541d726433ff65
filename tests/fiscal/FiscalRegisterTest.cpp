#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSettings>

#include "FiscalKit.h"
#include "FiscalStandIn.h"
#include "data/ScriptedPrompter.h"
#include "fiscal/FiscalService.h"
#include "fiscal/ProtectiveCode.h"
#include "fiscal/ReceiptMarks.h"
#include "pos/ReceiptText.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "retail/XReport.h"
#include "sales/InvoicePrint.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::test {
namespace {

using Mode = FiscalStandIn::Mode;

// The register of a company in the VAT system with fiscalization on, its cashier Ana with her
// OIB, and the stand-in service trusting the company's test certificate.
class FiscalRegisterTest : public RetailTest {
protected:
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
                   int timeoutMs = kAnswered, const QString& certificate = {}) {
        fiscal::FiscalSettings settings = TillSettings(*files, *remote, standIn->Url(), timeoutMs);
        settings.sequence = sequence;
        settings.device = device;
        if (!certificate.isEmpty()) {
            settings.certificatePath = certificate;
        }
        Apply(s, settings);
    }
    // Fiscalization switched off for the company; this till's settings with or without its
    // certificate.
    fiscal::FiscalSettings Off(const QString& device, bool certificate, int timeoutMs = kAnswered) {
        fiscal::FiscalSettings off = TillSettings(*files, *remote, standIn->Url(), timeoutMs);
        off.enabled = false;
        off.device = device;
        if (!certificate) {
            off.certificatePath.clear();
            off.certificatePassword.clear();
        }
        return off;
    }
    void Apply(Session& s, const fiscal::FiscalSettings& settings) {
        const QString ini =
            Folder() + QStringLiteral("/till") + settings.device + QStringLiteral(".ini");
        QSettings workstation(ini, QSettings::IniFormat);
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

    const TestCertificate* files = &CompanyCertificate();
    const TestService* remote = &StandInService();
    std::unique_ptr<FiscalStandIn> standIn;
    std::map<Session*, QString> settingsFiles;
};

// Each sale is numbered, signed and sent once and gets its JIR, over a connection kept between
// receipts; one the service dropped in between is opened again.
TEST_F(FiscalRegisterTest, SalesAreNumberedSignedAndSentOnceOverAKeptConnection) {
    std::vector<int> sold{Sell(*session), Sell(*session)};
    EXPECT_EQ(standIn->ConnectionsAccepted(), 1);
    standIn->SetClosingAfterEachAnswer(true);
    sold.push_back(Sell(*session));
    sold.push_back(Sell(*session));
    EXPECT_EQ(standIn->ConnectionsAccepted(), 2);
    const auto requests = standIn->Requests();
    ASSERT_EQ(requests.size(), sold.size());
    for (std::size_t i = 0; i < sold.size(); ++i) {
        SCOPED_TRACE(i);
        const fiscal::FiscalRecord r = Record(sold[i]);
        EXPECT_EQ(requests[i].errorCode, QString()) << requests[i].body.toStdString();
        EXPECT_FALSE(requests[i].late);
        EXPECT_FALSE(requests[i].jir.isEmpty());
        EXPECT_EQ(r.jir, requests[i].jir);
        EXPECT_EQ(fiscal::FiscalNumber(r.receipt), QStringLiteral("%1/PP1/1").arg(i + 1));
        EXPECT_EQ(r.attempts, 1);
    }
    EXPECT_NE(requests[0].messageId, requests[1].messageId);
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);

    const fiscal::FiscalRecord a = Record(sold[0]);
    EXPECT_EQ(a.receipt.operatorOib, kCashierOib);
    EXPECT_EQ(a.receipt.payment, QStringLiteral("G"));
    // The breadth of the receipt: one 25 % row whose base and tax make the total.
    ASSERT_EQ(a.receipt.vat.size(), 1u);
    EXPECT_DOUBLE_EQ(a.receipt.vat[0].rate, 25);
    EXPECT_DOUBLE_EQ(a.receipt.vat[0].base + a.receipt.vat[0].amount, a.receipt.total);
    EXPECT_DOUBLE_EQ(a.receipt.total, 156.25);
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

TEST_F(FiscalRegisterTest, ASilentOrRefusingServiceCostsTheSaleNothingAndTheOutboxCatchesUp) {
    Configure(*session, QStringLiteral("1"), QStringLiteral("P"), 300);
    standIn->SetMode(Mode::Silent);
    const int first = Sell(*session);
    const int second = Sell(*session);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Record(first).error,
              QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u 300 ms."));
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 2);

    // Still silent: the round stops at the first receipt, the second is not tried in vain;
    // signing and waiting take no longer than the timeout (with room for scheduling).
    auto service = Service(*session);
    QElapsedTimer waited;
    waited.start();
    const fiscal::RetryResult silent = service->RetryOutbox(db());
    EXPECT_LT(waited.elapsed(), 300 + 200);
    EXPECT_EQ(silent.unanswered, 1);
    EXPECT_EQ(silent.confirmed, 0);
    EXPECT_EQ(Record(first).attempts, 2);
    EXPECT_EQ(Record(second).attempts, 1);

    // An error answer is kept in words; the receipts wait on.
    standIn->SetMode(Mode::Error, QStringLiteral("s006"),
                     QStringLiteral("Sistemska pogreška prilikom obrade zahtjeva."));
    Configure(*session, QStringLiteral("1"));
    auto answering = Service(*session);
    EXPECT_EQ(answering->RetryOutbox(db()).rejected, 2);
    EXPECT_EQ(fiscal::UnconfirmedReceipts(db())[0].error,
              QStringLiteral("s006: Sistemska pogreška prilikom obrade zahtjeva."));

    // Delivered late, in a message of its own, with the ZKI it was issued with.
    standIn->SetMode(Mode::Answer);
    EXPECT_EQ(answering->RetryOutbox(db()).confirmed, 2);
    EXPECT_EQ(fiscal::UnconfirmedCount(db()), 0);
    const auto requests = standIn->Requests();
    ASSERT_GE(requests.size(), 4u);
    const FiscalStandIn::Request& rejected = requests[requests.size() - 4];
    const FiscalStandIn::Request& delivered = requests[requests.size() - 2];
    EXPECT_TRUE(delivered.late && requests.back().late);
    EXPECT_NE(delivered.messageId, rejected.messageId);
    const fiscal::FiscalRecord a = Record(first);
    EXPECT_EQ(a.jir, delivered.jir);
    EXPECT_EQ(a.error, QString());
    EXPECT_EQ(a.attempts, 4);
    EXPECT_TRUE(delivered.body.contains(
        (QStringLiteral("<tns:ZastKod>") + a.receipt.protectiveCode).toUtf8()));
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
    EXPECT_REFUSED(Sell(*session, QStringLiteral("Marko")),
                   "Korisnik \"Marko\" nema upisan OIB za fiskalizaciju računa.");
    EXPECT_EQ(invoices(), before);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\"")), 0);

    Configure(*session, QStringLiteral("1"), QStringLiteral("P"), kAnswered,
              Folder() + QStringLiteral("/nema.p12"));
    EXPECT_REFUSED(Sell(*session),
                   fiscal::CertificateMissingMessage(Folder() + QStringLiteral("/nema.p12")));
    EXPECT_EQ(invoices(), before);

    // The other side of both guards: with them the sale goes through, numbered from 1.
    Configure(*session, QStringLiteral("1"));
    const int number = Sell(*session);
    EXPECT_EQ(invoices(), before + 1);
    EXPECT_EQ(Record(number).receipt.number, 1);
    EXPECT_FALSE(Record(number).jir.isEmpty());
}

// The marks of a sold receipt, as the printers get them.
Session::FiscalMarks MarksOfSale(Session& s, int number) {
    Session::RetailSaleEvent key;
    key.warehouse = 1;
    key.year = s.businessYear;
    key.number = number;
    const std::optional<Session::FiscalMarks> marks = s.FiscalMarksOf(key, false);
    EXPECT_TRUE(marks);
    return marks.value_or(Session::FiscalMarks{});
}

QString Formula(const reports::ReportRequest& request, const QString& name) {
    for (const auto& [key, value] : request.formulas) {
        if (key == name) {
            return value;
        }
    }
    return QStringLiteral("<none>");
}

TEST_F(FiscalRegisterTest, ReceiptsPrintsAndTheZReportShowTheFiscalMarksOrTheMissingJir) {
    const int confirmed = Sell(*session);
    const fiscal::FiscalRecord record = Record(confirmed);
    const Session::FiscalMarks marks = MarksOfSale(*session, confirmed);
    EXPECT_EQ(marks.qrText, fiscal::QrText(record.jir, QString(), record.receipt.issued, 156.25));
    EXPECT_TRUE(marks.qrText.contains(QStringLiteral("&izn=15625")));

    const pos::ReceiptOptions options;
    const pos::InvoiceKey key{1, 1, Year(), confirmed};
    int qrAt = -1;
    const QStringList lines = pos::ReceiptLines(db(), options, key, &marks, &qrAt);
    const QStringList expected{
        QStringLiteral("Broj računa: 1/PP1/1"),
        QStringLiteral("Vrijeme izdavanja: ") +
            record.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
        QStringLiteral("Operater: Ana"), QStringLiteral("ZKI: ") + record.receipt.protectiveCode,
        QStringLiteral("JIR:") + record.jir};
    ASSERT_GE(qrAt, 5);
    EXPECT_EQ(lines.mid(qrAt - 5, 5), expected);
    // Without marks the receipt is as it always was: no fiscal line.
    EXPECT_EQ(pos::ReceiptLines(db(), options, key).size(), lines.size() - 5);

    retail::XReportOptions z;
    z.warehouse = 1;
    z.year = Year();
    z.from = z.to = QDate(2026, 3, 10);
    z.dayEnd = true;
    const QString warning = QStringLiteral("UPOZORENJE: računa bez JIR-a: 1");
    EXPECT_FALSE(retail::XReportLines(db(), z).contains(warning));
    EXPECT_EQ(retail::UnconfirmedReceiptsWarning(db()), QString());

    // Unconfirmed: no JIR line, the QR links the ZKI; the Z report warns of it, the X report
    // during the day does not.
    Configure(*session, QStringLiteral("1"), QStringLiteral("P"), 300);
    standIn->SetMode(Mode::Silent);
    const int waiting = Sell(*session);
    EXPECT_TRUE(retail::XReportLines(db(), z).contains(warning));
    z.dayEnd = false;
    EXPECT_FALSE(retail::XReportLines(db(), z).contains(warning));
    const Session::FiscalMarks pending = MarksOfSale(*session, waiting);
    EXPECT_EQ(pending.jir, QString());
    EXPECT_TRUE(pending.qrText.startsWith(QStringLiteral("https://porezna.gov.hr/rn?zki=") +
                                          Record(waiting).receipt.protectiveCode +
                                          QStringLiteral("&datv=")));
    const QStringList pendingLines =
        pos::ReceiptLines(db(), options, {1, 1, Year(), waiting}, &pending, &qrAt);
    EXPECT_EQ(pendingLines.at(qrAt - 1),
              QStringLiteral("ZKI: ") + Record(waiting).receipt.protectiveCode);
    EXPECT_FALSE(pendingLines.join(QLatin1Char('\n')).contains(QStringLiteral("JIR:")));

    // The A4 print: the marks as formulas, the QR as a picture that reads back to the link.
    const reports::ReportRequest a4 = sales::InvoicePrintRequest(*session, 1, confirmed);
    EXPECT_EQ(Formula(a4, QStringLiteral("ZKI")), record.receipt.protectiveCode);
    EXPECT_EQ(Formula(a4, QStringLiteral("JIR")), record.jir);
    EXPECT_EQ(Formula(a4, QStringLiteral("FiskalniBroj")), QStringLiteral("1/PP1/1"));
    QImage qr;
    ASSERT_TRUE(qr.loadFromData(
        QByteArray::fromBase64(Formula(a4, QStringLiteral("FiskalniQR")).toLatin1()), "PNG"));
    EXPECT_EQ(DecodeQr(qr), marks.qrText);
    // An invoice that was not fiscalized prints no fiscal block.
    db().Exec(QStringLiteral("DELETE FROM \"FISKAL_RACUNI\" WHERE \"BROJ_RACUNA\" = ?"),
              {confirmed});
    EXPECT_EQ(Formula(sales::InvoicePrintRequest(*session, 1, confirmed), QStringLiteral("ZKI")),
              QString());
}

// A fiscalized invoice is never deleted (whoever asks), it is cancelled: its negative receipt is
// fiscalized in the cancellation's transaction. An invoice never fiscalized is deleted as before.
TEST_F(FiscalRegisterTest, AFiscalizedReceiptIsCancelledWithItsNegativeReceiptNeverDeleted) {
    const int number = Sell(*session);
    const QDate date(2026, 3, 10);
    EXPECT_REFUSED(sales::DeleteInvoice(*session, prompter, 1, number),
                   sales::FiscalizedDeleteRefusal());
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"),
                    {number}),
              1);
    const auto cancelled = [&] {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ? "
                                    "AND \"STORNO\" = TRUE"),
                     {number});
    };
    // The cancelling user has no OIB: refused, and neither the cancellation nor a record stays.
    EXPECT_REFUSED(sales::CancelInvoice(*session, 1, number, date),
                   fiscal::NoOperatorOibMessage(session->userName));
    EXPECT_EQ(cancelled(), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\"")), 1);

    fiscal::SetOperatorOib(db(), session->userName, kCompanyOib);
    sales::CancelInvoice(*session, 1, number, date);
    EXPECT_EQ(cancelled(), 1);
    const fiscal::FiscalRecord original = Record(number);
    const auto negative = fiscal::FindFiscalRecord(db(), {1, 1, Year(), number, false, true});
    ASSERT_TRUE(negative);
    const fiscal::FiscalReceipt& r = negative->receipt;
    EXPECT_EQ(fiscal::FiscalNumber(r), QStringLiteral("2/PP1/1"));
    EXPECT_DOUBLE_EQ(r.total, -156.25);
    ASSERT_EQ(r.vat.size(), 1u);
    EXPECT_DOUBLE_EQ(r.vat[0].base, -original.receipt.vat[0].base);
    EXPECT_DOUBLE_EQ(r.vat[0].amount, -original.receipt.vat[0].amount);
    EXPECT_EQ(r.operatorOib, kCompanyOib);
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files->p12, files->password, kCompanyOib, QDateTime::currentDateTime());
    EXPECT_EQ(r.protectiveCode,
              fiscal::ProtectiveCode(certificate, {kCompanyOib, r.issued, 2, QStringLiteral("PP1"),
                                                   QStringLiteral("1"), -156.25}));
    // Sent once, schema-valid, and confirmed.
    const auto requests = standIn->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].errorCode, QString()) << requests[1].body.toStdString();
    EXPECT_TRUE(requests[1].body.contains("<tns:IznosUkupno>-156.25</tns:IznosUkupno>"));
    EXPECT_EQ(negative->jir, requests[1].jir);

    session->duringRetailPosting = nullptr;
    session->afterRetailSale = nullptr;
    const int plain = Sell(*session);
    EXPECT_TRUE(sales::DeleteInvoice(*session, prompter, 1, plain));
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"), {plain}),
        0);
}

// The sale of Sell() paid in cash, as the payment window writes it.
void PayInCash(Session& s, int number, bool detailed = false) {
    retail::RetailPaymentInput p;
    p.warehouse = 1;
    p.year = s.businessYear;
    p.number = number;
    p.date = QDate(2026, 3, 10);
    p.customer = retail::RetailCustomer(s.Db());
    p.total = p.cash = 156.25;
    p.detailed = detailed;
    retail::WriteRetailPayment(s.Db(), p);
}

// The line of `lines` that starts with `start` (empty when none).
QString LineStarting(const QStringList& lines, const QString& start) {
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(start)) {
            return line;
        }
    }
    return {};
}

// The control tape of the day: a sale, its negative receipt and the next sale in the order they
// were issued, each with its own number and marks, the negative one's amounts and payment
// negated; the negative receipt of a sale of another day is on the tape of its own day.
TEST_F(FiscalRegisterTest, TheControlTapeListsNegativeReceiptsInTheOrderTheyWereIssued) {
    const int first = Sell(*session);
    PayInCash(*session, first);
    fiscal::SetOperatorOib(db(), session->userName, kCompanyOib);
    sales::CancelInvoice(*session, 1, first, QDate(2026, 3, 10));
    const int second = Sell(*session);
    PayInCash(*session, second);
    const pos::ReceiptOptions options;
    const pos::TapeText tape =
        pos::ControlTapeLines(db(), options, 1, Year(), QStringLiteral("10.03.2026"),
                              pos::SessionMarks(*session, options));
    ASSERT_EQ(tape.error, QString());
    const auto headsOf = [](const QStringList& lines) {
        QStringList heads;
        for (const QString& line : lines) {
            if (line.contains(QStringLiteral(" br.:")) ||
                line.startsWith(QStringLiteral("Broj ")) ||
                line.trimmed().startsWith(QStringLiteral("Za platiti"))) {
                heads << line.section(QStringLiteral(" Datum:"), 0, 0).simplified();
            }
        }
        return heads;
    };
    const QStringList heads{QStringLiteral("RAČUN br.:%1 R-1").arg(first),
                            QStringLiteral("Za platiti EUR : 156,25"),
                            QStringLiteral("Broj računa: 1/PP1/1"),
                            QStringLiteral("STORNO RAČUNA br.:%1 R-1").arg(first),
                            QStringLiteral("Za platiti EUR : -156,25"),
                            QStringLiteral("Broj računa: 2/PP1/1"),
                            QStringLiteral("RAČUN br.:%1 R-1").arg(second),
                            QStringLiteral("Za platiti EUR : 156,25"),
                            QStringLiteral("Broj računa: 3/PP1/1")};
    EXPECT_EQ(headsOf(tape.lines), heads);
    // The reprint of a range of numbers: each sale followed by its negative receipt, with marks.
    EXPECT_EQ(headsOf(pos::RangeLines(db(), options, 1, Year(), first, second,
                                      pos::SessionMarks(*session, options))
                          .lines),
              heads);
    // The negative receipt pays back what the sale took (not the sale's cash, which would net
    // the two to nothing).
    QStringList paid;
    for (const QString& line : tape.lines) {
        if (line.trimmed().startsWith(QStringLiteral("Pl. "))) {
            paid << line.trimmed().section(u' ', -1);
        }
    }
    EXPECT_EQ(paid, (QStringList{QStringLiteral("156,25"), QStringLiteral("-156,25"),
                                 QStringLiteral("156,25")}));
    // Without marks (a program without the wiring) the tape still holds all three.
    EXPECT_EQ(pos::ControlTapeLines(db(), options, 1, Year(), QStringLiteral("10.03.2026"))
                  .lines.filter(QStringLiteral(" br.:"))
                  .size(),
              3);

    // Cancelled a day later: the sale stays on its day's tape, the negative receipt goes on the
    // tape of its own day.
    sales::CancelInvoice(*session, 1, second, QDate(2026, 3, 11));
    EXPECT_EQ(pos::ControlTapeLines(db(), options, 1, Year(), QStringLiteral("10.03.2026"))
                  .lines.filter(QStringLiteral(" br.:"))
                  .size(),
              3);
    const QStringList nextDay =
        pos::ControlTapeLines(db(), options, 1, Year(), QStringLiteral("11.03.2026"))
            .lines.filter(QStringLiteral(" br.:"));
    ASSERT_EQ(nextDay.size(), 1);
    EXPECT_TRUE(nextDay[0].startsWith(QStringLiteral("STORNO RAČUNA br.:%1 ").arg(second)));
    EXPECT_TRUE(nextDay[0].contains(QStringLiteral("Datum:11.03.2026")));
    const QStringList range = pos::RangeLines(db(), options, 1, Year(), second, second)
                                  .lines.filter(QStringLiteral(" br.:"));
    ASSERT_EQ(range.size(), 2);
    EXPECT_TRUE(range[1].startsWith(QStringLiteral("STORNO RAČUNA br.:%1 ").arg(second)));
}

// Fiscalization is switched on per company; the certificate and the marks are the workstation's.
// A receipt that was fiscalized gets its negative receipt whatever the switch says now, or it
// is not cancelled.
TEST_F(FiscalRegisterTest, AFiscalizedReceiptIsNeverCancelledWithoutItsNegativeReceipt) {
    const int number = Sell(*session);
    fiscal::SetOperatorOib(db(), session->userName, kCompanyOib);
    const QDate date(2026, 3, 10);
    const auto cancelled = [&](int n) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ? "
                                    "AND \"STORNO\" = TRUE"),
                     {n});
    };
    const auto negative = [&] {
        return fiscal::FindFiscalRecord(db(), {1, 1, Year(), number, false, true});
    };

    // A program without fiscalization wired: refused before the question and inside.
    auto unwired = StartSession(1);
    ASSERT_TRUE(unwired);
    EXPECT_REFUSED(sales::CheckCanBeCancelled(*unwired, 1, number),
                   sales::FiscalizedCancelRefusal());
    EXPECT_REFUSED(sales::CancelInvoice(*unwired, 1, number, date),
                   sales::FiscalizedCancelRefusal());

    // Switched off for the company; this workstation has no certificate.
    Apply(*session, Off(QStringLiteral("2"), false));
    EXPECT_REFUSED(
        sales::CancelInvoice(*session, 1, number, date),
        sales::FiscalizedCancelRefusal() + QLatin1Char(' ') + fiscal::CertificateNotSetMessage());
    EXPECT_EQ(cancelled(number), 0);
    EXPECT_FALSE(negative());

    // Still off, with the certificate: the negative receipt is recorded with the cancellation and
    // numbered at this till; the silent service leaves it in the outbox, the retry delivers it.
    Apply(*session, Off(QStringLiteral("2"), true, 300));
    standIn->SetMode(Mode::Silent);
    sales::CancelInvoice(*session, 1, number, date);
    EXPECT_EQ(cancelled(number), 1);
    ASSERT_TRUE(negative());
    EXPECT_EQ(fiscal::FiscalNumber(negative()->receipt), QStringLiteral("2/PP1/2"));
    EXPECT_DOUBLE_EQ(negative()->receipt.total, -156.25);
    EXPECT_EQ(negative()->jir, QString());
    standIn->SetMode(Mode::Answer);
    Apply(*session, Off(QStringLiteral("2"), true));
    EXPECT_EQ(Service(*session)->RetryOutbox(db()).confirmed, 1);
    EXPECT_FALSE(negative()->jir.isEmpty());

    // A receipt sold while fiscalization is off is cancelled without one, wired or not.
    const int plain = Sell(*session);
    sales::CancelInvoice(*unwired, 1, plain, date);
    EXPECT_EQ(cancelled(plain), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\"")), 2);
}

// The detail invoices of a company that sums its retail invoices at day end.
TEST_F(FiscalRegisterTest, AFiscalizedDetailInvoiceIsCancelledWithItsNegativeReceiptNotDeleted) {
    session->company.sumRetailInvoices = true;
    const int number = Sell(*session);
    PayInCash(*session, number, true);
    const fiscal::InvoiceRef ref{1, 1, Year(), number, true, false};
    const auto original = fiscal::FindFiscalRecord(db(), ref);
    ASSERT_TRUE(original);
    EXPECT_FALSE(original->jir.isEmpty());
    const auto details = [&] {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE "
                                    "\"BROJ RACUNA\" = ?"),
                     {number});
    };

    EXPECT_REFUSED(retail::DeleteDetailInvoice(*session, number), sales::FiscalizedDeleteRefusal());
    EXPECT_EQ(details(), 1);

    // The cancelling user's OIB is missing: refused, nothing cancelled.
    EXPECT_REFUSED(retail::CancelDetailInvoice(*session, number, QDate(2026, 3, 10)),
                   fiscal::NoOperatorOibMessage(session->userName));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE "
                                   "\"STORNO\" = TRUE")),
              0);

    fiscal::SetOperatorOib(db(), session->userName, kCompanyOib);
    retail::CancelDetailInvoice(*session, number, QDate(2026, 3, 10));
    fiscal::InvoiceRef negativeRef = ref;
    negativeRef.cancellation = true;
    const auto negative = fiscal::FindFiscalRecord(db(), negativeRef);
    ASSERT_TRUE(negative);
    EXPECT_EQ(fiscal::FiscalNumber(negative->receipt), QStringLiteral("2/PP1/1"));
    EXPECT_DOUBLE_EQ(negative->receipt.total, -156.25);
    EXPECT_NE(negative->receipt.protectiveCode, original->receipt.protectiveCode);
    EXPECT_FALSE(negative->jir.isEmpty());
    ASSERT_EQ(standIn->Requests().size(), 2u);
    EXPECT_TRUE(standIn->Requests()[1].body.contains("<tns:IznosUkupno>-156.25</tns:IznosUkupno>"));

    // Its receipt from the detail tables, with the negative receipt's marks.
    pos::ReceiptOptions options;
    options.summed = true;
    options.cancellation = true;
    const pos::InvoiceKey key{1, 1, Year(), number};
    const std::optional<Session::FiscalMarks> marks = pos::MarksOfReceipt(*session, options, key);
    ASSERT_TRUE(marks);
    const QStringList lines = pos::ReceiptLines(db(), options, key, &*marks);
    EXPECT_EQ(LineStarting(lines, QStringLiteral("JIR:")), QStringLiteral("JIR:") + negative->jir);
    EXPECT_TRUE(LineStarting(lines, QStringLiteral("Pl. ")).endsWith(QStringLiteral(" -156,25")));

    // The other side: a detail invoice that was never fiscalized is deleted.
    session->duringRetailPosting = nullptr;
    session->afterRetailSale = nullptr;
    const int plain = Sell(*session);
    retail::DeleteDetailInvoice(*session, plain);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE "
                                   "\"BROJ RACUNA\" = ?"),
                    {plain}),
              0);
}

// The switch is the company's: a till that started while it was off fiscalizes its next sale
// once another workstation has turned it on.
TEST_F(FiscalRegisterTest, ATillFollowsTheSwitchTurnedOnAtAnotherWorkstation) {
    Apply(*session, Off(QStringLiteral("1"), true));
    const int before = Sell(*session);
    EXPECT_FALSE(fiscal::FindFiscalRecord(db(), {1, 1, Year(), before, false, false}));

    auto other = StartSession(1);
    ASSERT_TRUE(other);
    Configure(*other, QStringLiteral("2"));
    const int after = Sell(*session);
    EXPECT_EQ(fiscal::FiscalNumber(Record(after).receipt), QStringLiteral("1/PP1/1"));
    EXPECT_FALSE(Record(after).jir.isEmpty());
}

}  // namespace
}  // namespace zodra::test
