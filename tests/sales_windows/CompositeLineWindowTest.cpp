// "Sl. artikli" in the invoice window on the demo company: the dialog's guards keep it open and
// write nothing, choosing a product proposes its price, the quantity typed is cut to what the
// parts cover with the production's warning, and the accepted line joins the grid and totals.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "SalesWindowSupport.h"
#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "registers/BillsOfMaterials.h"
#include "sales/ui/CompositeLineDialog.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceWindows.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::sales::ui;
namespace bom = zodra::registers::billsofmaterials;

namespace {

using test::Choose;

struct DemoHost : test::SalesHost {
    DemoHost() : SalesHost(false) {}
};

}  // namespace

class CompositeLineWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aCompositeLineIsEnteredByKeys() {
        DemoHost host;
        Database& db = host.CurrentSession().Db();
        // A gift box of two pieces of the article with the most free stock in warehouse 1.
        Statement part = db.Prepare(QStringLiteral(
            "SELECT \"SIFRA_ARTIKLA\", SUM(\"KOLICINA_PRIVREMENO\") AS f FROM \"NABAVE\" WHERE "
            "\"SKLADISTE\" = 1 AND \"GODINA\" = ? GROUP BY \"SIFRA_ARTIKLA\" ORDER BY f DESC "
            "LIMIT 1"));
        part.Exec({host.CurrentSession().businessYear});
        QVERIFY(part.Next());
        const int piece = part.Int(0);
        const double free = part.Double(1);
        part.Finish();
        db.Exec(
            QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", "
                           "\"GRUPA_P\") VALUES ('Poklon paket', 'PP-002', 'kom', 1)"));
        const int box = host.Int(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"ARTIKLI\""));
        bom::SetPart(db, bom::Add(db, box), piece, QStringLiteral("2"));

        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        test::ChooseHeader(
            w, 1, 2,
            host.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = "
                                       "'Restoran Šestine'")));
        auto* button = w->findChild<QPushButton*>(QStringLiteral("SlozeniArtikli"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Sl. artik&li"));
        bool shown = false;
        test::WhenShown<CompositeLineDialog>(
            [&](CompositeLineDialog* d) {
                test::CloseAfter closer{d};
                test::Activate(d);
                shown = true;
                QVERIFY(!d->AcceptLine());
                QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal !"));
                d->Product()->setCurrentIndex(d->Product()->findData(box));
                QCOMPARE(d->Quantity()->Value(), 1.0);
                QCOMPARE(d->Price()->Value(), 0.0);  // never made, not on a price list
                QVERIFY(!d->AcceptLine());
                QCOMPARE(host.prompter.LastMessage(),
                         QStringLiteral("Prodajna cijena nesmije biti nula !"));
                // More boxes than the pieces make: cut, with the warning.
                const double tooMany = std::floor(free / 2) + 1;
                d->Quantity()->setFocus();
                d->Quantity()->selectAll();
                QTest::keyClicks(d->Quantity(), QString::number(tooMany));
                QTest::keyClick(d->Quantity(), Qt::Key_Return);
                // A loaded machine may deliver the check after the keys return.
                QTRY_VERIFY_WITH_TIMEOUT(host.prompter.LastMessage().startsWith(
                                             QStringLiteral("Nedovoljna zaliha artikla ")),
                                         20000);
                QVERIFY(d->Quantity()->Value() < tooMany);
                d->Quantity()->SetValue(2);
                d->Price()->SetValue(12.5);
                d->Discount()->SetValue(0);
                d->Price()->Commit();
                QVERIFY(d->AcceptLine());
            },
            20000);
        button->click();
        test::Settle();
        QVERIFY(shown);
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QCOMPARE(host.Scalar(QStringLiteral("SELECT \"TIP_STAVKE\" FROM "
                                            "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"SIFRA\" = ?"),
                             {box})
                     .toString(),
                 QStringLiteral("SLA"));
        QCOMPARE(sqlvalue::ToDouble(host.Scalar(
                     QStringLiteral("SELECT \"VRIJEDNOST_\" FROM \"STAVKE_RACUNA_PRIVREMENO\" "
                                    "WHERE \"SIFRA\" = ?"),
                     {box})),
                 25.0);
        host.prompter.AnswerYes();
        ui::CloseWindowFrame(w);
        test::Settle();
    }
};

ZODRA_WINDOW_TEST_MAIN(CompositeLineWindowTest)
#include "CompositeLineWindowTest.moc"
