#pragma once

#include <QByteArray>

#include "books/UraBook.h"

namespace zodra {
class Database;
}

namespace zodra::books {

// An input invoice read from a file (docs/ura-json.md): the book, the supplier by code, exact
// name or OIB, the type, the kind of purchase and the amounts per rate (the tax computed from
// the base where the file gives none), or the amounts of a posted receipt. A file that is not
// right is refused with a message naming what; the invoice's own checks come at posting.
struct UraFile {
    int warehouse = 1;  // the session the posting runs in (and the receipt's warehouse)
    UraInvoice invoice;
};
UraFile ReadUraJson(Database& db, const QByteArray& json, int businessYear);

}  // namespace zodra::books
