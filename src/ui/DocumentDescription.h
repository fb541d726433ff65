#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "data/TableData.h"
#include "ui/FieldForm.h"

class QWidget;

namespace zodra {
class Session;
}

namespace zodra::ui {

class WindowHost;

// What the document window collects in its header.
struct DocumentHeader {
    QDate date;
    int number = 0;       // the number box (proposed, or typed after "Upis broja")
    QString description;  // "Opis"
    bool print = false;   // "Ispis dokumenta"
    QVariantMap extra;    // the further header fields, by key
};

// What posting reports back. A result without a key means the document was not posted (the
// user answered No to one of its questions): no message, and the window stays as it is. (A
// refusal of a field is a FieldError: its message is shown and the focus goes to the field.)
struct PostResult {
    QVariant key;  // the posted document's key (its number)
    QString
        message;  // shown after posting, e.g. "Izdatnica je proknjižena pod brojem 8"; empty: none
};

// A further button of the document window ("Ambalaža", "Zbirni p.", "Ispis" …).
struct DocumentAction {
    QString caption;     // "&Ambalaža"
    QString objectName;  // "Ambalaza"
    // Runs it; true when the lines changed (the grid and totals are read again).
    std::function<bool(WindowHost&, QWidget* parent)> run;
    bool addsLines = false;  // checkBeforeLines applies first
};

// A further button of the list of posted documents, run on the selected document.
struct ListAction {
    QString caption;     // "&Ispravak"
    QString objectName;  // "Ispravak"
    std::function<void(WindowHost&, const QVariant& key)> run;
    bool reloads = false;  // the list is read again afterwards
};

// A stock document as its windows see it: captions, the header fields, and the core operations
// behind the three windows every document has — the document window (header, the grid of this
// session's working lines, add/change/delete line, post), the list of posted documents (open,
// delete, cancel, print) and the view of one posted document. A new document kind is a
// description, not a copy of a window. Every refusal is a UserError with its message.
struct DocumentDescription {
    // The document window.
    QString command;                // control name, e.g. "Knjizenje_izdatnica"
    QString caption;                // "Izdatnica"
    QList<FieldSpec> headerFields;  // further header fields (supplier, supplier's document …)
    bool hasDescription = true;     // the "Opis" box
    bool hasPrintBox = true;        // the "Ispis dokumenta" box
    bool closeAfterPost = false;    // otherwise the window stays for the next document
    std::function<int(Session&)> nextNumber;           // the number proposed
    std::function<void(Session&)> prepareWorkingCopy;  // when the window opens (may be null)
    std::function<TableData(Session&)> workingLines;   // the session's working lines
    // Opens the line window; true when the lines changed.
    std::function<bool(WindowHost&, QWidget* parent)> addLine;
    std::function<bool(WindowHost&, QWidget* parent, int row)> changeLine;  // may be null
    std::function<void(Session&, int row)> deleteLine;  // a row of workingLines()
    std::function<QString(Session&)> totals;            // text under the grid (may be null)
    // Posts: questions before the transaction, then one transaction (core). Refusals are
    // UserErrors; the working copy stays as it was.
    std::function<PostResult(WindowHost&, const DocumentHeader&)> post;
    std::function<void(WindowHost&, const QVariant& key)> print;  // may be null
    std::function<void(Session&)> clearWorkingCopy;
    // Asked (Yes/No, No the default) when the window is closed with working lines; Yes clears
    // the working copy.
    QString abandonQuestion;

    // The list of posted documents.
    QString listCommand;                                 // "Pregledi_izdatnice"
    QString listCaption;                                 // "Izdatnice"
    std::function<TableData(Session&)> postedDocuments;  // one row per document
    int keyColumn = 0;                                   // the column with the key
    // The view of one posted document: caption postedCaption + key ("Izdatnica br." + 8).
    QString postedCaption;
    std::function<QString(Session&, const QVariant& key)> postedSummary;  // header text
    std::function<TableData(Session&, const QVariant& key)> postedLines;
    // Deleting (question first, Yes/No with No the default, then the core deletion).
    QString deleteQuestion;  // "Želite li izbrisati izdatnicu!"; empty: no deletion
    QString deleteTitle;
    std::function<void(WindowHost&, const QVariant& key)> deletePosted;
    // Cancelling by a negating document (may be null).
    QString cancelQuestion;
    std::function<void(WindowHost&, const QVariant& key)> cancelPosted;

    // --- Further options of the document window (each may be left out) ---
    QString addLineCaption;         // default "&Dodaj stavku"
    QString changeLineCaption;      // default "&Promjena"
    QString deleteLineCaption;      // default "&Brisanje stavke"
    QList<DocumentAction> actions;  // further buttons after the line buttons
    // Asked (Yes/No, No the default) before a line of the grid is deleted; empty: no question.
    std::function<QString(Session&, int row)> deleteLineQuestion;
    // Checked before a line is added (a supplier must be chosen first …). A refusal is shown
    // (a FieldError puts the focus into its field) and no line window opens.
    std::function<void(const DocumentHeader&)> checkBeforeLines;
    // The header as the window opens, instead of today's date and the proposed number (e.g. a
    // posted document opened for correction).
    std::function<std::optional<DocumentHeader>(Session&)> initialHeader;
    // A header field was changed by the user and left (the date, a typed number that passed
    // checkNumber, a further field): e.g. a document under correction writes it at once. A
    // refusal is shown; a FieldError puts the focus back into its field.
    std::function<void(WindowHost&, const DocumentHeader&)> headerChanged;
    bool numberEditable = true;  // "Upis broja"
    // A number typed after "Upis broja" is checked when its box is left; a refusal is shown,
    // the proposed number comes back and the box keeps the focus.
    std::function<void(Session&, const QString& typed)> checkNumber;
    // The number box's message for text that is not a number (default: the kit's own).
    QString numberInvalidMessage;
    // One column of the grid may be edited in place (e.g. the line number); editing another
    // shows readOnlyCellMessage. editCell writes the value; a refusal is shown.
    int editableColumn = -1;
    std::function<void(Session&, int row, const QVariant& value)> editCell;
    QString readOnlyCellMessage;

    // --- Further options of the list of posted documents ---
    // Shown under the list for the selected document (its date, partner …).
    std::function<QString(Session&, const QVariant& key)> listDetails;
    // Shown under the list for all documents (sums).
    std::function<QString(Session&)> listTotals;
    QList<ListAction> listActions;  // further buttons (correction, another print …)
    QString cancelTitle;            // title of the cancel question (default: listCaption)
    // A table view of all documents with their sums ("Primke"), opened from the list.
    QString tableCaption;
    std::function<TableData(Session&)> tableRows;
    std::function<QString(Session&)> tableTotals;
};

}  // namespace zodra::ui
