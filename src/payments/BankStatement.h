#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "payments/CollectionBook.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// A bank statement in the ISO 20022 form the banks export (camt.053, "BankToCustomerStatement"):
// its credits are matched to the output invoices they pay and, once confirmed, recorded as
// customer payments with their collections through the same calls as the windows. A line is
// matched by the payment reference the invoice printed ("poziv na broj"), or else by the
// customer (the payer's account or name) and an open amount equal to the credit; a line that
// fits no invoice, or more than one, is listed and never guessed.
namespace zodra::payments {

struct BankStatementLine {
    int index = 0;    // 1-based, in the order of the file
    QString entryId;  // what names the line within its statement (bank ref., entry ref.)
    QDate bookingDate;
    double amount = 0;
    QString currency;
    bool credit = false;  // CRDT: money received
    QString payerName;
    QString payerIban;
    QString reference;   // the structured creditor reference, as given
    QString remittance;  // the free text
};

struct BankStatement {
    QString id;       // Stmt/Id
    QString account;  // Stmt/Acct/Id/IBAN
    std::vector<BankStatementLine> lines;
};

// Reads a camt.053 file; a file that is not one (not XML, no statement, an amount or date that
// cannot be read) is refused with a UserError naming what is wrong.
BankStatement ReadBankStatement(const QByteArray& xml);

struct BankMatch {
    enum class Status { Matched, Ambiguous, Unmatched, Debit, AlreadyRecorded };
    BankStatementLine line;
    Status status = Status::Unmatched;
    std::optional<InvoiceKey> invoice;   // the proposal, when Matched
    std::vector<InvoiceKey> candidates;  // the invoices that fit, when Ambiguous
    QString reason;                      // why, for the list
    QString paymentText;                 // the payment's text ("Izvod …") that marks it
};

// Proposes an invoice for each line (none for debits and for lines recorded before).
std::vector<BankMatch> MatchBankStatement(Database& db, const BankStatement& statement);

// Records the matched lines given by their index (all matched lines when `confirmed` is empty)
// as payments of "žiro račun" with their collections, all in one transaction: a line another
// workstation has closed meanwhile refuses the whole import, naming its line. Returns how many
// were recorded.
int RecordBankMatches(Session& session, const std::vector<BankMatch>& matches,
                      const std::vector<int>& confirmed = {});

// "Prepoznato", "Dvosmisleno", "Neprepoznato", "Terećenje", "Već upisano".
QString BankStatusText(BankMatch::Status status);
// The lines as a list shows them: "Redak", "Datum", "Iznos", "Platitelj", "Poziv na broj",
// "Stanje", "Račun", "Razlog", "Upisati" ("Da" for the matched lines in `chosen`).
TableData BankMatchTable(const std::vector<BankMatch>& matches, const std::vector<int>& chosen);

// "Redak 3: 40,00 EUR, Kod Ane – račun 7/1/2026 (po pozivu na broj)" and the like, for lists.
QString DescribeMatch(const BankMatch& match);

}  // namespace zodra::payments
