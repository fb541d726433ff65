#include "retail/DaySumming.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <map>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "documents/IssuePosting.h"
#include "retail/TillSale.h"
#include "sales/InvoicePosting.h"
#include "sales/SalePrice.h"
#include "stock/Lots.h"
#include "stock/TradeBook.h"

namespace zodra::retail {

namespace {

constexpr int kPendingRetries = 5;

const QString kTitle = QStringLiteral("Z izvještaj");

// The not yet summed detail invoices of warehouse, year, one date and numbers up to a bound;
// a cancelled one is left out with its collections.
const QString kDetailInvoices = QStringLiteral(
    "R.\"SKLADISTE\" = ? AND R.\"IRA\" = 1 AND R.\"GODINA\" = ? AND R.\"UVJET PRODAJE\" = 1 AND "
    "R.\"SUMARNI\" = FALSE AND R.\"STORNO\" = FALSE AND R.\"DATUM\" = ? AND R.\"BROJ RACUNA\" "
    "<= ?");

// The collections of detail invoices up to a number of one date not yet carried over to a
// summary (their "Sifra uplate" is empty until then), up to a collection key. An invoice's
// collection may come after the invoice was summed: it joins that day's summary in the next run.
const QString kDetailPayments = QStringLiteral(
    "R.\"SKLADISTE\" = ? AND R.\"IRA\" = 1 AND R.\"GODINA\" = ? AND R.\"UVJET PRODAJE\" = 1 AND "
    "R.\"STORNO\" = FALSE AND R.\"DATUM\" = ? AND R.\"BROJ RACUNA\" <= ? AND N.\"Sifra uplate\" "
    "IS NULL AND N.\"Sifra\" <= ?");

// The three stops of taking `quantity` of an article from its pooled lot.
void CheckLotHolds(Database& db, const stock::LotKey& key, double quantity) {
    Statement a = db.Prepare(
        QStringLiteral("SELECT \"NAZIV\", \"JED_M\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"));
    a.Exec({key.article});
    if (!a.Next()) {
        throw UserError(QStringLiteral("Artikla sa sistemskom šifrom ") +
                        QString::number(key.article) + QStringLiteral(" nema u artiklima."));
    }
    const QString name = a.Text(0);
    const QString unit = a.Text(1);
    a.Finish();
    const std::optional<stock::Lot> lot = stock::FindLot(db, key);
    if (!lot) {
        throw UserError(QStringLiteral("Artikla '") + name +
                        QStringLiteral("' nema na skladištu."));
    }
    const double missing = RoundQuantity(quantity - lot->quantity);
    if (missing > 0) {
        throw UserError(QStringLiteral("Nedovoljna količina artikla '") + name +
                        QStringLiteral("'. Potrebno je još ") + QString::number(missing) +
                        QLatin1Char(' ') + unit + QLatin1Char('.'));
    }
}

// The summary invoice of the day that already exists.
std::optional<int> ExistingSummary(Database& db, int warehouse, int year, int customer,
                                   const QString& name, const QDate& date) {
    const QVariant n = db.Scalar(
        QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND "
                       "\"IRA\" = ? AND \"GODINA\" = ? AND \"SIFRA PARTNERA\" = ? AND "
                       "\"ISPORUKA NAZIV\" = ? AND \"DATUM\" = ? AND \"SUMARNI\" = TRUE AND "
                       "\"STORNO\" = FALSE"),
        {warehouse, kRetailBook, year, customer, name, date});
    if (!n.isValid() || n.isNull()) {
        return std::nullopt;
    }
    return sqlvalue::ToInt(n);
}

// The lines of a freshly posted summary invoice join the day's earlier summary: renumbered
// behind its lines, its trade-book entry and payments pointed at it, the new header dropped.
void FoldInto(Database& db, int warehouse, int year, int from, int into) {
    const int behind = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COALESCE(MAX(\"RBR_STAVKE\"), 0) FROM \"STAVKE_RACUNA\" WHERE "
                       "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" "
                       "= ?"),
        {warehouse, kRetailBook, year, into}));
    db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA\" SET \"BROJ_RACUNA\" = ?, \"RBR_STAVKE\" = "
                           "\"RBR_STAVKE\" + ? WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_RACUNA\" = ?"),
            {into, behind, warehouse, kRetailBook, year, from});
    db.Exec(
        QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"BROJ_DOKUMENTA\" = ?, "
                       "\"OPIS\" = ? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                       "\"TIP_DOKUMENTA\" = '1RAČUN' AND \"BROJ_DOKUMENTA\" = ?"),
        {into, QStringLiteral("RAČUN ") + QString::number(into) + QStringLiteral(" Maloprodaja"),
         warehouse, year, from});
    // A price change the new lines generated stays linked from the summary that keeps them.
    db.Exec(
        QStringLiteral("UPDATE \"RACUNI\" SET \"IZMJENA_CIJENA\" = (SELECT n.\"IZMJENA_CIJENA\" "
                       "FROM \"RACUNI\" n WHERE n.\"SKLADISTE\" = ? AND n.\"IRA\" = ? AND "
                       "n.\"GODINA\" = ? AND n.\"BROJ RACUNA\" = ?) WHERE \"SKLADISTE\" = ? AND "
                       "\"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ? AND "
                       "\"IZMJENA_CIJENA\" IS NULL"),
        {warehouse, kRetailBook, year, from, warehouse, kRetailBook, year, into});
    db.Exec(QStringLiteral("DELETE FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            {warehouse, kRetailBook, year, from});
}

struct Pending {};

}  // namespace

QString SumQuestion() {
    return QStringLiteral("Želite li sumirati maloprodajne račune ?");
}
QString SumFifoRefusal() {
    return QStringLiteral(
        "Naknadno sumiranje maloprodajnih računa nije podržano ako se "
        "skladište vodi po FIFO metodi.");
}
QString SumDoneMessage() {
    return QStringLiteral("Sumiranje maloprodajnih računa napravljeno uspješno.");
}
QString ReduceQuestion() {
    return QStringLiteral("Želite li napraviti skidanje artikala sa skladišta ?");
}
QString ReduceFifoRefusal() {
    return QStringLiteral(
        "Naknadno skidanje artikala nije podržano ako se skladište vodi po FIFO metodi.");
}

QString DetailLinesSummed() {
    return QStringLiteral(
               "SELECT S.\"TIP_STAVKE\", S.\"SIFRA\", S.\"CIJENA_BEZ_RABATA\", S.\"RABAT_%\", "
               "S.\"GRUPA_POREZA\", S.\"POREZ_%\", S.\"TIP_OPOREZIVANJA\", SUM(S.\"KOLICINA\"), "
               "SUM(S.\"VRIJEDNOST_BEZ_RABATA\"), SUM(S.\"RABAT_IZNOS\"), SUM(S.\"VRIJEDNOST_\"), "
               "SUM(S.\"POREZ_IZNOS\"), SUM(S.\"UKUPNO_\"), MAX(S.\"CIJENA_\") FROM "
               "\"STAVKE_RACUNA_DETALJNO\" S JOIN \"RACUNI_DETALJNO\" R ON R.\"SKLADISTE\" = "
               "S.\"SKLADISTE\" AND R.\"IRA\" = S.\"IRA\" AND R.\"GODINA\" = S.\"GODINA\" AND "
               "R.\"BROJ RACUNA\" = S.\"BROJ_RACUNA\" WHERE ") +
           kDetailInvoices +
           QStringLiteral(
               " GROUP BY S.\"TIP_STAVKE\", S.\"SIFRA\", S.\"CIJENA_BEZ_RABATA\", "
               "S.\"RABAT_%\", S.\"GRUPA_POREZA\", S.\"POREZ_%\", "
               "S.\"TIP_OPOREZIVANJA\" ORDER BY MIN(S.\"BROJ_RACUNA\" * 100000 + "
               "S.\"RBR_STAVKE\")");
}

QString DetailPaymentsSummed() {
    return QStringLiteral(
               "SELECT N.\"Tip\", N.\"Tip kartice\", SUM(N.\"Iznos\") FROM "
               "\"NAPLATA_DETALJNO\" N JOIN \"RACUNI_DETALJNO\" R ON R.\"SKLADISTE\" "
               "= N.\"Skladište\" AND R.\"IRA\" = N.\"IRA\" AND R.\"GODINA\" = "
               "N.\"Godina\" AND R.\"BROJ RACUNA\" = N.\"Broj računa\" WHERE ") +
           kDetailPayments +
           QStringLiteral(
               " GROUP BY N.\"Tip\", N.\"Tip kartice\" ORDER BY CASE N.\"Tip\" WHEN "
               "'gotovina' THEN 0 WHEN 'ček' THEN 1 WHEN 'kartica' THEN 2 ELSE 3 END, "
               "N.\"Tip kartice\"");
}

std::vector<SummedDay> SumRetailInvoices(Session& session, const QDate& from, const QDate& to) {
    if (session.stockMethod == StockMethod::Fifo) {
        throw UserError(SumFifoRefusal());
    }
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const int customer = RetailCustomer(db);
    const QString customerName =
        sqlvalue::ToText(db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE "
                                                  "\"SIFRA\" = ?"),
                                   {customer}));
    // The working copy the summary lines are posted from (its own session code).
    sales::InvoiceDraft draft = sales::OpenInvoice(session, from);
    draft.book = kRetailBook;
    draft.salesTerms = sales::kRetailSalesTerms;
    draft.customer = customer;
    struct Close {
        Session& s;
        sales::InvoiceDraft& d;
        ~Close() {
            try {
                sales::DiscardInvoice(s, d);
            } catch (const std::exception&) {
            }
        }
    } close{session, draft};

    for (int attempt = 0;; ++attempt) {
        // Detail changes of postings already committed in the company file come first: only
        // then does the detail file show every sale that is there to sum, and its marks.
        db.ApplyPendingDetail();
        try {
            Transaction transaction(db);
            if (db.Scalar(QStringLiteral("SELECT 1 FROM \"DET_ODGODENO\" LIMIT 1")).isValid()) {
                throw Pending{};
            }
            // Everything up to this number is summed now: a sale posted after the commit gets a
            // higher number and waits for the next run.
            const int last = sqlvalue::ToInt(db.Scalar(
                QStringLiteral("SELECT COALESCE(MAX(\"BROJ RACUNA\"), 0) FROM \"RACUNI_DETALJNO\" "
                               "WHERE \"SKLADISTE\" = ? AND \"IRA\" = 1 AND \"GODINA\" = ?"),
                {w, y}));
            const QVariant lastPayment =
                db.Scalar(QStringLiteral("SELECT COALESCE(MAX(\"Sifra\"), 0) FROM "
                                         "\"NAPLATA_DETALJNO\""));
            std::vector<QDate> dates;
            {
                Statement d = db.Prepare(QStringLiteral(
                    "SELECT DISTINCT R.\"DATUM\" FROM \"RACUNI_DETALJNO\" R WHERE "
                    "R.\"SKLADISTE\" = ? AND R.\"IRA\" = 1 AND R.\"GODINA\" = ? AND "
                    "R.\"UVJET PRODAJE\" = 1 AND R.\"BROJ RACUNA\" <= ? AND R.\"DATUM\" BETWEEN "
                    "? AND ? AND (R.\"SUMARNI\" = FALSE OR EXISTS (SELECT 1 FROM "
                    "\"NAPLATA_DETALJNO\" N WHERE N.\"Skladište\" = R.\"SKLADISTE\" AND N.\"IRA\" "
                    "= R.\"IRA\" AND N.\"Godina\" = R.\"GODINA\" AND N.\"Broj računa\" = R.\"BROJ "
                    "RACUNA\" AND N.\"Sifra uplate\" IS NULL AND N.\"Sifra\" <= ?)) ORDER BY "
                    "R.\"DATUM\""));
                d.Exec({w, y, last, from, to, lastPayment});
                while (d.Next()) {
                    dates.push_back(sqlvalue::ToDate(d.Value(0)));
                }
            }
            std::vector<SummedDay> summed;
            for (const QDate& date : dates) {
                const QVariantList params = {w, y, date, last};
                SummedDay day;
                day.date = date;
                day.detailInvoices = sqlvalue::ToInt(
                    db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" R WHERE ") +
                                  kDetailInvoices,
                              params));
                std::map<int, double> needed;
                int rbr = 0;
                Statement lines = db.Prepare(DetailLinesSummed());
                lines.Exec(params);
                while (lines.Next()) {
                    const QString kind = lines.Text(0);
                    const int item = lines.Int(1);
                    const double quantity = lines.Double(7);
                    const double value = lines.Double(10);
                    const bool article = kind == QLatin1String("ART");
                    const double price =
                        RoundQuantity(quantity) != 0 ? value / quantity : lines.Double(13);
                    if (article) {
                        needed[item] += quantity;
                    }
                    db.Exec(QStringLiteral(
                                "INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", "
                                "\"IRA\", \"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", "
                                "\"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                                "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
                                "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", "
                                "\"RABAT_IZNOS\", \"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", "
                                "\"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\", "
                                "\"RBR_STAVKE\", \"Multiuser_sifra\") VALUES (?, ?, ?, 0, ?, ?, "
                                "?, ?, 0, 0, 0, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                            {w,
                             kRetailBook,
                             y,
                             kind,
                             item,
                             article ? QVariant(stock::kPooledLot) : QVariant(),
                             quantity,
                             lines.Value(2),
                             lines.Value(8),
                             lines.Value(3),
                             lines.Value(9),
                             price,
                             value,
                             lines.Value(4),
                             lines.Value(5),
                             lines.Value(11),
                             lines.Value(12),
                             lines.Value(6),
                             ++rbr,
                             draft.sessionCode});
                }
                lines.Finish();
                if (rbr == 0) {
                    // Only collections that came after their invoices were summed: they join the
                    // day's summary.
                    const std::optional<int> earlier =
                        ExistingSummary(db, w, y, customer, customerName, date);
                    if (!earlier) {
                        continue;
                    }
                    day.number = *earlier;
                    day.reused = true;
                } else {
                    for (const auto& [article, quantity] : needed) {
                        const stock::LotKey key{w, y, stock::kPooledLot, article};
                        CheckLotHolds(db, key, quantity);
                        // Held as a register line would hold it, so the take leaves both the lot's
                        // quantity and its free quantity lower.
                        stock::ReserveFromLot(db, key, quantity);
                    }
                    sales::InvoiceHeader header;
                    header.deliveryName = customerName;
                    header.deliveryMethod = QStringLiteral("osobno");
                    header.paymentMethod = QStringLiteral("gotovinom");
                    sales::CheckedHeader checked;
                    checked.dueDate = date;
                    sales::PostingMode mode;
                    mode.user = session.userName;
                    mode.tradeBookName = QStringLiteral("Maloprodaja");
                    draft.date = date;
                    const sales::PostedInvoice posted =
                        sales::PostCheckedInvoice(session, draft, header, checked, mode);
                    day.number = posted.number;
                    db.Exec(
                        QStringLiteral("UPDATE \"RACUNI\" SET \"SUMARNI\" = TRUE WHERE "
                                       "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                                       "\"BROJ RACUNA\" = ?"),
                        {w, kRetailBook, y, posted.number});
                    const std::optional<int> earlier =
                        ExistingSummary(db, w, y, customer, customerName, date);
                    if (earlier && *earlier != posted.number) {
                        FoldInto(db, w, y, posted.number, *earlier);
                        day.number = *earlier;
                        day.reused = true;
                    }
                }
                // The collections, summed per kind and card type, become the summary's; each
                // detail collection records the payment it went into (0: an amount of nothing).
                const QVariantList payParams = {w, y, date, last, lastPayment};
                const QString description =
                    QStringLiteral("Račun m. br. ") + QString::number(day.number);
                Statement pay = db.Prepare(DetailPaymentsSummed());
                pay.Exec(payParams);
                std::vector<std::tuple<QString, QVariant, double>> payments;
                while (pay.Next()) {
                    payments.emplace_back(pay.Text(0), pay.Value(1), pay.Double(2));
                }
                pay.Finish();
                for (const auto& [type, card, amount] : payments) {
                    QVariant payment = 0;
                    if (RoundMoney(amount) != 0) {
                        db.Exec(
                            QStringLiteral(
                                "INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", "
                                "\"Datum\", \"Tip\", \"Opis\", \"Iznos\", \"Tip kartice\") "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                            {w, y, customer, date, type, description, amount, card});
                        payment =
                            db.Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"UPLATE\""));
                        db.Exec(
                            QStringLiteral(
                                "INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                "\"Broj računa\", \"Tip\", \"Datum\", \"Opis dokumenta\", "
                                "\"Iznos\", \"Tip kartice\", \"Sifra uplate\") VALUES (?, ?, ?, "
                                "?, ?, ?, ?, ?, ?, ?)"),
                            {w, kRetailBook, y, day.number, type, date, description, amount, card,
                             payment});
                    }
                    transaction.DeferDetail(
                        QStringLiteral("UPDATE \"NAPLATA_DETALJNO\" SET \"Sifra uplate\" = ? WHERE "
                                       "\"Tip\" = ? AND \"Tip kartice\"") +
                            // A card type of NULL (cash) matches NULL.
                            sqldialect::NullSafeEquals(db.Dialect()) +
                            QStringLiteral(
                                "? AND EXISTS (SELECT 1 "
                                "FROM \"RACUNI_DETALJNO\" R, \"NAPLATA_DETALJNO\" N WHERE "
                                "N.\"Sifra\" = \"NAPLATA_DETALJNO\".\"Sifra\" AND "
                                "R.\"SKLADISTE\" = N.\"Skladište\" AND R.\"IRA\" = N.\"IRA\" "
                                "AND R.\"GODINA\" = N.\"Godina\" AND R.\"BROJ RACUNA\" = "
                                "N.\"Broj računa\" AND ") +
                            kDetailPayments + QLatin1Char(')'),
                        {payment, type, card, w, y, date, last, lastPayment});
                }
                // Detail lines sold without a lot's cost take the cost their goods left at. The
                // warehouse and year are named on the lines themselves as well, so each article's
                // lines are sought through the detail lines' index by article, not scanned.
                for (const auto& [article, quantity] : needed) {
                    const double cost = sqlvalue::ToDouble(db.Scalar(
                        QStringLiteral("SELECT MAX(\"NABAVNA_CIJENA\") FROM \"STAVKE_RACUNA\" "
                                       "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = "
                                       "? AND \"BROJ_RACUNA\" = ? AND \"TIP_STAVKE\" = 'ART' AND "
                                       "\"SIFRA\" = ?"),
                        {w, kRetailBook, y, day.number, article}));
                    transaction.DeferDetail(
                        QStringLiteral(
                            "UPDATE \"STAVKE_RACUNA_DETALJNO\" SET \"NABAVNA_CIJENA\" = ?, "
                            "\"NABAVNA_VRIJEDNOST\" = \"KOLICINA\" * ?, \"RUC_IZNOS\" = "
                            "\"VRIJEDNOST_BEZ_RABATA\" - \"KOLICINA\" * ?, \"RUC_%\" = CASE WHEN "
                            "\"KOLICINA\" * ? <> 0 THEN (\"VRIJEDNOST_BEZ_RABATA\" / (\"KOLICINA\" "
                            "* ?) - 1) * 100 ELSE 0 END WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
                            "? AND \"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ? AND "
                            "COALESCE(\"BROJ_PRIMKE\", 0) = 0 AND EXISTS (SELECT 1 FROM "
                            "\"RACUNI_DETALJNO\" R WHERE R.\"SKLADISTE\" = "
                            "\"STAVKE_RACUNA_DETALJNO\".\"SKLADISTE\" AND R.\"IRA\" = "
                            "\"STAVKE_RACUNA_DETALJNO\".\"IRA\" AND R.\"GODINA\" = "
                            "\"STAVKE_RACUNA_DETALJNO\".\"GODINA\" AND R.\"BROJ RACUNA\" = "
                            "\"STAVKE_RACUNA_DETALJNO\".\"BROJ_RACUNA\" AND ") +
                            kDetailInvoices + QLatin1Char(')'),
                        {cost, cost, cost, cost, cost, w, y, article, w, y, date, last});
                }
                // Marked in the same logged group: applied exactly once, after the commit.
                transaction.DeferDetail(
                    QStringLiteral("UPDATE \"RACUNI_DETALJNO\" SET \"SKIDA\" = TRUE, \"SUMARNI\" = "
                                   "TRUE, \"NAKNADNO_SKIDANJE\" = FALSE WHERE \"SKLADISTE\" = ? "
                                   "AND \"IRA\" = 1 AND \"GODINA\" = ? AND \"UVJET PRODAJE\" = 1 "
                                   "AND \"SUMARNI\" = FALSE AND \"DATUM\" = ? AND \"BROJ RACUNA\" "
                                   "<= ?"),
                    params);
                summed.push_back(day);
            }
            transaction.Commit();
            return summed;
        } catch (const Pending&) {
        } catch (const sales::PendingDetailChanges&) {
        }
        if (attempt >= kPendingRetries) {
            throw UserError(QStringLiteral("Detaljni računi još nisu upisani. Pokušajte ponovo."));
        }
    }
}

DeferredReduction ReduceDeferredStock(Session& session) {
    if (session.stockMethod == StockMethod::Fifo) {
        throw UserError(ReduceFifoRefusal());
    }
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    DeferredReduction result;
    Transaction transaction(db);
    std::vector<std::pair<int, int>> invoices;  // book, number
    {
        Statement q = db.Prepare(QStringLiteral(
            "SELECT \"IRA\", \"BROJ RACUNA\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND "
            "\"GODINA\" = ? AND \"NAKNADNO_SKIDANJE\" = TRUE AND \"STORNO\" = FALSE ORDER BY "
            "\"DATUM\", \"IRA\", \"BROJ RACUNA\""));
        q.Exec({w, y});
        while (q.Next()) {
            invoices.emplace_back(q.Int(0), q.Int(1));
        }
    }
    for (const auto& [book, number] : invoices) {
        struct Line {
            qint64 rbr;
            int article;
            std::optional<int> lot;
            double quantity, price, value, tax;
        };
        std::vector<Line> lines;
        Statement q = db.Prepare(QStringLiteral(
            "SELECT \"RBR_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
            "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_\", \"POREZ_IZNOS\" FROM \"STAVKE_RACUNA\" "
            "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ? "
            "AND \"TIP_STAVKE\" = 'ART' ORDER BY \"RBR_STAVKE\""));
        q.Exec({w, book, y, number});
        while (q.Next()) {
            lines.push_back({q.Value(0).toLongLong(), q.Int(1),
                             q.IsNull(2) ? std::nullopt : std::optional<int>(q.Int(2)), q.Double(3),
                             q.Double(4), q.Double(5), q.Double(6)});
        }
        q.Finish();
        const QDate date = sqlvalue::ToDate(db.Scalar(
            QStringLiteral("SELECT \"DATUM\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" "
                           "= ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            {w, book, y, number}));
        documents::IssuePosting issue(session, {DocumentKind::Invoice, w, book, y, number});
        double value = 0;
        double tax = 0;
        for (const Line& line : lines) {
            const int lot = line.lot.value_or(stock::kPooledLot);
            const stock::LotKey key{w, y, lot, line.article};
            CheckLotHolds(db, key, line.quantity);
            const std::optional<stock::Lot> before = stock::FindLot(db, key);
            const double lotPrice =
                before->sellingPrice * (1 + before->retailMargin.value_or(0) / 100);
            if (RoundMoney(lotPrice) != RoundMoney(line.price)) {
                result.priceDifferences
                    << QStringLiteral("Artikal '") + stock::ArticleName(db, line.article) +
                           QStringLiteral("' je prodavan po ") + Amount(line.price) +
                           QStringLiteral(" a na skladištu ima cijenu od ") + Amount(lotPrice);
            }
            stock::ReserveFromLot(db, key, line.quantity);
            const documents::TakenLine taken = issue.Take({line.article, line.quantity, lot});
            const double costValue = line.quantity * taken.cost;
            db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA\" SET \"BROJ_PRIMKE\" = ?, "
                                   "\"NABAVNA_CIJENA\" = ?, \"NABAVNA_VRIJEDNOST\" = ?, "
                                   "\"RUC_IZNOS\" = ?, \"RUC_%\" = ?, \"CIJENA_SKLADISTA\" = ? "
                                   "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                                   "AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = ?"),
                    {taken.lot, taken.cost, costValue, line.value - costValue,
                     costValue != 0 ? (line.value / costValue - 1) * 100 : 0.0, taken.price, w,
                     book, y, number, line.rbr});
            value += line.value;
            tax += line.tax;
        }
        db.Exec(QStringLiteral("UPDATE \"RACUNI\" SET \"SKIDA\" = TRUE, \"NAKNADNO_SKIDANJE\" = "
                               "FALSE, \"RBR_TK\" = ? WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
                {issue.Position(), w, book, y, number});
        tradebook::Entry entry;
        entry.date = date;
        entry.description =
            QStringLiteral("RAČUN ") + QString::number(number) + QStringLiteral(" Maloprodaja");
        entry.salesValue = value;
        entry.salesTax = tax;
        issue.Finish(entry);
        ++result.invoices;
    }
    transaction.Commit();
    if (!result.priceDifferences.isEmpty()) {
        result.differencesFile = QDir::temp().filePath(
            QStringLiteral("razlike_cijena_%1.txt").arg(QCoreApplication::applicationPid()));
        QFile file(result.differencesFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            QTextStream out(&file);
            for (const QString& line : result.priceDifferences) {
                out << line << '\n';
            }
        } else {
            result.differencesFile.clear();
        }
    }
    return result;
}

void WriteDayTakings(Session& session, const QDate& date) {
    Database& db = session.Db();
    const int y = session.businessYear;
    Transaction transaction(db);
    const QString collected = QStringLiteral(
        " FROM \"NAPLATA\" N JOIN \"RACUNI\" R ON R.\"SKLADISTE\" = N.\"Skladište\" AND "
        "R.\"IRA\" = N.\"IRA\" AND R.\"GODINA\" = N.\"Godina\" AND R.\"BROJ RACUNA\" = N.\"Broj "
        "računa\" WHERE R.\"GODINA\" = ? AND R.\"UVJET PRODAJE\" = 1 AND N.\"Datum\" = ?");
    const double takings = sqlvalue::ToDouble(
        db.Scalar(QStringLiteral("SELECT COALESCE(SUM(N.\"Iznos\"), 0)") + collected +
                      QStringLiteral(" AND N.\"Tip\" IN ('gotovina', 'ček', 'kartica')"),
                  {y, date}));
    if (RoundMoney(takings) == 0) {
        transaction.Commit();
        return;
    }
    // The day's ratio of totals with and without tax over the lines of the invoices collected,
    // each invoice once however many collections it had. The invoices are found from the day's
    // collections, so the day end does not walk every invoice of the company.
    Statement r = db.Prepare(QStringLiteral(
        "SELECT SUM(S.\"VRIJEDNOST_\"), SUM(S.\"UKUPNO_\") FROM \"STAVKE_RACUNA\" S JOIN "
        "\"RACUNI\" R ON R.\"SKLADISTE\" = S.\"SKLADISTE\" AND R.\"IRA\" = S.\"IRA\" AND "
        "R.\"GODINA\" = S.\"GODINA\" AND R.\"BROJ RACUNA\" = S.\"BROJ_RACUNA\" WHERE "
        "R.\"GODINA\" = ? AND R.\"UVJET PRODAJE\" = 1 AND (R.\"SKLADISTE\", R.\"IRA\", "
        "R.\"GODINA\", R.\"BROJ RACUNA\") IN (SELECT N.\"Skladište\", N.\"IRA\", N.\"Godina\", "
        "N.\"Broj računa\" FROM \"NAPLATA\" N WHERE N.\"Datum\" = ?)"));
    r.Exec({y, date});
    double net = 0;
    double gross = 0;
    if (r.Next()) {
        net = r.Double(0);
        gross = r.Double(1);
    }
    r.Finish();
    // Without lines to weigh by (or a day of tax-free totals) the takings carry no tax.
    const double withoutTax = RoundMoney(net) != 0 && RoundMoney(gross) != 0
                                  ? RoundMoney(takings * net / gross)
                                  : takings;
    const QVariant existing = db.Scalar(
        QStringLiteral("SELECT \"REDNI BROJ\" FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE "
                       "\"GODINA\" = ? AND \"NADNEVAK PRIMITKA / IZDATKA\" = ? AND \"OPIS "
                       "ISPRAVA\" = 'promet u gotovini'"),
        {y, date});
    int serial = 0;
    if (existing.isValid() && !existing.isNull()) {
        serial = sqlvalue::ToInt(existing);
        db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" "
                               "= ? AND \"REDNI BROJ\" = ?"),
                {y, serial});
    } else {
        serial = sqlvalue::ToInt(db.Scalar(
                     QStringLiteral("SELECT COALESCE(MAX(\"REDNI BROJ\"), 0) FROM "
                                    "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" = ?"),
                     {y})) +
                 1;
    }
    db.Exec(QStringLiteral(
                "INSERT INTO \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" (\"GODINA\", \"REDNI BROJ\", "
                "\"NADNEVAK PRIMITKA / IZDATKA\", \"BROJ TEMELJNICE\", \"OPIS ISPRAVA\", "
                "\"PRIMICI U GOTOVINI\", \"PRIMICI NA ZIRO RACUN\", \"PRIMICI U NARAVI\", \"PDV U "
                "PRIMICIMA\", \"UKUPNI PRIMICI\", \"IZDACI U GOTOVINI\", \"IZDACI PUTEM ZIRO "
                "RACUNA\", \"IZDACI U NARAVI\", \"PDV U IZDACIMA\", \"IZDACI IZ CL 19\", "
                "\"UKUPNO DOPUSTENI IZDACI\", \"TIP_UPISA\") VALUES (?, ?, ?, '-', 'promet u "
                "gotovini', ?, 0, 0, ?, ?, 0, 0, 0, 0, 0, 0, 1)"),
            {y, serial, date, takings, RoundMoney(takings - withoutTax), withoutTax});
    transaction.Commit();
}

bool SumStep(Session& session, Prompter& prompter, const QDate& from, const QDate& to) {
    if (!session.company.sumRetailInvoices || !prompter.AskYesNo(SumQuestion(), kTitle, false)) {
        return false;
    }
    try {
        SumRetailInvoices(session, from, to);
    } catch (const UserError& e) {
        prompter.Inform(e.message(), kTitle);
        return false;
    }
    prompter.Inform(SumDoneMessage(), kTitle);
    return true;
}

DeferredReduction ReduceStep(Session& session, Prompter& prompter) {
    if (!session.company.deferredRegisterStock ||
        !prompter.AskYesNo(ReduceQuestion(), kTitle, false)) {
        return {};
    }
    try {
        return ReduceDeferredStock(session);
    } catch (const UserError& e) {
        prompter.Inform(e.message(), kTitle);
        return {};
    }
}

void TakingsStep(Session& session, const QDate& date) {
    if (!session.options.r2) {
        return;
    }
    // Where the program keeps the books' own rule for the day's entry (it counts the detail
    // invoices' collections until they are carried over), that rule writes it, so one rule
    // writes the entry whatever changed the day's collections.
    if (session.afterRetailCollections) {
        session.RetailCollectionsChanged(date);
    } else {
        WriteDayTakings(session, date);
    }
}

}  // namespace zodra::retail
