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

namespace {

class PostedWorkOrderView : public zodra::ui::PostedDocumentController {
public:
    explicit PostedWorkOrderView(int number) : m_number(number) {}
    QString Caption() const override {
        return QStringLiteral("Radni nalog br.") + QString::number(m_number);
    }
    QString Summary(Session& session) override { return WorkOrderDetails(session, m_number); }
    TableData Lines(Session& session) override { return PostedWorkOrderLines(session, m_number); }
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override {
        reports::ui::ShowReport(host, WorkOrderPrintRequest(host.CurrentSession(), m_number));
    }

private:
    int m_number;
};

}  // namespace

std::unique_ptr<zodra::ui::PostedDocumentController> WorkOrderListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedWorkOrderView>(key.toInt());
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
