-- Zodra company file: every table of one company, with keys and indexes.
-- Dialect: identifiers double-quoted and spelled exactly as the program uses them,
-- {{AUTO_ID}} and {{BLOB}} are expanded by the schema loader per engine.
-- No foreign keys are declared: the program guards references itself and imported data carries none.
-- The detailed retail invoices live in the separate detail file (det.sql), attached as schema det.

-- ============================================================================
-- Session, configuration, users and the company record
-- ============================================================================

-- One row per allocated session code. Rows are deleted at program exit, so the code must
-- come from an ever-increasing counter and never be handed out twice.
CREATE TABLE "Multiuser" (
    "SIFRA" {{AUTO_ID}}
);

-- Company settings shared by all workstations. Yes is stored as 'DA'.
CREATE TABLE "Konfiguracija" (
    "Naziv"      TEXT NOT NULL,
    "Vrijednost" TEXT,
    PRIMARY KEY ("Naziv")
);

-- Facts about the file itself (file password hash, schema version and the like).
CREATE TABLE "ZODRA_META" (
    "Naziv"      TEXT NOT NULL,
    "Vrijednost" TEXT,
    PRIMARY KEY ("Naziv")
);

-- Users of this company. Password holds an Argon2id hash string (empty text: no password).
-- Username_kljuc is the case-folded user name, unique, so that two users cannot differ only
-- in letter case. One flag per group of commands, then the three rights kept in the session.
CREATE TABLE "KORISNICI" (
    "Username"                   TEXT NOT NULL,
    "Password"                   TEXT,
    "Username_kljuc"             TEXT NOT NULL,
    "Sifarnici"                  BOOLEAN NOT NULL DEFAULT FALSE,
    "Knjizenje"                  BOOLEAN NOT NULL DEFAULT FALSE,
    "Primka"                     BOOLEAN NOT NULL DEFAULT FALSE,
    "Racun"                      BOOLEAN NOT NULL DEFAULT FALSE,
    "POS"                        BOOLEAN NOT NULL DEFAULT FALSE,
    "Otpremnica"                 BOOLEAN NOT NULL DEFAULT FALSE,
    "Izmjena cijena"             BOOLEAN NOT NULL DEFAULT FALSE,
    "Meduskladisnica"            BOOLEAN NOT NULL DEFAULT FALSE,
    "Povratnica dobavljacu"      BOOLEAN NOT NULL DEFAULT FALSE,
    "Radni nalog"                BOOLEAN NOT NULL DEFAULT FALSE,
    "Radni nalog dorada"         BOOLEAN NOT NULL DEFAULT FALSE,
    "Specifikacija"              BOOLEAN NOT NULL DEFAULT FALSE,
    "Rashod"                     BOOLEAN NOT NULL DEFAULT FALSE,
    "Odjava"                     BOOLEAN NOT NULL DEFAULT FALSE,
    "Ponuda"                     BOOLEAN NOT NULL DEFAULT FALSE,
    "Predracun"                  BOOLEAN NOT NULL DEFAULT FALSE,
    "Narudzbenica"               BOOLEAN NOT NULL DEFAULT FALSE,
    "Rezervacija"                BOOLEAN NOT NULL DEFAULT FALSE,
    "Inventura"                  BOOLEAN NOT NULL DEFAULT FALSE,
    "Dopis"                      BOOLEAN NOT NULL DEFAULT FALSE,
    "Prijenos"                   BOOLEAN NOT NULL DEFAULT FALSE,
    "Promjene"                   BOOLEAN NOT NULL DEFAULT FALSE,
    "URA IRA"                    BOOLEAN NOT NULL DEFAULT FALSE,
    "Obrt"                       BOOLEAN NOT NULL DEFAULT FALSE,
    "Knjiga popisa"              BOOLEAN NOT NULL DEFAULT FALSE,
    "Rekapitulacije"             BOOLEAN NOT NULL DEFAULT FALSE,
    "Blagajnicki izvjestaj"      BOOLEAN NOT NULL DEFAULT FALSE,
    "Kartice artikala"           BOOLEAN NOT NULL DEFAULT FALSE,
    "Prodaja"                    BOOLEAN NOT NULL DEFAULT FALSE,
    "Dodatni ispisi"             BOOLEAN NOT NULL DEFAULT FALSE,
    "Saldakonti kupaca"          BOOLEAN NOT NULL DEFAULT FALSE,
    "Saldakonti dobavljaca"      BOOLEAN NOT NULL DEFAULT FALSE,
    "Grafikoni"                  BOOLEAN NOT NULL DEFAULT FALSE,
    "Cjenici"                    BOOLEAN NOT NULL DEFAULT FALSE,
    "Stanje na skladistu"        BOOLEAN NOT NULL DEFAULT FALSE,
    "Vidljive nabavne cijene"    BOOLEAN NOT NULL DEFAULT FALSE,
    "Dozvoljena promjena cijene" BOOLEAN NOT NULL DEFAULT FALSE,
    "Dozvoljen Z kase"           BOOLEAN NOT NULL DEFAULT FALSE,
    PRIMARY KEY ("Username")
);
CREATE UNIQUE INDEX "IX_KORISNICI_USERNAME_KLJUC" ON "KORISNICI" ("Username_kljuc");

-- The single company record (ID is always 1): the data that heads every printed document,
-- the invoice mark R-1 or R-2, report file names, number format, article list order,
-- automatic backup switch, current year and the logo picture.
CREATE TABLE "PODACI_FIRME" (
    "ID"                   INTEGER NOT NULL,
    "NAZIV"                TEXT,
    "ADRESA"               TEXT,
    "MJESTO"               TEXT,
    "TELEFON"              TEXT,
    "TELEFAX"              TEXT,
    "DJELATNOST"           TEXT,
    "ZIRO_RACUN"           TEXT,
    "EMAIL"                TEXT,
    "URL"                  TEXT,
    "MB/JMBG"              TEXT,
    "OIB"                  TEXT,
    "DIREKTOR"             TEXT,
    "TEKST O REGISTRACIJI" TEXT,
    "POS PORT"             TEXT,
    "OZNAKA_NA_RACUNU"     TEXT,
    "FormatBroj"           TEXT,
    "REPORT VRACUNA"       TEXT,
    "REPORT MRACUNA"       TEXT,
    "REPORT RACUNA VOZILA" TEXT,
    "ARTIKLI"              TEXT,
    "AutoBackup"           BOOLEAN NOT NULL DEFAULT FALSE,
    "AktualnaGodina"       INTEGER,
    "Logo"                 {{BLOB}},
    PRIMARY KEY ("ID")
);

-- Statements for the detail file logged inside a posting of the company file: TOKEN groups
-- the statements of one posting, RBR orders them, PARAMETRI holds their bound values.
-- They are applied to the detail file afterwards exactly once (see DET_PRIMIJENJENO there).
CREATE TABLE "DET_ODGODENO" (
    "ID"        {{AUTO_ID}},
    "TOKEN"     INTEGER NOT NULL,
    "RBR"       INTEGER NOT NULL,
    "SQL"       TEXT NOT NULL,
    "PARAMETRI" TEXT NOT NULL
);
CREATE INDEX "IX_DET_ODGODENO_TOKEN" ON "DET_ODGODENO" ("TOKEN", "RBR");

-- Documents saved unposted (a work order) to be loaded again later. Multiuser_sifra is the
-- session code under which the working lines of the document were kept.
CREATE TABLE "OtvoreniDokumenti" (
    "Skladiste"       INTEGER NOT NULL,
    "Godina"          INTEGER NOT NULL,
    "Dokument"        TEXT NOT NULL,
    "Broj"            INTEGER NOT NULL,
    "Datum"           DATE,
    "Opis"            TEXT,
    "KORISNIK"        TEXT,
    "Multiuser_sifra" INTEGER,
    PRIMARY KEY ("Skladiste", "Godina", "Dokument", "Broj")
);

-- ============================================================================
-- Master data
-- ============================================================================

-- Articles. OPIS is the article code the user sees (shown as Sifra), SIFRA the internal key.
-- BarCodeString is BARKOD encoded for the bar-code font. IZABRAN marks articles picked in
-- multi-choice dialogs, REZERVIRANO the reserved quantity. KPD is the article's product
-- classification code for the e-invoice; empty, the company's default code applies.
CREATE TABLE "ARTIKLI" (
    "SIFRA"           {{AUTO_ID}},
    "NAZIV"           TEXT,
    "OPIS"            TEXT,
    "JED_M"           TEXT,
    "GRUPA_A"         INTEGER,
    "GRUPA_P"         INTEGER,
    "MIN_ZAL"         DOUBLE PRECISION,
    "NAPOMENA"        TEXT,
    "PAKOVANJE"       DOUBLE PRECISION,
    "VALUTA"          INTEGER,
    "CIJENA_U_VALUTI" DOUBLE PRECISION,
    "CARINA%"         DOUBLE PRECISION,
    "BARKOD"          TEXT,
    "BarCodeString"   TEXT,
    "REZERVIRANO"     DOUBLE PRECISION,
    "IZABRAN"         BOOLEAN NOT NULL DEFAULT FALSE,
    "KPD"             TEXT
);
CREATE INDEX "IX_ARTIKLI_NAZIV" ON "ARTIKLI" ("NAZIV");
CREATE INDEX "IX_ARTIKLI_OPIS" ON "ARTIKLI" ("OPIS");
CREATE INDEX "IX_ARTIKLI_BARKOD" ON "ARTIKLI" ("BARKOD");
CREATE INDEX "IX_ARTIKLI_GRUPA_A" ON "ARTIKLI" ("GRUPA_A");
CREATE INDEX "IX_ARTIKLI_GRUPA_P" ON "ARTIKLI" ("GRUPA_P");
CREATE INDEX "IX_ARTIKLI_IZABRAN" ON "ARTIKLI" ("IZABRAN") WHERE "IZABRAN" = TRUE;
-- Article lists and pickers: ordered by the company's article order (name; name - code; code -
-- name) in the Croatian collation, searched by the letter-case-folded display text (zfold). The
-- indexed expressions are exactly the ones the program orders and searches by, so that the first
-- screen, the next page, a group's list and a prefix search seek instead of sorting 50,000 rows.
-- zfold(OPIS) also serves the code look-up and the duplicate check by code, zfold(NAZIV) the
-- duplicate check by name. The keys are ordered character code by character code (on a server in
-- its "C" collation), whatever the database's own collation, as the searches compare them.
CREATE INDEX "IX_ARTIKLI_RED_NAZIV" ON "ARTIKLI" ("NAZIV" COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_RED_NAZIV_OPIS" ON "ARTIKLI" (("NAZIV" || ' - ' || COALESCE("OPIS", '')) COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_RED_OPIS_NAZIV" ON "ARTIKLI" ((COALESCE("OPIS", '') || ' - ' || "NAZIV") COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_GRUPA_RED_NAZIV" ON "ARTIKLI" ("GRUPA_A", "NAZIV" COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_GRUPA_RED_NAZIV_OPIS" ON "ARTIKLI" ("GRUPA_A", ("NAZIV" || ' - ' || COALESCE("OPIS", '')) COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_GRUPA_RED_OPIS_NAZIV" ON "ARTIKLI" ("GRUPA_A", (COALESCE("OPIS", '') || ' - ' || "NAZIV") COLLATE "HR");
CREATE INDEX "IX_ARTIKLI_KLJUC_NAZIV" ON "ARTIKLI" (zfold("NAZIV"){{BYTEWISE}});
CREATE INDEX "IX_ARTIKLI_KLJUC_OPIS" ON "ARTIKLI" (zfold("OPIS"){{BYTEWISE}});
CREATE INDEX "IX_ARTIKLI_KLJUC_NAZIV_OPIS" ON "ARTIKLI" (zfold("NAZIV" || ' - ' || COALESCE("OPIS", '')){{BYTEWISE}});
CREATE INDEX "IX_ARTIKLI_KLJUC_OPIS_NAZIV" ON "ARTIKLI" (zfold(COALESCE("OPIS", '') || ' - ' || "NAZIV"){{BYTEWISE}});

-- Services.
CREATE TABLE "USLUGE" (
    "SIFRA"           {{AUTO_ID}},
    "NAZIV"           TEXT,
    "JED_M"           TEXT,
    "CIJENA"          DOUBLE PRECISION,
    "GRUPA_P"         INTEGER,
    "TRAJANJE_MINUTA" DOUBLE PRECISION,
    "IZABRAN"         BOOLEAN NOT NULL DEFAULT FALSE
);
CREATE INDEX "IX_USLUGE_NAZIV" ON "USLUGE" ("NAZIV");

-- Returnable packaging.
CREATE TABLE "AMBALAZA" (
    "SIFRA"  {{AUTO_ID}},
    "NAZIV"  TEXT,
    "JED_M"  TEXT,
    "CIJENA" DOUBLE PRECISION,
    "BARKOD" TEXT
);
CREATE INDEX "IX_AMBALAZA_NAZIV" ON "AMBALAZA" ("NAZIV");

-- Packaging that goes with one unit of an article.
CREATE TABLE "ARTIKLI_AMBALAZA" (
    "Artikal"  INTEGER NOT NULL,
    "AMBALAZA" INTEGER NOT NULL,
    "KOLICINA" DOUBLE PRECISION,
    PRIMARY KEY ("Artikal", "AMBALAZA")
);

-- Customers and suppliers. CJENIK is the price list of the customer (0 or empty: none),
-- NACIN_ISPORUKE the usual delivery method (NACINI_ISPORUKE), ODGODA the payment delay in days.
CREATE TABLE "PARTNERI" (
    "SIFRA"          {{AUTO_ID}},
    "NAZIV"          TEXT,
    "ADRESA"         TEXT,
    "MJESTO"         TEXT,
    "TELEFON"        TEXT,
    "OIB"            TEXT,
    "MB/JMBG"        TEXT,
    "ZIRO_RACUN"     TEXT,
    "OSTALO"         TEXT,
    "RABAT"          DOUBLE PRECISION DEFAULT 0,
    "ODGODA"         INTEGER DEFAULT 15,
    "Kupac"          BOOLEAN NOT NULL DEFAULT FALSE,
    "Dobavljac"      BOOLEAN NOT NULL DEFAULT FALSE,
    "CJENIK"         INTEGER DEFAULT 0,
    "NACIN_ISPORUKE" INTEGER,
    "IZABRAN"        BOOLEAN NOT NULL DEFAULT FALSE
);
CREATE INDEX "IX_PARTNERI_NAZIV" ON "PARTNERI" ("NAZIV");
CREATE INDEX "IX_PARTNERI_OIB" ON "PARTNERI" ("OIB");
-- Partner lists in Croatian order and the duplicate check by name with letter case folded.
CREATE INDEX "IX_PARTNERI_RED_NAZIV" ON "PARTNERI" ("NAZIV" COLLATE "HR");
CREATE INDEX "IX_PARTNERI_KLJUC_NAZIV" ON "PARTNERI" (zfold("NAZIV"){{BYTEWISE}});

-- Warehouses with the flags copied into the session when a warehouse is chosen.
-- SKLADISTE_ZALIHA: warehouse whose stock invoice windows draw on,
-- SKLADISTE_AUTOM_RN: warehouse of the automatic work orders of the register.
CREATE TABLE "SKLADISTA" (
    "SIFRA"                 {{AUTO_ID}},
    "NAZIV"                 TEXT,
    "ADRESA"                TEXT,
    "TELEFON"               TEXT,
    "MALOPRODAJA"           BOOLEAN NOT NULL DEFAULT FALSE,
    "KOMISIJSKO_SKLADISTE"  BOOLEAN NOT NULL DEFAULT FALSE,
    "DOZVOLJENI_SVI_RACUNI" BOOLEAN NOT NULL DEFAULT FALSE,
    "CijeneValuta"          BOOLEAN NOT NULL DEFAULT FALSE,
    "SKLADISTE_ZALIHA"      INTEGER,
    "SKLADISTE_AUTOM_RN"    INTEGER
);
CREATE INDEX "IX_SKLADISTA_NAZIV" ON "SKLADISTA" ("NAZIV");

-- Article groups with their default wholesale and retail margins (percent).
CREATE TABLE "GRUPE_A" (
    "SIFRA"              {{AUTO_ID}},
    "NAZIV"              TEXT,
    "VELEPRODAJNA_MARZA" DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA" DOUBLE PRECISION
);

-- Tax groups. STOPA is the rate in percent. PDV_VRSTA is the kind of supply (PDV_VRSTE) the
-- group's sales are reported as: the line of the VAT return and the column of the invoice books.
CREATE TABLE "GRUPE_POREZA" (
    "SIFRA"     {{AUTO_ID}},
    "NAZIV"     TEXT,
    "STOPA"     DOUBLE PRECISION,
    "PDV_VRSTA" INTEGER
);

-- Kinds of supply a tax group can be set to. VRSTA: 1 taxable, 2 exempt, 3 export, 4 supply
-- within the EU, 5 domestic reverse charge. REDAK is the output line of the current VAT return
-- (the input line of a taxable kind is REDAK + 100), STOPA the rate of a taxable kind.
CREATE TABLE "PDV_VRSTE" (
    "SIFRA" INTEGER NOT NULL,
    "NAZIV" TEXT,
    "VRSTA" INTEGER NOT NULL,
    "REDAK" INTEGER NOT NULL,
    "STOPA" DOUBLE PRECISION,
    PRIMARY KEY ("SIFRA")
);

-- Sales terms. Code 1 is retail. TIP_OPOREZIVANJA: 7, 8, 9, 13 and 14 carry no tax,
-- 10 taxable to businesses, 12 taxable final consumption. Terms with SAMOSTALNA_NUMERACIJA
-- number their invoices on their own, starting at POCETNI_BR_RACUNA.
CREATE TABLE "UVJETI_PRODAJE" (
    "SIFRA"                 {{AUTO_ID}},
    "NAZIV"                 TEXT,
    "TIP_OPOREZIVANJA"      INTEGER,
    "SAMOSTALNA_NUMERACIJA" BOOLEAN NOT NULL DEFAULT FALSE,
    "POCETNI_BR_RACUNA"     INTEGER DEFAULT 1
);

-- Delivery methods.
CREATE TABLE "NACINI_ISPORUKE" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Payment methods printed on invoices.
CREATE TABLE "NACINI_PLACANJA" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Credit card types.
CREATE TABLE "TIPOVI_KARTICA" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Employees (assigned to invoice lines).
CREATE TABLE "DJELATNICI" (
    "SIFRA" {{AUTO_ID}},
    "IME"   TEXT
);
CREATE INDEX "IX_DJELATNICI_IME" ON "DJELATNICI" ("IME");

-- Further bank accounts of the company. NAZIV is the account as printed.
CREATE TABLE "ZIRO_RACUNI" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT,
    "BANKA" TEXT
);

-- Output invoice books. Book 1 is the retail book. SKIDA: invoices of the book take goods
-- out of stock. TekstIspis is printed on the invoices of the book.
CREATE TABLE "KNJIGE_IRA" (
    "SIFRA"      {{AUTO_ID}},
    "NAZIV"      TEXT,
    "TekstIspis" TEXT,
    "SKIDA"      BOOLEAN NOT NULL DEFAULT FALSE
);

-- Input invoice books. Books 4 (import) and 5 (foreign services) feed special VAT lines.
CREATE TABLE "KNJIGE_URA" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Currencies. Currency 1 is the home currency.
CREATE TABLE "VALUTE" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Exchange rate of a currency on a day.
CREATE TABLE "VALUTE_TECAJ" (
    "SIFRA" INTEGER NOT NULL,
    "DATUM" DATE NOT NULL,
    "TECAJ" DOUBLE PRECISION,
    PRIMARY KEY ("SIFRA", "DATUM")
);

-- Price lists of customers.
CREATE TABLE "CJENICI" (
    "SIFRA" {{AUTO_ID}},
    "NAZIV" TEXT
);

-- Net price of an article on a price list, in the currency VALUTA.
CREATE TABLE "CJENICI_STAVKE_CIJENA" (
    "SIFRA_CJENIKA" INTEGER NOT NULL,
    "SIFRA_ARTIKLA" INTEGER NOT NULL,
    "CIJENA"        DOUBLE PRECISION,
    "VALUTA"        INTEGER,
    PRIMARY KEY ("SIFRA_CJENIKA", "SIFRA_ARTIKLA")
);

-- Discount of a price list for an article group. CijenaValuta: the group is priced from the
-- price in currency of the article. The row 0/0 holds the default discount.
CREATE TABLE "CJENICI_STAVKE_RABATA" (
    "SIFRA_CJENIKA"        INTEGER NOT NULL,
    "SIFRA_GRUPE_ARTIKALA" INTEGER NOT NULL,
    "RABAT"                DOUBLE PRECISION,
    "CijenaValuta"         BOOLEAN NOT NULL DEFAULT FALSE,
    PRIMARY KEY ("SIFRA_CJENIKA", "SIFRA_GRUPE_ARTIKALA")
);

-- Bills of materials: one per product article.
CREATE TABLE "SASTAVNICE" (
    "SIFRA_SASTAVNICE" {{AUTO_ID}},
    "SIFRA_ARTIKLA"    INTEGER
);
CREATE INDEX "IX_SASTAVNICE_ARTIKAL" ON "SASTAVNICE" ("SIFRA_ARTIKLA");

-- Parts of one unit of the product. BROJ_PRIMKE names a fixed lot to take the part from
-- (empty: any lot with stock).
CREATE TABLE "STAVKE_SASTAVNICA" (
    "SIFRA_SASTAVNICE" INTEGER NOT NULL,
    "SIFRA_DIJELA"     INTEGER NOT NULL,
    "KOLICINA"         DOUBLE PRECISION,
    "BROJ_PRIMKE"      INTEGER,
    PRIMARY KEY ("SIFRA_SASTAVNICE", "SIFRA_DIJELA")
);

-- Production costs of one unit of the product (VRIJEDNOST = KOLICINA x CIJENA).
CREATE TABLE "STAVKE_SASTAVNICA_TROSKOVI" (
    "SIFRA"            {{AUTO_ID}},
    "SIFRA_SASTAVNICE" INTEGER NOT NULL,
    "OPIS"             TEXT,
    "KOLICINA"         DOUBLE PRECISION,
    "CIJENA"           DOUBLE PRECISION,
    "VRIJEDNOST"       DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_SASTAVNICA_TROSKOVI_SASTAVNICA" ON "STAVKE_SASTAVNICA_TROSKOVI" ("SIFRA_SASTAVNICE");

-- Vehicle data of an article that is a vehicle (the row exists only for vehicles).
-- A VRSTA_VOZILA containing 'Polovno' marks a used vehicle sold under margin taxation.
CREATE TABLE "ARTIKLI_VOZILA" (
    "SIFRA"              INTEGER NOT NULL,
    "VRSTA_VOZILA"       TEXT,
    "MARKA"              TEXT,
    "MODEL"              TEXT,
    "BROJ_SASIJE"        TEXT,
    "BROJ_MOTORA"        TEXT,
    "GODINA_PROIZVODNJE" INTEGER,
    "BOJA"               TEXT,
    "NAPOMENA"           TEXT,
    PRIMARY KEY ("SIFRA")
);

-- Extra data fields asked for when an article is put on an invoice (answers go to
-- STAVKE_RACUNA_DODATNI_PODACI). Sifra is the article, Rbr the order of the fields.
CREATE TABLE "ARTIKLI_KONFIGURACIJA_DODATNI_PODACI" (
    "Sifra" INTEGER NOT NULL,
    "Rbr"   INTEGER NOT NULL,
    "Naziv" TEXT,
    PRIMARY KEY ("Sifra", "Rbr")
);

-- Articles (and quantities) consumed by one unit of a service.
CREATE TABLE "USLUGE_SPECIFIKACIJA_ARTIKALA" (
    "SIFRA_USLUGE"  INTEGER NOT NULL,
    "SIFRA_ARTIKLA" INTEGER NOT NULL,
    "KOLICINA"      DOUBLE PRECISION,
    PRIMARY KEY ("SIFRA_USLUGE", "SIFRA_ARTIKLA")
);

-- Product declaration printed on labels, one per article.
CREATE TABLE "DEKLARACIJE" (
    "SIFRA"            INTEGER NOT NULL,
    "PROIZVODAC"       TEXT,
    "UVOZNIK"          TEXT,
    "ZEMLJA_PORIJEKLA" TEXT,
    "OPIS"             TEXT,
    PRIMARY KEY ("SIFRA")
);

-- Ready-made additional texts offered in the invoice header.
CREATE TABLE "DODATNI_TEKSTOVI_ZA_RACUNE" (
    "SIFRA" {{AUTO_ID}},
    "TEKST" TEXT
);

-- ============================================================================
-- Stock: purchase lots and trade books
-- ============================================================================

-- Purchase lots. One row per warehouse, year, lot and article. Under FIFO the lot number is
-- the receipt that created it, under the pooled methods it is 0 (one lot per article).
-- KOLICINA: quantity of posted documents, KOLICINA_PRIVREMENO: quantity still free while
-- working copies are open. Prices are unit prices without tax.
CREATE TABLE "NABAVE" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_PRIMKE"         INTEGER NOT NULL,
    "SIFRA_ARTIKLA"       INTEGER NOT NULL,
    "KOLICINA"            DOUBLE PRECISION NOT NULL DEFAULT 0,
    "KOLICINA_PRIVREMENO" DOUBLE PRECISION NOT NULL DEFAULT 0,
    "NABAVNA CIJENA"      DOUBLE PRECISION NOT NULL DEFAULT 0,
    "VELEPRODAJNA CIJENA" DOUBLE PRECISION NOT NULL DEFAULT 0,
    "MALOPRODAJNA_MARZA"  DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_PRIMKE", "SIFRA_ARTIKLA")
);
-- Lots of one article in lot order: stock queries, the default lot, lot lists.
CREATE INDEX "IX_NABAVE_ARTIKAL" ON "NABAVE" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");

-- Wholesale trade book: one entry per posted stock document (and direct entries).
-- RBR is the entry number within warehouse and year, stored on the document as RBR_TK,
-- and orders all stock movements in time. STANJE_ROBE is the running balance.
CREATE TABLE "TRGOVACKA_KNJIGA_VELEPRODAJE" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "RBR"                INTEGER NOT NULL,
    "TIP_DOKUMENTA"      TEXT,
    "BROJ_DOKUMENTA"     INTEGER,
    "DATUM"              DATE,
    "OPIS"               TEXT,
    "NABAVA_VRIJEDNOST"  DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_VRIJEDNOST" DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_POREZ"      DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_UKUPNO"     DOUBLE PRECISION DEFAULT 0,
    "STANJE_ROBE"        DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "GODINA", "RBR")
);
CREATE INDEX "SKLADISTE_TIP_GODINA_BROJ" ON "TRGOVACKA_KNJIGA_VELEPRODAJE" ("SKLADISTE", "TIP_DOKUMENTA", "GODINA", "BROJ_DOKUMENTA");
CREATE INDEX "IX_TRGOVACKA_KNJIGA_VELEPRODAJE_DATUM" ON "TRGOVACKA_KNJIGA_VELEPRODAJE" ("SKLADISTE", "GODINA", "DATUM");

-- Retail trade book, filled by direct entries.
CREATE TABLE "TRGOVACKA_KNJIGA_MALOPRODAJE" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "RBR"                INTEGER NOT NULL,
    "TIP_DOKUMENTA"      TEXT,
    "BROJ_DOKUMENTA"     INTEGER,
    "DATUM"              DATE,
    "OPIS"               TEXT,
    "NABAVA_VRIJEDNOST"  DOUBLE PRECISION DEFAULT 0,
    "NABAVA_POREZ"       DOUBLE PRECISION DEFAULT 0,
    "NABAVA_UKUPNO"      DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_VRIJEDNOST" DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_POREZ"      DOUBLE PRECISION DEFAULT 0,
    "PRODAJA_UKUPNO"     DOUBLE PRECISION DEFAULT 0,
    "STANJE_ROBE"        DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "GODINA", "RBR")
);
CREATE INDEX "SKLADISTE_TIP_GODINA_BROJ_MP" ON "TRGOVACKA_KNJIGA_MALOPRODAJE" ("SKLADISTE", "TIP_DOKUMENTA", "GODINA", "BROJ_DOKUMENTA");
CREATE INDEX "IX_TRGOVACKA_KNJIGA_MALOPRODAJE_DATUM" ON "TRGOVACKA_KNJIGA_MALOPRODAJE" ("SKLADISTE", "GODINA", "DATUM");

-- ============================================================================
-- Goods receipts
-- ============================================================================
-- Lines are copied between a line table and its working copy by column position, so the
-- column order of every line table is fixed and its working copy repeats it exactly,
-- followed by Multiuser_sifra (the session code). Working copies carry no primary key.

-- Goods receipt headers. TIP_PRIMKE selects the numbering range: 1 entered by hand (from 1),
-- 2 generated by transfers and sales documents (from 100001), 3 from work orders (from 200001).
-- SkladisnaMetoda is the stock method in force at posting. IZMJENA_CIJENA is the price change
-- the receipt generated under the last-price method. STORNO_ZA_PRIMKU is set on a cancelling
-- (negating) receipt: the number of the receipt it cancels, so that a receipt is cancelled once.
CREATE TABLE "PRIMKE" (
    "SKLADISTE"                  INTEGER NOT NULL,
    "GODINA"                     INTEGER NOT NULL,
    "BROJ PRIMKE"                INTEGER NOT NULL,
    "DATUM"                      DATE,
    "SIFRA DOBAVLJACA"           INTEGER,
    "DOKUMENT DOBAVLJACA"        TEXT,
    "DATUM DOKUMENTA DOBAVLJACA" DATE,
    "RBR_TK"                     INTEGER,
    "SkladisnaMetoda"            TEXT,
    "VALUTA"                     INTEGER,
    "DATUM_VALUTE"               DATE,
    "TIP_PRIMKE"                 INTEGER NOT NULL DEFAULT 1,
    "IZMJENA_CIJENA"             INTEGER,
    "OPIS"                       TEXT,
    "SITUACIJA"                  INTEGER,
    "STORNO_ZA_PRIMKU"           INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ PRIMKE")
);
CREATE INDEX "IX_PRIMKE_STORNO" ON "PRIMKE" ("SKLADISTE", "GODINA", "STORNO_ZA_PRIMKU") WHERE "STORNO_ZA_PRIMKU" IS NOT NULL;
CREATE INDEX "IX_PRIMKE_TIP" ON "PRIMKE" ("SKLADISTE", "GODINA", "TIP_PRIMKE", "BROJ PRIMKE");
CREATE INDEX "IX_PRIMKE_RBR_TK" ON "PRIMKE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_PRIMKE_DATUM" ON "PRIMKE" ("SKLADISTE", "GODINA", "DATUM");
CREATE INDEX "IX_PRIMKE_DOBAVLJAC" ON "PRIMKE" ("SIFRA DOBAVLJACA");

-- Receipt lines. TIP_STAVKE 'ART' article, 'AMB' and 'AMP' packaging. The tax group name and
-- rate are completed from the article after posting.
CREATE TABLE "STAVKE_PRIMKI" (
    "SKLADISTE"                 INTEGER NOT NULL,
    "GODINA"                    INTEGER NOT NULL,
    "BROJ_PRIMKE"               INTEGER NOT NULL,
    "TIP_STAVKE"                TEXT NOT NULL,
    "SIFRA"                     INTEGER NOT NULL,
    "KOLICINA"                  DOUBLE PRECISION,
    "FAKTURNA_CIJENA"           DOUBLE PRECISION,
    "FAKTURNA_VRIJEDNOST"       DOUBLE PRECISION,
    "RABAT_%"                   DOUBLE PRECISION,
    "RABAT_IZNOS"               DOUBLE PRECISION,
    "NETTO_FAKTURNA_CIJENA"     DOUBLE PRECISION,
    "NETTO_FAKTURNA_VRIJEDNOST" DOUBLE PRECISION,
    "CARINA_%"                  DOUBLE PRECISION,
    "CARINA_IZNOS"              DOUBLE PRECISION,
    "SPEDICIJA_%"               DOUBLE PRECISION,
    "SPEDICIJA_IZNOS"           DOUBLE PRECISION,
    "ZTR_%"                     DOUBLE PRECISION,
    "ZTR_IZNOS"                 DOUBLE PRECISION,
    "NABAVNA_CIJENA"            DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"        DOUBLE PRECISION,
    "RUC_%"                     DOUBLE PRECISION,
    "RUC_IZNOS"                 DOUBLE PRECISION,
    "CIJENA"                    DOUBLE PRECISION,
    "VRIJEDNOST"                DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA"        DOUBLE PRECISION,
    "RBR_STAVKE"                INTEGER,
    "GRUPA_POREZA"              TEXT,
    "POREZ_%"                   DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_PRIMKI_DOK" ON "STAVKE_PRIMKI" ("SKLADISTE", "GODINA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_PRIMKI_ARTIKAL" ON "STAVKE_PRIMKI" ("SKLADISTE", "GODINA", "SIFRA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_PRIMKI_BEZ_POREZA" ON "STAVKE_PRIMKI" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

-- Working copy of receipt lines (also the product lines of a work order being drawn up).
CREATE TABLE "STAVKE_PRIMKE_PRIVREMENO" (
    "SKLADISTE"                 INTEGER,
    "GODINA"                    INTEGER,
    "BROJ_PRIMKE"               INTEGER,
    "TIP_STAVKE"                TEXT,
    "SIFRA"                     INTEGER,
    "KOLICINA"                  DOUBLE PRECISION,
    "FAKTURNA_CIJENA"           DOUBLE PRECISION,
    "FAKTURNA_VRIJEDNOST"       DOUBLE PRECISION,
    "RABAT_%"                   DOUBLE PRECISION,
    "RABAT_IZNOS"               DOUBLE PRECISION,
    "NETTO_FAKTURNA_CIJENA"     DOUBLE PRECISION,
    "NETTO_FAKTURNA_VRIJEDNOST" DOUBLE PRECISION,
    "CARINA_%"                  DOUBLE PRECISION,
    "CARINA_IZNOS"              DOUBLE PRECISION,
    "SPEDICIJA_%"               DOUBLE PRECISION,
    "SPEDICIJA_IZNOS"           DOUBLE PRECISION,
    "ZTR_%"                     DOUBLE PRECISION,
    "ZTR_IZNOS"                 DOUBLE PRECISION,
    "NABAVNA_CIJENA"            DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"        DOUBLE PRECISION,
    "RUC_%"                     DOUBLE PRECISION,
    "RUC_IZNOS"                 DOUBLE PRECISION,
    "CIJENA"                    DOUBLE PRECISION,
    "VRIJEDNOST"                DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA"        DOUBLE PRECISION,
    "RBR_STAVKE"                INTEGER,
    "GRUPA_POREZA"              TEXT,
    "POREZ_%"                   DOUBLE PRECISION,
    "Multiuser_sifra"           INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_PRIMKE_PRIVREMENO_MS" ON "STAVKE_PRIMKE_PRIVREMENO" ("Multiuser_sifra");

-- Working copy of the receipt generated by a retail transfer.
CREATE TABLE "STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO" (
    "SKLADISTE"                 INTEGER,
    "GODINA"                    INTEGER,
    "BROJ_PRIMKE"               INTEGER,
    "TIP_STAVKE"                TEXT,
    "SIFRA"                     INTEGER,
    "KOLICINA"                  DOUBLE PRECISION,
    "FAKTURNA_CIJENA"           DOUBLE PRECISION,
    "FAKTURNA_VRIJEDNOST"       DOUBLE PRECISION,
    "RABAT_%"                   DOUBLE PRECISION,
    "RABAT_IZNOS"               DOUBLE PRECISION,
    "NETTO_FAKTURNA_CIJENA"     DOUBLE PRECISION,
    "NETTO_FAKTURNA_VRIJEDNOST" DOUBLE PRECISION,
    "CARINA_%"                  DOUBLE PRECISION,
    "CARINA_IZNOS"              DOUBLE PRECISION,
    "SPEDICIJA_%"               DOUBLE PRECISION,
    "SPEDICIJA_IZNOS"           DOUBLE PRECISION,
    "ZTR_%"                     DOUBLE PRECISION,
    "ZTR_IZNOS"                 DOUBLE PRECISION,
    "NABAVNA_CIJENA"            DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"        DOUBLE PRECISION,
    "RUC_%"                     DOUBLE PRECISION,
    "RUC_IZNOS"                 DOUBLE PRECISION,
    "CIJENA"                    DOUBLE PRECISION,
    "VRIJEDNOST"                DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA"        DOUBLE PRECISION,
    "RBR_STAVKE"                INTEGER,
    "GRUPA_POREZA"              TEXT,
    "POREZ_%"                   DOUBLE PRECISION,
    "Multiuser_sifra"           INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO_MS" ON "STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO" ("Multiuser_sifra");

-- Dependent-cost items of a receipt, printed with it.
CREATE TABLE "PRIMKE_ZAVISNI_TROSKOVI" (
    "SKLADISTE"   INTEGER NOT NULL,
    "GODINA"      INTEGER NOT NULL,
    "BROJ PRIMKE" INTEGER NOT NULL,
    "RBR"         INTEGER NOT NULL,
    "Opis"        TEXT,
    "Iznos"       DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ PRIMKE", "RBR")
);

-- ============================================================================
-- Invoices, offers, pro-formas and delivery notes
-- ============================================================================

-- Invoice headers, keyed by warehouse, output invoice book, year and number.
-- SKIDA: the invoice took goods out of stock, NAKNADNO_SKIDANJE: stock is to be taken at day end,
-- SUMARNI: a summary of detailed retail invoices. STORNO with DATUM_STORNA, STORNO_RBR_TK
-- (trade-book entry of the cancellation) and RBR_STORNO_DOKUMENTA marks a cancelled invoice.
-- RBR_IRA and RBR_IRA_STORNO are positions in the output invoice book.
CREATE TABLE "RACUNI" (
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
    "VALUTA"                       INTEGER,
    "TECAJ"                        DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "IRA", "GODINA", "BROJ RACUNA")
);
CREATE INDEX "IX_RACUNI_NUMERACIJA" ON "RACUNI" ("SKLADISTE", "IRA", "GODINA", "UVJET PRODAJE", "BROJ RACUNA");
CREATE INDEX "IX_RACUNI_RBR_TK" ON "RACUNI" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_RACUNI_STORNO_RBR_TK" ON "RACUNI" ("SKLADISTE", "GODINA", "STORNO_RBR_TK") WHERE "STORNO_RBR_TK" IS NOT NULL;
CREATE INDEX "IX_RACUNI_DATUM" ON "RACUNI" ("SKLADISTE", "GODINA", "DATUM");
-- The invoices cancelled on a day (the retail turnover report's cancellations): a seek, not a
-- scan of every invoice of the company.
CREATE INDEX "IX_RACUNI_STORNO_DATUM" ON "RACUNI" ("SKLADISTE", "GODINA", "DATUM_STORNA") WHERE "STORNO" = TRUE;
CREATE INDEX "IX_RACUNI_PARTNER" ON "RACUNI" ("SIFRA PARTNERA");
CREATE INDEX "IX_RACUNI_NAKNADNO" ON "RACUNI" ("SKLADISTE", "GODINA") WHERE "NAKNADNO_SKIDANJE" = TRUE;

-- Invoice lines: 'ART' articles (with their lot), 'USL' services, 'AMB'/'AMP' packaging.
-- CIJENA_SKLADISTA is the selling price without tax of the lot when the goods left it (after the
-- price change the posting generated): the article card values the movement at it, and a
-- cancellation finds the lot still at it.
CREATE TABLE "STAVKE_RACUNA" (
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
    "RBR_STAVKE"            INTEGER,
    "CIJENA_SKLADISTA"      DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_RACUNA_DOK" ON "STAVKE_RACUNA" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");
-- Lines of an item: the delete guards of articles and services look for it in any warehouse,
-- the article card in a warehouse and year by lot. One index for both, so that a posted line
-- dirties one scattered index page, not two.
CREATE INDEX "IX_STAVKE_RACUNA_STAVKA" ON "STAVKE_RACUNA" ("SIFRA", "SKLADISTE", "GODINA", "BROJ_PRIMKE");

-- Working copy shared by invoices, offers, pro-formas and delivery notes (delivery notes fill
-- IRA and BROJ_RACUNA too and map them at posting).
CREATE TABLE "STAVKE_RACUNA_PRIVREMENO" (
    "SKLADISTE"             INTEGER,
    "IRA"                   INTEGER,
    "GODINA"                INTEGER,
    "BROJ_RACUNA"           INTEGER,
    "TIP_STAVKE"            TEXT,
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
    "RBR_STAVKE"            INTEGER,
    "CIJENA_SKLADISTA"      DOUBLE PRECISION,
    "Multiuser_sifra"       INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RACUNA_PRIVREMENO_MS" ON "STAVKE_RACUNA_PRIVREMENO" ("Multiuser_sifra");

-- Answers to the extra data fields of an article on an invoice line.
CREATE TABLE "STAVKE_RACUNA_DODATNI_PODACI" (
    "SKLADISTE"   INTEGER NOT NULL,
    "IRA"         INTEGER NOT NULL,
    "GODINA"      INTEGER NOT NULL,
    "BROJ_RACUNA" INTEGER NOT NULL,
    "TIP_STAVKE"  TEXT,
    "SIFRA"       INTEGER,
    "BROJ_PRIMKE" INTEGER,
    "RBR"         INTEGER,
    "NAZIV"       TEXT,
    "VRIJEDNOST"  TEXT
);
CREATE INDEX "IX_STAVKE_RACUNA_DODATNI_PODACI_DOK" ON "STAVKE_RACUNA_DODATNI_PODACI" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");

CREATE TABLE "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO" (
    "SKLADISTE"       INTEGER,
    "IRA"             INTEGER,
    "GODINA"          INTEGER,
    "BROJ_RACUNA"     INTEGER,
    "TIP_STAVKE"      TEXT,
    "SIFRA"           INTEGER,
    "BROJ_PRIMKE"     INTEGER,
    "RBR"             INTEGER,
    "NAZIV"           TEXT,
    "VRIJEDNOST"      TEXT,
    "Multiuser_sifra" INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO_MS" ON "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO" ("Multiuser_sifra");

-- Employees who worked on an invoice line.
CREATE TABLE "STAVKE_RACUNA_DJELATNICI" (
    "SKLADISTE"   INTEGER NOT NULL,
    "IRA"         INTEGER NOT NULL,
    "GODINA"      INTEGER NOT NULL,
    "BROJ_RACUNA" INTEGER NOT NULL,
    "TIP_STAVKE"  TEXT,
    "SIFRA"       INTEGER,
    "BROJ_PRIMKE" INTEGER,
    "DJELATNIK"   INTEGER
);
CREATE INDEX "IX_STAVKE_RACUNA_DJELATNICI_DOK" ON "STAVKE_RACUNA_DJELATNICI" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");
CREATE INDEX "IX_STAVKE_RACUNA_DJELATNICI_DJELATNIK" ON "STAVKE_RACUNA_DJELATNICI" ("DJELATNIK");

CREATE TABLE "STAVKE_RACUNA_DJELATNICI_PRIVREMENO" (
    "SKLADISTE"       INTEGER,
    "IRA"             INTEGER,
    "GODINA"          INTEGER,
    "BROJ_RACUNA"     INTEGER,
    "TIP_STAVKE"      TEXT,
    "SIFRA"           INTEGER,
    "BROJ_PRIMKE"     INTEGER,
    "DJELATNIK"       INTEGER,
    "Multiuser_sifra" INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RACUNA_DJELATNICI_PRIVREMENO_MS" ON "STAVKE_RACUNA_DJELATNICI_PRIVREMENO" ("Multiuser_sifra");

-- Offer headers: the invoice header fields. DOSPIJECE RACUNA is the validity date, STORNO marks a realized offer.
CREATE TABLE "PONUDE" (
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
CREATE INDEX "IX_PONUDE_DATUM" ON "PONUDE" ("SKLADISTE", "GODINA", "DATUM");

-- Offer lines.
CREATE TABLE "STAVKE_PONUDA" (
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
CREATE INDEX "IX_STAVKE_PONUDA_DOK" ON "STAVKE_PONUDA" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");

-- Pro-forma invoice headers: the invoice header fields. DOSPIJECE RACUNA is the validity date.
CREATE TABLE "PREDRACUNI" (
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
CREATE INDEX "IX_PREDRACUNI_DATUM" ON "PREDRACUNI" ("SKLADISTE", "GODINA", "DATUM");

-- Pro-forma invoice lines.
CREATE TABLE "STAVKE_PREDRACUNA" (
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
CREATE INDEX "IX_STAVKE_PREDRACUNA_DOK" ON "STAVKE_PREDRACUNA" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");

-- Delivery note headers. SKLADISTE_RACUNA, IRA_RACUNA, GODINA_RACUNA and BROJ_RACUNA name the
-- invoice the note was billed on (empty while the note is open).
CREATE TABLE "OTPREMNICE" (
    "SKLADISTE"                    INTEGER NOT NULL,
    "GODINA"                       INTEGER NOT NULL,
    "BROJ_OTPREMNICE"              INTEGER NOT NULL,
    "DATUM"                        DATE,
    "SIFRA_PARTNERA"               INTEGER,
    "UVJET PRODAJE"                INTEGER,
    "ISPORUKA NAZIV"               TEXT,
    "ISPORUKA ADRESA"              TEXT,
    "ISPORUKA MJESTO"              TEXT,
    "DATUM ISPORUKE"               DATE,
    "NACIN ISPORUKE"               TEXT,
    "ROBU PREUZEO"                 TEXT,
    "NARUDZBENICA"                 TEXT,
    "DODATNI TEKST"                TEXT,
    "IZMJENA_CIJENA"               INTEGER,
    "MALOPRODAJNA_MEDUSKLADISNICA" INTEGER,
    "MALOPRODAJNA_PRIMKA"          INTEGER,
    "SITUACIJA"                    INTEGER,
    "RBR_TK"                       INTEGER,
    "SKLADISTE_RACUNA"             INTEGER,
    "IRA_RACUNA"                   INTEGER,
    "GODINA_RACUNA"                INTEGER,
    "BROJ_RACUNA"                  INTEGER,
    "KORISNIK"                     TEXT,
    "DATUM_I_VRIJEME_KNJIZENJA"    TIMESTAMP,
    "OPIS"                         TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_OTPREMNICE")
);
CREATE INDEX "IX_OTPREMNICE_RBR_TK" ON "OTPREMNICE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_OTPREMNICE_DATUM" ON "OTPREMNICE" ("SKLADISTE", "GODINA", "DATUM");
CREATE INDEX "IX_OTPREMNICE_RACUN" ON "OTPREMNICE" ("SKLADISTE_RACUNA", "IRA_RACUNA", "GODINA_RACUNA", "BROJ_RACUNA");
CREATE INDEX "IX_OTPREMNICE_OTVORENE" ON "OTPREMNICE" ("SKLADISTE", "SIFRA_PARTNERA") WHERE "BROJ_RACUNA" IS NULL;

-- Delivery note lines: the invoice line without IRA, numbered by BROJ_OTPREMNICE. CIJENA_SKLADISTA
-- is the lot's selling price when the goods left it, as on invoice lines.
CREATE TABLE "STAVKE_OTPREMNICA" (
    "SKLADISTE"             INTEGER NOT NULL,
    "GODINA"                INTEGER NOT NULL,
    "BROJ_OTPREMNICE"       INTEGER NOT NULL,
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
    "RBR_STAVKE"            INTEGER,
    "CIJENA_SKLADISTA"      DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_OTPREMNICA_DOK" ON "STAVKE_OTPREMNICA" ("SKLADISTE", "GODINA", "BROJ_OTPREMNICE");
CREATE INDEX "IX_STAVKE_OTPREMNICA_ARTIKAL" ON "STAVKE_OTPREMNICA" ("SKLADISTE", "GODINA", "SIFRA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_OTPREMNICA_BEZ_POREZA" ON "STAVKE_OTPREMNICA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

-- ============================================================================
-- Price changes, transfers, stock counts
-- ============================================================================

-- Price change headers. BROJ_PRIMKE: the receipt that generated it (else 0). IRA and BROJ_RACUNA,
-- or BROJ_SPECIFIKACIJE: the invoice or service-consumption document it was made for. The cancellation fields
-- are set when it is cancelled together with that document.
CREATE TABLE "IZMJENE_CIJENA" (
    "SKLADISTE"            INTEGER NOT NULL,
    "GODINA"               INTEGER NOT NULL,
    "BROJ_IZMJENE_CIJENA"  INTEGER NOT NULL,
    "DATUM"                DATE,
    "RBR_TK"               INTEGER,
    "BROJ_PRIMKE"          INTEGER DEFAULT 0,
    "IRA"                  INTEGER,
    "BROJ_RACUNA"          INTEGER,
    "BROJ_SPECIFIKACIJE"   INTEGER,
    "OPIS"                 TEXT,
    "STORNO"               BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM_STORNA"         DATE,
    "STORNO_RBR_TK"        INTEGER,
    "RBR_STORNO_DOKUMENTA" INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_IZMJENE_CIJENA")
);
CREATE INDEX "IX_IZMJENE_CIJENA_RBR_TK" ON "IZMJENE_CIJENA" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_IZMJENE_CIJENA_STORNO_RBR_TK" ON "IZMJENE_CIJENA" ("SKLADISTE", "GODINA", "STORNO_RBR_TK") WHERE "STORNO_RBR_TK" IS NOT NULL;
CREATE INDEX "IX_IZMJENE_CIJENA_DATUM" ON "IZMJENE_CIJENA" ("SKLADISTE", "GODINA", "DATUM");
CREATE INDEX "IX_IZMJENE_CIJENA_PRIMKA" ON "IZMJENE_CIJENA" ("SKLADISTE", "GODINA", "BROJ_PRIMKE");
CREATE INDEX "IX_IZMJENE_CIJENA_RACUN" ON "IZMJENE_CIJENA" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA");

-- Price change lines, one per lot: KOLICINA is the quantity of the lot when the line was made,
-- STARA_CIJENA and NOVA_CIJENA its selling price without tax before and after.
CREATE TABLE "STAVKE_IZMJENA_CIJENA" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_IZMJENE_CIJENA" INTEGER NOT NULL,
    "BROJ_PRIMKE"         INTEGER NOT NULL,
    "ARTIKAL"             INTEGER NOT NULL,
    "KOLICINA"            DOUBLE PRECISION,
    "STARA_CIJENA"        DOUBLE PRECISION,
    "NOVA_CIJENA"         DOUBLE PRECISION,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_IZMJENA_CIJENA_DOK" ON "STAVKE_IZMJENA_CIJENA" ("SKLADISTE", "GODINA", "BROJ_IZMJENE_CIJENA");
CREATE INDEX "IX_STAVKE_IZMJENA_CIJENA_ARTIKAL" ON "STAVKE_IZMJENA_CIJENA" ("SKLADISTE", "GODINA", "ARTIKAL", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_IZMJENA_CIJENA_BEZ_POREZA" ON "STAVKE_IZMJENA_CIJENA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_IZMJENA_CIJENA_PRIVREMENO" (
    "SKLADISTE"           INTEGER,
    "GODINA"              INTEGER,
    "BROJ_IZMJENE_CIJENA" INTEGER,
    "BROJ_PRIMKE"         INTEGER,
    "ARTIKAL"             INTEGER,
    "KOLICINA"            DOUBLE PRECISION,
    "STARA_CIJENA"        DOUBLE PRECISION,
    "NOVA_CIJENA"         DOUBLE PRECISION,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION,
    "Multiuser_sifra"     INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_IZMJENA_CIJENA_PRIVREMENO_MS" ON "STAVKE_IZMJENA_CIJENA_PRIVREMENO" ("Multiuser_sifra");

-- Inter-warehouse transfer headers. BROJ_ODREDISNE_PRIMKE is the receipt (type 2) generated in
-- ODREDISNO_SKLADISTE.
CREATE TABLE "MEDUSKLADISNICE" (
    "SKLADISTE"             INTEGER NOT NULL,
    "GODINA"                INTEGER NOT NULL,
    "BROJ_MEDUSKLADISNICE"  INTEGER NOT NULL,
    "DATUM"                 DATE,
    "ODREDISNO_SKLADISTE"   INTEGER,
    "BROJ_ODREDISNE_PRIMKE" INTEGER,
    "RBR_TK"                INTEGER,
    "OPIS"                  TEXT,
    "SITUACIJA"             INTEGER,
    "STORNO"                BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM_STORNA"          DATE,
    "STORNO_RBR_TK"         INTEGER,
    "RBR_STORNO_DOKUMENTA"  INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_MEDUSKLADISNICE")
);
CREATE INDEX "IX_MEDUSKLADISNICE_RBR_TK" ON "MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_MEDUSKLADISNICE_DATUM" ON "MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "DATUM");

-- Transfer lines: source lot, source cost and selling price, and the selling price in the
-- destination (ODREDISNA_CIJENA).
CREATE TABLE "STAVKE_MEDUSKLADISNICA" (
    "SKLADISTE"            INTEGER NOT NULL,
    "GODINA"               INTEGER NOT NULL,
    "BROJ_MEDUSKLADISNICE" INTEGER NOT NULL,
    "SIFRA_ARTIKLA"        INTEGER NOT NULL,
    "BROJ_PRIMKE"          INTEGER,
    "KOLICINA"             DOUBLE PRECISION,
    "NABAVNA_CIJENA"       DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"   DOUBLE PRECISION,
    "CIJENA"               DOUBLE PRECISION,
    "VRIJEDNOST"           DOUBLE PRECISION,
    "ODREDISNA_CIJENA"     DOUBLE PRECISION,
    "ODREDISNA_VRIJEDNOST" DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA"   DOUBLE PRECISION,
    "RBR_STAVKE"           INTEGER,
    "GRUPA_POREZA"         TEXT,
    "POREZ_%"              DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_MEDUSKLADISNICA_DOK" ON "STAVKE_MEDUSKLADISNICA" ("SKLADISTE", "GODINA", "BROJ_MEDUSKLADISNICE");
CREATE INDEX "IX_STAVKE_MEDUSKLADISNICA_ARTIKAL" ON "STAVKE_MEDUSKLADISNICA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_MEDUSKLADISNICA_BEZ_POREZA" ON "STAVKE_MEDUSKLADISNICA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_MEDUSKLADISNICA_PRIVREMENO" (
    "SKLADISTE"            INTEGER,
    "GODINA"               INTEGER,
    "BROJ_MEDUSKLADISNICE" INTEGER,
    "SIFRA_ARTIKLA"        INTEGER,
    "BROJ_PRIMKE"          INTEGER,
    "KOLICINA"             DOUBLE PRECISION,
    "NABAVNA_CIJENA"       DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"   DOUBLE PRECISION,
    "CIJENA"               DOUBLE PRECISION,
    "VRIJEDNOST"           DOUBLE PRECISION,
    "ODREDISNA_CIJENA"     DOUBLE PRECISION,
    "ODREDISNA_VRIJEDNOST" DOUBLE PRECISION,
    "MALOPRODAJNA_MARZA"   DOUBLE PRECISION,
    "RBR_STAVKE"           INTEGER,
    "GRUPA_POREZA"         TEXT,
    "POREZ_%"              DOUBLE PRECISION,
    "Multiuser_sifra"      INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_MEDUSKLADISNICA_PRIVREMENO_MS" ON "STAVKE_MEDUSKLADISNICA_PRIVREMENO" ("Multiuser_sifra");

-- Transfers generated by sales documents that sell from another warehouse than that of the document:
-- goods move from SKLADISTE to ODREDISNO_SKLADISTE through the receipt BROJ_ODREDISNE_PRIMKE.
CREATE TABLE "MALOPRODAJNE_MEDUSKLADISNICE" (
    "SKLADISTE"             INTEGER NOT NULL,
    "GODINA"                INTEGER NOT NULL,
    "BROJ_MEDUSKLADISNICE"  INTEGER NOT NULL,
    "DATUM"                 DATE,
    "ODREDISNO_SKLADISTE"   INTEGER,
    "BROJ_ODREDISNE_PRIMKE" INTEGER,
    "RBR_TK"                INTEGER,
    "OPIS"                  TEXT,
    "STORNO"                BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM_STORNA"          DATE,
    "STORNO_RBR_TK"         INTEGER,
    "RBR_STORNO_DOKUMENTA"  INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_MEDUSKLADISNICE")
);
CREATE INDEX "IX_MALOPRODAJNE_MEDUSKLADISNICE_RBR_TK" ON "MALOPRODAJNE_MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_MALOPRODAJNE_MEDUSKLADISNICE_DATUM" ON "MALOPRODAJNE_MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "DATUM");

-- Retail transfer lines (lot before article, no retail margin).
CREATE TABLE "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE" (
    "SKLADISTE"            INTEGER NOT NULL,
    "GODINA"               INTEGER NOT NULL,
    "BROJ_MEDUSKLADISNICE" INTEGER NOT NULL,
    "BROJ_PRIMKE"          INTEGER NOT NULL,
    "SIFRA_ARTIKLA"        INTEGER NOT NULL,
    "KOLICINA"             DOUBLE PRECISION,
    "NABAVNA_CIJENA"       DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"   DOUBLE PRECISION,
    "CIJENA"               DOUBLE PRECISION,
    "VRIJEDNOST"           DOUBLE PRECISION,
    "ODREDISNA_CIJENA"     DOUBLE PRECISION,
    "ODREDISNA_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"         TEXT,
    "POREZ_%"              DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_DOK" ON "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "BROJ_MEDUSKLADISNICE");
CREATE INDEX "IX_STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_ARTIKAL" ON "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_BEZ_POREZA" ON "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO" (
    "SKLADISTE"            INTEGER,
    "GODINA"               INTEGER,
    "BROJ_MEDUSKLADISNICE" INTEGER,
    "BROJ_PRIMKE"          INTEGER,
    "SIFRA_ARTIKLA"        INTEGER,
    "KOLICINA"             DOUBLE PRECISION,
    "NABAVNA_CIJENA"       DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"   DOUBLE PRECISION,
    "CIJENA"               DOUBLE PRECISION,
    "VRIJEDNOST"           DOUBLE PRECISION,
    "ODREDISNA_CIJENA"     DOUBLE PRECISION,
    "ODREDISNA_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"         TEXT,
    "POREZ_%"              DOUBLE PRECISION,
    "Multiuser_sifra"      INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO_MS" ON "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO" ("Multiuser_sifra");

-- Stock count headers.
CREATE TABLE "INVENTURE" (
    "SKLADISTE"      INTEGER NOT NULL,
    "GODINA"         INTEGER NOT NULL,
    "BROJ_INVENTURE" INTEGER NOT NULL,
    "DATUM"          DATE,
    "RBR_TK"         INTEGER,
    "OPIS"           TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_INVENTURE")
);
CREATE INDEX "IX_INVENTURE_RBR_TK" ON "INVENTURE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_INVENTURE_DATUM" ON "INVENTURE" ("SKLADISTE", "GODINA", "DATUM");

-- Stock count lines, one per lot: cost and selling price at preparation, book and counted
-- quantity, each valued at V_CIJENA.
CREATE TABLE "STAVKE_INVENTURA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_INVENTURE"     INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "N_CIJENA"           DOUBLE PRECISION,
    "V_CIJENA"           DOUBLE PRECISION,
    "KNJIZNO_KOLICINA"   DOUBLE PRECISION,
    "KNJIZNO_VRIJEDNOST" DOUBLE PRECISION,
    "STVARNO_KOLICINA"   DOUBLE PRECISION,
    "STVARNO_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_INVENTURA_DOK" ON "STAVKE_INVENTURA" ("SKLADISTE", "GODINA", "BROJ_INVENTURE");
CREATE INDEX "IX_STAVKE_INVENTURA_ARTIKAL" ON "STAVKE_INVENTURA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_INVENTURA_BEZ_POREZA" ON "STAVKE_INVENTURA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_INVENTURA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_INVENTURE"     INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "N_CIJENA"           DOUBLE PRECISION,
    "V_CIJENA"           DOUBLE PRECISION,
    "KNJIZNO_KOLICINA"   DOUBLE PRECISION,
    "KNJIZNO_VRIJEDNOST" DOUBLE PRECISION,
    "STVARNO_KOLICINA"   DOUBLE PRECISION,
    "STVARNO_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_INVENTURA_PRIVREMENO_MS" ON "STAVKE_INVENTURA_PRIVREMENO" ("Multiuser_sifra");

-- ============================================================================
-- Issue documents: write-offs, commission returns, issue and return notes, returns to supplier, service consumption
-- ============================================================================

-- Write-off headers.
CREATE TABLE "RASHODI" (
    "SKLADISTE"    INTEGER NOT NULL,
    "GODINA"       INTEGER NOT NULL,
    "BROJ_RASHODA" INTEGER NOT NULL,
    "DATUM"        DATE,
    "OPIS"         TEXT,
    "RBR_TK"       INTEGER,
    "SITUACIJA"    INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_RASHODA")
);
CREATE INDEX "IX_RASHODI_RBR_TK" ON "RASHODI" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_RASHODI_DATUM" ON "RASHODI" ("SKLADISTE", "GODINA", "DATUM");

-- Lines of the issue documents: the lot taken from (BROJ_PRIMKE), its cost (NABAVNA_CIJENA)
-- and selling price without tax (CIJENA) at the time.
CREATE TABLE "STAVKE_RASHODA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_RASHODA"       INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_RASHODA_DOK" ON "STAVKE_RASHODA" ("SKLADISTE", "GODINA", "BROJ_RASHODA");
CREATE INDEX "IX_STAVKE_RASHODA_ARTIKAL" ON "STAVKE_RASHODA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_RASHODA_BEZ_POREZA" ON "STAVKE_RASHODA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_RASHODA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_RASHODA"       INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RASHODA_PRIVREMENO_MS" ON "STAVKE_RASHODA_PRIVREMENO" ("Multiuser_sifra");

-- Commission return headers (commission warehouses only).
CREATE TABLE "ODJAVE" (
    "SKLADISTE"   INTEGER NOT NULL,
    "GODINA"      INTEGER NOT NULL,
    "BROJ_ODJAVE" INTEGER NOT NULL,
    "DATUM"       DATE,
    "OPIS"        TEXT,
    "RBR_TK"      INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_ODJAVE")
);
CREATE INDEX "IX_ODJAVE_RBR_TK" ON "ODJAVE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_ODJAVE_DATUM" ON "ODJAVE" ("SKLADISTE", "GODINA", "DATUM");

CREATE TABLE "STAVKE_ODJAVA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_ODJAVE"        INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_ODJAVA_DOK" ON "STAVKE_ODJAVA" ("SKLADISTE", "GODINA", "BROJ_ODJAVE");
CREATE INDEX "IX_STAVKE_ODJAVA_ARTIKAL" ON "STAVKE_ODJAVA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_ODJAVA_BEZ_POREZA" ON "STAVKE_ODJAVA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_ODJAVA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_ODJAVE"        INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_ODJAVA_PRIVREMENO_MS" ON "STAVKE_ODJAVA_PRIVREMENO" ("Multiuser_sifra");

-- Issue note headers.
CREATE TABLE "IZDATNICE" (
    "SKLADISTE" INTEGER NOT NULL,
    "GODINA"    INTEGER NOT NULL,
    "BROJ"      INTEGER NOT NULL,
    "DATUM"     DATE,
    "OPIS"      TEXT,
    "RBR_TK"    INTEGER,
    "SITUACIJA" INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ")
);
CREATE INDEX "IX_IZDATNICE_RBR_TK" ON "IZDATNICE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_IZDATNICE_DATUM" ON "IZDATNICE" ("SKLADISTE", "GODINA", "DATUM");

CREATE TABLE "STAVKE_IZDATNICA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ"               INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_IZDATNICA_DOK" ON "STAVKE_IZDATNICA" ("SKLADISTE", "GODINA", "BROJ");
CREATE INDEX "IX_STAVKE_IZDATNICA_ARTIKAL" ON "STAVKE_IZDATNICA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_IZDATNICA_BEZ_POREZA" ON "STAVKE_IZDATNICA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_IZDATNICA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ"               INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_IZDATNICA_PRIVREMENO_MS" ON "STAVKE_IZDATNICA_PRIVREMENO" ("Multiuser_sifra");

-- Return note headers. Their lines put goods back into the lots.
CREATE TABLE "POVRATNICE" (
    "SKLADISTE" INTEGER NOT NULL,
    "GODINA"    INTEGER NOT NULL,
    "BROJ"      INTEGER NOT NULL,
    "DATUM"     DATE,
    "OPIS"      TEXT,
    "RBR_TK"    INTEGER,
    "SITUACIJA" INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ")
);
CREATE INDEX "IX_POVRATNICE_RBR_TK" ON "POVRATNICE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_POVRATNICE_DATUM" ON "POVRATNICE" ("SKLADISTE", "GODINA", "DATUM");

CREATE TABLE "STAVKE_POVRATNICA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ"               INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_POVRATNICA_DOK" ON "STAVKE_POVRATNICA" ("SKLADISTE", "GODINA", "BROJ");
CREATE INDEX "IX_STAVKE_POVRATNICA_ARTIKAL" ON "STAVKE_POVRATNICA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_POVRATNICA_BEZ_POREZA" ON "STAVKE_POVRATNICA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_POVRATNICA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ"               INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_POVRATNICA_PRIVREMENO_MS" ON "STAVKE_POVRATNICA_PRIVREMENO" ("Multiuser_sifra");

-- Return-to-supplier headers.
CREATE TABLE "POVRATNICE_DOBAVLJACIMA" (
    "SKLADISTE"                  INTEGER NOT NULL,
    "GODINA"                     INTEGER NOT NULL,
    "BROJ_POVRATNICE_DOBAVLJACU" INTEGER NOT NULL,
    "DATUM"                      DATE,
    "OPIS"                       TEXT,
    "RBR_TK"                     INTEGER,
    "SIFRA_DOBAVLJACA"           INTEGER,
    "SITUACIJA"                  INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_POVRATNICE_DOBAVLJACU")
);
CREATE INDEX "IX_POVRATNICE_DOBAVLJACIMA_RBR_TK" ON "POVRATNICE_DOBAVLJACIMA" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_POVRATNICE_DOBAVLJACIMA_DATUM" ON "POVRATNICE_DOBAVLJACIMA" ("SKLADISTE", "GODINA", "DATUM");

CREATE TABLE "STAVKE_POVRATNICA_DOBAVLJACIMA" (
    "SKLADISTE"                  INTEGER NOT NULL,
    "GODINA"                     INTEGER NOT NULL,
    "BROJ_POVRATNICE_DOBAVLJACU" INTEGER NOT NULL,
    "SIFRA_ARTIKLA"              INTEGER NOT NULL,
    "BROJ_PRIMKE"                INTEGER,
    "KOLICINA"                   DOUBLE PRECISION,
    "NABAVNA_CIJENA"             DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"         DOUBLE PRECISION,
    "CIJENA"                     DOUBLE PRECISION,
    "VRIJEDNOST"                 DOUBLE PRECISION,
    "GRUPA_POREZA"               TEXT,
    "POREZ_%"                    DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_POVRATNICA_DOBAVLJACIMA_DOK" ON "STAVKE_POVRATNICA_DOBAVLJACIMA" ("SKLADISTE", "GODINA", "BROJ_POVRATNICE_DOBAVLJACU");
CREATE INDEX "IX_STAVKE_POVRATNICA_DOBAVLJACIMA_ARTIKAL" ON "STAVKE_POVRATNICA_DOBAVLJACIMA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_POVRATNICA_DOBAVLJACIMA_BEZ_POREZA" ON "STAVKE_POVRATNICA_DOBAVLJACIMA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO" (
    "SKLADISTE"                  INTEGER,
    "GODINA"                     INTEGER,
    "BROJ_POVRATNICE_DOBAVLJACU" INTEGER,
    "SIFRA_ARTIKLA"              INTEGER,
    "BROJ_PRIMKE"                INTEGER,
    "KOLICINA"                   DOUBLE PRECISION,
    "NABAVNA_CIJENA"             DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"         DOUBLE PRECISION,
    "CIJENA"                     DOUBLE PRECISION,
    "VRIJEDNOST"                 DOUBLE PRECISION,
    "GRUPA_POREZA"               TEXT,
    "POREZ_%"                    DOUBLE PRECISION,
    "Multiuser_sifra"            INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO_MS" ON "STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO" ("Multiuser_sifra");

-- Service consumption (specifikacija): articles consumed by services. IRA, GODINA_RACUNA and
-- BROJ_RACUNA name the invoice the document belongs to (in the same warehouse). Cancelled with that invoice.
CREATE TABLE "SPECIFIKACIJE" (
    "SKLADISTE"            INTEGER NOT NULL,
    "GODINA"               INTEGER NOT NULL,
    "BROJ_SPECIFIKACIJE"   INTEGER NOT NULL,
    "DATUM"                DATE,
    "OPIS"                 TEXT,
    "RBR_TK"               INTEGER,
    "SITUACIJA"            INTEGER,
    "IRA"                  INTEGER,
    "GODINA_RACUNA"        INTEGER,
    "BROJ_RACUNA"          INTEGER,
    "STORNO"               BOOLEAN NOT NULL DEFAULT FALSE,
    "DATUM_STORNA"         DATE,
    "STORNO_RBR_TK"        INTEGER,
    "RBR_STORNO_DOKUMENTA" INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_SPECIFIKACIJE")
);
CREATE INDEX "IX_SPECIFIKACIJE_RBR_TK" ON "SPECIFIKACIJE" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_SPECIFIKACIJE_STORNO_RBR_TK" ON "SPECIFIKACIJE" ("SKLADISTE", "GODINA", "STORNO_RBR_TK") WHERE "STORNO_RBR_TK" IS NOT NULL;
CREATE INDEX "IX_SPECIFIKACIJE_DATUM" ON "SPECIFIKACIJE" ("SKLADISTE", "GODINA", "DATUM");

CREATE TABLE "STAVKE_SPECIFIKACIJA" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_SPECIFIKACIJE" INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_SPECIFIKACIJA_DOK" ON "STAVKE_SPECIFIKACIJA" ("SKLADISTE", "GODINA", "BROJ_SPECIFIKACIJE");
CREATE INDEX "IX_STAVKE_SPECIFIKACIJA_ARTIKAL" ON "STAVKE_SPECIFIKACIJA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_SPECIFIKACIJA_BEZ_POREZA" ON "STAVKE_SPECIFIKACIJA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_SPECIFIKACIJA_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_SPECIFIKACIJE" INTEGER,
    "SIFRA_ARTIKLA"      INTEGER,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GRUPA_POREZA"       TEXT,
    "POREZ_%"            DOUBLE PRECISION,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_SPECIFIKACIJA_PRIVREMENO_MS" ON "STAVKE_SPECIFIKACIJA_PRIVREMENO" ("Multiuser_sifra");
CREATE INDEX "IX_SPECIFIKACIJE_RACUN" ON "SPECIFIKACIJE" ("SKLADISTE", "IRA", "GODINA_RACUNA", "BROJ_RACUNA");

-- ============================================================================
-- Production: work orders and finishing work orders
-- ============================================================================

-- Work orders: the parts leave the lots of SKLADISTE, the products enter ODREDISNO_SKLADISTE
-- through the generated receipt BROJ_PRIMKE (type 3).
CREATE TABLE "RADNI_NALOZI" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA"  INTEGER NOT NULL,
    "OPIS"                TEXT,
    "DATUM"               DATE,
    "SITUACIJA"           INTEGER,
    "RBR_TK"              INTEGER,
    "ODREDISNO_SKLADISTE" INTEGER,
    "BROJ_PRIMKE"         INTEGER,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA")
);
CREATE INDEX "IX_RADNI_NALOZI_RBR_TK" ON "RADNI_NALOZI" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_RADNI_NALOZI_DATUM" ON "RADNI_NALOZI" ("SKLADISTE", "GODINA", "DATUM");

-- Parts taken by a work order, one line per lot used.
CREATE TABLE "STAVKE_RADNIH_NALOGA" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA"  INTEGER NOT NULL,
    "SIFRA_ARTIKLA"       INTEGER NOT NULL,
    "BROJ_PRIMKE"         INTEGER,
    "KOLICINA"            DOUBLE PRECISION,
    "NABAVNA_CIJENA"      DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_CIJENA"     DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DOK" ON "STAVKE_RADNIH_NALOGA" ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA");
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_ARTIKAL" ON "STAVKE_RADNIH_NALOGA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_BEZ_POREZA" ON "STAVKE_RADNIH_NALOGA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_RADNIH_NALOGA_PRIVREMENO" (
    "SKLADISTE"           INTEGER,
    "GODINA"              INTEGER,
    "BROJ_RADNOG_NALOGA"  INTEGER,
    "SIFRA_ARTIKLA"       INTEGER,
    "BROJ_PRIMKE"         INTEGER,
    "KOLICINA"            DOUBLE PRECISION,
    "NABAVNA_CIJENA"      DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_CIJENA"     DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION,
    "Multiuser_sifra"     INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_PRIVREMENO_MS" ON "STAVKE_RADNIH_NALOGA_PRIVREMENO" ("Multiuser_sifra");

-- Production costs of a work order, per product (GOT_PR_SIFRA).
CREATE TABLE "STAVKE_RADNIH_NALOGA_TROSKOVI" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA" INTEGER NOT NULL,
    "OPIS"               TEXT,
    "KOLICINA"           DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GOT_PR_SIFRA"       INTEGER
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_TROSKOVI_DOK" ON "STAVKE_RADNIH_NALOGA_TROSKOVI" ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA");

CREATE TABLE "STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_RADNOG_NALOGA" INTEGER,
    "OPIS"               TEXT,
    "KOLICINA"           DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "VRIJEDNOST"         DOUBLE PRECISION,
    "GOT_PR_SIFRA"       INTEGER,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO_MS" ON "STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO" ("Multiuser_sifra");

-- Finishing work orders (work on goods of others). SIFRA_PARTNERA is the owner of the goods.
CREATE TABLE "RADNI_NALOZI_DORADA" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA"  INTEGER NOT NULL,
    "OPIS"                TEXT,
    "DATUM"               DATE,
    "SITUACIJA"           INTEGER,
    "RBR_TK"              INTEGER,
    "ODREDISNO_SKLADISTE" INTEGER,
    "BROJ_PRIMKE"         INTEGER,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    "SIFRA_PARTNERA"      INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA")
);
CREATE INDEX "IX_RADNI_NALOZI_DORADA_RBR_TK" ON "RADNI_NALOZI_DORADA" ("SKLADISTE", "GODINA", "RBR_TK");
CREATE INDEX "IX_RADNI_NALOZI_DORADA_DATUM" ON "RADNI_NALOZI_DORADA" ("SKLADISTE", "GODINA", "DATUM");

-- Material of a finishing work order, per finished product (GOT_PR_SIFRA).
CREATE TABLE "STAVKE_RADNIH_NALOGA_DORADA" (
    "SKLADISTE"           INTEGER NOT NULL,
    "GODINA"              INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA"  INTEGER NOT NULL,
    "SIFRA_ARTIKLA"       INTEGER NOT NULL,
    "BROJ_PRIMKE"         INTEGER,
    "KOLICINA"            DOUBLE PRECISION,
    "NABAVNA_CIJENA"      DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_CIJENA"     DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    "GOT_PR_SIFRA"        INTEGER,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_DOK" ON "STAVKE_RADNIH_NALOGA_DORADA" ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA");
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_ARTIKAL" ON "STAVKE_RADNIH_NALOGA_DORADA" ("SKLADISTE", "GODINA", "SIFRA_ARTIKLA", "BROJ_PRIMKE");
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_BEZ_POREZA" ON "STAVKE_RADNIH_NALOGA_DORADA" ("GRUPA_POREZA") WHERE "GRUPA_POREZA" IS NULL;

CREATE TABLE "STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO" (
    "SKLADISTE"           INTEGER,
    "GODINA"              INTEGER,
    "BROJ_RADNOG_NALOGA"  INTEGER,
    "SIFRA_ARTIKLA"       INTEGER,
    "BROJ_PRIMKE"         INTEGER,
    "KOLICINA"            DOUBLE PRECISION,
    "NABAVNA_CIJENA"      DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST"  DOUBLE PRECISION,
    "PRODAJNA_CIJENA"     DOUBLE PRECISION,
    "PRODAJNA_VRIJEDNOST" DOUBLE PRECISION,
    "GOT_PR_SIFRA"        INTEGER,
    "GRUPA_POREZA"        TEXT,
    "POREZ_%"             DOUBLE PRECISION,
    "Multiuser_sifra"     INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO_MS" ON "STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO" ("Multiuser_sifra");

-- Services and costs of a finishing work order, per finished product.
CREATE TABLE "STAVKE_RADNIH_NALOGA_DORADA_USLUGE" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ_RADNOG_NALOGA" INTEGER NOT NULL,
    "OPIS"               TEXT,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "GOT_PR_SIFRA"       INTEGER
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_USLUGE_DOK" ON "STAVKE_RADNIH_NALOGA_DORADA_USLUGE" ("SKLADISTE", "GODINA", "BROJ_RADNOG_NALOGA");

CREATE TABLE "STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO" (
    "SKLADISTE"          INTEGER,
    "GODINA"             INTEGER,
    "BROJ_RADNOG_NALOGA" INTEGER,
    "OPIS"               TEXT,
    "KOLICINA"           DOUBLE PRECISION,
    "NABAVNA_CIJENA"     DOUBLE PRECISION,
    "NABAVNA_VRIJEDNOST" DOUBLE PRECISION,
    "GOT_PR_SIFRA"       INTEGER,
    "Multiuser_sifra"    INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO_MS" ON "STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO" ("Multiuser_sifra");

-- ============================================================================
-- Orders, reservations and text documents (no stock effect)
-- ============================================================================

-- Purchase orders.
CREATE TABLE "NARUDZBENICE" (
    "SKLADISTE"         INTEGER NOT NULL,
    "GODINA"            INTEGER NOT NULL,
    "BROJ_NARUDZBENICE" INTEGER NOT NULL,
    "DATUM"             DATE,
    "SIFRA_DOBAVLJACA"  INTEGER,
    "OPIS"              TEXT,
    "SITUACIJA"         INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_NARUDZBENICE")
);

-- Purchase order lines.
CREATE TABLE "STAVKE_NARUDZBENICE" (
    "SKLADISTE"         INTEGER NOT NULL,
    "GODINA"            INTEGER NOT NULL,
    "BROJ_NARUDZBENICE" INTEGER NOT NULL,
    "SIFRA_ARTIKLA"     INTEGER NOT NULL,
    "KOLICINA"          DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_NARUDZBENICE_DOK" ON "STAVKE_NARUDZBENICE" ("SKLADISTE", "GODINA", "BROJ_NARUDZBENICE");

CREATE TABLE "STAVKE_NARUDZBENICE_PRIVREMENO" (
    "SKLADISTE"         INTEGER,
    "GODINA"            INTEGER,
    "BROJ_NARUDZBENICE" INTEGER,
    "SIFRA_ARTIKLA"     INTEGER,
    "KOLICINA"          DOUBLE PRECISION,
    "Multiuser_sifra"   INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_NARUDZBENICE_PRIVREMENO_MS" ON "STAVKE_NARUDZBENICE_PRIVREMENO" ("Multiuser_sifra");

-- Reservations of goods for a customer.
CREATE TABLE "REZERVACIJE" (
    "SKLADISTE"        INTEGER NOT NULL,
    "GODINA"           INTEGER NOT NULL,
    "BROJ REZERVACIJE" INTEGER NOT NULL,
    "DATUM"            DATE,
    "SIFRA_PARTNERA"   INTEGER,
    "OPIS"             TEXT,
    "SITUACIJA"        INTEGER,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ REZERVACIJE")
);

-- Reservation lines.
CREATE TABLE "STAVKE_REZERVACIJA" (
    "SKLADISTE"        INTEGER NOT NULL,
    "GODINA"           INTEGER NOT NULL,
    "BROJ_REZERVACIJE" INTEGER NOT NULL,
    "SIFRA_ARTIKLA"    INTEGER NOT NULL,
    "KOLICINA"         DOUBLE PRECISION,
    "TIP_OPOREZIVANJA" INTEGER
);
CREATE INDEX "IX_STAVKE_REZERVACIJA_DOK" ON "STAVKE_REZERVACIJA" ("SKLADISTE", "GODINA", "BROJ_REZERVACIJE");
CREATE INDEX "IX_STAVKE_REZERVACIJA_ARTIKAL" ON "STAVKE_REZERVACIJA" ("SIFRA_ARTIKLA");

CREATE TABLE "STAVKE_REZERVACIJA_PRIVREMENO" (
    "SKLADISTE"        INTEGER,
    "GODINA"           INTEGER,
    "BROJ_REZERVACIJE" INTEGER,
    "SIFRA_ARTIKLA"    INTEGER,
    "KOLICINA"         DOUBLE PRECISION,
    "TIP_OPOREZIVANJA" INTEGER,
    "Multiuser_sifra"  INTEGER NOT NULL
);
CREATE INDEX "IX_STAVKE_REZERVACIJA_PRIVREMENO_MS" ON "STAVKE_REZERVACIJA_PRIVREMENO" ("Multiuser_sifra");

-- Situations (progress bills): documents may be linked to one through SITUACIJA.
CREATE TABLE "SITUACIJE" (
    "SKLADISTE"      INTEGER NOT NULL,
    "GODINA"         INTEGER NOT NULL,
    "BROJ"           INTEGER NOT NULL,
    "DATUM"          DATE,
    "SIFRA_PARTNERA" INTEGER,
    "OPIS"           TEXT,
    "TEKST"          TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ")
);

-- Letters.
CREATE TABLE "DOPISI" (
    "SKLADISTE"      INTEGER NOT NULL,
    "GODINA"         INTEGER NOT NULL,
    "BROJ_DOPISA"    INTEGER NOT NULL,
    "DATUM"          DATE,
    "SIFRA_PARTNERA" INTEGER,
    "OPIS"           TEXT,
    "TEKST"          TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ_DOPISA")
);

-- Records of a change of the tax group of articles.
CREATE TABLE "ZAPISNIK_POREZ" (
    "SKLADISTE" INTEGER NOT NULL,
    "GODINA"    INTEGER NOT NULL,
    "BROJ"      INTEGER NOT NULL,
    "DATUM"     DATE,
    "OPIS"      TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "BROJ")
);

-- Articles of a tax-group change record with the stock they had and both groups.
CREATE TABLE "STAVKE_ZAPISNIKA_POREZ" (
    "SKLADISTE"          INTEGER NOT NULL,
    "GODINA"             INTEGER NOT NULL,
    "BROJ"               INTEGER NOT NULL,
    "SIFRA_ARTIKLA"      INTEGER NOT NULL,
    "BROJ_PRIMKE"        INTEGER,
    "KOLICINA"           DOUBLE PRECISION,
    "CIJENA"             DOUBLE PRECISION,
    "STARA_GRUPA_POREZA" INTEGER,
    "STARI_POREZ_%"      DOUBLE PRECISION,
    "NOVA_GRUPA_POREZA"  INTEGER,
    "NOVI_POREZ_%"       DOUBLE PRECISION
);
CREATE INDEX "IX_STAVKE_ZAPISNIKA_POREZ_DOK" ON "STAVKE_ZAPISNIKA_POREZ" ("SKLADISTE", "GODINA", "BROJ");

-- Documents made from word-processor templates, numbered per warehouse and TIP_DOKUMENTA.
CREATE TABLE "WordDokumenti" (
    "SKLADISTE"      INTEGER NOT NULL,
    "GODINA"         INTEGER NOT NULL,
    "TIP_DOKUMENTA"  INTEGER NOT NULL,
    "BROJ"           INTEGER NOT NULL,
    "DATUM"          DATE,
    "SIFRA_PARTNERA" INTEGER,
    "OPIS"           TEXT,
    "DATOTEKA"       TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "TIP_DOKUMENTA", "BROJ")
);
CREATE INDEX "IX_WordDokumenti_TIP" ON "WordDokumenti" ("SKLADISTE", "TIP_DOKUMENTA", "BROJ");

-- ============================================================================
-- Cash book
-- ============================================================================

-- Cash receipts. Slovima is the amount in words.
CREATE TABLE "BLAGAJNA_UPLATNICE" (
    "SKLADISTE" INTEGER NOT NULL,
    "GODINA"    INTEGER NOT NULL,
    "Broj"      INTEGER NOT NULL,
    "Datum"     DATE,
    "Od koga"   TEXT,
    "Za"        TEXT,
    "Iznos"     DOUBLE PRECISION,
    "Slovima"   TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "Broj")
);
CREATE INDEX "IX_BLAGAJNA_UPLATNICE_DATUM" ON "BLAGAJNA_UPLATNICE" ("SKLADISTE", "GODINA", "Datum");

-- Cash payment vouchers. Slovima is the amount in words.
CREATE TABLE "BLAGAJNA_ISPLATNICE" (
    "SKLADISTE" INTEGER NOT NULL,
    "GODINA"    INTEGER NOT NULL,
    "Broj"      INTEGER NOT NULL,
    "Datum"     DATE,
    "Kome"      TEXT,
    "Za"        TEXT,
    "Iznos"     DOUBLE PRECISION,
    "Slovima"   TEXT,
    PRIMARY KEY ("SKLADISTE", "GODINA", "Broj")
);
CREATE INDEX "IX_BLAGAJNA_ISPLATNICE_DATUM" ON "BLAGAJNA_ISPLATNICE" ("SKLADISTE", "GODINA", "Datum");

-- ============================================================================
-- Receivables and payables
-- ============================================================================

-- Customer payments. Sifra is the own number of the payment. Tip is the payment model text
-- ('žiro račun', 'gotovina', 'u naravi', 'kartica', 'ček'), Tip kartice the card type code.
CREATE TABLE "UPLATE" (
    "Sifra"       {{AUTO_ID}},
    "Skladiste"   INTEGER,
    "Godina"      INTEGER,
    "Partner"     INTEGER,
    "Datum"       DATE,
    "Tip"         TEXT,
    "Opis"        TEXT,
    "Iznos"       DOUBLE PRECISION,
    "Tip kartice" INTEGER
);
CREATE INDEX "IX_UPLATE_PARTNER" ON "UPLATE" ("Partner", "Datum");
CREATE INDEX "IX_UPLATE_DATUM" ON "UPLATE" ("Skladiste", "Godina", "Datum");
CREATE INDEX "IX_UPLATE_OPIS" ON "UPLATE" ("Opis");

-- Collections: the part of a customer payment (Sifra uplate = UPLATE.Sifra) that closes an
-- output invoice (Skladište, IRA, Godina, Broj računa). Sifra identifies the row itself.
CREATE TABLE "NAPLATA" (
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
CREATE INDEX "IX_NAPLATA_RACUN" ON "NAPLATA" ("Skladište", "IRA", "Godina", "Broj računa");
CREATE INDEX "IX_NAPLATA_UPLATA" ON "NAPLATA" ("Sifra uplate");
-- A day's collections come in the order of their kind and card type, so sums per kind need no
-- sort.
CREATE INDEX "IX_NAPLATA_DATUM_TIP" ON "NAPLATA" ("Datum", "Tip", "Tip kartice");

-- Payments to suppliers. Partner is the supplier of the input invoice.
CREATE TABLE "UPLATE_URA" (
    "Sifra"       {{AUTO_ID}},
    "Skladiste"   INTEGER,
    "Godina"      INTEGER,
    "Partner"     INTEGER,
    "Datum"       DATE,
    "Tip"         TEXT,
    "Opis"        TEXT,
    "Iznos"       DOUBLE PRECISION,
    "Tip kartice" INTEGER
);
CREATE INDEX "IX_UPLATE_URA_PARTNER" ON "UPLATE_URA" ("Partner", "Datum");

-- Closings of input invoices: the part of a supplier payment (Sifra uplate URA = UPLATE_URA.Sifra)
-- paid on the invoice URA, GODINA, Redni broj knjige UFA of KNJIGE_ULAZNIH_RACUNA.
CREATE TABLE "PLACANJA" (
    "Sifra"                 {{AUTO_ID}},
    "URA"                   INTEGER NOT NULL,
    "GODINA"                INTEGER NOT NULL,
    "Redni broj knjige UFA" INTEGER NOT NULL,
    "Tip"                   TEXT,
    "Datum"                 DATE,
    "Opis dokumenta"        TEXT,
    "Iznos"                 DOUBLE PRECISION,
    "Svrha doznake"         TEXT,
    "Sifra uplate URA"      INTEGER
);
CREATE INDEX "IX_PLACANJA_RACUN" ON "PLACANJA" ("URA", "GODINA", "Redni broj knjige UFA");
CREATE INDEX "IX_PLACANJA_UPLATA" ON "PLACANJA" ("Sifra uplate URA");
CREATE INDEX "IX_PLACANJA_DATUM" ON "PLACANJA" ("Datum");

-- Opening balances of customers (debit Duguje or credit Potražuje).
CREATE TABLE "PARTNERI POCETNO STANJE" (
    "Sifra"     {{AUTO_ID}},
    "Skladiste" INTEGER,
    "Godina"    INTEGER NOT NULL,
    "Partner"   INTEGER NOT NULL,
    "Datum"     DATE,
    "Opis"      TEXT,
    "Duguje"    DOUBLE PRECISION DEFAULT 0,
    "Potražuje" DOUBLE PRECISION DEFAULT 0
);
CREATE INDEX "IX_PARTNERI_POCETNO_STANJE_PARTNER" ON "PARTNERI POCETNO STANJE" ("Partner", "Godina");

-- Opening balances of suppliers.
CREATE TABLE "DOBAVLJACI POCETNO STANJE" (
    "Sifra"     {{AUTO_ID}},
    "Skladiste" INTEGER,
    "Godina"    INTEGER NOT NULL,
    "Partner"   INTEGER NOT NULL,
    "Datum"     DATE,
    "Opis"      TEXT,
    "Duguje"    DOUBLE PRECISION DEFAULT 0,
    "Potražuje" DOUBLE PRECISION DEFAULT 0
);
CREATE INDEX "IX_DOBAVLJACI_POCETNO_STANJE_PARTNER" ON "DOBAVLJACI POCETNO STANJE" ("Partner", "Godina");

-- Partners chosen for a debt report. SESIJA keeps the choices of two workstations apart.
CREATE TABLE "IZABRANI_PARTNERI" (
    "SESIJA" INTEGER,
    "SIFRA"  INTEGER NOT NULL
);
CREATE INDEX "IX_IZABRANI_PARTNERI_SESIJA" ON "IZABRANI_PARTNERI" ("SESIJA", "SIFRA");

-- ============================================================================
-- Statutory books, tax forms and report work tables
-- ============================================================================

-- Input invoice book: base, total input tax and its deductible and non-deductible parts per
-- rate (the current 5, 13, 25 % and the earlier 10, 22, 23 %). Tip računa is 'R-1' or 'R-2'.
-- Vrsta nabave says which input lines of the VAT form the row feeds: 0 domestic, 1 domestic
-- reverse charge, 2 goods from the EU, 3 services from the EU, 4 from suppliers not established
-- here, 5 import.
CREATE TABLE "KNJIGE_ULAZNIH_RACUNA" (
    "URA"                     INTEGER NOT NULL,
    "GODINA"                  INTEGER NOT NULL,
    "Redni broj"              INTEGER NOT NULL,
    "Račun broj"              TEXT,
    "Račun datum"             DATE,
    "Šifra dobavljača"        INTEGER,
    "Tip računa"              TEXT,
    "Osnovica0"               DOUBLE PRECISION DEFAULT 0,
    "Osnovica10"              DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno10"       DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti10"       DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti10"     DOUBLE PRECISION DEFAULT 0,
    "Osnovica22"              DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno22"       DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti22"       DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti22"     DOUBLE PRECISION DEFAULT 0,
    "Osnovica23"              DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno23"       DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti23"       DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti23"     DOUBLE PRECISION DEFAULT 0,
    "Osnovica25"              DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno25"       DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti25"       DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti25"     DOUBLE PRECISION DEFAULT 0,
    "Osnovica5"               DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno5"        DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti5"        DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti5"      DOUBLE PRECISION DEFAULT 0,
    "Osnovica13"              DOUBLE PRECISION DEFAULT 0,
    "PretporezUkupno13"       DOUBLE PRECISION DEFAULT 0,
    "PretporezOdbiti13"       DOUBLE PRECISION DEFAULT 0,
    "PretporezNeOdbiti13"     DOUBLE PRECISION DEFAULT 0,
    "Iznos računa sa porezom" DOUBLE PRECISION DEFAULT 0,
    "Dospijeće"               DATE,
    "Vrsta nabave"            INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY ("URA", "GODINA", "Redni broj")
);
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_DATUM" ON "KNJIGE_ULAZNIH_RACUNA" ("URA", "GODINA", "Račun datum");
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_DOBAVLJAC" ON "KNJIGE_ULAZNIH_RACUNA" ("Šifra dobavljača");
-- Rows whose 25 % columns are still empty are completed with 0 when a session starts.
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_NULL_OSNOVICA25" ON "KNJIGE_ULAZNIH_RACUNA" ("Osnovica25") WHERE "Osnovica25" IS NULL;
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_NULL_PRETPOREZUKUPNO25" ON "KNJIGE_ULAZNIH_RACUNA" ("PretporezUkupno25") WHERE "PretporezUkupno25" IS NULL;
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_NULL_PRETPOREZODBITI25" ON "KNJIGE_ULAZNIH_RACUNA" ("PretporezOdbiti25") WHERE "PretporezOdbiti25" IS NULL;
CREATE INDEX "IX_KNJIGE_ULAZNIH_RACUNA_NULL_PRETPOREZNEODBITI25" ON "KNJIGE_ULAZNIH_RACUNA" ("PretporezNeOdbiti25") WHERE "PretporezNeOdbiti25" IS NULL;

-- Entries of the book of receipts and expenditures.
CREATE TABLE "KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS" (
    "GODINA"                      INTEGER NOT NULL,
    "REDNI BROJ"                  INTEGER NOT NULL,
    "NADNEVAK PRIMITKA / IZDATKA" DATE,
    "BROJ TEMELJNICE"             TEXT,
    "OPIS ISPRAVA"                TEXT,
    "PRIMICI U GOTOVINI"          DOUBLE PRECISION DEFAULT 0,
    "PRIMICI NA ZIRO RACUN"       DOUBLE PRECISION DEFAULT 0,
    "PRIMICI U NARAVI"            DOUBLE PRECISION DEFAULT 0,
    "PDV U PRIMICIMA"             DOUBLE PRECISION DEFAULT 0,
    "UKUPNI PRIMICI"              DOUBLE PRECISION DEFAULT 0,
    "IZDACI U GOTOVINI"           DOUBLE PRECISION DEFAULT 0,
    "IZDACI PUTEM ZIRO RACUNA"    DOUBLE PRECISION DEFAULT 0,
    "IZDACI U NARAVI"             DOUBLE PRECISION DEFAULT 0,
    "PDV U IZDACIMA"              DOUBLE PRECISION DEFAULT 0,
    "IZDACI IZ CL 19"             DOUBLE PRECISION DEFAULT 0,
    "UKUPNO DOPUSTENI IZDACI"     DOUBLE PRECISION DEFAULT 0,
    "TIP_UPISA"                   INTEGER,
    PRIMARY KEY ("GODINA", "REDNI BROJ")
);
CREATE INDEX "IX_KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS_DATUM" ON "KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS" ("GODINA", "NADNEVAK PRIMITKA / IZDATKA");

-- Entry types of the book of receipts and expenditures (1: daily cash sales).
CREATE TABLE "KPI_TIPOVI_UPISA" (
    "Sifra" {{AUTO_ID}},
    "Naziv" TEXT
);
-- Report work tables are rebuilt before printing. SESIJA is the session code of the
-- workstation that built the rows, so that two workstations can build the same report at
-- once. ID keeps the order in which rows were written (carry rows between bookings).

-- Paged print of the book of receipts and expenditures.
CREATE TABLE "KNJIGA_PRIMITAKA_I_IZDATAKA" (
    "ID"                        {{AUTO_ID}},
    "SESIJA"                    INTEGER,
    "BROJ_STRANICE"             INTEGER,
    "REDNI_BROJ"                INTEGER,
    "NADNEVAK_PRIMITKA_IZDATKA" DATE,
    "BROJ_TEMELJNICE"           TEXT,
    "OPIS_ISPRAVA"              TEXT,
    "PRIMICI_U_GOTOVINI"        DOUBLE PRECISION,
    "PRIMICI_NA_ZIRO_RACUN"     DOUBLE PRECISION,
    "PRIMICI_U_NARAVI"          DOUBLE PRECISION,
    "PDV_U_PRIMICIMA"           DOUBLE PRECISION,
    "UKUPNI_PRIMICI"            DOUBLE PRECISION,
    "IZDACI_U_GOTOVINI"         DOUBLE PRECISION,
    "IZDACI_PUTEM_ZIRO_RACUNA"  DOUBLE PRECISION,
    "IZDACI_U_NARAVI"           DOUBLE PRECISION,
    "PDV_U_IZDACIMA"            DOUBLE PRECISION,
    "IZDACI_IZ_CL_19"           DOUBLE PRECISION,
    "UKUPNO_DOPUSTENI_IZDACI"   DOUBLE PRECISION
);
CREATE INDEX "IX_KNJIGA_PRIMITAKA_I_IZDATAKA_SESIJA" ON "KNJIGA_PRIMITAKA_I_IZDATAKA" ("SESIJA", "BROJ_STRANICE");

-- Paged print of the inventory book.
CREATE TABLE "KNJIGA_POPISA" (
    "ID"            {{AUTO_ID}},
    "SESIJA"        INTEGER,
    "SKLADISTE"     INTEGER,
    "GODINA"        INTEGER,
    "BROJ_STRANICE" INTEGER,
    "RBR"           INTEGER,
    "DATUM"         DATE,
    "ISPRAVA"       TEXT,
    "ZADUZENJE"     DOUBLE PRECISION,
    "RAZDUZENJE"    DOUBLE PRECISION
);
CREATE INDEX "IX_KNJIGA_POPISA_SESIJA" ON "KNJIGA_POPISA" ("SESIJA", "BROJ_STRANICE");

-- Output invoice book report work table: the rows of one print, per session (SESIJA), page by
-- page with the carry rows. Columns 1 to 3 are the rate columns of the period, in rate order
-- (base and tax); the others are bases of tax-free supplies, OSTALO what fits no column.
CREATE TABLE "KNJIGA_IRA_IZVJESTAJ" (
    "ID"                  {{AUTO_ID}},
    "SESIJA"              INTEGER,
    "SKLADISTE"           INTEGER,
    "BROJ_STRANICE"       INTEGER,
    "RBR"                 INTEGER,
    "DATUM"               DATE,
    "DATUM_PLACANJA"      DATE,
    "RACUN"               TEXT,
    "KUPAC"               TEXT,
    "OIB"                 TEXT,
    "UKUPNO"              DOUBLE PRECISION,
    "OSNOVICA_1"          DOUBLE PRECISION,
    "POREZ_1"             DOUBLE PRECISION,
    "OSNOVICA_2"          DOUBLE PRECISION,
    "POREZ_2"             DOUBLE PRECISION,
    "OSNOVICA_3"          DOUBLE PRECISION,
    "POREZ_3"             DOUBLE PRECISION,
    "OSNOVICA_EU"         DOUBLE PRECISION,
    "OSNOVICA_IZVOZ"      DOUBLE PRECISION,
    "OSNOVICA_OSLOBODENO" DOUBLE PRECISION,
    "OSNOVICA_PRIJENOS"   DOUBLE PRECISION,
    "OSNOVICA_OSTALO"     DOUBLE PRECISION,
    "POREZ_OSTALO"        DOUBLE PRECISION
);
CREATE INDEX "IX_KNJIGA_IRA_IZVJESTAJ_SESIJA" ON "KNJIGA_IRA_IZVJESTAJ" ("SESIJA", "ID");

-- Paged print of the cash book.
CREATE TABLE "BLAGAJNICKI_IZVJESTAJ" (
    "ID"            {{AUTO_ID}},
    "SESIJA"        INTEGER,
    "SKLADISTE"     INTEGER,
    "BROJ_STRANICE" INTEGER,
    "RBR"           INTEGER,
    "DATUM"         DATE,
    "OPIS"          TEXT,
    "PRIMITAK"      DOUBLE PRECISION,
    "IZDATAK"       DOUBLE PRECISION,
    "SALDO"         DOUBLE PRECISION
);
CREATE INDEX "IX_BLAGAJNICKI_IZVJESTAJ_SESIJA" ON "BLAGAJNICKI_IZVJESTAJ" ("SESIJA", "BROJ_STRANICE");

-- Stored VAT returns of the form for periods ending before 1 March 2012 (rates 10, 22, 23).
-- Every form amount is kept as the text shown on the form (two decimals).
CREATE TABLE "PDVObrasciOd2006" (
    "Godina"                           INTEGER NOT NULL,
    "Rbr"                              INTEGER NOT NULL,
    "PorezniObveznik"                  TEXT,
    "PoreznaIspostava"                 TEXT,
    "SifraDjelatnosti"                 TEXT,
    "MB/JMBG"                          TEXT,
    "DatumOd"                          DATE,
    "DatumDo"                          DATE,
    "I+II_UkupnoNeoporezivoIOporezivo" TEXT,
    "I_UkupnoNeoporezivo"              TEXT,
    "I_1_NePodlijezeUkupno"            TEXT,
    "I_2_OslobodenjeUkupno"            TEXT,
    "I_2_1_Izvoz"                      TEXT,
    "I_2_1_a_MedunarodniPrijevoz"      TEXT,
    "I_2_2_Tuzemstvo"                  TEXT,
    "I_2_3_Ostalo"                     TEXT,
    "I_3_Stopa0"                       TEXT,
    "II_UkupnoOporezivoOsnovica"       TEXT,
    "II_UkupnoOporezivoPorez"          TEXT,
    "II_1_IzdaniRacuniOsnovica10"      TEXT,
    "II_1_IzdaniRacuniPorez10"         TEXT,
    "II_2_IzdaniRacuniOsnovica22"      TEXT,
    "II_2_IzdaniRacuniPorez22"         TEXT,
    "II_2a_IzdaniRacuniOsnovica23"     TEXT,
    "II_2a_IzdaniRacuniPorez23"        TEXT,
    "II_3_NenaplaceniIzvozOsnovica"    TEXT,
    "II_3_NenaplaceniIzvozPorez"       TEXT,
    "II_4_NaknadnoOslobodenjeOsnovica" TEXT,
    "II_4_NaknadnoOslobodenjePorez"    TEXT,
    "III_UkupnoPretporezOsnovica"      TEXT,
    "III_UkupnoPretporezPorez"         TEXT,
    "III_1_PrimljeniRacuniOsnovica10"  TEXT,
    "III_1_PrimljeniRacuniPorez10"     TEXT,
    "III_2_PrimljeniRacuniOsnovica22"  TEXT,
    "III_2_PrimljeniRacuniPorez22"     TEXT,
    "III_2a_PrimljeniRacuniOsnovica23" TEXT,
    "III_2a_PrimljeniRacuniPorez23"    TEXT,
    "III_3_UvozOsnovica"               TEXT,
    "III_3_UvozPorez"                  TEXT,
    "III_4_InozemneUslugeOsnovica10"   TEXT,
    "III_4_InozemneUslugePorez10"      TEXT,
    "III_5_InozemneUslugeOsnovica22"   TEXT,
    "III_5_InozemneUslugePorez22"      TEXT,
    "III_5a_InozemneUslugeOsnovica23"  TEXT,
    "III_5a_InozemneUslugePorez23"     TEXT,
    "III_6_IspravciPretporeza"         TEXT,
    "IV_PoreznaObveza"                 TEXT,
    "V_PrethodniObracun"               TEXT,
    "VI_Razlika"                       TEXT,
    PRIMARY KEY ("Godina", "Rbr")
);

-- Stored VAT returns of the form for later periods (rates 10, 22 and 23 together, 25).
CREATE TABLE "PDVObrasciOd_01_03_2012" (
    "Godina"                             INTEGER NOT NULL,
    "Rbr"                                INTEGER NOT NULL,
    "PorezniObveznik"                    TEXT,
    "PoreznaIspostava"                   TEXT,
    "SifraDjelatnosti"                   TEXT,
    "MB/JMBG"                            TEXT,
    "DatumOd"                            DATE,
    "DatumDo"                            DATE,
    "I+II_UkupnoNeoporezivoIOporezivo"   TEXT,
    "I_UkupnoNeoporezivo"                TEXT,
    "I_1_NePodlijezeUkupno"              TEXT,
    "I_2_OslobodenjeUkupno"              TEXT,
    "I_2_1_Izvoz"                        TEXT,
    "I_2_2_cl11b"                        TEXT,
    "I_2_3_Tuzemstvo"                    TEXT,
    "I_2_4_Ostalo"                       TEXT,
    "I_3_Stopa0"                         TEXT,
    "II_UkupnoOporezivoOsnovica"         TEXT,
    "II_UkupnoOporezivoPorez"            TEXT,
    "II_1_IzdaniRacuniOsnovica10"        TEXT,
    "II_1_IzdaniRacuniPorez10"           TEXT,
    "II_2_IzdaniRacuniOsnovica22_23"     TEXT,
    "II_2_IzdaniRacuniPorez22_23"        TEXT,
    "II_3_IzdaniRacuniOsnovica25"        TEXT,
    "II_3_IzdaniRacuniPorez25"           TEXT,
    "II_4_NaknadnoOslobodenjeOsnovica"   TEXT,
    "II_4_NaknadnoOslobodenjePorez"      TEXT,
    "III_UkupnoPretporezOsnovica"        TEXT,
    "III_UkupnoPretporezPorez"           TEXT,
    "III_1_PrimljeniRacuniOsnovica10"    TEXT,
    "III_1_PrimljeniRacuniPorez10"       TEXT,
    "III_2_PrimljeniRacuniOsnovica22_23" TEXT,
    "III_2_PrimljeniRacuniPorez22_23"    TEXT,
    "III_3_PrimljeniRacuniOsnovica25"    TEXT,
    "III_3_PrimljeniRacuniPorez25"       TEXT,
    "III_4_UvozOsnovica"                 TEXT,
    "III_4_UvozPorez"                    TEXT,
    "III_5_InozemneUslugeOsnovica10"     TEXT,
    "III_5_InozemneUslugePorez10"        TEXT,
    "III_6_InozemneUslugeOsnovica22_23"  TEXT,
    "III_6_InozemneUslugePorez22_23"     TEXT,
    "III_7_InozemneUslugeOsnovica25"     TEXT,
    "III_7_InozemneUslugePorez25"        TEXT,
    "III_8_IspravciPretporeza"           TEXT,
    "IV_PoreznaObveza"                   TEXT,
    "V_PrethodniObracun"                 TEXT,
    "VI_Razlika"                         TEXT,
    PRIMARY KEY ("Godina", "Rbr")
);

-- Stored VAT returns of every form generation, numbered per year (Rbr). OBRAZAC names the
-- generation the period belongs to ('2006', '2012', '2013'); NAPLATA marks a return computed on
-- collections (R-2). Each form line is a row of PDV_OBRASCI_STAVKE with its amounts as numbers.
CREATE TABLE "PDV_OBRASCI" (
    "Godina"           INTEGER NOT NULL,
    "Rbr"              INTEGER NOT NULL,
    "OBRAZAC"          TEXT NOT NULL,
    "DatumOd"          DATE NOT NULL,
    "DatumDo"          DATE NOT NULL,
    "NAPLATA"          BOOLEAN NOT NULL DEFAULT FALSE,
    "PorezniObveznik"  TEXT,
    "PoreznaIspostava" TEXT,
    "SifraDjelatnosti" TEXT,
    "OIB"              TEXT,
    "KORISNIK"         TEXT,
    "SPREMLJENO"       TIMESTAMP,
    PRIMARY KEY ("Godina", "Rbr")
);
CREATE TABLE "PDV_OBRASCI_STAVKE" (
    "Godina"     INTEGER NOT NULL,
    "Rbr"        INTEGER NOT NULL,
    "RBR_STAVKE" INTEGER NOT NULL,
    "OZNAKA"     TEXT NOT NULL,
    "OPIS"       TEXT,
    "OSNOVICA"   DOUBLE PRECISION,
    "POREZ"      DOUBLE PRECISION,
    PRIMARY KEY ("Godina", "Rbr", "RBR_STAVKE")
);

-- Fixed-asset register, one row per asset and year. New rows always go here.
CREATE TABLE "POPIS_DUGOTRAJNE_IMOVINE_REV1" (
    "Godina"                                     INTEGER NOT NULL,
    "Redni broj"                                 INTEGER NOT NULL,
    "Naziv stvari"                               TEXT,
    "Isprava broj/nadnevak"                      TEXT,
    "Nabavna vrijednost"                         DOUBLE PRECISION,
    "Knjigovodstvena vrijednost"                 DOUBLE PRECISION,
    "Skupina"                                    TEXT,
    "Stopa otpisa"                               DOUBLE PRECISION,
    "Svota otpisa"                               DOUBLE PRECISION,
    "Knjigovodstvena vrijednost na kraju godine" DOUBLE PRECISION,
    PRIMARY KEY ("Godina", "Redni broj")
);

-- Fixed-asset register of earlier versions of the company file. A year that has rows here is
-- listed and printed from this table.
CREATE TABLE "POPIS_DUGOTRAJNE_IMOVINE" (
    "Godina"                                     INTEGER NOT NULL,
    "Redni broj"                                 INTEGER NOT NULL,
    "Naziv stvari"                               TEXT,
    "Isprava broj/nadnevak"                      TEXT,
    "Nabavna vrijednost"                         DOUBLE PRECISION,
    "Knjigovodstvena vrijednost"                 DOUBLE PRECISION,
    "Skupina"                                    TEXT,
    "Stopa otpisa"                               DOUBLE PRECISION,
    "Svota otpisa"                               DOUBLE PRECISION,
    "Knjigovodstvena vrijednost na kraju godine" DOUBLE PRECISION,
    PRIMARY KEY ("Godina", "Redni broj")
);

-- ============================================================================
-- Contacts and planner
-- ============================================================================

-- Kinds of contact with a partner.
CREATE TABLE "KONTAKTI_TIPOVI_UPISA" (
    "Sifra" {{AUTO_ID}},
    "Naziv" TEXT
);

-- Contacts with partners.
CREATE TABLE "KONTAKTI" (
    "SIFRA"         {{AUTO_ID}},
    "PARTNER"       INTEGER,
    "DATUM"         DATE,
    "TIP_UPISA"     INTEGER,
    "KONTAKT_OSOBA" TEXT,
    "OPIS"          TEXT,
    "KORISNIK"      TEXT
);
CREATE INDEX "IX_KONTAKTI_PARTNER" ON "KONTAKTI" ("PARTNER", "DATUM");

-- Planner diary. Vrijeme od and Vrijeme do are times of day as text 'HH:MM'.
CREATE TABLE "PLANER" (
    "SIFRA"      {{AUTO_ID}},
    "DATUM"      DATE,
    "Vrijeme od" TEXT,
    "Vrijeme do" TEXT,
    "Opis"       TEXT
);
CREATE INDEX "IX_PLANER_DATUM" ON "PLANER" ("DATUM");

-- Fiscalized receipts: one row per receipt sent to the tax administration (a cancellation is a
-- receipt of its own), its fiscal number BROJ/OZNAKA_PP/OZNAKA_NU, protective code and what the
-- message carries, frozen at posting. A row without JIR waits in the outbox.
CREATE TABLE "FISKAL_RACUNI" (
    "ID"              {{AUTO_ID}},
    "SKLADISTE"       INTEGER NOT NULL,
    "IRA"             INTEGER NOT NULL,
    "GODINA"          INTEGER NOT NULL,
    "BROJ_RACUNA"     INTEGER NOT NULL,
    "DETALJNO"        BOOLEAN NOT NULL DEFAULT FALSE,
    "STORNO"          BOOLEAN NOT NULL DEFAULT FALSE,
    "BROJ"            INTEGER NOT NULL,
    "OZNAKA_PP"       TEXT NOT NULL,
    "OZNAKA_NU"       TEXT NOT NULL,
    "SLIJED"          TEXT NOT NULL,
    "GODINA_BROJA"    INTEGER NOT NULL,
    "IZDAN"           TIMESTAMP NOT NULL,
    "UKUPNO"          DOUBLE PRECISION NOT NULL,
    "POREZI"          TEXT,
    "OIB"             TEXT NOT NULL,
    "U_SUSTAVU_PDV"   BOOLEAN NOT NULL,
    "OIB_OPERATERA"   TEXT NOT NULL,
    "OPERATER"        TEXT,
    "ZKI"             TEXT NOT NULL,
    "NACIN_PLACANJA"  TEXT NOT NULL DEFAULT 'G',
    "JIR"             TEXT,
    "POKUSAJA"        INTEGER NOT NULL DEFAULT 0,
    "ZADNJI_POKUSAJ"  TIMESTAMP,
    "GRESKA"          TEXT,
    "OIB_PRIMATELJA"  TEXT,
    "PROMJENA_NACINA" TEXT,
    "PROMJENA_OIB"    TEXT
);
CREATE UNIQUE INDEX "UX_FISKAL_RACUNI_RACUN" ON "FISKAL_RACUNI" ("SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA", "DETALJNO", "STORNO");
CREATE UNIQUE INDEX "UX_FISKAL_RACUNI_BROJ_P" ON "FISKAL_RACUNI" ("OZNAKA_PP", "GODINA_BROJA", "BROJ") WHERE "SLIJED" = 'P';
CREATE UNIQUE INDEX "UX_FISKAL_RACUNI_BROJ_N" ON "FISKAL_RACUNI" ("OZNAKA_PP", "OZNAKA_NU", "GODINA_BROJA", "BROJ") WHERE "SLIJED" = 'N';
CREATE INDEX "IX_FISKAL_RACUNI_CEKAJU" ON "FISKAL_RACUNI" ("ID") WHERE "JIR" IS NULL;

-- The reports of e-invoices to the tax administration: VRSTA 'ERACUN' (an issued e-invoice),
-- 'ODOBRENJE' (its cancellation's credit note) or 'NAPLATA' (a collection of it: NAPLATA names
-- the collection, with its date, amount and method T, O or Z) or 'STORNO_NAPLATE' (the withdrawal
-- of an accepted payment report when its collection is deleted, the amount negated). Queued in the transaction that
-- issues the document or records the collection; a row without PRIHVACEN waits in the outbox.
CREATE TABLE "FISKAL_IZVJESTAJI" (
    "ID"              {{AUTO_ID}},
    "VRSTA"           TEXT NOT NULL,
    "SKLADISTE"       INTEGER NOT NULL,
    "IRA"             INTEGER NOT NULL,
    "GODINA"          INTEGER NOT NULL,
    "BROJ_RACUNA"     INTEGER NOT NULL,
    "NAPLATA"         INTEGER,
    "DATUM_NAPLATE"   DATE,
    "IZNOS"           DOUBLE PRECISION,
    "NACIN"           TEXT,
    "NASTAO"          TIMESTAMP NOT NULL,
    "PRIHVACEN"       TIMESTAMP,
    "POKUSAJA"        INTEGER NOT NULL DEFAULT 0,
    "ZADNJI_POKUSAJ"  TIMESTAMP,
    "GRESKA"          TEXT
);
CREATE UNIQUE INDEX "UX_FISKAL_IZVJESTAJI_RACUN" ON "FISKAL_IZVJESTAJI" ("VRSTA", "SKLADISTE", "IRA", "GODINA", "BROJ_RACUNA") WHERE "NAPLATA" IS NULL;
CREATE UNIQUE INDEX "UX_FISKAL_IZVJESTAJI_VRSTA_NAPLATA" ON "FISKAL_IZVJESTAJI" ("VRSTA", "NAPLATA") WHERE "NAPLATA" IS NOT NULL;
CREATE INDEX "IX_FISKAL_IZVJESTAJI_CEKAJU" ON "FISKAL_IZVJESTAJI" ("ID") WHERE "PRIHVACEN" IS NULL;

-- A same-day change of a confirmed receipt (RACUN: FISKAL_RACUNI.ID) the service has not
-- confirmed yet: the payment code and buyer's OIB last asked for, its attempts and last failure.
CREATE TABLE "FISKAL_PROMJENE" (
    "RACUN"           INTEGER NOT NULL,
    "NACIN"           TEXT NOT NULL,
    "OIB"             TEXT,
    "NASTALA"         TIMESTAMP NOT NULL,
    "POKUSAJA"        INTEGER NOT NULL DEFAULT 0,
    "ZADNJI_POKUSAJ"  TIMESTAMP,
    "GRESKA"          TEXT,
    PRIMARY KEY ("RACUN")
);

-- What is being sent right now: VRSTA 'RACUN' (a receipt or its change) or 'IZVJESTAJ', its row's
-- ID, the sender's token and when it began; a mark older than two minutes is taken over.
CREATE TABLE "FISKAL_SLANJE" (
    "VRSTA"  TEXT NOT NULL,
    "ID"     INTEGER NOT NULL,
    "OZNAKA" TEXT NOT NULL,
    "OD"     TIMESTAMP NOT NULL,
    PRIMARY KEY ("VRSTA", "ID")
);

-- The OIB each user issues receipts under.
CREATE TABLE "FISKAL_OPERATERI" (
    "KORISNIK" TEXT NOT NULL,
    "OIB"      TEXT NOT NULL,
    PRIMARY KEY ("KORISNIK")
);

-- Bills imported from the appointment planner: the bill's identity (a digest of its content)
-- and the retail invoice it became, so that the same bill signalled twice is billed once.
CREATE TABLE "PLANER_RACUNI" (
    "OZNAKA"      TEXT NOT NULL,
    "SKLADISTE"   INTEGER NOT NULL,
    "IRA"         INTEGER NOT NULL,
    "GODINA"      INTEGER NOT NULL,
    "BROJ_RACUNA" INTEGER NOT NULL,
    "DATUM_UVOZA" TIMESTAMP,
    PRIMARY KEY ("OZNAKA")
);
