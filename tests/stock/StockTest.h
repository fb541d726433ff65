#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "data/Database.h"
#include "data/Session.h"
#include "stock/support/StockChecks.h"
#include "stock/support/StockDocuments.h"
#include "support/TestCompany.h"

namespace zodra::test {

// A workstation in warehouse 1 of a fresh company with "Debug Mode" on, so that every posting
// of the scenario runs the consistency check before it commits.
class StockTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        session = StartSession(1);
        ASSERT_TRUE(session);
        session->workstation.debugMode = true;
        docs = std::make_unique<StockDocuments>(*session);
    }
    void UseMethod(StockMethod method) {
        session->stockMethod = method;
        session->company.stockMethod = method;
    }
    Database& db() { return session->Db(); }
    int Year() const { return session->businessYear; }
    stock::Lot Pooled(int article) { return LotOf(db(), 1, Year(), stock::kPooledLot, article); }

    std::unique_ptr<Session> session;
    std::unique_ptr<StockDocuments> docs;
};

using Issue = StockDocuments::Issue;

}  // namespace zodra::test
