// "Ispis" in the invoice window before posting: refused while there is nothing to print, then the
// working copy in the invoice's layout, marked as not posted, with no number taken and nothing
// posted.

#include <QComboBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>

#include "SalesWindowSupport.h"
#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ReportEngine.h"
#include "reports/ui/ReportWindow.h"
#include "sales/InvoicePosting.h"
#include "sales/InvoicePrint.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceWindows.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

using test::Choose;

struct DemoHost : test::SalesHost {
    DemoHost() : SalesHost(false) {}
};
using test::PdfText;

}  // namespace

class InvoiceDraftPrintWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theWorkingCopyPrintsAsNotPostedAndClaimsNoNumber() {
        DemoHost host;
        Database& db = host.CurrentSession().Db();
        const int customer =
            host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = "
                                    "'Hotel Ćiro d.d.'"));
        // An article with free stock in the warehouse, whichever the demo sold from.
        Statement lot = db.Prepare(QStringLiteral(
            "SELECT n.\"SIFRA_ARTIKLA\", a.\"NAZIV\" FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON "
            "a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" WHERE n.\"SKLADISTE\" = 1 AND "
            "n.\"KOLICINA_PRIVREMENO\" >= 2 ORDER BY n.\"KOLICINA_PRIVREMENO\" DESC LIMIT 1"));
        lot.Exec();
        QVERIFY(lot.Next());
        const int article = lot.Int(0);
        const QString articleName = lot.Text(1);
        lot.Finish();
        const int invoicesBefore = host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\""));

        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        test::ChooseHeader(w, 2, 2, customer);
        auto* print = w->ActionButton(QStringLiteral("IspisURadu"));
        QVERIFY(print);
        QCOMPARE(print->text(), QStringLiteral("I&spis"));
        const int windowsBefore = host.area.subWindowList().size();
        print->click();
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Račun nema niti jedne stavke !"));
        QCOMPARE(host.area.subWindowList().size(), windowsBefore);

        test::AddArticleLine(w, article, QStringLiteral("2"));
        const int code = host.Int(QStringLiteral("SELECT \"Multiuser_sifra\" FROM "
                                                 "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                 "\"SIFRA\" = ? LIMIT 1"),
                                  {article});
        QVERIFY(code > 0);
        sales::InvoiceDraft draft;
        draft.warehouse = 1;
        draft.year = host.CurrentSession().businessYear;
        draft.sessionCode = code;
        draft.book = 2;
        draft.salesTerms = 2;
        draft.customer = customer;
        draft.date = QDate::currentDate();
        const int proposed = sales::ProposedNumber(db, draft);

        print->click();
        test::Settle();
        auto* report = qobject_cast<reports::ui::ReportWindow*>(
            host.area.subWindowList(QMdiArea::CreationOrder).last()->widget());
        QVERIFY(report);
        QCOMPARE(report->PageCount(), 1);
        // Nothing posted, no number taken; the lines stay in the window.
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")), invoicesBefore);
        QCOMPARE(sales::ProposedNumber(db, draft), proposed);
        QCOMPARE(w->Lines()->Data().RowCount(), 1);

        // What the printout says.
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("u_radu.pdf"));
        reports::ReportEngine(db).ToPdf(
            sales::WorkingInvoicePrintRequest(host.CurrentSession(), draft), pdf);
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("RAČUN U RADU")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("NIJE PROKNJIŽEN")));
        QVERIFY(text.contains(QStringLiteral("Hotel Ćiro d.d.")));
        QVERIFY(text.contains(articleName));
        QVERIFY(text.contains(QStringLiteral("Rekapitulacija PDV-a")));
        QVERIFY(!text.contains(QStringLiteral("RAČUN br.")));
        QVERIFY(!text.contains(QStringLiteral("Poziv na broj"), Qt::CaseInsensitive));
        host.Photograph(report, QStringLiteral("racun_u_radu"));
    }
};

ZODRA_WINDOW_TEST_MAIN(InvoiceDraftPrintWindowTest)
#include "InvoiceDraftPrintWindowTest.moc"
