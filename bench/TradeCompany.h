#pragma once

#include <QString>
#include <memory>

#include "data/ScriptedPrompter.h"
#include "data/Session.h"

// The trading company the sales benchmarks post into, made the same way on a file or on a
// server: warehouse 1, supplier 10, articles 1 … n in tax group 1 (25 %), receipt 1 posted
// through the real receipt posting with kStockPerArticle pieces of every article in lot 1 at
// cost 9 and price 11.25 (retail margin 10 %), then, where asked, posted invoices of 20 lines
// written straight into the tables with their trade-book entries and the lots reduced by what
// they took.
namespace zodra::bench {

constexpr double kStockPerArticle = 1000000;  // enough for every iteration
constexpr int kCustomer = 20;                 // the wholesale customer
constexpr int kBook = 1;                      // IRA book 1
constexpr int kYear = 2026;

struct Workstation {
    Session session;
    ScriptedPrompter prompter;
};

// Opens the company (a file or a server address) and starts a session in warehouse 1 on
// 2 March 2026 with "Debug Mode" off. Throws when the company does not open.
std::unique_ptr<Workstation> StartWorkstation(const QString& target);

struct TradeCompany {
    int articles = 1000;
    // Warehouse 1 a retail shop, articles with the barcodes "B" + code, invoices of book 1 under
    // the retail terms; else the wholesale customer kCustomer, the company's bank account and
    // invoices under the taxed wholesale terms 2.
    bool retail = false;
    int filledLines = 0;  // posted invoice lines, 20 per invoice
};

// Fills the session's working receipt with articles 1 … `articles`, `quantity` pieces each at
// cost 9 and price 11.25, calculated as the receipt window leaves them.
void DrawUpReceipt(Workstation& w, int articles, double quantity);

// Makes the company at `target` (which must not exist yet).
void MakeTradeCompany(const QString& target, const TradeCompany& company);

}  // namespace zodra::bench
