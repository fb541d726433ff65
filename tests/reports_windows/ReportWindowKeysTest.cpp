// The print preview as a clerk meets it: page 1 from its top, "Zatvori" and Esc to close it, and
// the zoom a fitted page came to.
#include <QAction>
#include <QGraphicsView>
#include <QMdiSubWindow>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "cashbook/CashBook.h"
#include "cashbook/ui/CashBookCommands.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DateBox.h"

using namespace zodra;
using namespace zodra::reports::ui;
using zodra::test::WhenShown;

namespace {

// The cash book report of February over several pages, opened from its menu item.
ReportWindow* OpenCashBookReport(test::TestHost& host) {
    Session& s = host.CurrentSession();
    for (int i = 1; i <= 45; ++i) {
        cashbook::InsertVoucher(s.Db(), cashbook::VoucherKind::Receipt, s.activeWarehouse.code,
                                s.businessYear,
                                {i, QDate(2026, 2, i % 28 + 1), QStringLiteral("Partner"),
                                 QStringLiteral("Svrha"), 10.0, QString()});
    }
    WhenShown<RangeDialog>([](RangeDialog* d) {
        d->FromBox()->setText(QStringLiteral("1.2.2026"));
        d->ToBox()->setText(QStringLiteral("28.2.2026"));
        d->Accept();
    });
    host.RunCommand(QStringLiteral("Blag_izv1"));
    test::Settle();
    return qobject_cast<ReportWindow*>(host.LastWindow());
}

}  // namespace

class ReportWindowKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void thePreviewOpensAtTheTopOfPageOneAndClosesWithEsc() {
        test::EmptyHost host(cashbook::ui::RegisterCashBookCommands);
        host.area.show();
        host.area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host.area));
        ReportWindow* report = OpenCashBookReport(host);
        QVERIFY(report);
        QVERIFY(report->PageCount() >= 2);
        auto* view = report->findChild<QGraphicsView*>();
        QVERIFY(view);
        QScrollBar* scroll = view->verticalScrollBar();
        // Maximised and zoomed, the page is taller than the window: its top is in view.
        QTRY_VERIFY(scroll->maximum() > 0);
        QCOMPARE(report->CurrentPage(), 1);
        QCOMPARE(scroll->value(), scroll->minimum());

        // Away and back: the first page's top again.
        report->GoToPage(2);
        QVERIFY(scroll->value() > scroll->minimum());
        report->ShowFirstPageTop();
        QCOMPARE(report->CurrentPage(), 1);
        QCOMPARE(scroll->value(), scroll->minimum());

        auto* close = report->findChild<QPushButton*>(QStringLiteral("Zatvori"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("&Zatvori"));
        report->setFocus();
        QTest::keyClick(report, Qt::Key_Escape);
        test::Settle();
        QCOMPARE(host.area.subWindowList().size(), 0);
    }

    void aFittedPageShowsTheZoomItCameToAndZatvoriCloses() {
        test::EmptyHost host(cashbook::ui::RegisterCashBookCommands);
        host.area.show();
        ReportWindow* report = OpenCashBookReport(host);
        QVERIFY(report);
        auto* preview = report->findChild<QPrintPreviewWidget*>();
        QVERIFY(preview);
        for (const char* name : {"CijelaStranica", "SirinaStranice"}) {
            auto* fit = report->findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(fit, name);
            fit->trigger();
            test::Settle();
            // The box shows the fitted zoom, and showing it did not end the fitting.
            QVERIFY(preview->zoomMode() != QPrintPreviewWidget::CustomZoom);
            QCOMPARE(report->ZoomPercent(), qRound(preview->zoomFactor() * 100.0));
        }
        // A zoom typed afterwards is the user's own again.
        report->SetZoomPercent(150);
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::CustomZoom);
        QCOMPARE(qRound(preview->zoomFactor() * 100.0), 150);
        // "Zatvori" closes the preview as Esc does.
        QCOMPARE(host.area.subWindowList().size(), 1);
        report->findChild<QPushButton*>(QStringLiteral("Zatvori"))->click();
        test::Settle();
        QCOMPARE(host.area.subWindowList().size(), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(ReportWindowKeysTest)
#include "ReportWindowKeysTest.moc"
