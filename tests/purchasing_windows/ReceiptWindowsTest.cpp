// The goods receipt's windows on the demo company: entered, calculated, posted, corrected and
// cancelled.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>

#include "data/Database.h"
#include "data/Session.h"
#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ui/CalculationDialog.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "purchasing/ui/PackagingLineDialog.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "purchasing/ui/SummaryDialog.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::purchasing::ui;
using Box = purchasing::PriceCalculation::Box;

namespace {

// The receipt's commands on a demo company in a folder of its own, with the consistency check
// after every posting.
struct DemoHost : test::DemoHost {
    DemoHost()
        : test::DemoHost({.commands = RegisterPurchasingCommands,
                          .debugMode = true,
                          .purchasePricesVisible = true,
                          .wide = true}) {}
};

using test::Button;

int Code(DemoHost& host, const QString& articleCode) {
    return host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"OPIS\" = ?"),
                    {articleCode});
}

int SupplierCode(DemoHost& host, const QString& name) {
    return host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                    {name});
}

void ChooseSupplier(ui::DocumentWindow* w, int code) {
    auto* box = qobject_cast<QComboBox*>(w->Extra()->Editor(purchasing::SupplierField()));
    box->setCurrentIndex(box->findData(code));
}

}  // namespace

class ReceiptWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aReceiptIsEnteredCalculatedAndPosted() {
        DemoHost host;
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_primka")));
        QVERIFY(w);
        QCOMPARE(w->NumberField()->text(), QStringLiteral("31"));

        // Lines need a supplier and the supplier's document first.
        Button(w, QStringLiteral("DodajStavku"))->click();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran dobavljač !"));
        ChooseSupplier(w, SupplierCode(host, QStringLiteral("Pivovara Žitnjak d.o.o.")));
        Button(w, QStringLiteral("DodajStavku"))->click();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Dokument dobavljača mora biti upisan"));
        auto* document =
            qobject_cast<QLineEdit*>(w->Extra()->Editor(purchasing::SupplierDocumentField()));
        document->setText(QStringLiteral("R-2026/0419"));

        // A line through the calculation window: article and quantity only.
        const int beer = Code(host, QStringLiteral("PI-015"));
        test::WhenShown<LineEntryDialog>([&](LineEntryDialog* d) {
            QVERIFY(d->Picker()->SetCode(beer));
            QVERIFY(d->StockLabel()->text().startsWith(QStringLiteral("Zaliha : ")));
            d->Quantity()->setFocus();
            test::TypeInto(d->Quantity(), QStringLiteral("240"));
            host.Photograph(d, QStringLiteral("primka_upis_stavke"));
            auto calculate = [&](CalculationDialog& c) {
                QCOMPARE(c.BoxOf(Box::Quantity)->Value(), 240.0);
                QVERIFY(c.BoxOf(Box::Quantity)->isReadOnly());
                c.Type(Box::InvoicePrice, 0.62);
                c.Type(Box::DiscountPercent, 5);
                c.Type(Box::MarginPercent, 30);
                QCOMPARE(c.BoxOf(Box::NetPrice)->text(), QStringLiteral("0,589"));
                QCOMPARE(c.Calculation().Value(Box::Price), 0.589 * 1.3);
                c.Type(Box::RetailPrice, 1.09);
                QCOMPARE(c.BoxOf(Box::RetailPrice)->text(), QStringLiteral("1,09"));
                host.Photograph(&c, QStringLiteral("kalkulacija_cijena"));
            };
            d->SetCalculationHook([&](CalculationDialog& c) {
                calculate(c);
                return true;
            });
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        // The beer and the bottles that go with it.
        QCOMPARE(w->Lines()->Data().RowCount(), 2);
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("Ukupno"))
                    ->text()
                    .startsWith(QStringLiteral("Nabavna vr.: 158,16 EUR")));

        // A plain line from the quick entry itself.
        const int juice = Code(host, QStringLiteral("PI-011"));
        test::WhenShown<LineEntryDialog>([&](LineEntryDialog* d) {
            QVERIFY(d->Picker()->SetCode(juice));
            d->Quantity()->setFocus();
            test::TypeInto(d->Quantity(), QStringLiteral("12"));
            d->CostPrice()->setFocus();
            test::TypeInto(d->CostPrice(), QStringLiteral("1,10"));
            QCOMPARE(d->CostValue()->Value(), 13.2);
            d->Value()->setFocus();
            test::TypeInto(d->Value(), QStringLiteral("18"));
            QCOMPARE(d->Price()->Value(), 1.5);
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 3);

        // Only the line number is edited in place.
        w->Lines()->setCurrentIndex(w->Lines()->model()->index(0, 4));
        QTest::keyClick(w->Lines(), Qt::Key_F2);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Mijenjati možete samo redni broj."));

        // The summary: an invoice value of 0 is refused, then the control totals agree; the
        // company keeps its dependent costs as items.
        host.CurrentSession().company.additionalDependentCosts = true;
        test::WhenShown<SummaryDialog>([&](SummaryDialog* d) {
            QVERIFY(!d->AcceptSummaryData());
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Fakturna vrijednost nesmije biti nula !"));
            d->InvoiceValue()->SetValue(148.80 + 16.80 + 13.20);
            d->Discount()->SetValue(7.44);
            d->AddItem(QStringLiteral("Prijevoz"), 9.50);
            QCOMPARE(d->OtherCosts()->Value(), 9.5);
            QVERIFY(d->OtherCosts()->isReadOnly());
            host.Photograph(d, QStringLiteral("zbirni_podaci_primke"));
            QVERIFY(d->AcceptSummaryData());
            d->accept();
        });
        Button(w, QStringLiteral("ZbirniPodaci"))->click();
        test::Settle();
        host.Photograph(w, QStringLiteral("primka"));

        // "Ispis" before posting: the calculation of the working copy, to check.
        Button(w, QStringLiteral("IspisPrimke"))->click();
        test::Settle();
        auto* report = qobject_cast<reports::ui::ReportWindow*>(
            host.area.subWindowList(QMdiArea::CreationOrder).last()->widget());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Ispis primke br. 31"));
        QCOMPARE(report->PageCount(), 1);
        report->parentWidget()->close();
        test::Settle();

        // Deleting a line asks by its kind; No keeps it.
        w->Lines()->SelectRow(1);
        host.prompter.AnswerNo();
        w->DeleteLine();
        QCOMPARE(host.prompter.Shown().last(),
                 QStringLiteral("Želite li izbrisati stavku ambalaže ?"));
        QCOMPARE(w->Lines()->Data().RowCount(), 3);

        // Closing with lines asks; No keeps the window.
        host.prompter.AnswerNo();
        w->parentWidget()->close();
        test::Settle();
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li odustati od primke ?"));
        QVERIFY(host.FindWindow(QStringLiteral("Knjizenje_primka")));

        // Posting: no questions (the sums match), the message, the window closes.
        host.prompter.Clear();
        QVERIFY(w->Post());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Primka je proknjižena pod brojem 31"));
        test::Settle();
        QVERIFY(!host.FindWindow(QStringLiteral("Knjizenje_primka")));
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE "
                                         "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = 31")),
                 3);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE_ZAVISNI_TROSKOVI\" "
                                         "WHERE \"SKLADISTE\" = 1 AND \"BROJ PRIMKE\" = 31")),
                 1);
    }

    void theNumberBoxChecksWhatIsTyped() {
        DemoHost host;
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_primka")));
        QVERIFY(w);
        w->FreeNumber();
        w->NumberField()->selectAll();
        test::TypeInto(w->NumberField(), QStringLiteral("x"));
        QVERIFY(!w->NumberField()->Commit());  // checked when the box is left
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        // Refused numbers give the proposed one back (100001 begins the generated range).
        for (const auto& [typed, message] :
             {std::pair{"0", u"Broj primke nesmije biti 0 (nula) !"},
              std::pair{"7", u"Primka pod ovim brojem je već napravljena !"},
              std::pair{"100001", u"Broj primke mora biti između 1 i 100000 !"}}) {
            w->NumberField()->selectAll();
            test::TypeInto(w->NumberField(), QString::fromLatin1(typed));
            Q_EMIT w->NumberField()->editingFinished();
            QCOMPARE(host.prompter.LastMessage(), QString::fromUtf16(message));
            QCOMPARE(w->NumberField()->text(), QStringLiteral("31"));
        }
        w->NumberField()->selectAll();
        test::TypeInto(w->NumberField(), QStringLiteral("500"));
        Q_EMIT w->NumberField()->editingFinished();
        QCOMPARE(w->Header().number, 500);
        // The supplier's document is checked at posting, and the focus goes back to it.
        ChooseSupplier(w, SupplierCode(host, QStringLiteral("Pivovara Žitnjak d.o.o.")));
        auto* document =
            qobject_cast<QLineEdit*>(w->Extra()->Editor(purchasing::SupplierDocumentField()));
        document->setText(QStringLiteral("123456789012345678901"));
        QVERIFY(!w->Post());
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Dokument dobavljača je duži od 20 znakova"));
    }

    void theListCorrectsCancelsAndShowsItsTable() {
        DemoHost host;
        auto* list =
            qobject_cast<ui::PostedDocumentsWindow*>(host.Open(QStringLiteral("Pregledi_primke")));
        QVERIFY(list);
        QCOMPARE(list->Documents()->Data().RowCount(), 30);
        list->Documents()->SelectRow(2);
        test::Settle();
        QVERIFY(list->Details()->text().startsWith(QStringLiteral("Datum: ")));
        host.Photograph(list, QStringLiteral("izbor_primke"));

        Button(list, QStringLiteral("Tablica"))->click();
        test::Settle();
        auto* table = qobject_cast<ui::DocumentTableView*>(
            host.FindWindow(QStringLiteral("Pregledi_primke_tablica")));
        QVERIFY(table);
        QCOMPARE(table->Table()->Data().columns.size(), size_t{14});
        QVERIFY(table->Totals()->text().startsWith(QStringLiteral("Ukupno: ")));
        host.Photograph(table, QStringLiteral("primke_tablica"));

        // Correction of a receipt nothing was sold from (so its lines may go); the list is in
        // number order.
        const int r = host.Int(QStringLiteral(
            "SELECT MIN(p.\"BROJ PRIMKE\") FROM \"PRIMKE\" p WHERE p.\"SKLADISTE\" = 1 AND "
            "p.\"BROJ PRIMKE\" <> 5 AND (SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" s WHERE "
            "s.\"SKLADISTE\" = 1 AND s.\"BROJ_PRIMKE\" = p.\"BROJ PRIMKE\") >= 3 AND NOT EXISTS "
            "(SELECT 1 FROM \"STAVKE_RACUNA\" i WHERE i.\"SKLADISTE\" = 1 AND i.\"BROJ_PRIMKE\" = "
            "p.\"BROJ PRIMKE\")"));
        QVERIFY(r > 0);
        const QString nr = QString::number(r);
        list->Documents()->SelectRow(r - 1);
        Button(list, QStringLiteral("Ispravak"))->click();
        test::Settle();
        auto* w = qobject_cast<ui::DocumentWindow*>(
            host.FindWindow(QStringLiteral("Knjizenje_primka_ispravak_") + nr));
        QVERIFY(w);
        QVERIFY(
            w->windowTitle().startsWith(QStringLiteral("Primka br.") + nr + QStringLiteral(" - ")));
        QVERIFY(!Button(w, QStringLiteral("Proknjizi")));
        QVERIFY(!Button(w, QStringLiteral("UpisBroja")));
        QCOMPARE(w->NumberField()->text(), nr);
        const int lines = w->Lines()->Data().RowCount();
        QVERIFY(lines >= 3);
        auto* document =
            qobject_cast<QLineEdit*>(w->Extra()->Editor(purchasing::SupplierDocumentField()));
        document->setFocus();
        document->selectAll();
        test::TypeInto(document, QStringLiteral("OTP-99"));
        Q_EMIT document->editingFinished();
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = "
                                         "1 AND \"BROJ PRIMKE\" = ? AND \"DOKUMENT DOBAVLJACA\" "
                                         "= 'OTP-99'"),
                          {r}),
                 1);
        // Another supplier is written at once and named in the caption.
        auto* supplier = qobject_cast<QComboBox*>(w->Extra()->Editor(purchasing::SupplierField()));
        const int other = SupplierCode(host, QStringLiteral("Pivovara Žitnjak d.o.o."));
        supplier->setCurrentIndex(supplier->findData(other));
        Q_EMIT supplier->activated(supplier->currentIndex());
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Primka br.") + nr + QStringLiteral(" - Pivovara Žitnjak d.o.o."));
        QCOMPARE(host.Int(QStringLiteral("SELECT \"SIFRA DOBAVLJACA\" FROM \"PRIMKE\" WHERE "
                                         "\"SKLADISTE\" = 1 AND \"BROJ PRIMKE\" = ?"),
                          {r}),
                 other);
        host.Photograph(w, QStringLiteral("primka_ispravak"));
        // Deleting a posted line: the question, then the line, its lot and the book follow.
        w->Lines()->SelectRow(0);
        host.prompter.AnswerYes();
        w->DeleteLine();
        QCOMPARE(w->Lines()->Data().RowCount(), lines - 1);
        // Closing asks nothing: the lines are posted.
        host.prompter.Clear();
        w->parentWidget()->close();
        test::Settle();
        QVERIFY(host.prompter.Shown().isEmpty());

        // Cancellation: the question, then the message with the new number.
        list->Reload();
        list->Documents()->SelectRow(4);
        host.prompter.AnswerYes();
        list->CancelCurrent();
        QCOMPARE(host.prompter.Shown().first(), QStringLiteral("Želite li stornirati primku!"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Storno primke je proknjižen pod brojem 31"));
        QCOMPARE(list->Documents()->Data().RowCount(), 31);
        // Cancelling it again is refused with its message.
        list->Documents()->SelectRow(4);
        host.prompter.AnswerYes();
        list->CancelCurrent();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Primka broj 5 je već stornirana storno primkom broj 31 !"));
    }
    // "Skraćena kalkulacija" leaves out the rows that are empty for the line, "Dodatni zavisni
    // troškovi" shows the cost items, and the quick entry chooses "by group or code".
    void theCompanyShapesTheCalculationAndTheArticleChoice() {
        DemoHost host;
        Session& session = host.CurrentSession();
        const int beer = Code(host, QStringLiteral("PI-015"));
        const purchasing::ArticleFacts facts = purchasing::ReadArticleFacts(session, beer);
        auto calculation = [](double rate, double packaging, double customs) {
            purchasing::PriceCalculation c(purchasing::CalculationMode::Entry, 10, rate, packaging);
            c.Preset(Box::InvoicePrice, 2);
            c.Preset(Box::CustomsPercent, customs);
            c.Preset(Box::MarginPercent, 20);
            c.Recalculate();
            return c;
        };

        session.company.shortCalculation = true;
        {
            CalculationDialog d(host, facts, calculation(1, 0, 0));
            for (Box hidden :
                 {Box::CurrencyPrice, Box::PackagedPrice, Box::CustomsPercent, Box::CustomsUnit,
                  Box::ForwardingTotal, Box::OtherCostsPercent, Box::PriceWithTaxAndPackaging}) {
                QVERIFY2(!d.BoxOf(hidden),
                         QByteArray::number(static_cast<int>(hidden)).constData());
            }
            QVERIFY(d.BoxOf(Box::DiscountPercent));
            QVERIFY(d.BoxOf(Box::RetailMarginPercent));
            // The chain runs as before: the first box is the invoice price.
            QCOMPARE(d.focusWidget(), d.BoxOf(Box::InvoicePrice));
            d.Type(Box::InvoicePrice, 2.5);
            QCOMPARE(d.BoxOf(Box::Price)->Value(), 3.0);
            QCOMPARE(d.BoxOf(Box::CostValue)->Value(), 25.0);
        }
        {
            // A currency, packaging and customs bring their rows back.
            CalculationDialog d(host, facts, calculation(7.5, 0.1, 10));
            for (Box shown : {Box::CurrencyPrice, Box::PackagedPrice, Box::CustomsPercent,
                              Box::PriceWithTaxAndPackaging}) {
                QVERIFY2(d.BoxOf(shown), QByteArray::number(static_cast<int>(shown)).constData());
            }
            QVERIFY(!d.BoxOf(Box::ForwardingPercent));
        }
        session.company.shortCalculation = false;
        {
            CalculationDialog d(host, facts, calculation(1, 0, 0));
            for (int b = 0; b < static_cast<int>(Box::Count); ++b) {
                QVERIFY2(d.BoxOf(static_cast<Box>(b)), QByteArray::number(b).constData());
            }
        }

        purchasing::ReceiptSummary summary;
        summary.invoiceValue = 100;
        session.company.additionalDependentCosts = false;
        {
            SummaryDialog d(host, summary);
            QVERIFY(!d.Items()->isVisibleTo(&d));
            QVERIFY(!d.OtherCosts()->isReadOnly());
        }
        session.company.additionalDependentCosts = true;
        {
            SummaryDialog d(host, summary);
            QVERIFY(d.Items()->isVisibleTo(&d));
        }
        session.company.additionalDependentCosts = false;
        summary.items.push_back({QStringLiteral("Prijevoz"), 12.5});
        {
            // Items already written stay in sight whatever the setting.
            SummaryDialog d(host, summary);
            QVERIFY(d.Items()->isVisibleTo(&d));
            QCOMPARE(d.OtherCosts()->Value(), 12.5);
        }

        // By group or code.
        const int group = host.Int(
            QStringLiteral("SELECT \"GRUPA_A\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {beer});
        const int inGroup = host.Int(
            QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"GRUPA_A\" = ?"), {group});
        const int all = host.Int(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\""));
        const QString other = session.Db()
                                  .Scalar(QStringLiteral("SELECT MIN(\"OPIS\") FROM \"ARTIKLI\" "
                                                         "WHERE \"GRUPA_A\" <> ?"),
                                          {group})
                                  .toString();
        QVERIFY(inGroup > 0 && inGroup < all);
        registers::ui::ArticlePicker picker(host);
        picker.ShowGroupFilter();
        QVERIFY(picker.GroupBox());
        QCOMPARE(picker.GroupBox()->itemText(0), QStringLiteral("Svi artikli"));
        QCOMPARE(picker.Box()->count(), all);
        QVERIFY(picker.SetCode(beer));
        picker.ChooseGroup(group);
        QCOMPARE(picker.Box()->count(), inGroup);
        QCOMPARE(picker.Code(), beer);
        QCOMPARE(picker.GroupBox()->currentData().toInt(), group);
        // A code of another group is still found: every article is shown again to show it.
        picker.SearchField()->setText(other);
        QTest::keyClick(picker.SearchField(), Qt::Key_Return);
        QCOMPARE(picker.GroupBox()->currentIndex(), 0);
        QCOMPARE(picker.Box()->count(), all);
        QCOMPARE(picker.Code(), Code(host, other));
    }

    // The calculation's boxes refuse what the receipt's core would refuse, with its messages,
    // as soon as it is typed; the box goes back to 0 and the chain follows it.
    void theCalculationBoxesKeepTheInputLimits() {
        DemoHost host;
        host.CurrentSession().company.shortCalculation = false;  // every box shown
        const int beer = Code(host, QStringLiteral("PI-015"));
        const purchasing::ArticleFacts facts =
            purchasing::ReadArticleFacts(host.CurrentSession(), beer);
        purchasing::PriceCalculation c(purchasing::CalculationMode::Entry, 10);
        c.Preset(Box::InvoicePrice, 2);
        c.Preset(Box::MarginPercent, 20);
        c.Recalculate();
        CalculationDialog d(host, facts, c);
        const struct {
            Box box;
            const char* typed;
            const char16_t* message;
        } refused[] = {
            {Box::DiscountPercent, "250", u"Rabat mora biti između -100 i 100 !"},
            {Box::Price, "-3", u"Cijena nesmije biti negativna !"},
            {Box::MarginPercent, "5000", u"Marža mora biti između -100 i 1000 !"},
            {Box::InvoiceValue, "9999999999999",
             u"Fakturna vrijednost mora biti između -999999999999,99 i 999999999999,99 !"},
            {Box::TaxPercent, "101", u"Porez mora biti između 0 i 100 !"},
        };
        for (const auto& r : refused) {
            host.prompter.Clear();
            zodra::ui::NumberBox* box = d.BoxOf(r.box);
            QVERIFY(box);
            box->setFocus();
            box->selectAll();
            test::TypeInto(box, QString::fromLatin1(r.typed));
            QVERIFY(!box->Commit());  // checked when the box is left
            QCOMPARE(host.prompter.Messages(), QStringList{QString::fromUtf16(r.message)});
            QCOMPARE(box->Value(), 0.0);
        }
        // What lies within the rules is taken without a word.
        host.prompter.Clear();
        d.BoxOf(Box::DiscountPercent)->selectAll();
        test::TypeInto(d.BoxOf(Box::DiscountPercent), QStringLiteral("100"));
        QVERIFY(host.prompter.Messages().isEmpty());
        QCOMPARE(d.BoxOf(Box::DiscountPercent)->Value(), 100.0);
    }
};

ZODRA_WINDOW_TEST_MAIN(ReceiptWindowsTest)
#include "ReceiptWindowsTest.moc"
