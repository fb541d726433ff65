#pragma once

#include <QDate>
#include <QString>
#include <utility>
#include <vector>

#include "data/CompanySettings.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::companyconfig {

// The company's configuration table Konfiguracija (Naziv, Vrijednost), shared by every
// workstation of the company. Yes is stored as "DA"; any other value, or a missing row, is no,
// unless a key says otherwise.

// Every key with its default, in the order the configuration window lists them.
const std::vector<std::pair<QString, QString>>& Keys();

// Reads the company settings. An invalid stock-keeping method is reported and rewritten as
// "FIFO"; a missing or non-numeric business year is reported and the current year written;
// so each message appears only once. Also reads the home currency's name (currency 1).
CompanySettings Load(Database& db, Prompter& prompter, const QDate& today = QDate::currentDate());

QString Value(Database& db, const QString& key);
// Every row of the table (for the configuration window), in key order.
std::vector<std::pair<QString, QString>> ReadAll(Database& db);
void Write(Database& db, const QString& key, const QString& value);

}  // namespace zodra::companyconfig
