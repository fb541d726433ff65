#include "fiscal/ReceiptMarks.h"

#include <cmath>

#include "data/Rounding.h"

namespace zodra::fiscal {

QString QrText(const QString& jir, const QString& protectiveCode, const QDateTime& issued,
               double total) {
    const qint64 cents = std::llround(RoundMoney(total) * 100);
    const QString code =
        jir.isEmpty() ? QStringLiteral("zki=") + protectiveCode : QStringLiteral("jir=") + jir;
    return QStringLiteral("https://porezna.gov.hr/rn?") + code + QStringLiteral("&datv=") +
           issued.toString(QStringLiteral("yyyyMMdd_HHmm")) + QStringLiteral("&izn=") +
           QString::number(cents);
}

Session::FiscalMarks MarksOf(const FiscalRecord& record) {
    const FiscalReceipt& r = record.receipt;
    Session::FiscalMarks marks;
    marks.number = FiscalNumber(r);
    marks.protectiveCode = r.protectiveCode;
    marks.jir = record.jir;
    marks.operatorMark = record.operatorName.isEmpty() ? r.operatorOib : record.operatorName;
    marks.issued = r.issued;
    marks.qrText = QrText(record.jir, r.protectiveCode, r.issued, r.total);
    return marks;
}

std::optional<Session::FiscalMarks> ReceiptMarks(Database& db, const Session::RetailSaleEvent& key,
                                                 bool cancellation) {
    const std::optional<FiscalRecord> record = FindFiscalRecord(
        db, {key.warehouse, key.book, key.year, key.number, key.detailed, cancellation});
    if (!record) {
        return std::nullopt;
    }
    return MarksOf(*record);
}

}  // namespace zodra::fiscal
