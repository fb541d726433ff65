-- Zodra company file: views. Every view returns rows for all warehouses, years and sessions
-- and exposes the key columns (SKLADISTE, GODINA, the document number, Multiuser_sifra),
-- so callers filter with bound parameters. Item names are joined for display as NAZIV,
-- the article code (ARTIKLI.OPIS) as ŠIFRA.

-- ============================================================================
-- Working copies of document lines, per session (filter on Multiuser_sifra)
-- ============================================================================

CREATE VIEW "STAVKE_PRIMKE_PRIVREMENO_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_PRIMKE_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_PRIMKE_PRIVREMENO_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_PRIMKE_PRIVREMENO" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_RACUNA_PRIVREMENO_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_RACUNA_PRIVREMENO_USLUGE" AS
SELECT s.*, u."NAZIV" AS "NAZIV", u."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA_PRIVREMENO" s
LEFT JOIN "USLUGE" u ON u."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_RACUNA_PRIVREMENO_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA_PRIVREMENO" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_RACUNA_DJELATNICI_PRIVREMENO_QUERY" AS
SELECT s.*, d."IME" AS "IME"
FROM "STAVKE_RACUNA_DJELATNICI_PRIVREMENO" s
LEFT JOIN "DJELATNICI" d ON d."SIFRA" = s."DJELATNIK";

CREATE VIEW "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO_QUERY" AS
SELECT s.*
FROM "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO" s;

CREATE VIEW "STAVKE_IZMJENE_CIJENA_PRIVREMENO" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M", g."STOPA" AS "STOPA"
FROM "STAVKE_IZMJENA_CIJENA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."ARTIKAL"
LEFT JOIN "GRUPE_POREZA" g ON g."SIFRA" = a."GRUPA_P";

CREATE VIEW "STAVKE_MEDUSKLADISNICA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_MEDUSKLADISNICA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_INVENTURA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_INVENTURA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_RASHOD_PRIVREMENO" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_RASHODA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_ODJAVA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_ODJAVA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_IZDATNICA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_IZDATNICA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_POVRATNICA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_POVRATNICA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_SPECIFIKACIJA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_SPECIFIKACIJA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_NARUDZBENICE_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_NARUDZBENICE_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_REZERVACIJA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_REZERVACIJA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_RADNIH_NALOGA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_RADNIH_NALOGA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV_PROIZVODA"
FROM "STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."GOT_PR_SIFRA";

CREATE VIEW "STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV_PROIZVODA"
FROM "STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."GOT_PR_SIFRA";

-- ============================================================================
-- Posted document lines per kind (filter on SKLADISTE, GODINA and the number)
-- ============================================================================
-- The same views over the detailed retail invoices (..._DETALJNO) live in the detail file.

CREATE VIEW "STAVKE_PRIMKE_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_PRIMKI" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_PRIMKE_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_PRIMKI" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_RACUNA_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_RACUNA_USLUGE" AS
SELECT s.*, u."NAZIV" AS "NAZIV", u."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA" s
LEFT JOIN "USLUGE" u ON u."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_RACUNA_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_RACUNA" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_OTPREMNICE_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_OTPREMNICA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_OTPREMNICE_USLUGE" AS
SELECT s.*, u."NAZIV" AS "NAZIV", u."JED_M" AS "JED_M"
FROM "STAVKE_OTPREMNICA" s
LEFT JOIN "USLUGE" u ON u."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_OTPREMNICE_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_OTPREMNICA" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_PONUDE_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_PONUDA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_PONUDE_USLUGE" AS
SELECT s.*, u."NAZIV" AS "NAZIV", u."JED_M" AS "JED_M"
FROM "STAVKE_PONUDA" s
LEFT JOIN "USLUGE" u ON u."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_PONUDE_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_PONUDA" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_PREDRACUNA_ARTIKLI" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_PREDRACUNA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_PREDRACUNA_USLUGE" AS
SELECT s.*, u."NAZIV" AS "NAZIV", u."JED_M" AS "JED_M"
FROM "STAVKE_PREDRACUNA" s
LEFT JOIN "USLUGE" u ON u."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_PREDRACUNA_AMBALAZA" AS
SELECT s.*, p."NAZIV" AS "NAZIV", p."JED_M" AS "JED_M"
FROM "STAVKE_PREDRACUNA" s
LEFT JOIN "AMBALAZA" p ON p."SIFRA" = s."SIFRA"
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

CREATE VIEW "STAVKE_MEDUSKLADISNICE" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M",
       h."DATUM" AS "DATUM", h."ODREDISNO_SKLADISTE" AS "ODREDISNO_SKLADISTE",
       h."BROJ_ODREDISNE_PRIMKE" AS "BROJ_ODREDISNE_PRIMKE"
FROM "STAVKE_MEDUSKLADISNICA" s
JOIN "MEDUSKLADISNICE" h ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA"
                        AND h."BROJ_MEDUSKLADISNICE" = s."BROJ_MEDUSKLADISNICE"
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_SPECIFIKACIJE" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_SPECIFIKACIJA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_INVENTURA_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_INVENTURA" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

CREATE VIEW "STAVKE_NARUDZBENICE_QUERY" AS
SELECT s.*, a."NAZIV" AS "NAZIV", a."OPIS" AS "ŠIFRA", a."JED_M" AS "JED_M"
FROM "STAVKE_NARUDZBENICE" s
LEFT JOIN "ARTIKLI" a ON a."SIFRA" = s."SIFRA_ARTIKLA";

-- ============================================================================
-- Article card and the stock consistency check
-- ============================================================================

-- Article card: one row per stock movement of an article. RBR is the trade-book position
-- (RBR_TK) of the document, which orders the movements of a warehouse and year. Values are
-- quantity x unit price, so that for any sequence of posted documents the card sums to what
-- the lots hold: quantity in - out = lot KOLICINA, at cost = lot KOLICINA x NABAVNA CIJENA,
-- at selling price = lot KOLICINA x VELEPRODAJNA CIJENA. SA POREZOM adds the tax rate of the line.
CREATE VIEW "KARTICA_ARTIKLA" AS
-- Goods receipts, article lines: quantity in at the cost and selling price of the line. Receipts generated
-- by transfers, work orders and sales from another warehouse are ordinary receipts and enter here.
-- BROJ_PRIMKE is the lot the line went into: the receipt itself under FIFO, the pooled lot 0 under
-- the method the receipt was posted with otherwise.
SELECT h."SKLADISTE" AS "SKLADISTE",
       h."GODINA" AS "GODINA",
       h."RBR_TK" AS "RBR",
       s."SIFRA" AS "ARTIKAL",
       CASE WHEN h."SkladisnaMetoda" IN ('Prosječna cijena', 'Zadnja cijena') THEN 0 ELSE s."BROJ_PRIMKE" END AS "BROJ_PRIMKE",
       'PRIMKA' AS "TIP_DOKUMENTA",
       NULL AS "IRA",
       h."BROJ PRIMKE" AS "BROJ_DOKUMENTA",
       h."DATUM" AS "DATUM",
       s."KOLICINA" AS "KOLIČINA ULAZ",
       0.0 AS "KOLIČINA IZLAZ",
       s."NABAVNA_CIJENA" AS "NABAVNA CIJENA",
       s."CIJENA" AS "VELEPRODAJNA CIJENA",
       s."KOLICINA" * s."CIJENA" AS "VELEPRODAJNA VRIJEDNOST ULAZ",
       0.0 AS "VELEPRODAJNA VRIJEDNOST IZLAZ",
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0) AS "VELEPRODAJNA VRIJEDNOST SA POREZOM ULAZ",
       0.0 AS "VELEPRODAJNA VRIJEDNOST SA POREZOM IZLAZ",
       s."GRUPA_POREZA" AS "GRUPA_POREZA",
       s."POREZ_%" AS "POREZ_%"
FROM "PRIMKE" h
JOIN "STAVKE_PRIMKI" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ PRIMKE" = s."BROJ_PRIMKE"
WHERE s."TIP_STAVKE" = 'ART'
UNION ALL
-- Invoices that took stock: quantity out at the cost of the lot and at the lot's selling price when
-- the goods left it (CIJENA_SKLADISTA: after the price change the posting generated; a discount
-- never reprices stock).
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA",
       s."BROJ_PRIMKE",
       CAST(h."IRA" AS TEXT) || 'RAČUN',
       h."IRA",
       h."BROJ RACUNA",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA_SKLADISTA",
       0.0,
       s."KOLICINA" * s."CIJENA_SKLADISTA",
       0.0,
       s."KOLICINA" * s."CIJENA_SKLADISTA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "RACUNI" h
JOIN "STAVKE_RACUNA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."IRA" = s."IRA" AND h."GODINA" = s."GODINA" AND h."BROJ RACUNA" = s."BROJ_RACUNA"
WHERE h."SKIDA" = TRUE AND s."TIP_STAVKE" = 'ART'
UNION ALL
-- Cancelled invoices: the goods come back at the trade-book position of the cancellation.
SELECT h."SKLADISTE",
       h."GODINA",
       h."STORNO_RBR_TK",
       s."SIFRA",
       s."BROJ_PRIMKE",
       'STORNO RAČUNA',
       h."IRA",
       h."BROJ RACUNA",
       h."DATUM_STORNA",
       s."KOLICINA",
       0.0,
       s."NABAVNA_CIJENA",
       s."CIJENA_SKLADISTA",
       s."KOLICINA" * s."CIJENA_SKLADISTA",
       0.0,
       s."KOLICINA" * s."CIJENA_SKLADISTA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       0.0,
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "RACUNI" h
JOIN "STAVKE_RACUNA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."IRA" = s."IRA" AND h."GODINA" = s."GODINA" AND h."BROJ RACUNA" = s."BROJ_RACUNA"
WHERE h."SKIDA" = TRUE AND h."STORNO" = TRUE AND s."TIP_STAVKE" = 'ART'
UNION ALL
-- Delivery notes: quantity out, like invoices.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA",
       s."BROJ_PRIMKE",
       'OTPREMNICA',
       NULL,
       h."BROJ_OTPREMNICE",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       COALESCE(s."CIJENA_SKLADISTA", s."CIJENA_"),
       0.0,
       s."KOLICINA" * COALESCE(s."CIJENA_SKLADISTA", s."CIJENA_"),
       0.0,
       s."KOLICINA" * COALESCE(s."CIJENA_SKLADISTA", s."CIJENA_") * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "OTPREMNICE" h
JOIN "STAVKE_OTPREMNICA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_OTPREMNICE" = s."BROJ_OTPREMNICE"
WHERE s."TIP_STAVKE" = 'ART'
UNION ALL
-- Inter-warehouse transfers, source side: quantity out at the prices of the source lot. The destination
-- side is the generated receipt. A cancelled transfer has given its goods back and lost its
-- trade-book entry, so it contributes nothing.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'MEĐUSKLADIŠNICA',
       NULL,
       h."BROJ_MEDUSKLADISNICE",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "MEDUSKLADISNICE" h
JOIN "STAVKE_MEDUSKLADISNICA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_MEDUSKLADISNICE" = s."BROJ_MEDUSKLADISNICE"
WHERE h."STORNO" = FALSE
UNION ALL
-- Transfers generated by sales from another warehouse, source side.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'MALOPRODAJNA MEĐUSKLADIŠNICA',
       NULL,
       h."BROJ_MEDUSKLADISNICE",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "MALOPRODAJNE_MEDUSKLADISNICE" h
JOIN "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_MEDUSKLADISNICE" = s."BROJ_MEDUSKLADISNICE"
WHERE h."STORNO" = FALSE
UNION ALL
-- Price changes move value, not quantity: the lot is repriced from STARA_CIJENA to NOVA_CIJENA
-- for the quantity it held, so the selling value goes in at the new price and out at the old.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."ARTIKAL",
       s."BROJ_PRIMKE",
       'IZMJENA CIJENA',
       NULL,
       h."BROJ_IZMJENE_CIJENA",
       h."DATUM",
       0.0,
       0.0,
       0.0,
       s."NOVA_CIJENA",
       s."KOLICINA" * s."NOVA_CIJENA",
       s."KOLICINA" * s."STARA_CIJENA",
       s."KOLICINA" * s."NOVA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."KOLICINA" * s."STARA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "IZMJENE_CIJENA" h
JOIN "STAVKE_IZMJENA_CIJENA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_IZMJENE_CIJENA" = s."BROJ_IZMJENE_CIJENA"
UNION ALL
-- A cancelled price change puts the old price back at the position of the cancellation.
SELECT h."SKLADISTE",
       h."GODINA",
       h."STORNO_RBR_TK",
       s."ARTIKAL",
       s."BROJ_PRIMKE",
       'STORNO IZMJENE CIJENA',
       NULL,
       h."BROJ_IZMJENE_CIJENA",
       h."DATUM_STORNA",
       0.0,
       0.0,
       0.0,
       s."STARA_CIJENA",
       s."KOLICINA" * s."STARA_CIJENA",
       s."KOLICINA" * s."NOVA_CIJENA",
       s."KOLICINA" * s."STARA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."KOLICINA" * s."NOVA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "IZMJENE_CIJENA" h
JOIN "STAVKE_IZMJENA_CIJENA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_IZMJENE_CIJENA" = s."BROJ_IZMJENE_CIJENA"
WHERE h."STORNO" = TRUE
UNION ALL
-- Stock counts: the difference between counted and book quantity goes in (surplus) or out
-- (shortage) at the prices of the lot taken when the count was prepared. Lots counted unchanged
-- are no movement.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'INVENTURA',
       NULL,
       h."BROJ_INVENTURE",
       h."DATUM",
       CASE WHEN s."STVARNO_KOLICINA" > s."KNJIZNO_KOLICINA" THEN s."STVARNO_KOLICINA" - s."KNJIZNO_KOLICINA" ELSE 0.0 END,
       CASE WHEN s."STVARNO_KOLICINA" < s."KNJIZNO_KOLICINA" THEN s."KNJIZNO_KOLICINA" - s."STVARNO_KOLICINA" ELSE 0.0 END,
       s."N_CIJENA",
       s."V_CIJENA",
       CASE WHEN s."STVARNO_KOLICINA" > s."KNJIZNO_KOLICINA" THEN (s."STVARNO_KOLICINA" - s."KNJIZNO_KOLICINA") * s."V_CIJENA" ELSE 0.0 END,
       CASE WHEN s."STVARNO_KOLICINA" < s."KNJIZNO_KOLICINA" THEN (s."KNJIZNO_KOLICINA" - s."STVARNO_KOLICINA") * s."V_CIJENA" ELSE 0.0 END,
       CASE WHEN s."STVARNO_KOLICINA" > s."KNJIZNO_KOLICINA" THEN (s."STVARNO_KOLICINA" - s."KNJIZNO_KOLICINA") * s."V_CIJENA" ELSE 0.0 END * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       CASE WHEN s."STVARNO_KOLICINA" < s."KNJIZNO_KOLICINA" THEN (s."KNJIZNO_KOLICINA" - s."STVARNO_KOLICINA") * s."V_CIJENA" ELSE 0.0 END * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "INVENTURE" h
JOIN "STAVKE_INVENTURA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_INVENTURE" = s."BROJ_INVENTURE"
WHERE s."STVARNO_KOLICINA" <> s."KNJIZNO_KOLICINA"
UNION ALL
-- Write-offs: quantity out.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'RASHOD',
       NULL,
       h."BROJ_RASHODA",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "RASHODI" h
JOIN "STAVKE_RASHODA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_RASHODA" = s."BROJ_RASHODA"
UNION ALL
-- Commission returns: quantity out.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'ODJAVA',
       NULL,
       h."BROJ_ODJAVE",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "ODJAVE" h
JOIN "STAVKE_ODJAVA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_ODJAVE" = s."BROJ_ODJAVE"
UNION ALL
-- Issue notes: quantity out.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'IZDATNICA',
       NULL,
       h."BROJ",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "IZDATNICE" h
JOIN "STAVKE_IZDATNICA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ" = s."BROJ"
UNION ALL
-- Return notes put goods back into their lots: quantity in.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'POVRATNICA',
       NULL,
       h."BROJ",
       h."DATUM",
       s."KOLICINA",
       0.0,
       s."NABAVNA_CIJENA",
       s."CIJENA",
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       0.0,
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "POVRATNICE" h
JOIN "STAVKE_POVRATNICA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ" = s."BROJ"
UNION ALL
-- Returns to supplier: quantity out.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'POVRATNICA DOBAVLJAČU',
       NULL,
       h."BROJ_POVRATNICE_DOBAVLJACU",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "POVRATNICE_DOBAVLJACIMA" h
JOIN "STAVKE_POVRATNICA_DOBAVLJACIMA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_POVRATNICE_DOBAVLJACU" = s."BROJ_POVRATNICE_DOBAVLJACU"
UNION ALL
-- Service consumption (specifikacija): articles consumed by services go out.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'SPECIFIKACIJA',
       NULL,
       h."BROJ_SPECIFIKACIJE",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "SPECIFIKACIJE" h
JOIN "STAVKE_SPECIFIKACIJA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_SPECIFIKACIJE" = s."BROJ_SPECIFIKACIJE"
UNION ALL
-- Cancelled service consumption: the articles come back at the position of the cancellation.
SELECT h."SKLADISTE",
       h."GODINA",
       h."STORNO_RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'STORNO SPECIFIKACIJE',
       NULL,
       h."BROJ_SPECIFIKACIJE",
       h."DATUM_STORNA",
       s."KOLICINA",
       0.0,
       s."NABAVNA_CIJENA",
       s."CIJENA",
       s."KOLICINA" * s."CIJENA",
       0.0,
       s."KOLICINA" * s."CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       0.0,
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "SPECIFIKACIJE" h
JOIN "STAVKE_SPECIFIKACIJA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_SPECIFIKACIJE" = s."BROJ_SPECIFIKACIJE"
WHERE h."STORNO" = TRUE
UNION ALL
-- Work orders: material goes out at the prices of the lot (the products enter through the generated receipt).
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'RADNI NALOG',
       NULL,
       h."BROJ_RADNOG_NALOGA",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."PRODAJNA_CIJENA",
       0.0,
       s."KOLICINA" * s."PRODAJNA_CIJENA",
       0.0,
       s."KOLICINA" * s."PRODAJNA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "RADNI_NALOZI" h
JOIN "STAVKE_RADNIH_NALOGA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_RADNOG_NALOGA" = s."BROJ_RADNOG_NALOGA"
UNION ALL
-- Finishing work orders: material goes out at the prices of the lot.
SELECT h."SKLADISTE",
       h."GODINA",
       h."RBR_TK",
       s."SIFRA_ARTIKLA",
       s."BROJ_PRIMKE",
       'RADNI NALOG DORADA',
       NULL,
       h."BROJ_RADNOG_NALOGA",
       h."DATUM",
       0.0,
       s."KOLICINA",
       s."NABAVNA_CIJENA",
       s."PRODAJNA_CIJENA",
       0.0,
       s."KOLICINA" * s."PRODAJNA_CIJENA",
       0.0,
       s."KOLICINA" * s."PRODAJNA_CIJENA" * (1 + COALESCE(s."POREZ_%", 0) / 100.0),
       s."GRUPA_POREZA",
       s."POREZ_%"
FROM "RADNI_NALOZI_DORADA" h
JOIN "STAVKE_RADNIH_NALOGA_DORADA" s ON h."SKLADISTE" = s."SKLADISTE" AND h."GODINA" = s."GODINA" AND h."BROJ_RADNOG_NALOGA" = s."BROJ_RADNOG_NALOGA";

-- Stock consistency check: stock at cost (N) and at selling value from the lots (Nabave) and
-- from the article card (Kartica), and the quantities of both. One row per lot and per card row;
-- callers sum the columns, for one warehouse and year or per article, and compare lots with card.
CREATE VIEW "3Provjera" AS
SELECT n."SKLADISTE" AS "SKLADISTE", n."GODINA" AS "GODINA", n."SIFRA_ARTIKLA" AS "ARTIKAL",
       n."KOLICINA" * n."NABAVNA CIJENA" AS "NabaveNIznos",
       0.0 AS "KarticaNIznos",
       n."KOLICINA" * n."VELEPRODAJNA CIJENA" AS "NabaveIznos",
       0.0 AS "KarticaIznos",
       n."KOLICINA" AS "NabaveKolicina",
       0.0 AS "KarticaKolicina"
FROM "NABAVE" n
UNION ALL
SELECT k."SKLADISTE", k."GODINA", k."ARTIKAL",
       0.0,
       (k."KOLIČINA ULAZ" - k."KOLIČINA IZLAZ") * k."NABAVNA CIJENA",
       0.0,
       k."VELEPRODAJNA VRIJEDNOST ULAZ" - k."VELEPRODAJNA VRIJEDNOST IZLAZ",
       0.0,
       k."KOLIČINA ULAZ" - k."KOLIČINA IZLAZ"
FROM "KARTICA_ARTIKLA" k;

-- ============================================================================
-- Trade books
-- ============================================================================

-- Wholesale trade book for the book window (callers filter on warehouse, year and dates and order by RBR).
CREATE VIEW "TRGOVACKA_KNJIGA_VELEPRODAJE_QUERY" AS
SELECT t.*
FROM "TRGOVACKA_KNJIGA_VELEPRODAJE" t;

-- Retail trade book for the book window.
CREATE VIEW "TRGOVACKA_KNJIGA_MALOPRODAJE_QUERY" AS
SELECT t.*
FROM "TRGOVACKA_KNJIGA_MALOPRODAJE" t;

-- ============================================================================
-- Cash book
-- ============================================================================

-- Bookings of the cash book: one row per cash receipt (PRIMITAK) and per cash payment (IZDATAK).
-- Print order: DATUM, then receipts before payments ("VRSTA" DESC), then BROJ.
CREATE VIEW "Query blagajnički izvještaj" AS
SELECT u."SKLADISTE" AS "SKLADISTE", u."GODINA" AS "GODINA", u."Datum" AS "DATUM",
       'UPLATNICA' AS "VRSTA", u."Broj" AS "BROJ",
       'Uplatnica ' || CAST(u."Broj" AS TEXT) || ' - ' || COALESCE(u."Od koga", '') || ' - ' || COALESCE(u."Za", '') AS "OPIS",
       u."Iznos" AS "PRIMITAK", 0.0 AS "IZDATAK"
FROM "BLAGAJNA_UPLATNICE" u
UNION ALL
SELECT i."SKLADISTE", i."GODINA", i."Datum",
       'ISPLATNICA', i."Broj",
       'Isplatnica ' || CAST(i."Broj" AS TEXT) || ' - ' || COALESCE(i."Kome", '') || ' - ' || COALESCE(i."Za", ''),
       0.0, i."Iznos"
FROM "BLAGAJNA_ISPLATNICE" i;

-- Daily sums of the cash book.
CREATE VIEW "Query blagajnički izvještaj sumarno" AS
SELECT b."SKLADISTE" AS "Skladiste", b."GODINA" AS "Godina", b."DATUM" AS "Datum",
       SUM(b."PRIMITAK") AS "Primitak", SUM(b."IZDATAK") AS "Izdatak"
FROM "Query blagajnički izvještaj" b
GROUP BY b."SKLADISTE", b."GODINA", b."DATUM";

-- The output invoice book: every posted invoice on its date and every cancellation on its own
-- date (amounts negative, number RBR_IRA_STORNO), one row per tax group, rate and taxation type
-- of the invoice's lines. The book builder places each row in its column (books/TaxFormLines).
CREATE VIEW "Query knjiga izlaznih računa5" AS
SELECT r."SKLADISTE" AS "SKLADISTE", r."IRA" AS "IRA", r."GODINA" AS "GODINA",
       r."BROJ RACUNA" AS "BROJ", r."RBR_IRA" AS "RBR", r."DATUM" AS "DATUM", 0 AS "STORNO",
       r."UVJET PRODAJE" AS "UVJET PRODAJE", p."NAZIV" AS "KUPAC", p."OIB" AS "OIB",
       s."GRUPA_POREZA" AS "GRUPA_POREZA", s."POREZ_%" AS "STOPA",
       s."TIP_OPOREZIVANJA" AS "TIP_OPOREZIVANJA", SUM(s."VRIJEDNOST_") AS "OSNOVICA",
       SUM(s."POREZ_IZNOS") AS "POREZ", SUM(s."UKUPNO_") AS "UKUPNO"
FROM "RACUNI" r
JOIN "STAVKE_RACUNA" s ON s."SKLADISTE" = r."SKLADISTE" AND s."IRA" = r."IRA"
     AND s."GODINA" = r."GODINA" AND s."BROJ_RACUNA" = r."BROJ RACUNA"
LEFT JOIN "PARTNERI" p ON p."SIFRA" = r."SIFRA PARTNERA"
GROUP BY r."SKLADISTE", r."IRA", r."GODINA", r."BROJ RACUNA", r."RBR_IRA", r."DATUM",
         r."UVJET PRODAJE", p."NAZIV", p."OIB", s."GRUPA_POREZA", s."POREZ_%", s."TIP_OPOREZIVANJA"
UNION ALL
SELECT r."SKLADISTE", r."IRA", r."GODINA", r."BROJ RACUNA", r."RBR_IRA_STORNO", r."DATUM_STORNA",
       1, r."UVJET PRODAJE", p."NAZIV", p."OIB", s."GRUPA_POREZA", s."POREZ_%",
       s."TIP_OPOREZIVANJA", -SUM(s."VRIJEDNOST_"), -SUM(s."POREZ_IZNOS"), -SUM(s."UKUPNO_")
FROM "RACUNI" r
JOIN "STAVKE_RACUNA" s ON s."SKLADISTE" = r."SKLADISTE" AND s."IRA" = r."IRA"
     AND s."GODINA" = r."GODINA" AND s."BROJ_RACUNA" = r."BROJ RACUNA"
LEFT JOIN "PARTNERI" p ON p."SIFRA" = r."SIFRA PARTNERA"
WHERE r."STORNO" = TRUE
GROUP BY r."SKLADISTE", r."IRA", r."GODINA", r."BROJ RACUNA", r."RBR_IRA_STORNO",
         r."DATUM_STORNA", r."UVJET PRODAJE", p."NAZIV", p."OIB", s."GRUPA_POREZA", s."POREZ_%",
         s."TIP_OPOREZIVANJA";

-- The same book with the retail invoices (sales terms 1) summed per day: one row per day,
-- cancellation mark, tax group, rate and taxation type, with the day's first and last number.
CREATE VIEW "Query knjiga izlaznih računa6" AS
SELECT q."SKLADISTE" AS "SKLADISTE", q."IRA" AS "IRA", q."GODINA" AS "GODINA",
       q."BROJ" AS "BROJ", q."BROJ" AS "BROJ_DO", q."RBR" AS "RBR", q."DATUM" AS "DATUM",
       q."STORNO" AS "STORNO", q."UVJET PRODAJE" AS "UVJET PRODAJE", q."KUPAC" AS "KUPAC",
       q."OIB" AS "OIB", q."GRUPA_POREZA" AS "GRUPA_POREZA", q."STOPA" AS "STOPA",
       q."TIP_OPOREZIVANJA" AS "TIP_OPOREZIVANJA", q."OSNOVICA" AS "OSNOVICA",
       q."POREZ" AS "POREZ", q."UKUPNO" AS "UKUPNO"
FROM "Query knjiga izlaznih računa5" q
WHERE q."UVJET PRODAJE" IS NULL OR q."UVJET PRODAJE" <> 1
UNION ALL
SELECT q."SKLADISTE", q."IRA", q."GODINA", d."OD", d."DO", MIN(q."RBR"), q."DATUM",
       q."STORNO", 1, 'Maloprodaja', NULL, q."GRUPA_POREZA", q."STOPA", q."TIP_OPOREZIVANJA",
       SUM(q."OSNOVICA"), SUM(q."POREZ"), SUM(q."UKUPNO")
FROM "Query knjiga izlaznih računa5" q
JOIN (SELECT "SKLADISTE", "IRA", "GODINA", "DATUM", "STORNO", MIN("BROJ") AS "OD",
             MAX("BROJ") AS "DO"
      FROM "Query knjiga izlaznih računa5" WHERE "UVJET PRODAJE" = 1
      GROUP BY "SKLADISTE", "IRA", "GODINA", "DATUM", "STORNO") d
     ON d."SKLADISTE" = q."SKLADISTE" AND d."IRA" = q."IRA" AND d."GODINA" = q."GODINA"
     AND d."DATUM" = q."DATUM" AND d."STORNO" = q."STORNO"
WHERE q."UVJET PRODAJE" = 1
GROUP BY q."SKLADISTE", q."IRA", q."GODINA", d."OD", d."DO", q."DATUM", q."STORNO",
         q."GRUPA_POREZA", q."STOPA", q."TIP_OPOREZIVANJA";

-- Collections of output invoices by the date paid: each collection (NAPLATA) with the rows of
-- its invoice per tax group, so that the book takes from each group the collection's share of
-- the invoice total.
CREATE VIEW "Query knjiga izlaznih računa plaćeno N" AS
SELECT n."Skladište" AS "Skladiste", n."IRA" AS "IRA", n."Godina" AS "GODINA",
       n."Datum" AS "DATUM PLAĆANJA", n."Sifra" AS "NAPLATA", n."Iznos" AS "PLACENO",
       q."BROJ" AS "BROJ", q."RBR" AS "RBR", q."DATUM" AS "DATUM",
       q."UVJET PRODAJE" AS "UVJET PRODAJE", q."KUPAC" AS "KUPAC", q."OIB" AS "OIB",
       q."GRUPA_POREZA" AS "GRUPA_POREZA", q."STOPA" AS "STOPA",
       q."TIP_OPOREZIVANJA" AS "TIP_OPOREZIVANJA", q."OSNOVICA" AS "OSNOVICA",
       q."POREZ" AS "POREZ", q."UKUPNO" AS "UKUPNO"
FROM "NAPLATA" n
JOIN "Query knjiga izlaznih računa5" q ON q."SKLADISTE" = n."Skladište" AND q."IRA" = n."IRA"
     AND q."GODINA" = n."Godina" AND q."BROJ" = n."Broj računa" AND q."STORNO" = 0;

-- The collections of retail invoices (sales terms 1), which the paid book sums per day paid.
CREATE VIEW "Query knjiga izlaznih računa plaćeno maloprodaja sumarno N" AS
SELECT * FROM "Query knjiga izlaznih računa plaćeno N" WHERE "UVJET PRODAJE" = 1;
-- ============================================================================
-- Input invoice book
-- ============================================================================

-- Every payment of an input invoice with the invoice's amounts scaled by the paid share
-- (payment / invoice total). An invoice whose total is 0 has no share to scale by: its payment
-- is shown whole as a base without tax.
CREATE VIEW "Query ulazni računi plaćeno" AS
SELECT k."URA", k."GODINA", k."Redni broj", k."Račun broj", k."Račun datum",
    k."Šifra dobavljača", d."NAZIV" AS "Dobavljač", k."Tip računa", k."Vrsta nabave",
    k."Iznos računa sa porezom", pl."Datum" AS "Datum plaćanja", pl."Iznos" AS "Iznos plaćanja",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN pl."Iznos" ELSE k."Osnovica0" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica0",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica5" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica5",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno5" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno5",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti5" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti5",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti5" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti5",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica10" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica10",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno10" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno10",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti10" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti10",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti10" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti10",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica13" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica13",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno13" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno13",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti13" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti13",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti13" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti13",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica22" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica22",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno22" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno22",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti22" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti22",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti22" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti22",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica23" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica23",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno23" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno23",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti23" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti23",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti23" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti23",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."Osnovica25" * pl."Iznos" / k."Iznos računa sa porezom" END AS "Osnovica25",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezUkupno25" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezUkupno25",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezOdbiti25" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezOdbiti25",
    CASE WHEN k."Iznos računa sa porezom" = 0 THEN 0 ELSE k."PretporezNeOdbiti25" * pl."Iznos" / k."Iznos računa sa porezom" END AS "PretporezNeOdbiti25"
FROM "KNJIGE_ULAZNIH_RACUNA" k
INNER JOIN "PLACANJA" pl ON pl."URA" = k."URA" AND pl."GODINA" = k."GODINA"
    AND pl."Redni broj knjige UFA" = k."Redni broj"
LEFT JOIN "PARTNERI" d ON d."SIFRA" = k."Šifra dobavljača";

-- ============================================================================
-- Inventory book ("Knjiga popisa")
-- ============================================================================

-- The stock movements of the inventory book: each trade-book entry charged to stock at its
-- value in (NABAVA_VRIJEDNOST) or discharged from it at its value out (PRODAJA_VRIJEDNOST);
-- their difference is the book's running balance of goods.
CREATE VIEW "KP" AS
SELECT t."SKLADISTE" AS "SKLADISTE", t."GODINA" AS "GODINA", t."RBR" AS "RBR", t."DATUM" AS "DATUM",
    COALESCE(t."OPIS", TRIM(COALESCE(t."TIP_DOKUMENTA", '') || ' ' || COALESCE(CAST(t."BROJ_DOKUMENTA" AS TEXT), ''))) AS "DOKUMENT",
    COALESCE(t."NABAVA_VRIJEDNOST", 0) AS "ZADUŽENJE", COALESCE(t."PRODAJA_VRIJEDNOST", 0) AS "RAZDUŽENJE",
    CASE WHEN EXISTS (SELECT 1 FROM "RACUNI" r WHERE r."SKLADISTE" = t."SKLADISTE" AND r."GODINA" = t."GODINA"
                      AND r."RBR_TK" = t."RBR" AND r."UVJET PRODAJE" = 1) THEN 1 ELSE 0 END AS "MALOPRODAJA"
FROM "TRGOVACKA_KNJIGA_VELEPRODAJE" t;

-- The summary report's rows (kp.rpt).
CREATE VIEW "KNJIGA POPISA" AS
SELECT k."SKLADISTE", k."GODINA", k."RBR", k."DATUM", k."DOKUMENT", k."ZADUŽENJE", k."RAZDUŽENJE"
FROM "KP" k;

-- The same with the retail invoices (sales terms 1) summed into one row a day, placed at the
-- day's first of them (kp_sum.rpt).
CREATE VIEW "KNJIGA POPISA SUMARNO MALOPRODAJA" AS
SELECT k."SKLADISTE", k."GODINA", k."RBR", k."DATUM", k."DOKUMENT", k."ZADUŽENJE", k."RAZDUŽENJE"
FROM "KP" k WHERE k."MALOPRODAJA" = 0
UNION ALL
SELECT k."SKLADISTE", k."GODINA", MIN(k."RBR") AS "RBR", k."DATUM", 'Maloprodaja' AS "DOKUMENT",
    SUM(k."ZADUŽENJE") AS "ZADUŽENJE", SUM(k."RAZDUŽENJE") AS "RAZDUŽENJE"
FROM "KP" k WHERE k."MALOPRODAJA" = 1
GROUP BY k."SKLADISTE", k."GODINA", k."DATUM";
