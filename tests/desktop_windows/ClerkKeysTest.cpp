// The windows a clerk found deaf to the keyboard, worked with keys alone: Enter presses the
// focused button and walks the fields past the shortcut buttons, Esc cancels.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "app/desktop/CommandWiring.h"
#include "cashbook/CashBook.h"
#include "cashbook/ui/CashVoucherEntryDialog.h"
#include "purchasing/ReceiptPosting.h"
#include "reports/ui/RangeDialog.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DateBox.h"
#include "ui/DocumentWindow.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::WhenShown;

namespace {

void Activate(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

using test::Button;

}  // namespace

class ClerkKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aCashVoucherIsWrittenWithEnterAlone() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        cashbook::ui::CashVoucherEntryDialog dialog(host.CurrentSession(), host.prompter,
                                                    cashbook::VoucherKind::Receipt);
        Activate(dialog);
        QCOMPARE(dialog.windowTitle(), u"Upis uplatnice"_s);
        dialog.PartyField()->setFocus();
        test::TypeInto(dialog.PartyField(), u"Kod Ane's"_s);
        QTest::keyClick(dialog.PartyField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.PurposeField());
        QTest::keyClick(dialog.PurposeField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.AmountField());
        test::Settle();
        test::TypeInto(dialog.AmountField(), u"21"_s);
        QTest::keyClick(dialog.AmountField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.WordsField());
        QCOMPARE(dialog.WordsField()->text(), u"dvadesetjedna EUR"_s);
        QTest::keyClick(dialog.WordsField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Button(&dialog, "Prihvati"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(host.prompter.Messages().isEmpty());
        const auto list = cashbook::ListVouchers(host.CurrentSession().Db(),
                                                 cashbook::VoucherKind::Receipt, 1, 2026);
        QCOMPARE(int(list.size()), 1);
        QCOMPARE(list[0].party, u"Kod Ane's"_s);
        QCOMPARE(list[0].amount, 21.0);

        // Esc from any field writes nothing.
        cashbook::ui::CashVoucherEntryDialog again(host.CurrentSession(), host.prompter,
                                                   cashbook::VoucherKind::Receipt);
        Activate(again);
        again.AmountField()->setFocus();
        test::TypeInto(again.AmountField(), u"5"_s);
        QTest::keyClick(again.AmountField(), Qt::Key_Escape);
        QCOMPARE(again.result(), int(QDialog::Rejected));
        QCOMPARE(int(cashbook::ListVouchers(host.CurrentSession().Db(),
                                            cashbook::VoucherKind::Receipt, 1, 2026)
                         .size()),
                 1);
    }

    void theReportRangeIsAcceptedWithEnter() {
        ScriptedPrompter prompter;
        reports::ui::RangeDialog dialog(prompter, 2026, false, QDate(2026, 5, 17));
        Activate(dialog);
        dialog.ToBox()->setFocus();
        test::Settle();
        test::TypeInto(dialog.ToBox(), u"28.2."_s);
        QTest::keyClick(dialog.ToBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Button(&dialog, "Prihvati"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.Range().cancelled);
        QCOMPARE(dialog.Range().toText, u"28.02.2026"_s);
        QVERIFY(prompter.Messages().isEmpty());
    }

    void theReceiptsNumberAndSupplierButtonsAnswerEnter() {
        test::WindowTestFolder folder;
        test::TestHost host(folder, test::TestHost::DemoCompany{});
        ui::CommandRegistry registry;
        desktop::RegisterAllCommands(registry);
        host.registry = &registry;
        Activate(host.area);
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(u"Knjizenje_primka"_s));
        QVERIFY(w);
        // "Upis broja" frees the number box for typing.
        QVERIFY(w->NumberField()->isReadOnly());
        QPushButton* free = Button(w, "UpisBroja");
        QVERIFY(free);
        free->setFocus();
        QTest::keyClick(free, Qt::Key_Return);
        QVERIFY(!w->NumberField()->isReadOnly());

        // Enter walks from the supplier to the next field, past "Novi dobavljač" …
        QWidget* supplier = w->Extra()->Editor(purchasing::SupplierField());
        QPushButton* newSupplier =
            Button(w, (purchasing::SupplierField() + u"_novi"_s).toLatin1().data());
        QVERIFY(newSupplier);
        QCOMPARE(newSupplier->text().remove(QLatin1Char('&')), u"Novi dobavljač"_s);
        supplier->setFocus();
        QTest::keyClick(supplier, Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != newSupplier);
        QVERIFY(QApplication::focusWidget() != supplier);
        QVERIFY(w->isAncestorOf(QApplication::focusWidget()));
        // … and Enter on it opens the supplier's entry window.
        bool opened = false;
        WhenShown<QDialog>([&opened](QDialog* d) {
            opened = true;
            QTest::keyClick(d, Qt::Key_Escape);
        });
        newSupplier->setFocus();
        QTest::keyClick(newSupplier, Qt::Key_Return);
        QVERIFY(opened);
    }
};

ZODRA_WINDOW_TEST_MAIN(ClerkKeysTest)
#include "ClerkKeysTest.moc"
