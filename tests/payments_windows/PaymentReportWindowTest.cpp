// The "Saldakonti" report commands through the program's wiring: "Izbor dužnika" with its
// checks, the chosen debtors and the range reaching the report, and the debtors printed all at
// once without a dialog.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/desktop/CommandWiring.h"
#include "data/Database.h"
#include "data/SqlValue.h"
#include "payments/ui/DebtReportDialog.h"
#include "payments/ui/PaymentSlipPrinting.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;

namespace {

int AddDebtor(Session& s, const QString& name, int number, double amount) {
    const int partner = sqlvalue::ToInt(s.Db().Scalar(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Kupac\") VALUES (?, TRUE) "
                       "RETURNING \"SIFRA\""),
        {name}));
    s.Db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                               "\"BROJ RACUNA\", \"DATUM\", \"SIFRA PARTNERA\", \"STORNO\") "
                               "VALUES (1, 2, ?, ?, ?, ?, FALSE)"),
                {s.businessYear, number, QDate(s.businessYear, 2, number), partner});
    s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                               "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"UKUPNO_\") VALUES "
                               "(1, 2, ?, ?, 'USL', ?)"),
                {s.businessYear, number, amount});
    return partner;
}

QString ReportText(test::TestHost& host, const QString& name) {
    auto* window = qobject_cast<reports::ui::ReportWindow*>(host.LastWindow());
    if (!window) {
        return {};
    }
    const QString pdf = QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".pdf");
    window->WritePdf(pdf);
    return test::PdfText(pdf).simplified();
}

}  // namespace

class PaymentReportWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // Nothing chosen is refused and the dialog stays; the debtor picked by keys is the one
    // printed, for the dates of the dialog, under the title of the command.
    void chosenDebtorsByDate() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        zodra::ui::CommandRegistry registry;
        desktop::RegisterAllCommands(registry);
        host.registry = &registry;
        Session& s = host.CurrentSession();
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        bool refused = false;
        bool listed = false;
        test::WhenShown<payments::ui::DebtReportDialog>([&](payments::ui::DebtReportDialog* d) {
            test::CloseAfter guard{d};
            listed = d->windowTitle() == QStringLiteral("Izbor dužnika") &&
                     d->DebtorList()->count() == 2 &&
                     d->DebtorList()->item(1)->text().endsWith(QStringLiteral("Zvonko Žic"));
            d->DebtorList()->clearSelection();
            d->Accept();
            refused = d->isVisible() && host.prompter.LastMessage() ==
                                            payments::ui::DebtReportDialog::NoDebtorMessage();
            d->DebtorList()->setFocus();
            QTest::keyClick(d->DebtorList(), Qt::Key_Home);
            QTest::keyClick(d->DebtorList(), Qt::Key_Down);
            d->Accept();
        });
        host.RunCommand(QStringLiteral("Dugovi_datum"));
        test::Settle();
        QVERIFY(listed);
        QVERIFY(refused);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran niti jedan dužnik !"));
        QVERIFY(host.statusTexts.contains(QStringLiteral(" Dužnici")));
        const QString text = ReportText(host, QStringLiteral("dugovi_datum"));
        QVERIFY2(text.contains(QStringLiteral("Izvještaj dužnika po datumima računa od 01.01.")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Ukupno Zvonko Žic 12,34 0,00 12,34")));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));
        host.Photograph(host.LastWindow(), QStringLiteral("dugovi-datum"));
    }

    // "Svi": no dialog, every debtor.
    void allDebtorsAtOnce() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        zodra::ui::CommandRegistry registry;
        desktop::RegisterAllCommands(registry);
        host.registry = &registry;
        Session& s = host.CurrentSession();
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        host.RunCommand(QStringLiteral("Dugovi_svi"));
        test::Settle();
        const QString text = ReportText(host, QStringLiteral("dugovi_svi"));
        QVERIFY2(text.contains(QStringLiteral("Svi dužnici po izlaznim računima")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("SVEUKUPNO 52,34 0,00 52,34")));
    }

    // "Virmani": refused with its reason while the company has no IBAN; with one, the slips of
    // the open invoices in the numbers and dates of the range dialog.
    void slipsOfTheOpenInvoices() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Trgovina d.o.o.', "
                           "\"ZIRO_RACUN\" = ''"));
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        test::WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        payments::ui::PrintOutputInvoiceSlips(host, 2, payments::SlipKind::OutputInvoiceOrder);
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Uplatnica se ne može ispisati: primatelj Trgovina d.o.o. nema "
                                "upisan IBAN."));
        QVERIFY(!host.LastWindow());
        s.Db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = "
                           "'HR1723600001101234565'"));
        test::WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) {
            QCOMPARE(d->FirstBox()->text(), QStringLiteral("1"));
            QCOMPARE(d->LastBox()->text(), QStringLiteral("2"));
            d->FirstBox()->setText(QStringLiteral("2"));
            d->Accept();
        });
        payments::ui::PrintOutputInvoiceSlips(host, 2, payments::SlipKind::OutputInvoiceOrder);
        test::Settle();
        const QString text = ReportText(host, QStringLiteral("virmani"));
        QVERIFY2(text.contains(QStringLiteral("Zvonko Žic")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));
        QVERIFY(text.contains(QStringLiteral("12,34")));
        host.Photograph(host.LastWindow(), QStringLiteral("virmani"));
    }
};

ZODRA_WINDOW_TEST_MAIN(PaymentReportWindowTest)
#include "PaymentReportWindowTest.moc"
