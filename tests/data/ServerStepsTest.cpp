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
        QStringLiteral("postgresql://%1@/%2?host=%3").arg(server.user, DatabaseName(), server.host);
    for (QString& step : steps) {
        step.replace(QStringLiteral("postgresql://blagajna@server.lan/firma"), ours);
        step.replace(QStringLiteral("--host=server.lan"), QStringLiteral("--host=") + server.host);
        step.replace(QStringLiteral("--username=blagajna"),
                     QStringLiteral("--username=") + server.user);
        step.replace(QRegularExpression(QStringLiteral("^createdb (.*) firma$")),
                     QStringLiteral("createdb \\1 ") + DatabaseName());
        step.replace(QRegularExpression(QStringLiteral("^zodractl ")),
                     QStringLiteral("'" ZODRACTL_PATH "' "));
    }
    LocalDemo(QStringLiteral("firma.db"));
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZODRA_PASSWORD"), QString());
    shell.setProcessEnvironment(env);
    shell.setStandardInputFile(QProcess::nullDevice());
    shell.start(QStringLiteral("bash"), {QStringLiteral("-euo"), QStringLiteral("pipefail"),
                                         QStringLiteral("-c"), steps.join(u'\n')});
    ASSERT_TRUE(shell.waitForFinished(180000));
    ASSERT_EQ(shell.exitCode(), 0) << steps.join(u'\n').toStdString() << "\n"
                                   << shell.readAllStandardOutput().toStdString()
                                   << shell.readAllStandardError().toStdString();

    auto file = Database::Open(m_dir.filePath(QStringLiteral("firma.db")), QString());
    auto onServer = Database::Open(m_dir.filePath(QStringLiteral("firma.zodra")), QString());
    ASSERT_EQ(onServer.status, Database::OpenStatus::Ok) << onServer.detail.toStdString();
    EXPECT_EQ(onServer.db->Dialect(), SqlDialect::Postgres);
    const QString invoices = QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"");
    EXPECT_GT(onServer.db->Scalar(invoices).toInt(), 0);
    EXPECT_EQ(onServer.db->Scalar(invoices).toInt(), file.db->Scalar(invoices).toInt());
}
