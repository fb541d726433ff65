#include <QDate>
#include <QFileInfo>
#include <QPrinter>

#include "data/Database.h"
#include "data/Errors.h"
#include "reports/ReportEngine.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kReportUsage =
    "upotreba: zodractl report PUTANJA IZVJEŠTAJ.rpt [--formula 'IME= tekst']…\n"
    "          [--selection 'FORMULA'] [--subselection 'PODIZVJEŠTAJ=FORMULA']…\n"
    "          [--param IME=VRIJEDNOST]… (--pdf IZLAZ.pdf | --printer PISAČ |\n"
    "          --csv IZLAZ.csv [--separator ;|,])";

// A parameter value as typed: whole number, decimal number, date (d.M.yyyy or yyyy-MM-dd)
// or text.
QVariant ParameterValue(const QString& text) {
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok) {
        return whole;
    }
    const double number = text.toDouble(&ok);
    if (ok) {
        return number;
    }
    for (const char* format : {"d.M.yyyy", "d.M.yyyy.", "yyyy-MM-dd"}) {
        const QDate date = QDate::fromString(text, QString::fromLatin1(format));
        if (date.isValid()) {
            return date;
        }
    }
    return text;
}

int OpenFailure(zodra::Database::OpenStatus status) {
    using S = zodra::Database::OpenStatus;
    switch (status) {
        case S::WrongPassword:
            Err(QStringLiteral("Nije upisan točan password."));
            return kWrongPassword;
        case S::Missing:
            Err(QStringLiteral("Ove datoteke nema."));
            return kMissing;
        case S::NotACompany:
            Err(QStringLiteral("Datoteka nije Zodra baza podataka."));
            return kNotACompany;
        case S::TooNew:
            Err(QStringLiteral("Datoteku je zapisala novija verzija programa."));
            return kTooNew;
        case S::Locked:
        case S::ReadOnly:
            Err(QStringLiteral("Datoteka je zaključana ili samo za čitanje."));
            return kLocked;
        default:
            Err(QStringLiteral("Datoteka je oštećena."));
            return kDamaged;
    }
}

}  // namespace

int Report(const QStringList& args) {
    if (args.size() < 2) {
        Err(QString::fromUtf8(kReportUsage));
        return kUsage;
    }
    zodra::reports::ReportRequest request;
    request.reportFile = args.at(1);
    QString pdf;
    QString printer;
    QString csv;
    QChar separator = u';';
    try {
        for (qsizetype i = 2; i < args.size(); ++i) {
            const QString& option = args.at(i);
            if (i + 1 >= args.size()) {
                Err(QString::fromUtf8(kReportUsage));
                return kUsage;
            }
            const QString value = args.at(++i);
            if (option == QLatin1String("--formula")) {
                const auto formula = zodra::reports::ParseFormula(value);
                request.Formula(formula.first, formula.second);
            } else if (option == QLatin1String("--selection")) {
                request.selection = zodra::reports::Selection::Parse(value);
            } else if (option == QLatin1String("--subselection")) {
                const qsizetype eq = value.indexOf(QLatin1Char('='));
                if (eq <= 0) {
                    Err(QStringLiteral("--subselection traži PODIZVJEŠTAJ=FORMULA"));
                    return kUsage;
                }
                request.SubreportSelection(value.left(eq).trimmed(),
                                           zodra::reports::Selection::Parse(value.mid(eq + 1)));
            } else if (option == QLatin1String("--param")) {
                const qsizetype eq = value.indexOf(QLatin1Char('='));
                if (eq <= 0) {
                    Err(QStringLiteral("--param traži IME=VRIJEDNOST"));
                    return kUsage;
                }
                request.Parameter(value.left(eq).trimmed(), ParameterValue(value.mid(eq + 1)));
            } else if (option == QLatin1String("--pdf")) {
                pdf = value;
            } else if (option == QLatin1String("--csv")) {
                csv = value;
            } else if (option == QLatin1String("--separator")) {
                if (value != QLatin1String(";") && value != QLatin1String(",")) {
                    Err(QStringLiteral("--separator je ; ili ,"));
                    return kUsage;
                }
                separator = value.at(0);
            } else if (option == QLatin1String("--printer")) {
                printer = value;
            } else if (option == QLatin1String("--title")) {
                request.title = value;
            } else {
                Err(QStringLiteral("Nepoznata opcija ") + option);
                Err(QString::fromUtf8(kReportUsage));
                return kUsage;
            }
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
    // Reports printed from a work table the program fills for one session: the command that
    // fills it prints them.
    if (!request.parameters.contains(QStringLiteral("SESIJA"))) {
        const QString file = QFileInfo(request.reportFile).fileName().toLower();
        if (file == QLatin1String("blag_izv.rpt")) {
            Err(
                QStringLiteral("Izvještaj blag_izv.rpt ispisuje se iz radne tablice blagajne: "
                               "zodractl cashbook PUTANJA --skladiste N --od DD.MM.GGGG "
                               "--do DD.MM.GGGG --pdf IZLAZ.pdf"));
            return kRefused;
        }
        if (file == QLatin1String("primka_k_radna.rpt")) {
            Err(
                QStringLiteral("Izvještaj primka_k_radna.rpt ispisuje primku u radu iz prozora "
                               "\"Primka\"; proknjiženu primku ispisuje zodractl post … --pdf."));
            return kRefused;
        }
    }
    if (int(!pdf.isEmpty()) + int(!printer.isEmpty()) + int(!csv.isEmpty()) != 1) {
        Err(QString::fromUtf8(kReportUsage));
        return kUsage;
    }
    auto opened = zodra::Database::Open(args.at(0), QString());
    if (opened.status != zodra::Database::OpenStatus::Ok ||
        qEnvironmentVariableIsSet("ZODRA_PASSWORD")) {
        opened = zodra::Database::Open(
            args.at(0), ReadPassword("ZODRA_PASSWORD", QStringLiteral("Password baze podataka: ")));
    }
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return OpenFailure(opened.status);
    }
    try {
        zodra::reports::ReportEngine engine(*opened.db);
        int pages = 0;
        if (!csv.isEmpty()) {
            const int rows = engine.ToCsv(request, csv, separator);
            Out(QStringLiteral("Izvještaj je zapisan u ") + csv + QStringLiteral(" (redaka: ") +
                QString::number(rows) + QStringLiteral(")."));
        } else if (!pdf.isEmpty()) {
            pages = engine.ToPdf(request, pdf);
            Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
                QString::number(pages) + QStringLiteral(")."));
        } else {
            QPrinter device(QPrinter::HighResolution);
            device.setPrinterName(printer);
            if (!device.isValid() || device.printerName() != printer) {
                Err(QStringLiteral("Nema pisača ") + printer + QLatin1Char('.'));
                return kRefused;
            }
            pages = engine.ToPrinter(request, device);
            Out(QStringLiteral("Izvještaj je poslan na pisač ") + printer +
                QStringLiteral(" (stranica: ") + QString::number(pages) + QStringLiteral(")."));
        }
    } catch (const std::exception& e) {
        Err(zodra::reports::FailureText(e));
        return kRefused;
    }
    return kOk;
}

}  // namespace zodractl
