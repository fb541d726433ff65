#include "production/ui/WorkOrderListController.h"

#include "data/Prompter.h"
#include "data/Session.h"
#include "production/ProductionPrint.h"
#include "production/WorkOrderList.h"
#include "production/WorkOrderPosting.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

QString WorkOrderListController::CommandName() {
    return QStringLiteral("Pregledi_radni_nalozi");
}

QString WorkOrderListController::Caption() const {
    return QStringLiteral("Radni nalozi");
}

TableData WorkOrderListController::Documents(Session& session) {
    return PostedWorkOrders(session);
}

QString WorkOrderListController::Details(Session& session, const QVariant& key) {
    return WorkOrderDetails(session, key.toInt());
}

void WorkOrderListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, WorkOrderPrintRequest(host.CurrentSession(), key.toInt()));
}

void WorkOrderListController::CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) {
    CheckWorkOrderCanBeDeleted(host.CurrentSession(), key.toInt());
}

QString WorkOrderListController::DeleteQuestion() const {
    return production::DeleteQuestion();
}

void WorkOrderListController::Delete(zodra::ui::WindowHost& host, const QVariant& key) {
    Session& session = host.CurrentSession();
    const int number = key.toInt();
    bool withoutReceipt = false;
    if (!CheckWorkOrderCanBeDeleted(session, number)) {
        if (!host.UserPrompter().AskYesNo(ReceiptGoneQuestion(), Caption(), false)) {
            return;
        }
        withoutReceipt = true;
    }
    DeleteWorkOrder(session, number, withoutReceipt);
}

}  // namespace zodra::production::ui
