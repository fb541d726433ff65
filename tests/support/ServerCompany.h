#pragma once

#include <QString>
#include <functional>

// The core test suites run a second time with their companies on a PostgreSQL server: ctest
// starts the same test program with ZODRA_TEST_ON_SERVER=1, and the fixtures then make each
// test's company as a database on the server given by ZODRA_TEST_PG_URL instead of a file.
//
// A company is copied from a template database (CREATE DATABASE … TEMPLATE …), which is made
// once per server and key: whichever test program needs it first builds it under a name of its
// own and renames it into place (holding a lock that makes the others wait for it), so test
// programs running side by side never see a half-made template nor build it twice.
namespace zodra::test {

// Whether this run keeps its companies on the server.
bool OnServer();
// The server's address (ZODRA_TEST_PG_URL); empty when there is none.
QString ServerUrl();
// For the server run of a test program: skips every test, saying why, when no server is given.
void AddServerRunEnvironment();

// A new company database copied from the template `key` (made by `make`, which is given the
// address of an empty database name to build it in). Returns the new database's name.
QString NewServerCompany(const QString& key, const std::function<void(const QString&)>& make);
// The address of database `name` on the test server.
QString ServerCompanyUrl(const QString& name);
// Drops the database, cutting off connections a test left behind.
void DropServerCompany(const QString& name);

// The template of the empty company the schema makes.
QString NewServerEmptyCompany();

}  // namespace zodra::test

// The first statement of a test whose subject does not exist on the server (a company file,
// its lock or detail file, a compaction by copy).
#define ZODRA_SKIP_ON_SERVER(why)                                    \
    do {                                                             \
        if (::zodra::test::OnServer()) {                             \
            GTEST_SKIP() << "not on a PostgreSQL server: " << (why); \
        }                                                            \
    } while (false)
