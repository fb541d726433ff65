#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "assets/FixedAssetRegister.h"
#include "assets/ui/FixedAssetCommands.h"
#include "assets/ui/FixedAssetEntryDialog.h"
#include "assets/ui/FixedAssetListWindow.h"
#include "data/Database.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DataGrid.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::assets;
using namespace zodra::assets::ui;

namespace {

void Press(QWidget* w, Qt::Key key) {
    QTest::keyClick(w, key);
    test::Settle();
}

void AddRow(Database& db, int number, const QString& name, bool earlier = false) {
    FixedAsset a;
    a.number = number;
    a.name = name;
    a.document = QStringLiteral("R-%1").arg(number);
    a.group = QStringLiteral("Ostala oprema");
    a.purchaseValue = a.bookValue = 1000;
    a.rate = 10;
    a.depreciation = 100;
    a.yearEndValue = 900;
    if (!earlier) {
        AddAsset(db, 2026, a);
        return;
    }
    db.Exec(QStringLiteral("INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE\" (\"Godina\", \"Redni broj\", "
                           "\"Naziv stvari\", \"Isprava broj/nadnevak\", \"Nabavna vrijednost\", "
                           "\"Knjigovodstvena vrijednost\", \"Skupina\", \"Stopa otpisa\", "
                           "\"Svota otpisa\", \"Knjigovodstvena vrijednost na kraju godine\") "
                           "VALUES (2026, ?, ?, 'R', 500, 200, 'Ostala oprema', 20, 100, 100)"),
            {number, name});
}

}  // namespace

class FixedAssetWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void entryByKeysFollowsTheFiguresAndChecks() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Database& db = host.CurrentSession().Db();
        FixedAssetEntryDialog dialog(db, 2026, host.prompter);
        dialog.show();
        test::Activate(&dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Upis dugotrajne imovine"));
        QCOMPARE(dialog.NumberField()->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), dialog.NumberField());
        // Enter moves from box to box in the order of the form.
        Press(dialog.NumberField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.NameField());
        test::TypeInto(dialog.NameField(), QString(101, QChar(u'x')));
        Press(dialog.NameField(), Qt::Key_Return);
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Naziv nesmije biti duži od 100 znakova."));
        QCOMPARE(QApplication::focusWidget(), dialog.NameField());  // back to fix it
        QCOMPARE(dialog.NameField()->text().size(), 101);           // nothing lost
        dialog.NameField()->setText(QStringLiteral("Viličar \"Kod Ane's\""));
        Press(dialog.NameField(), Qt::Key_Return);
        test::TypeInto(dialog.DocumentField(), QStringLiteral("R-118/2026, 14.03.2026"));
        Press(dialog.DocumentField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.PurchaseValueField());
        test::TypeInto(dialog.PurchaseValueField(), QStringLiteral("12000"));
        Press(dialog.PurchaseValueField(), Qt::Key_Return);
        test::TypeInto(dialog.BookValueField(), QStringLiteral("9000"));
        Press(dialog.BookValueField(), Qt::Key_Return);
        Press(dialog.GroupField(), Qt::Key_Return);
        test::TypeInto(dialog.RateField(), QStringLiteral("25"));
        // Twelve months until told otherwise: 12000 × 25 %.
        QCOMPARE(dialog.DepreciationField()->text(), QStringLiteral("3000,00"));
        QCOMPARE(dialog.YearEndField()->text(), QStringLiteral("6000,00"));
        Press(dialog.RateField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.MonthsField());
        test::Retype(dialog.MonthsField(), QStringLiteral("13"));
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Broj mjeseci mora biti između 0 i 12. Broj mjeseci će biti "
                                "postavljen na nulu."));
        QCOMPARE(dialog.MonthsField()->text(), QStringLiteral("0"));
        QCOMPARE(dialog.DepreciationField()->text(), QStringLiteral("0,00"));
        QCOMPARE(dialog.YearEndField()->text(), QStringLiteral("9000,00"));
        test::Retype(dialog.MonthsField(), QStringLiteral("6"));
        test::Settle();
        QCOMPARE(dialog.DepreciationField()->text(), QStringLiteral("1500,00"));
        QCOMPARE(dialog.YearEndField()->text(), QStringLiteral("7500,00"));
        host.Photograph(&dialog, QStringLiteral("Upis dugotrajne imovine"));
        // A value box given no number becomes 0 with the kit's message.
        dialog.DepreciationField()->setFocus();
        test::Retype(dialog.DepreciationField(), QStringLiteral("puno"));
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na "
                                "nulu."));
        QCOMPARE(dialog.YearEndField()->text(), QStringLiteral("9000,00"));
        test::Retype(dialog.DepreciationField(), QStringLiteral("1500"));
        test::Settle();
        QCOMPARE(dialog.YearEndField()->text(), QStringLiteral("7500,00"));
        // The group is still empty: "Prihvati" says so and the window stays.
        host.prompter.Clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Skupina je duža od 50 znakova ili nije upisana!"));
        QVERIFY(dialog.isVisible());
        dialog.GroupField()->setText(QStringLiteral("Osobni automobili"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        const auto rows = ListAssets(db, 2026);
        QCOMPARE(int(rows.size()), 1);
        QCOMPARE(rows[0].name, QStringLiteral("Viličar \"Kod Ane's\""));
        QCOMPARE(rows[0].depreciation, 1500.0);
        QCOMPARE(rows[0].yearEndValue, 7500.0);
    }

    void listShowsBothTablesAndChangesAndDeletesByKeys() {
        test::EmptyHost host(RegisterFixedAssetCommands);
        Database& db = host.Db();
        AddRow(db, 1, QStringLiteral("Blagajna"));
        AddRow(db, 2, QStringLiteral("Stari stroj"), true);
        AddRow(db, 3, QStringLiteral("Police"));
        auto* list = qobject_cast<FixedAssetListWindow*>(host.Open(QStringLiteral("PDI_Upis")));
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("Popis dugotrajne imovine"));
        const TableData& data = list->Grid()->Data();
        QCOMPARE(data.RowCount(), 3);
        QCOMPARE(data.Value(1, FixedAssetListWindow::Name).toString(),
                 QStringLiteral("Stari stroj"));
        QCOMPARE(data.Value(1, FixedAssetListWindow::Source).toString(), QStringLiteral("raniji"));
        QCOMPARE(data.Value(0, FixedAssetListWindow::Source).toString(), QString());
        host.Photograph(list, QStringLiteral("PDI_Upis"));

        // Enter on the older row opens it for change; the change stays in the older table.
        list->Grid()->SelectRow(1);
        test::WhenShown<FixedAssetEntryDialog>([](FixedAssetEntryDialog* d) {
            test::CloseAfter guard{d};
            QCOMPARE(d->NumberField()->text(), QStringLiteral("2"));
            QCOMPARE(d->MonthsField()->text(), QStringLiteral("12"));  // 500 × 20 % = 100
            d->NameField()->setText(QStringLiteral("Stari stroj, popravljen"));
            d->Accept();
        });
        Press(list->Grid(), Qt::Key_Return);
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT \"Naziv stvari\" FROM \"POPIS_DUGOTRAJNE_IMOVINE\" "
                                     "WHERE \"Redni broj\" = 2")),
            QVariant(QStringLiteral("Stari stroj, popravljen")));
        QCOMPARE(list->Grid()->CurrentRow(), 1);

        // Delete asks; No (the default) keeps the row, Yes deletes it.
        host.prompter.AnswerNo();
        Press(list->Grid(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li obrisati stavku?"));
        QCOMPARE(list->Grid()->Data().RowCount(), 3);
        host.prompter.AnswerYes();
        Press(list->Grid(), Qt::Key_Delete);
        QCOMPARE(list->Grid()->Data().RowCount(), 2);
        QVERIFY(!YearHasEarlierRows(db, 2026));

        // "Upis" offers the next number after the highest.
        test::WhenShown<FixedAssetEntryDialog>([](FixedAssetEntryDialog* d) {
            test::CloseAfter guard{d};
            QCOMPARE(d->NumberField()->text(), QStringLiteral("4"));
            d->reject();
        });
        test::Button(list, "Upis")->click();
        QCOMPARE(list->Grid()->Data().RowCount(), 2);
    }

    void reportCommandShowsTheList() {
        test::EmptyHost host(RegisterFixedAssetCommands);
        AddRow(host.Db(), 1, QStringLiteral("Blagajna"));
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(host.Open(QStringLiteral("PDI_Izvjestaj")));
        QVERIFY(report);
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(report->windowTitle(), QStringLiteral("Popis dugotrajne imovine"));
    }
};

ZODRA_WINDOW_TEST_MAIN(FixedAssetWindowsTest)
#include "FixedAssetWindowsTest.moc"
