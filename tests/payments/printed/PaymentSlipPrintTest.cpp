// The printed slip: the layout gets the slips' rows (bound values, on either engine) and prints
// each slip's open amount, accounts and reference, three slips to a page.

#include <gtest/gtest.h>

#include "payments/PaymentReportRows.h"
#include "payments/PaymentSlip.h"

namespace zodra::payments {
namespace {

class PaymentSlipPrintTest : public test::PaymentRowsTest {};

TEST_F(PaymentSlipPrintTest, EachOpenInvoiceGetsItsSlip) {
    db().Exec(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Trgovina d.o.o.', "
                       "\"ZIRO_RACUN\" = 'HR1723600001101234565'"));
    const int customer = AddPartner(QStringLiteral("Kod Ane's"));
    for (int number = 1; number <= 4; ++number) {
        AddInvoice(number, customer, Day(3, number), {10.00 * number, 0.45});
    }
    AddCollection(AddPayment(customer, Day(3, 9), 5.00), 2, Day(3, 9), 5.00);
    const OutputSlipRange range{1, 2, Year(), 2, 4, Day(1, 1), Day(12, 31)};
    const QString text = Rendered(
        *session, PaymentSlipRequest(SlipKind::OutputInvoiceOrder, OutputInvoiceSlips(db(), range)),
        QStringLiteral("ira_virman"));
    EXPECT_EQ(text.count(QStringLiteral("NALOG ZA PLAĆANJE")), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("15,45"))) << text.toStdString();  // 20.45 - 5.00
    EXPECT_TRUE(text.contains(QStringLiteral("40,45")));
    EXPECT_FALSE(text.contains(QStringLiteral("10,45")));  // invoice 1 is outside the range
    EXPECT_TRUE(text.contains(QStringLiteral("HR00 3-2-") + QString::number(Year())));
    EXPECT_TRUE(text.contains(QStringLiteral("Kod Ane's")));
}

}  // namespace
}  // namespace zodra::payments
