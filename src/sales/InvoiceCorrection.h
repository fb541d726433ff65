#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "sales/InvoiceEntry.h"
#include "sales/InvoiceLines.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Correction of a posted invoice ("ISPRAVAK"): a line's quantity, price or discount changed, a
// line added or deleted, each written at once in one transaction that keeps the lots it takes
// from, its trade-book entry (the sale's value and tax, the balances after it) and the pooled
// costs in step, and ends with the consistency check. Refused, with nothing written: an invoice
// that does not exist ("Ne postoji proknjiženi račun broj " + n) or is cancelled ("Ovaj račun je
// već storniran."); in a book that takes stock, an article line whose lot no longer sells at the
// price the goods left at ("Ovaj račun nemožete ispraviti jer artikal '" + name + "' više nema
// istu cijenu na skladištu."), an article line sold at another price than its lot's (a posted
// invoice generates no price change: "Cijena artikla " + name + " u ispravku mora biti jednaka
// cijeni na skladištu (" + price + ")."), and new article lines on an invoice that had none (it
// has no place in the trade book); every number outside the input limits, NaN and infinity
// among them. A service line's service consumption document follows it in the same transaction
// (FollowServiceLine in ServiceConsumption.h): undone and posted again for a new quantity, gone
// with the line, new for a line added; its refusals leave the whole correction unwritten.
namespace zodra::sales {

struct PostedInvoiceHeader {
    InvoiceKey key;
    QDate date;
    int customer = 0;
    int salesTerms = 0;
    QString customerName;
    bool takesStock = false;
    bool cancelled = false;
    std::optional<int> position;  // RBR_TK
};
std::optional<PostedInvoiceHeader> ReadPostedInvoice(Database& db, const InvoiceKey& key);
QString NoSuchInvoiceMessage(int number);  // "Ne postoji proknjiženi račun broj " n
QString CancelledInvoiceMessage();         // "Ovaj račun je već storniran."

// The draft the line dialogs propose from: the invoice's warehouse, year, book, terms, customer
// and date, no working copy.
InvoiceDraft CorrectionDraft(const PostedInvoiceHeader& header);

// A line added, as AddArticleLine / AddServiceLine take it (the merge question too, asked
// before the transaction); the new line gets the invoice's next line number.
std::optional<AcceptedLine> AddPostedArticleLine(Session& session, Prompter& prompter,
                                                 const InvoiceKey& key,
                                                 const ArticleLineInput& input);
// The service line's employees go into STAVKE_RACUNA_DJELATNICI under the invoice's key.
std::optional<AcceptedLine> AddPostedServiceLine(Session& session, Prompter& prompter,
                                                 const InvoiceKey& key,
                                                 const ServiceLineInput& input,
                                                 const std::vector<int>& employees = {});

// A line's quantity, price before discount and discount percent changed; its amounts follow.
struct PostedLineChange {
    double quantity = 0;
    double price = 0;
    double discountPercent = 0;
};
void ChangePostedLine(Session& session, const InvoiceKey& key, int lineNumber,
                      const PostedLineChange& change);

// Deletes a line: an article line gives its goods back to its lot; the lines behind it close
// the gap.
void DeletePostedLine(Session& session, const InvoiceKey& key, int lineNumber);

// The customer changed: the posted header takes the new customer with its delivery name,
// address and place at once. An invoice already (partly) paid asks first "Želite li promijeniti
// naplatu računa na novog kupca ?" (No the default): Yes moves its payments to the new customer,
// No refuses with "Kupca nemožete promijeniti dok ne obrišete plaćanje ovog računa.".
void ChangePostedCustomer(Session& session, Prompter& prompter, const InvoiceKey& key,
                          int customer);

}  // namespace zodra::sales
