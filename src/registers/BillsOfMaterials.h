#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

// The register of bills of materials ("Sastavnice"): a product article, the parts it is made
// of (article, quantity per product, optionally the lot to take them from) and further costs
// (description, quantity, price, value = quantity x price). Preparing a work order from a bill
// belongs to production.
namespace zodra::registers::billsofmaterials {

struct Bill {
    int code = 0;  // SIFRA_SASTAVNICE
    int product = 0;
    QString productName;
};
struct Part {
    int article = 0;
    QString name;
    QString unit;
    double quantity = 0;
    int lot = 0;  // BROJ_PRIMKE, 0: any lot
};
struct Cost {
    int code = 0;
    QString description;
    double quantity = 0;
    double price = 0;
    double value = 0;
};

// "Količina nesmije biti nula !": a part or cost quantity of 0, and a work order's product.
QString ZeroQuantityMessage();

// The bill of a product, if it has one.
std::optional<int> BillOf(Database& db, int product);
// The production costs of one unit (the sum of the cost lines' values): the dependent cost a
// work order proposes per unit of the product.
double DependentCostPerUnit(Database& db, int bill);

// Every bill by product name in Croatian order.
std::vector<Bill> List(Database& db);
std::vector<Part> Parts(Database& db, int bill);
std::vector<Cost> Costs(Database& db, int bill);

// A new bill for a product; a product has one bill. Returns its code.
int Add(Database& db, int product);
// Adds a part or changes its quantity and lot when it is already there. The quantity is a
// number above 0 ("Količina nesmije biti nula !" for 0).
void SetPart(Database& db, int bill, int article, const QVariant& quantity, int lot = 0);
void RemovePart(Database& db, int bill, int article);
// Adds a cost line; returns its code.
int AddCost(Database& db, int bill, const QString& description, const QVariant& quantity,
            const QVariant& price);
void RemoveCost(Database& db, int cost);
// Asks "Sigurno želite izbrisati sastavnicu za <product> ?" and deletes the bill with its parts
// and costs. Returns false when the user said No.
bool Delete(Database& db, int bill, Prompter& prompter);

}  // namespace zodra::registers::billsofmaterials
