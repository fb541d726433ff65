#include "retail/RetailPosting.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "sales/InvoicePosting.h"

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

}  // namespace

int ProposedRetailNumber(Session& session, const TillSale& sale) {
    return numbering::NextRetailInvoiceNumber(session.Db(), sale.draft.warehouse, kRetailBook,
                                              sale.draft.year, session.company.sumRetailInvoices);
}

void ProduceCompositeProducts(Session& /*session*/, const TillSale& /*sale*/) {}

std::optional<PostedRetailSale> PostRetailSale(Session& session, const TillSale& sale,
                                               int proposedNumber) {
    Database& db = session.Db();
    const sales::InvoiceTotals totals = sales::Totals(db, sale.draft.sessionCode);
    if (totals.lines == 0) {
        return std::nullopt;
    }
    ProduceCompositeProducts(session, sale);
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
    for (int attempt = 0;; ++attempt) {
        try {
            const sales::PostedInvoice posted =
                sales::PostCheckedInvoice(session, sale.draft, header, checked, mode);
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
