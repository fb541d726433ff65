#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/DocumentKind.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The five simple stock documents of one warehouse: the issue note ("Izdatnica"), the return
// note ("Povratnica"), the write-off ("Rashod"), the commission return ("Odjava", commission
// warehouses only) and the return to supplier ("Povratnica dobavljaču"). They share one design,
// so one description per kind (IssueDocumentTexts) drives the same code:
//  - lines in a working copy under a session code, each naming one lot of the session's
//    warehouse and year; a line of a kind that takes goods out reserves its quantity from the
//    lot's free quantity, a return note's line (goods back into the lot) reserves nothing;
//  - posting in one transaction through documents::IssuePosting: the number, the header with its
//    trade-book position, every line taken from (or, for the return note, put back into) its
//    lot with the lot checks, the lines with their tax groups, the trade-book entry (− Σ value,
//    + Σ for the return note, whose goods raise the stock) and the consistency check;
//  - deletion in one transaction, refused while a later price change or stock count touched one
//    of its lots, while a lot no longer carries the line's prices, or while a return note's
//    goods have left the lot again.
namespace zodra::stockdocs {

struct IssueDocumentTexts {
    DocumentKind kind;
    QString word;            // on zodractl's command line and as a file's "vrsta"
    QString caption;         // "Izdatnica"
    QString listCaption;     // "Izdatnice": the list of posted documents
    QString report;          // "izdatnica.rpt": the printout with values
    QString quantityReport;  // "izdatnica_kolicina.rpt": quantities only; empty where none
    QString printTitle;      // "Ispis izdatnice br. "
    QString postedMessage;   // "Izdatnica je proknjižena pod brojem "
    QString deleteQuestion;  // "Želite li izbrisati izdatnicu!"
    QString noSuchDocument;  // "Ne postoji proknjižena izdatnica broj "
    QString priceChangeGuard;
    QString stockCountGuard;
    QString samePriceGuard;
};

// The description of one of the five kinds (any other kind is a programming error), and the
// five in menu order.
const IssueDocumentTexts& IssueDocument(DocumentKind kind);
const std::vector<IssueDocumentTexts>& IssueDocuments();

// "Količina artikla bi pala ispod nule."
QString BelowZeroMessage();
// "Ovu povratnicu nemožete izbrisati jer bi količina na skladištu nekog artikla iz povratnice
// pala ispod nule."
QString ReturnNoteBelowZeroRefusal();
// "Odjava se radi samo na komisijskom skladištu."
QString CommissionOnlyMessage();
// "Dokument nema niti jedne stavke !"
QString NoIssueLinesMessage();

// One line as the line window accepts it: the article, its lot (else the article's default lot)
// and the quantity.
struct IssueLineEntry {
    int article = 0;
    std::optional<int> lot = std::nullopt;
    double quantity = 0;
};

// Writes the line into the kind's working copy under `sessionCode` with the lot's cost and
// selling price. Refused with a quantity that is not a finite number in range or not above 0
// (the return note accepts a negative quantity while the lot does not fall below zero:
// BelowZeroMessage), beyond the lot's free quantity ("Nedovoljna količina artikla " name), a
// lot that is gone, and an Odjava outside a commission warehouse. Returns the row's id.
qint64 AddIssueLine(Session& session, DocumentKind kind, int sessionCode,
                    const IssueLineEntry& entry);
void RemoveIssueLine(Session& session, DocumentKind kind, int sessionCode, qint64 id);
void ClearWorkingIssueDocument(Session& session, DocumentKind kind, int sessionCode);

struct IssueHeaderData {
    int number = 0;  // 0 for the next number; a number already used gives the next one
    QDate date;
    QString description;  // OPIS
    std::optional<int> supplier =
        std::nullopt;  // the return to supplier's SIFRA_DOBAVLJACA (a supplier)
};

// Posts the working copy under `sessionCode`; a refusal leaves nothing written and the working
// copy as it was. Returns the number posted (the window says PostedMessage when it is not the
// one typed).
int PostWorkingIssueDocument(Session& session, DocumentKind kind, const IssueHeaderData& header,
                             int sessionCode);

// Deletes a posted document of the session's warehouse and year under the guards above: the
// quantities go back (a return note's come out again), its trade-book entry goes and the
// balances are recomputed, the pooled average of its articles is recomputed from its position,
// and the consistency check runs, all in one transaction.
void DeleteIssueDocument(Session& session, DocumentKind kind, int number);
// The guards alone, without changing anything.
void CheckIssueDocumentCanBeDeleted(Session& session, DocumentKind kind, int number);
// The list's delete command: the guards, the question (No by default), then the deletion.
// False when the user answered No.
bool DeleteIssueDocument(Session& session, Prompter& prompter, DocumentKind kind, int number);

}  // namespace zodra::stockdocs
