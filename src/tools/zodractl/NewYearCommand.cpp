#include "tools/zodractl/NewYearCommand.h"

#include <QDate>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"
#include "yearend/YearTransfer.h"

namespace zodractl {

int NewYear(const QStringList& args) {
    const QString usage =
        QStringLiteral("upotreba: zodractl newyear PUTANJA [--nova DATOTEKA] --datum DD.MM.GGGG");
    QString path;
    QString target;
    QString dateText;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if ((a == QLatin1String("--nova") || a == QLatin1String("--datum")) &&
            i + 1 < args.size()) {
            (a == QLatin1String("--nova") ? target : dateText) = args.at(++i);
        } else if (!a.startsWith(QLatin1String("--")) && path.isEmpty()) {
            path = a;
        } else {
            Err(usage);
            return kUsage;
        }
    }
    if (path.isEmpty() || dateText.isEmpty()) {
        Err(usage);
        return kUsage;
    }
    const std::optional<QDate> date = zodra::inputrules::ParseDate(dateText, QDate::currentDate());
    if (!date) {
        Err(QStringLiteral("Nije ispravno upisan datum: ") + dateText);
        return kUsage;
    }
    auto opened = OpenWithPassword(path);
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    namespace y = zodra::yearend;
    try {
        const y::Outcome out = target.isEmpty() ? y::IntoSameFile(*opened.db, *date)
                                                : y::IntoNewFile(*opened.db, *date, target);
        Out(y::DoneMessage());
        Out(QStringLiteral("godina %1 -> %2: primki %3, stavki %4, kupaca %5, dobavljača %6")
                .arg(out.oldYear)
                .arg(out.newYear)
                .arg(out.receipts)
                .arg(out.lots)
                .arg(out.customers)
                .arg(out.suppliers));
        return kOk;
    } catch (const zodra::UserError& e) {
        Err(e.message());
    } catch (const zodra::DbError& e) {
        Err(zodra::DbError::DescribedText(e.kind(), e.driverText()));
    }
    return kRefused;
}

}  // namespace zodractl
