#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "books/UraBook.h"
#include "books/ui/BookDialog.h"
#include "books/ui/UraCommands.h"
#include "books/ui/UraEntryDialog.h"
#include "books/ui/UraListWindow.h"
#include "data/Database.h"
#include "data/SqlValue.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;
using namespace zodra::books;
using namespace zodra::books::ui;

namespace {

int AddSupplier(Session& s) {
    return sqlvalue::ToInt(s.Db().Scalar(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Dobavljac\", \"OIB\") VALUES "
                       "('Žitnjak d.o.o.', TRUE, '49955304024') RETURNING \"SIFRA\"")));
}

void AddInvoice(Session& s, int supplier, const QString& number, double base25) {
    UraInvoice invoice;
    invoice.year = s.businessYear;
    invoice.invoiceNumber = number;
    invoice.date = QDate(2026, 3, 2);
    invoice.supplier = supplier;
    invoice.type = QStringLiteral("R-1");
    invoice.AtRate(25) = {base25, base25 / 4, base25 / 4, 0};
    invoice.total = invoice.ComputedTotal();
    InsertUraInvoice(s.Db(), invoice);
}

int FrameAt(const UraEntryDialog& d, int rate) {
    for (int i = 0; i < UraEntry::kFrames; ++i) {
        if (d.RateBox(i)->currentData().toInt() == rate) {
            return i;
        }
    }
    return -1;
}

int Rows(Session& s) {
    return sqlvalue::ToInt(
        s.Db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGE_ULAZNIH_RACUNA\"")));
}

}  // namespace

class UraWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // Typed by keys: the tax follows the base at the frame's rate when the field is left, the
    // captions follow a changed rate; a missing supplier is refused and everything typed stays;
    // with the supplier chosen "Prihvati" writes the invoice.
    void entryByKeys() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        AddSupplier(s);
        UraEntryDialog dialog(s, host.prompter, 1);
        dialog.show();
        test::Settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Upis ulaznog računa"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("1"));
        const int at13 = FrameAt(dialog, 13);
        QVERIFY(at13 >= 0);
        test::TypeInto(dialog.InvoiceNumberField(), QStringLiteral("R-77/2026"));
        dialog.BaseField(at13)->setFocus();
        dialog.BaseField(at13)->selectAll();  // as Tab into the field selects it
        test::TypeInto(dialog.BaseField(at13), QStringLiteral("200"));
        dialog.TaxField(at13)->setFocus();
        test::Settle();
        QCOMPARE(dialog.TaxField(at13)->text(), QStringLiteral("26.00"));
        QCOMPARE(dialog.TotalField()->text(), QStringLiteral("226.00"));
        dialog.RateBox(at13)->setCurrentIndex(dialog.RateBox(at13)->findData(10));
        QCOMPARE(dialog.TaxField(at13)->text(), QStringLiteral("20.00"));
        QStringList captions;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            captions << label->text();
        }
        QVERIFY(captions.contains(QStringLiteral("Pretporez 10% :")));
        QVERIFY(!captions.contains(QStringLiteral("Pretporez 13% :")));
        host.Photograph(&dialog, QStringLiteral("ura-upis"));

        test::Button(&dialog, "Prihvati")->click();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran dobavljač !"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.InvoiceNumberField()->text(), QStringLiteral("R-77/2026"));
        QCOMPARE(dialog.BaseField(at13)->text(), QStringLiteral("200"));
        QCOMPARE(Rows(s), 0);
        dialog.SupplierBox()->setCurrentIndex(1);
        test::Button(&dialog, "Prihvati")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const auto stored = LoadUraInvoice(s.Db(), 1, s.businessYear, 1);
        QVERIFY(stored.has_value());
        QCOMPARE(stored->AtRate(10).base, 200.0);
        QCOMPARE(stored->AtRate(10).deductible, 20.0);
        QCOMPARE(stored->AtRate(13).base, 0.0);
        QCOMPARE(stored->total, 220.0);
    }

    // The list from the menu: Delete asks first and No keeps the invoice, Yes deletes it;
    // Enter opens the selected invoice for rewriting; the report command asks for the range
    // and shows the book.
    void listDeletesAfterTheQuestionAndPrints() {
        test::EmptyHost host(RegisterUraCommands);
        Session& s = host.CurrentSession();
        const int supplier = AddSupplier(s);
        AddInvoice(s, supplier, QStringLiteral("A-1"), 100);
        AddInvoice(s, supplier, QStringLiteral("A-2"), 200);
        auto* list = qobject_cast<UraListWindow*>(host.Open(QStringLiteral("URA_Upis")));
        QVERIFY(list);
        QCOMPARE(list->Grid()->rowCount(), 2);
        QCOMPARE(list->Grid()->item(0, UraListWindow::Supplier)->text(),
                 QStringLiteral("Žitnjak d.o.o."));
        host.Photograph(list, QStringLiteral("ura-lista"));
        list->SelectNumber(1);
        host.prompter.AnswerNo();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li izbrisati ulazni račun?"));
        QCOMPARE(Rows(s), 2);
        host.prompter.AnswerYes();
        QTest::keyClick(list->Grid(), Qt::Key_Delete);
        QCOMPARE(Rows(s), 1);
        QCOMPARE(list->Grid()->rowCount(), 1);

        bool opened = false;
        test::OnModal<UraEntryDialog>([&opened](UraEntryDialog* d) {
            opened = d->InvoiceNumberField()->text() == QLatin1String("A-2") &&
                     d->NumberField()->isReadOnly();
            d->reject();
        });
        QTest::keyClick(list->Grid(), Qt::Key_Return);
        QVERIFY(opened);

        test::WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        host.RunCommand(QStringLiteral("URA_Izvještaj"));
        test::Settle();
        QVERIFY(host.statusTexts.contains(QStringLiteral(" Knjiga ulaznih računa")));
        QVERIFY(qobject_cast<reports::ui::ReportWindow*>(host.LastWindow()));
        host.Photograph(host.LastWindow(), QStringLiteral("ura-izvjestaj"));
    }

    // A company with a second input book is asked which one; Esc opens nothing. Each book has
    // its own window, whose invoices start with the book's kind of purchase and are written
    // into that book.
    void everyBookHasItsWindow() {
        test::EmptyHost host(RegisterUraCommands);
        Session& s = host.CurrentSession();
        const int supplier = AddSupplier(s);
        AddInvoice(s, supplier, QStringLiteral("A-1"), 100);
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"KNJIGE_URA\" (\"SIFRA\", \"NAZIV\") VALUES "
                           "(4, 'Uvoz')"));

        test::WhenShown<BookDialog>([](BookDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        QCOMPARE(host.Open(QStringLiteral("URA_Upis")), nullptr);
        test::WhenShown<BookDialog>([](BookDialog* d) {
            QCOMPARE(d->Books()->count(), 2);
            d->Books()->setCurrentIndex(d->Books()->findData(4));
            d->Accept();
        });
        auto* list = qobject_cast<UraListWindow*>(host.Open(QStringLiteral("URA_Upis")));
        QVERIFY(list);
        QCOMPARE(list->Book(), 4);
        QCOMPARE(list->windowTitle(), QStringLiteral("Knjiga ulaznih računa 4"));
        QCOMPARE(list->Grid()->rowCount(), 0);

        test::OnModal<UraEntryDialog>([supplier](UraEntryDialog* d) {
            QCOMPARE(d->KindBox()->currentText(), PurchaseKindName(PurchaseKind::Import));
            test::TypeInto(d->InvoiceNumberField(), QStringLiteral("C-9"));
            d->SupplierBox()->setCurrentIndex(d->SupplierBox()->findData(supplier));
            test::Button(d, "Prihvati")->click();
        });
        list->Add();
        QCOMPARE(list->Grid()->rowCount(), 1);
        const auto stored = LoadUraInvoice(s.Db(), 4, s.businessYear, 1);
        QVERIFY(stored.has_value());
        QCOMPARE(stored->invoiceNumber, QStringLiteral("C-9"));
        QCOMPARE(stored->kind, PurchaseKind::Import);
        QCOMPARE(LoadUraInvoice(s.Db(), 1, s.businessYear, 1)->invoiceNumber,
                 QStringLiteral("A-1"));
    }
};

QTEST_MAIN(UraWindowsTest)
#include "UraWindowsTest.moc"
