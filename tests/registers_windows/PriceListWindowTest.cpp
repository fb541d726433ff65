#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>

#include "RegisterWindowSupport.h"
#include "pricelists/PriceLists.h"
#include "pricelists/ui/PriceListWindow.h"
#include "registers/ui/ArticlePicker.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/DataGrid.h"
#include "ui/NumberBox.h"

using namespace zodra;
using pricelists::ui::PriceListWindow;

class PriceListWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pricesDiscountsAndCopy() {
        test::RegisterWindowHost h;
        const int juice =
            h.AddArticle(QStringLiteral("Sok"), QStringLiteral("S-1"), QStringLiteral("3850001"));
        registers::Add(h.Db(), pricelists::Register(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Stalni kupci")}});
        auto* w = h.Open<PriceListWindow>(QStringLiteral("Cjenici_upis"));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Cjenici"));
        QVERIFY(w->CurrentList() != 0);

        w->AddPrice();
        QCOMPARE(h.host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal"));
        // The picker takes a barcode; 100 net is 125 with 25 % tax, and back.
        w->Article()->SearchField()->setText(QStringLiteral("3850001"));
        QTest::keyClick(w->Article()->SearchField(), Qt::Key_Return);
        QCOMPARE(w->Article()->Code(), juice);
        w->NetBox()->SetValue(100);
        w->NetLeft();
        QCOMPARE(w->WithTaxBox()->Value(), 125.0);
        w->WithTaxBox()->SetValue(250);
        w->WithTaxLeft();
        QCOMPARE(w->NetBox()->Value(), 200.0);
        w->AddPrice();
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 1);
        QCOMPARE(w->PricesGrid()->Data().Value(0, 2).toDouble(), 200.0);
        QCOMPARE(w->PricesGrid()->Data().Value(0, 4).toString(), QStringLiteral("EUR"));

        w->AddDiscount();
        QCOMPARE(h.host.prompter.LastMessage(), QStringLiteral("Nije izabrana grupa artikala"));
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(QStringLiteral("Roba")));
        w->DiscountBox()->SetValue(7.5);
        w->FromArticlesBox()->setChecked(true);
        w->AddDiscount();
        QCOMPARE(w->DiscountsGrid()->Data().RowCount(), 1);
        QCOMPARE(w->DiscountsGrid()->Data().Value(0, 2).toString(), QStringLiteral("DA"));
        h.Photograph(w, QStringLiteral("cjenici"));

        h.host.prompter.AnswerText(QStringLiteral("Stalni kupci 2027"));
        w->CopyList();
        QCOMPARE(w->ListBox()->currentText(), QStringLiteral("Stalni kupci 2027"));
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 1);
        QCOMPARE(w->DiscountsGrid()->Data().RowCount(), 1);
        w->PricesGrid()->SelectRow(0);
        h.host.prompter.AnswerYes();
        w->DeletePrice();
        QCOMPARE(h.host.prompter.Shown().last(), QStringLiteral("Želite li izbrisati stavku ?"));
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 0);
        // The list it was copied from keeps its price.
        w->ListBox()->setCurrentIndex(w->ListBox()->findText(QStringLiteral("Stalni kupci")));
        w->ShowList();
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 1);
    }

    // "Cjenici..." opens the price lists' register, which no menu item opens: its list window
    // is named by its table, opened once, and adds through "Upis novog cjenika".
    void theRegisterButtonOpensThePriceListsRegisterOnce() {
        test::RegisterWindowHost h;
        auto* w = h.Open<PriceListWindow>(QStringLiteral("Cjenici_upis"));
        auto* button = w->findChild<QPushButton*>(QStringLiteral("Sifarnik"));
        QVERIFY(button);
        button->click();
        test::Settle();
        auto* list = qobject_cast<registers::ui::RegisterListWindow*>(h.host.LastWindow());
        QVERIFY(list);
        QCOMPARE(list->objectName(), QStringLiteral("CJENICI"));
        QCOMPARE(list->windowTitle(), QStringLiteral("Cjenici"));
        const auto windows = h.host.area.subWindowList().size();
        button->click();
        test::Settle();
        QCOMPARE(h.host.area.subWindowList().size(), windows);

        QString title;
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [&title](registers::ui::RegisterEntryDialog* dialog) {
                title = dialog->windowTitle();
                test::Type(dialog->Form(), QStringLiteral("NAZIV"), QStringLiteral("Akcija"));
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        list->AddNew();
        QCOMPARE(title, QStringLiteral("Upis novog cjenika"));
        QCOMPARE(list->List()->currentItem()->text(), QStringLiteral("Akcija"));
    }
};

ZODRA_WINDOW_TEST_MAIN(PriceListWindowTest)
#include "PriceListWindowTest.moc"
