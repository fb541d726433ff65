#pragma once

#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ReceiptPosting.h"
#include "stock/Lot.h"
#include "stock/support/StockChecks.h"
#include "support/TestCompany.h"
#include "support/Zodractl.h"

namespace zodra::test {

// A workstation in warehouse 1 with "Debug Mode" on (every posting, correction and deletion
// runs the consistency check before it commits), a supplier, articles in a group with margins,
// and a returnable bottle.
class ReceiptTest : public CompanyTest {
protected:
    void SetUp() override;

    void UseMethod(StockMethod method) {
        session->stockMethod = method;
        session->company.stockMethod = method;
    }
    Database& db() { return session->Db(); }
    int Year() const { return session->businessYear; }

    int AddArticle(const QString& name, int taxGroup = 1, double customsPercent = 0);
    int AddSupplier(const QString& name, double discount = 0);
    int AddPackaging(const QString& name, double price);

    // The header the receipt window would hand over: the proposed number, supplier, "R-1".
    purchasing::ReceiptHeaderData Header(const QString& document = QStringLiteral("R-1"));
    purchasing::ReceiptTarget Working() { return purchasing::ReceiptTarget::WorkingCopy(*session); }

    // A line calculated as the window does for a new line: invoice price typed, then (when
    // given) the margin; accepted into the working copy (or a posted receipt).
    purchasing::AcceptedLine Enter(int article, double quantity, double invoicePrice,
                                   double margin = 25.0,
                                   const purchasing::ReceiptTarget* target = nullptr);
    // A plain line (no discount, no costs) at cost and selling price.
    purchasing::AcceptedLine EnterPlain(int article, double quantity, double cost, double price,
                                        const purchasing::ReceiptTarget* target = nullptr);

    // Posts the working copy with the header given (or Header()); returns the number.
    int Post(const std::optional<purchasing::ReceiptSummary>& summary = std::nullopt,
             std::optional<purchasing::ReceiptHeaderData> header = std::nullopt);
    // Enters plain lines and posts them.
    int Receive(const std::vector<std::tuple<int, double, double, double>>& lines,
                const QDate& date = QDate(2026, 3, 2));

    // The message a step is refused with, "(not refused)" when it is not; a refusal leaves no
    // transaction open behind it.
    QString Refusal(const std::function<void()>& step);

    int Count(const QString& sql, const QVariantList& params = {}) {
        return db().Scalar(sql, params).toInt();
    }
    double Sum(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(db().Scalar(sql, params));
    }
    int WorkingLines();
    stock::Lot Lot(int lot, int article) { return LotOf(db(), 1, Year(), lot, article); }
    double BookValue(int receipt);
    double LastBalance();
    void ExpectConsistent() { ExpectBooksAgree(db(), 1, Year()); }

    std::unique_ptr<Session> session;
    int supplier = 0;
    int group = 0;
    int screw = 0;
    int nut = 0;
    int beer = 0;
    int bottle = 0;
};

// zodractl with the shipped share folder.
inline ZodractlRun Zodractl(const QStringList& args) {
    ZodractlOptions options;
    options.home = QStringLiteral(ZODRA_SOURCE_DIR "/share");
    return RunZodractl(args, options);
}

}  // namespace zodra::test
