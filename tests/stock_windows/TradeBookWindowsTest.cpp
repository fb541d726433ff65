#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "data/Database.h"
#include "data/Transaction.h"
#include "reports/ui/ReportWindow.h"
#include "stock/TradeBook.h"
#include "stock/ui/DirectEntryDialog.h"
#include "stock/ui/StockCommands.h"
#include "stock/ui/TradeBookPrinting.h"
#include "stock/ui/TradeBookWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DateBox.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::stock::ui;
using tradebook::Book;

namespace {

using test::OnModal;
using test::PdfText;

// A document's entry, as a posting writes it.
void PostEntry(Session& s, const QString& type, int number, const QDate& date, double purchase,
               double sales = 0, double salesTax = 0) {
    Transaction t(s.Db());
    tradebook::Entry e;
    e.warehouse = s.activeWarehouse.code;
    e.year = s.businessYear;
    e.type = type;
    e.documentNumber = number;
    e.date = date;
    e.description = type + QStringLiteral(" ") + QString::number(number);
    e.purchaseValue = purchase;
    e.salesValue = sales;
    e.salesTax = salesTax;
    tradebook::AppendEntry(s.Db(), Book::Wholesale, e);
    t.Commit();
}

QString Cell(QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

class TradeBookWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theBookShowsItsRangeAndDeletesOnlyDirectEntries() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        PostEntry(s, QStringLiteral("PRIMKA"), 1, QDate(2026, 2, 3), 1000.00);
        PostEntry(s, QStringLiteral("1RAČUN"), 1, QDate(2026, 3, 4), 0, 300.00, 75.00);
        tradebook::AppendDirectEntry(s.Db(), Book::Wholesale, s.activeWarehouse.code,
                                     s.businessYear, QDate(2026, 3, 5), QStringLiteral("Korekcija"),
                                     -20, 0, 0, 0);

        TradeBookWindow window(host, Book::Wholesale, QDate(2026, 3, 20));
        QCOMPARE(window.FromBox()->text(), QStringLiteral("01.01.2026"));
        QCOMPARE(window.ToBox()->text(), QStringLiteral("20.03.2026"));
        QTableWidget* grid = window.Grid();
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(Cell(grid, 1, 2), QStringLiteral("1RAČUN"));
        QCOMPARE(Cell(grid, 1, 9), QStringLiteral("700,00"));

        window.FromBox()->setText(QStringLiteral("1.3."));
        window.Accept();
        QCOMPARE(window.FromBox()->text(), QStringLiteral("01.03.2026"));
        QCOMPARE(grid->rowCount(), 2);
        window.ToBox()->setText(QStringLiteral("35.3.2026"));
        window.Accept();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Završni datum nije ispravno upisan."));
        QCOMPARE(grid->rowCount(), 2);  // the range shown stays
        window.FromBox()->setText(QStringLiteral("x"));
        window.Accept();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Početni datum nije ispravno upisan."));
        window.FromBox()->setText(QStringLiteral("1.1.2026"));
        window.ToBox()->setText(QStringLiteral("31.12.2026"));
        window.Accept();
        QCOMPARE(grid->rowCount(), 3);

        // The invoice's entry goes only with the invoice.
        window.SelectNumber(2);
        host.prompter.AnswerYes();
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(grid, &del);
        QCOMPARE(host.prompter.Shown().at(host.prompter.Shown().size() - 2),
                 QStringLiteral("Želite li izbrisati stavku ?"));
        QCOMPARE(host.prompter.LastMessage(), tradebook::DocumentEntryRefusal());
        QCOMPARE(grid->rowCount(), 3);

        // The direct entry: No keeps it, Yes deletes it and the balances follow.
        window.SelectNumber(3);
        host.prompter.AnswerNo();
        window.DeleteSelected();
        QCOMPARE(grid->rowCount(), 3);
        host.prompter.AnswerYes();
        window.DeleteSelected();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(Cell(grid, 1, 9), QStringLiteral("700,00"));
    }

    void directEntriesOfTheRetailBookCarryTheirTaxes() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        TradeBookWindow window(host, Book::Retail, QDate(2026, 3, 20));
        QCOMPARE(window.Grid()->columnCount(), 12);
        OnModal<DirectEntryDialog>([](DirectEntryDialog* d) {
            d->DateField()->SetDate(QDate(2026, 3, 2));
            d->DescriptionField()->setText(QStringLiteral("Ulaz robe"));
            d->PurchaseField()->SetValue(100);
            d->PurchaseTaxField()->SetValue(25);
            d->SalesField()->SetValue(40);
            d->SalesTaxField()->SetValue(10);
            d->Accept();
        });
        window.AddEntry();
        QTableWidget* grid = window.Grid();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(Cell(grid, 0, 2), QStringLiteral("DIREKTAN UPIS"));
        QCOMPARE(Cell(grid, 0, 3), QStringLiteral("1"));
        QCOMPARE(Cell(grid, 0, 4), QStringLiteral("Ulaz robe"));
        QCOMPARE(Cell(grid, 0, 7), QStringLiteral("125,00"));
        QCOMPARE(Cell(grid, 0, 11), QStringLiteral("75,00"));
        QCOMPARE(window.SelectedNumber(), 1);

        // Cancelled: nothing written. The wholesale entry dialog has no purchase tax.
        OnModal<DirectEntryDialog>([](DirectEntryDialog* d) { d->reject(); });
        window.AddEntry();
        QCOMPARE(grid->rowCount(), 1);
        DirectEntryDialog wholesale(host.CurrentSession(), host.prompter, Book::Wholesale);
        QVERIFY(!wholesale.PurchaseTaxField());
        host.prompter.Clear();
        test::TypeInto(wholesale.SalesField(), QStringLiteral("x"));
        QVERIFY(host.prompter.Messages().isEmpty());  // checked when the box is left
        QVERIFY(!wholesale.SalesField()->Commit());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na "
                                "nulu."));
    }

    void theBookPrintsItsRangeThroughTheReport() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        PostEntry(s, QStringLiteral("PRIMKA"), 1, QDate(2026, 2, 3), 1000.00);
        PostEntry(s, QStringLiteral("1RAČUN"), 1, QDate(2026, 3, 4), 0, 300.00, 75.00);
        PostEntry(s, QStringLiteral("RASHOD"), 1, QDate(2026, 4, 1), -50.00);

        const reports::ReportRequest request =
            TradeBookReportRequest(s, Book::Wholesale, QDate(2026, 1, 1), QDate(2026, 3, 31));
        QCOMPARE(request.reportFile, QStringLiteral("tk_v.rpt"));
        QCOMPARE(request.title,
                 QStringLiteral("Izvještaj : Trgovačka knjiga veleprodaje od 01.01.2026 do "
                                "31.03.2026"));
        QCOMPARE(request.selection.ToText(),
                 QStringLiteral("{TRGOVACKA_KNJIGA_VELEPRODAJE.SKLADISTE}=1 AND "
                                "{TRGOVACKA_KNJIGA_VELEPRODAJE.GODINA}=2026 AND "
                                "{TRGOVACKA_KNJIGA_VELEPRODAJE.DATUM}>=DATE(2026,1,1) AND "
                                "{TRGOVACKA_KNJIGA_VELEPRODAJE.DATUM}<=DATE(2026,3,31)"));

        zodra::ui::CommandRegistry registry;
        RegisterStockCommands(registry);
        host.registry = &registry;
        host.RunCommand(QStringLiteral("Trgovacka_knjiga_veleprodaje"));
        auto* window = qobject_cast<TradeBookWindow*>(host.LastWindow());
        QVERIFY(window);
        window->FromBox()->setText(QStringLiteral("01.01.2026"));
        window->ToBox()->setText(QStringLiteral("31.03.2026"));
        window->Print();
        auto* report = qobject_cast<reports::ui::ReportWindow*>(host.LastWindow());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), request.title);
        const QString pdf = folder.Path(QStringLiteral("tk.pdf"));
        QVERIFY(report->WritePdf(pdf));
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(
            QStringLiteral("Trgovačka knjiga veleprodaje od 01.01.2026 do 31.03.2026")));
        QVERIFY(text.contains(QStringLiteral("1.000,00")));
        QVERIFY(text.contains(QStringLiteral("700,00")));
        QVERIFY(text.contains(QStringLiteral("375,00")));
        QVERIFY(!text.contains(QStringLiteral("RASHOD")));  // dated after the range
        // Opening the command again brings the open window to the front.
        const int windows = host.area.subWindowList().size();
        host.RunCommand(QStringLiteral("Trgovacka_knjiga_veleprodaje"));
        QCOMPARE(host.area.subWindowList().size(), windows);

        // The retail book's file prints too.
        tradebook::AppendDirectEntry(s.Db(), Book::Retail, 1, 2026, QDate(2026, 3, 2),
                                     QStringLiteral("Ulaz"), 100, 25, 40, 10);
        const QString retail = folder.Path(QStringLiteral("tkm.pdf"));
        reports::ReportEngine(s.Db()).ToPdf(
            TradeBookReportRequest(s, Book::Retail, QDate(2026, 1, 1), QDate(2026, 3, 31)), retail);
        const QString retailText = PdfText(retail);
        QVERIFY(retailText.contains(
            QStringLiteral("Trgovačka knjiga maloprodaje od 01.01.2026 do 31.03.2026")));
        QVERIFY(retailText.contains(QStringLiteral("75,00")));
        QVERIFY(retailText.contains(QStringLiteral("DIREKTAN UPIS 1")));
    }
};

ZODRA_WINDOW_TEST_MAIN(TradeBookWindowsTest)
#include "TradeBookWindowsTest.moc"
