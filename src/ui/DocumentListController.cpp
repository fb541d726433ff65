#include "ui/DocumentListController.h"

namespace zodra::ui {

DocumentListController::~DocumentListController() = default;

QString DocumentListController::Details(Session&, const QVariant&) {
    return {};
}

QString DocumentListController::Totals(Session&) {
    return {};
}

std::unique_ptr<PostedDocumentController> DocumentListController::OpenDocument(const QVariant&) {
    return nullptr;
}

void DocumentListController::RunAction(const QString&, WindowHost&, const QVariant&) {}

void DocumentListController::Print(WindowHost&, const QVariant&) {}

void DocumentListController::Cancel(WindowHost&, const QVariant&) {}

void DocumentListController::Delete(WindowHost&, const QVariant&) {}

void DocumentListController::CheckBeforeCancel(WindowHost&, const QVariant&) {}

void DocumentListController::CheckBeforeDelete(WindowHost&, const QVariant&) {}

TableData DocumentListController::TableRows(Session&) {
    return {};
}

QString DocumentListController::TableTotals(Session&) {
    return {};
}

}  // namespace zodra::ui
