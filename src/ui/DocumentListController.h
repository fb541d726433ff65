#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

#include "data/TableData.h"
#include "ui/PostedDocumentController.h"

namespace zodra {
class Session;
}

namespace zodra::ui {

class WindowHost;

// A further button of the list of posted documents, run on the selected document
// (DocumentListController::RunAction with its object name).
struct ListAction {
    QString caption;       // "&Ispravak"
    QString objectName;    // "Ispravak"
    bool reloads = false;  // the list is read again afterwards
};

// The list of a document kind's posted documents (warehouse and year): the rows, and the
// operations on the selected one — open, print, cancel, delete, further buttons — with a table
// view of all documents. The list window owns it, as the document window owns its
// DocumentController; the same rules hold: core functions write in transactions of their own,
// questions come before them, refusals are UserErrors the window shows.
//
// Only the command, the caption and the rows must be given; every other part has a default
// that leaves its button or line out.
class DocumentListController {
public:
    DocumentListController() = default;
    DocumentListController(const DocumentListController&) = delete;
    DocumentListController& operator=(const DocumentListController&) = delete;
    virtual ~DocumentListController();

    virtual QString Command() const = 0;  // the window's object name, "Pregledi_izdatnice"
    virtual QString Caption() const = 0;  // "Izdatnice"
    // One row per document; the key (the number) in KeyColumn (default 0).
    virtual TableData Documents(Session& session) = 0;
    virtual int KeyColumn() const { return 0; }

    // A line under the list about the selected document (its date, partner …); default none.
    virtual bool HasDetails() const { return false; }
    virtual QString Details(Session& session, const QVariant& key);
    // A line under the list about all documents (sums); default none.
    virtual bool HasTotals() const { return false; }
    virtual QString Totals(Session& session);

    // "Otvori" (Enter, double click): the view of one posted document; none (the default)
    // opens nothing.
    virtual std::unique_ptr<PostedDocumentController> OpenDocument(const QVariant& key);
    // Further buttons (correction, another print …) and running one; default none.
    virtual QList<ListAction> Actions() const { return {}; }
    virtual void RunAction(const QString& objectName, WindowHost& host, const QVariant& key);
    // "Ispis"; default none.
    virtual bool CanPrint() const { return false; }
    virtual void Print(WindowHost& host, const QVariant& key);
    // "Storno": a negating document, after CancelQuestion (when not empty; Yes/No, No the
    // default) titled CancelTitle (default: the caption). Default none.
    virtual bool CanCancel() const { return false; }
    virtual QString CancelQuestion() const { return {}; }
    virtual QString CancelTitle() const { return Caption(); }
    virtual void Cancel(WindowHost& host, const QVariant& key);
    // Refusals that come before the cancellation's or the deletion's question (a UserError is
    // shown and nothing is asked); default none. Cancel and Delete check again when they write.
    virtual void CheckBeforeCancel(WindowHost& host, const QVariant& key);
    virtual void CheckBeforeDelete(WindowHost& host, const QVariant& key);
    // "Izbriši" after DeleteQuestion (Yes/No, No the default) titled DeleteTitle (default: the
    // caption). An empty question (the default): no deletion.
    virtual QString DeleteQuestion() const { return {}; }
    virtual QString DeleteTitle() const { return Caption(); }
    virtual void Delete(WindowHost& host, const QVariant& key);

    // The table view of all documents with their sums ("Primke"); default none. Its caption
    // (TableCaption, empty: "Tablica" on the button and the list's caption on the view).
    virtual bool HasTable() const { return false; }
    virtual QString TableCaption() const { return {}; }
    virtual TableData TableRows(Session& session);
    virtual QString TableTotals(Session& session);
};

}  // namespace zodra::ui
