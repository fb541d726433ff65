#include <QDate>

#include "data/Session.h"
#include "payments/PaymentReport.h"
#include "payments/PaymentSlip.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kReportUsage =
    "upotreba: zodractl saldakonti PUTANJA IZVJESTAJ [--od DD.MM.GGGG --do DD.MM.GGGG] "
    "[--partner SIFRA]... [--skladiste N] --pdf IZLAZ.pdf";
const char* kSlipUsage =
    "upotreba: zodractl uplatnice PUTANJA (--virman|--uplatnica|--ura) [--knjiga B] "
    "[--skladiste N] [--od-broja N --do-broja N] [--od DD.MM.GGGG --do DD.MM.GGGG] --pdf IZLAZ.pdf";

int Usage(const char* text) {
    Err(QString::fromUtf8(text));
    return kUsage;
}

bool TakeNumber(const QString& value, int& number) {
    bool ok = false;
    number = value.toInt(&ok);
    return ok;
}

void Written(const QString& pdf, int pages) {
    Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")."));
}

}  // namespace

int PaymentReport(const QStringList& args) {
    if (args.size() < 2) {
        return Usage(kReportUsage);
    }
    const auto kind = zodra::payments::PaymentReportByName(args.at(1));
    if (!kind) {
        Err(QStringLiteral("Nepoznat izvještaj ") + args.at(1) + QLatin1Char('.'));
        return kUsage;
    }
    zodra::reports::RangeInput input;
    zodra::payments::PaymentReportChoice choice;
    QString pdf;
    int warehouse = 0;
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        const QString& flag = args.at(i);
        const QString& value = args.at(i + 1);
        int number = 0;
        if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--partner") && TakeNumber(value, number)) {
            choice.partners.push_back(number);
        } else if (flag == QLatin1String("--skladiste") && TakeNumber(value, number)) {
            warehouse = number;
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else {
            return Usage(kReportUsage);
        }
    }
    if (pdf.isEmpty() || (args.size() % 2) != 0) {
        return Usage(kReportUsage);
    }
    const bool ranged = !zodra::payments::PaymentReportOf(*kind).dateField.isEmpty();
    if (ranged) {
        CommandLinePrompter prompter(false);
        choice.range = zodra::reports::AcceptRange(input, prompter);
        if (!choice.range) {
            return kRefused;
        }
    }
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        const auto request = zodra::payments::PaymentReportRequest(session, *kind, choice);
        Written(pdf, zodra::reports::ReportEngine(session.Db()).ToPdf(request, pdf));
    });
}

int PaymentSlips(const QStringList& args) {
    if (args.isEmpty()) {
        return Usage(kSlipUsage);
    }
    std::optional<zodra::payments::SlipKind> kind;
    zodra::reports::RangeInput input;
    QString pdf;
    int book = 1;
    int warehouse = 0;
    int first = 1;
    int last = 999999999;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--virman")) {
            kind = zodra::payments::SlipKind::OutputInvoiceOrder;
            continue;
        }
        if (flag == QLatin1String("--uplatnica")) {
            kind = zodra::payments::SlipKind::OutputInvoiceCash;
            continue;
        }
        if (flag == QLatin1String("--ura")) {
            kind = zodra::payments::SlipKind::InputInvoiceOrder;
            continue;
        }
        if (i + 1 >= args.size()) {
            return Usage(kSlipUsage);
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--knjiga")) {
            ok = TakeNumber(value, book) && book > 0;
        } else if (flag == QLatin1String("--skladiste")) {
            ok = TakeNumber(value, warehouse);
        } else if (flag == QLatin1String("--od-broja")) {
            ok = TakeNumber(value, first);
        } else if (flag == QLatin1String("--do-broja")) {
            ok = TakeNumber(value, last);
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else {
            ok = false;
        }
        if (!ok) {
            return Usage(kSlipUsage);
        }
    }
    if (!kind || pdf.isEmpty() || input.fromText.isEmpty() != input.toText.isEmpty()) {
        return Usage(kSlipUsage);
    }
    std::optional<zodra::reports::ReportRange> range;
    if (!input.fromText.isEmpty()) {
        CommandLinePrompter prompter(false);
        range = zodra::reports::AcceptRange(input, prompter);
        if (!range) {
            return kRefused;
        }
    }
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        std::vector<zodra::payments::PaymentSlip> slips;
        if (*kind == zodra::payments::SlipKind::InputInvoiceOrder) {
            slips = zodra::payments::InputInvoiceSlips(session.Db(), book, session.businessYear,
                                                       first, last);
        } else {
            zodra::payments::OutputSlipRange r;
            r.warehouse = session.activeWarehouse.code;
            r.book = book;
            r.year = session.businessYear;
            r.firstNumber = first;
            r.lastNumber = last;
            r.from = range ? range->from : QDate(session.businessYear, 1, 1);
            r.to = range ? range->to : QDate(session.businessYear, 12, 31);
            slips = zodra::payments::OutputInvoiceSlips(session.Db(), r);
        }
        const auto request = zodra::payments::PaymentSlipRequest(*kind, slips);
        Written(pdf, zodra::reports::ReportEngine(session.Db()).ToPdf(request, pdf));
    });
}

}  // namespace zodractl
