#include "ui/PostedDocumentController.h"

namespace zodra::ui {

PostedDocumentController::~PostedDocumentController() = default;

void PostedDocumentController::Print(WindowHost&) {}

}  // namespace zodra::ui
