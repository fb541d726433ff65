#include "PgCompany.h"

#include <unistd.h>

#include <QUuid>

#include "data/CompanySchema.h"
#include "data/PostgresEngine.h"

using namespace Qt::StringLiterals;

namespace zodra::test {

QString TestServerUrl() {
    return qEnvironmentVariable("ZODRA_TEST_PG_URL");
}

void PgCompanyTest::SetUp() {
    const QString server = TestServerUrl();
    if (server.isEmpty()) {
        GTEST_SKIP() << "ZODRA_TEST_PG_URL is not set: no PostgreSQL server for this test "
                        "(scripts/test.sh starts one where the server binaries are installed)";
    }
    m_name = u"zodra_test_%1_%2"_s.arg(getpid()).arg(
        QUuid::createUuid().toString(QUuid::Id128).left(12));
    m_url = PostgresEngine::WithDatabase(server, m_name);
    CompanySchema::CreateCompany(m_url, 2026);
}

void PgCompanyTest::TearDown() {
    if (m_name.isEmpty()) {
        return;
    }
    auto server = Maintenance();
    server->ExecRaw(u"DROP DATABASE IF EXISTS \""_s + m_name + u"\" WITH (FORCE)"_s);
}

std::unique_ptr<Database> PgCompanyTest::Open(const QString& password) {
    auto opened = Database::Open(m_url, password);
    EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    return std::move(opened.db);
}

std::unique_ptr<Database> PgCompanyTest::Maintenance() {
    return Database::OpenRaw(PostgresEngine::WithDatabase(TestServerUrl(), u"postgres"_s), true);
}

}  // namespace zodra::test
