// The registers' tables order their rows on a header click, in Croatian order, and the search
// and editing keep finding the right row.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "RegisterWindowSupport.h"
#include "registers/ui/GridWindow.h"

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
        h.AddArticle(QStringLiteral("Čekić"), QStringLiteral("A-1"), QString());
        h.AddArticle(QStringLiteral("Dževa"), QStringLiteral("A-2"), QString());
        h.AddArticle(QStringLiteral("Cijev"), QStringLiteral("A-3"), QString());
        auto* w = h.Open<registers::ui::GridWindow>(QStringLiteral("Artikli_tablica"));
        QVERIFY(w);
        h.host.area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.host.area));
        QTableView* grid = w->Grid();
        const QStringList given = Names(grid);
        QCOMPARE(given.size(), 3);
        ClickHeader(grid, 0);
        QCOMPARE(Names(grid), (QStringList{QStringLiteral("Cijev"), QStringLiteral("Čekić"),
                                           QStringLiteral("Dževa")}));
        ClickHeader(grid, 0);
        QCOMPARE(Names(grid), (QStringList{QStringLiteral("Dževa"), QStringLiteral("Čekić"),
                                           QStringLiteral("Cijev")}));
        // The search finds the row where it is shown now.
        test::TypeInto(w->SearchField(), QStringLiteral("cij"));
        QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("Cijev"));
        // An edit in the ordered table goes to the row shown.
        QVERIFY(grid->model()->setData(grid->model()->index(0, 1), QStringLiteral("D-9")));
        QCOMPARE(h.Db()
                     .Scalar(QStringLiteral("SELECT \"OPIS\" FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"),
                             {QStringLiteral("Dževa")})
                     .toString(),
                 QStringLiteral("D-9"));
    }
};

ZODRA_WINDOW_TEST_MAIN(GridOrderTest)
#include "GridOrderTest.moc"
