-- Zodra detail file (.det): the detailed retail invoices, their lines and collections, kept
-- apart from the company file and attached to it as schema det. Column sets are those of
-- RACUNI, STAVKE_RACUNA and NAPLATA in the company file, so rows move between them by position.
-- Detailed invoices never move stock themselves: the summary invoice written into RACUNI
-- at day end does (SUMARNI marks detailed invoices already summed).

-- Detailed retail invoice headers.
CREATE TABLE "RACUNI_DETALJNO" (
    "SKLADISTE"                    INTEGER NOT NULL,
    "IRA"                          INTEGER NOT NULL,
    "GODINA"                       INTEGER NOT NULL,
    "BROJ RACUNA"                  INTEGER NOT NULL,
    "PLACENO"                      BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM"                        DATE,
    "SIFRA PARTNERA"               INTEGER,
    "UVJET PRODAJE"                INTEGER,
    "ISPORUKA NAZIV"               TEXT,
    "ISPORUKA ADRESA"              TEXT,
    "ISPORUKA MJESTO"              TEXT,
    "DATUM ISPORUKE"               DATE,
    "NACIN ISPORUKE"               TEXT,
    "ROBU PREUZEO"                 TEXT,
    "NARUDZBENICA"                 TEXT,
    "OTPREMNICA"                   TEXT,
    "ROK PLACANJA"                 INTEGER,
    "DOSPIJECE RACUNA"             DATE,
    "NACIN PLACANJA"               TEXT,
    "POZIV NA BROJ"                TEXT,
    "VEC PLACENO"                  DOUBLE PRECISION,
    "DODATNI TEKST"                TEXT,
    "ZIRO_RACUN"                   TEXT,
    "IZMJENA_CIJENA"               INTEGER,
    "MALOPRODAJNA_MEDUSKLADISNICA" INTEGER,
    "MALOPRODAJNA_PRIMKA"          INTEGER,
    "SITUACIJA"                    INTEGER,
    "RBR_TK"                       INTEGER,
    "KORISNIK"                     TEXT,
    "DATUM_I_VRIJEME_KNJIZENJA"    TIMESTAMP,
    "STORNO"                       BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM_STORNA"                 DATE,
    "STORNO_RBR_TK"                INTEGER,
    "RBR_STORNO_DOKUMENTA"         INTEGER,
    "RBR_IRA"                      INTEGER,
    "RBR_IRA_STORNO"               INTEGER,
    "SKIDA"                        BOOLEAN NOT NULL DEFAULT FALSE,
    "NAKNADNO_SKIDANJE"            BOOLEAN NOT NULL DEFAULT FALSE,
    "SUMARNI"                      BOOLEAN NOT NULL DEFAULT FALSE,
    "OPIS"                         TEXT,
    PRIMARY KEY ("SKLADISTE", "IRA", "GODINA", "BROJ RACUNA")
);
CREATE INDEX "IX_RACUNI_DETALJNO_NUMERACIJA" ON "RACUNI_DETALJNO" ("SKLADISTE", "IRA", "GODINA", "UVJET PRODAJE", "BROJ RACUNA");
CREATE INDEX "IX_RACUNI_DETALJNO_DATUM" ON "RACUNI_DETALJNO" ("SKLADISTE", "GODINA", "DATUM");
CREATE INDEX "IX_RACUNI_DETALJNO_NESUMIRANI" ON "RACUNI_DETALJNO" ("SKLADISTE", "IRA", "GODINA", "DATUM") WHERE "SUMARNI" = FALSE;

-- Lines of the detailed retail invoices.
CREATE TABLE "STAVKE_RACUNA_DETALJNO" (
    "SKLADISTE"             INTEGER NOT NULL,
    "IRA"                   INTEGER NOT NULL,
    "GODINA"                INTEGER NOT NULL,
    "BROJ_RACUNA"           INTEGER NOT NULL,
    "TIP_STAVKE"            TEXT NOT NULL,
    "SIFRA"                 INTEGER,
    "BROJ_PRIMKE"           INTEGER,
    "KOLICINA"              DOUBLE PRECISION,
    "NABAVNA_CIJENA"        DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"    DOUBLE PRECISION,
    "RUC_%"                 DOUBLE PRECISION,
    "RUC_IZNOS"             DOUBLE PRECISION,
    "CIJENA_BEZ_RABATA"     DOUBLE PRECISION,
    "VRIJEDNOST_BEZ_RABATA" DOUBLE PRECISION,
    "RABAT_%"               DOUBLE PRECISION,
    "RABAT_IZNOS"           DOUBLE PRECISION,
    "CIJENA_"               DOUBLE PRECISION,
    "VRIJEDNOST_"           DOUBLE PRECISION,
    "GRUPA_POREZA"          TEXT,
    "POREZ_%"               DOUBLE PRECISION,
    "POREZ_IZNOS"           DOUBLE PRECISION,
    "UKUPNO_"               DOUBLE PRECISION,
    "TIP_OPOREZIVANJA"      INTEGER,
    "OPIS"                  TEXT,
    "RBR_STAVKE"            INTEGER
);
CREATE INDEX "IX_STAVKE_RACUNA_DETALJNO_DOK" ON "STAVKE_RACUNA_DETALJNO" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");
CREATE INDEX "IX_STAVKE_RACUNA_DETALJNO_ARTIKAL" ON "STAVKE_RACUNA_DETALJNO" ("SKLADISTE", "GODINA", "SIFRA", "BROJ_PRIMKE");

-- Collections of detailed retail invoices (no customer payment row is written for them until
-- the invoices are summed).
CREATE TABLE "NAPLATA_DETALJNO" (
    "Sifra"          {{AUTO_ID}},
    "Skladište"      INTEGER NOT NULL,
    "IRA"            INTEGER NOT NULL,
    "Godina"         INTEGER NOT NULL,
    "Broj računa"    INTEGER NOT NULL,
    "Tip"            TEXT,
    "Datum"          DATE,
    "Opis dokumenta" TEXT,
    "Iznos"          DOUBLE PRECISION,
    "Tip kartice"    INTEGER,
    "Sifra uplate"   INTEGER
);
CREATE INDEX "IX_NAPLATA_DETALJNO_RACUN" ON "NAPLATA_DETALJNO" ("Skladište", "IRA", "Godina", "Broj računa");
CREATE INDEX "IX_NAPLATA_DETALJNO_DATUM" ON "NAPLATA_DETALJNO" ("Datum");

-- Tokens of the postponed statement groups (DET_ODGODENO in the company file) that have
-- already been applied to this file, so that each group is applied exactly once.
CREATE TABLE "DET_PRIMIJENJENO" (
    "TOKEN" INTEGER PRIMARY KEY
);

-- Lines of the detailed invoices per kind. Views of the company file cannot reach this file,
-- so these views live here and carry no item names: callers join ARTIKLI, USLUGE or AMBALAZA.

CREATE VIEW "STAVKE_RACUNA_ARTIKLI_DETALJNO" AS
SELECT s.*
FROM "STAVKE_RACUNA_DETALJNO" s
WHERE s."TIP_STAVKE" = 'ART';

CREATE VIEW "STAVKE_RACUNA_USLUGE_DETALJNO" AS
SELECT s.*
FROM "STAVKE_RACUNA_DETALJNO" s
WHERE s."TIP_STAVKE" = 'USL';

CREATE VIEW "STAVKE_RACUNA_AMBALAZA_DETALJNO" AS
SELECT s.*
FROM "STAVKE_RACUNA_DETALJNO" s
WHERE s."TIP_STAVKE" IN ('AMB', 'AMP');

-- Facts about the file: IDENTITET names the company whose detail file this is.
CREATE TABLE "DET_META" (
    "Naziv"      TEXT PRIMARY KEY,
    "Vrijednost" TEXT
);
