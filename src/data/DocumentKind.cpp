#include "data/DocumentKind.h"

#include <QSet>

namespace zodra {

namespace {

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

LineCopy Lines(const char16_t* working, const char16_t* line, const char16_t* number,
               const char16_t* article, bool byKind = false) {
    return LineCopy{S(working), S(line), S(number), S(number), S(article), byKind};
}

std::vector<DocumentKindInfo> Build() {
    std::vector<DocumentKindInfo> kinds;
    auto add = [&](DocumentKind kind, const char16_t* name, const char16_t* header,
                   const char16_t* number, std::vector<LineCopy> lines, bool book = false,
                   int first = 1) {
        kinds.push_back(DocumentKindInfo{kind, S(name), S(header), S(number), book, true, first,
                                         std::move(lines)});
    };
    const std::vector<LineCopy> invoiceLines = {
        Lines(u"STAVKE_RACUNA_PRIVREMENO", u"STAVKE_RACUNA", u"BROJ_RACUNA", u""),
        Lines(u"STAVKE_RACUNA_DJELATNICI_PRIVREMENO", u"STAVKE_RACUNA_DJELATNICI", u"BROJ_RACUNA",
              u""),
        Lines(u"STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO", u"STAVKE_RACUNA_DODATNI_PODACI",
              u"BROJ_RACUNA", u"")};
    add(DocumentKind::GoodsReceipt, u"Primka", u"PRIMKE", u"BROJ PRIMKE",
        {Lines(u"STAVKE_PRIMKE_PRIVREMENO", u"STAVKE_PRIMKI", u"BROJ_PRIMKE", u"SIFRA", true)});
    add(DocumentKind::Invoice, u"Račun", u"RACUNI", u"BROJ RACUNA", invoiceLines, true);
    add(DocumentKind::DetailedInvoice, u"Maloprodajni račun", u"RACUNI_DETALJNO", u"BROJ RACUNA",
        {Lines(u"STAVKE_RACUNA_PRIVREMENO", u"STAVKE_RACUNA_DETALJNO", u"BROJ_RACUNA", u"")}, true);
    {
        LineCopy delivery = Lines(u"STAVKE_RACUNA_PRIVREMENO", u"STAVKE_OTPREMNICA", u"BROJ_RACUNA",
                                  u"SIFRA", true);
        delivery.lineNumberColumn = QStringLiteral("BROJ_OTPREMNICE");
        add(DocumentKind::DeliveryNote, u"Otpremnica", u"OTPREMNICE", u"BROJ_OTPREMNICE",
            {delivery});
    }
    add(DocumentKind::Offer, u"Ponuda", u"PONUDE", u"BROJ RACUNA",
        {Lines(u"STAVKE_RACUNA_PRIVREMENO", u"STAVKE_PONUDA", u"BROJ_RACUNA", u"")}, true);
    add(DocumentKind::ProForma, u"Predračun", u"PREDRACUNI", u"BROJ RACUNA",
        {Lines(u"STAVKE_RACUNA_PRIVREMENO", u"STAVKE_PREDRACUNA", u"BROJ_RACUNA", u"")}, true);
    add(DocumentKind::PriceChange, u"Izmjena cijena", u"IZMJENE_CIJENA", u"BROJ_IZMJENE_CIJENA",
        {Lines(u"STAVKE_IZMJENA_CIJENA_PRIVREMENO", u"STAVKE_IZMJENA_CIJENA",
               u"BROJ_IZMJENE_CIJENA", u"ARTIKAL")});
    add(DocumentKind::Transfer, u"Međuskladišnica", u"MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE",
        {Lines(u"STAVKE_MEDUSKLADISNICA_PRIVREMENO", u"STAVKE_MEDUSKLADISNICA",
               u"BROJ_MEDUSKLADISNICE", u"SIFRA_ARTIKLA")});
    add(DocumentKind::RetailTransfer, u"Maloprodajna međuskladišnica",
        u"MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE",
        {Lines(u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO",
               u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE", u"SIFRA_ARTIKLA")});
    add(DocumentKind::RetailReceipt, u"Maloprodajna primka", u"", u"",
        {Lines(u"STAVKE_MALOPRODAJNE_PRIMKE_PRIVREMENO", u"STAVKE_PRIMKI", u"BROJ_PRIMKE", u"SIFRA",
               true)});
    add(DocumentKind::StockCount, u"Inventura", u"INVENTURE", u"BROJ_INVENTURE",
        {Lines(u"STAVKE_INVENTURA_PRIVREMENO", u"STAVKE_INVENTURA", u"BROJ_INVENTURE",
               u"SIFRA_ARTIKLA")});
    add(DocumentKind::WriteOff, u"Rashod", u"RASHODI", u"BROJ_RASHODA",
        {Lines(u"STAVKE_RASHODA_PRIVREMENO", u"STAVKE_RASHODA", u"BROJ_RASHODA",
               u"SIFRA_ARTIKLA")});
    add(DocumentKind::CommissionReturn, u"Odjava", u"ODJAVE", u"BROJ_ODJAVE",
        {Lines(u"STAVKE_ODJAVA_PRIVREMENO", u"STAVKE_ODJAVA", u"BROJ_ODJAVE", u"SIFRA_ARTIKLA")});
    add(DocumentKind::IssueNote, u"Izdatnica", u"IZDATNICE", u"BROJ",
        {Lines(u"STAVKE_IZDATNICA_PRIVREMENO", u"STAVKE_IZDATNICA", u"BROJ", u"SIFRA_ARTIKLA")});
    add(DocumentKind::ReturnNote, u"Povratnica", u"POVRATNICE", u"BROJ",
        {Lines(u"STAVKE_POVRATNICA_PRIVREMENO", u"STAVKE_POVRATNICA", u"BROJ", u"SIFRA_ARTIKLA")});
    add(DocumentKind::SupplierReturn, u"Povratnica dobavljaču", u"POVRATNICE_DOBAVLJACIMA",
        u"BROJ_POVRATNICE_DOBAVLJACU",
        {Lines(u"STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO", u"STAVKE_POVRATNICA_DOBAVLJACIMA",
               u"BROJ_POVRATNICE_DOBAVLJACU", u"SIFRA_ARTIKLA")});
    add(DocumentKind::ServiceConsumption, u"Specifikacija", u"SPECIFIKACIJE", u"BROJ_SPECIFIKACIJE",
        {Lines(u"STAVKE_SPECIFIKACIJA_PRIVREMENO", u"STAVKE_SPECIFIKACIJA", u"BROJ_SPECIFIKACIJE",
               u"SIFRA_ARTIKLA")});
    add(DocumentKind::PurchaseOrder, u"Narudžbenica", u"NARUDZBENICE", u"BROJ_NARUDZBENICE",
        {Lines(u"STAVKE_NARUDZBENICE_PRIVREMENO", u"STAVKE_NARUDZBENICE", u"BROJ_NARUDZBENICE",
               u"")});
    add(DocumentKind::Reservation, u"Rezervacija", u"REZERVACIJE", u"BROJ REZERVACIJE",
        {Lines(u"STAVKE_REZERVACIJA_PRIVREMENO", u"STAVKE_REZERVACIJA", u"BROJ_REZERVACIJE", u"")});
    add(DocumentKind::WorkOrder, u"Radni nalog", u"RADNI_NALOZI", u"BROJ_RADNOG_NALOGA",
        {Lines(u"STAVKE_RADNIH_NALOGA_PRIVREMENO", u"STAVKE_RADNIH_NALOGA", u"BROJ_RADNOG_NALOGA",
               u"SIFRA_ARTIKLA"),
         Lines(u"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO", u"STAVKE_RADNIH_NALOGA_TROSKOVI",
               u"BROJ_RADNOG_NALOGA", u"")});
    add(DocumentKind::FinishingWorkOrder, u"Radni nalog dorada", u"RADNI_NALOZI_DORADA",
        u"BROJ_RADNOG_NALOGA",
        {Lines(u"STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO", u"STAVKE_RADNIH_NALOGA_DORADA",
               u"BROJ_RADNOG_NALOGA", u"SIFRA_ARTIKLA"),
         Lines(u"STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO",
               u"STAVKE_RADNIH_NALOGA_DORADA_USLUGE", u"BROJ_RADNOG_NALOGA", u"")});
    add(DocumentKind::Situation, u"Situacija", u"SITUACIJE", u"BROJ", {});
    add(DocumentKind::Letter, u"Dopis", u"DOPISI", u"BROJ_DOPISA", {});
    add(DocumentKind::TaxGroupChange, u"Zapisnik o promjeni grupe poreza", u"ZAPISNIK_POREZ",
        u"BROJ", {});
    add(DocumentKind::CashReceipt, u"Blagajnička uplatnica", u"BLAGAJNA_UPLATNICE", u"Broj", {});
    add(DocumentKind::CashPayment, u"Blagajnička isplatnica", u"BLAGAJNA_ISPLATNICE", u"Broj", {});
    add(DocumentKind::WordDocument, u"Word dokument", u"WordDokumenti", u"BROJ", {});
    return kinds;
}

}  // namespace

const std::vector<DocumentKindInfo>& AllDocumentKinds() {
    static const std::vector<DocumentKindInfo> kinds = Build();
    return kinds;
}

const DocumentKindInfo& Info(DocumentKind kind) {
    for (const DocumentKindInfo& info : AllDocumentKinds()) {
        if (info.kind == kind) {
            return info;
        }
    }
    Q_UNREACHABLE();
}

QStringList AllWorkingTables() {
    QStringList tables;
    QSet<QString> seen;
    for (const DocumentKindInfo& info : AllDocumentKinds()) {
        for (const LineCopy& copy : info.lines) {
            if (!seen.contains(copy.workingTable)) {
                seen.insert(copy.workingTable);
                tables << copy.workingTable;
            }
        }
    }
    return tables;
}

std::vector<LineCopy> TaxFixupTables() {
    // The posted stock line tables that carry a tax group of their own.
    std::vector<LineCopy> tables;
    QSet<QString> seen;
    const DocumentKind kinds[] = {DocumentKind::GoodsReceipt, DocumentKind::PriceChange,
                                  DocumentKind::Transfer,     DocumentKind::SupplierReturn,
                                  DocumentKind::DeliveryNote, DocumentKind::ServiceConsumption,
                                  DocumentKind::WorkOrder,    DocumentKind::FinishingWorkOrder,
                                  DocumentKind::StockCount,   DocumentKind::RetailTransfer,
                                  DocumentKind::WriteOff,     DocumentKind::CommissionReturn,
                                  DocumentKind::IssueNote,    DocumentKind::ReturnNote};
    for (DocumentKind kind : kinds) {
        const LineCopy& first = Info(kind).lines.front();
        if (!seen.contains(first.lineTable)) {
            seen.insert(first.lineTable);
            tables.push_back(first);
        }
    }
    return tables;
}

}  // namespace zodra
