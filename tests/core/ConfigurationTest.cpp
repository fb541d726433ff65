#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/CompanyConfig.h"
#include "app/WorkstationConfig.h"
#include "data/Database.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

TEST(WorkstationConfig, AnEmptyTableGivesTheDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZodraConfig.cfg"));
    {
        auto db = Database::OpenRaw(path, true);
        db->ExecRaw(
            QStringLiteral("CREATE TABLE \"Konfiguracija\" (\"Naziv\" TEXT PRIMARY KEY, "
                           "\"Vrijednost\" TEXT)"));
    }
    const WorkstationSettings s = workstationconfig::Load(path);
    EXPECT_FALSE(s.posPrinter);
    EXPECT_EQ(s.posPrinterLineFeeds, 5);
    EXPECT_EQ(s.posCodePage, 437);
    EXPECT_EQ(s.reportZoom, 100);
    EXPECT_TRUE(s.printInvoice);
    EXPECT_FALSE(s.printDeliveryNote);
    EXPECT_FALSE(s.debugMode);
    EXPECT_EQ(s.posPrinterPaperCutHex, QStringLiteral("5"));
}

TEST(WorkstationConfig, AMissingFileIsCreatedWithEveryKeyAndValuesAreRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZodraConfig.cfg"));
    workstationconfig::Load(path);
    EXPECT_EQ(static_cast<size_t>(workstationconfig::ReadAll(path).size()),
              workstationconfig::Keys().size());
    workstationconfig::Write(path, QStringLiteral("POS Printer"), QStringLiteral("True"));
    workstationconfig::Write(path, QStringLiteral("Report Zoom"), QStringLiteral("150"));
    workstationconfig::Write(path, QStringLiteral("POS Code Page"), QStringLiteral("852"));
    workstationconfig::Write(path, QStringLiteral("Debug Mode"), QStringLiteral("True"));
    workstationconfig::Write(path, QStringLiteral("Ispis računa"), QStringLiteral("False"));
    const WorkstationSettings s = workstationconfig::Load(path);
    EXPECT_TRUE(s.posPrinter);
    EXPECT_EQ(s.reportZoom, 150);
    EXPECT_EQ(s.posCodePage, 852);
    EXPECT_TRUE(s.debugMode);
    EXPECT_FALSE(s.printInvoice);
}

TEST(WorkstationConfig, SerialPortNamesMapToDevices) {
    EXPECT_EQ(workstationconfig::SerialDevice(QStringLiteral("COM1")),
              QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(workstationconfig::SerialDevice(QStringLiteral("COM3")),
              QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(workstationconfig::SerialDevice(QStringLiteral("/dev/ttyUSB0")),
              QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(workstationconfig::SerialDevice(QString()), QString());
    EXPECT_EQ(workstationconfig::SerialDevice(QStringLiteral("COMx")), QString());
}

class CompanyConfigTest : public CompanyTest {};

TEST_F(CompanyConfigTest, ANewCompanyLoadsWithoutAnyMessage) {
    auto db = Open();
    const CompanySettings s = companyconfig::Load(*db, prompter, QDate(2026, 5, 5));
    EXPECT_TRUE(prompter.Messages().isEmpty()) << prompter.Messages().join(u'|').toStdString();
    EXPECT_EQ(s.stockMethod, StockMethod::Fifo);
    EXPECT_EQ(s.businessYear, 2026);
    EXPECT_TRUE(s.closeLineWindowAfterEntry);
    EXPECT_EQ(s.homeCurrencyName, QStringLiteral("EUR"));
    EXPECT_FALSE(s.vehicleSales);
}

TEST_F(CompanyConfigTest, AnInvalidMethodIsReportedOnceAndRewrittenAsFifo) {
    auto db = Open();
    companyconfig::Write(*db, QStringLiteral("Vođenje skladišta"), QStringLiteral("fifo"));
    CompanySettings s = companyconfig::Load(*db, prompter);
    EXPECT_EQ(s.stockMethod, StockMethod::Fifo);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(prompter.Messages().first(),
              QStringLiteral(
                  "Skladišna metoda nije ispravno postavljena, bit će postavljena FIFO metoda."));
    EXPECT_EQ(companyconfig::Value(*db, QStringLiteral("Vođenje skladišta")),
              QStringLiteral("FIFO"));
    prompter.Clear();
    companyconfig::Load(*db, prompter);
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(CompanyConfigTest, ThePooledMethodsAreRecognisedExactly) {
    auto db = Open();
    companyconfig::Write(*db, QStringLiteral("Vođenje skladišta"),
                         QStringLiteral("Prosječna cijena"));
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::Average);
    companyconfig::Write(*db, QStringLiteral("Vođenje skladišta"), QStringLiteral("Zadnja cijena"));
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::LastPrice);
    companyconfig::Write(*db, QStringLiteral("Vođenje skladišta"), QStringLiteral("zadnja cijena"));
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::Fifo);
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(CompanyConfigTest, AMissingOrBadYearBecomesTheCurrentYearWithItsMessage) {
    auto db = Open();
    db->Exec(QStringLiteral("DELETE FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
             {QStringLiteral("Godina koja se knjiži")});
    CompanySettings s = companyconfig::Load(*db, prompter, QDate(2027, 1, 3));
    EXPECT_EQ(s.businessYear, 2027);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(
        prompter.Messages().first(),
        QStringLiteral("Nije određena godina koja se knjiži i bit će postavljena tekuća godina."));
    EXPECT_EQ(companyconfig::Value(*db, QStringLiteral("Godina koja se knjiži")),
              QStringLiteral("2027"));

    companyconfig::Write(*db, QStringLiteral("Godina koja se knjiži"),
                         QStringLiteral("dvije tisuće"));
    prompter.Clear();
    s = companyconfig::Load(*db, prompter, QDate(2027, 1, 3));
    EXPECT_EQ(s.businessYear, 2027);
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(CompanyConfigTest, SwitchesReadYesOnlyAsDaAndTheLineWindowClosesWhenTheKeyIsMissing) {
    auto db = Open();
    companyconfig::Write(*db, QStringLiteral("Prodaja vozila"), QStringLiteral("DA"));
    companyconfig::Write(*db, QStringLiteral("Ambalaža"), QStringLiteral("da"));
    db->Exec(QStringLiteral("DELETE FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
             {QStringLiteral("Zatvaranje prozora nakon upisa stavke")});
    const CompanySettings s = companyconfig::Load(*db, prompter);
    EXPECT_TRUE(s.vehicleSales);
    EXPECT_FALSE(s.packaging);
    EXPECT_TRUE(s.closeLineWindowAfterEntry);
    companyconfig::Write(*db, QStringLiteral("Zatvaranje prozora nakon upisa stavke"),
                         QStringLiteral("NE"));
    EXPECT_FALSE(companyconfig::Load(*db, prompter).closeLineWindowAfterEntry);
}

TEST_F(CompanyConfigTest, EveryKeyOfAnEmptyCompanyHasItsRow) {
    auto db = Open();
    for (const auto& [key, value] : companyconfig::Keys()) {
        EXPECT_TRUE(
            db->Scalar(QStringLiteral("SELECT 1 FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"), {key})
                .isValid())
            << key.toStdString();
    }
}
