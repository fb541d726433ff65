// The five simple stock documents' windows on the demo company, driven by keys.
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

#include "data/Database.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportWindow.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangePosting.h"
#include "stockdocs/ui/IssueDocumentController.h"
#include "stockdocs/ui/IssueLineDialog.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::stockdocs::ui;

namespace {

using test::Activate;
using test::Button;
using test::CloseAfter;
using test::Retype;

struct DemoHost : test::DemoHost {
    DemoHost() : test::DemoHost({.commands = RegisterStockDocsCommands, .debugMode = true}) {
        // "Odjava" is a commission warehouse's document.
        CurrentSession().warehouseFlags.commission = true;
    }
};

// A lot of warehouse 1 with at least 3 free, other than `except`: article, lot, free quantity.
struct FreeLot {
    int article = 0;
    int lot = 0;
    double free = 0;
};

FreeLot FirstFreeLot(DemoHost& host, int except = 0) {
    Statement s = host.CurrentSession().Db().Prepare(QStringLiteral(
        "SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA_PRIVREMENO\" FROM \"NABAVE\" WHERE "
        "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND \"KOLICINA_PRIVREMENO\" >= 3 AND "
        "\"SIFRA_ARTIKLA\" <> ? ORDER BY \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\" LIMIT 1"));
    s.Exec({except});
    if (!s.Next()) {
        return {};
    }
    return {s.Int(0), s.Int(1), s.Double(2)};
}

QString Number(double value) {
    return QString::number(value).replace(u'.', u',');
}

// Adds one line of `quantity` from the lot through "Upis artikla", by keys.
void AddLineByKeys(DemoHost& host, ui::DocumentWindow* w, const FreeLot& lot,
                   const QString& quantity) {
    test::WhenShown<IssueLineDialog>([&](IssueLineDialog* d) {
        CloseAfter closer{d};
        Activate(d);
        QVERIFY(d->Picker()->SetCode(lot.article));
        d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
        Retype(d->Quantity(), quantity);
        QTest::keyClick(Button(d, QStringLiteral("Prihvati")), Qt::Key_Return);
        QVERIFY2(d->LinesWritten() == 1, qPrintable(host.prompter.Messages().join(u'|')));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    Button(w, QStringLiteral("DodajStavku"))->click();
    test::Settle();
}

}  // namespace

class IssueDocumentWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // Every kind: its window and caption, a line, posting with the printout, and its list.
    void eachKindIsPostedPrintedAndListed() {
        DemoHost host;
        const FreeLot lot = FirstFreeLot(host);
        QVERIFY(lot.article > 0);
        for (const stockdocs::IssueDocumentTexts& texts : stockdocs::IssueDocuments()) {
            const QString command = IssueDocumentCommand(texts.kind);
            auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(command));
            QVERIFY2(w, qPrintable(command));
            const int next = w->Header().number;
            QVERIFY(next > 0);
            if (texts.kind == DocumentKind::SupplierReturn) {
                auto* supplier = qobject_cast<QComboBox*>(
                    w->Extra()->Editor(IssueDocumentController::SupplierKey()));
                QVERIFY(supplier);
                supplier->setCurrentIndex(1);
            }
            AddLineByKeys(host, w, lot, QStringLiteral("1"));
            QCOMPARE(w->Lines()->Data().RowCount(), 1);
            host.Photograph(w, QStringLiteral("stock_") + texts.word);
            w->PrintBox()->setChecked(true);
            host.prompter.Clear();
            QVERIFY2(w->Post(), qPrintable(host.prompter.Messages().join(u'|')));
            // The number typed was free: posting says nothing, the printout shows.
            QCOMPARE(host.prompter.Shown(), QStringList{});
            QVERIFY(host.Last<reports::ui::ReportWindow>());
            QCOMPARE(host.Last<reports::ui::ReportWindow>()->windowTitle(),
                     texts.printTitle + QString::number(next));
            QCOMPARE(host.Last<reports::ui::ReportWindow>()->PageCount(), 1);
            QCOMPARE(w->Lines()->Data().RowCount(), 0);
            QCOMPARE(w->Header().number, next + 1);

            auto* list =
                qobject_cast<ui::PostedDocumentsWindow*>(host.Open(IssueListCommand(texts.kind)));
            QVERIFY(list);
            list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
            QCOMPARE(list->CurrentKey().toInt(), next);
            QVERIFY(list->Details()->text().startsWith(QStringLiteral("Datum: ")));
            QCOMPARE(Button(list, QStringLiteral("IspisKolicina")) != nullptr,
                     !texts.quantityReport.isEmpty());
            if (Button(list, QStringLiteral("IspisKolicina"))) {
                Button(list, QStringLiteral("IspisKolicina"))->click();
                test::Settle();
                QCOMPARE(host.Last<reports::ui::ReportWindow>()->windowTitle(),
                         texts.printTitle + QString::number(next));
                QCOMPARE(host.Last<reports::ui::ReportWindow>()->PageCount(), 1);
            }
            host.Photograph(list,
                            QStringLiteral("stock_") + texts.word + QStringLiteral("_pregled"));
        }
    }

    void quantitiesAreCutAndATakenNumberIsSaid() {
        DemoHost host;
        const FreeLot lot = FirstFreeLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(IssueDocumentCommand(DocumentKind::IssueNote)));
        QVERIFY(w);
        test::WhenShown<IssueLineDialog>([&](IssueLineDialog* d) {
            CloseAfter closer{d};
            Activate(d);
            Button(d, QStringLiteral("Prihvati"))->click();
            QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal !"));
            QVERIFY(d->Picker()->SetCode(lot.article));
            d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
            QCOMPARE(d->Stock()->text(), inputrules::FormatNumber(lot.free, 3));
            Retype(d->Quantity(), Number(lot.free + 2));
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Nedovoljna zaliha artikla. Količina će biti postavljena na "
                                    "najveću dopuštenu vrijednost."));
            QVERIFY(qAbs(d->Quantity()->Value() - lot.free) < 1e-9);
            Retype(d->Quantity(), QStringLiteral("2"));
            host.Photograph(d, QStringLiteral("stock_upis_artikla"));
            QVERIFY(d->AcceptLine());
            QTest::keyClick(d, Qt::Key_Escape);
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("Ukupno"))
                    ->text()
                    .startsWith(QStringLiteral("Nabavna vrijednost : ")));
        // "Brisanje stavke" asks nothing.
        host.prompter.Clear();
        Button(w, QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(w->Lines()->Data().RowCount(), 0);
        QCOMPARE(host.prompter.Shown(), QStringList{});
        AddLineByKeys(host, w, lot, QStringLiteral("1"));
        QVERIFY(w->Post());
        const int first = w->Header().number - 1;
        // The number typed is taken: posted under the next free one, with the message (the
        // area active, so that Enter leaves the number box).
        AddLineByKeys(host, w, lot, QStringLiteral("1"));
        host.area.show();
        Activate(&host.area);
        Button(w, QStringLiteral("UpisBroja"))->click();
        Retype(w->NumberField(), QString::number(first));
        QCOMPARE(w->Header().number, first);
        host.prompter.Clear();
        QVERIFY(w->Post());
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Izdatnica je proknjižena pod brojem ") +
                             QString::number(first + 1)});
        // A number that is no number: the box's own message, and the box at 0.
        Button(w, QStringLiteral("UpisBroja"))->click();
        host.prompter.Clear();
        Retype(w->NumberField(), QStringLiteral("x"));
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Nije ispravno upisan broj !")});
        QCOMPARE(w->NumberField()->text(), QStringLiteral("0"));
        // Leaving the box checks it once more: let that happen here, not under the next window.
        w->NumberField()->clearFocus();
        test::Settle();

        // The return note takes goods out only while the lot keeps enough.
        auto* back = qobject_cast<ui::DocumentWindow*>(
            host.Open(IssueDocumentCommand(DocumentKind::ReturnNote)));
        QVERIFY(back);
        const double free =
            host.Real(QStringLiteral("SELECT \"KOLICINA_PRIVREMENO\" FROM \"NABAVE\" WHERE "
                                     "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                                     "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                      {lot.lot, lot.article});
        test::WhenShown<IssueLineDialog>([&](IssueLineDialog* d) {
            CloseAfter closer{d};
            Activate(d);
            QVERIFY(d->Picker()->SetCode(lot.article));
            d->Lots()->setCurrentIndex(d->Lots()->findText(QString::number(lot.lot)));
            host.prompter.Clear();
            Retype(d->Quantity(), QStringLiteral("-") + Number(free + 1));
            // A slow build (the sanitizers) may deliver the check after the keys return.
            QTRY_COMPARE_WITH_TIMEOUT(
                host.prompter.Shown(),
                QStringList{QStringLiteral("Količina artikla bi pala ispod nule.")}, 20000);
            QVERIFY(qAbs(d->Quantity()->Value() + free) < 1e-9);
            Retype(d->Quantity(), QStringLiteral("5"));
            QVERIFY(d->AcceptLine());
            QTest::keyClick(d, Qt::Key_Escape);
        });
        Button(back, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QCOMPARE(back->Lines()->Data().RowCount(), 1);
        QCOMPARE(back->Lines()->Data().Value(0, 4).toDouble(), 5.0);
    }

    void theSupplierIsAskedForAndTheListDeletesAfterItsGuards() {
        DemoHost host;
        const FreeLot lot = FirstFreeLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.Open(IssueDocumentCommand(DocumentKind::SupplierReturn)));
        QVERIFY(w);
        AddLineByKeys(host, w, lot, QStringLiteral("1"));
        host.prompter.Clear();
        QVERIFY(!w->Post());
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Nije izabran dobavljač !")});
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        auto* supplier =
            qobject_cast<QComboBox*>(w->Extra()->Editor(IssueDocumentController::SupplierKey()));
        supplier->setCurrentIndex(supplier->count() - 1);
        QVERIFY(w->Post());
        const int returned = w->Header().number - 1;
        QCOMPARE(host.Scalar(QStringLiteral("SELECT \"SIFRA_DOBAVLJACA\" FROM "
                                            "\"POVRATNICE_DOBAVLJACIMA\" WHERE \"SKLADISTE\" = 1 "
                                            "AND \"BROJ_POVRATNICE_DOBAVLJACU\" = ?"),
                             {returned}),
                 supplier->itemData(supplier->count() - 1));

        // A write-off whose lot was repriced afterwards: refused before the question.
        const FreeLot other = FirstFreeLot(host, lot.article);
        auto* off = qobject_cast<ui::DocumentWindow*>(
            host.Open(IssueDocumentCommand(DocumentKind::WriteOff)));
        QVERIFY(off);
        AddLineByKeys(host, off, other, QStringLiteral("1"));
        QVERIFY(off->Post());
        const int writeOff = off->Header().number - 1;
        auto* list = qobject_cast<ui::PostedDocumentsWindow*>(
            host.Open(IssueListCommand(DocumentKind::WriteOff)));
        QVERIFY(list);
        list->Documents()->SelectRow(list->Documents()->Data().RowCount() - 1);
        QCOMPARE(list->CurrentKey().toInt(), writeOff);
        Session& session = host.CurrentSession();
        stockdocs::AddPriceChangeLine(session, other.article, other.lot, 123.45);
        stockdocs::PostPriceChange(session, {0, QDate::currentDate()});
        host.prompter.Clear();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral(
                     "Ovaj rashod nemožete stornirati jer su na artiklima iz rashoda nakon njenog "
                     "izdavanja rađene izmjene cijena.")});

        // The return to supplier has nothing after it: the question, No keeps it, Yes deletes.
        auto* returns = qobject_cast<ui::PostedDocumentsWindow*>(
            host.Open(IssueListCommand(DocumentKind::SupplierReturn)));
        QVERIFY(returns);
        returns->Documents()->SelectRow(returns->Documents()->Data().RowCount() - 1);
        QCOMPARE(returns->CurrentKey().toInt(), returned);
        host.prompter.Clear();
        host.prompter.AnswerNo();
        returns->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li izbrisati povratnicu dobavljaču!")});
        QCOMPARE(returns->Documents()->Data().RowCount(), 1);
        host.prompter.AnswerYes();
        returns->DeleteCurrent();
        QCOMPARE(returns->Documents()->Data().RowCount(), 0);
        // Opening a posted document shows its lines.
        list->OpenCurrent();
        test::Settle();
        auto* view = qobject_cast<ui::PostedDocumentView*>(host.LastWindow());
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QStringLiteral("Rashod br.") + QString::number(writeOff));
    }
};

ZODRA_WINDOW_TEST_MAIN(IssueDocumentWindowsTest)
#include "IssueDocumentWindowsTest.moc"
