#include "ServerDemo.h"

#include <unistd.h>

#include <QFile>
#include <QUuid>

#include "PgCompany.h"
#include "data/CompanySchema.h"
#include "data/PostgresEngine.h"

using namespace Qt::StringLiterals;

namespace zodra::test {

namespace {

QTemporaryDir& DemoFolder() {
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

QString ServerDemoTest::DemoFile() {
    const QString file = DemoFolder().filePath(u"demo.db"_s);
    if (!QFile::exists(file)) {
        const ZodractlRun demo = Ctl({u"demo"_s, file});
        EXPECT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    }
    return file;
}

QString ServerDemoTest::LocalDemo(const QString& name) {
    const QString file = m_dir.filePath(name);
    EXPECT_TRUE(QFile::copy(DemoFile(), file));
    EXPECT_TRUE(QFile::copy(CompanySchema::DefaultDetailPath(DemoFile()),
                            CompanySchema::DefaultDetailPath(file)));
    return file;
}

void ServerDemoTest::SetUp() {
    if (TestServerUrl().isEmpty()) {
        GTEST_SKIP() << "ZODRA_TEST_PG_URL is not set: no PostgreSQL server for this test "
                        "(scripts/test.sh starts one where the server binaries are installed)";
    }
    ASSERT_TRUE(m_dir.isValid());
    m_url = OtherDatabase(QString());
    m_name = PostgresEngine::Parse(m_url).database;
}

QString ServerDemoTest::OtherDatabase(const QString& suffix) {
    const QString name = u"zodra_copy_%1_%2%3"_s.arg(getpid()).arg(
        QUuid::createUuid().toString(QUuid::Id128).left(12), suffix);
    m_databases << name;
    return PostgresEngine::WithDatabase(TestServerUrl(), name);
}

void ServerDemoTest::TearDown() {
    if (m_databases.isEmpty()) {
        return;
    }
    auto server = Maintenance();
    for (const QString& name : m_databases) {
        server->ExecRaw(u"DROP DATABASE IF EXISTS \""_s + name + u"\" WITH (FORCE)"_s);
    }
}

bool ServerDemoTest::DatabaseExists(const QString& name) {
    return Maintenance()
               ->Scalar(
                   u"SELECT COUNT(*) FROM pg_catalog.pg_database WHERE "
                   "datname = ?"_s,
                   {name})
               .toInt() > 0;
}

std::unique_ptr<Database> ServerDemoTest::Maintenance() {
    return Database::OpenRaw(PostgresEngine::WithDatabase(TestServerUrl(), u"postgres"_s), true);
}

ZodractlRun ServerDemoTest::Ctl(const QStringList& args, const QString& password) {
    ZodractlOptions options;
    options.password = password;
    return RunZodractl(args, options);
}

void ServerDemoTest::PutDemoOnServer() {
    const ZodractlRun copy = Ctl({u"copy"_s, DemoFile(), Url()});
    ASSERT_EQ(copy.exitCode, 0) << copy.out.toStdString() << copy.err.toStdString();
}

std::unique_ptr<Database> ServerDemoTest::OpenServer(const QString& password) {
    auto opened = Database::Open(Url(), password);
    EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    return std::move(opened.db);
}

}  // namespace zodra::test
