#include "data/CommandCatalogue.h"

#include <map>

namespace zodra::commands {

namespace {

using Text = const char16_t*;

QString T(Text text) {
    return text ? QString::fromUtf16(text) : QString();
}

// Builds the tree in display order. Status texts not given are made from the caption (and the
// submenu's caption for entries of a submenu whose own caption says little, e.g. "Upis").
class Builder {
public:
    void Menu(Text name, Text caption, Text parent = nullptr) {
        Add(name, caption, parent, Kind::Menu, nullptr, nullptr, {});
    }
    void Item(Text name, Text caption, Text parent, Text status = nullptr, Text window = nullptr,
              std::initializer_list<Text> reports = {}) {
        Add(name, caption, parent, Kind::Item, status, window, reports);
    }
    void Report(Text name, Text caption, Text parent, std::initializer_list<Text> reports) {
        Add(name, caption, parent, Kind::Item, nullptr, u"Određivanje ograničenja izvještaja",
            reports);
    }
    void Separator(Text name, Text parent) {
        Add(name, nullptr, parent, Kind::Separator, nullptr, nullptr, {});
    }

    std::vector<Command> Finish() {
        std::map<QString, const Command*> byName;
        for (const Command& c : m_list) {
            byName[c.name] = &c;
        }
        for (Command& c : m_list) {
            if (c.kind != Kind::Item || !c.statusText.isEmpty() || c.caption.isEmpty()) {
                continue;
            }
            const auto parent = byName.find(c.parent);
            const bool nested = parent != byName.end() && !parent->second->parent.isEmpty();
            c.statusText = nested ? QStringLiteral(" ") + parent->second->caption +
                                        QStringLiteral(" - ") + c.caption
                                  : QStringLiteral(" ") + c.caption;
        }
        return std::move(m_list);
    }

private:
    void Add(Text name, Text caption, Text parent, Kind kind, Text status, Text window,
             std::initializer_list<Text> reports) {
        Command c;
        c.name = T(name);
        c.caption = T(caption);
        c.parent = T(parent);
        c.kind = kind;
        c.statusText = T(status);
        c.window = T(window);
        for (Text r : reports) {
            c.reports << T(r);
        }
        m_list.push_back(std::move(c));
    }

    std::vector<Command> m_list;
};

void Companies(Builder& b) {
    b.Menu(u"Poduzeca", u"Poduzeća");
    b.Item(u"Otvori", u"Otvori", u"Poduzeca", u" Otvaranje poduzeća", u"Otvaranje baze podataka");
    b.Item(u"Zatvori", u"Zatvori", u"Poduzeca", u" Zatvaranje poduzeća");
    b.Item(u"Upis_novog", u"Upis novog", u"Poduzeca", u" Upis novog poduzeća",
           u"Upis podataka poduzeća");
    b.Item(u"Odrzavanje_baze_podataka", u"Održavanje baze podataka", u"Poduzeca",
           u" Održavanje baze podataka", u"Održavanje baze podataka");
    b.Separator(u"r45", u"Poduzeca");
    b.Item(u"Baza1", nullptr, u"Poduzeca", u" Otvaranje poduzeća");
    b.Item(u"Baza2", nullptr, u"Poduzeca", u" Otvaranje poduzeća");
    b.Item(u"Baza3", nullptr, u"Poduzeca", u" Otvaranje poduzeća");
    b.Item(u"Izlaz", u"Izlaz", u"Poduzeca", u" Izlaz");
}

void Registers(Builder& b) {
    const Text p = u"Sifarnici";
    b.Menu(p, u"Osnovni podaci");
    b.Item(u"Skladista", u"Skladišta", p, nullptr, u"Skladišta");
    b.Menu(u"Partneri1", u"Partneri", p);
    b.Item(u"Sifarnici_Partneri", u"Partneri pojedinačno", u"Partneri1", u" Partneri", u"Partneri");
    b.Item(u"Partneri_tablica", u"Partneri tablično", u"Partneri1", u" Partneri tablično");
    b.Item(u"Ispis_partnera", u"Ispis partnera", u"Partneri1", u" Ispis partnera", nullptr,
           {u"partneri.rpt"});
    b.Menu(u"Artikli1", u"Artikli", p);
    b.Item(u"Sifarnici_artikli", u"Artikli pojedinačno", u"Artikli1", u" Artikli", u"Artikli");
    b.Item(u"Artikli_tablica", u"Artikli tablično", u"Artikli1", u" Artikli tablično");
    b.Item(u"Sifarnici_usluge", u"Usluge", p, nullptr, u"Usluge");
    b.Item(u"Sifarnici_ambalaza", u"Ambalaža", p, nullptr, u"Ambalaža");
    b.Item(u"Sifarnici_grupe_artikala", u"Grupe artikala", p, nullptr, u"Grupe artikla");
    b.Item(u"Sifarnici_grupe_poreza", u"Grupe poreza", p, nullptr, u"Grupe poreza");
    b.Item(u"Sifarnici_uvjeti_prodaje", u"Uvjeti prodaje", p, nullptr, u"Uvjeti prodaje");
    b.Item(u"Sifarnici_nacini_isporuke", u"Načini isporuke", p, nullptr, u"Načini isporuke");
    b.Item(u"Sifarnici_knjige_ira", u"Knjige IRA", p, nullptr, u"Knjige IRA");
    b.Item(u"Sifarnici_knjige_ura", u"Knjige URA", p, nullptr, u"Knjige URA");
    b.Item(u"Sifarnici_valute", u"Valute", p, nullptr, u"Valute");
    b.Item(u"Sifarnici_Tipovi_kartica", u"Tipovi kartica", p, nullptr, u"Tipovi kreditnih kartica");
    b.Item(u"Sifarnici_Djelatnici", u"Djelatnici", p, nullptr, u"Djelatnici");
    b.Item(u"Sifarnici_sastavnice", u"Sastavnice", p, nullptr, u"Sastavnice");
    b.Item(u"Podaci_poduzeca", u"Podaci poduzeća", p, nullptr, u"Upis podataka poduzeća");
    b.Item(u"Sifarnici_Korisnici", u"Korisnici", p, nullptr, u"Korisnici");
}

void Postings(Builder& b) {
    const Text p = u"Knjizenje";
    b.Menu(p, u"Knjiženje");
    b.Item(u"Knjizenje_primka", u"Primka", p, u" Knjiženje primke", u"Primka");
    b.Item(u"Knjizenje_racun", u"Račun", p, u" Knjiženje računa", u"Račun");
    b.Item(u"Knjizenje_kasa", u"POS Kasa", p, u" POS Kasa", u"POS Kasa");
    b.Item(u"Knjizenje_otpremnica", u"Otpremnica", p, u" Knjiženje otpremnice", u"Otpremnica");
    b.Item(u"Knjizenje_izmjena_cijena", u"Izmjena cijena", p, u" Knjiženje izmjene cijena",
           u"Izmjena cijena");
    b.Item(u"Knjizenje_meduskladisnica", u"Međuskladišnica", p, u" Knjiženje međuskladišnice",
           u"Međuskladišnica");
    b.Item(u"Knjizenje_povratnica_dobavljacu", u"Povratnica dobavljaču", p,
           u" Knjiženje povratnice dobavljaču", u"Povratnica dobavljaču");
    b.Item(u"Knjizenje_radni_nalog", u"Radni nalog", p, u" Knjiženje radnog naloga",
           u"Radni nalog");
    b.Item(u"Knjizenje_radni_nalog_dorada", u"Radni nalog dorada", p,
           u" Knjiženje radnog naloga dorade", u"Radni nalog dorada");
    b.Item(u"Knjizenje_specifikacija", u"Specifikacija", p, u" Knjiženje specifikacije",
           u"Specifikacija");
    b.Item(u"Knjizenje_rashod", u"Rashod", p, u" Knjiženje rashoda", u"Rashod");
    b.Item(u"Knjizenje_odjava", u"Odjava", p, u" Knjiženje odjave", u"Odjava");
    b.Item(u"Knjizenje_izdatnica", u"Izdatnica", p, u" Knjiženje izdatnice", u"Izdatnica");
    b.Item(u"Knjizenje_povratnica", u"Povratnica", p, u" Knjiženje povratnice", u"Povratnica");
    b.Item(u"Knjizenje_ponuda", u"Ponuda", p, u" Izrada ponude", u"Ponuda");
    b.Item(u"Knjizenje_predracun", u"Predračun", p, u" Izrada predračuna", u"Predračun");
    b.Item(u"Knjizenje_situacija", u"Situacija", p, u" Izrada situacije", u"Situacija");
    b.Item(u"Knjizenje_narudzbenica", u"Narudžbenica", p, u" Izrada narudžbenice", u"Narudžbenica");
    b.Item(u"Knjizenje_rezervacija", u"Rezervacija", p, u" Izrada rezervacije", u"Rezervacija");
    b.Item(u"Dopis", u"Dopis", p, u" Dopis", u"Dopis");
    b.Item(u"Word_dokumenti", u"Word dokumenti", p, u" Word dokumenti", u"Word dokumenti");
    b.Item(u"Knjizenje_zapisnik_porez", u"Zapisnici o promjeni grupe poreza", p,
           u" Zapisnici o promjeni grupe poreza", u"Zapisnici o promjeni grupe poreza");
    b.Item(u"Knjizenje_inventura", u"Inventura", p, u" Knjiženje inventure", u"Inventura");
    b.Item(u"Prijenos", u"Prijenos u novu godinu", p, u" Prijenos u novu godinu",
           u"Prijenos u novu godinu");
}

void Reviews(Builder& b) {
    const Text p = u"Pregledi";
    b.Menu(p, u"Pregledi", u"Izvjestaji");
    b.Item(u"Pregledi_primke", u"Primke", p, u" Pregled primki", u"Izbor primke");
    b.Item(u"Pregledi_racuni", u"Računi", p, u" Pregled računa", u"Računi");
    b.Item(u"Pregledi_otpremnice", u"Otpremnice", p, u" Pregled otpremnica", u"Otpremnice");
    b.Item(u"Pregledi_izmjene_cijena", u"Izmjene cijena", p, u" Pregled izmjena cijena",
           u"Izmjene cijena");
    b.Item(u"Pregledi_meduskladisnice", u"Međuskladišnice", p, u" Pregled međuskladišnica",
           u"Međuskladišnice");
    b.Item(u"Pregledi_povratnice_dobavljacima", u"Povratnice dobavljačima", p,
           u" Pregled povratnica dobavljačima", u"Povratnice dobavljačima");
    b.Item(u"Pregledi_radni_nalozi", u"Radni nalozi", p, u" Pregled radnih naloga",
           u"Radni nalozi");
    b.Item(u"Pregledi_radni_nalozi_dorada", u"Radni nalozi dorada", p,
           u" Pregled radnih naloga dorade", u"Radni nalozi dorada");
    b.Item(u"Pregledi_specifikacije", u"Specifikacije", p, u" Pregled specifikacija",
           u"Specifikacije");
    b.Item(u"Pregledi_rashodi", u"Rashodi", p, u" Pregled rashoda", u"Rashodi");
    b.Item(u"Pregledi_odjave", u"Odjave", p, u" Pregled odjava", u"Odjave");
    b.Item(u"Pregledi_izdatnice", u"Izdatnice", p, u" Pregled izdatnica", u"Izdatnice");
    b.Item(u"Pregledi_povratnice", u"Povratnice", p, u" Pregled povratnica", u"Povratnice");
    b.Item(u"Pregledi_ponude", u"Ponude", p, u" Pregled ponuda", u"Ponude");
    b.Item(u"Pregledi_predracuni", u"Predračuni", p, u" Pregled predračuna", u"Predračuni");
    b.Item(u"Pregledi_situacije", u"Situacije", p, u" Pregled situacija", u"Situacije");
    b.Item(u"Pregledi_narudzbenice", u"Narudžbenice", p, u" Pregled narudžbenica", u"Narudžbenice");
    b.Item(u"Pregledi_rezervacije", u"Rezervacije", p, u" Pregled rezervacija", u"Rezervacije");
    b.Item(u"Pregledi_inventure", u"Inventure", p, u" Pregled inventura", u"Inventure");
    b.Item(u"Pregledi_dopisi", u"Dopisi", p, u" Pregled dopisa", u"Dopisi");
    b.Item(u"Pregledi_storna", u"Storno dokumenti", p, u" Pregled storno dokumenata",
           u"Storno dokumenti");
}

void Books(Builder& b) {
    b.Menu(u"Knjiga_izlaznih_racuna", u"Knjige izlaznih računa", u"Izvjestaji");
    b.Report(u"IRA_ukupno", u"Izvještaj ukupno", u"Knjiga_izlaznih_racuna", {u"i-ra.rpt"});
    b.Report(u"IRA_ukupno_po_danima", u"Izvještaj ukupno po danima", u"Knjiga_izlaznih_racuna",
             {u"i-ra_d.rpt"});
    b.Report(u"IRA_DP", u"Izvještaj plaćenih računa po datumima plaćanja",
             u"Knjiga_izlaznih_racuna", {u"i-ra_dp.rpt"});
    b.Report(u"IRA_DP_po_danima", u"Izvještaj plaćenih računa po datumima plaćanja po danima",
             u"Knjiga_izlaznih_racuna", {u"i-ra_pl_d.rpt"});

    b.Menu(u"Knjiga_ulaznih_racuna", u"Knjige ulaznih računa", u"Izvjestaji");
    b.Item(u"URA_Upis", u"Upis", u"Knjiga_ulaznih_racuna", nullptr, u"Knjiga ulaznih računa");
    b.Report(u"URA_Izvještaj", u"Izvještaj ukupno", u"Knjiga_ulaznih_racuna", {u"ura.rpt"});
    b.Report(u"URA_Izvjestaj_po_placanju", u"Izvještaj po datumima plaćanja",
             u"Knjiga_ulaznih_racuna", {u"ura_dp.rpt"});
    b.Report(u"URA_R2", u"Izvještaj plaćenih R-2 računa po datumima plaćanja",
             u"Knjiga_ulaznih_racuna", {u"ura_dp.rpt"});

    b.Menu(u"KPI", u"Knjiga primitaka i izdataka", u"Izvjestaji");
    b.Item(u"KPI_Upis", u"Upis", u"KPI", nullptr, u"Knjiga primitaka i izdataka");
    b.Report(u"KPI_Izvjestaj", u"Izvještaj", u"KPI", {u"kpi.rpt"});
    b.Report(u"KPI_Izvjestaj_po_tipovima_upisa", u"Izvještaj po tipovima upisa", u"KPI",
             {u"kpi_tip.rpt"});

    b.Report(u"Knjiga_prometa", u"Knjiga prometa", u"Izvjestaji", {u"kpr.rpt"});

    // The trade books (wholesale: one entry per posted stock document; retail: direct entries).
    b.Item(u"Trgovacka_knjiga_veleprodaje", u"Trgovačka knjiga veleprodaje", u"Izvjestaji", nullptr,
           u"Trgovačka knjiga veleprodaje", {u"tk_v.rpt"});
    b.Item(u"Trgovacka_knjiga_maloprodaje", u"Trgovačka knjiga maloprodaje", u"Izvjestaji", nullptr,
           u"Trgovačka knjiga maloprodaje", {u"tk_m.rpt"});

    b.Menu(u"PDI", u"Popis dugotrajne imovine", u"Izvjestaji");
    b.Item(u"PDI_Upis", u"Upis", u"PDI", nullptr, u"Popis dugotrajne imovine");
    b.Report(u"PDI_Izvjestaj", u"Izvještaj", u"PDI", {u"pdi.rpt", u"pdi_rev1.rpt"});

    b.Menu(u"Knjiga_popisa", u"Knjiga popisa", u"Izvjestaji");
    b.Report(u"kp1", u"Sumarni izvještaj", u"Knjiga_popisa", {u"kp.rpt"});
    b.Report(u"kp1_sum", u"Sumarni izvještaj - zbirno", u"Knjiga_popisa", {u"kp_sum.rpt"});
    b.Report(u"kp2", u"Donosi i prijenosi na stranama", u"Knjiga_popisa", {u"kp1.rpt"});
}

void Recapitulations(Builder& b) {
    const Text p = u"Rekapitulacije";
    b.Menu(p, u"Rekapitulacije", u"Izvjestaji");
    b.Menu(u"Rekapitulacija_primki", u"Rekapitulacija primki", p);
    b.Report(u"Rek_prim_uk", u"Ukupno", u"Rekapitulacija_primki", {u"rek_prim.rpt"});
    b.Report(u"Rek_prim_dob", u"Sortirano po dobavljačima", u"Rekapitulacija_primki",
             {u"rek_prim_d.rpt"});
    b.Report(u"Rek_prim_dob_art", u"Po dobavljačima i artiklima", u"Rekapitulacija_primki",
             {u"rek_prim_d_a.rpt"});
    b.Menu(u"Rekapitulacija_racuna", u"Rekapitulacija računa", p);
    b.Report(u"Rek_vrac_uk", u"Ukupno", u"Rekapitulacija_racuna", {u"rek_vrac.rpt"});
    b.Report(u"Rek_vrac_kup", u"Sortirano po kupcima", u"Rekapitulacija_racuna",
             {u"rek_vrac_k.rpt"});
    b.Report(u"Rek_vrac_uvjeti_p", u"Po uvjetima prodaje", u"Rekapitulacija_racuna",
             {u"rek_vrac_uvjeti_p.rpt"});
    b.Report(u"Racuni_od_do", u"Ispis računa od - do", u"Rekapitulacija_racuna",
             {u"rac_od_do.rpt"});
    b.Report(u"Rekapitulacija_izmjena_cijena", u"Rekapitulacija izmjena cijena", p,
             {u"rek_izm.rpt"});
    b.Report(u"Rekapitulacija_meduskladisnica", u"Rekapitulacija međuskladišnica", p,
             {u"rek_med.rpt"});
    b.Report(u"Rekapitulacija_povratnica_dobavljacima", u"Rekapitulacija povratnica dobavljačima",
             p, {u"rek_pov_dob.rpt"});
    b.Report(u"Rekapitulacija_radnih_naloga", u"Rekapitulacija radnih naloga", p, {u"rek_rn.rpt"});
    b.Report(u"Rekapitulacija_radnih_naloga_dorada", u"Rekapitulacija radnih naloga dorada", p,
             {u"rek_rn_dor.rpt"});
    b.Report(u"Rekapitulacija_specifikacija", u"Rekapitulacija specifikacija", p,
             {u"rek_potrosnje_usluga.rpt"});
    b.Report(u"Rekapitulacija_rashoda", u"Rekapitulacija rashoda", p, {u"rek_rashoda.rpt"});
    b.Report(u"Rekapitulacija_odjava", u"Rekapitulacija odjava", p, {u"rek_odjava.rpt"});
    b.Report(u"Rekapitulacija_izdatnica", u"Rekapitulacija izdatnica", p, {u"rek_izdatnica.rpt"});
    b.Report(u"Rekapitulacija_povratnica", u"Rekapitulacija povratnica", p,
             {u"rek_povratnica.rpt"});
    b.Report(u"Rekapitulacija_inventura", u"Rekapitulacija inventura", p, {u"rek_inv.rpt"});
    b.Menu(u"Rekapitulacija_maloprodajnih_racuna", u"Rekapitulacija maloprodajnih računa", p);
    b.Report(u"Rekapitulacija_maloprodajnih_racuna_Ukupno", u"Ukupno",
             u"Rekapitulacija_maloprodajnih_racuna", {u"rek_mrac.rpt"});
    b.Report(u"Rekapitulacija_maloprodajnih_racuna_Po_danima", u"Po danima",
             u"Rekapitulacija_maloprodajnih_racuna", {u"rek_mrac_dan.rpt"});
    b.Report(u"Maloprodajni_racuni_od_do", u"Ispis maloprodajnih računa od - do",
             u"Rekapitulacija_maloprodajnih_racuna", {u"rac_od_do.rpt"});
    b.Item(u"Maloprodajni_racuni_detaljno", u"Storno i brisanje detaljnih računa",
           u"Rekapitulacija_maloprodajnih_racuna", u" Detaljni maloprodajni računi",
           u"Detaljni maloprodajni računi");
    b.Item(u"Nepotvrdeni_racuni", u"Nepotvrđeni računi", u"Rekapitulacija_maloprodajnih_racuna",
           u" Fiskalni računi bez JIR-a", u"Nepotvrđeni računi");
    b.Report(u"Rekapitulacija_po_situacijama", u"Rekapitulacija po situacijama", p,
             {u"rek_situacije.rpt"});
    b.Report(u"Rekapitulacija_svih_dokumenata", u"Rekapitulacija svih dokumenata", p,
             {u"rek_dok.rpt"});
    b.Report(u"Rekapitulacija_kartica_artikala", u"Rekapitulacija kartica artikala", p,
             {u"rek_kart_art.rpt"});
    b.Report(u"Trgovacka_knjiga", u"Trgovačka knjiga", p, {u"tk.rpt"});
    b.Report(u"Rekapitulacija_poreza_po_dokumentima", u"Rekapitulacija poreza po dokumentima", p,
             {u"tk_porez.rpt"});
    b.Report(u"Rekapitulacija_artikala_po_racunima", u"Rekapitulacija artikala po računima", p,
             {u"rek_art_rac.rpt"});
    b.Item(u"Rekapitulacija_povratne_ambalaze", u"Rekapitulacija povratne ambalaže", p, nullptr,
           u"Kartica ambalaže");
    b.Report(u"Odjava_artikala_po_meduskladisnicama", u"Odjava artikala po međuskladišnicama", p,
             {u"rek_art.rpt"});
    b.Report(u"Rekapitulacija_vremena_po_djelatnicima", u"Rekapitulacija vremena po djelatnicima",
             p, {u"Djel_vrijeme.rpt"});
    b.Report(u"Rekapitulacija_ponuda", u"Rekapitulacija ponuda", p, {u"rek_ponuda.rpt"});
}

void VatCashAndCards(Builder& b) {
    b.Menu(u"PDV_obrasci", u"PDV obrasci", u"Izvjestaji");
    b.Item(u"PDV_obrasci_Prijava", u"Prijava", u"PDV_obrasci", nullptr, u"PDV obrazac");
    b.Item(u"PDV_obrasci_Pregled", u"Pregled", u"PDV_obrasci", nullptr, u"PDV obrasci");

    b.Menu(u"Blagajnicki_izvjestaj", u"Blagajnički izvještaj", u"Izvjestaji");
    b.Report(u"Blag_izv1", u"Izvještaj", u"Blagajnicki_izvjestaj",
             {u"blag_izv.rpt", u"Blag_izv_sum.rpt"});
    b.Item(u"Blag_izv_Uplatnice", u"Uplatnice", u"Blagajnicki_izvjestaj", nullptr, u"Uplatnice");
    b.Item(u"Blag_izv_Isplatnice", u"Isplatnice", u"Blagajnicki_izvjestaj", nullptr, u"Isplatnice");

    b.Item(u"Kartice_artikala", u"Kartice artikala", u"Izvjestaji", nullptr, u"Kartica artikla");
    b.Report(u"Ispis_kartice_artikla", u"Ispis kartice artikla", u"Izvjestaji",
             {u"kartica_artikla.rpt"});
}

void Sales(Builder& b) {
    const Text p = u"Prodaja";
    const Text pick = u"Izbor kupca i artikla";
    b.Menu(p, u"Prodaja", u"Izvjestaji");
    b.Menu(u"veleprodaja", u"Veleprodaja", p);
    b.Menu(u"v_artikli", u"artikli", u"veleprodaja");
    b.Item(u"v_artikli_detaljno", u"detaljno", u"v_artikli", nullptr, pick);
    b.Item(u"v_artikli_grupe", u"sortirano po grupama artikala", u"v_artikli", nullptr, pick);
    b.Item(u"v_usluge", u"usluge", u"veleprodaja", nullptr, pick);
    b.Menu(u"maloprodaja", u"Maloprodaja", p);
    b.Menu(u"m_artikli", u"artikli", u"maloprodaja");
    b.Item(u"m_artikli_detaljno", u"detaljno", u"m_artikli", nullptr, pick);
    b.Item(u"m_artikli_grupe", u"sortirano po grupama artikala", u"m_artikli", nullptr, pick);
    b.Item(u"m_usluge", u"usluge", u"maloprodaja", nullptr, pick);
    b.Report(u"Prodaja_ukupno", u"Ukupno", p, {u"p_ukupno.rpt"});
    b.Menu(u"Prodaja_po_kupcima", u"po kupcima", p);
    b.Report(u"Prodaja_po_kupcima_zarada", u"zarada", u"Prodaja_po_kupcima", {u"pz_kupci.rpt"});
    b.Report(u"Prodaja_po_kupcima_promet", u"promet", u"Prodaja_po_kupcima", {u"p_kupci.rpt"});
    b.Menu(u"Prodaja_po_art_usl", u"po artiklima i uslugama", p);
    b.Report(u"Prodaja_po_artiklima_zarada", u"zarada", u"Prodaja_po_art_usl", {u"pz_stavke.rpt"});
    b.Report(u"Prodaja_po_art_usl_promet", u"promet", u"Prodaja_po_art_usl", {u"p_stavke.rpt"});
    b.Report(u"Prodaja_po_kol_mj", u"po količini i mjesecima", p, {u"art_mj.rpt"});

    b.Menu(u"Dodatni_ispisi", u"Dodatni ispisi", u"Izvjestaji");
    b.Item(u"Ispis_deklaracija1", u"Ispis deklaracija", u"Dodatni_ispisi", nullptr, u"Deklaracije");
    b.Report(u"Ispis_min_zal", u"Ispis ispod min. zalihe", u"Dodatni_ispisi", {u"min_zal.rpt"});
    b.Item(u"Ispis_koverti", u"Ispis kuverti", u"Dodatni_ispisi", nullptr, u"Ispis kuverti");
    b.Item(u"Zaduzenost_ambalaze", u"Zaduženost ambalaže", u"Dodatni_ispisi", nullptr,
           u"Zaduženost ambalaže");
}

void Ledgers(Builder& b) {
    b.Menu(u"Evidencija_placanja", u"Saldakonti", u"Izvjestaji");
    b.Menu(u"PL_IFA", u"Izlazni računi", u"Evidencija_placanja");
    b.Item(u"Izlazni_racuni_kartice", u"Kartice kupaca", u"PL_IFA", nullptr, u"Kartice kupaca");
    b.Item(u"Izlazni_racuni_kartice_za_izabrano_skladiste", u"Kartice kupaca za izabrano skladište",
           u"PL_IFA", nullptr, u"Kartice kupaca");
    b.Item(u"Evidencija_pregled_IFA", u"Upis plaćanja izlaznih računa", u"PL_IFA", nullptr,
           u"Upis plaćanja izlaznih računa");
    b.Menu(u"Dugovi", u"Dugovi", u"PL_IFA");
    b.Item(u"Dugovi_svi", u"svi", u"Dugovi", nullptr, u"Izbor dužnika", {u"duznici.rpt"});
    b.Item(u"Dugovi_dospijece", u"po dospijeću", u"Dugovi", nullptr, u"Izbor dužnika",
           {u"duznici.rpt"});
    b.Item(u"Dugovi_datum", u"na dan", u"Dugovi", nullptr, u"Izbor dužnika", {u"duznici.rpt"});
    b.Item(u"Dugovi_uvjet_prodaje", u"po uvjetima prodaje", u"Dugovi", nullptr, u"Izbor dužnika",
           {u"duznici.rpt"});
    b.Report(u"Dugovi_nacin_placanja", u"po načinima plaćanja", u"Dugovi",
             {u"dug_nacini_placanja.rpt"});
    b.Menu(u"Naplaceni_iznosi", u"Naplaćeni iznosi", u"PL_IFA");
    b.Report(u"Naplaceni_iznosi_svi", u"svi", u"Naplaceni_iznosi", {u"naplaceno.rpt"});
    b.Report(u"Naplaceni_iznosi_po_datumu_pl", u"po datumu plaćanja", u"Naplaceni_iznosi",
             {u"naplaceno.rpt"});

    b.Menu(u"PL_UFA", u"Ulazni računi", u"Evidencija_placanja");
    b.Item(u"Ulazni_racuni_kartice", u"Kartice dobavljača", u"PL_UFA", nullptr,
           u"Kartice dobavljača");
    b.Item(u"Evidencija_pregled_UFA", u"Upis plaćanja ulaznih računa", u"PL_UFA", nullptr,
           u"Upis plaćanja ulaznih računa");
    b.Menu(u"Dugovi_UFA", u"Dugovi", u"PL_UFA");
    b.Report(u"Dugovi_svi_UFA", u"svi", u"Dugovi_UFA", {u"dug_UFA.rpt"});
    b.Report(u"Dugovi_dospijece_UFA", u"po dospijeću", u"Dugovi_UFA", {u"dug_UFA.rpt"});
    b.Report(u"Dugovi_datum_UFA", u"na dan", u"Dugovi_UFA", {u"dug_UFA.rpt"});
    b.Menu(u"Placeni_iznosi_UFA", u"Plaćeni iznosi", u"PL_UFA");
    b.Report(u"Placeni_iznosi_svi_UFA", u"svi", u"Placeni_iznosi_UFA", {u"placeno_UFA.rpt"});
    b.Report(u"Placeni_iznosi_po_datumu_pl_UFA", u"po datumu plaćanja", u"Placeni_iznosi_UFA",
             {u"placeno_UFA.rpt"});
}

void ChartsPricesStock(Builder& b) {
    b.Menu(u"Grafikoni", u"Grafikoni", u"Izvjestaji");
    const Text chart = u"Grafikon";
    b.Menu(u"Grafikon_prodaje_po_artiklima", u"Prodaja po artiklima", u"Grafikoni");
    b.Item(u"Graf_art_god_kolicina", u"količina", u"Grafikon_prodaje_po_artiklima", nullptr, chart);
    b.Item(u"Graf_art_god_zarada", u"zarada", u"Grafikon_prodaje_po_artiklima", nullptr, chart);
    b.Item(u"Graf_art_god_promet", u"promet", u"Grafikon_prodaje_po_artiklima", nullptr, chart);
    b.Menu(u"Grafikon_prodaje_po_kupcima", u"Prodaja po kupcima", u"Grafikoni");
    b.Item(u"Graf_kup_god_zarada", u"zarada", u"Grafikon_prodaje_po_kupcima", nullptr, chart);
    b.Item(u"Graf_kup_god_promet", u"promet", u"Grafikon_prodaje_po_kupcima", nullptr, chart);
    b.Menu(u"Graf_10_naj_art", u"10 najprodavanijih artikala", u"Grafikoni");
    b.Item(u"Graf_10_naj_art_kolicina", u"količina", u"Graf_10_naj_art", nullptr, chart);
    b.Item(u"Graf_10_naj_art_zarada", u"zarada", u"Graf_10_naj_art", nullptr, chart);
    b.Item(u"Graf_10_naj_art_promet", u"promet", u"Graf_10_naj_art", nullptr, chart);
    b.Menu(u"Graf_10_naj_kup", u"10 najboljih kupaca", u"Grafikoni");
    b.Item(u"Graf_10_naj_kup_zarada", u"zarada", u"Graf_10_naj_kup", nullptr, chart);
    b.Item(u"Graf_10_naj_kup_promet", u"promet", u"Graf_10_naj_kup", nullptr, chart);

    b.Menu(u"Cjenici", u"Cjenici", u"Izvjestaji");
    // The customers' price lists themselves (prices and group discounts, window "Cjenici"),
    // beside their printouts.
    b.Item(u"Cjenici_upis", u"Upis cjenika", u"Cjenici", u" Cjenici", u"Cjenici");
    b.Item(u"Cjenik_artikala", u"Cjenik artikala", u"Cjenici", nullptr,
           u"Izbor grupe artikala za ispis cjenika");
    b.Report(u"Cjenik_usluga", u"Cjenik usluga", u"Cjenici", {u"cjenik_u.rpt"});

    const Text s = u"Stanje_na_skladistu";
    b.Menu(s, u"Stanje na skladištu", u"Izvjestaji");
    b.Report(u"Stanje1(0)", u"abecedno", s, {u"stanje_s.rpt", u"STANJE_S_POREZ.RPT"});
    b.Report(u"Stanje1(1)", u"na dan", s, {u"stanje_s_d.rpt", u"stanje_s_d_porez.rpt"});
    b.Report(u"Stanje1(2)", u"izbor artikala po nazivu", s, {u"stanje_s.rpt"});
    b.Report(u"Stanje1(3)", u"izbor artikala po šifri", s, {u"stanje_s.rpt"});
    b.Report(u"Stanje1(4)", u"samo prodajne cijene", s,
             {u"stanje_s_pc.rpt", u"STANJE_S_POREZ.RPT"});
    b.Report(u"Stanje2", u"sortirano po primkama", s, {u"stanje_s_p.rpt"});
    b.Report(u"Stanje3", u"sortirano po grupama proizvoda", s, {u"stanje_s_g.rpt"});
}

void WindowsAndHelp(Builder& b) {
    b.Menu(u"Prozori", u"Prozori");
    b.Item(u"Pomoćne_trake", u"Pomoćne trake", u"Prozori");
    b.Item(u"Poslozi(0)", u"Posloži redom", u"Prozori");
    b.Item(u"Poslozi(1)", u"Posloži horizontalno", u"Prozori");
    b.Item(u"Poslozi(2)", u"Posloži vertikalno", u"Prozori");
    b.Menu(u"Pomoc", u"Pomoć");
    b.Item(u"Pomoc_pomoc", u"Pomoć", u"Pomoc", u" Pomoć", u"Pomoć");
    b.Item(u"O_programu", u"O programu", u"Pomoc", u" O programu", u"O programu");
}

std::vector<Command> Build() {
    Builder b;
    Companies(b);
    Registers(b);
    Postings(b);
    b.Menu(u"Izvjestaji", u"Izvještaji");
    Reviews(b);
    Books(b);
    Recapitulations(b);
    VatCashAndCards(b);
    Sales(b);
    Ledgers(b);
    ChartsPricesStock(b);
    WindowsAndHelp(b);
    return b.Finish();
}

}  // namespace

const std::vector<Command>& Menu() {
    static const std::vector<Command> menu = Build();
    return menu;
}

const Command* Find(const QString& name) {
    static const std::map<QString, const Command*> index = [] {
        std::map<QString, const Command*> m;
        for (const Command& c : Menu()) {
            m[c.name] = &c;
        }
        return m;
    }();
    const auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

std::vector<const Command*> Children(const QString& menu) {
    std::vector<const Command*> list;
    for (const Command& c : Menu()) {
        if (c.parent == menu) {
            list.push_back(&c);
        }
    }
    return list;
}

const std::vector<ToolButton>& ToolBar() {
    static const std::vector<ToolButton> buttons = [] {
        const struct {
            Text name, caption, status, command, popup;
        } rows[] = {
            {u"SSCommand1", u"Otvori", u" Otvaranje poduzeća", u"Otvori", nullptr},
            {u"SSCommand2", u"Zatvori", u" Zatvaranje poduzeća", u"Zatvori", nullptr},
            {u"SSCommand3", u"Partneri", u" Partneri", u"Sifarnici_Partneri", nullptr},
            {u"SSCommand4", u"Artikli", u" Artikli", u"Sifarnici_artikli", nullptr},
            {u"SSCommand5", u"Usluge", u" Usluge", u"Sifarnici_usluge", nullptr},
            {u"SSCommand6", u"Primka", u" Primka", u"Knjizenje_primka", nullptr},
            {u"SSCommand7", u"Račun", u" Račun", u"Knjizenje_racun", nullptr},
            {u"SSCommand8", u"Izmjena cijena", u" Izmjena cijena", u"Knjizenje_izmjena_cijena",
             nullptr},
            {u"SSCommand9", u"Međuskladišnica", u" Međuskladišnica", u"Knjizenje_meduskladisnica",
             nullptr},
            {u"SSCommand10", u"Knjiga popisa robe", u" Knjiga popisa", nullptr, u"Knjiga_popisa"},
            {u"SSCommand11", u"Knjige izlaznih računa", u" Knjiga izlaznih računa", nullptr,
             u"Knjiga_izlaznih_racuna"},
            {u"SSCommand12", u"Cjenici", u" Cjenici", nullptr, u"Cjenici"},
            {u"SSCommand13", u"Grafikoni", u" Grafikoni", nullptr, u"Grafikoni"},
            {u"SSCommand14", u"Pomoć", u" Pomoć", u"Pomoc_pomoc", nullptr},
            {u"SSCommand15", u"Izlaz", u" Izlaz", u"Izlaz", nullptr},
            {u"SSCommand16", u"Planer", u" Planer", u"SSCommand16", nullptr},
        };
        std::vector<ToolButton> list;
        for (const auto& r : rows) {
            list.push_back({T(r.name), T(r.caption), T(r.status), T(r.command), T(r.popup)});
        }
        return list;
    }();
    return buttons;
}

const ToolButton* FindToolButton(const QString& name) {
    for (const ToolButton& b : ToolBar()) {
        if (b.name == name) {
            return &b;
        }
    }
    return nullptr;
}

QString WindowCaption(const Command& command) {
    return command.window.isEmpty() ? command.caption : command.window;
}

QString WindowCaption(const QString& name) {
    if (const Command* c = Find(name)) {
        return WindowCaption(*c);
    }
    if (const ToolButton* b = FindToolButton(name)) {
        return b->caption;
    }
    return name;
}

QString NotAvailableText() {
    return QStringLiteral("Ova funkcija još nije dostupna u ovoj verziji programa.");
}

QString RefusalInWarehouse(const QString& name, bool retailWarehouse, bool allInvoicesAllowed) {
    if (name == QLatin1String("Knjizenje_kasa") && !retailWarehouse && !allInvoicesAllowed) {
        return QStringLiteral(
            "Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa.");
    }
    return QString();
}

}  // namespace zodra::commands
