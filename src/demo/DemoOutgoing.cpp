#include "demo/DemoOutgoing.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "sales/DeliveryNoteBilling.h"
#include "sales/InvoiceLines.h"
#include "sales/OutgoingPosting.h"

namespace zodra::demo {

namespace {

constexpr int kBook = 1;
constexpr int kWholesaleTerms = 2;

struct FreeLot {
    int article = 0;
    int lot = 0;
    double free = 0;
    double price = 0;
};

std::vector<FreeLot> FreeLots(Database& db, int warehouse, int year) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA_PRIVREMENO\", \"VELEPRODAJNA "
        "CIJENA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
        "\"KOLICINA_PRIVREMENO\" >= 1 ORDER BY \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\""));
    rows.Exec({warehouse, year});
    std::vector<FreeLot> lots;
    while (rows.Next()) {
        if (lots.empty() || lots.back().article != rows.Int(0)) {
            lots.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3)});
        }
    }
    return lots;
}

}  // namespace

DemoOutgoing::DemoOutgoing(Session& session) : m_session(session), m_random(4021) {
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"Kupac\" = TRUE AND \"SIFRA\" > 2 AND "
        "COALESCE(\"ADRESA\", '') <> '' AND COALESCE(\"MJESTO\", '') <> '' ORDER BY \"SIFRA\" "
        "LIMIT 3"));
    rows.Exec();
    while (rows.Next()) {
        m_customers.push_back(rows.Int(0));
    }
}

void DemoOutgoing::Period(const QDate& from, const QDate& to) {
    if (m_customers.empty() || to < from) {
        return;
    }
    ++m_period;
    const int customer = m_customers.at(static_cast<size_t>(m_period) % m_customers.size());
    const QDate middle = from.addDays(from.daysTo(to) / 2);
    PostOne(m_period % 2 == 0 ? 0 : 1, from, customer);
    if (m_period % 3 == 0) {
        PostOne(2, middle, customer);
    }
    if (m_period % 8 == 0) {
        ScriptedPrompter quiet;
        try {
            m_billed += static_cast<int>(
                sales::BillDeliveryNotes(m_session, quiet, customer, {from.addYears(-1), to})
                    .size());
        } catch (const UserError&) {
            // No open note of the customer yet.
        }
    }
}

// 0 offer, 1 pro-forma, 2 delivery note: two or three articles at their lots' own prices (a
// delivery note never reprices the demo's stock), the offers with a discount.
bool DemoOutgoing::PostOne(int kind, const QDate& date, int customer) {
    std::vector<FreeLot> lots =
        FreeLots(m_session.Db(), m_session.activeWarehouse.code, m_session.businessYear);
    if (lots.empty()) {
        return false;
    }
    const sales::OutgoingDocument& document =
        kind == 0 ? sales::OfferDocument()
                  : (kind == 1 ? sales::ProFormaDocument() : sales::DeliveryNoteDocument());
    ScriptedPrompter quiet;
    sales::InvoiceDraft draft = sales::OpenInvoice(m_session, date);
    draft.book = kBook;
    draft.salesTerms = kWholesaleTerms;
    draft.customer = customer;
    const int wanted = 2 + static_cast<int>(m_random.bounded(2));
    std::set<int> articles;
    for (int i = 0; i < wanted * 3 && static_cast<int>(articles.size()) < wanted; ++i) {
        const FreeLot& lot = lots.at(m_random.bounded(static_cast<quint32>(lots.size())));
        if (!articles.insert(lot.article).second) {  // each article once
            continue;
        }
        const double quantity =
            std::min(std::floor(lot.free), 1.0 + static_cast<double>(m_random.bounded(4)));
        sales::AddArticleLine(m_session, quiet, draft,
                              {lot.article, lot.lot, quantity, lot.price, kind == 0 ? 5.0 : 0.0,
                               std::nullopt, QString()});
    }
    sales::PostOutgoing(m_session, document, draft,
                        sales::ProposeOutgoingHeader(m_session, document, draft));
    sales::DiscardInvoice(m_session, draft);
    (kind == 0 ? m_offers : (kind == 1 ? m_proFormas : m_notes)) += 1;
    return true;
}

}  // namespace zodra::demo
