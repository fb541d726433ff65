#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "retail/RetailPayment.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// A register sale in a JSON file (docs/retail-json.md), posted through the register's own
// calls: the lines scanned or typed, F12, then the payment.
namespace zodra::retail {

struct JsonRetailLine {
    QString barcode;             // scanned (scale labels too)
    std::optional<int> article;  // or typed: "artikal" (code, article code)
    double quantity = 1;
    double discount = 0;
    std::optional<int> lot;
    bool composite = false;       // "slozeni": made at F12 (AddRegisterCompositeLine)
    std::optional<double> price;  // "cijena", a composite line's net price before discount
};

struct JsonRetailSale {
    int warehouse = 0;
    QDate date;
    QString cashier;
    std::optional<int> customer;
    std::optional<int> number;
    std::vector<JsonRetailLine> lines;
    bool paid = false;  // "placanje" given
    double cash = 0;
    double cheques = 0;
    double card = 0;
    std::optional<int> cardType;
};

// Reads the file; every fault is refused with "Datoteka maloprodajnog računa: " + what + ".".
JsonRetailSale ParseRetailJson(Database& db, const QByteArray& json);

struct PostedJsonSale {
    int number = 0;
    double total = 0;
    bool paymentWritten = false;
};

// Opens a sale in the session (started in the file's warehouse), adds the lines, checks the
// payment against the total (refusals before anything is posted; the question of a differing
// amount asked then), posts it and records the payment. A refusal before the posting leaves
// nothing; the working copy is always given up.
PostedJsonSale PostRetailJson(Session& session, Prompter& prompter, const JsonRetailSale& sale);

}  // namespace zodra::retail
