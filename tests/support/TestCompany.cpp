#include "support/TestCompany.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Errors.h"
#include "support/ServerCompany.h"

namespace zodra::test {

namespace {

// Built once per test program.
QString TemplatePath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("predlozak.mdb"));
        CompanySchema::CreateCompany(p, 2026);
        return p;
    }();
    return path;
}

}  // namespace

void CopyTemplateCompany(const QString& path) {
    const QString source = TemplatePath();
    if (!QFile::copy(source, path) || !QFile::copy(CompanySchema::DefaultDetailPath(source),
                                                   CompanySchema::DefaultDetailPath(path))) {
        throw std::runtime_error("cannot copy the template company");
    }
}

void CompanyTest::SetUp() {
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    qputenv("ZODRA_CONFIG", m_dir->filePath(QStringLiteral("ZodraConfig.cfg")).toUtf8());
    if (OnServer()) {
        m_serverName = NewServerEmptyCompany();
        m_path = ServerCompanyUrl(m_serverName);
        return;
    }
    m_path = m_dir->filePath(QStringLiteral("firma.mdb"));
    CopyTemplateCompany(m_path);
}

void CompanyTest::TearDown() {
    if (!m_serverName.isEmpty()) {
        DropServerCompany(m_serverName);
    }
}

std::unique_ptr<Database> CompanyTest::Open(const QString& password) {
    auto result = Database::Open(m_path, password);
    if (result.status != Database::OpenStatus::Ok) {
        ADD_FAILURE() << "company did not open: " << ToString(result.status) << " "
                      << result.detail.toStdString();
        return nullptr;
    }
    return std::move(result.db);
}

int CompanyTest::AddWarehouse(Database& db, const QString& name, bool retail) {
    db.Exec(QStringLiteral("INSERT INTO \"SKLADISTA\" (\"NAZIV\", \"ADRESA\", \"TELEFON\", "
                           "\"MALOPRODAJA\") VALUES (?, 'Adresa', '01', ?)"),
            {name, retail});
    return db.Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"SKLADISTA\"")).toInt();
}

std::unique_ptr<Session> CompanyTest::StartSession(int warehouse, const QString& user) {
    auto session = std::make_unique<Session>();
    session->databasePath = m_path;
    session->Attach(Open());
    if (!session->IsOpen()) {
        return nullptr;
    }
    if (!session->Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {warehouse})
             .isValid()) {
        session->Db().Exec(
            QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", "
                           "\"TELEFON\") VALUES (?, ?, 'Adresa', '01')"),
            {warehouse, QStringLiteral("Skladište %1").arg(warehouse)});
        if (session->Db().Dialect() == SqlDialect::Postgres) {
            // A code written by hand leaves the server's numbering behind it.
            session->Db().Exec(
                QStringLiteral("SELECT setval(pg_get_serial_sequence('\"SKLADISTA\"', 'SIFRA'), "
                               "(SELECT MAX(\"SIFRA\") FROM \"SKLADISTA\"))"));
        }
    }
    session->userName = user;
    ScriptedPrompter quiet;
    sessionstart::Start(*session, warehouse, quiet, QDate(2026, 3, 2));
    return session;
}

}  // namespace zodra::test
