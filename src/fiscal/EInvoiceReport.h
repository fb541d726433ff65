#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include "fiscal/EInvoice.h"

// The fiscalization of a business e-invoice: the report of the issued e-invoice
// (EvidentirajERacunZahtjev) and the report of its payment (EvidentirajNaplatuZahtjev). Both are
// built here without their signature: the fiscal outbox signs a request (an enveloped XMLDSig
// as the last child of the request element), wraps it in its SOAP envelope, sends it and keeps
// it until it is confirmed, as it does for receipts.
namespace zodra::fiscal {

QString EFiscalizationNamespace();  // …/fin/2024/types/eFiskalizacija
QString EReportingNamespace();      // …/fin/2024/types/eIzvjestavanje

// The request's time stamp as the schemas write it: "2026-03-10T09:15:00.0000".
QString RequestTimeStamp(const QDateTime& sent);

// The report of an issued e-invoice (`kind` Invoice) or of its credit note, as outgoing ("I"):
// the document's number, dates, process, issuer with the operator's OIB, recipient, bank account,
// totals, VAT breakdown and lines with their KPD code, exactly as in the UBL document.
// `requestId` is the request's own identifier (a new one per send), `sent` its time.
QByteArray UnsignedEInvoiceReportRequest(const EInvoiceData& data, EInvoiceKind kind,
                                         const QString& requestId, const QDateTime& sent);

// The report of a payment of an e-invoice: paid on `paidOn`, `amount` euro, by bank transfer
// ("T"), by settlement against a counter-claim ("O") or otherwise ("Z"); a negative amount
// withdraws a payment reported before. A payment that is not a finite amount of at least a cent
// either way (up to 10^12), or another method, is refused ("Iznos naplate nije ispravan.",
// "Način naplate mora biti T, O ili Z.").
QByteArray UnsignedPaymentReportRequest(const EInvoiceData& data, const QDate& paidOn,
                                        double amount, const QString& method,
                                        const QString& requestId, const QDateTime& sent);

}  // namespace zodra::fiscal
