#include "payments/PartnerCard.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "payments/PaymentModels.h"

namespace zodra::payments {

namespace {

struct Movement {
    QDate date;
    int order = 0;  // opening balances first on a day, then documents, then payments
    QString text;
    double debit = 0;
    double credit = 0;
};

void Read(Database& db, const QString& sql, const QVariantList& params, int order,
          std::vector<Movement>& out, bool amountIsDebit) {
    Statement s(db, sql);
    s.Exec(params);
    while (s.Next()) {
        Movement m;
        m.date = sqlvalue::ToDate(s.Value(0));
        m.order = order;
        m.text = s.Text(1);
        const double a = s.IsNull(2) ? 0 : s.Double(2);
        const double b = s.IsNull(3) ? 0 : s.Double(3);
        m.debit = amountIsDebit ? a : b;
        m.credit = amountIsDebit ? b : a;
        out.push_back(m);
    }
}

}  // namespace

QString CarriedForwardText() {
    return QStringLiteral("Donos");
}

TableData PartnerCard(Database& db, bool supplier, int partner, const QDate& from, const QDate& to,
                      std::optional<int> warehouse) {
    std::vector<Movement> moves;
    const QString where = warehouse ? QStringLiteral(" AND \"Skladiste\" = ?") : QString();
    QVariantList params{partner};
    if (warehouse) {
        params << *warehouse;
    }
    // A row without a date is kept (it counts as earlier than any date).
    const QString untilTo = QStringLiteral(" AND (\"Datum\" IS NULL OR \"Datum\" <= ?)");
    QVariantList paramsTo = params;
    paramsTo << to;
    Read(db,
         QStringLiteral("SELECT \"Datum\", COALESCE(\"Opis\", 'Početno stanje'), \"Duguje\", "
                        "\"Potražuje\" FROM ") +
             (supplier ? QStringLiteral("\"DOBAVLJACI POCETNO STANJE\"")
                       : QStringLiteral("\"PARTNERI POCETNO STANJE\"")) +
             QStringLiteral(" WHERE \"Partner\" = ?") + where + untilTo,
         paramsTo, 0, moves, true);
    if (supplier) {
        Read(db,
             QStringLiteral("SELECT \"Račun datum\", 'Ulazni račun ' || COALESCE(\"Račun broj\", "
                            "''), 0, \"Iznos računa sa porezom\" FROM \"KNJIGE_ULAZNIH_RACUNA\" "
                            "WHERE \"Šifra dobavljača\" = ? AND (\"Račun datum\" IS NULL OR "
                            "\"Račun datum\" <= ?)"),
             {partner, to}, 1, moves, true);
        Read(db,
             QStringLiteral("SELECT \"Datum\", 'Plaćanje ' || \"Tip\" || ' ' || COALESCE(\"Opis\", "
                            "''), \"Iznos\", 0 FROM \"UPLATE_URA\" WHERE \"Partner\" = ?") +
                 where + untilTo,
             paramsTo, 2, moves, true);
    } else {
        // Each invoice's total as printed: its lines at the cent, added.
        Statement s(db, QStringLiteral("SELECT r.\"DATUM\", r.\"SKLADISTE\", r.\"IRA\", "
                                       "r.\"BROJ RACUNA\", l.\"UKUPNO_\", r.\"GODINA\" FROM "
                                       "\"RACUNI\" r JOIN \"STAVKE_RACUNA\" l ON l.\"SKLADISTE\" = "
                                       "r.\"SKLADISTE\" AND l.\"IRA\" = r.\"IRA\" AND "
                                       "l.\"GODINA\" = r.\"GODINA\" AND l.\"BROJ_RACUNA\" = "
                                       "r.\"BROJ RACUNA\" WHERE r.\"SIFRA PARTNERA\" = ? AND "
                                       "(r.\"DATUM\" IS NULL OR r.\"DATUM\" <= ?) AND "
                                       "r.\"STORNO\" = FALSE") +
                            (warehouse ? QStringLiteral(" AND r.\"SKLADISTE\" = ?") : QString()));
        QVariantList invoiceParams{partner, to};
        if (warehouse) {
            invoiceParams << *warehouse;
        }
        s.Exec(invoiceParams);
        std::map<std::tuple<int, int, int, int>, std::pair<QDate, MoneyTotal>> invoices;
        while (s.Next()) {
            auto& entry = invoices[{s.Int(5), s.Int(1), s.Int(2), s.Int(3)}];
            entry.first = sqlvalue::ToDate(s.Value(0));
            if (!s.IsNull(4)) {
                entry.second.Add(s.Double(4));
            }
        }
        for (const auto& [key, value] : invoices) {
            moves.push_back({value.first, 1,
                             QStringLiteral("Račun %1/%2 (skl. %3, %4.)")
                                 .arg(std::get<3>(key))
                                 .arg(std::get<2>(key))
                                 .arg(std::get<1>(key))
                                 .arg(std::get<0>(key)),
                             value.second.Value(), 0});
        }
        Read(db,
             QStringLiteral("SELECT \"Datum\", 'Uplata ' || \"Tip\" || ' ' || COALESCE(\"Opis\", "
                            "''), 0, \"Iznos\" FROM \"UPLATE\" WHERE \"Partner\" = ?") +
                 where + untilTo,
             paramsTo, 2, moves, true);
    }
    std::stable_sort(moves.begin(), moves.end(), [](const Movement& a, const Movement& b) {
        return std::tie(a.date, a.order) < std::tie(b.date, b.order);
    });
    TableData t;
    t.columns = {{QStringLiteral("Datum"), TableColumn::Format::Date},
                 {QStringLiteral("Dokument")},
                 {QStringLiteral("Duguje"), TableColumn::Format::Money},
                 {QStringLiteral("Potražuje"), TableColumn::Format::Money},
                 {QStringLiteral("Saldo"), TableColumn::Format::Money}};
    qint64 balance = 0;
    qint64 carriedDebit = 0;
    qint64 carriedCredit = 0;
    bool carried = false;
    for (const Movement& m : moves) {
        balance += Cents(m.debit) - Cents(m.credit);
        if (m.date < from) {  // a missing date counts as earlier than any
            carriedDebit += Cents(m.debit);
            carriedCredit += Cents(m.credit);
            carried = true;
            continue;
        }
        if (carried) {
            t.rows.push_back({from, CarriedForwardText(), static_cast<double>(carriedDebit) / 100.0,
                              static_cast<double>(carriedCredit) / 100.0,
                              static_cast<double>(carriedDebit - carriedCredit) / 100.0});
            carried = false;
        }
        t.rows.push_back(
            {m.date, m.text.trimmed(), m.debit, m.credit, static_cast<double>(balance) / 100.0});
    }
    if (carried) {
        t.rows.push_back({from, CarriedForwardText(), static_cast<double>(carriedDebit) / 100.0,
                          static_cast<double>(carriedCredit) / 100.0,
                          static_cast<double>(carriedDebit - carriedCredit) / 100.0});
    }
    return t;
}

}  // namespace zodra::payments
