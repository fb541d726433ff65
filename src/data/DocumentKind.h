#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zodra {

// Every kind of document the company keeps. A document is keyed by warehouse, business year
// and a number (invoice-like documents add the invoice book between warehouse and year).
enum class DocumentKind {
    GoodsReceipt,        // Primka
    Invoice,             // Račun
    DetailedInvoice,     // Maloprodajni račun, detailed (in the detail file)
    DeliveryNote,        // Otpremnica
    Offer,               // Ponuda
    ProForma,            // Predračun
    PriceChange,         // Izmjena cijena
    Transfer,            // Međuskladišnica
    RetailTransfer,      // Maloprodajna međuskladišnica
    RetailReceipt,       // receipt lines a register sale generates (working copy only)
    StockCount,          // Inventura
    WriteOff,            // Rashod
    CommissionReturn,    // Odjava
    IssueNote,           // Izdatnica
    ReturnNote,          // Povratnica
    SupplierReturn,      // Povratnica dobavljaču
    ServiceConsumption,  // Specifikacija
    PurchaseOrder,       // Narudžbenica
    Reservation,         // Rezervacija
    WorkOrder,           // Radni nalog
    FinishingWorkOrder,  // Radni nalog dorada
    Situation,           // Situacija
    Letter,              // Dopis
    TaxGroupChange,      // Zapisnik o promjeni grupe poreza
    CashReceipt,         // Blagajnička uplatnica
    CashPayment,         // Blagajnička isplatnica
    WordDocument,        // Word dokument
};

// One working-copy table and the posted line table its rows are copied into.
struct LineCopy {
    QString workingTable;
    QString lineTable;
    // Number column in the working table and in the line table (they differ where one working
    // copy serves several documents, e.g. delivery notes use the invoice working copy).
    QString workingNumberColumn;
    QString lineNumberColumn;
    // The article column, for filling missing tax groups after posting; empty when the line
    // table carries no tax group of its own.
    QString articleColumn;
    // Only lines of this kind are articles ('ART'); empty when every line is an article.
    bool articleLinesByKind = false;
};

struct DocumentKindInfo {
    DocumentKind kind;
    QString name;                 // Croatian name
    QString headerTable;          // empty for kinds without a header of their own
    QString numberColumn;         // number column of the header table
    bool hasInvoiceBook = false;  // key includes the invoice book (IRA)
    bool numberedPerYear = true;  // false where numbering runs over the warehouse only
    int firstNumber = 1;
    std::vector<LineCopy> lines;
};

const DocumentKindInfo& Info(DocumentKind kind);
const std::vector<DocumentKindInfo>& AllDocumentKinds();
// Every working-copy table, each once.
QStringList AllWorkingTables();
// The line tables whose missing tax groups are completed at session start.
std::vector<LineCopy> TaxFixupTables();

}  // namespace zodra
