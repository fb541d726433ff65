#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>

#include "app/ui/FieldForm.h"
#include "data/TableData.h"

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

// What posting reports back.
struct PostResult {
    QVariant key;  // the posted document's key (its number)
    QString
        message;  // shown after posting, e.g. "Izdatnica je proknjižena pod brojem 8"; empty: none
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
};

}  // namespace zodra::ui
