-- Zodra company file: the rows an empty company needs.
-- Codes are written explicitly. The business year (Godina koja se knjiži) is not seeded: the
-- program writes the current year when it creates the company.

-- Company record: filled in by the user right after the company is created.
INSERT INTO "PODACI_FIRME" ("ID", "NAZIV", "ADRESA", "MJESTO", "TELEFON", "TELEFAX", "DJELATNOST",
    "ZIRO_RACUN", "EMAIL", "URL", "MB/JMBG", "OIB", "DIREKTOR", "TEKST O REGISTRACIJI", "POS PORT",
    "OZNAKA_NA_RACUNU", "FormatBroj", "REPORT VRACUNA", "REPORT MRACUNA", "REPORT RACUNA VOZILA",
    "ARTIKLI", "AutoBackup")
VALUES (1, '', '', '', '', '', '', '', '', '', '', '', '', '', '',
    'R-1', '#,##0.00', 'racun.rpt', 'racun_m.rpt', 'racun_vozilo.rpt',
    'po nazivu', FALSE);

-- The administrator, without a password and with every right.
INSERT INTO "KORISNICI" ("Username", "Password", "Username_kljuc",
    "Sifarnici", "Knjizenje", "Primka", "Racun", "POS", "Otpremnica", "Izmjena cijena",
    "Meduskladisnica", "Povratnica dobavljacu", "Radni nalog", "Radni nalog dorada", "Specifikacija",
    "Rashod", "Odjava", "Ponuda", "Predracun", "Narudzbenica", "Rezervacija", "Inventura",
    "Dopis", "Prijenos", "Promjene", "URA IRA", "Obrt", "Knjiga popisa", "Rekapitulacije",
    "Blagajnicki izvjestaj", "Kartice artikala", "Prodaja", "Dodatni ispisi", "Saldakonti kupaca",
    "Saldakonti dobavljaca", "Grafikoni", "Cjenici", "Stanje na skladistu", "Vidljive nabavne cijene",
    "Dozvoljena promjena cijene", "Dozvoljen Z kase")
VALUES ('admin', '', 'admin',
    TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE,
    TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE,
    TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE,
    TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE);

-- Home currency.
INSERT INTO "VALUTE" ("SIFRA", "NAZIV") VALUES (1, 'EUR');

-- Sales terms 1 to 7 (protected from deletion): retail, and one term per other taxation type.
INSERT INTO "UVJETI_PRODAJE" ("SIFRA", "NAZIV", "TIP_OPOREZIVANJA", "SAMOSTALNA_NUMERACIJA", "POCETNI_BR_RACUNA") VALUES
    (1, 'Maloprodaja', 12, FALSE, 1),
    (2, 'Veleprodaja', 10, FALSE, 1),
    (3, 'Izvoz', 8, FALSE, 1),
    (4, 'Oslobođeno - ostalo', 9, FALSE, 1),
    (5, 'Ne podliježe oporezivanju', 7, FALSE, 1),
    (6, 'Nulta stopa', 13, FALSE, 1),
    (7, 'Oslobođeno - tuzemstvo', 14, FALSE, 1);

-- Output invoice book 1 (the retail book, also used for invoices made from delivery notes)
-- and input invoice book 1. Both are protected from deletion.
INSERT INTO "KNJIGE_IRA" ("SIFRA", "NAZIV", "TekstIspis", "SKIDA") VALUES (1, 'Izlazni računi', '', TRUE);
INSERT INTO "KNJIGE_URA" ("SIFRA", "NAZIV") VALUES (1, 'Ulazni računi');

-- The two partners the program relies on by name.
INSERT INTO "PARTNERI" ("SIFRA", "NAZIV", "ADRESA", "MJESTO", "RABAT", "ODGODA", "Kupac", "Dobavljac", "CJENIK") VALUES
    (1, 'Kupac u maloprodaji', '', '', 0, 0, TRUE, FALSE, 0),
    (2, 'Prijenos iz prošle godine', '', '', 0, 0, FALSE, TRUE, 0);

-- Tax groups. The group named PDV is the one given to services created from planner bills,
-- the group named Neoporezivo always carries a rate of 0.
INSERT INTO "PDV_VRSTE" ("SIFRA", "NAZIV", "VRSTA", "REDAK", "STOPA") VALUES
    (1, 'Oporezivo 25 % (redak 203)', 1, 203, 25),
    (2, 'Oporezivo 13 % (redak 202)', 1, 202, 13),
    (3, 'Oporezivo 5 % (redak 201)', 1, 201, 5),
    (4, 'Oslobođeno, ostalo (redak 110)', 2, 110, NULL),
    (5, 'Oslobođeno u tuzemstvu (redak 108)', 2, 108, NULL),
    (6, 'Izvoz (redak 109)', 3, 109, NULL),
    (7, 'Isporuka dobara unutar EU (redak 103)', 4, 103, NULL),
    (8, 'Usluge unutar EU (redak 104)', 4, 104, NULL),
    (9, 'Prijenos porezne obveze u tuzemstvu (redak 101)', 5, 101, NULL),
    (10, 'Stopa 0 % (redak 111)', 2, 111, NULL);

INSERT INTO "GRUPE_POREZA" ("SIFRA", "NAZIV", "STOPA", "PDV_VRSTA") VALUES
    (1, 'PDV', 25, 1),
    (2, 'PDV 13%', 13, 2),
    (3, 'PDV 5%', 5, 3),
    (4, 'Neoporezivo', 0, 4);

INSERT INTO "GRUPE_A" ("SIFRA", "NAZIV", "VELEPRODAJNA_MARZA", "MALOPRODAJNA_MARZA") VALUES (1, 'Roba', 0, 0);

-- Delivery and payment methods written on retail invoices and on invoices made from delivery notes.
INSERT INTO "NACINI_ISPORUKE" ("SIFRA", "NAZIV") VALUES (1, 'osobno');
INSERT INTO "NACINI_PLACANJA" ("SIFRA", "NAZIV") VALUES
    (1, 'gotovinom'),
    (2, 'virmanom');

-- Entry type 1 of the book of receipts and expenditures is the daily cash-sales row.
INSERT INTO "KPI_TIPOVI_UPISA" ("Sifra", "Naziv") VALUES (1, 'Promet u gotovini');
INSERT INTO "KONTAKTI_TIPOVI_UPISA" ("Sifra", "Naziv") VALUES (1, 'Općenito');

-- Company settings with their defaults. Switches are 'DA' or 'NE'.
INSERT INTO "Konfiguracija" ("Naziv", "Vrijednost") VALUES
    ('Vođenje skladišta', 'FIFO'),
    ('Fiksni dodatni tekst', ''),
    ('Baza sa više godina', 'NE'),
    ('Prodaja vozila', 'NE'),
    ('Artikli dodatni podaci', 'NE'),
    ('Djelatnici i trajanje usluga', 'NE'),
    ('Skraćena kalkulacija', 'NE'),
    ('Prethodni podaci artikla u kalkulaciji', 'NE'),
    ('Automatski radni nalozi', 'NE'),
    ('Naknadno skidanje artikala POS', 'NE'),
    ('Sumiranje maloprodajnih računa', 'NE'),
    ('Sumiranje međuskladišnica i primki', 'NE'),
    ('Vanjski izvor artikala', 'NE'),
    ('Vanjski izvor artikala - putanja baze', ''),
    ('Vanjski izvor artikala - šifra skladišta', '0'),
    ('Prikaz cijena u valuti', 'NE'),
    ('Zatvaranje prozora nakon upisa stavke', 'DA'),
    ('Word dokumenti', 'NE'),
    ('Dodatni zavisni troškovi', 'NE'),
    ('Ispis vremena na POS računu', 'NE'),
    ('Ambalaža', 'NE'),
    ('Specifikacije usluga', 'NE'),
    ('Izbor primke u POS kasi', 'NE'),
    ('Prikaz ukupnih iznosa na računu', 'DA'),
    ('Upozorenje na cijenu ispod nabavne', 'DA'),
    ('Naplata nakon maloprodajnog računa', 'DA'),
    ('PDV porezna ispostava', ''),
    ('PDV obrazac sastavio', ''),
    ('KPD zadana šifra', '');
