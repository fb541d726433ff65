#include <gtest/gtest.h>

#include "reports/ReportTestSupport.h"

#include "data/Errors.h"
#include "reports/AmountInWords.h"
#include "support/TestCompany.h"

namespace zodra {
namespace {

QString Kn(double amount) {
    return AmountInWords(amount, QStringLiteral("kn"));
}

TEST(AmountInWords, KunaExamplesWithLipa) {
    EXPECT_EQ(Kn(1234.56), QStringLiteral("jednatisućadvijestotridesetčetiri kn i pedesetšest lp"));
    EXPECT_EQ(Kn(15000), QStringLiteral("petnaesttisuća kn"));
    EXPECT_EQ(Kn(200000), QStringLiteral("dvijestotisuća kn"));
    EXPECT_EQ(Kn(1000000), QStringLiteral("jedanmilion kn"));
    EXPECT_EQ(Kn(2000000), QStringLiteral("dvamiliona kn"));
    EXPECT_EQ(Kn(11.10), QStringLiteral("jedanaest kn i deset lp"));
    EXPECT_EQ(Kn(21), QStringLiteral("dvadesetjedna kn"));
}

TEST(AmountInWords, GroupBoundaries) {
    // An all-zero group between others adds nothing.
    EXPECT_EQ(Kn(1000005), QStringLiteral("jedanmilionpet kn"));
    EXPECT_EQ(Kn(1001000), QStringLiteral("jedanmilionjednatisuća kn"));
    EXPECT_EQ(Kn(1000000000), QStringLiteral("jednamilijarda kn"));
    EXPECT_EQ(Kn(2000000005), QStringLiteral("dvijemilijardepet kn"));
    // A group ending in 0 names its scale when its tens or hundreds are not 0.
    EXPECT_EQ(Kn(20000), QStringLiteral("dvadesettisuća kn"));
    EXPECT_EQ(Kn(310000000), QStringLiteral("tristodesetmiliona kn"));
    EXPECT_EQ(Kn(100000), QStringLiteral("stotisuća kn"));
    // Teens take the units digit and, in a scale group, the bare scale word.
    EXPECT_EQ(Kn(11000), QStringLiteral("jedanaesttisuća kn"));
    EXPECT_EQ(Kn(19019), QStringLiteral("devetnaesttisućadevetnaest kn"));
    EXPECT_EQ(Kn(12000000), QStringLiteral("dvanaestmiliona kn"));
    EXPECT_EQ(Kn(15000000000), QStringLiteral("petnaestmilijardi kn"));
    // Digit words of each scale.
    EXPECT_EQ(Kn(2000), QStringLiteral("dvijetisuće kn"));
    EXPECT_EQ(Kn(5000), QStringLiteral("pettisuća kn"));
    EXPECT_EQ(Kn(4444), QStringLiteral("četiritisućečetiristočetrdesetčetiri kn"));
    EXPECT_EQ(Kn(3000000), QStringLiteral("trimiliona kn"));
    EXPECT_EQ(Kn(5000000000), QStringLiteral("petmilijardi kn"));
    EXPECT_EQ(Kn(999999999999.99),
              QStringLiteral("devetstodevedesetdevetmilijardidevetstodevedesetdevetmilionadevetst"
                             "odevedesetdevettisućadevetstodevedesetdevet kn i devedesetdevet lp"));
    EXPECT_EQ(Kn(101), QStringLiteral("stojedna kn"));
    EXPECT_EQ(Kn(110), QStringLiteral("stodeset kn"));
    EXPECT_EQ(Kn(600), QStringLiteral("šesto kn"));
}

TEST(AmountInWords, DecimalsSpelledAsTwoDigitGroup) {
    EXPECT_EQ(Kn(1.05), QStringLiteral("jedna kn i pet lp"));
    EXPECT_EQ(Kn(2.50), QStringLiteral("dvije kn i pedeset lp"));
    EXPECT_EQ(Kn(3.12), QStringLiteral("tri kn i dvanaest lp"));
    EXPECT_EQ(Kn(3.01), QStringLiteral("tri kn i jedna lp"));
    // Rounded to the cent first, half away from zero, as the amount is printed.
    EXPECT_EQ(Kn(2.675), QStringLiteral("dvije kn i šezdesetosam lp"));
    EXPECT_EQ(Kn(99.995), QStringLiteral("sto kn"));
}

TEST(AmountInWords, SubUnitFollowsTheCurrency) {
    EXPECT_EQ(AmountInWords(11.10, QStringLiteral("EUR")),
              QStringLiteral("jedanaest EUR i deset centi"));
    EXPECT_EQ(AmountInWords(11.10, QStringLiteral("Km")),
              QStringLiteral("jedanaest Km i deset feninga"));
    EXPECT_EQ(AmountInWords(11.00, QStringLiteral("EUR")), QStringLiteral("jedanaest EUR"));
}

TEST(AmountInWords, BelowOneAndNegativeAmounts) {
    EXPECT_EQ(Kn(0), QStringLiteral("nula kn"));
    EXPECT_EQ(Kn(0.5), QStringLiteral("nula kn i pedeset lp"));
    EXPECT_EQ(Kn(-15.10), QStringLiteral("minus petnaest kn i deset lp"));
    EXPECT_EQ(Kn(-0.01), QStringLiteral("minus nula kn i jedna lp"));
    // A value that rounds to zero is not negative.
    EXPECT_EQ(Kn(-0.001), QStringLiteral("nula kn"));
}

TEST(AmountInWords, AmountsBeyondTheTablesAreRefused) {
    EXPECT_THROW(Kn(1e12), UserError);
    EXPECT_THROW(Kn(-1e12), UserError);
    EXPECT_NO_THROW(Kn(999999999999.99));
}

class AmountInWordsCompany : public test::CompanyTest {};

TEST_F(AmountInWordsCompany, HomeCurrencyIsCurrencyOne) {
    auto db = Open();
    EXPECT_EQ(AmountInWords(*db, 21.1), QStringLiteral("dvadesetjedna EUR i deset centi"));
    db->Exec(QStringLiteral("UPDATE \"VALUTE\" SET \"NAZIV\" = 'kn' WHERE \"SIFRA\" = 1"));
    EXPECT_EQ(AmountInWords(*db, 21.1), QStringLiteral("dvadesetjedna kn i deset lp"));
}

}  // namespace
}  // namespace zodra
