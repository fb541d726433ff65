#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "data/DocumentKind.h"
#include "data/TableData.h"
#include "reports/ReportEngine.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the windows of the five simple stock documents show and print, for any of the five kinds
// (IssueDocumentTexts): the working lines being drawn up, the posted documents of a warehouse
// and year, one document's lines, and its printout.
namespace zodra::stockdocs {

// The session's working lines of the kind in the order entered, the row id hidden first:
// "Šifra", "Naziv", "Primka", "Količina", "Nab. cijena", "Nab. vrijednost", "Cijena",
// "Vrijednost".
TableData WorkingIssueGrid(Session& session, DocumentKind kind, int sessionCode);
// "Nabavna vrijednost : 14,05 EUR   Ukupno : 17,89 EUR": Σ NABAVNA_VRIJEDNOST and Σ VRIJEDNOST of
// the working lines, each line at the cent.
QString WorkingIssueTotals(Session& session, DocumentKind kind, int sessionCode);

// The number box: a whole number from 1 ("Nije ispravno upisan broj !"). A number already used
// is no refusal: posting takes the next free one and says so.
int CheckIssueNumber(const QString& typed);

// The suppliers a return to supplier may name (partners marked "Dobavljac"), by name.
std::vector<std::pair<int, QString>> SupplierChoices(Database& db);

// The list of posted documents: "Broj", "Datum", "Opis", ("Dobavljač" for the return to
// supplier), "Nab. vrijednost", "Vrijednost", by number.
TableData IssueDocumentChoices(Database& db, DocumentKind kind, int warehouse, int year);
// The line under the list: "Datum: 02.03.2026   Vrijednost: 17,89 EUR", the supplier and the
// description where there are ones.
QString IssueDocumentDetails(Database& db, DocumentKind kind, int warehouse, int year, int number);
// The lines of a posted document (as the working grid, without the row id), by article name.
TableData PostedIssueLines(Database& db, DocumentKind kind, int warehouse, int year, int number);

// The printout of a posted document: the kind's report with values, or its report of
// quantities only where it has one (IssueDocumentTexts::quantityReport), titled "Ispis
// izdatnice br. " n, the lines selected by warehouse, year and number ("{STAVKE_IZDATNICA.
// SKLADISTE}=1 AND …"). Refused with the kind's "Ne postoji proknjižena … broj " n.
reports::ReportRequest IssuePrintRequest(Session& session, DocumentKind kind, int number,
                                         bool quantitiesOnly = false);

}  // namespace zodra::stockdocs
