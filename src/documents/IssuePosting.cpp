#include "documents/IssuePosting.h"

#include <stdexcept>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "stock/LotMethod.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"

namespace zodra::documents {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

const QString kPrice = QStringLiteral("CIJENA");
const QString kValue = QStringLiteral("VRIJEDNOST");
const QString kWorkOrderPrice = QStringLiteral("PRODAJNA_CIJENA");
const QString kWorkOrderValue = QStringLiteral("PRODAJNA_VRIJEDNOST");
const QString kSoldValue = QStringLiteral("VRIJEDNOST_");

}  // namespace

const stock::CostFamily& CostFamilyOf(DocumentKind kind) {
    const QString header = Info(kind).headerTable;
    for (const stock::CostFamily& family : stock::CostFamilies()) {
        if (family.headerTable == header) {
            return family;
        }
    }
    throw std::logic_error("the document kind takes nothing from lots");
}

QString TradeBookType(const DocumentKey& key) {
    const stock::CostFamily& family = CostFamilyOf(key.kind);
    if (family.invoiceBook) {
        return QString::number(key.invoiceBook.value_or(0)) + QStringLiteral("RAČUN");
    }
    return family.tradeBookType;
}

DocumentKey NewDocumentKey(Database& db, DocumentKind kind, int warehouse, int year,
                           std::optional<int> invoiceBook, int salesTerms) {
    DocumentKey key{kind, warehouse, invoiceBook, year, 0};
    Q_ASSERT(KeyIsComplete(key));
    key.number = kind == DocumentKind::Invoice
                     ? numbering::NextInvoiceNumber(db, warehouse, *invoiceBook, year, salesTerms)
                     : numbering::NextDocumentNumber(db, kind, warehouse, year);
    return key;
}

IssuePosting::IssuePosting(Session& session, const DocumentKey& key)
    : IssuePosting(session, key, std::make_unique<stock::LotTable>(session.Db())) {}

IssuePosting::IssuePosting(Session& session, const DocumentKey& key,
                           std::unique_ptr<stock::LotTable> lots)
    : m_session(session),
      m_key(key),
      m_family(CostFamilyOf(key.kind)),
      m_lines(session.Db(), key),
      m_lots(std::move(lots)) {
    Q_ASSERT(KeyIsComplete(key));
    // The number and the position are only true while the posting's transaction holds the
    // company's write lock.
    Q_ASSERT(session.Db().TransactionDepth() > 0);
    m_position = tradebook::NextBookNumber(session.Db(), tradebook::Book::Wholesale, key.warehouse,
                                           key.year);
}

void IssuePosting::WriteHeader(const QDate& date, const Columns& more) {
    Columns columns{{QStringLiteral("SKLADISTE"), m_key.warehouse}};
    if (m_key.invoiceBook) {
        columns.emplace_back(QStringLiteral("IRA"), *m_key.invoiceBook);
    }
    columns.emplace_back(QStringLiteral("GODINA"), m_key.year);
    columns.emplace_back(m_family.headerNumber, m_key.number);
    columns.emplace_back(QStringLiteral("DATUM"), date);
    columns.emplace_back(QStringLiteral("RBR_TK"), m_position);
    columns.insert(columns.end(), more.begin(), more.end());
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (const auto& [column, value] : columns) {
        names << Q(column);
        marks << QStringLiteral("?");
        values << value;
    }
    m_session.Db().Exec(QStringLiteral("INSERT INTO ") + Q(m_family.headerTable) +
                            QStringLiteral(" (") + names.join(QStringLiteral(", ")) +
                            QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                            QStringLiteral(")"),
                        values);
}

TakenLine IssuePosting::Take(const IssueLine& line, std::optional<double> enteredPrice) {
    Database& db = m_session.Db();
    std::optional<int> lot = line.lot;
    if (!lot) {
        lot = stock::DefaultLot(db, m_key.warehouse, m_key.year, line.article, line.quantity);
    }
    if (!lot) {
        throw UserError(stock::InsufficientQuantityMessage(stock::ArticleName(db, line.article)));
    }
    const stock::LotKey key{m_key.warehouse, m_key.year, *lot, line.article};
    stock::Lot before;
    if (m_family.inbound) {
        const std::optional<stock::Lot> found = m_lots->Find(key);
        if (!found) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        before = *found;
        stock::Lot after = before;
        after.quantity = RoundQuantity(before.quantity + line.quantity);
        after.freeQuantity = RoundQuantity(before.freeQuantity + line.quantity);
        m_lots->Update(after);
    } else {
        before = stock::TakeFromLotChecked(*m_lots, key, line.quantity, enteredPrice);
    }
    const TakenLine taken{line.article, *lot, line.quantity, stock::LotMethod::IssueCost(before),
                          before.sellingPrice};
    m_value += taken.Value();
    return taken;
}

void IssuePosting::WriteLine(const TakenLine& line, const Columns& more) {
    DocumentLine row;
    row.article = line.article;
    row.lot = line.lot;
    row.quantity = line.quantity;
    row.other = {{QStringLiteral("NABAVNA_CIJENA"), line.cost},
                 {QStringLiteral("NABAVNA_VRIJEDNOST"), line.CostValue()}};
    if (m_family.fields == stock::CostFields::CostValueAndMargin) {
        const QVariant sold = ValueOf(more, kSoldValue);
        Q_ASSERT(sold.isValid());
        const double costValue = line.CostValue();
        const double margin = sold.toDouble() - costValue;
        row.other.emplace_back(QStringLiteral("RUC_%"),
                               costValue != 0 ? QVariant(margin / costValue * 100) : QVariant());
        row.other.emplace_back(QStringLiteral("RUC_IZNOS"), margin);
    } else {
        const bool workOrder = m_session.Db().Columns(m_lines.Table()).contains(kWorkOrderPrice);
        row.other.emplace_back(workOrder ? kWorkOrderPrice : kPrice, line.price);
        row.other.emplace_back(workOrder ? kWorkOrderValue : kValue, line.Value());
    }
    row.other.insert(row.other.end(), more.begin(), more.end());
    m_lines.Add(row);
}

tradebook::Entry IssuePosting::StockEntry(const QDate& date) const {
    tradebook::Entry entry;
    entry.date = date;
    entry.description = TradeBookType(m_key) + QLatin1Char(' ') + QString::number(m_key.number);
    // A return note brings goods back into stock, so the stock's value grows.
    entry.purchaseValue = m_family.inbound ? Value() : -Value();
    return entry;
}

void IssuePosting::Finish(tradebook::Entry entry, const std::vector<int>& alsoWarehouses) {
    m_lots->Flush();
    entry.warehouse = m_key.warehouse;
    entry.year = m_key.year;
    entry.type = TradeBookType(m_key);
    entry.documentNumber = m_key.number;
    tradebook::AppendEntry(m_session.Db(), tradebook::Book::Wholesale, entry, m_position);
    stock::CheckStockAgainstCard(m_session, alsoWarehouses);
}

}  // namespace zodra::documents
