#pragma once

#include <QString>
#include <optional>

namespace zodra {
class Database;
}

// Labels printed by the shop's own scales: EAN-13 codes whose first two digits are 20 to 29
// (numbers the GS1 system leaves to in-store use). What the digits mean is set per prefix in
// the company's configuration (Konfiguracija), key "Vagni barkod " + the two-digit prefix,
// value "<kind> <first>-<last> <first>-<last>": the kind TEZINA (the value is a weight in
// grams) or CIJENA (a price with tax in cents), then the digit positions (1 to 12, counted from
// the left) of the article's code and of the value. Example: "TEZINA 3-7 8-12" reads
// 2100123015005 as article 123, 1.500 kg. A prefix without a setting is an ordinary barcode.
namespace zodra::retail {

struct ScaleReading {
    int article = 0;              // ARTIKLI.SIFRA
    double quantity = 0;          // for a weight label, in kg
    std::optional<double> price;  // for a price label, the amount with tax
};

// The check digit of an EAN-13 (the 13th digit from the first 12).
int Ean13CheckDigit(const QString& first12);

// The reading of a scale label, none when the code is no scale label of this company (not 13
// digits, a prefix outside 20…29 or without a setting). A scale label with a wrong check digit
// is refused with "Neispravan kontrolni broj barkoda vage.", a setting that cannot be read with
// "Neispravna postavka '" + key + "'.".
std::optional<ScaleReading> ReadScaleBarcode(Database& db, const QString& barcode);

}  // namespace zodra::retail
