#pragma once

#include <QString>
#include <vector>

#include "registers/RegisterDescription.h"

// The master-data registers of a company, each described once for its list and entry windows,
// the command-line import and the shared operations.
namespace zodra::registers::catalogue {

const RegisterDescription& Articles();
const RegisterDescription& Partners();
const RegisterDescription& Services();
const RegisterDescription& Packaging();
const RegisterDescription& ArticleGroups();
const RegisterDescription& TaxGroups();
const RegisterDescription& SalesTerms();
const RegisterDescription& Warehouses();
const RegisterDescription& OutputInvoiceBooks();
const RegisterDescription& InputInvoiceBooks();
const RegisterDescription& Currencies();
const RegisterDescription& CardTypes();
const RegisterDescription& Employees();
const RegisterDescription& DeliveryMethods();

// Every register above, in menu order.
const std::vector<const RegisterDescription*>& All();
// A register by its id ("artikli", "partneri" …), or nullptr.
const RegisterDescription* ById(const QString& id);

// "SELECT 1 WHERE EXISTS (…) OR …": a guard query that finds a code in any of the columns.
struct ColumnRef {
    const char16_t* table;
    const char16_t* column;
};
QString AnyReference(std::initializer_list<ColumnRef> columns);

}  // namespace zodra::registers::catalogue
