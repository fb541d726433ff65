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

        auto* articles = qobject_cast<registers::ui::ArticleWindow*>(
            host.Open(QStringLiteral("Sifarnici_artikli")));
        QVERIFY(articles);
        const int count = host.CurrentSession()
                              .Db()
                              .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\""))
                              .toInt();
        QCOMPARE(articles->CountLabel()->text(),
                 QStringLiteral("Za sve grupe artikala : %1 art.").arg(count));
        test::TypeInto(articles->SearchField(), QStringLiteral("čokolada"));
        QCOMPARE(articles->Form()->Values().value(QStringLiteral("NAZIV")).toString(),
                 QStringLiteral("Čokolada mliječna 100 g"));
        host.Photograph(articles, QStringLiteral("artikli"));

        for (const auto& [command, shot] : std::vector<std::pair<QString, QString>>{
                 {QStringLiteral("Sifarnici_Partneri"), QStringLiteral("partneri")},
                 {QStringLiteral("Sifarnici_usluge"), QStringLiteral("usluge")},
                 {QStringLiteral("Sifarnici_ambalaza"), QStringLiteral("ambalaza")},
                 {QStringLiteral("Sifarnici_grupe_artikala"), QStringLiteral("grupe_artikla")},
                 {QStringLiteral("Sifarnici_grupe_poreza"), QStringLiteral("grupe_poreza")},
                 {QStringLiteral("Sifarnici_uvjeti_prodaje"), QStringLiteral("uvjeti_prodaje")},
                 {QStringLiteral("Sifarnici_nacini_isporuke"), QStringLiteral("nacini_isporuke")},
                 {QStringLiteral("Sifarnici_knjige_ira"), QStringLiteral("knjige_ira")},
                 {QStringLiteral("Sifarnici_knjige_ura"), QStringLiteral("knjige_ura")},
                 {QStringLiteral("Sifarnici_valute"), QStringLiteral("valute")},
                 {QStringLiteral("Sifarnici_Tipovi_kartica"), QStringLiteral("tipovi_kartica")},
                 {QStringLiteral("Sifarnici_Djelatnici"), QStringLiteral("djelatnici")}}) {
            auto* list = qobject_cast<registers::ui::RegisterListWindow*>(host.Open(command));
            QVERIFY2(list, qPrintable(command));
            QVERIFY2(list->List()->count() > 0, qPrintable(command));
            host.Photograph(list, shot);
        }
        auto* grid =
            qobject_cast<registers::ui::GridWindow*>(host.Open(QStringLiteral("Artikli_tablica")));
        QCOMPARE(grid->Model()->rowCount(), count);
        host.Photograph(grid, QStringLiteral("artikli_tablicno"));
        auto* partners =
            qobject_cast<registers::ui::GridWindow*>(host.Open(QStringLiteral("Partneri_tablica")));
        QVERIFY(partners->Model()->rowCount() > 20);
        host.Photograph(partners, QStringLiteral("partneri_tablicno"));
        host.Photograph(host.Open(QStringLiteral("Sifarnici_sastavnice")),
                        QStringLiteral("sastavnice"));
        auto* prices = qobject_cast<pricelists::ui::PriceListWindow*>(
            host.Open(QStringLiteral("Cjenici_upis")));
        QCOMPARE(prices->ListBox()->currentText(), QStringLiteral("Izvoz USD"));
        QCOMPARE(prices->PricesGrid()->Data().Value(0, 4).toString(), QStringLiteral("USD"));
        prices->ListBox()->setCurrentIndex(
            prices->ListBox()->findText(QStringLiteral("Veleprodaja - stalni kupci")));
        prices->ShowList();
        QVERIFY(prices->PricesGrid()->Data().RowCount() > 20);
        QVERIFY(prices->DiscountsGrid()->Data().RowCount() == 2);
        host.Photograph(prices, QStringLiteral("cjenici"));
        QVERIFY(host.prompter.Messages().isEmpty());
    }
};

ZODRA_WINDOW_TEST_MAIN(DemoTourTest)
#include "DemoTourTest.moc"
