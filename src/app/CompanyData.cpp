#include "app/CompanyData.h"

#include <QFile>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"

namespace zodra::companydata {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

void WriteColumns(Database& db, const QStringList& allowed, const QVariantMap& values) {
    QStringList sets;
    QVariantList params;
    for (const QString& column : allowed) {
        if (!values.contains(column)) {
            continue;
        }
        sets << Q(column) + QStringLiteral(" = ?");
        const QVariant v = values.value(column);
        params << (column == QLatin1String("AutoBackup") ? QVariant(v.toBool())
                                                         : QVariant(v.toString().trimmed()));
    }
    if (sets.isEmpty()) {
        return;
    }
    db.Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET ") + sets.join(QStringLiteral(", ")) +
                QStringLiteral(" WHERE \"ID\" = 1"),
            params);
}

}  // namespace

const QStringList& RecordColumns() {
    static const QStringList columns = {T(u"NAZIV"),
                                        T(u"ADRESA"),
                                        T(u"MJESTO"),
                                        T(u"TELEFON"),
                                        T(u"TELEFAX"),
                                        T(u"DJELATNOST"),
                                        T(u"ZIRO_RACUN"),
                                        T(u"EMAIL"),
                                        T(u"URL"),
                                        T(u"MB/JMBG"),
                                        T(u"OIB"),
                                        T(u"DIREKTOR"),
                                        T(u"TEKST O REGISTRACIJI"),
                                        T(u"OZNAKA_NA_RACUNU"),
                                        T(u"ARTIKLI"),
                                        T(u"AutoBackup")};
    return columns;
}

const QStringList& SettingsColumns() {
    static const QStringList columns = {T(u"REPORT VRACUNA"), T(u"REPORT MRACUNA"),
                                        T(u"REPORT RACUNA VOZILA"), T(u"POS PORT"),
                                        T(u"FormatBroj")};
    return columns;
}

QVariantMap Read(Database& db) {
    QStringList columns;
    for (const QString& c : RecordColumns() + SettingsColumns()) {
        columns << Q(c);
    }
    Statement row = db.Prepare(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM \"PODACI_FIRME\" WHERE \"ID\" = 1"));
    row.Exec();
    QVariantMap values;
    if (!row.Next()) {
        return values;
    }
    int i = 0;
    for (const QString& c : RecordColumns() + SettingsColumns()) {
        const QVariant v = row.Value(i++);
        values[c] = c == QLatin1String("AutoBackup") ? QVariant(sqlvalue::ToBool(v))
                                                     : QVariant(sqlvalue::ToText(v));
    }
    return values;
}

void Save(Database& db, const QVariantMap& values) {
    if (values.value(T(u"NAZIV")).toString().trimmed().isEmpty()) {
        throw UserError(T(u"Naziv mora biti upisan."));
    }
    if (values.value(T(u"ZIRO_RACUN")).toString().trimmed().isEmpty()) {
        throw UserError(T(u"Žiro račun mora biti upisan."));
    }
    if (values.contains(T(u"OZNAKA_NA_RACUNU"))) {
        const QString mark = values.value(T(u"OZNAKA_NA_RACUNU")).toString();
        if (mark != QLatin1String("R-1") && mark != QLatin1String("R-2")) {
            throw UserError(T(u"Oznaka na računu mora biti R-1 ili R-2."));
        }
    }
    if (values.contains(T(u"ARTIKLI"))) {
        const QString order = values.value(T(u"ARTIKLI")).toString();
        if (order != T(u"po nazivu") && order != T(u"po nazivu i šifri") &&
            order != T(u"po šifri i nazivu")) {
            throw UserError(T(u"Redoslijed artikala nije ispravno izabran."));
        }
    }
    Transaction tx(db);
    WriteColumns(db, RecordColumns(), values);
    tx.Commit();
}

void SaveSettings(Database& db, const QVariantMap& values) {
    const struct {
        const char16_t* column;
        const char16_t* message;
    } required[] = {
        {u"REPORT VRACUNA", u"Upišite report veleprodajnog računa."},
        {u"REPORT MRACUNA", u"Upišite report maloprodajnog računa."},
        {u"REPORT RACUNA VOZILA", u"Upišite report računa za vozilo."},
        {u"FormatBroj", u"Upišite format brojeva."},
    };
    for (const auto& r : required) {
        if (values.value(T(r.column)).toString().trimmed().isEmpty()) {
            throw UserError(T(r.message));
        }
    }
    Transaction tx(db);
    WriteColumns(db, SettingsColumns(), values);
    tx.Commit();
}

void StoreLogo(Database& db, const QString& bitmapPath) {
    QFile file(bitmapPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw UserError(T(u"Datoteka se ne može pročitati: ") + bitmapPath);
    }
    const QByteArray bytes = file.readAll();
    // A Windows bitmap starts with "BM" and gives its own size in the next four bytes.
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(bytes[i])); };
    if (bytes.size() < 26 || !bytes.startsWith("BM") ||
        (b(2) | (b(3) << 8) | (b(4) << 16) | (b(5) << 24)) > static_cast<quint32>(bytes.size())) {
        throw UserError(T(u"Izabrana datoteka nije ispravna bitmap slika."));
    }
    db.Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"Logo\" = ? WHERE \"ID\" = 1"), {bytes});
}

QByteArray Logo(Database& db) {
    return db.Scalar(QStringLiteral("SELECT \"Logo\" FROM \"PODACI_FIRME\" WHERE \"ID\" = 1"))
        .toByteArray();
}

void RelinkDetailFile(Database& db, const QString& detailPath) {
    if (!CompanySchema::IsDetailFile(detailPath)) {
        throw UserError(T(u"Izabrana datoteka nije Zodra datoteka detaljnih računa."));
    }
    db.RelinkDetail(detailPath);
}

QList<BankAccount> BankAccounts(Database& db) {
    QList<BankAccount> list;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA\", \"NAZIV\", \"BANKA\" FROM \"ZIRO_RACUNI\" ORDER BY \"SIFRA\""));
    all.Exec();
    while (all.Next()) {
        list.append({all.Int(0), all.Text(1), all.Text(2)});
    }
    return list;
}

int AddBankAccount(Database& db, const QString& account, const QString& bank) {
    if (account.trimmed().isEmpty()) {
        throw UserError(T(u"Žiro račun mora biti upisan."));
    }
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"ZIRO_RACUNI\" (\"NAZIV\", \"BANKA\") VALUES (?, ?)"));
    insert.Exec({account.trimmed(), bank.trimmed()});
    return insert.LastInsertId().toInt();
}

void DeleteBankAccount(Database& db, int code) {
    db.Exec(QStringLiteral("DELETE FROM \"ZIRO_RACUNI\" WHERE \"SIFRA\" = ?"), {code});
}

}  // namespace zodra::companydata
