#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

// What collections and partner payments share: the payment models the windows offer, the
// messages of their checks, and the rounding every limit is compared at.
namespace zodra::payments {

// "žiro račun", "gotovina", "u naravi", "kartica", "ček": the models of a customer's payment.
QStringList CustomerModels();
// "žiro račun", "gotovina", "u naravi": the models of a payment to a supplier.
QStringList SupplierModels();
// "kartica": the model that takes a card type.
QString CardModel();

QString ChooseModelMessage();      // "Izaberite model plaćanja."
QString ChooseModelTypeMessage();  // "Tip plaćanja mora biti izabran !"
QString CardTypeMessage();         // "Tip kreditne kartice mora biti izabran."
QString CardTypeMarkedMessage();   // "Tip kreditne kartice mora biti izabran !"
QString OverpaidMessage();         // "S ovim iznosom račun bi bio preplaćen. Nije dozvoljeno …"
QString OverpaidLaterMessage();    // the same as the later-closing windows word it
QString ZeroAmountMessage();       // "Iznos nesmije biti nula !"
QString NoCustomerMessage();       // "Nije izabran kupac !"
QString NoSupplierMessage();       // "Nije izabran dobavljač !"
QString NoInvoiceMessage();        // "Nije izabran račun !"
QString NoPaymentMessage();        // "Nema uplata !"
QString NoCoverMessage();          // "Nema pokrića za ovaj iznos zatvaranja !"
QString PaymentRecordedMessage();  // "Plaćanje je upisano !"
QString DeletePaymentQuestion();   // "Želite li izbrisati plaćanje ?"

// An amount as whole cents, rounded half away from zero at two decimals: every limit of a
// collection or payment is compared in these.
qint64 Cents(double amount);

// Which wording a window gives its refusals in; the core checks are the same.
enum class EntryWindow {
    Collection,       // "Upis naplate računa", "Upis plaćanja ulaznog računa"
    PaymentAndClose,  // "Upis uplate i zatvaranje …", "Upis uplate kupca", "Upis uplate dobavljaču"
};

// A payment as it is typed: on which date, by which model (and card type), with which text and
// amount.
struct PaymentEntry {
    QDate date;
    QString model;
    std::optional<int> cardType;  // TIPOVI_KARTICA.SIFRA, only for "kartica"
    QString text;                 // Opis / Opis dokumenta
    double amount = 0;
};

// The checks every entry makes before anything is read or written, in the windows' order: the
// model chosen and one of `models`, a card type of an existing row for "kartica", the amount a
// finite amount within range and not zero (when `zeroRefused`; the PaymentAndClose windows check
// the amount before the model), the date within reach of the business year, no control
// characters in the text. Throws UserError with the window's message.
void CheckPaymentEntry(Database& db, const PaymentEntry& entry, const QStringList& models,
                       EntryWindow window, int businessYear, bool zeroRefused = true);

// A row of a choice box: its code and what it shows.
struct Choice {
    int code = 0;
    QString name;
};
// The partners by name (customers and suppliers are both partners).
std::vector<Choice> PartnerChoices(Database& db);
// "SELECT SIFRA, NAZIV FROM TIPOVI_KARTICA ORDER BY NAZIV".
std::vector<Choice> CardTypeChoices(Database& db);
// The output and input invoice books by code.
std::vector<Choice> OutputBookChoices(Database& db);
std::vector<Choice> InputBookChoices(Database& db);

}  // namespace zodra::payments
