// A company whose server database was made with a language's collation as its default (an
// administrator's empty database, made for the company beforehand): the article search still
// finds every article whose name begins with what was typed. Croatian ordering puts "nj", "lj"
// and "dž" after every other "n…", "l…" and "d…", so a prefix's range of keys compared in that
// collation leaves them out.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QUuid>

#include "PgCompany.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/PostgresEngine.h"
#include "registers/ArticleList.h"

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

TEST(ServerCollation, ThePrefixSearchFindsWhatTheDatabasesOwnCollationOrdersElsewhere) {
    const QString server = test::TestServerUrl();
    if (server.isEmpty()) {
        GTEST_SKIP() << "ZODRA_TEST_PG_URL is not set: no PostgreSQL server for this test";
    }
    auto maintenance = Database::OpenRaw(PostgresEngine::WithDatabase(server, u"postgres"_s), true);
    const QString name = u"zodra_test_hr_%1_%2"_s.arg(getpid()).arg(
        QUuid::createUuid().toString(QUuid::Id128).left(8));
    maintenance->ExecRaw(u"CREATE DATABASE \""_s + name +
                         u"\" TEMPLATE template0 ENCODING 'UTF8' LOCALE_PROVIDER icu "
                         "ICU_LOCALE 'hr-HR' LOCALE 'C.UTF-8'"_s);
    struct Drop {
        Database& server;
        QString name;
        ~Drop() { server.ExecRaw(u"DROP DATABASE IF EXISTS \""_s + name + u"\" WITH (FORCE)"_s); }
    } drop{*maintenance, name};

    const QString url = PostgresEngine::WithDatabase(server, name);
    CompanySchema::CreateCompany(url, 2026);
    auto opened = Database::Open(url, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& db = *opened.db;
    ASSERT_EQ(db.Scalar(u"SELECT 'njoki' < 'n' || chr(1114111)"_s).toBool(), false)
        << "the database's collation orders by the Croatian letters";
    for (const char* article : {"Njoki", "Nar", "Ljiljan", "Lopta", "Džem", "Dunja", "Ekran"}) {
        db.Exec(u"INSERT INTO \"ARTIKLI\" (\"NAZIV\") VALUES (?)"_s, {QString::fromUtf8(article)});
    }
    registers::ArticleList list(db, u"\"NAZIV\""_s);
    const struct {
        const char* typed;
        QStringList found;  // in the list's order
    } searches[] = {{"n", {u"Nar"_s, u"Njoki"_s}},
                    {"L*", {u"Lopta"_s, u"Ljiljan"_s}},
                    {"d", {u"Dunja"_s, QString::fromUtf8("Džem")}},
                    {"nj", {u"Njoki"_s}}};
    for (const auto& [typed, found] : searches) {
        SCOPED_TRACE(typed);
        QStringList walked;
        for (auto row = list.FindFirst(QString::fromUtf8(typed)); row && walked.size() < 10;
             row = list.FindNext(QString::fromUtf8(typed), *row)) {
            walked << row->name;
        }
        EXPECT_EQ(walked, found);
    }
}

}  // namespace
