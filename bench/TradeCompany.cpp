#include "TradeCompany.h"

#include <QDate>
#include <stdexcept>

#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptPosting.h"

namespace zodra::bench {

namespace {

constexpr int kLinesPerInvoice = 20;

// The numbers 1 … ? as rows "n"("i"), on either engine.
const QString kNumbers =
    QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) ");

}  // namespace

void DrawUpReceipt(Workstation& w, int articles, double quantity) {
    Database& db = w.session.Db();
    db.Exec(kNumbers +
                QStringLiteral(
                    "INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                    "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                    "\"FAKTURNA_CIJENA\", \"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", "
                    "\"NETTO_FAKTURNA_CIJENA\", \"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", "
                    "\"CARINA_IZNOS\", \"SPEDICIJA_%\", \"SPEDICIJA_IZNOS\", \"ZTR_%\", "
                    "\"ZTR_IZNOS\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", "
                    "\"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", "
                    "\"RBR_STAVKE\", \"Multiuser_sifra\") SELECT 1, 2026, 0, 'ART', i, ?, 10, 10 "
                    "* ?, 10, ?, 9, 9 * ?, 0, 0, 0, 0, 0, 0, 9, 9 * ?, 25, 2.25 * ?, 11.25, "
                    "11.25 * ?, 10, i, ? FROM n"),
            {articles, quantity, quantity, quantity, quantity, quantity, quantity, quantity,
             w.session.sessionCode});
}

namespace {

void ReceiveStock(Workstation& w, int articles) {
    DrawUpReceipt(w, articles, kStockPerArticle);
    purchasing::ReceiptHeaderData header;
    header.date = QDate(2026, 3, 2);
    header.supplier = 10;
    header.supplierDocument = QStringLiteral("R-1");
    if (!purchasing::PostReceipt(w.session, w.prompter, header, std::nullopt)) {
        throw std::runtime_error("the stock receipt was not posted");
    }
}

void FillInvoices(Database& db, const TradeCompany& company) {
    const int invoices = company.filledLines / kLinesPerInvoice;
    if (invoices == 0) {
        return;
    }
    const int first = db.Scalar(QStringLiteral("SELECT COALESCE(MAX(\"RBR\"), 0) + 1 FROM "
                                               "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                               "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026"))
                          .toInt();
    const double before =
        db.Scalar(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                 "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 ORDER BY \"RBR\" "
                                 "DESC LIMIT 1"))
            .toDouble();
    Transaction tx(db);
    if (company.retail) {
        db.Exec(
            kNumbers + QStringLiteral(
                           "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                           "RACUNA\", \"PLACENO\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET "
                           "PRODAJE\", \"ISPORUKA NAZIV\", \"NACIN ISPORUKE\", \"NACIN PLACANJA\", "
                           "\"RBR_TK\", \"KORISNIK\", \"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") "
                           "SELECT 1, 1, 2026, i, TRUE, '2026-03-02', 1, 1, 'Kupac u maloprodaji', "
                           "'osobno', 'gotovinom', ? + i - 1, 'admin', '2026-03-02 10:00:00', TRUE "
                           "FROM n"),
            {invoices, first});
    } else {
        db.Exec(
            kNumbers + QStringLiteral(
                           "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                           "RACUNA\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA "
                           "NAZIV\", \"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"ROK PLACANJA\", "
                           "\"DOSPIJECE RACUNA\", \"VEC PLACENO\", \"ZIRO_RACUN\", \"RBR_TK\", "
                           "\"KORISNIK\", \"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") SELECT 1, ?, "
                           "2026, i, '2026-03-02', ?, 2, 'Kupac d.o.o.', 'Ilica 1', 'Zagreb', 30, "
                           "'2026-04-01', 0, 'HR1210010051863000160', ? + i - 1, 'admin', "
                           "'2026-03-02 10:00:00', TRUE FROM n"),
            {invoices, kBook, kCustomer, first});
    }
    // One line sells one piece at 11.25 (wholesale) or 12.375 with the retail margin.
    const QString prices = company.retail
                               ? QStringLiteral(
                                     "37.5, 3.375, 12.375, 12.375, 0, 0, 12.375, 12.375, "
                                     "'PDV', 25, 3.09375, 15.46875, 12")
                               : QStringLiteral(
                                     "25, 2.25, 11.25, 11.25, 0, 0, 11.25, 11.25, 'PDV', 25, "
                                     "2.8125, 14.0625, 10");
    db.Exec(
        kNumbers +
            QStringLiteral(
                "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
                "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", "
                "\"RABAT_IZNOS\", \"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", "
                "\"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\", "
                "\"RBR_STAVKE\", \"CIJENA_SKLADISTA\") SELECT 1, ?, 2026, (i - 1) / ? + 1, "
                "'ART', (i - 1) % ? + 1, 1, 1, 9, 9, ") +
            prices + QStringLiteral(", '', (i - 1) % ? + 1, 11.25 FROM n"),
        {invoices * kLinesPerInvoice, kBook, kLinesPerInvoice, company.articles, kLinesPerInvoice});
    db.Exec(
        kNumbers + QStringLiteral(
                       "INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
                       "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"DATUM\", \"OPIS\", "
                       "\"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", "
                       "\"PRODAJA_UKUPNO\", \"STANJE_ROBE\") SELECT 1, 2026, ? + i - 1, '1RAČUN', "
                       "i, '2026-03-02', 'RAČUN ' || i || ?, 0, ?, ?, ?, CAST(? AS DOUBLE "
                       "PRECISION) - 225.0 * i FROM n"),
        {invoices, first,
         company.retail ? QStringLiteral(" Maloprodaja") : QStringLiteral(" Kupac d.o.o."),
         company.retail ? 247.5 : 225.0, company.retail ? 61.875 : 56.25,
         company.retail ? 309.375 : 281.25, before});
    // Every article was sold as many times as its lines, one piece each time.
    db.Exec(QStringLiteral(
        "UPDATE \"NABAVE\" SET \"KOLICINA\" = \"NABAVE\".\"KOLICINA\" - s.\"Q\", "
        "\"KOLICINA_PRIVREMENO\" = \"NABAVE\".\"KOLICINA_PRIVREMENO\" - s.\"Q\" FROM (SELECT "
        "\"SIFRA\" AS \"A\", COUNT(*) AS \"Q\" FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = 1 AND "
        "\"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = 1 GROUP BY \"SIFRA\") AS s WHERE "
        "\"NABAVE\".\"SKLADISTE\" = 1 AND \"NABAVE\".\"GODINA\" = 2026 AND "
        "\"NABAVE\".\"BROJ_PRIMKE\" = 1 AND \"NABAVE\".\"SIFRA_ARTIKLA\" = s.\"A\""));
    tx.Commit();
    db.ExecRaw(QStringLiteral("ANALYZE"));
}

}  // namespace

std::unique_ptr<Workstation> StartWorkstation(const QString& target) {
    auto w = std::make_unique<Workstation>();
    auto opened = Database::Open(target, QString());
    if (!opened.db) {
        throw std::runtime_error("the company did not open: " + opened.detail.toStdString());
    }
    w->session.Attach(std::move(opened.db));
    w->session.userName = QStringLiteral("admin");
    sessionstart::Start(w->session, 1, w->prompter, QDate(2026, 3, 2));
    w->session.workstation.debugMode = false;
    return w;
}

void MakeTradeCompany(const QString& target, const TradeCompany& company) {
    CompanySchema::CreateCompany(target, kYear);
    {
        auto db = Database::Open(target, QString()).db;
        if (company.retail) {
            db->ExecRaw(
                QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", "
                               "\"MALOPRODAJA\") VALUES (1, 'Trgovina', TRUE)"));
        } else {
            db->ExecRaw(QStringLiteral(
                "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (1, 'Glavno')"));
            db->Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", "
                                    "\"MJESTO\", \"OIB\", \"ODGODA\", \"Kupac\") VALUES (?, "
                                    "'Kupac d.o.o.', 'Ilica 1', 'Zagreb', '12345678903', 30, "
                                    "TRUE)"),
                     {kCustomer});
            db->ExecRaw(QStringLiteral(
                "UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = 'HR1210010051863000160'"));
        }
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"Dobavljac\") "
                           "VALUES (10, 'Dobavljač', TRUE)"));
        db->Exec(kNumbers +
                     QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", "
                                    "\"OPIS\", \"JED_M\", \"GRUPA_A\", \"GRUPA_P\", "
                                    "\"BARKOD\") SELECT i, 'Artikal ' || i, 'A-' || i, "
                                    "'kom', 1, 1, ") +
                     (company.retail ? QStringLiteral("'B' || i") : QStringLiteral("NULL")) +
                     QStringLiteral(" FROM n"),
                 {company.articles});
    }
    auto w = StartWorkstation(target);
    ReceiveStock(*w, company.articles);
    FillInvoices(w->session.Db(), company);
    sessionstart::End(w->session);
}

}  // namespace zodra::bench
