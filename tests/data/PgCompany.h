#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "data/Database.h"

namespace zodra::test {

// The server the tests may use, from ZODRA_TEST_PG_URL; empty when there is none.
QString TestServerUrl();

// A fresh company database on the test server per test, dropped after it. Skips the test (and
// says why) when no server is given.
class PgCompanyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The address of this test's company.
    const QString& Url() const { return m_url; }
    const QString& DatabaseName() const { return m_name; }
    std::unique_ptr<Database> Open(const QString& password = QString());
    // A connection to the server's maintenance database (for looking at other connections).
    std::unique_ptr<Database> Maintenance();

private:
    QString m_url;
    QString m_name;
};

}  // namespace zodra::test
