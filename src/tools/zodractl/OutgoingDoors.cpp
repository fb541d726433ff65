#include <QDate>
#include <memory>
#include <optional>

#include "data/Errors.h"
#include "data/Session.h"
#include "sales/DeliveryNoteBilling.h"
#include "sales/InvoiceJson.h"
#include "sales/OutgoingPosting.h"
#include "sales/OutgoingPrint.h"
#include "sales/OutgoingRemoval.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

namespace s = zodra::sales;

const char* kDeliveriesUsage =
    "upotreba: zodractl invoice-deliveries PUTANJA [--kupac N] --od DD.MM.GGGG --do DD.MM.GGGG\n"
    "          [--skladiste N] [--da]";

// The file of an offer, pro-forma or delivery note: the invoice's format (docs/invoice-json.md)
// with its "vrsta"; merge questions are answered Yes, others No unless --da.
DocumentDoors Doors(const QString& word, const s::OutgoingDocument& document) {
    DocumentDoors doors;
    doors.word = word;
    doors.read = [&document](zodra::Database& db, const QByteArray& json) {
        const auto parsed = std::make_shared<s::JsonInvoice>(s::ParseInvoiceJson(db, json));
        ReadFile file;
        file.warehouse = parsed->warehouse;
        const auto number = std::make_shared<int>(0);
        file.post = [parsed, number, &document](zodra::Session& session,
                                                CommandLinePrompter& prompter) {
            const std::optional<s::PostedInvoice> posted =
                s::PostOutgoingFromJson(session, prompter, document, *parsed);
            if (!posted) {
                throw zodra::UserError(document.name + QStringLiteral(" nije proknjižen(a)."));
            }
            *number = posted->number;
            return s::OutgoingPostedMessage(document, posted->number);
        };
        file.print = [parsed, number, &document](zodra::Session& session, const QString& pdf) {
            zodra::reports::ReportEngine(session.Db())
                .ToPdf(s::OutgoingPrintRequest(session, document.kind, parsed->book, *number), pdf);
        };
        return file;
    };
    doors.remove = [&document](zodra::Session& session, CommandLinePrompter& prompter,
                               const DocumentArgs& args) {
        if (!s::DeleteOutgoing(session, prompter, document, args.book, args.number)) {
            throw zodra::UserError(document.name +
                                   QStringLiteral(" broj %1 nije izbrisan(a).").arg(args.number));
        }
        Out(document.name + QStringLiteral(" broj %1 je izbrisan(a).").arg(args.number));
    };
    doors.print = [&document](zodra::Session& session, const DocumentArgs& args) {
        s::OutgoingPrintOptions options;
        options.withoutDiscount = args.withoutDiscount;
        options.purchaseValues = args.purchaseValues;
        const zodra::reports::ReportRequest request =
            s::OutgoingPrintRequest(session, document.kind, args.book, args.number, options);
        const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, args.pdf);
        Out(request.title + QStringLiteral(" je zapisan u ") + args.pdf +
            QStringLiteral(" (stranica: ") + QString::number(pages) + QStringLiteral(")."));
    };
    doors.printsWithoutDiscount = document.kind == s::OutgoingKind::Offer;
    doors.printsPurchaseValues = document.kind == s::OutgoingKind::DeliveryNote;
    return doors;
}

}  // namespace

std::vector<DocumentDoors> OutgoingDocumentDoors() {
    return {Doors(QStringLiteral("ponuda"), s::OfferDocument()),
            Doors(QStringLiteral("predracun"), s::ProFormaDocument()),
            Doors(QStringLiteral("otpremnica"), s::DeliveryNoteDocument())};
}

int InvoiceDeliveries(const QStringList& args) {
    if (args.isEmpty()) {
        Err(QString::fromUtf8(kDeliveriesUsage));
        return kUsage;
    }
    std::optional<int> customer;
    int warehouse = 0;
    QString from, to;
    bool yes = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        bool ok = true;
        if (flag == QLatin1String("--kupac") && i + 1 < args.size()) {
            customer = args.at(++i).toInt(&ok);
        } else if (flag == QLatin1String("--skladiste") && i + 1 < args.size()) {
            warehouse = args.at(++i).toInt(&ok);
        } else if (flag == QLatin1String("--od") && i + 1 < args.size()) {
            from = args.at(++i);
        } else if (flag == QLatin1String("--do") && i + 1 < args.size()) {
            to = args.at(++i);
        } else if (flag == QLatin1String("--da")) {
            yes = true;
        } else {
            ok = false;
        }
        if (!ok) {
            Err(QString::fromUtf8(kDeliveriesUsage));
            return kUsage;
        }
    }
    if (from.isEmpty() || to.isEmpty()) {
        Err(QString::fromUtf8(kDeliveriesUsage));
        return kUsage;
    }
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        CommandLinePrompter prompter(yes, true);
        const s::BillingRange range = s::CheckBillingRange(from, to);
        const std::vector<s::BilledInvoice> billed =
            s::BillDeliveryNotes(session, prompter, customer, range);
        if (billed.empty()) {
            throw zodra::UserError(QStringLiteral("Računi nisu napravljeni."));
        }
        for (const s::BilledInvoice& invoice : billed) {
            QStringList notes;
            for (int note : invoice.notes) {
                notes << QString::number(note);
            }
            Out(QStringLiteral("Račun %1 (knjiga IRA 1) za kupca %2 iz otpremnica %3")
                    .arg(invoice.number)
                    .arg(invoice.customer)
                    .arg(notes.join(QLatin1Char(','))));
        }
    });
}

}  // namespace zodractl
