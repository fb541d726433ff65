#include "books/KpiDailySales.h"

#include <cmath>
#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::books {

namespace {

// Where retail collections are read from: the posted invoices, and in summing mode the detail
// invoices whose collections the day end has not yet carried over to a summary invoice ("Sifra
// uplate" stays empty until then). Each collection counts once: in the detail tables before
// the day end, with the summary after it.
struct CollectionSource {
    const char* collections;
    const char* invoices;
    const char* lines;
    const char* filter;
};
const CollectionSource kPosted{"NAPLATA", "RACUNI", "STAVKE_RACUNA", ""};
const CollectionSource kDetail{"NAPLATA_DETALJNO", "RACUNI_DETALJNO", "STAVKE_RACUNA_DETALJNO",
                               " AND n.\"Sifra uplate\" IS NULL"};

std::vector<const CollectionSource*> Sources(Database& db) {
    if (db.TableExists(QStringLiteral("NAPLATA_DETALJNO"))) {
        return {&kPosted, &kDetail};
    }
    return {&kPosted};
}

// Collections joined to their invoices; the retail invoices are those of sales terms 1.
QString RetailCollections(const CollectionSource& src) {
    return QStringLiteral(
               "FROM \"%1\" n JOIN \"%2\" r ON r.\"SKLADISTE\" = n.\"Skladište\" AND "
               "r.\"IRA\" = n.\"IRA\" AND r.\"GODINA\" = n.\"Godina\" AND r.\"BROJ "
               "RACUNA\" = n.\"Broj računa\" WHERE n.\"Godina\" = ? AND r.\"UVJET "
               "PRODAJE\" = 1")
               .arg(QString::fromLatin1(src.collections), QString::fromLatin1(src.invoices)) +
           QString::fromUtf8(src.filter);
}

// The net part of a gross amount by a ratio of net to gross; when the ratio cannot be taken
// (no lines, a gross of 0) the whole amount is net and the tax 0.
double NetOf(double gross, double net, double total) {
    if (total == 0 || net == 0 || !std::isfinite(net / total)) {
        return gross;
    }
    return RoundMoney(gross * net / total);
}

QString PartnerName(Database& db, const QVariant& partner) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {partner})
        .toString();
}

KpiEntry Proposal(Database& db, int year, const QDate& date, const QString& description,
                  double amount, const QString& model, bool receipt) {
    limits::RequireNumber(amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
    KpiEntry e;
    e.number = NextKpiNumber(db, year);
    e.date = date;
    e.description = description.left(kKpiMaxDescription);
    const std::optional<KpiAmount> column = KpiColumnForModel(model, receipt);
    e.amounts[column ? *column : (receipt ? kCashReceipts : kCashExpenditures)] = amount;
    return e;
}

}  // namespace

DailyCashSales ComputeDailyCashSales(Database& db, int year, const QDate& date) {
    DailyCashSales day;
    double net = 0;
    double total = 0;
    for (const CollectionSource* src : Sources(db)) {
        Statement s(db, QStringLiteral("SELECT COUNT(*), SUM(n.\"Iznos\") ") +
                            RetailCollections(*src) +
                            QStringLiteral(" AND n.\"Datum\" = ? AND n.\"Tip\" IN ('gotovina', "
                                           "'ček', 'kartica')"));
        s.Exec({year, date});
        if (!s.Next() || s.Int(0) == 0) {
            continue;
        }
        day.anyCollection = true;
        day.gross += s.IsNull(1) ? 0 : s.Double(1);
        s.Finish();
        // Each invoice collected that day counts once, however many collections it had.
        Statement ratio(
            db, QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\"), SUM(s.\"UKUPNO_\") FROM \"%1\" s "
                               "JOIN \"%2\" r ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND r.\"IRA\" = "
                               "s.\"IRA\" AND r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = "
                               "s.\"BROJ_RACUNA\" WHERE r.\"GODINA\" = ? AND r.\"UVJET PRODAJE\" "
                               "= 1 AND EXISTS (SELECT 1 FROM \"%3\" n WHERE n.\"Skladište\" = "
                               "r.\"SKLADISTE\" AND n.\"IRA\" = r.\"IRA\" AND n.\"Godina\" = "
                               "r.\"GODINA\" AND n.\"Broj računa\" = r.\"BROJ RACUNA\" AND "
                               "n.\"Datum\" = ?")
                        .arg(QString::fromLatin1(src->lines), QString::fromLatin1(src->invoices),
                             QString::fromLatin1(src->collections)) +
                    QString::fromUtf8(src->filter) + QLatin1Char(')'));
        ratio.Exec({year, date});
        if (ratio.Next()) {
            net += ratio.IsNull(0) ? 0 : ratio.Double(0);
            total += ratio.IsNull(1) ? 0 : ratio.Double(1);
        }
    }
    if (!day.anyCollection) {
        return day;
    }
    day.net = NetOf(day.gross, net, total);
    day.vat = day.gross - day.net;
    return day;
}

std::optional<int> RebuildDailyCashSales(Database& db, int year, const QDate& date) {
    // Detail rows other workstations committed but have not yet written come in first.
    db.ApplyPendingDetail();
    Transaction tx(db);
    const DailyCashSales day = ComputeDailyCashSales(db, year, date);
    std::vector<int> existing;
    {
        Statement s(db, QStringLiteral("SELECT \"REDNI BROJ\" FROM "
                                       "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" = ? "
                                       "AND \"NADNEVAK PRIMITKA / IZDATKA\" = ? AND \"OPIS "
                                       "ISPRAVA\" = ? ORDER BY \"REDNI BROJ\""));
        s.Exec({year, date, KpiDailySalesText()});
        while (s.Next()) {
            existing.push_back(s.Int(0));
        }
    }
    // One entry a day: a second one (written before this rule) goes.
    for (std::size_t i = day.anyCollection ? 1 : 0; i < existing.size(); ++i) {
        db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" "
                               "= ? AND \"REDNI BROJ\" = ?"),
                {year, existing[i]});
    }
    if (!day.anyCollection) {
        tx.Commit();
        return std::nullopt;
    }
    const int number = existing.empty() ? NextKpiNumber(db, year) : existing.front();
    if (!existing.empty()) {
        db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" "
                               "= ? AND \"REDNI BROJ\" = ?"),
                {year, number});
    }
    QVariantList values{
        year,      number,  date,   QStringLiteral("-"), KpiDailySalesText(), kKpiDailySalesType,
        day.gross, day.vat, day.net};
    db.Exec(QStringLiteral("INSERT INTO \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" (\"GODINA\", \"REDNI "
                           "BROJ\", \"NADNEVAK PRIMITKA / IZDATKA\", \"BROJ TEMELJNICE\", \"OPIS "
                           "ISPRAVA\", \"TIP_UPISA\", \"PRIMICI U GOTOVINI\", \"PDV U "
                           "PRIMICIMA\", \"UKUPNI PRIMICI\", \"PRIMICI NA ZIRO RACUN\", \"PRIMICI "
                           "U NARAVI\", \"IZDACI U GOTOVINI\", \"IZDACI PUTEM ZIRO RACUNA\", "
                           "\"IZDACI U NARAVI\", \"PDV U IZDACIMA\", \"IZDACI IZ CL 19\", "
                           "\"UKUPNO DOPUSTENI IZDACI\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, "
                           "0, 0, 0, 0, 0, 0)"),
            values);
    tx.Commit();
    return number;
}

int RebuildAllDailyCashSales(Database& db, int year) {
    db.ApplyPendingDetail();
    std::set<QDate> dates;
    for (const CollectionSource* src : Sources(db)) {
        Statement s(db, QStringLiteral("SELECT DISTINCT n.\"Datum\" ") + RetailCollections(*src));
        s.Exec({year});
        while (s.Next()) {
            dates.insert(sqlvalue::ToDate(s.Value(0)));
        }
    }
    for (const QDate& date : dates) {
        RebuildDailyCashSales(db, year, date);
    }
    return static_cast<int>(dates.size());
}

void AfterRetailCollections(Session& session, const QDate& date) {
    if (session.options.r2 && date.isValid()) {
        RebuildDailyCashSales(session.Db(), session.businessYear, date);
    }
}

std::optional<KpiAmount> KpiColumnForModel(const QString& model, bool receipt) {
    if (model == QStringLiteral("gotovina") || model == QStringLiteral("kartica") ||
        model == QStringLiteral("ček")) {
        return receipt ? kCashReceipts : kCashExpenditures;
    }
    if (model == QStringLiteral("žiro račun")) {
        return receipt ? kBankReceipts : kBankExpenditures;
    }
    if (model == QStringLiteral("u naravi")) {
        return receipt ? kReceiptsInKind : kExpendituresInKind;
    }
    return std::nullopt;
}

KpiEntry ProposeCollectionEntry(Database& db, int warehouse, int book, int year, int number,
                                const QDate& date, double amount, const QString& model) {
    const QVariant partner =
        db.Scalar(QStringLiteral("SELECT \"SIFRA PARTNERA\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = "
                                 "? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
                  {warehouse, book, year, number});
    KpiEntry e =
        Proposal(db, year, date,
                 PartnerName(db, partner) + QStringLiteral(", rn.") + QString::number(number),
                 amount, model, true);
    Statement s(db, QStringLiteral("SELECT SUM(\"VRIJEDNOST_\"), SUM(\"UKUPNO_\") FROM "
                                   "\"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                                   "\"GODINA\" = ? AND \"BROJ_RACUNA\" = ?"));
    s.Exec({warehouse, book, year, number});
    double net = 0;
    double total = 0;
    if (s.Next()) {
        net = s.IsNull(0) ? 0 : s.Double(0);
        total = s.IsNull(1) ? 0 : s.Double(1);
    }
    e.amounts[kReceiptsVat] = amount - NetOf(amount, net, total);
    ComputeKpiTotals(e.amounts);
    return e;
}

KpiEntry ProposeCustomerPaymentEntry(Database& db, int year, int partner, const QDate& date,
                                     double amount, const QString& model) {
    KpiEntry e = Proposal(db, year, date, PartnerName(db, partner) + QStringLiteral(", -"), amount,
                          model, true);
    ComputeKpiTotals(e.amounts);
    return e;
}

KpiEntry ProposeSupplierPaymentEntry(Database& db, int book, int year, int serial,
                                     const QDate& date, double amount, const QString& model) {
    Statement s(db, QStringLiteral(
                        "SELECT \"Šifra dobavljača\", \"Račun broj\", \"Iznos računa sa porezom\", "
                        "COALESCE(\"PretporezOdbiti5\", 0) + COALESCE(\"PretporezOdbiti10\", 0) + "
                        "COALESCE(\"PretporezOdbiti13\", 0) + COALESCE(\"PretporezOdbiti22\", 0) + "
                        "COALESCE(\"PretporezOdbiti23\", 0) + COALESCE(\"PretporezOdbiti25\", 0) "
                        "FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? AND \"GODINA\" = ? AND "
                        "\"Redni broj\" = ?"));
    s.Exec({book, year, serial});
    if (!s.Next()) {
        throw UserError(QStringLiteral("Ne postoji ulazni račun pod rednim brojem ") +
                        QString::number(serial) + QLatin1Char('.'));
    }
    const QVariant supplier = s.Value(0);
    const QString invoice = s.Text(1);
    const double total = s.IsNull(2) ? 0 : s.Double(2);
    const double deductible = s.IsNull(3) ? 0 : s.Double(3);
    s.Finish();
    KpiEntry e =
        Proposal(db, year, date, PartnerName(db, supplier) + QStringLiteral(", rn.") + invoice,
                 amount, model, false);
    if (total != 0 && std::isfinite(amount / total)) {
        e.amounts[kExpendituresVat] = RoundMoney(deductible * amount / total);
    }
    ComputeKpiTotals(e.amounts);
    return e;
}

}  // namespace zodra::books
