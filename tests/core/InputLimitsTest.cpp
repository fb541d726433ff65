#include <gtest/gtest.h>

#include <limits>

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "support/Refused.h"

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
            EXPECT_EQ(Refusal(bad, kind, QStringLiteral("Količina")),
                      QStringLiteral("Količina nije ispravan broj !"));
        }
    }
    EXPECT_EQ(NotANumberMessage(QStringLiteral("Cijena")),
              QStringLiteral("Cijena nije ispravan broj !"));
    EXPECT_REFUSED(RequireNumber(kNaN, NumberKind::Amount, QStringLiteral("Iznos")),
                   QStringLiteral("Iznos nije ispravan broj !"));
    EXPECT_NO_THROW(RequireNumber(12.5, NumberKind::Amount, QStringLiteral("Iznos")));
}

TEST(InputLimits, AmountsPricesAndQuantitiesStopShortOfTheirBounds) {
    const QString amount =
        QStringLiteral("Iznos mora biti između -999999999999,99 i 999999999999,99 !");
    EXPECT_FALSE(CheckNumber(999999999999.99, NumberKind::Amount, QStringLiteral("Iznos")));
    EXPECT_FALSE(CheckNumber(-999999999999.99, NumberKind::Amount, QStringLiteral("Iznos")));
    EXPECT_EQ(Refusal(1e12, NumberKind::Amount, QStringLiteral("Iznos")), amount);
    EXPECT_EQ(Refusal(-1e12, NumberKind::Amount, QStringLiteral("Iznos")), amount);
    EXPECT_EQ(Refusal(1e308, NumberKind::Amount, QStringLiteral("Iznos")), amount);

    EXPECT_FALSE(CheckNumber(0.0, NumberKind::Price, QStringLiteral("Cijena")));
    EXPECT_FALSE(CheckNumber(999999999999.99, NumberKind::Price, QStringLiteral("Cijena")));
    EXPECT_EQ(Refusal(-0.01, NumberKind::Price, QStringLiteral("Cijena")),
              QStringLiteral("Cijena nesmije biti negativna !"));
    EXPECT_EQ(Refusal(1e12, NumberKind::Price, QStringLiteral("Cijena")),
              QStringLiteral("Cijena mora biti između 0 i 999999999999,99 !"));

    const QString quantity =
        QStringLiteral("Količina mora biti između -999999999,9999999999 i 999999999,9999999999 !");
    EXPECT_FALSE(CheckNumber(999999999.9999, NumberKind::Quantity, QStringLiteral("Količina")));
    EXPECT_FALSE(CheckNumber(-999999999.9999, NumberKind::Quantity, QStringLiteral("Količina")));
    EXPECT_EQ(Refusal(1e9, NumberKind::Quantity, QStringLiteral("Količina")), quantity);
    EXPECT_EQ(Refusal(-1e308, NumberKind::Quantity, QStringLiteral("Količina")), quantity);
    // Ten decimals are kept; a quantity that vanishes at ten decimals is no quantity.
    EXPECT_FALSE(CheckNumber(0.0, NumberKind::Quantity, QStringLiteral("Količina")));
    EXPECT_FALSE(CheckNumber(1e-10, NumberKind::Quantity, QStringLiteral("Količina")));
    for (double fine : {4e-11, 5e-324, -4e-11}) {
        EXPECT_EQ(Refusal(fine, NumberKind::Quantity, QStringLiteral("Količina")),
                  QStringLiteral("Količina ima više od 10 decimala !"));
    }
}

TEST(InputLimits, PercentagesDiscountsTaxRatesAndRatesKeepTheirRanges) {
    EXPECT_FALSE(CheckNumber(-100, NumberKind::Percent, QStringLiteral("Marža")));
    EXPECT_FALSE(CheckNumber(1000, NumberKind::Percent, QStringLiteral("Marža")));
    for (double bad : {-100.01, 1000.01}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Percent, QStringLiteral("Marža")),
                  QStringLiteral("Marža mora biti između -100 i 1000 !"));
    }
    EXPECT_FALSE(CheckNumber(-100, NumberKind::Discount, QStringLiteral("Rabat")));
    EXPECT_FALSE(CheckNumber(100, NumberKind::Discount, QStringLiteral("Rabat")));
    for (double bad : {-100.01, 100.01, 250.0}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Discount, QStringLiteral("Rabat")),
                  QStringLiteral("Rabat mora biti između -100 i 100 !"));
    }
    EXPECT_FALSE(CheckNumber(0, NumberKind::TaxRate, QStringLiteral("Porez")));
    EXPECT_FALSE(CheckNumber(100, NumberKind::TaxRate, QStringLiteral("Porez")));
    for (double bad : {-0.01, 100.01}) {
        EXPECT_EQ(Refusal(bad, NumberKind::TaxRate, QStringLiteral("Porez")),
                  QStringLiteral("Porez mora biti između 0 i 100 !"));
    }
    EXPECT_FALSE(CheckNumber(0.000001, NumberKind::Rate, QStringLiteral("Tečaj")));
    EXPECT_FALSE(CheckNumber(999999.99, NumberKind::Rate, QStringLiteral("Tečaj")));
    for (double bad : {0.0, -1.0, 1e6}) {
        EXPECT_EQ(Refusal(bad, NumberKind::Rate, QStringLiteral("Tečaj")),
                  QStringLiteral("Tečaj mora biti veći od nule i manji od 1000000 !"));
    }
}

TEST(InputLimits, DatesLieWithinTheCenturyAndDocumentDatesNearTheirYear) {
    const QString century = QStringLiteral("Datum mora biti između 01.01.2000 i 31.12.2099 !");
    EXPECT_FALSE(CheckDate(QDate(2000, 1, 1), QStringLiteral("Datum")));
    EXPECT_FALSE(CheckDate(QDate(2099, 12, 31), QStringLiteral("Datum")));
    EXPECT_EQ(CheckDate(QDate(1999, 12, 31), QStringLiteral("Datum")).value_or(QString()), century);
    EXPECT_EQ(CheckDate(QDate(2100, 1, 1), QStringLiteral("Datum")).value_or(QString()), century);
    EXPECT_EQ(CheckDate(QDate(), QStringLiteral("Datum")).value_or(QString()),
              QStringLiteral("Datum nije ispravan datum !"));

    // Five years back and one ahead of the business year 2026.
    EXPECT_FALSE(CheckDocumentDate(QDate(2021, 1, 1), 2026, QStringLiteral("Datum")));
    EXPECT_FALSE(CheckDocumentDate(QDate(2027, 12, 31), 2026, QStringLiteral("Datum")));
    const QString reach = QStringLiteral("Datum mora biti između 01.01.2021 i 31.12.2027 !");
    EXPECT_EQ(
        CheckDocumentDate(QDate(2020, 12, 31), 2026, QStringLiteral("Datum")).value_or(QString()),
        reach);
    EXPECT_EQ(
        CheckDocumentDate(QDate(2028, 1, 1), 2026, QStringLiteral("Datum")).value_or(QString()),
        reach);
    // The century comes first: its message, not the year's.
    EXPECT_EQ(
        CheckDocumentDate(QDate(9999, 12, 31), 2026, QStringLiteral("Datum")).value_or(QString()),
        century);
    EXPECT_EQ(
        CheckDocumentDate(QDate(1900, 1, 1), 2026, QStringLiteral("Datum")).value_or(QString()),
        century);
    EXPECT_THROW(RequireDocumentDate(QDate(2028, 1, 1), 2026, QStringLiteral("Datum")), UserError);
    EXPECT_NO_THROW(RequireDocumentDate(QDate(2026, 3, 2), 2026, QStringLiteral("Datum")));
}

TEST(InputLimits, TextsRefuseControlCharactersAndAllowLineBreaksOnlyWhereAsked) {
    const QString refusal = QStringLiteral("Opis sadrži nedopušten znak !");
    for (const QString& good :
         {QStringLiteral("Kod Ane's"), QStringLiteral("Čaj, đumbir & Žuti"), QString()}) {
        EXPECT_FALSE(CheckText(good, QStringLiteral("Opis"))) << good.toStdString();
    }
    for (const char16_t* bad :
         {u"a\tb", u"a\nb", u"R-1\u001b", u"bell\u0007", u"x\u007f", u"next\u0085line"}) {
        EXPECT_EQ(CheckText(QString::fromUtf16(bad), QStringLiteral("Opis")).value_or(QString()),
                  refusal);
    }
    EXPECT_FALSE(CheckText(QStringLiteral("Red 1\r\n\tRed 2"), QStringLiteral("Opis"), true));
    QString withNul = QStringLiteral("ab");
    withNul.insert(1, QChar(u'\0'));
    EXPECT_EQ(CheckText(withNul, QStringLiteral("Opis"), true).value_or(QString()), refusal);
}
