#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

#include "stockdocs/StockCount.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Stock counts from a file (docs/stock-count-json.md): the count prepared from the lots as the
// window prepares it, the counted quantities of the lines the file names, then posted — all in
// one transaction.
namespace zodra::stockdocs {

struct JsonStockCountLine {
    int article = 0;
    std::optional<int> lot;
    double counted = 0;
};

struct JsonStockCount {
    int warehouse = 0;
    StockCountHeaderData header;
    bool zero = false;  // "nula": lots the file does not name are counted 0, else as booked
    std::vector<JsonStockCountLine> lines;
};

JsonStockCount ParseStockCountJson(Database& db, const QByteArray& json);

// Posts a read count in the session's warehouse; returns its number.
int PostStockCountFromJson(Session& session, const JsonStockCount& count);

}  // namespace zodra::stockdocs
