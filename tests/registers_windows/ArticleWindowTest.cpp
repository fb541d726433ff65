#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

#include "RegisterWindowSupport.h"
#include "registers/ArticleListModel.h"
#include "registers/ui/ArticleWindow.h"
#include "registers/ui/RegisterWindows.h"

using namespace zodra;
using registers::ui::ArticleWindow;

class ArticleWindowTest : public QObject {
    Q_OBJECT

    static QString Shown(ArticleWindow* w) {
        return w->Form()->Values().value(QStringLiteral("NAZIV")).toString();
    }

private Q_SLOTS:
    void groupsSearchAndBarcode() {
        test::RegisterWindowHost h;
        const int tools = registers::Add(h.Db(), registers::catalogue::ArticleGroups(),
                                         {{QStringLiteral("NAZIV"), QStringLiteral("Alati")}})
                              .code;
        registers::Add(h.Db(), registers::catalogue::ArticleGroups(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Prazna")}});
        h.AddArticle(QStringLiteral("Čaj od kamilice"), QStringLiteral("P-1"),
                     QStringLiteral("3850000000017"));
        h.AddArticle(QStringLiteral("Čaj zeleni"), QStringLiteral("P-2"), QString());
        h.AddArticle(QStringLiteral("Bušilica"), QStringLiteral("A-1"), QString(), tools);
        auto* w = h.Open<ArticleWindow>(QStringLiteral("Sifarnici_artikli"));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Artikli"));
        QCOMPARE(w->CountLabel()->text(), QStringLiteral("Za sve grupe artikala : 3 art."));
        QCOMPARE(Shown(w), QStringLiteral("Bušilica"));
        // The search hint is read whole; a name wider than the list shows whole as a tool tip.
        QLineEdit* search = w->SearchField();
        QVERIFY(search->width() >=
                search->fontMetrics().horizontalAdvance(search->placeholderText()));
        QCOMPARE(w->Model()->data(w->Model()->index(0, 0), Qt::ToolTipRole).toString(),
                 QStringLiteral("Bušilica"));

        // A group with articles: its count; an empty group: the message and all articles.
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(QStringLiteral("Alati")));
        w->ChooseGroup(w->GroupBox()->currentIndex());
        QCOMPARE(w->CountLabel()->text(), QStringLiteral("Za izabranu grupu artikala : 1 art."));
        QCOMPARE(w->Model()->rowCount(), 1);
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(QStringLiteral("Prazna")));
        w->ChooseGroup(w->GroupBox()->currentIndex());
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Ova grupa artikala je prazna. Bit će prikazani svi artikli."));
        QCOMPARE(w->CountLabel()->text(), QStringLiteral("Za sve grupe artikala : 3 art."));
        QCOMPARE(w->Model()->rowCount(), 3);

        // Typing moves to the first match; "Traži" to the next and round again.
        w->SearchField()->setFocus();
        test::TypeInto(w->SearchField(), QStringLiteral("čaj"));
        QCOMPARE(Shown(w), QStringLiteral("Čaj od kamilice"));
        w->SearchAgain();
        QCOMPARE(Shown(w), QStringLiteral("Čaj zeleni"));
        w->SearchAgain();
        QCOMPARE(
            h.host.prompter.LastMessage(),
            QStringLiteral("Nema više sličnih zapisa. Pretraživanje počinje ponovno od početka."));
        QCOMPARE(Shown(w), QStringLiteral("Čaj od kamilice"));
        // Enter takes the text as a barcode.
        w->SearchField()->setText(QStringLiteral("3850000000024"));
        QTest::keyClick(w->SearchField(), Qt::Key_Return);
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Artikal sa ovim barkodom nije upisan."));
        QCOMPARE(Shown(w), QStringLiteral("Čaj od kamilice"));
        w->SelectCode(w->Model()->List().FindFirst(QStringLiteral("buš"))->code);
        w->SearchField()->setText(QStringLiteral("3850000000017"));
        QTest::keyClick(w->SearchField(), Qt::Key_Return);
        QCOMPARE(Shown(w), QStringLiteral("Čaj od kamilice"));
        h.Photograph(w, QStringLiteral("artikli"));
    }

    void editingInPlaceRunsTheEntryChecks() {
        test::RegisterWindowHost h;
        h.AddArticle(QStringLiteral("Bušilica"), QStringLiteral("A-1"), QString());
        const int hammer = h.AddArticle(QStringLiteral("Čekić"), QStringLiteral("A-2"), QString());
        auto* w = h.Open<ArticleWindow>(QStringLiteral("Sifarnici_artikli"));
        QVERIFY(w->SelectCode(hammer));
        test::Type(w->Form(), QStringLiteral("NAZIV"), QStringLiteral("bušilica"));
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Artikal sa nazivom 'bušilica' je već upisan."));
        // Moving to another article is refused too: the typed text stays.
        auto* list = w->findChild<QListView*>(QStringLiteral("List1"));
        list->setCurrentIndex(w->Model()->index(0));
        QCOMPARE(w->CurrentCode(), hammer);
        QCOMPARE(Shown(w), QStringLiteral("bušilica"));
        test::Type(w->Form(), QStringLiteral("CARINA%"), QStringLiteral("pet"));
        test::Type(w->Form(), QStringLiteral("NAZIV"), QStringLiteral("Čekić 500 g"));
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Carina % mora biti upisana kao broj (možete upisati i nulu)"));
        test::Type(w->Form(), QStringLiteral("CARINA%"), QStringLiteral("2,5"));
        QVERIFY(w->Save());
        QCOMPARE(registers::NameOf(h.Db(), registers::catalogue::Articles(), hammer),
                 QStringLiteral("Čekić 500 g"));
        QCOMPARE(w->CurrentCode(), hammer);
        QCOMPARE(w->Form()->Values().value(QStringLiteral("CARINA%")).toString(),
                 QStringLiteral("2,5"));
    }

    void addingThroughTheEntryWindowAndDeleting() {
        test::RegisterWindowHost h;
        h.AddArticle(QStringLiteral("Bušilica"), QStringLiteral("A-1"), QString());
        auto* w = h.Open<ArticleWindow>(QStringLiteral("Sifarnici_artikli"));
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [](registers::ui::RegisterEntryDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Upis novog artikla"));
                auto* form = dialog->Form();
                // The unit box starts as "kom"; the checks run in their order.
                QCOMPARE(form->Values().value(QStringLiteral("JED_M")).toString(),
                         QStringLiteral("kom"));
                test::Type(form, QStringLiteral("NAZIV"), QStringLiteral("Kod Ane's džem"));
                QVERIFY(!dialog->Accept());
                auto* group = qobject_cast<QComboBox*>(form->Editor(QStringLiteral("GRUPA_A")));
                group->setCurrentIndex(group->findText(QStringLiteral("Roba")));
                auto* tax = qobject_cast<QComboBox*>(form->Editor(QStringLiteral("GRUPA_P")));
                tax->setCurrentIndex(tax->findText(QStringLiteral("PDV 13%")));
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        w->AddNew();
        QCOMPARE(h.host.prompter.Messages().first(),
                 QStringLiteral("Grupa artikla nije ispravno upisana"));
        QCOMPARE(Shown(w), QStringLiteral("Kod Ane's džem"));
        QCOMPARE(w->CountLabel()->text(), QStringLiteral("Za sve grupe artikala : 2 art."));
        h.host.prompter.AnswerYes();
        w->DeleteCurrent();
        QCOMPARE(h.host.prompter.Shown().last(),
                 QStringLiteral("Sigurno želite izbrisati artikal Kod Ane's džem ?"));
        QCOMPARE(w->Model()->rowCount(), 1);
        QCOMPARE(Shown(w), QStringLiteral("Bušilica"));
    }
};

ZODRA_WINDOW_TEST_MAIN(ArticleWindowTest)
#include "ArticleWindowTest.moc"
