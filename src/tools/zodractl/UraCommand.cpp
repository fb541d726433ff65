#include <QDate>
#include <QFile>

#include "books/UraReport.h"
#include "books/UraXml.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kUraUsage =
    "upotreba: zodractl ura PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--knjiga B] "
    "[--placeni|--placeni-r2] [--pdf IZLAZ.pdf] [--xml IZLAZ.xml] [--sastavio \"Ime Prezime\"]";

int Usage() {
    Err(QString::fromUtf8(kUraUsage));
    return kUsage;
}

}  // namespace

int InputInvoiceBook(const QStringList& args) {
    if (args.isEmpty()) {
        return Usage();
    }
    zodra::reports::RangeInput input;
    QString pdf;
    QString xml;
    QString preparer;
    int book = 1;
    int warehouse = 1;  // the book is the company's; a session needs a warehouse all the same
    auto kind = zodra::books::UraReportKind::Total;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--placeni")) {
            kind = zodra::books::UraReportKind::Paid;
            continue;
        }
        if (flag == QLatin1String("--placeni-r2")) {
            kind = zodra::books::UraReportKind::PaidR2;
            continue;
        }
        if (i + 1 >= args.size()) {
            return Usage();
        }
        const QString& value = args.at(++i);
        if (TakeDateFlag(flag, value, input)) {
        } else if (flag == QLatin1String("--knjiga")) {
            bool ok = false;
            book = value.toInt(&ok);
            if (!ok || book <= 0) {
                return Usage();
            }
        } else if (flag == QLatin1String("--skladiste")) {
            warehouse = value.toInt();
        } else if (flag == QLatin1String("--pdf")) {
            pdf = value;
        } else if (flag == QLatin1String("--xml")) {
            xml = value;
        } else if (flag == QLatin1String("--sastavio")) {
            preparer = value;
        } else {
            return Usage();
        }
    }
    if (input.fromText.isEmpty() || input.toText.isEmpty() || (pdf.isEmpty() && xml.isEmpty())) {
        return Usage();
    }
    CommandLinePrompter prompter(false);
    const std::optional<zodra::reports::ReportRange> range =
        zodra::reports::AcceptRange(input, prompter);
    if (!range) {
        return kRefused;
    }
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        if (!xml.isEmpty()) {
            // The form is made whole before anything is written: a refusal leaves no file.
            zodra::books::UraFormRequest request;
            request.book = book;
            request.year = session.businessYear;
            request.from = range->from;
            request.to = range->to;
            request.preparer = preparer;
            const zodra::books::UraForm form = zodra::books::BuildUraForm(session.Db(), request);
            QFile out(xml);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                out.write(form.xml) != form.xml.size()) {
                throw zodra::UserError(QStringLiteral("Datoteka ") + xml +
                                       QStringLiteral(" se ne može zapisati."));
            }
            Out(QStringLiteral("Obrazac U-RA je zapisan u ") + xml + QStringLiteral(" (računa: ") +
                QString::number(form.totals.invoices) + QStringLiteral(")."));
        }
        if (!pdf.isEmpty()) {
            const int pages =
                zodra::reports::ReportEngine(session.Db())
                    .ToPdf(zodra::books::UraReportRequest(session, book, kind, *range), pdf);
            Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
                QString::number(pages) + QStringLiteral(")."));
        }
    });
}

}  // namespace zodractl
