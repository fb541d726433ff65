#include <memory>

#include "data/Errors.h"
#include "data/Session.h"
#include "production/FinishingWorkOrder.h"
#include "production/ProductionPrint.h"
#include "production/WorkOrderJson.h"
#include "production/WorkOrderPosting.h"
#include "reports/ReportEngine.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

namespace pr = zodra::production;

// Writes the printout to the PDF file and says so: "Ispis radnog naloga br. 3 je zapisan u
// r.pdf (stranica: 1)."
void ToPdf(zodra::Session& session, const zodra::reports::ReportRequest& request,
           const QString& pdf) {
    const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, pdf);
    Out(request.title + QStringLiteral(" je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")."));
}

ReadFile ReadWorkOrder(zodra::Database& db, const QByteArray& json) {
    const auto order = std::make_shared<pr::JsonWorkOrder>(pr::ParseWorkOrderJson(db, json));
    auto number = std::make_shared<int>(0);
    ReadFile file;
    file.warehouse = order->warehouse;
    file.print = [number](zodra::Session& session, const QString& pdf) {
        ToPdf(session, pr::WorkOrderPrintRequest(session, *number), pdf);
    };
    file.post = [order, number](zodra::Session& session, CommandLinePrompter&) {
        const pr::PostedWorkOrder posted = pr::PostWorkOrderFromJson(session, *order);
        *number = posted.number;
        return pr::PostedMessage(posted.number) +
               QStringLiteral(" (odredišna primka %1)").arg(posted.receipt);
    };
    return file;
}

ReadFile ReadFinishingOrder(zodra::Database& db, const QByteArray& json) {
    const auto order =
        std::make_shared<pr::JsonFinishingOrder>(pr::ParseFinishingOrderJson(db, json));
    auto number = std::make_shared<int>(0);
    ReadFile file;
    file.warehouse = order->warehouse;
    file.print = [number](zodra::Session& session, const QString& pdf) {
        ToPdf(session, pr::FinishingOrderPrintRequest(session, *number), pdf);
    };
    file.post = [order, number](zodra::Session& session, CommandLinePrompter&) {
        const pr::PostedFinishingOrder posted = pr::PostFinishingOrderFromJson(session, *order);
        *number = posted.number;
        return pr::FinishingPostedMessage(posted.number);
    };
    return file;
}

// The finishing work order ("radni-nalog-dorada"): posted from a file, deleted and printed by
// number; like the ordinary one it is deleted, not cancelled.
DocumentDoors FinishingDoors() {
    DocumentDoors doors;
    doors.word = pr::FinishingOrderWord();
    doors.read = ReadFinishingOrder;
    doors.cancel = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(
            QStringLiteral("Radni nalog dorade se ne stornira nego briše (zodractl delete)."));
    };
    doors.remove = [](zodra::Session& session, CommandLinePrompter& prompter,
                      const DocumentArgs& args) {
        if (!pr::DeleteFinishingOrder(session, prompter, args.number)) {
            throw zodra::UserError(QStringLiteral("Radni nalog dorade nije izbrisan."));
        }
        Out(QStringLiteral("Radni nalog dorade broj %1 je izbrisan.").arg(args.number));
    };
    doors.print = [](zodra::Session& session, const DocumentArgs& args) {
        ToPdf(session, pr::FinishingOrderPrintRequest(session, args.number), args.pdf);
    };
    return doors;
}

}  // namespace

std::vector<DocumentDoors> ProductionDoors() {
    DocumentDoors doors;
    doors.word = pr::WorkOrderWord();
    doors.read = ReadWorkOrder;
    doors.cancel = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(
            QStringLiteral("Radni nalog se ne stornira nego briše (zodractl delete)."));
    };
    doors.remove = [](zodra::Session& session, CommandLinePrompter& prompter,
                      const DocumentArgs& args) {
        if (!pr::DeleteWorkOrder(session, prompter, args.number)) {
            throw zodra::UserError(QStringLiteral("Radni nalog nije izbrisan."));
        }
        Out(QStringLiteral("Radni nalog broj %1 je izbrisan.").arg(args.number));
    };
    doors.print = [](zodra::Session& session, const DocumentArgs& args) {
        ToPdf(session, pr::WorkOrderPrintRequest(session, args.number), args.pdf);
    };
    // A bill of materials is a register, not a document: it is only printed here.
    DocumentDoors bill;
    bill.word = QStringLiteral("sastavnica");
    bill.read = [](zodra::Database&, const QByteArray&) -> ReadFile {
        throw zodra::UserError(QStringLiteral("Sastavnica se ne knjiži."));
    };
    bill.cancel = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(QStringLiteral("Sastavnica se ne stornira."));
    };
    bill.remove = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(QStringLiteral("Sastavnica se briše u prozoru \"Sastavnice\"."));
    };
    bill.print = [](zodra::Session& session, const DocumentArgs& args) {
        ToPdf(session, pr::BillPrintRequest(session, args.number), args.pdf);
    };
    return {doors, FinishingDoors(), bill};
}

}  // namespace zodractl
