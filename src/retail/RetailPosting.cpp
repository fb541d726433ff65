#include "retail/RetailPosting.h"

#include <map>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "documents/TransferPosting.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "stock/Lots.h"

namespace zodra::retail {

namespace {

constexpr int kPendingDetailRetries = 5;

sales::InvoiceHeader RetailHeader(Database& db, const TillSale& sale, int number) {
    sales::InvoiceHeader h;
    h.number = number;
    Statement partner = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"));
    partner.Exec({*sale.draft.customer});
    if (partner.Next()) {
        h.deliveryName = partner.Text(0);
        h.deliveryAddress = partner.Text(1);
        h.deliveryPlace = partner.Text(2);
    }
    partner.Finish();
    h.deliveryMethod = QStringLiteral("osobno");
    h.paymentMethod = QStringLiteral("gotovinom");
    h.paymentTerm = QStringLiteral("0");
    h.alreadyPaid = QStringLiteral("0");
    h.bankAccount =
        db.Scalar(QStringLiteral("SELECT \"ZIRO_RACUN\" FROM \"PODACI_FIRME\" LIMIT 1")).toString();
    return h;
}

// The session posts a transfer from its active warehouse: for the generated transfer the
// transfer warehouse is active for a moment, and the register's warehouse again after.
class ActiveWarehouseFor {
public:
    ActiveWarehouseFor(Session& session, int warehouse)
        : m_session(session), m_saved(session.activeWarehouse) {
        m_session.activeWarehouse.code = warehouse;
    }
    ~ActiveWarehouseFor() { m_session.activeWarehouse = m_saved; }
    ActiveWarehouseFor(const ActiveWarehouseFor&) = delete;
    ActiveWarehouseFor& operator=(const ActiveWarehouseFor&) = delete;

private:
    Session& m_session;
    ActiveWarehouse m_saved;
};

struct Shortfall {
    int lineNumber = 0;
    int article = 0;
    int lot = 0;
    double quantity = 0;  // the line's
    double missing = 0;   // what its lot cannot give
};

// The article lines whose lots in the register's warehouse hold less than they sell, in line
// order, each lot's stock spent by the lines before.
std::vector<Shortfall> Shortfalls(Database& db, const TillSale& sale) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"RBR_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\" FROM "
        "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'ART' "
        "AND \"BROJ_PRIMKE\" IS NOT NULL ORDER BY \"RBR_STAVKE\""));
    rows.Exec({sale.draft.sessionCode});
    std::vector<Shortfall> lines;
    while (rows.Next()) {
        lines.push_back({rows.Int(0), rows.Int(1), rows.Int(2), rows.Double(3), 0});
    }
    rows.Finish();
    std::map<std::pair<int, int>, double> left;
    std::vector<Shortfall> missing;
    for (Shortfall& line : lines) {
        auto it = left.find({line.lot, line.article});
        if (it == left.end()) {
            const std::optional<stock::Lot> lot =
                stock::FindLot(db, {sale.draft.warehouse, sale.draft.year, line.lot, line.article});
            it = left.emplace(std::pair{line.lot, line.article}, lot ? lot->quantity : 0.0).first;
        }
        line.missing = RoundQuantity(line.quantity - std::max(it->second, 0.0));
        it->second = RoundQuantity(it->second - line.quantity);
        if (line.missing > 0) {
            missing.push_back(line);
        }
    }
    return missing;
}

// Brings the goods the register's warehouse lacks from the sale's transfer warehouse by a
// generated retail transfer (and its receipt), inside the posting's transaction: taken from
// the source's lots with stock, oldest first, at the price of the register's lot. Under the
// pooled methods they join the pooled lot the line sells from; under FIFO the line is split and
// its missing part sells from the generated receipt's lot. Returns the transfer and receipt.
std::optional<documents::PostedTransfer> BringMissingGoods(Session& session, const TillSale& sale) {
    Database& db = session.Db();
    // Without a warehouse to bring goods from there is nothing to look for (a lot read per line).
    if (!sale.transferWarehouse) {
        return std::nullopt;
    }
    const std::vector<Shortfall> missing = Shortfalls(db, sale);
    if (missing.empty()) {
        return std::nullopt;
    }
    const int source = *sale.transferWarehouse;
    const int y = sale.draft.year;
    std::vector<documents::TransferLine> lines;
    for (const Shortfall& line : missing) {
        const std::optional<stock::Lot> own =
            stock::FindLot(db, {sale.draft.warehouse, y, line.lot, line.article});
        double needed = line.missing;
        for (const int lot : stock::ListLots(db, source, y, line.article, true)) {
            const std::optional<stock::Lot> from =
                stock::FindLot(db, {source, y, lot, line.article});
            const double take = std::min(needed, from ? RoundQuantity(from->freeQuantity) : 0.0);
            if (take <= 0) {
                continue;
            }
            // What the transfer takes is held first, as a line of its working copy would be.
            stock::ReserveFromLot(db, {source, y, lot, line.article}, take);
            documents::TransferLine t;
            t.article = line.article;
            t.lot = lot;
            t.quantity = take;
            t.destinationPrice = own ? own->sellingPrice : from->sellingPrice;
            t.retailMargin = own ? own->retailMargin : from->retailMargin;
            lines.push_back(t);
            needed = RoundQuantity(needed - take);
            if (needed <= 0) {
                break;
            }
        }
        if (needed > 0) {
            throw UserError(
                stock::InsufficientQuantityMessage(stock::ArticleName(db, line.article)));
        }
    }
    documents::PostedTransfer posted;
    {
        ActiveWarehouseFor from(session, source);
        posted = documents::PostTransferLines(session, DocumentKind::RetailTransfer, 0,
                                              sale.draft.date, sale.draft.warehouse, lines);
    }
    if (session.stockMethod != StockMethod::Fifo) {
        return posted;
    }
    const int code = sale.draft.sessionCode;
    for (const Shortfall& line : missing) {
        const double kept = RoundQuantity(line.quantity - line.missing);
        const double part = line.missing / line.quantity;
        const int next =
            sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM "
                                                     "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                     "\"Multiuser_sifra\" = ?"),
                                      {code})) +
            1;
        // The missing part becomes a line of its own on the generated receipt's lot; the line
        // keeps what its lot holds (nothing: the line moves whole).
        db.Exec(QStringLiteral(
                    "INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", "
                    "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
                    "\"KOLICINA\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", "
                    "\"RUC_IZNOS\", \"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", "
                    "\"RABAT_IZNOS\", \"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", "
                    "\"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", \"RBR_STAVKE\", "
                    "\"Multiuser_sifra\") SELECT \"SKLADISTE\", \"IRA\", \"GODINA\", "
                    "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", ?, ?, \"NABAVNA_CIJENA\", "
                    "\"NABAVNA_VRIJEDNOST\" * ?, \"RUC_%\", \"RUC_IZNOS\" * ?, "
                    "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\" * ?, \"RABAT_%\", "
                    "\"RABAT_IZNOS\" * ?, \"CIJENA_\", \"VRIJEDNOST_\" * ?, \"GRUPA_POREZA\", "
                    "\"POREZ_%\", \"POREZ_IZNOS\" * ?, \"UKUPNO_\" * ?, \"TIP_OPOREZIVANJA\", "
                    "\"OPIS\", ?, \"Multiuser_sifra\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
                {posted.receipt, line.missing, part, part, part, part, part, part, part, next, code,
                 line.lineNumber});
        const double rest = 1 - part;
        db.Exec(QStringLiteral(
                    "UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"KOLICINA\" = ?, "
                    "\"NABAVNA_VRIJEDNOST\" = \"NABAVNA_VRIJEDNOST\" * ?, \"RUC_IZNOS\" = "
                    "\"RUC_IZNOS\" * ?, \"VRIJEDNOST_BEZ_RABATA\" = \"VRIJEDNOST_BEZ_RABATA\" * ?, "
                    "\"RABAT_IZNOS\" = \"RABAT_IZNOS\" * ?, \"VRIJEDNOST_\" = \"VRIJEDNOST_\" * ?, "
                    "\"POREZ_IZNOS\" = \"POREZ_IZNOS\" * ?, \"UKUPNO_\" = \"UKUPNO_\" * ? WHERE "
                    "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
                {kept, rest, rest, rest, rest, rest, rest, rest, code, line.lineNumber});
        if (kept <= 0) {
            db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
                    {code, line.lineNumber});
        }
        // The reservation follows the goods: the old lot holds what the line kept, the new one
        // what moved.
        stock::ReleaseToLot(db, {sale.draft.warehouse, y, line.lot, line.article}, line.missing);
        stock::ReserveFromLot(db, {sale.draft.warehouse, y, posted.receipt, line.article},
                              line.missing);
    }
    return posted;
}

}  // namespace

int ProposedRetailNumber(Session& session, const TillSale& sale) {
    return numbering::NextRetailInvoiceNumber(session.Db(), sale.draft.warehouse, kRetailBook,
                                              sale.draft.year, session.company.sumRetailInvoices);
}

int CheckRetailNumber(Session& session, const TillSale& sale, const QString& typed) {
    bool ok = false;
    const int number = typed.trimmed().toInt(&ok);
    if (!ok || number <= 0) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    const DocumentKind kind =
        session.company.sumRetailInvoices ? DocumentKind::DetailedInvoice : DocumentKind::Invoice;
    if (numbering::DocumentExists(session.Db(), kind, sale.draft.warehouse, sale.draft.year, number,
                                  kRetailBook)) {
        throw UserError(QStringLiteral("Račun pod ovim brojem je već napravljen !"));
    }
    return number;
}

void ProduceCompositeProducts(Session& session, const TillSale& sale) {
    const bool takesStock =
        sqlvalue::ToInt(session.Db().Scalar(
            QStringLiteral("SELECT \"SKIDA\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"),
            {kRetailBook})) != 0;
    sales::ProduceCompositeLines(session, sale.draft, takesStock);
}

Session::RetailSaleEvent SaleEvent(const TillSale& sale, int number, bool detailed, double total) {
    Session::RetailSaleEvent event;
    event.warehouse = sale.draft.warehouse;
    event.book = kRetailBook;
    event.year = sale.draft.year;
    event.number = number;
    event.detailed = detailed;
    event.sessionCode = sale.draft.sessionCode;
    event.total = total;
    event.cashier = sale.cashier;
    return event;
}

void RetailSaleFinished(Session& session, const TillSale& sale, const PostedRetailSale& posted) {
    if (session.afterRetailSale) {
        session.afterRetailSale(session,
                                SaleEvent(sale, posted.number, posted.detailed, posted.total));
    }
}

std::optional<PostedRetailSale> PostRetailSale(Session& session, const TillSale& sale,
                                               int proposedNumber) {
    Database& db = session.Db();
    const sales::InvoiceTotals totals = sales::Totals(db, sale.draft.sessionCode);
    if (totals.lines == 0) {
        return std::nullopt;
    }
    sales::PostingMode mode;
    mode.detailed = session.company.sumRetailInvoices;
    mode.deferredStock = session.company.deferredRegisterStock;
    mode.user = sale.cashier;
    const sales::InvoiceHeader header = RetailHeader(db, sale, proposedNumber);
    sales::CheckedHeader checked;
    checked.paymentTerm = 0;
    checked.dueDate = sale.draft.date;
    checked.alreadyPaid = 0;
    mode.tradeBookName = QStringLiteral("Maloprodaja");
    const bool takesStock =
        !mode.detailed && !mode.deferredStock &&
        sqlvalue::ToInt(
            db.Scalar(QStringLiteral("SELECT \"SKIDA\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"),
                      {kRetailBook})) != 0;
    for (int attempt = 0;; ++attempt) {
        try {
            // One transaction for the transfer and the invoice: a refusal of either leaves
            // neither, and the lines (split or not) as they were.
            Transaction transaction(db);
            if (takesStock) {
                if (const auto transfer = BringMissingGoods(session, sale)) {
                    mode.transfer = transfer->number;
                    mode.transferReceipt = transfer->receipt;
                }
            }
            ProduceCompositeProducts(session, sale);
            // The sale's tax per rate, read from its lines before the posting takes them.
            std::vector<Session::RetailSaleEvent::Tax> taxes;
            if (session.duringRetailPosting) {
                taxes = sales::WorkingCopyTaxes(db, sale.draft.sessionCode);
            }
            const sales::PostedInvoice posted =
                sales::PostCheckedInvoice(session, sale.draft, header, checked, mode);
            if (session.duringRetailPosting) {
                Session::RetailSaleEvent event =
                    SaleEvent(sale, posted.number, mode.detailed, totals.total);
                event.taxes = std::move(taxes);
                session.duringRetailPosting(session, event);
            }
            transaction.Commit();
            PostedRetailSale result;
            result.number = posted.number;
            result.numberChanged = posted.numberChanged;
            result.total = totals.total;
            result.detailed = mode.detailed;
            result.priceChange = posted.priceChange;
            return result;
        } catch (const sales::PendingDetailChanges&) {
            if (attempt >= kPendingDetailRetries) {
                throw UserError(
                    QStringLiteral("Detaljni računi još nisu upisani. Pokušajte ponovo."));
            }
            db.ApplyPendingDetail();
        }
    }
}

}  // namespace zodra::retail
