#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

// What the article register knows beyond its description: barcode and code look-ups, the
// information block of the list window, the tax-group rule, the group filter, and the data an
// article carries beside its row (vehicle, extra data, packaging).
namespace zodra::registers::articles {

// The barcode as text for a Code 39 barcode font: upper case between the start and stop
// marks ("*"); characters the symbology lacks are left out.
QString BarcodeFontText(const QString& barcode);

// An article by its exact barcode, by its code (letter case folded), or nothing.
std::optional<int> FindByBarcode(Database& db, const QString& barcode);
std::optional<int> FindByCode(Database& db, const QString& code);

// Whether the article has any movement on its article card (any warehouse, any year).
bool HasMovements(Database& db, int article);

// Refuses changing the tax group of an article with movements; a new group for an article
// without movements, or the same group, passes.
void CheckTaxGroupChange(Database& db, int article, const QVariant& newTaxGroup);

// The information block of the list window for the shown article in the active warehouse and
// business year.
struct Information {
    double stock = 0;     // over all its lots with quantity
    double reserved = 0;  // REZERVIRANO
    bool hasReceipt = false;
    // From its last receipt line in this warehouse and year.
    double purchasePrice = 0;
    double wholesalePrice = 0;         // without tax
    double wholesalePriceWithTax = 0;  // with the tax of its group
    double marginPercent = 0;
    QString supplier;  // name + " : primka " + number
    double taxRate = 0;
    double currencyPriceWithTax = 0;  // CIJENA_U_VALUTI x (1 + STOPA / 100)
    QString currencyName;
};
Information Info(Database& db, int article, int warehouse, int year);

// The group box of the list window. No group: all articles. A group without articles shows
// its message and all articles.
struct GroupChoice {
    std::optional<int> group;  // the filter in force
    int count = 0;
    QString label;    // "Za izabranu grupu artikala : 12 art."
    QString message;  // shown to the user when not empty
};
GroupChoice ChooseGroup(Database& db, std::optional<int> group);

// "Vozilo": ticking adds the article's vehicle row, unticking deletes it with its data.
bool IsVehicle(Database& db, int article);
void SetVehicle(Database& db, int article, bool vehicle);
struct VehicleData {
    QString kind;  // VRSTA_VOZILA
    QString make;
    QString model;
    QString chassisNumber;
    QString engineNumber;
    std::optional<int> year;
    QString colour;
    QString note;
};
std::optional<VehicleData> Vehicle(Database& db, int article);
void SaveVehicle(Database& db, int article, const VehicleData& data);

// "Dodatni podaci": the names of the extra data asked for on invoice lines, by position.
struct ExtraData {
    int position = 0;
    QString name;
};
std::vector<ExtraData> ExtraDataOf(Database& db, int article);
// Adds a name at the next position; an empty name is refused.
int AddExtraData(Database& db, int article, const QString& name);
void DeleteExtraData(Database& db, int article, int position);

// "Ambalaža": packaging that goes with one unit of the article.
struct PackagingLink {
    int packaging = 0;
    QString name;
    double quantity = 0;
};
std::vector<PackagingLink> PackagingOf(Database& db, int article);
// Sets (adds or changes) the quantity of a packaging per unit; the quantity is typed text.
void LinkPackaging(Database& db, int article, int packaging, const QVariant& quantity);
void UnlinkPackaging(Database& db, int article, int packaging);

}  // namespace zodra::registers::articles
