#include <QDate>
#include <QSaveFile>

#include "app/WorkstationConfig.h"
#include "data/Errors.h"
#include "data/Paths.h"
#include "data/Session.h"
#include "retail/DaySumming.h"
#include "retail/TransferSumming.h"
#include "retail/XReport.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kDayReportUsage =
    "upotreba: zodractl xreport|zreport PUTANJA --skladiste N [--od DD.MM.GGGG --do DD.MM.GGGG] "
    "[--blagajnik IME] [--out DATOTEKA] [--da]";

struct DayReportArgs {
    int warehouse = 0;
    QDate from = QDate::currentDate();
    QDate to = QDate::currentDate();
    std::optional<QString> cashier;
    QString out;
    bool yes = false;
};

std::optional<DayReportArgs> Parse(const QStringList& args) {
    DayReportArgs parsed;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--da")) {
            parsed.yes = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            return std::nullopt;
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (flag == QLatin1String("--skladiste")) {
            parsed.warehouse = value.toInt(&ok);
            ok = ok && parsed.warehouse > 0;
        } else if (flag == QLatin1String("--od")) {
            parsed.from = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
            ok = parsed.from.isValid();
        } else if (flag == QLatin1String("--do")) {
            parsed.to = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
            ok = parsed.to.isValid();
        } else if (flag == QLatin1String("--blagajnik")) {
            parsed.cashier = value;
        } else if (flag == QLatin1String("--out")) {
            parsed.out = value;
        } else {
            ok = false;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    if (parsed.warehouse <= 0 || parsed.from > parsed.to) {
        return std::nullopt;
    }
    return parsed;
}

// The report to the file given (UTF-8, a line each) or to the receipt printer.
bool Deliver(zodra::Session& session, const QStringList& lines, const QString& out) {
    if (out.isEmpty()) {
        const QString error = zodra::retail::PrintReportLines(session, lines);
        if (!error.isEmpty()) {
            Err(error);
            return false;
        }
        Out(QStringLiteral("Izvještaj je poslan na POS printer."));
        return true;
    }
    QSaveFile file(out);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    }
    if (!file.isOpen() || !file.commit()) {
        Err(QStringLiteral("Datoteku ") + out + QStringLiteral(" nije moguće zapisati (") +
            file.errorString() + QStringLiteral(")."));
        return false;
    }
    Out(QStringLiteral("Izvještaj je zapisan u ") + out + QLatin1Char('.'));
    return true;
}

int DayReport(const QStringList& args, bool closing) {
    const std::optional<DayReportArgs> parsed = args.isEmpty() ? std::nullopt : Parse(args);
    if (!parsed) {
        Err(QString::fromUtf8(kDayReportUsage));
        return kUsage;
    }
    bool refused = false;
    const int code = InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        session.workstation = zodra::workstationconfig::Load(zodra::paths::WorkstationConfigFile());
        zodra::retail::XReportOptions o;
        o.warehouse = session.activeWarehouse.code;
        o.year = session.businessYear;
        o.from = parsed->from;
        o.to = parsed->to;
        o.cashier = parsed->cashier;
        o.summed = session.company.sumRetailInvoices;
        o.dayEnd = closing;
        // X with --da: the administrator's recapitulations too.
        o.itemRecap = o.articlesByDocument = o.groupRecap = o.stockLevels = parsed->yes && !closing;
        if (!Deliver(session, zodra::retail::XReportLines(session.Db(), o), parsed->out)) {
            refused = true;
            return;
        }
        if (!closing) {
            return;
        }
        CommandLinePrompter prompter(parsed->yes, true);
        zodra::retail::SumStep(session, prompter, parsed->from, parsed->to);
        const zodra::retail::DeferredReduction reduced =
            zodra::retail::ReduceStep(session, prompter);
        for (const QString& line : reduced.priceDifferences) {
            Out(line);
        }
        if (reduced.invoices > 0) {
            Out(QStringLiteral("Skinuto sa skladišta računa: ") +
                QString::number(reduced.invoices));
        }
        // The transfers and receipts up to the report's last day, without the date box.
        if (session.company.sumTransfersAndReceipts &&
            prompter.AskYesNo(zodra::retail::TransferSumQuestion(), QStringLiteral("Z izvještaj"),
                              false)) {
            try {
                const zodra::retail::SummedTransfers summed =
                    zodra::retail::SumRetailTransfers(session, parsed->to);
                Out(QStringLiteral("Sumirano međuskladišnica i primki: ") +
                    QString::number(summed.transfersFolded));
            } catch (const zodra::UserError& e) {
                Err(e.message());
                refused = true;
            }
        }
        zodra::retail::TakingsStep(session, parsed->to);
    });
    return code == kOk && refused ? kRefused : code;
}

}  // namespace

int XReport(const QStringList& args) {
    return DayReport(args, false);
}

int ZReport(const QStringList& args) {
    return DayReport(args, true);
}

}  // namespace zodractl
