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
    static void PressDelete(QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("Izbrisi"))->click();
    }

private Q_SLOTS:
    void rowsThatCannotGoAreRefusedBeforeTheQuestion() {
        test::RegisterWindowHost h;
        auto* partners =
            h.Open<registers::ui::RegisterListWindow>(QStringLiteral("Sifarnici_Partneri"));
        QVERIFY(partners);
        QCOMPARE(partners->windowTitle(), QStringLiteral("Partneri"));
        QVERIFY(Select(partners, QStringLiteral("Kupac u maloprodaji")));
        PressDelete(partners);
        QCOMPARE(h.host.prompter.Shown(),
                 QStringList{QStringLiteral("Kupca u maloprodaji ne možete izbrisati")});
        h.Photograph(partners, QStringLiteral("partneri"));

        auto* terms =
            h.Open<registers::ui::RegisterListWindow>(QStringLiteral("Sifarnici_uvjeti_prodaje"));
        QVERIFY(Select(terms, QStringLiteral("Izvoz")));
        PressDelete(terms);
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Uvjet prodaje Izvoz ne možete izbrisati"));
        QCOMPARE(h.host.prompter.Shown().size(), 2);  // no question in between
        // A term of its own is asked for and deleted.
        registers::Add(h.Db(), registers::catalogue::SalesTerms(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Akcija")}});
        terms->Reload();
        QVERIFY(Select(terms, QStringLiteral("Akcija")));
        h.host.prompter.AnswerYes();
        PressDelete(terms);
        QCOMPARE(h.host.prompter.Shown().last(),
                 QStringLiteral("Sigurno želite izbrisati uvjet prodaje Akcija ?"));
        QVERIFY(terms->List()->findItems(QStringLiteral("Akcija"), Qt::MatchExactly).isEmpty());
    }

    void partnerEditsAreCheckedAndTheShortcutAddsADeliveryMethod() {
        test::RegisterWindowHost h;
        registers::Add(h.Db(), registers::catalogue::Partners(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Kod Ane's d.o.o.")},
                        {QStringLiteral("ADRESA"), QStringLiteral("Savska 5")},
                        {QStringLiteral("MJESTO"), QStringLiteral("Zagreb")},
                        {QStringLiteral("OIB"), QStringLiteral("69435151530")}});
        registers::Add(h.Db(), registers::catalogue::Partners(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Drugi")},
                        {QStringLiteral("ADRESA"), QStringLiteral("Ilica 1")},
                        {QStringLiteral("MJESTO"), QStringLiteral("Zagreb")}});
        auto* w = h.Open<registers::ui::RegisterListWindow>(QStringLiteral("Sifarnici_Partneri"));
        QVERIFY(Select(w, QStringLiteral("Drugi")));
        test::Type(w->Form(), QStringLiteral("OIB"), QStringLiteral("69435151530"));
        QVERIFY(!w->Save());
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Partner sa OIB-om '69435151530' je već upisan."));
        test::Type(w->Form(), QStringLiteral("OIB"), QString());
        test::WhenShown<registers::ui::RegisterEntryDialog>(
            [](registers::ui::RegisterEntryDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Upis novog načina isporuke"));
                test::Type(dialog->Form(), QStringLiteral("NAZIV"), QStringLiteral("brza pošta"));
                QVERIFY(dialog->Accept());
                dialog->accept();
            });
        w->Form()->findChild<QPushButton*>(QStringLiteral("NACIN_ISPORUKE_novi"))->click();
        auto* delivery =
            qobject_cast<QComboBox*>(w->Form()->Editor(QStringLiteral("NACIN_ISPORUKE")));
        QCOMPARE(delivery->currentText(), QStringLiteral("brza pošta"));
        QVERIFY(w->Save());
        QCOMPARE(h.Db()
                     .Scalar(QStringLiteral("SELECT n.\"NAZIV\" FROM \"PARTNERI\" p JOIN "
                                            "\"NACINI_ISPORUKE\" n ON n.\"SIFRA\" = "
                                            "p.\"NACIN_ISPORUKE\" WHERE p.\"NAZIV\" = 'Drugi'"))
                     .toString(),
                 QStringLiteral("brza pošta"));
    }

    void currencyRatesBesideTheCurrencies() {
        test::RegisterWindowHost h;
        h.host.area.show();
        registers::Add(h.Db(), registers::catalogue::Currencies(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("USD")}});
        auto* w = h.Open<registers::ui::RegisterListWindow>(QStringLiteral("Sifarnici_valute"));
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
        QVERIFY(Select(w, QStringLiteral("USD")));
        panel->DateField()->SetDate(QDate(2026, 3, 2));
        panel->RateField()->setText(QStringLiteral("0"));
        panel->StoreTyped();
        QCOMPARE(h.host.prompter.LastMessage(), QStringLiteral("Neispravno upisan tečaj USD"));
        QCOMPARE(panel->Grid()->Data().RowCount(), 0);
        panel->RateField()->setText(QStringLiteral("0,9215"));
        panel->StoreTyped();
        QCOMPARE(panel->Grid()->Data().RowCount(), 1);
        QCOMPARE(panel->Grid()->Data().Value(0, 1).toDouble(), 0.9215);
        // Opening the command again keeps one panel.
        h.host.RunCommand(QStringLiteral("Sifarnici_valute"));
        QCOMPARE(w->findChildren<registers::ui::CurrencyRatePanel*>().size(), 1);
        QVERIFY(Select(w, QStringLiteral("EUR")));
        PressDelete(w);
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Nije dozvoljeno brisanje jer je ovo domaća valuta."));
        h.Photograph(w, QStringLiteral("valute"));
    }

    void gridsSaveCellsThroughTheChecks() {
        test::RegisterWindowHost h;
        h.AddArticle(QStringLiteral("Bušilica"), QStringLiteral("A-1"), QString());
        h.AddArticle(QStringLiteral("Čekić"), QStringLiteral("A-2"), QString());
        auto* w = h.Open<registers::ui::GridWindow>(QStringLiteral("Artikli_tablica"));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Artikli tablično"));
        auto* model = w->Model();
        QCOMPARE(model->rowCount(), 2);
        QVERIFY(!model->setData(model->index(1, 1), QStringLiteral("A-1")));
        QCOMPARE(h.host.prompter.LastMessage(),
                 QStringLiteral("Artikal sa šifrom 'A-1' je već upisan."));
        test::TypeInto(w->SearchField(), QStringLiteral("če"));
        QCOMPARE(w->Grid()->currentIndex().row(), 1);
        h.Photograph(w, QStringLiteral("artikli_tablicno"));
        auto* partners = h.Open<registers::ui::GridWindow>(QStringLiteral("Partneri_tablica"));
        QCOMPARE(partners->Model()->rowCount(), 2);
    }

    void billsOfMaterials() {
        test::RegisterWindowHost h;
        const int table = h.AddArticle(QStringLiteral("Stol"), QStringLiteral("S-1"), QString());
        const int leg = h.AddArticle(QStringLiteral("Noga"), QStringLiteral("N-1"), QString());
        auto* w =
            h.Open<registers::ui::BillOfMaterialsWindow>(QStringLiteral("Sifarnici_sastavnice"));
        QVERIFY(w);
        w->AddBill();
        QCOMPARE(h.host.prompter.LastMessage(), QStringLiteral("Nije izabran artikal"));
        QVERIFY(w->ProductPicker()->SetCode(table));
        w->AddBill();
        QCOMPARE(w->Bills()->count(), 1);
        QVERIFY(w->PartPicker()->SetCode(leg));
        w->Field(QStringLiteral("KolicinaDijela"))->setText(QStringLiteral("4"));
        w->AddPart();
        QCOMPARE(w->PartsGrid()->Data().RowCount(), 1);
        w->Field(QStringLiteral("Opis"))->setText(QStringLiteral("Rad"));
        w->Field(QStringLiteral("KolicinaTroska"))->setText(QStringLiteral("2"));
        w->Field(QStringLiteral("Cijena"))->setText(QStringLiteral("12,5"));
        w->AddCost();
        QCOMPARE(w->CostsGrid()->Data().Value(0, 3).toDouble(), 25.0);
        h.Photograph(w, QStringLiteral("sastavnice"));
        h.host.prompter.AnswerYes();
        w->DeleteBill();
        QCOMPARE(h.host.prompter.Shown().last(),
                 QStringLiteral("Sigurno želite izbrisati sastavnicu za Stol ?"));
        QCOMPARE(w->Bills()->count(), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(RegisterListsTest)
#include "RegisterListsTest.moc"
