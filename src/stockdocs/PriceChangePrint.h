#pragma once

#include <QString>

#include "reports/ReportEngine.h"
#include "stockdocs/PriceChangePosting.h"

namespace zodra {
class Session;
}

// The printout of a posted price change of the session's warehouse and year: "izmjena.rpt",
// titled "Ispis izmjene cijena br. " n; a cancelled one prints its cancellation,
// "izmjena_storno.rpt", titled "Ispis storna izmjene cijena br. " n. Either selects the lines
// by warehouse, year and number. The same holds for the price changes that receipts and
// invoices generated: they are price changes like the rest.
namespace zodra::stockdocs {

QString PriceChangeReportFile(bool cancelled);
QString PriceChangePrintTitle(int number, bool cancelled);

// The request for the price change (refused with "Ne postoji proknjižena izmjena cijena broj "
// n when there is none).
reports::ReportRequest PriceChangePrintRequest(Session& session, int number);

// "Ispis" of the window: the price change being drawn up (the session's working copy),
// "izmjena_pr.rpt" titled "Ispis izmjene cijena u radu", with the number and date of the window
// as the formulas BROJ and DATUM. A working copy without lines has nothing to print ("Izmjena
// cijena nema niti jedne stavke !").
reports::ReportRequest WorkingPriceChangePrintRequest(Session& session,
                                                      const PriceChangeHeaderData& header);

}  // namespace zodra::stockdocs
