#include "production/ui/WorkOrderListController.h"

#include "data/Prompter.h"
#include "data/Session.h"
#include "production/FinishingWorkOrder.h"
#include "production/ProductionPrint.h"
#include "production/WorkOrderList.h"
#include "production/WorkOrderPosting.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

QString WorkOrderListController::CommandName() {
    return QStringLiteral("Pregledi_radni_nalozi");
}

QString WorkOrderListController::FinishingCommandName() {
    return QStringLiteral("Pregledi_radni_nalozi_dorada");
}

namespace {

class PostedWorkOrderView : public zodra::ui::PostedDocumentController {
public:
    PostedWorkOrderView(int number, bool finishing) : m_number(number), m_finishing(finishing) {}
    QString Caption() const override {
        return (m_finishing ? QStringLiteral("Radni nalog dorade br.")
                            : QStringLiteral("Radni nalog br.")) +
               QString::number(m_number);
    }
    QString Summary(Session& session) override {
        return m_finishing ? FinishingOrderDetails(session, m_number)
                           : WorkOrderDetails(session, m_number);
    }
    TableData Lines(Session& session) override {
        return m_finishing ? PostedFinishingOrderLines(session, m_number)
                           : PostedWorkOrderLines(session, m_number);
    }
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override {
        Session& session = host.CurrentSession();
        reports::ui::ShowReport(host, m_finishing ? FinishingOrderPrintRequest(session, m_number)
                                                  : WorkOrderPrintRequest(session, m_number));
    }

private:
    int m_number;
    bool m_finishing;
};

}  // namespace

std::unique_ptr<zodra::ui::PostedDocumentController> WorkOrderListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedWorkOrderView>(key.toInt(), Finishing());
}

QString WorkOrderListController::Caption() const {
    return Finishing() ? QStringLiteral("Radni nalozi dorada") : QStringLiteral("Radni nalozi");
}

TableData WorkOrderListController::Documents(Session& session) {
    return Finishing() ? PostedFinishingOrders(session) : PostedWorkOrders(session);
}

QString WorkOrderListController::Details(Session& session, const QVariant& key) {
    return Finishing() ? FinishingOrderDetails(session, key.toInt())
                       : WorkOrderDetails(session, key.toInt());
}

void WorkOrderListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    PostedWorkOrderView(key.toInt(), Finishing()).Print(host);
}

void WorkOrderListController::CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) {
    if (Finishing()) {
        CheckFinishingOrderCanBeDeleted(host.CurrentSession(), key.toInt());
    } else {
        CheckWorkOrderCanBeDeleted(host.CurrentSession(), key.toInt());
    }
}

QString WorkOrderListController::DeleteQuestion() const {
    return Finishing() ? FinishingDeleteQuestion() : production::DeleteQuestion();
}

void WorkOrderListController::Delete(zodra::ui::WindowHost& host, const QVariant& key) {
    Session& session = host.CurrentSession();
    const int number = key.toInt();
    if (Finishing()) {
        DeleteFinishingOrder(session, number);
        return;
    }
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
