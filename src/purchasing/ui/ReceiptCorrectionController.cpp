#include "purchasing/ui/ReceiptCorrectionController.h"

#include "data/Errors.h"
#include "data/Session.h"
#include "purchasing/ReceiptCorrection.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

ReceiptCorrectionController::ReceiptCorrectionController(const zodra::ui::CommandRegistry* registry,
                                                         int number, QString supplierName)
    : ReceiptController(registry), m_number(number), m_supplierName(std::move(supplierName)) {}

QString ReceiptCorrectionController::CommandName(int number) {
    return QStringLiteral("Knjizenje_primka_ispravak_") + QString::number(number);
}

QString ReceiptCorrectionController::Caption() const {
    return CorrectionCaption(m_number, m_supplierName);
}

int ReceiptCorrectionController::NextNumber(Session&) {
    return m_number;
}

std::optional<zodra::ui::DocumentHeader> ReceiptCorrectionController::InitialHeader(
    Session& session) {
    const std::optional<PostedReceipt> r = ReadPostedReceipt(
        session.Db(), session.activeWarehouse.code, session.businessYear, m_number);
    if (!r) {
        throw UserError(NoSuchReceiptMessage(m_number));
    }
    zodra::ui::DocumentHeader h;
    h.number = m_number;
    h.date = r->header.date;
    h.extra[SupplierField()] = r->header.supplier ? QVariant(*r->header.supplier) : QVariant();
    h.extra[SupplierDocumentField()] = r->header.supplierDocument;
    h.extra[SupplierDocumentDateField()] = r->header.supplierDocumentDate;
    return h;
}

// Every accepted header change is written at once; the caption names the supplier.
void ReceiptCorrectionController::HeaderChanged(zodra::ui::WindowHost& host,
                                                const zodra::ui::DocumentHeader& h) {
    ReceiptHeaderData header = ReceiptHeaderOf(h);
    header.number = m_number;
    Session& session = host.CurrentSession();
    UpdatePostedHeader(session, m_number, header);
    if (const auto posted = ReadPostedReceipt(session.Db(), session.activeWarehouse.code,
                                              session.businessYear, m_number)) {
        m_supplierName = posted->supplierName;
    }
}

ReceiptTarget ReceiptCorrectionController::Target(const Session& session) const {
    return ReceiptTarget::Posted(session, m_number);
}

std::optional<ReceiptSummary> ReceiptCorrectionController::StoredSummary(Session& session) const {
    return PostedSummary(session.Db(), session.activeWarehouse.code, session.businessYear,
                         m_number);
}

void ReceiptCorrectionController::PrintCalculation(zodra::ui::WindowHost& host,
                                                   const zodra::ui::DocumentHeader&) {
    PrintReceipt(host, m_number, ReceiptReport::Calculation);
}

}  // namespace zodra::purchasing::ui
