// "Izmjena cijena" and "Izbor izmjene cijena" on the demo company.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>

#include "data/Database.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportWindow.h"
#include "stockdocs/ui/PriceChangeArticleDialog.h"
#include "stockdocs/ui/PriceChangeLineDialog.h"
#include "stockdocs/ui/PriceEqualisationDialog.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::stockdocs::ui;

namespace {

using test::Button;
using test::CloseAfter;

struct DemoHost : test::DemoHost {
    DemoHost() : test::DemoHost({.commands = RegisterStockDocsCommands, .debugMode = true}) {}
};

// A lot of warehouse 1 with stock: article, lot, selling price and the article's tax rate.
struct StockedLot {
    int article = 0;
    int lot = 0;
    double price = 0;
    double rate = 0;
};

StockedLot FirstStockedLot(DemoHost& host) {
    Statement s = host.CurrentSession().Db().Prepare(QStringLiteral(
        "SELECT n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\", n.\"VELEPRODAJNA CIJENA\", g.\"STOPA\" "
        "FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" JOIN "
        "\"GRUPE_POREZA\" g ON g.\"SIFRA\" = a.\"GRUPA_P\" WHERE n.\"SKLADISTE\" = 1 AND "
        "n.\"GODINA\" = 2026 AND n.\"KOLICINA\" > 0 AND g.\"STOPA\" > 0 ORDER BY "
        "n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\" LIMIT 1"));
    s.Exec();
    if (!s.Next()) {
        return {};
    }
    return {s.Int(0), s.Int(1), s.Double(2), s.Double(3)};
}

}  // namespace

class PriceChangeWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void linesFromTheDialogsArePostedAndRepriceTheLots() {
        DemoHost host;
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(QStringLiteral("Knjizenje_izmjena_cijena")));
        QVERIFY(w);
        const int next =
            host.Int(QStringLiteral("SELECT COALESCE(MAX(\"BROJ_IZMJENE_CIJENA\"), 0) + 1 "
                                    "FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = 1 "
                                    "AND \"GODINA\" = 2026"));
        QCOMPARE(w->Header().number, next);
        const StockedLot lot = FirstStockedLot(host);
        QVERIFY(lot.article > 0);

        // "Upis": the price typed with tax gives the price without tax at the article's rate.
        const double withTax = 9.99;
        const double expected = withTax / (1 + lot.rate / 100);
        test::WhenShown<PriceChangeLineDialog>([&](PriceChangeLineDialog* d) {
            CloseAfter closer{d};
            // Prihvati without an article refuses and keeps the dialog.
            d->findChild<registers::ui::ArticlePicker*>()->SetCode(0);
            Button(d, QStringLiteral("Prihvati"))->click();
            QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Izaberite artikal !"));
            QVERIFY(d->findChild<registers::ui::ArticlePicker*>()->SetCode(lot.article));
            auto* lots = d->findChild<QComboBox*>(QStringLiteral("Primka"));
            lots->setCurrentIndex(lots->findData(QVariantList{lot.lot, lot.price}));
            QVERIFY(lots->currentIndex() >= 0);
            auto* with = d->findChild<ui::NumberBox*>(QStringLiteral("NovaCijenaSPorezom"));
            with->selectAll();
            test::TypeInto(with, QStringLiteral("9,99"));
            QVERIFY(qAbs(d->findChild<ui::NumberBox*>(QStringLiteral("NovaCijena"))->Value() -
                         expected) < 1e-4);
            Button(d, QStringLiteral("Prihvati"))->click();
            QCOMPARE(d->LinesWritten(), 1);
            host.Photograph(d, QStringLiteral("izmjena_cijena_upis"));
            Button(d, QStringLiteral("Odustani"))->click();
        });
        w->AddLine();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QCOMPARE(w->Lines()->Data().Value(0, 3).toInt(), lot.lot);

        // "Izjednači" without a warehouse refuses with its message and stays open.
        test::WhenShown<PriceEqualisationDialog>([&](PriceEqualisationDialog* d) {
            CloseAfter closer{d};
            Button(d, QStringLiteral("Prihvati"))->click();
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Nije izabrano odredišno skladište !"));
            QVERIFY(d->isVisible());
            d->reject();
        });
        w->ActionButton(QStringLiteral("Izjednaci"))->click();
        test::Settle();

        // "U postotku": nothing marked is refused; the first article marked, -10 %, lowers the
        // selling price of its lots by a tenth. Its lot already on the copy gets the new price.
        test::WhenShown<PriceChangeArticleDialog>([&](PriceChangeArticleDialog* d) {
            CloseAfter closer{d};
            Button(d, QStringLiteral("Prihvati"))->click();
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Niste označili niti jedan artikal."));
            auto* list = d->findChild<QListWidget*>(QStringLiteral("Artikli"));
            QListWidgetItem* item = nullptr;
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->data(Qt::UserRole).toInt() == lot.article) {
                    item = list->item(i);
                }
            }
            QVERIFY(item);
            item->setCheckState(Qt::Checked);
            auto* percent = d->findChild<ui::NumberBox*>(QStringLiteral("Postotak"));
            percent->selectAll();
            test::TypeInto(percent, QStringLiteral("-10"));
            host.Photograph(d, QStringLiteral("izmjena_cijena_izbor_artikala"));
            Button(d, QStringLiteral("Prihvati"))->click();
        });
        w->ActionButton(QStringLiteral("UPostotku"))->click();
        test::Settle();
        const double lowered = host.Real(
            QStringLiteral("SELECT \"NOVA_CIJENA\" FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" "
                           "WHERE \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = ?"),
            {lot.article, lot.lot});
        QVERIFY2(qAbs(lowered - lot.price * 0.9) < 1e-9,
                 qPrintable(QString::number(lowered) + QStringLiteral(" / ") +
                            QString::number(lot.price) + host.prompter.Messages().join(u'|')));

        // Posting: the message with the number, the lot repriced, the window empty again.
        host.prompter.Clear();
        QVERIFY(w->Post());
        QCOMPARE(
            host.prompter.LastMessage(),
            QStringLiteral("Izmjena cijena je proknjižena pod brojem ") + QString::number(next));
        QVERIFY(
            qAbs(host.Real(QStringLiteral("SELECT \"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" WHERE "
                                          "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                                          "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                           {lot.lot, lot.article}) -
                 lot.price * 0.9) < 1e-9);
        QCOMPARE(w->Lines()->Data().RowCount(), 0);
        QCOMPARE(w->Header().number, next + 1);
        host.Photograph(w, QStringLiteral("izmjena_cijena"));
    }

    void theListPrintsCancelsAndDeletesAfterItsGuards() {
        DemoHost host;
        const StockedLot lot = FirstStockedLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(QStringLiteral("Knjizenje_izmjena_cijena")));
        QVERIFY(w);
        auto lastReport = [&] {
            return qobject_cast<reports::ui::ReportWindow*>(
                host.area.subWindowList(QMdiArea::CreationOrder).last()->widget());
        };
        // "Ispis" before posting: nothing to print yet, then the lines being drawn up.
        w->ActionButton(QStringLiteral("IspisURadu"))->click();
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Izmjena cijena nema niti jedne stavke !"));
        test::WhenShown<PriceChangeLineDialog>([&](PriceChangeLineDialog* d) {
            CloseAfter closer{d};
            QVERIFY(d->findChild<registers::ui::ArticlePicker*>()->SetCode(lot.article));
            auto* lots = d->findChild<QComboBox*>(QStringLiteral("Primka"));
            lots->setCurrentIndex(lots->findData(QVariantList{lot.lot, lot.price}));
            auto* with = d->findChild<ui::NumberBox*>(QStringLiteral("NovaCijenaSPorezom"));
            with->selectAll();
            test::TypeInto(with, QStringLiteral("99,99"));
            Button(d, QStringLiteral("Prihvati"))->click();
            Button(d, QStringLiteral("Odustani"))->click();
        });
        w->AddLine();
        test::Settle();
        w->ActionButton(QStringLiteral("IspisURadu"))->click();
        test::Settle();
        QVERIFY(lastReport());
        QCOMPARE(lastReport()->windowTitle(), QStringLiteral("Ispis izmjene cijena u radu"));
        QCOMPARE(lastReport()->PageCount(), 1);
        QVERIFY2(w->Post(), qPrintable(host.prompter.Messages().join(u'|')));
        const int number =
            host.Int(QStringLiteral("SELECT MAX(\"BROJ_IZMJENE_CIJENA\") FROM \"IZMJENE_CIJENA\" "
                                    "WHERE \"SKLADISTE\" = 1"));

        auto* list = qobject_cast<ui::PostedDocumentsWindow*>(
            host.Open(QStringLiteral("Pregledi_izmjene_cijena")));
        QVERIFY(list);
        list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
        QCOMPARE(list->CurrentKey().toInt(), number);

        Button(list, QStringLiteral("Ispis"))->click();
        test::Settle();
        QVERIFY(lastReport());
        QCOMPARE(lastReport()->windowTitle(),
                 QStringLiteral("Ispis izmjene cijena br. ") + QString::number(number));
        QCOMPARE(lastReport()->PageCount(), 1);

        // Cancelling: the question, No keeps it; Yes cancels with the cancellation's number.
        host.prompter.Clear();
        host.prompter.AnswerNo();
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li stornirati izmjenu cijena!")});
        QVERIFY(
            !host.Scalar(
                     QStringLiteral(
                         "SELECT \"STORNO\" FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = 1 AND "
                         "\"BROJ_IZMJENE_CIJENA\" = ?"),
                     {number})
                 .toBool());
        host.prompter.AnswerYes();
        list->CancelCurrent();
        QVERIFY(host.prompter.LastMessage().startsWith(
            QStringLiteral("Storno izmjene cijena je proknjižen pod brojem ")));
        QVERIFY(qAbs(host.Real(QStringLiteral("SELECT \"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" "
                                              "WHERE \"SKLADISTE\" = 1 "
                                              "AND \"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = ? AND "
                                              "\"SIFRA_ARTIKLA\" = ?"),
                               {lot.lot, lot.article}) -
                     lot.price) < 1e-9);
        // A second cancellation is refused before any question is asked.
        host.prompter.Clear();
        list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Ova izmjena cijena je već stornirana.")});

        // The cancelled one prints its cancellation.
        Button(list, QStringLiteral("Ispis"))->click();
        test::Settle();
        QCOMPARE(lastReport()->windowTitle(),
                 QStringLiteral("Ispis storna izmjene cijena br. ") + QString::number(number));

        // Deleting: No keeps it, Yes deletes it.
        host.prompter.Clear();
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li izbrisati izmjenu cijena!")});
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QVERIFY(!host.Scalar(QStringLiteral(
                                 "SELECT 1 FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = 1 AND "
                                 "\"GODINA\" = 2026 AND \"BROJ_IZMJENE_CIJENA\" = ?"),
                             {number})
                     .isValid());
    }
};

ZODRA_WINDOW_TEST_MAIN(PriceChangeWindowsTest)
#include "PriceChangeWindowsTest.moc"
