#include "pos/PosTestData.h"

#include <QFile>
#include <QVariantList>

#include "data/Database.h"

namespace zodra::test::pos {

namespace {

void Header(Database& db, const QString& table, int warehouse, int book, int number,
            const QString& date, int partner, const QString& user) {
    db.Exec(QStringLiteral("INSERT INTO ") + table +
                QStringLiteral(" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", \"DATUM\", "
                               "\"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"KORISNIK\", "
                               "\"DATUM_I_VRIJEME_KNJIZENJA\") VALUES (?, ?, 2026, ?, ?, ?, ?, ?, "
                               "?)"),
            {warehouse, book, number, date, partner, book == 1 ? 1 : 2, user,
             date + QStringLiteral(" 09:05:33")});
}

// A line priced net `price` with `discount` % and `tax` %, its columns as the line arithmetic
// fills them.
void Line(Database& db, const QString& table, int warehouse, int book, int number, int rbr,
          const QString& type, int code, double quantity, double price, double discount, double tax,
          const QString& description = QString()) {
    const double value = quantity * price;
    const double discountAmount = value * discount / 100;
    const double net = value - discountAmount;
    const double taxAmount = net * tax / 100;
    db.Exec(QStringLiteral("INSERT INTO ") + table +
                QStringLiteral(" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
                               "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"CIJENA_BEZ_RABATA\", "
                               "\"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", "
                               "\"CIJENA_\", \"VRIJEDNOST_\", \"POREZ_%\", \"POREZ_IZNOS\", "
                               "\"UKUPNO_\", \"OPIS\", \"RBR_STAVKE\") VALUES (?, ?, 2026, ?, ?, "
                               "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {warehouse, book, number, type, code, quantity, price, value, discount, discountAmount,
             net / quantity, net, tax, taxAmount, net + taxAmount,
             description.isNull() ? QVariant() : QVariant(description), rbr});
}

void Payment(Database& db, const QString& table, int warehouse, int number, const QString& type,
             double amount) {
    db.Exec(QStringLiteral("INSERT INTO ") + table +
                QStringLiteral(" (\"Skladište\", \"IRA\", \"Godina\", \"Broj računa\", \"Tip\", "
                               "\"Iznos\") VALUES (?, 1, 2026, ?, ?, ?)"),
            {warehouse, number, type, amount});
}

}  // namespace

void AddInvoices(Database& db, int warehouse) {
    db.Exec(QStringLiteral(
        "UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Zodra d.o.o.', \"ADRESA\" = 'Ilica 1', "
        "\"MJESTO\" = '10000 Zagreb', \"OIB\" = '12345678901', \"MB/JMBG\" = '0123456', "
        "\"TELEFON\" = '01/234-567', \"OZNAKA_NA_RACUNU\" = 'R-1'"));
    db.Exec(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", "
                       "\"MJESTO\", \"OIB\", \"MB/JMBG\", \"Kupac\") VALUES (40, "
                       "'Đuro Šimić obrt', 'Žitnjak 5', 'Čakovec', '98765432109', "
                       "'7654321', TRUE)"));
    db.Exec(
        QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\") VALUES "
                       "(15, 'Čokolada mliječna 100g extra'), (123456789, 'Sok'), "
                       "(20, 'Kruh')"));
    db.Exec(QStringLiteral("INSERT INTO \"USLUGE\" (\"SIFRA\", \"NAZIV\") VALUES (3, 'Dostava')"));
    db.Exec(
        QStringLiteral("INSERT INTO \"AMBALAZA\" (\"SIFRA\", \"NAZIV\", \"CIJENA\") VALUES (2, "
                       "'Boca 0,5 l', 0.1)"));

    const QString racuni = QStringLiteral("\"RACUNI\"");
    const QString stavke = QStringLiteral("\"STAVKE_RACUNA\"");
    Header(db, racuni, warehouse, 1, 7, QStringLiteral("2026-12-04"), 40, QStringLiteral("Ana"));
    Line(db, stavke, warehouse, 1, 7, 1, QStringLiteral("ART"), 15, 2, 8, 10, 25);
    Line(db, stavke, warehouse, 1, 7, 2, QStringLiteral("USL"), 3, 1, 4, 0, 13,
         QStringLiteral("na adresu kupca"));
    Line(db, stavke, warehouse, 1, 7, 3, QStringLiteral("AMB"), 2, 2, 0.1, 0, 0);
    Line(db, stavke, warehouse, 1, 7, 4, QStringLiteral("ART"), 123456789, 1.5, 2, 0, 25);
    Payment(db, QStringLiteral("\"NAPLATA\""), warehouse, 7, QStringLiteral("gotovina"), 20);
    Payment(db, QStringLiteral("\"NAPLATA\""), warehouse, 7, QStringLiteral("kartica"), 6.47);

    for (const auto& [book, number, date] :
         {std::tuple{1, 9, "2026-12-04"}, {2, 10, "2026-12-04"}, {1, 11, "2026-12-05"}}) {
        Header(db, racuni, warehouse, book, number, QString::fromLatin1(date), 1,
               QStringLiteral("Iva"));
        Line(db, stavke, warehouse, book, number, 1, QStringLiteral("ART"), 20, 1, 0.8, 0, 5);
    }

    Header(db, QStringLiteral("\"RACUNI_DETALJNO\""), warehouse, 1, 8, QStringLiteral("2026-12-05"),
           1, QStringLiteral("Iva"));
    Line(db, QStringLiteral("\"STAVKE_RACUNA_DETALJNO\""), warehouse, 1, 8, 1,
         QStringLiteral("ART"), 20, 1, 0.8, 0, 5);
    Payment(db, QStringLiteral("\"NAPLATA_DETALJNO\""), warehouse, 8, QStringLiteral("gotovina"),
            0.84);
}

QByteArray Expected(const QString& name) {
    QFile file(QStringLiteral(ZODRA_SOURCE_DIR "/tests/pos/data/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArrayLiteral("(missing expected file)");
    }
    return file.readAll();
}

}  // namespace zodra::test::pos
