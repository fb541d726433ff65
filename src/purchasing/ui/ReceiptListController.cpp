#include "purchasing/ui/ReceiptListController.h"

#include <QDate>

#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ReceiptRemoval.h"
#include "purchasing/ui/PostedReceiptController.h"
#include "purchasing/ui/ReceiptController.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

using zodra::ui::ListAction;
using zodra::ui::WindowHost;

namespace {

const QString kCorrectionAction = QStringLiteral("Ispravak");
const QString kRetailPrintAction = QStringLiteral("IspisMPC");

}  // namespace

ReceiptListController::ReceiptListController(const zodra::ui::CommandRegistry* registry)
    : m_registry(registry) {}

QString ReceiptListController::CommandName() {
    return QStringLiteral("Pregledi_primke");
}

QString ReceiptListController::Caption() const {
    return QStringLiteral("Izbor primke");
}

TableData ReceiptListController::Documents(Session& s) {
    return ReceiptChoice(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString ReceiptListController::Details(Session& s, const QVariant& key) {
    return ReceiptChoiceDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt());
}

std::unique_ptr<zodra::ui::PostedDocumentController> ReceiptListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedReceiptController>(key.toInt());
}

QList<ListAction> ReceiptListController::Actions() const {
    return {
        ListAction{QStringLiteral("Ispr&avak"), kCorrectionAction, false},
        ListAction{QStringLiteral("Ispis s MP&C"), kRetailPrintAction, false},
    };
}

void ReceiptListController::RunAction(const QString& objectName, WindowHost& host,
                                      const QVariant& key) {
    if (objectName == kCorrectionAction) {
        OpenReceiptCorrection(host, m_registry, key.toInt());
    } else if (objectName == kRetailPrintAction) {
        PrintReceipt(host, key.toInt(), ReceiptReport::RetailPrices);
    }
}

void ReceiptListController::Print(WindowHost& host, const QVariant& key) {
    PrintReceipt(host, key.toInt(), ReceiptReport::Calculation);
}

QString ReceiptListController::CancelQuestion() const {
    return purchasing::CancelQuestion();
}

QString ReceiptListController::CancelTitle() const {
    return QStringLiteral("Storno primke");
}

void ReceiptListController::Cancel(WindowHost& host, const QVariant& key) {
    const int cancellation = CancelReceipt(host.CurrentSession(), host.UserPrompter(), key.toInt(),
                                           QDate::currentDate());
    host.UserPrompter().Inform(CancelledMessage(cancellation), QStringLiteral("Storno primke"));
}

QString ReceiptListController::DeleteQuestion() const {
    return purchasing::DeleteQuestion();
}

QString ReceiptListController::DeleteTitle() const {
    return purchasing::DeleteTitle();
}

void ReceiptListController::Delete(WindowHost& host, const QVariant& key) {
    DeleteReceipt(host.CurrentSession(), key.toInt());
}

QString ReceiptListController::TableCaption() const {
    return QStringLiteral("Primke");
}

TableData ReceiptListController::TableRows(Session& s) {
    return ReceiptTable(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString ReceiptListController::TableTotals(Session& s) {
    return ReceiptTableTotals(s.Db(), s.activeWarehouse.code, s.businessYear);
}

}  // namespace zodra::purchasing::ui
