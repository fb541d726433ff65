#include "sales/InvoicePosting.h"

#include <cmath>
#include <iterator>

#include <QDateTime>
#include <map>
#include <tuple>
#include <vector>

#include "data/BoundRows.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "sales/InvoiceLines.h"
#include "sales/OutgoingPostingSteps.h"
#include "sales/ServiceConsumption.h"
#include "stock/LotTable.h"
#include "stock/Lots.h"
#include "stock/PriceChangeWriter.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

constexpr int kFieldLength = 80;

std::optional<QDate> TypedDate(const QString& typed) {
    const QString text = typed.trimmed();
    for (const char* format : {"d.M.yyyy", "d.M.yyyy.", "yyyy-MM-dd"}) {
        const QDate date = QDate::fromString(text, QString::fromLatin1(format));
        if (date.isValid()) {
            return date;
        }
    }
    return std::nullopt;
}

std::optional<double> TypedNumber(const QString& typed) {
    bool ok = false;
    const double value =
        QString(typed).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool Missing(const QString& text) {
    return text.size() > kFieldLength || text.trimmed().isEmpty();
}

}  // namespace

namespace steps {

std::vector<WorkingArticle> WorkingArticles(Database& db, int sessionCode) {
    const QString id = QString::fromUtf16(RowKeyColumn(db.Dialect()));
    Statement rows = db.Prepare(QStringLiteral("SELECT \"") + id +
                                QStringLiteral("\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                                               "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_\" FROM "
                                               "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                               "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = "
                                               "'ART' ORDER BY \"RBR_STAVKE\""));
    rows.Exec({sessionCode});
    std::vector<WorkingArticle> lines;
    while (rows.Next()) {
        WorkingArticle line;
        line.id = rows.Value(0).toLongLong();
        line.article = rows.Int(1);
        if (!rows.IsNull(2)) {
            line.lot = rows.Int(2);
        }
        line.quantity = rows.Double(3);
        line.priceBeforeDiscount = rows.Double(4);
        line.value = rows.Double(5);
        lines.push_back(line);
    }
    return lines;
}

// The last guard of whatever reaches the books: no line without a number where the books need
// one, none outside the input limits, whoever wrote the working copy.
void CheckWorkingNumbers(Database& db, int sessionCode) {
    const std::pair<QString, QString> checked[] = {
        {QStringLiteral("KOLICINA"), QStringLiteral("Količina")},
        {QStringLiteral("CIJENA_BEZ_RABATA"), QStringLiteral("Cijena")},
        {QStringLiteral("VRIJEDNOST_"), QStringLiteral("Vrijednost")},
        {QStringLiteral("POREZ_IZNOS"), QStringLiteral("Porez")},
        {QStringLiteral("UKUPNO_"), QStringLiteral("Ukupno")}};
    // One statement reads them all; they are checked column by column, each over every line, so
    // the first column in this order that is wrong anywhere is the one named.
    QString select;
    for (const auto& [column, what] : checked) {
        select += (select.isEmpty() ? QStringLiteral("SELECT \"") : QStringLiteral(", \"")) +
                  column + QLatin1Char('"');
    }
    Statement rows = db.Prepare(select + QStringLiteral(" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                        "\"Multiuser_sifra\" = ?"));
    rows.Exec({sessionCode});
    std::vector<QVariantList> values;
    while (rows.Next()) {
        QVariantList row;
        for (int i = 0; i < int(std::size(checked)); ++i) {
            row << rows.Value(i);
        }
        values.push_back(row);
    }
    for (int i = 0; i < int(std::size(checked)); ++i) {
        const auto& [column, what] = checked[i];
        for (const QVariantList& row : values) {
            if (row.at(i).isNull()) {
                throw UserError(limits::NotANumberMessage(what));
            }
            limits::RequireNumber(
                sqlvalue::ToDouble(row.at(i)),
                i == 0 ? limits::NumberKind::Quantity : limits::NumberKind::Amount, what);
        }
    }
}

// Plans the price change and the price each line leaves its lot at, line by line in line order:
// a line sells at its price before discount (for the retail terms without the retail margin the
// price carries); when that is not the lot's price the lot is repriced first, for what it holds
// at that moment (less what the lines before took from it). Writes nothing.
std::vector<Repricing> PlanRepricing(stock::LotTable& table, const InvoiceDraft& draft, int terms,
                                     std::vector<WorkingArticle>& lines,
                                     std::vector<double>& leftAt) {
    Database& db = table.Db();
    struct Planned {
        double quantity = 0;
        double price = 0;
    };
    std::map<LotId, Planned> lots;
    std::vector<Repricing> repricings;
    std::vector<stock::LotKey> keys;
    for (WorkingArticle& line : lines) {
        if (!line.lot) {
            line.lot =
                stock::DefaultLot(db, draft.warehouse, draft.year, line.article, line.quantity);
            if (!line.lot) {
                throw UserError(
                    stock::InsufficientQuantityMessage(stock::ArticleName(db, line.article)));
            }
        }
        keys.push_back({draft.warehouse, draft.year, *line.lot, line.article});
    }
    if (table.KeepsWhatIsRead()) {
        // Every line's lot in one statement, locked; the lines below find them kept.
        table.ReadAll(keys);
    }
    for (WorkingArticle& line : lines) {
        const stock::LotKey key{draft.warehouse, draft.year, *line.lot, line.article};
        const std::optional<stock::Lot> lot = table.Find(key);
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        auto it =
            lots.try_emplace(LotId{key.lot, key.article}, Planned{lot->quantity, lot->sellingPrice})
                .first;
        double sold = line.priceBeforeDiscount;
        if (terms == kRetailTerms) {
            // The retail price carries the lot's retail margin; the stock is valued without it.
            const double factor = 1 + lot->retailMargin.value_or(0) / 100;
            sold = RoundQuantity(factor) != 0 ? sold / factor : it->second.price;
        }
        const double target = RoundQuantity(sold);
        if (RoundQuantity(it->second.price) != target) {
            repricings.push_back({key, it->second.quantity, it->second.price, target});
            it->second.price = target;
        }
        leftAt.push_back(it->second.price);
        it->second.quantity = RoundQuantity(it->second.quantity - line.quantity);
    }
    return repricings;
}

// Writes the generated price change (stock::PriceChangeWriter: header tied to the invoice, lines
// with their article's tax group, its trade-book entry "IZMJENA CIJENA (NIVELACIJA) " + number)
// and puts the lots at their new prices. Returns its number.
int WritePriceChange(Session& session, stock::LotTable& lots, const InvoiceDraft& draft,
                     std::optional<int> book, std::optional<int> invoice,
                     const std::vector<Repricing>& repricings) {
    Database& db = session.Db();
    stock::PriceChangeHeader header;
    header.warehouse = draft.warehouse;
    header.year = draft.year;
    header.number =
        numbering::NextDocumentNumber(db, DocumentKind::PriceChange, draft.warehouse, draft.year);
    header.date = draft.date;
    header.position =
        tradebook::NextBookNumber(db, tradebook::Book::Wholesale, draft.warehouse, draft.year);
    header.invoiceBook = book;
    header.invoice = invoice;
    header.description =
        QStringLiteral("IZMJENA CIJENA (NIVELACIJA) ") + QString::number(header.number);
    stock::PriceChangeWriter writer(db, header);
    for (const Repricing& r : repricings) {
        writer.AddLine({r.lot.lot, r.lot.article, r.quantity, r.oldPrice, r.newPrice});
        std::optional<stock::Lot> lot = lots.Find(r.lot);
        Q_ASSERT(lot);  // the plan read it in this transaction
        lot->sellingPrice = r.newPrice;
        lots.Update(*lot);
    }
    writer.Finish();
    return header.number;
}

// The working lines of a retail invoice summed at day end, written into the detail file under
// the final number (logged in this transaction, applied after its commit), then deleted here.
void DeferDetailedLines(Database& db, Transaction& transaction, const InvoiceDraft& draft, int book,
                        int number) {
    static const QStringList columns = {QStringLiteral("TIP_STAVKE"),
                                        QStringLiteral("SIFRA"),
                                        QStringLiteral("BROJ_PRIMKE"),
                                        QStringLiteral("KOLICINA"),
                                        QStringLiteral("NABAVNA_CIJENA"),
                                        QStringLiteral("NABAVNA_VRIJEDNOST"),
                                        QStringLiteral("RUC_%"),
                                        QStringLiteral("RUC_IZNOS"),
                                        QStringLiteral("CIJENA_BEZ_RABATA"),
                                        QStringLiteral("VRIJEDNOST_BEZ_RABATA"),
                                        QStringLiteral("RABAT_%"),
                                        QStringLiteral("RABAT_IZNOS"),
                                        QStringLiteral("CIJENA_"),
                                        QStringLiteral("VRIJEDNOST_"),
                                        QStringLiteral("GRUPA_POREZA"),
                                        QStringLiteral("POREZ_%"),
                                        QStringLiteral("POREZ_IZNOS"),
                                        QStringLiteral("UKUPNO_"),
                                        QStringLiteral("TIP_OPOREZIVANJA"),
                                        QStringLiteral("OPIS"),
                                        QStringLiteral("RBR_STAVKE")};
    QString list = QStringLiteral("\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\"");
    QString marks = QStringLiteral("?, ?, ?, ?");
    QString select;
    for (const QString& column : columns) {
        list += QStringLiteral(", \"") + column + QLatin1Char('"');
        marks += QStringLiteral(", ?");
        select += (select.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1Char('"') +
                  column + QLatin1Char('"');
    }
    const QString insert = QStringLiteral("INSERT INTO \"STAVKE_RACUNA_DETALJNO\" (") + list +
                           QStringLiteral(") VALUES (") + marks + QLatin1Char(')');
    Statement rows = db.Prepare(QStringLiteral("SELECT ") + select +
                                QStringLiteral(" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                               "\"Multiuser_sifra\" = ? ORDER BY \"RBR_STAVKE\""));
    rows.Exec({draft.sessionCode});
    std::vector<QVariantList> lines;
    while (rows.Next()) {
        QVariantList values = {draft.warehouse, book, draft.year, number};
        for (int i = 0; i < columns.size(); ++i) {
            values << rows.Value(i);
        }
        lines.push_back(values);
    }
    rows.Finish();
    for (const QVariantList& values : lines) {
        transaction.DeferDetail(insert, values);
    }
    workingcopy::ClearWorkingCopy(db, DocumentKind::Invoice, draft.sessionCode);
}

TakenRecords::TakenRecords()
    : m_rows({{QStringLiteral("id"), BoundRows::Type::Integer},
              {QStringLiteral("l"), BoundRows::Type::Integer},
              {QStringLiteral("c"), BoundRows::Type::Real},
              {QStringLiteral("cv"), BoundRows::Type::Real},
              {QStringLiteral("m"), BoundRows::Type::Real},
              {QStringLiteral("mp"), BoundRows::Type::Real},
              {QStringLiteral("p"), BoundRows::Type::Real}}) {}

void TakenRecords::Add(const WorkingArticle& line, const documents::TakenLine& taken,
                       double leftAt) {
    const double costValue = line.quantity * taken.cost;
    m_rows.Add({static_cast<qint64>(line.id), taken.lot, taken.cost, costValue,
                line.value - costValue, costValue != 0 ? (line.value / costValue - 1) * 100 : 0.0,
                leftAt});
}

void TakenRecords::Write(Database& db) {
    if (m_rows.Empty()) {
        return;
    }
    // The rows are named by their keys alone, read from the session's working copy in this
    // transaction: a further condition on the session would let a planner walk the session's
    // rows and search the bound ones for each.
    db.Exec(
        QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"BROJ_PRIMKE\" = \"v\".\"l\", "
                       "\"NABAVNA_CIJENA\" = \"v\".\"c\", \"NABAVNA_VRIJEDNOST\" = \"v\".\"cv\", "
                       "\"RUC_IZNOS\" = \"v\".\"m\", \"RUC_%\" = \"v\".\"mp\", "
                       "\"CIJENA_SKLADISTA\" = \"v\".\"p\" FROM ") +
            m_rows.Source(db.Dialect(), QStringLiteral("v")) +
            QStringLiteral(" WHERE \"STAVKE_RACUNA_PRIVREMENO\".\"") +
            QString::fromUtf16(RowKeyColumn(db.Dialect())) + QStringLiteral("\" = \"v\".\"id\""),
        {m_rows.Value()});
}

QString CustomerName(Database& db, int customer) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                {customer})
        .toString();
}

std::vector<OldPrice> PriceChangeOldPrices(Database& db, int warehouse, int year, int priceChange) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"BROJ_PRIMKE\", \"ARTIKAL\", \"STARA_CIJENA\" FROM "
                       "\"STAVKE_IZMJENA_CIJENA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                       "\"BROJ_IZMJENE_CIJENA\" = ? ORDER BY \"") +
        QString::fromUtf16(RowKeyColumn(db.Dialect())) + QStringLiteral("\""));
    rows.Exec({warehouse, year, priceChange});
    std::vector<OldPrice> prices;
    while (rows.Next()) {
        prices.push_back({{warehouse, year, rows.Int(0), rows.Int(1)}, rows.Double(2)});
    }
    return prices;
}

void RestorePrices(Database& db, const std::vector<OldPrice>& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        stock::SetSellingPrice(db, it->lot, it->price);
    }
}

std::optional<int> DeleteGeneratedPriceChange(Database& db, int warehouse, int year,
                                              int priceChange) {
    RestorePrices(db, PriceChangeOldPrices(db, warehouse, year, priceChange));
    const QVariant position = db.Scalar(
        QStringLiteral("SELECT \"RBR_TK\" FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
                       "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
        {warehouse, year, priceChange});
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, warehouse,
                                   stock::PriceChangeType(), year, priceChange, false);
    for (const char* table : {"STAVKE_IZMJENA_CIJENA", "IZMJENE_CIJENA"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                   "\"BROJ_IZMJENE_CIJENA\" = ?"),
                {warehouse, year, priceChange});
    }
    if (!position.isValid() || position.isNull()) {
        return std::nullopt;
    }
    return position.toInt();
}

}  // namespace steps

using namespace steps;

int ProposedNumber(Database& db, const InvoiceDraft& draft) {
    const int terms = draft.salesTerms.value_or(0);
    const int book = draft.book.value_or(1);
    return terms == kRetailTerms
               ? numbering::NextRetailInvoiceNumber(db, draft.warehouse, book, draft.year)
               : numbering::NextInvoiceNumber(db, draft.warehouse, book, draft.year, terms);
}

InvoiceHeader ProposeHeader(Session& session, const InvoiceDraft& draft) {
    Database& db = session.Db();
    InvoiceHeader h;
    h.number = ProposedNumber(db, draft);
    int delay = 15;
    if (draft.customer) {
        Statement partner =
            db.Prepare(QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"ODGODA\" FROM "
                                      "\"PARTNERI\" WHERE \"SIFRA\" = ?"));
        partner.Exec({*draft.customer});
        if (partner.Next()) {
            h.deliveryName = partner.Text(0);
            h.deliveryAddress = partner.Text(1);
            h.deliveryPlace = partner.Text(2);
            if (!partner.IsNull(3) && partner.Int(3) != 0) {
                delay = partner.Int(3);
            }
        }
    }
    h.paymentTerm = QString::number(delay);
    h.dueDate = draft.date.addDays(delay).toString(QStringLiteral("dd.MM.yyyy"));
    h.alreadyPaid = QStringLiteral("0");
    h.bankAccount =
        db.Scalar(QStringLiteral("SELECT \"ZIRO_RACUN\" FROM \"PODACI_FIRME\" LIMIT 1")).toString();
    return h;
}

int CheckInvoiceNumber(Database& db, const InvoiceDraft& draft, const QString& typed) {
    bool ok = false;
    const int number = typed.trimmed().toInt(&ok);
    if (!ok || number < 0) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (numbering::DocumentExists(db, DocumentKind::Invoice, draft.warehouse, draft.year, number,
                                  draft.book.value_or(1))) {
        throw UserError(QStringLiteral("Račun pod ovim brojem je već napravljen !"));
    }
    return number;
}

CheckedHeader CheckHeader(const InvoiceHeader& h) {
    if (Missing(h.deliveryName)) {
        throw UserError(QStringLiteral("Isporuka-naziv je duži od 80 znakova ili nije upisan"));
    }
    if (Missing(h.deliveryAddress)) {
        throw UserError(QStringLiteral("Isporuka-adresa je duža od 80 znakova ili nije upisana"));
    }
    if (Missing(h.deliveryPlace)) {
        throw UserError(QStringLiteral("Isporuka-mjesto je duže od 80 znakova ili nije upisano"));
    }
    if (Missing(h.bankAccount)) {
        throw UserError(QStringLiteral("Žiro račun je duži od 80 znakova ili nije upisan"));
    }
    CheckedHeader checked;
    if (!h.deliveryDate.trimmed().isEmpty()) {
        checked.deliveryDate = TypedDate(h.deliveryDate);
        if (!checked.deliveryDate) {
            throw UserError(QStringLiteral("U polje datum isporuke mora biti upisan datum."));
        }
    }
    bool ok = false;
    checked.paymentTerm = h.paymentTerm.trimmed().toInt(&ok);
    if (!ok) {
        throw UserError(QStringLiteral("U polje rok plaćanja mora biti upisan broj."));
    }
    const std::optional<QDate> due = TypedDate(h.dueDate);
    if (!due) {
        throw UserError(QStringLiteral("U polje dospijeće računa mora biti upisan datum."));
    }
    checked.dueDate = *due;
    const std::optional<double> paid = TypedNumber(h.alreadyPaid);
    if (!paid) {
        throw UserError(QStringLiteral("U polje već plaćeno mora biti upisan broj odnosno nula."));
    }
    limits::RequireNumber(*paid, limits::NumberKind::Amount, QStringLiteral("Već plaćeno"));
    checked.alreadyPaid = *paid;
    for (const QString* text :
         {&h.deliveryName, &h.deliveryAddress, &h.deliveryPlace, &h.deliveryMethod, &h.takenBy,
          &h.orderNumber, &h.deliveryNote, &h.paymentMethod, &h.paymentReference, &h.bankAccount}) {
        if (const auto refusal = limits::CheckText(*text, QStringLiteral("Tekst"))) {
            throw UserError(*refusal);
        }
    }
    if (const auto refusal =
            limits::CheckText(h.additionalText, QStringLiteral("Dodatni tekst"), true)) {
        throw UserError(*refusal);
    }
    return checked;
}

InvoiceCurrency ResolveInvoiceCurrency(Database& db, const QString& name, const QDate& date) {
    InvoiceCurrency currency;
    const QString typed = name.trimmed();
    if (typed.isEmpty()) {
        return currency;
    }
    const QVariant code = db.Scalar(
        QStringLiteral("SELECT \"SIFRA\" FROM \"VALUTE\" WHERE \"NAZIV\" = ? ORDER BY \"SIFRA\" "
                       "LIMIT 1"),
        {typed});
    if (!code.isValid() || code.isNull()) {
        throw UserError(QStringLiteral("Valuta nije ispravno upisana"));
    }
    currency.name = typed;
    if (!exchangerates::IsForeignCurrency(code.toInt())) {
        return currency;
    }
    const std::optional<double> rate = exchangerates::RateOn(db, code.toInt(), date);
    if (!rate || !std::isfinite(*rate) || *rate <= 0) {
        throw UserError(QStringLiteral("Nije upisan tečaj ") + typed + QStringLiteral(" za ") +
                        date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("."));
    }
    currency.code = code.toInt();
    currency.rate = *rate;
    return currency;
}

QString PostedMessage(int number) {
    return QStringLiteral("Račun je proknjižen pod brojem ") + QString::number(number);
}

PostedInvoice PostInvoice(Session& session, const InvoiceDraft& draft,
                          const InvoiceHeader& header) {
    // Every check before the transaction.
    CheckReadyForLines(draft);
    CheckSalesTerms(session, *draft.salesTerms);
    limits::RequireDocumentDate(draft.date, draft.year, QStringLiteral("Datum"));
    PostingMode mode;
    mode.invoiceHooks = true;
    PostedInvoice posted = PostCheckedInvoice(session, draft, header, CheckHeader(header), mode);
    // Never while a caller's transaction is still open: what the hook sends must be committed.
    if (posted.event && session.afterInvoicePosting && session.Db().TransactionDepth() == 0) {
        session.afterInvoicePosting(session, *posted.event);
    }
    return posted;
}

PostedInvoice PostCheckedInvoice(Session& session, const InvoiceDraft& draft,
                                 const InvoiceHeader& header, const CheckedHeader& checked,
                                 const PostingMode& mode) {
    CheckReadyForLines(draft);
    limits::RequireDocumentDate(draft.date, draft.year, QStringLiteral("Datum"));
    Database& db = session.Db();
    const DocumentKind kind = mode.detailed ? DocumentKind::DetailedInvoice : DocumentKind::Invoice;
    ResolveInvoiceCurrency(db, header.currency, draft.date);
    const int book = *draft.book;
    const int terms = *draft.salesTerms;
    const int customer = *draft.customer;
    if (Totals(db, draft.sessionCode).lines == 0) {
        throw UserError(QStringLiteral("Račun nema niti jedne stavke !"));
    }

    Transaction transaction(db);
    CheckWorkingNumbers(db, draft.sessionCode);
    InvoiceTotals totals = Totals(db, draft.sessionCode);
    if (totals.lines == 0) {
        throw UserError(QStringLiteral("Račun nema niti jedne stavke !"));
    }
    // The number shown may have been taken by another workstation meanwhile.
    if (mode.detailed &&
        db.Scalar(QStringLiteral("SELECT 1 FROM \"DET_ODGODENO\" LIMIT 1")).isValid()) {
        throw PendingDetailChanges{};
    }
    PostedInvoice posted;
    posted.number = header.number;
    if (posted.number <= 0 ||
        numbering::DocumentExists(db, kind, draft.warehouse, draft.year, posted.number, book)) {
        posted.number = mode.detailed ? numbering::NextRetailInvoiceNumber(db, draft.warehouse,
                                                                           book, draft.year, true)
                                      : ProposedNumber(db, draft);
        posted.numberChanged = header.number > 0;
        // Two numberings of one book whose ranges meet: the key refuses the number.
        if (numbering::DocumentExists(db, kind, draft.warehouse, draft.year, posted.number, book)) {
            throw UserError(QStringLiteral("Račun pod ovim brojem je već napravljen !"));
        }
    }
    const bool takesStock =
        sqlvalue::ToInt(db.Scalar(
            QStringLiteral("SELECT \"SKIDA\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"), {book})) !=
        0;
    // Composite products are made now, before anything else takes a trade-book position, and
    // are sold as the article lines they become.
    if (ProduceCompositeLines(session, draft, takesStock) > 0 || !takesStock) {
        totals = Totals(db, draft.sessionCode);
    }
    // The invoice's tax per rate, read from its lines before the posting takes them.
    if (mode.invoiceHooks && session.duringInvoicePosting) {
        Session::InvoicePostingEvent& event = posted.event.emplace();
        event.warehouse = draft.warehouse;
        event.book = book;
        event.year = draft.year;
        event.date = draft.date;
        event.customer = customer;
        event.paymentMethod = header.paymentMethod.trimmed();
        event.total = totals.total;
        event.user = mode.user.isEmpty() ? session.userName : mode.user;
        event.taxes = WorkingCopyTaxes(db, draft.sessionCode);
    }
    std::vector<WorkingArticle> articles = WorkingArticles(db, draft.sessionCode);
    const bool movesNow = takesStock && !mode.deferredStock && !mode.detailed;
    const bool moves = movesNow && !articles.empty();

    std::vector<double> leftAt;
    // The lots are read once, locked, for the plan; the price change and the take write them
    // through the same table, so the take finds them as the plan left them without reading again.
    std::unique_ptr<stock::LotTable> lots;
    if (moves) {
        lots = std::make_unique<stock::LotTable>(db);
        lots->KeepWhatIsRead();
        // Nothing reads the lots around the table until the take has flushed them.
        lots->DeferWrites();
        const std::vector<Repricing> repricings =
            PlanRepricing(*lots, draft, terms, articles, leftAt);
        if (!repricings.empty()) {
            posted.priceChange =
                WritePriceChange(session, *lots, draft, book, posted.number, repricings);
        }
    }
    const documents::DocumentKey key{DocumentKind::Invoice, draft.warehouse, book, draft.year,
                                     posted.number};
    // Constructed after the price change: the invoice's trade-book position follows its entry.
    std::optional<documents::IssuePosting> issue;
    if (moves) {
        issue.emplace(session, key, std::move(lots));
    }
    // Each line records its lot and the lot's cost and price.
    TakenRecords records;
    for (size_t i = 0; i < articles.size(); ++i) {
        const WorkingArticle& line = articles[i];
        if (moves) {
            const documents::TakenLine taken = issue->Take({line.article, line.quantity, line.lot});
            records.Add(line, taken, leftAt[i]);
        } else if (line.lot) {
            // Nothing is taken: what the line held on its lot is free again.
            stock::ReleaseToLot(db, {draft.warehouse, draft.year, *line.lot, line.article},
                                line.quantity);
        }
    }
    if (moves) {
        // The lots and the lines' records, each with one statement for every line.
        issue->FlushLots();
        records.Write(db);
    }
    const QDateTime now = QDateTime::currentDateTime();
    // Another workstation may have changed the rates since the check.
    const InvoiceCurrency currency = ResolveInvoiceCurrency(db, header.currency, draft.date);
    QString headerSql =
        QStringLiteral("INSERT INTO \"") +
        (mode.detailed ? QStringLiteral("RACUNI_DETALJNO") : QStringLiteral("RACUNI")) +
        QStringLiteral(
            "\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
            "\"PLACENO\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA NAZIV\", "
            "\"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"DATUM ISPORUKE\", \"NACIN ISPORUKE\", "
            "\"ROBU PREUZEO\", \"NARUDZBENICA\", \"OTPREMNICA\", \"ROK PLACANJA\", "
            "\"DOSPIJECE RACUNA\", \"NACIN PLACANJA\", \"POZIV NA BROJ\", \"VEC PLACENO\", "
            "\"DODATNI TEKST\", \"ZIRO_RACUN\", \"IZMJENA_CIJENA\", \"RBR_TK\", \"KORISNIK\", "
            "\"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\", \"NAKNADNO_SKIDANJE\", "
            "\"MALOPRODAJNA_MEDUSKLADISNICA\", \"MALOPRODAJNA_PRIMKA\"");
    QVariantList headerValues = {
        draft.warehouse,
        book,
        draft.year,
        posted.number,
        terms == kRetailTerms,
        draft.date,
        customer,
        terms,
        header.deliveryName,
        header.deliveryAddress,
        header.deliveryPlace,
        checked.deliveryDate ? QVariant(*checked.deliveryDate) : QVariant(),
        header.deliveryMethod,
        header.takenBy,
        header.orderNumber,
        header.deliveryNote,
        checked.paymentTerm,
        checked.dueDate,
        header.paymentMethod,
        header.paymentReference,
        checked.alreadyPaid,
        header.additionalText,
        header.bankAccount,
        posted.priceChange ? QVariant(*posted.priceChange) : QVariant(),
        moves ? QVariant(issue->Position()) : QVariant(),
        mode.user.isEmpty() ? session.userName : mode.user,
        now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        movesNow,
        takesStock && mode.deferredStock && !mode.detailed,
        mode.transfer ? QVariant(*mode.transfer) : QVariant(),
        mode.transferReceipt ? QVariant(*mode.transferReceipt) : QVariant()};
    if (!mode.detailed) {
        // The currency an invoice is issued in and its rate of the day; detailed retail
        // invoices are always in the home currency.
        headerSql += QStringLiteral(", \"VALUTA\", \"TECAJ\"");
        headerValues << (currency.code ? QVariant(*currency.code) : QVariant())
                     << (currency.code ? QVariant(currency.rate) : QVariant());
    }
    headerSql += QStringLiteral(") VALUES (?") +
                 QStringLiteral(", ?").repeated(int(headerValues.size()) - 1) + QStringLiteral(")");
    if (mode.detailed) {
        // The detail file commits after the company file: its rows are logged here and applied
        // right after the commit (Transaction::DeferDetail).
        transaction.DeferDetail(headerSql, headerValues);
        DeferDetailedLines(db, transaction, draft, book, posted.number);
    } else {
        db.Exec(headerSql, headerValues);
        // The lines in column order under the final number and book, with their employee and
        // extra-data rows; the working copy is cleared in the same transaction.
        workingcopy::PostWorkingLines(db, DocumentKind::Invoice, posted.number, draft.sessionCode,
                                      book);
    }
    if (moves) {
        tradebook::Entry entry;
        entry.date = draft.date;
        entry.description =
            QStringLiteral("RAČUN ") + QString::number(posted.number) + QLatin1Char(' ') +
            (mode.tradeBookName.isEmpty() ? CustomerName(db, customer) : mode.tradeBookName);
        entry.salesValue = totals.articleValue;
        entry.salesTax = totals.articleTax;
        issue->Finish(entry);
    } else {
        stock::CheckStockAgainstCard(session);
    }
    if (movesNow) {
        posted.serviceConsumptions = PostServiceConsumptions(session, draft.warehouse, book,
                                                             draft.year, posted.number, draft.date);
    }
    if (posted.event) {
        posted.event->number = posted.number;
        session.duringInvoicePosting(session, *posted.event);
    }
    transaction.Commit();
    posted.wantsPayment =
        terms == kRetailTerms || (session.warehouseFlags.retail && checked.alreadyPaid > 0);
    return posted;
}

}  // namespace zodra::sales
