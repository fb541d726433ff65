#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

#include "RegisterWindowSupport.h"
#include "data/ExchangeRates.h"
#include "registers/ui/ArticlePicker.h"
#include "registers/ui/BillOfMaterialsWindow.h"
#include "registers/ui/CurrencyRatePanel.h"
#include "registers/ui/GridWindow.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"

using namespace Qt::StringLiterals;

using namespace zodra;

class RegisterListsTest : public QObject {
    Q_OBJECT

    static bool Select(registers::ui::RegisterListWindow* w, const QString& name) {
        const auto items = w->List()->findItems(name, Qt::MatchExactly);
        if (items.isEmpty()) {
            return false;
        }
        w->List()->setCurrentItem(items.first());
        return true;
    }
    static void PressDelete(QWidget* w) { w->findChild<QPushButton*>(u"Izbrisi"_s)->click(); }

private Q_SLOTS:
    void rowsThatCannotGoAreRefusedBeforeTheQuestion() {
        test::RegisterWindowHost h;
        auto* partners = h.Open<registers::ui::RegisterListWindow>(u"Sifarnici_Partneri"_s);
        QVERIFY(partners);
        QCOMPARE(partners->windowTitle(), u"Partneri"_s);
        QVERIFY(Select(partners, u"Kupac u maloprodaji"_s));
        PressDelete(partners);
        QCOMPARE(h.host.prompter.Shown(),
                 QStringList{u"Kupca u maloprodaji ne možete izbrisati"_s});
        h.Photograph(partners, u"partneri"_s);

        auto* terms = h.Open<registers::ui::RegisterListWindow>(u"Sifarnici_uvjeti_prodaje"_s);
        QVERIFY(Select(terms, u"Izvoz"_s));
        PressDelete(terms);
        QCOMPARE(h.host.prompter.LastMessage(), u"Uvjet prodaje Izvoz ne možete izbrisati"_s);
        QCOMPARE(h.host.prompter.Shown().size(), 2);  // no question in between
        // A term of its own is asked for and deleted.
        registers::Add(h.Db(), registers::catalogue::SalesTerms(), {{u"NAZIV"_s, u"Akcija"_s}});
        terms->Reload();
        QVERIFY(Select(terms, u"Akcija"_s));
        h.host.prompter.AnswerYes();
        PressDelete(terms);
        QCOMPARE(h.host.prompter.Shown().last(),
                 u"Sigurno želite izbrisati uvjet prodaje Akcija ?"_s);
        QVERIFY(terms->List()->findItems(u"Akcija"_s, Qt::MatchExactly).isEmpty());
    }

    void partnerEditsAreCheckedAndTheShortcutAddsADeliveryMethod() {
        test::RegisterWindowHost h;
        registers::Add(h.Db(), registers::catalogue::Partners(),
                       {{u"NAZIV"_s, u"Kod Ane's d.o.o."_s},
                        {u"ADRESA"_s, u"Savska 5"_s},
                        {u"MJESTO"_s, u"Zagreb"_s},
                        {u"OIB"_s, u"69435151530"_s}});
        registers::Add(
            h.Db(), registers::catalogue::Partners(),
            {{u"NAZIV"_s, u"Drugi"_s}, {u"ADRESA"_s, u"Ilica 1"_s}, {u"MJESTO"_s, u"Zagreb"_s}});
        auto* w = h.Open<registers::ui::RegisterListWindow>(u"Sifarnici_Partneri"_s);
        QVERIFY(Select(w, u"Drugi"_s));
        test::Type(w->Form(), u"OIB"_s, u"69435151530"_s);
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(),
                 u"Partner sa OIB-om '69435151530' je već upisan."_s);
        test::Type(w->Form(), u"OIB"_s, QString());
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [](registers::ui::RegisterEntryDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), u"Upis novog načina isporuke"_s);
                test::Type(dialog->Form(), u"NAZIV"_s, u"brza pošta"_s);
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        w->Form()->findChild<QPushButton*>(u"NACIN_ISPORUKE_novi"_s)->click();
        auto* delivery = qobject_cast<QComboBox*>(w->Form()->Editor(u"NACIN_ISPORUKE"_s));
        QCOMPARE(delivery->currentText(), u"brza pošta"_s);
        QVERIFY(w->Save());
        QCOMPARE(h.Db()
                     .Scalar(u"SELECT n.\"NAZIV\" FROM \"PARTNERI\" p JOIN "
                             "\"NACINI_ISPORUKE\" n ON n.\"SIFRA\" = "
                             "p.\"NACIN_ISPORUKE\" WHERE p.\"NAZIV\" = 'Drugi'"_s)
                     .toString(),
                 u"brza pošta"_s);
    }

    void currencyRatesBesideTheCurrencies() {
        test::RegisterWindowHost h;
        h.host.area.show();
        registers::Add(h.Db(), registers::catalogue::Currencies(), {{u"NAZIV"_s, u"USD"_s}});
        auto* w = h.Open<registers::ui::RegisterListWindow>(u"Sifarnici_valute"_s);
        auto* panel = w->findChild<registers::ui::CurrencyRatePanel*>();
        QVERIFY(panel);
        // The window widens by the panel: its rate buttons and the grid are wholly inside, not
        // cut off at the window's edge.
        test::Settle();
        for (const char* name : {"UpisiTecaj", "IzbrisiTecaj", "TecajeviValute"}) {
            auto* part = panel->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY(part);
            const QRect inWindow(part->mapTo(w, QPoint(0, 0)), part->size());
            QVERIFY2(w->rect().contains(inWindow), name);
            QVERIFY2(part->width() >= part->minimumSizeHint().width(), name);
        }
        QVERIFY(Select(w, u"USD"_s));
        panel->DateField()->SetDate(QDate(2026, 3, 2));
        panel->RateField()->setText(u"0"_s);
        panel->StoreTyped();
        QCOMPARE(h.host.prompter.LastMessage(), u"Neispravno upisan tečaj USD"_s);
        QCOMPARE(panel->Grid()->Data().RowCount(), 0);
        panel->RateField()->setText(u"0,9215"_s);
        panel->StoreTyped();
        QCOMPARE(panel->Grid()->Data().RowCount(), 1);
        QCOMPARE(panel->Grid()->Data().Value(0, 1).toDouble(), 0.9215);
        // Opening the command again keeps one panel.
        h.host.RunCommand(u"Sifarnici_valute"_s);
        QCOMPARE(w->findChildren<registers::ui::CurrencyRatePanel*>().size(), 1);
        QVERIFY(Select(w, u"EUR"_s));
        PressDelete(w);
        QCOMPARE(h.host.prompter.LastMessage(),
                 u"Nije dozvoljeno brisanje jer je ovo domaća valuta."_s);
        h.Photograph(w, u"valute"_s);
    }

    void gridsSaveCellsThroughTheChecks() {
        test::RegisterWindowHost h;
        h.AddArticle(u"Bušilica"_s, u"A-1"_s, QString());
        h.AddArticle(u"Čekić"_s, u"A-2"_s, QString());
        auto* w = h.Open<registers::ui::GridWindow>(u"Artikli_tablica"_s);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), u"Artikli tablično"_s);
        auto* model = w->Model();
        QCOMPARE(model->rowCount(), 2);
        QVERIFY(!model->setData(model->index(1, 1), u"A-1"_s));
        QCOMPARE(h.host.prompter.LastMessage(), u"Artikal sa šifrom 'A-1' je već upisan."_s);
        test::TypeInto(w->SearchField(), u"če"_s);
        QCOMPARE(w->Grid()->currentIndex().row(), 1);
        h.Photograph(w, u"artikli_tablicno"_s);
        auto* partners = h.Open<registers::ui::GridWindow>(u"Partneri_tablica"_s);
        QCOMPARE(partners->Model()->rowCount(), 2);
    }

    void billsOfMaterials() {
        test::RegisterWindowHost h;
        const int table = h.AddArticle(u"Stol"_s, u"S-1"_s, QString());
        const int leg = h.AddArticle(u"Noga"_s, u"N-1"_s, QString());
        auto* w = h.Open<registers::ui::BillOfMaterialsWindow>(u"Sifarnici_sastavnice"_s);
        QVERIFY(w);
        w->AddBill();
        QCOMPARE(h.host.prompter.LastMessage(), u"Nije izabran artikal"_s);
        QVERIFY(w->ProductPicker()->SetCode(table));
        w->AddBill();
        QCOMPARE(w->Bills()->count(), 1);
        QVERIFY(w->PartPicker()->SetCode(leg));
        w->Field(u"KolicinaDijela"_s)->setText(u"4"_s);
        w->AddPart();
        QCOMPARE(w->PartsGrid()->Data().RowCount(), 1);
        w->Field(u"Opis"_s)->setText(u"Rad"_s);
        w->Field(u"KolicinaTroska"_s)->setText(u"2"_s);
        w->Field(u"Cijena"_s)->setText(u"12,5"_s);
        w->AddCost();
        QCOMPARE(w->CostsGrid()->Data().Value(0, 3).toDouble(), 25.0);
        h.Photograph(w, u"sastavnice"_s);
        h.host.prompter.AnswerYes();
        w->DeleteBill();
        QCOMPARE(h.host.prompter.Shown().last(),
                 u"Sigurno želite izbrisati sastavnicu za Stol ?"_s);
        QCOMPARE(w->Bills()->count(), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(RegisterListsTest)
#include "RegisterListsTest.moc"
