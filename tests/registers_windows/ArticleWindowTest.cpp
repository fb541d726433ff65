#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

#include "RegisterWindowSupport.h"
#include "registers/ArticleListModel.h"
#include "registers/ui/ArticleWindow.h"
#include "registers/ui/RegisterWindows.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using registers::ui::ArticleWindow;

class ArticleWindowTest : public QObject {
    Q_OBJECT

    static QString Shown(ArticleWindow* w) {
        return w->Form()->Values().value(u"NAZIV"_s).toString();
    }

private Q_SLOTS:
    void groupsSearchAndBarcode() {
        test::RegisterWindowHost h;
        const int tools = registers::Add(h.Db(), registers::catalogue::ArticleGroups(),
                                         {{u"NAZIV"_s, u"Alati"_s}})
                              .code;
        registers::Add(h.Db(), registers::catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Prazna"_s}});
        h.AddArticle(u"Čaj od kamilice"_s, u"P-1"_s, u"3850000000017"_s);
        h.AddArticle(u"Čaj zeleni"_s, u"P-2"_s, QString());
        h.AddArticle(u"Bušilica"_s, u"A-1"_s, QString(), tools);
        auto* w = h.Open<ArticleWindow>(u"Sifarnici_artikli"_s);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), u"Artikli"_s);
        QCOMPARE(w->CountLabel()->text(), u"Za sve grupe artikala : 3 art."_s);
        QCOMPARE(Shown(w), u"Bušilica"_s);
        // The search hint is read whole; a name wider than the list shows whole as a tool tip.
        QLineEdit* search = w->SearchField();
        QVERIFY(search->width() >=
                search->fontMetrics().horizontalAdvance(search->placeholderText()));
        QCOMPARE(w->Model()->data(w->Model()->index(0, 0), Qt::ToolTipRole).toString(),
                 u"Bušilica"_s);

        // A group with articles: its count; an empty group: the message and all articles.
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(u"Alati"_s));
        w->ChooseGroup(w->GroupBox()->currentIndex());
        QCOMPARE(w->CountLabel()->text(), u"Za izabranu grupu artikala : 1 art."_s);
        QCOMPARE(w->Model()->rowCount(), 1);
        w->GroupBox()->setCurrentIndex(w->GroupBox()->findText(u"Prazna"_s));
        w->ChooseGroup(w->GroupBox()->currentIndex());
        QCOMPARE(h.host.prompter.LastMessage(),
                 u"Ova grupa artikala je prazna. Bit će prikazani svi artikli."_s);
        QCOMPARE(w->CountLabel()->text(), u"Za sve grupe artikala : 3 art."_s);
        QCOMPARE(w->Model()->rowCount(), 3);

        // Typing moves to the first match; "Traži" to the next and round again.
        w->SearchField()->setFocus();
        test::TypeInto(w->SearchField(), u"čaj"_s);
        QCOMPARE(Shown(w), u"Čaj od kamilice"_s);
        w->SearchAgain();
        QCOMPARE(Shown(w), u"Čaj zeleni"_s);
        w->SearchAgain();
        QCOMPARE(h.host.prompter.LastMessage(),
                 u"Nema više sličnih zapisa. Pretraživanje počinje ponovno od početka."_s);
        QCOMPARE(Shown(w), u"Čaj od kamilice"_s);
        // Enter takes the text as a barcode.
        w->SearchField()->setText(u"3850000000024"_s);
        QTest::keyClick(w->SearchField(), Qt::Key_Return);
        QCOMPARE(h.host.prompter.LastMessage(), u"Artikal sa ovim barkodom nije upisan."_s);
        QCOMPARE(Shown(w), u"Čaj od kamilice"_s);
        w->SelectCode(w->Model()->List().FindFirst(u"buš"_s)->code);
        w->SearchField()->setText(u"3850000000017"_s);
        QTest::keyClick(w->SearchField(), Qt::Key_Return);
        QCOMPARE(Shown(w), u"Čaj od kamilice"_s);
        h.Photograph(w, u"artikli"_s);
    }

    void editingInPlaceRunsTheEntryChecks() {
        test::RegisterWindowHost h;
        h.AddArticle(u"Bušilica"_s, u"A-1"_s, QString());
        const int hammer = h.AddArticle(u"Čekić"_s, u"A-2"_s, QString());
        auto* w = h.Open<ArticleWindow>(u"Sifarnici_artikli"_s);
        QVERIFY(w->SelectCode(hammer));
        test::Type(w->Form(), u"NAZIV"_s, u"bušilica"_s);
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(), u"Artikal sa nazivom 'bušilica' je već upisan."_s);
        // Moving to another article is refused too: the typed text stays.
        auto* list = w->findChild<QListView*>(u"List1"_s);
        list->setCurrentIndex(w->Model()->index(0));
        QCOMPARE(w->CurrentCode(), hammer);
        QCOMPARE(Shown(w), u"bušilica"_s);
        test::Type(w->Form(), u"CARINA%"_s, u"pet"_s);
        test::Type(w->Form(), u"NAZIV"_s, u"Čekić 500 g"_s);
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(),
                 u"Carina % mora biti upisana kao broj (možete upisati i nulu)"_s);
        test::Type(w->Form(), u"CARINA%"_s, u"2,5"_s);
        QVERIFY(w->Save());
        QCOMPARE(registers::NameOf(h.Db(), registers::catalogue::Articles(), hammer),
                 u"Čekić 500 g"_s);
        QCOMPARE(w->CurrentCode(), hammer);
        QCOMPARE(w->Form()->Values().value(u"CARINA%"_s).toString(), u"2,5"_s);
    }

    void addingThroughTheEntryWindowAndDeleting() {
        test::RegisterWindowHost h;
        h.AddArticle(u"Bušilica"_s, u"A-1"_s, QString());
        auto* w = h.Open<ArticleWindow>(u"Sifarnici_artikli"_s);
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [](registers::ui::RegisterEntryDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), u"Upis novog artikla"_s);
                auto* form = dialog->Form();
                // The unit box starts as "kom"; the checks run in their order.
                QCOMPARE(form->Values().value(u"JED_M"_s).toString(), u"kom"_s);
                test::Type(form, u"NAZIV"_s, u"Kod Ane's džem"_s);
                QVERIFY(!dialog->Accept());
                auto* group = qobject_cast<QComboBox*>(form->Editor(u"GRUPA_A"_s));
                group->setCurrentIndex(group->findText(u"Roba"_s));
                auto* tax = qobject_cast<QComboBox*>(form->Editor(u"GRUPA_P"_s));
                tax->setCurrentIndex(tax->findText(u"PDV 13%"_s));
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        w->AddNew();
        QCOMPARE(h.host.prompter.Messages().first(), u"Grupa artikla nije ispravno upisana"_s);
        QCOMPARE(Shown(w), u"Kod Ane's džem"_s);
        QCOMPARE(w->CountLabel()->text(), u"Za sve grupe artikala : 2 art."_s);
        h.host.prompter.AnswerYes();
        w->DeleteCurrent();
        QCOMPARE(h.host.prompter.Shown().last(),
                 u"Sigurno želite izbrisati artikal Kod Ane's džem ?"_s);
        QCOMPARE(w->Model()->rowCount(), 1);
        QCOMPARE(Shown(w), u"Bušilica"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(ArticleWindowTest)
#include "ArticleWindowTest.moc"
