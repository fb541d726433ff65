#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "data/ScriptedPrompter.h"
#include "support/WindowTest.h"
#include "ui/DateBox.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/QtPrompter.h"

using namespace zodra;
using namespace zodra::ui;

class KitTest : public QObject {
    Q_OBJECT

    // A window with the fields in focus order.
    struct Form {
        QWidget window;
        QLineEdit* first;
        NumberBox* number;
        DateBox* date;
        QCheckBox* check;
        QLineEdit* last;
        explicit Form(Prompter& p) {
            auto* layout = new QFormLayout(&window);
            first = new QLineEdit(&window);
            number = new NumberBox(p, &window);
            date = new DateBox(p, &window);
            date->SetToday([] { return QDate(2026, 3, 4); });
            date->SetDate(QDate(2026, 3, 4));
            check = new QCheckBox(&window);
            last = new QLineEdit(&window);
            layout->addRow(QStringLiteral("Prvo"), first);
            layout->addRow(QStringLiteral("Broj"), number);
            layout->addRow(QStringLiteral("Datum"), date);
            layout->addRow(QStringLiteral("Kvačica"), check);
            layout->addRow(QStringLiteral("Zadnje"), last);
            window.show();
            window.activateWindow();
        }
    };

private Q_SLOTS:
    void dateBoxTakesTodayForAWrongDateAndWarnsOnSunday() {
        ScriptedPrompter p;
        Form f(p);
        QSignalSpy edited(f.date, &DateBox::dateEdited);
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, QStringLiteral("31.2.2026"));
        QTest::keyClick(f.date, Qt::Key_Return);  // Enter leaves the box like Tab
        QCOMPARE(p.Messages(),
                 QStringList{QStringLiteral(
                     "Nije ispravno upisan datum. Biti će postavljen današnji datum.")});
        QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
        QCOMPARE(f.date->text(), QStringLiteral("04.03.2026"));
        QCOMPARE(edited.count(), 0);  // today was already the date

        // A Sunday in a box without the warning: no message.
        p.Clear();
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, QStringLiteral("1.3."));
        f.last->setFocus();
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2026, 3, 1));
        QCOMPARE(edited.count(), 1);

        // A document date warns.
        f.date->SetSundayWarning(true);
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, QStringLiteral("8.3.2026"));
        f.last->setFocus();
        QCOMPARE(p.Messages(), QStringList{QStringLiteral("Ovaj datum je nedjelja !")});
        // A weekday does not.
        p.Clear();
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, QStringLiteral("9.3.2026"));
        QVERIFY(f.date->Commit());
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2026, 3, 9));
    }

    void numberBoxRefusesAValueBeyondItsKind() {
        ScriptedPrompter p;
        Form f(p);
        const QString amount =
            QStringLiteral("Broj mora biti između -999999999999,99 i 999999999999,99 !");
        auto typed = [&f](const QString& text) {
            f.number->setFocus();
            f.number->clear();
            QTest::keyClicks(f.number, text);
            return f.number->Commit();
        };
        // Twelve nines are an amount still; the thirteenth digit is not.
        QVERIFY(typed(QStringLiteral("999999999999")));
        QVERIFY(p.Messages().isEmpty());
        QVERIFY(!typed(QStringLiteral("9999999999999")));
        QCOMPARE(p.Messages(), QStringList{amount});
        QCOMPARE(f.number->text(), QStringLiteral("0"));
        QCOMPARE(f.number->Value(), 0.0);

        // A box of prices refuses a negative price, a box of discounts more than 100 %; "-" and
        // "0" on the way to a number pass.
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Price, QStringLiteral("Cijena"));
        QVERIFY(typed(QStringLiteral("-")));
        QVERIFY(!typed(QStringLiteral("-3")));
        QCOMPARE(p.Messages(), QStringList{QStringLiteral("Cijena nesmije biti negativna !")});
        QCOMPARE(f.number->text(), QStringLiteral("0"));
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Discount, QStringLiteral("Rabat"));
        QVERIFY(typed(QStringLiteral("100")));
        QCOMPARE(f.number->Value(), 100.0);
        QVERIFY(p.Messages().isEmpty());
        QVERIFY(!typed(QStringLiteral("100,5")));
        QCOMPARE(p.Messages(), QStringList{QStringLiteral("Rabat mora biti između -100 i 100 !")});
        QCOMPARE(f.number->Value(), 0.0);
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Rate, QStringLiteral("Tečaj"));
        QVERIFY(typed(QStringLiteral("0,5")));
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.number->Value(), 0.5);
    }

    void dateBoxRefusesADateBeyondTheLimits() {
        ScriptedPrompter p;
        Form f(p);
        QSignalSpy edited(f.date, &DateBox::dateEdited);
        for (const char* typed : {"31.12.9999", "1.1.1900"}) {
            p.Clear();
            f.date->setFocus();
            f.date->clear();
            QTest::keyClicks(f.date, QString::fromLatin1(typed));
            QVERIFY(!f.date->Commit());
            QCOMPARE(
                p.Messages(),
                QStringList{QStringLiteral("Datum mora biti između 01.01.2000 i 31.12.2099 !")});
            QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
        }
        QCOMPARE(edited.count(), 0);
        // A document date keeps near its business year: 2027 is the next year's beginning,
        // 2028 is beyond it.
        f.date->SetBusinessYear(2026);
        f.date->SetLimitName(QStringLiteral("Datum primke"));
        p.Clear();
        f.date->clear();
        QTest::keyClicks(f.date, QStringLiteral("31.12.2027"));
        QVERIFY(f.date->Commit());
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2027, 12, 31));
        f.date->clear();
        QTest::keyClicks(f.date, QStringLiteral("3.1.2028"));
        QVERIFY(!f.date->Commit());
        QCOMPARE(
            p.Messages(),
            QStringList{QStringLiteral("Datum primke mora biti između 01.01.2021 i 31.12.2027 !")});
        QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
    }

    void enterMovesToTheNextFieldAndFocusSelectsAll() {
        ScriptedPrompter p;
        Form f(p);
        f.last->setText(QStringLiteral("stari tekst"));
        f.first->setFocus();
        test::Settle();
        QCOMPARE(QApplication::focusWidget(), f.first);
        QTest::keyClick(f.first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.number);
        QTest::keyClick(f.number, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), f.date);
        QTest::keyClick(f.date, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.check);
        QTest::keyClick(f.check, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.last);
        test::Settle();
        QCOMPARE(f.last->selectedText(), QStringLiteral("stari tekst"));
        // Typing replaces the selected text.
        QTest::keyClicks(f.last, QStringLiteral("novi"));
        QCOMPARE(f.last->text(), QStringLiteral("novi"));
        QVERIFY(p.Messages().isEmpty());
    }

    void aFieldCanKeepEnterForItself() {
        ScriptedPrompter p;
        Form f(p);
        KeepEnter(f.first);
        QSignalSpy pressed(f.first, &QLineEdit::returnPressed);
        f.first->setFocus();
        test::Settle();
        QTest::keyClick(f.first, Qt::Key_Return);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(QApplication::focusWidget(), f.first);
    }

    void aMessageWithoutATitleIsTitledByItsWindow() {
        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.resize(800, 600);
        main.show();
        QtPrompter prompter(&main);
        QString shownTitle;
        const auto inform = [&](const QString& title) {
            shownTitle.clear();
            test::WhenShown<QMessageBox>([&shownTitle](QMessageBox* box) {
                shownTitle = box->windowTitle();
                box->accept();
            });
            prompter.Inform(QStringLiteral("Poruka"), title);
            return shownTitle;
        };
        // No window open: the program's name.
        QCOMPARE(inform(QString()), QStringLiteral("Zodra"));
        auto* window = new QWidget;
        window->setWindowTitle(QStringLiteral("Artikli"));
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->show();
        area->setActiveSubWindow(sub);
        test::Settle();
        // A refusal (no title of its own) carries the title of the window it comes from …
        QCOMPARE(inform(QString()), QStringLiteral("Artikli"));
        // … and a message with its own title keeps it.
        QCOMPARE(inform(QStringLiteral("Storno primke")), QStringLiteral("Storno primke"));
    }

    void fileFiltersInTheSystemsFormBecomeQtFilters() {
        QCOMPARE(QtPrompter::ToQtFilter(QStringLiteral("Zodra datoteke|*.mdb")),
                 QStringLiteral("Zodra datoteke (*.mdb)"));
        QCOMPARE(QtPrompter::ToQtFilter(QStringLiteral("CAB arhive|*.cab|Sve datoteke|*.*")),
                 QStringLiteral("CAB arhive (*.cab);;Sve datoteke (*.*)"));
        QCOMPARE(QtPrompter::ToQtFilter(QStringLiteral("Slike (*.bmp)")),
                 QStringLiteral("Slike (*.bmp)"));
    }
};

ZODRA_WINDOW_TEST_MAIN(KitTest)
#include "KitTest.moc"
