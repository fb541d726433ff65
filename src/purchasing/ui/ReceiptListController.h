#pragma once

#include "ui/DocumentListController.h"

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::purchasing::ui {

// "Izbor primke": the receipts of the warehouse and year with the selected one's data under
// them; "Otvori" (PostedReceiptController), "Ispravak" (the receipt window in "ISPRAVAK"),
// "Ispis s MPC", "Ispis", "Storno", "Izbriši" and the table view "Primke".
class ReceiptListController : public zodra::ui::DocumentListController {
public:
    explicit ReceiptListController(const zodra::ui::CommandRegistry* registry);

    static QString CommandName();  // "Pregledi_primke"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    TableData Documents(Session& session) override;
    bool HasDetails() const override { return true; }
    QString Details(Session& session, const QVariant& key) override;
    std::unique_ptr<zodra::ui::PostedDocumentController> OpenDocument(const QVariant& key) override;
    QList<zodra::ui::ListAction> Actions() const override;
    void RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                   const QVariant& key) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    bool CanCancel() const override { return true; }
    QString CancelQuestion() const override;
    QString CancelTitle() const override;
    void Cancel(zodra::ui::WindowHost& host, const QVariant& key) override;
    QString DeleteQuestion() const override;
    QString DeleteTitle() const override;
    void Delete(zodra::ui::WindowHost& host, const QVariant& key) override;
    bool HasTable() const override { return true; }
    QString TableCaption() const override;
    TableData TableRows(Session& session) override;
    QString TableTotals(Session& session) override;

private:
    const zodra::ui::CommandRegistry* m_registry;
};

}  // namespace zodra::purchasing::ui
