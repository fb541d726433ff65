#include "stockdocs/PriceChangeJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "registers/Articles.h"
#include "registers/DocumentFile.h"
#include "stockdocs/PriceChangeLines.h"

namespace zodra::stockdocs {

namespace {

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka izmjene cijena: "));
    return file;
}

[[noreturn]] void Refuse(const QString& text, int line = 0) {
    File().Refuse(text, line);
}

std::optional<double> Number(const QJsonObject& o, const char* key, int line) {
    return File().Number(o, key, line);
}

QDate DateOf(const QJsonObject& o) {
    return File().Date(o, "datum");
}

int ArticleOf(Database& db, const QJsonObject& o, int line) {
    return File().Article(db, o, line);
}

// A whole number from 1 up, or nothing when not given.
std::optional<int> WholeNumber(const QJsonObject& o, const char* key, int line) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 ||
        d > numbering::kLastNumber) {
        Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije cijeli broj"),
               line);
    }
    return static_cast<int>(d);
}

}  // namespace

JsonPriceChange ParsePriceChangeJson(Database& db, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
               QStringLiteral(", znak ") + QString::number(error.offset) + QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    JsonPriceChange p;
    p.warehouse = o.value(QStringLiteral("skladiste")).toInt(0);
    if (p.warehouse <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {p.warehouse})
             .isValid()) {
        Refuse(QStringLiteral("\"skladiste\" nije šifra postojećeg skladišta"));
    }
    p.header.number = WholeNumber(o, "broj", 0).value_or(0);
    p.header.date = DateOf(o);
    const QJsonArray lines = o.value(QStringLiteral("stavke")).toArray();
    if (lines.isEmpty()) {
        Refuse(QStringLiteral("nema stavki (\"stavke\")"));
    }
    int n = 0;
    for (const QJsonValue value : lines) {
        ++n;
        const QJsonObject l = value.toObject();
        JsonPriceChangeLine line;
        line.article = ArticleOf(db, l, n);
        line.lot = WholeNumber(l, "primka", n);
        line.price = Number(l, "cijena", n);
        line.priceWithTax = Number(l, "cijena_s_porezom", n);
        if (!line.price && !line.priceWithTax) {
            Refuse(QStringLiteral("nedostaje \"cijena\" ili \"cijena_s_porezom\""), n);
        }
        if (line.price && line.priceWithTax) {
            Refuse(QStringLiteral("zadana je i \"cijena\" i \"cijena_s_porezom\""), n);
        }
        p.lines.push_back(line);
    }
    return p;
}

int PostPriceChangeFromJson(Session& session, const JsonPriceChange& priceChange) {
    Database& db = session.Db();
    // Entry and posting in one transaction: the lots read when a line is entered (its quantity
    // and old price) stay true until the posting re-checks them, whoever posts beside it.
    Transaction transaction(db);
    ClearWorkingPriceChange(session);
    for (const JsonPriceChangeLine& line : priceChange.lines) {
        const double price =
            line.price ? *line.price
                       : PriceWithoutTax(*line.priceWithTax, ArticleTaxRate(db, line.article));
        AddPriceChangeLine(session, line.article, line.lot, price);
    }
    const int number = PostPriceChange(session, priceChange.header);
    transaction.Commit();
    return number;
}

}  // namespace zodra::stockdocs
