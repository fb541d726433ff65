#pragma once

#include <QByteArray>
#include <QString>

#include "fiscal/EInvoiceData.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The business e-invoice: a posted output invoice as a UBL 2.1 Invoice following the Croatian
// core use with extensions (process P1), and its cancellation as a UBL 2.1 CreditNote that
// refers to it (process P10). The document is written unsigned: the information intermediary
// that sends it signs it on the way, and the signature block stays empty, as the rules allow.
namespace zodra::fiscal {

enum class EInvoiceKind {
    Invoice,     // the invoice as issued (also for an invoice cancelled later)
    CreditNote,  // the cancellation of a cancelled invoice
};

// The customization the Croatian rules require of every e-invoice.
QString EInvoiceCustomization();

// The UBL document of `data`. A credit note of an invoice that is not cancelled is refused
// ("Račun broj " n " nije storniran.").
QByteArray EInvoiceXml(const EInvoiceData& data, EInvoiceKind kind);

// Reads the invoice and writes its document.
QByteArray EInvoiceXml(Database& db, int warehouse, int book, int year, int number,
                       EInvoiceKind kind);

// The file name of the document in the intermediary's pick-up folder: "eRacun_" or
// "Odobrenje_" followed by the invoice's number ("eRacun_15-1-2-2026.xml").
QString EInvoiceFileName(const EInvoiceData& data, EInvoiceKind kind);

// Writes the document to `path` through a temporary file in the same folder that is renamed
// into place, so that an intermediary watching the folder never picks up half a file. A file
// that cannot be written is refused ("Datoteku " path " nije moguće zapisati.").
void WriteEInvoiceFile(const QString& path, const QByteArray& xml);

// Issues the document for the intermediary: written to `path` (as WriteEInvoiceFile) inside one
// transaction with what the session's wiring records of it (the e-invoice's fiscalization
// report, queued), which the wiring sends once it has committed. A file that cannot be written
// records nothing.
void IssueEInvoice(Session& session, const EInvoiceData& data, EInvoiceKind kind,
                   const QString& path);

}  // namespace zodra::fiscal
