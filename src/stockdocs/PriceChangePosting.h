#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Posting a price change ("Proknjiži" in "Izmjena cijena") from the session's working copy.
namespace zodra::stockdocs {

// The header as the window collects it.
struct PriceChangeHeaderData {
    int number = 0;  // proposed (the next number) or typed; 0 for the next number
    QDate date;
};

// The number box: a whole number ("Nije ispravno upisan broj !") of no price change already
// posted in the warehouse and year ("Izmjena cijena pod ovim brojem je već napravljena !").
int CheckPriceChangeNumber(Database& db, int warehouse, int year, const QString& typed);

// "Izmjena cijena je proknjižena pod brojem " n
QString PostedMessage(int number);

// The three checks of each line against its lot, which name the article.
QString QuantityChangedMessage(const QString& articleName);  // "Količina artikla … se promijenila."

// Posts the lines of the working copy under `sessionCode` as a price change of the session's
// warehouse and year, in one transaction: the number (the one given while it is free, else the
// next), the header with its trade-book position, every lot checked and repriced — a lot gone
// ("Napravljen je storno primke po kojoj je ušao artikal " name), a quantity that is no longer
// the line's ("Količina artikla " name " se promijenila.") or a selling price that is no longer
// the line's old price ("Promijenjena je cijena artikla " name) refuses the whole posting —,
// the lines copied with their tax groups, the working copy cleared, the trade-book entry
// "IZMJENA CIJENA" with Σ (new − old) × quantity, and the consistency check. A refusal leaves
// nothing written and the working copy as it was. `description` is the OPIS of the header and
// its trade-book entry (empty: "IZMJENA CIJENA " + number). Returns the number posted.
int PostWorkingPriceChange(Session& session, const PriceChangeHeaderData& header, int sessionCode,
                           const QString& description = QString());

// The same for the session's own working copy (the window's "Proknjiži").
int PostPriceChange(Session& session, const PriceChangeHeaderData& header);

}  // namespace zodra::stockdocs
