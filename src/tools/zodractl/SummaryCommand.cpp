#include <QDate>

#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "summary/SummaryReports.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kSummaryUsage =
    "upotreba: zodractl summary PUTANJA NAREDBA [--skladiste N] [--od DD.MM.GGGG --do DD.MM.GGGG]\n"
    "          [--rbr-od N --rbr-do N] [--trazi TEKST] [--artikl SIFRA] [--na-dan DD.MM.GGGG]\n"
    "          (--pdf IZLAZ.pdf | --csv IZLAZ.csv)\n"
    "          NAREDBA je naredba izbornika (Rek_prim_uk, Rek_vrac_kup, Stanje1(2) …); bez\n"
    "          --rbr-od/--rbr-do brojevi su prvi i zadnji dokument vrste, bez --od/--do datumi\n"
    "          su od 1. siječnja poslovne godine do danas (31. prosinca za prošle godine)";

int Usage() {
    Err(QString::fromUtf8(kSummaryUsage));
    return kUsage;
}

}  // namespace

int Summary(const QStringList& args) {
    if (args.size() < 2) {
        return Usage();
    }
    const zodra::summary::SummaryReportInfo* info =
        zodra::summary::SummaryReportByCommand(args.at(1));
    if (!info) {
        Err(QStringLiteral("Nepoznat izvještaj ") + args.at(1) + QLatin1Char('.'));
        return kUsage;
    }
    zodra::reports::RangeInput input;
    input.withNumbers = info->limits == zodra::summary::Limits::NumbersAndDates;
    zodra::summary::SummaryChoice choice;
    QString pdf;
    QString csv;
    QString article;
    QString day;
    int warehouse = 0;
    for (qsizetype i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) {
            return Usage();
        }
        const QString& flag = args.at(i);
        const QString& value = args.at(i + 1);
        bool ok = true;
        if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--rbr-od")) {
            input.firstText = value;
        } else if (flag == QLatin1String("--rbr-do")) {
            input.lastText = value;
        } else if (flag == QLatin1String("--artikl")) {
            article = value;
        } else if (flag == QLatin1String("--na-dan")) {
            day = value;
        } else if (flag == QLatin1String("--trazi")) {
            choice.searchText = value;
        } else if (flag == QLatin1String("--skladiste")) {
            warehouse = value.toInt(&ok);
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else if (flag == QLatin1String("--csv")) {
            csv = value;
        } else {
            ok = false;
        }
        if (!ok) {
            return Usage();
        }
    }
    if (pdf.isEmpty() == csv.isEmpty()) {
        return Usage();
    }
    using zodra::summary::Limits;
    const bool ranged = info->limits == Limits::NumbersAndDates || info->limits == Limits::Dates ||
                        info->limits == Limits::ArticleAndDates;
    bool refused = false;
    const int code = InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        if (info->limits == Limits::Day) {
            CommandLinePrompter prompter(false);
            const QDate today = QDate::currentDate();
            choice.range = zodra::summary::DayRange(
                day.isEmpty() ? zodra::reports::DefaultRangeTo(session.businessYear, today)
                                    .toString(QStringLiteral("dd.MM.yyyy"))
                              : day,
                today, prompter);
        }
        if (info->limits == Limits::ArticleAndDates) {
            choice.article = zodra::summary::ArticleByCode(session.Db(), article);
        }
        if (ranged) {
            // What the dialog shows before the user changes anything.
            if (input.fromText.isEmpty()) {
                input.from = zodra::reports::DefaultRangeFrom(session.businessYear);
                input.fromText = input.from.toString(QStringLiteral("dd.MM.yyyy"));
            }
            if (input.toText.isEmpty()) {
                input.to =
                    zodra::reports::DefaultRangeTo(session.businessYear, QDate::currentDate());
                input.toText = input.to.toString(QStringLiteral("dd.MM.yyyy"));
            }
            if (input.withNumbers && (input.firstText.isEmpty() || input.lastText.isEmpty())) {
                const auto bounds = zodra::summary::DocumentNumberBounds(
                    session.Db(), info->documentKey, session.activeWarehouse.code,
                    session.businessYear);
                if (input.firstText.isEmpty() && bounds.first) {
                    input.firstText = QString::number(*bounds.first);
                }
                if (input.lastText.isEmpty() && bounds.last) {
                    input.lastText = QString::number(*bounds.last);
                }
            }
            CommandLinePrompter prompter(false);
            choice.range = zodra::reports::AcceptRange(input, prompter);
            if (!choice.range) {
                refused = true;  // the prompter has shown why
                return;
            }
        }
        const auto request = zodra::summary::SummaryReportRequest(session, *info, choice);
        zodra::reports::ReportEngine engine(session.Db());
        if (!csv.isEmpty()) {
            const int rows = engine.ToCsv(request, csv);
            Out(QStringLiteral("Izvještaj je zapisan u ") + csv + QStringLiteral(" (redaka: ") +
                QString::number(rows) + QStringLiteral(")."));
        } else {
            const int pages = engine.ToPdf(request, pdf);
            Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
                QString::number(pages) + QStringLiteral(")."));
        }
    });
    return refused ? kRefused : code;
}

}  // namespace zodractl
