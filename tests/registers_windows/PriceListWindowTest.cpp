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

using namespace Qt::StringLiterals;

using namespace zodra;
using pricelists::ui::PriceListWindow;

class PriceListWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pricesDiscountsAndCopy() {
        test::RegisterWindowHost h;
        const int juice = h.AddArticle(u"Sok"_s, u"S-1"_s, u"3850001"_s);
        registers::Add(h.Db(), pricelists::Register(), {{u"NAZIV"_s, u"Stalni kupci"_s}});
        auto* w = h.Open<PriceListWindow>(u"Cjenici_upis"_s);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), u"Cjenici"_s);
        QVERIFY(w->CurrentList() != 0);

        w->AddPrice();
        QCOMPARE(h.host.prompter.LastMessage(), u"Nije izabran artikal"_s);
        // The picker takes a barcode; 100 net is 125 with 25 % tax, and back.
        w->Article()->SearchField()->setText(u"3850001"_s);
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
        QCOMPARE(w->PricesGrid()->Data().Value(0, 4).toString(), u"EUR"_s);

        w->AddDiscount();
        QCOMPARE(h.host.prompter.LastMessage(), u"Nije izabrana grupa artikala"_s);
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(u"Roba"_s));
        w->DiscountBox()->SetValue(7.5);
        w->FromArticlesBox()->setChecked(true);
        w->AddDiscount();
        QCOMPARE(w->DiscountsGrid()->Data().RowCount(), 1);
        QCOMPARE(w->DiscountsGrid()->Data().Value(0, 2).toString(), u"DA"_s);
        h.Photograph(w, u"cjenici"_s);

        h.host.prompter.AnswerText(u"Stalni kupci 2027"_s);
        w->CopyList();
        QCOMPARE(w->ListBox()->currentText(), u"Stalni kupci 2027"_s);
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 1);
        QCOMPARE(w->DiscountsGrid()->Data().RowCount(), 1);
        w->PricesGrid()->SelectRow(0);
        h.host.prompter.AnswerYes();
        w->DeletePrice();
        QCOMPARE(h.host.prompter.Shown().last(), u"Želite li izbrisati stavku ?"_s);
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 0);
        // The list it was copied from keeps its price.
        w->ListBox()->setCurrentIndex(w->ListBox()->findText(u"Stalni kupci"_s));
        w->ShowList();
        QCOMPARE(w->PricesGrid()->Data().RowCount(), 1);
    }

    // "Cjenici..." opens the price lists' register, which no menu item opens: its list window
    // is named by its table, opened once, and adds through "Upis novog cjenika".
    void theRegisterButtonOpensThePriceListsRegisterOnce() {
        test::RegisterWindowHost h;
        auto* w = h.Open<PriceListWindow>(u"Cjenici_upis"_s);
        auto* button = w->findChild<QPushButton*>(u"Sifarnik"_s);
        QVERIFY(button);
        button->click();
        test::Settle();
        auto* list = qobject_cast<registers::ui::RegisterListWindow*>(h.host.LastWindow());
        QVERIFY(list);
        QCOMPARE(list->objectName(), u"CJENICI"_s);
        QCOMPARE(list->windowTitle(), u"Cjenici"_s);
        const auto windows = h.host.area.subWindowList().size();
        button->click();
        test::Settle();
        QCOMPARE(h.host.area.subWindowList().size(), windows);

        QString title;
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [&title](registers::ui::RegisterEntryDialog* dialog) {
                title = dialog->windowTitle();
                test::Type(dialog->Form(), u"NAZIV"_s, u"Akcija"_s);
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        list->AddNew();
        QCOMPARE(title, u"Upis novog cjenika"_s);
        QCOMPARE(list->List()->currentItem()->text(), u"Akcija"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(PriceListWindowTest)
#include "PriceListWindowTest.moc"
