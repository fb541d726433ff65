#include "reports/AmountInWords.h"

#include <array>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra {

namespace {

// Word tables. Units are feminine (the words count lipa/kuna); the units digit of the
// thousands, millions and billions groups is spelled together with its scale word.
constexpr std::array<const char16_t*, 10> kUnits = {u"",    u"jedna", u"dvije", u"tri",  u"četiri",
                                                    u"pet", u"šest",  u"sedam", u"osam", u"devet"};
constexpr std::array<const char16_t*, 10> kTens = {
    u"",        u"",         u"dvadeset",   u"trideset",  u"četrdeset",
    u"pedeset", u"šezdeset", u"sedamdeset", u"osamdeset", u"devedeset"};
constexpr std::array<const char16_t*, 10> kTeens = {
    u"deset",    u"jedanaest", u"dvanaest",   u"trinaest",  u"četrnaest",
    u"petnaest", u"šesnaest",  u"sedamnaest", u"osamnaest", u"devetnaest"};
constexpr std::array<const char16_t*, 10> kHundreds = {
    u"",       u"sto",   u"dvijesto", u"tristo",  u"četiristo",
    u"petsto", u"šesto", u"sedamsto", u"osamsto", u"devetsto"};
// Index 0 is the bare scale word; 1..9 the digit with its scale.
constexpr std::array<const char16_t*, 10> kThousands = {
    u"tisuća",    u"jednatisuća", u"dvijetisuće", u"tritisuće",  u"četiritisuće",
    u"pettisuća", u"šesttisuća",  u"sedamtisuća", u"osamtisuća", u"devettisuća"};
constexpr std::array<const char16_t*, 10> kMillions = {
    u"miliona",    u"jedanmilion", u"dvamiliona",   u"trimiliona",  u"četirimiliona",
    u"petmiliona", u"šestmiliona", u"sedammiliona", u"osammiliona", u"devetmiliona"};
constexpr std::array<const char16_t*, 10> kBillions = {
    u"milijardi",    u"jednamilijarda", u"dvijemilijarde", u"trimilijarde",  u"četirimilijarde",
    u"petmilijardi", u"šestmilijardi",  u"sedammilijardi", u"osammilijardi", u"devetmilijardi"};

QString W(const char16_t* word) {
    return QString::fromUtf16(word);
}

// The scale table of a group: 0 = ones, 1 = thousands, 2 = millions, 3 = billions.
const std::array<const char16_t*, 10>* ScaleWords(int group) {
    switch (group) {
        case 1:
            return &kThousands;
        case 2:
            return &kMillions;
        case 3:
            return &kBillions;
        default:
            return nullptr;
    }
}

// Spells the integer digits (at most 12) from the left, each by its place from the right:
// hundreds, tens (a 1 takes the following units digit as a teen) and units of each group.
QString IntegerWords(const QString& digits) {
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        const int place = n - i;  // 1 = units … 12 = hundreds of billions
        const int digit = digits.at(i).digitValue();
        const int group = (place - 1) / 3;
        const int inGroup = (place - 1) % 3;  // 0 units, 1 tens, 2 hundreds
        const auto* scale = ScaleWords(group);
        if (inGroup == 2) {
            out += W(kHundreds[digit]);
        } else if (inGroup == 1) {
            if (digit == 1) {
                const int units = digits.at(i + 1).digitValue();
                out += W(kTeens[units]);
                if (scale) {
                    out += W((*scale)[0]);
                }
                ++i;  // the units digit is spelled by the teen word
            } else {
                out += W(kTens[digit]);
            }
        } else if (scale == nullptr) {
            out += W(kUnits[digit]);
        } else if (digit != 0) {
            out += W((*scale)[digit]);
        } else {
            // A group ending in 0 names its scale only when the group is not all zeros.
            const int groupStart = i - 2;
            const bool hundreds = groupStart >= 0 && digits.at(groupStart) != QLatin1Char('0');
            const bool tens = i - 1 >= 0 && digits.at(i - 1) != QLatin1Char('0');
            if (hundreds || tens) {
                out += W((*scale)[0]);
            }
        }
    }
    return out;
}

QString SubUnit(const QString& currencyName) {
    if (currencyName == QLatin1String("EUR")) {
        return QStringLiteral("centi");
    }
    if (currencyName == QLatin1String("Km")) {
        return QStringLiteral("feninga");
    }
    return QStringLiteral("lp");
}

}  // namespace

QString AmountInWords(double amount, const QString& currencyName) {
    double rounded = RoundMoney(amount);
    if (rounded == 0.0) {
        rounded = 0.0;  // not "-0.00"
    }
    if (rounded < 0) {
        return QStringLiteral("minus ") + AmountInWords(-rounded, currencyName);
    }
    if (!std::isfinite(rounded) || rounded >= 1e12) {
        throw UserError(QStringLiteral("Iznos je prevelik da bi se ispisao slovima."));
    }
    const QString text = MoneyText(rounded);  // "0,00"
    const QString integer = text.left(text.size() - 3);
    const QString decimals = text.right(2);
    QString words = IntegerWords(integer);
    if (words.isEmpty()) {
        words = QStringLiteral("nula");
    }
    if (decimals == QLatin1String("00")) {
        return words + QLatin1Char(' ') + currencyName;
    }
    // The decimals are spelled as a two-digit ones group ("05" → "pet", "10" → "deset").
    const QString decimalWords = IntegerWords(decimals);
    return words + QLatin1Char(' ') + currencyName + QStringLiteral(" i ") + decimalWords +
           QLatin1Char(' ') + SubUnit(currencyName);
}

QString HomeCurrencyName(Database& db) {
    return db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"))
        .toString();
}

QString AmountInWords(Database& db, double amount) {
    return AmountInWords(amount, HomeCurrencyName(db));
}

}  // namespace zodra
