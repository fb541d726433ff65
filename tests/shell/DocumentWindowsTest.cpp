#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "app/ui/DataGrid.h"
#include "app/ui/DateBox.h"
#include "app/ui/DocumentWindows.h"
#include "app/ui/NumberBox.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "support/WindowTest.h"

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
