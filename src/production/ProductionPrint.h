#pragma once

#include <QString>

#include "reports/ReportEngine.h"

namespace zodra {
class Session;
}

// The printouts of production: a posted work order ("r_nalog.rpt", with the products of its
// receipt and its costs as sub-reports) and a bill of materials ("sastavn.rpt" with
// "sastavn_trosk.rpt").
namespace zodra::production {

// "Ispis radnog naloga br. " n; a work order not posted in the session's warehouse and year is
// refused with "Ne postoji proknjiženi radni nalog broj " n.
reports::ReportRequest WorkOrderPrintRequest(Session& session, int number);

// A posted finishing work order ("r_nalog_dor.rpt": per product its material and services),
// "Ispis radnog naloga dorade br. " n; one not posted in the session's warehouse and year is
// refused with "Ne postoji proknjiženi radni nalog dorade broj " n.
reports::ReportRequest FinishingOrderPrintRequest(Session& session, int number);

// "Izvještaj : Sastavnica za " + product name; an unknown bill is refused with "Ne postoji
// sastavnica broj " n.
reports::ReportRequest BillPrintRequest(Session& session, int bill);

}  // namespace zodra::production
