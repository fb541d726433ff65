#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "registers/RegisterDescription.h"
#include "registers/RegisterStore.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

// Customers' price lists: per list a net price (without tax) per article in a currency of
// choice, and a discount per article group with the switch "Cijene iz artikala". A partner is
// tied to at most one list (PARTNERI.CJENIK). Group 0 is the list's general row: the discount
// for every group without a row of its own.
namespace zodra::pricelists {

// The price-list register (codes and names), caption "Cjenici".
const registers::RegisterDescription& Register();

// The group code of a list's general discount row.
constexpr int kAllGroups = 0;

struct PriceRow {
    int article = 0;
    QString articleName;   // "Artikal"
    QString articleCode;   // "Šifra"
    double net = 0;        // "Cijena bez poreza"
    double withTax = 0;    // "Cijena s porezom"
    int currency = 0;      // 0: none
    QString currencyName;  // "Valuta", empty when the price has no currency
};
// The list's prices by article name; prices without a currency are listed too.
std::vector<PriceRow> Prices(Database& db, int list);

struct DiscountRow {
    int group = 0;
    QString groupName;  // "Grupa artikala"
    double discount = 0;
    bool pricesFromArticles = false;  // CijenaValuta, shown "DA" / "NE"
};
// The list's group discounts by group name.
std::vector<DiscountRow> Discounts(Database& db, int list);

// The price-with-tax pair of the price boxes.
double WithTax(double net, double taxRate);
double WithoutTax(double withTax, double taxRate);
// The tax rate of an article's tax group (0 when it has none).
double ArticleTaxRate(Database& db, int article);

// Adds a price or overwrites the article's price and currency on the list. Checks in order:
// "Nije izabran cjenik", "Nije izabran artikal", "Nije izabrana valuta" (0 = not chosen).
void SetPrice(Database& db, int list, int article, int currency, double net);
// Adds a group discount or overwrites it: "Nije izabran cjenik", "Nije izabrana grupa
// artikala" (nothing chosen; kAllGroups is the general row).
void SetDiscount(Database& db, int list, std::optional<int> group, double discount,
                 bool pricesFromArticles);
// Delete one row after "Želite li izbrisati stavku ?"; false when the user said No.
bool DeletePrice(Database& db, int list, int article, Prompter& prompter);
bool DeleteDiscount(Database& db, int list, int group, Prompter& prompter);

// Copies a list under a name the user types ("Upišite naziv novog cjenika."): the new list
// and all its prices and group discounts in one transaction. Nothing chosen: "Nije izabran
// cjenik"; an empty or cancelled answer: "Naziv cjenika nije ispravno upisan. Pokušajte
// ponovno." and nothing is copied (UserError). Returns the new list.
registers::SavedRow Copy(Database& db, int list, Prompter& prompter);

}  // namespace zodra::pricelists
