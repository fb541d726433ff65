// The invoice line dialogs on the demo company: which articles the article box lists ("svi"),
// the currency price label and its notice, and the employees of a service line (F2).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "data/Database.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "sales/InvoiceEntry.h"
#include "sales/InvoiceLines.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/LineEmployeesDialog.h"
#include "sales/ui/ServiceLineDialog.h"
#include "support/WindowTest.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::sales;
using namespace zodra::sales::ui;

namespace {

class DemoHost : public test::DemoHost {
public:
    // A new article, with no lot unless one is added.
    int NewArticle(const QString& name) {
        Db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", "
                                 "\"GRUPA_P\") VALUES (?, ?, 'kom', 1)"),
                  {name, name.toUpper()});
        return Int(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"), {name});
    }
    void AddLot(int warehouse, int year, int article, double quantity) {
        Db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                                 "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
                                 "\"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", "
                                 "\"VELEPRODAJNA CIJENA\") VALUES (?, ?, 900, ?, ?, ?, 10, 20)"),
                  {warehouse, year, article, quantity, quantity});
    }
    InvoiceDraft Draft(int terms) {
        InvoiceDraft draft = OpenInvoice(CurrentSession(), QDate(2026, 3, 2));
        draft.book = 2;
        draft.salesTerms = terms;
        draft.customer =
            Int(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"PARTNERI\" WHERE "
                               "\"Kupac\" = TRUE"));
        return draft;
    }
};

ArticleLineWriter NoWriter() {
    return [](const ArticleLineInput&) { return std::optional<AcceptedLine>(); };
}

// An article with a lot holding stock in warehouse 1, the one the dialog proposes.
int StockedArticle(DemoHost& host, int year) {
    return host.Int(QStringLiteral("SELECT MIN(\"SIFRA_ARTIKLA\") FROM \"NABAVE\" WHERE "
                                   "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND \"KOLICINA\" > 0"),
                    {year});
}

}  // namespace

class InvoiceLineDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    // "svi" off: only the articles with a lot holding stock in the invoice's warehouse and year;
    // a lot of 0, stock in another warehouse or year does not count. On: every article. An
    // article typed by its code is found either way, and the box then says "svi".
    void theArticleBoxListsArticlesWithStockUnlessAllAreAsked() {
        DemoHost host;
        const InvoiceDraft draft = host.Draft(2);
        const int stocked = StockedArticle(host, draft.year);
        const int none = host.NewArticle(QStringLiteral("Bez zalihe"));
        const int zeroLot = host.NewArticle(QStringLiteral("Prazna primka"));
        host.AddLot(1, draft.year, zeroLot, 0);
        const int elsewhere = host.NewArticle(QStringLiteral("Drugo skladiste"));
        host.AddLot(2, draft.year, elsewhere, 5);
        host.AddLot(1, draft.year - 1, elsewhere, 5);
        const int here = host.NewArticle(QStringLiteral("Nova zaliha"));
        host.AddLot(1, draft.year, here, 3);
        const int all = host.Int(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\""));

        ArticleLineDialog d(host, draft, NoWriter());
        d.show();
        QVERIFY(!d.AllArticles()->isChecked());
        registers::ui::ArticlePicker* picker = d.Picker();
        QVERIFY(picker->SetCode(stocked));
        QVERIFY(picker->SetCode(here));
        for (int hidden : {none, zeroLot, elsewhere}) {
            QVERIFY2(!picker->SetCode(hidden), qPrintable(QString::number(hidden)));
        }
        const int listed = picker->Box()->count();
        QVERIFY(listed < all - 2);

        // The check box from the keyboard: Space.
        d.AllArticles()->setFocus();
        QTest::keyClick(d.AllArticles(), Qt::Key_Space);
        QVERIFY(d.AllArticles()->isChecked());
        QCOMPARE(picker->Box()->count(), all);
        for (int shown : {none, zeroLot, elsewhere, here}) {
            QVERIFY(picker->SetCode(shown));
        }
        QTest::keyClick(d.AllArticles(), Qt::Key_Space);
        QCOMPARE(picker->Box()->count(), listed);
        QCOMPARE(picker->Code(), here);  // the chosen article stays chosen

        picker->SearchField()->setFocus();
        test::TypeInto(picker->SearchField(), QStringLiteral("BEZ ZALIHE"));
        QTest::keyClick(picker->SearchField(), Qt::Key_Return);
        QCOMPARE(picker->Code(), none);
        QVERIFY(d.AllArticles()->isChecked());
        QCOMPARE(picker->Box()->count(), all);
    }

    // An article with a price in a foreign currency under the retail terms 1: the label shows
    // it, and the notice that the calculation price holds comes once per window, however often
    // the article is proposed. Not under other terms, not for an article without one.
    void theCurrencyPriceNoticeComesOncePerWindowUnderRetailTerms() {
        DemoHost host;
        const InvoiceDraft retail = host.Draft(1);
        const int article = StockedArticle(host, retail.year);
        const int plain = host.Int(QStringLiteral("SELECT MAX(\"SIFRA_ARTIKLA\") FROM "
                                                  "\"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
                                                  "\"GODINA\" = ? AND \"KOLICINA\" > 0"),
                                   {retail.year});
        QVERIFY(article > 0 && plain != article);
        host.Db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"CIJENA_U_VALUTI\" = 0, "
                                      "\"VALUTA\" = NULL WHERE \"SIFRA\" = ?"),
                       {plain});
        host.Db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"CIJENA_U_VALUTI\" = 12.5, "
                                      "\"VALUTA\" = 1 WHERE \"SIFRA\" = ?"),
                       {article});
        const QString notice = CurrencyPriceNoticeText();
        QCOMPARE(notice, QStringLiteral("Na ovaj račun nema vezane izmjene cijena te će prodajna "
                                        "cijena biti iz kalkulacije a ne na osnovu tečaja i "
                                        "cijene u valuti."));

        bool shown = false;
        {
            ArticleLineDialog d(host, retail, NoWriter());
            d.ShareCurrencyNotice(&shown);
            QVERIFY(d.Picker()->SetCode(plain));
            QVERIFY(!host.prompter.Messages().contains(notice));
            QCOMPARE(d.CurrencyPriceLabel()->text(), QStringLiteral("Cijena u valuti : "));
            QVERIFY(d.Picker()->SetCode(article));
            QCOMPARE(host.prompter.Messages().count(notice), 1);
            QVERIFY(
                d.CurrencyPriceLabel()->text().startsWith(QStringLiteral("Cijena u valuti : 12")));
            QVERIFY(d.CurrencyPriceLabel()->text().endsWith(QStringLiteral(" EUR")));
            QVERIFY(d.MaxDiscountLabel()->text().startsWith(QStringLiteral("Max. popust : ")));
            // Proposed again (another lot or terms): no second notice.
            Q_EMIT d.Lots()->activated(d.Lots()->currentIndex());
            QCOMPARE(host.prompter.Messages().count(notice), 1);
        }
        {
            // Another dialog of the same window.
            ArticleLineDialog d(host, retail, NoWriter());
            d.ShareCurrencyNotice(&shown);
            QVERIFY(d.Picker()->SetCode(article));
            QCOMPARE(host.prompter.Messages().count(notice), 1);
        }
        {
            // Another window (a flag of its own) under wholesale terms: none.
            ArticleLineDialog d(host, host.Draft(2), NoWriter());
            QVERIFY(d.Picker()->SetCode(article));
            QVERIFY(d.CurrencyPriceLabel()->text().endsWith(QStringLiteral(" EUR")));
            QVERIFY(d.MaxDiscountLabel()->text().startsWith(QStringLiteral("Max. rabat : ")));
            QCOMPARE(host.prompter.Messages().count(notice), 1);
            host.Photograph(&d, QStringLiteral("upis_artikla_svi_valuta"));
        }
    }

    // F2 in a box of the service dialog: the employees, ticked by Space, taken by Enter, go with
    // the line; Esc in a second visit leaves them as they were.
    void f2GivesTheServiceLineItsEmployees() {
        DemoHost host;
        for (const char* name : {"Zrinka", "Ante"}) {
            host.Db().Exec(QStringLiteral("INSERT INTO \"DJELATNICI\" (\"IME\") VALUES (?)"),
                           {QString::fromLatin1(name)});
        }
        const int ante =
            host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"DJELATNICI\" "
                                    "WHERE \"IME\" = 'Ante'"));
        const int service =
            host.Int(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"USLUGE\" "
                                    "WHERE \"NAZIV\" <> 'CASSA SCONTO'"));
        const InvoiceDraft draft = host.Draft(2);
        ServiceLineDialog d(host, draft,
                            [&](const ServiceLineInput& input, const std::vector<int>& employees) {
                                return AddServiceLine(host.CurrentSession(), host.prompter, draft,
                                                      input, employees);
                            });
        d.show();
        test::Activate(&d);
        d.Service()->setCurrentIndex(d.Service()->findData(service));
        d.Quantity()->setFocus();
        test::TypeInto(d.Quantity(), QStringLiteral("2"));
        QCOMPARE(d.EmployeesButton()->text(), QStringLiteral("Djelatnici-F2"));

        test::WhenShown<LineEmployeesDialog>([&](LineEmployeesDialog* e) {
            test::CloseAfter guard{e};
            test::Activate(e);
            const int row = [&] {
                for (int i = 0; i < e->List()->count(); ++i) {
                    if (e->List()->item(i)->data(Qt::UserRole).toInt() == ante) {
                        return i;
                    }
                }
                return -1;
            }();
            QVERIFY(row >= 0);
            e->List()->setCurrentRow(row);
            QTest::keyClick(e->List(), Qt::Key_Space);
            host.Photograph(e, QStringLiteral("djelatnici"));
            QTest::keyClick(e->List(), Qt::Key_Return);
            QVERIFY2(!e->isVisible(), "Enter did not take the ticks");
        });
        QTest::keyClick(d.Quantity(), Qt::Key_F2);
        test::Settle();
        QCOMPARE(d.Employees(), (std::vector<int>{ante}));
        QCOMPARE(d.EmployeesButton()->text(), QStringLiteral("Djelatnici-F2 (1)"));

        test::WhenShown<LineEmployeesDialog>([&](LineEmployeesDialog* e) {
            test::CloseAfter guard{e};
            test::Activate(e);
            QTest::keyClick(e->List(), Qt::Key_Down);
            QTest::keyClick(e->List(), Qt::Key_Space);
            QTest::keyClick(e->List(), Qt::Key_Escape);
            QVERIFY2(!e->isVisible(), "Esc did not leave");
        });
        d.Description()->setFocus();
        QTest::keyClick(d.Description(), Qt::Key_F2);
        test::Settle();
        QCOMPARE(d.Employees(), (std::vector<int>{ante}));
        host.Photograph(&d, QStringLiteral("upis_usluge_djelatnici"));

        QVERIFY(d.AcceptLine());
        QCOMPARE(WorkingLineEmployees(host.Db(), draft.sessionCode, QStringLiteral("USL"), service),
                 (std::vector<int>{ante}));
    }
};

ZODRA_WINDOW_TEST_MAIN(InvoiceLineDialogTest)
#include "InvoiceLineDialogTest.moc"
