// "Međuskladišnica" and "Izbor međuskladišnice" on the demo company, driven by keys.
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "data/Database.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportWindow.h"
#include "stockdocs/TransferList.h"
#include "stockdocs/ui/ReceiptChoiceDialog.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "stockdocs/ui/TransferController.h"
#include "stockdocs/ui/TransferLineDialog.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::stockdocs::ui;

namespace {

using test::Activate;
using test::Button;
using test::CloseAfter;
using test::Retype;

struct DemoHost : test::DemoHost {
    DemoHost() : test::DemoHost({.commands = RegisterStockDocsCommands, .debugMode = true}) {}
};

// A lot of warehouse 1 with at least 3 free: article, lot, free quantity, selling price, rate.
struct FreeLot {
    int article = 0;
    int lot = 0;
    double free = 0;
    double price = 0;
    double rate = 0;
};

FreeLot FirstFreeLot(DemoHost& host) {
    Statement s = host.CurrentSession().Db().Prepare(QStringLiteral(
        "SELECT n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\", n.\"KOLICINA_PRIVREMENO\", "
        "n.\"VELEPRODAJNA CIJENA\", g.\"STOPA\" FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON "
        "a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" JOIN \"GRUPE_POREZA\" g ON g.\"SIFRA\" = a.\"GRUPA_P\" "
        "WHERE n.\"SKLADISTE\" = 1 AND n.\"GODINA\" = 2026 AND n.\"KOLICINA_PRIVREMENO\" >= 3 AND "
        "g.\"STOPA\" > 0 ORDER BY n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\" LIMIT 1"));
    s.Exec();
    if (!s.Next()) {
        return {};
    }
    return {s.Int(0), s.Int(1), s.Double(2), s.Double(3), s.Double(4)};
}

}  // namespace

class TransferWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void linesNeedADestinationAndArePostedWithThePrintout() {
        DemoHost host;
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(QStringLiteral("Knjizenje_meduskladisnica")));
        QVERIFY(w);
        const int next =
            host.Int(QStringLiteral("SELECT COALESCE(MAX(\"BROJ_MEDUSKLADISNICE\"), 0) + 1 FROM "
                                    "\"MEDUSKLADISNICE\" WHERE \"SKLADISTE\" = 1 AND "
                                    "\"GODINA\" = 2026"));
        QCOMPARE(w->Header().number, next);
        auto* destination =
            qobject_cast<QComboBox*>(w->Extra()->Editor(TransferController::DestinationKey()));
        QVERIFY(destination);
        // The active warehouse is not offered; the empty entry first.
        QCOMPARE(destination->count(), 3);
        QCOMPARE(destination->findData(1), -1);
        QVERIFY(destination->findData(2) > 0);

        // "Upis" without a destination: the message, no dialog, the focus in the box.
        Button(w, QStringLiteral("DodajStavku"))->click();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Nije izabrano odredišno skladište !")});
        w->ActionButton(QStringLiteral("UcitajPrimku"))->click();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Nije izabrano odredišno skladište !"));
        destination->setCurrentIndex(destination->findData(2));

        const FreeLot lot = FirstFreeLot(host);
        QVERIFY(lot.article > 0);
        // The quantity typed beyond the free stock is cut; the price typed with tax.
        host.prompter.Clear();
        test::WhenShown<TransferLineDialog>([&](TransferLineDialog* d) {
            CloseAfter closer{d};
            Activate(d);
            QVERIFY(d->Picker()->SetCode(lot.article));
            d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
            QVERIFY(d->Lots()->currentIndex() >= 0);
            // The whole free quantity and the lot's price are proposed.
            QVERIFY(qAbs(d->Quantity()->Value() - lot.free) < 1e-9);
            QVERIFY(qAbs(d->DestinationPrice()->Value() - lot.price) < 1e-4);
            Retype(d->Quantity(), QString::number(lot.free + 5).replace(u'.', u','));
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Nedovoljna zaliha artikla. Količina će biti postavljena na "
                                    "najveću dopuštenu vrijednost."));
            QVERIFY(qAbs(d->Quantity()->Value() - lot.free) < 1e-9);
            Retype(d->Quantity(), QStringLiteral("2"));
            d->DestinationPriceWithTax()->setFocus();
            QTest::keyClick(d->DestinationPriceWithTax(), Qt::Key_A, Qt::ControlModifier);
            test::TypeInto(d->DestinationPriceWithTax(), QStringLiteral("12,50"));
            QVERIFY(qAbs(d->DestinationPrice()->Value() - 12.5 / (1 + lot.rate / 100)) < 1e-4);
            host.Photograph(d, QStringLiteral("meduskladisnica_upis"));
            QVERIFY(d->AcceptLine());
            // The same lot again: the question, Yes adds to the line.
            host.prompter.AnswerYes();
            QVERIFY(d->Picker()->SetCode(lot.article));
            d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
            Retype(d->Quantity(), QStringLiteral("1"));
            QVERIFY(d->AcceptLine());
            QCOMPARE(host.prompter.Shown().last(),
                     QStringLiteral(
                         "Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?"));
            QTest::keyClick(d, Qt::Key_Escape);
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QCOMPARE(w->Lines()->Data().Value(0, 4).toInt(), lot.lot);
        QCOMPARE(w->Lines()->Data().Value(0, 5).toDouble(), 3.0);
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("Ukupno"))
                    ->text()
                    .startsWith(QStringLiteral("Ukupno : ")));

        // Only the line number may be changed in the grid.
        host.prompter.Clear();
        w->Lines()->setFocus();
        w->Lines()->setCurrentIndex(w->Lines()->model()->index(0, 5));
        QTest::keyClick(w->Lines(), Qt::Key_F2);
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Mijenjati možete samo redni broj.")});
        w->Lines()->setCurrentIndex(
            w->Lines()->model()->index(0, stockdocs::kTransferLineNumberColumn));
        QTest::keyClick(w->Lines(), Qt::Key_F2);
        QWidget* editor = w->Lines()->viewport()->findChild<QLineEdit*>();
        if (!editor) {
            editor = w->Lines()->viewport()->findChild<QAbstractSpinBox*>();
        }
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        test::TypeInto(editor, QStringLiteral("5"));
        QTest::keyClick(editor, Qt::Key_Return);
        test::Settle();
        QCOMPARE(w->Lines()->Data().Value(0, stockdocs::kTransferLineNumberColumn).toInt(), 5);

        // "Uč. primku": the receipt's goods that are still free become lines.
        const int receipt =
            host.Int(QStringLiteral("SELECT MIN(\"BROJ_PRIMKE\") FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                                    "\"KOLICINA_PRIVREMENO\" > 0 AND \"BROJ_PRIMKE\" <> ?"),
                     {lot.lot});
        QVERIFY(receipt > 0);
        test::WhenShown<ReceiptChoiceDialog>([&](ReceiptChoiceDialog* d) {
            CloseAfter closer{d};
            Activate(d);
            int row = -1;
            for (int r = 0; r < d->Receipts()->Data().RowCount(); ++r) {
                if (d->Receipts()->Data().Value(r, 0).toInt() == receipt) {
                    row = r;
                }
            }
            QVERIFY(row >= 0);
            d->Receipts()->SelectRow(row);
            host.Photograph(d, QStringLiteral("meduskladisnica_izbor_primke"));
            QTest::keyClick(d->Receipts(), Qt::Key_Return);
        });
        w->ActionButton(QStringLiteral("UcitajPrimku"))->click();
        test::Settle();
        const int fromReceipt =
            host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_MEDUSKLADISNICA_PRIVREMENO\" "
                                    "WHERE \"BROJ_PRIMKE\" = ?"),
                     {receipt});
        QVERIFY(fromReceipt > 0);
        QCOMPARE(w->Lines()->Data().RowCount(), 1 + fromReceipt);

        // "Brisanje" of the last line: No keeps it, Yes deletes it.
        w->Lines()->SelectRow(w->Lines()->Data().RowCount() - 1);
        host.prompter.Clear();
        host.prompter.AnswerNo();
        Button(w, QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li izbrisati stavku artikla ?")});
        QCOMPARE(w->Lines()->Data().RowCount(), 1 + fromReceipt);
        host.prompter.AnswerYes();
        Button(w, QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(w->Lines()->Data().RowCount(), fromReceipt);
        host.Photograph(w, QStringLiteral("meduskladisnica"));

        // Posting with "Ispis": the printout, the message, the window empty again.
        w->PrintBox()->setChecked(true);
        host.prompter.Clear();
        QVERIFY2(w->Post(), qPrintable(host.prompter.Messages().join(u'|')));
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Međuskladišnica je proknjižena pod brojem ") +
                             QString::number(next)});
        QVERIFY(host.Last<reports::ui::ReportWindow>());
        QCOMPARE(host.Last<reports::ui::ReportWindow>()->windowTitle(),
                 QStringLiteral("Ispis međuskladišnice br. ") + QString::number(next));
        QVERIFY(host.Last<reports::ui::ReportWindow>()->PageCount() >= 1);
        QCOMPARE(w->Lines()->Data().RowCount(), 0);
        QCOMPARE(w->Header().number, next + 1);
        QCOMPARE(host.Int(QStringLiteral("SELECT \"ODREDISNO_SKLADISTE\" FROM "
                                         "\"MEDUSKLADISNICE\" WHERE \"SKLADISTE\" = 1 AND "
                                         "\"BROJ_MEDUSKLADISNICE\" = ?"),
                          {next}),
                 2);
        QCOMPARE(host.Int(QStringLiteral("SELECT \"RBR_STAVKE\" FROM \"STAVKE_MEDUSKLADISNICA\" "
                                         "WHERE \"SKLADISTE\" = 1 AND \"BROJ_MEDUSKLADISNICE\" "
                                         "= ? AND \"SIFRA_ARTIKLA\" = ? AND \"BROJ_PRIMKE\" = ?"),
                          {next, lot.article, lot.lot}),
                 5);
    }

    void theListPrintsShowsItsTableAndCancels() {
        DemoHost host;
        const FreeLot lot = FirstFreeLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(QStringLiteral("Knjizenje_meduskladisnica")));
        QVERIFY(w);
        auto* destination =
            qobject_cast<QComboBox*>(w->Extra()->Editor(TransferController::DestinationKey()));
        destination->setCurrentIndex(destination->findData(3));
        test::WhenShown<TransferLineDialog>([&](TransferLineDialog* d) {
            CloseAfter closer{d};
            Activate(d);
            QVERIFY(d->Picker()->SetCode(lot.article));
            d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
            Retype(d->Quantity(), QStringLiteral("1"));
            QTest::keyClick(Button(d, QStringLiteral("Prihvati")), Qt::Key_Return);
            QCOMPARE(d->LinesWritten(), 1);
            Button(d, QStringLiteral("Odustani"))->click();
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QVERIFY2(w->Post(), qPrintable(host.prompter.Messages().join(u'|')));
        const int number =
            host.Int(QStringLiteral("SELECT MAX(\"BROJ_MEDUSKLADISNICE\") FROM "
                                    "\"MEDUSKLADISNICE\" WHERE \"SKLADISTE\" = 1"));
        const int receipt =
            host.Int(QStringLiteral("SELECT \"BROJ_ODREDISNE_PRIMKE\" FROM \"MEDUSKLADISNICE\" "
                                    "WHERE \"SKLADISTE\" = 1 AND \"BROJ_MEDUSKLADISNICE\" = ?"),
                     {number});
        QVERIFY(receipt > 100000);

        auto* list = qobject_cast<ui::PostedDocumentsWindow*>(
            host.Open(QStringLiteral("Pregledi_meduskladisnice")));
        QVERIFY(list);
        list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
        QCOMPARE(list->CurrentKey().toInt(), number);
        QVERIFY(list->Details()->text().contains(QStringLiteral("Odredišno skladište: 3 - ")));
        QVERIFY(list->Details()->text().startsWith(QStringLiteral("Datum: ")));
        host.Photograph(list, QStringLiteral("izbor_meduskladisnice"));

        for (const char* print : {"Ispis", "IspisKolicina"}) {
            Button(list, QString::fromLatin1(print))->click();
            test::Settle();
            QCOMPARE(host.Last<reports::ui::ReportWindow>()->windowTitle(),
                     QStringLiteral("Ispis međuskladišnice br. ") + QString::number(number));
            QCOMPARE(host.Last<reports::ui::ReportWindow>()->PageCount(), 1);
        }

        list->OpenTable();
        test::Settle();
        QWidget* table = host.FindWindow(QStringLiteral("Pregledi_meduskladisnice_tablica"));
        QVERIFY(table);

        // Cancelling: the question, No keeps it; Yes deletes the destination receipt.
        host.prompter.Clear();
        host.prompter.AnswerNo();
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li stornirati međuskladišnicu!")});
        host.prompter.AnswerYes();
        list->CancelCurrent();
        QVERIFY(host.Scalar(QStringLiteral("SELECT \"STORNO\" FROM \"MEDUSKLADISNICE\" WHERE "
                                           "\"SKLADISTE\" = 1 AND \"BROJ_MEDUSKLADISNICE\" = ?"),
                            {number})
                    .toBool());
        QVERIFY(!host.Scalar(QStringLiteral("SELECT 1 FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 3 AND "
                                            "\"BROJ PRIMKE\" = ?"),
                             {receipt})
                     .isValid());
        // Once more: refused before any question.
        host.prompter.Clear();
        list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Ne postoji proknjižena međuskladišnica broj ") +
                             QString::number(number)});
    }
};

ZODRA_WINDOW_TEST_MAIN(TransferWindowsTest)
#include "TransferWindowsTest.moc"
