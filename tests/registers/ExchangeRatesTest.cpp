#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

using ExchangeRatesTest = RegisterTest;

TEST_F(ExchangeRatesTest, TheDaysRatesAreAskedForEveryForeignCurrencyByName) {
    const int usd = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"USD"_s}}).code;
    const int chf = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"CHF"_s}}).code;
    const int gbp = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"GBP"_s}}).code;
    const QDate day(2026, 3, 2);
    exchangerates::SetRate(db(), gbp, day, u"1,17"_s);
    prompter.AnswerText(u"0,95"_s).AnswerText(u"0"_s);
    exchangerates::AskMissingRates(db(), day, prompter);
    // CHF before USD (by name); EUR gets 1 without a question; GBP already has its rate.
    EXPECT_EQ(prompter.Shown(), (QStringList{u"Upišite tečaj CHF na dan 2.3.2026"_s,
                                             u"Upišite tečaj USD na dan 2.3.2026"_s,
                                             u"Neispravno upisan tečaj USD"_s}));
    EXPECT_DOUBLE_EQ(*exchangerates::RateOn(db(), 1, day), 1);
    EXPECT_DOUBLE_EQ(*exchangerates::RateOn(db(), chf, day), 0.95);
    EXPECT_FALSE(exchangerates::RateOn(db(), usd, day)) << "a rate of 0 is refused";
    // Asking again for USD only: an empty answer leaves the day without a rate.
    prompter.Clear();
    prompter.AnswerText(QString());
    exchangerates::AskMissingRates(db(), day, prompter, u"USD"_s);
    EXPECT_EQ(prompter.Messages(), QStringList{u"Neispravno upisan tečaj USD"_s});
    EXPECT_FALSE(exchangerates::RateOn(db(), usd, day));
    prompter.Clear();
    prompter.AnswerText(u"-1"_s);
    exchangerates::AskMissingRates(db(), day, prompter, u"USD"_s);
    EXPECT_EQ(prompter.LastMessage(), u"Neispravno upisan tečaj USD"_s);
}

TEST_F(ExchangeRatesTest, TheRateGridSetsReplacesAndDeletesRates) {
    const int usd = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"USD"_s}}).code;
    const QDate day(2026, 3, 2);
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, u"0"_s); }),
              u"Neispravno upisan tečaj USD"_s);
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, u"-0,5"_s); }),
              u"Neispravno upisan tečaj USD"_s);
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, u"abc"_s); }),
              u"Neispravno upisan tečaj USD"_s);
    EXPECT_TRUE(exchangerates::RatesOf(db(), usd).empty());
    exchangerates::SetRate(db(), usd, day.addDays(1), u"0.93"_s);
    exchangerates::SetRate(db(), usd, day, u"0,92"_s);
    exchangerates::SetRate(db(), usd, day, u"0,91"_s);
    const auto rates = exchangerates::RatesOf(db(), usd);
    ASSERT_EQ(rates.size(), 2u);
    EXPECT_EQ(rates[0].date, day);
    EXPECT_DOUBLE_EQ(rates[0].rate, 0.91);
    exchangerates::DeleteRate(db(), usd, day);
    EXPECT_EQ(exchangerates::RatesOf(db(), usd).size(), 1u);
}

}  // namespace
