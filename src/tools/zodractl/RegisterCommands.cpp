// zodractl import / export: a register's rows from and into a spreadsheet file.
#include <QFile>

#include "data/Errors.h"
#include "registers/Catalogue.h"
#include "registers/RegisterTransfer.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

using zodra::registers::RegisterDescription;

const RegisterDescription* RegisterNamed(const QString& name) {
    namespace catalogue = zodra::registers::catalogue;
    if (name == QLatin1String("articles") || name == QLatin1String("artikli")) {
        return &catalogue::Articles();
    }
    if (name == QLatin1String("partners") || name == QLatin1String("partneri")) {
        return &catalogue::Partners();
    }
    return catalogue::ById(name);
}

// Takes "--name value" out of the arguments.
std::optional<QString> TakeOption(QStringList& args, const QString& name) {
    const int at = static_cast<int>(args.indexOf(name));
    if (at < 0 || at + 1 >= args.size()) {
        return std::nullopt;
    }
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

std::optional<QChar> SeparatorOption(QStringList& args, bool* bad) {
    const auto value = TakeOption(args, QStringLiteral("--separator"));
    *bad = false;
    if (!value) {
        return std::nullopt;
    }
    if (*value == QLatin1String(";") || *value == QLatin1String(",")) {
        return value->at(0);
    }
    *bad = true;
    return std::nullopt;
}

}  // namespace

int Import(const QStringList& arguments) {
    if (arguments.size() >= 2 && (arguments.at(1) == QLatin1String("count") ||
                                  arguments.at(1) == QLatin1String("inventura"))) {
        return ImportCount(arguments);
    }
    if (arguments.size() >= 2 && arguments.at(1) == QLatin1String("bank")) {
        return ImportBankStatement(arguments);
    }
    QStringList args = arguments;
    const bool skipBad = args.removeAll(QStringLiteral("--skip-bad")) > 0;
    bool badSeparator = false;
    const auto separator = SeparatorOption(args, &badSeparator);
    const RegisterDescription* description = args.size() == 3 ? RegisterNamed(args.at(1)) : nullptr;
    if (description == nullptr || badSeparator) {
        Err(
            QStringLiteral("upotreba: zodractl import PUTANJA articles|partners DATOTEKA.csv "
                           "[--skip-bad] [--separator ;|,]"));
        return kUsage;
    }
    QFile file(args.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Datoteka se ne može otvoriti: ") + args.at(2));
        return kMissing;
    }
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    try {
        // The file is read record by record while its rows are imported: a file that is not
        // UTF-8 or ends inside quotes is refused when the reading gets there, and the whole
        // import is rolled back.
        zodra::csv::CsvReader reader(file, separator);
        const auto report =
            zodra::registers::transfer::Import(*opened.db, *description, reader, skipBad);
        for (const QString& line : report.Lines()) {
            Out(line);
        }
        return report.committed ? kOk : kRefused;
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return kRefused;
    }
}

int Export(const QStringList& arguments) {
    QStringList args = arguments;
    bool badSeparator = false;
    const auto separator = SeparatorOption(args, &badSeparator);
    const RegisterDescription* description = args.size() == 3 ? RegisterNamed(args.at(1)) : nullptr;
    if (description == nullptr || badSeparator) {
        Err(
            QStringLiteral("upotreba: zodractl export PUTANJA articles|partners DATOTEKA.csv "
                           "[--separator ;|,]"));
        return kUsage;
    }
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    try {
        const QChar sep = separator.value_or(QLatin1Char(';'));
        const auto table = zodra::registers::transfer::Export(*opened.db, *description, sep);
        QFile file(args.at(2));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            Err(QStringLiteral("Datoteka se ne može zapisati: ") + args.at(2));
            return kRefused;
        }
        // The byte-order mark lets spreadsheet programs recognise UTF-8 (č, ć, đ, š, ž).
        file.write("\xEF\xBB\xBF");
        file.write(zodra::csv::Write(table.header, table.rows, sep).toUtf8());
        if (!file.flush()) {
            Err(QStringLiteral("Datoteka se ne može zapisati: ") + args.at(2));
            return kRefused;
        }
        Out(QStringLiteral("Izvezeno redaka: ") + QString::number(table.rows.size()) +
            QLatin1Char('.'));
        return kOk;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return kRefused;
    }
}

}  // namespace zodractl
