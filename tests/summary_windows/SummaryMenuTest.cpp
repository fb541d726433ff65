#include <QFile>
#include <QTest>

#include "data/Database.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "summary/ui/SummaryCommands.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;
using zodra::test::WhenShown;

namespace {

QString ShownTitle(test::TestHost& host) {
    QWidget* shown = host.LastWindow();
    return shown ? shown->windowTitle() : QString();
}

}  // namespace

// The summary reports from their commands: the range dialog comes preset with the first and
// last number of the kind in the active warehouse and year, refuses an emptied number, and the
// report it prints is saved as CSV from the report window; the day and the article are asked.
class SummaryMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theReceiptRecapitulationComesPresetAndSavesCsv() {
        test::EmptyHost host(summary::ui::RegisterSummaryCommands);
        const int year = host.CurrentSession().businessYear;
        host.Db().Exec(
            QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES "
                           "(2, 'Druga')"));
        for (const auto& [warehouse, number] : {std::pair{1, 3}, {1, 5}, {1, 7}, {2, 1}, {2, 9}}) {
            host.Db().Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", "
                                          "\"BROJ PRIMKE\", \"DATUM\", \"DOKUMENT DOBAVLJACA\") "
                                          "VALUES (?, ?, ?, ?, ?)"),
                           {warehouse, year, number, QDate(year, 1, 1),
                            QStringLiteral("R-%1-%2").arg(warehouse).arg(number)});
        }
        QString first;
        QString last;
        WhenShown<reports::ui::RangeDialog>([&](reports::ui::RangeDialog* d) {
            first = d->FirstBox()->text();
            last = d->LastBox()->text();
            d->LastBox()->clear();
            d->Accept();  // refused: the dialog stays
            QVERIFY(d->isVisible());
            d->LastBox()->setText(QStringLiteral("5"));
            d->Accept();
        });
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(host.Open(QStringLiteral("Rek_prim_uk")));
        QVERIFY(report);
        QCOMPARE(first, QStringLiteral("3"));
        QCOMPARE(last, QStringLiteral("7"));
        QCOMPARE(host.prompter.Messages(),
                 QStringList{QStringLiteral("Ograničenja nisu ispravno upisana.")});
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Rekapitulacija primki"));
        QCOMPARE(ShownTitle(host), QStringLiteral("Rekapitulacija primki"));

        const QString csv = host.folder.Path(QStringLiteral("primke.csv"));
        QVERIFY(report->WriteCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("R-1-3")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("R-1-5")));
        QVERIFY(!text.contains(QStringLiteral("R-1-7")));
        QVERIFY(!text.contains(QStringLiteral("R-2-")));
    }

    // The stock on a day asks the day (a text that is no date: the message, and today), one
    // article's card asks the code (an unknown one is refused and nothing is printed) and then
    // the range.
    void theDayAndTheArticleAreAsked() {
        test::EmptyHost host(summary::ui::RegisterSummaryCommands);
        host.Db().Exec(
            QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", "
                           "\"JED_M\") VALUES (7, 'Jabuka', 'kg')"));
        ScriptedPrompter& prompter = host.prompter;
        prompter.AnswerText(QStringLiteral("31.02."));
        host.Open(QStringLiteral("Stanje1(1)"));
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral(
                     "Nije ispravno upisan datum. Biti će postavljen današnji datum.")});
        QCOMPARE(ShownTitle(host), QStringLiteral("Stanje na skladištu"));
        host.area.closeAllSubWindows();
        test::Settle();

        prompter.Clear();
        prompter.AnswerText(QStringLiteral("8"));
        QCOMPARE(host.Open(QStringLiteral("Ispis_kartice_artikla")), nullptr);
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral("Artikl sa šifrom 8 ne postoji.")});

        prompter.Clear();
        prompter.AnswerText(QStringLiteral("7"));
        WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        host.Open(QStringLiteral("Ispis_kartice_artikla"));
        QCOMPARE(prompter.Messages(), QStringList());
        QCOMPARE(ShownTitle(host), QStringLiteral("Kartica artikla"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Kartica artikla"));
    }
};

ZODRA_WINDOW_TEST_MAIN(SummaryMenuTest)
#include "SummaryMenuTest.moc"
