// The invoice window opened from the menu for a delivery note and an offer: its caption, the
// number of its own numbering, a line entered by keys, and posting through its header dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "SalesWindowSupport.h"
#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "registers/ui/ArticlePicker.h"
#include "reports/ui/ReportWindow.h"
#include "sales/OutgoingDocument.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceHeaderDialog.h"
#include "sales/ui/InvoiceWindows.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/NumberBox.h"
#include "ui/WindowTools.h"

using namespace zodra;
using namespace zodra::sales::ui;

namespace {

using test::Choose;

struct DemoHost : test::SalesHost {
    DemoHost() : SalesHost(true) {}
};

// An article of warehouse 1 whose oldest lot with stock has at least 5 pieces free.
std::pair<int, int> FreeLot(DemoHost& host) {
    Statement row = host.CurrentSession().Db().Prepare(QStringLiteral(
        "SELECT n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\" FROM \"NABAVE\" n WHERE n.\"SKLADISTE\" = "
        "1 AND n.\"KOLICINA_PRIVREMENO\" >= 5 AND NOT EXISTS (SELECT 1 FROM \"NABAVE\" o WHERE "
        "o.\"SKLADISTE\" = 1 AND o.\"GODINA\" = n.\"GODINA\" AND o.\"SIFRA_ARTIKLA\" = "
        "n.\"SIFRA_ARTIKLA\" AND o.\"KOLICINA\" <> 0 AND o.\"BROJ_PRIMKE\" < n.\"BROJ_PRIMKE\") "
        "ORDER BY n.\"SIFRA_ARTIKLA\" LIMIT 1"));
    row.Exec();
    return row.Next() ? std::pair{row.Int(0), row.Int(1)} : std::pair{0, 0};
}

}  // namespace

class OutgoingWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void aDeliveryNoteIsEnteredAndPostedFromItsMenuCommand() {
        DemoHost host;
        const auto [article, lot] = FreeLot(host);
        QVERIFY(article > 0);
        auto quantityOnLot = [&, article = article, lot = lot] {
            return sqlvalue::ToDouble(host.Scalar(
                QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
                               "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                {lot, article}));
        };
        const double before = quantityOnLot();
        const int next =
            host.Int(QStringLiteral("SELECT COALESCE(MAX(\"BROJ_OTPREMNICE\"), 0) "
                                    "+ 1 FROM \"OTPREMNICE\" WHERE "
                                    "\"SKLADISTE\" = 1"));
        auto* w =
            qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_otpremnica")));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Otpremnica"));
        Choose(w, InvoiceController::IraField(), 1);
        Choose(w, InvoiceController::TermsField(), 2);
        const int customer =
            host.Int(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE "
                                    "\"NAZIV\" = 'Hotel Ćiro d.d.'"));
        Choose(w, InvoiceController::CustomerField(), customer);
        QCOMPARE(w->windowTitle(), QStringLiteral("Otpremnica - Hotel Ćiro d.d."));
        QCOMPARE(w->Header().number, next);

        test::AddArticleLine(w, article, QStringLiteral("5"));
        QCOMPARE(w->Lines()->Data().RowCount(), 1);

        test::WhenShown<InvoiceHeaderDialog>([&](InvoiceHeaderDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Zaglavlje otpremnice"));
            // No payment boxes on a delivery note.
            QVERIFY(d->Field(QStringLiteral("RokPlacanja"))->isHidden());
            QVERIFY(d->Choice(QStringLiteral("ZiroRacun"))->isHidden());
            QVERIFY(!d->Field(QStringLiteral("RobuPreuzeo"))->isHidden());
            d->Field(QStringLiteral("RobuPreuzeo"))->setText(QStringLiteral("Ana Ćosić"));
            // Its own printout after posting, here with purchase values; no invoice boxes.
            QVERIFY(d->PrintInvoice()->isHidden());
            QCOMPARE(d->PrintDocument()->text(), QStringLiteral(" Ispis otpremnice"));
            QVERIFY(d->PrintDocument()->isEnabled());
            d->PrintDocument()->setChecked(true);
            d->PrintVariant()->setChecked(true);
            QVERIFY(d->AcceptHeader());
        });
        const int windowsBefore = int(host.area.subWindowList().size());
        QVERIFY(w->Post());
        test::Settle();
        QCOMPARE(int(host.area.subWindowList().size()), windowsBefore + 1);
        auto* report = qobject_cast<reports::ui::ReportWindow*>(
            host.area.subWindowList(QMdiArea::CreationOrder).last()->widget());
        QVERIFY(report);
        QCOMPARE(report->windowTitle(),
                 QStringLiteral("Ispis otpremnice br. ") + QString::number(next));
        QCOMPARE(report->PageCount(), 1);
        QCOMPARE(host.Scalar(QStringLiteral("SELECT \"ROBU PREUZEO\" FROM \"OTPREMNICE\" WHERE "
                                            "\"SKLADISTE\" = 1 AND \"BROJ_OTPREMNICE\" = ?"),
                             {next})
                     .toString(),
                 QStringLiteral("Ana Ćosić"));
        QCOMPARE(quantityOnLot(), before - 5);
        QCOMPARE(host.Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"DATUM_I_"
                                         "VRIJEME_KNJIZENJA\" IS NOT NULL AND \"OTPREMNICA\" = "
                                         "?"),
                          {QString::number(next)}),
                 0);
        ui::CloseWindowFrame(w);
        test::Settle();
    }

    void theOfferAndProFormaWindowsAreTheirOwn() {
        DemoHost host;
        auto* offer =
            qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_ponuda")));
        auto* proForma =
            qobject_cast<ui::DocumentWindow*>(host.Open(QStringLiteral("Knjizenje_predracun")));
        QVERIFY(offer && proForma && offer != proForma);
        QCOMPARE(offer->windowTitle(), QStringLiteral("Ponuda"));
        QCOMPARE(proForma->windowTitle(), QStringLiteral("Predračun"));
        // The menu command again brings the open window back.
        host.Open(QStringLiteral("Knjizenje_ponuda"));
        QCOMPARE(host.FindWindow(QStringLiteral("Knjizenje_ponuda")), offer);
        QCOMPARE(host.area.findChildren<ui::DocumentWindow*>().size(), 2);
        ui::CloseWindowFrame(offer);
        ui::CloseWindowFrame(proForma);
        test::Settle();
    }
};

ZODRA_WINDOW_TEST_MAIN(OutgoingWindowTest)
#include "OutgoingWindowTest.moc"
