// The production windows on the demo company: a bill of materials built in "Sastavnice" with
// its refusals, its material price and its deletion on both sides of the question.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/Database.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "production/ui/BillsWindow.h"
#include "production/ui/ProductEntryDialog.h"
#include "production/ui/ProductionWindows.h"
#include "production/ui/WorkOrderController.h"
#include "registers/BillsOfMaterials.h"
#include "registers/ui/ArticlePicker.h"
#include "stock/Lots.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindow.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"
#include "ui/PostedDocumentsWindow.h"

using namespace zodra;
namespace bom = zodra::registers::billsofmaterials;

namespace {

struct DemoFolder {
    test::WindowTestFolder folder;
};

class DemoHost : private DemoFolder, public test::TestHost {
public:
    DemoHost() : test::TestHost(folder, DemoCompany{false}) {
        registry = &m_registry;
        production::ui::RegisterProductionCommands(m_registry);
        // A part with free stock in warehouse 1 and a product that has no bill yet.
        part = Value(QStringLiteral(
                         "SELECT \"SIFRA_ARTIKLA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
                         "\"GODINA\" = 2026 GROUP BY \"SIFRA_ARTIKLA\" HAVING "
                         "SUM(\"KOLICINA_PRIVREMENO\") >= 20 ORDER BY \"SIFRA_ARTIKLA\" LIMIT 1"))
                   .toInt();
        product =
            Value(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"ARTIKLI\" WHERE \"SIFRA\" <> ? "
                                 "AND \"SIFRA\" NOT IN (SELECT \"SIFRA_ARTIKLA\" FROM "
                                 "\"SASTAVNICE\")"),
                  {part})
                .toInt();
        free = Value(QStringLiteral("SELECT SUM(\"KOLICINA_PRIVREMENO\") FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                                    "\"SIFRA_ARTIKLA\" = ? AND \"KOLICINA_PRIVREMENO\" > 0"),
                     {part})
                   .toDouble();
    }
    QVariant Value(const QString& sql, const QVariantList& params = {}) {
        return CurrentSession().Db().Scalar(sql, params);
    }
    int Count(const QString& table) {
        return Value(QStringLiteral("SELECT COUNT(*) FROM \"") + table + QStringLiteral("\""))
            .toInt();
    }
    QString Name(int article) { return stock::ArticleName(CurrentSession().Db(), article); }
    // A bill of the product: 2 of the part per unit and a cost of 1 x 2.
    int MakeBill() {
        Database& db = CurrentSession().Db();
        const int bill = bom::Add(db, product);
        bom::SetPart(db, bill, part, QStringLiteral("2"));
        bom::AddCost(db, bill, QStringLiteral("Rad"), QStringLiteral("1"), QStringLiteral("2"));
        return bill;
    }

    int part = 0;
    int product = 0;
    double free = 0;

private:
    ui::CommandRegistry m_registry;
};

QPushButton* Button(QWidget* w, const QString& name) {
    return w->findChild<QPushButton*>(name);
}

void Accept(QWidget* dialog) {
    dialog->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
}

}  // namespace

class ProductionWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void billIsBuiltCheckedAndDeleted();
};

void ProductionWindowsTest::billIsBuiltCheckedAndDeleted() {
    DemoHost host;
    QVERIFY(host.part != 0 && host.product != 0);
    auto* window = qobject_cast<production::ui::BillsWindow*>(
        host.Open(production::ui::BillsWindow::CommandName()));
    QVERIFY(window);

    // A new bill: the product chosen in the picker, Prihvati.
    test::WhenShown<QDialog>([&](QDialog* d) {
        d->findChild<registers::ui::ArticlePicker*>()->SetCode(host.product);
        Accept(d);
    });
    Button(window, QStringLiteral("NoviProizvod"))->click();
    QCOMPARE(window->Bills()->Data().Value(window->Bills()->CurrentRow(), 1).toInt(), host.product);
    const int bill = window->CurrentBill();
    QVERIFY(bill != 0);

    // A part: no article, then a lot that does not hold it, refused with the dialog kept;
    // then any lot (0) passes.
    const QString badLot = QStringLiteral("Primka broj 999999 nema artikla ") +
                           host.Name(host.part) + QStringLiteral(" na ovom skladištu.");
    test::WhenShown<QDialog>([&](QDialog* d) {
        auto* quantity = d->findChild<ui::NumberBox*>(QStringLiteral("Kolicina"));
        auto* lot = d->findChild<ui::NumberBox*>(QStringLiteral("BrojPrimke"));
        test::TypeInto(quantity, QStringLiteral("2"));
        Accept(d);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal"));
        d->findChild<registers::ui::ArticlePicker*>()->SetCode(host.part);
        test::TypeInto(lot, QStringLiteral("999999"));
        Accept(d);
        QCOMPARE(host.prompter.LastMessage(), badLot);
        QVERIFY(d->isVisible());
        QCOMPARE(quantity->Value(), 2.0);
        lot->SetValue(0);
        Accept(d);
    });
    Button(window, QStringLiteral("DodajDio"))->click();
    QCOMPARE(window->Parts()->Data().RowCount(), 1);
    QCOMPARE(window->Parts()->Data().Value(0, 3).toDouble(), 2.0);
    // The material price: 2 x the average cost of the part's lots with stock.
    const double average =
        host.Value(
                QStringLiteral("SELECT SUM(\"KOLICINA\" * \"NABAVNA CIJENA\") / "
                               "SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
                               "\"GODINA\" = 2026 AND \"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" > 0"),
                {host.part})
            .toDouble();
    QCOMPARE(window->MaterialPrice()->text(), inputrules::FormatNumber(2 * average, 2));

    // A cost of 3 x 1,5.
    test::WhenShown<QDialog>([&](QDialog* d) {
        test::TypeInto(d->findChild<QLineEdit*>(QStringLiteral("Opis")), QStringLiteral("Rad"));
        test::TypeInto(d->findChild<ui::NumberBox*>(QStringLiteral("Kolicina")),
                       QStringLiteral("3"));
        test::TypeInto(d->findChild<ui::NumberBox*>(QStringLiteral("Cijena")),
                       QStringLiteral("1,5"));
        Accept(d);
    });
    Button(window, QStringLiteral("DodajTrosak"))->click();
    QCOMPARE(window->Costs()->Data().RowCount(), 1);
    QCOMPARE(window->Costs()->Data().Value(0, 4).toDouble(), 4.5);

    // Deleting: No keeps the bill, Yes takes it with its part and cost.
    const QString question = QStringLiteral("Sigurno želite izbrisati sastavnicu za ") +
                             host.Name(host.product) + QStringLiteral(" ?");
    host.prompter.AnswerNo();
    Button(window, QStringLiteral("Izbrisi"))->click();
    QCOMPARE(host.prompter.Shown().last(), question);
    QCOMPARE(window->CurrentBill(), bill);
    host.prompter.AnswerYes();
    Button(window, QStringLiteral("Izbrisi"))->click();
    QVERIFY(!window->ShowProduct(host.product));
    QCOMPARE(host.Value(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_SASTAVNICA\" WHERE "
                                       "\"SIFRA_SASTAVNICE\" = ?"),
                        {bill})
                 .toInt(),
             0);
}

ZODRA_WINDOW_TEST_MAIN(ProductionWindowsTest)
#include "ProductionWindowsTest.moc"
