#include <gtest/gtest.h>

#include "data/InputRules.h"

using namespace Qt::StringLiterals;

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
    EXPECT_DOUBLE_EQ(*ParseNumber(u"12,5"_s), 12.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(u"12.5"_s), 12.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(u"-0,25"_s), -0.25);
    EXPECT_DOUBLE_EQ(*ParseNumber(u",5"_s), 0.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(u"-,5"_s), -0.5);
    EXPECT_DOUBLE_EQ(*ParseNumber(u"12,"_s), 12.0);
    EXPECT_DOUBLE_EQ(*ParseNumber(QString()), 0.0);
    EXPECT_DOUBLE_EQ(*ParseNumber(u"-"_s), 0.0);
    EXPECT_FALSE(ParseNumber(u"x"_s).has_value());
    EXPECT_FALSE(ParseNumber(u"1.234,56"_s).has_value());
}

TEST(InputRules, NumbersAreShownWithACommaAndNoNeedlessZeros) {
    EXPECT_EQ(FormatNumber(12.5), u"12,5"_s);
    EXPECT_EQ(FormatNumber(3.0), u"3"_s);
    EXPECT_EQ(FormatNumber(-0.0), u"0"_s);
    EXPECT_EQ(FormatNumber(1.0 / 3.0, 4), u"0,3333"_s);
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
    EXPECT_EQ(*ParseDate(u"29.2.2024"_s, today), QDate(2024, 2, 29));
    for (const char* bad : {"", "31.2.2026", "29.2.2025", "0.1.2026", "1.13.2026", "abc", "1.3.202",
                            "12345", "1.3.1850"}) {
        EXPECT_FALSE(ParseDate(QString::fromLatin1(bad), today).has_value()) << bad;
    }
    EXPECT_EQ(FormatDate(QDate(2026, 3, 1)), u"01.03.2026"_s);
}

TEST(InputRules, SundayAndTheMessagesAsTheUserReadsThem) {
    EXPECT_TRUE(IsSunday(QDate(2026, 3, 1)));
    EXPECT_FALSE(IsSunday(QDate(2026, 3, 2)));
    EXPECT_FALSE(IsSunday(QDate()));
    EXPECT_EQ(InvalidNumberMessage(),
              u"Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu."_s);
    EXPECT_EQ(InvalidDateMessage(),
              u"Nije ispravno upisan datum. Biti će postavljen današnji datum."_s);
    EXPECT_EQ(SundayMessage(), u"Ovaj datum je nedjelja !"_s);
}

TEST(InputRules, BoxesRefuseWhatTheInputLimitsRefuseButLetZeroPassOnTheWay) {
    using zodra::limits::NumberKind;
    EXPECT_FALSE(NumberBoxRefusal(0.0, NumberKind::Rate, u"Tečaj"_s));
    EXPECT_EQ(NumberBoxRefusal(-0.5, NumberKind::Rate, u"Tečaj"_s),
              std::optional<QString>(u"Tečaj mora biti veći od nule i manji od 1000000 !"_s));
    EXPECT_FALSE(NumberBoxRefusal(999999999999.0, NumberKind::Amount, u"Iznos"_s));
    EXPECT_EQ(
        NumberBoxRefusal(9999999999999.0, NumberKind::Amount, u"Iznos"_s),
        std::optional<QString>(u"Iznos mora biti između -999999999999,99 i 999999999999,99 !"_s));
    EXPECT_FALSE(DateBoxRefusal(QDate(2099, 12, 31), std::nullopt, u"Datum"_s));
    EXPECT_EQ(DateBoxRefusal(QDate(2099, 12, 31), 2026, u"Datum"_s),
              std::optional<QString>(u"Datum mora biti između 01.01.2021 i 31.12.2027 !"_s));
    EXPECT_FALSE(DateBoxRefusal(QDate(2021, 1, 1), 2026, u"Datum"_s));
}
