// "Izbor računa" with invoices posted from the example file: paging, cancellation and deletion,
// the print on Enter, "Ispravak", and "E-mail" through a stand-in mail program.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "data/Database.h"
#include "data/Session.h"
#include "sales/InvoiceJson.h"
#include "sales/InvoiceList.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/InvoiceListMail.h"
#include "sales/ui/InvoiceListModel.h"
#include "sales/ui/InvoiceListTable.h"
#include "sales/ui/InvoiceListWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

class DemoHost : public test::DemoHost {
public:
    explicit DemoHost(InvoiceCorrectionOpener correction = {})
        : test::DemoHost({.commands =
                              [&](ui::CommandRegistry& r) {
                                  RegisterInvoiceListCommands(r, std::move(correction));
                              },
                          .withSales = false,
                          .debugMode = true}) {}
    // Posts the example invoice (10.03.2026, customer "Kod Ane's d.o.o.") `count` times.
    void PostInvoices(int count) {
        QFile file(QStringLiteral(ZODRA_SOURCE_DIR "/docs/examples/racun.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray json = file.readAll();
        for (int i = 0; i < count; ++i) {
            const sales::JsonInvoice invoice = sales::ParseInvoiceJson(CurrentSession().Db(), json);
            QVERIFY(sales::PostInvoiceFromJson(CurrentSession(), prompter, invoice));
        }
        prompter.Clear();
    }
};

class FakeMail : public MailProgram {
public:
    QString path = QStringLiteral("/usr/bin/xdg-email");
    bool starts = true;
    QString program;
    QStringList arguments;
    QString Find() const override { return path; }
    bool StartDetached(const QString& p, const QStringList& a) override {
        program = p;
        arguments = a;
        return starts;
    }
};

InvoiceListWindow* OpenList(DemoHost& host) {
    return qobject_cast<InvoiceListWindow*>(host.Open(QStringLiteral("Pregledi_racuni")));
}

}  // namespace

class InvoiceListWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theListShowsTheBooksInvoicesPageByPageWithTheSelectedOnesData() {
        DemoHost host;
        host.PostInvoices(3);
        InvoiceListWindow* list = OpenList(host);
        QVERIFY(list);
        QCOMPARE(list->Book(), 1);
        QCOMPARE(list->Model()->rowCount(), 3);
        QCOMPARE(list->CurrentNumber().toInt(), 1);
        QVERIFY2(list->Details()->text().startsWith(
                     QStringLiteral("Datum: 10.03.2026    Kupac: Kod Ane's d.o.o.    Uvjet "
                                    "prodaje: Veleprodaja    Ukupno: ")),
                 qPrintable(list->Details()->text()));
        QVERIFY(ui::MnemonicClashes(list).isEmpty());
        host.Photograph(list, QStringLiteral("izbor_racuna"));

        // Pages of two: the view asks for the third when it needs it.
        Session& s = host.CurrentSession();
        InvoiceListModel paged(nullptr, 2);
        paged.Reset([&](std::optional<int> after, int limit) {
            return sales::InvoiceChoicePage(s.Db(), 1, 1, s.businessYear, after, limit);
        });
        QCOMPARE(paged.rowCount(), 2);
        QVERIFY(paged.canFetchMore(QModelIndex()));
        QCOMPARE(paged.RowOf(3), 2);
        QVERIFY(!paged.canFetchMore(QModelIndex()));
        QCOMPARE(paged.RowOf(4), -1);

        // Enter on the list shows the invoice in the report window.
        list->SelectNumber(2);
        QTest::keyClick(list->Invoices(), Qt::Key_Return);
        QCOMPARE(host.LastWindow()->windowTitle(), QStringLiteral("Ispis računa br. 2"));
    }

    void cancellationAsksTheQuestionAndTheDateUntilItIsRight() {
        DemoHost host;
        host.PostInvoices(2);
        InvoiceListWindow* list = OpenList(host);
        list->SelectNumber(2);
        const QString stornoOf2 = QStringLiteral(
            "SELECT \"STORNO\" FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = 2 AND \"IRA\" = 1");

        host.prompter.AnswerNo();
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Želite li stornirati račun!")});
        QCOMPARE(host.Int(stornoOf2), 0);

        host.prompter.Clear();
        host.prompter.AnswerYes()
            .AnswerText(QStringLiteral("xx"))
            .AnswerText(QStringLiteral("09.03.2026"))
            .AnswerText(QStringLiteral("12.03.2026"));
        list->CancelCurrent();
        QCOMPARE(
            host.prompter.Messages(),
            (QStringList{QStringLiteral("Datum storna nije ispravno upisan. Pokušajte ponovo."),
                         QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte "
                                        "ponovo.")}));
        QCOMPARE(host.Int(stornoOf2), 1);
        QCOMPARE(host.LastWindow()->windowTitle(), QStringLiteral("Ispis storna računa br. 2"));
        QCOMPARE(list->CurrentNumber().toInt(), 2);
        QVERIFY(list->Details()->text().endsWith(QStringLiteral("Storniran 12.03.2026")));

        // Once cancelled the guard answers before any date is asked.
        host.prompter.Clear();
        host.prompter.AnswerYes();
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown(),
                 (QStringList{QStringLiteral("Želite li stornirati račun!"),
                              QStringLiteral("Ovaj račun je već storniran.")}));

        // Cancelling the date box stops without a change.
        list->SelectNumber(1);
        host.prompter.Clear();
        host.prompter.AnswerYes().Cancel();
        list->CancelCurrent();
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"STORNO\"")), 1);
    }

    void deletionAsksAndTheListIsReadAgain() {
        DemoHost host;
        host.PostInvoices(2);
        InvoiceListWindow* list = OpenList(host);
        list->SelectNumber(1);
        host.prompter.AnswerNo();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Želite li izbrisati račun!")});
        QCOMPARE(list->Model()->rowCount(), 2);

        // Invoice 2 sold from the lot invoice 1 repriced: 1 cannot go before it.
        host.prompter.Clear();
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QCOMPARE(host.prompter.Messages(),
                 QStringList{QStringLiteral("Ovaj račun nemožete stornirati jer su na artiklu "
                                            "'Pivo svijetlo 0,33 l' nakon računa rađeni drugi "
                                            "dokumenti.")});
        QCOMPARE(list->Model()->rowCount(), 2);

        list->SelectNumber(2);
        host.prompter.Clear();
        host.prompter.AnswerYes();
        list->DeleteCurrent();
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(list->Model()->rowCount(), 1);
        QCOMPARE(list->CurrentNumber().toInt(), 1);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                         "\"BROJ_RACUNA\" = 2 AND \"IRA\" = 1")),
                 0);

        list->OpenTable();
        auto* table = host.FindWindow(QStringLiteral("frmIzborRacuna_tablica"));
        QVERIFY(table);
        QVERIFY(table->findChild<QLabel*>(QStringLiteral("Ukupno"))
                    ->text()
                    .startsWith(QStringLiteral("Ukupno: vrijednost ")));
    }

    // Deleting from the table view: refused for a user who is not in KORISNICI (nothing asked,
    // nothing deleted), asked and done for a listed one.
    void theTableViewDeletesOnlyForAListedUser() {
        DemoHost host;
        host.PostInvoices(2);
        InvoiceListWindow* list = OpenList(host);
        list->OpenTable();
        auto* table = qobject_cast<InvoiceListTable*>(
            host.FindWindow(QStringLiteral("frmIzborRacuna_tablica")));
        QVERIFY(table);
        const auto invoices = [&] {
            return host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"IRA\" = 1"));
        };
        QCOMPARE(invoices(), 2);
        table->Table()->setCurrentIndex(table->Model()->index(table->Model()->RowOf(2), 0));
        Session& session = host.CurrentSession();
        const QString user = session.userName;
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"KORISNICI\" WHERE "
                                         "\"Username\" = ?"),
                          {user}),
                 1);

        session.userName = QStringLiteral("gost");
        host.prompter.Clear();
        table->findChild<QPushButton*>(QStringLiteral("Izbrisi"))->click();
        QCOMPARE(host.prompter.Shown(),
                 QStringList{QStringLiteral("Korisnik gost nije upisan u listu korisnika.")});
        QCOMPARE(invoices(), 2);

        session.userName = user;
        host.prompter.Clear();
        host.prompter.AnswerNo();
        table->DeleteCurrent();
        QCOMPARE(host.prompter.Shown(), QStringList{QStringLiteral("Želite li izbrisati račun!")});
        QCOMPARE(invoices(), 2);
        host.prompter.AnswerYes();
        QTest::keyClick(table->Table(), Qt::Key_Delete);
        QCOMPARE(invoices(), 1);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"IRA\" = 1 "
                                         "AND \"BROJ RACUNA\" = 2")),
                 0);
        QCOMPARE(table->Model()->rowCount(), 1);
    }

    void correctionGoesToTheInvoiceWindowsOpener() {
        int openedBook = 0, openedNumber = 0;
        DemoHost host([&](ui::WindowHost&, const ui::CommandRegistry*, int book, int number) {
            openedBook = book;
            openedNumber = number;
        });
        host.PostInvoices(2);
        InvoiceListWindow* list = OpenList(host);
        list->SelectNumber(2);
        list->findChild<QPushButton*>(QStringLiteral("Ispravak"))->click();
        QCOMPARE(openedBook, 1);
        QCOMPARE(openedNumber, 2);

        DemoHost without;
        without.PostInvoices(1);
        OpenList(without)->CorrectCurrent();
        QCOMPARE(without.prompter.Messages(),
                 QStringList{QStringLiteral("Ispravak računa nije dostupan.")});
    }

    void eMailWritesThePdfAndStartsTheMailProgramOrSaysWhereThePdfIs() {
        DemoHost host;
        host.PostInvoices(1);
        QTemporaryDir dir;
        auto mail = std::make_shared<FakeMail>();
        auto* list = new InvoiceListWindow(host, nullptr, {}, mail);
        host.ShowWindow(list, list->windowTitle());
        list->SetMailFolder(dir.path());
        const QString pdf = list->MailFile(1);
        QCOMPARE(pdf,
                 dir.filePath(
                     QStringLiteral("Racun_1_1-%1.pdf").arg(host.CurrentSession().businessYear)));

        list->findChild<QPushButton*>(QStringLiteral("Email"))->click();
        QVERIFY(QFile::exists(pdf));
        QVERIFY(QFile(pdf).size() > 1000);
        QCOMPARE(mail->program, QStringLiteral("/usr/bin/xdg-email"));
        QCOMPARE(mail->arguments,
                 (QStringList{QStringLiteral("--subject"), QStringLiteral("Račun br. 1"),
                              QStringLiteral("--attach"), pdf}));
        QVERIFY(host.prompter.Messages().isEmpty());

        mail->starts = false;
        list->MailCurrent();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Program za e-poštu nije moguće pokrenuti. Račun je spremljen u "
                                "datoteku ") +
                     pdf + QStringLiteral("."));
        mail->path.clear();
        mail->arguments.clear();
        list->MailCurrent();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Program za e-poštu (xdg-email) nije pronađen. Račun je "
                                "spremljen u datoteku ") +
                     pdf + QStringLiteral("."));
        QVERIFY(mail->arguments.isEmpty());
    }
};

ZODRA_WINDOW_TEST_MAIN(InvoiceListWindowTest)
#include "InvoiceListWindowTest.moc"
