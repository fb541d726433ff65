#pragma once

#include <QDate>
#include <memory>
#include <optional>
#include <vector>

#include "data/Rounding.h"
#include "documents/DocumentKey.h"
#include "documents/LineStore.h"
#include "documents/PostedLines.h"
#include "stock/CostFamilies.h"
#include "stock/LotTable.h"
#include "stock/TradeBook.h"

namespace zodra {
class Session;
}

namespace zodra::documents {

// The stock family of a document kind whose lines take goods from lots (or, for return notes,
// put them back). Kinds without one (offers, receipts, price changes …) are a programming error.
const stock::CostFamily& CostFamilyOf(DocumentKind kind);

// The trade-book type of a document's entry: the family's type, for invoices the invoice book
// followed by "RAČUN" ("1RAČUN").
QString TradeBookType(const DocumentKey& key);

// The key a new document gets: the next number of its kind in the warehouse and year (invoices
// by their book and sales terms). Runs inside the posting transaction, which holds the number.
DocumentKey NewDocumentKey(Database& db, DocumentKind kind, int warehouse, int year,
                           std::optional<int> invoiceBook = std::nullopt, int salesTerms = 0);

// One line to issue: the article, the quantity and the lot the user chose, else the article's
// default lot (the oldest with stock; lot 0 under the pooled methods).
struct IssueLine {
    int article = 0;
    double quantity = 0;
    std::optional<int> lot = std::nullopt;
};

// A line once its goods have left the lot: the lot it took from and that lot's unit cost and
// selling price at that moment, which the posted line records.
struct TakenLine {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;

    double CostValue() const { return quantity * cost; }
    double Value() const { return quantity * price; }
};

// The issue side of posting one stock document. The caller holds the posting's Transaction
// guard (it holds the company's write lock: the number, the trade-book position and the lots read
// here stay true until its commit) and commits after Finish; a refusal anywhere leaves nothing
// behind.
//
//   Transaction transaction(db);
//   IssuePosting posting(session, NewDocumentKey(db, DocumentKind::IssueNote, w, y));
//   posting.WriteHeader(date);
//   for (const IssueLine& line : lines) posting.WriteLine(posting.Take(line));
//   posting.Finish(posting.StockEntry(date));
//   transaction.Commit();
//
// Each line is taken from its lot with the checks of every issue (the lot exists, holds enough,
// still has the price the line was entered at) and written with the lot's cost and price; the
// trade-book entry goes in at the position the header recorded as RBR_TK, and the lots are
// checked against the article card before the caller commits.
class IssuePosting {
public:
    IssuePosting(Session& session, const DocumentKey& key);
    // The same, taking its lots through `lots` (a table the posting read them with already).
    IssuePosting(Session& session, const DocumentKey& key, std::unique_ptr<stock::LotTable> lots);

    const DocumentKey& Key() const { return m_key; }
    const stock::CostFamily& Family() const { return m_family; }
    // The document's trade-book position (RBR_TK), reserved when the posting began.
    int Position() const { return m_position; }
    // The selling value of the lines taken so far: the sum of their values rounded to the cent,
    // which is what the document's total and its trade-book entry show.
    double Value() const { return m_value.Value(); }

    // The header row: key, DATUM and RBR_TK, and the kind's further columns.
    void WriteHeader(const QDate& date, const Columns& more = {});

    // Takes the line's goods from its lot (a return note puts them back). Refused with
    // "Nedovoljna količina artikla " + name when the article has no stock to default to or the
    // lot too little, with "Napravljen je storno primke po kojoj je ušao artikal " + name when
    // the lot is gone, and with "Promijenjena je cijena artikla " + name when the lot's selling
    // price is no longer `enteredPrice`.
    TakenLine Take(const IssueLine& line, std::optional<double> enteredPrice = std::nullopt);

    // Writes a taken line into the document's line table: article, lot, quantity, the lot's
    // cost and cost value and, where the kind values its lines at the lot's selling price, that
    // price and value. Selling kinds (invoices, delivery notes) pass their own selling columns
    // in `more`, among them VRIJEDNOST_, from which the line's margin (RUC_IZNOS, RUC_%) follows.
    void WriteLine(const TakenLine& line, const Columns& more = {});

    // Writes the lots the takes changed, when the lot table defers its writes (Finish does it
    // too): before anything else reads those lots.
    void FlushLots() { m_lots->Flush(); }

    // The entry of a kind that only moves stock: "<type> <number>", the stock value out (or in,
    // for a return note) at selling prices.
    tradebook::Entry StockEntry(const QDate& date) const;

    // Appends the entry (its warehouse, year, type and number are the document's) at the
    // reserved position and checks lots against the article card (also in the warehouses
    // given).
    void Finish(tradebook::Entry entry, const std::vector<int>& alsoWarehouses = {});

private:
    Session& m_session;
    DocumentKey m_key;
    const stock::CostFamily& m_family;
    PostedLines m_lines;
    // The lot reads and writes of every line, prepared once for the whole document.
    std::unique_ptr<stock::LotTable> m_lots;
    int m_position = 0;
    MoneyTotal m_value;
};

}  // namespace zodra::documents
