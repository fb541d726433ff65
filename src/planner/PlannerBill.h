#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

// A bill handed over by the appointment planner (docs/planner.md): the client, the payment and
// the services performed, read from the planner's XML file before anything is written.
namespace zodra::planner {

enum class PaymentKind { Cash, Cheque, Card };

struct PerformedService {
    QString code;         // the planner's own "Sifra"
    QString name;         // from the planner's service list ("Usluge") entry with that code
    double price = 0;     // net, before discount
    double discount = 0;  // percent
    QString note;
};

struct PlannerBill {
    QString dateText;  // "Datum" as written (date and time), part of the bill's identity
    QDate date;
    QString clientName;
    QString address;
    QString place;
    QString phone;
    PaymentKind payment = PaymentKind::Cash;
    QString cardType;  // TIPOVI_KARTICA.NAZIV, for a card payment
    std::vector<PerformedService> services;
};

// Reads the bill. Every fault refuses the whole bill with a UserError "Račun planera: " + what
// + "." (BillRefusal); nothing is guessed: a missing or empty field, a date that is not ISO 8601,
// a price that is not a finite number of 0 or more, a discount outside 0…100, a payment kind
// other than cash, cheque or card, a card payment without its card type, a service whose code
// the planner's service list does not name. Numbers are read with a decimal point (a comma is
// taken as one), never by the workstation's locale.
PlannerBill ParsePlannerBill(const QByteArray& xml);

// "Račun planera: " + what + "."
QString BillRefusal(const QString& what);

// The bill's identity: a digest of everything it says (date and time, client, payment,
// services in order). The same bill written twice, even laid out differently, has the same
// identity; it is stored with the invoice so that a bill is never billed twice.
QString BillIdentity(const PlannerBill& bill);

// The payment kind as the payment rows name it: "gotovina", "ček", "kartica".
QString PaymentKindName(PaymentKind kind);

}  // namespace zodra::planner
