#include <QDate>

#include "books/VatReturn.h"
#include "books/VatXml.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Transaction.h"
#include "reports/ReportEngine.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kVatUsage =
    "upotreba: zodractl vat PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--godina G] [--spremi] "
    "[--xml IZLAZ.xml] [--pdf IZLAZ.pdf]\n"
    "          zodractl vat PUTANJA --ispis N --pdf IZLAZ.pdf [--godina G]\n"
    "          zodractl vat PUTANJA --brisi N [--godina G]";

int Usage() {
    Err(QString::fromUtf8(kVatUsage));
    return kUsage;
}

struct VatArgs {
    QDate from;
    QDate to;
    int year = 0;
    bool store = false;
    int print = 0;
    int remove = 0;
    QString xml;
    QString pdf;
};

bool Parse(const QStringList& args, VatArgs& a) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--spremi")) {
            a.store = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            return false;
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (flag == QLatin1String("--od")) {
            a.from = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
            ok = a.from.isValid();
        } else if (flag == QLatin1String("--do")) {
            a.to = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
            ok = a.to.isValid();
        } else if (flag == QLatin1String("--godina")) {
            a.year = value.toInt(&ok);
        } else if (flag == QLatin1String("--ispis")) {
            a.print = value.toInt(&ok);
        } else if (flag == QLatin1String("--brisi")) {
            a.remove = value.toInt(&ok);
        } else if (flag == QLatin1String("--xml")) {
            a.xml = value;
        } else if (flag == QLatin1String("--pdf")) {
            a.pdf = value;
        } else {
            return false;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

int StoredYear(zodra::Database& db, int year) {
    if (year > 0) {
        return year;
    }
    const QVariant v = db.Scalar(QStringLiteral(
        "SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = 'Godina koja se knjiži'"));
    return v.isValid() && v.toInt() > 0 ? v.toInt() : QDate::currentDate().year();
}

int Compute(zodra::Database& db, const VatArgs& a) {
    const int year = a.year > 0 ? a.year : a.to.year();
    zodra::books::VatReturn vat = zodra::books::ComputeVatReturn(db, year, a.from, a.to);
    for (const QString& warning : vat.warnings) {
        Err(warning);
    }
    if (!a.xml.isEmpty()) {
        // The file is checked before anything is stored: a return that cannot be filed is not
        // stored either.
        zodra::books::WriteVatReturnXml(db, vat, a.xml);
    }
    for (const zodra::books::VatLine& line : vat.form.Lines()) {
        if (line.def.kind == zodra::books::VatLineKind::Total) {
            Out(line.def.code + QLatin1Char('\t') +
                (line.def.hasBase ? zodra::MoneyText(line.base) : QStringLiteral("-")) +
                QLatin1Char('\t') +
                (line.def.hasTax ? zodra::MoneyText(line.tax) : QStringLiteral("-")));
        }
    }
    if (a.store) {
        vat.number = zodra::books::StoreVatReturn(db, vat, QStringLiteral("zodractl"));
        Out(QStringLiteral("PDV obrazac je spremljen pod brojem ") + QString::number(vat.number) +
            QStringLiteral("/") + QString::number(year) + QLatin1Char('.'));
        if (!a.pdf.isEmpty()) {
            zodra::reports::ReportEngine(db).ToPdf(
                zodra::books::VatReturnReportRequest(db, year, vat.number), a.pdf);
        }
    } else if (!a.pdf.isEmpty()) {
        // A return printed without being stored: it is written inside a transaction that is
        // never committed, printed from there and so leaves nothing behind.
        zodra::Transaction preview(db);
        const int number = zodra::books::StoreVatReturn(db, vat, QStringLiteral("zodractl"));
        zodra::reports::ReportEngine(db).ToPdf(
            zodra::books::VatReturnReportRequest(db, year, number), a.pdf);
    }
    if (!a.xml.isEmpty()) {
        Out(QStringLiteral("XML datoteka je zapisana u ") + a.xml + QLatin1Char('.'));
    }
    if (!a.pdf.isEmpty()) {
        Out(QStringLiteral("PDV obrazac je zapisan u ") + a.pdf + QLatin1Char('.'));
    }
    return kOk;
}

}  // namespace

int Vat(const QStringList& args) {
    VatArgs a;
    if (args.isEmpty() || !Parse(args, a)) {
        return Usage();
    }
    const bool compute = a.from.isValid() || a.to.isValid();
    const int modes = (compute ? 1 : 0) + (a.print > 0 ? 1 : 0) + (a.remove > 0 ? 1 : 0);
    if (modes != 1 || (compute && (!a.from.isValid() || !a.to.isValid())) ||
        (a.print > 0 && a.pdf.isEmpty())) {
        return Usage();
    }
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    zodra::Database& db = *opened.db;
    try {
        if (compute) {
            return Compute(db, a);
        }
        const int year = StoredYear(db, a.year);
        if (a.remove > 0) {
            zodra::books::DeleteVatReturn(db, year, a.remove);
            Out(QStringLiteral("PDV obrazac broj ") + QString::number(a.remove) +
                QStringLiteral(" je izbrisan."));
            return kOk;
        }
        zodra::reports::ReportEngine(db).ToPdf(
            zodra::books::VatReturnReportRequest(db, year, a.print), a.pdf);
        Out(QStringLiteral("PDV obrazac je zapisan u ") + a.pdf + QLatin1Char('.'));
        return kOk;
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
}

}  // namespace zodractl
