#pragma once

#include <QString>
#include <QVariantMap>

#include "data/RegisterTable.h"

namespace zodra {
class Database;
}

namespace zodra::warehouses {

// The warehouse register (SKLADISTA): name, address and telephone each required and at most
// 25 characters; the flags retail, all invoices allowed, commission, prices in currency; the
// warehouse whose stock the invoices draw on (this one unless another is chosen) and the one
// for automatic work orders.
const RegisterTable& Register();

// Adds a warehouse after the entry checks; returns its code.
int Add(Database& db, const QVariantMap& values);
void Update(Database& db, int code, const QVariantMap& values);

// "Sigurno želite izbrisati skladište " + name + " ?"
QString DeleteQuestion(const QString& name);
// A warehouse that documents, lots, books or other warehouses still refer to cannot be
// deleted: throws UserError with the reason. Otherwise deletes it (in one transaction).
void Delete(Database& db, int code);

}  // namespace zodra::warehouses
