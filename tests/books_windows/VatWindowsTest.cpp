#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "books/VatReturn.h"
#include "books/ui/VatCommands.h"
#include "books/ui/VatReturnListWindow.h"
#include "books/ui/VatReturnWindow.h"
#include "data/Database.h"
#include "data/Rounding.h"
#include "reports/ui/RangeDialog.h"
#include "support/WindowTest.h"
#include "ui/DateBox.h"
#include "ui/NumberBox.h"

using namespace zodra;
using zodra::test::WhenShown;

// "PDV obrasci" on the demo company, driven by keys: a month's return computed, a base
// corrected by hand, stored and printed; then listed and deleted after the question.
class VatWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void computeCorrectStorePrintAndDelete() {
        test::DemoHostSetup setup;
        setup.commands = &books::ui::RegisterVatCommands;
        test::DemoHost host(setup);
        const int year = host.CurrentSession().businessYear;
        const QDate from = QDate::fromString(
            host.Scalar(
                    QStringLiteral("SELECT MIN(\"DATUM\") FROM \"RACUNI\" WHERE \"GODINA\" = ?"),
                    {year})
                .toString(),
            Qt::ISODate);
        QVERIFY(from.isValid());
        const QDate to = QDate(from.year(), from.month(), 1).addMonths(1).addDays(-1);

        WhenShown<reports::ui::RangeDialog>([&](reports::ui::RangeDialog* d) {
            d->FromBox()->setText(from.toString(QStringLiteral("dd.MM.yyyy")));
            d->ToBox()->setText(to.toString(QStringLiteral("dd.MM.yyyy")));
            d->Accept();
        });
        auto* window = qobject_cast<books::ui::VatReturnWindow*>(
            host.Open(QStringLiteral("PDV_obrasci_Prijava")));
        QVERIFY(window);
        QCOMPARE(host.statusTexts.value(0), QStringLiteral(" PDV obrazac"));
        QCOMPARE(window->windowTitle(), QStringLiteral("PDV Obrazac"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Razdoblje"))->text(),
                 QStringLiteral("od ") + from.toString(QStringLiteral("dd.MM.yyyy")) +
                     QStringLiteral(" do ") + to.toString(QStringLiteral("dd.MM.yyyy")));
        const books::VatReturn computed = books::ComputeVatReturn(host.Db(), year, from, to);
        QCOMPARE(window->Return().form.Tax(QStringLiteral("400")),
                 computed.form.Tax(QStringLiteral("400")));
        // Totals are not typed over.
        QVERIFY(window->BaseBox(QStringLiteral("200"))->isReadOnly());

        // Passing through a box without a change keeps the computed amount.
        const double computedTax203 = computed.form.Tax(QStringLiteral("203"));
        host.area.show();
        test::Activate(&host.area);
        window->BaseBox(QStringLiteral("203"))->setFocus();
        QTest::keyClick(window->BaseBox(QStringLiteral("203")), Qt::Key_Tab);
        QCOMPARE(window->Return().form.Tax(QStringLiteral("203")), computedTax203);

        // A base typed on the 5 % line is taxed at that line's rate.
        const double before200 = window->Return().form.Base(QStringLiteral("200"));
        const double old201 = window->Return().form.Base(QStringLiteral("201"));
        test::Retype(window->BaseBox(QStringLiteral("201")), QStringLiteral("100"));
        QCOMPARE(window->TaxBox(QStringLiteral("201"))->text(), QStringLiteral("5,00"));
        QVERIFY(qAbs(window->Return().form.Base(QStringLiteral("200")) -
                     (before200 - RoundMoney(old201) + 100)) < 0.005);
        host.Photograph(window, QStringLiteral("pdv_obrazac"));

        test::Button(window, "Prihvati")->click();
        test::Settle();
        QCOMPARE(
            host.Int(QStringLiteral("SELECT COUNT(*) FROM \"PDV_OBRASCI\" WHERE \"Godina\" = ?"),
                     {year}),
            1);
        QCOMPARE(host.Real(QStringLiteral("SELECT \"OSNOVICA\" FROM \"PDV_OBRASCI_STAVKE\" WHERE "
                                          "\"Godina\" = ? AND \"Rbr\" = 1 AND \"OZNAKA\" = '201'"),
                           {year}),
                 100.0);
        QVERIFY(host.statusTexts.contains(QStringLiteral(" Ispis PDV obrasca")));
        QVERIFY(host.LastWindow() != window);

        auto* list = qobject_cast<books::ui::VatReturnListWindow*>(
            host.Open(QStringLiteral("PDV_obrasci_Pregled")));
        QVERIFY(list);
        QCOMPARE(list->Grid()->rowCount(), 1);
        QVERIFY(list->Dates()->text().startsWith(QStringLiteral("od ")));
        host.Photograph(list, QStringLiteral("pdv_obrasci"));

        host.prompter.AnswerNo();
        test::Button(list, "Brisanje")->click();
        QCOMPARE(list->Grid()->rowCount(), 1);
        QVERIFY(host.prompter.Shown().last().contains(
            QStringLiteral("Želite li izbrisati PDV obrazac?")));
        host.prompter.AnswerYes();
        test::Button(list, "Brisanje")->click();
        QCOMPARE(list->Grid()->rowCount(), 0);
        QCOMPARE(host.Count(QStringLiteral("PDV_OBRASCI")), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(VatWindowsTest)
#include "VatWindowsTest.moc"
