#pragma once

#include <QString>

#include "data/TableData.h"

namespace zodra {
class Session;
}

namespace zodra::ui {

class WindowHost;

// One posted document as its read-only view shows it (opened from the list of posted
// documents, DocumentListController::OpenDocument). The view owns it.
class PostedDocumentController {
public:
    PostedDocumentController() = default;
    PostedDocumentController(const PostedDocumentController&) = delete;
    PostedDocumentController& operator=(const PostedDocumentController&) = delete;
    virtual ~PostedDocumentController();

    // The view's caption, e.g. "Izdatnica br.8".
    virtual QString Caption() const = 0;
    // The text above the lines (date, partner, sums …).
    virtual QString Summary(Session& session) = 0;
    virtual TableData Lines(Session& session) = 0;
    // "Ispis"; default none.
    virtual bool CanPrint() const { return false; }
    virtual void Print(WindowHost& host);
};

}  // namespace zodra::ui
