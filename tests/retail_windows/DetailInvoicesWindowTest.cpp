// "Detaljni maloprodajni računi" on the demo's retail warehouse in summing mode, driven by keys:
// the date range, a cancellation with a refused date typed again, a deletion answered No and
// then Yes, and the refusals of a cancelled and of a summed invoice shown before any question.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "app/desktop/CommandWiring.h"
#include "data/Session.h"
#include "retail/RetailPayment.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "retail/ui/DetailInvoicesWindow.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::retail::ui;

namespace {

constexpr int kRetailWarehouse = 2;  // "Maloprodaja Centar" of the demo

class DetailHost : public test::DemoHost {
public:
    DetailHost()
        : test::DemoHost(
              {.commands = desktop::RegisterAllCommands, .warehouse = kRetailWarehouse}) {
        CurrentSession().company.sumRetailInvoices = true;
        area.show();
        area.activateWindow();
        if (!QTest::qWaitForWindowActive(&area)) {
            qWarning("the window area did not become active");
        }
    }
    // A detail invoice of one article with free stock, posted on `date` and paid in cash; its
    // number.
    int Sell(const QDate& date) {
        Session& s = CurrentSession();
        const QString barcode =
            Scalar(QStringLiteral("SELECT a.\"BARKOD\" FROM \"ARTIKLI\" a JOIN \"NABAVE\" "
                                  "n ON n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" WHERE "
                                  "a.\"BARKOD\" <> '' AND n.\"SKLADISTE\" = ? AND "
                                  "n.\"GODINA\" = ? AND n.\"KOLICINA_PRIVREMENO\" >= 1 "
                                  "ORDER BY a.\"SIFRA\" LIMIT 1"),
                   {kRetailWarehouse, s.businessYear})
                .toString();
        retail::TillSale sale = retail::OpenTillSale(s, date);
        retail::ScanBarcode(s, sale, barcode);
        const auto posted = retail::PostRetailSale(s, sale, 0);
        retail::CloseTillSale(s, sale);
        if (!posted || !posted->detailed) {
            return 0;
        }
        retail::RetailPaymentInput p;
        p.warehouse = kRetailWarehouse;
        p.year = s.businessYear;
        p.number = posted->number;
        p.date = date;
        p.customer = retail::RetailCustomer(Db());
        p.total = p.cash = posted->total;
        p.detailed = true;
        retail::WriteRetailPayment(Db(), p);
        return posted->number;
    }
    int Detail(const char* condition, int number) {
        return Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE \"SKLADISTE\" = "
                                  "? AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ? AND ") +
                       QString::fromLatin1(condition),
                   {kRetailWarehouse, number});
    }
};

QStringList Column(const ui::DataGrid* grid, int column) {
    QStringList values;
    for (int row = 0; row < grid->Data().RowCount(); ++row) {
        values << ui::TableModel::Display(grid->Data().columns[column],
                                          grid->Data().Value(row, column));
    }
    return values;
}

// Alt and the letter the button's caption underlines (the window may have given it another).
void PressAlt(QWidget* window, const char* button) {
    const auto letter = ui::MnemonicOf(test::Button(window, button)->text());
    QVERIFY(letter);
    int clicks = 0;
    const QMetaObject::Connection counted = QObject::connect(
        test::Button(window, button), &QPushButton::clicked, window, [&clicks] { ++clicks; });
    QTest::keyClick(QApplication::focusWidget(), letter->toLatin1(), Qt::AltModifier);
    // A mnemonic presses its button as a click that is seen, a moment later.
    QTRY_COMPARE(clicks, 1);
    QObject::disconnect(counted);
}

void SelectNumber(ui::DataGrid* grid, int number) {
    for (int row = 0; row < grid->Data().RowCount(); ++row) {
        if (grid->Data().Value(row, 0).toInt() == number) {
            grid->SelectRow(row);
        }
    }
    grid->setFocus();
}

}  // namespace

class DetailInvoicesWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cancelDeleteAndRefusals();
};

void DetailInvoicesWindowTest::cancelDeleteAndRefusals() {
    DetailHost host;
    const QDate today = QDate::currentDate();
    const int a = host.Sell(today);
    const int b = host.Sell(today);
    const int c = host.Sell(today);
    const int older = host.Sell(today.addDays(-1));
    QVERIFY(a > 0 && b == a + 1 && c == b + 1 && older == c + 1);

    auto* w = qobject_cast<DetailInvoicesWindow*>(host.Open(DetailInvoicesCommand()));
    QVERIFY(w);
    host.area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    auto* grid = w->findChild<ui::DataGrid*>(QStringLiteral("Racuni"));
    auto* from = w->findChild<ui::DateBox*>(QStringLiteral("DatumOd"));
    // Today's invoices only; the day before joins when the range takes it in.
    QCOMPARE(Column(grid, 0),
             (QStringList{QString::number(a), QString::number(b), QString::number(c)}));
    QCOMPARE(Column(grid, 3),
             (QStringList{QStringLiteral("NE"), QStringLiteral("NE"), QStringLiteral("NE")}));
    test::Retype(from, today.addDays(-1).toString(QStringLiteral("dd.MM.yyyy")));
    QCOMPARE(grid->Data().RowCount(), 4);

    // Storno on b: the question, no date and a date before the invoice's refused and asked again,
    // then cancelled; its cash gets the counter-row.
    host.prompter.Clear();
    host.prompter.AnswerYes()
        .AnswerText(QStringLiteral("32.13."))
        .AnswerText(today.addDays(-1).toString(QStringLiteral("d.M.yyyy")))
        .AnswerText(today.toString(QStringLiteral("d.M.yyyy")));
    SelectNumber(grid, b);
    PressAlt(w, "Storno");
    QCOMPARE(host.prompter.Shown(),
             (QStringList{QStringLiteral("Želite li stornirati račun!"),
                          QStringLiteral("Upišite datum storniranja računa."),
                          QStringLiteral("Datum storna nije ispravno upisan. Pokušajte ponovo."),
                          QStringLiteral("Upišite datum storniranja računa."),
                          QStringLiteral("Datum storna nesmije biti prije datuma računa. "
                                         "Pokušajte ponovo."),
                          QStringLiteral("Upišite datum storniranja računa.")}));
    QCOMPARE(host.Detail("\"STORNO\" = TRUE", b), 1);
    QCOMPARE(host.Real(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"NAPLATA_DETALJNO\" WHERE "
                                      "\"Skladište\" = ? AND \"Broj računa\" = ?"),
                       {kRetailWarehouse, b}),
             0.0);
    QCOMPARE(Column(grid, 3).count(QStringLiteral("DA")), 1);
    QCOMPARE(grid->Data().Value(grid->CurrentRow(), 0).toInt(), b);

    // Cancelled already: refused before the question.
    host.prompter.Clear();
    PressAlt(w, "Storno");
    QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Ovaj račun je već storniran.")});

    // Delete on the list: No keeps a, Yes deletes it with its lines and collections.
    host.prompter.Clear();
    host.prompter.AnswerNo().AnswerYes();
    SelectNumber(grid, a);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(host.Detail("TRUE", a), 1);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(host.prompter.Shown(), (QStringList{QStringLiteral("Želite li izbrisati račun!"),
                                                 QStringLiteral("Želite li izbrisati račun!")}));
    QCOMPARE(host.Detail("TRUE", a), 0);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"NAPLATA_DETALJNO\" WHERE "
                                     "\"Skladište\" = ? AND \"Broj računa\" = ?"),
                      {kRetailWarehouse, a}),
             0);
    QVERIFY(!Column(grid, 0).contains(QString::number(a)));

    // Once the day's summing has marked c, both are refused with the core's words, unasked.
    host.Db().Exec(QStringLiteral("UPDATE \"RACUNI_DETALJNO\" SET \"SUMARNI\" = TRUE WHERE "
                                  "\"SKLADISTE\" = ? AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ?"),
                   {kRetailWarehouse, c});
    w->Reload();
    host.prompter.Clear();
    SelectNumber(grid, c);
    PressAlt(w, "Storno");
    PressAlt(w, "Brisanje");
    QCOMPARE(host.prompter.Shown(),
             (QStringList{QStringLiteral("Ovaj račun je već sumiran pa se ne može stornirati."),
                          QStringLiteral("Ovaj račun je već sumiran pa se ne može izbrisati.")}));
    QCOMPARE(host.Detail("\"STORNO\" = FALSE", c), 1);
    QCOMPARE(Column(grid, 4),
             (QStringList{QStringLiteral("NE"), QStringLiteral("DA"), QStringLiteral("NE")}));
}

ZODRA_WINDOW_TEST_MAIN(DetailInvoicesWindowTest)
#include "DetailInvoicesWindowTest.moc"
