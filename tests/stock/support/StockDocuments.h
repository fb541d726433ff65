#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/Session.h"
#include "documents/IssuePosting.h"
#include "stock/CostFamilies.h"

namespace zodra::test {

// Posts and deletes stock documents the way their postings do, through the stock operations
// (trade-book entry, header with its RBR_TK, lines carrying their lot's cost and price, lots
// taken or returned, the average recomputed after a change in the past, the consistency check
// before the commit), for tests that need documents before their windows exist. Invoices go
// through the invoice's own working copy, posting, cancellation and deletion. Every operation
// is one transaction: a refusal leaves nothing behind. Warehouse and year are the session's
// unless a document names another warehouse.
class StockDocuments {
public:
    explicit StockDocuments(Session& session) : m_session(session) {}

    // A goods-receipt line: quantity, unit cost and unit selling price without tax.
    struct In {
        int article = 0;
        double quantity = 0;
        double cost = 0;
        double price = 0;
        std::optional<double> margin = std::nullopt;
    };
    // An issue line: from the lot given, else from the article's default lot.
    using Out = documents::IssueLine;

    enum class Issue {
        IssueNote,           // Izdatnica
        ReturnNote,          // Povratnica (goods back into the lot)
        WriteOff,            // Rashod
        CommissionReturn,    // Odjava
        SupplierReturn,      // Povratnica dobavljaču
        ServiceConsumption,  // Specifikacija
        WorkOrder,           // Radni nalog (materials)
        FinishingWorkOrder,  // Radni nalog dorada
        Invoice,             // Račun, book 1, sold at the lot's price, 25 % tax
        DeliveryNote,        // Otpremnica
        RetailTransfer,      // Maloprodajna međuskladišnica (source side only)
    };

    // An article in tax group 1 (25 %).
    int AddArticle(const QString& name);

    // A receipt of type 1 under the session's stock-keeping method. Returns its number.
    int Receipt(const std::vector<In>& lines, const QDate& date = QDate(2026, 3, 2),
                std::optional<int> warehouse = std::nullopt);
    // Deletes a receipt after the guards of a receipt deletion: no later issue from its lots,
    // no later price change of the pooled lot other than its own.
    void DeleteReceipt(int number, std::optional<int> warehouse = std::nullopt);
    // A correction of a posted receipt's cost: every line of the article gets the new unit
    // cost, and lots and issues follow.
    void CorrectReceiptCost(int number, int article, double cost);

    // Posts an issue document; lines are checked against their lots (missing, insufficient).
    // The five simple documents go through their real posting (a commission return makes the
    // session's warehouse a commission warehouse, a return to supplier names supplier 2), the
    // others are written here.
    // An invoice (book 1, wholesale terms 2, customer 1) is drawn up line by line and posted by
    // sales::PostInvoice; a line the article dialog refuses (more than the lot has free, a lot
    // that is not there) leaves no working lines behind.
    int Post(Issue kind, const std::vector<Out>& lines, const QDate& date = QDate(2026, 3, 2));
    // Deletes a posted issue document: refused when a lot it took from now has another selling
    // or cost price (or, for a return note, would fall below zero); otherwise the quantities go
    // back, its entry goes, and the pooled average is recomputed from its position.
    void Delete(Issue kind, int number);
    // Cancels a posted invoice (sales::CancelInvoice): the goods come back at their cost.
    void CancelInvoice(int number, const QDate& date = QDate(2026, 3, 2));
    // The same for a service consumption.
    void CancelServiceConsumption(int number, const QDate& date = QDate(2026, 3, 2));

    // A price change of lots with stock to new selling prices (posted through the price-change
    // document from a working copy), and its cancellation.
    struct Reprice {
        int article = 0;
        int lot = 0;
        double price = 0;
    };
    int PriceChange(const std::vector<Reprice>& lines, const QDate& date = QDate(2026, 3, 2));
    void CancelPriceChange(int number, const QDate& date = QDate(2026, 3, 2));

    // An inter-warehouse transfer to `destination` at the source selling prices, through the
    // transfer's real posting. Returns the transfer's number.
    int Transfer(int destination, const std::vector<Out>& lines,
                 const QDate& date = QDate(2026, 3, 2));
    // The number of the receipt a transfer generated.
    int DestinationReceipt(int transfer);

    // A stock count of the given lots to the counted quantities.
    struct Count {
        int article = 0;
        int lot = 0;
        double counted = 0;
    };
    int StockCount(const std::vector<Count>& lines, const QDate& date = QDate(2026, 3, 2));

    // The family of an issue kind in the shared list.
    static const stock::CostFamily& Family(Issue kind);
    // The position (RBR_TK) of a posted document.
    int Position(Issue kind, int number);
    int ReceiptPosition(int number, std::optional<int> warehouse = std::nullopt);

private:
    Database& Db() { return m_session.Db(); }
    int Warehouse() const { return m_session.activeWarehouse.code; }
    int Year() const { return m_session.businessYear; }
    void CancelByCounterEntry(Issue kind, int number, const QDate& date);
    int PostSimpleDocument(Issue kind, const std::vector<Out>& lines, const QDate& date);
    int PostInvoice(const std::vector<Out>& lines, const QDate& date);

    Session& m_session;
};

}  // namespace zodra::test
