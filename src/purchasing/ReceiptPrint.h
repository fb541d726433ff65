#pragma once

#include <QString>

#include "reports/ReportEngine.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::purchasing {

// Which receipt report is printed: the purchase calculation ("primka_k.rpt", or
// "primka_k_zavisni.rpt" with its dependent-cost items when the receipt has any), or the
// variant with retail prices ("primka_k_mpc.rpt"). Each carries the tax summary
// "PRIMKA_K_POREZ.RPT".
enum class ReceiptReport { Calculation, RetailPrices };

QString ReceiptReportFile(Database& db, int warehouse, int year, int number, ReceiptReport report);

// The print request of a posted receipt of the session's warehouse and year: title "Ispis
// primke br. " n, the receipt selected by warehouse, year and number, and the sub-reports
// selected the same way.
reports::ReportRequest ReceiptPrintRequest(Session& session, int number,
                                           ReceiptReport report = ReceiptReport::Calculation);

struct ReceiptHeaderData;

// The receipt being entered, before it is posted ("Ispis" of the receipt window): the session's
// working copy with the header as the window holds it ("primka_k_radna.rpt").
reports::ReportRequest WorkingReceiptPrintRequest(Session& session,
                                                  const ReceiptHeaderData& header);

}  // namespace zodra::purchasing
