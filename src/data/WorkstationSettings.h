#pragma once

#include <QString>

namespace zodra {

// The settings of one workstation (receipt printer, customer display, report zoom …), read at
// program start from the workstation's own configuration file.
struct WorkstationSettings {
    bool posPrinter = false;
    QString posPrinterPort;
    QString posPrinterSettings;
    QString posPrinterInitHex;
    int posPrinterLinePause = 0;
    int posPrinterLineFeeds = 5;
    bool posPrinterPaperCut = false;
    QString posPrinterPaperCutHex = QStringLiteral("5");
    bool posPrinterCashDrawer = false;
    QString posPrinterCashDrawerHex = QStringLiteral("5");
    int posCodePage = 437;
    // The printer's character table (ESC t n): empty for the usual one of the code page, "NE"
    // for none, or the number n.
    QString posPrinterCodePageSelect;
    bool posMultiWindow = false;
    bool customerDisplay = false;
    QString customerDisplayPort;
    QString customerDisplaySettings;
    bool debugMode = false;
    int reportZoom = 100;
    bool openLastDatabase = false;
    bool printInvoice = true;
    bool printInvoiceDeliveryNote = false;
    bool printDeliveryNote = false;
    // Where the planner program leaves its bill file.
    QString plannerBillPath;
};

}  // namespace zodra
