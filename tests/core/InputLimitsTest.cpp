#include <gtest/gtest.h>

#include <limits>

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "support/Refused.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::limits;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QString Refusal(double value, NumberKind kind, const QString& what) {
    return CheckNumber(value, kind, what).value_or(QString());
}

}  // namespace

TEST(InputLimits, NoKindTakesAValueThatIsNotAFiniteNumber) {
    for (NumberKind kind :
         {NumberKind::Amount, NumberKind::Price, NumberKind::Quantity, NumberKind::Percent,
          NumberKind::Discount, NumberKind::TaxRate, NumberKind::Rate}) {
        for (double bad : {kNaN, kInf, -kInf}) {
            EXPECT_EQ(Refusal(bad, kind, u"Količina"_s), u"Količina nije ispravan broj !"_s);
        }
    }
    EXPECT_EQ(NotANumberMessage(u"Cijena"_s), u"Cijena nije ispravan broj !"_s);
    EXPECT_REFUSED(RequireNumber(kNaN, NumberKind::Amount, u"Iznos"_s),
                   u"Iznos nije ispravan broj !"_s);
    EXPECT_NO_THROW(RequireNumber(12.5, NumberKind::Amount, u"Iznos"_s));
}

TEST(InputLimits, AmountsPricesAndQuantitiesStopShortOfTheirBounds) {
    const QString amount = u"Iznos mora biti između -999999999999,99 i 999999999999,99 !"_s;
    EXPECT_FALSE(CheckNumber(999999999999.99, NumberKind::Amount, u"Iznos"_s));
    EXPECT_FALSE(CheckNumber(-999999999999.99, NumberKind::Amount, u"Iznos"_s));
    EXPECT_EQ(Refusal(1e12, NumberKind::Amount, u"Iznos"_s), amount);
    EXPECT_EQ(Refusal(-1e12, NumberKind::Amount, u"Iznos"_s), amount);
    EXPECT_EQ(Refusal(1e308, NumberKind::Amount, u"Iznos"_s), amount);

    EXPECT_FALSE(CheckNumber(0.0, NumberKind::Price, u"Cijena"_s));
    EXPECT_FALSE(CheckNumber(999999999999.99, NumberKind::Price, u"Cijena"_s));
    EXPECT_EQ(Refusal(-0.01, NumberKind::Price, u"Cijena"_s), u"Cijena nesmije biti negativna !"_s);
    EXPECT_EQ(Refusal(1e12, NumberKind::Price, u"Cijena"_s),
              u"Cijena mora biti između 0 i 999999999999,99 !"_s);

    const QString quantity =
        u"Količina mora biti između -999999999,9999999999 i 999999999,9999999999 !"_s;
    EXPECT_FALSE(CheckNumber(999999999.9999, NumberKind::Quantity, u"Količina"_s));
    EXPECT_FALSE(CheckNumber(-999999999.9999, NumberKind::Quantity, u"Količina"_s));
    EXPECT_EQ(Refusal(1e9, NumberKind::Quantity, u"Količina"_s), quantity);
    EXPECT_EQ(Refusal(-1e308, NumberKind::Quantity, u"Količina"_s), quantity);
    // Ten decimals are kept; a quantity that vanishes at ten decimals is no quantity.
    EXPECT_FALSE(CheckNumber(0.0, NumberKind::Quantity, u"Količina"_s));
    EXPECT_FALSE(CheckNumber(1e-10, NumberKind::Quantity, u"Količina"_s));
    for (double fine : {4e-11, 5e-324, -4e-11}) {
        EXPECT_EQ(Refusal(fine, NumberKind::Quantity, u"Količina"_s),
                  u"Količina ima više od 10 decimala !"_s);
    }
}

TEST(InputLimits, PercentagesDiscountsTaxRatesAndRatesKeepTheirRanges) {
    EXPECT_FALSE(CheckNumber(-100, NumberKind::Percent, u"Marža"_s));
    EXPECT_FALSE(CheckNumber(1000, NumberKind::Percent, u"Marža"_s));
    for (double bad : {-100.01, 1000.01}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Percent, u"Marža"_s),
                  u"Marža mora biti između -100 i 1000 !"_s);
    }
    EXPECT_FALSE(CheckNumber(-100, NumberKind::Discount, u"Rabat"_s));
    EXPECT_FALSE(CheckNumber(100, NumberKind::Discount, u"Rabat"_s));
    for (double bad : {-100.01, 100.01, 250.0}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Discount, u"Rabat"_s),
                  u"Rabat mora biti između -100 i 100 !"_s);
    }
    EXPECT_FALSE(CheckNumber(0, NumberKind::TaxRate, u"Porez"_s));
    EXPECT_FALSE(CheckNumber(100, NumberKind::TaxRate, u"Porez"_s));
    for (double bad : {-0.01, 100.01}) {
        EXPECT_EQ(Refusal(bad, NumberKind::TaxRate, u"Porez"_s),
                  u"Porez mora biti između 0 i 100 !"_s);
    }
    EXPECT_FALSE(CheckNumber(0.000001, NumberKind::Rate, u"Tečaj"_s));
    EXPECT_FALSE(CheckNumber(999999.99, NumberKind::Rate, u"Tečaj"_s));
    for (double bad : {0.0, -1.0, 1e6}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Rate, u"Tečaj"_s),
                  u"Tečaj mora biti veći od nule i manji od 1000000 !"_s);
    }
}

TEST(InputLimits, DatesLieWithinTheCenturyAndDocumentDatesNearTheirYear) {
    const QString century = u"Datum mora biti između 01.01.2000 i 31.12.2099 !"_s;
    EXPECT_FALSE(CheckDate(QDate(2000, 1, 1), u"Datum"_s));
    EXPECT_FALSE(CheckDate(QDate(2099, 12, 31), u"Datum"_s));
    EXPECT_EQ(CheckDate(QDate(1999, 12, 31), u"Datum"_s).value_or(QString()), century);
    EXPECT_EQ(CheckDate(QDate(2100, 1, 1), u"Datum"_s).value_or(QString()), century);
    EXPECT_EQ(CheckDate(QDate(), u"Datum"_s).value_or(QString()), u"Datum nije ispravan datum !"_s);

    // Five years back and one ahead of the business year 2026.
    EXPECT_FALSE(CheckDocumentDate(QDate(2021, 1, 1), 2026, u"Datum"_s));
    EXPECT_FALSE(CheckDocumentDate(QDate(2027, 12, 31), 2026, u"Datum"_s));
    const QString reach = u"Datum mora biti između 01.01.2021 i 31.12.2027 !"_s;
    EXPECT_EQ(CheckDocumentDate(QDate(2020, 12, 31), 2026, u"Datum"_s).value_or(QString()), reach);
    EXPECT_EQ(CheckDocumentDate(QDate(2028, 1, 1), 2026, u"Datum"_s).value_or(QString()), reach);
    // The century comes first: its message, not the year's.
    EXPECT_EQ(CheckDocumentDate(QDate(9999, 12, 31), 2026, u"Datum"_s).value_or(QString()),
              century);
    EXPECT_EQ(CheckDocumentDate(QDate(1900, 1, 1), 2026, u"Datum"_s).value_or(QString()), century);
    EXPECT_THROW(RequireDocumentDate(QDate(2028, 1, 1), 2026, u"Datum"_s), UserError);
    EXPECT_NO_THROW(RequireDocumentDate(QDate(2026, 3, 2), 2026, u"Datum"_s));
}

TEST(InputLimits, TextsRefuseControlCharactersAndAllowLineBreaksOnlyWhereAsked) {
    const QString refusal = u"Opis sadrži nedopušten znak !"_s;
    for (const QString& good : {u"Kod Ane's"_s, u"Čaj, đumbir & Žuti"_s, QString()}) {
        EXPECT_FALSE(CheckText(good, u"Opis"_s)) << good.toStdString();
    }
    for (const char16_t* bad :
         {u"a\tb", u"a\nb", u"R-1\u001b", u"bell\u0007", u"x\u007f", u"next\u0085line"}) {
        EXPECT_EQ(CheckText(QString::fromUtf16(bad), u"Opis"_s).value_or(QString()), refusal);
    }
    EXPECT_FALSE(CheckText(u"Red 1\r\n\tRed 2"_s, u"Opis"_s, true));
    QString withNul = u"ab"_s;
    withNul.insert(1, QChar(u'\0'));
    EXPECT_EQ(CheckText(withNul, u"Opis"_s, true).value_or(QString()), refusal);
}
