// The receipt printer, the cash drawer and the customer display driven through pseudo-terminals
// (the exact bytes each one receives), a CUPS queue through a stand-in lp, unplugged devices.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/PosTestData.h"
#include "pos/PosText.h"
#include "support/PseudoTerminal.h"
#include "support/TestCompany.h"

namespace zodra::test {
namespace {

using namespace zodra::pos;

using FakeDevice = PseudoTerminal;

WorkstationSettings Printer(const QString& port) {
    WorkstationSettings s;
    s.posPrinter = true;
    s.posPrinterPort = port;
    s.posPrinterSettings = QStringLiteral("9600,n,8,1");
    s.posPrinterInitHex = QStringLiteral("1B 40");
    s.posPrinterPaperCut = true;
    s.posPrinterPaperCutHex = QStringLiteral("1D 56 00");
    s.posPrinterCashDrawerHex = QStringLiteral("1B 70 00 19 FA");
    s.posCodePage = 852;
    return s;
}

TEST(PosPrinter, ReceivesInitCodePageSelectTextAndTheCut) {
    FakeDevice printer;
    ASSERT_FALSE(printer.Path().isEmpty());
    const WorkstationSettings s = Printer(printer.Path());
    EXPECT_EQ(SendToPosPrinter(s, EncodeLines({QStringLiteral("Šešir"), QStringLiteral("b")}, 852)),
              QString());
    EXPECT_EQ(printer.Received(), QByteArray("\x1B\x40\x1B\x74\x12"
                                             "\xE6\x65\xE7\x69\x72\n"
                                             "b\n"
                                             "\x1D\x56\x00",
                                             16));
}

TEST(PosPrinter, OpensOncePerLineWithALinePauseAndTheCutAlone) {
    WorkstationSettings s = Printer(QStringLiteral("/dev/null"));
    s.posCodePage = 1250;
    QString error;
    const QByteArray start("\x1B\x40\x1B\x74\x2D", 5);
    EXPECT_EQ(PrinterOpenings(s, "a\nb\n", &error),
              (QList<QByteArray>{start + "a\nb\n", QByteArray("\x1D\x56\x00", 3)}));
    s.posPrinterLinePause = 1;
    EXPECT_EQ(PrinterOpenings(s, "a\nb\n", &error),
              (QList<QByteArray>{start, "a\n", "b\n", QByteArray("\x1D\x56\x00", 3)}));
    s.posPrinterPaperCut = false;
    s.posPrinterCodePageSelect = QStringLiteral("NE");
    s.posPrinterInitHex.clear();
    EXPECT_EQ(PrinterOpenings(s, "a\n", &error), (QList<QByteArray>{"a\n"}));
    EXPECT_TRUE(error.isEmpty());

    s.posPrinterInitHex = QStringLiteral("1B 4G");
    EXPECT_FALSE(PrinterOpenings(s, "a\n", &error));
    EXPECT_EQ(error, QStringLiteral("Neispravan heksadecimalni kod '1B 4G' u postavci \"POS "
                                    "Printer Initialization Hex Code\" (kodovi 00 do FF "
                                    "odvojeni razmakom)."));
}

TEST(PosPrinter, TheDrawerGetsItsCodesOnlyWhenOneIsAttached) {
    FakeDevice printer;
    WorkstationSettings s = Printer(printer.Path());
    EXPECT_EQ(OpenCashDrawer(s), QString());
    EXPECT_EQ(printer.Received(), QByteArray());
    s.posPrinterCashDrawer = true;
    EXPECT_EQ(OpenCashDrawer(s), QString());
    EXPECT_EQ(printer.Received(), QByteArray("\x1B\x70\x00\x19\xFA", 5));
}

TEST(CustomerDisplay, IsClearedThenShowsTwoLinesOfTwentyColumns) {
    FakeDevice display;
    WorkstationSettings s;
    s.posCodePage = 852;
    s.customerDisplayPort = display.Path();
    EXPECT_EQ(ShowOnCustomerDisplay(s, QStringLiteral("Dobro došli"), QStringLiteral("Welcome")),
              QString());
    EXPECT_EQ(display.Received(), QByteArray());  // no display configured

    s.customerDisplay = true;
    EXPECT_EQ(ShowOnCustomerDisplay(s, QStringLiteral("Dobro došli"),
                                    QStringLiteral("Za povrat: 1234567890,00")),
              QString());
    EXPECT_EQ(display.Received(),
              QByteArray("\x00\x0C", 2) + "Dobro do\xE7li         " + "Za povrat: 123456789");
}

TEST(PosDevices, AnUnpluggedOrMisconfiguredDeviceGivesAMessageNotAnException) {
    WorkstationSettings s = Printer(QStringLiteral("/dev/ttyUSB97"));
    const QString missing = QStringLiteral(
        "Uređaj '/dev/ttyUSB97' ne postoji. Provjerite je li priključen i postavke uređaja u "
        "konfiguraciji programa.");
    EXPECT_EQ(SendToPosPrinter(s, "x\n"), missing);
    s.posPrinterCashDrawer = true;
    EXPECT_EQ(OpenCashDrawer(s), missing);
    s.posPrinterPort = QStringLiteral("/dev/usb/lp97");
    EXPECT_EQ(ResolvePort(s.posPrinterPort, {})->kind, PosPort::Kind::DeviceFile);
    EXPECT_TRUE(SendToPosPrinter(s, "x\n").startsWith(
        QStringLiteral("Uređaj '/dev/usb/lp97' ne postoji.")));

    const std::optional<PosPort> com =
        ResolvePort(QStringLiteral("COM3"), QStringLiteral("1200,e,7,2"));
    ASSERT_TRUE(com);
    EXPECT_EQ(com->kind, PosPort::Kind::Serial);
    EXPECT_EQ(com->target, QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(ResolvePort(QStringLiteral("DefaultPrinter"), {})->kind, PosPort::Kind::DefaultQueue);
    EXPECT_EQ(ResolvePort(QStringLiteral("Bixolon"), {})->kind, PosPort::Kind::Queue);
    EXPECT_FALSE(ResolvePort(QStringLiteral("  "), {}));

    FakeDevice printer;
    s = Printer(printer.Path());
    s.posPrinterSettings = QStringLiteral("9600,x,8,1");
    EXPECT_EQ(SendToPosPrinter(s, "x\n"),
              QStringLiteral("Neispravne postavke serijskog porta '9600,x,8,1' (primjer: "
                             "9600,n,8,1)."));
    EXPECT_EQ(printer.Received(), QByteArray());

    WorkstationSettings display;
    display.customerDisplay = true;
    display.customerDisplayPort = QStringLiteral("COM9");
    EXPECT_TRUE(ShowOnCustomerDisplay(display, QStringLiteral("a"), QStringLiteral("b"))
                    .startsWith(QStringLiteral("Uređaj '/dev/ttyS8' ")));
}

TEST(PosDevices, WithoutAConfiguredPrinterTheOutputsRefuse) {
    WorkstationSettings s = Printer(QStringLiteral("/dev/null"));
    s.posPrinter = false;
    EXPECT_EQ(PrintLines(s, {QStringLiteral("x")}, NoPrinterForTapeText()),
              QStringLiteral("Kontrolna traka se može printati samo na POS printer. Postavite "
                             "parametre POS printera u konfiguraciji programa."));
    EXPECT_EQ(SendToPosPrinter(s, "x\n"),
              QStringLiteral("Ovaj ispis se može printati samo na POS printer. Postavite "
                             "parametre POS printera u konfiguraciji programa."));
    s.posPrinter = true;
    s.posPrinterPort.clear();
    EXPECT_EQ(TestDevices(s), NoPrinterText());
}

// A stand-in for CUPS' lp: records its arguments and the job file it was given.
class FakeLp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile script(dir.filePath(QStringLiteral("lp")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\n"
            "echo \"$@\" > \"$(dirname \"$0\")/args\"\n"
            "for last in \"$@\"; do :; done\n"
            "cp \"$last\" \"$(dirname \"$0\")/job\"\n"
            "if [ \"$2\" = Missing ]; then echo 'lp: The printer or class does not "
            "exist.' >&2; exit 1; fi\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
    }
    void TearDown() override { qputenv("PATH", path); }
    QByteArray Read(const char* name) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    QTemporaryDir dir;
    QByteArray path;
};

TEST_F(FakeLp, AQueueGetsOneRawJobFromATemporaryFileThatIsRemovedAfter) {
    WorkstationSettings s = Printer(QStringLiteral("DefaultPrinter"));
    s.posPrinterLinePause = 1;  // a queue job is one piece whatever the pause
    EXPECT_EQ(SendToPosPrinter(s, "a\nb\n"), QString());
    const QList<QByteArray> args = Read("args").trimmed().split(' ');
    ASSERT_EQ(args.size(), 3);
    EXPECT_EQ(args[0] + ' ' + args[1], QByteArray("-o raw"));
    EXPECT_FALSE(QFile::exists(QFile::decodeName(args[2])));
    EXPECT_EQ(Read("job"), QByteArray("\x1B\x40\x1B\x74\x12"
                                      "a\nb\n\x1D\x56\x00",
                                      12));

    s.posPrinterPort = QStringLiteral("Bixolon");
    EXPECT_EQ(SendToPosPrinter(s, "c\n"), QString());
    EXPECT_TRUE(Read("args").startsWith("-d Bixolon -o raw "));
    s.posPrinterPort = QStringLiteral("Missing");
    EXPECT_EQ(SendToPosPrinter(s, "c\n"),
              QStringLiteral("Ispis na pisač 'Missing' nije uspio: lp: The printer or class does "
                             "not exist."));
}

class PrintReceiptTest : public CompanyTest {};

TEST_F(PrintReceiptTest, OpensTheDrawerFirstThenPrintsAndShowsTheFooter) {
    {
        std::unique_ptr<Database> db = Open();
        ASSERT_TRUE(db);
        pos::AddInvoices(*db, AddWarehouse(*db, QStringLiteral("Dućan"), true));
    }
    std::unique_ptr<Session> session = StartSession(1);
    ASSERT_TRUE(session);
    FakeDevice printer;
    FakeDevice display;
    session->workstation = Printer(printer.Path());
    session->workstation.posPrinterInitHex.clear();
    session->workstation.posPrinterPaperCut = false;
    session->workstation.posPrinterCashDrawer = true;
    session->workstation.posPrinterLineFeeds = 2;
    session->workstation.customerDisplay = true;
    session->workstation.customerDisplayPort = display.Path();
    session->company.fixedExtraText = QStringLiteral("Hvala na kupnji");
    session->company.printTimeOnRegisterReceipt = true;

    EXPECT_EQ(PrintReceipt(*session, {1, 1, 2026, 7}, true), QString());
    EXPECT_EQ(printer.Received(), QByteArray("\x1B\x70\x00\x19\xFA\x1B\x74\x12", 8) +
                                      pos::Expected(QStringLiteral("receipt_852.txt")));
    EXPECT_EQ(display.Received(),
              QByteArray("\x00\x0C", 2) + "Hvala na kupnji     " + QByteArray(20, ' '));

    // The invoice is gone from the books: the message says so, nothing reaches the printer.
    EXPECT_EQ(PrintReceipt(*session, {1, 1, 2026, 99}, false),
              QStringLiteral("Račun broj 99 nije pronađen."));
    EXPECT_EQ(printer.Received(), QByteArray());

    // The configuration's test: a test receipt and the test text on the display.
    EXPECT_EQ(TestDevices(session->workstation), QString());
    const QByteArray test = printer.Received();
    EXPECT_TRUE(test.startsWith("\x1B\x74\x12TEST POS PRINTERA\n")) << test.constData();
    EXPECT_TRUE(test.contains(MapPosText(QStringLiteral("ŠĐČĆŽ šđčćž"), 852)));
    EXPECT_EQ(display.Received(), QByteArray("\x00\x0C", 2) + "Test displeja       " +
                                      MapPosText(QStringLiteral("ŠĐČĆŽ šđčćž         "), 852));
}

}  // namespace
}  // namespace zodra::test
