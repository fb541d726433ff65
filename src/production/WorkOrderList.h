#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "data/TableData.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the work-order windows read: the warehouses a work order may deliver into and the posted
// work orders of the session's warehouse and year.
namespace zodra::production {

// Every warehouse (the session's own too) by code: code and "code - name".
std::vector<std::pair<int, QString>> DestinationChoices(Database& db);

// The partners by name, for the owner of a finishing order's goods: code and "name (code)".
std::vector<std::pair<int, QString>> PartnerChoices(Database& db);
// Every article by name, for a finishing order's products: code and "name (code)".
std::vector<std::pair<int, QString>> ArticleChoices(Database& db);
// The articles with free stock in the session's warehouse, for typed material: code and
// "name (free quantity)".
std::vector<std::pair<int, QString>> MaterialChoices(Session& session);

// The posted work orders: number, date, description, destination, generated receipt, cost
// value and selling value, by number.
TableData PostedWorkOrders(Session& session);
// "Odredište : 2 - Gotovi proizvodi   Primka br. : 200001   Nabavna vrijednost : 100,00   Prodajna
// vrijednost : 120,00"; empty for a number that is not posted.
QString WorkOrderDetails(Session& session, int number);

// The lines of a posted work order for its view: the parts taken (part, lot, quantity, cost
// price and value, selling price and value) followed by the products of its receipt (product,
// quantity, cost price and value, selling price and value; no lot).
TableData PostedWorkOrderLines(Session& session, int number);

// The posted finishing work orders: number, date, owner of the goods, description, material at
// cost plus services, and the value invoiced (material at selling prices plus services).
TableData PostedFinishingOrders(Session& session);
// "Vlasnik robe : 3 - Auto d.o.o.   Nabavna vrijednost : 65,00   Vrijednost : 95,00"; empty for
// a number that is not posted.
QString FinishingOrderDetails(Session& session, int number);
// Per product: its row ("Proizvod", quantity), its material lot by lot ("Materijal") and its
// services ("Usluga").
TableData PostedFinishingOrderLines(Session& session, int number);

}  // namespace zodra::production
