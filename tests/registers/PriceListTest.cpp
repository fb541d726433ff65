#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"
#include "pricelists/PriceLists.h"
#include "pricelists/Pricing.h"

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

class PriceListTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        drinks = registers::Add(db(), catalogue::ArticleGroups(),
                                {{QStringLiteral("NAZIV"), QStringLiteral("Pića")}})
                     .code;
        tools = registers::Add(db(), catalogue::ArticleGroups(),
                               {{QStringLiteral("NAZIV"), QStringLiteral("Alati")}})
                    .code;
        auto juice = Article(QStringLiteral("Sok"));
        juice.insert(QStringLiteral("GRUPA_A"), drinks);
        article = registers::Add(db(), catalogue::Articles(), juice).code;
        auto drill = Article(QStringLiteral("Bušilica"));
        drill.insert(QStringLiteral("GRUPA_A"), tools);
        other = registers::Add(db(), catalogue::Articles(), drill).code;
        usd = registers::Add(db(), catalogue::Currencies(),
                             {{QStringLiteral("NAZIV"), QStringLiteral("USD")}})
                  .code;
        list = registers::Add(db(), pricelists::Register(),
                              {{QStringLiteral("NAZIV"), QStringLiteral("Stalni kupci")}})
                   .code;
        auto partner = Partner(QStringLiteral("Kod Ane's"));
        partner.insert(QStringLiteral("RABAT"), QStringLiteral("4"));
        partner.insert(QStringLiteral("CJENIK"), list);
        customer = registers::Add(db(), catalogue::Partners(), partner).code;
        auto plain = Partner(QStringLiteral("Bez cjenika"));
        plain.insert(QStringLiteral("RABAT"), QStringLiteral("2,5"));
        noList = registers::Add(db(), catalogue::Partners(), plain).code;
    }
    int drinks = 0, tools = 0, article = 0, other = 0, usd = 0, list = 0, customer = 0, noList = 0;
    const QDate day{2026, 3, 2};
};

TEST_F(PriceListTest, AddingAPriceChecksInOrderAndReplacesTheOldPrice) {
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), 0, 0, 0, 1); }),
              QStringLiteral("Nije izabran cjenik"));
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, 0, 0, 1); }),
              QStringLiteral("Nije izabran artikal"));
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, article, 0, 1); }),
              QStringLiteral("Nije izabrana valuta"));
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, article, 42, 1); }),
              QStringLiteral("Nije izabrana valuta"));
    pricelists::SetPrice(db(), list, article, 1, 100);
    pricelists::SetPrice(db(), list, article, usd, 80);
    const auto prices = pricelists::Prices(db(), list);
    ASSERT_EQ(prices.size(), 1u) << "one price per article";
    EXPECT_DOUBLE_EQ(prices[0].net, 80);
    EXPECT_DOUBLE_EQ(prices[0].withTax, 100);  // PDV 25 %
    EXPECT_EQ(prices[0].currencyName, QStringLiteral("USD"));
    EXPECT_EQ(prices[0].articleName, QStringLiteral("Sok"));
}

TEST_F(PriceListTest, NetAndWithTaxConvertBothWays) {
    EXPECT_DOUBLE_EQ(pricelists::WithTax(100, 25), 125);
    EXPECT_DOUBLE_EQ(pricelists::WithoutTax(125, 25), 100);
    EXPECT_DOUBLE_EQ(pricelists::ArticleTaxRate(db(), article), 25);
    registers::Update(db(), catalogue::Articles(), other, {{QStringLiteral("GRUPA_P"), 2}});
    EXPECT_DOUBLE_EQ(pricelists::ArticleTaxRate(db(), other), 13);
}

TEST_F(PriceListTest, ThePriceGridShowsPricesWhoseCurrencyOrTaxGroupIsGone) {
    pricelists::SetPrice(db(), list, article, usd, 10);
    pricelists::SetPrice(db(), list, other, 1, 20);
    db().Exec(QStringLiteral("DELETE FROM \"VALUTE\" WHERE \"SIFRA\" = ?"), {usd});
    db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"GRUPA_P\" = NULL WHERE \"SIFRA\" = ?"),
              {other});
    const auto prices = pricelists::Prices(db(), list);
    ASSERT_EQ(prices.size(), 2u);
    EXPECT_EQ(prices[0].articleName, QStringLiteral("Bušilica"));
    EXPECT_DOUBLE_EQ(prices[0].withTax, 20);
    EXPECT_TRUE(prices[1].currencyName.isEmpty());
    EXPECT_DOUBLE_EQ(prices[1].net, 10);
}

TEST_F(PriceListTest, GroupDiscountsReplaceAndDeleteAfterTheQuestion) {
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), 0, drinks, 5, false); }),
              QStringLiteral("Nije izabran cjenik"));
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), list, std::nullopt, 5, false); }),
              QStringLiteral("Nije izabrana grupa artikala"));
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), list, 999, 5, false); }),
              QStringLiteral("Nije izabrana grupa artikala"));
    pricelists::SetDiscount(db(), list, drinks, 5, false);
    pricelists::SetDiscount(db(), list, drinks, 7, true);
    pricelists::SetDiscount(db(), list, tools, 3, false);
    pricelists::SetDiscount(db(), list, pricelists::kAllGroups, 1, false);
    auto rows = pricelists::Discounts(db(), list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].groupName, QStringLiteral("Sve grupe"));
    EXPECT_EQ(rows[1].groupName, QStringLiteral("Alati"));
    EXPECT_EQ(rows[2].groupName, QStringLiteral("Pića"));
    EXPECT_DOUBLE_EQ(rows[2].discount, 7);
    EXPECT_TRUE(rows[2].pricesFromArticles);
    prompter.AnswerNo();
    EXPECT_FALSE(pricelists::DeleteDiscount(db(), list, drinks, prompter));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati stavku ?"));
    EXPECT_EQ(pricelists::Discounts(db(), list).size(), 3u);
    prompter.AnswerYes();
    EXPECT_TRUE(pricelists::DeleteDiscount(db(), list, drinks, prompter));
    EXPECT_EQ(pricelists::Discounts(db(), list).size(), 2u);
    pricelists::SetPrice(db(), list, article, 1, 5);
    prompter.AnswerYes();
    EXPECT_TRUE(pricelists::DeletePrice(db(), list, article, prompter));
    EXPECT_TRUE(pricelists::Prices(db(), list).empty());
}

TEST_F(PriceListTest, ACopyHasEverythingUnderItsOwnCodeAndChangesApart) {
    pricelists::SetPrice(db(), list, article, usd, 10);
    pricelists::SetPrice(db(), list, other, 1, 20);
    pricelists::SetDiscount(db(), list, drinks, 5, true);
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), 0, prompter); }),
              QStringLiteral("Nije izabran cjenik"));
    prompter.AnswerText(QStringLiteral("  "));
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              QStringLiteral("Naziv cjenika nije ispravno upisan. Pokušajte ponovno."));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Upišite naziv novog cjenika."));
    prompter.Cancel();
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              QStringLiteral("Naziv cjenika nije ispravno upisan. Pokušajte ponovno."));
    prompter.AnswerText(QStringLiteral("stalni KUPCI"));
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              QStringLiteral("Cjenik sa nazivom 'stalni KUPCI' je već upisan."));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"CJENICI\"")), 1);
    prompter.AnswerText(QStringLiteral("Stalni kupci 2027"));
    const auto copy = pricelists::Copy(db(), list, prompter);
    EXPECT_NE(copy.code, list);
    EXPECT_EQ(copy.name, QStringLiteral("Stalni kupci 2027"));
    ASSERT_EQ(pricelists::Prices(db(), copy.code).size(), 2u);
    EXPECT_EQ(pricelists::Prices(db(), copy.code)[1].currency, usd);
    ASSERT_EQ(pricelists::Discounts(db(), copy.code).size(), 1u);
    EXPECT_TRUE(pricelists::Discounts(db(), copy.code)[0].pricesFromArticles);
    pricelists::SetPrice(db(), copy.code, article, 1, 99);
    pricelists::SetDiscount(db(), copy.code, drinks, 50, false);
    EXPECT_DOUBLE_EQ(pricelists::Prices(db(), list)[1].net, 10);
    EXPECT_DOUBLE_EQ(pricelists::Discounts(db(), list)[0].discount, 5);
}

TEST_F(PriceListTest, APriceListGivenToPartnersStaysAndGoesWithItsRowsOtherwise) {
    pricelists::SetPrice(db(), list, article, 1, 10);
    prompter.AnswerYes();
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), pricelists::Register(), list, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer je ovaj cjenik dodijeljen partnerima."));
    registers::Update(db(), catalogue::Partners(), customer, {{QStringLiteral("CJENIK"), 0}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), pricelists::Register(), list, prompter));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati cjenik Stalni kupci ?"));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"CJENICI_STAVKE_CIJENA\"")), 0);
}

TEST_F(PriceListTest, ListPriceIsConvertedByTheRateOfTheDay) {
    EXPECT_FALSE(pricing::CustomerListPrice(db(), customer, article, day))
        << "no price on the list";
    EXPECT_FALSE(pricing::CustomerListPrice(db(), noList, article, day)) << "no list";
    pricelists::SetPrice(db(), list, other, 1, 40);
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, other, day), 40)
        << "the home currency needs no rate";
    pricelists::SetPrice(db(), list, article, usd, 10);
    EXPECT_EQ(Refusal([&] { pricing::CustomerListPrice(db(), customer, article, day); }),
              QStringLiteral("Nije upisan tečaj 'USD' za 2.3.2026."));
    exchangerates::SetRate(db(), usd, day, QStringLiteral("0,92"));
    exchangerates::SetRate(db(), usd, day.addDays(1), QStringLiteral("0,95"));
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day), 9.2);
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day.addDays(1)), 9.5);
    // A price whose currency was lost is taken as it stands.
    db().Exec(QStringLiteral("UPDATE \"CJENICI_STAVKE_CIJENA\" SET \"VALUTA\" = NULL"));
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day), 10);
    // A partner pointing at a list that no longer exists has no list.
    db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"CJENIK\" = 999 WHERE \"SIFRA\" = ?"),
              {customer});
    EXPECT_FALSE(pricing::PriceListOf(db(), customer));
    EXPECT_FALSE(pricing::CustomerListPrice(db(), customer, article, day));
}

TEST_F(PriceListTest, DiscountProposalFallsFromGroupToGeneralRowToTheCustomer) {
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), noList, article), 2.5);
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), customer, article), 4) << "list without rows";
    pricelists::SetDiscount(db(), list, pricelists::kAllGroups, 1.5, false);
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), customer, article), 1.5);
    pricelists::SetDiscount(db(), list, drinks, 8, true);
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), customer, article), 8);
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), customer, other), 1.5);
    pricelists::SetDiscount(db(), list, tools, 0, false);
    EXPECT_DOUBLE_EQ(pricing::ProposedDiscount(db(), customer, other), 0) << "a row of 0 % counts";
    EXPECT_TRUE(pricing::PricedFromCurrency(db(), customer, article));
    EXPECT_FALSE(pricing::PricedFromCurrency(db(), customer, other));
    EXPECT_FALSE(pricing::PricedFromCurrency(db(), noList, article));
}

}  // namespace
