// The posted receipt's view and deletion from "Izbor primke", and the correction's own writes.
#include <QLabel>
#include <QPushButton>

#include "data/Database.h"
#include "data/Session.h"
#include "purchasing/ReceiptSummary.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "purchasing/ui/SummaryDialog.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::purchasing::ui;

namespace {

struct DemoHost : test::DemoHost {
    DemoHost()
        : test::DemoHost({.commands = RegisterPurchasingCommands,
                          .debugMode = true,
                          .purchasePricesVisible = true}) {}
};

}  // namespace

class ReceiptControllersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aPostedReceiptOpensFromTheListAndGoesAfterTheQuestion() {
        DemoHost host;
        auto* list =
            qobject_cast<ui::PostedDocumentsWindow*>(host.Open(QStringLiteral("Pregledi_primke")));
        QVERIFY(list);
        // A receipt nothing was sold from (the list is in number order).
        const int unsold = host.Int(QStringLiteral(
            "SELECT MIN(p.\"BROJ PRIMKE\") FROM \"PRIMKE\" p WHERE p.\"SKLADISTE\" = 1 AND NOT "
            "EXISTS (SELECT 1 FROM \"STAVKE_RACUNA\" i WHERE i.\"SKLADISTE\" = 1 AND "
            "i.\"BROJ_PRIMKE\" = p.\"BROJ PRIMKE\")"));
        QVERIFY(unsold > 0);
        list->Documents()->SelectRow(unsold - 1);
        const int number = list->CurrentKey().toInt();
        QCOMPARE(number, unsold);
        list->OpenCurrent();
        QWidget* view = host.LastWindow();
        const QString summary = view->findChild<QLabel*>(QStringLiteral("Zaglavlje"))->text();
        QVERIFY2(summary.startsWith(QStringLiteral("Datum: ")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("\nNabavna vr.: ")), qPrintable(summary));
        QCOMPARE(qobject_cast<ui::PostedDocumentView*>(view)->Lines()->Data().RowCount(),
                 host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE "
                                         "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ?"),
                          {number}));

        // Deleting asks first; No keeps the receipt.
        const int receipts = list->Documents()->Data().RowCount();
        host.prompter.Clear();
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Želite li izbrisati primku!")});
        QCOMPARE(list->Documents()->Data().RowCount(), receipts);
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(list->Documents()->Data().RowCount(), receipts - 1);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" "
                                         "= 1 AND \"BROJ PRIMKE\" = ?"),
                          {number}),
                 0);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE "
                                         "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ?"),
                          {number}),
                 0);
    }

    void theCorrectionWritesTheLineNumberAndTheSummaryAtOnce() {
        DemoHost host;
        auto* list =
            qobject_cast<ui::PostedDocumentsWindow*>(host.Open(QStringLiteral("Pregledi_primke")));
        list->Documents()->SelectRow(2);
        list->findChild<QPushButton*>(QStringLiteral("Ispravak"))->click();
        test::Settle();
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.FindWindow(QStringLiteral("Knjizenje_primka_ispravak_3")));
        QVERIFY(w);
        const QString lineCount = QStringLiteral(
            "SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = 1 AND "
            "\"BROJ_PRIMKE\" = 3 AND \"RBR_STAVKE\" = ?");

        // The line number typed in place: refused as text, written as a free number.
        const int first = w->Lines()->Data().Value(0, 2).toInt();
        w->Lines()->model()->setData(w->Lines()->model()->index(0, 2), QStringLiteral("x"),
                                     Qt::EditRole);
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        QCOMPARE(host.Int(lineCount, {first}), 1);
        w->Lines()->model()->setData(w->Lines()->model()->index(0, 2), QStringLiteral("99"),
                                     Qt::EditRole);
        test::Settle();
        QCOMPARE(host.Int(lineCount, {first}), 0);
        QCOMPARE(host.Int(lineCount, {99}), 1);
        // The grid shows the lines in line order again: the renumbered line is the last.
        QCOMPARE(w->Lines()->Data().Value(w->Lines()->Data().RowCount() - 1, 2).toInt(), 99);

        // "Zbirni p." opens on the receipt's own summary; a 10 % discount reaches its lines.
        const QString discounts = QStringLiteral(
            "SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" "
            "= 3 AND \"TIP_STAVKE\" = 'ART' AND ABS(\"RABAT_%\" - 10) > 1e-9");
        const int articleLines = host.Int(
            QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = 1 AND "
                           "\"BROJ_PRIMKE\" = 3 AND \"TIP_STAVKE\" = 'ART'"));
        QVERIFY(articleLines > 0);
        QCOMPARE(host.Int(discounts), articleLines);
        double invoiceValue = 0;
        test::WhenShown<SummaryDialog>([&](SummaryDialog* d) {
            invoiceValue = d->InvoiceValue()->Value();
            const double packaging = host.Real(QStringLiteral(
                "SELECT COALESCE(SUM(\"FAKTURNA_VRIJEDNOST\"), 0) FROM \"STAVKE_PRIMKI\" WHERE "
                "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = 3 AND \"TIP_STAVKE\" <> 'ART'"));
            d->Discount()->SetValue((invoiceValue - packaging) / 10);
            QVERIFY(d->AcceptSummaryData());
            d->accept();
        });
        w->ActionButton(QStringLiteral("ZbirniPodaci"))->click();
        test::Settle();
        QVERIFY(invoiceValue > 0);
        QCOMPARE(host.Int(discounts), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(ReceiptControllersTest)
#include "ReceiptControllersTest.moc"
