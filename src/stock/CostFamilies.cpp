#include "stock/CostFamilies.h"

#include "data/Database.h"

namespace zodra::stock {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

std::vector<CostFamily> Build() {
    std::vector<CostFamily> families;
    auto add = [&](const char16_t* name, const char16_t* type, const char16_t* cancellation,
                   const char16_t* header, const char16_t* headerNumber, const char16_t* lines,
                   const char16_t* lineNumber, const char16_t* article) {
        CostFamily f;
        f.name = S(name);
        f.tradeBookType = S(type);
        f.cancellationType = S(cancellation);
        f.headerTable = S(header);
        f.headerNumber = S(headerNumber);
        f.lineTable = S(lines);
        f.lineNumber = S(lineNumber);
        f.articleColumn = S(article);
        families.push_back(f);
        return families.size() - 1;
    };
    size_t f = add(u"Račun", u"", u"STORNO RAČUNA", u"RACUNI", u"BROJ RACUNA", u"STAVKE_RACUNA",
                   u"BROJ_RACUNA", u"SIFRA");
    families[f].invoiceBook = true;
    families[f].articleLinesByKind = true;
    families[f].fields = CostFields::CostValueAndMargin;
    f = add(u"Međuskladišnica", u"MEĐUSKLADIŠNICA", u"", u"MEDUSKLADISNICE",
            u"BROJ_MEDUSKLADISNICE", u"STAVKE_MEDUSKLADISNICA", u"BROJ_MEDUSKLADISNICE",
            u"SIFRA_ARTIKLA");
    families[f].generatesReceipt = true;
    families[f].lineOrderColumn = S(u"RBR_STAVKE");
    add(u"Povratnica dobavljaču", u"POVRATNICA DOBAVLJAČU", u"", u"POVRATNICE_DOBAVLJACIMA",
        u"BROJ_POVRATNICE_DOBAVLJACU", u"STAVKE_POVRATNICA_DOBAVLJACIMA",
        u"BROJ_POVRATNICE_DOBAVLJACU", u"SIFRA_ARTIKLA");
    f = add(u"Otpremnica", u"OTPREMNICA", u"", u"OTPREMNICE", u"BROJ_OTPREMNICE",
            u"STAVKE_OTPREMNICA", u"BROJ_OTPREMNICE", u"SIFRA");
    families[f].articleLinesByKind = true;
    families[f].fields = CostFields::CostValueAndMargin;
    add(u"Specifikacija", u"SPECIFIKACIJA", u"STORNO SPECIFIKACIJE", u"SPECIFIKACIJE",
        u"BROJ_SPECIFIKACIJE", u"STAVKE_SPECIFIKACIJA", u"BROJ_SPECIFIKACIJE", u"SIFRA_ARTIKLA");
    add(u"Radni nalog", u"RADNI NALOG", u"", u"RADNI_NALOZI", u"BROJ_RADNOG_NALOGA",
        u"STAVKE_RADNIH_NALOGA", u"BROJ_RADNOG_NALOGA", u"SIFRA_ARTIKLA");
    f = add(u"Inventura", u"INVENTURA", u"", u"INVENTURE", u"BROJ_INVENTURE", u"STAVKE_INVENTURA",
            u"BROJ_INVENTURE", u"SIFRA_ARTIKLA");
    families[f].fields = CostFields::CountCost;
    add(u"Rashod", u"RASHOD", u"", u"RASHODI", u"BROJ_RASHODA", u"STAVKE_RASHODA", u"BROJ_RASHODA",
        u"SIFRA_ARTIKLA");
    add(u"Odjava", u"ODJAVA", u"", u"ODJAVE", u"BROJ_ODJAVE", u"STAVKE_ODJAVA", u"BROJ_ODJAVE",
        u"SIFRA_ARTIKLA");
    f = add(u"Maloprodajna međuskladišnica", u"MALOPRODAJNA MEĐUSKLADIŠNICA", u"",
            u"MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE",
            u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE", u"SIFRA_ARTIKLA");
    families[f].generatesReceipt = true;
    add(u"Izdatnica", u"IZDATNICA", u"", u"IZDATNICE", u"BROJ", u"STAVKE_IZDATNICA", u"BROJ",
        u"SIFRA_ARTIKLA");
    f = add(u"Povratnica", u"POVRATNICA", u"", u"POVRATNICE", u"BROJ", u"STAVKE_POVRATNICA",
            u"BROJ", u"SIFRA_ARTIKLA");
    families[f].inbound = true;
    add(u"Radni nalog dorada", u"RADNI NALOG DORADA", u"", u"RADNI_NALOZI_DORADA",
        u"BROJ_RADNOG_NALOGA", u"STAVKE_RADNIH_NALOGA_DORADA", u"BROJ_RADNOG_NALOGA",
        u"SIFRA_ARTIKLA");
    return families;
}

}  // namespace

const std::vector<CostFamily>& CostFamilies() {
    static const std::vector<CostFamily> families = Build();
    return families;
}

const CostFamily* FamilyOfCardType(const QString& type, bool* cancellation) {
    for (const CostFamily& family : CostFamilies()) {
        if (!family.cancellationType.isEmpty() && type == family.cancellationType) {
            *cancellation = true;
            return &family;
        }
        const bool matches = family.tradeBookType.isEmpty() ? type.endsWith(QStringLiteral("RAČUN"))
                                                            : type == family.tradeBookType;
        if (matches) {
            *cancellation = false;
            return &family;
        }
    }
    return nullptr;
}

const CostFamily* FirstLaterIssue(Database& db, int warehouse, int year, int article, int lot,
                                  int position) {
    for (const CostFamily& family : CostFamilies()) {
        QString join = QStringLiteral(" INNER JOIN ") + Q(family.headerTable) +
                       QStringLiteral(
                           " h ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = "
                           "s.\"GODINA\" AND h.") +
                       Q(family.headerNumber) + QStringLiteral(" = s.") + Q(family.lineNumber);
        QString where = QStringLiteral(" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.") +
                        Q(family.articleColumn) +
                        QStringLiteral(" = ? AND s.\"BROJ_PRIMKE\" = ? AND h.\"RBR_TK\" > ?");
        if (family.invoiceBook) {
            join += QStringLiteral(" AND h.\"IRA\" = s.\"IRA\"");
            where += QStringLiteral(" AND h.\"SKIDA\" = TRUE");
        }
        if (family.articleLinesByKind) {
            where += QStringLiteral(" AND s.\"TIP_STAVKE\" = 'ART'");
        }
        if (db.Scalar(QStringLiteral("SELECT 1 FROM ") + Q(family.lineTable) +
                          QStringLiteral(" s") + join + where + QStringLiteral(" LIMIT 1"),
                      {warehouse, year, article, lot, position})
                .isValid()) {
            return &family;
        }
    }
    return nullptr;
}

}  // namespace zodra::stock
