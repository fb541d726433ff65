#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

#include "stockdocs/PriceChangePosting.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Price changes from a file (docs/price-change-json.md), posted through the same working copy,
// line entry and posting as the window "Izmjena cijena".
namespace zodra::stockdocs {

// One line of the file: the article, the lot when the file names one, and the new price
// without tax or with tax (the other follows from the article's tax rate).
struct JsonPriceChangeLine {
    int article = 0;
    std::optional<int> lot;
    std::optional<double> price;
    std::optional<double> priceWithTax;
};

struct JsonPriceChange {
    int warehouse = 0;
    PriceChangeHeaderData header;
    std::vector<JsonPriceChangeLine> lines;
};

// Reads the file; names are resolved against the company (article by code, article code
// (OPIS) or barcode). A file that does not read, or names what the company does not have, is
// refused with a message naming the field (and the line).
JsonPriceChange ParsePriceChangeJson(Database& db, const QByteArray& json);

// Posts a read price change in the session's warehouse: each line entered into the working
// copy as "Upis" enters it (the lots per stock-keeping method, a price with tax turned into the
// price without tax), then posted with every check, all in one transaction: a refusal leaves
// nothing, not even working lines. Returns the number posted.
int PostPriceChangeFromJson(Session& session, const JsonPriceChange& priceChange);

}  // namespace zodra::stockdocs
