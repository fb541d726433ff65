// "Storno" of "Izbor računa" on a till of the demo company through the program's wiring: a
// fiscalized receipt's negative receipt reaches the till's printer (the bytes the command line
// builds; their content: FiscalRegisterTest, FiscalZodractlTest), a receipt never fiscalized or a
// workstation without a receipt printer gets the A4 cancellation alone.
#include <QApplication>
#include <QDate>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop/CommandWiring.h"
#include "data/Database.h"
#include "data/Session.h"
#include "fiscal/FiscalKit.h"
#include "fiscal/FiscalService.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "sales/ui/InvoiceListWindow.h"
#include "support/PseudoTerminal.h"
#include "support/WindowTest.h"

using namespace zodra;

namespace {

constexpr int kRetailWarehouse = 2;  // "Maloprodaja Centar" of the demo

// A receipt of one article sold at F12 on the session's till; its number.
int Sell(Session& session) {
    retail::TillSale sale = retail::OpenTillSale(session, QDate::currentDate());
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT a.\"BARKOD\" FROM \"ARTIKLI\" a WHERE a.\"BARKOD\" <> '' AND EXISTS (SELECT 1 "
        "FROM \"NABAVE\" n WHERE n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" AND n.\"SKLADISTE\" = ? "
        "AND n.\"KOLICINA_PRIVREMENO\" >= 1) ORDER BY a.\"SIFRA\""));
    rows.Exec({kRetailWarehouse});
    const QString barcode = rows.Next() ? rows.Text(0) : QString();
    rows.Finish();
    retail::ScanBarcode(session, sale, barcode);
    const auto posted =
        retail::PostRetailSale(session, sale, retail::ProposedRetailNumber(session, sale));
    if (posted) {
        retail::RetailSaleFinished(session, sale, *posted);
    }
    retail::CloseTillSale(session, sale);
    return posted ? posted->number : 0;
}

// What the receipt printer gets for the negative receipt of `number`, built as the command line
// builds it.
QByteArray NegativeReceiptBytes(Session& session, int number) {
    const pos::InvoiceKey key{kRetailWarehouse, 1, session.businessYear, number};
    pos::ReceiptOptions options = pos::OptionsOf(session);
    options.cancellation = true;
    const auto marks = pos::MarksOfReceipt(session, options, key);
    int qrAt = 0;
    const QStringList lines =
        pos::ReceiptLines(session.Db(), options, key, marks ? &*marks : nullptr, &qrAt);
    QString error;
    const auto openings =
        pos::PrinterOpenings(session.workstation,
                             pos::EncodeReceipt(lines, session.workstation.posCodePage,
                                                marks ? marks->qrText : QString(), qrAt),
                             &error);
    return openings ? openings->join() : QByteArray();
}

}  // namespace

class NegativeReceiptWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aCancelledFiscalizedReceiptPrintsItsNegativeReceiptOnTheTill() {
        test::DemoHost host(
            {.commands = desktop::RegisterAllCommands, .warehouse = kRetailWarehouse});
        Session& session = host.CurrentSession();
        // A receipt sold before fiscalization was wired for this till: never fiscalized.
        const int plain = Sell(session);
        QVERIFY(plain > 0);

        const QString oib =
            host.Scalar(QStringLiteral("SELECT \"OIB\" FROM \"PODACI_FIRME\"")).toString();
        const test::TestCertificate certificate(oib);
        QVERIFY(!certificate.pem.isEmpty());
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("till.ini"));
        {
            QSettings workstation(ini, QSettings::IniFormat);
            fiscal::FiscalSettings settings;
            settings.enabled = true;
            settings.premises = QStringLiteral("PP1");
            settings.device = QStringLiteral("1");
            settings.certificatePath = certificate.p12;
            settings.certificatePassword = certificate.password;
            // Nobody listens there: the receipts wait in the outbox with their ZKI.
            settings.endpoint = QStringLiteral("http://127.0.0.1:9/FiskalizacijaService");
            settings.timeoutMs = 300;
            fiscal::WriteFiscalSettings(session.Db(), workstation, settings);
        }
        fiscal::InstallFiscalHooks(session, ini);
        const int fiscalized = Sell(session);
        QVERIFY(fiscal::FindFiscalRecord(
            session.Db(), {kRetailWarehouse, 1, session.businessYear, fiscalized, false, false}));

        test::PseudoTerminal printer;
        QVERIFY(!printer.Path().isEmpty());
        session.workstation.posPrinter = true;
        session.workstation.posPrinterPort = printer.Path();
        session.workstation.posPrinterCodePageSelect = QStringLiteral("NE");
        session.workstation.posPrinterLineFeeds = 0;

        host.area.show();
        host.area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host.area));
        auto* list = qobject_cast<sales::ui::InvoiceListWindow*>(
            host.Open(QStringLiteral("Pregledi_racuni")));
        QVERIFY(list);
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        const auto cancelFromTheKeyboard = [&](int number) {
            list->Reload();
            list->SelectNumber(number);
            host.prompter.Clear();
            host.prompter.AnswerYes().AnswerText(today);
            list->Invoices()->setFocus();
            // Alt+S presses "Storno" as a click that is seen a moment later.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
            return QTest::qWaitFor(
                [&] {
                    return host.Int(QStringLiteral("SELECT \"STORNO\" FROM \"RACUNI\" WHERE "
                                                   "\"SKLADISTE\" = ? AND \"IRA\" = 1 AND "
                                                   "\"BROJ RACUNA\" = ?"),
                                    {kRetailWarehouse, number}) == 1;
                },
                3000);
        };

        QVERIFY(cancelFromTheKeyboard(fiscalized));
        QCOMPARE(host.prompter.Messages(), QStringList());
        QCOMPARE(host.LastWindow()->windowTitle(),
                 QStringLiteral("Ispis storna računa br. ") + QString::number(fiscalized));
        const QByteArray printed = printer.Received();
        const auto negative = fiscal::FindFiscalRecord(
            session.Db(), {kRetailWarehouse, 1, session.businessYear, fiscalized, false, true});
        QVERIFY(negative);
        // The negative receipt's own ZKI, not the sale's.
        QVERIFY(printed.contains(
            (QStringLiteral("ZKI: ") + negative->receipt.protectiveCode).toLatin1()));
        QCOMPARE(printed, NegativeReceiptBytes(session, fiscalized));

        // An invoice never fiscalized: the A4 cancellation only, nothing on the till.
        QVERIFY(cancelFromTheKeyboard(plain));
        QCOMPARE(host.LastWindow()->windowTitle(),
                 QStringLiteral("Ispis storna računa br. ") + QString::number(plain));
        QCOMPARE(printer.Received(), QByteArray());

        // A fiscalized receipt on a workstation without a receipt printer: nothing is printed
        // and nothing is asked about a printer.
        session.workstation.posPrinter = false;
        const int third = Sell(session);
        QVERIFY(cancelFromTheKeyboard(third));
        QCOMPARE(host.prompter.Messages(), QStringList());
        QCOMPARE(printer.Received(), QByteArray());
    }
};

ZODRA_WINDOW_TEST_MAIN(NegativeReceiptWindowTest)
#include "NegativeReceiptWindowTest.moc"
