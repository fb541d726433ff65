#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "data/DocumentKind.h"
#include "documents/IssuePosting.h"
#include "documents/LineStore.h"
#include "production/WorkOrder.h"
#include "registers/BillsOfMaterials.h"

namespace zodra {
class Session;
}

// What both kinds of work order do alike: the ordinary one ("Radni nalog", whose products are
// received by a generated receipt) and the finishing one ("Radni nalog dorada", work on goods a
// customer owns). Both take their material out of the active warehouse's lots through part lines
// that reserve the lots' free quantity, post them with the checks of every issue, and on
// deletion put them back under the same guards.
namespace zodra::production {

// The tables and the trade-book type of a kind of work order.
struct WorkOrderTables {
    DocumentKind kind;
    QString header;    // RADNI_NALOZI, RADNI_NALOZI_DORADA
    QString parts;     // posted part lines
    QString costs;     // posted cost or service lines
    QString bookType;  // TIP_DOKUMENTA of its trade-book entry
    QString (*noSuch)(int number);
};
const WorkOrderTables& OrdinaryTables();
const WorkOrderTables& FinishingTables();

// The stock check of `quantity` units of something made of `parts` (quantities per unit; a
// fixed lot gives the whole need, otherwise the free quantities of all lots count). A fixed lot
// of a bill is named in the warning (" po izabranoj primci u sastavnici") when `billLots`.
QuantityCheck CheckParts(Session& session,
                         const std::vector<registers::billsofmaterials::Part>& parts,
                         double quantity, bool billLots = true);

// Takes the parts for `quantity` units into part lines of `kind`'s working copy under `code`,
// each line carrying `extra` columns besides the lot's prices; returns their cost value. A short
// part refuses with "Nedovoljna količina artikla " + name.
double TakeParts(Session& session, DocumentKind kind, int code,
                 const std::vector<registers::billsofmaterials::Part>& parts, double quantity,
                 const documents::Columns& extra = {});

// The part lines of a working copy taken out of their lots inside a posting (with the checks of
// every issue), with their cost and selling values and the columns they carry on.
struct TakenParts {
    std::vector<documents::TakenLine> lines;
    std::vector<documents::Columns> carried;
    double costValue = 0;
    double sellingValue = 0;
};
TakenParts TakeWorkingParts(Session& session, documents::IssuePosting& posting, DocumentKind kind,
                            int code, const QStringList& carried = {});
// Writes the taken lines and deletes the working rows (their reservations became the take).
void WriteTakenParts(Session& session, documents::IssuePosting& posting, DocumentKind kind,
                     int code, const TakenParts& taken);

// A posted work order's trade-book position and the parts it took.
struct PostedPart {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;
};
struct PostedParts {
    int position = 0;
    std::vector<PostedPart> parts;
};
// Refused with the kind's noSuch message when the order is not posted.
PostedParts ReadPostedParts(Session& session, const WorkOrderTables& tables, int number);
// A later stock count of a lot it took from (StockCountRefusal) or a lot whose price is no longer
// the line's ("Ovaj radni nalog nemožete izbrisati jer artikal " …) refuses the deletion.
void GuardPostedParts(Session& session, const PostedParts& posted);
// Inside the deletion's transaction: the parts back into their lots, the trade-book entry, the
// order's rows and the pooled averages recomputed from its position.
void RemovePostedOrder(Session& session, const WorkOrderTables& tables, int number,
                       const PostedParts& posted);

}  // namespace zodra::production
