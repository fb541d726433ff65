#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

using ExchangeRatesTest = RegisterTest;

TEST_F(ExchangeRatesTest, TheDaysRatesAreAskedForEveryForeignCurrencyByName) {
    const int usd = registers::Add(db(), catalogue::Currencies(),
                                   {{QStringLiteral("NAZIV"), QStringLiteral("USD")}})
                        .code;
    const int chf = registers::Add(db(), catalogue::Currencies(),
                                   {{QStringLiteral("NAZIV"), QStringLiteral("CHF")}})
                        .code;
    const int gbp = registers::Add(db(), catalogue::Currencies(),
                                   {{QStringLiteral("NAZIV"), QStringLiteral("GBP")}})
                        .code;
    const QDate day(2026, 3, 2);
    exchangerates::SetRate(db(), gbp, day, QStringLiteral("1,17"));
    prompter.AnswerText(QStringLiteral("0,95")).AnswerText(QStringLiteral("0"));
    exchangerates::AskMissingRates(db(), day, prompter);
    // CHF before USD (by name); EUR gets 1 without a question; GBP already has its rate.
    EXPECT_EQ(prompter.Shown(), (QStringList{QStringLiteral("Upišite tečaj CHF na dan 2.3.2026"),
                                             QStringLiteral("Upišite tečaj USD na dan 2.3.2026"),
                                             QStringLiteral("Neispravno upisan tečaj USD")}));
    EXPECT_DOUBLE_EQ(*exchangerates::RateOn(db(), 1, day), 1);
    EXPECT_DOUBLE_EQ(*exchangerates::RateOn(db(), chf, day), 0.95);
    EXPECT_FALSE(exchangerates::RateOn(db(), usd, day)) << "a rate of 0 is refused";
    // Asking again for USD only: an empty answer leaves the day without a rate.
    prompter.Clear();
    prompter.AnswerText(QString());
    exchangerates::AskMissingRates(db(), day, prompter, QStringLiteral("USD"));
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Neispravno upisan tečaj USD")});
    EXPECT_FALSE(exchangerates::RateOn(db(), usd, day));
    prompter.Clear();
    prompter.AnswerText(QStringLiteral("-1"));
    exchangerates::AskMissingRates(db(), day, prompter, QStringLiteral("USD"));
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Neispravno upisan tečaj USD"));
}

TEST_F(ExchangeRatesTest, TheRateGridSetsReplacesAndDeletesRates) {
    const int usd = registers::Add(db(), catalogue::Currencies(),
                                   {{QStringLiteral("NAZIV"), QStringLiteral("USD")}})
                        .code;
    const QDate day(2026, 3, 2);
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, QStringLiteral("0")); }),
              QStringLiteral("Neispravno upisan tečaj USD"));
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, QStringLiteral("-0,5")); }),
              QStringLiteral("Neispravno upisan tečaj USD"));
    EXPECT_EQ(Refusal([&] { exchangerates::SetRate(db(), usd, day, QStringLiteral("abc")); }),
              QStringLiteral("Neispravno upisan tečaj USD"));
    EXPECT_TRUE(exchangerates::RatesOf(db(), usd).empty());
    exchangerates::SetRate(db(), usd, day.addDays(1), QStringLiteral("0.93"));
    exchangerates::SetRate(db(), usd, day, QStringLiteral("0,92"));
    exchangerates::SetRate(db(), usd, day, QStringLiteral("0,91"));
    const auto rates = exchangerates::RatesOf(db(), usd);
    ASSERT_EQ(rates.size(), 2u);
    EXPECT_EQ(rates[0].date, day);
    EXPECT_DOUBLE_EQ(rates[0].rate, 0.91);
    exchangerates::DeleteRate(db(), usd, day);
    EXPECT_EQ(exchangerates::RatesOf(db(), usd).size(), 1u);
}

}  // namespace
