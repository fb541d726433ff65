#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>

#include "charts/ChartData.h"
#include "charts/ui/ChartCommands.h"
#include "charts/ui/ChartWindow.h"
#include "support/WindowTest.h"

using namespace zodra;
using namespace zodra::charts;
using namespace zodra::charts::ui;

namespace {

// Distinct colours in a grid of samples over the picture: a blank or one-colour file has one.
int Colours(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            seen.insert(image.pixel(x, y));
        }
    }
    return seen.size();
}

}  // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandsOpenOneWindowDrivenByKeysAndSavedAsPng() {
        test::DemoHostSetup setup;
        setup.commands = [](zodra::ui::CommandRegistry& r) { RegisterChartCommands(r); };
        test::DemoHost host(setup);
        auto* window =
            qobject_cast<ChartWindow*>(host.Open(QStringLiteral("Graf_10_naj_art_promet")));
        QVERIFY(window);
        QCOMPARE(window->Shown().points.size(), std::size_t(10));
        QCOMPARE(window->Shown().title,
                 QStringLiteral("10 najprodavanijih artikala - promet (2026)"));
        auto* kind = window->findChild<QComboBox*>(QStringLiteral("Grafikon"));
        auto* limit = window->findChild<QSpinBox*>(QStringLiteral("Broj"));
        QVERIFY(kind && limit);
        QVERIFY(limit->isEnabled());
        host.Photograph(window, QStringLiteral("grafikon_najprodavaniji"));

        // Another item of the menu switches the open window.
        host.RunCommand(QStringLiteral("Graf_art_god_kolicina"));
        test::Settle();
        QCOMPARE(host.area.subWindowList().size(), 1);
        QCOMPARE(window->Shown().points.size(), std::size_t(12));
        QCOMPARE(window->Shown().title, QStringLiteral("Prodaja po mjesecima - količina (2026)"));
        QVERIFY(!limit->isEnabled());
        host.Photograph(window, QStringLiteral("grafikon_mjeseci"));

        // The chooser by keys: every chart in turn down to the stock value, which has no measure.
        kind->setFocus();
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(kind, Qt::Key_Down);
            test::Settle();
            host.Photograph(window, QStringLiteral("grafikon_") + QString::number(i + 1));
        }
        QCOMPARE(window->Shown().title,
                 QStringLiteral("Vrijednost zalihe na kraju mjeseca (2026)"));
        QVERIFY(!window->findChild<QComboBox*>(QStringLiteral("Mjera"))->isEnabled());

        // "Spremi PNG" writes the picture where the user says.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zaliha"));
        host.prompter.AnswerText(path);
        QTest::mouseClick(test::Button(window, "SpremiPNG"), Qt::LeftButton);
        const QImage image(path + QStringLiteral(".png"));
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 700);
        QVERIFY(Colours(image) > 3);
        QVERIFY(host.prompter.Messages().isEmpty());

        // A folder that does not exist is refused with a message, and nothing is claimed saved.
        const QString nowhere = dir.filePath(QStringLiteral("nema/slika.png"));
        QVERIFY(!window->WritePng(nowhere));
        QCOMPARE(
            host.prompter.LastMessage(),
            QStringLiteral("Grafikon nije spremljen u datoteku ") + nowhere + QLatin1Char('.'));
    }

    void anEmptyYearSaysSo() {
        test::DemoHostSetup setup;
        setup.withSales = false;
        setup.commands = [](zodra::ui::CommandRegistry& r) { RegisterChartCommands(r); };
        test::DemoHost host(setup);
        auto* window =
            qobject_cast<ChartWindow*>(host.Open(QStringLiteral("Graf_10_naj_kup_zarada")));
        QVERIFY(window);
        QVERIFY(window->Shown().points.empty());
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Napomena"))->text(),
                 QStringLiteral("Nema podataka za 2026. godinu."));
        QTemporaryDir dir;
        QVERIFY(window->WritePng(dir.filePath(QStringLiteral("prazno.png"))));
        QVERIFY(!QImage(dir.filePath(QStringLiteral("prazno.png"))).isNull());
    }
};

ZODRA_WINDOW_TEST_MAIN(ChartWindowTest)
#include "ChartWindowTest.moc"
