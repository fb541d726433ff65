#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

// The payment of a posted retail invoice ("Naplata maloprodajnog računa"): how much was paid in
// cash, by cheques and by card, written as one customer payment (UPLATE) and one collection
// (NAPLATA) per kind that is not 0, in the order cash, cheques, card.
namespace zodra::retail {

struct RetailPaymentInput {
    int warehouse = 0;
    int book = 1;
    int year = 0;
    int number = 0;
    QDate date;
    int customer = 0;
    double total = 0;  // the invoice's total with tax
    double cash = 0;
    double cheques = 0;
    double card = 0;
    std::optional<int> cardType;  // TIPOVI_KARTICA.SIFRA
    bool detailed = false;        // summing mode: NAPLATA_DETALJNO only
};

QString PaymentExceedsMessage();   // "Upisani iznosi premašuju ukupni iznos računa"
QString PaymentDiffersQuestion();  // "Iznos plaćanja nije isti kao iznos računa. Želite li …"
QString NoCardTypeMessage();       // "Tip kartice nije izabran."

// Records the payment. Amounts are compared rounded to the cent: more than the total is refused
// (PaymentExceedsMessage); less asks PaymentDiffersQuestion (No the default; No writes nothing
// and returns false); a card amount without a card type is refused (NoCardTypeMessage); an
// amount that is not a finite number in range is refused with the input limits' message. Then
// one transaction: per kind that is not 0 ("gotovina", "ček", "kartica") an UPLATE row of the
// customer with "Račun m. br. " + number and its NAPLATA row bound to it and to the invoice;
// in summing mode a NAPLATA_DETALJNO row alone (in the detail file). Returns true when written.
bool RecordRetailPayment(Database& db, Prompter& prompter, const RetailPaymentInput& input);

// The checks of RecordRetailPayment without the question and the rows: refuses as it does and
// returns whether the amounts differ from the total (the question would be asked). A sale
// posted from a file checks its payment so before it is posted.
bool CheckRetailPayment(const RetailPaymentInput& input);

// The rows alone once the question is answered Yes (or was not needed): CheckRetailPayment's
// refusals, then the rows in one transaction.
void WriteRetailPayment(Database& db, const RetailPaymentInput& input);

// "Za vratiti :" = handed over − total.
double Change(double handedOver, double total);

}  // namespace zodra::retail
