#include "purchasing/ui/NewReceiptController.h"

#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptEntry.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

QString NewReceiptController::CommandName() {
    return QStringLiteral("Knjizenje_primka");
}

QString NewReceiptController::Caption() const {
    return QStringLiteral("Primka");
}

QString NewReceiptController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QString NewReceiptController::AbandonQuestion() const {
    return QStringLiteral("Želite li odustati od primke ?");
}

void NewReceiptController::PrepareWorkingCopy(Session& session) {
    purchasing::PrepareWorkingCopy(session);
}

int NewReceiptController::NextNumber(Session& session) {
    return numbering::NextDocumentNumber(session.Db(), DocumentKind::GoodsReceipt,
                                         session.activeWarehouse.code, session.businessYear,
                                         numbering::kReceiptEntered);
}

void NewReceiptController::CheckNumber(Session& session, const QString& typed) {
    CheckReceiptNumber(session.Db(), session.activeWarehouse.code, session.businessYear, typed);
}

zodra::ui::PostResult NewReceiptController::Post(zodra::ui::WindowHost& host,
                                                 const zodra::ui::DocumentHeader& header) {
    const std::optional<int> number =
        PostReceipt(host.CurrentSession(), host.UserPrompter(), ReceiptHeaderOf(header), m_summary);
    if (!number) {
        return zodra::ui::PostResult{QVariant(), QString()};
    }
    m_summary.reset();
    return zodra::ui::PostResult{*number, PostedMessage(*number)};
}

void NewReceiptController::ClearWorkingCopy(Session& session) {
    ClearWorkingReceipt(session);
}

ReceiptTarget NewReceiptController::Target(const Session& session) const {
    return ReceiptTarget::WorkingCopy(session);
}

std::optional<ReceiptSummary> NewReceiptController::StoredSummary(Session&) const {
    return std::nullopt;
}

// Before posting: the calculation as it stands, to check.
void NewReceiptController::PrintCalculation(zodra::ui::WindowHost& host,
                                            const zodra::ui::DocumentHeader& header) {
    reports::ui::ShowReport(
        host, WorkingReceiptPrintRequest(host.CurrentSession(), ReceiptHeaderOf(header)));
}

}  // namespace zodra::purchasing::ui
