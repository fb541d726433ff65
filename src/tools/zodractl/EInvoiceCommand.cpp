#include <QRegularExpression>

#include "data/Session.h"
#include "fiscal/EInvoice.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kEInvoiceUsage =
    "upotreba: zodractl einvoice PUTANJA KNJIGA/BROJ IZLAZ.xml [--skladiste N] [--godina GGGG] "
    "[--odobrenje]";

struct EInvoiceArgs {
    int book = 0;
    int number = 0;
    int warehouse = 0;
    int year = 0;
    bool creditNote = false;
};

std::optional<EInvoiceArgs> Parse(const QStringList& args) {
    if (args.size() < 3) {
        Err(QString::fromUtf8(kEInvoiceUsage));
        return std::nullopt;
    }
    EInvoiceArgs parsed;
    static const QRegularExpression key(QStringLiteral("^(\\d+)/(\\d+)$"));
    const QRegularExpressionMatch m = key.match(args.at(1));
    if (!m.hasMatch() || m.captured(1).toInt() <= 0 || m.captured(2).toInt() <= 0) {
        Err(QStringLiteral("Račun nije ispravno naveden (KNJIGA/BROJ): ") + args.at(1));
        return std::nullopt;
    }
    parsed.book = m.captured(1).toInt();
    parsed.number = m.captured(2).toInt();
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        if (args.at(i) == QLatin1String("--skladiste") && i + 1 < args.size()) {
            parsed.warehouse = args.at(++i).toInt(&ok);
            if (!ok || parsed.warehouse <= 0) {
                Err(QStringLiteral("Šifra skladišta nije ispravna: ") + args.at(i));
                return std::nullopt;
            }
        } else if (args.at(i) == QLatin1String("--godina") && i + 1 < args.size()) {
            parsed.year = args.at(++i).toInt(&ok);
            if (!ok || parsed.year < 1900 || parsed.year > 2099) {
                Err(QStringLiteral("Godina nije ispravna: ") + args.at(i));
                return std::nullopt;
            }
        } else if (args.at(i) == QLatin1String("--odobrenje")) {
            parsed.creditNote = true;
        } else {
            Err(QString::fromUtf8(kEInvoiceUsage));
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace

// The e-invoice of a posted invoice (or, with --odobrenje, the credit note of its cancellation)
// written to a file, as the invoice window writes it into the intermediary's folder.
int EInvoice(const QStringList& args) {
    const std::optional<EInvoiceArgs> parsed = Parse(args);
    if (!parsed) {
        return kUsage;
    }
    const QString out = args.at(2);
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        using namespace zodra::fiscal;
        const int year = parsed->year ? parsed->year : session.businessYear;
        const EInvoiceKind kind =
            parsed->creditNote ? EInvoiceKind::CreditNote : EInvoiceKind::Invoice;
        const EInvoiceData data = ReadEInvoiceData(session.Db(), session.activeWarehouse.code,
                                                   parsed->book, year, parsed->number);
        IssueEInvoice(session, data, kind, out);
        Out((kind == EInvoiceKind::CreditNote ? QStringLiteral("Odobrenje ")
                                              : QStringLiteral("eRačun ")) +
            data.id + QStringLiteral(" zapisan u ") + out);
    });
}

}  // namespace zodractl
