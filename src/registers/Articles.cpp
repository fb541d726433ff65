#include "registers/Articles.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"
#include "registers/TypedValue.h"

namespace zodra::registers::articles {

namespace {

const QString kTaxGroupRefusal = QStringLiteral(
    "Nije dozvoljeno direktno mijenjati stopu poreza jer je artikal evidentiran na dokumentima. "
    "Za promjenu grupe poreza koristite zapisnik o promjeni grupe poreza.");

bool IsCode39(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           QStringLiteral("-. $/+%").contains(c);
}

}  // namespace

QString BarcodeFontText(const QString& barcode) {
    const QString text = barcode.trimmed().toUpper();
    if (text.isEmpty()) {
        return QString();
    }
    QString out = QStringLiteral("*");
    for (const QChar c : text) {
        if (IsCode39(c)) {
            out += c;
        }
    }
    out += QLatin1Char('*');
    return out;
}

std::optional<int> FindByBarcode(Database& db, const QString& barcode) {
    const QString text = barcode.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    const QVariant code =
        db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"BARKOD\" = ? ORDER BY "
                                 "\"SIFRA\" LIMIT 1"),
                  {text});
    return code.isValid() ? std::optional<int>(code.toInt()) : std::nullopt;
}

std::optional<int> FindByCode(Database& db, const QString& code) {
    const QString text = code.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    const QVariant found =
        db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE ") +
                      textsearch::KeyExpression(db.Dialect(), QStringLiteral("\"OPIS\"")) +
                      QStringLiteral(" = ? ORDER BY \"SIFRA\" LIMIT 1"),
                  {textsearch::Fold(text)});
    return found.isValid() ? std::optional<int>(found.toInt()) : std::nullopt;
}

bool HasMovements(Database& db, int article) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"KARTICA_ARTIKLA\" WHERE \"ARTIKAL\" = ? LIMIT 1"),
                {article})
        .isValid();
}

void CheckTaxGroupChange(Database& db, int article, const QVariant& newTaxGroup) {
    const QVariant current = db.Scalar(
        QStringLiteral("SELECT \"GRUPA_P\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {article});
    const auto wanted = ParseInteger(newTaxGroup);
    if (current.isNull() ? !wanted.has_value()
                         : (wanted.has_value() && *wanted == current.toLongLong())) {
        return;
    }
    if (HasMovements(db, article)) {
        throw UserError(kTaxGroupRefusal);
    }
}

Information Info(Database& db, int article, int warehouse, int year) {
    Information info;
    info.stock = db.Scalar(QStringLiteral("SELECT COALESCE(SUM(\"KOLICINA\"), 0) FROM \"NABAVE\" "
                                          "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                          "\"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" <> 0"),
                           {warehouse, year, article})
                     .toDouble();
    {
        Statement row = db.Prepare(QStringLiteral(
            "SELECT a.\"REZERVIRANO\", a.\"CIJENA_U_VALUTI\", g.\"STOPA\", v.\"NAZIV\" FROM "
            "\"ARTIKLI\" a LEFT JOIN \"GRUPE_POREZA\" g ON g.\"SIFRA\" = a.\"GRUPA_P\" LEFT JOIN "
            "\"VALUTE\" v ON v.\"SIFRA\" = a.\"VALUTA\" WHERE a.\"SIFRA\" = ?"));
        row.Exec({article});
        if (row.Next()) {
            info.reserved = row.Double(0);
            info.taxRate = row.Double(2);
            info.currencyPriceWithTax = row.Double(1) * (1.0 + info.taxRate / 100.0);
            info.currencyName = row.Text(3);
        }
    }
    Statement last = db.Prepare(QStringLiteral(
        "SELECT s.\"NABAVNA_CIJENA\", s.\"CIJENA\", s.\"RUC_%\", s.\"BROJ_PRIMKE\", p.\"NAZIV\" "
        "FROM \"STAVKE_PRIMKI\" s LEFT JOIN \"PRIMKE\" h ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND "
        "h.\"GODINA\" = s.\"GODINA\" AND h.\"BROJ PRIMKE\" = s.\"BROJ_PRIMKE\" LEFT JOIN "
        "\"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE s.\"SKLADISTE\" = ? AND "
        "s.\"GODINA\" = ? AND s.\"SIFRA\" = ? AND s.\"TIP_STAVKE\" = 'ART' ORDER BY "
        "s.\"BROJ_PRIMKE\" DESC, s.\"RBR_STAVKE\" DESC LIMIT 1"));
    last.Exec({warehouse, year, article});
    if (last.Next()) {
        info.hasReceipt = true;
        info.purchasePrice = last.Double(0);
        info.wholesalePrice = last.Double(1);
        info.wholesalePriceWithTax = info.wholesalePrice * (1.0 + info.taxRate / 100.0);
        info.marginPercent = last.Double(2);
        info.supplier = last.Text(4) + QStringLiteral(" : primka ") + last.Text(3);
    }
    return info;
}

GroupChoice ChooseGroup(Database& db, std::optional<int> group) {
    GroupChoice choice;
    if (group) {
        choice.count = db.Scalar(QStringLiteral("SELECT Count(\"SIFRA\") AS \"IZABRANO\" FROM "
                                                "\"ARTIKLI\" WHERE \"GRUPA_A\" = ?"),
                                 {*group})
                           .toInt();
        if (choice.count > 0) {
            choice.group = group;
            choice.label = QStringLiteral("Za izabranu grupu artikala : ") +
                           QString::number(choice.count) + QStringLiteral(" art.");
            return choice;
        }
        choice.message =
            QStringLiteral("Ova grupa artikala je prazna. Bit će prikazani svi artikli.");
    }
    choice.count = db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")).toInt();
    choice.label = QStringLiteral("Za sve grupe artikala : ") + QString::number(choice.count) +
                   QStringLiteral(" art.");
    return choice;
}

bool IsVehicle(Database& db, int article) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = ?"), {article})
        .isValid();
}

void SetVehicle(Database& db, int article, bool vehicle) {
    Transaction tx(db);
    if (!vehicle) {
        db.Exec(QStringLiteral("DELETE FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = ?"), {article});
    } else if (!IsVehicle(db, article)) {
        db.Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\") VALUES (?)"), {article});
    }
    tx.Commit();
}

std::optional<VehicleData> Vehicle(Database& db, int article) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"VRSTA_VOZILA\", \"MARKA\", \"MODEL\", \"BROJ_SASIJE\", \"BROJ_MOTORA\", "
        "\"GODINA_PROIZVODNJE\", \"BOJA\", \"NAPOMENA\" FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = "
        "?"));
    row.Exec({article});
    if (!row.Next()) {
        return std::nullopt;
    }
    VehicleData data{row.Text(0), row.Text(1),
                     row.Text(2), row.Text(3),
                     row.Text(4), row.IsNull(5) ? std::nullopt : std::optional<int>(row.Int(5)),
                     row.Text(6), row.Text(7)};
    return data;
}

void SaveVehicle(Database& db, int article, const VehicleData& data) {
    Transaction tx(db);
    if (!IsVehicle(db, article)) {
        db.Exec(QStringLiteral("INSERT INTO \"ARTIKLI_VOZILA\" (\"SIFRA\") VALUES (?)"), {article});
    }
    db.Exec(QStringLiteral("UPDATE \"ARTIKLI_VOZILA\" SET \"VRSTA_VOZILA\" = ?, \"MARKA\" = ?, "
                           "\"MODEL\" = ?, \"BROJ_SASIJE\" = ?, \"BROJ_MOTORA\" = ?, "
                           "\"GODINA_PROIZVODNJE\" = ?, \"BOJA\" = ?, \"NAPOMENA\" = ? WHERE "
                           "\"SIFRA\" = ?"),
            {data.kind, data.make, data.model, data.chassisNumber, data.engineNumber,
             data.year ? QVariant(*data.year) : QVariant(), data.colour, data.note, article});
    tx.Commit();
}

std::vector<ExtraData> ExtraDataOf(Database& db, int article) {
    std::vector<ExtraData> rows;
    Statement all = db.Prepare(
        QStringLiteral("SELECT \"Sifra\", \"Rbr\", \"Naziv\" FROM "
                       "\"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" WHERE \"Sifra\" = ? ORDER BY "
                       "\"Rbr\""));
    all.Exec({article});
    while (all.Next()) {
        rows.push_back(ExtraData{all.Int(1), all.Text(2)});
    }
    return rows;
}

int AddExtraData(Database& db, int article, const QString& name) {
    const QString text = name.trimmed();
    if (text.isEmpty() || text.size() > 255) {
        throw UserError(QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"));
    }
    Transaction tx(db);
    const int position =
        db.Scalar(QStringLiteral("SELECT COALESCE(MAX(\"Rbr\"), 0) + 1 FROM "
                                 "\"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" WHERE \"Sifra\" = ?"),
                  {article})
            .toInt();
    db.Exec(QStringLiteral("INSERT INTO \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" (\"Sifra\", "
                           "\"Rbr\", \"Naziv\") VALUES (?, ?, ?)"),
            {article, position, text});
    tx.Commit();
    return position;
}

void DeleteExtraData(Database& db, int article, int position) {
    db.Exec(QStringLiteral("DELETE FROM \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" WHERE "
                           "\"Sifra\" = ? AND \"Rbr\" = ?"),
            {article, position});
}

std::vector<PackagingLink> PackagingOf(Database& db, int article) {
    std::vector<PackagingLink> rows;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT l.\"AMBALAZA\", a.\"NAZIV\", l.\"KOLICINA\" FROM \"ARTIKLI_AMBALAZA\" l LEFT JOIN "
        "\"AMBALAZA\" a ON a.\"SIFRA\" = l.\"AMBALAZA\" WHERE l.\"Artikal\" = ? ORDER BY "
        "a.\"NAZIV\" COLLATE \"HR\""));
    all.Exec({article});
    while (all.Next()) {
        rows.push_back(PackagingLink{all.Int(0), all.Text(1), all.Double(2)});
    }
    return rows;
}

void LinkPackaging(Database& db, int article, int packaging, const QVariant& quantity) {
    if (!db.Scalar(QStringLiteral("SELECT 1 FROM \"AMBALAZA\" WHERE \"SIFRA\" = ?"), {packaging})
             .isValid()) {
        throw UserError(QStringLiteral("Ambalaža nije ispravno upisana"));
    }
    const auto amount = ParseNumber(quantity);
    if (!amount) {
        throw UserError(QStringLiteral("Količina mora biti upisana kao broj"));
    }
    Transaction tx(db);
    if (db.Exec(QStringLiteral("UPDATE \"ARTIKLI_AMBALAZA\" SET \"KOLICINA\" = ? WHERE "
                               "\"Artikal\" = ? AND \"AMBALAZA\" = ?"),
                {*amount, article, packaging}) == 0) {
        db.Exec(QStringLiteral("INSERT INTO \"ARTIKLI_AMBALAZA\" (\"Artikal\", \"AMBALAZA\", "
                               "\"KOLICINA\") VALUES (?, ?, ?)"),
                {article, packaging, *amount});
    }
    tx.Commit();
}

void UnlinkPackaging(Database& db, int article, int packaging) {
    db.Exec(QStringLiteral(
                "DELETE FROM \"ARTIKLI_AMBALAZA\" WHERE \"Artikal\" = ? AND \"AMBALAZA\" = ?"),
            {article, packaging});
}

}  // namespace zodra::registers::articles
