#include "summary/SummaryReports.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/Statement.h"

namespace zodra::summary {

namespace {

using Invoices = SummaryReportInfo::Invoices;

SummaryReportInfo Numbered(const char16_t* command, const char16_t* file, const char16_t* title,
                           const char16_t* key, const char16_t* source,
                           const char16_t* numberField) {
    SummaryReportInfo info;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.title = QString::fromUtf16(title);
    info.statusText = QLatin1Char(' ') + info.title;
    info.limits = Limits::NumbersAndDates;
    info.documentKey = QString::fromUtf16(key);
    info.source = QString::fromUtf16(source);
    info.numberField = QString::fromUtf16(numberField);
    info.dateField = QStringLiteral("DATUM");
    return info;
}

SummaryReportInfo Dated(const char16_t* command, const char16_t* file, const char16_t* title,
                        const char16_t* source) {
    SummaryReportInfo info;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.title = QString::fromUtf16(title);
    info.statusText = QLatin1Char(' ') + info.title;
    info.limits = Limits::Dates;
    info.source = QString::fromUtf16(source);
    info.dateField = QStringLiteral("DATUM");
    return info;
}

SummaryReportInfo Invoice(const char16_t* command, const char16_t* file, const char16_t* title,
                          Invoices invoices) {
    SummaryReportInfo info =
        Numbered(command, file, title,
                 invoices == Invoices::Retail ? u"Maloprodajni račun" : u"Veleprodajni račun",
                 u"Rekapitulacije računa", u"Broj");
    info.invoices = invoices;
    return info;
}

SummaryReportInfo Stock(const char16_t* command, const char16_t* file, Limits limits,
                        const char16_t* status = u" Stanje na skladištu") {
    SummaryReportInfo info;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.title = QStringLiteral("Stanje na skladištu");
    info.statusText = QString::fromUtf16(status);
    info.limits = limits;
    info.source = QStringLiteral("NABAVE");
    if (info.file == QLatin1String("stanje_s.rpt") ||
        info.file == QLatin1String("stanje_s_pc.rpt")) {
        info.subreport = QStringLiteral("STANJE_S_POREZ.RPT");
    }
    return info;
}

// The posted invoices' lines (cancelled invoices count nothing) joined to the article or
// service they sell.
const char16_t* const kSoldLines =
    u"FROM \"RACUNI\" h JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
    u"s.\"IRA\" = h.\"IRA\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_RACUNA\" = "
    u"h.\"BROJ RACUNA\" LEFT JOIN \"ARTIKLI\" a ON s.\"TIP_STAVKE\" = 'ART' AND a.\"SIFRA\" = "
    u"s.\"SIFRA\" LEFT JOIN \"USLUGE\" u ON s.\"TIP_STAVKE\" = 'USL' AND u.\"SIFRA\" = "
    u"s.\"SIFRA\" WHERE h.\"STORNO\" = FALSE AND {WHERE} ";

QString SalesByItemSql() {
    return QStringLiteral(
               "SELECT CASE WHEN s.\"TIP_STAVKE\" = 'USL' THEN 'usluga' ELSE 'artikl' END AS "
               "\"Vrsta\", s.\"SIFRA\" AS \"Šifra\", COALESCE(MAX(a.\"NAZIV\"), MAX(u.\"NAZIV\"), "
               "MAX(s.\"OPIS\")) AS \"Naziv\", COALESCE(MAX(a.\"JED_M\"), MAX(u.\"JED_M\")) AS "
               "\"JM\", SUM(s.\"KOLICINA\") AS \"Količina\", SUM(s.\"VRIJEDNOST_\") AS \"Promet\", "
               "SUM(s.\"VRIJEDNOST_\" - COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)) AS \"Zarada\" ") +
           QString::fromUtf16(kSoldLines) +
           QStringLiteral("GROUP BY s.\"TIP_STAVKE\", s.\"SIFRA\"");
}

QString SalesByCustomerSql() {
    return QStringLiteral(
               "SELECT h.\"SIFRA PARTNERA\" AS \"Šifra\", COALESCE(MAX(p.\"NAZIV\"), '') AS "
               "\"Kupac\", SUM(s.\"VRIJEDNOST_\") AS \"Promet\", SUM(s.\"VRIJEDNOST_\" - "
               "COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)) AS \"Zarada\", SUM(s.\"UKUPNO_\") AS "
               "\"Ukupno\" ") +
           QString::fromUtf16(kSoldLines)
               .replace(
                   QStringLiteral(" WHERE "),
                   QStringLiteral(" LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA PARTNERA\" "
                                  "WHERE ")) +
           QStringLiteral("GROUP BY h.\"SIFRA PARTNERA\"");
}

// The quantities sold per article and month of the invoice date (dates are kept as
// yyyy-MM-dd).
QString ArticlesByMonthSql() {
    QString months;
    for (int m = 1; m <= 12; ++m) {
        months += QStringLiteral(
                      "SUM(CASE WHEN CAST(SUBSTR(CAST(h.\"DATUM\" AS TEXT), 6, 2) AS INTEGER) = %1 "
                      "THEN s.\"KOLICINA\" ELSE 0 END) AS \"M%1\", ")
                      .arg(m);
    }
    return QStringLiteral("SELECT s.\"SIFRA\" AS \"Šifra\", MAX(a.\"NAZIV\") AS \"Naziv\", ") +
           months + QStringLiteral("SUM(s.\"KOLICINA\") AS \"Ukupno\" ") +
           QString::fromUtf16(kSoldLines)
               .replace(QStringLiteral("WHERE "),
                        QStringLiteral("WHERE s.\"TIP_STAVKE\" = 'ART' AND ")) +
           QStringLiteral("GROUP BY s.\"SIFRA\"");
}

// The invoice lines each employee worked on, with the minutes of the services on them.
QString EmployeeTimeSql() {
    return QStringLiteral(
        "SELECT d.\"DJELATNIK\" AS \"Šifra\", COALESCE(MAX(e.\"IME\"), '') AS \"Djelatnik\", "
        "COUNT(*) AS \"Stavki\", SUM(COALESCE(u.\"TRAJANJE_MINUTA\", 0) * "
        "COALESCE(s.\"KOLICINA\", 0)) AS \"Minuta\", SUM(s.\"VRIJEDNOST_\") AS \"Promet\" "
        "FROM \"RACUNI\" h JOIN \"STAVKE_RACUNA_DJELATNICI\" d ON d.\"SKLADISTE\" = "
        "h.\"SKLADISTE\" AND d.\"IRA\" = h.\"IRA\" AND d.\"GODINA\" = h.\"GODINA\" AND "
        "d.\"BROJ_RACUNA\" = h.\"BROJ RACUNA\" JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = "
        "d.\"SKLADISTE\" AND s.\"IRA\" = d.\"IRA\" AND s.\"GODINA\" = d.\"GODINA\" AND "
        "s.\"BROJ_RACUNA\" = d.\"BROJ_RACUNA\" AND s.\"TIP_STAVKE\" = d.\"TIP_STAVKE\" AND "
        "s.\"SIFRA\" = d.\"SIFRA\" AND COALESCE(s.\"BROJ_PRIMKE\", 0) = "
        "COALESCE(d.\"BROJ_PRIMKE\", 0) LEFT JOIN \"USLUGE\" u ON s.\"TIP_STAVKE\" = 'USL' AND "
        "u.\"SIFRA\" = s.\"SIFRA\" LEFT JOIN \"DJELATNICI\" e ON e.\"SIFRA\" = d.\"DJELATNIK\" "
        "WHERE h.\"STORNO\" = FALSE AND {WHERE} GROUP BY d.\"DJELATNIK\"");
}

// The article lines of the transfers (cancelled ones count nothing) summed per article.
QString TransferredArticlesSql() {
    return QStringLiteral(
        "SELECT s.\"SIFRA_ARTIKLA\" AS \"Šifra\", COALESCE(MAX(a.\"NAZIV\"), '') AS \"Naziv\", "
        "MAX(a.\"JED_M\") AS \"JM\", SUM(s.\"KOLICINA\") AS \"Količina\", "
        "SUM(s.\"NABAVNA_VRIJEDNOST\") AS \"Nabavna\", SUM(s.\"VRIJEDNOST\") AS \"Prodajna\" "
        "FROM \"MEDUSKLADISNICE\" h JOIN \"STAVKE_MEDUSKLADISNICA\" s ON s.\"SKLADISTE\" = "
        "h.\"SKLADISTE\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_MEDUSKLADISNICE\" = "
        "h.\"BROJ_MEDUSKLADISNICE\" LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = "
        "s.\"SIFRA_ARTIKLA\" WHERE h.\"STORNO\" = FALSE AND {WHERE} GROUP BY "
        "s.\"SIFRA_ARTIKLA\"");
}

// Sales by month and kind (retail: sales terms 1): turnover without tax, the tax, the total and
// the earnings (turnover less cost).
QString SalesTotalSql() {
    return QStringLiteral(
               "SELECT CAST(SUBSTR(CAST(h.\"DATUM\" AS TEXT), 6, 2) AS INTEGER) AS \"Mjesec\", "
               "CASE WHEN h.\"UVJET PRODAJE\" = 1 THEN 'maloprodaja' ELSE 'veleprodaja' END AS "
               "\"Vrsta\", SUM(s.\"VRIJEDNOST_\") AS \"Promet\", SUM(s.\"POREZ_IZNOS\") AS "
               "\"Porez\", SUM(s.\"UKUPNO_\") AS \"Ukupno\", SUM(s.\"VRIJEDNOST_\" - "
               "COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)) AS \"Zarada\" ") +
           QString::fromUtf16(kSoldLines) +
           QStringLiteral(
               "GROUP BY CAST(SUBSTR(CAST(h.\"DATUM\" AS TEXT), 6, 2) AS INTEGER), CASE WHEN "
               "h.\"UVJET PRODAJE\" = 1 THEN 'maloprodaja' ELSE 'veleprodaja' END");
}

// The invoices of each situation (progress bill), one row per invoice with its sums.
QString SituationsSql() {
    return QStringLiteral(
               "SELECT h.\"SITUACIJA\" AS \"Situacija\", MAX(si.\"DATUM\") AS \"Datum situacije\", "
               "COALESCE(MAX(si.\"OPIS\"), '') AS \"Opis\", h.\"BROJ RACUNA\" AS \"Račun\", "
               "MAX(h.\"DATUM\") AS \"Datum\", COALESCE(MAX(p.\"NAZIV\"), '') AS \"Kupac\", "
               "SUM(s.\"VRIJEDNOST_\") AS \"Osnovica\", SUM(s.\"POREZ_IZNOS\") AS \"Porez\", "
               "SUM(s.\"UKUPNO_\") AS \"Ukupno\" ") +
           QString::fromUtf16(kSoldLines)
               .replace(QStringLiteral(" WHERE "),
                        QStringLiteral(
                            " LEFT JOIN \"SITUACIJE\" si ON si.\"SKLADISTE\" = h.\"SKLADISTE\" "
                            "AND si.\"GODINA\" = h.\"GODINA\" AND si.\"BROJ\" = h.\"SITUACIJA\" "
                            "LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA PARTNERA\" WHERE "
                            "h.\"SITUACIJA\" IS NOT NULL AND ")) +
           QStringLiteral("GROUP BY h.\"SITUACIJA\", h.\"IRA\", h.\"BROJ RACUNA\"");
}

// Each article sold and the invoices it was sold on, one row per article and invoice.
QString ArticlesByInvoiceSql() {
    return QStringLiteral(
               "SELECT s.\"SIFRA\" AS \"Šifra\", COALESCE(MAX(a.\"NAZIV\"), '') AS \"Naziv\", "
               "COALESCE(MAX(a.\"JED_M\"), '') AS \"JM\", h.\"BROJ RACUNA\" AS \"Račun\", "
               "MAX(h.\"DATUM\") AS \"Datum\", COALESCE(MAX(p.\"NAZIV\"), '') AS \"Kupac\", "
               "SUM(s.\"KOLICINA\") AS \"Količina\", SUM(s.\"VRIJEDNOST_\") AS \"Promet\" ") +
           QString::fromUtf16(kSoldLines)
               .replace(
                   QStringLiteral(" WHERE "),
                   QStringLiteral(" LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                                  "h.\"SIFRA PARTNERA\" WHERE s.\"TIP_STAVKE\" = 'ART' AND ")) +
           QStringLiteral("GROUP BY s.\"SIFRA\", h.\"IRA\", h.\"BROJ RACUNA\"");
}

// The invoices with their lines, as a journal of what was sold: one row per line.
QString InvoiceLinesSql() {
    return QStringLiteral(
               "SELECT CAST(h.\"IRA\" AS TEXT) || '/' || CAST(h.\"BROJ RACUNA\" AS TEXT) AS "
               "\"Ključ\", "
               "h.\"BROJ RACUNA\" AS \"Račun\", h.\"IRA\" AS \"IRA\", h.\"DATUM\" AS "
               "\"Datum\", COALESCE(h.\"NACIN PLACANJA\", '') AS \"Plaćanje\", "
               "COALESCE(p.\"NAZIV\", '') AS \"Kupac\", s.\"RBR_STAVKE\" AS \"Rbr\", "
               "COALESCE(a.\"NAZIV\", u.\"NAZIV\", s.\"OPIS\", '') AS \"Naziv\", "
               "s.\"KOLICINA\" AS \"Količina\", s.\"CIJENA_\" AS \"Cijena\", s.\"RABAT_%\" AS "
               "\"Rabat\", s.\"VRIJEDNOST_\" AS \"Osnovica\", s.\"POREZ_IZNOS\" AS \"Porez\", "
               "s.\"UKUPNO_\" AS \"Ukupno\" ") +
           QString::fromUtf16(kSoldLines)
               .replace(QStringLiteral(" WHERE "),
                        QStringLiteral(" LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                                       "h.\"SIFRA PARTNERA\" WHERE "));
}

// The stock of each article on a day: every movement of the article card up to the day, in and
// out, at cost and at selling price (the card sums to what the lots hold, so on the last day
// of the movements this is the lots' stock).
QString StockOnDaySql() {
    return QStringLiteral(
        "SELECT h.\"ARTIKAL\" AS \"Šifra\", COALESCE(MAX(a.\"NAZIV\"), '') AS \"Naziv\", "
        "COALESCE(MAX(a.\"JED_M\"), '') AS \"JM\", SUM(h.\"KOLIČINA ULAZ\" - h.\"KOLIČINA "
        "IZLAZ\") AS \"Količina\", SUM((h.\"KOLIČINA ULAZ\" - h.\"KOLIČINA IZLAZ\") * "
        "COALESCE(h.\"NABAVNA CIJENA\", 0)) AS \"Nabavna\", SUM(h.\"VELEPRODAJNA VRIJEDNOST "
        "ULAZ\" - h.\"VELEPRODAJNA VRIJEDNOST IZLAZ\") AS \"Prodajna\", SUM(h.\"VELEPRODAJNA "
        "VRIJEDNOST SA POREZOM ULAZ\" - h.\"VELEPRODAJNA VRIJEDNOST SA POREZOM IZLAZ\") AS "
        "\"S porezom\" FROM \"KARTICA_ARTIKLA\" h LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = "
        "h.\"ARTIKAL\" WHERE {WHERE} GROUP BY h.\"ARTIKAL\" HAVING ABS(SUM(h.\"KOLIČINA ULAZ\" - "
        "h.\"KOLIČINA IZLAZ\")) > 0.0000000001 OR ABS(SUM(h.\"VELEPRODAJNA VRIJEDNOST ULAZ\" - "
        "h.\"VELEPRODAJNA VRIJEDNOST IZLAZ\")) > 0.005");
}

// One article's card: its movements of the year in the order of the trade book with the
// running stock (from the first movement of the year, so the first row of a later range carries
// what came before it); the range's dates are bound after the selection's values.
QString ArticleCardSql() {
    return QStringLiteral(
        "SELECT c.* FROM (SELECT h.\"RBR\" AS \"Rbr\", h.\"DATUM\" AS \"Datum\", "
        "h.\"TIP_DOKUMENTA\" AS \"Dokument\", h.\"BROJ_DOKUMENTA\" AS \"Broj\", "
        "h.\"KOLIČINA ULAZ\" AS \"Ulaz\", h.\"KOLIČINA IZLAZ\" AS \"Izlaz\", "
        "h.\"VELEPRODAJNA CIJENA\" AS \"Cijena\", h.\"VELEPRODAJNA VRIJEDNOST ULAZ\" - "
        "h.\"VELEPRODAJNA VRIJEDNOST IZLAZ\" AS \"Vrijednost\", SUM(h.\"KOLIČINA ULAZ\" - "
        "h.\"KOLIČINA IZLAZ\") OVER (ORDER BY h.\"RBR\", h.\"DATUM\", h.\"TIP_DOKUMENTA\", "
        "h.\"BROJ_DOKUMENTA\", h.\"BROJ_PRIMKE\" ROWS UNBOUNDED PRECEDING) AS \"Stanje\", "
        "a.\"NAZIV\" AS \"Naziv\", a.\"JED_M\" AS \"JM\", h.\"ARTIKAL\" AS \"Šifra\", "
        "h.\"BROJ_PRIMKE\" AS \"Lot\" FROM \"KARTICA_ARTIKLA\" h LEFT JOIN \"ARTIKLI\" a ON "
        "a.\"SIFRA\" = h.\"ARTIKAL\" WHERE {WHERE}) c WHERE c.\"Datum\" >= ? AND c.\"Datum\" <= ?");
}

SummaryReportInfo Register(const char16_t* command, const char16_t* file, const char16_t* title,
                           const char16_t* source) {
    SummaryReportInfo info;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.title = QString::fromUtf16(title);
    info.statusText = QLatin1Char(' ') + info.title;
    info.limits = Limits::None;
    info.source = QString::fromUtf16(source);
    info.warehouseField.clear();
    info.yearField.clear();
    return info;
}

SummaryReportInfo Sales(const char16_t* command, const char16_t* file, const char16_t* title,
                        const QString& sql) {
    SummaryReportInfo info;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.title = QString::fromUtf16(title);
    info.statusText = QStringLiteral(" Prodaja");
    info.limits = Limits::Dates;
    info.source = QStringLiteral("RACUNI");
    info.dateField = QStringLiteral("DATUM");
    info.programSql = sql;
    return info;
}

std::vector<SummaryReportInfo> BuildTable() {
    std::vector<SummaryReportInfo> t;
    t.push_back(Numbered(u"Rek_prim_uk", u"rek_prim.rpt", u"Rekapitulacija primki", u"Primka",
                         u"PRIMKE", u"BROJ PRIMKE"));
    t.push_back(Numbered(u"Rek_prim_dob", u"rek_prim_d.rpt",
                         u"Rekapitulacija primki sortirano po dobavljačima", u"Primka", u"PRIMKE",
                         u"BROJ PRIMKE"));
    t.push_back(Numbered(u"Rek_prim_dob_art", u"rek_prim_d_a.rpt",
                         u"Rekapitulacija primki po dobavljačima i artiklima", u"Primka", u"PRIMKE",
                         u"BROJ PRIMKE"));
    t.push_back(Invoice(u"Rek_vrac_uk", u"rek_vrac.rpt", u"Rekapitulacija veleprodajnih računa",
                        Invoices::Wholesale));
    t.push_back(Invoice(u"Rek_vrac_kup", u"rek_vrac_k.rpt",
                        u"Rekapitulacija veleprodajnih računa sortirano po kupcima",
                        Invoices::Wholesale));
    t.push_back(Invoice(u"Rek_vrac_uvjeti_p", u"rek_vrac_uvjeti_p.rpt",
                        u"Rekapitulacija veleprodajnih računa po uvjetima prodaje",
                        Invoices::Wholesale));
    t.push_back(Invoice(u"Rekapitulacija_maloprodajnih_racuna_Ukupno", u"rek_mrac.rpt",
                        u"Rekapitulacija maloprodajnih računa", Invoices::Retail));
    t.push_back(Invoice(u"Rekapitulacija_maloprodajnih_racuna_Po_danima", u"rek_mrac_dan.rpt",
                        u"Rekapitulacija maloprodajnih računa po danima", Invoices::Retail));
    t.push_back(Numbered(u"Rekapitulacija_izmjena_cijena", u"rek_izm.rpt",
                         u"Rekapitulacija izmjena cijena", u"Izmjena cijena",
                         u"Rekapitulacija izmjena cijena", u"BROJ_IZMJENE_CIJENA"));
    t.push_back(Numbered(u"Rekapitulacija_meduskladisnica", u"rek_med.rpt",
                         u"Rekapitulacija međuskladišnica", u"Međuskladišnica", u"MEDUSKLADISNICE",
                         u"BROJ_MEDUSKLADISNICE"));
    t.push_back(Numbered(u"Rekapitulacija_povratnica_dobavljacima", u"rek_pov_dob.rpt",
                         u"Rekapitulacija povratnica dobavljačima", u"Povratnica dobavljaču",
                         u"Rekapitulacija povratnica dobavljačima", u"BROJ_POVRATNICE_DOBAVLJACU"));
    t.push_back(Numbered(u"Rekapitulacija_radnih_naloga", u"rek_rn.rpt",
                         u"Rekapitulacija radnih naloga", u"Radni nalog", u"RADNI_NALOZI",
                         u"BROJ_RADNOG_NALOGA"));
    t.push_back(Numbered(u"Rekapitulacija_radnih_naloga_dorada", u"rek_rn_dor.rpt",
                         u"Rekapitulacija radnih naloga dorade", u"Radni nalog dorada",
                         u"RADNI_NALOZI_DORADA", u"BROJ_RADNOG_NALOGA"));
    t.push_back(Numbered(u"Rekapitulacija_specifikacija", u"rek_potrosnje_usluga.rpt",
                         u"Rekapitulacija specifikacija", u"Specifikacija",
                         u"Rekapitulacija specifikacija", u"BROJ_SPECIFIKACIJE"));
    t.push_back(Numbered(u"Rekapitulacija_rashoda", u"rek_rashoda.rpt", u"Rekapitulacija rashoda",
                         u"Rashod", u"Rekapitulacija rashoda", u"BROJ_RASHODA"));
    t.push_back(Numbered(u"Rekapitulacija_odjava", u"rek_odjava.rpt", u"Rekapitulacija odjava",
                         u"Odjava", u"Rekapitulacija odjava", u"BROJ_ODJAVE"));
    t.push_back(Numbered(u"Rekapitulacija_izdatnica", u"rek_izdatnica.rpt",
                         u"Rekapitulacija izdatnica", u"Izdatnica", u"Rekapitulacija izdatnica",
                         u"BROJ"));
    t.push_back(Numbered(u"Rekapitulacija_povratnica", u"rek_povratnica.rpt",
                         u"Rekapitulacija povratnica", u"Povratnica", u"Rekapitulacija povratnica",
                         u"BROJ"));
    t.push_back(Numbered(u"Rekapitulacija_inventura", u"rek_inv.rpt", u"Rekapitulacija inventura",
                         u"Inventura", u"INVENTURE", u"BROJ_INVENTURE"));
    t.push_back(Numbered(u"Rekapitulacija_ponuda", u"rek_ponuda.rpt", u"Rekapitulacija ponuda",
                         u"Ponuda", u"Rekapitulacije ponuda", u"Broj"));

    t.push_back(Dated(u"Rekapitulacija_svih_dokumenata", u"rek_dok.rpt",
                      u"Rekapitulacija svih dokumenata", u"Rekapitulacija svih dokumenata"));
    t.push_back(Dated(u"Rekapitulacija_kartica_artikala", u"rek_kart_art.rpt",
                      u"Rekapitulacija kartica artikala", u"Rekapitulacija kartica artikala"));
    t.push_back(Dated(u"Rekapitulacija_poreza_po_dokumentima", u"tk_porez.rpt",
                      u"Rekapitulacija grupa poreza po dokumentima", u"KARTICA_ARTIKLA"));
    t.push_back(Dated(u"Knjiga_prometa", u"kpr.rpt", u"Knjiga prometa", u"Query knjiga prometa"));
    SummaryReportInfo transfers =
        Sales(u"Odjava_artikala_po_meduskladisnicama", u"rek_art.rpt",
              u"Odjava artikala po međuskladišnicama", TransferredArticlesSql());
    transfers.source = QStringLiteral("MEDUSKLADISNICE");
    transfers.statusText = QStringLiteral(" Odjava artikala po međuskladišnicama");
    t.push_back(transfers);
    t.push_back(Dated(u"Trgovacka_knjiga", u"tk.rpt", u"Trgovačka knjiga", u"TRGOVAČKA KNJIGA"));
    SummaryReportInfo employees =
        Sales(u"Rekapitulacija_vremena_po_djelatnicima", u"Djel_vrijeme.rpt",
              u"Rekapitulacija vremena po djelatnicima za račune", EmployeeTimeSql());
    employees.statusText = QStringLiteral(" Rekapitulacija vremena po djelatnicima");
    t.push_back(employees);
    t.push_back(Sales(u"Prodaja_po_art_usl_promet", u"p_stavke.rpt",
                      u"Izvještaj o prodaji sortiran po najboljim artiklima / uslugama u odnosu na "
                      u"promet",
                      SalesByItemSql()));
    t.push_back(Sales(u"Prodaja_po_artiklima_zarada", u"pz_stavke.rpt",
                      u"Izvještaj o prodaji sortiran po najboljim artiklima / uslugama u odnosu na "
                      u"zaradu",
                      SalesByItemSql()));
    t.push_back(Sales(u"Prodaja_po_kupcima_promet", u"p_kupci.rpt",
                      u"Izvještaj o prodaji sortiran po najboljim kupcima u odnosu na promet",
                      SalesByCustomerSql()));
    t.push_back(Sales(u"Prodaja_po_kupcima_zarada", u"pz_kupci.rpt",
                      u"Izvještaj o prodaji sortiran po najboljim kupcima u odnosu na zaradu",
                      SalesByCustomerSql()));
    SummaryReportInfo months =
        Sales(u"Prodaja_po_kol_mj", u"art_mj.rpt",
              u"Izvještaj o prodanim količinama artikala po mjesecima", ArticlesByMonthSql());
    months.limits = Limits::None;
    months.dateField.clear();
    t.push_back(months);

    t.push_back(Stock(u"Stanje1(0)", u"stanje_s.rpt", Limits::None));
    t.push_back(Stock(u"Stanje1(2)", u"stanje_s.rpt", Limits::NameSearch));
    t.push_back(Stock(u"Stanje1(3)", u"stanje_s.rpt", Limits::CodeSearch));
    t.push_back(Stock(u"Stanje1(4)", u"stanje_s_pc.rpt", Limits::None,
                      u" Stanje na skladištu - samo prodajne cijene"));
    t.push_back(Stock(u"Stanje2", u"stanje_s_p.rpt", Limits::None));
    t.push_back(Stock(u"Stanje3", u"stanje_s_g.rpt", Limits::None));
    SummaryReportInfo minimum =
        Stock(u"Ispis_min_zal", u"min_zal.rpt", Limits::None, u" Ispis ispod min. zalihe");
    minimum.title = QStringLiteral("Artikli ispod minimalne zalihe");
    t.push_back(minimum);
    SummaryReportInfo onDay = Stock(u"Stanje1(1)", u"stanje_s_d.rpt", Limits::Day);
    onDay.source = QStringLiteral("KARTICA_ARTIKLA");
    onDay.dateField = QStringLiteral("DATUM");
    onDay.programSql = StockOnDaySql();
    t.push_back(onDay);
    SummaryReportInfo total =
        Sales(u"Prodaja_ukupno", u"p_ukupno.rpt", u"Ukupna prodaja po mjesecima", SalesTotalSql());
    t.push_back(total);
    SummaryReportInfo situations = Sales(u"Rekapitulacija_po_situacijama", u"rek_situacije.rpt",
                                         u"Rekapitulacija po situacijama", SituationsSql());
    situations.statusText = QStringLiteral(" Rekapitulacija po situacijama");
    t.push_back(situations);
    SummaryReportInfo articles =
        Sales(u"Rekapitulacija_artikala_po_racunima", u"rek_art_rac.rpt",
              u"Rekapitulacija artikala po računima", ArticlesByInvoiceSql());
    articles.statusText = QStringLiteral(" Rekapitulacija artikala po računima");
    t.push_back(articles);
    for (const Invoices kind : {Invoices::Retail, Invoices::Wholesale}) {
        const bool retail = kind == Invoices::Retail;
        SummaryReportInfo list =
            Invoice(retail ? u"Maloprodajni_racuni_od_do" : u"Racuni_od_do", u"rac_od_do.rpt",
                    retail ? u"Ispis maloprodajnih računa" : u"Ispis računa", kind);
        list.source = QStringLiteral("RACUNI");
        list.numberField = QStringLiteral("BROJ RACUNA");
        list.programSql = InvoiceLinesSql();
        t.push_back(list);
    }
    SummaryReportInfo card;
    card.command = QStringLiteral("Ispis_kartice_artikla");
    card.file = QStringLiteral("kartica_artikla.rpt");
    card.title = QStringLiteral("Kartica artikla");
    card.statusText = QStringLiteral(" Kartica artikla");
    card.limits = Limits::ArticleAndDates;
    card.source = QStringLiteral("KARTICA_ARTIKLA");
    card.dateField = QStringLiteral("DATUM");
    card.programSql = ArticleCardSql();
    t.push_back(card);
    t.push_back(Register(u"Ispis_partnera", u"partneri.rpt", u"Partneri", u"PARTNERI"));
    t.push_back(Register(u"Cjenik_usluga", u"cjenik_u.rpt", u"Cjenik usluga", u"USLUGE"));
    return t;
}

// The kinds whose numbers preset the dialog: table and number field (quoted identifiers of the
// schema), whether the warehouse takes part, and the sales terms of invoices (1 is retail).
struct KeySource {
    const char16_t* key;
    const char16_t* table;
    const char16_t* numberField;
    bool warehouse;
    Invoices invoices;
};

constexpr KeySource kKeys[] = {
    {u"Veleprodajni račun", u"RACUNI", u"BROJ RACUNA", true, Invoices::Wholesale},
    {u"Maloprodajni račun", u"RACUNI", u"BROJ RACUNA", true, Invoices::Retail},
    {u"Primka", u"PRIMKE", u"BROJ PRIMKE", true, Invoices::Any},
    {u"Izmjena cijena", u"IZMJENE_CIJENA", u"BROJ_IZMJENE_CIJENA", true, Invoices::Any},
    {u"Međuskladišnica", u"MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE", true, Invoices::Any},
    {u"Maloprodajna međuskladišnica", u"MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE",
     true, Invoices::Any},
    {u"Povratnica dobavljaču", u"POVRATNICE_DOBAVLJACIMA", u"BROJ_POVRATNICE_DOBAVLJACU", true,
     Invoices::Any},
    {u"Radni nalog", u"RADNI_NALOZI", u"BROJ_RADNOG_NALOGA", true, Invoices::Any},
    {u"Radni nalog dorada", u"RADNI_NALOZI_DORADA", u"BROJ_RADNOG_NALOGA", true, Invoices::Any},
    {u"Inventura", u"INVENTURE", u"BROJ_INVENTURE", true, Invoices::Any},
    {u"Specifikacija", u"SPECIFIKACIJE", u"BROJ_SPECIFIKACIJE", true, Invoices::Any},
    {u"Rashod", u"RASHODI", u"BROJ_RASHODA", true, Invoices::Any},
    {u"Izdatnica", u"IZDATNICE", u"BROJ", true, Invoices::Any},
    {u"Povratnica", u"POVRATNICE", u"BROJ", true, Invoices::Any},
    {u"Odjava", u"ODJAVE", u"BROJ_ODJAVE", true, Invoices::Any},
    {u"Ponuda", u"PONUDE", u"BROJ RACUNA", true, Invoices::Any},
    {u"KPI", u"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS", u"REDNI BROJ", false, Invoices::Any},
};

QString Field(const SummaryReportInfo& info, const QString& field) {
    return info.source + QLatin1Char('.') + field;
}

}  // namespace

const std::vector<SummaryReportInfo>& SummaryReports() {
    static const std::vector<SummaryReportInfo> table = BuildTable();
    return table;
}

const SummaryReportInfo* SummaryReportByCommand(const QString& command) {
    const auto& table = SummaryReports();
    const auto it = std::find_if(table.begin(), table.end(), [&](const SummaryReportInfo& i) {
        return i.command.compare(command, Qt::CaseInsensitive) == 0;
    });
    return it == table.end() ? nullptr : &*it;
}

QStringList DocumentKeys() {
    QStringList keys;
    for (const KeySource& k : kKeys) {
        keys << QString::fromUtf16(k.key);
    }
    return keys;
}

NumberBounds DocumentNumberBounds(Database& db, const QString& documentKey, int warehouse,
                                  int year) {
    const auto it = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeySource& k) {
        return QString::fromUtf16(k.key) == documentKey;
    });
    if (it == std::end(kKeys)) {
        throw UserError(QStringLiteral("Nepoznata vrsta dokumenta: ") + documentKey);
    }
    const QString number =
        QLatin1Char('"') + QString::fromUtf16(it->numberField) + QLatin1Char('"');
    QString sql = QStringLiteral("SELECT MIN(") + number + QStringLiteral("), MAX(") + number +
                  QStringLiteral(") FROM \"") + QString::fromUtf16(it->table) +
                  QStringLiteral("\" WHERE \"GODINA\" = ?");
    QVariantList values{year};
    if (it->warehouse) {
        sql += QStringLiteral(" AND \"SKLADISTE\" = ?");
        values << warehouse;
    }
    if (it->invoices != Invoices::Any) {
        sql += it->invoices == Invoices::Retail ? QStringLiteral(" AND \"UVJET PRODAJE\" = ?")
                                                : QStringLiteral(" AND \"UVJET PRODAJE\" <> ?");
        values << 1;
    }
    Statement st = db.Prepare(sql);
    st.Exec(values);
    NumberBounds bounds;
    if (st.Next() && !st.IsNull(0)) {
        bounds.first = st.Int(0);
        bounds.last = st.Int(1);
    }
    return bounds;
}

reports::ReportRequest SummaryReportRequest(const Session& session, const SummaryReportInfo& info,
                                            const SummaryChoice& choice) {
    using reports::CompareOp;
    reports::ReportRequest request;
    request.reportFile = info.file;
    request.title = info.title;
    QString title = info.title;
    if (!info.warehouseField.isEmpty()) {
        request.selection.Where(Field(info, info.warehouseField), CompareOp::Equal,
                                session.activeWarehouse.code);
    }
    if (!info.yearField.isEmpty()) {
        request.selection.Where(Field(info, info.yearField), CompareOp::Equal,
                                session.businessYear);
    }
    if (info.invoices != Invoices::Any) {
        request.selection.Where(
            Field(info, QStringLiteral("UVJET PRODAJE")),
            info.invoices == Invoices::Retail ? CompareOp::Equal : CompareOp::NotEqual, 1);
    }
    const bool ranged = info.limits == Limits::NumbersAndDates || info.limits == Limits::Dates ||
                        info.limits == Limits::Day || info.limits == Limits::ArticleAndDates;
    QVariantList afterSelection;  // values bound after the selection's in the member's own SQL
    if (ranged) {
        const auto& range = choice.range;
        if (!range || range->cancelled ||
            (info.limits == Limits::NumbersAndDates && (!range->first || !range->last)) ||
            (info.limits == Limits::ArticleAndDates && !choice.article)) {
            throw UserError(
                QStringLiteral("Izvještaj ") + info.file + QStringLiteral(" traži ograničenja: ") +
                (info.limits == Limits::NumbersAndDates
                     ? QStringLiteral("brojeve dokumenata i datume.")
                 : info.limits == Limits::Day             ? QStringLiteral("datum stanja.")
                 : info.limits == Limits::ArticleAndDates ? QStringLiteral("artikl i datume.")
                                                          : QStringLiteral("datume.")));
        }
        if (info.limits == Limits::Day) {
            request.selection.Where(Field(info, info.dateField), CompareOp::LessOrEqual, range->to);
            request.Formula(QStringLiteral("NASLOV"),
                            title + QStringLiteral(" na dan ") + range->toText);
        } else if (info.limits == Limits::ArticleAndDates) {
            // The running stock counts the movements before the range: the dates narrow the
            // rows only after it is summed.
            request.selection.Where(Field(info, QStringLiteral("ARTIKAL")), CompareOp::Equal,
                                    *choice.article);
            afterSelection << range->from << range->to;
            title +=
                QStringLiteral(" od ") + range->fromText + QStringLiteral(" do ") + range->toText;
        }
    }
    if (ranged && info.limits != Limits::Day && info.limits != Limits::ArticleAndDates) {
        const auto& range = choice.range;
        if (info.limits == Limits::NumbersAndDates) {
            request.selection
                .Where(Field(info, info.numberField), CompareOp::GreaterOrEqual, *range->first)
                .Where(Field(info, info.numberField), CompareOp::LessOrEqual, *range->last);
        }
        if (!info.dateField.isEmpty()) {
            request.selection
                .Where(Field(info, info.dateField), CompareOp::GreaterOrEqual, range->from)
                .Where(Field(info, info.dateField), CompareOp::LessOrEqual, range->to);
            title +=
                QStringLiteral(" od ") + range->fromText + QStringLiteral(" do ") + range->toText;
        }
    }
    if (info.limits == Limits::NameSearch || info.limits == Limits::CodeSearch) {
        const QString text = choice.searchText.trimmed().isEmpty() ? QStringLiteral("*")
                                                                   : choice.searchText.trimmed();
        request.selection.Like(info.limits == Limits::NameSearch ? QStringLiteral("ARTIKLI.NAZIV")
                                                                 : QStringLiteral("ARTIKLI.OPIS"),
                               text);
    }
    if (!info.subreport.isEmpty()) {
        request.SubreportSelection(info.subreport, request.selection);
    }
    if (!info.programSql.isEmpty()) {
        // Selected before the rows are ranked or summed: the selection's fields are the
        // source's columns under the alias h, its values bound.
        const auto resolve = [&info](const reports::FieldRef& f) {
            if (f.table.compare(info.source, Qt::CaseInsensitive) != 0 ||
                f.field.contains(QLatin1Char('"'))) {
                throw UserError(QStringLiteral("Polje ") + f.Text() +
                                QStringLiteral(" ne postoji u izvještaju ") + info.file +
                                QLatin1Char('.'));
            }
            return QStringLiteral("h.\"") + f.field + QLatin1Char('"');
        };
        const auto noParameter = [&info](const QString& name) -> QVariant {
            throw UserError(QStringLiteral("Izvještaj ") + info.file +
                            QStringLiteral(" traži vrijednost parametra :") + name +
                            QStringLiteral(", a ona nije zadana."));
        };
        const reports::Selection::Sql where = request.selection.ToSql(resolve, noParameter);
        QString sql = info.programSql;
        sql.replace(QStringLiteral("{WHERE}"),
                    where.text.isEmpty() ? QStringLiteral("1 = 1")
                                         : QLatin1Char('(') + where.text + QLatin1Char(')'));
        request.query = reports::ProgramQuery{sql, where.values + afterSelection};
        request.selection = reports::Selection();
    }
    if (info.limits != Limits::Day) {
        request.Formula(QStringLiteral("NASLOV"), title);
    }
    request.parameters = reports::SessionParameters(session);
    if (info.limits == Limits::Day) {
        request.Parameter(QStringLiteral("DAN"), choice.range->to);  // its tax sub-report's
    }
    return request;
}

QString SearchPrompt(Limits limits) {
    return limits == Limits::CodeSearch
               ? QStringLiteral("Upišite tekst za pretraživanje po opisu artikla")
               : QStringLiteral("Upišite tekst za pretraživanje po nazivu artikla");
}

QString SearchCaption() {
    return QStringLiteral("Stanje na skladištu");
}

reports::ReportRange DayRange(const QString& text, const QDate& today, Prompter& prompter) {
    std::optional<QDate> day = inputrules::ParseDate(text, today);
    QString typed = text.trimmed();
    if (!day) {
        prompter.Inform(inputrules::InvalidDateMessage(), SearchCaption());
        day = today;
        typed = today.toString(QStringLiteral("dd.MM.yyyy"));
    }
    reports::ReportRange range;
    range.from = range.to = *day;
    range.fromText = range.toText = typed;
    range.fromDateArgs = range.toDateArgs = reports::DateArgs(*day);
    range.cancelled = false;
    return range;
}

QString DayPrompt() {
    return QStringLiteral("Upišite datum stanja");
}

int ArticleByCode(Database& db, const QString& text) {
    if (text.trimmed().isEmpty()) {
        throw UserError(QStringLiteral("Šifra artikla nije upisana."));
    }
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    if (ok) {
        Statement st =
            db.Prepare(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"));
        st.Exec({code});
        if (st.Next()) {
            return code;
        }
    }
    throw UserError(QStringLiteral("Artikl sa šifrom ") + text.trimmed() +
                    QStringLiteral(" ne postoji."));
}

QString ArticlePrompt() {
    return QStringLiteral("Upišite šifru artikla");
}

}  // namespace zodra::summary
