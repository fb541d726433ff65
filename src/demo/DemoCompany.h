#pragma once

#include <QDate>
#include <QString>

namespace zodra::demo {

// A demo company to look around in: company data, a few warehouses (one retail), article
// groups, articles with codes and barcodes, customers and suppliers with OIBs.
void CreateDemoCompany(const QString& path, const QDate& today);

}  // namespace zodra::demo
