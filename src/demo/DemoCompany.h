#pragma once

#include <QDate>
#include <QString>

namespace zodra::demo {

// A demo company to look around in: company data, a few warehouses (one retail), article
// groups, articles with codes and barcodes, customers and suppliers with OIBs, goods received
// over the year and, unless `withSales` is false, a few hundred invoices sold between the
// deliveries.
void CreateDemoCompany(const QString& path, const QDate& today, bool withSales = true);

}  // namespace zodra::demo
