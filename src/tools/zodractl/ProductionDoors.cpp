#include <memory>

#include "data/Errors.h"
#include "data/Session.h"
#include "production/WorkOrderJson.h"
#include "production/WorkOrderPosting.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

namespace pr = zodra::production;

ReadFile ReadWorkOrder(zodra::Database& db, const QByteArray& json) {
    const auto order = std::make_shared<pr::JsonWorkOrder>(pr::ParseWorkOrderJson(db, json));
    ReadFile file;
    file.warehouse = order->warehouse;
    file.post = [order](zodra::Session& session, CommandLinePrompter&) {
        const pr::PostedWorkOrder posted = pr::PostWorkOrderFromJson(session, *order);
        return pr::PostedMessage(posted.number) +
               QStringLiteral(" (odredišna primka %1)").arg(posted.receipt);
    };
    return file;
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
    return {doors};
}

}  // namespace zodractl
