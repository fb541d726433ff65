#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "data/Database.h"
#include "data/Errors.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::ui;

namespace {

// An example document over the issue note's tables. The operations stand in for a subsystem's
// core code; the test is about the windows.
struct Example {
    std::shared_ptr<DocumentDescription> d = std::make_shared<DocumentDescription>();
    QList<DocumentHeader> posted;
    int nextArticle = 1;
    bool refuse = false;

    Example() {
        d->command = QStringLiteral("Knjizenje_izdatnica");
        d->caption = QStringLiteral("Izdatnica");
        d->abandonQuestion = QStringLiteral("Želite li odustati od izdatnice?");
        d->listCommand = QStringLiteral("Pregledi_izdatnice");
        d->listCaption = QStringLiteral("Izdatnice");
        d->postedCaption = QStringLiteral("Izdatnica br.");
        d->deleteQuestion = QStringLiteral("Želite li izbrisati izdatnicu!");
        d->nextNumber = [](Session& s) {
            return s.Db()
                .Scalar(QStringLiteral("SELECT COALESCE(MAX(\"BROJ\"), 0) + 1 FROM "
                                       "\"IZDATNICE\" WHERE \"SKLADISTE\" = ?"),
                        {s.activeWarehouse.code})
                .toInt();
        };
        d->workingLines = [](Session& s) {
            return ReadTable(s.Db(),
                             QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\" "
                                            "FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                            "\"Multiuser_sifra\" = ? ORDER BY ROWID"),
                             {s.sessionCode},
                             {{QStringLiteral("Artikal"), TableColumn::Format::Integer},
                              {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                              {QStringLiteral("Cijena"), TableColumn::Format::Money}});
        };
        d->addLine = [this](WindowHost& host, QWidget*) {
            Session& s = host.CurrentSession();
            s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                       "(\"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\", "
                                       "\"Multiuser_sifra\") VALUES (?, 2, 1234.5, ?)"),
                        {nextArticle++, s.sessionCode});
            return true;
        };
        d->deleteLine = [](Session& s, int row) {
            s.Db().Exec(QStringLiteral("DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE ROWID = "
                                       "(SELECT ROWID FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                       "\"Multiuser_sifra\" = ? ORDER BY ROWID LIMIT 1 OFFSET ?)"),
                        {s.sessionCode, row});
        };
        d->clearWorkingCopy = [](Session& s) {
            s.Db().Exec(QStringLiteral("DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                       "\"Multiuser_sifra\" = ?"),
                        {s.sessionCode});
        };
        d->totals = [](Session& s) {
            return QStringLiteral("Stavki: %1")
                .arg(s.Db()
                         .Scalar(
                             QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                            "WHERE \"Multiuser_sifra\" = ?"),
                             {s.sessionCode})
                         .toInt());
        };
        d->post = [this](WindowHost& host, const DocumentHeader& h) {
            if (refuse) {
                throw UserError(QStringLiteral("Nedovoljna količina artikla Čaj"));
            }
            Session& s = host.CurrentSession();
            s.Db().Exec(QStringLiteral("INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", "
                                       "\"BROJ\", \"DATUM\", \"OPIS\") VALUES (?, ?, ?, ?, ?)"),
                        {s.activeWarehouse.code, s.businessYear, h.number, h.date, h.description});
            d->clearWorkingCopy(s);
            posted << h;
            return PostResult{
                h.number, QStringLiteral("Izdatnica je proknjižena pod brojem %1").arg(h.number)};
        };
        d->postedDocuments = [](Session& s) {
            return ReadTable(s.Db(),
                             QStringLiteral("SELECT \"BROJ\", \"DATUM\", \"OPIS\" FROM "
                                            "\"IZDATNICE\" ORDER BY \"BROJ\""),
                             {},
                             {{QStringLiteral("Broj"), TableColumn::Format::Integer},
                              {QStringLiteral("Datum"), TableColumn::Format::Date},
                              {QStringLiteral("Opis"), TableColumn::Format::Text}});
        };
        d->postedSummary = [](Session&, const QVariant& key) {
            return QStringLiteral("Izdatnica %1").arg(key.toInt());
        };
        d->deletePosted = [](WindowHost& host, const QVariant& key) {
            host.CurrentSession().Db().Exec(
                QStringLiteral("DELETE FROM \"IZDATNICE\" WHERE \"BROJ\" = ?"), {key});
        };
    }
};

int WorkingLines(Session& s) {
    return s.Db()
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                               "\"Multiuser_sifra\" = ?"),
                {s.sessionCode})
        .toInt();
}

}  // namespace

class DocumentWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesAreAddedAndDeletedOnTheWorkingCopy() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        CommandRegistry registry;
        BindDocument(registry, ex.d);
        host.registry = &registry;
        host.RunCommand(QStringLiteral("Knjizenje_izdatnica"));
        auto* window = qobject_cast<DocumentWindow*>(host.LastWindow());
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Izdatnica"));
        QCOMPARE(window->NumberField()->Value(), 1.0);
        QVERIFY(window->NumberField()->isReadOnly());
        window->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->click();
        window->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->click();
        QCOMPARE(window->Lines()->Data().RowCount(), 2);
        QCOMPARE(window->Lines()->model()->index(0, 2).data().toString(),
                 QStringLiteral("1.234,50"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Ukupno"))->text(),
                 QStringLiteral("Stavki: 2"));
        window->Lines()->SelectRow(0);
        window->findChild<QPushButton*>(QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(window->Lines()->Data().RowCount(), 1);
        QCOMPARE(window->Lines()->Data().Value(0, 0).toInt(), 2);
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        // Opening the command again brings the same window forward.
        host.RunCommand(QStringLiteral("Knjizenje_izdatnica"));
        QCOMPARE(host.area.subWindowList().size(), 1);
    }

    void postingTakesTheHeaderAndARefusalKeepsEverything() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        CommandRegistry registry;
        DocumentWindow* window = ShowDocumentWindow(host, ex.d, &registry);
        window->AddLine();
        window->findChild<QPushButton*>(QStringLiteral("UpisBroja"))->click();
        QVERIFY(!window->NumberField()->isReadOnly());
        window->NumberField()->setText(QStringLiteral("8"));
        window->DateField()->setText(QStringLiteral("2.3.2026"));
        window->DescriptionField()->setText(QStringLiteral("Za servis"));
        window->PrintBox()->setChecked(false);

        ex.refuse = true;
        QVERIFY(!window->Post());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nedovoljna količina artikla Čaj"));
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        QCOMPARE(window->DescriptionField()->text(), QStringLiteral("Za servis"));

        ex.refuse = false;
        QVERIFY(window->Post());
        QCOMPARE(ex.posted.size(), 1);
        QCOMPARE(ex.posted[0].number, 8);
        QCOMPARE(ex.posted[0].date, QDate(2026, 3, 2));
        QCOMPARE(ex.posted[0].description, QStringLiteral("Za servis"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Izdatnica je proknjižena pod brojem 8"));
        // Ready for the next document.
        QCOMPARE(window->Lines()->Data().RowCount(), 0);
        QCOMPARE(window->NumberField()->Value(), 9.0);
        QVERIFY(window->NumberField()->isReadOnly());
        QVERIFY(window->DescriptionField()->text().isEmpty());
    }

    void closingWithLinesAsksAndNoKeepsTheWindow() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        DocumentWindow* window = ShowDocumentWindow(host, ex.d, nullptr);
        window->AddLine();
        host.prompter.AnswerNo();
        host.area.closeAllSubWindows();
        test::Settle();
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li odustati od izdatnice?"));
        QCOMPARE(host.area.subWindowList().size(), 1);
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        host.prompter.AnswerYes();
        host.area.closeAllSubWindows();
        test::Settle();
        QCOMPARE(host.area.subWindowList().size(), 0);
        QCOMPARE(WorkingLines(host.CurrentSession()), 0);
    }

    void furtherOptionsOfTheDocumentWindow() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        FieldSpec partner;
        partner.key = QStringLiteral("PARTNER");
        partner.label = QStringLiteral("Partner :");
        ex.d->headerFields = {partner};
        ex.d->addLineCaption = QStringLiteral("&Artikli");
        ex.d->deleteLineCaption = QStringLiteral("&Brisanje");
        ex.d->checkBeforeLines = [](const DocumentHeader& h) {
            if (h.extra.value(QStringLiteral("PARTNER")).toString().isEmpty()) {
                throw FieldError(QStringLiteral("PARTNER"),
                                 QStringLiteral("Nije upisan partner !"));
            }
        };
        int ran = 0;
        ex.d->actions = {DocumentAction{QStringLiteral("&Zbirno"), QStringLiteral("Zbirno"),
                                        [&ran](WindowHost&, QWidget*) {
                                            ++ran;
                                            return true;
                                        },
                                        true}};
        ex.d->deleteLineQuestion = [](Session&, int row) {
            return QStringLiteral("Izbrisati stavku %1 ?").arg(row + 1);
        };
        ex.d->numberInvalidMessage = QStringLiteral("Nije ispravno upisan broj !");
        ex.d->checkNumber = [](Session&, const QString& typed) {
            if (typed == QLatin1String("3")) {
                throw UserError(QStringLiteral("Broj 3 je već upisan !"));
            }
        };
        QStringList changes;
        ex.d->headerChanged = [&changes](WindowHost&, const DocumentHeader& h) {
            changes << h.extra.value(QStringLiteral("PARTNER")).toString() + QStringLiteral("/") +
                           QString::number(h.number);
        };
        ex.d->editableColumn = 0;
        ex.d->editCell = [](Session& s, int, const QVariant& value) {
            s.Db().Exec(QStringLiteral("UPDATE \"STAVKE_IZDATNICA_PRIVREMENO\" SET "
                                       "\"SIFRA_ARTIKLA\" = ?"),
                        {value.toInt()});
        };
        ex.d->readOnlyCellMessage = QStringLiteral("Mijenjati možete samo šifru.");
        bool answerNo = true;
        ex.d->post = [&answerNo](WindowHost&, const DocumentHeader&) {
            // The user answered No to a question of the posting: not posted.
            return answerNo ? PostResult{QVariant(), QString()}
                            : PostResult{1, QStringLiteral("Proknjiženo")};
        };
        DocumentWindow* window = ShowDocumentWindow(host, ex.d, nullptr);
        QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->text(),
                 QStringLiteral("&Artikli"));
        QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("BrisanjeStavke"))->text(),
                 QStringLiteral("&Brisanje"));

        // Lines need the partner first; the focus goes to its box. The action that adds lines
        // is held back too.
        window->AddLine();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije upisan partner !"));
        QCOMPARE(WorkingLines(host.CurrentSession()), 0);
        window->ActionButton(QStringLiteral("Zbirno"))->click();
        QCOMPARE(ran, 0);
        auto* partnerBox =
            qobject_cast<QLineEdit*>(window->Extra()->Editor(QStringLiteral("PARTNER")));
        partnerBox->setFocus();
        test::TypeInto(partnerBox, QStringLiteral("Kod Ane's"));
        Q_EMIT partnerBox->editingFinished();
        QCOMPARE(changes, QStringList{QStringLiteral("Kod Ane's/1")});
        window->AddLine();
        window->AddLine();
        window->ActionButton(QStringLiteral("Zbirno"))->click();
        QCOMPARE(ran, 1);
        QCOMPARE(WorkingLines(host.CurrentSession()), 2);

        // Deleting asks first; No keeps the line.
        window->Lines()->SelectRow(1);
        host.prompter.AnswerNo();
        window->DeleteLine();
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Izbrisati stavku 2 ?"));
        QCOMPARE(WorkingLines(host.CurrentSession()), 2);

        // Only the editable column is edited in place.
        window->Lines()->setCurrentIndex(window->Lines()->model()->index(0, 1));
        QTest::keyClick(window->Lines(), Qt::Key_F2);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Mijenjati možete samo šifru."));
        window->Lines()->model()->setData(window->Lines()->model()->index(0, 0), 77, Qt::EditRole);
        test::Settle();
        QCOMPARE(window->Lines()->Data().Value(0, 0).toInt(), 77);

        // The typed number is checked when its box is left: refused, the proposal comes back.
        window->FreeNumber();
        window->NumberField()->selectAll();
        test::TypeInto(window->NumberField(), QStringLiteral("a"));
        QVERIFY(!window->NumberField()->Commit());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        window->NumberField()->setText(QStringLiteral("3"));
        Q_EMIT window->NumberField()->editingFinished();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Broj 3 je već upisan !"));
        QCOMPARE(window->NumberField()->text(), QStringLiteral("1"));
        window->NumberField()->setText(QStringLiteral("4"));
        Q_EMIT window->NumberField()->editingFinished();
        QCOMPARE(changes.last(), QStringLiteral("Kod Ane's/4"));

        // A posting answered No leaves the window as it was, without a message.
        host.prompter.Clear();
        QVERIFY(!window->Post());
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(window->Lines()->Data().RowCount(), 2);
        QCOMPARE(window->NumberField()->text(), QStringLiteral("4"));
        answerNo = false;
        QVERIFY(window->Post());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Proknjiženo"));
    }

    void aPostedDocumentUnderCorrectionAndTheListsFurtherOptions() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(QStringLiteral(
            "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"));
        // Correction: the posted header, no number to type, no posting, closing asks nothing.
        auto correction = std::make_shared<DocumentDescription>(*ex.d);
        correction->command = QStringLiteral("Izdatnica_4");
        correction->post = nullptr;
        correction->numberEditable = false;
        correction->abandonQuestion.clear();
        correction->initialHeader = [](Session&) -> std::optional<DocumentHeader> {
            DocumentHeader h;
            h.number = 4;
            h.date = QDate(2026, 3, 2);
            h.description = QStringLiteral("Za servis");
            return h;
        };
        DocumentWindow* window = ShowDocumentWindow(host, correction, nullptr);
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("Proknjizi")));
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("UpisBroja")));
        QCOMPARE(window->NumberField()->text(), QStringLiteral("4"));
        QCOMPARE(window->DateField()->Date(), QDate(2026, 3, 2));
        QCOMPARE(window->DescriptionField()->text(), QStringLiteral("Za servis"));
        window->AddLine();
        host.prompter.Clear();
        host.area.closeAllSubWindows();
        test::Settle();
        QVERIFY(host.prompter.Shown().isEmpty());
        QCOMPARE(host.area.subWindowList().size(), 0);

        // The list: details of the selected document, totals, a further button, the table.
        QStringList run;
        ex.d->listDetails = [](Session&, const QVariant& key) {
            return QStringLiteral("Izdatnica broj %1").arg(key.toInt());
        };
        ex.d->listTotals = [](Session&) { return QStringLiteral("Ukupno 2"); };
        ex.d->listActions = {
            ListAction{QStringLiteral("&Ispravak"), QStringLiteral("Ispravak"),
                       [&run](WindowHost&, const QVariant& key) { run << key.toString(); }, false}};
        ex.d->tableCaption = QStringLiteral("Izdatnice - tablica");
        ex.d->tableRows = ex.d->postedDocuments;
        ex.d->tableTotals = [](Session&) { return QStringLiteral("Svega 2"); };
        PostedDocumentsWindow* list = ShowPostedDocuments(host, ex.d);
        list->Documents()->SelectRow(1);
        QCOMPARE(list->Details()->text(), QStringLiteral("Izdatnica broj 5"));
        QCOMPARE(list->Totals()->text(), QStringLiteral("Ukupno 2"));
        list->findChild<QPushButton*>(QStringLiteral("Ispravak"))->click();
        QCOMPARE(run, QStringList{QStringLiteral("5")});
        list->OpenTable();
        auto* table = qobject_cast<DocumentTableView*>(host.LastWindow());
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), QStringLiteral("Izdatnice - tablica"));
        QCOMPARE(table->Table()->Data().RowCount(), 2);
        QCOMPARE(table->Totals()->text(), QStringLiteral("Svega 2"));
    }

    void postedDocumentsOpenAndDeleteAfterTheQuestion() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Example ex;
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(QStringLiteral(
            "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"));
        PostedDocumentsWindow* list = ShowPostedDocuments(host, ex.d);
        QCOMPARE(list->windowTitle(), QStringLiteral("Izdatnice"));
        QCOMPARE(list->Documents()->Data().RowCount(), 2);
        list->Documents()->SelectRow(1);
        list->OpenCurrent();
        QCOMPARE(host.LastWindow()->windowTitle(), QStringLiteral("Izdatnica br.5"));
        QCOMPARE(host.LastWindow()->findChild<QLabel*>(QStringLiteral("Zaglavlje"))->text(),
                 QStringLiteral("Izdatnica 5"));

        list->Documents()->SelectRow(0);
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li izbrisati izdatnicu!"));
        QCOMPARE(list->Documents()->Data().RowCount(), 2);
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(list->Documents()->Data().RowCount(), 1);
        QCOMPARE(list->CurrentKey().toInt(), 5);
    }
};

ZODRA_WINDOW_TEST_MAIN(DocumentWindowsTest)
#include "DocumentWindowsTest.moc"
