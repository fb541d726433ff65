#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "books/UraBook.h"
#include "books/UraJson.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace b = zodra::books;

namespace {

ReadFile ReadInputInvoice(zodra::Database&, const QByteArray& json) {
    ReadFile file;
    // The file is read in full once the session knows its business year; here only the
    // warehouse the session starts in.
    const QJsonValue warehouse =
        QJsonDocument::fromJson(json).object().value(QStringLiteral("skladiste"));
    file.warehouse = warehouse.isDouble() ? warehouse.toInt() : 1;
    file.post = [json](zodra::Session& session, CommandLinePrompter&) {
        const b::UraFile read = b::ReadUraJson(session.Db(), json, session.businessYear);
        const int number = b::InsertUraInvoice(session.Db(), read.invoice);
        return QStringLiteral("Ulazni račun je upisan u knjigu URA %1 pod brojem %2")
            .arg(read.invoice.book)
            .arg(number);
    };
    return file;
}

}  // namespace

DocumentDoors InputInvoiceDoors() {
    DocumentDoors doors;
    doors.word = QStringLiteral("ura");
    doors.read = ReadInputInvoice;
    doors.cancel = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(
            QStringLiteral("Ulazni račun se ne stornira nego briše (zodractl delete)."));
    };
    doors.remove = [](zodra::Session& session, CommandLinePrompter& prompter,
                      const DocumentArgs& args) {
        if (!b::UraExists(session.Db(), args.book, session.businessYear, args.number)) {
            throw zodra::UserError(b::UraMissingMessage(args.number));
        }
        if (!b::DeleteUraInvoiceAsked(session.Db(), args.book, session.businessYear, args.number,
                                      prompter)) {
            throw zodra::UserError(QStringLiteral("Ulazni račun nije izbrisan."));
        }
        Out(QStringLiteral("Ulazni račun broj %1 je izbrisan.").arg(args.number));
    };
    return doors;
}

}  // namespace zodractl
