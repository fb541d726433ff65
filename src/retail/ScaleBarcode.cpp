#include "retail/ScaleBarcode.h"

#include <QRegularExpression>

#include "data/Database.h"
#include "data/Errors.h"

namespace zodra::retail {

namespace {

struct Span {
    int first = 0;
    int last = 0;
};

std::optional<Span> ParseSpan(const QString& text) {
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2) {
        return std::nullopt;
    }
    bool ok1 = false;
    bool ok2 = false;
    const Span span{ends[0].toInt(&ok1), ends[1].toInt(&ok2)};
    if (!ok1 || !ok2 || span.first < 1 || span.last > 12 || span.first > span.last ||
        span.last - span.first > 8) {
        return std::nullopt;
    }
    return span;
}

qint64 Digits(const QString& code, const Span& span) {
    return code.mid(span.first - 1, span.last - span.first + 1).toLongLong();
}

}  // namespace

int Ean13CheckDigit(const QString& first12) {
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        const int digit = first12.at(i).digitValue();
        sum += (i % 2 == 0) ? digit : 3 * digit;
    }
    return (10 - sum % 10) % 10;
}

std::optional<ScaleReading> ReadScaleBarcode(Database& db, const QString& barcode) {
    const QString code = barcode.trimmed();
    static const QRegularExpression ean(QStringLiteral("^2[0-9]{12}$"));
    if (!ean.match(code).hasMatch()) {
        return std::nullopt;
    }
    const QString key = QStringLiteral("Vagni barkod ") + code.left(2);
    const QString setting =
        db.Scalar(
              QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
              {key})
            .toString()
            .trimmed();
    if (setting.isEmpty()) {
        return std::nullopt;
    }
    if (Ean13CheckDigit(code.left(12)) != code.at(12).digitValue()) {
        throw UserError(QStringLiteral("Neispravan kontrolni broj barkoda vage."));
    }
    const QStringList parts = setting.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString kind = parts.value(0).toUpper();
    const std::optional<Span> article = ParseSpan(parts.value(1));
    const std::optional<Span> value = ParseSpan(parts.value(2));
    if (parts.size() != 3 || !article || !value ||
        (kind != QLatin1String("TEZINA") && kind != QLatin1String("CIJENA"))) {
        throw UserError(QStringLiteral("Neispravna postavka '") + key + QStringLiteral("'."));
    }
    ScaleReading reading;
    reading.article = static_cast<int>(Digits(code, *article));
    const double number = static_cast<double>(Digits(code, *value));
    if (kind == QLatin1String("TEZINA")) {
        reading.quantity = number / 1000;
    } else {
        reading.price = number / 100;
    }
    return reading;
}

}  // namespace zodra::retail
