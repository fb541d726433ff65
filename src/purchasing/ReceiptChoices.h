#pragma once

#include <QString>
#include <vector>

namespace zodra {
class Database;
}

// What the receipt's windows offer to choose from.
namespace zodra::purchasing {

struct Choice {
    int code = 0;
    QString name;
};

// The partners marked as suppliers, by name in the Croatian order.
std::vector<Choice> Suppliers(Database& db);
// The kinds of returnable packaging, by name.
std::vector<Choice> PackagingKinds(Database& db);
// The currencies by code: the home currency (code 1) first.
std::vector<Choice> Currencies(Database& db);

}  // namespace zodra::purchasing
