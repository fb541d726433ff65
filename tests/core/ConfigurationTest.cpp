#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/CompanyConfig.h"
#include "app/WorkstationConfig.h"
#include "data/Database.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

TEST(WorkstationConfig, AnEmptyTableGivesTheDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ZodraConfig.cfg"_s);
    {
        auto db = Database::OpenRaw(path, true);
        db->ExecRaw(
            u"CREATE TABLE \"Konfiguracija\" (\"Naziv\" TEXT PRIMARY KEY, "
            "\"Vrijednost\" TEXT)"_s);
    }
    const WorkstationSettings s = workstationconfig::Load(path);
    EXPECT_FALSE(s.posPrinter);
    EXPECT_EQ(s.posPrinterLineFeeds, 5);
    EXPECT_EQ(s.posCodePage, 437);
    EXPECT_EQ(s.reportZoom, 100);
    EXPECT_TRUE(s.printInvoice);
    EXPECT_FALSE(s.printDeliveryNote);
    EXPECT_FALSE(s.debugMode);
    EXPECT_EQ(s.posPrinterPaperCutHex, u"5"_s);
}

TEST(WorkstationConfig, AMissingFileIsCreatedWithEveryKeyAndValuesAreRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ZodraConfig.cfg"_s);
    workstationconfig::Load(path);
    EXPECT_EQ(static_cast<size_t>(workstationconfig::ReadAll(path).size()),
              workstationconfig::Keys().size());
    workstationconfig::Write(path, u"POS Printer"_s, u"True"_s);
    workstationconfig::Write(path, u"Report Zoom"_s, u"150"_s);
    workstationconfig::Write(path, u"POS Code Page"_s, u"852"_s);
    workstationconfig::Write(path, u"Debug Mode"_s, u"True"_s);
    workstationconfig::Write(path, u"Ispis računa"_s, u"False"_s);
    const WorkstationSettings s = workstationconfig::Load(path);
    EXPECT_TRUE(s.posPrinter);
    EXPECT_EQ(s.reportZoom, 150);
    EXPECT_EQ(s.posCodePage, 852);
    EXPECT_TRUE(s.debugMode);
    EXPECT_FALSE(s.printInvoice);
}

TEST(WorkstationConfig, SerialPortNamesMapToDevices) {
    EXPECT_EQ(workstationconfig::SerialDevice(u"COM1"_s), u"/dev/ttyS0"_s);
    EXPECT_EQ(workstationconfig::SerialDevice(u"COM3"_s), u"/dev/ttyS2"_s);
    EXPECT_EQ(workstationconfig::SerialDevice(u"/dev/ttyUSB0"_s), u"/dev/ttyUSB0"_s);
    EXPECT_EQ(workstationconfig::SerialDevice(QString()), QString());
    EXPECT_EQ(workstationconfig::SerialDevice(u"COMx"_s), QString());
}

class CompanyConfigTest : public CompanyTest {};

TEST_F(CompanyConfigTest, ANewCompanyLoadsWithoutAnyMessage) {
    auto db = Open();
    const CompanySettings s = companyconfig::Load(*db, prompter, QDate(2026, 5, 5));
    EXPECT_TRUE(prompter.Messages().isEmpty()) << prompter.Messages().join(u'|').toStdString();
    EXPECT_EQ(s.stockMethod, StockMethod::Fifo);
    EXPECT_EQ(s.businessYear, 2026);
    EXPECT_TRUE(s.closeLineWindowAfterEntry);
    EXPECT_EQ(s.homeCurrencyName, u"EUR"_s);
    EXPECT_FALSE(s.vehicleSales);
}

TEST_F(CompanyConfigTest, AnInvalidMethodIsReportedOnceAndRewrittenAsFifoThePooledOnesKept) {
    auto db = Open();
    companyconfig::Write(*db, u"Vođenje skladišta"_s, u"fifo"_s);
    CompanySettings s = companyconfig::Load(*db, prompter);
    EXPECT_EQ(s.stockMethod, StockMethod::Fifo);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(prompter.Messages().first(),
              u"Skladišna metoda nije ispravno postavljena, bit će postavljena FIFO metoda."_s);
    EXPECT_EQ(companyconfig::Value(*db, u"Vođenje skladišta"_s), u"FIFO"_s);
    prompter.Clear();
    companyconfig::Load(*db, prompter);
    EXPECT_TRUE(prompter.Messages().isEmpty());
    // The pooled methods are recognised by their exact names only.
    companyconfig::Write(*db, u"Vođenje skladišta"_s, u"Prosječna cijena"_s);
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::Average);
    companyconfig::Write(*db, u"Vođenje skladišta"_s, u"Zadnja cijena"_s);
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::LastPrice);
    companyconfig::Write(*db, u"Vođenje skladišta"_s, u"zadnja cijena"_s);
    EXPECT_EQ(companyconfig::Load(*db, prompter).stockMethod, StockMethod::Fifo);
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(CompanyConfigTest, AMissingOrBadYearBecomesTheCurrentYearWithItsMessage) {
    auto db = Open();
    db->Exec(u"DELETE FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"_s, {u"Godina koja se knjiži"_s});
    CompanySettings s = companyconfig::Load(*db, prompter, QDate(2027, 1, 3));
    EXPECT_EQ(s.businessYear, 2027);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(prompter.Messages().first(),
              u"Nije određena godina koja se knjiži i bit će postavljena tekuća godina."_s);
    EXPECT_EQ(companyconfig::Value(*db, u"Godina koja se knjiži"_s), u"2027"_s);

    companyconfig::Write(*db, u"Godina koja se knjiži"_s, u"dvije tisuće"_s);
    prompter.Clear();
    s = companyconfig::Load(*db, prompter, QDate(2027, 1, 3));
    EXPECT_EQ(s.businessYear, 2027);
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(CompanyConfigTest, SwitchesReadYesOnlyAsDaAndTheLineWindowClosesWhenTheKeyIsMissing) {
    auto db = Open();
    companyconfig::Write(*db, u"Prodaja vozila"_s, u"DA"_s);
    companyconfig::Write(*db, u"Ambalaža"_s, u"da"_s);
    db->Exec(u"DELETE FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"_s,
             {u"Zatvaranje prozora nakon upisa stavke"_s});
    const CompanySettings s = companyconfig::Load(*db, prompter);
    EXPECT_TRUE(s.vehicleSales);
    EXPECT_FALSE(s.packaging);
    EXPECT_TRUE(s.closeLineWindowAfterEntry);
    companyconfig::Write(*db, u"Zatvaranje prozora nakon upisa stavke"_s, u"NE"_s);
    EXPECT_FALSE(companyconfig::Load(*db, prompter).closeLineWindowAfterEntry);
}

TEST_F(CompanyConfigTest, EveryKeyOfAnEmptyCompanyHasItsRow) {
    auto db = Open();
    for (const auto& [key, value] : companyconfig::Keys()) {
        EXPECT_TRUE(
            db->Scalar(u"SELECT 1 FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"_s, {key}).isValid())
            << key.toStdString();
    }
}
