#include "ui/DocumentController.h"

namespace zodra::ui {

DocumentController::~DocumentController() = default;

QString DocumentController::AddLineCaption() const {
    return QStringLiteral("&Dodaj stavku");
}

QString DocumentController::ChangeLineCaption() const {
    return QStringLiteral("Prom&jena");
}

QString DocumentController::DeleteLineCaption() const {
    return QStringLiteral("&Brisanje stavke");
}

void DocumentController::PrepareWorkingCopy(Session&) {}

int DocumentController::NextNumber(Session&) {
    return 0;
}

std::optional<DocumentHeader> DocumentController::InitialHeader(Session&) {
    return std::nullopt;
}

QString DocumentController::Totals(Session&) {
    return {};
}

void DocumentController::CheckBeforeLines(const DocumentHeader&) {}

bool DocumentController::ChangeLine(WindowHost&, QWidget*, const DocumentHeader&, int) {
    return false;
}

QString DocumentController::DeleteLineQuestion(Session&, int) {
    return {};
}

void DocumentController::EditCell(Session&, int, const QVariant&) {}

bool DocumentController::RunAction(const QString&, WindowHost&, QWidget*, const DocumentHeader&) {
    return false;
}

QVariant DocumentController::EnterCode(Session&, const QString&) {
    return {};
}

void DocumentController::CheckNumber(Session&, const QString&) {}

void DocumentController::HeaderChanged(WindowHost&, const DocumentHeader&) {}

PostResult DocumentController::Post(WindowHost&, const DocumentHeader&) {
    return {};
}

void DocumentController::Print(WindowHost&, const QVariant&) {}

void DocumentController::ClearWorkingCopy(Session&) {}

void DocumentController::WindowClosed(Session&) {}

TableData DocumentController::FurtherLines(Session&, int) {
    return {};
}

CloseStep DocumentController::BeforeClose(WindowHost&, QWidget*, const DocumentHeader&) {
    return CloseStep::Ask;
}

}  // namespace zodra::ui
