#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "books/KpiBook.h"
#include "books/ui/KpiEntryDialog.h"
#include "books/ui/KpiListWindow.h"
#include "data/Session.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::books;
using namespace zodra::books::ui;

class KpiWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // "Upis primitaka i izdataka" from the list by keys: a voucher too long is told and kept,
    // the totals follow the amounts, "Prihvati" writes the entry; Delete asks first.
    void entryByKeysThenDeleteAsked() {
        test::DemoHost host({[](zodra::ui::CommandRegistry& r) { RegisterKpiCommands(r); }});
        auto* list = qobject_cast<KpiListWindow*>(host.Open(QStringLiteral("KPI_Upis")));
        QVERIFY(list);
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Knjiga primitaka i izdataka"));
        const int before = list->Grid()->rowCount();
        const int next = NextKpiNumber(host.Db(), host.CurrentSession().businessYear);

        bool checked = false;
        test::WhenShown<KpiEntryDialog>([&](KpiEntryDialog* d) {
            test::CloseAfter closing{d};
            test::Activate(d);
            host.Photograph(d, QStringLiteral("kpi-upis"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Upis primitaka i izdataka"));
            QCOMPARE(d->NumberField()->text(), QString::number(next));
            test::Retype(d->VoucherField(), QStringLiteral("TEMELJ-0001"));
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Broj temeljnice je duži od 10 znakova !"));
            QCOMPARE(d->VoucherField()->text(), QStringLiteral("TEMELJ-0001"));
            test::Retype(d->VoucherField(), QStringLiteral("TEM-1"));
            test::Retype(d->DescriptionField(), QStringLiteral("Uplata Kod Ane's"));
            test::Retype(d->AmountField(kBankReceipts), QStringLiteral("250"));
            test::Retype(d->AmountField(kReceiptsVat), QStringLiteral("50"));
            test::Retype(d->AmountField(kCashExpenditures), QStringLiteral("30,5"));
            QCOMPARE(d->AmountField(kReceiptsTotal)->text(), QStringLiteral("200,00"));
            QCOMPARE(d->AmountField(kAllowedExpenditures)->text(), QStringLiteral("30,50"));
            QTest::mouseClick(test::Button(d, "Prihvati"), Qt::LeftButton);
            checked = true;
        });
        QTest::mouseClick(test::Button(list, "Upis"), Qt::LeftButton);
        QVERIFY(checked);
        test::Settle();
        QCOMPARE(list->Grid()->rowCount(), before + 1);
        const std::optional<KpiEntry> stored =
            FindKpiEntry(host.Db(), host.CurrentSession().businessYear, next);
        QVERIFY(stored);
        QCOMPARE(stored->description, QStringLiteral("Uplata Kod Ane's"));
        QCOMPARE(stored->amounts[kReceiptsTotal], 200.0);
        QCOMPARE(stored->amounts[kAllowedExpenditures], 30.5);
        host.Photograph(list, QStringLiteral("kpi-lista"));

        list->Grid()->setFocus();
        QCOMPARE(list->SelectedNumber(), next);
        host.prompter.AnswerNo();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li obrisati stavku?"));
        QVERIFY(FindKpiEntry(host.Db(), host.CurrentSession().businessYear, next));
        host.prompter.AnswerYes();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QVERIFY(!FindKpiEntry(host.Db(), host.CurrentSession().businessYear, next));
        QCOMPARE(list->Grid()->rowCount(), before);
    }
};

ZODRA_WINDOW_TEST_MAIN(KpiWindowsTest)
#include "KpiWindowsTest.moc"
