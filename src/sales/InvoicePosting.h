#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/Session.h"
#include "sales/InvoiceLines.h"

namespace zodra {
class Database;
}  // namespace zodra

// Posting a wholesale invoice ("Zaglavlje računa" → "Prihvati").
namespace zodra::sales {

// The header boxes as the header dialog holds them: texts where the box is typed, so that the
// checks see what the user typed.
struct InvoiceHeader {
    int number = 0;  // the number shown (a proposal); 0: the next number
    QString deliveryName;
    QString deliveryAddress;
    QString deliveryPlace;
    QString deliveryDate;  // empty: none
    QString deliveryMethod;
    QString takenBy;
    QString orderNumber;
    QString deliveryNote;
    QString paymentTerm;  // days
    QString dueDate;
    QString paymentMethod;
    QString paymentReference;
    QString alreadyPaid;
    QString additionalText;
    QString bankAccount;
    QString currency;  // the name of the currency the invoice is issued in; empty: the home one
};

// The currency an invoice is issued in, with the rate of its date at full precision: the home
// currency (an empty name or currency 1) at rate 1; an unknown name is refused with "Valuta nije
// ispravno upisana", a foreign currency without a rate for the date with "Nije upisan tečaj " +
// name + " za " + date (dd.MM.yyyy) + ".".
struct InvoiceCurrency {
    std::optional<int> code;  // set only for a foreign currency
    QString name;
    double rate = 1;
};
InvoiceCurrency ResolveInvoiceCurrency(Database& db, const QString& name, const QDate& date);

// The header the dialog proposes: delivery name, address and place of the customer, the
// customer's payment delay (15 days when it has none) and the due date after it, nothing paid,
// the company's bank account, the next number.
InvoiceHeader ProposeHeader(Session& session, const InvoiceDraft& draft);

// The next number of the invoice's book and sales terms: the retail terms 1 number on their own,
// terms with a numbering of their own from their first number, all others share one sequence.
int ProposedNumber(Database& db, const InvoiceDraft& draft);

// A number typed into the number box: "Nije ispravno upisan broj !", or "Račun pod ovim brojem
// je već napravljen !" when the warehouse, book and year already have it.
int CheckInvoiceNumber(Database& db, const InvoiceDraft& draft, const QString& typed);

// The header checks of "Prihvati", in this order, each with its message: delivery name,
// address and place (at most 80 characters, not empty), the bank account, the delivery date
// (when given), the payment term, the due date, the amount already paid.
struct CheckedHeader {
    std::optional<QDate> deliveryDate;
    int paymentTerm = 0;
    QDate dueDate;
    double alreadyPaid = 0;
};
CheckedHeader CheckHeader(const InvoiceHeader& header);

QString PostedMessage(int number);  // "Račun je proknjižen pod brojem " n

// What the posting did, for the caller's next steps: the number, and whether the payment dialog
// belongs after it (a retail warehouse with an amount already paid, or the retail terms 1). The
// payment itself is not part of the posting.
struct PostedInvoice {
    int number = 0;
    bool numberChanged = false;
    std::optional<int> priceChange;
    // The service consumption documents the invoice's services generated (ServiceConsumption.h).
    std::vector<int> serviceConsumptions;
    bool wantsPayment = false;
    // What the invoice hooks were told, for the hook that runs after the commit.
    std::optional<Session::InvoicePostingEvent> event;
};

// Posts the invoice drawn up in the draft's working copy. Every check is made before the
// transaction; then, in one transaction: the number re-checked (taken meanwhile: the next of the
// book and terms), and when the book takes stock a price change for every lot whose selling
// price is not the price the line sells at before discount (divided by 1 + the lot's retail
// margin for the retail terms; a discount never reprices stock), the goods taken from their
// lots ("Napravljen je storno primke po kojoj je ušao artikal " / "Nedovoljna količina artikla "
// + name), each line recording the lot's cost and price at that moment, the trade-book entry;
// the header, the lines (with their employee and extra-data rows) under the final number, the
// working copy cleared, the consistency check; when the book takes stock, the service
// consumption documents of services with a bill of articles (PostServiceConsumptions). A refusal
// leaves nothing and keeps the working copy. A book that does not take stock moves no lot and
// writes no trade-book entry. The header records the invoice's currency and its rate
// (ResolveInvoiceCurrency, read again inside the transaction).
PostedInvoice PostInvoice(Session& session, const InvoiceDraft& draft, const InvoiceHeader& header);

// How a sale posted from the retail register differs from an invoice of the invoice window.
struct PostingMode {
    // Stock is taken at day end: no lot moves now, the header says SKIDA false and
    // NAKNADNO_SKIDANJE true, and the lines' reservations are given back.
    bool deferredStock = false;
    // Retail invoices summed at day end: header and lines go into the detail file
    // (RACUNI_DETALJNO, STAVKE_RACUNA_DETALJNO), numbered there; no stock, no trade-book entry.
    bool detailed = false;
    // What the trade-book entry's description names after "RAČUN " + number + " "; empty: the
    // customer's name.
    QString tradeBookName;
    // KORISNIK; empty: the session's user.
    QString user;
    // The transfer (and its receipt) that brought missing goods into the warehouse in the same
    // transaction, recorded in MALOPRODAJNA_MEDUSKLADISNICA and MALOPRODAJNA_PRIMKA.
    std::optional<int> transfer;
    std::optional<int> transferReceipt;
    // Runs the session's invoice hooks (duringInvoicePosting inside the transaction): set for
    // the invoices of the invoice window, not for the register's sales, which have their own.
    bool invoiceHooks = false;
};

// Thrown inside a detailed posting that finds detail-file changes of an earlier posting not yet
// applied (the detail file commits after the company file): the caller applies them
// (Database::ApplyPendingDetail) and posts again, so that the number is read from a detail
// file that holds every earlier invoice.
struct PendingDetailChanges {};

// PostInvoice for a header that is already checked (the register proposes its own), under the
// mode given. Everything else as PostInvoice.
PostedInvoice PostCheckedInvoice(Session& session, const InvoiceDraft& draft,
                                 const InvoiceHeader& header, const CheckedHeader& checked,
                                 const PostingMode& mode);

}  // namespace zodra::sales
