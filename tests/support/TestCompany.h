#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "data/Database.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"

namespace zodra::test {

// A fresh company file per test: the empty company is built from the schema once per test
// program and copied for every test into the test's own temporary folder. In the server run
// (support/ServerCompany.h) the company is a database of its own on the test server instead,
// dropped after the test; the temporary folder is there all the same.
class CompanyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Path of this test's company file (with its detail file beside it), or its server address.
    QString CompanyPath() const { return m_path; }
    QString Folder() const { return m_dir->path(); }
    // A new connection to this test's company.
    std::unique_ptr<Database> Open(const QString& password = QString());
    // A session started in a warehouse, as a workstation would have it after the login and the
    // warehouse choice. Each call is another workstation.
    std::unique_ptr<Session> StartSession(int warehouse = 1,
                                          const QString& user = QStringLiteral("admin"));
    // Adds a warehouse row and returns its code.
    int AddWarehouse(Database& db, const QString& name, bool retail = false);

    ScriptedPrompter prompter;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QString m_serverName;
};

// Copies the template company (and its detail file) to `path`.
void CopyTemplateCompany(const QString& path);

}  // namespace zodra::test
