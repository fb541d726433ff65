#include "production/WorkOrderJson.h"

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
#include "data/WorkingCopy.h"
#include "registers/DocumentFile.h"

namespace zodra::production {

namespace {

int Whole(const registers::DocumentFile& file, const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return 0;
    }
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 ||
        d > numbering::kLastNumber) {
        file.Refuse(QStringLiteral("\"") + QLatin1String(key) +
                    QStringLiteral("\" nije cijeli broj"));
    }
    return static_cast<int>(d);
}

int Warehouse(Database& db, const registers::DocumentFile& file, const QJsonObject& o,
              const char* key) {
    const int code = Whole(file, o, key);
    if (code <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {code})
             .isValid()) {
        file.Refuse(QStringLiteral("\"") + QLatin1String(key) +
                    QStringLiteral("\" nije šifra postojećeg skladišta"));
    }
    return code;
}

double Required(const registers::DocumentFile& file, const QJsonObject& l, const char* key, int n) {
    const std::optional<double> v = file.Number(l, key, n);
    if (!v) {
        file.Refuse(QStringLiteral("nedostaje \"") + QLatin1String(key) + QLatin1Char('"'), n);
    }
    return *v;
}

}  // namespace

QString WorkOrderWord() {
    return QStringLiteral("radni-nalog");
}

JsonWorkOrder ParseWorkOrderJson(Database& db, const QByteArray& json) {
    const registers::DocumentFile file(QStringLiteral("Datoteka radnog naloga: "));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        file.Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                    QStringLiteral(", znak ") + QString::number(error.offset) +
                    QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    const QJsonValue kind = o.value(QStringLiteral("vrsta"));
    if (!kind.isUndefined() && kind.toString() != WorkOrderWord()) {
        file.Refuse(QStringLiteral("\"vrsta\" nije radni-nalog"));
    }
    JsonWorkOrder w;
    w.warehouse = Warehouse(db, file, o, "skladiste");
    w.header.destination = Warehouse(db, file, o, "odrediste");
    w.header.number = Whole(file, o, "broj");
    w.header.date = file.Date(o, "datum");
    w.header.description = o.value(QStringLiteral("opis")).toString();
    const QJsonArray products = o.value(QStringLiteral("proizvodi")).toArray();
    if (products.isEmpty()) {
        file.Refuse(QStringLiteral("nema proizvoda (\"proizvodi\")"));
    }
    int n = 0;
    for (const QJsonValue value : products) {
        const QJsonObject l = value.toObject();
        ++n;
        ProductEntry entry;
        entry.product = file.Article(db, l, n);
        entry.quantity = Required(file, l, "kolicina", n);
        entry.materialPrice = Required(file, l, "cijena_materijala", n);
        entry.dependentCost = file.Number(l, "zavisni_trosak", n);
        entry.sellingPrice = Required(file, l, "prodajna_cijena", n);
        w.products.push_back(entry);
    }
    return w;
}

PostedWorkOrder PostWorkOrderFromJson(Session& session, const JsonWorkOrder& order) {
    Database& db = session.Db();
    Transaction transaction(db);
    const WorkOrderCodes codes{workingcopy::AllocateSessionCode(db),
                               workingcopy::AllocateSessionCode(db)};
    for (const ProductEntry& entry : order.products) {
        AddProduct(session, codes, entry);
    }
    const PostedWorkOrder posted = PostWorkOrderInTransaction(session, codes, order.header);
    workingcopy::ReleaseSessionCodes(db, {codes.parts, codes.products});
    transaction.Commit();
    return posted;
}

}  // namespace zodra::production
