#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"
#include "pricelists/PriceLists.h"
#include "pricelists/Pricing.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

class PriceListTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        drinks = registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Pića"_s}}).code;
        tools = registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Alati"_s}}).code;
        auto juice = Article(u"Sok"_s);
        juice.insert(u"GRUPA_A"_s, drinks);
        article = registers::Add(db(), catalogue::Articles(), juice).code;
        auto drill = Article(u"Bušilica"_s);
        drill.insert(u"GRUPA_A"_s, tools);
        other = registers::Add(db(), catalogue::Articles(), drill).code;
        usd = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"USD"_s}}).code;
        list = registers::Add(db(), pricelists::Register(), {{u"NAZIV"_s, u"Stalni kupci"_s}}).code;
        auto partner = Partner(u"Kod Ane's"_s);
        partner.insert(u"RABAT"_s, u"4"_s);
        partner.insert(u"CJENIK"_s, list);
        customer = registers::Add(db(), catalogue::Partners(), partner).code;
        auto plain = Partner(u"Bez cjenika"_s);
        plain.insert(u"RABAT"_s, u"2,5"_s);
        noList = registers::Add(db(), catalogue::Partners(), plain).code;
    }
    int drinks = 0, tools = 0, article = 0, other = 0, usd = 0, list = 0, customer = 0, noList = 0;
    const QDate day{2026, 3, 2};
};

TEST_F(PriceListTest, AddingAPriceChecksInOrderAndReplacesTheOldPrice) {
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), 0, 0, 0, 1); }), u"Nije izabran cjenik"_s);
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, 0, 0, 1); }),
              u"Nije izabran artikal"_s);
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, article, 0, 1); }),
              u"Nije izabrana valuta"_s);
    EXPECT_EQ(Refusal([&] { pricelists::SetPrice(db(), list, article, 42, 1); }),
              u"Nije izabrana valuta"_s);
    pricelists::SetPrice(db(), list, article, 1, 100);
    pricelists::SetPrice(db(), list, article, usd, 80);
    const auto prices = pricelists::Prices(db(), list);
    ASSERT_EQ(prices.size(), 1u) << "one price per article";
    EXPECT_DOUBLE_EQ(prices[0].net, 80);
    EXPECT_DOUBLE_EQ(prices[0].withTax, 100);  // PDV 25 %
    EXPECT_EQ(prices[0].currencyName, u"USD"_s);
    EXPECT_EQ(prices[0].articleName, u"Sok"_s);
}

TEST_F(PriceListTest, NetAndWithTaxConvertBothWays) {
    EXPECT_DOUBLE_EQ(pricelists::WithTax(100, 25), 125);
    EXPECT_DOUBLE_EQ(pricelists::WithoutTax(125, 25), 100);
    EXPECT_DOUBLE_EQ(pricelists::ArticleTaxRate(db(), article), 25);
    registers::Update(db(), catalogue::Articles(), other, {{u"GRUPA_P"_s, 2}});
    EXPECT_DOUBLE_EQ(pricelists::ArticleTaxRate(db(), other), 13);
}

TEST_F(PriceListTest, ThePriceGridShowsPricesWhoseCurrencyOrTaxGroupIsGone) {
    pricelists::SetPrice(db(), list, article, usd, 10);
    pricelists::SetPrice(db(), list, other, 1, 20);
    db().Exec(u"DELETE FROM \"VALUTE\" WHERE \"SIFRA\" = ?"_s, {usd});
    db().Exec(u"UPDATE \"ARTIKLI\" SET \"GRUPA_P\" = NULL WHERE \"SIFRA\" = ?"_s, {other});
    const auto prices = pricelists::Prices(db(), list);
    ASSERT_EQ(prices.size(), 2u);
    EXPECT_EQ(prices[0].articleName, u"Bušilica"_s);
    EXPECT_DOUBLE_EQ(prices[0].withTax, 20);
    EXPECT_TRUE(prices[1].currencyName.isEmpty());
    EXPECT_DOUBLE_EQ(prices[1].net, 10);
}

TEST_F(PriceListTest, GroupDiscountsReplaceAndDeleteAfterTheQuestion) {
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), 0, drinks, 5, false); }),
              u"Nije izabran cjenik"_s);
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), list, std::nullopt, 5, false); }),
              u"Nije izabrana grupa artikala"_s);
    EXPECT_EQ(Refusal([&] { pricelists::SetDiscount(db(), list, 999, 5, false); }),
              u"Nije izabrana grupa artikala"_s);
    pricelists::SetDiscount(db(), list, drinks, 5, false);
    pricelists::SetDiscount(db(), list, drinks, 7, true);
    pricelists::SetDiscount(db(), list, tools, 3, false);
    pricelists::SetDiscount(db(), list, pricelists::kAllGroups, 1, false);
    auto rows = pricelists::Discounts(db(), list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].groupName, u"Sve grupe"_s);
    EXPECT_EQ(rows[1].groupName, u"Alati"_s);
    EXPECT_EQ(rows[2].groupName, u"Pića"_s);
    EXPECT_DOUBLE_EQ(rows[2].discount, 7);
    EXPECT_TRUE(rows[2].pricesFromArticles);
    prompter.AnswerNo();
    EXPECT_FALSE(pricelists::DeleteDiscount(db(), list, drinks, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Želite li izbrisati stavku ?"_s);
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
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), 0, prompter); }), u"Nije izabran cjenik"_s);
    prompter.AnswerText(u"  "_s);
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              u"Naziv cjenika nije ispravno upisan. Pokušajte ponovno."_s);
    EXPECT_EQ(prompter.Shown().last(), u"Upišite naziv novog cjenika."_s);
    prompter.Cancel();
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              u"Naziv cjenika nije ispravno upisan. Pokušajte ponovno."_s);
    prompter.AnswerText(u"stalni KUPCI"_s);
    EXPECT_EQ(Refusal([&] { pricelists::Copy(db(), list, prompter); }),
              u"Cjenik sa nazivom 'stalni KUPCI' je već upisan."_s);
    EXPECT_EQ(Count(db(), u"SELECT COUNT(*) FROM \"CJENICI\""_s), 1);
    prompter.AnswerText(u"Stalni kupci 2027"_s);
    const auto copy = pricelists::Copy(db(), list, prompter);
    EXPECT_NE(copy.code, list);
    EXPECT_EQ(copy.name, u"Stalni kupci 2027"_s);
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
    EXPECT_EQ(RefusedDelete(pricelists::Register(), list),
              u"Nije dozvoljeno brisanje jer je ovaj cjenik dodijeljen partnerima."_s);
    registers::Update(db(), catalogue::Partners(), customer, {{u"CJENIK"_s, 0}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), pricelists::Register(), list, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati cjenik Stalni kupci ?"_s);
    EXPECT_EQ(Count(db(), u"SELECT COUNT(*) FROM \"CJENICI_STAVKE_CIJENA\""_s), 0);
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
              u"Nije upisan tečaj 'USD' za 2.3.2026."_s);
    exchangerates::SetRate(db(), usd, day, u"0,92"_s);
    exchangerates::SetRate(db(), usd, day.addDays(1), u"0,95"_s);
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day), 9.2);
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day.addDays(1)), 9.5);
    // A price whose currency was lost is taken as it stands.
    db().Exec(u"UPDATE \"CJENICI_STAVKE_CIJENA\" SET \"VALUTA\" = NULL"_s);
    EXPECT_DOUBLE_EQ(*pricing::CustomerListPrice(db(), customer, article, day), 10);
    // A partner pointing at a list that no longer exists has no list.
    db().Exec(u"UPDATE \"PARTNERI\" SET \"CJENIK\" = 999 WHERE \"SIFRA\" = ?"_s, {customer});
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
