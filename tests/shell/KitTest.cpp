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

using namespace Qt::StringLiterals;

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
            layout->addRow(u"Prvo"_s, first);
            layout->addRow(u"Broj"_s, number);
            layout->addRow(u"Datum"_s, date);
            layout->addRow(u"Kvačica"_s, check);
            layout->addRow(u"Zadnje"_s, last);
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
        QTest::keyClicks(f.date, u"31.2.2026"_s);
        QTest::keyClick(f.date, Qt::Key_Return);  // Enter leaves the box like Tab
        QCOMPARE(p.Messages(),
                 QStringList{u"Nije ispravno upisan datum. Biti će postavljen današnji datum."_s});
        QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
        QCOMPARE(f.date->text(), u"04.03.2026"_s);
        QCOMPARE(edited.count(), 0);  // today was already the date

        // A Sunday in a box without the warning: no message.
        p.Clear();
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, u"1.3."_s);
        f.last->setFocus();
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2026, 3, 1));
        QCOMPARE(edited.count(), 1);

        // A document date warns.
        f.date->SetSundayWarning(true);
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, u"8.3.2026"_s);
        f.last->setFocus();
        QCOMPARE(p.Messages(), QStringList{u"Ovaj datum je nedjelja !"_s});
        // A weekday does not.
        p.Clear();
        f.date->setFocus();
        test::Settle();
        QTest::keyClicks(f.date, u"9.3.2026"_s);
        QVERIFY(f.date->Commit());
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2026, 3, 9));
    }

    void numberBoxRefusesAValueBeyondItsKind() {
        ScriptedPrompter p;
        Form f(p);
        const QString amount = u"Broj mora biti između -999999999999,99 i 999999999999,99 !"_s;
        auto typed = [&f](const QString& text) {
            f.number->setFocus();
            f.number->clear();
            QTest::keyClicks(f.number, text);
            return f.number->Commit();
        };
        // Twelve nines are an amount still; the thirteenth digit is not.
        QVERIFY(typed(u"999999999999"_s));
        QVERIFY(p.Messages().isEmpty());
        QVERIFY(!typed(u"9999999999999"_s));
        QCOMPARE(p.Messages(), QStringList{amount});
        QCOMPARE(f.number->text(), u"0"_s);
        QCOMPARE(f.number->Value(), 0.0);

        // A box of prices refuses a negative price, a box of discounts more than 100 %; "-" and
        // "0" on the way to a number pass.
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Price, u"Cijena"_s);
        QVERIFY(typed(u"-"_s));
        QVERIFY(!typed(u"-3"_s));
        QCOMPARE(p.Messages(), QStringList{u"Cijena nesmije biti negativna !"_s});
        QCOMPARE(f.number->text(), u"0"_s);
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Discount, u"Rabat"_s);
        QVERIFY(typed(u"100"_s));
        QCOMPARE(f.number->Value(), 100.0);
        QVERIFY(p.Messages().isEmpty());
        QVERIFY(!typed(u"100,5"_s));
        QCOMPARE(p.Messages(), QStringList{u"Rabat mora biti između -100 i 100 !"_s});
        QCOMPARE(f.number->Value(), 0.0);
        p.Clear();
        f.number->SetLimit(limits::NumberKind::Rate, u"Tečaj"_s);
        QVERIFY(typed(u"0,5"_s));
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
            QCOMPARE(p.Messages(),
                     QStringList{u"Datum mora biti između 01.01.2000 i 31.12.2099 !"_s});
            QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
        }
        QCOMPARE(edited.count(), 0);
        // A document date keeps near its business year: 2027 is the next year's beginning,
        // 2028 is beyond it.
        f.date->SetBusinessYear(2026);
        f.date->SetLimitName(u"Datum primke"_s);
        p.Clear();
        f.date->clear();
        QTest::keyClicks(f.date, u"31.12.2027"_s);
        QVERIFY(f.date->Commit());
        QVERIFY(p.Messages().isEmpty());
        QCOMPARE(f.date->Date(), QDate(2027, 12, 31));
        f.date->clear();
        QTest::keyClicks(f.date, u"3.1.2028"_s);
        QVERIFY(!f.date->Commit());
        QCOMPARE(p.Messages(),
                 QStringList{u"Datum primke mora biti između 01.01.2021 i 31.12.2027 !"_s});
        QCOMPARE(f.date->Date(), QDate(2026, 3, 4));
    }

    void enterMovesToTheNextFieldAndFocusSelectsAll() {
        ScriptedPrompter p;
        Form f(p);
        f.last->setText(u"stari tekst"_s);
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
        QCOMPARE(f.last->selectedText(), u"stari tekst"_s);
        // Typing replaces the selected text.
        QTest::keyClicks(f.last, u"novi"_s);
        QCOMPARE(f.last->text(), u"novi"_s);
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
            prompter.Inform(u"Poruka"_s, title);
            return shownTitle;
        };
        // No window open: the program's name.
        QCOMPARE(inform(QString()), u"Zodra"_s);
        auto* window = new QWidget;
        window->setWindowTitle(u"Artikli"_s);
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->show();
        area->setActiveSubWindow(sub);
        test::Settle();
        // A refusal (no title of its own) carries the title of the window it comes from …
        QCOMPARE(inform(QString()), u"Artikli"_s);
        // … and a message with its own title keeps it.
        QCOMPARE(inform(u"Storno primke"_s), u"Storno primke"_s);
    }

    void fileFiltersInTheSystemsFormBecomeQtFilters() {
        QCOMPARE(QtPrompter::ToQtFilter(u"Zodra datoteke|*.mdb"_s), u"Zodra datoteke (*.mdb)"_s);
        QCOMPARE(QtPrompter::ToQtFilter(u"CAB arhive|*.cab|Sve datoteke|*.*"_s),
                 u"CAB arhive (*.cab);;Sve datoteke (*.*)"_s);
        QCOMPARE(QtPrompter::ToQtFilter(u"Slike (*.bmp)"_s), u"Slike (*.bmp)"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(KitTest)
#include "KitTest.moc"
