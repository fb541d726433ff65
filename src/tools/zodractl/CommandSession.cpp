#include <QDate>
#include <QSettings>

#include "app/SessionStart.h"
#include "books/KpiDailySales.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "fiscal/FiscalService.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

bool CommandLinePrompter::AskYesNo(const QString& text, const QString&, bool defaultYes) {
    const bool answer = m_yes || defaultYes;
    Err(text + (answer ? QStringLiteral(" Da") : QStringLiteral(" Ne")));
    return answer;
}

void CommandLinePrompter::Inform(const QString& text, const QString&) {
    if (m_informsAreResults) {
        Out(text);
    } else {
        Err(text);
    }
}

bool SessionStartPrompter::AskYesNo(const QString& text, const QString&, bool defaultYes) {
    Err(text + (defaultYes ? QStringLiteral(" Da") : QStringLiteral(" Ne")));
    return defaultYes;
}

void SessionStartPrompter::Inform(const QString& text, const QString&) {
    if (m_declined) {
        m_declined = false;
        return;
    }
    Err(text);
}

int InSession(const QString& path, int warehouse,
              const std::function<void(zodra::Session&)>& operation) {
    zodra::Database::OpenResult opened = OpenWithPassword(path);
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    zodra::Session session;
    session.databasePath = path;
    session.userName = QStringLiteral("zodractl");
    session.afterRetailCollections = &zodra::books::AfterRetailCollections;
    zodra::fiscal::InstallFiscalHooks(session, QSettings().fileName());
    session.Attach(std::move(opened.db));
    bool started = false;
    int code = kOk;
    try {
        if (warehouse == 0) {
            // No warehouse named: the company's only one.
            zodra::Database& db = session.Db();
            if (db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\"")).toInt() != 1) {
                throw zodra::UserError(
                    QStringLiteral("Poduzeće ima više skladišta: navedite --skladiste N."));
            }
            warehouse = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"SKLADISTA\"")).toInt();
        }
        SessionStartPrompter starting;
        zodra::sessionstart::Start(session, warehouse, starting, QDate::currentDate());
        started = true;
        // A document changed from the command line always ends with the check of lots and card.
        session.workstation.debugMode = true;
        operation(session);
    } catch (const zodra::UserError& e) {
        Err(e.message());
        code = kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        code = e.isDamage() ? kDamaged : kRefused;
    }
    if (started) {
        zodra::sessionstart::End(session);
    }
    return code;
}

}  // namespace zodractl
