// The discount percent changed in the invoice grid: the line's amounts follow from its value
// before discount, in order, and a bad number changes nothing.
#include <limits>

#include "sales/InvoiceTest.h"

namespace zodra::test {

namespace {

class InvoiceGridDiscountTest : public InvoiceTest {
protected:
    double Field(const sales::InvoiceDraft& draft, const char* column, int lineNumber = 1) {
        return Value(QStringLiteral("SELECT \"") + QString::fromLatin1(column) +
                         QStringLiteral("\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                        "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
                     {draft.sessionCode, lineNumber});
    }
};

// 3 screws at 10 (cost 5, tax 25 %): V = 30, purchase value 15.
TEST_F(InvoiceGridDiscountTest, TheLineFollowsTheNewDiscount) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 3, 10.0, 0.0);
    const double freeBefore = Value(
        QStringLiteral(
            "SELECT SUM(\"KOLICINA_PRIVREMENO\") FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ?"),
        {screw});

    sales::ChangeLineDiscount(*session, draft, 1, 10);
    EXPECT_DOUBLE_EQ(Field(draft, "RABAT_%"), 10);
    EXPECT_DOUBLE_EQ(Field(draft, "RABAT_IZNOS"), 3);
    EXPECT_DOUBLE_EQ(Field(draft, "VRIJEDNOST_"), 27);
    EXPECT_DOUBLE_EQ(Field(draft, "CIJENA_"), 9);
    EXPECT_DOUBLE_EQ(Field(draft, "RUC_IZNOS"), 12);
    EXPECT_DOUBLE_EQ(Field(draft, "RUC_%"), 80);
    EXPECT_DOUBLE_EQ(Field(draft, "POREZ_IZNOS"), 6.75);
    EXPECT_DOUBLE_EQ(Field(draft, "UKUPNO_"), 33.75);
    EXPECT_DOUBLE_EQ(Field(draft, "VRIJEDNOST_BEZ_RABATA"), 30);
    EXPECT_DOUBLE_EQ(Field(draft, "CIJENA_BEZ_RABATA"), 10);
    EXPECT_DOUBLE_EQ(Field(draft, "KOLICINA"), 3);

    // 100 %: nothing to pay, the margin is minus the purchase value.
    sales::ChangeLineDiscount(*session, draft, 1, 100);
    EXPECT_DOUBLE_EQ(Field(draft, "VRIJEDNOST_"), 0);
    EXPECT_DOUBLE_EQ(Field(draft, "CIJENA_"), 0);
    EXPECT_DOUBLE_EQ(Field(draft, "RUC_IZNOS"), -15);
    EXPECT_DOUBLE_EQ(Field(draft, "RUC_%"), -100);
    EXPECT_DOUBLE_EQ(Field(draft, "UKUPNO_"), 0);

    // Unrounded: 1/3 % of 30 is 0.1, the rest 29.9 with its tax.
    sales::ChangeLineDiscount(*session, draft, 1, 1.0 / 3);
    EXPECT_NEAR(Field(draft, "RABAT_IZNOS"), 0.1, 1e-12);
    EXPECT_NEAR(Field(draft, "CIJENA_"), 29.9 / 3, 1e-12);
    EXPECT_NEAR(Field(draft, "UKUPNO_"), 37.375, 1e-12);
    EXPECT_NEAR(sales::Totals(db(), draft.sessionCode).total, 37.38, 1e-9);
    // The reservation is the quantity's, untouched.
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT SUM(\"KOLICINA_PRIVREMENO\") FROM \"NABAVE\" "
                                          "WHERE \"SIFRA_ARTIKLA\" = ?"),
                           {screw}),
                     freeBefore);
}

TEST_F(InvoiceGridDiscountTest, ABadDiscountChangesNothing) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 3, 10.0, 5.0);
    ExpectRefused([&] { sales::ChangeLineDiscount(*session, draft, 1, 100.5); },
                  QStringLiteral("Rabat mora biti između -100 i 100 !"));
    ExpectRefused(
        [&] {
            sales::ChangeLineDiscount(*session, draft, 1, std::numeric_limits<double>::quiet_NaN());
        },
        QStringLiteral("Rabat nije ispravan broj !"));
    ExpectRefused(
        [&] {
            sales::ChangeLineDiscount(*session, draft, 1, std::numeric_limits<double>::infinity());
        },
        QStringLiteral("Rabat nije ispravan broj !"));
    ExpectRefused([&] { sales::ParseGridDiscount(QStringLiteral("pet")); },
                  QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_DOUBLE_EQ(sales::ParseGridDiscount(QStringLiteral("12,5")), 12.5);
    ExpectRefused([&] { sales::ChangeLineDiscount(*session, draft, 2, 10); },
                  QStringLiteral("Nije pronađena stavka računa."));
    EXPECT_DOUBLE_EQ(Field(draft, "RABAT_%"), 5);
    EXPECT_DOUBLE_EQ(Field(draft, "VRIJEDNOST_"), 28.5);
    // The edges themselves are taken.
    sales::ChangeLineDiscount(*session, draft, 1, -100);
    EXPECT_DOUBLE_EQ(Field(draft, "VRIJEDNOST_"), 60);
    // Another session's line of the same number is not this invoice's.
    std::unique_ptr<Session> other = StartSession(1);
    sales::InvoiceDraft theirs = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    ExpectRefused([&] { sales::ChangeLineDiscount(*other, theirs, 1, 10); },
                  QStringLiteral("Nije pronađena stavka računa."));
    EXPECT_DOUBLE_EQ(Field(draft, "RABAT_%"), -100);
}

}  // namespace

}  // namespace zodra::test
