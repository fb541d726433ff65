// The "Saldakonti" report commands through the program's wiring: "Izbor dužnika", the prints of
// payment lists, opening balances and cards, and the slips of the collection windows.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/desktop/CommandWiring.h"
#include "data/Database.h"
#include "data/SqlValue.h"
#include "payments/ui/CollectionWindow.h"
#include "payments/ui/DebtReportDialog.h"
#include "payments/ui/PartnerCardWindow.h"
#include "payments/ui/PartnerOpeningWindow.h"
#include "payments/ui/PaymentListWindow.h"
#include "payments/ui/PaymentSlipPrinting.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"

using namespace zodra;

namespace {

int AddDebtor(Session& s, const QString& name, int number, double amount) {
    const int partner = sqlvalue::ToInt(s.Db().Scalar(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Kupac\") VALUES (?, TRUE) "
                       "RETURNING \"SIFRA\""),
        {name}));
    s.Db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                               "\"BROJ RACUNA\", \"DATUM\", \"SIFRA PARTNERA\", \"STORNO\") "
                               "VALUES (1, 2, ?, ?, ?, ?, FALSE)"),
                {s.businessYear, number, QDate(s.businessYear, 2, number), partner});
    s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                               "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"UKUPNO_\") VALUES "
                               "(1, 2, ?, ?, 'USL', ?)"),
                {s.businessYear, number, amount});
    return partner;
}

QString ReportText(test::TestHost& host, const QString& name) {
    auto* window = qobject_cast<reports::ui::ReportWindow*>(host.LastWindow());
    if (!window) {
        return {};
    }
    const QString pdf = QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".pdf");
    window->WritePdf(pdf);
    return test::PdfText(pdf).simplified();
}

// Clicks the window's button of that name and gives the report window it opened, if any.
reports::ui::ReportWindow* PressPrint(test::TestHost& host, QWidget* window, const char* button) {
    QWidget* before = host.LastWindow();
    auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
    if (!b) {
        return nullptr;
    }
    b->click();
    test::Settle();
    return host.LastWindow() == before
               ? nullptr
               : qobject_cast<reports::ui::ReportWindow*>(host.LastWindow());
}

}  // namespace

class PaymentReportWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // Nothing chosen is refused and the dialog stays; the debtor picked by keys is the one
    // printed under the command's title. "Svi" prints every debtor without a dialog.
    void chosenAndAllDebtors() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        zodra::ui::CommandRegistry registry;
        desktop::RegisterAllCommands(registry);
        host.registry = &registry;
        Session& s = host.CurrentSession();
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        bool refused = false;
        bool listed = false;
        test::WhenShown<payments::ui::DebtReportDialog>([&](payments::ui::DebtReportDialog* d) {
            test::CloseAfter guard{d};
            listed = d->windowTitle() == QStringLiteral("Izbor dužnika") &&
                     d->DebtorList()->count() == 2 &&
                     d->DebtorList()->item(1)->text().endsWith(QStringLiteral("Zvonko Žic"));
            d->DebtorList()->clearSelection();
            d->Accept();
            refused = d->isVisible() && host.prompter.LastMessage() ==
                                            payments::ui::DebtReportDialog::NoDebtorMessage();
            d->DebtorList()->setFocus();
            QTest::keyClick(d->DebtorList(), Qt::Key_Home);
            QTest::keyClick(d->DebtorList(), Qt::Key_Down);
            d->Accept();
        });
        host.RunCommand(QStringLiteral("Dugovi_datum"));
        test::Settle();
        QVERIFY(listed);
        QVERIFY(refused);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran niti jedan dužnik !"));
        QVERIFY(host.statusTexts.contains(QStringLiteral(" Dužnici")));
        const QString text = ReportText(host, QStringLiteral("dugovi_datum"));
        QVERIFY2(text.contains(QStringLiteral("Izvještaj dužnika po datumima računa od 01.01.")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Ukupno Zvonko Žic 12,34 0,00 12,34")));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));
        host.Photograph(host.LastWindow(), QStringLiteral("dugovi-datum"));

        const int dialogs = host.prompter.Shown().size();
        host.RunCommand(QStringLiteral("Dugovi_svi"));
        test::Settle();
        QCOMPARE(host.prompter.Shown().size(), dialogs);
        const QString all = ReportText(host, QStringLiteral("dugovi_svi"));
        QVERIFY2(all.contains(QStringLiteral("Svi dužnici po izlaznim računima")), qPrintable(all));
        QVERIFY(all.contains(QStringLiteral("SVEUKUPNO 52,34 0,00 52,34")));
    }

    // "Virmani": refused with its reason while the company has no IBAN; with one, the slips of
    // the open invoices in the numbers and dates of the range dialog.
    void slipsOfTheOpenInvoices() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Trgovina d.o.o.', "
                           "\"ZIRO_RACUN\" = ''"));
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        test::WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        payments::ui::PrintOutputInvoiceSlips(host, 2, payments::SlipKind::OutputInvoiceOrder);
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Uplatnica se ne može ispisati: primatelj Trgovina d.o.o. nema "
                                "upisan IBAN."));
        QVERIFY(!host.LastWindow());
        s.Db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = "
                           "'HR1723600001101234565'"));
        test::WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) {
            QCOMPARE(d->FirstBox()->text(), QStringLiteral("1"));
            QCOMPARE(d->LastBox()->text(), QStringLiteral("2"));
            d->FirstBox()->setText(QStringLiteral("2"));
            d->Accept();
        });
        payments::ui::PrintOutputInvoiceSlips(host, 2, payments::SlipKind::OutputInvoiceOrder);
        test::Settle();
        const QString text = ReportText(host, QStringLiteral("virmani"));
        QVERIFY2(text.contains(QStringLiteral("Zvonko Žic")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));
        QVERIFY(text.contains(QStringLiteral("12,34")));
        host.Photograph(host.LastWindow(), QStringLiteral("virmani"));
    }

    // "Ispis" and "Ispis po danima" of "Uplate kupaca" print the payments of the window's own
    // dates; "Ispis" of "Početna stanja kupaca" the year's opening balances.
    void printsOfPaymentsAndOpeningBalances() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        const int ana = AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        const int zvonko = AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", "
                           "\"Partner\", \"Datum\", \"Tip\", \"Opis\", \"Iznos\") "
                           "VALUES (1, ?, ?, ?, 'gotovina', 'blagajna 1', 25), (1, ?, ?, ?, "
                           "'žiro račun', 'izvod 2', 5)"),
            {s.businessYear, ana, QDate(s.businessYear, 2, 3), s.businessYear, zvonko,
             QDate(s.businessYear, 2, 4)});
        s.Db().Exec(QStringLiteral("INSERT INTO \"PARTNERI POCETNO STANJE\" (\"Skladiste\", "
                                   "\"Godina\", \"Partner\", \"Datum\", \"Opis\", \"Duguje\", "
                                   "\"Potražuje\") VALUES (1, ?, ?, ?, 'Početno', 7.5, 0)"),
                    {s.businessYear, ana, QDate(s.businessYear, 1, 1)});

        auto* list = new payments::ui::PaymentListWindow(host, false);
        host.ShowWindow(list, list->windowTitle());
        list->findChild<zodra::ui::DateBox*>(QStringLiteral("Od"))
            ->SetDate(QDate(s.businessYear, 2, 4));
        host.Photograph(list, QStringLiteral("uplate-kupaca"));
        auto* report = PressPrint(host, list, "Ispis");
        QVERIFY(report);
        QCOMPARE(report->Request().reportFile, QStringLiteral("uplate.rpt"));
        QString text = ReportText(host, QStringLiteral("uplate"));
        QVERIFY2(text.contains(
                     QStringLiteral("Uplate kupaca od 04.02.%1 do 31.12.%1").arg(s.businessYear)),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Zvonko Žic")));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));  // paid the day before
        report = PressPrint(host, list, "IspisPoDanima");
        QVERIFY(report);
        QCOMPARE(report->Request().reportFile, QStringLiteral("uplate_dan.rpt"));
        text = ReportText(host, QStringLiteral("uplate_dan"));
        QVERIFY2(text.contains(QStringLiteral("Uplate kupaca po danima od 04.02.")),
                 qPrintable(text));

        auto* opening = new payments::ui::PartnerOpeningWindow(host, true);
        host.ShowWindow(opening, opening->windowTitle());
        host.Photograph(opening, QStringLiteral("pocetna-stanja-dobavljaca"));
        report = PressPrint(host, opening, "Ispis");
        QVERIFY(report);
        QCOMPARE(report->Request().reportFile, QStringLiteral("poc_stanja_ura.rpt"));
        auto* customers = new payments::ui::PartnerOpeningWindow(host, false);
        host.ShowWindow(customers, customers->windowTitle());
        report = PressPrint(host, customers, "Ispis");
        QVERIFY(report);
        QCOMPARE(report->Request().reportFile, QStringLiteral("poc_stanja.rpt"));
        text = ReportText(host, QStringLiteral("poc_stanja"));
        QVERIFY2(
            text.contains(QStringLiteral("Ana Čačić")) && text.contains(QStringLiteral("7,50")),
            qPrintable(text));
    }

    // The customer card: its dates move what came before into "Donos"; "Ispis" without a
    // customer says so and prints nothing, with one prints that customer's card alone.
    void cardOfDatesAndItsPrint() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        const int zvonko = AddDebtor(s, QStringLiteral("Zvonko Žic"), 2, 12.34);
        s.Db().Exec(QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", "
                                   "\"Partner\", \"Datum\", \"Tip\", \"Opis\", \"Iznos\") "
                                   "VALUES (1, ?, ?, ?, 'gotovina', 'blagajna 1', 5)"),
                    {s.businessYear, zvonko, QDate(s.businessYear, 2, 4)});
        auto* card = new payments::ui::PartnerCardWindow(host, false, std::nullopt,
                                                         QStringLiteral("Izlazni_racuni_kartice"));
        host.ShowWindow(card, card->windowTitle());
        QVERIFY(!PressPrint(host, card, "Ispis"));
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran kupac !"));
        card->PartnerBox()->setCurrentIndex(card->PartnerBox()->findData(zvonko));
        QCOMPARE(card->Grid()->Data().RowCount(), 2);
        QCOMPARE(card->BalanceLabel()->text(), QStringLiteral("Saldo: 7,34"));
        card->FromBox()->SetDate(QDate(s.businessYear, 2, 3));
        card->Refresh();
        QCOMPARE(card->Grid()->Data().RowCount(), 2);
        QCOMPARE(card->Grid()->Data().Value(0, 1).toString(), QStringLiteral("Donos"));
        QCOMPARE(card->BalanceLabel()->text(), QStringLiteral("Saldo: 7,34"));
        auto* report = PressPrint(host, card, "Ispis");
        QVERIFY(report);
        const QString text = ReportText(host, QStringLiteral("kartica"));
        QVERIFY2(text.contains(QStringLiteral("Kartice kupaca od 03.02.")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Zvonko Žic")));
        QVERIFY(!text.contains(QStringLiteral("Čačić")));
        host.Photograph(card, QStringLiteral("kartica-kupca"));
    }

    // "Virmani" and "Uplatnice" of "Naplata izlaznih računa" print the slips of the chosen book;
    // "Virmani" of "Plaćanja ulaznih računa" the slip of the selected input invoice.
    void slipButtonsOfTheCollectionWindows() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Session& s = host.CurrentSession();
        s.Db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Trgovina d.o.o.', "
                           "\"ZIRO_RACUN\" = 'HR1723600001101234565'"));
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"KNJIGE_IRA\" (\"SIFRA\", \"NAZIV\") VALUES "
                           "(2, 'Veleprodaja')"));
        const int ana = AddDebtor(s, QStringLiteral("Ana Čačić"), 1, 40.00);
        auto* collections = new payments::ui::CollectionWindow(host, false);
        host.ShowWindow(collections, collections->windowTitle());
        host.Photograph(collections, QStringLiteral("naplata-izlaznih-racuna"));
        auto* book = collections->findChild<QComboBox*>(QStringLiteral("Knjiga"));
        book->setCurrentIndex(book->findData(2));
        QCOMPARE(collections->Invoices()->Data().RowCount(), 1);
        for (const auto& [button, file] : {std::pair{"Virmani", "ira_virman.rpt"},
                                           std::pair{"Uplatnice", "ira_uplatnica.rpt"}}) {
            test::WhenShown<reports::ui::RangeDialog>(
                [](reports::ui::RangeDialog* d) { d->Accept(); });
            auto* report = PressPrint(host, collections, button);
            QVERIFY2(report, button);
            QCOMPARE(report->Request().reportFile, QString::fromLatin1(file));
            QVERIFY(
                ReportText(host, QString::fromLatin1(button)).contains(QStringLiteral("40,00")));
        }

        s.Db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"ZIRO_RACUN\" = "
                                   "'HR1723600001101234565' WHERE \"SIFRA\" = ?"),
                    {ana});
        s.Db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                                   "\"Redni broj\", \"Račun broj\", \"Račun datum\", \"Šifra "
                                   "dobavljača\", \"Iznos računa sa porezom\") VALUES (1, ?, 3, "
                                   "'U-9', ?, ?, 61.5)"),
                    {s.businessYear, QDate(s.businessYear, 3, 1), ana});
        auto* supplierWindow = new payments::ui::CollectionWindow(host, true);
        host.ShowWindow(supplierWindow, supplierWindow->windowTitle());
        QCOMPARE(supplierWindow->Invoices()->Data().RowCount(), 1);
        host.Photograph(supplierWindow, QStringLiteral("placanja-ulaznih-racuna"));
        auto* report = PressPrint(host, supplierWindow, "Virmani");
        QVERIFY2(report, qPrintable(host.prompter.LastMessage()));
        QCOMPARE(report->Request().reportFile, QStringLiteral("ura_virman.rpt"));
        const QString text = ReportText(host, QStringLiteral("ura_virman"));
        QVERIFY2(text.contains(QStringLiteral("61,50")) && text.contains(QStringLiteral("U-9")),
                 qPrintable(text));
    }
};

ZODRA_WINDOW_TEST_MAIN(PaymentReportWindowTest)
#include "PaymentReportWindowTest.moc"
