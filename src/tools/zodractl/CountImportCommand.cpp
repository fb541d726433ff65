// zodractl import PUTANJA count DATOTEKA.csv: counted quantities of a hand-held terminal added to
// a stock count being drawn up (docs/stock-count-import.md).
#include <QFile>

#include "data/Errors.h"
#include "stockdocs/StockCountEntry.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

QString Usage() {
    return QStringLiteral(
        "upotreba: zodractl import PUTANJA count DATOTEKA.csv [--skladiste N] [--sesija N] "
        "[--separator ;|,]");
}

// "--name N" taken out of the arguments: 0 when absent, -1 when not a positive number.
int TakeNumber(QStringList& args, const QString& name) {
    const int at = static_cast<int>(args.indexOf(name));
    if (at < 0) {
        return 0;
    }
    if (at + 1 >= args.size()) {
        return -1;
    }
    bool ok = false;
    const int value = args.at(at + 1).toInt(&ok);
    args.remove(at, 2);
    return ok && value > 0 ? value : -1;
}

QString Describe(const zodra::stockdocs::OpenStockCount& c) {
    return QStringLiteral("  --sesija %1: skladište %2, godina %3, inventura br. %4, stavaka %5")
        .arg(c.sessionCode)
        .arg(c.warehouse)
        .arg(c.year)
        .arg(c.number)
        .arg(c.lines);
}

}  // namespace

int ImportCount(const QStringList& arguments) {
    QStringList args = arguments;
    const int warehouse = TakeNumber(args, QStringLiteral("--skladiste"));
    const int session = TakeNumber(args, QStringLiteral("--sesija"));
    std::optional<QChar> separator;
    const int at = static_cast<int>(args.indexOf(QStringLiteral("--separator")));
    if (at >= 0) {
        const QString value = at + 1 < args.size() ? args.at(at + 1) : QString();
        if (value != QLatin1String(";") && value != QLatin1String(",")) {
            Err(Usage());
            return kUsage;
        }
        separator = value.at(0);
        args.remove(at, 2);
    }
    if (args.size() != 3 || warehouse < 0 || session < 0) {
        Err(Usage());
        return kUsage;
    }
    QFile file(args.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Datoteka se ne može otvoriti: ") + args.at(2));
        return kMissing;
    }
    const QByteArray content = file.readAll();
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    try {
        // The count: the one named, else the only one being drawn up (in the warehouse named).
        const auto counts = zodra::stockdocs::OpenStockCounts(*opened.db, warehouse);
        const zodra::stockdocs::OpenStockCount* target = nullptr;
        for (const auto& c : counts) {
            if (session == 0 ? counts.size() == 1 : c.sessionCode == session) {
                target = &c;
            }
        }
        if (target == nullptr) {
            if (counts.empty() || session != 0) {
                Err(QStringLiteral("Nema otvorene inventure") +
                    (session != 0 ? QStringLiteral(" pod sesijom ") + QString::number(session)
                                  : QString()) +
                    QStringLiteral(": pripremite inventuru u prozoru \"Inventura\"."));
            } else {
                Err(QStringLiteral("Otvoreno je više inventura, navedite jednu:"));
                for (const auto& c : counts) {
                    Err(Describe(c));
                }
            }
            return kRefused;
        }
        const int lines = zodra::stockdocs::ImportCountedQuantities(*opened.db, target->sessionCode,
                                                                    content, separator);
        Out(QStringLiteral("Uvezeno redaka: %1 (inventura br. %2, skladište %3).")
                .arg(lines)
                .arg(target->number)
                .arg(target->warehouse));
        return kOk;
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return e.isDamage() ? kDamaged : kRefused;
    }
}

}  // namespace zodractl
