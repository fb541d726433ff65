#include <QDate>
#include <QFile>
#include <QTextStream>

#include "books/IraBookReport.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kIraUsage =
    "upotreba: zodractl ira PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--skladiste N] "
    "[--knjiga N] [--godina GGGG] [--vrsta ukupno|dnevno|placeno|placeno-dnevno] "
    "[--od-broja N] [--do-broja N] [--pdf IZLAZ.pdf] [--csv IZLAZ.csv]";

std::optional<zodra::books::IraVariant> VariantOf(const QString& word) {
    using zodra::books::IraVariant;
    if (word == QLatin1String("ukupno")) {
        return IraVariant::Total;
    }
    if (word == QLatin1String("dnevno")) {
        return IraVariant::RetailDaily;
    }
    if (word == QLatin1String("placeno")) {
        return IraVariant::Paid;
    }
    if (word == QLatin1String("placeno-dnevno")) {
        return IraVariant::PaidRetailDaily;
    }
    return std::nullopt;
}

// The session's rows of the book as a CSV file: amounts as numbers with a decimal point.
void WriteCsv(zodra::Database& db, int sessionCode, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw zodra::UserError(QStringLiteral("Datoteku ") + path +
                               QStringLiteral(" nije moguće zapisati."));
    }
    QTextStream out(&file);
    zodra::Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"BROJ_STRANICE\", \"RBR\", \"DATUM\", \"DATUM_PLACANJA\", \"RACUN\", \"KUPAC\", "
        "\"OIB\", \"UKUPNO\", \"OSNOVICA_1\", \"POREZ_1\", \"OSNOVICA_2\", \"POREZ_2\", "
        "\"OSNOVICA_3\", \"POREZ_3\", \"OSNOVICA_EU\", \"OSNOVICA_IZVOZ\", "
        "\"OSNOVICA_OSLOBODENO\", \"OSNOVICA_PRIJENOS\", \"OSNOVICA_OSTALO\", \"POREZ_OSTALO\" "
        "FROM \"KNJIGA_IRA_IZVJESTAJ\" WHERE \"SESIJA\" = ? ORDER BY \"ID\""));
    rows.Exec({sessionCode});
    for (int i = 0; i < rows.ColumnCount(); ++i) {
        out << (i ? ";" : "") << rows.ColumnName(i);
    }
    out << '\n';
    while (rows.Next()) {
        for (int i = 0; i < rows.ColumnCount(); ++i) {
            if (i) {
                out << ';';
            }
            if (rows.IsNull(i)) {
                continue;
            }
            if (i >= 7) {
                out << QString::number(rows.Double(i), 'f', 2);
            } else {
                QString text = rows.Value(i).toString();
                text.replace(QLatin1Char(';'), QLatin1Char(','));
                out << text;
            }
        }
        out << '\n';
    }
}

}  // namespace

int Ira(const QStringList& args) {
    if (args.isEmpty()) {
        Err(QString::fromUtf8(kIraUsage));
        return kUsage;
    }
    int warehouse = 0;
    int book = 1;
    int year = 0;
    zodra::books::IraVariant variant = zodra::books::IraVariant::Total;
    zodra::reports::RangeInput input;
    QString pdf;
    QString csv;
    std::optional<int> first;
    std::optional<int> last;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (i + 1 >= args.size()) {
            Err(QString::fromUtf8(kIraUsage));
            return kUsage;
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (flag == QLatin1String("--skladiste")) {
            warehouse = value.toInt(&ok);
        } else if (flag == QLatin1String("--knjiga")) {
            book = value.toInt(&ok);
        } else if (flag == QLatin1String("--godina")) {
            year = value.toInt(&ok);
        } else if (flag == QLatin1String("--od-broja")) {
            first = value.toInt(&ok);
        } else if (flag == QLatin1String("--do-broja")) {
            last = value.toInt(&ok);
        } else if (flag == QLatin1String("--vrsta")) {
            const auto chosen = VariantOf(value);
            ok = chosen.has_value();
            if (chosen) {
                variant = *chosen;
            }
        } else if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else if (flag == QLatin1String("--csv")) {
            csv = value;
        } else {
            ok = false;
        }
        if (!ok) {
            Err(QString::fromUtf8(kIraUsage));
            return kUsage;
        }
    }
    if (input.fromText.isEmpty() || input.toText.isEmpty() || (pdf.isEmpty() && csv.isEmpty())) {
        Err(QString::fromUtf8(kIraUsage));
        return kUsage;
    }
    CommandLinePrompter prompter(false);
    std::optional<zodra::reports::ReportRange> range = zodra::reports::AcceptRange(input, prompter);
    if (!range) {
        return kRefused;
    }
    range->first = first;
    range->last = last;
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        // The book of the year of the range unless another is named.
        session.businessYear = year > 0 ? year : range->from.year();
        const zodra::reports::ReportRequest request =
            zodra::books::PrepareIraBook(session, variant, book, *range);
        if (!csv.isEmpty()) {
            WriteCsv(session.Db(), session.sessionCode, csv);
            Out(QStringLiteral("Knjiga je zapisana u ") + csv + QStringLiteral("."));
        }
        if (!pdf.isEmpty()) {
            const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, pdf);
            Out(QStringLiteral("Izvještaj ") + request.reportFile +
                QStringLiteral(" je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
                QString::number(pages) + QStringLiteral(")."));
        }
    });
}

}  // namespace zodractl
