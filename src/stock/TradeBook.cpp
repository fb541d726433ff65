#include "stock/TradeBook.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "data/Database.h"
#include "data/DirectStatement.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"

namespace zodra::tradebook {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

bool IsRetail(Book book) {
    return book == Book::Retail;
}

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

QString TableName(Book book) {
    return IsRetail(book) ? QStringLiteral("TRGOVACKA_KNJIGA_MALOPRODAJE")
                          : QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE");
}

QString DirectEntryType() {
    return QStringLiteral("DIREKTAN UPIS");
}

double BalanceChange(Book book, const Entry& entry) {
    if (IsRetail(book)) {
        return (entry.purchaseValue + entry.purchaseTax) - (entry.salesValue + entry.salesTax);
    }
    return entry.purchaseValue - entry.salesValue;
}

int NextBookNumber(Database& db, Book book, int warehouse, int year) {
    return numbering::NextTradeBookNumber(db, warehouse, year, IsRetail(book));
}

double LastBalance(Database& db, Book book, int warehouse, int year) {
    return sqlvalue::ToDouble(db.Scalar(QStringLiteral("SELECT \"STANJE_ROBE\" FROM ") +
                                            Q(TableName(book)) +
                                            QStringLiteral(" WHERE \"SKLADISTE\" = ? AND "
                                                           "\"GODINA\" = ? ORDER BY \"RBR\" DESC "
                                                           "LIMIT 1"),
                                        {warehouse, year}));
}

int NextDirectEntryNumber(Database& db, Book book, int warehouse, int year) {
    return numbering::NextDirectEntryNumber(db, warehouse, year, IsRetail(book));
}

int AppendEntry(Database& db, Book book, const Entry& entry, std::optional<int> expectedNumber) {
    if (db.TransactionDepth() == 0) {
        throw std::logic_error("tradebook::AppendEntry needs the posting transaction");
    }
    const int number = NextBookNumber(db, book, entry.warehouse, entry.year);
    if (expectedNumber && *expectedNumber != number) {
        throw std::logic_error("the document's RBR_TK is not the number its entry gets");
    }
    const double balance =
        LastBalance(db, book, entry.warehouse, entry.year) + BalanceChange(book, entry);
    const QVariant date = entry.date.isValid() ? QVariant(entry.date) : QVariant();
    if (IsRetail(book)) {
        db.Exec(QStringLiteral(
                    "INSERT INTO \"TRGOVACKA_KNJIGA_MALOPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                    "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                    "\"NABAVA_VRIJEDNOST\", \"NABAVA_POREZ\", \"NABAVA_UKUPNO\", "
                    "\"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", \"PRODAJA_UKUPNO\", "
                    "\"STANJE_ROBE\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {entry.warehouse, entry.year, number, entry.type, entry.documentNumber, date,
                 entry.description, entry.purchaseValue, entry.purchaseTax,
                 entry.purchaseValue + entry.purchaseTax, entry.salesValue, entry.salesTax,
                 entry.salesValue + entry.salesTax, balance});
    } else {
        db.Exec(QStringLiteral(
                    "INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                    "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                    "\"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", "
                    "\"PRODAJA_UKUPNO\", \"STANJE_ROBE\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                    "?, ?)"),
                {entry.warehouse, entry.year, number, entry.type, entry.documentNumber, date,
                 entry.description, entry.purchaseValue, entry.salesValue, entry.salesTax,
                 entry.salesValue + entry.salesTax, balance});
    }
    return number;
}

namespace {

// The running balance over the rows of a book (key, purchase and sales values, taxes, stored
// balance), with the rows whose stored balance is not the running one.
std::vector<DirectStatement::RowValue> BalanceChanges(Database& db, Book book, const QString& table,
                                                      int warehouse, int year) {
    DirectStatement rows(
        db, QStringLiteral("SELECT ") + DirectStatement::RowKey(db, QStringLiteral("\"RBR\"")) +
                QStringLiteral(", \"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", ") +
                (book == Book::Retail ? QStringLiteral("\"NABAVA_POREZ\", \"PRODAJA_POREZ\", ")
                                      : QStringLiteral("0, 0, ")) +
                QStringLiteral("\"STANJE_ROBE\" FROM ") + table +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY \"RBR\""));
    rows.Bind(0, warehouse);
    rows.Bind(1, year);
    std::vector<DirectStatement::RowValue> changes;
    double balance = 0;
    Entry entry;
    while (rows.Step()) {
        entry.purchaseValue = rows.Double(1);
        entry.salesValue = rows.Double(2);
        entry.purchaseTax = rows.Double(3);
        entry.salesTax = rows.Double(4);
        balance = balance + BalanceChange(book, entry);
        if (rows.IsNull(5) || rows.Double(5) != balance) {
            changes.push_back({rows.Int(0), balance});
        }
    }
    return changes;
}

}  // namespace

int RecomputeBalance(Database& db, Book book, int warehouse, int year) {
    // One pass in RBR order computes every balance the way AppendEntry does (the balance before
    // plus the entry's change), so balances that are right compare equal and stay untouched;
    // the others are written together.
    const QString table = Q(TableName(book));
    Transaction transaction(db);
    std::vector<DirectStatement::RowValue> changes =
        BalanceChanges(db, book, table, warehouse, year);
    const int changed = static_cast<int>(changes.size());
    DirectStatement::UpdateRows(db, table, QStringLiteral("\"STANJE_ROBE\""),
                                QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ?"),
                                {warehouse, year}, QStringLiteral("\"RBR\""), std::move(changes));
    transaction.Commit();
    return changed;
}

std::optional<int> FindDocumentEntry(Database& db, Book book, int warehouse, const QString& type,
                                     int year, int documentNumber) {
    // Read through the document index; MAX("RBR") would make the engine walk the primary key of the
    // whole warehouse and year instead.
    Statement rows = db.Prepare(QStringLiteral("SELECT \"RBR\" FROM ") + Q(TableName(book)) +
                                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? "
                                               "AND \"GODINA\" = ? AND \"BROJ_DOKUMENTA\" = ?"));
    rows.Exec({warehouse, type, year, documentNumber});
    std::optional<int> last;
    while (rows.Next()) {
        last = std::max(last.value_or(rows.Int(0)), rows.Int(0));
    }
    return last;
}

int DeleteDocumentEntry(Database& db, Book book, int warehouse, const QString& type, int year,
                        int documentNumber, bool recompute) {
    Transaction transaction(db);
    const int deleted =
        db.Exec(QStringLiteral("DELETE FROM ") + Q(TableName(book)) +
                    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND "
                                   "\"GODINA\" = ? AND \"BROJ_DOKUMENTA\" = ?"),
                {warehouse, type, year, documentNumber});
    if (deleted > 0 && recompute) {
        RecomputeBalance(db, book, warehouse, year);
    }
    transaction.Commit();
    return deleted;
}

int AppendDirectEntry(Database& db, Book book, int warehouse, int year, const QDate& date,
                      const QString& description, double purchaseValue, double purchaseTax,
                      double salesValue, double salesTax) {
    Transaction transaction(db);
    Entry entry;
    entry.warehouse = warehouse;
    entry.year = year;
    entry.type = DirectEntryType();
    entry.documentNumber = NextDirectEntryNumber(db, book, warehouse, year);
    entry.date = date;
    entry.description = description;
    entry.purchaseValue = purchaseValue;
    entry.purchaseTax = IsRetail(book) ? purchaseTax : 0.0;
    entry.salesValue = salesValue;
    entry.salesTax = salesTax;
    const int number = AppendEntry(db, book, entry);
    transaction.Commit();
    return number;
}

QString DocumentEntryRefusal() {
    return QStringLiteral(
        "Ova stavka pripada proknjiženom dokumentu. Brisati možete samo direktne upise, a "
        "stavka dokumenta briše se zajedno s dokumentom.");
}

void DeleteEntryInWindow(Database& db, Book book, int warehouse, int year, int number) {
    Transaction transaction(db);
    const QVariant type =
        db.Scalar(QStringLiteral("SELECT \"TIP_DOKUMENTA\" FROM ") + Q(TableName(book)) +
                      QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"RBR\" = ?"),
                  {warehouse, year, number});
    if (!type.isValid()) {
        return;
    }
    if (type.toString() != DirectEntryType()) {
        throw UserError(DocumentEntryRefusal());
    }
    db.Exec(QStringLiteral("DELETE FROM ") + Q(TableName(book)) +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"RBR\" = ?"),
            {warehouse, year, number});
    RecomputeBalance(db, book, warehouse, year);
    transaction.Commit();
}

std::vector<StoredEntry> Entries(Database& db, Book book, int warehouse, int year,
                                 const QDate& from, const QDate& to) {
    const bool retail = IsRetail(book);
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", "
                       "\"OPIS\", \"NABAVA_VRIJEDNOST\", ") +
        (retail ? QStringLiteral("\"NABAVA_POREZ\", \"NABAVA_UKUPNO\", ")
                : QStringLiteral("0, \"NABAVA_VRIJEDNOST\", ")) +
        QStringLiteral("\"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", \"PRODAJA_UKUPNO\", "
                       "\"STANJE_ROBE\" FROM ") +
        Q(retail ? QStringLiteral("TRGOVACKA_KNJIGA_MALOPRODAJE_QUERY")
                 : QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE_QUERY")) +
        QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"DATUM\" >= ? AND "
                       "\"DATUM\" <= ? ORDER BY \"RBR\""));
    rows.Exec({warehouse, year, from, to});
    std::vector<StoredEntry> entries;
    while (rows.Next()) {
        StoredEntry e;
        e.number = rows.Int(0);
        e.entry.warehouse = warehouse;
        e.entry.year = year;
        e.entry.type = rows.Text(1);
        e.entry.documentNumber = rows.Int(2);
        e.entry.date = sqlvalue::ToDate(rows.Value(3));
        e.entry.description = rows.Text(4);
        e.entry.purchaseValue = rows.Double(5);
        e.entry.purchaseTax = rows.Double(6);
        e.purchaseTotal = rows.Double(7);
        e.entry.salesValue = rows.Double(8);
        e.entry.salesTax = rows.Double(9);
        e.salesTotal = rows.Double(10);
        e.balance = rows.Double(11);
        entries.push_back(e);
    }
    return entries;
}

QString ReportFile(Book book) {
    return IsRetail(book) ? QStringLiteral("tk_m.rpt") : QStringLiteral("tk_v.rpt");
}

QString ReportTitle(Book book, const QDate& from, const QDate& to) {
    return (IsRetail(book) ? QStringLiteral("Trgovačka knjiga maloprodaje od ")
                           : QStringLiteral("Trgovačka knjiga veleprodaje od ")) +
           DateText(from) + QStringLiteral(" do ") + DateText(to);
}

QString ReportWindowTitle(Book book, const QDate& from, const QDate& to) {
    return QStringLiteral("Izvještaj : ") + ReportTitle(book, from, to);
}

}  // namespace zodra::tradebook
