#include "purchasing/ui/PostedReceiptController.h"

#include "data/Session.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ui/ReceiptController.h"

namespace zodra::purchasing::ui {

QString PostedReceiptController::Caption() const {
    return QStringLiteral("Primka br.") + QString::number(m_number);
}

QString PostedReceiptController::Summary(Session& s) {
    return ReceiptChoiceDetails(s.Db(), s.activeWarehouse.code, s.businessYear, m_number) +
           QStringLiteral("\n") + ReceiptTotalsText(s, ReceiptTarget::Posted(s, m_number));
}

TableData PostedReceiptController::Lines(Session& s) {
    return receiptlines::Grid(s.Db(), ReceiptTarget::Posted(s, m_number));
}

void PostedReceiptController::Print(zodra::ui::WindowHost& host) {
    PrintReceipt(host, m_number, ReceiptReport::Calculation);
}

}  // namespace zodra::purchasing::ui
