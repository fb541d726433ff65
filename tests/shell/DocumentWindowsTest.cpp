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

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;

namespace {

// What the example documents write beside the tables, and how the test steers them.
struct Ledger {
    QList<DocumentHeader> posted;
    int nextArticle = 1;
    bool refuse = false;
};

void ClearIssueLines(Session& s) {
    s.Db().Exec(
        u"DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
        "\"Multiuser_sifra\" = ?"_s,
        {s.sessionCode});
}

TableData IssueNotes(Session& s) {
    return ReadTable(s.Db(),
                     u"SELECT \"BROJ\", \"DATUM\", \"OPIS\" FROM "
                     "\"IZDATNICE\" ORDER BY \"BROJ\""_s,
                     {},
                     {{u"Broj"_s, TableColumn::Format::Integer},
                      {u"Datum"_s, TableColumn::Format::Date},
                      {u"Opis"_s, TableColumn::Format::Text}});
}

// An example document over the issue note's tables. The operations stand in for a subsystem's
// core code; the test is about the windows. Everything else keeps the controller's defaults.
class IssueController : public DocumentController {
public:
    explicit IssueController(Ledger& ledger) : m_ledger(ledger) {}

    QString Command() const override { return u"Knjizenje_izdatnica"_s; }
    QString Caption() const override { return u"Izdatnica"_s; }
    QString AbandonQuestion() const override { return u"Želite li odustati od izdatnice?"_s; }
    bool CanPost() const override { return true; }

    int NextNumber(Session& s) override {
        return s.Db()
            .Scalar(
                u"SELECT COALESCE(MAX(\"BROJ\"), 0) + 1 FROM "
                "\"IZDATNICE\" WHERE \"SKLADISTE\" = ?"_s,
                {s.activeWarehouse.code})
            .toInt();
    }
    TableData WorkingLines(Session& s) override {
        return ReadTable(s.Db(),
                         u"SELECT \"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\" "
                         "FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                         "\"Multiuser_sifra\" = ? ORDER BY ROWID"_s,
                         {s.sessionCode},
                         {{u"Artikal"_s, TableColumn::Format::Integer},
                          {u"Količina"_s, TableColumn::Format::Quantity},
                          {u"Cijena"_s, TableColumn::Format::Money}});
    }
    bool AddLine(WindowHost& host, QWidget*, const DocumentHeader&) override {
        Session& s = host.CurrentSession();
        s.Db().Exec(
            u"INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" "
            "(\"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\", "
            "\"Multiuser_sifra\") VALUES (?, 2, 1234.5, ?)"_s,
            {m_ledger.nextArticle++, s.sessionCode});
        return true;
    }
    void DeleteLine(Session& s, int row) override {
        s.Db().Exec(
            u"DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE ROWID = "
            "(SELECT ROWID FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
            "\"Multiuser_sifra\" = ? ORDER BY ROWID LIMIT 1 OFFSET ?)"_s,
            {s.sessionCode, row});
    }
    void ClearWorkingCopy(Session& s) override { ClearIssueLines(s); }
    QString Totals(Session& s) override {
        return u"Stavki: %1"_s.arg(
            s.Db()
                .Scalar(u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                        "WHERE \"Multiuser_sifra\" = ?"_s,
                        {s.sessionCode})
                .toInt());
    }
    PostResult Post(WindowHost& host, const DocumentHeader& h) override {
        if (m_ledger.refuse) {
            throw UserError(u"Nedovoljna količina artikla Čaj"_s);
        }
        Session& s = host.CurrentSession();
        s.Db().Exec(
            u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ\", \"DATUM\", \"OPIS\") VALUES (?, ?, ?, ?, ?)"_s,
            {s.activeWarehouse.code, s.businessYear, h.number, h.date, h.description});
        ClearIssueLines(s);
        m_ledger.posted << h;
        return PostResult{h.number, u"Izdatnica je proknjižena pod brojem %1"_s.arg(h.number)};
    }

protected:
    Ledger& m_ledger;
};

// The same document with every further option of the document window.
class FurtherIssueController : public IssueController {
public:
    struct Seen {
        int ran = 0;             // "Zbirno" pressed
        QStringList changes;     // header changes: partner "/" number
        bool answerNo = true;    // the posting's question answered No
        QStringList actionsRun;  // object names
    };
    FurtherIssueController(Ledger& ledger, Seen& seen) : IssueController(ledger), m_seen(seen) {}

    QList<FieldSpec> HeaderFields() const override {
        FieldSpec partner;
        partner.key = u"PARTNER"_s;
        partner.label = u"Partner :"_s;
        return {partner};
    }
    QString AddLineCaption() const override { return u"&Artikli"_s; }
    QString DeleteLineCaption() const override { return u"&Brisanje"_s; }
    QList<DocumentAction> Actions() const override {
        return {DocumentAction{u"&Zbirno"_s, u"Zbirno"_s, true}};
    }
    bool RunAction(const QString& objectName, WindowHost&, QWidget*,
                   const DocumentHeader&) override {
        m_seen.actionsRun << objectName;
        ++m_seen.ran;
        return true;
    }
    void CheckBeforeLines(const DocumentHeader& h) override {
        if (h.extra.value(u"PARTNER"_s).toString().isEmpty()) {
            throw FieldError(u"PARTNER"_s, u"Nije upisan partner !"_s);
        }
    }
    QString DeleteLineQuestion(Session&, int row) override {
        return u"Izbrisati stavku %1 ?"_s.arg(row + 1);
    }
    QString NumberInvalidMessage() const override { return u"Nije ispravno upisan broj !"_s; }
    void CheckNumber(Session&, const QString& typed) override {
        if (typed == QLatin1String("3")) {
            throw UserError(u"Broj 3 je već upisan !"_s);
        }
    }
    void HeaderChanged(WindowHost&, const DocumentHeader& h) override {
        m_seen.changes << h.extra.value(u"PARTNER"_s).toString() + u"/"_s +
                              QString::number(h.number);
    }
    int EditableColumn() const override { return 0; }
    void EditCell(Session& s, int, const QVariant& value) override {
        s.Db().Exec(
            u"UPDATE \"STAVKE_IZDATNICA_PRIVREMENO\" SET "
            "\"SIFRA_ARTIKLA\" = ?"_s,
            {value.toInt()});
    }
    QString ReadOnlyCellMessage() const override { return u"Mijenjati možete samo šifru."_s; }
    PostResult Post(WindowHost&, const DocumentHeader&) override {
        // The user answered No to a question of the posting: not posted.
        return m_seen.answerNo ? PostResult{QVariant(), QString()}
                               : PostResult{1, u"Proknjiženo"_s};
    }

private:
    Seen& m_seen;
};

// A posted issue note under correction: the posted header, no number to type, no posting,
// closing asks nothing; the caption follows the description written.
class CorrectionController : public IssueController {
public:
    using IssueController::IssueController;
    QString Command() const override { return u"Izdatnica_4"_s; }
    QString Caption() const override { return u"Izdatnica 4"_s + m_written; }
    bool CanPost() const override { return false; }
    bool NumberEditable() const override { return false; }
    QString AbandonQuestion() const override { return {}; }
    std::optional<DocumentHeader> InitialHeader(Session&) override {
        DocumentHeader h;
        h.number = 4;
        h.date = QDate(2026, 3, 2);
        h.description = u"Za servis"_s;
        return h;
    }
    void HeaderChanged(WindowHost&, const DocumentHeader& h) override {
        if (h.date.day() == 13) {
            throw UserError(u"Trinaesti nije dozvoljen."_s);
        }
        m_written = u" od "_s + h.date.toString(u"dd.MM."_s);
    }

private:
    QString m_written;  // the date written, as the caption shows it
};

class IssueView : public PostedDocumentController {
public:
    explicit IssueView(int number) : m_number(number) {}
    QString Caption() const override { return u"Izdatnica br.%1"_s.arg(m_number); }
    QString Summary(Session&) override { return u"Izdatnica %1"_s.arg(m_number); }
    TableData Lines(Session&) override { return {}; }

private:
    int m_number;
};

// The list of posted issue notes: open and delete; `further` adds the list's further options.
class IssueListController : public DocumentListController {
public:
    explicit IssueListController(QStringList* run = nullptr) : m_run(run) {}

    QString Command() const override { return u"Pregledi_izdatnice"_s; }
    QString Caption() const override { return u"Izdatnice"_s; }
    TableData Documents(Session& s) override { return IssueNotes(s); }
    std::unique_ptr<PostedDocumentController> OpenDocument(const QVariant& key) override {
        return std::make_unique<IssueView>(key.toInt());
    }
    QString DeleteQuestion() const override { return u"Želite li izbrisati izdatnicu!"_s; }
    void Delete(WindowHost& host, const QVariant& key) override {
        host.CurrentSession().Db().Exec(u"DELETE FROM \"IZDATNICE\" WHERE \"BROJ\" = ?"_s, {key});
    }

    bool HasDetails() const override { return m_run; }
    QString Details(Session&, const QVariant& key) override {
        return u"Izdatnica broj %1"_s.arg(key.toInt());
    }
    bool HasTotals() const override { return m_run; }
    QString Totals(Session&) override { return u"Ukupno 2"_s; }
    QList<ListAction> Actions() const override {
        if (!m_run) {
            return {};
        }
        return {ListAction{u"&Ispravak"_s, u"Ispravak"_s, false}};
    }
    void RunAction(const QString& objectName, WindowHost&, const QVariant& key) override {
        *m_run << objectName + u" "_s + key.toString();
    }
    bool HasTable() const override { return m_run; }
    QString TableCaption() const override { return u"Izdatnice - tablica"_s; }
    TableData TableRows(Session& s) override { return IssueNotes(s); }
    QString TableTotals(Session&) override { return u"Svega 2"_s; }

private:
    QStringList* m_run;
};

int WorkingLines(Session& s) {
    return s.Db()
        .Scalar(
            u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
            "\"Multiuser_sifra\" = ?"_s,
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
        Ledger ledger;
        CommandRegistry registry;
        BindDocument(
            registry, [&ledger] { return std::make_unique<IssueController>(ledger); },
            [] { return std::make_unique<IssueListController>(); });
        host.registry = &registry;
        host.RunCommand(u"Knjizenje_izdatnica"_s);
        auto* window = qobject_cast<DocumentWindow*>(host.LastWindow());
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), u"Izdatnica"_s);
        QCOMPARE(window->NumberField()->Value(), 1.0);
        QVERIFY(window->NumberField()->isReadOnly());
        window->findChild<QPushButton*>(u"DodajStavku"_s)->click();
        window->findChild<QPushButton*>(u"DodajStavku"_s)->click();
        QCOMPARE(window->Lines()->Data().RowCount(), 2);
        QCOMPARE(window->Lines()->model()->index(0, 2).data().toString(), u"1.234,50"_s);
        QCOMPARE(window->findChild<QLabel*>(u"Ukupno"_s)->text(), u"Stavki: 2"_s);
        window->Lines()->SelectRow(0);
        window->findChild<QPushButton*>(u"BrisanjeStavke"_s)->click();
        QCOMPARE(window->Lines()->Data().RowCount(), 1);
        QCOMPARE(window->Lines()->Data().Value(0, 0).toInt(), 2);
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        // Opening the command again brings the same window forward.
        host.RunCommand(u"Knjizenje_izdatnica"_s);
        QCOMPARE(host.area.subWindowList().size(), 1);
        // The list command is bound beside it.
        host.RunCommand(u"Pregledi_izdatnice"_s);
        QVERIFY(qobject_cast<PostedDocumentsWindow*>(host.LastWindow()));
        QCOMPARE(host.area.subWindowList().size(), 2);
    }

    void postingTakesTheHeaderAndARefusalKeepsEverything() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Ledger ledger;
        CommandRegistry registry;
        DocumentWindow* window =
            ShowDocumentWindow(host, std::make_unique<IssueController>(ledger), &registry);
        window->AddLine();
        window->findChild<QPushButton*>(u"UpisBroja"_s)->click();
        QVERIFY(!window->NumberField()->isReadOnly());
        window->NumberField()->setText(u"8"_s);
        window->DateField()->setText(u"2.3.2026"_s);
        window->DescriptionField()->setText(u"Za servis"_s);
        window->PrintBox()->setChecked(false);

        ledger.refuse = true;
        QVERIFY(!window->Post());
        QCOMPARE(host.prompter.LastMessage(), u"Nedovoljna količina artikla Čaj"_s);
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        QCOMPARE(window->DescriptionField()->text(), u"Za servis"_s);

        ledger.refuse = false;
        QVERIFY(window->Post());
        QCOMPARE(ledger.posted.size(), 1);
        QCOMPARE(ledger.posted[0].number, 8);
        QCOMPARE(ledger.posted[0].date, QDate(2026, 3, 2));
        QCOMPARE(ledger.posted[0].description, u"Za servis"_s);
        QCOMPARE(host.prompter.LastMessage(), u"Izdatnica je proknjižena pod brojem 8"_s);
        // Ready for the next document.
        QCOMPARE(window->Lines()->Data().RowCount(), 0);
        QCOMPARE(window->NumberField()->Value(), 9.0);
        QVERIFY(window->NumberField()->isReadOnly());
        QVERIFY(window->DescriptionField()->text().isEmpty());
    }

    void closingWithLinesAsksAndNoKeepsTheWindow() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Ledger ledger;
        DocumentWindow* window =
            ShowDocumentWindow(host, std::make_unique<IssueController>(ledger), nullptr);
        window->AddLine();
        host.prompter.AnswerNo();
        host.area.closeAllSubWindows();
        test::Settle();
        QCOMPARE(host.prompter.Shown().last(), u"Želite li odustati od izdatnice?"_s);
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
        Ledger ledger;
        FurtherIssueController::Seen seen;
        DocumentWindow* window = ShowDocumentWindow(
            host, std::make_unique<FurtherIssueController>(ledger, seen), nullptr);
        QCOMPARE(window->findChild<QPushButton*>(u"DodajStavku"_s)->text(), u"&Artikli"_s);
        QCOMPARE(window->findChild<QPushButton*>(u"BrisanjeStavke"_s)->text(), u"&Brisanje"_s);

        // Lines need the partner first; the focus goes to its box. The action that adds lines
        // is held back too.
        window->AddLine();
        QCOMPARE(host.prompter.LastMessage(), u"Nije upisan partner !"_s);
        QCOMPARE(WorkingLines(host.CurrentSession()), 0);
        window->ActionButton(u"Zbirno"_s)->click();
        QCOMPARE(seen.ran, 0);
        auto* partnerBox = qobject_cast<QLineEdit*>(window->Extra()->Editor(u"PARTNER"_s));
        partnerBox->setFocus();
        test::TypeInto(partnerBox, u"Kod Ane's"_s);
        Q_EMIT partnerBox->editingFinished();
        QCOMPARE(seen.changes, QStringList{u"Kod Ane's/1"_s});
        window->AddLine();
        window->AddLine();
        window->ActionButton(u"Zbirno"_s)->click();
        QCOMPARE(seen.ran, 1);
        QCOMPARE(seen.actionsRun, QStringList{u"Zbirno"_s});
        QCOMPARE(WorkingLines(host.CurrentSession()), 2);

        // Deleting asks first; No keeps the line.
        window->Lines()->SelectRow(1);
        host.prompter.AnswerNo();
        window->DeleteLine();
        QCOMPARE(host.prompter.Shown().last(), u"Izbrisati stavku 2 ?"_s);
        QCOMPARE(WorkingLines(host.CurrentSession()), 2);

        // Only the editable column is edited in place.
        window->Lines()->setCurrentIndex(window->Lines()->model()->index(0, 1));
        QTest::keyClick(window->Lines(), Qt::Key_F2);
        QCOMPARE(host.prompter.LastMessage(), u"Mijenjati možete samo šifru."_s);
        window->Lines()->model()->setData(window->Lines()->model()->index(0, 0), 77, Qt::EditRole);
        test::Settle();
        QCOMPARE(window->Lines()->Data().Value(0, 0).toInt(), 77);

        // The typed number is checked when its box is left: refused, the proposal comes back.
        window->FreeNumber();
        window->NumberField()->selectAll();
        test::TypeInto(window->NumberField(), u"a"_s);
        QVERIFY(!window->NumberField()->Commit());
        QCOMPARE(host.prompter.LastMessage(), u"Nije ispravno upisan broj !"_s);
        window->NumberField()->setText(u"3"_s);
        Q_EMIT window->NumberField()->editingFinished();
        QCOMPARE(host.prompter.LastMessage(), u"Broj 3 je već upisan !"_s);
        QCOMPARE(window->NumberField()->text(), u"1"_s);
        window->NumberField()->setText(u"4"_s);
        Q_EMIT window->NumberField()->editingFinished();
        QCOMPARE(seen.changes.last(), u"Kod Ane's/4"_s);

        // A posting answered No leaves the window as it was, without a message.
        host.prompter.Clear();
        QVERIFY(!window->Post());
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(window->Lines()->Data().RowCount(), 2);
        QCOMPARE(window->NumberField()->text(), u"4"_s);
        seen.answerNo = false;
        QVERIFY(window->Post());
        QCOMPARE(host.prompter.LastMessage(), u"Proknjiženo"_s);
    }

    void aPostedDocumentUnderCorrectionAndTheListsFurtherOptions() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(
            u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"_s);
        // Correction: the posted header, no number to type, no posting, closing asks nothing.
        Ledger ledger;
        DocumentWindow* window =
            ShowDocumentWindow(host, std::make_unique<CorrectionController>(ledger), nullptr);
        QVERIFY(!window->findChild<QPushButton*>(u"Proknjizi"_s));
        QVERIFY(!window->findChild<QPushButton*>(u"UpisBroja"_s));
        QCOMPARE(window->NumberField()->text(), u"4"_s);
        QCOMPARE(window->DateField()->Date(), QDate(2026, 3, 2));
        QCOMPARE(window->DescriptionField()->text(), u"Za servis"_s);
        // The caption follows a header change the controller accepted, not a refused one; the
        // refusal is titled with the caption the window opened with.
        QCOMPARE(window->windowTitle(), u"Izdatnica 4"_s);
        window->DateField()->setText(u"5.3.2026"_s);
        window->DateField()->Commit();
        QCOMPARE(window->windowTitle(), u"Izdatnica 4 od 05.03."_s);
        window->DateField()->setText(u"13.3.2026"_s);
        window->DateField()->Commit();
        QCOMPARE(host.prompter.LastMessage(), u"Trinaesti nije dozvoljen."_s);
        QCOMPARE(window->windowTitle(), u"Izdatnica 4 od 05.03."_s);
        window->AddLine();
        host.prompter.Clear();
        host.area.closeAllSubWindows();
        test::Settle();
        QVERIFY(host.prompter.Shown().isEmpty());
        QCOMPARE(host.area.subWindowList().size(), 0);

        // The list: details of the selected document, totals, a further button, the table.
        QStringList run;
        PostedDocumentsWindow* list =
            ShowPostedDocuments(host, std::make_unique<IssueListController>(&run));
        list->Documents()->SelectRow(1);
        QCOMPARE(list->Details()->text(), u"Izdatnica broj 5"_s);
        QCOMPARE(list->Totals()->text(), u"Ukupno 2"_s);
        list->findChild<QPushButton*>(u"Ispravak"_s)->click();
        QCOMPARE(run, QStringList{u"Ispravak 5"_s});
        list->OpenTable();
        auto* table = qobject_cast<DocumentTableView*>(host.LastWindow());
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), u"Izdatnice - tablica"_s);
        QCOMPARE(table->Table()->Data().RowCount(), 2);
        QCOMPARE(table->Totals()->text(), u"Svega 2"_s);
        // A window with a list closes from its own "Zatvori" (Alt+Z).
        const int open = static_cast<int>(host.area.subWindowList().size());
        QPushButton* close = table->findChild<QPushButton*>(u"Zatvori"_s);
        QVERIFY(close);
        QCOMPARE(close->text(), u"&Zatvori"_s);
        close->click();
        test::Settle();
        QCOMPARE(static_cast<int>(host.area.subWindowList().size()), open - 1);
    }

    void postedDocumentsOpenAndDeleteAfterTheQuestion() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(
            u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"_s);
        PostedDocumentsWindow* list =
            ShowPostedDocuments(host, std::make_unique<IssueListController>());
        // Without further options: no details, no totals, no table, no printing or cancelling.
        QVERIFY(!list->Details());
        QVERIFY(!list->Totals());
        QVERIFY(!list->findChild<QPushButton*>(u"Tablica"_s));
        QVERIFY(!list->findChild<QPushButton*>(u"Ispis"_s));
        QVERIFY(!list->findChild<QPushButton*>(u"Storno"_s));
        QCOMPARE(list->windowTitle(), u"Izdatnice"_s);
        QCOMPARE(list->Documents()->Data().RowCount(), 2);
        list->Documents()->SelectRow(1);
        list->OpenCurrent();
        QCOMPARE(host.LastWindow()->windowTitle(), u"Izdatnica br.5"_s);
        QCOMPARE(host.LastWindow()->objectName(), u"Pregledi_izdatnice_5"_s);
        QCOMPARE(host.LastWindow()->findChild<QLabel*>(u"Zaglavlje"_s)->text(), u"Izdatnica 5"_s);
        const int open = static_cast<int>(host.area.subWindowList().size());
        host.LastWindow()->findChild<QPushButton*>(u"Zatvori"_s)->click();
        test::Settle();
        QCOMPARE(static_cast<int>(host.area.subWindowList().size()), open - 1);

        list->Documents()->SelectRow(0);
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown().last(), u"Želite li izbrisati izdatnicu!"_s);
        QCOMPARE(list->Documents()->Data().RowCount(), 2);
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(list->Documents()->Data().RowCount(), 1);
        QCOMPARE(list->CurrentKey().toInt(), 5);
    }
};

ZODRA_WINDOW_TEST_MAIN(DocumentWindowsTest)
#include "DocumentWindowsTest.moc"
