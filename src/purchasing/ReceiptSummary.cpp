#include "purchasing/ReceiptSummary.h"

#include <cmath>
#include <utility>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "purchasing/PriceCalculation.h"
#include "purchasing/ReceiptLimits.h"

namespace zodra::purchasing {

double ReceiptSummary::ItemsTotal() const {
    MoneyTotal sum;
    for (const DependentCost& item : items) {
        sum += item.amount;
    }
    return sum.Value();
}

SummaryPercentages PercentagesOf(const ReceiptSummary& s, double packagingInvoiceValue) {
    const double goods = s.invoiceValue - packagingInvoiceValue;
    const double net = goods - s.discount;
    SummaryPercentages p;
    p.discount = SafeDivide(s.discount, goods) * 100.0;
    p.customs = SafeDivide(s.customs, net) * 100.0;
    p.forwarding = SafeDivide(s.forwarding, net) * 100.0;
    p.otherCosts = SafeDivide(s.otherCosts, net) * 100.0;
    return p;
}

QString CurrencyName(Database& db, int currency) {
    return sqlvalue::ToText(db.Scalar(
        QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = ?"), {currency}));
}

QString MissingRateMessage(const QString& currency, const QDate& date) {
    return QStringLiteral("Nije upisan tečaj ") + currency + QStringLiteral(" za ") +
           date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(".");
}

double RateOn(Database& db, int currency, const QDate& date) {
    if (currency == 1) {
        return 1.0;
    }
    const std::optional<double> rate = exchangerates::RateOn(db, currency, date);
    if (!rate || *rate <= 0) {
        throw UserError(MissingRateMessage(CurrencyName(db, currency), date));
    }
    return *rate;
}

ReceiptSummary AcceptSummary(Database& db, ReceiptSummary s) {
    if (s.currency <= 0) {
        s.currency = 1;
    }
    if (!s.IsForeign()) {
        s.rate = 1.0;
    }
    // What was typed, then (below) what the rate made of it.
    CheckSummaryLimits(s);
    if (s.IsForeign()) {
        if (!s.rateDate.isValid()) {
            s.rateDate = QDate::currentDate();
        }
        s.rate = RateOn(db, s.currency, s.rateDate);
        s.invoiceValue = s.currencyInvoiceValue * s.rate;
        s.discount = s.currencyDiscount * s.rate;
    } else {
        s.rate = 1.0;
        s.currencyInvoiceValue = s.invoiceValue;
        s.currencyDiscount = s.discount;
    }
    if (RoundMoney(s.invoiceValue) == 0.0) {
        throw UserError(QStringLiteral("Fakturna vrijednost nesmije biti nula !"));
    }
    if (!s.items.empty()) {
        s.otherCosts = s.ItemsTotal();
    }
    CheckSummaryLimits(s);
    return s;
}

namespace {

// The amounts a whole-receipt percentage spreads over the lines add up to the whole amount, but
// the receipt's total of them is the sum of the lines' amounts rounded to the cent (MoneyTotal),
// which may miss the whole by a cent or a few. Those cents go to the line with the largest
// amount, so that the lines as shown add up to the amount on the supplier's invoice.
void SettleCents(Database& db, const QString& table, const QString& where, const QVariantList& keys,
                 const QString& column) {
    Statement s = db.Prepare(QStringLiteral("SELECT \"RBR_STAVKE\", \"") + column +
                             QStringLiteral("\" FROM ") + table + where);
    s.Exec(keys);
    double whole = 0;
    MoneyTotal shown;
    std::optional<std::pair<int, double>> largest;
    while (s.Next()) {
        const double amount = s.Double(1);
        whole += amount;
        shown += amount;
        if (!largest || std::fabs(amount) > std::fabs(largest->second)) {
            largest = {s.Int(0), amount};
        }
    }
    s.Finish();
    const double missing = RoundMoney(RoundMoney(whole) - shown.Value());
    if (!largest || missing == 0.0) {
        return;
    }
    QVariantList values{largest->second + missing};
    values << keys << largest->first;
    db.Exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET \"") + column +
                QStringLiteral("\" = ?") + where + QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            values);
}

}  // namespace

void ApplyPercentages(Database& db, const ReceiptTarget& target, const SummaryPercentages& p,
                      bool customsFromArticles) {
    const QString table = target.Table();
    QString where;
    QVariantList keys;
    if (target.IsPosted()) {
        where = QStringLiteral(
            " WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
            "\"TIP_STAVKE\" = 'ART'");
        keys = {target.warehouse, target.year, target.number};
    } else {
        where = QStringLiteral(" WHERE \"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'ART'");
        keys = {target.sessionCode};
    }
    auto exec = [&](const QString& set, QVariantList values) {
        values << keys;
        db.Exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + set + where, values);
    };
    exec(QStringLiteral(
             "\"RABAT_%\" = ?, \"RABAT_IZNOS\" = COALESCE(\"FAKTURNA_VRIJEDNOST\", 0) * (? / "
             "100.0)"),
         {p.discount, p.discount});
    SettleCents(db, table, where, keys, QStringLiteral("RABAT_IZNOS"));
    const QString net =
        QStringLiteral("(COALESCE(\"FAKTURNA_VRIJEDNOST\", 0) - COALESCE(\"RABAT_IZNOS\", 0))");
    if (!customsFromArticles) {
        exec(QStringLiteral("\"CARINA_%\" = ?, \"CARINA_IZNOS\" = ") + net +
                 QStringLiteral(" * (? / 100.0)"),
             {p.customs, p.customs});
        SettleCents(db, table, where, keys, QStringLiteral("CARINA_IZNOS"));
    }
    exec(QStringLiteral("\"SPEDICIJA_%\" = ?, \"SPEDICIJA_IZNOS\" = ") + net +
             QStringLiteral(" * (? / 100.0)"),
         {p.forwarding, p.forwarding});
    SettleCents(db, table, where, keys, QStringLiteral("SPEDICIJA_IZNOS"));
    exec(QStringLiteral("\"ZTR_%\" = ?, \"ZTR_IZNOS\" = ") + net + QStringLiteral(" * (? / 100.0)"),
         {p.otherCosts, p.otherCosts});
    SettleCents(db, table, where, keys, QStringLiteral("ZTR_IZNOS"));
    exec(QStringLiteral("\"NETTO_FAKTURNA_VRIJEDNOST\" = ") + net +
             QStringLiteral(", \"NABAVNA_VRIJEDNOST\" = ") + net +
             QStringLiteral(" + COALESCE(\"CARINA_IZNOS\", 0) + COALESCE(\"SPEDICIJA_IZNOS\", 0) "
                            "+ COALESCE(\"ZTR_IZNOS\", 0)"),
         {});
    // The unit prices follow their values (the net price too, so that every line keeps its own
    // arithmetic), and the margin follows the cost: the selling price stays. No quantity or no
    // cost value divides nothing.
    exec(QStringLiteral(
             "\"NETTO_FAKTURNA_CIJENA\" = CASE WHEN ROUND(\"KOLICINA\", 10) <> 0 THEN "
             "\"NETTO_FAKTURNA_VRIJEDNOST\" / \"KOLICINA\" ELSE 0 END, \"NABAVNA_CIJENA\" = CASE "
             "WHEN ROUND(\"KOLICINA\", 10) <> 0 THEN \"NABAVNA_VRIJEDNOST\" / \"KOLICINA\" ELSE 0 "
             "END, \"RUC_%\" = CASE WHEN ROUND(\"NABAVNA_VRIJEDNOST\", 10) <> 0 THEN "
             "((COALESCE(\"VRIJEDNOST\", 0) - \"NABAVNA_VRIJEDNOST\") / \"NABAVNA_VRIJEDNOST\") * "
             "100 ELSE 0 END, \"RUC_IZNOS\" = COALESCE(\"VRIJEDNOST\", 0) - "
             "\"NABAVNA_VRIJEDNOST\""),
         {});
    // Percentages that no line may carry (a discount above the goods' value) roll the caller's
    // transaction back.
    for (const ReceiptRow& row : receiptlines::Read(db, target)) {
        CheckReceiptRow(row);
    }
}

std::vector<DependentCost> ReadDependentCosts(Database& db, int warehouse, int year, int number) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"Opis\", \"Iznos\" FROM \"PRIMKE_ZAVISNI_TROSKOVI\" WHERE \"SKLADISTE\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ? ORDER BY \"RBR\""));
    s.Exec({warehouse, year, number});
    std::vector<DependentCost> items;
    while (s.Next()) {
        items.push_back({s.Text(0), s.Double(1)});
    }
    return items;
}

void WriteDependentCosts(Database& db, int warehouse, int year, int number,
                         const std::vector<DependentCost>& items) {
    db.Exec(QStringLiteral("DELETE FROM \"PRIMKE_ZAVISNI_TROSKOVI\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
            {warehouse, year, number});
    int position = 0;
    for (const DependentCost& item : items) {
        if (item.description.trimmed().isEmpty() && item.amount == 0.0) {
            continue;
        }
        db.Exec(QStringLiteral("INSERT INTO \"PRIMKE_ZAVISNI_TROSKOVI\" (\"SKLADISTE\", "
                               "\"GODINA\", \"BROJ PRIMKE\", \"RBR\", \"Opis\", \"Iznos\") VALUES "
                               "(?, ?, ?, ?, ?, ?)"),
                {warehouse, year, number, ++position, item.description.trimmed(), item.amount});
    }
}

ReceiptSummary PostedSummary(Database& db, int warehouse, int year, int number) {
    ReceiptSummary s;
    Statement h = db.Prepare(
        QStringLiteral("SELECT \"VALUTA\", \"DATUM_VALUTE\", \"DATUM\" FROM \"PRIMKE\" WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"));
    h.Exec({warehouse, year, number});
    if (h.Next()) {
        s.currency = h.IsNull(0) || h.Int(0) <= 0 ? 1 : h.Int(0);
        s.rateDate = h.IsNull(1) ? sqlvalue::ToDate(h.Value(2)) : sqlvalue::ToDate(h.Value(1));
    }
    h.Finish();
    if (s.IsForeign()) {
        s.rate = exchangerates::RateOn(db, s.currency, s.rateDate).value_or(1.0);
    }
    const ReceiptTotals t =
        receiptlines::Totals(db, ReceiptTarget::Posted(warehouse, year, number));
    s.invoiceValue = t.invoiceValue;
    s.discount = t.discount;
    s.customs = t.customs;
    s.forwarding = t.forwarding;
    s.otherCosts = t.otherCosts;
    s.currencyInvoiceValue = SafeDivide(t.invoiceValue, s.rate);
    s.currencyDiscount = SafeDivide(t.discount, s.rate);
    s.items = ReadDependentCosts(db, warehouse, year, number);
    return s;
}

}  // namespace zodra::purchasing
