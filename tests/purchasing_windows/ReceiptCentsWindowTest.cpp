// 10 × 12.0375 entered as 1 + 9 (120.37499999999999 in binary) reads 120,38; with 0,10 and
// 29,90 the receipt is 150,38 under the grid, in the list and in the book.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/Database.h"
#include "data/Session.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/ArticlePicker.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::purchasing::ui;

namespace {

constexpr int kValueColumn = 13;      // "Vrijednost" of the receipt's grid
constexpr int kListValueColumn = 13;  // "Vrijednost bez poreza" of the list of receipts

class DemoHost : public test::DemoHost {
public:
    DemoHost() : test::DemoHost({.commands = RegisterPurchasingCommands, .debugMode = true}) {}
    // The n-th article (by code) that brings no packaging with it.
    int PlainArticle(int n) {
        return Int(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"SIFRA\" NOT IN "
                                  "(SELECT \"Artikal\" FROM \"ARTIKLI_AMBALAZA\") ORDER BY "
                                  "\"SIFRA\" LIMIT 1 OFFSET ?"),
                   {n});
    }
};

// A line through the quick entry: quantity, cost price and selling price typed.
void EnterLine(ui::DocumentWindow* w, int article, const QString& quantity, const QString& price) {
    test::WhenShown<LineEntryDialog>([&](LineEntryDialog* d) {
        QVERIFY(d->Picker()->SetCode(article));
        d->Quantity()->setFocus();
        test::TypeInto(d->Quantity(), quantity);
        d->CostPrice()->setFocus();
        test::TypeInto(d->CostPrice(), QStringLiteral("0,05"));
        d->Price()->setFocus();
        test::TypeInto(d->Price(), price);
        QVERIFY(d->AcceptLine());
    });
    w->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->click();
    test::Settle();
}

QString Shown(const ui::DataGrid* grid, int row, int column) {
    return grid->model()->index(row, column).data(Qt::DisplayRole).toString();
}

}  // namespace

class ReceiptCentsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theGridAndItsTotalsShowTheCentsOfTheBooks() {
        DemoHost host;
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_primka")));
        QVERIFY(w);
        const int number = w->NumberField()->text().toInt();
        auto* supplier = qobject_cast<QComboBox*>(w->Extra()->Editor(purchasing::SupplierField()));
        supplier->setCurrentIndex(1);
        qobject_cast<QLineEdit*>(w->Extra()->Editor(purchasing::SupplierDocumentField()))
            ->setText(QStringLiteral("R-CENT"));

        const int first = host.PlainArticle(0);
        EnterLine(w, first, QStringLiteral("1"), QStringLiteral("12,0375"));
        host.prompter.AnswerYes();  // the same article again: added to its line
        EnterLine(w, first, QStringLiteral("9"), QStringLiteral("12,0375"));
        QCOMPARE(host.prompter.Shown().last(), purchasing::MergeQuestion());
        EnterLine(w, host.PlainArticle(1), QStringLiteral("1"), QStringLiteral("0,10"));
        EnterLine(w, host.PlainArticle(2), QStringLiteral("1"), QStringLiteral("29,90"));

        QCOMPARE(w->Lines()->Data().RowCount(), 3);
        QVERIFY(w->Lines()->Data().Value(0, kValueColumn).toDouble() < 120.375);
        QCOMPARE(Shown(w->Lines(), 0, kValueColumn), QStringLiteral("120,38"));
        QCOMPARE(Shown(w->Lines(), 1, kValueColumn), QStringLiteral("0,10"));
        QCOMPARE(Shown(w->Lines(), 2, kValueColumn), QStringLiteral("29,90"));
        const QString totals = w->findChild<QLabel*>(QStringLiteral("Ukupno"))->text();
        QVERIFY2(totals.endsWith(QStringLiteral("Prodajna vr.: 150,38 EUR")), qPrintable(totals));

        host.prompter.Clear();
        QVERIFY(w->Post());
        test::Settle();
        const TableData list = purchasing::ReceiptTable(host.CurrentSession().Db(), 1,
                                                        host.CurrentSession().businessYear);
        bool listed = false;
        for (int r = 0; r < list.RowCount(); ++r) {
            if (list.Value(r, 0).toInt() == number) {
                listed = true;
                QCOMPARE(ui::TableModel::Display(list.columns[kListValueColumn],
                                                 list.Value(r, kListValueColumn)),
                         QStringLiteral("150,38"));
            }
        }
        QVERIFY(listed);
        QCOMPARE(host.Real(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"TIP_DOKUMENTA\" = 'PRIMKA' AND "
                                          "\"BROJ_DOKUMENTA\" = ? AND \"SKLADISTE\" = 1"),
                           {number}),
                 150.38);
    }
};

ZODRA_WINDOW_TEST_MAIN(ReceiptCentsWindowTest)
#include "ReceiptCentsWindowTest.moc"
