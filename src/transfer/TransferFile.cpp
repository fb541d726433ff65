#include <zip.h>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <memory>

#include "data/Errors.h"
#include "registers/DocumentFile.h"
#include "transfer/DataTransfer.h"

// The transfer file: a zip holding one UTF-8 JSON payload, "primke.json" (docs/transfer.md).
// Each receipt in it is written in the keys of a receipt file for `zodractl post`, naming the
// supplier, articles and packaging by name; the registers the receipts name travel beside them.
namespace zodra::transfer {

QString PayloadName() {
    return QStringLiteral("primke.json");
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

void Put(QJsonObject& o, const char* key, const std::optional<double>& v) {
    if (v) {
        o.insert(QLatin1String(key), *v);
    }
}

void PutText(QJsonObject& o, const char* key, const QString& v) {
    if (!v.isEmpty()) {
        o.insert(QLatin1String(key), v);
    }
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

QByteArray ToJson(const Package& p) {
    QJsonObject root;
    root.insert(QStringLiteral("skladiste"), p.warehouse);
    root.insert(QStringLiteral("godina"), p.year);
    QJsonArray taxGroups;
    for (const TaxGroup& t : p.taxGroups) {
        taxGroups.append(
            QJsonObject{{QStringLiteral("naziv"), t.name}, {QStringLiteral("stopa"), t.rate}});
    }
    root.insert(QStringLiteral("grupe_poreza"), taxGroups);
    QJsonArray groups;
    for (const ArticleGroup& g : p.articleGroups) {
        QJsonObject o{{QStringLiteral("naziv"), g.name}};
        Put(o, "veleprodajna_marza", g.wholesaleMargin);
        Put(o, "maloprodajna_marza", g.retailMargin);
        groups.append(o);
    }
    root.insert(QStringLiteral("grupe_artikala"), groups);
    QJsonArray packaging;
    for (const Packaging& a : p.packaging) {
        QJsonObject o{{QStringLiteral("naziv"), a.name}, {QStringLiteral("cijena"), a.price}};
        PutText(o, "jed_m", a.unit);
        PutText(o, "barkod", a.barcode);
        packaging.append(o);
    }
    root.insert(QStringLiteral("ambalaza"), packaging);
    QJsonArray partners;
    for (const Partner& d : p.partners) {
        QJsonObject o{{QStringLiteral("naziv"), d.name}};
        PutText(o, "adresa", d.address);
        PutText(o, "mjesto", d.city);
        PutText(o, "telefon", d.phone);
        PutText(o, "oib", d.oib);
        partners.append(o);
    }
    root.insert(QStringLiteral("partneri"), partners);
    QJsonArray articles;
    for (const Article& a : p.articles) {
        QJsonObject o{{QStringLiteral("naziv"), a.name}};
        PutText(o, "artikal", a.code);
        PutText(o, "jed_m", a.unit);
        PutText(o, "grupa", a.group);
        PutText(o, "grupa_poreza", a.taxGroup);
        PutText(o, "barkod", a.barcode);
        articles.append(o);
    }
    root.insert(QStringLiteral("artikli"), articles);
    QJsonArray receipts;
    for (const Receipt& r : p.receipts) {
        QJsonObject o{{QStringLiteral("broj"), r.number},
                      {QStringLiteral("datum"), DateText(r.date)},
                      {QStringLiteral("dokument"), r.document}};
        PutText(o, "dobavljac", r.supplier);
        PutText(o, "datum_dokumenta", DateText(r.documentDate));
        QJsonArray lines;
        for (const Line& l : r.lines) {
            QJsonObject line{
                {l.packaging ? QStringLiteral("ambalaza") : QStringLiteral("naziv"), l.name},
                {QStringLiteral("kolicina"), l.quantity},
                {QStringLiteral("fakturna_cijena"), l.invoicePrice},
                {QStringLiteral("rabat_%"), l.discountPercent},
                {QStringLiteral("carina_%"), l.customsPercent},
                {QStringLiteral("spedicija_%"), l.forwardingPercent},
                {QStringLiteral("zavisni_troskovi_%"), l.otherCostsPercent}};
            Put(line, "nabavna_cijena", l.cost);
            Put(line, "cijena", l.price);
            Put(line, "maloprodajna_marza_%", l.retailMargin);
            PutText(line, "grupa_poreza", l.taxGroup);
            Put(line, "porez_%", l.taxRate);
            lines.append(line);
        }
        o.insert(QStringLiteral("stavke"), lines);
        receipts.append(o);
    }
    root.insert(QStringLiteral("primke"), receipts);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Package FromJson(const QByteArray& json) {
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
    const QByteArray payload = ToJson(package);
    // Packed under a name of its own beside the target and put in place when complete.
    const QString temp = path + QStringLiteral(".pisanje");
    QFile::remove(temp);
    int code = 0;
    zip_t* archive = zip_open(Native(temp).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + path +
                        QStringLiteral(" (") + ZipError(code) + QStringLiteral(")"));
    }
    zip_source_t* source = zip_source_buffer(archive, payload.constData(),
                                             static_cast<zip_uint64_t>(payload.size()), 0);
    if (source == nullptr ||
        zip_file_add(archive, PayloadName().toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
        const QString error = QString::fromUtf8(zip_strerror(archive));
        if (source != nullptr) {
            zip_source_free(source);
        }
        zip_discard(archive);
        QFile::remove(temp);
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + error);
    }
    if (zip_close(archive) != 0) {
        const QString error = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(temp);
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + error);
    }
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + path);
    }
}

Package ReadTransferFile(const QString& path) {
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
    if (zip_stat(archive, PayloadName().toUtf8().constData(), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > kMaxPayload) {
        throw UserError(QStringLiteral("Datoteka nije datoteka prijenosa primki (nema ") +
                        PayloadName() + QStringLiteral(")."));
    }
    zip_file_t* entry = zip_fopen(archive, PayloadName().toUtf8().constData(), 0);
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
    return FromJson(payload);
}

}  // namespace zodra::transfer
