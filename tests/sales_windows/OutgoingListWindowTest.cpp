// "Izbor ponude", "Izbor predračuna" and "Izbor otpremnica" on the demo company: selection,
// offer into invoice, deletion, the table view's sums, and billing delivery notes.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "SalesWindowSupport.h"
#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "sales/DeliveryNoteBilling.h"
#include "sales/OutgoingDocument.h"
#include "sales/ui/DeliveryBillingWindow.h"
#include "sales/ui/InvoiceListModel.h"
#include "sales/ui/InvoiceWindows.h"
#include "sales/ui/OutgoingListWindow.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/DocumentWindow.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

using test::Button;

class DemoHost : public test::SalesHost {
public:
    DemoHost() : SalesHost(true) {
        RegisterOutgoingListCommands(commands, [this](ui::WindowHost&,
                                                      const sales::OutgoingDocument& d, int book,
                                                      int number) {
            printed
                << QStringLiteral("%1:%2:%3").arg(static_cast<int>(d.kind)).arg(book).arg(number);
        });
    }
    OutgoingListWindow* Open(const char* command) {
        return qobject_cast<OutgoingListWindow*>(
            test::TestHost::Open(QString::fromLatin1(command)));
    }
    QStringList printed;
};

// The offer (or pro-forma) book of warehouse 1 holding most of them.
int BusiestBook(DemoHost& host, const QString& table) {
    return host.Int(QStringLiteral("SELECT \"IRA\" FROM \"") + table +
                    QStringLiteral("\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 GROUP BY "
                                   "\"IRA\" ORDER BY COUNT(*) DESC LIMIT 1"));
}

// The customer with the most open delivery notes (at least two) in warehouse 1.
int CustomerWithOpenNotes(DemoHost& host) {
    return host.Int(QStringLiteral(
        "SELECT \"SIFRA_PARTNERA\" FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = "
        "2026 AND \"BROJ_RACUNA\" IS NULL GROUP BY \"SIFRA_PARTNERA\" HAVING COUNT(*) >= 2 "
        "ORDER BY COUNT(*) DESC LIMIT 1"));
}

}  // namespace

class OutgoingListWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theOfferListFollowsTheSelectionAndPrintsOnEnter() {
        DemoHost host;
        const int book = BusiestBook(host, QStringLiteral("PONUDE"));
        const int count =
            host.Int(QStringLiteral("SELECT COUNT(*) FROM \"PONUDE\" WHERE \"SKLADISTE\" = 1 AND "
                                    "\"GODINA\" = 2026 AND \"IRA\" = ?"),
                     {book});
        QVERIFY2(count >= 2, "the demo has offers");
        OutgoingListWindow* list = host.Open("Pregledi_ponude");
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("Izbor ponude"));
        QVERIFY(ui::MnemonicClashes(list).isEmpty());
        list->SetBook(book);
        QCOMPARE(list->Model()->rowCount(), std::min(count, 100));
        const QString secondSql = QStringLiteral(
            "SELECT \"BROJ RACUNA\" FROM \"PONUDE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 "
            "AND \"IRA\" = ? ORDER BY \"BROJ RACUNA\" LIMIT 1 OFFSET 1");
        const int second = host.Int(secondSql, {book});
        QTest::keyClick(list->List(), Qt::Key_Down);
        QCOMPARE(list->CurrentNumber().toInt(), second);
        const QString customer =
            host.Scalar(QStringLiteral("SELECT p.\"NAZIV\" FROM \"PONUDE\" h JOIN \"PARTNERI\" p "
                                       "ON p.\"SIFRA\" = h.\"SIFRA PARTNERA\" WHERE "
                                       "h.\"SKLADISTE\" = 1 AND h.\"IRA\" = ? AND "
                                       "h.\"BROJ RACUNA\" = ?"),
                        {book, second})
                .toString();
        QVERIFY2(list->Details()->text().contains(QStringLiteral("Kupac: ") + customer),
                 qPrintable(list->Details()->text()));
        host.Photograph(list, QStringLiteral("izbor_ponude"));

        QTest::keyClick(list->List(), Qt::Key_Return);
        QCOMPARE(host.printed, QStringList{QStringLiteral("1:%1:%2").arg(book).arg(second)});
    }

    void anOfferBecomesAnInvoiceInTheInvoiceWindowAndIsShownRealized() {
        DemoHost host;
        const int book = BusiestBook(host, QStringLiteral("PONUDE"));
        const int number = host.Int(
            QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"PONUDE\" WHERE \"SKLADISTE\" = 1 "
                           "AND \"GODINA\" = 2026 AND \"IRA\" = ? AND NOT \"STORNO\""),
            {book});
        const int lines = host.Int(
            QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PONUDA\" WHERE \"SKLADISTE\" = 1 AND "
                           "\"GODINA\" = 2026 AND \"IRA\" = ? AND \"BROJ_RACUNA\" = ?"),
            {book, number});
        QVERIFY(number > 0 && lines > 0);
        OutgoingListWindow* list = host.Open("Pregledi_ponude");
        list->SetBook(book);
        list->SelectNumber(number);
        QVERIFY(!list->Details()->text().contains(QStringLiteral("Realizirano")));

        host.prompter.AnswerYes();
        Button(list, "Racun")->click();
        test::Settle();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li ponudu označiti kao realiziranu!")});
        auto* invoice = qobject_cast<ui::DocumentWindow*>(host.FindWindow(InvoiceCommand()));
        QVERIFY(invoice);
        QCOMPARE(invoice->Lines()->Data().RowCount(), lines);
        QVERIFY2(invoice->windowTitle().startsWith(QStringLiteral("Račun - ")),
                 qPrintable(invoice->windowTitle()));
        QVERIFY(list->Details()->text().endsWith(QStringLiteral("Realizirano")));
        const int row = list->Model()->RowOf(number);
        QCOMPARE(list->Model()->Data().Value(row, 4).toString(), QStringLiteral("Realizirano"));

        // A second offer into the invoice window that already holds lines is refused, and the
        // offer is not marked realized by the Yes given before the refusal.
        const int other = host.Int(
            QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"PONUDE\" WHERE \"SKLADISTE\" = 1 "
                           "AND \"GODINA\" = 2026 AND \"IRA\" = ? AND NOT \"STORNO\""),
            {book});
        QVERIFY(other > 0);
        host.prompter.Clear();
        host.prompter.AnswerYes();
        list->SelectNumber(other);
        list->MakeInvoice();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Račun već ima upisanih stavki."));
        QCOMPARE(host.Int(QStringLiteral("SELECT \"STORNO\" FROM \"PONUDE\" WHERE \"SKLADISTE\" "
                                         "= 1 AND \"IRA\" = ? AND \"BROJ RACUNA\" = ?"),
                          {book, other}),
                 0);
        QCOMPARE(invoice->Lines()->Data().RowCount(), lines);
    }

    void aProFormaBecomesAnInvoiceWithoutTheQuestion() {
        DemoHost host;
        const int book = BusiestBook(host, QStringLiteral("PREDRACUNI"));
        const int number = host.Int(
            QStringLiteral("SELECT MAX(\"BROJ RACUNA\") FROM \"PREDRACUNI\" WHERE \"SKLADISTE\" "
                           "= 1 AND \"GODINA\" = 2026 AND \"IRA\" = ?"),
            {book});
        const int lines = host.Int(
            QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PREDRACUNA\" WHERE \"SKLADISTE\" = 1 "
                           "AND \"GODINA\" = 2026 AND \"IRA\" = ? AND \"BROJ_RACUNA\" = ?"),
            {book, number});
        OutgoingListWindow* list = host.Open("Pregledi_predracuni");
        QCOMPARE(list->windowTitle(), QStringLiteral("Izbor predračuna"));
        QCOMPARE(list->Model()->columnCount(), 4);
        list->SetBook(book);
        list->SelectNumber(number);
        list->MakeInvoice();
        QVERIFY(host.prompter.Shown().isEmpty());
        auto* invoice = qobject_cast<ui::DocumentWindow*>(host.FindWindow(InvoiceCommand()));
        QVERIFY(invoice);
        QCOMPARE(invoice->Lines()->Data().RowCount(), lines);
        host.Photograph(list, QStringLiteral("izbor_predracuna"));
    }

    void deletionAsksAndABilledDeliveryNoteIsRefused() {
        DemoHost host;
        // An offer: No keeps it, Yes deletes it and the list is read again.
        const int book = BusiestBook(host, QStringLiteral("PONUDE"));
        const QString offers = QStringLiteral(
            "SELECT COUNT(*) FROM \"PONUDE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
            "\"IRA\" = ?");
        const int before = host.Int(offers, {book});
        OutgoingListWindow* list = host.Open("Pregledi_ponude");
        list->SetBook(book);
        const int rows = list->Model()->rowCount();
        host.prompter.AnswerNo();
        QTest::keyClick(list->List(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Želite li izbrisati ponudu!")});
        QCOMPARE(host.Int(offers, {book}), before);
        host.prompter.Clear();
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(host.Int(offers, {book}), before - 1);
        QCOMPARE(list->Model()->rowCount(), rows - 1 + (before > 100 ? 1 : 0));

        // A billed delivery note: refused before any question; an open one goes after Yes.
        const int billed = host.Int(QStringLiteral(
            "SELECT MIN(\"BROJ_OTPREMNICE\") FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND "
            "\"GODINA\" = 2026 AND \"BROJ_RACUNA\" IS NOT NULL"));
        const int open = host.Int(QStringLiteral(
            "SELECT MAX(\"BROJ_OTPREMNICE\") FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND "
            "\"GODINA\" = 2026 AND \"BROJ_RACUNA\" IS NULL"));
        QVERIFY(billed > 0 && open > 0);
        OutgoingListWindow* notes = host.Open("Pregledi_otpremnice");
        QCOMPARE(notes->windowTitle(), QStringLiteral("Izbor otpremnica"));
        QVERIFY(!notes->BookBox());
        QVERIFY(!Button(notes, "Racun"));
        notes->SelectNumber(billed);
        const int invoice = host.Int(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"OTPREMNICE\" "
                                                    "WHERE \"SKLADISTE\" = 1 AND "
                                                    "\"BROJ_OTPREMNICE\" = ?"),
                                     {billed});
        QCOMPARE(notes->Model()->Data().Value(notes->Model()->RowOf(billed), 3).toString(),
                 QStringLiteral("%1/1").arg(invoice));
        QVERIFY(notes->Details()->text().endsWith(QStringLiteral("Račun br. %1/1").arg(invoice)));
        host.prompter.Clear();
        QTest::keyClick(notes->List(), Qt::Key_Delete);
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral(
                     "Ovu otpremnicu nemožete izbrisati jer iz nje već napravljen račun.")});
        const QString exists = QStringLiteral(
            "SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 "
            "AND \"BROJ_OTPREMNICE\" = ?");
        QCOMPARE(host.Int(exists, {billed}), 1);
        host.prompter.Clear();
        host.prompter.AnswerYes();
        notes->SelectNumber(open);
        notes->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li izbrisati otpremnicu!")});
        QCOMPARE(host.Int(exists, {open}), 0);
        QCOMPARE(notes->Model()->RowOf(open), -1);
        host.Photograph(notes, QStringLiteral("izbor_otpremnica"));
    }

    void theTableViewShowsEachDocumentsSumsAndTheirTotal() {
        DemoHost host;
        const int book = BusiestBook(host, QStringLiteral("PONUDE"));
        OutgoingListWindow* list = host.Open("Pregledi_ponude");
        list->SetBook(book);
        list->OpenTable();
        auto* table = qobject_cast<OutgoingListTable*>(host.LastWindow());
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), QStringLiteral("Ponude"));
        const TableData& data = table->Model()->Data();
        QStringList headers;
        for (const TableColumn& c : data.columns) {
            headers << c.header;
        }
        QCOMPARE(headers.join(QLatin1Char('|')),
                 QStringLiteral("Broj|Kupac|Datum|Vrijedi do|Dodatni tekst|Nabavna vrijednost|"
                                "Prodajna vrijednost|Rabat|Osnovica|Porez|Ukupno|Uvjet prodaje"));
        QVERIFY(data.RowCount() > 0);
        const int first = data.Value(0, 0).toInt();
        const double total = host.Real(QStringLiteral("SELECT SUM(\"UKUPNO_\") FROM "
                                                      "\"STAVKE_PONUDA\" WHERE \"SKLADISTE\" = 1 "
                                                      "AND \"GODINA\" = 2026 AND \"IRA\" = ? AND "
                                                      "\"BROJ_RACUNA\" = ?"),
                                       {book, first});
        QCOMPARE(data.Value(0, 10).toDouble(), RoundMoney(total));
        // Base plus tax make the total, discount off the selling value makes the base.
        QCOMPARE(RoundMoney(data.Value(0, 8).toDouble() + data.Value(0, 9).toDouble()),
                 data.Value(0, 10).toDouble());
        QVERIFY(table->Totals()->text().startsWith(QStringLiteral("Ukupno: nabavna ")));
        host.Photograph(table, QStringLiteral("ponude_tablicno"));

        OutgoingListWindow* notes = host.Open("Pregledi_otpremnice");
        notes->OpenTable();
        auto* noteTable = qobject_cast<OutgoingListTable*>(host.LastWindow());
        QCOMPARE(noteTable->windowTitle(), QStringLiteral("Otpremnice"));
        QCOMPARE(noteTable->Model()->columnCount(), 9);
        QVERIFY(noteTable->Totals()->text().contains(QStringLiteral("Nefakturirano: ukupno ")));
    }

    void theBillingWindowChecksItsLimitsAndBindsTheChosenNotesOnce() {
        DemoHost host;
        OutgoingListWindow* notes = host.Open("Pregledi_otpremnice");
        Button(notes, "RacuniIzOtpremnica")->click();
        auto* billing = qobject_cast<DeliveryBillingWindow*>(host.LastWindow());
        QVERIFY(billing);
        QVERIFY(ui::MnemonicClashes(billing).isEmpty());
        const QString invoices = QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"");
        const int invoicesBefore = host.Int(invoices);

        // A date that is none: its message, today's date taken, nothing billed.
        billing->From()->setFocus();
        billing->From()->selectAll();
        test::TypeInto(billing->From(), QStringLiteral("45.13.2026"));
        billing->Bill();
        QCOMPARE(host.prompter.Messages(),
                 QStringList{QStringLiteral(
                     "Nije ispravno upisan datum. Biti će postavljen današnji datum.")});
        QCOMPARE(billing->From()->Date(), QDate::currentDate());
        // Limits the wrong way round.
        host.prompter.Clear();
        billing->From()->SetDate(QDate(2026, 12, 31));
        billing->To()->SetDate(QDate(2026, 1, 1));
        billing->Bill();
        QCOMPARE(host.prompter.Messages(),
                 QStringList{QStringLiteral("Ograničenja nisu ispravno upisana.")});
        QCOMPARE(host.Int(invoices), invoicesBefore);

        // Every customer: the question, No bills nothing.
        host.prompter.Clear();
        billing->From()->SetDate(QDate(2026, 1, 1));
        billing->To()->SetDate(QDate(2026, 12, 31));
        host.prompter.AnswerNo();
        QVERIFY(billing->Bill().empty());
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral(
                     "Želite li napraviti račune za otvorene otpremnice svih kupaca ?")});
        QCOMPARE(host.Int(invoices), invoicesBefore);

        // A customer with at least two open notes: one is unticked in the picker.
        const int customer = CustomerWithOpenNotes(host);
        QVERIFY2(customer > 0, "the demo has a customer with two open notes");
        const QString openOf = QStringLiteral(
            "SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
            "\"BROJ_RACUNA\" IS NULL AND \"SIFRA_PARTNERA\" = ?");
        const int open = host.Int(openOf, {customer});
        billing->Customer()->setCurrentIndex(billing->Customer()->findData(customer));
        int unticked = 0;
        test::WhenShown<DeliveryNotePicker>([&](DeliveryNotePicker* d) {
            QCOMPARE(d->Notes()->count(), open);
            unticked = d->Notes()->item(0)->data(Qt::UserRole).toInt();
            d->Notes()->setCurrentRow(0);
            QTest::keyClick(d->Notes(), Qt::Key_Space);
            QCOMPARE(d->Notes()->item(0)->checkState(), Qt::Unchecked);
            host.Photograph(d, QStringLiteral("izbor_otpremnica_za_racun"));
            QTest::keyClick(d, Qt::Key_Return);
        });
        Button(billing, "IzborOtp")->click();
        QVERIFY(billing->Pick().has_value());
        QCOMPARE(static_cast<int>(billing->Pick()->size()), open - 1);
        QCOMPARE(billing->Chosen()->text(),
                 QStringLiteral("Izabrano otpremnica: %1").arg(open - 1));
        host.Photograph(billing, QStringLiteral("racuni_iz_otpremnica"));

        host.prompter.Clear();
        host.prompter.AnswerNo();  // no printing
        const std::vector<sales::BilledInvoice> made = billing->Bill();
        QCOMPARE(static_cast<int>(made.size()), 1);
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Želite li isprintati napravljene račune?")});
        QCOMPARE(static_cast<int>(made.front().notes.size()), open - 1);
        const QString boundTo = QStringLiteral(
            "SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
            "\"IRA_RACUNA\" = 1 AND \"BROJ_RACUNA\" = ?");
        QCOMPARE(host.Int(boundTo, {made.front().number}), open - 1);
        QCOMPARE(host.Int(openOf, {customer}), 1);
        QVERIFY(!billing->Pick().has_value());

        // Billing the customer again takes only the note left open; the billed ones stay on
        // their invoice.
        host.prompter.Clear();
        host.prompter.AnswerYes();  // print: the invoice's own printout
        const std::vector<sales::BilledInvoice> again = billing->Bill();
        QCOMPARE(static_cast<int>(again.size()), 1);
        QCOMPARE(again.front().notes, std::vector<int>{unticked});
        QCOMPARE(host.Int(boundTo, {made.front().number}), open - 1);
        QCOMPARE(host.Int(openOf, {customer}), 0);
        QCOMPARE(host.LastWindow()->windowTitle(),
                 QStringLiteral("Ispis računa br. %1").arg(again.front().number));
        QCOMPARE(host.Int(invoices), invoicesBefore + 2);
    }

    void aNoteBilledByAnotherWorkstationAfterThePickIsLeftOut() {
        DemoHost host;
        const int customer = CustomerWithOpenNotes(host);
        QVERIFY(customer > 0);
        auto* billing = new DeliveryBillingWindow(host);
        host.ShowWindow(billing, billing->windowTitle());
        billing->Customer()->setCurrentIndex(billing->Customer()->findData(customer));
        test::WhenShown<DeliveryNotePicker>(
            [](DeliveryNotePicker* d) { QTest::keyClick(d, Qt::Key_Return); });
        billing->PickNotes();
        QVERIFY(billing->Pick() && billing->Pick()->size() >= 2);
        const std::vector<int> picked = *billing->Pick();

        // Another workstation on the same company bills the first picked note meanwhile.
        Session other;
        auto opened = Database::Open(host.CurrentSession().databasePath, QString());
        QVERIFY(opened.status == Database::OpenStatus::Ok);
        other.databasePath = host.CurrentSession().databasePath;
        other.userName = QStringLiteral("admin");
        other.Attach(std::move(opened.db));
        ScriptedPrompter quiet;
        sessionstart::Start(other, 1, quiet, QDate(2026, 3, 2));
        const std::vector<sales::BilledInvoice> theirs =
            sales::BillDeliveryNotes(other, {picked.front()}, QDate(2026, 3, 2));
        QCOMPARE(static_cast<int>(theirs.size()), 1);

        host.prompter.AnswerNo();
        const std::vector<sales::BilledInvoice> ours = billing->Bill();
        QCOMPARE(static_cast<int>(ours.size()), 1);
        QCOMPARE(ours.front().notes, std::vector<int>(picked.begin() + 1, picked.end()));
        const QString invoiceOf = QStringLiteral(
            "SELECT \"BROJ_RACUNA\" FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND "
            "\"GODINA\" = 2026 AND \"BROJ_OTPREMNICE\" = ?");
        QCOMPARE(host.Int(invoiceOf, {picked.front()}), theirs.front().number);
        QCOMPARE(host.Int(invoiceOf, {picked.back()}), ours.front().number);
    }
};

ZODRA_WINDOW_TEST_MAIN(OutgoingListWindowTest)
#include "OutgoingListWindowTest.moc"
