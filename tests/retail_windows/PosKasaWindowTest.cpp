// The register "POS Kasa" on the demo's retail warehouse, driven by keys through the program's
// wiring, with the customer display and receipt printer on pseudo-terminals.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>

#include "app/Users.h"
#include "app/desktop/CommandWiring.h"
#include "app/ui/LoginDialog.h"
#include "data/Database.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "pos/PosDevice.h"
#include "registers/BillsOfMaterials.h"
#include "retail/TillSale.h"
#include "retail/ui/ControlTapeDialog.h"
#include "retail/ui/PaymentDialog.h"
#include "retail/ui/PosFormat.h"
#include "retail/ui/PosKasaWindow.h"
#include "sales/ui/CompositeLineDialog.h"
#include "support/PseudoTerminal.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::retail::ui;

namespace {

constexpr int kRetailWarehouse = 2;  // "Maloprodaja Centar" of the demo

using Pty = test::PseudoTerminal;

class RegisterHost : public test::DemoHost {
public:
    RegisterHost()
        : test::DemoHost({.commands = desktop::RegisterAllCommands,
                          .wide = true,
                          .warehouse = kRetailWarehouse}) {
        // The retail terms number their invoices in a range of their own, past the demo's.
        Db().Exec(QStringLiteral(
            "UPDATE \"UVJETI_PRODAJE\" SET \"POCETNI_BR_RACUNA\" = (SELECT "
            "COALESCE(MAX(\"BROJ RACUNA\"), 0) + 1000 FROM \"RACUNI\") WHERE \"SIFRA\" = 1"));
        area.show();
        area.activateWindow();
        if (!QTest::qWaitForWindowActive(&area)) {
            qWarning("the window area did not become active");
        }
    }
    PosKasaWindow* OpenRegister() {
        return qobject_cast<PosKasaWindow*>(Open(QStringLiteral("Knjizenje_kasa")));
    }
    // Barcodes of articles with at least `free` pieces free in the retail warehouse.
    QStringList Barcodes(double free, int count) {
        Statement rows = Db().Prepare(QStringLiteral(
            "SELECT a.\"BARKOD\" FROM \"ARTIKLI\" a WHERE a.\"BARKOD\" <> '' AND EXISTS (SELECT 1 "
            "FROM \"NABAVE\" n WHERE n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" AND n.\"SKLADISTE\" = ? "
            "AND n.\"GODINA\" = ? AND n.\"KOLICINA_PRIVREMENO\" >= ?) ORDER BY a.\"SIFRA\""));
        rows.Exec({kRetailWarehouse, CurrentSession().businessYear, free});
        QStringList barcodes;
        while (rows.Next() && barcodes.size() < count) {
            barcodes << rows.Text(0);
        }
        return barcodes;
    }
    // The working lines of a sale's session code.
    int WorkingLines(int sessionCode) {
        return Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                  "\"Multiuser_sifra\" = ?"),
                   {sessionCode});
    }
    double WorkingTotal(int sessionCode) {
        return sqlvalue::ToDouble(
            Scalar(QStringLiteral(
                       "SELECT SUM(ROUND(\"UKUPNO_\", 2)) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ?"),
                   {sessionCode}));
    }
};

// The field that has the window's focus.
QWidget* Focused(QWidget* window) {
    return window->focusWidget() ? window->focusWidget() : window;
}

void Key(QWidget* window, Qt::Key key) {
    QWidget* target = Focused(window);
    QTest::keyClick(target, key);
}

// A dialog a failed check left open is closed, so that the test goes on.
void CloseIfOpen(QDialog* dialog) {
    if (dialog->isVisible()) {
        dialog->done(QDialog::Rejected);
    }
}

using test::Activate;

void Scan(PosKasaWindow* w, const QString& barcode) {
    w->BarcodeBox()->setFocus();
    test::TypeInto(w->BarcodeBox(), barcode);
    QTest::keyClick(w->BarcodeBox(), Qt::Key_Return);
}

void AddUser(Database& db, const QString& name, bool pos, bool reports) {
    users::AddUser(db, name, QStringLiteral("lozinka"), false);
    users::SetRight(db, name, QStringLiteral("POS"), pos);
    users::SetRight(db, name, QStringLiteral("Dozvoljen Z kase"), reports);
}

}  // namespace

class PosKasaWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scanningDeletingAndPostingWithPayment();
    void paymentChecksKeepTheDialogOpen();
    void cashierRightsAndLogOff();
    void controlTapeAndClosingKeepsOtherSales();
    void homeSellsACompositeProductMadeAtF12();
    void insertOpensASecondRegisterOnlyWithMultiWindow();
    void numberAndDateAreTypedAndChecked();
};

void PosKasaWindowTest::scanningDeletingAndPostingWithPayment() {
    RegisterHost host;
    Pty display;
    Pty printer;
    QVERIFY(!display.Path().isEmpty() && !printer.Path().isEmpty());
    Session& session = host.CurrentSession();
    session.workstation.customerDisplay = true;
    session.workstation.customerDisplayPort = display.Path();
    session.workstation.posPrinter = true;
    session.workstation.posPrinterPort = printer.Path();
    session.workstation.posPrinterCodePageSelect = QStringLiteral("NE");
    session.workstation.posPrinterLineFeeds = 0;

    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("POS Kasa Maloprodaja Centar, UserName: admin"));
    QVERIFY(w->HelpLine()->text().contains(QStringLiteral("X-F9  Z-F10  ")));
    QCOMPARE(w->CustomerBox()->currentText(), QStringLiteral("Kupac u maloprodaji"));
    QCOMPARE(w->TermsBox()->currentData().toInt(), 1);
    QVERIFY(display.Received().contains("Dobro do{li         Welcome"));  // code page 437
    host.Photograph(w, QStringLiteral("pos-kasa-ekran1"));

    const QStringList barcodes = host.Barcodes(3, 2);
    QCOMPARE(barcodes.size(), 2);
    const int firstNumber = w->NumberField()->text().toInt();
    QVERIFY(firstNumber > 0);

    // Scanner speed: two scans queued as keystrokes before either is handled.
    for (int i = 0; i < 2; ++i) {
        for (const QChar c : barcodes[0]) {
            QCoreApplication::postEvent(w->BarcodeBox(),
                                        new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, c));
        }
        QCoreApplication::postEvent(
            w->BarcodeBox(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    }
    test::Settle();
    const int code = w->Sale().draft.sessionCode;
    QCOMPARE(w->Grid()->Data().RowCount(), 1);
    QCOMPARE(w->Grid()->Data().Value(0, 3).toDouble(), 2.0);
    const double twoPieces = host.WorkingTotal(code);
    QVERIFY(twoPieces > 0);
    QCOMPARE(w->TotalLabel()->text(), DisplayAmount(twoPieces));
    const QByteArray shown = display.Received();
    QVERIFY2(shown.endsWith(QString(QStringLiteral("2.00*") + retail::Amount(twoPieces / 2) +
                                    QLatin1Char('=') + retail::Amount(twoPieces))
                                .leftJustified(20, QLatin1Char(' '), true)
                                .toLatin1()),
             shown.constData());
    QCOMPARE(Focused(w), static_cast<QWidget*>(w->BarcodeBox()));
    QVERIFY(w->BarcodeBox()->text().isEmpty());

    // An unknown barcode: the message, nothing added, the text kept.
    Scan(w, QStringLiteral("0000000000999"));
    QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Artikal sa ovim barkodom nije upisan."));
    QCOMPARE(w->Grid()->Data().RowCount(), 1);
    QCOMPARE(w->BarcodeBox()->text(), QStringLiteral("0000000000999"));

    // An unknown code in search entry.
    Key(w, Qt::Key_F6);
    QCOMPARE(w->Layout(), QStringLiteral("EKRAN_2"));
    QCOMPARE(w->CodeBox()->text(), QStringLiteral("0"));
    host.Photograph(w, QStringLiteral("pos-kasa-ekran2"));
    w->CodeBox()->setFocus();
    test::TypeInto(w->CodeBox(), QStringLiteral("987654"));
    QTest::keyClick(w->CodeBox(), Qt::Key_Return);
    QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Artikal sa ovom šifrom nije upisan."));
    QCOMPARE(Focused(w), static_cast<QWidget*>(w->CodeBox()));

    // F4: quantity first, then the barcode.
    Key(w, Qt::Key_F4);
    QCOMPARE(w->Layout(), QStringLiteral("EKRAN_3"));
    QCOMPARE(Focused(w), static_cast<QWidget*>(w->QuantityBox()));
    host.Photograph(w, QStringLiteral("pos-kasa-ekran3"));
    test::TypeInto(w->QuantityBox(), QStringLiteral("3"));
    QTest::keyClick(w->QuantityBox(), Qt::Key_Return);
    QCOMPARE(Focused(w), static_cast<QWidget*>(w->BarcodeBox()));
    test::TypeInto(w->BarcodeBox(), barcodes[1]);
    QTest::keyClick(w->BarcodeBox(), Qt::Key_Return);
    QCOMPARE(w->Grid()->Data().RowCount(), 2);
    QCOMPARE(w->Grid()->Data().Value(1, 3).toDouble(), 3.0);

    // F8 on the first line: the second becomes line 1 and the total follows.
    w->Grid()->SelectRow(0);
    w->Grid()->setFocus();
    Key(w, Qt::Key_F8);
    QCOMPARE(w->Grid()->Data().RowCount(), 1);
    QCOMPARE(w->Grid()->Data().Value(0, 0).toInt(), 1);
    QCOMPARE(w->Grid()->Data().Value(0, 3).toDouble(), 3.0);
    const double total = host.WorkingTotal(code);
    QCOMPARE(w->TotalLabel()->text(), DisplayAmount(total));
    display.Received();
    printer.Received();

    // F12: posted, paid 10.00 by card and the rest in cash, the receipt printed, the next sale.
    QVERIFY(w->PrintCheck()->isChecked());
    bool dialogSeen = false;
    test::WhenShown<PaymentDialog>([&](PaymentDialog* d) {
        const auto close = qScopeGuard([d] { CloseIfOpen(d); });
        dialogSeen = true;
        Activate(d);
        QCOMPARE(d->CashBox()->Value(), total);
        host.Photograph(d, QStringLiteral("pos-naplata"));
        d->CashBox()->SetValue(total - 10, 2);
        d->CardBox()->SetValue(10, 2);
        d->CardTypeBox()->setCurrentIndex(1);
        d->HandedOverBox()->setFocus();
        d->HandedOverBox()->clear();
        test::TypeInto(d->HandedOverBox(), QStringLiteral("1000"));
        QTest::keyClick(d->HandedOverBox(), Qt::Key_Return);
        QCOMPARE(d->ChangeBox()->text(), DisplayAmount(1000 - total));
        d->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
    });
    Key(w, Qt::Key_F12);
    QVERIFY(dialogSeen);
    const QVariantList key{kRetailWarehouse, session.businessYear, firstNumber};
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? "
                                     "AND \"GODINA\" = ? AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ? "
                                     "AND \"KORISNIK\" = 'admin'"),
                      key),
             1);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"Naplata\" WHERE \"Skladište\" = ? "
                                     "AND \"Godina\" = ? AND \"Ira\" = 1 AND \"Broj računa\" = ?"),
                      key),
             2);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\" WHERE \"Opis\" = ? AND "
                                     "((\"Tip\" = 'kartica' AND \"Iznos\" = 10 AND \"Tip kartice\" "
                                     "IS NOT NULL) OR (\"Tip\" = 'gotovina' AND ABS(\"Iznos\" - "
                                     "?) < 0.005))"),
                      {QStringLiteral("Račun m. br. ") + QString::number(firstNumber), total - 10}),
             2);
    const QByteArray shownAfter = display.Received();
    // The display names the home currency after the amounts.
    auto twoLines = [](const char* first, double amount) {
        return (QString::fromLatin1(first).leftJustified(20) +
                (DisplayAmount(amount) + QStringLiteral(" EUR")).leftJustified(20))
            .toLatin1();
    };
    QVERIFY2(shownAfter.contains(twoLines("Za platiti:", total)), shownAfter.constData());
    QVERIFY(shownAfter.contains(twoLines("Za povrat:", 1000 - total)));
    QVERIFY(shownAfter.endsWith("Dobro do{li         Welcome             "));
    const QByteArray receipt = printer.Received();
    QVERIFY2(receipt.contains("RA^UN br.:"), receipt.constData());
    QVERIFY(receipt.contains(" Pl. kartica EUR :"));
    QVERIFY(!receipt.contains(" kn :"));
    QCOMPARE(w->Grid()->Data().RowCount(), 0);
    QCOMPARE(w->NumberField()->text().toInt(), firstNumber + 1);
    QCOMPARE(w->TotalLabel()->text(), DisplayAmount(0));

    // F12 on an empty sale does nothing.
    const int messages = host.prompter.Messages().size();
    Key(w, Qt::Key_F12);
    QCOMPARE(host.prompter.Messages().size(), messages);
    QCOMPARE(w->NumberField()->text().toInt(), firstNumber + 1);
}

void PosKasaWindowTest::paymentChecksKeepTheDialogOpen() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    const QStringList barcodes = host.Barcodes(1, 1);
    QCOMPARE(barcodes.size(), 1);
    Scan(w, barcodes[0]);
    const int number = w->NumberField()->text().toInt();
    const double total = host.WorkingTotal(w->Sale().draft.sessionCode);
    const QVariantList key{kRetailWarehouse, session.businessYear, number};
    const QString payments = QStringLiteral(
        "SELECT COUNT(*) FROM \"Naplata\" WHERE \"Skladište\" = ? AND \"Godina\" = ? AND "
        "\"Broj računa\" = ?");
    int rowsWhileOpen = -1;
    test::WhenShown<PaymentDialog>([&](PaymentDialog* d) {
        const auto close = qScopeGuard([d] { CloseIfOpen(d); });
        // More than the total.
        d->CashBox()->SetValue(total + 0.01, 2);
        d->Accept();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Upisani iznosi premašuju ukupni iznos računa"));
        // A card amount without its type.
        d->CashBox()->SetValue(total - 1, 2);
        d->CardBox()->SetValue(1, 2);
        d->Accept();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Tip kartice nije izabran."));
        // Less than the total: the question, No keeps the dialog.
        d->CardBox()->SetValue(0, 2);
        host.prompter.AnswerNo();
        d->Accept();
        QCOMPARE(
            host.prompter.Shown().last(),
            QStringLiteral("Iznos plaćanja nije isti kao iznos računa. Želite li nastaviti ?"));
        // Letters never reach an amount box.
        d->ChequesBox()->clear();
        test::TypeInto(d->ChequesBox(), QStringLiteral("1a,5"));
        QCOMPARE(d->ChequesBox()->text(), QStringLiteral("1,5"));
        d->ChequesBox()->SetValue(0, 2);
        QVERIFY(d->isVisible());
        QVERIFY(!d->Paid());
        rowsWhileOpen = host.Int(payments, key);
        // Odustani: No stays, Yes leaves without rows.
        host.prompter.AnswerNo();
        QTest::keyClick(d, Qt::Key_Escape);
        QCOMPARE(host.prompter.Shown().last(), CancelPaymentQuestion());
        QVERIFY(d->isVisible());
        host.prompter.AnswerYes();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    Key(w, Qt::Key_F12);
    QCOMPARE(rowsWhileOpen, 0);
    QCOMPARE(host.Int(payments, key), 0);
    // The invoice stays posted and the register moved on.
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? "
                                     "AND \"GODINA\" = ? AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ?"),
                      key),
             1);
    QCOMPARE(w->NumberField()->text().toInt(), number + 1);

    // The invoice window's payment: 99.995 against the total is the total, no question.
    host.prompter.Clear();
    test::WhenShown<PaymentDialog>([&](PaymentDialog* d) {
        const auto close = qScopeGuard([d] { CloseIfOpen(d); });
        QCOMPARE(d->CashBox()->Value(), total);
        d->CashBox()->SetValue(total - 0.004, 3);
        d->Accept();
    });
    OpenRetailPaymentForInvoice(host, {kRetailWarehouse, 1, session.businessYear, number}, 0);
    QVERIFY(host.prompter.Shown().isEmpty());
    QCOMPARE(host.Int(payments, key), 1);
}

void PosKasaWindowTest::cashierRightsAndLogOff() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    AddUser(host.Db(), QStringLiteral("pero"), false, false);
    AddUser(host.Db(), QStringLiteral("ana"), true, false);
    AddUser(host.Db(), QStringLiteral("iva"), true, true);

    // Without the "POS" right the register does not open.
    session.userName = QStringLiteral("pero");
    QVERIFY(!host.OpenRegister());
    QCOMPARE(host.prompter.LastMessage(),
             QStringLiteral("Korisnik pero nema prava na korištenje POS blagajne."));

    // A cashier without the report right: no "X-F9  Z-F10  ", and F9/F10 do nothing.
    session.userName = QStringLiteral("ana");
    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    QCOMPARE(w->HelpLine()->text(),
             QStringLiteral("Barkod i kol.-F4  Barkod-F5  Traži-F6  Usluge-F7  Sl.proiz.-Home  "
                            "Briši-F8  Kont. traka-F2  Ispis-F3  Log off-Page Up"));
    host.prompter.Clear();
    Key(w, Qt::Key_F9);
    Key(w, Qt::Key_F10);
    QVERIFY(host.prompter.Shown().isEmpty());

    // Page Up: a wrong password stays in the login; iva (with the report right) logs in.
    bool loginSeen = false;
    test::WhenShown<ui::LoginDialog>([&](ui::LoginDialog* login) {
        const auto close = qScopeGuard([login] { CloseIfOpen(login); });
        loginSeen = true;
        login->NameField()->setText(QStringLiteral("iva"));
        login->PasswordField()->setText(QStringLiteral("kriva"));
        QVERIFY(!login->TryLogin());
        QVERIFY(login->isVisible());
        login->NameField()->setText(QStringLiteral("iva"));
        login->PasswordField()->setText(QStringLiteral("lozinka"));
        login->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    Key(w, Qt::Key_PageUp);
    QVERIFY(loginSeen);
    QCOMPARE(w->Cashier(), QStringLiteral("iva"));
    QCOMPARE(w->windowTitle(), QStringLiteral("POS Kasa Maloprodaja Centar, UserName: iva"));
    QVERIFY(w->HelpLine()->text().contains(QStringLiteral("X-F9  Z-F10  ")));
    host.prompter.Clear();
    Key(w, Qt::Key_F9);  // the report right now: F9 prints, and without a printer says so
    QCOMPARE(host.prompter.Messages(),
             QStringList{QStringLiteral("Ovaj ispis se može printati samo na POS printer. "
                                        "Postavite parametre POS printera u konfiguraciji "
                                        "programa.")});

    // Page Up to a user without the right: refused, the register closes, the program stays.
    test::WhenShown<ui::LoginDialog>([&](ui::LoginDialog* login) {
        const auto close = qScopeGuard([login] { CloseIfOpen(login); });
        login->NameField()->setText(QStringLiteral("pero"));
        login->PasswordField()->setText(QStringLiteral("lozinka"));
        login->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    QPointer<PosKasaWindow> guard(w);
    Key(w, Qt::Key_PageUp);
    test::Settle();
    QCOMPARE(host.prompter.LastMessage(),
             QStringLiteral("Korisnik pero nema prava na korištenje POS blagajne."));
    QVERIFY(!guard || !guard->isVisible());
}

void PosKasaWindowTest::controlTapeAndClosingKeepsOtherSales() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    const QStringList barcodes = host.Barcodes(2, 1);
    Scan(w, barcodes[0]);
    const int number = w->NumberField()->text().toInt();
    session.company.paymentDialogAfterRetailInvoice = false;
    w->PrintCheck()->setChecked(false);

    // A refused posting (another workstation took the lot's goods meanwhile): the message, the
    // line stays on the register, nothing is posted.
    const int code = w->Sale().draft.sessionCode;
    const QVariant lot = host.Db().Scalar(
        QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ?"),
        {code});
    const QVariant article =
        host.Db().Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                        "\"Multiuser_sifra\" = ?"),
                         {code});
    const QString lotKey = QStringLiteral(
        " WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
        "\"SIFRA_ARTIKLA\" = ?");
    const QVariantList lotValues{w->Sale().draft.warehouse, w->Sale().draft.year, lot, article};
    const QVariant had =
        host.Db().Scalar(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\"") + lotKey, lotValues);
    host.Db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 0") + lotKey, lotValues);
    Key(w, Qt::Key_F12);
    QVERIFY(host.prompter.LastMessage().startsWith(QStringLiteral("Nedovoljna količina artikla")));
    QCOMPARE(w->Grid()->Data().RowCount(), 1);
    QCOMPARE(host.WorkingLines(code), 1);
    QCOMPARE(w->NumberField()->text().toInt(), number);
    host.Db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ?") + lotKey,
                   QVariantList{had} + lotValues);

    // Pause/Break: the article box's order goes round the three.
    const QString firstOrder = w->ArticleOrder();
    QStringList orders{firstOrder};
    Key(w, Qt::Key_Pause);
    orders << w->ArticleOrder();
    Key(w, Qt::Key_Pause);
    orders << w->ArticleOrder();
    Key(w, Qt::Key_Pause);
    orders.sort();
    QCOMPARE(orders, QStringList({QStringLiteral("po nazivu"), QStringLiteral("po nazivu i šifri"),
                                  QStringLiteral("po šifri i nazivu")}));
    QCOMPARE(w->ArticleOrder(), firstOrder);

    Key(w, Qt::Key_F12);
    QVERIFY2(w->NumberField()->text().toInt() == number + 1,
             qPrintable(host.prompter.Messages().join(QLatin1Char('|'))));

    // F2: a bad date, the printer refusal without a receipt printer, then the screen.
    QString text;
    test::WhenShown<ReceiptTextWindow>([&](ReceiptTextWindow* t) {
        const auto close = qScopeGuard([t] { CloseIfOpen(t); });
        text = t->Text()->toPlainText();
        QVERIFY(t->Text()->isReadOnly());
        t->reject();
    });
    test::WhenShown<ControlTapeDialog>([&](ControlTapeDialog* d) {
        const auto close = qScopeGuard([d] { CloseIfOpen(d); });
        host.Photograph(d, QStringLiteral("pos-kontrolna-traka"));
        const QString today = d->DateField()->text();
        d->DateField()->setText(QStringLiteral("32.13.2026"));
        d->Print();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Datum nije ispravno upisan."));
        d->DateField()->setText(today);
        d->Print();
        QCOMPARE(host.prompter.LastMessage(), pos::NoPrinterForTapeText());
        d->findChild<QPushButton*>(QStringLiteral("Ekran"))->click();
        d->reject();
    });
    Key(w, Qt::Key_F2);
    QVERIFY2(text.contains(QStringLiteral("RAČUN br.:") + QString::number(number)),
             qPrintable(text));

    // Closing the register drops its own lines only: another sale of the session keeps its.
    Scan(w, barcodes[0]);
    const int own = w->Sale().draft.sessionCode;
    retail::TillSale other = retail::OpenTillSale(session, QDate::currentDate());
    retail::ScanBarcode(session, other, barcodes[0]);
    QCOMPARE(host.WorkingLines(own), 1);
    w->parentWidget()->close();
    test::Settle();
    QCOMPARE(host.WorkingLines(own), 0);
    QCOMPARE(host.WorkingLines(other.draft.sessionCode), 1);
    retail::CloseTillSale(session, other);
}

void PosKasaWindowTest::homeSellsACompositeProductMadeAtF12() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    session.company.paymentDialogAfterRetailInvoice = false;
    Database& db = session.Db();
    const int year = session.businessYear;
    // A gift box of two pieces of the article with the most free stock in the register's
    // warehouse.
    Statement part = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA_ARTIKLA\", SUM(\"KOLICINA_PRIVREMENO\") AS f FROM \"NABAVE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? GROUP BY \"SIFRA_ARTIKLA\" ORDER BY f DESC LIMIT 1"));
    part.Exec({kRetailWarehouse, year});
    QVERIFY(part.Next());
    const int piece = part.Int(0);
    QVERIFY(part.Double(1) >= 6);
    part.Finish();
    db.Exec(
        QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", "
                       "\"GRUPA_P\") VALUES ('Poklon kutija', 'PK-001', 'kom', 1)"));
    const int box = host.Int(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"ARTIKLI\""));
    namespace bom = registers::billsofmaterials;
    bom::SetPart(db, bom::Add(db, box), piece, QStringLiteral("2"));

    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    w->PrintCheck()->setChecked(false);
    const int number = w->NumberField()->text().toInt();

    // Left with Esc: nothing goes in.
    bool shown = false;
    test::WhenShown<sales::ui::CompositeLineDialog>([&](sales::ui::CompositeLineDialog* d) {
        shown = true;
        QTest::keyClick(d->Product(), Qt::Key_Escape);
    });
    Key(w, Qt::Key_Home);
    QVERIFY(shown);
    QCOMPARE(w->Grid()->Data().RowCount(), 0);

    // Chosen: no product first is refused and the dialog stays; then 3 boxes at 40.00.
    shown = false;
    test::WhenShown<sales::ui::CompositeLineDialog>([&](sales::ui::CompositeLineDialog* d) {
        const auto close = qScopeGuard([d] { CloseIfOpen(d); });
        shown = true;
        QVERIFY(!d->AcceptLine());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal !"));
        d->Product()->setCurrentIndex(d->Product()->findData(box));
        d->Quantity()->SetValue(3);
        d->Price()->SetValue(40, 2);
        d->Discount()->SetValue(0, 2);
        QVERIFY(d->AcceptLine());
    });
    Key(w, Qt::Key_Home);
    QVERIFY(shown);
    QCOMPARE(w->Grid()->Data().RowCount(), 1);
    QCOMPARE(w->Grid()->Data().Value(0, 3).toDouble(), 3.0);
    QVERIFY(w->LastLineLabel()->text().startsWith(QStringLiteral("Poklon kutija")));
    QCOMPARE(w->TotalLabel()->text(),
             DisplayAmount(host.WorkingTotal(w->Sale().draft.sessionCode)));

    // F12 posts the box as an article line (made by its work order: the core's tests follow
    // the parts and the produced lot).
    Key(w, Qt::Key_F12);
    QCOMPARE(w->Grid()->Data().RowCount(), 0);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                     "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"IRA\" = 1 AND "
                                     "\"BROJ_RACUNA\" = ? AND \"SIFRA\" = ? AND "
                                     "\"TIP_STAVKE\" = 'ART' AND \"KOLICINA\" = 3 AND "
                                     "\"BROJ_PRIMKE\" > 0"),
                      {kRetailWarehouse, year, number, box}),
             1);
}

void PosKasaWindowTest::insertOpensASecondRegisterOnlyWithMultiWindow() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    session.company.paymentDialogAfterRetailInvoice = false;
    const QStringList barcodes = host.Barcodes(2, 2);
    QCOMPARE(barcodes.size(), 2);
    PosKasaWindow* first = host.OpenRegister();
    QVERIFY(first);
    first->PrintCheck()->setChecked(false);
    auto registers = [&] { return host.area.findChildren<PosKasaWindow*>(); };

    // The option off: Insert does nothing.
    session.workstation.posMultiWindow = false;
    Key(first, Qt::Key_Insert);
    QCOMPARE(registers().size(), 1);

    // On: a customer waits with a line while a second register serves the next.
    session.workstation.posMultiWindow = true;
    Scan(first, barcodes[0]);
    QCOMPARE(first->Grid()->Data().RowCount(), 1);
    Key(first, Qt::Key_Insert);
    test::Settle();
    QCOMPARE(registers().size(), 2);
    PosKasaWindow* second = registers().at(0) == first ? registers().at(1) : registers().at(0);
    QVERIFY(second->Sale().draft.sessionCode != first->Sale().draft.sessionCode);
    QCOMPARE(second->windowTitle(), first->windowTitle());
    QCOMPARE(second->Grid()->Data().RowCount(), 0);
    second->PrintCheck()->setChecked(false);
    Activate(second);
    Scan(second, barcodes[1]);
    QCOMPARE(second->Grid()->Data().RowCount(), 1);
    const int number = second->NumberField()->text().toInt();
    Key(second, Qt::Key_F12);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" "
                                     "= ? AND \"IRA\" = 1 AND \"GODINA\" = ? AND "
                                     "\"BROJ_RACUNA\" = ?"),
                      {kRetailWarehouse, session.businessYear, number}),
             1);
    // The waiting customer's line is still there, on its own session code.
    QCOMPARE(host.WorkingLines(first->Sale().draft.sessionCode), 1);
    QCOMPARE(first->Grid()->Data().RowCount(), 1);
    // Its own number follows the one the second register took.
    Activate(first);
    Key(first, Qt::Key_F12);
    QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? "
                                     "AND \"IRA\" = 1 AND \"GODINA\" = ? AND \"BROJ RACUNA\" > ?"),
                      {kRetailWarehouse, session.businessYear, number}),
             1);
    QCOMPARE(first->Grid()->Data().RowCount(), 0);
}

void PosKasaWindowTest::numberAndDateAreTypedAndChecked() {
    RegisterHost host;
    Session& session = host.CurrentSession();
    session.company.paymentDialogAfterRetailInvoice = false;
    const QStringList barcodes = host.Barcodes(2, 1);
    QCOMPARE(barcodes.size(), 1);
    PosKasaWindow* w = host.OpenRegister();
    QVERIFY(w);
    w->PrintCheck()->setChecked(false);
    QCOMPARE(w->DateField()->Date(), QDate::currentDate());
    // A sale posted first holds the number proposed then.
    const int taken = w->NumberField()->text().toInt();
    Scan(w, barcodes[0]);
    Key(w, Qt::Key_F12);
    const int proposed = w->NumberField()->text().toInt();
    QCOMPARE(proposed, taken + 1);
    auto typeInto = [&](QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        test::TypeInto(box, text);
        w->BarcodeBox()->setFocus();
    };

    // The number: not a number, or one a posted retail invoice has, gives the proposal back.
    typeInto(w->NumberField(), QStringLiteral("12a"));
    QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
    QCOMPARE(w->NumberField()->text().toInt(), proposed);
    typeInto(w->NumberField(), QString::number(taken));
    QCOMPARE(host.prompter.LastMessage(),
             QStringLiteral("Račun pod ovim brojem je već napravljen !"));
    QCOMPARE(w->NumberField()->text().toInt(), proposed);
    const int chosen = proposed + 7;
    const int messages = host.prompter.Messages().size();
    typeInto(w->NumberField(), QString::number(chosen));
    QCOMPARE(host.prompter.Messages().size(), messages);
    QCOMPARE(w->NumberField()->text().toInt(), chosen);

    // The date: not a date gives today; outside the business year's reach is refused; a Sunday
    // is kept with the warning.
    typeInto(w->DateField(), QStringLiteral("35.13.2026"));
    QCOMPARE(host.prompter.LastMessage(),
             QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    QCOMPARE(w->DateField()->Date(), QDate::currentDate());
    typeInto(w->DateField(), QStringLiteral("1.1.") + QString::number(session.businessYear + 3));
    QVERIFY2(host.prompter.LastMessage().startsWith(QStringLiteral("Datum mora biti između")),
             qPrintable(host.prompter.LastMessage()));
    QCOMPARE(w->DateField()->Date(), QDate::currentDate());
    QDate sunday(session.businessYear, 1, 1);
    while (sunday.dayOfWeek() != Qt::Sunday) {
        sunday = sunday.addDays(1);
    }
    typeInto(w->DateField(), inputrules::FormatDate(sunday));
    QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Ovaj datum je nedjelja !"));
    QCOMPARE(w->DateField()->Date(), sunday);

    // F12 posts under the typed number and date.
    Scan(w, barcodes[0]);
    Key(w, Qt::Key_F12);
    QCOMPARE(sqlvalue::ToDate(host.Scalar(
                 QStringLiteral("SELECT \"DATUM\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND "
                                "\"IRA\" = 1 AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
                 {kRetailWarehouse, session.businessYear, chosen})),
             sunday);
}

ZODRA_WINDOW_TEST_MAIN(PosKasaWindowTest)
#include "PosKasaWindowTest.moc"
