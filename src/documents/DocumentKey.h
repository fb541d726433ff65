#pragma once

#include <QString>
#include <QVariantList>
#include <compare>
#include <optional>

#include "data/DocumentKind.h"

namespace zodra::documents {

// What names one posted document: its kind, the warehouse, the invoice book (invoice-like kinds
// only: IRA sits between warehouse and year in their keys), the business year and the number.
// Keys order by kind, warehouse, book, year and number, so a set of keys lists a warehouse's
// documents of one kind in number order.
struct DocumentKey {
    DocumentKind kind = DocumentKind::IssueNote;
    int warehouse = 0;
    std::optional<int> invoiceBook;
    int year = 0;
    int number = 0;

    friend bool operator==(const DocumentKey&, const DocumentKey&) = default;
    friend auto operator<=>(const DocumentKey&, const DocumentKey&) = default;

    // The key in words, as messages and logs show it: "Izdatnica 7 (skladište 1, 2026)",
    // "Račun 1-12 (skladište 1, 2026)" with the book before the number.
    QString ToString() const;

    // ""SKLADISTE" = ? [AND "IRA" = ?] AND "GODINA" = ? AND "<number>" = ?" for a table keyed
    // like the document, with its values in that order; Where puts " WHERE " before it.
    QString Condition(const QString& numberColumn) const;
    QString Where(const QString& numberColumn) const;
    QVariantList WhereValues() const;
};

// A document kind's key requires an invoice book exactly when its header has one.
bool KeyIsComplete(const DocumentKey& key);

}  // namespace zodra::documents
