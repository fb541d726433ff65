#include <QApplication>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "data/Database.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "yearend/ui/YearTransferCommands.h"

using namespace zodra;

class YearTransferWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The transfer within the file shows its steps in the progress window as the core reports
    // them, and the session works in the new year afterwards.
    void theProgressWindowShowsTheSteps() {
        test::EmptyHost host(yearend::ui::RegisterYearTransferCommands);
        Session& s = host.CurrentSession();
        const int year = s.businessYear;
        // A lot left over from the year: its warehouse gets an opening receipt.
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_P\") "
                           "VALUES (900, 'Vijak M8', 1)"));
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", \"NABAVNA "
                           "CIJENA\", \"VELEPRODAJNA CIJENA\") VALUES (?, ?, 1, 900, 5, 2, 3)"),
            {s.activeWarehouse.code, year});
        // Whatever the progress window says while the transfer lets it repaint.
        QStringList seen;
        QTimer watch;
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::allWidgets()) {
                auto* dialog = qobject_cast<QProgressDialog*>(w);
                if (dialog && dialog->objectName() == QLatin1String("Napredak") &&
                    (seen.isEmpty() || seen.last() != dialog->labelText())) {
                    seen << dialog->labelText();
                }
            }
        });
        watch.start();
        host.prompter.AnswerYes().AnswerText(QStringLiteral("01.01.%1").arg(year + 1)).AnswerYes();
        host.RunCommand(QStringLiteral("Prijenos"));
        watch.stop();
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Prijenos napravljen uspješno."));
        QCOMPARE(s.businessYear, year + 1);
        // Before the first step the busy bar's own text, then each step's.
        QCOMPARE(
            seen,
            (QStringList{
                QStringLiteral("Prijenos u novu godinu u tijeku…"),
                QStringLiteral("Zaključno stanje godine %1").arg(year),
                QStringLiteral("Početno stanje zaliha, skladište %1").arg(s.activeWarehouse.code),
                QStringLiteral("Početna stanja kupaca i dobavljača")}));
    }
};

ZODRA_WINDOW_TEST_MAIN(YearTransferWindowTest)
#include "YearTransferWindowTest.moc"
