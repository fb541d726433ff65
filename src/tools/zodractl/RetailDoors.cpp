#include <QStringList>

#include "data/Errors.h"
#include "data/Session.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailJson.h"
#include "sales/InvoiceRemoval.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

// A register sale from a file ("vrsta": "maloprodaja", docs/retail-json.md). Retail invoices
// posted into the invoice book are cancelled and deleted through the invoice's doors ("racun",
// --knjiga 1); the detail invoices of the summing mode through these.
ReadFile ReadRetailSale(zodra::Database& db, const QByteArray& json) {
    const auto sale =
        std::make_shared<zodra::retail::JsonRetailSale>(zodra::retail::ParseRetailJson(db, json));
    ReadFile file;
    file.warehouse = sale->warehouse;
    file.post = [sale](zodra::Session& session, CommandLinePrompter& prompter) {
        const zodra::retail::PostedJsonSale posted =
            zodra::retail::PostRetailJson(session, prompter, *sale);
        QString message = QStringLiteral("Maloprodajni račun je proknjižen pod brojem ") +
                          QString::number(posted.number) + QStringLiteral(" (ukupno ") +
                          QString::number(posted.total, 'f', 2) + QLatin1Char(')');
        if (posted.paymentWritten) {
            message += QStringLiteral("; naplata je upisana");
        }
        return message + QLatin1Char('.');
    };
    return file;
}

void CancelDetail(zodra::Session& session, CommandLinePrompter& prompter,
                  const DocumentArgs& args) {
    if (!prompter.AskYesNo(zodra::sales::CancelQuestion(), zodra::sales::CancelTitle(), false)) {
        throw zodra::UserError(QStringLiteral("Račun nije storniran."));
    }
    zodra::retail::CancelDetailInvoice(session, args.number, args.date);
    Out(QStringLiteral("Maloprodajni račun broj %1 je storniran.").arg(args.number));
}

void DeleteDetail(zodra::Session& session, CommandLinePrompter& prompter,
                  const DocumentArgs& args) {
    if (!prompter.AskYesNo(zodra::sales::DeleteQuestion(), zodra::sales::DeleteTitle(), false)) {
        throw zodra::UserError(QStringLiteral("Račun nije izbrisan."));
    }
    zodra::retail::DeleteDetailInvoice(session, args.number);
    Out(QStringLiteral("Maloprodajni račun broj %1 je izbrisan.").arg(args.number));
}

}  // namespace

std::vector<DocumentDoors> RetailDoors() {
    return {{QStringLiteral("maloprodaja"), ReadRetailSale, CancelDetail, DeleteDetail, nullptr}};
}

}  // namespace zodractl
