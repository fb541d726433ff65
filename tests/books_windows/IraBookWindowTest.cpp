#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "books/ui/BookDialog.h"
#include "books/ui/IraCommands.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/DateBox.h"

using namespace zodra;
using zodra::test::WhenShown;

// The output invoice book from its menu command on the demo company, driven by keys: the book
// chosen when there are several, the range with the book's invoice numbers preset, the report
// on screen with the session's rows of the month.
class IraBookWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theBookOfAMonthFromTheMenu() {
        test::DemoHost host({[](ui::CommandRegistry& r) { books::ui::RegisterIraCommands(r); }});
        const QString numbers = QStringLiteral(
            "SELECT %1(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 "
            "AND \"GODINA\" = 2026");

        // Esc on the book's choice prints nothing.
        WhenShown<books::ui::BookDialog>(
            [](books::ui::BookDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        QCOMPARE(host.Open(QStringLiteral("IRA_ukupno")), nullptr);
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Knjiga izlaznih računa"));

        int first = 0;
        int last = 0;
        WhenShown<books::ui::BookDialog>([&host](books::ui::BookDialog* d) {
            QCOMPARE(d->Books()->count(), host.Count(QStringLiteral("KNJIGE_IRA")));
            QCOMPARE(d->Books()->currentText(), QStringLiteral("1 - Izlazni računi"));
            host.Photograph(d, QStringLiteral("ira-knjiga"));
            // Enter leaves the box for the next field, Enter on "Prihvati" presses it.
            QTest::keyClick(d->Books(), Qt::Key_Return);
            QTest::keyClick(d->findChild<QPushButton*>(QStringLiteral("Prihvati")), Qt::Key_Return);
            if (d->isVisible()) {
                d->reject();
                QFAIL("Enter did not accept the book");
            }
        });
        WhenShown<reports::ui::RangeDialog>([&](reports::ui::RangeDialog* d) {
            first = d->FirstBox()->text().toInt();
            last = d->LastBox()->text().toInt();
            d->FromBox()->SetDate(QDate(2026, 3, 1));
            d->ToBox()->SetDate(QDate(2026, 3, 31));
            host.Photograph(d, QStringLiteral("ira-ogranicenja"));
            d->Accept();
        });
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(host.Open(QStringLiteral("IRA_ukupno")));
        QVERIFY(report);
        QCOMPARE(first, host.Int(numbers.arg(QStringLiteral("MIN"))));
        QCOMPARE(last, host.Int(numbers.arg(QStringLiteral("MAX"))));
        QVERIFY(report->PageCount() >= 1);
        host.Photograph(report, QStringLiteral("ira-knjiga-ozujak"));
        const int inMarch =
            host.Int(QStringLiteral(
                "SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 AND "
                "\"DATUM\" BETWEEN '2026-03-01' AND '2026-03-31'")) +
            host.Int(
                QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND "
                               "\"IRA\" = 1 AND \"STORNO\" = TRUE AND \"DATUM_STORNA\" BETWEEN "
                               "'2026-03-01' AND '2026-03-31'"));
        QVERIFY(inMarch > 0);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGA_IRA_IZVJESTAJ\" WHERE "
                                         "\"SESIJA\" = ? AND \"RBR\" IS NOT NULL"),
                          {host.CurrentSession().sessionCode}),
                 inMarch);
    }

    // The paid variant asks no numbers and prints the layout of the period's generation.
    void thePaidBookOfAnOlderPeriod() {
        test::DemoHost host({[](ui::CommandRegistry& r) { books::ui::RegisterIraCommands(r); }});
        WhenShown<books::ui::BookDialog>([](books::ui::BookDialog* d) { d->Accept(); });
        WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) {
            QCOMPARE(d->FirstBox(), nullptr);
            d->FromBox()->SetDate(QDate(2011, 1, 1));
            d->ToBox()->SetDate(QDate(2011, 12, 31));
            d->Accept();
        });
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(host.Open(QStringLiteral("IRA_DP")));
        QVERIFY(report);
        QCOMPARE(report->PageCount(), 1);
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Knjiga plaćenih izlaznih računa"));
    }
};

ZODRA_WINDOW_TEST_MAIN(IraBookWindowTest)
#include "IraBookWindowTest.moc"
