#include <QStringList>

#include "data/Session.h"
#include "retail/RetailJson.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

// A register sale from a file ("vrsta": "maloprodaja", docs/retail-json.md). Posted retail
// invoices are cancelled and deleted through the invoice's doors ("racun", --knjiga 1).
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

}  // namespace

std::vector<DocumentDoors> RetailDoors() {
    return {{QStringLiteral("maloprodaja"), ReadRetailSale, nullptr, nullptr, nullptr}};
}

}  // namespace zodractl
