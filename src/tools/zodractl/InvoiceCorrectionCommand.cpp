// zodractl correct: the correction of a posted invoice's line ("ISPRAVAK") from the command
// line, through the same core calls as the invoice window on a posted invoice.
#include <QStringList>
#include <optional>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "sales/InvoiceCorrection.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kCorrectUsage =
    "upotreba: zodractl correct PUTANJA racun BROJ --stavka N (--kolicina Q --cijena C --rabat R "
    "| --brisi) [--knjiga B] [--skladiste N]";

struct CorrectionArgs {
    int number = 0;
    int line = 0;
    int book = 1;
    int warehouse = 0;
    bool remove = false;
    std::optional<QString> quantity;
    std::optional<QString> price;
    std::optional<QString> discount;
};

std::optional<int> Positive(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

std::optional<CorrectionArgs> Parse(const QStringList& args) {
    if (args.size() < 3 || args.at(1) != QLatin1String("racun")) {
        return std::nullopt;
    }
    CorrectionArgs parsed;
    const std::optional<int> number = Positive(args.at(2));
    if (!number) {
        return std::nullopt;
    }
    parsed.number = *number;
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (flag == QLatin1String("--brisi")) {
            parsed.remove = true;
        } else if (!hasValue) {
            return std::nullopt;
        } else if (flag == QLatin1String("--stavka")) {
            const std::optional<int> line = Positive(args.at(++i));
            if (!line) {
                return std::nullopt;
            }
            parsed.line = *line;
        } else if (flag == QLatin1String("--knjiga")) {
            const std::optional<int> book = Positive(args.at(++i));
            if (!book) {
                return std::nullopt;
            }
            parsed.book = *book;
        } else if (flag == QLatin1String("--skladiste")) {
            const std::optional<int> warehouse = Positive(args.at(++i));
            if (!warehouse) {
                return std::nullopt;
            }
            parsed.warehouse = *warehouse;
        } else if (flag == QLatin1String("--kolicina")) {
            parsed.quantity = args.at(++i);
        } else if (flag == QLatin1String("--cijena")) {
            parsed.price = args.at(++i);
        } else if (flag == QLatin1String("--rabat")) {
            parsed.discount = args.at(++i);
        } else {
            return std::nullopt;
        }
    }
    const bool change = parsed.quantity && parsed.price && parsed.discount;
    const bool anyValue = parsed.quantity || parsed.price || parsed.discount;
    if (parsed.line == 0 || parsed.remove == anyValue || (!parsed.remove && !change)) {
        return std::nullopt;
    }
    return parsed;
}

// A number as a number box reads it; anything else is refused with the box's message.
double Number(const QString& text) {
    const std::optional<double> value = zodra::inputrules::ParseNumber(text);
    if (!value) {
        throw zodra::UserError(zodra::inputrules::InvalidNumberMessage());
    }
    return *value;
}

}  // namespace

int Correct(const QStringList& args) {
    const std::optional<CorrectionArgs> parsed = Parse(args);
    if (!parsed) {
        Err(QString::fromUtf8(kCorrectUsage));
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        const zodra::sales::InvoiceKey key{session.activeWarehouse.code, parsed->book,
                                           session.businessYear, parsed->number};
        if (parsed->remove) {
            zodra::sales::DeletePostedLine(session, key, parsed->line);
            Out(QStringLiteral("Stavka %1 računa broj %2 je izbrisana.")
                    .arg(parsed->line)
                    .arg(parsed->number));
            return;
        }
        zodra::sales::ChangePostedLine(
            session, key, parsed->line,
            {Number(*parsed->quantity), Number(*parsed->price), Number(*parsed->discount)});
        Out(QStringLiteral("Stavka %1 računa broj %2 je ispravljena.")
                .arg(parsed->line)
                .arg(parsed->number));
    });
}

}  // namespace zodractl
