#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "data/Database.h"
#include "payments/ui/BankStatementDialog.h"
#include "payments/ui/CollectionWindow.h"
#include "payments/ui/PaymentCommands.h"
#include "payments/ui/PaymentEntryDialog.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DataGrid.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::payments::ui;

namespace {

int Count(Session& s, const char* table) {
    return s.Db()
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromUtf8(table)))
        .toInt();
}

// Alt+P ("&Prihvati") where the keyboard is, as the user presses it; the mnemonic's click comes
// a moment later, so this waits for its message or for the dialog to close.
void PressAccept(QWidget* dialog, ScriptedPrompter& prompter) {
    test::Activate(dialog);
    QWidget* focus = QApplication::focusWidget();
    const qsizetype before = prompter.Messages().size();
    QTest::keyClick(focus ? focus : dialog, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(prompter.Messages().size() > before || !dialog->isVisible());
}

}  // namespace

class CollectionWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // "Naplata izlaznih računa" by keys: Enter on the invoice opens "Upis naplate računa"; a
    // missing model and a card without its type are refused with the dialog left open, the
    // collection is written with "Naplaćeno:" / "Dugovanje:" following it, an amount beyond
    // what is owed is refused, and Delete on the collection asks first and takes its payment.
    void collectByKeys() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        zodra::ui::CommandRegistry registry;
        RegisterPaymentCommands(registry);
        host.registry = &registry;
        Session& s = host.CurrentSession();
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\") VALUES (77, "
                           "'Kod Ane''s')"));
        s.Db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                                   "\"BROJ RACUNA\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                                   "\"DATUM\") VALUES (1, 1, ?, 7, 77, 2, ?), (1, 1, ?, 8, 77, 2, "
                                   "?)"),
                    {s.businessYear, QDate(s.businessYear, 3, 1), s.businessYear,
                     QDate(s.businessYear, 3, 2)});
        s.Db().Exec(
            QStringLiteral("UPDATE \"RACUNI\" SET \"STORNO\" = TRUE WHERE \"BROJ "
                           "RACUNA\" = 8"));
        s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                   "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", "
                                   "\"UKUPNO_\") VALUES (1, 1, ?, 7, 'ART', 80, 100)"),
                    {s.businessYear});

        auto* w =
            qobject_cast<CollectionWindow*>(host.Open(QStringLiteral("Evidencija_pregled_IFA")));
        QVERIFY(w);
        QCOMPARE(w->Invoices()->Data().RowCount(), 1);  // the cancelled one is not listed
        QCOMPARE(w->OwedLabel()->text(), QStringLiteral("Dugovanje: 100,00"));

        test::WhenShown<PaymentEntryDialog>([&](PaymentEntryDialog* d) {
            test::CloseAfter guard{d};
            QCOMPARE(d->windowTitle(), QStringLiteral("Upis naplate računa"));
            PressAccept(d, host.prompter);
            QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Izaberite model plaćanja."));
            auto* model = d->findChild<QComboBox*>(QStringLiteral("Model"));
            model->setFocus();
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(model, Qt::Key_Down);  // "kartica"
            }
            PressAccept(d, host.prompter);
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Tip kreditne kartice mora biti izabran."));
            QCOMPARE(Count(s, "UPLATE"), 0);
            for (int i = 0; i < 3; ++i) {
                QTest::keyClick(model, Qt::Key_Up);  // "žiro račun"
            }
            test::Retype(d->findChild<zodra::ui::NumberBox*>(QStringLiteral("Iznos")),
                         QStringLiteral("60"));
            PressAccept(d, host.prompter);
        });
        w->Invoices()->setFocus();
        QTest::keyClick(w->Invoices(), Qt::Key_Return);
        test::Settle();
        QCOMPARE(Count(s, "NAPLATA"), 1);
        QCOMPARE(w->CollectedLabel()->text(), QStringLiteral("Naplaćeno: 60,00"));
        QCOMPARE(w->OwedLabel()->text(), QStringLiteral("Dugovanje: 40,00"));

        test::WhenShown<PaymentEntryDialog>([&](PaymentEntryDialog* d) {
            test::CloseAfter guard{d};
            auto* amount = d->findChild<zodra::ui::NumberBox*>(QStringLiteral("Iznos"));
            QCOMPARE(amount->Value(), 40.0);  // what is still owed
            auto* model = d->findChild<QComboBox*>(QStringLiteral("Model"));
            model->setFocus();
            QTest::keyClick(model, Qt::Key_Down);
            test::Retype(amount, QStringLiteral("40,01"));
            PressAccept(d, host.prompter);
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("S ovim iznosom račun bi bio preplaćen. Nije dozvoljeno "
                                    "knjiženje."));
            QVERIFY(d->isVisible());
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QTest::keyClick(w->Invoices(), Qt::Key_Return);
        test::Settle();
        QCOMPARE(Count(s, "NAPLATA"), 1);

        // Delete answered No keeps the collection; Yes removes it with its own payment.
        w->Collections()->setFocus();
        w->Collections()->SelectRow(0);
        host.prompter.AnswerNo();
        QTest::keyClick(w->Collections(), Qt::Key_Delete);
        QCOMPARE(Count(s, "NAPLATA"), 1);
        QVERIFY(host.prompter.Shown().contains(QStringLiteral("Želite li izbrisati plaćanje ?")));
        host.prompter.AnswerYes();
        QTest::keyClick(w->Collections(), Qt::Key_Delete);
        test::Settle();
        QCOMPARE(Count(s, "NAPLATA"), 0);
        QCOMPARE(Count(s, "UPLATE"), 0);
        QCOMPARE(w->OwedLabel()->text(), QStringLiteral("Dugovanje: 100,00"));
    }

    // "Izvod banke": the statement's lines with their status; Delete leaves a matched line out,
    // "Prihvati" asks and records only the chosen ones.
    void bankStatementByKeys() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\") VALUES (77, "
                           "'Kod Ane''s'), (78, 'Drugi d.o.o.')"));
        for (const auto& [number, customer, total] :
             {std::tuple{7, 77, 40.0}, std::tuple{12, 78, 15.0}}) {
            s.Db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", "
                                       "\"GODINA\", \"BROJ RACUNA\", \"SIFRA PARTNERA\", "
                                       "\"UVJET PRODAJE\") VALUES (1, 2, 2026, ?, ?, 2)"),
                        {number, customer});
            s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                       "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", "
                                       "\"UKUPNO_\") VALUES (1, 2, 2026, ?, 'ART', ?)"),
                        {number, total});
        }
        BankStatementDialog dialog(host);
        dialog.show();
        test::Activate(&dialog);
        QVERIFY(dialog.Load(QStringLiteral(ZODRA_SOURCE_DIR "/tests/payments/statement.xml")));
        const TableData& rows = dialog.Grid()->Data();
        QCOMPARE(rows.RowCount(), 8);
        QCOMPARE(rows.Value(0, 5).toString(), QStringLiteral("Prepoznato"));
        QCOMPARE(rows.Value(4, 5).toString(), QStringLiteral("Terećenje"));
        QCOMPARE(rows.Value(5, 6).toString(), QStringLiteral("12/2/2026"));
        dialog.Grid()->SelectRow(0);
        QTest::keyClick(dialog.Grid(), Qt::Key_Delete);  // invoice 7 left out
        QCOMPARE(dialog.Grid()->Data().Value(0, 8).toString(), QStringLiteral("Ne"));
        host.prompter.AnswerYes();
        PressAccept(&dialog, host.prompter);
        QVERIFY(host.prompter.Shown().contains(QStringLiteral("Upisati odabrane uplate (1) ?")));
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Upisano uplata: 1."));
        QCOMPARE(Count(s, "NAPLATA"), 1);
        QCOMPARE(dialog.Grid()->Data().Value(5, 5).toString(), QStringLiteral("Već upisano"));
    }
};

ZODRA_WINDOW_TEST_MAIN(CollectionWindowTest)
#include "CollectionWindowTest.moc"
