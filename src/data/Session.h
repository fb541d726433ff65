#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "data/CompanySettings.h"
#include "data/Database.h"
#include "data/WorkstationSettings.h"

namespace zodra {

// The warehouse the user works in.
struct ActiveWarehouse {
    int code = 0;
    QString name;
};

// Flags copied from the active warehouse's row when it is chosen.
struct WarehouseFlags {
    bool pricesInCurrency = false;    // CijeneValuta
    int stockWarehouse = 0;           // SKLADISTE_ZALIHA
    int autoWorkOrderWarehouse = 0;   // SKLADISTE_AUTOM_RN
    bool retail = false;              // MALOPRODAJA
    bool allInvoicesAllowed = false;  // DOZVOLJENI_SVI_RACUNI
    bool commission = false;          // KOMISIJSKO_SKLADISTE
};

// Options from the company record, read at session start.
struct CompanyOptions {
    QString numberFormat;            // FormatBroj
    QString wholesaleInvoiceReport;  // REPORT VRACUNA
    QString retailInvoiceReport;     // REPORT MRACUNA
    QString vehicleInvoiceReport;    // REPORT RACUNA VOZILA
    QString articleOrder;  // ARTIKLI: "po nazivu", "po nazivu i šifri", "po šifri i nazivu"
    // The text every article picker shows and orders by (an SQL expression over ARTIKLI).
    QString articleDisplayExpression = QStringLiteral("\"NAZIV\"");
    bool r2 = false;  // OZNAKA_NA_RACUNU = "R-2"
};

// The text an article list shows and orders by for the company's ARTIKLI option (an SQL
// expression over ARTIKLI): "po nazivu i šifri", "po šifri i nazivu", otherwise the name alone.
inline QString ArticleDisplayExpression(const QString& order) {
    if (order == QStringLiteral("po nazivu i šifri")) {
        return QStringLiteral("\"NAZIV\" || ' - ' || COALESCE(\"OPIS\", '')");
    }
    if (order == QStringLiteral("po šifri i nazivu")) {
        return QStringLiteral("COALESCE(\"OPIS\", '') || ' - ' || \"NAZIV\"");
    }
    return QStringLiteral("\"NAZIV\"");
}

// The three rights the document windows read during the session.
struct SessionRights {
    bool purchasePricesVisible = false;   // Vidljive nabavne cijene
    bool priceChangeAllowed = false;      // Dozvoljena promjena cijene
    bool registerZReportAllowed = false;  // Dozvoljen Z kase
};

// The working session of one workstation: the open company, the user, the warehouse and year,
// the session codes that keep this workstation's unfinished documents apart from the others',
// and the settings every window reads. The application owns one and passes it explicitly;
// tests make as many as they need (two sessions = two workstations).
class Session {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QString databasePath;
    QString databasePassword;
    QString ConnectString() const { return QStringLiteral(";pwd=") + databasePassword; }
    QString userName;

    int sessionCode = 0;
    int workOrderSessionCode = 0;
    int transferSessionCode = 0;

    ActiveWarehouse activeWarehouse;
    WarehouseFlags warehouseFlags;
    int businessYear = 0;
    StockMethod stockMethod = StockMethod::Fifo;
    CompanyOptions options;
    CompanySettings company;
    WorkstationSettings workstation;
    SessionRights rights;

    // Run once a change of the retail collections of a date has committed (a retail payment, a
    // cancellation of a retail invoice): the program's wiring rebuilds what the books keep per
    // day (the KPI's daily takings). Left empty where nothing is kept, e.g. in most tests.
    std::function<void(Session&, const QDate&)> afterRetailCollections;
    void RetailCollectionsChanged(const QDate& date) {
        if (afterRetailCollections) {
            afterRetailCollections(*this, date);
        }
    }

    // A retail sale as the register posts it. `duringRetailPosting` runs inside the posting's
    // transaction, after the invoice is written and before it commits, so what it writes is
    // kept or dropped with the sale (the fiscal record: its number and protective code);
    // `afterRetailSale` runs once the sale and its payment are written, before the receipt is
    // printed (the fiscal request is sent). The program's wiring sets them; empty in most tests.
    struct RetailSaleEvent {
        int warehouse = 0;
        int book = 1;
        int year = 0;
        int number = 0;
        bool detailed = false;  // posted into the detail file
        int sessionCode = 0;    // the sale's working copy, still there during the posting
        double total = 0;
        QString cashier;
        struct Tax {
            double rate = 0;  // percent
            double base = 0;
            double amount = 0;
        };
        std::vector<Tax> taxes;  // per rate, in the order of the rates (highest first)
    };
    std::function<void(Session&, const RetailSaleEvent&)> duringRetailPosting;
    std::function<void(Session&, const RetailSaleEvent&)> afterRetailSale;

    // An invoice posted from the invoice window (or its command-line and file doors), with the
    // same two moments: `duringInvoicePosting` inside the posting's transaction, before it
    // commits; `afterInvoicePosting` once it has committed (never while an outer transaction is
    // still open). The program's wiring fiscalizes the invoices paid in cash, by card, or by
    // bank transfer from a consumer with them; empty in most tests.
    struct InvoicePostingEvent {
        int warehouse = 0;
        int book = 1;
        int year = 0;
        int number = 0;
        QDate date;
        int customer = 0;
        QString paymentMethod;  // as the header names it (NACINI_PLACANJA)
        double total = 0;
        QString user;
        std::vector<RetailSaleEvent::Tax> taxes;  // per rate, highest first
    };
    std::function<void(Session&, const InvoicePostingEvent&)> duringInvoicePosting;
    std::function<void(Session&, const InvoicePostingEvent&)> afterInvoicePosting;
    // The cancellation of a posted retail invoice (its key in `warehouse` … `detailed`, the
    // cancelling user in `cashier`; amounts are not filled). `duringRetailCancellation` runs
    // inside the cancelling transaction (the fiscal negative receipt is numbered and recorded
    // there), `afterRetailCancellation` after the commit (it is sent).
    std::function<void(Session&, const RetailSaleEvent&)> duringRetailCancellation;
    std::function<void(Session&, const RetailSaleEvent&)> afterRetailCancellation;

    // A collection of an output invoice written by the payments (its invoice, the collection's
    // own code, date, amount and payment model): `duringInvoiceCollection` inside the
    // collection's transaction, `afterInvoiceCollection` once it has committed. The program's
    // wiring queues and sends the payment report of an e-invoice with them; empty in most tests.
    struct CollectionEvent {
        int warehouse = 0;
        int book = 1;
        int year = 0;
        int number = 0;
        int collection = 0;
        QDate date;
        double amount = 0;
        QString model;
    };
    std::function<void(Session&, const CollectionEvent&)> duringInvoiceCollection;
    std::function<void(Session&, const CollectionEvent&)> afterInvoiceCollection;
    // A collection deleted (alone or with its payment), the same event as it was written:
    // `duringCollectionRemoval` inside the deleting transaction, `afterCollectionRemoval` once
    // it has committed. The wiring drops or withdraws the collection's payment report with them.
    std::function<void(Session&, const CollectionEvent&)> duringCollectionRemoval;
    std::function<void(Session&, const CollectionEvent&)> afterCollectionRemoval;

    // An e-invoice (or, with `creditNote`, the credit note of its cancellation) written for the
    // information intermediary: `duringEInvoiceExport` inside the transaction the file is
    // written in, `afterEInvoiceExport` once it has committed. The wiring queues and sends the
    // e-invoice's fiscalization report with them.
    struct EInvoiceEvent {
        int warehouse = 0;
        int book = 1;
        int year = 0;
        int number = 0;
        bool creditNote = false;
    };
    std::function<void(Session&, const EInvoiceEvent&)> duringEInvoiceExport;
    std::function<void(Session&, const EInvoiceEvent&)> afterEInvoiceExport;

    // The fiscal marks a printed receipt carries, as plain text: the receipt number
    // "number/premises/device", the protective code, the JIR (empty while unconfirmed), the
    // operator's mark, the moment of issue, the link of the QR code. Its negative receipt, when
    // the invoice is cancelled, is in `cancellation`.
    struct FiscalMarks {
        QString number;
        QString protectiveCode;
        QString jir;
        QString operatorMark;
        QDateTime issued;
        QString qrText;
    };
    // The marks of a posted retail invoice (key as in RetailSaleEvent; `cancellation` asks for
    // its negative receipt); nullopt when it was not fiscalized. Empty outside the wiring.
    std::function<std::optional<FiscalMarks>(Session&, const RetailSaleEvent&, bool cancellation)>
        fiscalMarksOf;
    std::optional<FiscalMarks> FiscalMarksOf(const RetailSaleEvent& invoice, bool cancellation) {
        return fiscalMarksOf ? fiscalMarksOf(*this, invoice, cancellation) : std::nullopt;
    }

    bool IsOpen() const { return m_db != nullptr; }
    Database& Db() {
        Q_ASSERT(m_db);
        return *m_db;
    }
    void Attach(std::unique_ptr<Database> db) { m_db = std::move(db); }
    std::unique_ptr<Database> Detach() { return std::move(m_db); }
    void Close() { m_db.reset(); }

private:
    std::unique_ptr<Database> m_db;
};

}  // namespace zodra
