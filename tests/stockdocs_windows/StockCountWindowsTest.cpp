// "Inventura" and "Izbor inventure" on the demo company.
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "data/Database.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "reports/ui/ReportWindow.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/Guard.h"

using namespace zodra;
using namespace zodra::stockdocs::ui;

namespace {

struct DemoHost : test::DemoHost {
    DemoHost() : test::DemoHost({.commands = RegisterStockDocsCommands, .debugMode = true}) {}
};

}  // namespace

class StockCountWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aCountIsPreparedCountedPostedPrintedAndDeleted() {
        DemoHost host;
        // A quantity that is no number prepares nothing and opens no window.
        host.prompter.AnswerYes().AnswerText(QStringLiteral("deset"));
        ui::Guarded(host.prompter, [&] { OpenStockCount(host, host.registry); });
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        QVERIFY(!host.FindWindow(QStringLiteral("Knjizenje_inventura")));

        host.prompter.Clear();
        host.prompter.AnswerNo();
        auto* w =
            qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_inventura")));
        QVERIFY(w);
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li prikaz stvarnog stanja nula?")});
        QVERIFY(Button(w, QStringLiteral("DodajStavku"))->isHidden());
        QVERIFY(Button(w, QStringLiteral("BrisanjeStavke"))->isHidden());
        const int lots =
            host.Int(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026"));
        QCOMPARE(w->Lines()->Data().RowCount(), lots);

        // The first row's lot: the counted quantity typed into its column.
        const qint64 id = w->Lines()->Data().Value(0, 0).toLongLong();
        Statement row = host.CurrentSession().Db().Prepare(
            QStringLiteral("SELECT \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KNJIZNO_KOLICINA\" FROM "
                           "\"STAVKE_INVENTURA_PRIVREMENO\" WHERE rowid = ?"));
        row.Exec({id});
        QVERIFY(row.Next());
        const int lot = row.Int(0);
        const int article = row.Int(1);
        const double book = row.Double(2);
        row.Finish();
        auto type = [&](const QString& text) {
            w->Lines()->model()->setData(w->Lines()->model()->index(0, stockdocs::kCountedColumn),
                                         text, Qt::EditRole);
            test::Settle();
        };
        type(QStringLiteral("x"));
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        type(QStringLiteral("-1"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Stvarna količina nesmije biti negativna !"));
        QCOMPARE(w->Lines()->Data().Value(0, stockdocs::kCountedColumn).toDouble(), book);
        type(QString::number(book + 3));
        QCOMPARE(w->Lines()->Data().Value(0, stockdocs::kCountedColumn).toDouble(), book + 3);
        host.Photograph(w, QStringLiteral("inventura"));

        host.prompter.Clear();
        QVERIFY(w->Post());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Inventura je proknjižena pod brojem 1"));
        const QString lotQuantity = QStringLiteral(
            "SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 "
            "AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?");
        QCOMPARE(host.Real(lotQuantity, {lot, article}), book + 3);
        test::Settle();
        QVERIFY(!host.FindWindow(QStringLiteral("Knjizenje_inventura")));

        auto* list = qobject_cast<ui::PostedDocumentsWindow*>(
            host.Open(QStringLiteral("Pregledi_inventure")));
        QVERIFY(list);
        QCOMPARE(list->Documents()->Data().RowCount(), 1);
        list->Documents()->SelectRow(0);
        Button(list, QStringLiteral("Ispis"))->click();
        test::Settle();
        auto* report = qobject_cast<reports::ui::ReportWindow*>(
            host.area.subWindowList(QMdiArea::CreationOrder).last()->widget());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Ispis inventure br. 1"));
        QVERIFY(report->PageCount() >= 1);
        QVERIFY(!Button(list, QStringLiteral("Storno")));

        host.prompter.Clear();
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li izbrisati inventuru!")});
        QCOMPARE(host.Real(lotQuantity, {lot, article}), book + 3);
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(host.Real(lotQuantity, {lot, article}), book);
        QCOMPARE(list->Documents()->Data().RowCount(), 0);
    }

    // Scanned by keys into a count begun at zero: each Enter adds at once, an unknown code keeps
    // its text and changes nothing.
    void theScannerBoxAddsToTheArticlesCountedQuantity() {
        DemoHost host;
        host.prompter.AnswerYes().AnswerText(QStringLiteral("0"));
        auto* w =
            qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_inventura")));
        QVERIFY(w);
        QLineEdit* box = w->CodeField();
        QVERIFY(box);
        w->window()->show();
        w->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
        // An article with stock on the count, given a barcode of its own.
        const int article = host.Int(
            QStringLiteral("SELECT MIN(\"SIFRA_ARTIKLA\") FROM \"STAVKE_INVENTURA_PRIVREMENO\" "
                           "WHERE \"KNJIZNO_KOLICINA\" > 5"));
        QVERIFY(article > 0);
        host.CurrentSession().Db().Exec(
            QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '2990001' WHERE \"SIFRA\" = ?"),
            {article});
        const QString counted = QStringLiteral(
            "SELECT SUM(\"STVARNO_KOLICINA\") FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
            "\"SIFRA_ARTIKLA\" = ?");
        auto scan = [&](const QString& text) {
            box->setFocus();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return);
            test::Settle();
        };
        scan(QStringLiteral("2990001"));
        scan(QStringLiteral("4*2990001"));
        QCOMPARE(host.Real(counted, {article}), 5.0);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), box);
        const int row = w->Lines()->CurrentRow();
        QVERIFY(row >= 0);
        QCOMPARE(host.Int(QStringLiteral("SELECT \"SIFRA_ARTIKLA\" FROM "
                                         "\"STAVKE_INVENTURA_PRIVREMENO\" WHERE rowid = ?"),
                          {w->Lines()->Data().Value(row, 0)}),
                 article);
        QCOMPARE(w->Lines()->Data().Value(row, stockdocs::kCountedColumn).toDouble(), 5.0);

        host.prompter.Clear();
        scan(QStringLiteral("NEPOSTOJI"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Artikal sa barkodom ili šifrom NEPOSTOJI nije pronađen."));
        QCOMPARE(box->text(), QStringLiteral("NEPOSTOJI"));
        QCOMPARE(host.Real(counted, {article}), 5.0);
        // Typing over the selected text: the next scan replaces it.
        scan(QStringLiteral("2990001"));
        QCOMPARE(host.Real(counted, {article}), 6.0);
    }

private:
    static QPushButton* Button(QWidget* w, const QString& name) {
        return w->findChild<QPushButton*>(name);
    }
};

ZODRA_WINDOW_TEST_MAIN(StockCountWindowsTest)
#include "StockCountWindowsTest.moc"
