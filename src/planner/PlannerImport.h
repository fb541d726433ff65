#pragma once

#include <QString>

#include "planner/PlannerBill.h"

namespace zodra {
class Session;
struct WorkstationSettings;
}  // namespace zodra

// A planner bill becomes a paid retail invoice of the session's warehouse and business year.
namespace zodra::planner {

// The local socket the running program listens on, and the one message that signals a bill.
QString ServerName();     // "Zodra-MessageServer"
QString SignalMessage();  // "MCL_RASPOREDIX_TO_ZODRA"

// Where the planner leaves its bill: the workstation setting "Planer - datoteka računa", else
// zodra_racun.xml in the user's data folder.
QString BillPath(const WorkstationSettings& settings);

struct ImportedBill {
    int number = 0;  // the retail invoice (IRA book 1)
    double total = 0;
    bool alreadyImported = false;  // the same bill was billed before: nothing written
    bool partnerAdded = false;
    int servicesAdded = 0;
};

// Imports the bill in one transaction, or writes nothing:
//  - the same bill again (BillIdentity, kept in PLANER_RACUNI) writes nothing and returns the
//    earlier invoice's number with alreadyImported;
//  - the client is the partner of that exact name (the lowest code), else a new customer with
//    the bill's address, place and phone;
//  - each service is the service of its list name, else a new one with the bill's price and the
//    tax group "PDV"; the same service twice is one line of quantity 2 (the register's merge);
//  - the retail invoice (IRA book 1, retail terms 1, the register's own posting) dated with the
//    bill's date, which must lie in the business year's range of document dates;
//  - the payment of the whole total in the bill's kind (the register's payment rows), for a card
//    with the card type of that name ("Račun planera: tip kartice … nije upisan.").
// A refusal is a UserError with its message; a database failure a DbError. After the commit the
// day's retail collections are announced (Session::RetailCollectionsChanged).
ImportedBill ImportPlannerBill(Session& session, const PlannerBill& bill);

// "Račun planera je već uvezen kao račun broj N." for a bill billed before.
QString AlreadyImportedMessage(int number);

// Reads the bill file at `path` ("Račun planera: datoteka … ne postoji." / "… nije čitljiva."),
// parses and imports it.
ImportedBill ImportPlannerFile(Session& session, const QString& path);

// The receipt of the imported invoice through the register's receipt routine; the printer's
// refusal or error text, empty when printed.
QString PrintPlannerReceipt(Session& session, int number);

}  // namespace zodra::planner
