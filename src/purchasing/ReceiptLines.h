#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "purchasing/ReceiptRow.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::purchasing {

// Where the lines of a receipt live while they are worked on: the session's working copy
// (STAVKE_PRIMKE_PRIVREMENO under its session code, receipt number 0 until posting) or a
// posted receipt under correction (STAVKE_PRIMKI). Lines are identified by their line number
// (RBR_STAVKE), unique within a receipt.
struct ReceiptTarget {
    int warehouse = 0;
    int year = 0;
    int number = 0;       // the posted receipt; 0 for the working copy
    int sessionCode = 0;  // the working copy's owner

    bool IsPosted() const { return number != 0; }
    QString Table() const;

    static ReceiptTarget WorkingCopy(const Session& session);
    static ReceiptTarget Posted(const Session& session, int number);
    static ReceiptTarget Posted(int warehouse, int year, int number);
};

// Sums over the lines of a receipt: what the receipt window shows under its grid, what the
// control totals of posting compare with the summary data and what the trade book takes. Each
// is the sum of the lines' amounts rounded to the cent (see Totals and docs/money.md).
struct ReceiptTotals {
    double invoiceValue = 0;    // Σ FAKTURNA_VRIJEDNOST (all lines)
    double discount = 0;        // Σ RABAT_IZNOS
    double customs = 0;         // Σ CARINA_IZNOS
    double forwarding = 0;      // Σ SPEDICIJA_IZNOS
    double otherCosts = 0;      // Σ ZTR_IZNOS
    double costValue = 0;       // Σ NABAVNA_VRIJEDNOST ("Nabavna vr.:")
    double value = 0;           // Σ VRIJEDNOST ("Prodajna vr.:")
    double packagingValue = 0;  // Σ FAKTURNA_VRIJEDNOST of the packaging lines
    double articleValue = 0;    // Σ VRIJEDNOST of the article lines (the trade-book value)
    int lines = 0;
    int articleLines = 0;
};

// Reading and writing lines. These are the plain row operations; the rules (merging a
// repeated article, packaging that follows an article, lots and the trade book of a posted
// receipt) are in ReceiptEntry and ReceiptCorrection, which call them inside a transaction.
namespace receiptlines {

std::vector<ReceiptRow> Read(Database& db, const ReceiptTarget& target);
std::optional<ReceiptRow> Read(Database& db, const ReceiptTarget& target, int lineNumber);
// The first article line of an article (a repeated article is merged into it).
std::optional<ReceiptRow> FindArticle(Database& db, const ReceiptTarget& target, int article);
// The packaging line of a packaging (found by the receipt's own key and the packaging code).
std::optional<ReceiptRow> FindPackaging(Database& db, const ReceiptTarget& target, int packaging);
// The highest line number plus one, or 1.
int NextLineNumber(Database& db, const ReceiptTarget& target);
int CountLines(Database& db, const ReceiptTarget& target);

// Adds a line under its line number (a posted line gets the tax group and rate of its article).
// Insert and Update refuse a row outside the input limits (CheckReceiptRow) before writing.
void Insert(Database& db, const ReceiptTarget& target, const ReceiptRow& row);
// Rewrites the line with the row's line number.
void Update(Database& db, const ReceiptTarget& target, const ReceiptRow& row);
void Delete(Database& db, const ReceiptTarget& target, int lineNumber);

// Gives a line another line number; the number must be above 0 and not taken by another line.
void Renumber(Database& db, const ReceiptTarget& target, int lineNumber, int newNumber);

ReceiptTotals Totals(Database& db, const ReceiptTarget& target);

// The grid of the receipt window: one row per line in line order, the line number and kind in
// the first two (hidden) columns.
TableData Grid(Database& db, const ReceiptTarget& target);

// The packaging linked to an article: per unit of the article, at the packaging's price.
struct PackagingOfArticle {
    int packaging = 0;
    double perUnit = 0;
    double price = 0;
};
std::vector<PackagingOfArticle> PackagingOf(Database& db, int article);
// The value of the packaging that goes with one unit of the article (0 without packaging).
double PackagingValuePerUnit(Database& db, int article);

// Adds the packaging of `quantity` units of an article to the receipt: per packaging, its line
// grows by quantity × per unit (values at its price again), or a new packaging line is added.
// A line brought to quantity 0 is deleted. Returns the number of packaging lines touched.
int AddPackagingOfArticle(Database& db, const ReceiptTarget& target, int article, double quantity);
// A packaging line chosen by hand ("Ambalaža"): merged into the packaging's line the same way.
void AddPackaging(Database& db, const ReceiptTarget& target, int packaging, double quantity);

}  // namespace receiptlines
}  // namespace zodra::purchasing
