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

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;

namespace {

const QString kInvalidNumber =
    u"Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu."_s;

void Show(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Lays the widgets out one below the other in `parent`.
void Stack(QWidget* parent, std::initializer_list<QWidget*> widgets) {
    auto* layout = new QVBoxLayout(parent);
    for (QWidget* w : widgets) {
        layout->addWidget(w);
    }
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
        auto* button = MakeButton(u"&Upis broja"_s, u"UpisBroja"_s, &window);
        Stack(&window, {new QLineEdit(&window), button});
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
        auto* ok = new QPushButton(u"Prihvati"_s, &dialog);
        ok->setAutoDefault(false);
        Stack(&dialog, {new QLineEdit(&dialog), ok});
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
        registry.RegisterEntry(u"GRUPE_A"_s,
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
        group.choices = [](Session&) { return QList<Choice>{{u"Roba"_s, 1}}; };
        group.reference = u"GRUPE_A"_s;
        group.referenceCaption = u"Nova grupa"_s;
        FieldSpec note = field("NAPOMENA", "Napomena :");
        QDialog dialog;
        auto* form = new FieldForm(host, {name, group, note}, &registry, &dialog);
        auto* row = new DialogButtonRow(&dialog);
        Stack(&dialog, {form, row});
        Show(dialog);
        auto* shortcut = dialog.findChild<QPushButton*>(u"GRUPA_novi"_s);
        QVERIFY(shortcut);
        QCOMPARE(shortcut->text(), u"Nova grupa"_s);
        QVERIFY(IsShortcutButton(shortcut));
        QVERIFY(!IsShortcutButton(row->AcceptButton()));

        form->Editor(u"NAZIV"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->Editor(u"GRUPA"_s));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->Editor(u"NAPOMENA"_s));
        // From the last field Enter lands on "Prihvati" (no shortcut button), and presses it.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), row->AcceptButton());
        QSignalSpy accepted(row->AcceptButton(), &QPushButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
        // Tab is not Enter: it stops at the shortcut button.
        form->Editor(u"GRUPA"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), shortcut);
    }

    void theAcceptCancelRowIsTheSameEverywhere() {
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        auto* row = new DialogButtonRow(&dialog);
        Stack(&dialog, {field, row});
        QCOMPARE(row->AcceptButton()->text(), u"&Prihvati"_s);
        QCOMPARE(row->AcceptButton()->objectName(), u"Prihvati"_s);
        QCOMPARE(row->CancelButton()->text(), u"&Odustani"_s);
        QCOMPARE(row->CancelButton()->objectName(), u"Odustani"_s);
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
        auto* ownField = new QLineEdit(&own);
        auto* ownRow = new DialogButtonRow(&own, DialogButtonRow::Buttons::AcceptAndOwnCancel);
        Stack(&own, {ownField, ownRow});
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
        auto* wf = new QLineEdit(&window);
        Stack(&window, {wf, new DialogButtonRow(&window)});
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
        layout->addRow(u"Broj"_s, box);
        layout->addRow(u"Dalje"_s, next);
        Show(window);
        QSignalSpy edited(box, &NumberBox::valueEdited);
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, u"1e5"_s);
        // No message at the "e", and nothing passed on that is not a number.
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(edited.count(), 1);  // the "1"
        QCOMPARE(edited.at(0).at(0).toDouble(), 1.0);
        QCOMPARE(box->Value(), 0.0);
        // Enter leaves the box: one message, "0", and the focus back in the box.
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        QCOMPARE(p.Messages(), QStringList{kInvalidNumber});
        QCOMPARE(box->text(), u"0"_s);
        QCOMPARE(edited.last().at(0).toDouble(), 0.0);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->selectedText(), u"0"_s);

        // A good number leaves quietly by Tab as by Enter.
        p.Clear();
        QTest::keyClicks(box, u"-12,5"_s);
        QTest::keyClick(box, Qt::Key_Tab);
        test::Settle();
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(QApplication::focusWidget(), next);
        QCOMPARE(box->Value(), -12.5);

        // A number beyond the box's kind is refused the same way, when left.
        box->SetLimit(limits::NumberKind::Price, u"Cijena"_s);
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, u"-3"_s);
        QVERIFY(p.Messages().isEmpty());
        next->setFocus();
        test::Settle();
        QCOMPARE(p.Messages(), QStringList{u"Cijena nesmije biti negativna !"_s});
        QCOMPARE(box->Value(), 0.0);
        QCOMPARE(QApplication::focusWidget(), box);

        // Commit checks a box the user is still in, for a window acting on a shortcut key.
        p.Clear();
        box->setText(u"12a"_s);
        QVERIFY(!box->Commit());
        QCOMPARE(p.Messages(), QStringList{kInvalidNumber});
        box->setText(u"12,"_s);
        QVERIFY(box->Commit());
        QCOMPARE(box->Value(), 12.0);
        // A value set by the window shows with the decimals asked for.
        box->SetValue(1234.5, 2);
        QCOMPARE(box->text(), u"1234,50"_s);
    }

    void aRefusedNumberInAFormIsTakenAsZeroWhenLeftAgain() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        FieldSpec quantity;
        quantity.key = u"KOLICINA"_s;
        quantity.label = u"Količina :"_s;
        quantity.kind = FieldSpec::Kind::Number;
        quantity.initial = 5.0;
        FieldSpec note;
        note.key = u"NAPOMENA"_s;
        note.label = u"Napomena :"_s;
        FieldForm form(host, {quantity, note}, nullptr);
        Show(form);
        QSignalSpy committed(&form, &FieldForm::committed);
        QWidget* box = form.Editor(u"KOLICINA"_s);
        box->setFocus();
        test::Settle();
        QTest::keyClicks(box, u"1e5"_s);
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        // Refused: one message, the focus back, nothing written yet.
        QCOMPARE(host.prompter.Messages(), QStringList{kInvalidNumber});
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(committed.count(), 0);
        // Left again as it stands: the 0 is what the window writes.
        QTest::keyClick(box, Qt::Key_Return);
        test::Settle();
        QCOMPARE(QApplication::focusWidget(), form.Editor(u"NAPOMENA"_s));
        QCOMPARE(committed.count(), 1);
        QCOMPARE(committed.at(0).at(0).toString(), u"KOLICINA"_s);
        QCOMPARE(form.Values().value(u"KOLICINA"_s).toDouble(), 0.0);
        QCOMPARE(host.prompter.Messages().size(), 1);
    }

    void aWindowShownGetsTheFocusInItsFirstField() {
        // The field the window chose in its constructor.
        QWidget area;
        auto* chosen = new QWidget(&area);
        auto* a = new QLineEdit(chosen);  // first in tab order, not the one chosen
        auto* b = new QLineEdit(chosen);
        Stack(chosen, {a, b});
        b->setFocus();
        // Else the first field in tab order: a read-only box and a button are no fields.
        auto* plain = new QWidget(&area);
        auto* button = new QPushButton(u"Osvježi"_s, plain);
        auto* shown = new QLineEdit(plain);
        shown->setReadOnly(true);
        auto* check = new QCheckBox(u"Samo aktivni"_s, plain);
        Stack(plain, {button, shown, check});
        Stack(&area, {chosen, plain});
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
        auto* summary = new QPushButton(u"&Zbirni p."_s, &window);
        auto* close = new QPushButton(u"&Zatvori"_s, &window);
        auto* post = new QPushButton(u"Pro&knjiži"_s, &window);
        auto* both = new QPushButton(u"Ispis && slanje"_s, &window);
        auto* label = new QLabel(u"&Partner :"_s, &window);
        auto* partner = new QLineEdit(&window);
        label->setBuddy(partner);
        auto* free = new QLabel(u"&Napomena"_s, &window);  // no buddy: no key
        auto* group = new QGroupBox(u"&Plaćanje"_s, &window);
        Stack(&window, {summary, close, post, both, label, partner, free, group});
        QCOMPARE(MnemonicOf(u"Pro&knjiži"_s), std::optional<QChar>(QLatin1Char('k')));
        QCOMPARE(MnemonicOf(u"Ispis && slanje"_s), std::optional<QChar>());
        QCOMPARE(MnemonicClashes(&window), (QStringList{u"Alt+P: &Partner :, &Plaćanje"_s,
                                                        u"Alt+Z: &Zbirni p., &Zatvori"_s}));
        // What is hidden in the window does not answer its Alt keys; the menu's letters count
        // with the window's when the caller adds them.
        group->hide();
        summary->setText(u"Z&birni p."_s);
        QVERIFY(MnemonicClashes(&window).isEmpty());
        QList<Mnemonic> withMenu = Mnemonics(&window);
        withMenu.append({QLatin1Char('k'), u"&Knjiženje"_s});
        QCOMPARE(MnemonicClashes(withMenu), QStringList{u"Alt+K: Pro&knjiži, &Knjiženje"_s});
    }

    void clashingMnemonicsMoveToFreeLettersOfTheirOwnCaptions() {
        QWidget window;
        auto* summary = new QPushButton(u"&Zbirni p."_s, &window);
        auto* close = new QPushButton(u"&Zatvori"_s, &window);
        auto* remove = new QPushButton(u"&Izbriši"_s, &window);
        auto* post = new QPushButton(u"Pro&knjiži"_s, &window);
        auto* add = new QPushButton(u"&Dodaj"_s, &window);
        auto* hidden = new QPushButton(u"&Dodatno"_s, &window);
        Stack(&window, {summary, close, remove, post, add, hidden});
        hidden->hide();
        // The menus of the main window hold Alt+I and Alt+K.
        const QList<Mnemonic> menu{{QLatin1Char('i'), u"&Izvještaji"_s},
                                   {QLatin1Char('k'), u"&Knjiženje"_s}};
        ResolveMnemonicClashes(&window, menu);
        // "Zatvori" keeps Alt+Z though it comes later; the others move within their captions,
        // never onto a letter another caption carries.
        QCOMPARE(close->text(), u"&Zatvori"_s);
        QCOMPARE(summary->text(), u"Z&birni p."_s);
        QCOMPARE(remove->text(), u"Izb&riši"_s);
        QCOMPARE(post->text(), u"&Proknjiži"_s);
        QCOMPARE(add->text(), u"&Dodaj"_s);
        QCOMPARE(hidden->text(), u"&Dodatno"_s);  // not shown: not in the way
        QList<Mnemonic> all = Mnemonics(&window);
        all.append(menu);
        QVERIFY(MnemonicClashes(all).isEmpty());
        // A caption with no free letter left loses its mnemonic rather than share one.
        QWidget small;
        auto* first = new QPushButton(u"&Ok"_s, &small);
        auto* second = new QPushButton(u"&Ok"_s, &small);
        Stack(&small, {first, second});
        ResolveMnemonicClashes(&small);
        QCOMPARE(first->text(), u"&Ok"_s);
        QCOMPARE(second->text(), u"O&k"_s);
        auto* third = new QPushButton(u"&Ok"_s, &small);
        small.layout()->addWidget(third);
        ResolveMnemonicClashes(&small);
        QCOMPARE(third->text(), u"Ok"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(KitKeyboardTest)
#include "KitKeyboardTest.moc"
