#pragma once

#include "production/ui/WorkOrderController.h"
#include "ui/DocumentListController.h"

namespace zodra::production::ui {

// "Radni nalozi": the posted work orders of the warehouse and year with the destination, the
// generated receipt and the values of the selected one, "Ispis" (r_nalog.rpt) and "Izbriši"
// with every question and refusal of the core's deletion.
//
// "Radni nalozi dorada" (WorkOrderKind::Finishing): the posted finishing orders with their owner
// and value, "Otvori" (products, material, services), "Ispis" (r_nalog_dor.rpt) and "Izbriši"
// ("Želite li izbrisati radni nalog dorade!").
class WorkOrderListController : public zodra::ui::DocumentListController {
public:
    explicit WorkOrderListController(WorkOrderKind kind = WorkOrderKind::Ordinary) : m_kind(kind) {}

    static QString CommandName();           // "Pregledi_radni_nalozi"
    static QString FinishingCommandName();  // "Pregledi_radni_nalozi_dorada"

    QString Command() const override {
        return Finishing() ? FinishingCommandName() : CommandName();
    }
    QString Caption() const override;
    TableData Documents(Session& session) override;
    bool HasDetails() const override { return true; }
    QString Details(Session& session, const QVariant& key) override;
    // "Otvori": the work order's parts and products with the details above them.
    std::unique_ptr<zodra::ui::PostedDocumentController> OpenDocument(const QVariant& key) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    // "Izbriši": the core's guards before "Želite li izbrisati radni nalog!", then, for a
    // receipt already gone, whether to go on, then the deletion in one transaction.
    void CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) override;
    QString DeleteQuestion() const override;
    void Delete(zodra::ui::WindowHost& host, const QVariant& key) override;

private:
    bool Finishing() const { return m_kind == WorkOrderKind::Finishing; }

    WorkOrderKind m_kind;
};

}  // namespace zodra::production::ui
