#include "data/ExchangeRates.h"

#include <QList>
#include <QPair>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"

namespace zodra::exchangerates {

std::optional<double> RateOn(Database& db, int currency, const QDate& date) {
    const QVariant rate =
        db.Scalar(QStringLiteral("SELECT \"TECAJ\" FROM \"VALUTE_TECAJ\" WHERE \"SIFRA\" = ? AND "
                                 "\"DATUM\" = ?"),
                  {currency, date});
    if (!rate.isValid() || rate.isNull()) {
        return std::nullopt;
    }
    return rate.toDouble();
}

std::optional<double> ParseRate(const QString& typed) {
    QString text = typed.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value > 0.0)) {
        return std::nullopt;
    }
    return value;
}

void AskMissingRates(Database& db, const QDate& date, Prompter& prompter,
                     const QString& onlyCurrencyName) {
    QList<QPair<int, QString>> currencies;
    {
        Statement list = db.Prepare(
            onlyCurrencyName.isEmpty()
                ? QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"VALUTE\" ORDER BY \"NAZIV\" "
                                 "COLLATE \"HR\"")
                : QStringLiteral(
                      "SELECT \"SIFRA\", \"NAZIV\" FROM \"VALUTE\" WHERE \"NAZIV\" = ?"));
        if (onlyCurrencyName.isEmpty()) {
            list.Exec();
        } else {
            list.Exec({onlyCurrencyName});
        }
        while (list.Next()) {
            currencies.append({list.Int(0), list.Text(1)});
        }
    }
    const QString dateText = date.toString(QStringLiteral("d.M.yyyy"));
    for (const auto& [code, name] : currencies) {
        if (RateOn(db, code, date)) {
            continue;
        }
        double rate = 1.0;
        if (code != 1) {
            const auto answer = prompter.AskText(
                QStringLiteral("Upišite tečaj ") + name + QStringLiteral(" na dan ") + dateText,
                QStringLiteral("Tečaj"));
            const auto parsed = answer ? ParseRate(*answer) : std::nullopt;
            if (!parsed) {
                prompter.Inform(QStringLiteral("Neispravno upisan tečaj ") + name);
                continue;
            }
            rate = *parsed;
        }
        // Another workstation starting at the same moment may have stored the day's rate
        // meanwhile; its rate stands.
        db.Exec(QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                               "VALUES (?, ?, ?) ON CONFLICT (\"SIFRA\", \"DATUM\") DO NOTHING"),
                {code, date, rate});
    }
}

std::vector<Rate> RatesOf(Database& db, int currency) {
    std::vector<Rate> rates;
    Statement all =
        db.Prepare(QStringLiteral("SELECT \"DATUM\", \"TECAJ\" FROM \"VALUTE_TECAJ\" WHERE "
                                  "\"SIFRA\" = ? ORDER BY \"DATUM\""));
    all.Exec({currency});
    while (all.Next()) {
        rates.push_back(Rate{sqlvalue::ToDate(all.Value(0)), all.Double(1)});
    }
    return rates;
}

void SetRate(Database& db, int currency, const QDate& date, const QString& typed) {
    const QVariant name = db.Scalar(
        QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = ?"), {currency});
    if (!name.isValid()) {
        throw UserError(QStringLiteral("Valuta nije ispravno upisana"));
    }
    const auto rate = ParseRate(typed);
    if (!rate || !date.isValid()) {
        throw UserError(QStringLiteral("Neispravno upisan tečaj ") + name.toString());
    }
    Transaction tx(db);
    if (db.Exec(QStringLiteral("UPDATE \"VALUTE_TECAJ\" SET \"TECAJ\" = ? WHERE \"SIFRA\" = ? AND "
                               "\"DATUM\" = ?"),
                {*rate, currency, date}) == 0) {
        db.Exec(QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                               "VALUES (?, ?, ?)"),
                {currency, date, *rate});
    }
    tx.Commit();
}

void DeleteRate(Database& db, int currency, const QDate& date) {
    db.Exec(QStringLiteral("DELETE FROM \"VALUTE_TECAJ\" WHERE \"SIFRA\" = ? AND \"DATUM\" = ?"),
            {currency, date});
}

}  // namespace zodra::exchangerates
