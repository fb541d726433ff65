#include "stock/PriceChangeWriter.h"

#include "data/Database.h"
#include "stock/TradeBook.h"

namespace zodra::stock {

QString PriceChangeType() {
    return QStringLiteral("IZMJENA CIJENA");
}

QString PriceChangeCancellationType() {
    return QStringLiteral("STORNO IZMJENE CIJENA");
}

PriceChangeWriter::PriceChangeWriter(Database& db, const PriceChangeHeader& header)
    : m_db(db), m_header(header) {
    Q_ASSERT(db.TransactionDepth() > 0);
    db.Exec(
        QStringLiteral("INSERT INTO \"IZMJENE_CIJENA\" (\"SKLADISTE\", \"GODINA\", "
                       "\"BROJ_IZMJENE_CIJENA\", \"DATUM\", \"RBR_TK\", \"BROJ_PRIMKE\", "
                       "\"IRA\", \"BROJ_RACUNA\", \"OPIS\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {header.warehouse, header.year, header.number, header.date, header.position, header.receipt,
         header.invoiceBook ? QVariant(*header.invoiceBook) : QVariant(),
         header.invoice ? QVariant(*header.invoice) : QVariant(),
         header.description.isEmpty() ? QVariant() : QVariant(header.description)});
}

void PriceChangeWriter::AddLine(const PriceChangeLine& line) {
    // Tax group and rate come from the article, as for every posted line.
    if (!m_insertLine) {
        const QString tax = QStringLiteral(
            " FROM \"ARTIKLI\" INNER JOIN \"GRUPE_POREZA\" ON \"ARTIKLI\".\"GRUPA_P\" = "
            "\"GRUPE_POREZA\".\"SIFRA\" WHERE \"ARTIKLI\".\"SIFRA\" = ?)");
        m_insertLine = std::make_unique<Statement>(
            m_db, QStringLiteral("INSERT INTO \"STAVKE_IZMJENA_CIJENA\" (\"SKLADISTE\", "
                                 "\"GODINA\", \"BROJ_IZMJENE_CIJENA\", \"BROJ_PRIMKE\", "
                                 "\"ARTIKAL\", \"KOLICINA\", \"STARA_CIJENA\", \"NOVA_CIJENA\", "
                                 "\"GRUPA_POREZA\", \"POREZ_%\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                                 "(SELECT \"GRUPE_POREZA\".\"NAZIV\"") +
                      tax + QStringLiteral(", (SELECT \"GRUPE_POREZA\".\"STOPA\"") + tax +
                      QStringLiteral(")"));
    }
    m_insertLine->Exec({m_header.warehouse, m_header.year, m_header.number, line.lot, line.article,
                        line.quantity, line.oldPrice, line.newPrice, line.article, line.article});
    CountLine(line);
}

void PriceChangeWriter::CountLine(const PriceChangeLine& line) {
    m_value += line.Change();
}

void PriceChangeWriter::Finish() {
    tradebook::Entry entry;
    entry.warehouse = m_header.warehouse;
    entry.year = m_header.year;
    entry.type = PriceChangeType();
    entry.documentNumber = m_header.number;
    entry.date = m_header.date;
    entry.description = m_header.description.isEmpty() ? PriceChangeType() + QLatin1Char(' ') +
                                                             QString::number(m_header.number)
                                                       : m_header.description;
    entry.purchaseValue = Value();
    tradebook::AppendEntry(m_db, tradebook::Book::Wholesale, entry, m_header.position);
}

}  // namespace zodra::stock
