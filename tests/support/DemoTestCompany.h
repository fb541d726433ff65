#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QString>

#include "demo/DemoCompany.h"
#include "support/ServerCompany.h"

namespace zodra::test {

// The demo company of `today` for tests that only read it: a file in `folder`, or on the server
// run a database copied from a template made once per test program build and day. The server
// database goes when the object does.
class DemoTestCompany {
public:
    DemoTestCompany(const QString& folder, const QDate& today) {
        if (!OnServer()) {
            m_path = folder + QStringLiteral("/demo.mdb");
            demo::CreateDemoCompany(m_path, today);
            return;
        }
        const QFileInfo program(QCoreApplication::applicationFilePath());
        const QString key = QStringLiteral("demo ") + today.toString(Qt::ISODate) +
                            program.absoluteFilePath() +
                            QString::number(program.lastModified().toMSecsSinceEpoch());
        m_serverName = NewServerCompany(
            key, [&today](const QString& url) { demo::CreateDemoCompany(url, today); });
        m_path = ServerCompanyUrl(m_serverName);
    }
    ~DemoTestCompany() {
        if (!m_serverName.isEmpty()) {
            DropServerCompany(m_serverName);
        }
    }
    DemoTestCompany(const DemoTestCompany&) = delete;
    DemoTestCompany& operator=(const DemoTestCompany&) = delete;

    // The file's path or the server database's address.
    const QString& Path() const { return m_path; }

private:
    QString m_path;
    QString m_serverName;
};

}  // namespace zodra::test
