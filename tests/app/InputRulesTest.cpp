#include <gtest/gtest.h>

#include "data/InputRules.h"

using namespace zodra::inputrules;

TEST(InputRules, NumberBoxAcceptsNumbersAndTheirBeginnings) {
    for (const char* ok : {"", "-", "0", "12", "-12", "12,", "12,5", "12.5", ",5", "-,5", " 7 "}) {
        EXPECT_TRUE(IsAcceptableNumberText(QString::fromLatin1(ok))) << ok;
    }
    for (const char* bad : {"a", "12a", "1,2,3", "1.2.3", "--1", "1-", "1 2", "1e5", "12%"}) {
        EXPECT_FALSE(IsAcceptableNumberText(QString::fromLatin1(bad))) << bad;
    }
}

TEST(InputRules, NumberValuesTakeCommaOrPointAndCountBeginningsAsZero) {
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("12,5")), 12.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("-0,25")), -0.25);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral(",5")), 0.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("-,5")), -0.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("12,")), 12.0);
    EXPECT_DOUBLE_EQ(*ParseNumber(QString()), 0.0);
    EXPECT_DOUBLE_EQ(*ParseNumber(QStringLiteral("-")), 0.0);
    EXPECT_FALSE(ParseNumber(QStringLiteral("x")).has_value());
    EXPECT_FALSE(ParseNumber(QStringLiteral("1.234,56")).has_value());
}

TEST(InputRules, NumbersAreShownWithACommaAndNoNeedlessZeros) {
    EXPECT_EQ(FormatNumber(12.5), QStringLiteral("12,5"));
    EXPECT_EQ(FormatNumber(3.0), QStringLiteral("3"));
    EXPECT_EQ(FormatNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatNumber(1.0 / 3.0, 4), QStringLiteral("0,3333"));
}

TEST(InputRules, DatesAreTypedDayFirstInTheUsualForms) {
    const QDate today(2026, 3, 4);
    const QDate expected(2026, 3, 1);
    for (const char* text : {"1.3.2026", "01.03.2026", "01.03.2026.", "1.3.26", "1/3/2026",
                             "1-3-2026", "1,3,2026", "010326", "01032026", "1.3.", "1.3"}) {
        const auto parsed = ParseDate(QString::fromLatin1(text), today);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, expected) << text;
    }
    EXPECT_EQ(*ParseDate(QStringLiteral("29.2.2024"), today), QDate(2024, 2, 29));
    for (const char* bad : {"", "31.2.2026", "29.2.2025", "0.1.2026", "1.13.2026", "abc", "1.3.202",
                            "12345", "1.3.1850"}) {
        EXPECT_FALSE(ParseDate(QString::fromLatin1(bad), today).has_value()) << bad;
    }
    EXPECT_EQ(FormatDate(QDate(2026, 3, 1)), QStringLiteral("01.03.2026"));
}

TEST(InputRules, SundayAndTheMessagesAsTheUserReadsThem) {
    EXPECT_TRUE(IsSunday(QDate(2026, 3, 1)));
    EXPECT_FALSE(IsSunday(QDate(2026, 3, 2)));
    EXPECT_FALSE(IsSunday(QDate()));
    EXPECT_EQ(InvalidNumberMessage(),
              QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu."));
    EXPECT_EQ(InvalidDateMessage(),
              QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    EXPECT_EQ(SundayMessage(), QStringLiteral("Ovaj datum je nedjelja !"));
}

TEST(InputRules, BoxesRefuseWhatTheInputLimitsRefuseButLetZeroPassOnTheWay) {
    using zodra::limits::NumberKind;
    EXPECT_FALSE(NumberBoxRefusal(0.0, NumberKind::Rate, QStringLiteral("Tečaj")));
    EXPECT_EQ(NumberBoxRefusal(-0.5, NumberKind::Rate, QStringLiteral("Tečaj")),
              std::optional<QString>(
                  QStringLiteral("Tečaj mora biti veći od nule i manji od 1000000 !")));
    EXPECT_FALSE(NumberBoxRefusal(999999999999.0, NumberKind::Amount, QStringLiteral("Iznos")));
    EXPECT_EQ(NumberBoxRefusal(9999999999999.0, NumberKind::Amount, QStringLiteral("Iznos")),
              std::optional<QString>(
                  QStringLiteral("Iznos mora biti između -999999999999,99 i 999999999999,99 !")));
    EXPECT_FALSE(DateBoxRefusal(QDate(2099, 12, 31), std::nullopt, QStringLiteral("Datum")));
    EXPECT_EQ(
        DateBoxRefusal(QDate(2099, 12, 31), 2026, QStringLiteral("Datum")),
        std::optional<QString>(QStringLiteral("Datum mora biti između 01.01.2021 i 31.12.2027 !")));
    EXPECT_FALSE(DateBoxRefusal(QDate(2021, 1, 1), 2026, QStringLiteral("Datum")));
}
