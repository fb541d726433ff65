#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

// The trade book: the statutory running record of the value of goods in a warehouse, one book
// per warehouse and business year. The wholesale book gets one entry from every posted stock
// document (at selling value without tax); the retail book is kept by direct entries. Every
// entry carries its sequence number RBR and the running balance STANJE_ROBE after it. A stock
// document stores the RBR of its wholesale entry as its RBR_TK, and RBR_TK orders all stock
// movements of a warehouse and year in time: the valuation of pooled lots replays movements in
// that order.
namespace zodra::tradebook {

enum class Book { Wholesale, Retail };

// TRGOVACKA_KNJIGA_VELEPRODAJE or TRGOVACKA_KNJIGA_MALOPRODAJE.
QString TableName(Book book);

// The type of entries typed into a book by hand.
QString DirectEntryType();

// One entry as a document or a direct entry writes it. The totals and the balance are derived.
struct Entry {
    int warehouse = 0;
    int year = 0;
    QString type;  // TIP_DOKUMENTA, e.g. "PRIMKA", "1RAČUN", "DIREKTAN UPIS"
    int documentNumber = 0;
    QDate date;
    QString description;
    double purchaseValue = 0;  // NABAVA_VRIJEDNOST: charged to stock (+ in, − out)
    double purchaseTax = 0;    // NABAVA_POREZ, retail book only
    double salesValue = 0;     // PRODAJA_VRIJEDNOST
    double salesTax = 0;       // PRODAJA_POREZ
};

// An entry as it is stored.
struct StoredEntry {
    int number = 0;  // RBR
    Entry entry;
    double purchaseTotal = 0;  // NABAVA_UKUPNO (retail)
    double salesTotal = 0;     // PRODAJA_UKUPNO
    double balance = 0;        // STANJE_ROBE
};

// How an entry moves the balance. Wholesale: purchase value less sales value. Retail: the same
// with their taxes, so that the running balance is the stock at retail value with tax; the
// recomputation uses the same rule, so deleting an entry never changes the other balances.
double BalanceChange(Book book, const Entry& entry);

// The number the next entry of the warehouse and year gets: the last plus one, or 1.
int NextBookNumber(Database& db, Book book, int warehouse, int year);
// The balance after the last entry of the warehouse and year, or 0 when there is none.
double LastBalance(Database& db, Book book, int warehouse, int year);
// Direct entries are numbered apart from the documents: the highest direct-entry number plus
// one, or 1.
int NextDirectEntryNumber(Database& db, Book book, int warehouse, int year);

// Appends an entry with the next number and the balance carried from the last entry. Runs
// inside the caller's posting transaction (a document and its entry are written together or
// not at all); outside one it is a programming error. A document that stored its RBR_TK before
// the entry was written passes that number as expectedNumber; if it is not the number the
// entry gets, nothing is written and std::logic_error is thrown. Returns the entry's number.
int AppendEntry(Database& db, Book book, const Entry& entry,
                std::optional<int> expectedNumber = std::nullopt);

// Rewrites the running balance of every entry of the warehouse and year in one pass in RBR
// order, starting from 0. Entry numbers are not renumbered: gaps left by deletions stay. Only
// balances that change are written. Returns the number of entries rewritten.
int RecomputeBalance(Database& db, Book book, int warehouse, int year);

// The entry of a posted document, found by warehouse, type, year and document number (the
// index SKLADISTE_TIP_GODINA_BROJ). With several, the last.
std::optional<int> FindDocumentEntry(Database& db, Book book, int warehouse, const QString& type,
                                     int year, int documentNumber);

// Deletes the entry of a document that is being deleted and recomputes the balances (a caller
// deleting several entries at once may recompute only after the last). Runs inside the
// caller's transaction. Returns the number of entries deleted (0 when the document had none,
// e.g. it had no article lines).
int DeleteDocumentEntry(Database& db, Book book, int warehouse, const QString& type, int year,
                        int documentNumber, bool recompute = true);

// A direct entry ("Upis u TK veleprodaje" / "Upis u TK maloprodaje"): type "DIREKTAN UPIS",
// the next direct-entry number, the values as typed (purchase tax only in the retail book) and
// the totals. Written in a transaction of its own so that number and balance stay together.
// Returns the entry's RBR.
int AppendDirectEntry(Database& db, Book book, int warehouse, int year, const QDate& date,
                      const QString& description, double purchaseValue, double purchaseTax,
                      double salesValue, double salesTax);

// Deletes one entry chosen in the book window and recomputes the balances. Only direct entries
// may go this way; the entry of a posted document goes only with its document, and asking
// otherwise is refused with a message. An entry that no longer exists is not an error.
void DeleteEntryInWindow(Database& db, Book book, int warehouse, int year, int number);

// The message refusing to delete a document's entry in the book window.
QString DocumentEntryRefusal();

// Entries of the warehouse and year dated within [from, to], in RBR order.
std::vector<StoredEntry> Entries(Database& db, Book book, int warehouse, int year,
                                 const QDate& from, const QDate& to);

// Printing: the report file, the report title and the window title for a date range.
QString ReportFile(Book book);
QString ReportTitle(Book book, const QDate& from, const QDate& to);
QString ReportWindowTitle(Book book, const QDate& from, const QDate& to);

}  // namespace zodra::tradebook
