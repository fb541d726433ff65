// A scanner's barcode and Enter find the article and move to the quantity without pressing
// "Prihvati" (which would refuse the line for its missing quantity).
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "purchasing/ReceiptPosting.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/ArticlePicker.h"
#include "support/WindowTest.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::purchasing::ui;

namespace {

struct DemoHost : test::DemoHost {
    DemoHost() : test::DemoHost({.commands = RegisterPurchasingCommands}) {}
};

}  // namespace

class ScannerLineEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aScannedBarcodeAndItsEnterFindTheArticleAndMoveToTheQuantity() {
        DemoHost host;
        const QVariantList article = {
            host.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"BARKOD\" <> '' "
                                       "ORDER BY \"SIFRA\" LIMIT 1")),
            host.Scalar(QStringLiteral("SELECT \"BARKOD\" FROM \"ARTIKLI\" WHERE \"BARKOD\" <> '' "
                                       "ORDER BY \"SIFRA\" LIMIT 1"))};
        QVERIFY(article.at(0).toInt() > 0);
        const int before = host.prompter.Shown().size();
        bool checked = false;
        test::WhenShown<LineEntryDialog>([&](LineEntryDialog* d) {
            QLineEdit* search = d->Picker()->SearchField();
            search->setFocus();
            test::Settle();
            QTest::keyClicks(search, article.at(1).toString());
            QTest::keyClick(search, Qt::Key_Return);
            test::Settle();
            // Found, no message, the dialog still open and the quantity next.
            QCOMPARE(d->Picker()->Code(), article.at(0).toInt());
            QCOMPARE(host.prompter.Shown().size(), before);
            QVERIFY(d->isVisible());
            QCOMPARE(d->LinesWritten(), 0);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d->Quantity()));
            // A code that is no article's: its message, and still nothing accepted.
            search->setFocus();
            search->selectAll();
            QTest::keyClicks(search, QStringLiteral("NEMA-TAKVE-SIFRE"));
            QTest::keyClick(search, Qt::Key_Return);
            test::Settle();
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Artikal sa ovom šifrom nije upisan."));
            QCOMPARE(host.prompter.Shown().size(), before + 1);
            QVERIFY(d->isVisible());
            checked = true;
            d->reject();
        });
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_primka")));
        QVERIFY(w);
        // Lines come after the supplier and its document.
        qobject_cast<QComboBox*>(w->Extra()->Editor(purchasing::SupplierField()))
            ->setCurrentIndex(1);
        qobject_cast<QLineEdit*>(w->Extra()->Editor(purchasing::SupplierDocumentField()))
            ->setText(QStringLiteral("R-SKEN"));
        w->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QVERIFY2(checked, qPrintable(host.prompter.Shown().join(u" / ")));
    }
};

ZODRA_WINDOW_TEST_MAIN(ScannerLineEntryTest)
#include "ScannerLineEntryTest.moc"
