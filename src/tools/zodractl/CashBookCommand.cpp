#include <QDate>

#include "cashbook/CashBook.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kCashBookUsage =
    "upotreba: zodractl cashbook PUTANJA --skladiste N --od DD.MM.GGGG --do DD.MM.GGGG "
    "--pdf IZLAZ.pdf";

}  // namespace

int CashBook(const QStringList& args) {
    if (args.isEmpty()) {
        Err(QString::fromUtf8(kCashBookUsage));
        return kUsage;
    }
    int warehouse = 0;
    zodra::reports::RangeInput input;
    QString pdf;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (i + 1 >= args.size()) {
            Err(QString::fromUtf8(kCashBookUsage));
            return kUsage;
        }
        const QString& value = args.at(++i);
        if (flag == QLatin1String("--skladiste")) {
            warehouse = value.toInt();
        } else if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else {
            Err(QString::fromUtf8(kCashBookUsage));
            return kUsage;
        }
    }
    if (warehouse <= 0 || input.fromText.isEmpty() || input.toText.isEmpty() || pdf.isEmpty()) {
        Err(QString::fromUtf8(kCashBookUsage));
        return kUsage;
    }
    CommandLinePrompter prompter(false);
    const std::optional<zodra::reports::ReportRange> range =
        zodra::reports::AcceptRange(input, prompter);
    if (!range) {
        return kRefused;
    }
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        const int pages = zodra::reports::ReportEngine(session.Db())
                              .ToPdf(zodra::cashbook::PrepareCashBookReport(session, *range), pdf);
        Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
            QString::number(pages) + QStringLiteral(")."));
    });
}

}  // namespace zodractl
