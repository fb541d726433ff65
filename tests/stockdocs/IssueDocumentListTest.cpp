// What the windows of the five simple stock documents read: grid, list, details and printouts.
#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "stockdocs/IssueDocumentList.h"
#include "stockdocs/IssueDocuments.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

using IssueDocumentListTest = PriceChangeTest;

TEST_F(IssueDocumentListTest, TheGridTheListAndTheDetailsOfEachKind) {
    UseMethod(StockMethod::Fifo);
    session->warehouseFlags.commission = true;
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}, {nut, 10, 1.25, 2.00}});
    const int code = session->sessionCode;
    for (const sd::IssueDocumentTexts& texts : sd::IssueDocuments()) {
        SCOPED_TRACE(texts.caption.toStdString());
        sd::AddIssueLine(*session, texts.kind, code, {screw, receipt, 2});
        sd::AddIssueLine(*session, texts.kind, code, {nut, receipt, 3});
        const TableData grid = sd::WorkingIssueGrid(*session, texts.kind, code);
        ASSERT_EQ(grid.RowCount(), 2);
        EXPECT_EQ(grid.Value(0, 2).toString(), QStringLiteral("Vijak M8"));
        EXPECT_EQ(grid.Value(1, 3).toInt(), receipt);
        EXPECT_DOUBLE_EQ(grid.Value(1, 6).toDouble(), 3.75);
        EXPECT_DOUBLE_EQ(grid.Value(1, 8).toDouble(), 6.00);
        EXPECT_EQ(sd::WorkingIssueTotals(*session, texts.kind, code),
                  QStringLiteral("Nabavna vrijednost : 11,75 EUR   Ukupno : 22,00 EUR"));

        sd::IssueHeaderData header;
        header.date = QDate(2026, 3, 3);
        header.description = QStringLiteral("Kod Ane's");
        header.supplier = 2;
        const int number = sd::PostWorkingIssueDocument(*session, texts.kind, header, code);
        EXPECT_EQ(sd::WorkingIssueGrid(*session, texts.kind, code).RowCount(), 0);

        const TableData rows = sd::IssueDocumentChoices(db(), texts.kind, 1, Year());
        ASSERT_EQ(rows.RowCount(), 1);
        const bool supplier = texts.kind == DocumentKind::SupplierReturn;
        ASSERT_EQ(rows.columns.size(), supplier ? 6u : 5u);
        EXPECT_EQ(rows.Value(0, 0).toInt(), number);
        EXPECT_EQ(rows.Value(0, 1).toDate(), QDate(2026, 3, 3));
        EXPECT_EQ(rows.Value(0, 2).toString(), QStringLiteral("Kod Ane's"));
        EXPECT_DOUBLE_EQ(rows.Value(0, supplier ? 4 : 3).toDouble(), 11.75);
        EXPECT_DOUBLE_EQ(rows.Value(0, supplier ? 5 : 4).toDouble(), 22.0);
        const QString partner =
            sqlvalue::ToText(db().Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE "
                                                        "\"SIFRA\" = 2")));
        if (supplier) {
            EXPECT_EQ(rows.Value(0, 3).toString(), partner);
        }
        EXPECT_EQ(sd::IssueDocumentDetails(db(), texts.kind, 1, Year(), number),
                  QStringLiteral("Datum: 03.03.2026") +
                      (supplier ? QStringLiteral("   Dobavljač: ") + partner : QString()) +
                      QStringLiteral("   Nabavna vrijednost: 11,75 EUR   Vrijednost: 22,00 EUR"
                                     "   Kod Ane's"));
        const TableData lines = sd::PostedIssueLines(db(), texts.kind, 1, Year(), number);
        ASSERT_EQ(lines.RowCount(), 2);
        EXPECT_EQ(lines.Value(0, 1).toString(), QStringLiteral("Matica M8"));
        EXPECT_DOUBLE_EQ(lines.Value(0, 3).toDouble(), 3);
        EXPECT_TRUE(sd::IssueDocumentDetails(db(), texts.kind, 1, Year(), number + 1).isEmpty());
    }
}

TEST_F(IssueDocumentListTest, EachKindPrintsItsOwnReports) {
    session->warehouseFlags.commission = true;
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    const struct {
        DocumentKind kind;
        const char* report;
        const char* quantities;
        const char* title;
        const char* selection;
    } expected[] = {
        {DocumentKind::IssueNote, "izdatnica.rpt", "izdatnica_kolicina.rpt",
         "Ispis izdatnice br. 1",
         "{STAVKE_IZDATNICA.SKLADISTE}=1 AND {STAVKE_IZDATNICA.GODINA}=2026 AND "
         "{STAVKE_IZDATNICA.BROJ}=1"},
        {DocumentKind::ReturnNote, "povratnica.rpt", "povratnica_kolicina.rpt",
         "Ispis povratnice br. 1",
         "{STAVKE_POVRATNICA.SKLADISTE}=1 AND {STAVKE_POVRATNICA.GODINA}=2026 AND "
         "{STAVKE_POVRATNICA.BROJ}=1"},
        {DocumentKind::WriteOff, "rashod.rpt", "rashod.rpt", "Ispis rashoda br. 1",
         "{STAVKE_RASHODA.SKLADISTE}=1 AND {STAVKE_RASHODA.GODINA}=2026 AND "
         "{STAVKE_RASHODA.BROJ_RASHODA}=1"},
        {DocumentKind::CommissionReturn, "odjava.rpt", "odjava.rpt", "Ispis odjave br. 1",
         "{STAVKE_ODJAVA.SKLADISTE}=1 AND {STAVKE_ODJAVA.GODINA}=2026 AND "
         "{STAVKE_ODJAVA.BROJ_ODJAVE}=1"},
        {DocumentKind::SupplierReturn, "pov_dob.rpt", "pov_dob.rpt",
         "Ispis povratnice dobavljaču br. 1",
         "{STAVKE_POVRATNICA_DOBAVLJACIMA.SKLADISTE}=1 AND "
         "{STAVKE_POVRATNICA_DOBAVLJACIMA.GODINA}=2026 AND "
         "{STAVKE_POVRATNICA_DOBAVLJACIMA.BROJ_POVRATNICE_DOBAVLJACU}=1"},
    };
    for (const auto& e : expected) {
        const sd::IssueDocumentTexts& texts = sd::IssueDocument(e.kind);
        SCOPED_TRACE(texts.caption.toStdString());
        EXPECT_REFUSED(sd::IssuePrintRequest(*session, e.kind, 1),
                       texts.noSuchDocument + QStringLiteral("1"));
        sd::AddIssueLine(*session, e.kind, session->sessionCode, {screw, receipt, 1});
        sd::IssueHeaderData header;
        header.date = QDate(2026, 3, 3);
        header.supplier = 2;
        ASSERT_EQ(sd::PostWorkingIssueDocument(*session, e.kind, header, session->sessionCode), 1);
        for (bool quantities : {false, true}) {
            const reports::ReportRequest request =
                sd::IssuePrintRequest(*session, e.kind, 1, quantities);
            EXPECT_EQ(request.reportFile,
                      QString::fromLatin1(quantities ? e.quantities : e.report));
            EXPECT_EQ(request.title, QString::fromUtf8(e.title));
            EXPECT_EQ(request.selection.ToText(), QString::fromLatin1(e.selection));
        }
        EXPECT_EQ(texts.quantityReport.isEmpty(),
                  QLatin1String(e.report) == QLatin1String(e.quantities));
    }
}

TEST_F(IssueDocumentListTest, TheNumberBoxAndTheSuppliers) {
    EXPECT_EQ(sd::CheckIssueNumber(QStringLiteral(" 12 ")), 12);
    for (const char* typed : {"1a", "0", "-3"}) {
        EXPECT_REFUSED(sd::CheckIssueNumber(QString::fromLatin1(typed)),
                       "Nije ispravno upisan broj !");
    }
    const int suppliers =
        Count(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"Dobavljac\" = TRUE"));
    const auto choices = sd::SupplierChoices(db());
    EXPECT_EQ(static_cast<int>(choices.size()), suppliers);
    for (const auto& [code, name] : choices) {
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"SIFRA\" = ? "
                                       "AND \"Dobavljac\" = TRUE"),
                        {code}),
                  1)
            << name.toStdString();
    }
}

}  // namespace
