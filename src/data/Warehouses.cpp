#include "data/Warehouses.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Transaction.h"

namespace zodra::warehouses {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

RegisterColumn Required(const char16_t* column, const char16_t* message) {
    RegisterColumn c;
    c.column = T(column);
    c.required = true;
    c.maxLength = 25;
    c.lengthMessage = T(message);
    return c;
}

RegisterColumn Flag(const char16_t* column) {
    RegisterColumn c;
    c.column = T(column);
    c.type = RegisterColumn::Type::Boolean;
    return c;
}

RegisterColumn Code(const char16_t* column) {
    RegisterColumn c;
    c.column = T(column);
    c.type = RegisterColumn::Type::Integer;
    c.numberMessage = T(u"Skladište nije ispravno izabrano.");
    return c;
}

// Columns that name a warehouse, in any table.
bool IsWarehouseColumn(const QString& column) {
    static const QStringList names = {T(u"SKLADISTE"),          T(u"Skladište"),
                                      T(u"Skladiste"),          T(u"ODREDISNO_SKLADISTE"),
                                      T(u"SKLADISTE_ZALIHA"),   T(u"SKLADISTE_AUTOM_RN"),
                                      T(u"IZVORISNO_SKLADISTE")};
    return names.contains(column);
}

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

}  // namespace

const RegisterTable& Register() {
    static const RegisterTable table([] {
        RegisterTableSpec spec;
        spec.table = T(u"SKLADISTA");
        spec.columns = {
            Required(u"NAZIV", u"Naziv je duži od 25 znakova ili nije upisan"),
            Required(u"ADRESA", u"Adresa je duža od 25 znakova ili nije upisana"),
            Required(u"TELEFON", u"Telefon je duži od 25 znakova ili nije upisan"),
            Flag(u"MALOPRODAJA"),
            Flag(u"DOZVOLJENI_SVI_RACUNI"),
            Flag(u"KOMISIJSKO_SKLADISTE"),
            Flag(u"CijeneValuta"),
            Code(u"SKLADISTE_ZALIHA"),
            Code(u"SKLADISTE_AUTOM_RN"),
        };
        spec.duplicateNameMessage = T(u"Skladište sa nazivom '%1' je već upisano.");
        return spec;
    }());
    return table;
}

int Add(Database& db, const QVariantMap& values) {
    Transaction tx(db);
    const int code = Register().Add(db, values);
    // A warehouse sells from its own stock unless another warehouse was chosen.
    db.Exec(QStringLiteral("UPDATE \"SKLADISTA\" SET \"SKLADISTE_ZALIHA\" = \"SIFRA\" WHERE "
                           "\"SIFRA\" = ? AND COALESCE(\"SKLADISTE_ZALIHA\", 0) = 0"),
            {code});
    tx.Commit();
    return code;
}

void Update(Database& db, int code, const QVariantMap& values) {
    Transaction tx(db);
    Register().Update(db, code, values);
    db.Exec(QStringLiteral("UPDATE \"SKLADISTA\" SET \"SKLADISTE_ZALIHA\" = \"SIFRA\" WHERE "
                           "\"SIFRA\" = ? AND COALESCE(\"SKLADISTE_ZALIHA\", 0) = 0"),
            {code});
    tx.Commit();
}

QString DeleteQuestion(const QString& name) {
    return T(u"Sigurno želite izbrisati skladište ") + name + QStringLiteral(" ?");
}

void Delete(Database& db, int code) {
    Transaction tx(db);
    QStringList tables;
    {
        Statement list = db.Prepare(QStringLiteral(
            "SELECT \"name\" FROM \"sqlite_master\" WHERE \"type\" = 'table' AND \"name\" NOT "
            "LIKE 'sqlite_%' ORDER BY \"name\""));
        list.Exec();
        while (list.Next()) {
            tables << list.Text(0);
        }
    }
    for (const QString& table : tables) {
        for (const QString& column : db.Columns(table)) {
            if (!IsWarehouseColumn(column)) {
                continue;
            }
            QString sql = QStringLiteral("SELECT 1 FROM ") + Q(table) + QStringLiteral(" WHERE ") +
                          Q(column) + QStringLiteral(" = ?");
            if (table == QLatin1String("SKLADISTA")) {
                sql += QStringLiteral(" AND \"SIFRA\" <> ?");
            }
            sql += QStringLiteral(" LIMIT 1");
            const QVariantList params =
                table == QLatin1String("SKLADISTA") ? QVariantList{code, code} : QVariantList{code};
            if (db.Scalar(sql, params).isValid()) {
                throw UserError(table == QLatin1String("SKLADISTA")
                                    ? T(u"Nije dozvoljeno brisanje jer je ovo skladište "
                                        u"zadano drugom skladištu.")
                                    : T(u"Nije dozvoljeno brisanje jer za ovo skladište postoje "
                                        u"dokumenti."));
            }
        }
    }
    Register().Delete(db, code);
    tx.Commit();
}

}  // namespace zodra::warehouses
