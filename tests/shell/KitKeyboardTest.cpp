#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "data/ScriptedPrompter.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DialogButtonRow.h"
#include "ui/FieldForm.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::ui;

namespace {

const QString kInvalidNumber =
    QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu.");

void Show(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

// The keyboard as a clerk uses it, as a property of the window kit: Enter presses buttons and
// walks the fields past the shortcut buttons, one accept/cancel row, number boxes checked when
// left, the first field focused, and no Alt+letter used twice.
class KitKeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enterPressesTheFocusedButtonInAWindowAndInADialog() {
        // A window of the window area is no dialog: its buttons are not "default" buttons.
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* field = new QLineEdit(&window);
        auto* button =
            MakeButton(QStringLiteral("&Upis broja"), QStringLiteral("UpisBroja"), &window);
        layout->addWidget(field);
        layout->addWidget(button);
        Show(window);
        QSignalSpy clicked(button, &QPushButton::clicked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(clicked.count(), 1);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(clicked.count(), 2);
        // Other keys do not press it, nor does Enter on a disabled one.
        QTest::keyClick(button, Qt::Key_A);
        button->setEnabled(false);
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(clicked.count(), 2);

        // A dialog's button that was told not to be a default button is pressed all the same,
        // and once.
        QDialog dialog;
        auto* dl = new QVBoxLayout(&dialog);
        auto* ok = new QPushButton(QStringLiteral("Prihvati"), &dialog);
        ok->setAutoDefault(false);
        dl->addWidget(new QLineEdit(&dialog));
        dl->addWidget(ok);
        Show(dialog);
        QSignalSpy okClicked(ok, &QPushButton::clicked);
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QCOMPARE(okClicked.count(), 1);
    }

    void enterWalksTheFieldsPastTheShortcutButtons() {
        // A form with a shortcut button beside its choice box, as a register's entry window has
        // it: Enter goes from the choice to the next field, Tab still reaches the button.
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CommandRegistry registry;
        registry.RegisterEntry(QStringLiteral("GRUPE_A"),
                               [](WindowHost&, QWidget*) { return std::optional<NewRow>(); });
        auto field = [](const char* key, const char* label) {
            FieldSpec f;
            f.key = QString::fromLatin1(key);
            f.label = QString::fromLatin1(label);
            return f;
        };
        FieldSpec name = field("NAZIV", "Naziv :");
        FieldSpec group = field("GRUPA", "Grupa :");
        group.kind = FieldSpec::Kind::Choice;
        group.choices = [](Session&) { return QList<Choice>{{QStringLiteral("Roba"), 1}}; };
        group.reference = QStringLiteral("GRUPE_A");
        group.referenceCaption = QStringLiteral("Nova grupa");
        FieldSpec note = field("NAPOMENA", "Napomena :");
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* form = new FieldForm(host, {name, group, note}, &registry, &dialog);
        auto* row = new DialogButtonRow(&dialog);
        layout->addWidget(form);
        layout->addWidget(row);
        Show(dialog);
        auto* shortcut = dialog.findChild<QPushButton*>(QStringLiteral("GRUPA_novi"));
        QVERIFY(shortcut);
        QCOMPARE(shortcut->text(), QStringLiteral("Nova grupa"));
        QVERIFY(IsShortcutButton(shortcut));
        QVERIFY(!IsShortcutButton(row->AcceptButton()));

        form->Editor(QStringLiteral("NAZIV"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->Editor(QStringLiteral("GRUPA")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->Editor(QStringLiteral("NAPOMENA")));
        // From the last field Enter lands on "Prihvati" (no shortcut button), and presses it.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), row->AcceptButton());
        QSignalSpy accepted(row->AcceptButton(), &QPushButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
        // Tab is not Enter: it stops at the shortcut button.
        form->Editor(QStringLiteral("GRUPA"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), shortcut);
    }

    void theAcceptCancelRowIsTheSameEverywhere() {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* field = new QLineEdit(&dialog);
        layout->addWidget(field);
        auto* row = new DialogButtonRow(&dialog);
        layout->addWidget(row);
        QCOMPARE(row->AcceptButton()->text(), QStringLiteral("&Prihvati"));
        QCOMPARE(row->AcceptButton()->objectName(), QStringLiteral("Prihvati"));
        QCOMPARE(row->CancelButton()->text(), QStringLiteral("&Odustani"));
        QCOMPARE(row->CancelButton()->objectName(), QStringLiteral("Odustani"));
        QVERIFY(row->AcceptButton()->isDefault());
        int accepts = 0;
        connect(row->AcceptButton(), &QPushButton::clicked, &dialog, [&] { ++accepts; });
        Show(dialog);
        // Esc anywhere is "Odustani": the dialog is rejected.
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(accepts, 0);
        // Alt+P presses "Prihvati".
        Show(dialog);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(accepts, 1);  // a mnemonic presses the button as a click that is seen

        // A window that decides itself what "Odustani" does gets Esc for it too.
        QDialog own;
        auto* ownLayout = new QVBoxLayout(&own);
        auto* ownField = new QLineEdit(&own);
        ownLayout->addWidget(ownField);
        auto* ownRow = new DialogButtonRow(&own, DialogButtonRow::Buttons::AcceptAndOwnCancel);
        ownLayout->addWidget(ownRow);
        int cancels = 0;
        connect(ownRow->CancelButton(), &QPushButton::clicked, &own, [&] { ++cancels; });
        Show(own);
        ownField->setFocus();
        QTest::keyClick(ownField, Qt::Key_Escape);
        QCOMPARE(cancels, 1);
        QVERIFY(own.isVisible());

        // In a window that is no dialog "Odustani" (and Esc) closes it; a row of "Prihvati"
        // alone has no cancel and no default button to press.
        QWidget window;
        auto* wl = new QVBoxLayout(&window);
        auto* wf = new QLineEdit(&window);
        wl->addWidget(wf);
        auto* wrow = new DialogButtonRow(&window);
        wl->addWidget(wrow);
        Show(window);
        wf->setFocus();
        QTest::keyClick(wf, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QWidget lone;
        auto* loneRow = new DialogButtonRow(&lone, DialogButtonRow::Buttons::AcceptOnly);
        QVERIFY(loneRow->CancelButton() == nullptr);
        QVERIFY(!loneRow->AcceptButton()->isDefault());
    }

    void aNumberBoxIsCheckedWhenItIsLeftNotWhileTyped() {
        ScriptedPrompter p;
        QWidget window;
        auto* layout = new QFormLayout(&window);
        auto* box = new NumberBox(p, &window);
        auto* next = new QLineEdit(&window);
        layout->addRow(QStringLiteral("Broj"), box);
        layout->addRow(QStringLiteral("Dalje"), next);
        Show(window);
        QSignalSpy edited(box, &NumberBox::valueEdited);
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, QStringLiteral("1e5"));
        // No message at the "e", and nothing passed on that is not a number.
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(edited.count(), 1);  // the "1"
        QCOMPARE(edited.at(0).at(0).toDouble(), 1.0);
        QCOMPARE(box->Value(), 0.0);
        // Enter leaves the box: one message, "0", and the focus back in the box.
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        QCOMPARE(p.Messages(), QStringList{kInvalidNumber});
        QCOMPARE(box->text(), QStringLiteral("0"));
        QCOMPARE(edited.last().at(0).toDouble(), 0.0);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->selectedText(), QStringLiteral("0"));

        // A good number leaves quietly by Tab as by Enter.
        p.Clear();
        QTest::keyClicks(box, QStringLiteral("-12,5"));
        QTest::keyClick(box, Qt::Key_Tab);
        test::Settle();
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(QApplication::focusWidget(), next);
        QCOMPARE(box->Value(), -12.5);

        // A number beyond the box's kind is refused the same way, when left.
        box->SetLimit(limits::NumberKind::Price, QStringLiteral("Cijena"));
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, QStringLiteral("-3"));
        QVERIFY(p.Messages().isEmpty());
        next->setFocus();
        test::Settle();
        QCOMPARE(p.Messages(), QStringList{QStringLiteral("Cijena nesmije biti negativna !")});
        QCOMPARE(box->Value(), 0.0);
        QCOMPARE(QApplication::focusWidget(), box);

        // Commit checks a box the user is still in, for a window acting on a shortcut key.
        p.Clear();
        box->setText(QStringLiteral("12a"));
        QVERIFY(!box->Commit());
        QCOMPARE(p.Messages(), QStringList{kInvalidNumber});
        box->setText(QStringLiteral("12,"));
        QVERIFY(box->Commit());
        QCOMPARE(box->Value(), 12.0);
        // A value set by the window shows with the decimals asked for.
        box->SetValue(1234.5, 2);
        QCOMPARE(box->text(), QStringLiteral("1234,50"));
    }

    void aRefusedNumberInAFormIsTakenAsZeroWhenLeftAgain() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        FieldSpec quantity;
        quantity.key = QStringLiteral("KOLICINA");
        quantity.label = QStringLiteral("Količina :");
        quantity.kind = FieldSpec::Kind::Number;
        quantity.initial = 5.0;
        FieldSpec note;
        note.key = QStringLiteral("NAPOMENA");
        note.label = QStringLiteral("Napomena :");
        FieldForm form(host, {quantity, note}, nullptr);
        Show(form);
        QSignalSpy committed(&form, &FieldForm::committed);
        QWidget* box = form.Editor(QStringLiteral("KOLICINA"));
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, QStringLiteral("1e5"));
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        // Refused: one message, the focus back, nothing written yet.
        QCOMPARE(host.prompter.Messages(), QStringList{kInvalidNumber});
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(committed.count(), 0);
        // Left again as it stands: the 0 is what the window writes.
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        QCOMPARE(QApplication::focusWidget(), form.Editor(QStringLiteral("NAPOMENA")));
        QCOMPARE(committed.count(), 1);
        QCOMPARE(committed.at(0).at(0).toString(), QStringLiteral("KOLICINA"));
        QCOMPARE(form.Values().value(QStringLiteral("KOLICINA")).toDouble(), 0.0);
        QCOMPARE(host.prompter.Messages().size(), 1);
    }

    void aWindowShownGetsTheFocusInItsFirstField() {
        // The field the window chose in its constructor.
        QWidget area;
        auto* chosen = new QWidget(&area);
        auto* cl = new QVBoxLayout(chosen);
        auto* a = new QLineEdit(chosen);
        auto* b = new QLineEdit(chosen);
        cl->addWidget(a);
        cl->addWidget(b);
        b->setFocus();
        // Else the first field in tab order: a read-only box and a button are no fields.
        auto* plain = new QWidget(&area);
        auto* pl = new QVBoxLayout(plain);
        auto* button = new QPushButton(QStringLiteral("Osvježi"), plain);
        auto* shown = new QLineEdit(plain);
        shown->setReadOnly(true);
        auto* check = new QCheckBox(QStringLiteral("Samo aktivni"), plain);
        pl->addWidget(button);
        pl->addWidget(shown);
        pl->addWidget(check);
        auto* layout = new QVBoxLayout(&area);
        layout->addWidget(chosen);
        layout->addWidget(plain);
        Show(area);
        area.setFocus();
        FocusFirstField(chosen);
        QCOMPARE(QApplication::focusWidget(), b);
        FocusFirstField(plain);
        QCOMPARE(QApplication::focusWidget(), check);
        // A window of buttons only: its first button.
        check->hide();
        FocusFirstField(plain);
        QCOMPARE(QApplication::focusWidget(), button);
    }

    void mnemonicClashesAreListed() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* summary = new QPushButton(QStringLiteral("&Zbirni p."), &window);
        auto* close = new QPushButton(QStringLiteral("&Zatvori"), &window);
        auto* post = new QPushButton(QStringLiteral("Pro&knjiži"), &window);
        auto* both = new QPushButton(QStringLiteral("Ispis && slanje"), &window);
        auto* label = new QLabel(QStringLiteral("&Partner :"), &window);
        auto* partner = new QLineEdit(&window);
        label->setBuddy(partner);
        auto* free = new QLabel(QStringLiteral("&Napomena"), &window);  // no buddy: no key
        auto* group = new QGroupBox(QStringLiteral("&Plaćanje"), &window);
        for (QWidget* w : std::initializer_list<QWidget*>{summary, close, post, both, label,
                                                          partner, free, group}) {
            layout->addWidget(w);
        }
        QCOMPARE(MnemonicOf(QStringLiteral("Pro&knjiži")), std::optional<QChar>(QLatin1Char('k')));
        QCOMPARE(MnemonicOf(QStringLiteral("Ispis && slanje")), std::optional<QChar>());
        QCOMPARE(MnemonicClashes(&window),
                 (QStringList{QStringLiteral("Alt+P: &Partner :, &Plaćanje"),
                              QStringLiteral("Alt+Z: &Zbirni p., &Zatvori")}));
        // What is hidden in the window does not answer its Alt keys; the menu's letters count
        // with the window's when the caller adds them.
        group->hide();
        summary->setText(QStringLiteral("Z&birni p."));
        QVERIFY(MnemonicClashes(&window).isEmpty());
        QList<Mnemonic> withMenu = Mnemonics(&window);
        withMenu.append({QLatin1Char('k'), QStringLiteral("&Knjiženje")});
        QCOMPARE(MnemonicClashes(withMenu),
                 QStringList{QStringLiteral("Alt+K: Pro&knjiži, &Knjiženje")});
    }

    void clashingMnemonicsMoveToFreeLettersOfTheirOwnCaptions() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* summary = new QPushButton(QStringLiteral("&Zbirni p."), &window);
        auto* close = new QPushButton(QStringLiteral("&Zatvori"), &window);
        auto* remove = new QPushButton(QStringLiteral("&Izbriši"), &window);
        auto* post = new QPushButton(QStringLiteral("Pro&knjiži"), &window);
        auto* add = new QPushButton(QStringLiteral("&Dodaj"), &window);
        auto* hidden = new QPushButton(QStringLiteral("&Dodatno"), &window);
        for (QWidget* w :
             std::initializer_list<QWidget*>{summary, close, remove, post, add, hidden}) {
            layout->addWidget(w);
        }
        hidden->hide();
        // The menus of the main window hold Alt+I and Alt+K.
        const QList<Mnemonic> menu{{QLatin1Char('i'), QStringLiteral("&Izvještaji")},
                                   {QLatin1Char('k'), QStringLiteral("&Knjiženje")}};
        ResolveMnemonicClashes(&window, menu);
        // "Zatvori" keeps Alt+Z though it comes later; the others move within their captions,
        // never onto a letter another caption carries.
        QCOMPARE(close->text(), QStringLiteral("&Zatvori"));
        QCOMPARE(summary->text(), QStringLiteral("Z&birni p."));
        QCOMPARE(remove->text(), QStringLiteral("Izb&riši"));
        QCOMPARE(post->text(), QStringLiteral("&Proknjiži"));
        QCOMPARE(add->text(), QStringLiteral("&Dodaj"));
        QCOMPARE(hidden->text(), QStringLiteral("&Dodatno"));  // not shown: not in the way
        QList<Mnemonic> all = Mnemonics(&window);
        all.append(menu);
        QVERIFY(MnemonicClashes(all).isEmpty());
        // A caption with no free letter left loses its mnemonic rather than share one.
        QWidget small;
        auto* sl = new QVBoxLayout(&small);
        auto* first = new QPushButton(QStringLiteral("&Ok"), &small);
        auto* second = new QPushButton(QStringLiteral("&Ok"), &small);
        sl->addWidget(first);
        sl->addWidget(second);
        ResolveMnemonicClashes(&small);
        QCOMPARE(first->text(), QStringLiteral("&Ok"));
        QCOMPARE(second->text(), QStringLiteral("O&k"));
        auto* third = new QPushButton(QStringLiteral("&Ok"), &small);
        sl->addWidget(third);
        ResolveMnemonicClashes(&small);
        QCOMPARE(third->text(), QStringLiteral("Ok"));
    }
};

ZODRA_WINDOW_TEST_MAIN(KitKeyboardTest)
#include "KitKeyboardTest.moc"
