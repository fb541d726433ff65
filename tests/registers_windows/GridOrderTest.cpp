// The registers' tables order their rows on a header click, in Croatian order, and the search
// and editing keep finding the right row.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "RegisterWindowSupport.h"
#include "registers/ui/GridWindow.h"

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

QStringList Names(QTableView* grid) {
    QStringList names;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        names << grid->model()->index(r, 0).data().toString();
    }
    return names;
}

void ClickHeader(QTableView* grid, int column) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

class GridOrderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theArticleTableSortsOnAHeaderClick() {
        test::RegisterWindowHost h;
        h.AddArticle(u"Čekić"_s, u"A-1"_s, QString());
        h.AddArticle(u"Dževa"_s, u"A-2"_s, QString());
        h.AddArticle(u"Cijev"_s, u"A-3"_s, QString());
        auto* w = h.Open<registers::ui::GridWindow>(u"Artikli_tablica"_s);
        QVERIFY(w);
        h.host.area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.host.area));
        QTableView* grid = w->Grid();
        const QStringList given = Names(grid);
        QCOMPARE(given.size(), 3);
        ClickHeader(grid, 0);
        QCOMPARE(Names(grid), (QStringList{u"Cijev"_s, u"Čekić"_s, u"Dževa"_s}));
        ClickHeader(grid, 0);
        QCOMPARE(Names(grid), (QStringList{u"Dževa"_s, u"Čekić"_s, u"Cijev"_s}));
        // The search finds the row where it is shown now.
        test::TypeInto(w->SearchField(), u"cij"_s);
        QCOMPARE(grid->currentIndex().data().toString(), u"Cijev"_s);
        // An edit in the ordered table goes to the row shown.
        QVERIFY(grid->model()->setData(grid->model()->index(0, 1), u"D-9"_s));
        QCOMPARE(
            h.Db()
                .Scalar(u"SELECT \"OPIS\" FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"_s, {u"Dževa"_s})
                .toString(),
            u"D-9"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(GridOrderTest)
#include "GridOrderTest.moc"
