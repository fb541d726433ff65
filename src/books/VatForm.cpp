#include "books/VatForm.h"

#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra::books {

namespace {

using Kind = VatLineKind;

VatLineDef BaseLine(const QString& code, const QString& label, Kind kind = Kind::Computed) {
    VatLineDef d;
    d.code = code;
    d.label = label;
    d.kind = kind;
    return d;
}

VatLineDef PairLine(const QString& code, const QString& label, std::optional<double> rate,
                    Kind kind = Kind::Computed) {
    VatLineDef d = BaseLine(code, label, kind);
    d.hasTax = true;
    d.rate = rate;
    return d;
}

VatLineDef TaxLine(const QString& code, const QString& label, Kind kind) {
    VatLineDef d = BaseLine(code, label, kind);
    d.hasBase = false;
    d.hasTax = true;
    return d;
}

VatLineDef Total(VatLineDef d, const QStringList& baseOf, const QStringList& taxOf,
                 const QStringList& taxLess = {}) {
    d.kind = Kind::Total;
    d.rate.reset();
    d.baseOf = baseOf;
    d.taxOf = taxOf;
    d.taxLess = taxLess;
    return d;
}

// The part both older generations share above the output lines.
void ExemptLines(std::vector<VatLineDef>& d, const QString& label122) {
    d.push_back(Total(BaseLine(QStringLiteral("I+II"), QStringLiteral("Isporuke ukupno :")),
                      {QStringLiteral("I"), QStringLiteral("II")}, {}));
    d.push_back(Total(BaseLine(QStringLiteral("I"), QStringLiteral("I. Neoporezivo ukupno :")),
                      {QStringLiteral("I.1"), QStringLiteral("I.2"), QStringLiteral("I.3")}, {}));
    d.push_back(
        BaseLine(QStringLiteral("I.1"), QStringLiteral("I.1. Ne podliježe oporezivanju :")));
    d.push_back(
        Total(BaseLine(QStringLiteral("I.2"), QStringLiteral("I.2. Oslobođeno poreza ukupno :")),
              {QStringLiteral("I.2.1"), QStringLiteral("I.2.2"), QStringLiteral("I.2.3"),
               QStringLiteral("I.2.4")},
              {}));
    d.push_back(
        BaseLine(QStringLiteral("I.2.1"), QStringLiteral("I.2.1. Oslobođeno poreza (izvoz) :")));
    d.push_back(BaseLine(QStringLiteral("I.2.2"), label122));
    d.push_back(BaseLine(QStringLiteral("I.2.3"),
                         QStringLiteral("I.2.3. Oslobođeno poreza (tuzemstvo) :")));
    d.push_back(
        BaseLine(QStringLiteral("I.2.4"), QStringLiteral("I.2.4. Oslobođeno poreza (ostalo) :")));
    d.push_back(BaseLine(QStringLiteral("I.3"), QStringLiteral("I.3. Isporuke po stopi od 0% :")));
}

void ClosingLines(std::vector<VatLineDef>& d) {
    d.push_back(
        Total(TaxLine(QStringLiteral("IV"), QStringLiteral("IV. Porezna obveza :"), Kind::Total),
              {}, {QStringLiteral("II")}, {QStringLiteral("III")}));
    d.push_back(
        TaxLine(QStringLiteral("V"), QStringLiteral("V. Prethodni obračun :"), Kind::Typed));
    d.push_back(
        Total(TaxLine(QStringLiteral("VI"), QStringLiteral("VI. Ukupno razlika :"), Kind::Total),
              {}, {QStringLiteral("IV"), QStringLiteral("V")}));
}

QStringList Codes(const std::vector<VatLineDef>& d, const QString& prefix, const QString& skip) {
    QStringList list;
    for (const VatLineDef& line : d) {
        if (line.code.startsWith(prefix) && line.code != prefix && line.code != skip) {
            list << line.code;
        }
    }
    return list;
}

std::vector<VatLineDef> Before2012Lines() {
    std::vector<VatLineDef> d;
    ExemptLines(d, QStringLiteral("I.2.2. Oslobođeno poreza (međ. prijevoz) :"));
    const int iiAt = static_cast<int>(d.size());
    d.push_back(PairLine(QStringLiteral("II.1"), QStringLiteral("II.1. Izdani računi 10% :"), 10));
    d.push_back(PairLine(QStringLiteral("II.2"), QStringLiteral("II.2. Izdani računi 22% :"), 22));
    d.push_back(
        PairLine(QStringLiteral("II.2a"), QStringLiteral("II.2.a. Izdani računi 23% :"), 23));
    d.push_back(PairLine(QStringLiteral("II.3"), QStringLiteral("II.3. Nenaplaćeni izvoz :"),
                         std::nullopt, Kind::Typed));
    d.push_back(PairLine(QStringLiteral("II.4"), QStringLiteral("II.4. Oslobođenje izvoza :"),
                         std::nullopt, Kind::Typed));
    const QStringList ii = Codes(d, QStringLiteral("II."), {});
    d.insert(d.begin() + iiAt,
             Total(PairLine(QStringLiteral("II"), QStringLiteral("II. Oporezivo ukupno :"), {}), ii,
                   ii));
    const int iiiAt = static_cast<int>(d.size());
    d.push_back(
        PairLine(QStringLiteral("III.1"), QStringLiteral("III.1. Primljeni računi 10% :"), 10));
    d.push_back(
        PairLine(QStringLiteral("III.2"), QStringLiteral("III.2. Primljeni računi 22% :"), 22));
    d.push_back(
        PairLine(QStringLiteral("III.2a"), QStringLiteral("III.2.a. Primljeni računi 23% :"), 23));
    d.push_back(PairLine(QStringLiteral("III.3"), QStringLiteral("III.3. Pretporez pri uvozu :"),
                         std::nullopt));
    d.push_back(PairLine(QStringLiteral("III.4"),
                         QStringLiteral("III.4. Pretporez na ino usluge 10% :"), 10));
    d.push_back(PairLine(QStringLiteral("III.5"),
                         QStringLiteral("III.5. Pretporez na ino usluge 22% :"), 22));
    d.push_back(PairLine(QStringLiteral("III.5a"),
                         QStringLiteral("III.5.a. Pretporez na ino usluge 23% :"), 23));
    d.push_back(TaxLine(QStringLiteral("III.6"), QStringLiteral("III.6. Ispravci pretporeza :"),
                        Kind::Typed));
    const QStringList iiiBases = Codes(d, QStringLiteral("III."), QStringLiteral("III.6"));
    d.insert(d.begin() + iiiAt,
             Total(PairLine(QStringLiteral("III"), QStringLiteral("III. Pretporez ukupno :"), {}),
                   iiiBases, iiiBases + QStringList{QStringLiteral("III.6")}));
    ClosingLines(d);
    return d;
}

std::vector<VatLineDef> From2012Lines() {
    std::vector<VatLineDef> d;
    ExemptLines(d, QStringLiteral("I.2.2. Oslobođeno poreza (čl. 11.b) :"));
    const int iiAt = static_cast<int>(d.size());
    d.push_back(PairLine(QStringLiteral("II.1"), QStringLiteral("II.1. Izdani računi 10% :"), 10));
    // 22 and 23 % on one line: a base typed there is taxed at the later of the two rates.
    d.push_back(
        PairLine(QStringLiteral("II.2"), QStringLiteral("II.2. Izdani računi 22% i 23% :"), 23));
    d.push_back(PairLine(QStringLiteral("II.3"), QStringLiteral("II.3. Izdani računi 25% :"), 25));
    d.push_back(PairLine(QStringLiteral("II.4"), QStringLiteral("II.4. Oslobođenje izvoza :"),
                         std::nullopt, Kind::Typed));
    const QStringList ii = Codes(d, QStringLiteral("II."), {});
    d.insert(d.begin() + iiAt,
             Total(PairLine(QStringLiteral("II"), QStringLiteral("II. Oporezivo ukupno :"), {}), ii,
                   ii));
    const int iiiAt = static_cast<int>(d.size());
    d.push_back(
        PairLine(QStringLiteral("III.1"), QStringLiteral("III.1. Primljeni računi 10% :"), 10));
    d.push_back(PairLine(QStringLiteral("III.2"),
                         QStringLiteral("III.2. Primljeni računi 22% i 23% :"), 23));
    d.push_back(
        PairLine(QStringLiteral("III.3"), QStringLiteral("III.3. Primljeni računi 25% :"), 25));
    d.push_back(
        PairLine(QStringLiteral("III.4"), QStringLiteral("III.4. Pretporez pri uvozu :"), 25));
    d.push_back(PairLine(QStringLiteral("III.5"),
                         QStringLiteral("III.5. Pretporez na ino usluge 10% :"), 10));
    d.push_back(PairLine(QStringLiteral("III.6"),
                         QStringLiteral("III.6. Pretporez na ino usluge 22% i 23% :"), 23));
    d.push_back(PairLine(QStringLiteral("III.7"),
                         QStringLiteral("III.7. Pretporez na ino usluge 25% :"), 25));
    d.push_back(TaxLine(QStringLiteral("III.8"), QStringLiteral("III.8. Ispravci pretporeza :"),
                        Kind::Typed));
    const QStringList iiiBases = Codes(d, QStringLiteral("III."), QStringLiteral("III.8"));
    d.insert(d.begin() + iiiAt,
             Total(PairLine(QStringLiteral("III"), QStringLiteral("III. Pretporez ukupno :"), {}),
                   iiiBases, iiiBases + QStringList{QStringLiteral("III.8")}));
    ClosingLines(d);
    return d;
}

QString Num(int n) {
    return QString::number(n);
}

QString RateText(const std::map<QString, double>& rates, const QString& code) {
    const auto it = rates.find(code);
    return it == rates.end() ? QStringLiteral("?") : QString::number(it->second);
}

std::optional<double> RateOf(const std::map<QString, double>& rates, const QString& code) {
    const auto it = rates.find(code);
    if (it == rates.end()) {
        return std::nullopt;
    }
    return it->second;
}

// The current form. The three rate slots are those of lines 201–203 (the domestic supplies);
// the acquisitions and services received from abroad (205–213) and the input tax (301–313)
// repeat them in the same order.
std::vector<VatLineDef> CurrentLines(const std::map<QString, double>& rates) {
    std::vector<VatLineDef> d;
    auto slotRate = [&](int slot) { return RateOf(rates, Num(201 + slot)); };
    auto slotText = [&](int slot) { return RateText(rates, Num(201 + slot)); };

    QStringList i;
    for (int n = 101; n <= 111; ++n) {
        i << Num(n);
    }
    d.push_back(Total(BaseLine(QStringLiteral("000"),
                               QStringLiteral("Ukupno isporuke i primljene usluge (I. + II.)")),
                      {QStringLiteral("100"), QStringLiteral("200")}, {}));
    d.push_back(Total(
        BaseLine(QStringLiteral("100"), QStringLiteral("I. Isporuke - neoporezive i oslobođene")),
        i, {}));
    const QStringList iLabels = {
        QStringLiteral("I.1. Isporuke u tuzemstvu za koje PDV obračunava primatelj"),
        QStringLiteral("I.2. Isporuke dobara i usluga u drugim državama članicama"),
        QStringLiteral("I.3. Isporuke dobara unutar EU"),
        QStringLiteral("I.4. Obavljene usluge unutar EU"),
        QStringLiteral("I.5. Isporuke osobama bez sjedišta u tuzemstvu"),
        QStringLiteral("I.6. Sastavljanje i postavljanje dobara u drugoj državi članici"),
        QStringLiteral("I.7. Isporuke novih prijevoznih sredstava u drugu državu članicu"),
        QStringLiteral("I.8. Tuzemne isporuke oslobođene poreza"),
        QStringLiteral("I.9. Isporuke dobara izvan EU (izvoz)"),
        QStringLiteral("I.10. Ostala oslobođenja"),
        QStringLiteral("I.11. Isporuke po stopi 0%"),
    };
    for (int k = 0; k < iLabels.size(); ++k) {
        d.push_back(BaseLine(i.at(k), iLabels.at(k)));
    }

    QStringList ii;
    for (int n = 201; n <= 215; ++n) {
        ii << Num(n);
    }
    d.push_back(Total(
        PairLine(QStringLiteral("200"), QStringLiteral("II. Oporezive transakcije"), {}), ii, ii));
    for (int s = 0; s < 3; ++s) {
        d.push_back(PairLine(
            Num(201 + s),
            QStringLiteral("II.%1. Isporuke u tuzemstvu po stopi %2%").arg(s + 1).arg(slotText(s)),
            slotRate(s)));
    }
    d.push_back(PairLine(QStringLiteral("204"),
                         QStringLiteral("II.4. Primljene isporuke u tuzemstvu za koje PDV "
                                        "obračunava primatelj"),
                         std::nullopt));
    const QStringList abroad = {QStringLiteral("Stjecanje dobara unutar EU"),
                                QStringLiteral("Primljene usluge iz EU"),
                                QStringLiteral("Primljene isporuke od osoba bez sjedišta")};
    for (int g = 0; g < abroad.size(); ++g) {
        for (int s = 0; s < 3; ++s) {
            const int n = 205 + g * 3 + s;
            d.push_back(PairLine(Num(n),
                                 QStringLiteral("II.%1. %2 po stopi %3%")
                                     .arg(n - 200)
                                     .arg(abroad.at(g), slotText(s)),
                                 slotRate(s)));
        }
    }
    d.push_back(PairLine(QStringLiteral("214"),
                         QStringLiteral("II.14. Naknadno oslobođenje izvoza"), std::nullopt,
                         Kind::Typed));
    d.push_back(PairLine(QStringLiteral("215"), QStringLiteral("II.15. Uvoz"), std::nullopt));

    QStringList iii;
    for (int n = 301; n <= 314; ++n) {
        iii << Num(n);
    }
    d.push_back(Total(PairLine(QStringLiteral("300"), QStringLiteral("III. Pretporez"), {}), iii,
                      iii + QStringList{QStringLiteral("315")}));
    for (int s = 0; s < 3; ++s) {
        d.push_back(PairLine(Num(301 + s),
                             QStringLiteral("III.%1. Primljene isporuke u tuzemstvu po stopi %2%")
                                 .arg(s + 1)
                                 .arg(slotText(s)),
                             slotRate(s)));
    }
    d.push_back(PairLine(QStringLiteral("304"),
                         QStringLiteral("III.4. Pretporez od isporuka za koje PDV obračunava "
                                        "primatelj"),
                         std::nullopt));
    for (int g = 0; g < abroad.size(); ++g) {
        for (int s = 0; s < 3; ++s) {
            const int n = 305 + g * 3 + s;
            d.push_back(PairLine(Num(n),
                                 QStringLiteral("III.%1. Pretporez - %2 po stopi %3%")
                                     .arg(n - 300)
                                     .arg(abroad.at(g), slotText(s)),
                                 slotRate(s)));
        }
    }
    d.push_back(PairLine(QStringLiteral("314"), QStringLiteral("III.14. Pretporez pri uvozu"),
                         std::nullopt));
    d.push_back(
        TaxLine(QStringLiteral("315"), QStringLiteral("III.15. Ispravci pretporeza"), Kind::Typed));
    d.push_back(Total(TaxLine(QStringLiteral("400"),
                              QStringLiteral("IV. Obveza PDV-a: za uplatu (II. - III.) ili za "
                                             "povrat"),
                              Kind::Total),
                      {}, {QStringLiteral("200")}, {QStringLiteral("300")}));
    d.push_back(BaseLine(QStringLiteral("500"),
                         QStringLiteral("V. Razmjerni odbitak pretporeza (godišnji)"),
                         Kind::Typed));
    const QStringList statistics = {
        QStringLiteral("VI.1. Ispravak odbitka: nekretnine"),
        QStringLiteral("VI.2. Ispravak odbitka: osobni automobili"),
        QStringLiteral("VI.3. Ispravak odbitka: ostala dugotrajna imovina"),
        QStringLiteral("VI.4. Ispravak odbitka: prodaja nekretnina"),
        QStringLiteral("VI.5. Ispravak odbitka: prodaja osobnih automobila"),
        QStringLiteral("VI.6. Ispravak odbitka: prodaja ostale dugotrajne imovine"),
        QStringLiteral("VII. Nabava nekretnina u tuzemstvu"),
        QStringLiteral("VIII. Isporuke nekretnina"),
        QStringLiteral("IX. Plaćeni PDV pri uvozu"),
        QStringLiteral("X. Ostalo"),
    };
    const QStringList statisticCodes = {
        QStringLiteral("610"), QStringLiteral("611"), QStringLiteral("612"), QStringLiteral("613"),
        QStringLiteral("614"), QStringLiteral("615"), QStringLiteral("620"), QStringLiteral("630"),
        QStringLiteral("640"), QStringLiteral("650")};
    for (int k = 0; k < statisticCodes.size(); ++k) {
        d.push_back(BaseLine(statisticCodes.at(k), statistics.at(k), Kind::Typed));
    }
    return d;
}

}  // namespace

VatFormGeneration VatGenerationFor(const QDate& periodEnd) {
    if (periodEnd < QDate(2012, 3, 1)) {
        return VatFormGeneration::Before2012;
    }
    if (periodEnd < QDate(2013, 1, 1)) {
        return VatFormGeneration::From2012;
    }
    return VatFormGeneration::Current;
}

QString VatGenerationCode(VatFormGeneration generation) {
    switch (generation) {
        case VatFormGeneration::Before2012:
            return QStringLiteral("2006");
        case VatFormGeneration::From2012:
            return QStringLiteral("2012");
        case VatFormGeneration::Current:
            break;
    }
    return QStringLiteral("2013");
}

std::optional<VatFormGeneration> VatGenerationFromCode(const QString& code) {
    for (VatFormGeneration g :
         {VatFormGeneration::Before2012, VatFormGeneration::From2012, VatFormGeneration::Current}) {
        if (VatGenerationCode(g) == code) {
            return g;
        }
    }
    return std::nullopt;
}

QString VatReportFile(VatFormGeneration generation) {
    switch (generation) {
        case VatFormGeneration::Before2012:
            return QStringLiteral("pdv_prije_01_03_2012.rpt");
        case VatFormGeneration::From2012:
            return QStringLiteral("pdv.rpt");
        case VatFormGeneration::Current:
            break;
    }
    return QStringLiteral("pdv_2013.rpt");
}

bool IsCurrentPairLine(const QString& code) {
    const int n = code.toInt();
    return (n >= 200 && n <= 215) || (n >= 300 && n <= 314);
}

VatForm::VatForm(VatFormGeneration generation, const std::map<QString, double>& currentLineRates)
    : m_generation(generation) {
    std::vector<VatLineDef> defs;
    switch (generation) {
        case VatFormGeneration::Before2012:
            defs = Before2012Lines();
            break;
        case VatFormGeneration::From2012:
            defs = From2012Lines();
            break;
        case VatFormGeneration::Current:
            defs = CurrentLines(currentLineRates);
            break;
    }
    for (VatLineDef& d : defs) {
        m_lines.push_back({std::move(d), 0, 0});
    }
}

const VatLine* VatForm::Find(const QString& code) const {
    for (const VatLine& line : m_lines) {
        if (line.def.code == code) {
            return &line;
        }
    }
    return nullptr;
}

VatLine* VatForm::FindLine(const QString& code) {
    return const_cast<VatLine*>(static_cast<const VatForm*>(this)->Find(code));
}

VatLine& VatForm::Require(const QString& code) {
    VatLine* line = FindLine(code);
    if (line == nullptr) {
        throw UserError(QStringLiteral("PDV obrazac nema redak ") + code + QLatin1Char('.'));
    }
    return *line;
}

double VatForm::Base(const QString& code) const {
    const VatLine* line = Find(code);
    return line != nullptr ? line->base : 0;
}

double VatForm::Tax(const QString& code) const {
    const VatLine* line = Find(code);
    return line != nullptr ? line->tax : 0;
}

void VatForm::Add(const QString& code, double base, double tax) {
    VatLine& line = Require(code);
    if (line.def.hasBase) {
        line.base += base;
    }
    if (line.def.hasTax) {
        line.tax += tax;
    }
}

void VatForm::Set(const QString& code, double base, double tax) {
    VatLine& line = Require(code);
    line.base = line.def.hasBase ? base : 0;
    line.tax = line.def.hasTax ? tax : 0;
    ComputeTotals();
}

void VatForm::CorrectBase(const QString& code, double base) {
    VatLine& line = Require(code);
    if (line.def.kind == VatLineKind::Total || !line.def.hasBase) {
        return;
    }
    line.base = base;
    if (line.def.hasTax && line.def.rate) {
        line.tax = base * *line.def.rate / 100.0;
    }
    ComputeTotals();
}

void VatForm::CorrectTax(const QString& code, double tax) {
    VatLine& line = Require(code);
    if (line.def.kind == VatLineKind::Total || !line.def.hasTax) {
        return;
    }
    line.tax = tax;
    ComputeTotals();
}

void VatForm::ComputeTotals() {
    // Totals read totals (IV reads II and III, VI reads IV): a few passes settle them all,
    // whatever their order on the form. A total adds its lines as they print (to the cent), so
    // the form and its electronic filing add up line by line.
    for (int pass = 0; pass < 4; ++pass) {
        for (VatLine& line : m_lines) {
            if (line.def.kind != VatLineKind::Total) {
                continue;
            }
            double base = 0;
            double tax = 0;
            for (const QString& code : line.def.baseOf) {
                base += RoundMoney(Base(code));
            }
            for (const QString& code : line.def.taxOf) {
                tax += RoundMoney(Tax(code));
            }
            for (const QString& code : line.def.taxLess) {
                tax -= RoundMoney(Tax(code));
            }
            line.base = line.def.hasBase ? base : 0;
            line.tax = line.def.hasTax ? tax : 0;
        }
    }
}

}  // namespace zodra::books
