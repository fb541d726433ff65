// What the user reads and clicks in lists: Croatian words instead of English ones, DA and NE
// for the configuration's switches, columns that sort on a header click.
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/WorkstationConfig.h"
#include "app/ui/ConfigurationDialog.h"
#include "data/Paths.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;

namespace {

int RowOf(QTableWidget* grid, const QString& name) {
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->text() == name) {
            return r;
        }
    }
    return -1;
}

void ClickHeader(DataGrid& grid, int column) {
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

QStringList Column(const DataGrid& grid, int column) {
    QStringList shown;
    for (int r = 0; r < grid.model()->rowCount(); ++r) {
        shown << grid.model()->index(r, column).data().toString();
    }
    return shown;
}

}  // namespace

class ListsAndWordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theConfigurationShowsAndTakesDaAndNe() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        const QString workstation = paths::WorkstationConfigFile();
        workstationconfig::Load(workstation);
        ConfigurationDialog dialog(host.CurrentSession().Db(), host.prompter, workstation);
        QTableWidget* grid = dialog.WorkstationGrid();
        const int debug = RowOf(grid, u"Debug Mode"_s);
        const int bills = RowOf(grid, u"Ispis računa"_s);
        const int zoom = RowOf(grid, u"Report Zoom"_s);
        QVERIFY(debug >= 0 && bills >= 0 && zoom >= 0);
        QCOMPARE(grid->item(debug, 1)->text(), u"NE"_s);
        QCOMPARE(grid->item(bills, 1)->text(), u"DA"_s);
        QCOMPARE(grid->item(zoom, 1)->text(), u"100"_s);  // not a switch
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString shown = grid->item(r, 1)->text();
            QVERIFY2(shown != QLatin1String("True") && shown != QLatin1String("False"),
                     qPrintable(grid->item(r, 0)->text()));
        }
        // "DA" typed switches it on in the file, as the program reads it.
        grid->item(debug, 1)->setText(u"da"_s);
        QVERIFY(workstationconfig::Load(workstation).debugMode);
        QCOMPARE(grid->item(debug, 1)->text(), u"DA"_s);
        grid->item(debug, 1)->setText(u"NE"_s);
        QVERIFY(!workstationconfig::Load(workstation).debugMode);
        // The file's own word is understood too, and shown in ours.
        grid->item(debug, 1)->setText(u"True"_s);
        QVERIFY(workstationconfig::Load(workstation).debugMode);
        QCOMPARE(grid->item(debug, 1)->text(), u"DA"_s);
    }

    void aListSortsOnAHeaderClickAndKeepsItsDataInStep() {
        TableData data;
        data.columns = {{u"Naziv"_s},
                        {u"Iznos"_s, TableColumn::Format::Money},
                        {u"Datum"_s, TableColumn::Format::Date},
                        {u"Šifra"_s, TableColumn::Format::Integer, -1, true}};
        data.rows = {{u"Čaj"_s, 10.5, QDate(2026, 3, 2), 1},
                     {u"Cedevita"_s, 2.0, QDate(2026, 1, 5), 2},
                     {u"Ćevapi"_s, 100.0, QDate(2026, 2, 1), 3},
                     {u"Dž"_s, 9.99, QVariant(), 4}};
        DataGrid grid;
        grid.SetSortable(true);
        grid.SetData(data);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        // Nothing is ordered before the user asks.
        QCOMPARE(Column(grid, 0), (QStringList{u"Čaj"_s, u"Cedevita"_s, u"Ćevapi"_s, u"Dž"_s}));
        // Text in Croatian order: C, Č, Ć, D.
        ClickHeader(grid, 0);
        QCOMPARE(Column(grid, 0), (QStringList{u"Cedevita"_s, u"Čaj"_s, u"Ćevapi"_s, u"Dž"_s}));
        // The row a window reads through Data() is the row shown.
        grid.SelectRow(1);
        QCOMPARE(grid.Data().Value(grid.CurrentRow(), 3).toInt(), 1);
        // Amounts by value, not by their text; a second click turns the order round.
        ClickHeader(grid, 1);
        QCOMPARE(Column(grid, 1), (QStringList{u"2,00"_s, u"9,99"_s, u"10,50"_s, u"100,00"_s}));
        ClickHeader(grid, 1);
        QCOMPARE(Column(grid, 1), (QStringList{u"100,00"_s, u"10,50"_s, u"9,99"_s, u"2,00"_s}));
        // Dates by date, the empty one first; new rows keep the order asked for.
        ClickHeader(grid, 2);
        QCOMPARE(grid.Data().Value(0, 3).toInt(), 4);
        QCOMPARE(grid.Data().Value(1, 3).toInt(), 2);
        QCOMPARE(grid.Data().Value(3, 3).toInt(), 1);
        data.rows.push_back({u"Novo"_s, 1.0, QDate(2026, 1, 1), 5});
        grid.SetData(data);
        QCOMPARE(grid.Data().Value(1, 3).toInt(), 5);

        // A grid of lines named by their place keeps the order it was given.
        DataGrid lines;
        lines.SetData(data);
        lines.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lines));
        ClickHeader(lines, 0);
        QCOMPARE(lines.Data().Value(0, 3).toInt(), 1);
    }
};

ZODRA_WINDOW_TEST_MAIN(ListsAndWordsTest)
#include "ListsAndWordsTest.moc"
