// "eRačun" of "Izbor računa" on the demo company through the program's wiring: the folder of the
// information intermediary asked for once, the invoice and the credit note of a cancelled one
// written there, the operator's OIB asked for and kept, and refusals told in words.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop/CommandWiring.h"
#include "data/Database.h"
#include "data/Paths.h"
#include "data/Session.h"
#include "sales/ui/InvoiceListWindow.h"
#include "support/WindowTest.h"
#include "ui/WindowTools.h"

using namespace zodra;

namespace {

QString Sql(const char* text) {
    return QString::fromUtf8(text);
}

QString WorkstationValue(const QString& key) {
    auto db = Database::OpenRaw(paths::WorkstationConfigFile(), false);
    return db
        ->Scalar(Sql("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"), {key})
        .toString();
}

}  // namespace

class EInvoiceWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theListWritesTheEInvoiceIntoTheIntermediarysFolder() {
        test::DemoHost host({.commands = desktop::RegisterAllCommands});
        auto* list = qobject_cast<sales::ui::InvoiceListWindow*>(
            host.Open(QStringLiteral("Pregledi_racuni")));
        QVERIFY(list);
        QVERIFY(ui::MnemonicClashes(list).isEmpty());
        const int cancelled =
            host.Int(Sql("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                         "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"STORNO\" = TRUE"));
        const int issued =
            host.Int(Sql("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                         "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"STORNO\" = FALSE"));
        const QString year = QString::number(host.CurrentSession().businessYear);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("posrednik"));

        // No folder set: asked for (and made); a cancelled invoice gives both documents.
        list->SelectNumber(cancelled);
        host.prompter.Clear();
        host.prompter.AnswerText(folder);
        list->findChild<QPushButton*>(QStringLiteral("ERacun"))->click();
        QVERIFY(!host.prompter.Shown().isEmpty());
        const QString invoice =
            QDir(folder).filePath(QStringLiteral("eRacun_%1-1-1-%2.xml").arg(cancelled).arg(year));
        const QString credit = QDir(folder).filePath(
            QStringLiteral("Odobrenje_%1-1-1-%2.xml").arg(cancelled).arg(year));
        QCOMPARE(host.prompter.Shown().first(),
                 QStringLiteral("Mapa iz koje informacijski posrednik preuzima eRačune:"));
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("eRačun i odobrenje su zapisani u datoteke ") + invoice +
                     QStringLiteral(", ") + credit + QLatin1Char('.'));
        QVERIFY(QFile(invoice).size() > 2000);
        QVERIFY(QFile(credit).size() > 2000);
        QCOMPARE(WorkstationValue(QStringLiteral("eRačun - mapa posrednika")), folder);

        // An operator without an OIB is asked for one; a wrong one is refused and nothing is
        // written, the right one is kept for the next time.
        host.Db().Exec(Sql("DELETE FROM \"FISKAL_OPERATERI\" WHERE \"KORISNIK\" = 'admin'"));
        list->SelectNumber(issued);
        const QString issuedFile =
            QDir(folder).filePath(QStringLiteral("eRacun_%1-1-1-%2.xml").arg(issued).arg(year));
        host.prompter.Clear();
        host.prompter.AnswerText(QStringLiteral("69825036718"));
        list->EInvoiceCurrent();
        QCOMPARE(host.prompter.Shown().first(), QStringLiteral("OIB operatera admin:"));
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("OIB \"69825036718\" nije ispravan."));
        QVERIFY(!QFile::exists(issuedFile));
        host.prompter.Clear();
        host.prompter.AnswerText(QStringLiteral(" 69825036717 "));
        list->EInvoiceCurrent();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("eRačun je zapisan u datoteku ") + issuedFile + QLatin1Char('.'));
        QCOMPARE(host.Scalar(Sql("SELECT \"OIB\" FROM \"FISKAL_OPERATERI\" WHERE \"KORISNIK\" = "
                                 "'admin'"))
                     .toString(),
                 QStringLiteral("69825036717"));

        // A buyer without an OIB gets no e-invoice, in words.
        const QString buyer =
            host.Scalar(Sql("SELECT p.\"NAZIV\" FROM \"RACUNI\" r JOIN "
                            "\"PARTNERI\" p ON p.\"SIFRA\" = r.\"SIFRA PARTNERA\" "
                            "WHERE r.\"SKLADISTE\" = 1 AND r.\"IRA\" = 1 AND "
                            "r.\"BROJ RACUNA\" = ?"),
                        {issued})
                .toString();
        host.Db().Exec(Sql("UPDATE \"PARTNERI\" SET \"OIB\" = NULL WHERE \"NAZIV\" = ?"), {buyer});
        host.prompter.Clear();
        list->EInvoiceCurrent();
        QCOMPARE(host.prompter.Messages(),
                 QStringList{QStringLiteral("Kupac ") + buyer +
                             QStringLiteral(" nema upisan OIB; eRačun se izdaje samo poslovnim "
                                            "subjektima.")});
    }
};

ZODRA_WINDOW_TEST_MAIN(EInvoiceWindowTest)
#include "EInvoiceWindowTest.moc"
