// zodractl receipt: the receipt of a posted invoice to a file or to the configured receipt
// printer, with the workstation's code page and printer codes, two at once.

#include <QFile>
#include <QProcess>

#include "app/CompanyConfig.h"
#include "app/WorkstationConfig.h"
#include "data/Paths.h"
#include "pos/PosTestData.h"
#include "support/PseudoTerminal.h"
#include "support/TestCompany.h"
#include "support/Zodractl.h"

namespace zodra::test {
namespace {

class ReceiptZodractl : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        std::unique_ptr<Database> db = Open();
        ASSERT_TRUE(db);
        warehouse = QString::number(AddWarehouse(*db, QStringLiteral("Dućan"), true));
        pos::AddInvoices(*db, warehouse.toInt());
        companyconfig::Write(*db, QStringLiteral("Fiksni dodatni tekst"),
                             QStringLiteral("Hvala na kupnji"));
        companyconfig::Write(*db, QStringLiteral("Ispis vremena na POS računu"),
                             QStringLiteral("DA"));
        Configure(QStringLiteral("POS Printer Line Feed Number"), QStringLiteral("2"));
    }
    void Configure(const QString& key, const QString& value) {
        workstationconfig::Write(paths::WorkstationConfigFile(), key, value);
    }
    QStringList Args(const QString& number) const {
        return {QStringLiteral("receipt"), CompanyPath(), number, QStringLiteral("--skladiste"),
                warehouse};
    }
    QString warehouse;
};

TEST_F(ReceiptZodractl, WritesThePrintersBytesToAFileTwoProcessesAtOnce) {
    Configure(QStringLiteral("POS Code Page"), QStringLiteral("852"));
    Configure(QStringLiteral("POS Printer Code Page Select"), QStringLiteral("NE"));
    const QString first = Folder() + QStringLiteral("/a.txt");
    const QString second = Folder() + QStringLiteral("/b.txt");
    QProcess a;
    QProcess b;
    a.start(QStringLiteral(ZODRACTL_PATH), Args(QStringLiteral("7"))
                                               << QStringLiteral("--out") << first);
    b.start(QStringLiteral(ZODRACTL_PATH), Args(QStringLiteral("7"))
                                               << QStringLiteral("--out") << second);
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().constData();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(a.readAllStandardOutput()).trimmed(),
              QStringLiteral("Račun 7 je zapisan u ") + first + QLatin1Char('.'));
    for (const QString& path : {first, second}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), pos::Expected(QStringLiteral("receipt_852.txt")));
    }
}

TEST_F(ReceiptZodractl, SendsToTheConfiguredPrinterOrRefusesWithoutOne) {
    ZodractlRun run = RunZodractl(Args(QStringLiteral("7")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Ovaj ispis se može printati samo na POS printer. Postavite "
                             "parametre POS printera u konfiguraciji programa."));

    PseudoTerminal printer;
    ASSERT_FALSE(printer.Path().isEmpty());
    Configure(QStringLiteral("POS Printer"), QStringLiteral("True"));
    Configure(QStringLiteral("POS Printer Port"), printer.Path());
    run = RunZodractl(Args(QStringLiteral("7")));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Račun 7 je poslan na POS printer."));
    const QByteArray received = printer.Received();
    // Code page 437 by default, with its character table 0 selected first.
    EXPECT_EQ(received,
              QByteArray("\x1B\x74\x00", 3) + pos::Expected(QStringLiteral("receipt_437.txt")));

    run = RunZodractl(Args(QStringLiteral("99")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Račun broj 99 nije pronađen."));
    EXPECT_EQ(RunZodractl({QStringLiteral("receipt"), CompanyPath(), QStringLiteral("x")}).exitCode,
              2);
}

}  // namespace
}  // namespace zodra::test
