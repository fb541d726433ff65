// The README's steps for putting a company on a server, run line for line against the test
// server (its socket folder for the host, its user, the test's own database name), so that the
// README stays true: afterwards the connection file opens the company with all its invoices.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUrlQuery>

#include "PgCompany.h"
#include "ServerDemo.h"
#include "data/Database.h"
#include "data/PostgresEngine.h"
#include "support/ZodractlCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::ServerDemoTest;

namespace {

// The lines of the fenced block after the README's server-steps mark.
QStringList ServerSteps() {
    QFile readme(test::SourceFile("README.md"));
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(readme.readAll()).split(u'\n');
    QStringList steps;
    bool marked = false;
    bool inBlock = false;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("<!-- server-steps"))) {
            marked = true;
        } else if (marked && !inBlock && line.startsWith(QLatin1String("```"))) {
            inBlock = true;
        } else if (inBlock && line.startsWith(QLatin1String("```"))) {
            break;
        } else if (inBlock) {
            steps << line;
        }
    }
    return steps;
}

}  // namespace

TEST_F(ServerDemoTest, TheReadmesThreeCommandsPutACompanyOnTheServer) {
    QStringList steps = ServerSteps();
    ASSERT_EQ(steps.size(), 3) << steps.join(u'\n').toStdString();

    const PostgresEngine::Address server = PostgresEngine::Parse(test::TestServerUrl());
    const QString ours =
        u"postgresql://%1@/%2?host=%3"_s.arg(server.user, DatabaseName(), server.host);
    for (QString& step : steps) {
        step.replace(u"postgresql://blagajna@server.lan/firma"_s, ours);
        step.replace(u"--host=server.lan"_s, u"--host="_s + server.host);
        step.replace(u"--username=blagajna"_s, u"--username="_s + server.user);
        step.replace(QRegularExpression(u"^createdb (.*) firma$"_s),
                     u"createdb \\1 "_s + DatabaseName());
        step.replace(QRegularExpression(u"^zodractl "_s), QStringLiteral("'" ZODRACTL_PATH "' "));
    }
    LocalDemo(u"firma.db"_s);
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ZODRA_PASSWORD"_s, QString());
    shell.setProcessEnvironment(env);
    shell.setStandardInputFile(QProcess::nullDevice());
    shell.start(u"bash"_s, {u"-euo"_s, u"pipefail"_s, u"-c"_s, steps.join(u'\n')});
    ASSERT_TRUE(shell.waitForFinished(180000));
    ASSERT_EQ(shell.exitCode(), 0) << steps.join(u'\n').toStdString() << "\n"
                                   << shell.readAllStandardOutput().toStdString()
                                   << shell.readAllStandardError().toStdString();

    auto file = Database::Open(m_dir.filePath(u"firma.db"_s), QString());
    auto onServer = Database::Open(m_dir.filePath(u"firma.zodra"_s), QString());
    ASSERT_EQ(onServer.status, Database::OpenStatus::Ok) << onServer.detail.toStdString();
    EXPECT_EQ(onServer.db->Dialect(), SqlDialect::Postgres);
    const QString invoices = u"SELECT COUNT(*) FROM \"RACUNI\""_s;
    EXPECT_GT(onServer.db->Scalar(invoices).toInt(), 0);
    EXPECT_EQ(onServer.db->Scalar(invoices).toInt(), file.db->Scalar(invoices).toInt());
}
