#pragma once

#include <QDate>

#include "reports/ReportEngine.h"
#include "stock/TradeBook.h"

namespace zodra {
class Session;
}

namespace zodra::stock::ui {

// The print of a trade book for a date range of the active warehouse and business year:
// "tk_v.rpt" (retail "tk_m.rpt"), the entries selected by warehouse, year and dates, the title
// formula NASLOV "Trgovačka knjiga veleprodaje od … do …" and the window title
// "Izvještaj : Trgovačka knjiga veleprodaje od … do …".
reports::ReportRequest TradeBookReportRequest(const Session& session, tradebook::Book book,
                                              const QDate& from, const QDate& to);

}  // namespace zodra::stock::ui
