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

namespace {

// The file's top object, refused unless it is JSON of `word` (or names no kind).
QJsonObject ReadObject(const registers::DocumentFile& file, const QByteArray& json,
                       const QString& word) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        file.Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                    QStringLiteral(", znak ") + QString::number(error.offset) +
                    QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    const QJsonValue kind = o.value(QStringLiteral("vrsta"));
    if (!kind.isUndefined() && kind.toString() != word) {
        file.Refuse(QStringLiteral("\"vrsta\" nije ") + word);
    }
    return o;
}

}  // namespace

JsonWorkOrder ParseWorkOrderJson(Database& db, const QByteArray& json) {
    const registers::DocumentFile file(QStringLiteral("Datoteka radnog naloga: "));
    const QJsonObject o = ReadObject(file, json, WorkOrderWord());
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

QString FinishingOrderWord() {
    return QStringLiteral("radni-nalog-dorada");
}

JsonFinishingOrder ParseFinishingOrderJson(Database& db, const QByteArray& json) {
    const registers::DocumentFile file(QStringLiteral("Datoteka radnog naloga dorade: "));
    const QJsonObject o = ReadObject(file, json, FinishingOrderWord());
    JsonFinishingOrder f;
    f.warehouse = Warehouse(db, file, o, "skladiste");
    f.header.partner = file.Partner(db, o.value(QStringLiteral("partner")), "partner",
                                    QStringLiteral("\"partner\" nije postojeći partner"));
    f.header.number = Whole(file, o, "broj");
    f.header.date = file.Date(o, "datum");
    f.header.description = o.value(QStringLiteral("opis")).toString();
    const QJsonArray products = o.value(QStringLiteral("proizvodi")).toArray();
    if (products.isEmpty()) {
        file.Refuse(QStringLiteral("nema proizvoda (\"proizvodi\")"));
    }
    int n = 0;
    for (const QJsonValue value : products) {
        const QJsonObject l = value.toObject();
        ++n;
        FinishedProductEntry entry;
        entry.product = file.Article(db, l, n);
        entry.quantity = Required(file, l, "kolicina", n);
        entry.fromBill = l.value(QStringLiteral("po_sastavnici")).toBool(false);
        for (const QJsonValue m : l.value(QStringLiteral("materijal")).toArray()) {
            const QJsonObject mo = m.toObject();
            MaterialEntry material;
            material.article = file.Article(db, mo, n);
            material.quantity = Required(file, mo, "kolicina", n);
            material.lot = Whole(file, mo, "primka");
            entry.material.push_back(material);
        }
        for (const QJsonValue u : l.value(QStringLiteral("usluge")).toArray()) {
            const QJsonObject uo = u.toObject();
            entry.services.push_back({uo.value(QStringLiteral("opis")).toString(),
                                      Required(file, uo, "kolicina", n),
                                      Required(file, uo, "cijena", n)});
        }
        f.products.push_back(entry);
    }
    return f;
}

PostedFinishingOrder PostFinishingOrderFromJson(Session& session, const JsonFinishingOrder& order) {
    Database& db = session.Db();
    Transaction transaction(db);
    const int code = workingcopy::AllocateSessionCode(db);
    for (const FinishedProductEntry& entry : order.products) {
        AddFinishedProduct(session, code, entry);
    }
    const PostedFinishingOrder posted =
        PostFinishingOrderInTransaction(session, code, order.header);
    workingcopy::ReleaseSessionCodes(db, {code});
    transaction.Commit();
    return posted;
}

}  // namespace zodra::production
