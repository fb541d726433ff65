#include "assets/FixedAssetJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Transaction.h"

namespace zodra::assets {

namespace {

[[noreturn]] void Refuse(const QString& text) {
    throw UserError(text);
}

QString Text(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return QString();
    }
    if (!v.isString()) {
        Refuse(QStringLiteral("Ključ \"") + QLatin1String(key) +
               QStringLiteral("\" mora biti tekst."));
    }
    return v.toString();
}

std::optional<double> Number(const QJsonObject& o, const char* key, const QString& what) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        Refuse(limits::NotANumberMessage(what));
    }
    return v.toDouble();
}

std::optional<int> WholeNumber(const QJsonObject& o, const char* key, int low, int high,
                               const QString& message) {
    const auto value = Number(o, key, message);
    if (!value) {
        return std::nullopt;
    }
    if (*value != std::floor(*value) || *value < low || *value > high) {
        Refuse(message);
    }
    return static_cast<int>(*value);
}

}  // namespace

JsonFixedAsset ParseFixedAssetJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        Refuse(QStringLiteral("Datoteka nije ispravan JSON: ") + error.errorString());
    }
    const QJsonObject o = document.object();
    JsonFixedAsset file;
    const auto year = WholeNumber(o, "godina", limits::kFirstYear, limits::kLastYear,
                                  QStringLiteral("Godina mora biti između 2000 i 2099 !"));
    if (!year) {
        Refuse(QStringLiteral("Datoteka ne navodi godinu (\"godina\")."));
    }
    file.year = *year;
    FixedAsset& a = file.asset;
    a.table = AssetTable::Current;
    if (const auto number =
            WholeNumber(o, "redni_broj", 1, kMaxAssetNumber, InvalidNumberMessage())) {
        a.number = *number;
        file.numberGiven = true;
    } else {
        a.number = 1;  // a stand-in for the checks; the next free number is taken at posting
    }
    a.name = Text(o, "naziv");
    a.document = Text(o, "isprava");
    a.group = Text(o, "skupina");
    a.purchaseValue =
        Number(o, "nabavna_vrijednost", QStringLiteral("Nabavna vrijednost")).value_or(0);
    a.bookValue = Number(o, "knjigovodstvena_vrijednost",
                         QStringLiteral("Knjigovodstvena "
                                        "vrijednost"))
                      .value_or(0);
    a.rate = Number(o, "stopa_otpisa", QStringLiteral("Stopa otpisa")).value_or(0);
    const int months =
        WholeNumber(o, "mjeseci", 0, 12,
                    MonthsMessage().section(QLatin1Char('.'), 0, 0) + QLatin1Char('.'))
            .value_or(12);
    const Depreciation computed = ComputeDepreciation(a.purchaseValue, a.bookValue, a.rate, months);
    const auto amount = Number(o, "svota_otpisa", QStringLiteral("Svota otpisa"));
    const auto yearEnd = Number(o, "vrijednost_na_kraju_godine",
                                QStringLiteral("Knjigovodstvena vrijednost na kraju godine"));
    a.depreciation = amount ? *amount : yearEnd ? a.bookValue - *yearEnd : computed.amount;
    a.yearEndValue = yearEnd ? *yearEnd : amount ? a.bookValue - *amount : computed.yearEndValue;
    if (const auto fault = CheckAsset(a)) {
        Refuse(*fault);
    }
    return file;
}

int PostFixedAssetFromJson(Database& db, const JsonFixedAsset& file) {
    FixedAsset a = file.asset;
    if (!file.numberGiven) {
        // The number is settled under the write lock, so two programs posting at once each
        // get their own.
        Transaction tx(db);
        a.number = NextAssetNumber(db, file.year);
        AddAsset(db, file.year, a);
        tx.Commit();
        return a.number;
    }
    AddAsset(db, file.year, a);
    return a.number;
}

QString PostedMessage(int number, int year) {
    return QStringLiteral("Dugotrajna imovina je upisana pod brojem %1 u godini %2.")
        .arg(number)
        .arg(year);
}

}  // namespace zodra::assets
