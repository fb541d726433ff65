#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "cashbook/CashBook.h"
#include "cashbook/ui/CashBookCommands.h"
#include "cashbook/ui/CashVoucherEntryDialog.h"
#include "cashbook/ui/CashVoucherListWindow.h"
#include "data/Database.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DateBox.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::reports::ui;
using namespace zodra::cashbook::ui;
using cashbook::VoucherKind;

namespace {

using test::OnModal;
using test::PdfText;

void AddVoucher(Session& s, VoucherKind kind, int number, double amount,
                const QString& party = QStringLiteral("Partner")) {
    cashbook::InsertVoucher(s.Db(), kind, s.activeWarehouse.code, s.businessYear,
                            {number, QDate(2026, 2, number % 28 + 1), party,
                             QStringLiteral("Svrha"), amount, QString()});
}

}  // namespace

class CashBookWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void entryFillsTheWordsAndWrites() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CashVoucherEntryDialog dialog(host.CurrentSession(), host.prompter, VoucherKind::Receipt);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Upis uplatnice"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("1"));
        QCOMPARE(dialog.DateField()->Date(), QDate::currentDate());
        dialog.AmountField()->setFocus();
        test::TypeInto(dialog.AmountField(), QStringLiteral("1234,5"));
        QCOMPARE(dialog.WordsField()->text(),
                 QStringLiteral("jednatisućadvijestotridesetčetiri EUR i pedeset centi"));
        test::TypeInto(dialog.AmountField(), QStringLiteral("x"));
        QVERIFY(host.prompter.Messages().isEmpty());  // refused when the box is left
        QVERIFY(!dialog.AmountField()->Commit());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na "
                                "nulu."));
        QCOMPARE(dialog.WordsField()->text(), QStringLiteral("nula EUR"));
        dialog.AmountField()->selectAll();
        test::TypeInto(dialog.AmountField(), QStringLiteral("21"));
        test::TypeInto(dialog.PartyField(), QStringLiteral("Kod Ane's"));
        dialog.Accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const auto list =
            cashbook::ListVouchers(host.CurrentSession().Db(), VoucherKind::Receipt, 1, 2026);
        QCOMPARE(int(list.size()), 1);
        QCOMPARE(list[0].party, QStringLiteral("Kod Ane's"));
        QCOMPARE(list[0].amount, 21.0);
        QCOMPARE(list[0].words, QStringLiteral("dvadesetjedna EUR"));
    }

    void numberCheckedWhenLeftAndAgainOnAccept() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        AddVoucher(s, VoucherKind::Payment, 1, 5);
        CashVoucherEntryDialog dialog(s, host.prompter, VoucherKind::Payment);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Upis isplatnice"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("2"));
        dialog.NumberField()->setText(QStringLiteral("1"));
        Q_EMIT dialog.NumberField()->editingFinished();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Blagajnička isplatnica pod ovim rednim brojem je već upisana !"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("2"));
        // Another workstation takes number 2 before "Prihvati".
        auto other = Database::Open(s.databasePath, QString()).db;
        cashbook::InsertVoucher(
            *other, VoucherKind::Payment, 1, 2026,
            {2, QDate(2026, 3, 1), QStringLiteral("Drugi"), QString(), 1.0, QString()});
        dialog.AmountField()->setText(QStringLiteral("7"));
        host.prompter.Clear();
        dialog.Accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Blagajnička isplatnica pod ovim rednim brojem je već upisana !"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("3"));
        QCOMPARE(dialog.AmountField()->text(), QStringLiteral("7"));
        dialog.Accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(cashbook::VoucherExists(s.Db(), VoucherKind::Payment, 1, 2026, 3));
    }

    void listEditsInPlaceAndRefreshesTheWords() {
        test::EmptyHost host(RegisterCashBookCommands);
        Session& s = host.CurrentSession();
        AddVoucher(s, VoucherKind::Receipt, 1, 10);
        AddVoucher(s, VoucherKind::Receipt, 2, 20);
        host.RunCommand(QStringLiteral("Blag_izv_Uplatnice"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Blagajničke uplatnice"));
        auto* list = qobject_cast<CashVoucherListWindow*>(host.LastWindow());
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("Uplatnice"));
        QCOMPARE(list->Grid()->rowCount(), 2);
        QVERIFY(list->Grid()->isColumnHidden(CashVoucherListWindow::Words));
        QCOMPARE(list->Grid()->horizontalHeaderItem(CashVoucherListWindow::Party)->text(),
                 QStringLiteral("Od koga"));
        // Running the command again brings the same window to the front.
        host.RunCommand(QStringLiteral("Blag_izv_Uplatnice"));
        QCOMPARE(host.area.subWindowList().size(), 1);

        list->Grid()->item(1, CashVoucherListWindow::Amount)->setText(QStringLiteral("1000005"));
        test::Settle();
        auto vouchers = cashbook::ListVouchers(s.Db(), VoucherKind::Receipt, 1, 2026);
        QCOMPARE(vouchers[1].amount, 1000005.0);
        QCOMPARE(vouchers[1].words, QStringLiteral("jedanmilionpet EUR"));
        QCOMPARE(list->Grid()->item(1, CashVoucherListWindow::Words)->text(),
                 QStringLiteral("jedanmilionpet EUR"));

        // Renumbering onto a taken number is refused and the row shows what is stored.
        list->Grid()->item(1, CashVoucherListWindow::Number)->setText(QStringLiteral("1"));
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Blagajnička uplatnica pod ovim rednim brojem je već upisana !"));
        QCOMPARE(list->Grid()->item(1, CashVoucherListWindow::Number)->text(), QStringLiteral("2"));

        // Delete in the grid asks, No by default; "Brisanje" deletes at once.
        list->Grid()->setFocus();
        list->SelectNumber(2);
        host.prompter.AnswerNo();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li obrisati stavku?"));
        QCOMPARE(list->Grid()->rowCount(), 2);
        host.prompter.AnswerYes();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QCOMPARE(list->Grid()->rowCount(), 1);
        list->SelectNumber(1);
        list->DeleteSelected();
        QCOMPARE(list->Grid()->rowCount(), 0);
        QVERIFY(cashbook::ListVouchers(s.Db(), VoucherKind::Receipt, 1, 2026).empty());
    }

    void addFromTheListAndPrintTheVoucher() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.workstation.reportZoom = 150;
        CashVoucherListWindow list(host, VoucherKind::Payment);
        QCOMPARE(list.windowTitle(), QStringLiteral("Isplatnice"));
        OnModal<CashVoucherEntryDialog>([](CashVoucherEntryDialog* d) {
            d->AmountField()->setText(QStringLiteral("15,10"));
            Q_EMIT d->AmountField()->valueEdited(15.1);
            d->PartyField()->setText(QStringLiteral("Đuro Šimić"));
            d->Accept();
        });
        list.Add();
        QCOMPARE(list.Grid()->rowCount(), 1);
        QCOMPARE(list.SelectedNumber(), 1);
        list.PrintSelected();
        auto* report = qobject_cast<ReportWindow*>(host.LastWindow());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Ispis blagajničke isplatnice br. 1"));
        QCOMPARE(report->PageCount(), 1);
        QCOMPARE(report->ZoomPercent(), 150);  // the workstation's "Report Zoom"
        const QString pdf = folder.Path(QStringLiteral("isplatnica.pdf"));
        host.prompter.AnswerText(pdf);
        QVERIFY(report->SaveAsPdf());
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("BLAGAJNIČKA ISPLATNICA")));
        QVERIFY(text.contains(QStringLiteral("Đuro Šimić")));
        QVERIFY(text.contains(QStringLiteral("petnaest EUR i deset centi")));
        host.prompter.Cancel();
        QVERIFY(!report->SaveAsPdf());  // cancelled: nothing written, no message
    }

    void rangeDialogPresetsAndChecks() {
        zodra::ScriptedPrompter prompter;
        RangeDialog current(prompter, 2026, false, QDate(2026, 5, 17));
        QCOMPARE(current.windowTitle(), QStringLiteral("Određivanje ograničenja izvještaja"));
        QCOMPARE(current.FromBox()->text(), QStringLiteral("01.01.2026"));
        QCOMPARE(current.ToBox()->text(), QStringLiteral("17.05.2026"));
        RangeDialog past(prompter, 2025, true, QDate(2026, 5, 17));
        QCOMPARE(past.ToBox()->text(), QStringLiteral("31.12.2025"));
        past.SetNumbers(1, std::nullopt);
        past.Accept();
        QCOMPARE(prompter.LastMessage(), QStringLiteral("Ograničenja nisu ispravno upisana."));
        QVERIFY(past.Range().cancelled);
        past.LastBox()->setText(QStringLiteral("12"));
        past.FromBox()->setText(QStringLiteral("1.2.2025"));
        past.Accept();
        QCOMPARE(past.result(), int(QDialog::Accepted));
        QVERIFY(!past.Range().cancelled);
        QCOMPARE(past.Range().fromText, QStringLiteral("01.02.2025"));
        QCOMPARE(past.Range().fromDateArgs, QStringLiteral("2025,2,1"));
        QCOMPARE(*past.Range().first, 1);
        QCOMPARE(*past.Range().last, 12);
    }

    void cashBookReportFromTheMenu() {
        test::EmptyHost host(RegisterCashBookCommands);
        for (int i = 1; i <= 45; ++i) {
            AddVoucher(host.CurrentSession(), VoucherKind::Receipt, i, 10);
        }
        // Cancelled: nothing is built or shown.
        OnModal<RangeDialog>([](RangeDialog* d) { d->reject(); });
        host.RunCommand(QStringLiteral("Blag_izv1"));
        QCOMPARE(host.area.subWindowList().size(), 0);
        OnModal<RangeDialog>([](RangeDialog* d) {
            d->FromBox()->setText(QStringLiteral("1.2.2026"));
            d->ToBox()->setText(QStringLiteral("28.2.2026"));
            d->Accept();
        });
        host.RunCommand(QStringLiteral("Blag_izv1"));
        auto* report = qobject_cast<ReportWindow*>(host.LastWindow());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Blagajnički izvještaj"));
        QCOMPARE(report->Request().formulas.at(0).second,
                 QStringLiteral("Blagajnički izvještaj od 01.02.2026 do 28.02.2026"));
        QVERIFY(report->PageCount() >= 2);
        QCOMPARE(report->CurrentPage(), 1);
        report->GoToPage(2);
        QCOMPARE(report->CurrentPage(), 2);
        QVERIFY(host.area.subWindowList().last()->isMaximized());
        const QString pdf = host.folder.Path(QStringLiteral("blag.pdf"));
        QVERIFY(report->WritePdf(pdf));
        QVERIFY(PdfText(pdf).contains(QStringLiteral("PRIJENOS NA STRANICU 2")));
    }

    void aReportThatFailsShowsItsMessageAndNoWindow() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        reports::ReportRequest request;
        request.reportFile = QStringLiteral("nema_ga.rpt");
        request.title = QStringLiteral("Nešto");
        QVERIFY(ShowReport(host, request) == nullptr);
        QVERIFY(
            host.prompter.LastMessage().startsWith(QStringLiteral("Nema izvještaja nema_ga.rpt")));
        QCOMPARE(host.area.subWindowList().size(), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(CashBookWindowsTest)
#include "CashBookWindowsTest.moc"
