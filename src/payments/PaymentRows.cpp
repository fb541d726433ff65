#include "payments/PaymentRows.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Statement.h"

namespace zodra::payments::rows {

const Tables kCustomerSide{"UPLATE", "NAPLATA", "Sifra uplate"};
const Tables kSupplierSide{"UPLATE_URA", "PLACANJA", "Sifra uplate URA"};

namespace {

QString Quoted(const char* name) {
    return QLatin1Char('"') + QString::fromUtf8(name) + QLatin1Char('"');
}

}  // namespace

double SumAtCent(Database& db, const QString& sql, const QVariantList& params) {
    Statement s(db, sql);
    s.Exec(params);
    MoneyTotal total;
    while (s.Next()) {
        if (!s.IsNull(0)) {
            total.Add(s.Double(0));
        }
    }
    return total.Value();
}

double ClosedFrom(Database& db, const Tables& side, int payment) {
    return SumAtCent(db,
                     QStringLiteral("SELECT \"Iznos\" FROM ") + Quoted(side.closings) +
                         QStringLiteral(" WHERE ") + Quoted(side.paymentColumn) +
                         QStringLiteral(" = ?"),
                     {payment});
}

void RequirePartner(Database& db, std::optional<int> partner, const QString& message) {
    if (!partner || *partner <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {*partner})
             .isValid()) {
        throw UserError(message);
    }
}

int InsertPayment(Database& db, const Tables& side, int warehouse, int year, int partner,
                  const PaymentEntry& e, const QVariant& card) {
    db.Exec(QStringLiteral("INSERT INTO ") + Quoted(side.payments) +
                QStringLiteral(" (\"Skladiste\", \"Godina\", \"Partner\", \"Datum\", \"Tip\", "
                               "\"Opis\", \"Iznos\", \"Tip kartice\") VALUES (?, ?, ?, ?, ?, ?, "
                               "?, ?)"),
            {warehouse, year, partner, e.date, e.model, e.text, e.amount, card});
    return db.Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM ") + Quoted(side.payments)).toInt();
}

bool DeletePaymentOfLoneClosing(Database& db, const Tables& side, int payment, double amount) {
    if (payment <= 0) {
        return false;
    }
    const QVariant paid =
        db.Scalar(QStringLiteral("SELECT COALESCE(\"Iznos\", 0) FROM ") + Quoted(side.payments) +
                      QStringLiteral(" WHERE \"Sifra\" = ?"),
                  {payment});
    const bool others = db.Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(side.closings) +
                                      QStringLiteral(" WHERE ") + Quoted(side.paymentColumn) +
                                      QStringLiteral(" = ?"),
                                  {payment})
                            .isValid();
    if (!paid.isValid() || others || Cents(paid.toDouble()) != Cents(amount)) {
        return false;
    }
    db.Exec(QStringLiteral("DELETE FROM ") + Quoted(side.payments) +
                QStringLiteral(" WHERE \"Sifra\" = ?"),
            {payment});
    return true;
}

books::KpiEntry Negated(books::KpiEntry e) {
    for (double& a : e.amounts) {
        a = -a;
    }
    e.description = (QStringLiteral("Brisanje: ") + e.description).left(books::kKpiMaxDescription);
    return e;
}

}  // namespace zodra::payments::rows
