#pragma once

#include "ui/DocumentListController.h"

namespace zodra::stockdocs::ui {

// "Izbor međuskladišnice" (frmIzborMeduskladisnice): the transfers of the warehouse and year
// with the selected one's date and destination under the list; "Otvori" ("Međuskladišnica br."
// n), "Ispis" (meduskl.rpt, with prices) and "Ispis kol." (meduskl_kol.rpt, quantities only),
// "Storno" (refused before its question when a guard stands in the way; a destination receipt
// that is gone asks whether to go on), and the table view "Međuskladišnice".
class TransferListController : public zodra::ui::DocumentListController {
public:
    static QString CommandName();          // "Pregledi_meduskladisnice"
    static QString QuantitiesPrintName();  // "IspisKolicina"

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
    void CheckBeforeCancel(zodra::ui::WindowHost& host, const QVariant& key) override;
    void Cancel(zodra::ui::WindowHost& host, const QVariant& key) override;
    bool HasTable() const override { return true; }
    QString TableCaption() const override;
    TableData TableRows(Session& session) override;
};

// One posted transfer, "Međuskladišnica br." n.
class PostedTransferController : public zodra::ui::PostedDocumentController {
public:
    explicit PostedTransferController(int number) : m_number(number) {}

    QString Caption() const override;
    QString Summary(Session& session) override;
    TableData Lines(Session& session) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override;

private:
    int m_number;
};

}  // namespace zodra::stockdocs::ui
