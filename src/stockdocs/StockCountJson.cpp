#include "stockdocs/StockCountJson.h"

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
#include "registers/DocumentFile.h"
#include "stock/Lots.h"

namespace zodra::stockdocs {

namespace {

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka inventure: "));
    return file;
}

std::optional<int> WholeNumber(const QJsonObject& o, const char* key, int line) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 ||
        d > numbering::kLastNumber) {
        File().Refuse(
            QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije cijeli broj"),
            line);
    }
    return static_cast<int>(d);
}

}  // namespace

JsonStockCount ParseStockCountJson(Database& db, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        File().Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                      QStringLiteral(", znak ") + QString::number(error.offset) +
                      QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    JsonStockCount c;
    c.warehouse = o.value(QStringLiteral("skladiste")).toInt(0);
    if (c.warehouse <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {c.warehouse})
             .isValid()) {
        File().Refuse(QStringLiteral("\"skladiste\" nije šifra postojećeg skladišta"));
    }
    c.header.number = WholeNumber(o, "broj", 0).value_or(0);
    c.header.date = File().Date(o, "datum");
    const QJsonValue zero = o.value(QStringLiteral("nula"));
    if (!zero.isUndefined() && !zero.isBool()) {
        File().Refuse(QStringLiteral("\"nula\" nije true ili false"));
    }
    c.zero = zero.toBool(false);
    int n = 0;
    for (const QJsonValue value : o.value(QStringLiteral("stavke")).toArray()) {
        ++n;
        const QJsonObject l = value.toObject();
        JsonStockCountLine line;
        line.article = File().Article(db, l, n);
        line.lot = WholeNumber(l, "primka", n);
        const std::optional<double> counted = File().Number(l, "kolicina", n);
        if (!counted) {
            File().Refuse(QStringLiteral("nedostaje \"kolicina\""), n);
        }
        line.counted = *counted;
        c.lines.push_back(line);
    }
    return c;
}

int PostStockCountFromJson(Session& session, const JsonStockCount& count) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    // Preparation, counting and posting in one transaction: the book quantities read stay true
    // until the posting re-checks them.
    Transaction transaction(db);
    PrepareStockCount(session, count.header.number,
                      count.zero ? std::optional<double>(0.0) : std::nullopt);
    int n = 0;
    for (const JsonStockCountLine& line : count.lines) {
        ++n;
        std::optional<int> lot = line.lot;
        if (!lot && session.stockMethod != StockMethod::Fifo) {
            lot = stock::kPooledLot;
        }
        if (!lot) {
            const std::vector<int> lots = stock::ListLots(db, w, y, line.article, false);
            if (lots.size() != 1) {
                File().Refuse(QStringLiteral("artikal ima više nabava, navedite \"primka\""), n);
            }
            lot = lots.front();
        }
        SetCountedQuantityOfLot(session, line.article, *lot, line.counted);
    }
    const int number = PostStockCount(session, count.header);
    transaction.Commit();
    return number;
}

}  // namespace zodra::stockdocs
