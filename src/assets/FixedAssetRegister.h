#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "reports/ReportEngine.h"

namespace zodra {
class Database;
}

// The fixed-asset register ("Popis dugotrajne imovine"): per business year, one row per asset
// with its purchase value, book value at the start of the year, depreciation group and yearly
// rate, the depreciation of the year and the book value at its end.
//
// Rows live in two tables. New rows are always written to POPIS_DUGOTRAJNE_IMOVINE_REV1;
// company files of earlier versions may still hold rows of a year in POPIS_DUGOTRAJNE_IMOVINE.
// The register of a year is the rows of both: the list shows them together (each marked with
// the table it came from), a row number is unique across both, and the printed list takes both.
namespace zodra::assets {

enum class AssetTable { Current, Earlier };

QString TableName(AssetTable table);  // POPIS_DUGOTRAJNE_IMOVINE_REV1 / POPIS_DUGOTRAJNE_IMOVINE

struct FixedAsset {
    AssetTable table = AssetTable::Current;
    int number = 0;            // "Redni broj"
    QString name;              // "Naziv stvari", 1 to 100 characters
    QString document;          // "Isprava broj/nadnevak", 1 to 50 characters
    double purchaseValue = 0;  // "Nabavna vrijednost"
    double bookValue = 0;      // "Knjigovodstvena vrijednost" at the start of the year
    QString group;             // "Skupina", 1 to 50 characters
    double rate = 0;           // "Stopa otpisa", percent a year
    double depreciation = 0;   // "Svota otpisa" of the year
    double yearEndValue = 0;   // "Knjigovodstvena vrijednost na kraju godine"
};

constexpr int kMaxNameLength = 100;
constexpr int kMaxDocumentLength = 50;
constexpr int kMaxGroupLength = 50;
constexpr int kMaxAssetNumber = 999999999;

// The checks of "Prihvati", in their order.
QString NameMessage();      // "Naziv stvari je duži od 100 znakova ili nije upisan!"
QString DocumentMessage();  // "Isprava broj/nadnevak je duži od 50 znakova ili nije upisan!"
QString GroupMessage();     // "Skupina je duža od 50 znakova ili nije upisana!"
// Leaving a box with too long a text.
QString NameTooLongMessage();      // "Naziv nesmije biti duži od 100 znakova."
QString DocumentTooLongMessage();  // "Isprava nesmije biti duža od 50 znakova."
QString GroupTooLongMessage();     // "Skupina nesmije biti duža od 50 znakova."
QString InvalidNumberMessage();    // "Nije ispravno upisan broj !"
QString MonthsMessage();           // "Broj mjeseci mora biti između 0 i 12. …"
QString DuplicateMessage();        // a row number the year already has
QString DeletedMessage();          // the row was deleted by another workstation meanwhile
QString YearEndMessage();          // the year-end value is not the book value less the amount
QString DeleteQuestion();          // "Želite li obrisati stavku?"
QString ListCaption();             // "Popis dugotrajne imovine"
QString EntryCaption();            // "Upis dugotrajne imovine"

// The depreciation of the year: purchase value × rate × months / 1200, at the cent. It never
// takes more than the book value left at the start of the year (an asset is not written off
// below zero), and a negative book value has nothing left to write off.
struct Depreciation {
    double amount = 0;
    double yearEndValue = 0;
};
Depreciation ComputeDepreciation(double purchaseValue, double bookValue, double rate, int months);

// Everything a stored row must satisfy, the first fault's message: the three texts in the
// order "Prihvati" checks them, then the row number, then the numbers (finite, within their
// limits: values and amounts 0 or more, the rate 0 to 100, the year-end value not below 0), and
// the year-end value is the book value less the depreciation, at the cent.
std::optional<QString> CheckAsset(const FixedAsset& asset);

// The number a new row is offered: the highest of the year in either table + 1, 1 for none.
int NextAssetNumber(Database& db, int year);
// Whether the year has a row of that number in either table.
bool AssetNumberTaken(Database& db, int year, int number);
// Whether the year has rows in the older table.
bool YearHasEarlierRows(Database& db, int year);

// The year's rows of both tables, by row number (an earlier row before a current one of the
// same number, which older files may hold).
std::vector<FixedAsset> ListAssets(Database& db, int year);

// Adds a row to POPIS_DUGOTRAJNE_IMOVINE_REV1 (asset.table is ignored). Checked with
// CheckAsset and, inside the write, for a number the year already has in either table.
void AddAsset(Database& db, int year, const FixedAsset& asset);
// Saves a changed row in the table it lives in; the row is the one that had originalNumber.
// A number changed to one the year already has is refused; a row deleted meanwhile too.
void UpdateAsset(Database& db, int year, int originalNumber, const FixedAsset& asset);
// Deletes the row (nothing when it is gone already).
void DeleteAsset(Database& db, int year, AssetTable table, int number);

// "Izvještaj": the register of the year. A year with rows in the older table prints pdi.rpt,
// which takes the rows of both tables; any other year pdi_rev1.rpt.
reports::ReportRequest AssetReportRequest(Database& db, int year);

}  // namespace zodra::assets
