#include <zip.h>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <memory>

#include "data/Errors.h"
#include "maintenance/Zip.h"
#include "registers/DocumentFile.h"
#include "transfer/DataTransfer.h"

// The transfer file: a zip holding UTF-8 JSON payloads, "primke.json" and/or "otpremnice.json"
// (docs/transfer.md). Each receipt in it is written in the keys of a receipt file for `zodractl
// post`, each delivery note in those of a delivery-note file, naming the partner, articles and
// packaging by name; the registers the documents name travel beside them.
namespace zodra::transfer {

QString PayloadName(Kind kind) {
    return kind == Kind::Receipts ? QStringLiteral("primke.json")
                                  : QStringLiteral("otpremnice.json");
}

namespace {

constexpr zip_uint64_t kMaxPayload = 64u << 20;

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka prijenosa: "));
    return file;
}

QString DateText(const QDate& d) {
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

QJsonValue Optional(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

// An object of the file: members without a value (null, or an empty text) are left out.
QJsonObject Object(std::initializer_list<std::pair<const char*, QJsonValue>> members) {
    QJsonObject o;
    for (const auto& [key, value] : members) {
        if (!value.isNull() && !(value.isString() && value.toString().isEmpty())) {
            o.insert(QLatin1String(key), value);
        }
    }
    return o;
}

template <typename T, typename F>
QJsonArray Array(const std::vector<T>& rows, F&& object) {
    QJsonArray array;
    for (const T& row : rows) {
        array.append(object(row));
    }
    return array;
}

QString Text(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

// A name the receipts and registers are matched by: a text, not empty.
QString Name(const QJsonObject& o, const char* key, int line = 0) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString() || v.toString().trimmed().isEmpty()) {
        File().Refuse(
            QStringLiteral("nedostaje naziv (\"") + QLatin1String(key) + QStringLiteral("\")"),
            line);
    }
    return v.toString();
}

QJsonArray Array(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toArray();
}

}  // namespace

QByteArray ToJson(const Package& p, Kind kind) {
    QJsonObject root{{QStringLiteral("skladiste"), p.warehouse},
                     {QStringLiteral("godina"), p.year}};
    root.insert(QStringLiteral("grupe_poreza"), Array(p.taxGroups, [](const TaxGroup& t) {
                    return Object({{"naziv", t.name}, {"stopa", t.rate}});
                }));
    root.insert(QStringLiteral("grupe_artikala"), Array(p.articleGroups, [](const ArticleGroup& g) {
                    return Object({{"naziv", g.name},
                                   {"veleprodajna_marza", Optional(g.wholesaleMargin)},
                                   {"maloprodajna_marza", Optional(g.retailMargin)}});
                }));
    root.insert(
        QStringLiteral("ambalaza"), Array(p.packaging, [](const Packaging& a) {
            return Object(
                {{"naziv", a.name}, {"cijena", a.price}, {"jed_m", a.unit}, {"barkod", a.barcode}});
        }));
    root.insert(QStringLiteral("partneri"), Array(p.partners, [](const Partner& d) {
                    return Object({{"naziv", d.name},
                                   {"adresa", d.address},
                                   {"mjesto", d.city},
                                   {"telefon", d.phone},
                                   {"oib", d.oib}});
                }));
    root.insert(QStringLiteral("artikli"), Array(p.articles, [](const Article& a) {
                    return Object({{"naziv", a.name},
                                   {"artikal", a.code},
                                   {"jed_m", a.unit},
                                   {"grupa", a.group},
                                   {"grupa_poreza", a.taxGroup},
                                   {"barkod", a.barcode}});
                }));
    if (kind == Kind::Receipts) {
        root.insert(QStringLiteral("primke"), Array(p.receipts, [](const Receipt& r) {
                        QJsonObject o = Object({{"broj", r.number},
                                                {"datum", DateText(r.date)},
                                                {"dokument", r.document},
                                                {"dobavljac", r.supplier},
                                                {"datum_dokumenta", DateText(r.documentDate)}});
                        o.insert(
                            QStringLiteral("stavke"), Array(r.lines, [](const Line& l) {
                                return Object({{l.packaging ? "ambalaza" : "naziv", l.name},
                                               {"kolicina", l.quantity},
                                               {"fakturna_cijena", l.invoicePrice},
                                               {"rabat_%", l.discountPercent},
                                               {"carina_%", l.customsPercent},
                                               {"spedicija_%", l.forwardingPercent},
                                               {"zavisni_troskovi_%", l.otherCostsPercent},
                                               {"nabavna_cijena", Optional(l.cost)},
                                               {"cijena", Optional(l.price)},
                                               {"maloprodajna_marza_%", Optional(l.retailMargin)},
                                               {"grupa_poreza", l.taxGroup},
                                               {"porez_%", Optional(l.taxRate)}});
                            }));
                        return o;
                    }));
    } else {
        root.insert(
            QStringLiteral("otpremnice"), Array(p.deliveries, [](const DeliveryNote& d) {
                QJsonObject o = Object(
                    {{"broj", d.number}, {"datum", DateText(d.date)}, {"kupac", d.customer}});
                o.insert(QStringLiteral("stavke"), Array(d.lines, [](const DeliveryLine& l) {
                             return Object({{"naziv", l.name},
                                            {"kolicina", l.quantity},
                                            {"cijena", l.price},
                                            {"rabat_%", l.discountPercent}});
                         }));
                return o;
            }));
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Package FromJson(const QByteArray& json, Kind kind) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        File().Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                      QStringLiteral(", znak ") + QString::number(error.offset) +
                      QStringLiteral(")"));
    }
    const QJsonObject root = doc.object();
    Package p;
    p.warehouse = Name(root, "skladiste");
    p.year = root.value(QStringLiteral("godina")).toInt(0);
    for (const QJsonValue v : Array(root, "grupe_poreza")) {
        const QJsonObject o = v.toObject();
        p.taxGroups.push_back({Name(o, "naziv"), File().Number(o, "stopa").value_or(0)});
    }
    for (const QJsonValue v : Array(root, "grupe_artikala")) {
        const QJsonObject o = v.toObject();
        p.articleGroups.push_back({Name(o, "naziv"), File().Number(o, "veleprodajna_marza"),
                                   File().Number(o, "maloprodajna_marza")});
    }
    for (const QJsonValue v : Array(root, "ambalaza")) {
        const QJsonObject o = v.toObject();
        p.packaging.push_back({Name(o, "naziv"), Text(o, "jed_m"),
                               File().Number(o, "cijena").value_or(0), Text(o, "barkod")});
    }
    for (const QJsonValue v : Array(root, "partneri")) {
        const QJsonObject o = v.toObject();
        p.partners.push_back({Name(o, "naziv"), Text(o, "adresa"), Text(o, "mjesto"),
                              Text(o, "telefon"), Text(o, "oib")});
    }
    for (const QJsonValue v : Array(root, "artikli")) {
        const QJsonObject o = v.toObject();
        p.articles.push_back({Name(o, "naziv"), Text(o, "artikal"), Text(o, "jed_m"),
                              Text(o, "grupa"), Text(o, "grupa_poreza"), Text(o, "barkod")});
    }
    if (kind == Kind::Deliveries) {
        const QJsonArray deliveries = Array(root, "otpremnice");
        if (deliveries.isEmpty()) {
            File().Refuse(QStringLiteral("nema otpremnica (\"otpremnice\")"));
        }
        for (const QJsonValue v : deliveries) {
            const QJsonObject o = v.toObject();
            DeliveryNote d;
            d.number = o.value(QStringLiteral("broj")).toInt(0);
            d.date = File().Date(o, "datum", true);
            d.customer = Text(o, "kupac");
            int n = 0;
            for (const QJsonValue lv : Array(o, "stavke")) {
                ++n;
                const QJsonObject lo = lv.toObject();
                DeliveryLine l;
                l.name = Name(lo, "naziv", n);
                l.quantity = File().Number(lo, "kolicina", n).value_or(0);
                const std::optional<double> price = File().Number(lo, "cijena", n);
                if (!price) {
                    File().Refuse(QStringLiteral("nedostaje \"cijena\""), n);
                }
                l.price = *price;
                l.discountPercent = File().Number(lo, "rabat_%", n).value_or(0);
                d.lines.push_back(l);
            }
            p.deliveries.push_back(d);
        }
        return p;
    }
    const QJsonArray receipts = Array(root, "primke");
    if (receipts.isEmpty()) {
        File().Refuse(QStringLiteral("nema primki (\"primke\")"));
    }
    for (const QJsonValue v : receipts) {
        const QJsonObject o = v.toObject();
        Receipt r;
        r.number = o.value(QStringLiteral("broj")).toInt(0);
        r.date = File().Date(o, "datum", true);
        r.supplier = Text(o, "dobavljac");
        r.document = Text(o, "dokument");
        r.documentDate = File().Date(o, "datum_dokumenta", false);
        if (!r.documentDate.isValid()) {
            r.documentDate = r.date;
        }
        int n = 0;
        for (const QJsonValue lv : Array(o, "stavke")) {
            ++n;
            const QJsonObject lo = lv.toObject();
            Line l;
            l.packaging = lo.contains(QStringLiteral("ambalaza"));
            l.name = Name(lo, l.packaging ? "ambalaza" : "naziv", n);
            const std::optional<double> quantity = File().Number(lo, "kolicina", n);
            if (!quantity) {
                File().Refuse(QStringLiteral("nedostaje \"kolicina\""), n);
            }
            l.quantity = *quantity;
            l.invoicePrice = File().Number(lo, "fakturna_cijena", n).value_or(0);
            l.discountPercent = File().Number(lo, "rabat_%", n).value_or(0);
            l.customsPercent = File().Number(lo, "carina_%", n).value_or(0);
            l.forwardingPercent = File().Number(lo, "spedicija_%", n).value_or(0);
            l.otherCostsPercent = File().Number(lo, "zavisni_troskovi_%", n).value_or(0);
            l.cost = File().Number(lo, "nabavna_cijena", n);
            l.price = File().Number(lo, "cijena", n);
            l.retailMargin = File().Number(lo, "maloprodajna_marza_%", n);
            l.taxGroup = Text(lo, "grupa_poreza");
            l.taxRate = File().Number(lo, "porez_%", n);
            r.lines.push_back(l);
        }
        p.receipts.push_back(r);
    }
    return p;
}

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString ZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

}  // namespace

void WriteTransferFile(const Package& package, const QString& path) {
    std::vector<maintenance::ZipMember> members;
    for (const Kind kind : {Kind::Receipts, Kind::Deliveries}) {
        if (kind == Kind::Receipts ? !package.receipts.empty() : !package.deliveries.empty()) {
            members.push_back({PayloadName(kind), ToJson(package, kind), {}});
        }
    }
    // Packed under a name of its own beside the target and put in place when complete.
    const QString temp = path + QStringLiteral(".pisanje");
    maintenance::WriteZip(temp, members, QStringLiteral("Datoteka se ne može zapisati: "));
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + path);
    }
}

Package ReadTransferFile(const QString& path, Kind kind) {
    if (!QFileInfo::exists(path)) {
        throw UserError(QStringLiteral("Datoteka ne postoji: ") + path);
    }
    int code = 0;
    zip_t* archive = zip_open(Native(path).constData(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        throw UserError(QStringLiteral("Datoteka prijenosa se ne može pročitati: ") +
                        ZipError(code));
    }
    std::unique_ptr<zip_t, void (*)(zip_t*)> closer(archive, [](zip_t* z) { zip_discard(z); });
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray member = PayloadName(kind).toUtf8();
    if (zip_stat(archive, member.constData(), 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        stat.size > kMaxPayload) {
        throw UserError(
            QStringLiteral("Datoteka nije datoteka prijenosa ") +
            (kind == Kind::Receipts ? QStringLiteral("primki") : QStringLiteral("otpremnica")) +
            QStringLiteral(" (nema ") + PayloadName(kind) + QStringLiteral(")."));
    }
    zip_file_t* entry = zip_fopen(archive, member.constData(), 0);
    if (entry == nullptr) {
        throw UserError(QStringLiteral("Datoteka prijenosa je oštećena: ") +
                        QString::fromUtf8(zip_strerror(archive)));
    }
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entryCloser(entry, zip_fclose);
    QByteArray payload(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t read =
        zip_fread(entry, payload.data(), static_cast<zip_uint64_t>(payload.size()));
    if (read != static_cast<zip_int64_t>(stat.size)) {
        throw UserError(QStringLiteral("Datoteka prijenosa je oštećena."));
    }
    return FromJson(payload, kind);
}

}  // namespace zodra::transfer
