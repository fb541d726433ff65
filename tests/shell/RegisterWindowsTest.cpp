#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/ui/WarehouseRegister.h"
#include "data/Database.h"
#include "registers/Catalogue.h"
#include "registers/ui/ArticleWindow.h"
#include "registers/ui/RegisterCommands.h"
#include "registers/ui/RegisterWindows.h"
#include "support/WindowTest.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;
using namespace zodra::registers::ui;
using zodra::registers::catalogue::Warehouses;

class RegisterWindowsTest : public QObject {
    Q_OBJECT

    static void Type(FieldForm* form, const char* key, const QString& text) {
        auto* box = qobject_cast<QLineEdit*>(form->Editor(QString::fromLatin1(key)));
        QVERIFY(box);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        test::TypeInto(box, text);
    }
    static int Count(Session& s, const QString& sql, const QVariantList& params = {}) {
        return s.Db().Scalar(sql, params).toInt();
    }
    static QStringList Names(QListWidget* list) {
        QStringList names;
        for (int i = 0; i < list->count(); ++i) {
            names << list->item(i)->text();
        }
        return names;
    }

private Q_SLOTS:
    void entryWindowChecksInOrderAndHandsTheNewRowBack() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CommandRegistry registry;
        RegisterEntryDialog dialog(host, Warehouses(), &registry, WarehouseWindowOptions());
        QCOMPARE(dialog.windowTitle(), u"Upis novog skladišta"_s);
        dialog.show();
        Type(dialog.Form(), "ADRESA", u"Riva 1"_s);
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(), u"Naziv je duži od 25 znakova ili nije upisan"_s);
        Type(dialog.Form(), "NAZIV", u"Dućan Split"_s);
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(), u"Telefon je duži od 25 znakova ili nije upisan"_s);
        // What was typed is still there; nothing was written.
        QCOMPARE(dialog.Form()->Values().value(u"ADRESA"_s).toString(), u"Riva 1"_s);
        QCOMPARE(Count(host.CurrentSession(), u"SELECT COUNT(*) FROM \"SKLADISTA\""_s), 1);
        Type(dialog.Form(), "TELEFON", u"021 123"_s);
        Type(dialog.Form(), "NAZIV", u"Skladište 1"_s);
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(),
                 u"Skladište sa nazivom 'Skladište 1' je već upisano."_s);
        Type(dialog.Form(), "NAZIV", u"Dućan Split"_s);
        qobject_cast<QCheckBox*>(dialog.Form()->Editor(u"MALOPRODAJA"_s))->setChecked(true);
        QVERIFY(dialog.Accept());
        const auto added = dialog.Added();
        QVERIFY(added.has_value());
        QCOMPARE(added->name, u"Dućan Split"_s);
        Session& s = host.CurrentSession();
        QCOMPARE(Count(s, u"SELECT \"MALOPRODAJA\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s,
                       {added->code}),
                 1);
        // It sells from its own stock unless told otherwise.
        QCOMPARE(Count(s, u"SELECT \"SKLADISTE_ZALIHA\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s,
                       {added->code}),
                 added->code);
        QCOMPARE(host.warehouseRefills, 1);
    }

    void listWindowEditsInPlaceWithTheSameChecks() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(
            u"INSERT INTO \"SKLADISTA\" (\"NAZIV\", \"ADRESA\", \"TELEFON\") VALUES "
            "('Čakovec', 'A', '1'), ('Cres', 'B', '2'), ('Zadar', 'C', '3')"_s);
        CommandRegistry registry;
        RegisterListWindow window(host, Warehouses(), &registry, WarehouseWindowOptions());
        window.show();
        // Croatian order: C before Č.
        QCOMPARE(Names(window.List()),
                 (QStringList{u"Cres"_s, u"Čakovec"_s, u"Skladište 1"_s, u"Zadar"_s}));
        window.List()->setCurrentRow(0);
        const int cres = window.CurrentCode();
        Type(window.Form(), "NAZIV", QString());
        QVERIFY(window.Dirty());
        window.List()->setCurrentRow(3);
        // Refused: the window stays on the row with what was typed.
        QCOMPARE(host.prompter.LastMessage(), u"Naziv je duži od 25 znakova ili nije upisan"_s);
        QCOMPARE(window.List()->currentRow(), 0);
        QCOMPARE(window.CurrentCode(), cres);
        QCOMPARE(window.Form()->Values().value(u"NAZIV"_s).toString(), QString());
        QCOMPARE(s.Db()
                     .Scalar(u"SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s, {cres})
                     .toString(),
                 u"Cres"_s);
        Type(window.Form(), "NAZIV", u"Cres - Otok"_s);
        window.List()->setCurrentRow(3);
        QCOMPARE(s.Db()
                     .Scalar(u"SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s, {cres})
                     .toString(),
                 u"Cres - Otok"_s);
        QCOMPARE(window.List()->item(0)->text(), u"Cres - Otok"_s);
        QCOMPARE(window.Form()->Values().value(u"NAZIV"_s).toString(), u"Zadar"_s);
    }

    void deleteAsksBrisanjeAndHonoursTheGuards() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(
            u"INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\") VALUES "
            "(7, 'Prazno', 'A', '1'), (8, 'Puno', 'B', '2')"_s);
        s.Db().ExecRaw(
            u"INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\") "
            "VALUES (8, 2026, 1)"_s);
        CommandRegistry registry;
        RegisterListWindow window(host, Warehouses(), &registry, WarehouseWindowOptions());
        window.show();
        QVERIFY(window.SelectCode(7));
        host.prompter.AnswerNo();
        window.DeleteCurrent();
        QCOMPARE(host.prompter.Shown().last(), u"Sigurno želite izbrisati skladište Prazno ?"_s);
        QCOMPARE(Count(s, u"SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 7"_s), 1);

        QVERIFY(window.SelectCode(8));
        host.prompter.AnswerYes();
        window.DeleteCurrent();
        QCOMPARE(host.prompter.LastMessage(),
                 u"Nije dozvoljeno brisanje jer za ovo skladište postoje dokumenti."_s);
        QCOMPARE(Count(s, u"SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 8"_s), 1);

        QVERIFY(window.SelectCode(7));
        host.prompter.AnswerYes();
        window.DeleteCurrent();
        QCOMPARE(Count(s, u"SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 7"_s), 0);
        QVERIFY(!Names(window.List()).contains(u"Prazno"_s));
        QCOMPARE(host.warehouseRefills, 1);
    }

    void aShortcutAddsAReferencedRowAndSelectsIt() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CommandRegistry registry;
        BindWarehouseRegister(registry);
        QVERIFY(registry.Has(u"Skladista"_s));
        // A form whose box names a warehouse, with a shortcut to add one.
        FieldSpec choice;
        choice.key = u"SKLADISTE"_s;
        choice.label = u"Skladište :"_s;
        choice.kind = FieldSpec::Kind::Choice;
        choice.choices = FieldBoxes(Warehouses()).last().choices;
        choice.reference = u"SKLADISTA"_s;
        choice.referenceCaption = u"Novo skladište"_s;
        FieldForm form(host, {choice}, &registry);
        form.show();
        auto* shortcut = form.findChild<QPushButton*>(u"SKLADISTE_novi"_s);
        QVERIFY(shortcut);
        QTimer::singleShot(0, [] {
            auto* entry = qobject_cast<RegisterEntryDialog*>(QApplication::activeModalWidget());
            QVERIFY(entry);
            QVariantMap v{
                {u"NAZIV"_s, u"Novo"_s}, {u"ADRESA"_s, u"Ulica 2"_s}, {u"TELEFON"_s, u"099"_s}};
            entry->Form()->SetValues(v);
            entry->findChild<QPushButton*>(u"Prihvati"_s)->click();
        });
        shortcut->click();
        auto* box = qobject_cast<QComboBox*>(form.Editor(u"SKLADISTE"_s));
        QCOMPARE(box->currentText(), u"Novo"_s);
        QVERIFY(form.Values().value(u"SKLADISTE"_s).toInt() > 1);
    }
    void listAndEntryWindowsCarryTheCaptionsOfTheirDescription() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CommandRegistry registry;
        RegisterRegisterCommands(registry);
        BindWarehouseRegister(registry);
        host.registry = &registry;
        QString entryTitle;
        QStringList cutTitles;  // entry windows narrower than their title
        const auto openEntry = [&](const QString& table) {
            entryTitle.clear();
            test::WhenShown<RegisterEntryDialog>(
                [&entryTitle, &cutTitles](RegisterEntryDialog* dialog) {
                    entryTitle = dialog->windowTitle();
                    if (dialog->width() < dialog->fontMetrics().horizontalAdvance(entryTitle) +
                                              8 * dialog->fontMetrics().averageCharWidth()) {
                        cutTitles << entryTitle;
                    }
                    dialog->reject();
                });
            return registry.OpenEntry(table, host, nullptr);
        };

        auto* warehouses = qobject_cast<RegisterListWindow*>(host.Open(u"Skladista"_s));
        QVERIFY(warehouses);
        QCOMPARE(warehouses->windowTitle(), u"Skladišta"_s);
        QCOMPARE(qobject_cast<QMdiSubWindow*>(warehouses->parentWidget())->windowTitle(),
                 u"Skladišta"_s);
        QVERIFY(!openEntry(u"SKLADISTA"_s));
        QCOMPARE(entryTitle, u"Upis novog skladišta"_s);

        // Every register of the catalogue: its command shows its list window (the articles'
        // window of their own included) under the list caption, its entry window opened by
        // table name shows the entry caption.
        for (const registers::RegisterDescription* d : registers::catalogue::All()) {
            host.RunCommand(d->command);
            test::Settle();
            QWidget* list = host.FindWindow(d->command);
            QVERIFY2(list, qPrintable(d->command));
            QCOMPARE(list->windowTitle(), d->listCaption);
            QVERIFY(!openEntry(d->table));
            QCOMPARE(entryTitle, d->entryCaption);
        }
        QVERIFY2(cutTitles.isEmpty(), qPrintable(cutTitles.join(u", ")));
        QVERIFY(qobject_cast<ArticleWindow*>(host.FindWindow(u"Sifarnici_artikli"_s)));
        QCOMPARE(host.FindWindow(u"Sifarnici_Tipovi_kartica"_s)->windowTitle(),
                 u"Tipovi kreditnih kartica"_s);
        QCOMPARE(entryTitle, u"Upis novog načina isporuke"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(RegisterWindowsTest)
#include "RegisterWindowsTest.moc"
