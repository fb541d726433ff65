#pragma once

#include <QString>

#include "data/StockMethod.h"

namespace zodra {

// Company settings shared by all workstations, read at session start from the company's
// configuration table.
struct CompanySettings {
    StockMethod stockMethod = StockMethod::Fifo;
    int businessYear = 0;
    QString fixedExtraText;
    bool multiYearDatabase = false;
    bool vehicleSales = false;
    bool articleExtraData = false;
    bool employeesAndServiceDuration = false;
    bool shortCalculation = false;
    bool previousArticleDataInCalculation = false;
    bool automaticWorkOrders = false;
    bool deferredRegisterStock = false;
    bool sumRetailInvoices = false;
    bool sumTransfersAndReceipts = false;
    bool externalArticleSource = false;
    QString externalArticleSourcePath;
    int externalArticleSourceWarehouse = 0;
    bool pricesInCurrency = false;
    bool closeLineWindowAfterEntry = true;
    bool wordDocuments = false;
    bool additionalDependentCosts = false;
    bool printTimeOnRegisterReceipt = false;
    bool packaging = false;
    bool serviceConsumptionLists = false;
    bool lotChoiceInRegister = false;
    bool showInvoiceTotals = true;
    bool warnBelowCost = true;
    bool paymentDialogAfterRetailInvoice = true;
    QString homeCurrencyName;
};

}  // namespace zodra
