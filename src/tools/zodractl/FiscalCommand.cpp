#include <QRegularExpression>
#include <QSettings>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "fiscal/FiscalService.h"
#include "fiscal/Outbox.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kFiscalUsage =
    "upotreba: zodractl fiscal PUTANJA status|retry\n"
    "          zodractl fiscal PUTANJA change KNJIGA/BROJ --placanje G|K|T|O "
    "[--oib OIB|--bez-oiba] [--skladiste N] [--detaljno]";

// "\tpokušaja: N" and the last failure on one line.
QString Attempts(int attempts, const QString& error) {
    QString text = QStringLiteral("\tpokušaja: ") + QString::number(attempts);
    if (!error.isEmpty()) {
        text +=
            QLatin1Char('\t') + QString(error).replace(QLatin1Char('\n'), QStringLiteral(" | "));
    }
    return text;
}

void ListOutbox(zodra::Database& db) {
    const std::vector<zodra::fiscal::FiscalRecord> waiting = zodra::fiscal::UnconfirmedReceipts(db);
    for (const zodra::fiscal::FiscalRecord& r : waiting) {
        QString line = zodra::fiscal::FiscalNumber(r.receipt) + QLatin1Char('\t') +
                       r.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
                       QLatin1Char('\t') + zodra::MoneyText(r.receipt.total);
        Out(line + Attempts(r.attempts, r.error));
    }
    Out(QStringLiteral("Nepotvrđenih računa: ") + QString::number(waiting.size()));
    const std::vector<zodra::fiscal::PendingChange> changes = zodra::fiscal::PendingChanges(db);
    for (const zodra::fiscal::PendingChange& c : changes) {
        const zodra::fiscal::FiscalRecord r = zodra::fiscal::FiscalRecordById(db, c.receipt);
        QString line = zodra::fiscal::PendingChangeCaption(r, c) + QLatin1Char('\t') +
                       r.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        Out(line + Attempts(c.attempts, c.error));
    }
    if (!changes.empty()) {
        Out(QStringLiteral("Nepotvrđenih promjena: ") + QString::number(changes.size()));
    }
    const std::vector<zodra::fiscal::ReportRecord> reports = zodra::fiscal::UnconfirmedReports(db);
    for (const zodra::fiscal::ReportRecord& r : reports) {
        QString line = zodra::fiscal::ReportKindCaption(r.kind) + QLatin1Char('\t') +
                       zodra::fiscal::EInvoiceId(r.invoice) + QLatin1Char('\t') +
                       r.queued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        if (r.kind == zodra::fiscal::ReportKind::Payment ||
            r.kind == zodra::fiscal::ReportKind::PaymentWithdrawal) {
            line += QLatin1Char('\t') + zodra::MoneyText(r.amount);
        }
        Out(line + Attempts(r.attempts, r.error));
    }
    if (!reports.empty()) {
        Out(QStringLiteral("Neprihvaćenih izvještaja eRačuna: ") + QString::number(reports.size()));
    }
}

struct ChangeArgs {
    zodra::fiscal::InvoiceRef invoice;
    QString payment;
    std::optional<QString> buyerOib;
};

std::optional<ChangeArgs> ParseChange(const QStringList& args) {
    ChangeArgs parsed;
    static const QRegularExpression key(QStringLiteral("^(\\d+)/(\\d+)$"));
    const QRegularExpressionMatch m =
        args.size() > 2 ? key.match(args.at(2)) : QRegularExpressionMatch();
    if (!m.hasMatch() || m.captured(1).toInt() <= 0 || m.captured(2).toInt() <= 0) {
        Err(QString::fromUtf8(kFiscalUsage));
        return std::nullopt;
    }
    parsed.invoice.book = m.captured(1).toInt();
    parsed.invoice.number = m.captured(2).toInt();
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--placanje") && i + 1 < args.size()) {
            parsed.payment = args.at(++i).trimmed().toUpper();
        } else if (a == QLatin1String("--oib") && i + 1 < args.size()) {
            parsed.buyerOib = args.at(++i).trimmed();
        } else if (a == QLatin1String("--bez-oiba")) {
            parsed.buyerOib = QString();
        } else if (a == QLatin1String("--skladiste") && i + 1 < args.size()) {
            bool ok = false;
            parsed.invoice.warehouse = args.at(++i).toInt(&ok);
            if (!ok || parsed.invoice.warehouse <= 0) {
                Err(QStringLiteral("Šifra skladišta nije ispravna: ") + args.at(i));
                return std::nullopt;
            }
        } else if (a == QLatin1String("--detaljno")) {
            parsed.invoice.detailed = true;
        } else {
            Err(QString::fromUtf8(kFiscalUsage));
            return std::nullopt;
        }
    }
    if (parsed.payment.isEmpty()) {
        Err(QString::fromUtf8(kFiscalUsage));
        return std::nullopt;
    }
    return parsed;
}

// The change of a receipt issued today: the receipt's year is this year.
int Change(zodra::Database& db, ChangeArgs change) {
    QSettings workstation;
    zodra::fiscal::FiscalService service(db, zodra::fiscal::ReadFiscalSettings(db, workstation),
                                         QDateTime::currentDateTime());
    if (change.invoice.warehouse == 0) {
        if (db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\"")).toInt() != 1) {
            Err(QStringLiteral("Poduzeće ima više skladišta: navedite --skladiste N."));
            return kRefused;
        }
        change.invoice.warehouse =
            db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"SKLADISTA\"")).toInt();
    }
    change.invoice.year = service.clock().date().year();
    using Outcome = zodra::fiscal::FiscalService::ChangeOutcome;
    const zodra::fiscal::FiscalService::ChangeResult result =
        service.ChangeReceipt(db, change.invoice, change.payment, change.buyerOib);
    switch (result.outcome) {
        case Outcome::Unsent:
        case Outcome::Confirmed:
            Out(result.text);
            return kOk;
        case Outcome::Queued:
            Err(result.text);
            return kRefused;
        case Outcome::NoAnswer:
            Err(QStringLiteral("Poslužitelj nije odgovorio: ") + result.text + QLatin1Char(' ') +
                zodra::fiscal::ChangeWaitsMessage());
            return kRefused;
        case Outcome::Rejected:
            break;
    }
    Err(QStringLiteral("Promjena nije prihvaćena: ") + result.text + QLatin1Char(' ') +
        zodra::fiscal::ChangeWaitsMessage());
    return kRefused;
}

}  // namespace

int Fiscal(const QStringList& args) {
    const bool change = args.size() >= 2 && args.at(1) == QLatin1String("change");
    std::optional<ChangeArgs> changeArgs;
    if (change) {
        changeArgs = ParseChange(args);
        if (!changeArgs) {
            return kUsage;
        }
    } else if (args.size() != 2 ||
               (args.at(1) != QLatin1String("status") && args.at(1) != QLatin1String("retry"))) {
        Err(QString::fromUtf8(kFiscalUsage));
        return kUsage;
    }
    zodra::Database::OpenResult opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    zodra::Database& db = *opened.db;
    if (change) {
        try {
            return Change(db, *changeArgs);
        } catch (const zodra::UserError& e) {
            Err(e.message());
            return kRefused;
        }
    }
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
    return zodra::fiscal::UnconfirmedCount(db) == 0 && zodra::fiscal::PendingChangeCount(db) == 0 &&
                   zodra::fiscal::UnconfirmedReportCount(db) == 0
               ? kOk
               : kRefused;
}

}  // namespace zodractl
