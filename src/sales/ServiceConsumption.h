#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <set>
#include <vector>

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Service consumption documents ("Specifikacija") an invoice generates: a service whose bill of
// articles (USLUGE_SPECIFIKACIJA_ARTIKALA: the articles and quantities one unit of the service
// uses up) is sold takes those articles out of stock through a document of its own, bound to the
// invoice (SPECIFIKACIJE.IRA, GODINA_RACUNA, BROJ_RACUNA) and cancelled or deleted with it.
namespace zodra::sales {

// "Automatske specifikacije vezane na usluge nisu podržane ako se skladište vodi po FIFO metodi."
QString FifoConsumptionRefusal();
// "Na ovaj račun postoje vezane specifikacije i te će specifikacije također biti stornirane!
// Želite li nastaviti?"
QString BoundConsumptionQuestion();
QString LaterStockCountRefusal();  // "Vezanu specifikaciju nemožete stornirati jer … inventure."
QString LaterPriceChangeRefusal();  // "… rađene izmjene cijena."

// The invoice (warehouse, book, year, number) whose lines were just posted, inside the posting's
// transaction, when the company keeps service consumption ("Specifikacije usluga") and the
// invoice's book takes stock: for every service line whose service has a bill of articles, in
// line order, a document of the next number dated like the invoice takes the line's quantity ×
// the bill's quantity of each article from the article's pooled lot (the lot's cost and selling
// price recorded on the line), its trade-book entry "SPECIFIKACIJA " n " veza na račun " +
// invoice number valued at selling prices. Refused under FIFO (FifoConsumptionRefusal) and when
// an article has too little stock or too little that no open document holds ("Nedovoljna
// količina artikla " + name). Returns the numbers written.
std::vector<int> PostServiceConsumptions(Session& session, int warehouse, int book, int year,
                                         int invoice, const QDate& date);

// The documents bound to the invoice that are not cancelled, in number order.
std::vector<int> BoundServiceConsumptions(Database& db, int warehouse, int book, int year,
                                          int invoice);

// What the documents bound to the invoice (not cancelled) took from one lot: they go back with
// the invoice, so a lot the invoice repriced holds it again once the invoice is undone.
double BoundConsumptionQuantity(Database& db, int warehouse, int book, int year, int invoice,
                                int lot, int article);

// A bound document can be undone only while no stock count (LaterStockCountRefusal) and no price
// change (LaterPriceChangeRefusal) touched one of its articles after it: the goods would come
// back at a cost and price the stock no longer has.
void CheckServiceConsumptionCanBeUndone(Database& db, int warehouse, int year, int number);

// Inside the invoice's cancellation: the goods back into their lots at the cost they left at,
// the counter-entry "STORNO SPECIFIKACIJE" ("Storno specifikacije " + number) with the document's
// own values negated, the document marked cancelled with the next cancellation number of the
// warehouse and year.
void CancelServiceConsumption(Database& db, int warehouse, int year, int number, const QDate& date);

// Inside the invoice's deletion: the goods back, the trade-book entry, lines and header gone (as
// if never made); the articles of pooled lots go into `pooled` for the caller to recompute, and
// the caller recomputes the trade-book balances.
void DeleteServiceConsumption(Database& db, int warehouse, int year, int number,
                              std::set<int>& pooled);

// Correction of a posted invoice's service lines. The document a service line generated is
// found by pairing the invoice's service lines, in line order, with its bound documents (not
// cancelled), in number order, by the service's name they carry: read it before the line
// changes.
std::optional<int> ConsumptionOfServiceLine(Database& db, int warehouse, int book, int year,
                                            int invoice, int lineNumber);

// Inside the correction's transaction, after the service line was written (`lineNumber`) or
// deleted (no line): the line's former document `bound` is undone as if never made (its guards
// refuse it when a stock count or price change touched its articles since) and, while the line
// still bills articles, posted again under its own number for the line's new quantity; a line
// that had none gets a new document when the company keeps service consumption and the invoice
// takes stock (FIFO refused as at posting). Articles of pooled lots go into `pooled` and
// `from` becomes the earliest trade-book position touched, for the caller to recompute costs
// and balances. Returns the document the line has now.
std::optional<int> FollowServiceLine(Session& session, int warehouse, int book, int year,
                                     int invoice, const QDate& date, bool takesStock,
                                     std::optional<int> lineNumber, std::optional<int> bound,
                                     std::set<int>& pooled, std::optional<int>& from);

}  // namespace zodra::sales
