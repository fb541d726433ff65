#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "production/FinishingWorkOrder.h"
#include "production/WorkOrder.h"
#include "production/WorkOrderPosting.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// A work order from a file (docs/work-order-json.md), entered and posted through the same
// product entry and posting as the window, in one transaction: a refusal leaves nothing, not
// even working lines.
namespace zodra::production {

QString WorkOrderWord();  // "radni-nalog": on zodractl's command line and as a file's "vrsta"

struct JsonWorkOrder {
    int warehouse = 0;
    WorkOrderHeader header;
    std::vector<ProductEntry> products;
};

// Reads the file against the company (warehouse, destination and products must exist); a file
// that does not read is refused with a message naming the field and the line.
JsonWorkOrder ParseWorkOrderJson(Database& db, const QByteArray& json);

// Posts in the session's warehouse (started in the file's warehouse) through a working copy of
// its own session codes.
PostedWorkOrder PostWorkOrderFromJson(Session& session, const JsonWorkOrder& order);

// The finishing work order from a file (docs/finishing-work-order.md): the owner of the goods,
// and per product its quantity, whether its bill gives the material, typed material and services.
QString FinishingOrderWord();  // "radni-nalog-dorada"

struct JsonFinishingOrder {
    int warehouse = 0;
    FinishingHeader header;
    std::vector<FinishedProductEntry> products;
};
JsonFinishingOrder ParseFinishingOrderJson(Database& db, const QByteArray& json);
// Entered and posted in one transaction under a session code of its own.
PostedFinishingOrder PostFinishingOrderFromJson(Session& session, const JsonFinishingOrder& order);

}  // namespace zodra::production
