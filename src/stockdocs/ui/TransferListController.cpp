#include "stockdocs/ui/TransferListController.h"

#include <QDate>

#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/TransferList.h"
#include "stockdocs/TransferRemoval.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

void PrintTransfer(zodra::ui::WindowHost& host, int number, bool quantitiesOnly) {
    reports::ui::ShowReport(host,
                            TransferPrintRequest(host.CurrentSession(), number, quantitiesOnly));
}

}  // namespace

QString TransferListController::CommandName() {
    return QStringLiteral("Pregledi_meduskladisnice");
}

QString TransferListController::QuantitiesPrintName() {
    return QStringLiteral("IspisKolicina");
}

QString TransferListController::Caption() const {
    return QStringLiteral("Izbor međuskladišnice");
}

TableData TransferListController::Documents(Session& s) {
    return TransferChoices(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString TransferListController::Details(Session& s, const QVariant& key) {
    return TransferDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt());
}

std::unique_ptr<zodra::ui::PostedDocumentController> TransferListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedTransferController>(key.toInt());
}

QList<zodra::ui::ListAction> TransferListController::Actions() const {
    return {{QStringLiteral("Ispis &kol."), QuantitiesPrintName(), false}};
}

void TransferListController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                       const QVariant& key) {
    if (objectName == QuantitiesPrintName()) {
        PrintTransfer(host, key.toInt(), true);
    }
}

void TransferListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    PrintTransfer(host, key.toInt(), false);
}

QString TransferListController::CancelQuestion() const {
    return CancelTransferQuestion();
}

QString TransferListController::CancelTitle() const {
    return CancelTransferTitle();
}

void TransferListController::CheckBeforeCancel(zodra::ui::WindowHost& host, const QVariant& key) {
    CheckTransferCanBeCancelled(host.CurrentSession(), key.toInt());
}

// After "Želite li stornirati međuskladišnicu!" was answered Yes: the question about a
// destination receipt that is gone, then the cancellation (its guards checked again).
void TransferListController::Cancel(zodra::ui::WindowHost& host, const QVariant& key) {
    Session& session = host.CurrentSession();
    const bool receiptExists = CheckTransferCanBeCancelled(session, key.toInt());
    if (!receiptExists && !host.UserPrompter().AskYesNo(DestinationReceiptGoneQuestion(),
                                                        CancelTransferTitle(), false)) {
        return;
    }
    stockdocs::CancelTransfer(session, key.toInt(), QDate::currentDate(), !receiptExists);
}

QString TransferListController::TableCaption() const {
    return QStringLiteral("Međuskladišnice");
}

TableData TransferListController::TableRows(Session& s) {
    return TransferTable(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString PostedTransferController::Caption() const {
    return QStringLiteral("Međuskladišnica br.") + QString::number(m_number);
}

QString PostedTransferController::Summary(Session& s) {
    return TransferDetails(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

TableData PostedTransferController::Lines(Session& s) {
    return PostedTransferLines(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

void PostedTransferController::Print(zodra::ui::WindowHost& host) {
    PrintTransfer(host, m_number, false);
}

}  // namespace zodra::stockdocs::ui
