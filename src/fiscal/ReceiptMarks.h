#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "data/Session.h"
#include "fiscal/Outbox.h"

namespace zodra::fiscal {

// The link a receipt's QR code carries for the buyer's check of the receipt:
// "https://porezna.gov.hr/rn?jir=<JIR>&datv=<yyyyMMdd_HHmm>&izn=<total in cents>", with
// "zki=<ZKI>" instead of the JIR while the receipt is unconfirmed. The amount has no leading
// zeros and no separators, a negative receipt's a "-" in front.
QString QrText(const QString& jir, const QString& protectiveCode, const QDateTime& issued,
               double total);

// The printed marks of a fiscal record.
Session::FiscalMarks MarksOf(const FiscalRecord& record);

// The marks of a posted retail invoice (its negative receipt with `cancellation`), nullopt when
// it has no fiscal record.
std::optional<Session::FiscalMarks> ReceiptMarks(Database& db, const Session::RetailSaleEvent& key,
                                                 bool cancellation);

}  // namespace zodra::fiscal
