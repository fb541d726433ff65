#pragma once

#include <QString>
#include <map>
#include <memory>

#include "data/Statement.h"
#include "stock/CostFamilies.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// Writes a new unit cost onto issue lines, keeping one prepared statement per family and kind
// of update, so that a recomputation that touches thousands of documents prepares each text
// once.
class CostWriter {
public:
    explicit CostWriter(Database& db) : m_db(db) {}
    CostWriter(const CostWriter&) = delete;
    CostWriter& operator=(const CostWriter&) = delete;

    // The lines of one document that took the article from the lot get the cost (and the
    // values and margins that follow from it). `book` is the invoice book of invoice-like
    // families and ignored otherwise.
    void SetDocumentCost(const CostFamily& family, int warehouse, int year, int book, int number,
                         int article, int lot, double cost);

    // Every line of the family that took the article from the lot gets the cost (a FIFO lot
    // whose receipt was corrected). Returns the number of lines changed.
    int SetLotCost(const CostFamily& family, int warehouse, int year, int article, int lot,
                   double cost);

private:
    Statement& Prepared(const QString& sql);

    Database& m_db;
    std::map<QString, std::unique_ptr<Statement>> m_statements;
};

}  // namespace zodra::stock
