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

// What the example documents write beside the tables, and how the test steers them.
struct Ledger {
    QList<DocumentHeader> posted;
    int nextArticle = 1;
    bool refuse = false;
};

void ClearIssueLines(Session& s) {
    s.Db().Exec(QStringLiteral("DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                               "\"Multiuser_sifra\" = ?"),
                {s.sessionCode});
}

TableData IssueNotes(Session& s) {
    return ReadTable(s.Db(),
                     QStringLiteral("SELECT \"BROJ\", \"DATUM\", \"OPIS\" FROM "
                                    "\"IZDATNICE\" ORDER BY \"BROJ\""),
                     {},
                     {{QStringLiteral("Broj"), TableColumn::Format::Integer},
                      {QStringLiteral("Datum"), TableColumn::Format::Date},
                      {QStringLiteral("Opis"), TableColumn::Format::Text}});
}

// An example document over the issue note's tables. The operations stand in for a subsystem's
// core code; the test is about the windows. Everything else keeps the controller's defaults.
class IssueController : public DocumentController {
public:
    explicit IssueController(Ledger& ledger) : m_ledger(ledger) {}

    QString Command() const override { return QStringLiteral("Knjizenje_izdatnica"); }
    QString Caption() const override { return QStringLiteral("Izdatnica"); }
    QString AbandonQuestion() const override {
        return QStringLiteral("Želite li odustati od izdatnice?");
    }
    bool CanPost() const override { return true; }

    int NextNumber(Session& s) override {
        return s.Db()
            .Scalar(QStringLiteral("SELECT COALESCE(MAX(\"BROJ\"), 0) + 1 FROM "
                                   "\"IZDATNICE\" WHERE \"SKLADISTE\" = ?"),
                    {s.activeWarehouse.code})
            .toInt();
    }
    TableData WorkingLines(Session& s) override {
        return ReadTable(s.Db(),
                         QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\" "
                                        "FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                        "\"Multiuser_sifra\" = ? ORDER BY ROWID"),
                         {s.sessionCode},
                         {{QStringLiteral("Artikal"), TableColumn::Format::Integer},
                          {QStringLiteral("Količina"), TableColumn::Format::Quantity},
                          {QStringLiteral("Cijena"), TableColumn::Format::Money}});
    }
    bool AddLine(WindowHost& host, QWidget*, const DocumentHeader&) override {
        Session& s = host.CurrentSession();
        s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                   "(\"SIFRA_ARTIKLA\", \"KOLICINA\", \"CIJENA\", "
                                   "\"Multiuser_sifra\") VALUES (?, 2, 1234.5, ?)"),
                    {m_ledger.nextArticle++, s.sessionCode});
        return true;
    }
    void DeleteLine(Session& s, int row) override {
        s.Db().Exec(QStringLiteral("DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE ROWID = "
                                   "(SELECT ROWID FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ? ORDER BY ROWID LIMIT 1 OFFSET ?)"),
                    {s.sessionCode, row});
    }
    void ClearWorkingCopy(Session& s) override { ClearIssueLines(s); }
    QString Totals(Session& s) override {
        return QStringLiteral("Stavki: %1")
            .arg(s.Db()
                     .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                            "WHERE \"Multiuser_sifra\" = ?"),
                             {s.sessionCode})
                     .toInt());
    }
    PostResult Post(WindowHost& host, const DocumentHeader& h) override {
        if (m_ledger.refuse) {
            throw UserError(QStringLiteral("Nedovoljna količina artikla Čaj"));
        }
        Session& s = host.CurrentSession();
        s.Db().Exec(QStringLiteral("INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", "
                                   "\"BROJ\", \"DATUM\", \"OPIS\") VALUES (?, ?, ?, ?, ?)"),
                    {s.activeWarehouse.code, s.businessYear, h.number, h.date, h.description});
        ClearIssueLines(s);
        m_ledger.posted << h;
        return PostResult{h.number,
                          QStringLiteral("Izdatnica je proknjižena pod brojem %1").arg(h.number)};
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
        partner.key = QStringLiteral("PARTNER");
        partner.label = QStringLiteral("Partner :");
        return {partner};
    }
    QString AddLineCaption() const override { return QStringLiteral("&Artikli"); }
    QString DeleteLineCaption() const override { return QStringLiteral("&Brisanje"); }
    QList<DocumentAction> Actions() const override {
        return {DocumentAction{QStringLiteral("&Zbirno"), QStringLiteral("Zbirno"), true}};
    }
    bool RunAction(const QString& objectName, WindowHost&, QWidget*,
                   const DocumentHeader&) override {
        m_seen.actionsRun << objectName;
        ++m_seen.ran;
        return true;
    }
    void CheckBeforeLines(const DocumentHeader& h) override {
        if (h.extra.value(QStringLiteral("PARTNER")).toString().isEmpty()) {
            throw FieldError(QStringLiteral("PARTNER"), QStringLiteral("Nije upisan partner !"));
        }
    }
    QString DeleteLineQuestion(Session&, int row) override {
        return QStringLiteral("Izbrisati stavku %1 ?").arg(row + 1);
    }
    QString NumberInvalidMessage() const override {
        return QStringLiteral("Nije ispravno upisan broj !");
    }
    void CheckNumber(Session&, const QString& typed) override {
        if (typed == QLatin1String("3")) {
            throw UserError(QStringLiteral("Broj 3 je već upisan !"));
        }
    }
    void HeaderChanged(WindowHost&, const DocumentHeader& h) override {
        m_seen.changes << h.extra.value(QStringLiteral("PARTNER")).toString() +
                              QStringLiteral("/") + QString::number(h.number);
    }
    int EditableColumn() const override { return 0; }
    void EditCell(Session& s, int, const QVariant& value) override {
        s.Db().Exec(QStringLiteral("UPDATE \"STAVKE_IZDATNICA_PRIVREMENO\" SET "
                                   "\"SIFRA_ARTIKLA\" = ?"),
                    {value.toInt()});
    }
    QString ReadOnlyCellMessage() const override {
        return QStringLiteral("Mijenjati možete samo šifru.");
    }
    PostResult Post(WindowHost&, const DocumentHeader&) override {
        // The user answered No to a question of the posting: not posted.
        return m_seen.answerNo ? PostResult{QVariant(), QString()}
                               : PostResult{1, QStringLiteral("Proknjiženo")};
    }

private:
    Seen& m_seen;
};

// A posted issue note under correction: the posted header, no number to type, no posting,
// closing asks nothing; the caption follows the description written.
class CorrectionController : public IssueController {
public:
    using IssueController::IssueController;
    QString Command() const override { return QStringLiteral("Izdatnica_4"); }
    QString Caption() const override { return QStringLiteral("Izdatnica 4") + m_written; }
    bool CanPost() const override { return false; }
    bool NumberEditable() const override { return false; }
    QString AbandonQuestion() const override { return {}; }
    std::optional<DocumentHeader> InitialHeader(Session&) override {
        DocumentHeader h;
        h.number = 4;
        h.date = QDate(2026, 3, 2);
        h.description = QStringLiteral("Za servis");
        return h;
    }
    void HeaderChanged(WindowHost&, const DocumentHeader& h) override {
        if (h.date.day() == 13) {
            throw UserError(QStringLiteral("Trinaesti nije dozvoljen."));
        }
        m_written = QStringLiteral(" od ") + h.date.toString(QStringLiteral("dd.MM."));
    }

private:
    QString m_written;  // the date written, as the caption shows it
};

class IssueView : public PostedDocumentController {
public:
    explicit IssueView(int number) : m_number(number) {}
    QString Caption() const override { return QStringLiteral("Izdatnica br.%1").arg(m_number); }
    QString Summary(Session&) override { return QStringLiteral("Izdatnica %1").arg(m_number); }
    TableData Lines(Session&) override { return {}; }

private:
    int m_number;
};

// The list of posted issue notes: open and delete; `further` adds the list's further options.
class IssueListController : public DocumentListController {
public:
    explicit IssueListController(QStringList* run = nullptr) : m_run(run) {}

    QString Command() const override { return QStringLiteral("Pregledi_izdatnice"); }
    QString Caption() const override { return QStringLiteral("Izdatnice"); }
    TableData Documents(Session& s) override { return IssueNotes(s); }
    std::unique_ptr<PostedDocumentController> OpenDocument(const QVariant& key) override {
        return std::make_unique<IssueView>(key.toInt());
    }
    QString DeleteQuestion() const override {
        return QStringLiteral("Želite li izbrisati izdatnicu!");
    }
    void Delete(WindowHost& host, const QVariant& key) override {
        host.CurrentSession().Db().Exec(
            QStringLiteral("DELETE FROM \"IZDATNICE\" WHERE \"BROJ\" = ?"), {key});
    }

    bool HasDetails() const override { return m_run; }
    QString Details(Session&, const QVariant& key) override {
        return QStringLiteral("Izdatnica broj %1").arg(key.toInt());
    }
    bool HasTotals() const override { return m_run; }
    QString Totals(Session&) override { return QStringLiteral("Ukupno 2"); }
    QList<ListAction> Actions() const override {
        if (!m_run) {
            return {};
        }
        return {ListAction{QStringLiteral("&Ispravak"), QStringLiteral("Ispravak"), false}};
    }
    void RunAction(const QString& objectName, WindowHost&, const QVariant& key) override {
        *m_run << objectName + QStringLiteral(" ") + key.toString();
    }
    bool HasTable() const override { return m_run; }
    QString TableCaption() const override { return QStringLiteral("Izdatnice - tablica"); }
    TableData TableRows(Session& s) override { return IssueNotes(s); }
    QString TableTotals(Session&) override { return QStringLiteral("Svega 2"); }

private:
    QStringList* m_run;
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
        Ledger ledger;
        CommandRegistry registry;
        BindDocument(
            registry, [&ledger] { return std::make_unique<IssueController>(ledger); },
            [] { return std::make_unique<IssueListController>(); });
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
        // The list command is bound beside it.
        host.RunCommand(QStringLiteral("Pregledi_izdatnice"));
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
        window->findChild<QPushButton*>(QStringLiteral("UpisBroja"))->click();
        QVERIFY(!window->NumberField()->isReadOnly());
        window->NumberField()->setText(QStringLiteral("8"));
        window->DateField()->setText(QStringLiteral("2.3.2026"));
        window->DescriptionField()->setText(QStringLiteral("Za servis"));
        window->PrintBox()->setChecked(false);

        ledger.refuse = true;
        QVERIFY(!window->Post());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nedovoljna količina artikla Čaj"));
        QCOMPARE(WorkingLines(host.CurrentSession()), 1);
        QCOMPARE(window->DescriptionField()->text(), QStringLiteral("Za servis"));

        ledger.refuse = false;
        QVERIFY(window->Post());
        QCOMPARE(ledger.posted.size(), 1);
        QCOMPARE(ledger.posted[0].number, 8);
        QCOMPARE(ledger.posted[0].date, QDate(2026, 3, 2));
        QCOMPARE(ledger.posted[0].description, QStringLiteral("Za servis"));
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
        Ledger ledger;
        DocumentWindow* window =
            ShowDocumentWindow(host, std::make_unique<IssueController>(ledger), nullptr);
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
        Ledger ledger;
        FurtherIssueController::Seen seen;
        DocumentWindow* window = ShowDocumentWindow(
            host, std::make_unique<FurtherIssueController>(ledger, seen), nullptr);
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
        QCOMPARE(seen.ran, 0);
        auto* partnerBox =
            qobject_cast<QLineEdit*>(window->Extra()->Editor(QStringLiteral("PARTNER")));
        partnerBox->setFocus();
        test::TypeInto(partnerBox, QStringLiteral("Kod Ane's"));
        Q_EMIT partnerBox->editingFinished();
        QCOMPARE(seen.changes, QStringList{QStringLiteral("Kod Ane's/1")});
        window->AddLine();
        window->AddLine();
        window->ActionButton(QStringLiteral("Zbirno"))->click();
        QCOMPARE(seen.ran, 1);
        QCOMPARE(seen.actionsRun, QStringList{QStringLiteral("Zbirno")});
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
        QCOMPARE(seen.changes.last(), QStringLiteral("Kod Ane's/4"));

        // A posting answered No leaves the window as it was, without a message.
        host.prompter.Clear();
        QVERIFY(!window->Post());
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(window->Lines()->Data().RowCount(), 2);
        QCOMPARE(window->NumberField()->text(), QStringLiteral("4"));
        seen.answerNo = false;
        QVERIFY(window->Post());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Proknjiženo"));
    }

    void aPostedDocumentUnderCorrectionAndTheListsFurtherOptions() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(QStringLiteral(
            "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"));
        // Correction: the posted header, no number to type, no posting, closing asks nothing.
        Ledger ledger;
        DocumentWindow* window =
            ShowDocumentWindow(host, std::make_unique<CorrectionController>(ledger), nullptr);
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("Proknjizi")));
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("UpisBroja")));
        QCOMPARE(window->NumberField()->text(), QStringLiteral("4"));
        QCOMPARE(window->DateField()->Date(), QDate(2026, 3, 2));
        QCOMPARE(window->DescriptionField()->text(), QStringLiteral("Za servis"));
        // The caption follows a header change the controller accepted, not a refused one; the
        // refusal is titled with the caption the window opened with.
        QCOMPARE(window->windowTitle(), QStringLiteral("Izdatnica 4"));
        window->DateField()->setText(QStringLiteral("5.3.2026"));
        window->DateField()->Commit();
        QCOMPARE(window->windowTitle(), QStringLiteral("Izdatnica 4 od 05.03."));
        window->DateField()->setText(QStringLiteral("13.3.2026"));
        window->DateField()->Commit();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Trinaesti nije dozvoljen."));
        QCOMPARE(window->windowTitle(), QStringLiteral("Izdatnica 4 od 05.03."));
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
        QCOMPARE(list->Details()->text(), QStringLiteral("Izdatnica broj 5"));
        QCOMPARE(list->Totals()->text(), QStringLiteral("Ukupno 2"));
        list->findChild<QPushButton*>(QStringLiteral("Ispravak"))->click();
        QCOMPARE(run, QStringList{QStringLiteral("Ispravak 5")});
        list->OpenTable();
        auto* table = qobject_cast<DocumentTableView*>(host.LastWindow());
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), QStringLiteral("Izdatnice - tablica"));
        QCOMPARE(table->Table()->Data().RowCount(), 2);
        QCOMPARE(table->Totals()->text(), QStringLiteral("Svega 2"));
        // A window with a list closes from its own "Zatvori" (Alt+Z).
        const int open = static_cast<int>(host.area.subWindowList().size());
        QPushButton* close = table->findChild<QPushButton*>(QStringLiteral("Zatvori"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("&Zatvori"));
        close->click();
        test::Settle();
        QCOMPARE(static_cast<int>(host.area.subWindowList().size()), open - 1);
    }

    void postedDocumentsOpenAndDeleteAfterTheQuestion() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().ExecRaw(QStringLiteral(
            "INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\") VALUES "
            "(1, 2026, 4, '2026-03-02'), (1, 2026, 5, '2026-03-03')"));
        PostedDocumentsWindow* list =
            ShowPostedDocuments(host, std::make_unique<IssueListController>());
        // Without further options: no details, no totals, no table, no printing or cancelling.
        QVERIFY(!list->Details());
        QVERIFY(!list->Totals());
        QVERIFY(!list->findChild<QPushButton*>(QStringLiteral("Tablica")));
        QVERIFY(!list->findChild<QPushButton*>(QStringLiteral("Ispis")));
        QVERIFY(!list->findChild<QPushButton*>(QStringLiteral("Storno")));
        QCOMPARE(list->windowTitle(), QStringLiteral("Izdatnice"));
        QCOMPARE(list->Documents()->Data().RowCount(), 2);
        list->Documents()->SelectRow(1);
        list->OpenCurrent();
        QCOMPARE(host.LastWindow()->windowTitle(), QStringLiteral("Izdatnica br.5"));
        QCOMPARE(host.LastWindow()->objectName(), QStringLiteral("Pregledi_izdatnice_5"));
        QCOMPARE(host.LastWindow()->findChild<QLabel*>(QStringLiteral("Zaglavlje"))->text(),
                 QStringLiteral("Izdatnica 5"));
        const int open = static_cast<int>(host.area.subWindowList().size());
        host.LastWindow()->findChild<QPushButton*>(QStringLiteral("Zatvori"))->click();
        test::Settle();
        QCOMPARE(static_cast<int>(host.area.subWindowList().size()), open - 1);

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
