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
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Upis novog skladišta"));
        dialog.show();
        Type(dialog.Form(), "ADRESA", QStringLiteral("Riva 1"));
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Naziv je duži od 25 znakova ili nije upisan"));
        Type(dialog.Form(), "NAZIV", QStringLiteral("Dućan Split"));
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Telefon je duži od 25 znakova ili nije upisan"));
        // What was typed is still there; nothing was written.
        QCOMPARE(dialog.Form()->Values().value(QStringLiteral("ADRESA")).toString(),
                 QStringLiteral("Riva 1"));
        QCOMPARE(Count(host.CurrentSession(), QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\"")),
                 1);
        Type(dialog.Form(), "TELEFON", QStringLiteral("021 123"));
        Type(dialog.Form(), "NAZIV", QStringLiteral("Skladište 1"));
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Skladište sa nazivom 'Skladište 1' je već upisano."));
        Type(dialog.Form(), "NAZIV", QStringLiteral("Dućan Split"));
        qobject_cast<QCheckBox*>(dialog.Form()->Editor(QStringLiteral("MALOPRODAJA")))
            ->setChecked(true);
        QVERIFY(dialog.Accept());
        const auto added = dialog.Added();
        QVERIFY(added.has_value());
        QCOMPARE(added->name, QStringLiteral("Dućan Split"));
        Session& s = host.CurrentSession();
        QCOMPARE(
            Count(s,
                  QStringLiteral("SELECT \"MALOPRODAJA\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                  {added->code}),
            1);
        // It sells from its own stock unless told otherwise.
        QCOMPARE(Count(s,
                       QStringLiteral(
                           "SELECT \"SKLADISTE_ZALIHA\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                       {added->code}),
                 added->code);
        QCOMPARE(host.warehouseRefills, 1);
    }

    void listWindowEditsInPlaceWithTheSameChecks() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(
            QStringLiteral("INSERT INTO \"SKLADISTA\" (\"NAZIV\", \"ADRESA\", \"TELEFON\") VALUES "
                           "('Čakovec', 'A', '1'), ('Cres', 'B', '2'), ('Zadar', 'C', '3')"));
        CommandRegistry registry;
        RegisterListWindow window(host, Warehouses(), &registry, WarehouseWindowOptions());
        window.show();
        // Croatian order: C before Č.
        QCOMPARE(Names(window.List()),
                 (QStringList{QStringLiteral("Cres"), QStringLiteral("Čakovec"),
                              QStringLiteral("Skladište 1"), QStringLiteral("Zadar")}));
        window.List()->setCurrentRow(0);
        const int cres = window.CurrentCode();
        Type(window.Form(), "NAZIV", QString());
        QVERIFY(window.Dirty());
        window.List()->setCurrentRow(3);
        // Refused: the window stays on the row with what was typed.
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Naziv je duži od 25 znakova ili nije upisan"));
        QCOMPARE(window.List()->currentRow(), 0);
        QCOMPARE(window.CurrentCode(), cres);
        QCOMPARE(window.Form()->Values().value(QStringLiteral("NAZIV")).toString(), QString());
        QCOMPARE(
            s.Db()
                .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                        {cres})
                .toString(),
            QStringLiteral("Cres"));
        Type(window.Form(), "NAZIV", QStringLiteral("Cres - Otok"));
        window.List()->setCurrentRow(3);
        QCOMPARE(
            s.Db()
                .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                        {cres})
                .toString(),
            QStringLiteral("Cres - Otok"));
        QCOMPARE(window.List()->item(0)->text(), QStringLiteral("Cres - Otok"));
        QCOMPARE(window.Form()->Values().value(QStringLiteral("NAZIV")).toString(),
                 QStringLiteral("Zadar"));
    }

    void deleteAsksBrisanjeAndHonoursTheGuards() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(QStringLiteral(
            "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\") VALUES "
            "(7, 'Prazno', 'A', '1'), (8, 'Puno', 'B', '2')"));
        s.Db().ExecRaw(
            QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\") "
                           "VALUES (8, 2026, 1)"));
        CommandRegistry registry;
        RegisterListWindow window(host, Warehouses(), &registry, WarehouseWindowOptions());
        window.show();
        QVERIFY(window.SelectCode(7));
        host.prompter.AnswerNo();
        window.DeleteCurrent();
        QCOMPARE(host.prompter.Shown().last(),
                 QStringLiteral("Sigurno želite izbrisati skladište Prazno ?"));
        QCOMPARE(Count(s, QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 7")),
                 1);

        QVERIFY(window.SelectCode(8));
        host.prompter.AnswerYes();
        window.DeleteCurrent();
        QCOMPARE(
            host.prompter.LastMessage(),
            QStringLiteral("Nije dozvoljeno brisanje jer za ovo skladište postoje dokumenti."));
        QCOMPARE(Count(s, QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 8")),
                 1);

        QVERIFY(window.SelectCode(7));
        host.prompter.AnswerYes();
        window.DeleteCurrent();
        QCOMPARE(Count(s, QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = 7")),
                 0);
        QVERIFY(!Names(window.List()).contains(QStringLiteral("Prazno")));
        QCOMPARE(host.warehouseRefills, 1);
    }

    void aShortcutAddsAReferencedRowAndSelectsIt() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        CommandRegistry registry;
        BindWarehouseRegister(registry);
        QVERIFY(registry.Has(QStringLiteral("Skladista")));
        // A form whose box names a warehouse, with a shortcut to add one.
        FieldSpec choice;
        choice.key = QStringLiteral("SKLADISTE");
        choice.label = QStringLiteral("Skladište :");
        choice.kind = FieldSpec::Kind::Choice;
        choice.choices = FieldBoxes(Warehouses()).last().choices;
        choice.reference = QStringLiteral("SKLADISTA");
        choice.referenceCaption = QStringLiteral("Novo skladište");
        FieldForm form(host, {choice}, &registry);
        form.show();
        auto* shortcut = form.findChild<QPushButton*>(QStringLiteral("SKLADISTE_novi"));
        QVERIFY(shortcut);
        QTimer::singleShot(0, [] {
            auto* entry = qobject_cast<RegisterEntryDialog*>(QApplication::activeModalWidget());
            QVERIFY(entry);
            QVariantMap v{{QStringLiteral("NAZIV"), QStringLiteral("Novo")},
                          {QStringLiteral("ADRESA"), QStringLiteral("Ulica 2")},
                          {QStringLiteral("TELEFON"), QStringLiteral("099")}};
            entry->Form()->SetValues(v);
            entry->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
        });
        shortcut->click();
        auto* box = qobject_cast<QComboBox*>(form.Editor(QStringLiteral("SKLADISTE")));
        QCOMPARE(box->currentText(), QStringLiteral("Novo"));
        QVERIFY(form.Values().value(QStringLiteral("SKLADISTE")).toInt() > 1);
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

        auto* warehouses =
            qobject_cast<RegisterListWindow*>(host.Open(QStringLiteral("Skladista")));
        QVERIFY(warehouses);
        QCOMPARE(warehouses->windowTitle(), QStringLiteral("Skladišta"));
        QCOMPARE(qobject_cast<QMdiSubWindow*>(warehouses->parentWidget())->windowTitle(),
                 QStringLiteral("Skladišta"));
        QVERIFY(!openEntry(QStringLiteral("SKLADISTA")));
        QCOMPARE(entryTitle, QStringLiteral("Upis novog skladišta"));

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
        QVERIFY(qobject_cast<ArticleWindow*>(host.FindWindow(QStringLiteral("Sifarnici_artikli"))));
        QCOMPARE(host.FindWindow(QStringLiteral("Sifarnici_Tipovi_kartica"))->windowTitle(),
                 QStringLiteral("Tipovi kreditnih kartica"));
        QCOMPARE(entryTitle, QStringLiteral("Upis novog načina isporuke"));
    }
};

ZODRA_WINDOW_TEST_MAIN(RegisterWindowsTest)
#include "RegisterWindowsTest.moc"
