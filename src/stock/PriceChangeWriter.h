#pragma once

#include <QDate>
#include <QString>
#include <memory>
#include <optional>

#include "data/Rounding.h"
#include "data/Statement.h"

namespace zodra {
class Database;
}

// A price change ("Izmjena cijena") reprices purchase lots that hold stock: each line names a
// lot, the quantity it held and its selling price before and after, and the change of the
// stock's selling value, Σ (new − old) × quantity, goes into the wholesale trade book as an
// entry "IZMJENA CIJENA". The article card shows each line as value in at the new price and out
// at the old for the quantity, which agrees with the lots only while the line's quantity is the
// lot's whole quantity at that moment.
namespace zodra::stock {

// The trade-book type of a price change and of its cancellation.
QString PriceChangeType();              // "IZMJENA CIJENA"
QString PriceChangeCancellationType();  // "STORNO IZMJENE CIJENA"

// One repriced lot.
struct PriceChangeLine {
    int lot = 0;  // BROJ_PRIMKE
    int article = 0;
    double quantity = 0;  // KOLICINA: the lot's quantity
    double oldPrice = 0;  // STARA_CIJENA
    double newPrice = 0;  // NOVA_CIJENA

    double Change() const { return (newPrice - oldPrice) * quantity; }
};

// The header of a price change being written; what generated it, if anything.
struct PriceChangeHeader {
    int warehouse = 0;
    int year = 0;
    int number = 0;    // BROJ_IZMJENE_CIJENA
    QDate date;        // DATUM
    int position = 0;  // RBR_TK: the trade-book entry it gets
    int receipt = 0;   // BROJ_PRIMKE: the receipt that generated it, else 0
    // The invoice that generated it (IRA, BROJ_RACUNA), else none.
    std::optional<int> invoiceBook;
    std::optional<int> invoice;
    // OPIS of the header and of its trade-book entry; empty: "IZMJENA CIJENA " + number.
    QString description;
};

// Writes one price change inside the caller's posting transaction (which holds the number and
// the position): the header at once, lines one by one with their article's tax group and rate,
// and the trade-book entry at the position the header recorded, valued at the sum of the lines'
// changes each rounded to the cent (what the document shows). The lots themselves are the
// caller's: a receipt moves its pooled lot to the new price itself, a price change document
// checks each lot before it reprices it.
class PriceChangeWriter {
public:
    PriceChangeWriter(Database& db, const PriceChangeHeader& header);
    PriceChangeWriter(const PriceChangeWriter&) = delete;
    PriceChangeWriter& operator=(const PriceChangeWriter&) = delete;

    const PriceChangeHeader& Header() const { return m_header; }

    void AddLine(const PriceChangeLine& line);
    // A line already written by other means (copied from a working copy) counts in the value.
    void CountLine(const PriceChangeLine& line);
    double Value() const { return m_value.Value(); }

    // The trade-book entry "IZMJENA CIJENA " + number with the value.
    void Finish();

private:
    Database& m_db;
    PriceChangeHeader m_header;
    MoneyTotal m_value;
    std::unique_ptr<Statement> m_insertLine;
};

}  // namespace zodra::stock
