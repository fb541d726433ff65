#include "books/UraJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "purchasing/ReceiptList.h"

namespace zodra::books {

namespace {

[[noreturn]] void Bad(const QString& what) {
    throw UserError(QStringLiteral("Datoteka ulaznog računa: ") + what);
}

double Number(const QJsonObject& o, const QString& key, double fallback = 0) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) {
        return fallback;
    }
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        Bad(key + QStringLiteral(" nije broj."));
    }
    return v.toDouble();
}

QDate Day(const QJsonObject& o, const QString& key, bool required) {
    const QString text = o.value(key).toString().trimmed();
    if (text.isEmpty()) {
        if (required) {
            Bad(QStringLiteral("nije upisan ") + key + QLatin1Char('.'));
        }
        return {};
    }
    for (const char* pattern : {"yyyy-MM-dd", "d.M.yyyy"}) {
        const QDate d = QDate::fromString(text, QString::fromLatin1(pattern));
        if (d.isValid()) {
            return d;
        }
    }
    Bad(key + QStringLiteral(" nije ispravan datum."));
}

int Supplier(Database& db, const QJsonValue& v) {
    QVariant code;
    if (v.isDouble()) {
        code = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ? "
                                        "AND \"Dobavljac\" = TRUE"),
                         {v.toInt()});
    } else if (v.isString()) {
        code = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ? "
                                        "AND \"Dobavljac\" = TRUE ORDER BY \"SIFRA\""),
                         {v.toString()});
    } else if (v.isObject()) {
        code = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"OIB\" = ? "
                                        "AND \"Dobavljac\" = TRUE ORDER BY \"SIFRA\""),
                         {v.toObject().value(QStringLiteral("oib")).toString()});
    } else {
        return 0;  // refused at posting: "Nije izabran dobavljač !"
    }
    if (!code.isValid()) {
        Bad(QStringLiteral("dobavljač nije pronađen."));
    }
    return sqlvalue::ToInt(code);
}

PurchaseKind Kind(const QString& word, int book) {
    static const std::pair<const char*, PurchaseKind> kinds[] = {
        {"tuzemni", PurchaseKind::Domestic},
        {"tuzemni-prijenos", PurchaseKind::DomesticReverse},
        {"eu-dobra", PurchaseKind::EuGoods},
        {"eu-usluge", PurchaseKind::EuServices},
        {"inozemni", PurchaseKind::ForeignServices},
        {"uvoz", PurchaseKind::Import},
    };
    if (word.isEmpty()) {
        return DefaultPurchaseKind(book);
    }
    for (const auto& [name, kind] : kinds) {
        if (word == QLatin1String(name)) {
            return kind;
        }
    }
    Bad(QStringLiteral("nepoznata vrsta_nabave ") + word + QLatin1Char('.'));
}

}  // namespace

UraFile ReadUraJson(Database& db, const QByteArray& json, int businessYear) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (!doc.isObject()) {
        Bad(QStringLiteral("nije ispravan JSON (") + error.errorString() + QLatin1Char(')'));
    }
    const QJsonObject o = doc.object();
    UraFile file;
    file.warehouse = static_cast<int>(Number(o, QStringLiteral("skladiste"), 1));
    UraInvoice& inv = file.invoice;
    inv.book = static_cast<int>(Number(o, QStringLiteral("knjiga"), 1));
    inv.year = businessYear;
    inv.number = static_cast<int>(Number(o, QStringLiteral("redni_broj"), 0));
    inv.invoiceNumber = o.value(QStringLiteral("broj_racuna")).toString();
    inv.supplier = Supplier(db, o.value(QStringLiteral("dobavljac")));
    inv.type = o.value(QStringLiteral("tip")).toString(QStringLiteral("R-1"));
    inv.kind = Kind(o.value(QStringLiteral("vrsta_nabave")).toString(), inv.book);
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"KNJIGE_URA\" WHERE \"SIFRA\" = ?"), {inv.book})
            .isNull()) {
        Bad(QStringLiteral("knjiga ulaznih računa ") + QString::number(inv.book) +
            QStringLiteral(" ne postoji."));
    }
    if (o.contains(QStringLiteral("primka"))) {
        const int receipt = static_cast<int>(Number(o, QStringLiteral("primka")));
        const QVariant date =
            db.Scalar(QStringLiteral("SELECT \"DATUM\" FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND "
                                     "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                      {file.warehouse, businessYear, receipt});
        if (date.isNull()) {
            Bad(QStringLiteral("ne postoji proknjižena primka broj ") + QString::number(receipt) +
                QLatin1Char('.'));
        }
        FillFromReceipt(inv, purchasing::TaxSummary(db, file.warehouse, businessYear, receipt),
                        sqlvalue::ToDate(date));
        if (!o.contains(QStringLiteral("dobavljac"))) {
            inv.supplier = sqlvalue::ToInt(
                db.Scalar(QStringLiteral(
                              "SELECT \"SIFRA DOBAVLJACA\" FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? "
                              "AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                          {file.warehouse, businessYear, receipt}));
        }
    } else {
        inv.base0 = Number(o, QStringLiteral("osnovica_0"));
        const QJsonArray rates = o.value(QStringLiteral("stope")).toArray();
        for (qsizetype i = 0; i < rates.size(); ++i) {
            const QJsonObject r = rates.at(i).toObject();
            const double rate = Number(r, QStringLiteral("stopa"), -1);
            if (rate != std::floor(rate) || !IsUraRate(static_cast<int>(rate))) {
                Bad(QStringLiteral("knjiga nema stupac za stopu ") + QString::number(rate) +
                    QStringLiteral("% (stopa ") + QString::number(i + 1) + QStringLiteral(")."));
            }
            UraRateAmounts& a = inv.AtRate(static_cast<int>(rate));
            if (!a.IsZero()) {
                Bad(QStringLiteral("stopa ") + QString::number(rate) +
                    QStringLiteral("% je navedena dva puta."));
            }
            a.base = Number(r, QStringLiteral("osnovica"));
            a.tax = Number(r, QStringLiteral("pretporez"), RoundMoney(a.base * rate / 100.0));
            a.nonDeductible = Number(r, QStringLiteral("ne_odbiti"));
            a.deductible = RoundMoney(a.tax - a.nonDeductible);
        }
    }
    if (o.contains(QStringLiteral("datum"))) {
        inv.date = Day(o, QStringLiteral("datum"), true);
    } else if (!inv.date.isValid()) {
        Bad(QStringLiteral("nije upisan datum."));
    }
    if (o.contains(QStringLiteral("dospijece"))) {
        inv.due = Day(o, QStringLiteral("dospijece"), false);
    }
    inv.total = inv.ComputedTotal();
    if (o.contains(QStringLiteral("ukupno")) &&
        !MoneyEqual(Number(o, QStringLiteral("ukupno")), inv.total)) {
        Bad(QStringLiteral("ukupno ") +
            QString::number(Number(o, QStringLiteral("ukupno")), 'f', 2) +
            QStringLiteral(" nije zbroj osnovica i pretporeza (") +
            QString::number(inv.total, 'f', 2) + QStringLiteral(")."));
    }
    return file;
}

}  // namespace zodra::books
