// The register windows on the demo company: each opens with its rows, and with
// ZODRA_SCREENSHOTS set to a folder each is photographed there.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "RegisterWindowSupport.h"
#include "pricelists/ui/PriceListWindow.h"
#include "registers/ArticleListModel.h"
#include "registers/ui/ArticleWindow.h"
#include "registers/ui/GridWindow.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/DataGrid.h"

using namespace Qt::StringLiterals;

using namespace zodra;

class DemoTourTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyRegisterWindowOpensOnTheDemoCompany() {
        // The register windows' commands on a demo company in a folder of its own.
        test::DemoHost host({.purchasePricesVisible = true, .warehouse = 2});
        host.area.resize(1200, 760);
        registers::ui::RegisterRegisterCommands(host.commands);
        pricelists::ui::RegisterPriceListCommands(host.commands);

        auto* articles =
            qobject_cast<registers::ui::ArticleWindow*>(host.Open(u"Sifarnici_artikli"_s));
        QVERIFY(articles);
        const int count =
            host.CurrentSession().Db().Scalar(u"SELECT COUNT(*) FROM \"ARTIKLI\""_s).toInt();
        QCOMPARE(articles->CountLabel()->text(), u"Za sve grupe artikala : %1 art."_s.arg(count));
        test::TypeInto(articles->SearchField(), u"čokolada"_s);
        QCOMPARE(articles->Form()->Values().value(u"NAZIV"_s).toString(),
                 u"Čokolada mliječna 100 g"_s);
        host.Photograph(articles, u"artikli"_s);

        for (const auto& [command, shot] : std::vector<std::pair<QString, QString>>{
                 {u"Sifarnici_Partneri"_s, u"partneri"_s},
                 {u"Sifarnici_usluge"_s, u"usluge"_s},
                 {u"Sifarnici_ambalaza"_s, u"ambalaza"_s},
                 {u"Sifarnici_grupe_artikala"_s, u"grupe_artikla"_s},
                 {u"Sifarnici_grupe_poreza"_s, u"grupe_poreza"_s},
                 {u"Sifarnici_uvjeti_prodaje"_s, u"uvjeti_prodaje"_s},
                 {u"Sifarnici_nacini_isporuke"_s, u"nacini_isporuke"_s},
                 {u"Sifarnici_knjige_ira"_s, u"knjige_ira"_s},
                 {u"Sifarnici_knjige_ura"_s, u"knjige_ura"_s},
                 {u"Sifarnici_valute"_s, u"valute"_s},
                 {u"Sifarnici_Tipovi_kartica"_s, u"tipovi_kartica"_s},
                 {u"Sifarnici_Djelatnici"_s, u"djelatnici"_s}}) {
            auto* list = qobject_cast<registers::ui::RegisterListWindow*>(host.Open(command));
            QVERIFY2(list, qPrintable(command));
            QVERIFY2(list->List()->count() > 0, qPrintable(command));
            host.Photograph(list, shot);
        }
        auto* grid = qobject_cast<registers::ui::GridWindow*>(host.Open(u"Artikli_tablica"_s));
        QCOMPARE(grid->Model()->rowCount(), count);
        host.Photograph(grid, u"artikli_tablicno"_s);
        auto* partners = qobject_cast<registers::ui::GridWindow*>(host.Open(u"Partneri_tablica"_s));
        QVERIFY(partners->Model()->rowCount() > 20);
        host.Photograph(partners, u"partneri_tablicno"_s);
        host.Photograph(host.Open(u"Sifarnici_sastavnice"_s), u"sastavnice"_s);
        auto* prices = qobject_cast<pricelists::ui::PriceListWindow*>(host.Open(u"Cjenici_upis"_s));
        QCOMPARE(prices->ListBox()->currentText(), u"Izvoz USD"_s);
        QCOMPARE(prices->PricesGrid()->Data().Value(0, 4).toString(), u"USD"_s);
        prices->ListBox()->setCurrentIndex(
            prices->ListBox()->findText(u"Veleprodaja - stalni kupci"_s));
        prices->ShowList();
        QVERIFY(prices->PricesGrid()->Data().RowCount() > 20);
        QVERIFY(prices->DiscountsGrid()->Data().RowCount() == 2);
        host.Photograph(prices, u"cjenici"_s);
        QVERIFY(host.prompter.Messages().isEmpty());
    }
};

ZODRA_WINDOW_TEST_MAIN(DemoTourTest)
#include "DemoTourTest.moc"
