#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
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

// A further button of the document window ("Ambalaža", "Zbirni p.", "Ispis" …); pressing it
// runs DocumentController::RunAction with its object name.
// A further grid of the document window under its working lines (a work order's parts and
// costs beside its products): its caption above it and its object name.
struct LinesPanel {
    QString caption;     // "Dijelovi :"
    QString objectName;  // "Dijelovi"
};

// What closing with working lines does before AbandonQuestion (DocumentController::BeforeClose).
enum class CloseStep {
    Ask,   // go on as usual: AbandonQuestion, if any
    Kept,  // the lines were kept elsewhere (saved as an open document): close without asking
    Stay,  // the window stays open
};

struct DocumentAction {
    QString caption;         // "&Ambalaža"
    QString objectName;      // "Ambalaza"
    bool addsLines = false;  // CheckBeforeLines applies first
};

// One document window's document: what the window shows and every operation behind its
// buttons. The window owns its controller (one per window) and asks it, never the database;
// what the window keeps while it is open (the mode, a document under correction, data accepted
// in a dialog) are members of the concrete controller. The controller calls its subsystem's
// core functions, which check, ask nothing and write in transactions of their own; a question
// to the user comes before such a call, never while a transaction is open. Every refusal is a
// UserError with its message (a FieldError puts the focus into its field); the window shows
// it. Line operations get the window as the parent of their dialogs and the header as it
// stands.
//
// Only the command, the caption, the working lines, adding and deleting a line must be given;
// everything else has a default that leaves its button, box or step out (see each method).
class DocumentController {
public:
    DocumentController() = default;
    DocumentController(const DocumentController&) = delete;
    DocumentController& operator=(const DocumentController&) = delete;
    virtual ~DocumentController();

    // --- What the window shows ---
    // The window's object name, e.g. "Knjizenje_izdatnica" (an open window of that name is
    // brought to the front instead of a second one).
    virtual QString Command() const = 0;
    // "Izdatnica": the window's caption and the title of its messages. The window reads it
    // again after a header change (a correction names the supplier in it).
    virtual QString Caption() const = 0;
    // Further header fields (supplier, supplier's document …); default none.
    virtual QList<FieldSpec> HeaderFields() const { return {}; }
    virtual bool HasDescription() const { return true; }  // the "Opis" box
    virtual bool HasPrintBox() const { return true; }     // the "Ispis dokumenta" box
    // The caption of the print box and the label of the number box.
    virtual QString PrintBoxCaption() const { return QStringLiteral("Ispis dokumenta"); }
    virtual QString NumberLabel() const { return QStringLiteral("Broj :"); }
    // "Upis broja": the proposed number may be replaced by a typed one; default yes.
    virtual bool NumberEditable() const { return true; }
    // The number box's message for text that is not a number; empty: the kit's own.
    virtual QString NumberInvalidMessage() const { return {}; }
    // The line buttons ("Dodaj stavku", "Brisanje stavke"); a document whose lines come from
    // elsewhere (a stock count, prepared from the lots) leaves them out.
    virtual bool HasLineButtons() const { return true; }
    virtual QString AddLineCaption() const;     // "&Dodaj stavku"
    virtual QString ChangeLineCaption() const;  // "&Promjena"
    virtual QString DeleteLineCaption() const;  // "&Brisanje stavke"
    // Further buttons after the line buttons (RunAction); default none.
    virtual QList<DocumentAction> Actions() const { return {}; }
    // One column of the grid edited in place (EditCell); -1, the default: none. Editing
    // another column shows ReadOnlyCellMessage (when not empty).
    virtual int EditableColumn() const { return -1; }
    virtual QString ReadOnlyCellMessage() const { return {}; }
    // "Proknjiži" (Post); default none (e.g. a correction, which writes every change at once).
    virtual bool CanPost() const { return false; }
    // After posting the window closes; otherwise (the default) it is ready for the next one.
    virtual bool CloseAfterPost() const { return false; }
    // Asked (Yes/No, No the default) when the window is closed with working lines; Yes calls
    // ClearWorkingCopy. Empty: closing asks nothing and clears nothing. Default empty.
    virtual QString AbandonQuestion() const { return {}; }
    // Runs first when the window is closed with working lines (it may ask and keep the lines
    // elsewhere, under the header as it stands); default CloseStep::Ask.
    virtual CloseStep BeforeClose(WindowHost& host, QWidget* parent, const DocumentHeader& header);

    // --- When the window opens (and after each posting) ---
    // Runs once when the window opens; default nothing.
    virtual void PrepareWorkingCopy(Session& session);
    // The number proposed; default 0.
    virtual int NextNumber(Session& session);
    // The header instead of today's date and the proposed number (e.g. a posted document
    // opened for correction); default none.
    virtual std::optional<DocumentHeader> InitialHeader(Session& session);

    // --- The lines ---
    virtual TableData WorkingLines(Session& session) = 0;
    // A caption above the working lines; empty (the default): none.
    virtual QString LinesCaption() const { return {}; }
    // Further grids under the working lines, read again with them (FurtherLines by the
    // panel's index); default none.
    virtual QList<LinesPanel> FurtherPanels() const { return {}; }
    virtual TableData FurtherLines(Session& session, int index);
    // The text under the grid; default none.
    virtual QString Totals(Session& session);
    // Checked before a line window opens and before an action that adds lines (a supplier
    // must be chosen first …); default nothing.
    virtual void CheckBeforeLines(const DocumentHeader& header);
    // Opens the document's line window; true when the lines changed.
    virtual bool AddLine(WindowHost& host, QWidget* parent, const DocumentHeader& header) = 0;
    // "Promjena" on a row of the grid; true when the lines changed. Without it (the default)
    // the window has no "Promjena".
    virtual bool CanChangeLines() const { return false; }
    virtual bool ChangeLine(WindowHost& host, QWidget* parent, const DocumentHeader& header,
                            int row);
    // Asked (Yes/No, No the default) before the row is deleted; empty (the default): none. A
    // UserError here refuses the deletion before anything is asked.
    virtual QString DeleteLineQuestion(Session& session, int row);
    virtual void DeleteLine(Session& session, int row) = 0;
    // Writes a value typed into EditableColumn; the grid is read again afterwards.
    virtual void EditCell(Session& session, int row, const QVariant& value);
    // A further button (Actions) by its object name; true when the lines changed.
    virtual bool RunAction(const QString& objectName, WindowHost& host, QWidget* parent,
                           const DocumentHeader& header);
    // A box above the grid for a barcode scanner (its label, e.g. "Barkod :"); empty (the
    // default): none. Enter in it hands the text to EnterCode, which writes at once and returns
    // the hidden id (column 0) of the grid row it changed, to be selected. A refusal leaves the
    // text in the box.
    virtual QString CodeEntryLabel() const { return {}; }
    virtual QVariant EnterCode(Session& session, const QString& typed);

    // --- The header ---
    // A number typed after "Upis broja", checked when its box is left; a refusal brings the
    // proposed number back. Default: any number passes.
    virtual void CheckNumber(Session& session, const QString& typed);
    // A header field was changed by the user and left (the date, a typed number that passed
    // CheckNumber, a further field): e.g. a document under correction writes it at once.
    // Default nothing.
    virtual void HeaderChanged(WindowHost& host, const DocumentHeader& header);

    // --- Posting ---
    // Asks its questions first, then posts through the core in one transaction and returns
    // the key and the message to show; a result without a key: not posted (the user answered
    // No). A refusal leaves the working copy as it was. Called only when CanPost.
    virtual PostResult Post(WindowHost& host, const DocumentHeader& header);
    // Prints a posted document (after posting with "Ispis dokumenta" ticked); default none.
    virtual bool CanPrint() const { return false; }
    virtual void Print(WindowHost& host, const QVariant& key);
    // Abandoning the document (AbandonQuestion answered Yes): the working lines go.
    virtual void ClearWorkingCopy(Session& session);
    // The window is closing (after AbandonQuestion, if any, was answered Yes): what the
    // document holds while its window is open (a session code of its own) is given back.
    // Default nothing.
    virtual void WindowClosed(Session& session);
};

}  // namespace zodra::ui
