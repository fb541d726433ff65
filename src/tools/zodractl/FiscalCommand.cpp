#include <QSettings>

#include "data/Database.h"
#include "data/Rounding.h"
#include "fiscal/FiscalService.h"
#include "fiscal/Outbox.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kFiscalUsage = "upotreba: zodractl fiscal PUTANJA status|retry";

void ListOutbox(zodra::Database& db) {
    const std::vector<zodra::fiscal::FiscalRecord> waiting = zodra::fiscal::UnconfirmedReceipts(db);
    for (const zodra::fiscal::FiscalRecord& r : waiting) {
        QString line = zodra::fiscal::FiscalNumber(r.receipt) + QLatin1Char('\t') +
                       r.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
                       QLatin1Char('\t') + zodra::MoneyText(r.receipt.total) +
                       QStringLiteral("\tpokušaja: ") + QString::number(r.attempts);
        if (!r.error.isEmpty()) {
            line += QLatin1Char('\t') +
                    QString(r.error).replace(QLatin1Char('\n'), QStringLiteral(" | "));
        }
        Out(line);
    }
    Out(QStringLiteral("Nepotvrđenih računa: ") + QString::number(waiting.size()));
}

}  // namespace

int Fiscal(const QStringList& args) {
    if (args.size() != 2 ||
        (args.at(1) != QLatin1String("status") && args.at(1) != QLatin1String("retry"))) {
        Err(QString::fromUtf8(kFiscalUsage));
        return kUsage;
    }
    zodra::Database::OpenResult opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    zodra::Database& db = *opened.db;
    if (args.at(1) == QLatin1String("retry")) {
        // The workstation's own settings: its certificate, service and timeout.
        QSettings workstation;
        zodra::fiscal::FiscalService service(db, zodra::fiscal::ReadFiscalSettings(db, workstation),
                                             QDateTime::currentDateTime());
        if (!service.CanDeliver()) {
            Err(QStringLiteral("Fiskalizacija nije uključena."));
            return kRefused;
        }
        const zodra::fiscal::RetryResult result = service.RetryOutbox(db);
        Out(zodra::fiscal::RetryResultText(result));
    }
    ListOutbox(db);
    return zodra::fiscal::UnconfirmedCount(db) == 0 ? kOk : kRefused;
}

}  // namespace zodractl
