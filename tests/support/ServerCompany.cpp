#include "support/ServerCompany.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QUuid>
#include <stdexcept>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/Statement.h"

namespace zodra::test {

namespace {

std::unique_ptr<Database> Maintenance() {
    return Database::OpenRaw(ServerCompanyUrl(QStringLiteral("postgres")), true);
}

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString UniqueName(const QString& prefix) {
    return prefix + QStringLiteral("_%1_%2").arg(getpid()).arg(
                        QUuid::createUuid().toString(QUuid::Id128).left(12));
}

bool Exists(Database& server, const QString& name) {
    return server.Scalar(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {name})
        .isValid();
}

// The template's name for `key`, made when the server does not have it yet.
QString Template(const QString& key, const std::function<void(const QString&)>& make) {
    const QString name =
        QStringLiteral("zodra_tpl_") +
        QString::fromLatin1(
            QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    if (Exists(*Maintenance(), name)) {
        return name;
    }
    // Test programs started side by side wait for the first one's template instead of each
    // building its own; the lock goes with this connection.
    auto server = Maintenance();
    server->ExecRaw(QStringLiteral("SET lock_timeout = 0"));
    server->Scalar(QStringLiteral("SELECT pg_advisory_lock(hashtext(?))"), {name});
    if (Exists(*server, name)) {
        return name;
    }
    const QString building = UniqueName(QStringLiteral("zodra_tplnew"));
    make(ServerCompanyUrl(building));
    try {
        server->ExecRaw(QStringLiteral("ALTER DATABASE ") + Quoted(building) +
                        QStringLiteral(" RENAME TO ") + Quoted(name));
    } catch (const DbError&) {
        // Another test program published the same template first.
        server->ExecRaw(QStringLiteral("DROP DATABASE IF EXISTS ") + Quoted(building) +
                        QStringLiteral(" WITH (FORCE)"));
        if (!Exists(*server, name)) {
            throw;
        }
    }
    return name;
}

}  // namespace

bool OnServer() {
    return qEnvironmentVariable("ZODRA_TEST_ON_SERVER") == QLatin1String("1");
}

QString ServerUrl() {
    return qEnvironmentVariable("ZODRA_TEST_PG_URL");
}

namespace {

class ServerRun : public ::testing::Environment {
public:
    void SetUp() override {
        if (ServerUrl().isEmpty()) {
            GTEST_SKIP() << "ZODRA_TEST_PG_URL is not set: no PostgreSQL server for the server "
                            "run of this test (scripts/test.sh starts one where the server "
                            "binaries are installed)";
        }
    }
};

}  // namespace

void AddServerRunEnvironment() {
    if (OnServer()) {
        ::testing::AddGlobalTestEnvironment(new ServerRun);
    }
}

QString ServerCompanyUrl(const QString& name) {
    return PostgresEngine::WithDatabase(ServerUrl(), name);
}

QString NewServerCompany(const QString& key, const std::function<void(const QString&)>& make) {
    const QString source = Template(key, make);
    const QString name = UniqueName(QStringLiteral("zodra_test"));
    Maintenance()->ExecRaw(QStringLiteral("CREATE DATABASE ") + Quoted(name) +
                           QStringLiteral(" TEMPLATE ") + Quoted(source) +
                           QStringLiteral(" STRATEGY FILE_COPY"));
    return name;
}

void DropServerCompany(const QString& name) {
    Maintenance()->ExecRaw(QStringLiteral("DROP DATABASE IF EXISTS ") + Quoted(name) +
                           QStringLiteral(" WITH (FORCE)"));
}

QString NewServerEmptyCompany() {
    // The test program itself stands for the schema it was built with.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString key = QStringLiteral("empty ") + program.absoluteFilePath() +
                        QString::number(program.lastModified().toMSecsSinceEpoch());
    return NewServerCompany(key,
                            [](const QString& url) { CompanySchema::CreateCompany(url, 2026); });
}

}  // namespace zodra::test
