// "Ispis" in the invoice window before posting: refused while there is nothing to print, then the
// working copy in the invoice's layout, marked as not posted, with no number taken and nothing
// posted.

#include <QComboBox>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

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
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

struct DemoFolder {
    test::WindowTestFolder folder;
};

class DemoHost : private DemoFolder, public test::TestHost {
public:
    DemoHost() : test::TestHost(folder, DemoCompany{}) {
        area.resize(1280, 800);
        registry = &m_registry;
        RegisterSalesCommands(m_registry);
    }
    QVariant Scalar(const QString& sql, const QVariantList& params = {}) {
        return CurrentSession().Db().Scalar(sql, params);
    }

private:
    ui::CommandRegistry m_registry;
};

void Choose(ui::DocumentWindow* w, const QString& key, const QVariant& value) {
    auto* box = qobject_cast<QComboBox*>(w->Extra()->Editor(key));
    const int index = box->findData(value);
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
    test::Settle();
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class InvoiceDraftPrintWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theWorkingCopyPrintsAsNotPostedAndClaimsNoNumber() {
        DemoHost host;
        Database& db = host.CurrentSession().Db();
        const int customer =
            host.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = "
                                       "'Hotel Ćiro d.d.'"))
                .toInt();
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
        const int invoicesBefore =
            host.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt();

        auto* w = qobject_cast<ui::DocumentWindow*>(host.Open(InvoiceCommand()));
        QVERIFY(w);
        Choose(w, InvoiceController::IraField(), 2);
        Choose(w, InvoiceController::TermsField(), 2);
        Choose(w, InvoiceController::CustomerField(), customer);
        auto* print = w->ActionButton(QStringLiteral("IspisURadu"));
        QVERIFY(print);
        QCOMPARE(print->text(), QStringLiteral("I&spis"));
        const int windowsBefore = host.area.subWindowList().size();
        print->click();
        test::Settle();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Račun nema niti jedne stavke !"));
        QCOMPARE(host.area.subWindowList().size(), windowsBefore);

        test::WhenShown<ArticleLineDialog>([&](ArticleLineDialog* d) {
            QVERIFY(d->Picker()->SetCode(article));
            d->Quantity()->setFocus();
            test::TypeInto(d->Quantity(), QStringLiteral("2"));
            QVERIFY(d->AcceptLine());
        });
        w->findChild<QPushButton*>(QStringLiteral("DodajStavku"))->click();
        test::Settle();
        const int code = host.Scalar(QStringLiteral("SELECT \"Multiuser_sifra\" FROM "
                                                    "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                    "\"SIFRA\" = ? LIMIT 1"),
                                     {article})
                             .toInt();
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
        QCOMPARE(report->windowTitle(), QStringLiteral("Ispis računa u radu"));
        QCOMPARE(report->PageCount(), 1);
        // Nothing posted, no number taken; the lines stay in the window.
        QCOMPARE(host.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(),
                 invoicesBefore);
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
