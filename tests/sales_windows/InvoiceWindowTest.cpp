// The invoice window on the demo company, driven by keys: guards, lines, the header dialog,
// posting, correction and closing. With ZODRA_SCREENSHOTS set every window is photographed.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "SalesWindowSupport.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "registers/ui/ArticlePicker.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceHeaderDialog.h"
#include "sales/ui/InvoiceWindows.h"
#include "sales/ui/LineChangeDialog.h"
#include "sales/ui/LinesTableDialog.h"
#include "sales/ui/PackagingLineDialog.h"
#include "sales/ui/ServiceLineDialog.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

using test::Button;
using test::Choose;

struct DemoHost : test::SalesHost {
    DemoHost() : SalesHost(true) {}
};

QVariant BoxValue(ui::DocumentWindow* w, const QString& key) {
    return w->Extra()->Values().value(key);
}

// The demo's wholesale lot an article line proposes (oldest with stock) with most free stock.
struct DemoLot {
    int article = 0;
    int lot = 0;
    double free = 0;
    double price = 0;
    QString barcode;
};

DemoLot BiggestLot(DemoHost& host) {
    Statement row = host.CurrentSession().Db().Prepare(QStringLiteral(
        "SELECT n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\", n.\"KOLICINA_PRIVREMENO\", "
        "n.\"VELEPRODAJNA CIJENA\", a.\"BARKOD\" FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON "
        "a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" WHERE n.\"SKLADISTE\" = 1 AND n.\"KOLICINA\" > 0 AND "
        "a.\"BARKOD\" <> '' AND NOT EXISTS (SELECT 1 FROM \"NABAVE\" o WHERE o.\"SKLADISTE\" = 1 "
        "AND o.\"GODINA\" = n.\"GODINA\" AND o.\"SIFRA_ARTIKLA\" = n.\"SIFRA_ARTIKLA\" AND "
        "o.\"KOLICINA\" <> 0 AND o.\"BROJ_PRIMKE\" < n.\"BROJ_PRIMKE\") ORDER BY "
        "n.\"KOLICINA_PRIVREMENO\" DESC, n.\"BROJ_PRIMKE\" LIMIT 1"));
    row.Exec();
    if (!row.Next()) {
        return {};
    }
    return {row.Int(0), row.Int(1), row.Double(2), row.Double(3), row.Text(4)};
}

int CustomerCode(DemoHost& host, const QString& name) {
    return host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                    {name});
}

// Posts an invoice of book 2, terms 2 to "Restoran Šestine" with `quantity` of the lot (and a
// service line when asked); returns its number.
int PostInvoice(DemoHost& host, const DemoLot& lot, double quantity, std::optional<double> price,
                bool service = false) {
    Session& session = host.CurrentSession();
    sales::InvoiceDraft d = sales::OpenInvoice(session, QDate::currentDate());
    d.book = 2;
    d.salesTerms = 2;
    d.customer = CustomerCode(host, QStringLiteral("Restoran Šestine"));
    sales::AddArticleLine(session, host.prompter, d,
                          {lot.article, lot.lot, quantity, price, 0.0, std::nullopt, {}});
    if (service) {
        sales::AddServiceLine(session, host.prompter, d,
                              {host.Int(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"USLUGE\"")),
                               1,
                               std::nullopt,
                               std::nullopt,
                               std::nullopt,
                               {}});
    }
    const int number = sales::PostInvoice(session, d, sales::ProposeHeader(session, d)).number;
    sales::DiscardInvoice(session, d);
    return number;
}

}  // namespace

class InvoiceWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void anInvoiceIsEnteredByKeysAndPosted() {
        DemoHost host;
        const int sessionsBefore = host.Int(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\""));
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        // The window holds a session code of its own while it is open.
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")),
                 sessionsBefore + 1);

        // The guards before lines in their order; retail terms refused in a wholesale warehouse.
        Button(w, QStringLiteral("DodajStavku"))->click();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabrana knjiga IRA !"));
        Choose(w, InvoiceController::IraField(), 2);
        Button(w, QStringLiteral("Usluge"))->click();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran uvjet prodaje !"));
        Choose(w, InvoiceController::TermsField(), 1);
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Ovo nije maloprodajno skladište i nije dozvoljena izrada "
                                "maloprodajnog računa."));
        QVERIFY(BoxValue(w, InvoiceController::TermsField()).isNull());
        Choose(w, InvoiceController::TermsField(), 2);
        Button(w, QStringLiteral("DodajStavku"))->click();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabran kupac !"));
        Choose(w, InvoiceController::CustomerField(),
               CustomerCode(host, QStringLiteral("Restoran Šestine")));
        QCOMPARE(w->windowTitle(), QStringLiteral("Račun - Restoran Šestine"));
        const int shown = w->NumberField()->text().toInt();
        QVERIFY(shown >= 1);

        // An article by its barcode: more than the lot has free is cut to it with the message.
        const DemoLot lot = BiggestLot(host);
        QVERIFY(lot.article > 0);
        test::WhenShown<ArticleLineDialog>([&](ArticleLineDialog* d) {
            test::Activate(d);
            d->Picker()->SearchField()->setFocus();
            test::TypeInto(d->Picker()->SearchField(), lot.barcode);
            QTest::keyClick(d->Picker()->SearchField(), Qt::Key_Return);
            QCOMPARE(d->Picker()->Code(), lot.article);
            QCOMPARE(d->focusWidget(), d->Quantity());
            QCOMPARE(d->Lots()->currentData().toInt(), lot.lot);
            QCOMPARE(d->Price()->Value(), lot.price);
            QCOMPARE(d->DiscountPercent()->Value(), 5.0);
            test::TypeInto(d->Quantity(), QString::number(lot.free + 7));
            QTest::keyClick(d->Quantity(), Qt::Key_Return);
            QVERIFY(host.prompter.Messages().contains(
                QStringLiteral("Nedovoljna zaliha artikla. Količina će biti postavljena na "
                               "najveću dopuštenu vrijednost.")));
            QCOMPARE(d->Quantity()->Value(), lot.free);
            // Retyped: 4 pieces, the boxes follow.
            d->Quantity()->setFocus();
            d->Quantity()->selectAll();
            test::TypeInto(d->Quantity(), QStringLiteral("4"));
            QCOMPARE(d->Value()->Value(), 4 * lot.price);
            QCOMPARE(d->Discount()->Value(), 4 * lot.price * 0.05);
            host.Photograph(d, QStringLiteral("upis_artikla"));
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("DodajStavku"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);

        // The same article and lot again: the merge question, Yes adds into the line.
        host.prompter.AnswerYes();
        test::AddArticleLine(w, lot.article, QStringLiteral("2"));
        QCOMPARE(
            host.prompter.Shown().last(),
            QStringLiteral("Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?"));
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QCOMPARE(w->Lines()->Data().Value(0, 3).toDouble(), 6.0);

        // A service line, then the cash discount of 2 % on what the invoice has so far.
        host.CurrentSession().Db().Exec(QStringLiteral(
            "INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", \"GRUPA_P\") SELECT "
            "'CASSA SCONTO', '', 0, \"GRUPA_P\" FROM \"USLUGE\" LIMIT 1"));
        test::WhenShown<ServiceLineDialog>([&](ServiceLineDialog* d) {
            QVERIFY(!d->AcceptLine());
            QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabrana usluga !"));
            d->Service()->setCurrentIndex(d->Service()->findText(QStringLiteral("Montaža")));
            QCOMPARE(d->Quantity()->Value(), 1.0);
            QCOMPARE(d->Price()->Value(), 25.0);
            QCOMPARE(d->PriceWithTax()->Value(), 31.25);
            host.Photograph(d, QStringLiteral("upis_usluge"));
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("Usluge"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 2);
        const double net = host.Real(
            QStringLiteral("SELECT SUM(\"VRIJEDNOST_\") FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = (SELECT MAX(\"SIFRA\") FROM \"Multiuser\")"));
        host.prompter.AnswerText(QStringLiteral("2"));
        test::WhenShown<ServiceLineDialog>([&](ServiceLineDialog* d) {
            d->Service()->setCurrentIndex(d->Service()->findText(QStringLiteral("CASSA SCONTO")));
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("Usluge"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 3);
        QCOMPARE(w->Lines()->Data().Value(2, 10).toString(), QStringLiteral("2%"));
        QCOMPARE(RoundMoney(w->Lines()->Data().Value(2, 7).toDouble()), RoundMoney(-net * 0.02));

        // Deleting the service line: its question, and the lines behind it close the gap.
        w->Lines()->SelectRow(1);
        host.prompter.AnswerYes();
        Button(w, QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(host.prompter.Shown().last(),
                 QStringLiteral("Želite li izbrisati stavku usluge ?"));
        QCOMPARE(w->Lines()->Data().RowCount(), 2);
        QCOMPARE(w->Lines()->Data().Value(1, 0).toInt(), 2);
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("Ukupno"))
                    ->text()
                    .startsWith(QStringLiteral("Vrijednost : ")));

        test::WhenShown<LinesTableDialog>([&](LinesTableDialog* d) {
            QCOMPARE(d->Grid()->Data().RowCount(), 2);
            host.Photograph(d, QStringLiteral("racun_tablicno"));
            d->reject();
        });
        Button(w, QStringLiteral("Tablicno"))->click();
        test::Settle();
        host.Photograph(w, QStringLiteral("racun"));

        // The header dialog refuses an empty delivery name keeping what was typed, then posts.
        test::WhenShown<InvoiceHeaderDialog>([&](InvoiceHeaderDialog* d) {
            QCOMPARE(d->Number()->Value(), double(shown));
            QCOMPARE(d->Field(QStringLiteral("IsporukaNaziv"))->text(),
                     QStringLiteral("Restoran Šestine"));
            QVERIFY(!d->PrintInvoice()->isEnabled());
            d->Field(QStringLiteral("IsporukaNaziv"))->clear();
            d->Field(QStringLiteral("RobuPreuzeo"))->setText(QStringLiteral("Ana Ćosić"));
            QVERIFY(!d->AcceptHeader());
            QCOMPARE(host.prompter.LastMessage(),
                     QStringLiteral("Isporuka-naziv je duži od 80 znakova ili nije upisan"));
            QCOMPARE(d->Field(QStringLiteral("RobuPreuzeo"))->text(), QStringLiteral("Ana Ćosić"));
            d->Field(QStringLiteral("IsporukaNaziv"))->setText(QStringLiteral("Restoran Šestine"));
            d->Field(QStringLiteral("RokPlacanja"))->setText(QStringLiteral("45"));
            Q_EMIT d->Field(QStringLiteral("RokPlacanja"))->editingFinished();
            QCOMPARE(d->Field(QStringLiteral("DospijeceRacuna"))->text(),
                     QDate::currentDate().addDays(45).toString(QStringLiteral("dd.MM.yyyy")));
            host.Photograph(d, QStringLiteral("zaglavlje_racuna"));
            QVERIFY(d->AcceptHeader());
        });
        QVERIFY(w->Post());
        QCOMPARE(host.Scalar(QStringLiteral("SELECT \"ROBU PREUZEO\" FROM \"RACUNI\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"IRA\" = 2 AND "
                                            "\"BROJ RACUNA\" = ?"),
                             {shown})
                     .toString(),
                 QStringLiteral("Ana Ćosić"));
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                         "\"IRA\" = 2 AND \"BROJ_RACUNA\" = ?"),
                          {shown}),
                 2);
        // The number was free: no message; the window waits for the next invoice.
        QVERIFY(!host.prompter.Messages().contains(
            QStringLiteral("Račun je proknjižen pod brojem ") + QString::number(shown)));
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("Račun"));
        QVERIFY(BoxValue(w, InvoiceController::CustomerField()).isNull());

        // Closed, it gives its session code back.
        ui::CloseWindowFrame(w);
        test::Settle();
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), sessionsBefore);
    }

    // Closing with lines asks first; No keeps everything, Yes gives the lot its reservation
    // back.
    void closingWithLinesAsksAndGivesTheStockBack() {
        DemoHost host;
        const DemoLot lot = BiggestLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        test::ChooseHeader(w, 2, 2, CustomerCode(host, QStringLiteral("Hotel Ćiro d.d.")));
        test::AddArticleLine(w, lot.article, QStringLiteral("3"));
        auto free = [&] {
            return host.Real(QStringLiteral("SELECT \"KOLICINA_PRIVREMENO\" FROM \"NABAVE\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ? AND "
                                            "\"SIFRA_ARTIKLA\" = ?"),
                             {lot.lot, lot.article});
        };
        QCOMPARE(free(), lot.free - 3);
        host.prompter.AnswerNo();
        ui::CloseWindowFrame(w);
        test::Settle();
        QCOMPARE(host.prompter.Shown().last(), QStringLiteral("Želite li odustati od računa ?"));
        QVERIFY(host.FindWindow(InvoiceCommand()));
        QCOMPARE(free(), lot.free - 3);
        host.prompter.AnswerYes();
        ui::CloseWindowFrame(w);
        test::Settle();
        QVERIFY(!host.FindWindow(InvoiceCommand()));
        QCOMPARE(free(), lot.free);
    }

    // "Ambalaža": packaging with its own price proposed; the dialog's guard keeps it open.
    void packagingIsFollowedOnTheInvoice() {
        DemoHost host;
        host.CurrentSession().Db().Exec(QStringLiteral(
            "INSERT INTO \"AMBALAZA\" (\"NAZIV\", \"JED_M\", \"CIJENA\") VALUES ('Gajba', "
            "'kom', 2.5)"));
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        test::ChooseHeader(w, 1, 2, CustomerCode(host, QStringLiteral("Restoran Šestine")));
        test::WhenShown<PackagingLineDialog>([&](PackagingLineDialog* d) {
            QVERIFY(!d->AcceptLine());
            QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije izabrana ambalaža !"));
            d->Packaging()->setCurrentIndex(d->Packaging()->findText(QStringLiteral("Gajba")));
            QCOMPARE(d->Price()->Value(), 2.5);
            QCOMPARE(d->Quantity()->Value(), 1.0);
            d->Quantity()->SetValue(4);
            host.Photograph(d, QStringLiteral("upis_ambalaze"));
            QVERIFY(d->AcceptLine());
        });
        Button(w, QStringLiteral("Ambalaza"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        QCOMPARE(host.Real(QStringLiteral("SELECT \"UKUPNO_\" FROM \"STAVKE_RACUNA_PRIVREMENO\" "
                                          "WHERE \"TIP_STAVKE\" = 'AMB'")),
                 10.0);
        host.prompter.AnswerYes();
        ui::CloseWindowFrame(w);
        test::Settle();
    }

    // "Rabat %" is edited in the grid; another cell or a word is refused and changes nothing.
    // Under correction the posted line and its trade-book entry follow.
    void theDiscountIsEditedInTheGrid() {
        DemoHost host;
        const DemoLot lot = BiggestLot(host);
        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        test::ChooseHeader(w, 2, 2, CustomerCode(host, QStringLiteral("Restoran Šestine")));
        test::AddArticleLine(w, lot.article, QStringLiteral("4"));
        QCOMPARE(w->Lines()->Data().RowCount(), 1);
        auto line = [&](const char* column) {
            return host.Real(
                QStringLiteral("SELECT \"") + QString::fromLatin1(column) +
                QStringLiteral("\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE \"RBR_STAVKE\" "
                               "= 1 AND \"Multiuser_sifra\" = (SELECT "
                               "MAX(\"Multiuser_sifra\") FROM "
                               "\"STAVKE_RACUNA_PRIVREMENO\")"));
        };
        const double before = line("VRIJEDNOST_BEZ_RABATA");
        QCOMPARE(before, 4 * lot.price);

        auto edit = [&](int column, const QString& typed) {
            w->Lines()->setFocus();
            w->Lines()->setCurrentIndex(w->Lines()->model()->index(0, column));
            QTest::keyClick(w->Lines(), Qt::Key_F2);
            auto* editor = w->Lines()->viewport()->findChild<QLineEdit*>();
            if (editor) {
                QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
                test::TypeInto(editor, typed);
                QTest::keyClick(editor, Qt::Key_Return);
            }
            test::Settle();
        };
        edit(6, QStringLiteral("100"));
        QCOMPARE(line("RABAT_%"), 100.0);
        QCOMPARE(line("VRIJEDNOST_"), 0.0);
        QCOMPARE(line("UKUPNO_"), 0.0);
        QCOMPARE(line("RUC_IZNOS"), -line("NABAVNA_VRIJEDNOST"));
        edit(6, QStringLiteral("12,5"));
        QCOMPARE(line("RABAT_%"), 12.5);
        QCOMPARE(line("VRIJEDNOST_"), before * 0.875);
        edit(6, QStringLiteral("pet"));
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nije ispravno upisan broj !"));
        QCOMPARE(line("RABAT_%"), 12.5);
        edit(6, QStringLiteral("101"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Rabat mora biti između -100 i 100 !"));
        QCOMPARE(line("RABAT_%"), 12.5);
        edit(3, QStringLiteral("9"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("U tablici se mijenja samo postotak rabata; ostalo mijenjajte kroz "
                                "upis stavke."));
        QCOMPARE(line("KOLICINA"), 4.0);
        host.Photograph(w, QStringLiteral("racun_rabat_u_tablici"));
        // An offer or pro-forma says so in its own words.
        for (sales::OutgoingKind kind :
             {sales::OutgoingKind::Offer, sales::OutgoingKind::ProForma}) {
            sales::OutgoingDocument document = sales::InvoiceDocument();
            document.kind = kind;
            const InvoiceController offer(host.registry, document, {});
            QCOMPARE(
                offer.ReadOnlyCellMessage(),
                QStringLiteral("Mijenjati možete samo postotak rabatana ponudi i predračunu."));
        }

        // Posted, then corrected in the grid: the line and the trade book follow.
        const int number = PostInvoice(host, lot, 2, 10.0);
        auto* corrected = OpenInvoiceCorrection(host, host.registry, 2, number);
        QVERIFY(corrected);
        w = corrected;
        edit(6, QStringLiteral("25"));
        const QVariantList key{number};
        QCOMPARE(
            host.Real(QStringLiteral("SELECT \"VRIJEDNOST_\" FROM \"STAVKE_RACUNA\" WHERE "
                                     "\"SKLADISTE\" = 1 AND \"IRA\" = 2 AND \"BROJ_RACUNA\" = ?"),
                      key),
            15.0);
        QCOMPARE(host.Real(QStringLiteral(
                               "SELECT t.\"PRODAJA_VRIJEDNOST\" FROM "
                               "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t JOIN \"RACUNI\" r ON "
                               "r.\"SKLADISTE\" = t.\"SKLADISTE\" AND r.\"GODINA\" = "
                               "t.\"GODINA\" AND r.\"RBR_TK\" = t.\"RBR\" WHERE r.\"SKLADISTE\" "
                               "= 1 AND r.\"IRA\" = 2 AND r.\"BROJ RACUNA\" = ?"),
                           key),
                 15.0);
    }

    void aPostedInvoiceIsCorrectedInPlace() {
        DemoHost host;
        const DemoLot lot = BiggestLot(host);
        const int number = PostInvoice(host, lot, 5, std::nullopt, true);

        try {
            OpenInvoiceCorrection(host, host.registry, 2, 999);
            QFAIL("a missing invoice was opened");
        } catch (const UserError& e) {
            QCOMPARE(e.message(), QStringLiteral("Ne postoji proknjiženi račun broj 999"));
        }
        auto* w = OpenInvoiceCorrection(host, host.registry, 2, number);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Račun br.%1 - Restoran Šestine").arg(number));
        QCOMPARE(w->Lines()->Data().RowCount(), 2);
        QVERIFY(!Button(w, QStringLiteral("Proknjizi")));
        QVERIFY(!Button(w, QStringLiteral("Ambalaza")));

        // Five become three: two go back to the lot at once.
        w->Lines()->SelectRow(0);
        test::WhenShown<LineChangeDialog>([&](LineChangeDialog* d) {
            QCOMPARE(d->Quantity()->Value(), 5.0);
            d->Quantity()->SetValue(3);
            host.Photograph(d, QStringLiteral("promjena_stavke"));
            d->accept();
        });
        Button(w, QStringLiteral("Promjena"))->click();
        test::Settle();
        QCOMPARE(w->Lines()->Data().Value(0, 3).toDouble(), 3.0);
        QCOMPARE(host.Real(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" "
                                          "= 1 AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                           {lot.lot, lot.article}),
                 lot.free - 3);

        w->Lines()->SelectRow(1);
        host.prompter.AnswerYes();
        Button(w, QStringLiteral("BrisanjeStavke"))->click();
        QCOMPARE(w->Lines()->Data().RowCount(), 1);

        const int hotel = CustomerCode(host, QStringLiteral("Hotel Ćiro d.d."));
        Choose(w, InvoiceController::CustomerField(), hotel);
        QCOMPARE(w->windowTitle(), QStringLiteral("Račun br.%1 - Hotel Ćiro d.d.").arg(number));
        QCOMPARE(host.Scalar(QStringLiteral("SELECT \"ISPORUKA NAZIV\" FROM \"RACUNI\" WHERE "
                                            "\"IRA\" = 2 AND \"BROJ RACUNA\" = ?"),
                             {number})
                     .toString(),
                 QStringLiteral("Hotel Ćiro d.d."));
        host.Photograph(w, QStringLiteral("racun_ispravak"));
        const QString command = w->objectName();
        QCOMPARE(command, QStringLiteral("Knjizenje_racun_ispravak_2_%1").arg(number));
        ui::CloseWindowFrame(w);
        test::Settle();
        QVERIFY(!host.FindWindow(command));
    }
};

ZODRA_WINDOW_TEST_MAIN(InvoiceWindowTest)
#include "InvoiceWindowTest.moc"
