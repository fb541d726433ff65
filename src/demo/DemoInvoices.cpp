#include "demo/DemoInvoices.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "data/Database.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::demo {

namespace {

constexpr int kBook = 1;            // the company's book of output invoices, which takes stock
constexpr int kWholesaleTerms = 2;  // "Veleprodaja"
constexpr int kCancelEvery = 12;

struct FreeLot {
    int article = 0;
    int lot = 0;
    double free = 0;
    double price = 0;
};

// The articles with free stock, each with its oldest lot that has some.
std::vector<FreeLot> FreeLots(Database& db, int warehouse, int year) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA_PRIVREMENO\", \"VELEPRODAJNA "
        "CIJENA\" FROM \"NABAVE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"KOLICINA_PRIVREMENO\" >= 1 ORDER BY "
        "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\""));
    rows.Exec({warehouse, year});
    std::vector<FreeLot> lots;
    while (rows.Next()) {
        // The oldest lot of each article, as the article dialog proposes it.
        if (lots.empty() || lots.back().article != rows.Int(0)) {
            lots.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3)});
        }
    }
    return lots;
}

}  // namespace

DemoInvoices::DemoInvoices(Session& session) : m_session(session), m_random(2719) {
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"Kupac\" = TRUE AND \"SIFRA\" > 2 AND "
        "COALESCE(\"ADRESA\", '') <> '' AND COALESCE(\"MJESTO\", '') <> '' ORDER BY \"SIFRA\""));
    rows.Exec();
    while (rows.Next()) {
        m_customers.push_back(rows.Int(0));
    }
}

void DemoInvoices::Post(const QDate& from, const QDate& to, int count) {
    if (m_customers.empty() || count <= 0 || to < from) {
        return;
    }
    const qint64 span = from.daysTo(to);
    for (int n = 0; n < count; ++n) {
        PostOne(from.addDays(span * (n + 1) / (count + 1)), to);
    }
}

bool DemoInvoices::PostOne(const QDate& date, const QDate& last) {
    Database& db = m_session.Db();
    std::vector<FreeLot> lots =
        FreeLots(db, m_session.activeWarehouse.code, m_session.businessYear);
    if (lots.empty()) {
        return false;
    }
    ScriptedPrompter quiet;
    sales::InvoiceDraft draft = sales::OpenInvoice(m_session, date);
    draft.book = kBook;
    draft.salesTerms = kWholesaleTerms;
    draft.customer = m_customers.at(m_random.bounded(static_cast<quint32>(m_customers.size())));
    // A few different articles, a few pieces each, never more than the lot has free.
    const int wanted = 1 + static_cast<int>(m_random.bounded(5));
    std::set<int> articles;
    for (int i = 0; i < wanted * 3 && static_cast<int>(articles.size()) < wanted; ++i) {
        const FreeLot& lot = lots.at(m_random.bounded(static_cast<quint32>(lots.size())));
        if (!articles.insert(lot.article).second) {  // each article once
            continue;
        }
        const double quantity =
            std::min(std::floor(lot.free), 1.0 + static_cast<double>(m_random.bounded(6)));
        // At the lot's own price and without discount: another price would reprice the lot
        // through a generated price change, and a discount sells below the stock's value; the
        // demo keeps its prices as received and its trade book showing the stock its lots hold.
        sales::AddArticleLine(
            m_session, quiet, draft,
            {lot.article, lot.lot, quantity, lot.price, 0.0, std::nullopt, QString()});
    }
    const sales::InvoiceHeader header = sales::ProposeHeader(m_session, draft);
    const sales::PostedInvoice posted = sales::PostInvoice(m_session, draft, header);
    sales::DiscardInvoice(m_session, draft);  // the working copy is empty: its code goes back
    ++m_posted;
    if (m_posted % kCancelEvery == 0) {
        sales::CancelInvoice(m_session, kBook, posted.number, std::min(date.addDays(1), last));
        ++m_cancelled;
    }
    return true;
}

}  // namespace zodra::demo
