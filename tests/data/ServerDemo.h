#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "data/Database.h"
#include "support/Zodractl.h"

namespace zodra::test {

// The demo company as a file, made once per test program with the command-line tool, and a
// database name of the test's own on the test server (ZODRA_TEST_PG_URL) that does not exist
// yet; every database the test names is dropped afterwards. Skips without a server.
class ServerDemoTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The shared demo company file (its detail file beside it); copy it before changing it.
    static QString DemoFile();
    // A copy of the demo company (and its detail file) in the test's folder.
    QString LocalDemo(const QString& name = QStringLiteral("firma.db"));

    // This test's database on the test server, and further ones it may want.
    const QString& Url() const { return m_url; }
    const QString& DatabaseName() const { return m_name; }
    QString OtherDatabase(const QString& suffix);
    bool DatabaseExists(const QString& name);
    std::unique_ptr<Database> Maintenance();

    // zodractl with the given company password in the environment (empty: none).
    static ZodractlRun Ctl(const QStringList& args, const QString& password = QString());
    // The demo company copied onto this test's database with `zodractl copy`.
    void PutDemoOnServer();
    std::unique_ptr<Database> OpenServer(const QString& password = QString());

    QTemporaryDir m_dir;

private:
    QString m_url;
    QString m_name;
    QStringList m_databases;
};

}  // namespace zodra::test
